#pragma once

#include <QList>

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

class GruppoOpzioni;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The end of an exercise: its operations listed, the pupil's name, the log on
// paper and the way to the certificate.
class FrmStampaEsercizioTre : public Finestra {
  Q_OBJECT
 public:
  FrmStampaEsercizioTre(Contesto &ctx, QWidget *genitore = nullptr);

  [[nodiscard]] GruppoOpzioni *comandi() const { return m_comandi; }
  // "STAMPA": the log on the program's printer when at least ten operations were asked.
  void stampa();

 private:
  void comando(int i);
  void scriviNome();
  void avanti();
  void elenca();

  Contesto &m_ctx;
  GruppoOpzioni *m_comandi = nullptr;
  QList<QLabel *> m_righe;  // LblOp 1..30 at 0..29
  QFrame *m_fraNome = nullptr;
  QLineEdit *m_txtNome = nullptr;
  QString m_nomeProposto;  // the chosen name the box was last filled with
  QPushButton *m_cmdAvanti = nullptr;
};
