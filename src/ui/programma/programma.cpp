#include "ui/programma/programma.h"

#include "app/livelli.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStyleFactory>

Programma::Programma(const QString &argv0) {
  stato.livello.strNomeFile = NomeBaseEseguibile(argv0);
  if (stato.livello.strNomeFile.isEmpty()) stato.livello.strNomeFile = QStringLiteral("vornel");
  stampante.impostaSceltaFilePdf([](const QString &suggerito) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Salva come PDF"), suggerito,
                                        QStringLiteral("Documenti PDF (*.pdf)"));
  });
}

frmInizio *Programma::avvia() { return finestre.avvia(ctx); }

void ImpostaApplicazione() {
  QApplication::setApplicationName(QStringLiteral("vornel"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vornel"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.vornel"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}
