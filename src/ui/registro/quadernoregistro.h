#pragma once

#include "registro/registrazione.h"
#include "registro/registro.h"
#include "ui/common/quaderno.h"

// The register behind the program's windows: one SQLite file in the user's
// data folder, opened at the first request.
class QuadernoRegistro final : public Quaderno {
 public:
  explicit QuadernoRegistro(const QString &percorso = Registro::PercorsoPredefinito());

  void iniziaEsercizio(const DatiEsercizio &dati) override;
  void operazioneChiusa(const OperazioneChiusa &op) override;
  void interrompiEsercizio() override;
  std::optional<QString> prendiMessaggio() override;

  [[nodiscard]] Registro &registro() { return m_registro; }

 private:
  Registro m_registro;
  RegistrazioneEsercizio m_registrazione{m_registro};
};
