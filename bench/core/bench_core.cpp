// Operations generated and numbers formatted per second.
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

class Muto final : public Messaggi {
 public:
  void mostra(const QString &, const QString &, Icona) override {}
};

template <typename F>
double PerSecondo(int n, F &&f) {
  std::vector<double> giri;
  for (int g = 0; g < 5; ++g) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) f(i);
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    giri.push_back(n / d.count());
  }
  std::sort(giri.begin(), giri.end());
  return giri[giri.size() / 2];
}

}  // namespace

int main() {
  CasualeSistema casuale(1);
  OrologioSistema orologio;
  Muto messaggi;
  const ParametriGenerazione p{*TabellaFamiglia(6), 3, 19};
  qsizetype somma = 0;
  const double gen = PerSecondo(1'000'000, [&](int) {
    somma += GeneraOperazione(p, casuale, orologio, messaggi).strRisultato.size();
  });
  const double fmt = PerSecondo(2'000'000, [&](int i) { somma += FormattaNumero(i * 0.37, messaggi).size(); });
  std::printf("GeneraOperazione: %.0f operations/s (median of 5 runs)\n", gen);
  std::printf("FormattaNumero:   %.0f numbers/s (median of 5 runs)\n", fmt);
  std::printf("(checksum %lld)\n", static_cast<long long>(somma));
  return 0;
}
