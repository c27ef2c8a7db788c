#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "registro/configserver.h"
#include "registro/invio.h"
#include "registro/lettoreinclasse.h"
#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "ui/common/quaderno.h"
#include "ui/registro/frmregistro.h"

// The register behind the program's windows: one SQLite file in the user's
// data folder, opened at the first request.
class QuadernoRegistro final : public Quaderno {
 public:
  // How long the door stays open after the teacher came in or closed the
  // register window, so that the register and the options one after the other
  // ask for the PIN once. An exercise that starts closes it at once.
  static constexpr qint64 kPortaRicordata = 2 * 60 * 1000;  // ms
  static constexpr int kAttesaRiavvio = 200;  // ms the old sender is given when the settings change

  explicit QuadernoRegistro(const QString &percorso = Registro::PercorsoPredefinito());
  // The sender stops (within about two seconds) before the register closes.
  ~QuadernoRegistro() override;

  void iniziaEsercizio(const DatiEsercizio &dati) override;
  void operazioneChiusa(const OperazioneChiusa &op) override;
  void interrompiEsercizio() override;
  std::optional<AlunnoScelto> scegliAlunno(Contesto &ctx, QWidget *sopra) override;
  void apriRegistro(Contesto &ctx, QWidget *sopra) override;
  bool apriPorta(Contesto &ctx, QWidget *sopra, const QString &titolo) override;
  void apriServer(Contesto &ctx, QWidget *sopra) override;
  std::optional<Opzioni> pianoAlunno(qint64 alunno) override;
  bool salvaPiano(qint64 alunno, const std::optional<Opzioni> &piano) override;
  std::optional<QList<SceltaOperazione>> pianoSuMisura(qint64 alunno, int famiglia, const QDate &oggi,
                                                       Casuale &casuale) override;
  std::optional<QString> prendiMessaggio() override;
  void chiudiPorta() override;
  [[nodiscard]] bool portaAperta() const override;

  [[nodiscard]] Registro &registro() { return m_registro; }
  // The door's clock and the PIN digest's cost (a test's own, or the real ones).
  void impostaPorta(PortaDocente::Adesso adesso, int iterazioni) {
    m_adesso = std::move(adesso);
    m_iterazioni = iterazioni;
  }
  // The register window while it is open.
  [[nodiscard]] FrmRegistro *finestraRegistro() const { return m_finestra; }
  // Where the school's server is; by default read at each door from the
  // machine's and the user's files (a test gives its own).
  void impostaServer(std::optional<ConfigServer> config) { m_config = std::move(config); }
  // The school's register on the server while the teacher is signed in.
  [[nodiscard]] Registro *registroServer() const { return m_server.get(); }
  // The recording of the exercises (what waits to be written).
  [[nodiscard]] RegistrazioneEsercizio &registrazione() { return m_registrazione; }
  // The sender to the school's server; none when no server is set on this machine.
  [[nodiscard]] Invio *invio() const { return m_invio.get(); }
  // Sends to the server `config` names (the program does so at construction
  // when a server is set on this machine; a test hands its own, and its waits).
  void avviaInvio(const ConfigServer &config, Invio::Impostazioni impostazioni = {});
  // The settings in force changed (saved in Opzioni): the sender stops, and
  // starts again with them when they name a server.
  void riavviaInvio();

 private:
  // The door: open at once while the teacher is known to be here, else
  // through the PIN. True once the teacher is in.
  bool entra(QWidget *sopra, const QString &titolo);
  // The door of the school's server; `locale` set when the teacher chose this
  // computer's own register instead (the server not answering).
  bool entraServer(QWidget *sopra, const QString &titolo, const ConfigServer &config, bool &locale);
  [[nodiscard]] ConfigServer config() const;
  // The server's connection goes with the door: closed when the door shuts.
  void lasciaServer();
  [[nodiscard]] qint64 adesso() const;

  Registro m_registro;
  RegistrazioneEsercizio m_registrazione{m_registro};
  PortaDocente::Adesso m_adesso;
  int m_iterazioni = PortaDocente::kIterazioni;
  QPointer<FrmRegistro> m_finestra;
  qint64 m_dentroDa = 0;  // when the teacher last came in or left the register (0: not since an exercise)
  QObject m_legami;       // ties the register window's signals to this object's life
  std::optional<ConfigServer> m_config;
  std::unique_ptr<Registro> m_server;  // the teacher's connection, while the door is open
  std::unique_ptr<LettoreInClasse> m_lettore;  // the teacher's second connection, read off this thread
  bool m_soloLocale = false;           // the teacher chose this computer's register, the server not answering
  QTimer m_scadenzaServer;             // the door remembered no longer: the connection closes
  QPointer<QDialog> m_finestraPorta;  // the PIN being asked
  QPointer<QDialog> m_finestraServer;  // the server's settings while open
  bool m_portaSbarrata = false;
  std::unique_ptr<Invio> m_invio;
  int m_livelloFinestra = 0;  // the depth of event loops the register window was opened at       // shut on purpose: not open for two minutes after
};
