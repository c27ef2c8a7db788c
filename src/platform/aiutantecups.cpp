// vornel-cups: the program's one contact with CUPS. It runs as a child process
// for each question, so the print system's libraries (CUPS with its TLS,
// Kerberos and DNS-SD clients) never load into the program, and a print
// service that does not answer can be given up on without hanging a window.
//
//   vornel-cups elenca
//       One line per queue, in CUPS's order: "coda\tNAME" (NAME/INSTANCE for
//       an instance), then "predefinita\tNAME" when there is a default.
//   vornel-cups info NAME
//       "pagina\tWIDTH\tLENGTH" (hundredths of a millimetre) and "dpi\tN",
//       each when the queue tells them. Exit status 3 when there is no such queue.
//   vornel-cups stampa NAME FILE TITLE
//       Sends FILE whole as one job: "lavoro\tN". Exit status 1, with CUPS's
//       own message on standard error, when the queue refuses it.
//
// Exit status 2 on a wrong command line. Plain C++ with no Qt: it starts fast.
#include <cups/cups.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Nome(const cups_dest_t &d) {
  std::string n = d.name;
  if (d.instance) {
    n += '/';
    n += d.instance;
  }
  return n;
}

// The queues CUPS knows, freed on leaving the scope.
struct Code {
  cups_dest_t *dest = nullptr;
  int n = 0;
  Code() { n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dest); }
  ~Code() { cupsFreeDests(n, dest); }
  Code(const Code &) = delete;
  Code &operator=(const Code &) = delete;
  // NAME or NAME/INSTANCE among the queues; null when there is none.
  cups_dest_t *trova(const std::string &nome) const {
    const auto barra = nome.find('/');
    const std::string coda = nome.substr(0, barra);
    const std::string istanza = barra == std::string::npos ? std::string() : nome.substr(barra + 1);
    return cupsGetDest(coda.c_str(), istanza.empty() ? nullptr : istanza.c_str(), n, dest);
  }
};

int Elenca() {
  const Code code;
  const cups_dest_t *predefinita = nullptr;
  for (int i = 0; i < code.n; ++i) {
    std::printf("coda\t%s\n", Nome(code.dest[i]).c_str());
    if (code.dest[i].is_default && !predefinita) predefinita = &code.dest[i];
  }
  if (predefinita) std::printf("predefinita\t%s\n", Nome(*predefinita).c_str());
  return 0;
}

int Info(const std::string &nome) {
  const Code code;
  cups_dest_t *d = code.trova(nome);
  if (!d) return 3;
  if (cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, d)) {
    cups_size_t formato;
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, d, info, 0, &formato) && formato.width > 0 &&
        formato.length > 0)
      std::printf("pagina\t%d\t%d\n", formato.width, formato.length);
    if (ipp_attribute_t *r = cupsFindDestDefault(CUPS_HTTP_DEFAULT, d, info, "printer-resolution")) {
      int y = 0;
      ipp_res_t unita = IPP_RES_PER_INCH;
      int x = ippGetResolution(r, 0, &y, &unita);
      if (unita == IPP_RES_PER_CM) x = x * 254 / 100;
      if (x > 0) std::printf("dpi\t%d\n", x);
    }
    cupsFreeDestInfo(info);
  }
  return 0;
}

int Stampa(const std::string &nome, const char *file, const char *titolo) {
  // A queue's name may carry an instance ("coda/istanza"): CUPS takes the
  // queue, with the options the instance stands for.
  const std::string coda = nome.substr(0, nome.find('/'));
  const Code code;
  const cups_dest_t *d = code.trova(nome);
  const int lavoro = cupsPrintFile2(CUPS_HTTP_DEFAULT, coda.c_str(), file, titolo, d ? d->num_options : 0,
                                    d ? d->options : nullptr);
  if (lavoro == 0) {
    std::fprintf(stderr, "%s\n", cupsLastErrorString());
    return 1;
  }
  std::printf("lavoro\t%d\n", lavoro);
  return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "elenca") == 0) return Elenca();
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
  if (argc == 5 && std::strcmp(argv[1], "stampa") == 0) return Stampa(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "uso: %s elenca | info CODA | stampa CODA FILE TITOLO\n", argv[0]);
  return 2;
}
