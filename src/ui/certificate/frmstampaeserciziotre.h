#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class FrmStampaEsercizioTre : public Finestra {
  Q_OBJECT
 public:
  FrmStampaEsercizioTre(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  Contesto &m_ctx;
};
