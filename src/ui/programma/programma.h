#pragma once

#include "app/stato.h"
#include "platform/casuale.h"
#include "platform/messaggiqt.h"
#include "platform/orologio.h"
#include "platform/preferenze.h"
#include "platform/stampanteqt.h"
#include "ui/programma/finestre.h"

// The whole program as main runs it: the state, the real seams and the windows.
// The start-up benchmark and the whole-program tests build the same object.
class Programma {
 public:
  // argv0 names the level file: the executable's base name + ".dat".
  explicit Programma(const QString &argv0);

  // Creates and shows the start window (which reads the level file).
  frmInizio *avvia();

  Stato stato;
  OrologioSistema orologio;
  CasualeSistema casuale;
  MessaggiQt messaggi;
  StampanteQt stampante;
  PreferenzeQt preferenze;
  Finestre finestre;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, finestre};
};

// The application-wide look: the program's style, so the buttons show their colours.
void ImpostaApplicazione();
