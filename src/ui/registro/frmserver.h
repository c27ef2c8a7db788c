#pragma once

#include <QDialog>

#include "registro/configserver.h"
#include "registro/provaserver.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Where this computer finds the school's server: the address and port typed
// (no discovery), the database, the computers' user and password, how the
// connection is encrypted, and this computer's name. "Prova" checks them on a
// thread of its own (at once when the window opens on settings already made)
// and says in Italian what is wrong; "Salva" keeps them in
// the user's server.conf. The technician's file, when it holds the settings,
// is named at the top: the user's settings, once saved with an address, take
// its place.
class FrmServer : public QDialog {
  Q_OBJECT
 public:
  explicit FrmServer(QWidget *genitore = nullptr);

  // The settings as typed now.
  [[nodiscard]] ConfigServer impostazioni() const;
  // Whether a check is under way.
  [[nodiscard]] bool inProva() const { return m_inProva > 0; }

 Q_SIGNALS:
  // A check ended (the window shows its message).
  void provata(ProvaServer::Esito esito);
  // The settings were saved: what is in force now may have changed.
  void salvata();

 private:
  void mostra(const ConfigServer &c);
  void prova();
  void provataCon(quint64 numero, const ProvaServer::Risultato &r);
  void salva();
  void sfoglia();
  void aggiornaCertificato();
  void avviso(const QString &testo, bool buono);

  QLabel *m_lblSistema = nullptr;
  QLineEdit *m_txtHost = nullptr;
  QSpinBox *m_spnPorta = nullptr;
  QLineEdit *m_txtDatabase = nullptr;
  QLineEdit *m_txtUtente = nullptr;
  QLineEdit *m_txtPassword = nullptr;
  QComboBox *m_cmbSsl = nullptr;
  QLineEdit *m_txtCertificato = nullptr;
  QPushButton *m_cmdSfoglia = nullptr;
  QLineEdit *m_txtComputer = nullptr;
  QLabel *m_lblEsito = nullptr;
  QPushButton *m_cmdProva = nullptr;
  QPushButton *m_cmdSalva = nullptr;
  ConfigServer m_caricata;  // what the files held: what the window has no field for stays as it was
  quint64 m_numero = 0;     // the latest check; an older one's answer is dropped
  int m_inProva = 0;
};
