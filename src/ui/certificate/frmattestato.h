#pragma once

#include <memory>

#include "ui/certificate/disegnoattestato.h"
#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class GruppoOpzioni;
class QCloseEvent;
class VistaAttestato;

// The certificate of merit: drawn row by row when the window opens, printed
// at its own size on paper.
class FrmAttestato : public Finestra {
  Q_OBJECT
 public:
  FrmAttestato(Contesto &ctx, QWidget *genitore = nullptr);
  ~FrmAttestato() override;

  [[nodiscard]] const DisegnoAttestato &disegno() const { return *m_disegno; }
  [[nodiscard]] GruppoOpzioni *comandi() const { return m_comandi; }
  // Prints the certificate; false (after telling the user why) when it could not.
  bool stampa();

 private:
  void comando(int i);
  void disegna();
  [[nodiscard]] DatiAttestato dati() const;

  Contesto &m_ctx;
  GruppoOpzioni *m_comandi = nullptr;
  VistaAttestato *m_vista = nullptr;
  std::unique_ptr<DisegnoAttestato> m_disegno;
};
