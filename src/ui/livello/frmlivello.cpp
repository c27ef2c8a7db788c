#include "ui/livello/frmlivello.h"

#include "app/stato.h"
#include "generation/famiglie.h"
#include "ui/common/aspetto.h"

#include <QButtonGroup>
#include <algorithm>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace aspetto;

QString FrmLivello::RigaFamiglia(int intLivello) {
  FamigliaUnita f;
  if (!ApplicaFamiglia(f, intLivello)) return {};
  return u"%1.  %2 \u2014 %3   (%4)"_s.arg(intLivello, 2)
      .arg(SistemaFamiglia(intLivello).trimmed(), ElencoUnita(intLivello),
           SimboliDecrescenti(f).simplified());
}

FrmLivello::FrmLivello(int intLivello, int intCifre, QWidget *genitore) : QDialog(genitore) {
  setObjectName(u"frmLivello"_s);
  setWindowTitle(u"Livello"_s);
  colora(this, kSfondo);
  setFont(carattere(u"Arial"_s, 12));

  auto *titolo = new QLabel(u"Unità di misura"_s, this);
  titolo->setObjectName(u"lblFamiglie"_s);
  titolo->setFont(carattere(u"Arial"_s, 12, true));
  m_famiglie = new QListWidget(this);
  m_famiglie->setObjectName(u"lstFamiglie"_s);
  m_famiglie->setAccessibleName(u"Unità di misura"_s);
  titolo->setBuddy(m_famiglie);
  for (int n = 1; n <= kFamiglie; ++n) m_famiglie->addItem(RigaFamiglia(n));
  m_famiglie->setCurrentRow(std::clamp(intLivello, 1, kFamiglie) - 1);
  // Every row in view: twelve rows and their text, with no scrolling.
  m_famiglie->setMinimumWidth(m_famiglie->sizeHintForColumn(0) + 2 * m_famiglie->frameWidth() + 8);
  m_famiglie->setMinimumHeight(kFamiglie * m_famiglie->sizeHintForRow(0) + 2 * m_famiglie->frameWidth() + 4);

  auto *valori = new QGroupBox(u"Valori"_s, this);
  valori->setObjectName(u"fraCifre"_s);
  m_cifre = new QButtonGroup(this);
  auto *righeValori = new QHBoxLayout(valori);
  for (int c = 1; c <= 2; ++c) {
    auto *b = new QRadioButton(DidascaliaCifre(c), valori);
    b->setObjectName(u"optCifre_%1"_s.arg(c));
    b->setChecked(c == intCifre);
    m_cifre->addButton(b, c);
    righeValori->addWidget(b);
  }
  if (!m_cifre->checkedButton()) m_cifre->button(1)->setChecked(true);

  auto *chiudi = new QPushButton(u"Chiudi"_s, this);
  chiudi->setObjectName(u"cmdChiudi"_s);
  colora(chiudi, kFuoco);
  connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);

  auto *colonna = new QVBoxLayout(this);
  colonna->addWidget(titolo);
  colonna->addWidget(m_famiglie, 1);
  colonna->addWidget(valori);
  auto *basso = new QHBoxLayout;
  basso->addStretch();
  basso->addWidget(chiudi);
  colonna->addLayout(basso);

  // A row chosen with the mouse or the arrows, or a size of values, is in force at once.
  connect(m_famiglie, &QListWidget::currentRowChanged, this, &FrmLivello::sceltaFatta);
  connect(m_cifre, &QButtonGroup::idToggled, this, [this](int, bool acceso) {
    if (acceso) sceltaFatta();
  });
  // Enter on the list closes the window with the family chosen.
  connect(m_famiglie, &QListWidget::itemActivated, this, &QDialog::accept);
  m_famiglie->setFocus();
}

void FrmLivello::sceltaFatta() {
  const int riga = m_famiglie->currentRow();
  if (riga < 0) return;
  Q_EMIT scelto(riga + 1, m_cifre->checkedId() == 2 ? 2 : 1);
}
