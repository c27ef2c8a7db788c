#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"

#include <QList>

class GruppoOpzioni;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The teacher's worksheet window: choose what to find and the symbol order,
// the number of lines, preview and print the pupils' or the teachers' sheet.
class FrmStampaSchedeTre : public Finestra {
  Q_OBJECT
 public:
  explicit FrmStampaSchedeTre(Contesto &ctx, QWidget *genitore = nullptr);

 protected:
  void showEvent(QShowEvent *e) override;
  void changeEvent(QEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  void costruisci();
  void didascalieOrdine();
  void sceltaCosa(int k);
  void sceltaOrdine(int k);
  void sceltaNumero(int k);
  void visualizza(int tipo);
  void stampa(int tipo);
  void cancella();
  void svuotaAnteprima(const QString &testo);
  void nascondiStampa();
  void mostraStampa(int tipo);
  void abilitaScheda();
  void marca(const QList<QLabel *> &marcatori, int k);

  Contesto &m_ctx;
  GruppoOpzioni *m_cosa = nullptr;
  GruppoOpzioni *m_ordine = nullptr;
  QList<QLabel *> m_label3, m_label4, m_anteprima;
  QList<QRadioButton *> m_opt1;
  QLabel *m_label1 = nullptr, *m_label2 = nullptr;
  QGroupBox *m_frame7 = nullptr, *m_frame1 = nullptr, *m_frame3 = nullptr, *m_frame4 = nullptr;
  QPushButton *m_visualizzaAlunni = nullptr, *m_stampaAlunni = nullptr;
  QPushButton *m_visualizzaDocenti = nullptr, *m_stampaDocenti = nullptr;
  bool m_primoShow = true;
};
