#include "ui/registro/paginacomputer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "registro/inclasse.h"
#include "ui/registro/nomina.h"

using namespace Qt::StringLiterals;

PaginaComputer::PaginaComputer(Registro &registro, QWidget *genitore)
    : QWidget(genitore), m_registro(registro) {
  Nomina(this, u"paginaComputer"_s, u"Computer"_s);
  m_tbl = Nomina(new QTableWidget(this), u"tblComputer"_s, u"Computer del laboratorio"_s);
  m_tbl->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tbl->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_tbl->verticalHeader()->setVisible(false);
  m_tbl->setColumnCount(4);
  m_tbl->setHorizontalHeaderLabels(
      {u"Computer"_s, u"Operazioni in attesa"_s, u"Ultimo contatto"_s, u"Orologio"_s});
  auto *nota = Nomina(
      new QLabel(u"Le operazioni in attesa sono scritte sul computer e arrivano al server "
                 u"appena la rete lo permette. Un orologio sbagliato di più di %1 minuti va "
                 u"rimesso: le date degli esercizi fatti lì sarebbero sbagliate."_s.arg(kScartoMassimo / 60),
                 this),
      u"lblNotaComputer"_s, u"Legenda"_s);
  nota->setWordWrap(true);
  auto *cmdAggiorna = Nomina(new QPushButton(u"Aggiorna"_s, this), u"cmdAggiornaComputer"_s, u"Aggiorna"_s);
  auto *l = new QVBoxLayout(this);
  l->addWidget(m_tbl, 1);
  l->addWidget(nota);
  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(cmdAggiorna);
  pulsanti->addStretch();
  l->addLayout(pulsanti);
  connect(cmdAggiorna, &QPushButton::clicked, this, &PaginaComputer::aggiorna);
}

void PaginaComputer::aggiorna() {
  const auto elenco = LeggiComputer(m_registro);
  m_tbl->setRowCount(0);
  if (elenco) {
    m_tbl->setRowCount(static_cast<int>(elenco->size()));
    for (int r = 0; r < static_cast<int>(elenco->size()); ++r) {
      const ComputerDelLaboratorio &pc = elenco->at(r);
      const qint64 minuti = (pc.scarto < 0 ? -pc.scarto : pc.scarto) / 60;
      const QStringList celle{
          pc.nome, QString::number(pc.inAttesa), pc.contatto.toLocalTime().toString(u"dd/MM/yyyy hh:mm:ss"_s),
          pc.orologioSbagliato()
              ? u"SBAGLIATO: %1 di %2 min"_s.arg(pc.scarto > 0 ? u"avanti"_s : u"indietro"_s).arg(minuti)
              : u"giusto"_s};
      for (int c = 0; c < celle.size(); ++c) {
        auto *cella = new QTableWidgetItem(celle.at(c));
        if (pc.orologioSbagliato()) cella->setBackground(QColor(255, 176, 176));
        m_tbl->setItem(r, c, cella);
      }
    }
    m_tbl->resizeColumnsToContents();
    m_tbl->horizontalHeader()->setStretchLastSection(true);
  }
  Q_EMIT letta();
}
