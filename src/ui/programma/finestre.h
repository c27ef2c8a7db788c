#pragma once

#include "ui/common/contesto.h"
#include "ui/common/quaderno.h"
#include "ui/common/sorveglianza.h"
#include "ui/common/voce.h"
#include "ui/programma/coperture.h"

#include <QObject>
#include <QFont>
#include <QPointer>
#include <QTimer>
#include <memory>

class Preferenze;

#include "ui/certificate/frmattestato.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/info/frmistruzioni.h"
#include "ui/opzioni/frmopzioni.h"
#include "ui/start/frminizio.h"
#include "ui/worksheets/frmsceltastampante.h"
#include "ui/worksheets/frmstampaschedetre.h"

// The program's windows: each is created on first use and lives until it is
// closed; asking for an open window brings it to the front.
class Finestre final : public QObject, public Navigazione {
  Q_OBJECT
 public:
  Finestre() = default;
  ~Finestre() override;

  // Creates the start window (loading it performs the start-up) and shows it.
  frmInizio *avvia(Contesto &ctx);

  void apriEsercizio() override;
  void apriStampaEsercizio() override;
  void apriAttestato() override;
  void apriSchede() override;
  void apriSceltaStampante() override;
  void apriAutore() override;
  void apriLivello() override;
  void apriIstruzioni() override;
  void apriAlunno() override;
  void apriRegistro() override;
  void apriOpzioni() override;
  void apriSuMisura() override;
  void chiudiPorta() override;
  void chiudiTutto() override;
  QString didascaliaInizio(const QString &nomeControllo) override;
  Quaderno *quaderno() override;
  Voce *voce() override;

  // The register the program loads as a module at first use (the real program
  // only; a test hands its own or none).
  void caricaQuadernoAlBisogno(bool si) { m_caricaQuaderno = si; }
  void impostaQuaderno(std::unique_ptr<Quaderno> q) { m_quaderno = std::move(q); }
  // The voice the program loads as a module at first use (the real program
  // only; a test hands its own or none).
  void caricaVoceAlBisogno(bool si) { m_caricaVoce = si; }
  void impostaVoce(std::unique_ptr<Voce> v) { m_voce = std::move(v); }
  // Where the machine's options are kept (the real program only; a test hands its own or none).
  void impostaPreferenze(Preferenze *p) { m_preferenze = p; }
  // The options in force have changed in the options window: they are kept
  // (the machine's in its settings, a pupil's plan in the register) and the
  // open windows follow at once.
  void opzioniCambiate();
  // The open windows follow the options in force (after the choice of a pupil too).
  void applicaOpzioni();

  // With nobody touching the program for this long the teacher's door shuts.
  static constexpr int kPausaPorta = 2 * 60 * 1000;  // ms
  // A pupil between two exercises acts within seconds (three presses start the
  // next); this long without a touch while no exercise is under way, they have
  // gone, and whoever sits down next must not work under their name. Choosing
  // the name again costs one click; a wrong name costs the register its truth.
  static constexpr int kPausaAlunno = 2 * 60 * 1000;  // ms
  // With a school's server set, the register's module (and its sender) is
  // loaded this long after start.
  static constexpr int kAvvioInvio = 3000;  // ms
  // The pauses and how often they are looked at (a test's shorter ones).
  void impostaPause(int porta, int alunno, int controllo = 1000);
  // The chosen pupil leaves: the name and their plan go.
  void dimenticaAlunno();

  [[nodiscard]] frmInizio *inizio() const { return m_inizio; }
  [[nodiscard]] FrmOperativo *esercizio() const { return m_esercizio; }
  [[nodiscard]] FrmStampaEsercizioTre *stampaEsercizio() const { return m_stampaEsercizio; }
  [[nodiscard]] FrmAttestato *attestato() const { return m_attestato; }
  [[nodiscard]] FrmStampaSchedeTre *schede() const { return m_schede; }
  [[nodiscard]] frmSceltaStampante *sceltaStampante() const { return m_sceltaStampante; }
  [[nodiscard]] frmIstruzioni *istruzioni() const { return m_istruzioni; }
  [[nodiscard]] FrmOpzioni *opzioni() const { return m_opzioni; }
  // The fonts of the other windows readied ahead, and how many are still waiting.
  [[nodiscard]] const QList<QFont> &caratteriDelleFinestre() const { return m_caratteri; }
  [[nodiscard]] qsizetype caratteriInAttesa() const { return m_caratteri.size() - m_preparati; }

 Q_SIGNALS:
  // Every window has been closed: the program ends.
  void fine();

 private:
  // Once the start window's curtain has opened, readies the fonts of the other
  // windows one at a time while the program waits for the pupil, so that no
  // window spends its first showing looking for them.
  void preparaCaratteri();
  // Brings the window forward, or builds it with `crea` and shows it new.
  template <typename T, typename Crea>
  void apri(QPointer<T> &finestra, Crea crea);
  // Shows the window on top of the others and gives it the focus.
  void mostra(QWidget *w);
  // Shows a window just built, a step per turn of the loop from the given one.
  void mostraNuova(QWidget *finestra, int passo = 0);
  // Tells a new fault of the register, once.
  void avvisaGuastoRegistro();
  // Looks at the pauses: shuts the door, forgets the pupil.
  void controllaPause();
  [[nodiscard]] bool esercizioInCorso() const;

  Contesto *m_ctx = nullptr;
  Coperture m_coperture;
  bool m_chiuso = false;
  bool m_attestatoInCostruzione = false;
  QTimer m_preparazione;
  QTimer m_guardia;
  Inattivita *m_inattivita = nullptr;
  int m_pausaPorta = kPausaPorta;
  int m_pausaAlunno = kPausaAlunno;
  QList<QFont> m_caratteri;
  qsizetype m_preparati = 0;
  QPointer<frmInizio> m_inizio;
  QPointer<FrmOperativo> m_esercizio;
  QPointer<FrmStampaEsercizioTre> m_stampaEsercizio;
  QPointer<FrmAttestato> m_attestato;
  QPointer<FrmStampaSchedeTre> m_schede;
  QPointer<frmSceltaStampante> m_sceltaStampante;
  QPointer<frmIstruzioni> m_istruzioni;
  QPointer<FrmOpzioni> m_opzioni;
  Preferenze *m_preferenze = nullptr;
  std::unique_ptr<Quaderno> m_quaderno;
  bool m_caricaQuaderno = false;
  std::unique_ptr<Voce> m_voce;
  bool m_caricaVoce = false;
};
