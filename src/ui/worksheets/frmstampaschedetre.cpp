#include "ui/worksheets/frmstampaschedetre.h"

#include "generation/famiglie.h"
#include "ui/common/aspetto.h"
#include "ui/common/contrasto.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/tipovivo.h"
#include "ui/worksheets/componiriga.h"
#include "ui/worksheets/stampascheda.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using aspetto::twips;

namespace {

const QColor kMarcato{255, 0, 0};

// Design layout, twips on a 12000 x 8220 client area.
constexpr int kSinistra = 120;
constexpr int kColonna = 3960;
constexpr int kAltezzaOpzione = 420;
constexpr int kAnteprimaX = 4440;
constexpr int kAnteprimaL = 7380;
constexpr int kAltezzaRigaAnteprima = 240;

QGroupBox *Cornice(QWidget *genitore, const QString &nome, const QString &titolo, const QRect &r) {
  auto *g = new QGroupBox(titolo, genitore);
  g->setObjectName(nome);
  g->setGeometry(r);
  g->setFont(aspetto::carattere(u"Arial"_s, 9, true));
  if (!titolo.isEmpty()) g->setAccessibleName(titolo);
  return g;
}

QPushButton *Comando(QWidget *genitore, const QString &nome, const QString &testo, const QRect &r) {
  auto *b = new QPushButton(testo, genitore);
  b->setObjectName(nome);
  b->setGeometry(r);
  b->setAutoDefault(false);
  b->setFont(aspetto::carattere(u"Arial"_s, 8, true));
  b->setAccessibleName(testo.simplified());
  return b;
}

int TopAnteprima(int i) { return 240 + (i - 1) * kAltezzaRigaAnteprima + ((i - 1) / 10) * kAltezzaRigaAnteprima; }

}  // namespace

FrmStampaSchedeTre::FrmStampaSchedeTre(Contesto &ctx, QWidget *genitore)
    : Finestra(u"FrmStampaSchedeTre"_s, u"SISTEMA METRICO- VORNEL - STAMPA DELLE SCHEDE"_s, {12000, 8220},
               aspetto::kSfondo, genitore),
      m_ctx(ctx) {
  Scheda &s = m_ctx.stato.scheda;
  s.intCosaCalcolare = 1;
  s.intOrdineSimboli = 1;
  s.intNumeroOperazioni = 30;
  s.intTipoScheda = 1;
  costruisci();
  connect(voceMenu(u"mnuStampante"_s, u"Scegli la stampante"_s), &QAction::triggered, this,
          [this] { m_ctx.nav.apriSceltaStampante(); });
  registraLayout(true);
}

