#include "ui/opzioni/frmopzioni.h"

#include "ui/common/aspetto.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
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
    {u"chkLeggiSempre", u"&Leggi sempre ad alta voce",
     u"Ogni nuova operazione e ogni risposta sono lette ad alta voce; il pulsante \"Leggi\" e il tasto F5 le rileggono.",
     &Opzioni::leggiSempre},
};

}  // namespace

FrmOpzioni::FrmOpzioni(SceltaOpzioni &opzioni, QWidget *genitore) : FrmOpzioni(opzioni, QString(), genitore) {}

FrmOpzioni::FrmOpzioni(SceltaOpzioni &opzioni, const QString &alunno, QWidget *genitore)
    : QDialog(genitore), m_opzioni(opzioni), m_alunno(alunno), m_perAlunno(!alunno.isEmpty() || opzioni.alunno) {
  setObjectName(u"frmOpzioni"_s);
  setWindowTitle(u"Opzioni"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  colora(this, kSfondo);
  setFont(carattere(u"Arial"_s, 12));

  const QString perChi = !m_alunno.isEmpty() ? u"Strumenti per %1"_s.arg(m_alunno)
                         : m_perAlunno      ? u"Strumenti per l'alunno scelto"_s
                                            : u"Strumenti per questo computer"_s;
  auto *titolo = new QLabel(perChi, this);
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
      // A pupil's first change starts their plan from what held for them.
      if (m_perAlunno && !m_opzioni.alunno) m_opzioni.alunno = m_opzioni.macchina;
      m_opzioni.daCambiare().*campo = acceso;
      mostraPiano();
      Q_EMIT cambiate();
    });
    colonna->addWidget(c);
    m_caselle.append(c);
  }

  if (m_perAlunno) {
    // Whose options hold, and the way back to the machine's.
    m_lblPiano = new QLabel(this);
    m_lblPiano->setObjectName(u"lblPiano"_s);
    m_lblPiano->setWordWrap(true);
    colonna->addWidget(m_lblPiano);
    m_cmdComputer = new QPushButton(u"&Usa le opzioni del computer"_s, this);
    m_cmdComputer->setObjectName(u"cmdOpzioniComputer"_s);
    m_cmdComputer->setAccessibleName(u"Usa le opzioni del computer"_s);
    m_cmdComputer->setToolTip(u"Toglie il piano dell'alunno: per lui valgono di nuovo le opzioni di questo computer."_s);
    m_cmdComputer->setAutoDefault(false);
    connect(m_cmdComputer, &QPushButton::clicked, this, [this] {
      if (!m_opzioni.alunno) return;
      m_opzioni.alunno.reset();
      for (qsizetype i = 0; i < m_caselle.size(); ++i) {
        const QSignalBlocker zitto(m_caselle.at(i));
        m_caselle.at(i)->setChecked(m_opzioni.inVigore().*kVoci[i].campo);
      }
      mostraPiano();
      m_caselle.first()->setFocus();
      Q_EMIT cambiate();
    });
    auto *riga = new QHBoxLayout;
    riga->addWidget(m_cmdComputer);
    riga->addStretch();
    colonna->addLayout(riga);
    mostraPiano();
  }
  m_lblAvviso = new QLabel(this);
  m_lblAvviso->setObjectName(u"lblAvviso"_s);
  m_lblAvviso->setAccessibleName(u"Avviso"_s);
  m_lblAvviso->setWordWrap(true);
  m_lblAvviso->hide();
  coloraTesto(m_lblAvviso, kRosso);
  colonna->addWidget(m_lblAvviso);

  // The server's settings are the machine's, kept by the register's module.
  auto *server = new QPushButton(u"&Server della scuola…"_s, this);
  server->setObjectName(u"cmdServer"_s);
  server->setAccessibleName(u"Server della scuola"_s);
  server->setToolTip(u"Dove questo computer trova il registro sul server della scuola."_s);
  server->setAutoDefault(false);
  connect(server, &QPushButton::clicked, this, &FrmOpzioni::serverRichiesto);

  auto *chiudi = new QPushButton(u"Chiudi"_s, this);
  chiudi->setObjectName(u"cmdChiudi"_s);
  chiudi->setAccessibleName(u"Chiudi"_s);
  colora(chiudi, kFuoco);
  connect(chiudi, &QPushButton::clicked, this, &QDialog::close);
  auto *basso = new QHBoxLayout;
  basso->addWidget(server);
  basso->addStretch();
  basso->addWidget(chiudi);
  colonna->addStretch();
  colonna->addLayout(basso);
  m_caselle.first()->setFocus();
}

void FrmOpzioni::mostraPiano() {
  if (!m_lblPiano) return;
  const QString chi = m_alunno.isEmpty() ? u"l'alunno scelto"_s : m_alunno;
  m_lblPiano->setText(m_opzioni.alunno
                          ? u"Queste scelte sono il piano di %1: valgono solo quando sceglie il suo nome."_s.arg(chi)
                          : u"Per %1 valgono le opzioni del computer: cambiando una casella avrà un piano suo."_s
                                .arg(chi));
  m_lblPiano->setAccessibleName(m_lblPiano->text());
  m_cmdComputer->setEnabled(m_opzioni.alunno.has_value());
}

void FrmOpzioni::avvisa(const QString &testo) {
  m_lblAvviso->setText(testo);
  m_lblAvviso->setAccessibleName(testo);
  m_lblAvviso->setVisible(!testo.isEmpty());
}
