#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class QLabel;

// The start window: the program's first window. Loading it reads the level
// file and draws the unit family and the digits setting.
class frmInizio : public Finestra {
  Q_OBJECT
 public:
  explicit frmInizio(Contesto &ctx, QWidget *genitore = nullptr);

  // Draws the captions of the family in force and puts its symbols in force.
  void disegnaFamiglia();
  void disegnaCifre();

 private:
  Contesto &m_ctx;
  QLabel *m_label6[3]{};
  QLabel *m_label3 = nullptr;
  QLabel *m_lblCifre = nullptr;
};
