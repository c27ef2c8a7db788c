#pragma once

#include <QDialog>

class PortaDocente;
class QLabel;
class QLineEdit;

// The teacher changes the PIN: the one in use, then the new one twice. The new
// one follows the rules of the first choice; a wrong PIN in use counts as a
// wrong try at the door. The boxes are emptied after each try.
class FrmCambiaPin : public QDialog {
  Q_OBJECT
 public:
  explicit FrmCambiaPin(PortaDocente &porta, QWidget *genitore = nullptr);

 private:
  void cambia();
  void avviso(const QString &testo, QLineEdit *dove);

  PortaDocente &m_porta;
  QLineEdit *m_txtVecchio = nullptr;
  QLineEdit *m_txtNuovo = nullptr;
  QLineEdit *m_txtConferma = nullptr;
  QLabel *m_lblMessaggio = nullptr;
};
