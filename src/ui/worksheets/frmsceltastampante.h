#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class QComboBox;
class QLabel;

// Shows the printer in use and lets the user pick another one for the rest of the run.
class frmSceltaStampante : public Finestra {
  Q_OBJECT
 public:
  frmSceltaStampante(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  void scelta(int indice);

  Contesto &m_ctx;
  QComboBox *m_combo = nullptr;
  QLabel *m_scelta = nullptr;
  bool m_primaSelezione = true;
};
