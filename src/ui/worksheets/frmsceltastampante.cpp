#include "ui/worksheets/frmsceltastampante.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "platform/stampante.h"
#include "ui/common/aspetto.h"

using namespace Qt::StringLiterals;

frmSceltaStampante::frmSceltaStampante(Contesto &ctx, QWidget *genitore)
    : Finestra(u"frmSceltaStampante"_s, u"Scegli la stampante"_s, {6000, 3300}, aspetto::kSfondo, genitore),
      m_ctx(ctx) {
  using aspetto::twips;
  const QFont testo = aspetto::carattere(u"Arial"_s, 10, true);
  m_combo = new QComboBox(client());
  m_combo->setObjectName(u"Combo1"_s);
  m_combo->setGeometry(twips(240, 240, 5520, 390));
  m_combo->setFont(testo);
  m_combo->setAccessibleName(u"Stampanti installate"_s);

  auto *predefinita = aspetto::etichetta(client(), u"Label1"_s, QString(), twips(240, 780, 5520, 660));
  m_scelta = aspetto::etichetta(client(), u"Label2"_s, QString(), twips(240, 1500, 5520, 660));
  for (auto *l : {predefinita, m_scelta}) {
    l->setFont(testo);
    l->setWordWrap(true);
  }
  aspetto::coloraTesto(m_scelta, aspetto::kRosso);

  auto *chiudi = new QPushButton(u"C H I U D I"_s, client());
  chiudi->setObjectName(u"Command2"_s);
  chiudi->setGeometry(twips(1800, 2400, 2400, 600));
  chiudi->setFont(testo);
  connect(chiudi, &QPushButton::clicked, this, &QWidget::close);

  // The load's own selection of the first entry is the first event, and changes nothing.
  connect(m_combo, &QComboBox::currentIndexChanged, this, &frmSceltaStampante::scelta);
  connect(m_combo, &QComboBox::activated, this, &frmSceltaStampante::scelta);
  m_combo->addItems(m_ctx.stampante.stampanti());
  if (m_combo->count() > 0 && m_combo->currentIndex() != 0) m_combo->setCurrentIndex(0);
  predefinita->setText(u"La stampante predefinita \u00E8 \n"_s + m_ctx.stampante.corrente());
}

void frmSceltaStampante::scelta(int indice) {
  if (m_primaSelezione) {
    m_primaSelezione = false;
    return;
  }
  if (indice < 0) return;
  m_ctx.stampante.scegli(m_combo->itemText(indice));
  m_scelta->setText(u"La stampante scelta \u00E8 \n"_s + m_ctx.stampante.corrente());
}
