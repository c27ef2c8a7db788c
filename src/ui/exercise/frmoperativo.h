#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class FrmOperativo : public Finestra {
  Q_OBJECT
 public:
  FrmOperativo(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  Contesto &m_ctx;
};
