#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class FrmAttestato : public Finestra {
  Q_OBJECT
 public:
  FrmAttestato(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  Contesto &m_ctx;
};
