#pragma once

#include "support/doppi.h"
#include "ui/programma/finestre.h"

#include <QApplication>

// The program's windows as main builds them, over the test doubles and in a
// folder of its own; every window is closed and deleted at the end.
struct ProgrammaDiProva {
  CartellaTemporanea dir;
  Banco b;
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, b.casuale, b.messaggi, b.stampante, finestre};
  ProgrammaDiProva() { b.stato.livello.strNomeFile = QStringLiteral("vornel"); }
  ~ProgrammaDiProva() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Windows never shown don't delete themselves on close.
    delete finestre.inizio();
  }
};
