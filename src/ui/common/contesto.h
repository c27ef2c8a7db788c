#pragma once

#include "app/stato.h"

class Casuale;
class Quaderno;
class Voce;
class Messaggi;
class Orologio;
class Stampante;
class QWidget;

// Opens the program's windows. The windows ask for one another through it, so
// each room stands on its own and a test can watch what a window opens.
class Navigazione {
 public:
  virtual ~Navigazione() = default;
  virtual void apriEsercizio() = 0;          // FrmOperativo, not modal, over the start window
  virtual void apriStampaEsercizio() = 0;    // FrmStampaEsercizioTre, not modal
  virtual void apriAttestato() = 0;          // FrmAttestato, created anew each time
  virtual void apriSchede() = 0;             // FrmStampaSchedeTre, not modal
  virtual void apriSceltaStampante() = 0;    // frmSceltaStampante, not modal
  virtual void apriAutore() = 0;             // frmAutore, modal over the start window
  virtual void apriLivello() = 0;            // FrmLivello, modal over the start window
  virtual void apriIstruzioni() = 0;         // frmIstruzioni, not modal
  virtual void apriAlunno() = 0;             // the pupil's choice of their name, modal
  virtual void apriRegistro() = 0;           // the teacher's register, behind the door
  virtual void apriOpzioni() {}              // FrmOpzioni, not modal
  // FrmOperativo with twenty operations chosen from the chosen pupil's history.
  virtual void apriSuMisura() {}
  // A pupil may be at the keyboard (an exercise starts): the teacher's
  // windows close, and the PIN is asked again.
  virtual void chiudiPorta() {}
  virtual void chiudiTutto() = 0;            // unloads every window: the program ends
  // The pupils' register, loaded at its first use; null when there is none.
  [[nodiscard]] virtual Quaderno *quaderno() { return nullptr; }
  // The voice that reads aloud, loaded at its first use; null when there is none.
  [[nodiscard]] virtual Voce *voce() { return nullptr; }
  // The caption of a label of the start window (the certificate copies two).
  [[nodiscard]] virtual QString didascaliaInizio(const QString &nomeControllo) = 0;
};

// The seams and the state a window works with.
struct Contesto {
  Stato &stato;
  Orologio &orologio;
  Casuale &casuale;
  Messaggi &messaggi;
  Stampante &stampante;
  Navigazione &nav;
};