void FrmStampaSchedeTre::costruisci() {
  QWidget *c = client();
  const QFont arialGrassetto = aspetto::carattere(u"Arial"_s, 8, true);

  // What to find, with a marker beside each button.
  auto *frame6 = Cornice(c, u"Frame6"_s, QString(), twips(kSinistra, 60, kColonna, 1440));
  GruppoOpzioni::Configurazione conf;
  conf.saltaDisabilitati = false;
  m_cosa = new GruppoOpzioni(conf, [this](int k) { sceltaCosa(k); }, this);
  const QStringList cosa{u"CALCOLA IL NUMERO"_s, u"CALCOLA IL SIMBOLO"_s, u" NUMERO O   SIMBOLO "_s};
  for (int k = 0; k < 3; ++k) {
    auto *p = new PulsanteOpzione(cosa[k], frame6);
    p->setObjectName(u"Option1_%1"_s.arg(k));
    p->setGeometry(twips(120, 60 + k * 450, 3240, kAltezzaOpzione));
    p->setFont(arialGrassetto);
    m_cosa->aggiungi(p);
    auto *m = aspetto::etichetta(frame6, u"Label3_%1"_s.arg(k), QString(), twips(3480, 120 + k * 450, 300, 300));
    aspetto::colora(m, aspetto::kSfondo);
    m_label3 << m;
  }
  m_label1 = aspetto::etichetta(c, u"Label1"_s, QString(), twips(kSinistra, 1530, kColonna, 300));
  m_label1->setFont(aspetto::carattere(u"Arial"_s, 9, true));

  // Symbol order, captions from the family in force.
  m_frame7 = Cornice(c, u"Frame7"_s, QString(), twips(kSinistra, 1860, kColonna, 1440));
  m_frame7->setEnabled(false);
  m_ordine = new GruppoOpzioni(conf, [this](int k) { sceltaOrdine(k); }, this);
  const QStringList ordine{QString(), QString(), u"TUTTI"_s};
  for (int k = 0; k < 3; ++k) {
    auto *p = new PulsanteOpzione(ordine[k], m_frame7);
    p->setObjectName(u"Option2_%1"_s.arg(k));
    p->setGeometry(twips(120, 60 + k * 450, 3240, kAltezzaOpzione));
    p->setFont(k < 2 ? aspetto::carattere(u"Courier New"_s, 9, true) : arialGrassetto);
    m_ordine->aggiungi(p);
    auto *m = aspetto::etichetta(m_frame7, u"Label4_%1"_s.arg(k), QString(), twips(3480, 120 + k * 450, 300, 300));
    aspetto::colora(m, aspetto::kSfondo);
    m_label4 << m;
  }
  didascalieOrdine();
  m_label2 = aspetto::etichetta(c, u"Label2"_s, QString(), twips(kSinistra, 3330, kColonna, 300));
  m_label2->setFont(aspetto::carattere(u"Arial"_s, 9, true));

  // Number of lines.
  auto *frame2 = Cornice(c, u"Frame2"_s, u"Operazioni"_s, twips(kSinistra, 3660, kColonna, 1260));
  const QStringList numeri{u"10 OPERAZIONI"_s, u"20 OPERAZION I"_s, u"30 OPERAZIONI"_s};
  for (int k = 0; k < 3; ++k) {
    auto *o = new QRadioButton(numeri[k], frame2);
    o->setObjectName(u"Opt1_%1"_s.arg(k));
    o->setGeometry(twips(240, 300 + k * 300, 3000, 285));
    o->setFont(arialGrassetto);
    o->setChecked(k == 2);
    connect(o, &QRadioButton::clicked, this, [this, k] { sceltaNumero(k); });
    m_opt1 << o;
  }

  // Pupils' and teachers' sheets.
  m_frame3 = Cornice(c, u"Frame3"_s, u"ALUNNI"_s, twips(kSinistra, 5010, 1920, 1260));
  m_visualizzaAlunni = Comando(m_frame3, u"CmdVisualizzaSchedaAlunni"_s, u"VISUALIZZA SCHEDA "_s, twips(90, 300, 1740, 420));
  m_stampaAlunni = Comando(m_frame3, u"CmdStampaSchedaAlunni"_s, u"STAMPA SCHEDA "_s, twips(90, 750, 1740, 420));
  m_frame4 = Cornice(c, u"Frame4"_s, u"DOCENTI"_s, twips(kSinistra + 2040, 5010, 1920, 1260));
  m_visualizzaDocenti = Comando(m_frame4, u"CmdVisualizzaSchedaDocenti"_s, u"VISUALIZZA SCHEDA"_s, twips(90, 300, 1740, 420));
  m_stampaDocenti = Comando(m_frame4, u"CmdStampaSchedaDocenti"_s, u"STAMPA SCHEDA"_s, twips(90, 750, 1740, 420));
  for (QPushButton *b : {m_visualizzaAlunni, m_visualizzaDocenti}) b->installEventFilter(this);
  connect(m_visualizzaAlunni, &QPushButton::clicked, this, [this] { visualizza(1); });
  connect(m_visualizzaDocenti, &QPushButton::clicked, this, [this] { visualizza(2); });
  connect(m_stampaAlunni, &QPushButton::clicked, this, [this] { stampa(1); });
  connect(m_stampaDocenti, &QPushButton::clicked, this, [this] { stampa(2); });
  nascondiStampa();

  m_frame1 = Cornice(c, u"Frame1"_s, QString(), twips(kSinistra, 6360, kColonna, 780));
  auto *ricomincia = Comando(m_frame1, u"CmdRicomincia"_s, u"CANCELLA SCHEDA"_s, twips(120, 150, kColonna - 240, 480));
  connect(ricomincia, &QPushButton::clicked, this, [this] { cancella(); });
  auto *esci = Comando(c, u"Command1"_s, u"ESCI"_s, twips(kSinistra, 7320, kColonna, 540));
  connect(esci, &QPushButton::clicked, this, &QWidget::close);

  // The preview: a sheet of paper with one fixed-pitch label per line.
  auto *carta = aspetto::cornice(c, u"FraAnteprima"_s, twips(kAnteprimaX - 120, 120, kAnteprimaL + 240, 7860));
  aspetto::colora(carta, Qt::white);
  carta->setFrameShape(QFrame::Box);
  const QFont courier = aspetto::carattere(u"Courier New"_s, 10);
  for (int i = 1; i <= kRigheScheda; ++i) {
    auto *l = aspetto::etichetta(c, u"LblOp_%1"_s.arg(i), QString(),
                                 twips(kAnteprimaX, TopAnteprima(i), kAnteprimaL, kAltezzaRigaAnteprima));
    l->setFont(courier);
    l->setTextFormat(Qt::PlainText);
    aspetto::colora(l, Qt::white, Qt::black);
    m_anteprima << l;
  }
  abilitaScheda();
}

