#pragma once

#include <QDialog>
#include <optional>

#include "app/stato.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class Registro;

// The pupil picks their class, then their own name; no PIN. "Senza nome"
// clears the choice, so the exercises go to the register without a name.
class FrmAlunno : public QDialog {
  Q_OBJECT
 public:
  FrmAlunno(Registro &registro, const AlunnoScelto &attuale, QWidget *genitore = nullptr);

  // What was chosen once the window closed accepted (id 0: "Senza nome").
  [[nodiscard]] const std::optional<AlunnoScelto> &scelta() const { return m_scelta; }

 private:
  void riempiAlunni();
  void scegli();
  void senzaNome();

  Registro &m_registro;
  AlunnoScelto m_attuale;
  std::optional<AlunnoScelto> m_scelta;
  QComboBox *m_cmbClasse = nullptr;
  QListWidget *m_lstAlunni = nullptr;
  QLabel *m_lblAvviso = nullptr;
  QPushButton *m_cmdScegli = nullptr;
};
