#include "ui/opzioni/frmopzioni.h"

#include "ui/common/aspetto.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace aspetto;

namespace {

struct Voce {
  const char16_t *nome;
  const char16_t *testo;
  const char16_t *spiegazione;
  bool Opzioni::*campo;
};

// The options this window offers, in the order a teacher reads them.
constexpr Voce kVoci[] = {
    {u"chkTabellaAMano", u"&Tabella delle unità sempre a fianco dell'operazione",
     u"La tabella vuota delle unità della famiglia resta accanto all'operazione per tutto l'esercizio.",
     &Opzioni::tabellaAMano},
    {u"chkSenzaOrologio", u"&Nascondi i tempi (senza orologio)",
     u"\"Tempo parziale\" e \"Tempo totale\" non si vedono; i tempi restano nella stampa dell'esercizio.",
     &Opzioni::senzaOrologio},
    {u"chkCaratteriGrandi", u"&Caratteri che crescono con la finestra (per la LIM)",
     u"Ingrandendo o massimizzando una finestra, anche le scritte crescono con i controlli.",
     &Opzioni::caratteriGrandi},
    {u"chkAltoContrasto", u"&Alto contrasto",
     u"Colori molto contrastati (almeno 7 : 1) e il pulsante attivo segnato da un bordo spesso.",
     &Opzioni::altoContrasto},
};

}  // namespace

FrmOpzioni::FrmOpzioni(SceltaOpzioni &opzioni, QWidget *genitore) : QDialog(genitore), m_opzioni(opzioni) {
  setObjectName(u"frmOpzioni"_s);
  setWindowTitle(u"Opzioni"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  colora(this, kSfondo);
  setFont(carattere(u"Arial"_s, 12));

  auto *titolo = new QLabel(m_opzioni.alunno ? u"Strumenti per l'alunno scelto"_s : u"Strumenti per questo computer"_s, this);
  titolo->setObjectName(u"lblOpzioni"_s);
  titolo->setAccessibleName(titolo->text());
  titolo->setFont(carattere(u"Arial"_s, 12, true));

  auto *colonna = new QVBoxLayout(this);
  colonna->addWidget(titolo);
  for (const Voce &v : kVoci) {
    auto *c = new QCheckBox(QString::fromUtf16(v.testo), this);
    c->setObjectName(QString::fromUtf16(v.nome));
    c->setAccessibleName(c->text().remove(u'&'));
    c->setToolTip(QString::fromUtf16(v.spiegazione));
    c->setAccessibleDescription(c->toolTip());
    c->setChecked(m_opzioni.inVigore().*v.campo);
    connect(c, &QCheckBox::toggled, this, [this, campo = v.campo](bool acceso) {
      if (m_opzioni.inVigore().*campo == acceso) return;
      m_opzioni.daCambiare().*campo = acceso;
      Q_EMIT cambiate();
    });
    colonna->addWidget(c);
    m_caselle.append(c);
  }

  auto *chiudi = new QPushButton(u"Chiudi"_s, this);
  chiudi->setObjectName(u"cmdChiudi"_s);
  chiudi->setAccessibleName(u"Chiudi"_s);
  colora(chiudi, kFuoco);
  connect(chiudi, &QPushButton::clicked, this, &QDialog::close);
  auto *basso = new QHBoxLayout;
  basso->addStretch();
  basso->addWidget(chiudi);
  colonna->addStretch();
  colonna->addLayout(basso);
  m_caselle.first()->setFocus();
}
