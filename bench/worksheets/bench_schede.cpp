// Time to compose the 30 lines of a worksheet (generation and composition of
// both versions) and to print a 30-line sheet to a PDF file with the real back
// end. Run with QT_QPA_PLATFORM=offscreen; an argument names a folder where
// the last PDFs are kept for a look.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "generation/famiglie.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampanteqt.h"
#include "ui/worksheets/componiriga.h"
#include "ui/worksheets/stampascheda.h"

namespace {

class Muto final : public Messaggi {
 public:
  void mostra(const QString &t, const QString &, Icona) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
};

template <typename F>
void Misura(const char *cosa, int giri, const char *unita, double scala, F &&f) {
  std::vector<double> v;
  for (int g = 0; g < giri; ++g) {
    QElapsedTimer t;
    t.start();
    if (!f(g)) {
      std::fprintf(stderr, "%s: fallito\n", cosa);
      return;
    }
    v.push_back(static_cast<double>(t.nsecsElapsed()) / scala);
  }
  std::sort(v.begin(), v.end());
  std::printf("%-46s mediana %9.1f %s   min %9.1f %s   max %9.1f %s   (%d giri)\n", cosa, v[v.size() / 2], unita,
              v.front(), unita, v.back(), unita, giri);
}

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  Stato stato;
  ApplicaFamiglia(stato.famiglia, 6);
  ApplicaCifre(stato.impostazioni, 2);
  stato.livello.intLivello = 6;
  stato.livello.intCifre = 2;
  stato.scheda.intCosaCalcolare = 3;
  stato.scheda.intOrdineSimboli = 3;
  OrologioSistema orologio;
  CasualeSistema casuale(1);
  Muto messaggi;

  Misura("comporre 30 righe (alunni e docenti)", 2000, "us", 1e3, [&](int) {
    RigeneraScheda(stato, 30, casuale, orologio, messaggi);
    return stato.scheda.intRigheGenerate == 30;
  });

  QTemporaryDir tmp;
  const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
  QDir().mkpath(cartella);
  StampanteQt stampante;
  stampante.scegli(kSalvaComePdf);
  Scheda &s = stato.scheda;
  for (int tipo = 1; tipo <= 2; ++tipo) {
    s.intTipoScheda = static_cast<qint16>(tipo);
    s.strRigheStampa = tipo == 2 ? s.strRigheDocenti : s.strRigheAlunni;
    s.strPiePagina = PiePaginaScheda(tipo, QStringLiteral("vornel"));
    const QString file = QDir(cartella).filePath(tipo == 2 ? QStringLiteral("docenti.pdf") : QStringLiteral("alunni.pdf"));
    stampante.impostaSceltaFilePdf([file](const QString &) { return file; });
    Misura(tipo == 2 ? "stampare in PDF la scheda docenti di 30 righe" : "stampare in PDF la scheda alunni di 30 righe",
           30, "ms", 1e6, [&](int) {
             return StampaScheda(s, TestoOrdineSimboli(3), DescrizioneLivello(6, 2), stampante, messaggi) ==
                    EsitoStampa::Stampata;
           });
  }
  return 0;
}
