#include "ui/start/frminizio.h"

#include "app/livelli.h"
#include "generation/famiglie.h"
#include "ui/common/aspetto.h"

#include <QLabel>

using namespace aspetto;

frmInizio::frmInizio(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("frmInizio"), QString(), {9600, 7200}, kSfondo, genitore), m_ctx(ctx) {
  auto *c = client();
  for (int i = 0; i < 3; ++i)
    m_label6[i] = etichetta(c, QStringLiteral("Label6_%1").arg(i), QString(), twips(300, 300 + i * 500, 9000, 450));
  m_label3 = etichetta(c, QStringLiteral("Label3"), QString(), twips(300, 1900, 1000, 450));
  m_lblCifre = etichetta(c, QStringLiteral("lblCifre"), QString(), twips(300, 2500, 4000, 450));
  registraLayout();

  LeggiLivelli(m_ctx.stato.livello);
  m_label3->setText(QString::number(m_ctx.stato.livello.intLivello));
  disegnaFamiglia();
  disegnaCifre();
}

void frmInizio::disegnaFamiglia() {
  const int n = m_ctx.stato.livello.intLivello;
  if (!ApplicaFamiglia(m_ctx.stato.famiglia, n)) return;
  setWindowTitle(TitoloSistema(n) + QStringLiteral("vornel"));
  m_label6[0]->setText(SistemaFamiglia(n));
  m_label6[1]->setText(QStringLiteral("VORNEL"));
  m_label6[2]->setText(DescrizioneFamiglia(n));
}

void frmInizio::disegnaCifre() {
  const int c = m_ctx.stato.livello.intCifre;
  if (!ApplicaCifre(m_ctx.stato.impostazioni, c)) return;
  m_lblCifre->setText(DidascaliaCifre(c));
}
