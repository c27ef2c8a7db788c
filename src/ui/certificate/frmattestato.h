#pragma once

#include <memory>

#include "ui/certificate/disegnoattestato.h"
#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class GruppoOpzioni;
class QCloseEvent;

// The drawn certificate at the control's size on screen, drawn again when
// the window's layout changes that size; in a window of high contrast it is
// drawn in the picture's colours of strong contrast.
class VistaAttestato : public QWidget {
  Q_OBJECT
 public:
  explicit VistaAttestato(QWidget *genitore);
  void mostra(DisegnoAttestato *disegno);
  [[nodiscard]] QSize pixel() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }

  // The colours the picture is painted in here.
  [[nodiscard]] DisegnoAttestato::Colori colori() const;
  // Every row the picture writes with the colour under it: what a check of contrast reads.
  struct Scritta {
    QString cosa;
    QColor testo, sfondo;
  };
  [[nodiscard]] QList<Scritta> scritte() const;

 protected:
  void paintEvent(QPaintEvent *e) override;

 private:
  DisegnoAttestato *m_disegno = nullptr;
};

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
