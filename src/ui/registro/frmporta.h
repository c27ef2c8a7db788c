#pragma once

#include <QDialog>
#include <QTimer>

#include "registro/accessodocente.h"

class PortaDocente;
class QLabel;
class QLineEdit;
class QPushButton;

// A PIN box: digits only, hidden as typed, no input method nor completion.
QLineEdit *CasellaPin(const QString &nome, const QString &accessibile, QWidget *genitore);

// The teacher's door. At the first opening the teacher chooses a PIN and types
// it again; afterwards the PIN opens the door. After five wrong PINs in a row
// the door waits, and the seconds left are shown. The PIN only passes through
// the boxes, which are emptied after each try: it is never kept nor written.
class FrmPorta : public QDialog {
  Q_OBJECT
 public:
  // titolo: what the door opens, as its caption says.
  explicit FrmPorta(PortaDocente &porta, QWidget *genitore = nullptr, const QString &titolo = {});

  // Shows the wait the door imposes now (called each second while it lasts).
  void aggiorna();

 private:
  void entra();
  void avviso(const QString &testo);

  PortaDocente &m_porta;
  bool m_nuovo = false;  // no PIN chosen yet
  QLabel *m_lblSpiegazione = nullptr;
  QLineEdit *m_txtPin = nullptr;
  QLineEdit *m_txtConferma = nullptr;
  QLabel *m_lblMessaggio = nullptr;
  QLabel *m_lblAttesa = nullptr;
  QPushButton *m_cmdEntra = nullptr;
  QTimer m_orologio;
};

// The teacher's door when the school has a server: the teacher's own user name
// and password on the server instead of the PIN. The connection is made off
// the window's thread while the door says it is connecting; Esc or Annulla
// gives up at once. When the server does not answer, the door offers this
// computer's own register (behind the PIN). The password only passes through
// its box, emptied at each try.
class FrmPortaServer : public QDialog {
  Q_OBJECT
 public:
  FrmPortaServer(const ConfigServer &config, QWidget *genitore = nullptr, const QString &titolo = {});
  ~FrmPortaServer() override;

  // Accepted: the open connection's name (now this thread's), or empty when
  // the teacher chose this computer's own register.
  [[nodiscard]] const QString &connessione() const { return m_connessione; }
  // The second connection, for reading off the window's thread (may be empty).
  [[nodiscard]] const QString &connessioneVista() const { return m_connessioneVista; }
  [[nodiscard]] bool sceltoLocale() const { return m_locale; }
  [[nodiscard]] bool collegando() const { return m_accesso != nullptr; }

  void reject() override;

 private:
  void entra();
  void finito(const EsitoAccesso &esito);
  void avviso(const QString &testo);
  void abilita(bool si);
  // Grows the window to what its words now need (a message, the button to
  // this computer's register): never squeezed, never shrunk under the teacher.
  void adatta();

  ConfigServer m_config;
  QString m_connessione;
  QString m_connessioneVista;
  bool m_locale = false;
  AccessoDocente *m_accesso = nullptr;
  QLabel *m_lblSpiegazione = nullptr;
  QLineEdit *m_txtUtente = nullptr;
  QLineEdit *m_txtPassword = nullptr;
  QLabel *m_lblMessaggio = nullptr;
  QLabel *m_lblCollegamento = nullptr;
  QPushButton *m_cmdEntra = nullptr;
  QPushButton *m_cmdLocale = nullptr;
};
