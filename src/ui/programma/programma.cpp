#include "ui/programma/programma.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPixmapCache>
#include <QStyleFactory>

#include "app/livelli.h"

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
  QApplication::setApplicationName(QStringLiteral("vornel"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vornel"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.vornel"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // The style keeps every button face it has drawn, per size and state; with
  // the many large buttons of these windows the default 10 MB filled up within
  // one exercise. One megabyte holds the faces on screen at any moment.
  QPixmapCache::setCacheLimit(1024);
}
