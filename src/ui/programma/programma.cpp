#include "ui/programma/programma.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPixmapCache>

#include "app/livelli.h"
#include "ui/common/stile.h"

Programma::Programma(const QString &argv0) {
  stato.livello.strNomeFile = NomeBaseEseguibile(argv0);
  if (stato.livello.strNomeFile.isEmpty()) stato.livello.strNomeFile = QStringLiteral("vornel");
  stampante.impostaSceltaFilePdf([](const QString &suggerito) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Salva come PDF"),
                                        suggerito, QStringLiteral("Documenti PDF (*.pdf)"));
  });
}

frmInizio *Programma::avvia() {
  return finestre.avvia(ctx);
}

void ImpostaApplicazione() {
  // No display name: the window system would append it to every caption.
  QApplication::setApplicationName(QStringLiteral("vornel"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.vornel"));
  QApplication::setStyle(new StileVornel);
  // Fusion keeps every frame and field face it has drawn, per size and state;
  // the program's own button faces are not cached, and one megabyte holds
  // what is left on screen at any moment (the default is ten).
  QPixmapCache::setCacheLimit(1024);
}
