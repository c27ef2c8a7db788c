#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class FrmStampaSchedeTre : public Finestra {
  Q_OBJECT
 public:
  FrmStampaSchedeTre(Contesto &ctx, QWidget *genitore = nullptr);

 private:
  Contesto &m_ctx;
};