void FrmStampaSchedeTre::didascalieOrdine() {
  const FamigliaUnita &f = m_ctx.stato.famiglia;
  for (auto [k, testo] : {std::pair{0, DidascaliaDecrescente(f)}, std::pair{1, DidascaliaCrescente(f)}}) {
    m_ordine->pulsante(k)->setText(testo);
    m_ordine->pulsante(k)->setAccessibleName(testo.simplified());
  }
}

void FrmStampaSchedeTre::changeEvent(QEvent *e) {
  // The family may have been changed on the start window while this one stayed open.
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) didascalieOrdine();
  Finestra::changeEvent(e);
}

void FrmStampaSchedeTre::showEvent(QShowEvent *e) {
  Finestra::showEvent(e);
  if (m_primoShow) {
    m_primoShow = false;
    m_cosa->fuoco(0);
  }
}

bool FrmStampaSchedeTre::eventFilter(QObject *o, QEvent *e) {
  if (e->type() == QEvent::FocusIn) {
    const auto *b = TipoVivo<QPushButton>(o);
    if (b && b == m_visualizzaAlunni) mostraStampa(1);
    else if (b && b == m_visualizzaDocenti) mostraStampa(2);
  }
  return Finestra::eventFilter(o, e);
}

// One print button at a time: the one of the sheet being looked at.
void FrmStampaSchedeTre::mostraStampa(int tipo) {
  m_stampaAlunni->setVisible(tipo == 1);
  m_stampaDocenti->setVisible(tipo == 2);
}

// The chosen option's marker is a sign in its colour; the others are the window's background.
void FrmStampaSchedeTre::marca(const QList<QLabel *> &marcatori, int k) {
  for (int j = 0; j < marcatori.size(); ++j) {
    marcatori[j]->setProperty(contrasto::kSegno, j == k);
    aspetto::colora(marcatori[j], j == k ? kMarcato : aspetto::kSfondo);
  }
}

void FrmStampaSchedeTre::svuotaAnteprima(const QString &testo) {
  for (QLabel *l : m_anteprima) l->setText(testo);
}

void FrmStampaSchedeTre::nascondiStampa() {
  m_stampaAlunni->hide();
  m_stampaDocenti->hide();
}

