#pragma once

#include "ui/common/contesto.h"

// For a benchmark that builds one window alone: the windows it would open stay closed.
class NavigazioneMuta final : public Navigazione {
 public:
  void apriEsercizio() override {}
  void apriStampaEsercizio() override {}
  void apriAttestato() override {}
  void apriSchede() override {}
  void apriSceltaStampante() override {}
  void apriAutore() override {}
  void apriLivello() override {}
  void apriIstruzioni() override {}
  void apriAlunno() override {}
  void apriRegistro() override {}
  void chiudiTutto() override {}
  QString didascaliaInizio(const QString &) override { return {}; }
};
