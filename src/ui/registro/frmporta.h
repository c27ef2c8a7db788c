#pragma once

#include <QDialog>
#include <QTimer>

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
