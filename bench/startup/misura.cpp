// Runs two programs alternately, many times, and reports the median wall time
// from start to exit and the median peak resident memory of each, with the
// ratios of the second against the first.
//   misura <runs> <baseline> <program> [args of program...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Esito {
  double secondi;
  long kib;
};

Esito Esegui(const std::vector<char *> &argv) {
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[0], argv.data());
    std::perror("execv");
    _exit(127);
  }
  int stato = 0;
  rusage uso{};
  wait4(pid, &stato, 0, &uso);
  const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
  if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", argv[0], stato);
    std::exit(1);
  }
  return {d.count(), uso.ru_maxrss};
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: misura <runs> <baseline> <program> [args...]\n");
    return 2;
  }
  const int giri = std::atoi(argv[1]);
  std::vector<char *> base{argv[2], nullptr};
  std::vector<char *> prog(argv + 3, argv + argc);
  prog.push_back(nullptr);
  std::vector<double> tb, tp, mb, mp;
  Esegui(base);  // warm the caches of both once
  Esegui(prog);
  for (int i = 0; i < giri; ++i) {
    const Esito b = Esegui(base);
    const Esito p = Esegui(prog);
    tb.push_back(b.secondi);
    tp.push_back(p.secondi);
    mb.push_back(static_cast<double>(b.kib));
    mp.push_back(static_cast<double>(p.kib));
  }
  const double t0 = Mediana(tb), t1 = Mediana(tp), m0 = Mediana(mb), m1 = Mediana(mp);
  std::printf("%-10s %10s %10s\n", "", "wall ms", "peak KiB");
  std::printf("%-10s %10.1f %10.0f\n", "baseline", t0 * 1000, m0);
  std::printf("%-10s %10.1f %10.0f\n", "program", t1 * 1000, m1);
  std::printf("ratio      %10.2f %10.2f   (median of %d runs each, alternating)\n", t1 / t0, m1 / m0, giri);
  return 0;
}
