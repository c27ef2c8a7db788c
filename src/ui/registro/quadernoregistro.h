#pragma once

#include <QPointer>

#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "ui/common/quaderno.h"
#include "ui/registro/frmregistro.h"

// The register behind the program's windows: one SQLite file in the user's
// data folder, opened at the first request.
class QuadernoRegistro final : public Quaderno {
 public:
  explicit QuadernoRegistro(const QString &percorso = Registro::PercorsoPredefinito());

  void iniziaEsercizio(const DatiEsercizio &dati) override;
  void operazioneChiusa(const OperazioneChiusa &op) override;
  void interrompiEsercizio() override;
  std::optional<AlunnoScelto> scegliAlunno(Contesto &ctx, QWidget *sopra) override;
  void apriRegistro(Contesto &ctx, QWidget *sopra) override;
  std::optional<QString> prendiMessaggio() override;

  [[nodiscard]] Registro &registro() { return m_registro; }
  // The door's clock and the PIN digest's cost (a test's own, or the real ones).
  void impostaPorta(PortaDocente::Adesso adesso, int iterazioni) {
    m_adesso = std::move(adesso);
    m_iterazioni = iterazioni;
  }
  // The register window while it is open.
  [[nodiscard]] FrmRegistro *finestraRegistro() const { return m_finestra; }

 private:
  Registro m_registro;
  RegistrazioneEsercizio m_registrazione{m_registro};
  PortaDocente::Adesso m_adesso;
  int m_iterazioni = PortaDocente::kIterazioni;
  QPointer<FrmRegistro> m_finestra;
};
