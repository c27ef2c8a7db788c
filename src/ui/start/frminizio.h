#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"
#include "ui/start/tendina.h"

#include <QElapsedTimer>
#include <QTimer>

class GruppoOpzioni;
class QAction;
class QFrame;
class QLabel;

// The start window, the program's first window. Loading it performs the
// start-up (level file, family and digits captions, the curtain); the pupil
// then chooses what to find, the order of the symbols, and starts.
class frmInizio : public Finestra {
  Q_OBJECT
 public:
  explicit frmInizio(Contesto &ctx, QWidget *genitore = nullptr);

  // Draws the captions of the family in force and puts its symbols in force.
  void disegnaFamiglia();
  void disegnaCifre();
  // Puts a family and a digits setting chosen in the level window in force:
  // saved at once and drawn as a change of family by its caption is.
  void impostaLivello(int intLivello, int intCifre);
  // Shows the pupil chosen before "Vai" (nothing when none is).
  void mostraAlunno();
  // "Su misura" is offered only with a pupil chosen; its tooltip says why not.
  void mostraSuMisura();

  [[nodiscard]] const Tendina &tendina() const { return m_tendina; }

 protected:
  bool event(QEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;
  void showEvent(QShowEvent *e) override;
  void dopoRidimensionamento() override;

 private:
  void costruisci();
  void cosaCalcolare(int i);
  void ordineSimboli(int i);
  void azione(int i);
  void riprisitina();
  void bloccaPannelli(bool bloccati);
  void cambiaFamiglia();
  void cambiaCifre();
  void svuotaScelte();
  void passoTendina();
  void posaTendina();

  Contesto &m_ctx;
  GruppoOpzioni *m_option1 = nullptr;
  GruppoOpzioni *m_option2 = nullptr;
  GruppoOpzioni *m_option3 = nullptr;
  QWidget *m_frame1 = nullptr;
  QWidget *m_frame2 = nullptr;
  QWidget *m_frame3 = nullptr;
  QFrame *m_frame4 = nullptr;
  QFrame *m_frame5 = nullptr;
  QLabel *m_label1 = nullptr;
  QLabel *m_label2 = nullptr;
  QLabel *m_label3 = nullptr;
  QLabel *m_label4[2]{};
  QLabel *m_label6[3]{};
  QLabel *m_label7 = nullptr;
  QLabel *m_label8 = nullptr;
  QLabel *m_lblCifre = nullptr;
  QWidget *m_picture1 = nullptr;
  QWidget *m_picture2 = nullptr;
  QAction *m_mnuStampa = nullptr;
  QAction *m_mnuAutore = nullptr;
  QAction *m_mnuLivello = nullptr;
  QAction *m_mnuIstruzioni = nullptr;
  QAction *m_mnuAlunno = nullptr;
  QAction *m_mnuRegistro = nullptr;
  QLabel *m_lblAlunno = nullptr;
  QAction *m_mnuOpzioni = nullptr;
  QAction *m_mnuSuMisura = nullptr;
  QTimer m_timerTendine;
  QElapsedTimer m_tempoTendina;
  Tendina m_tendina;
  bool m_tendinaAvviata = false;
};