void FrmStampaSchedeTre::abilitaScheda() {
  const bool righe = m_ctx.stato.scheda.intRigheGenerate > 0;
  m_frame1->setEnabled(righe);
  m_frame3->setEnabled(righe);
  m_frame4->setEnabled(righe);
}

void FrmStampaSchedeTre::sceltaCosa(int k) {
  marca(m_label3, k);
  m_ctx.stato.scheda.intCosaCalcolare = static_cast<qint16>(k + 1);
  m_label1->setText(TestoCosaCalcolare(k + 1));
  svuotaAnteprima(QString());
  nascondiStampa();
  m_frame7->setEnabled(true);
  m_ordine->fuoco(0);
}

void FrmStampaSchedeTre::sceltaOrdine(int k) {
  marca(m_label4, k);
  Scheda &s = m_ctx.stato.scheda;
  s.intOrdineSimboli = static_cast<qint16>(k + 1);
  m_label2->setText(TestoOrdineSimboli(k + 1));
  svuotaAnteprima(u" "_s);
  nascondiStampa();
  RigeneraScheda(m_ctx.stato, s.intNumeroOperazioni, m_ctx.casuale, m_ctx.orologio, m_ctx.messaggi);
  abilitaScheda();
}

void FrmStampaSchedeTre::sceltaNumero(int k) {
  Scheda &s = m_ctx.stato.scheda;
  s.intNumeroOperazioni = static_cast<qint16>(10 * (k + 1));
  svuotaAnteprima(QString());
  // A longer sheet gets its missing lines now, with the choices in force; the lines there stay.
  if (s.intRigheGenerate > 0) CompletaScheda(m_ctx.stato, m_ctx.casuale, m_ctx.orologio, m_ctx.messaggi);
}

void FrmStampaSchedeTre::visualizza(int tipo) {
  Scheda &s = m_ctx.stato.scheda;
  s.intTipoScheda = static_cast<qint16>(tipo);
  // A click without focus (a screen reader's action, an inactive window) still offers the print.
  mostraStampa(tipo);
  CompletaScheda(m_ctx.stato, m_ctx.casuale, m_ctx.orologio, m_ctx.messaggi);
  const Righe &righe = tipo == 2 ? s.strRigheDocenti : s.strRigheAlunni;
  svuotaAnteprima(u" "_s);
  s.strRigheStampa.fill(QString());
  for (int i = 1; i <= s.intNumeroOperazioni && i <= kRigheScheda; ++i) {
    const auto n = static_cast<size_t>(i);
    s.strRigheStampa[n] = righe[n];
    m_anteprima[i - 1]->setText(righe[n]);
  }
}

void FrmStampaSchedeTre::stampa(int tipo) {
  // The sheet printed is always the one asked for, as the preview shows it.
  visualizza(tipo);
  Scheda &s = m_ctx.stato.scheda;
  s.strPiePagina = PiePaginaScheda(tipo, m_ctx.stato.livello.strNomeFile);
  const Livello &l = m_ctx.stato.livello;
  // Opening the page, writing its lines and closing the document each take a
  // turn of their own; clicks and keys wait until the sheet has gone.
  occupata(true);
  // The printout works on the program's state, not on the window: should the
  // window go while the events run between its steps, the printout ends and
  // nothing of the window is touched after it.
  const QPointer<FrmStampaSchedeTre> vivo(this);
  StampaScheda(s, TestoOrdineSimboli(s.intOrdineSimboli), DescrizioneLivello(l.intLivello, l.intCifre), m_ctx.stampante,
               m_ctx.messaggi, [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  if (!vivo) return;
  occupata(false);
  chiudiSeRichiesto();
}

void FrmStampaSchedeTre::cancella() {
  nascondiStampa();
  svuotaAnteprima(QString());
  RigeneraScheda(m_ctx.stato, kRigheScheda, m_ctx.casuale, m_ctx.orologio, m_ctx.messaggi);
  abilitaScheda();
}
