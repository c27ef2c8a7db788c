#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class frmSceltaStampante : public Finestra {
  Q_OBJECT
 public:
  frmSceltaStampante(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  Contesto &m_ctx;
};
