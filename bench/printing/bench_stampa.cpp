// Time to print the 20-line log and the certificate to a PDF file, with the
// real back end (no printer chosen, so each printout first asks for the
// system's default), and to list the printers. Run with
// QT_QPA_PLATFORM=offscreen; an argument names a folder where the last PDFs
// are kept for a look.
#include "../navigazionemuta.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampanteqt.h"
#include "ui/certificate/frmattestato.h"
#include "ui/certificate/stampaesercizio.h"

namespace {

class Muto final : public Messaggi {
 public:
  void mostra(const QString &t, const QString &, Icona) override {
    std::fprintf(stderr, "%s\n", qPrintable(t));
  }
};

template <typename F>
void Misura(const char *cosa, int giri, F &&f) {
  std::vector<double> ms;
  for (int g = 0; g < giri; ++g) {
    QElapsedTimer t;
    t.start();
    if (!f(g)) {
      std::fprintf(stderr, "%s: stampa fallita\n", cosa);
      return;
    }
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s mediana %8.1f ms   min %8.1f ms   max %8.1f ms   (%d giri)\n", cosa, ms[ms.size() / 2],
              ms.front(), ms.back(), giri);
}

}  // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
  QDir().mkpath(cartella);
  qputenv("CUPS_SERVER", QDir(tmp.path()).filePath(QStringLiteral("nessuno.sock")).toLocal8Bit());

  Stato stato;
  Esercizio &e = stato.esercizio;
  e.intOperazione = 20;
  e.intEsatte = 18;
  e.strNomeAlunno = QStringLiteral("mARTINA");
  for (int k = 1; k <= 20; ++k)
    e.strRigheEsercizio[static_cast<size_t>(k)] =
        QStringLiteral("%1)   %2 h  +  %3 da  =  %4 u    esatta   %5 s")
            .arg(k, 2)
            .arg(k % 9 + 1)
            .arg(k % 7 + 2)
            .arg((k % 9 + 1) * 100 + (k % 7 + 2) * 10)
            .arg(k % 5 + 3);

  StampanteQt stampante;
  QString file;
  stampante.impostaSceltaFilePdf([&file](const QString &) { return file; });
  OrologioSistema orologio;
  CasualeSistema casuale(1);
  Muto messaggi;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};

  const int giri = 15;
  Misura("registro di 20 righe in PDF", giri, [&](int g) {
    file = QDir(cartella).filePath(QStringLiteral("esercizio-%1.pdf").arg(g % 2));
    return StampaEsercizio(stampante, e).riuscito();
  });
  FrmAttestato *w = nullptr;
  Misura("attestato: disegno riga per riga", 5, [&](int) {
    delete w;
    w = new FrmAttestato(ctx);
    return w->disegno().finito();
  });
  Misura("attestato in PDF (a fasce, 300 dpi)", giri, [&](int g) {
    file = QDir(cartella).filePath(QStringLiteral("attestato-%1.pdf").arg(g % 2));
    return w->stampa();
  });
  const QSize pixel = w->disegno().pixel(stampante.risoluzione());
  std::printf("attestato: %lld byte di PDF, immagine %dx%d\n", static_cast<long long>(QFileInfo(file).size()),
              pixel.width(), pixel.height());
  if (const QByteArray copia = qgetenv("VORNEL_COPIA_PDF"); !copia.isEmpty())
    QFile::copy(file, QString::fromLocal8Bit(copia));
  delete w;
  // Each question about the printers runs the vornel-cups helper (here with no
  // server to answer it): the time a window waits for the list.
  Misura("elenco delle stampanti (vornel-cups)", giri, [&](int) {
    return stampante.stampanti().endsWith(kSalvaComePdf);
  });
  return 0;
}
