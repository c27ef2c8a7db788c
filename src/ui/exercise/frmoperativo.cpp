#include "ui/exercise/frmoperativo.h"

#include "platform/messaggi.h"
#include "ui/common/aspetto.h"
#include "ui/common/quaderno.h"
#include "ui/common/resize.h"
#include "ui/common/voce.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/exercise/disegnooperativo.h"
#include "generation/famiglie.h"

#include <QAction>
#include <QCloseEvent>
#include <QTimer>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

using namespace Qt::StringLiterals;
using disegno::Allinea;
using disegno::Tipo;
using Cornice = MotoreEsercizio::Cornice;

namespace {

const QColor kBianco{255, 255, 255};
const QColor kVerde{0, 120, 40};
const QColor kTesto{40, 30, 20};
const QColor kSuggerimento{0, 40, 150};

const QString kSpiegaLeggi = QStringLiteral("Legge ad alta voce l'operazione (F5)");
const QString kSenzaModulo = QStringLiteral("La lettura ad alta voce non è installata su questo computer.");

Qt::Alignment Allineamento(Allinea a) {
  switch (a) {
    case Allinea::Sinistra: return Qt::AlignLeft | Qt::AlignVCenter;
    case Allinea::Destra: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignCenter;
  }
}

QFont Carattere(const disegno::Controllo &c) {
  return aspetto::carattere(u"Arial"_s, c.punti > 0 ? c.punti : 10, c.grassetto);
}

bool TastoDecimaleTastierino(const QKeyEvent *e) {
  return (e->modifiers() & Qt::KeypadModifier) &&
         (e->key() == Qt::Key_Period || e->key() == Qt::Key_Comma || e->key() == Qt::Key_Delete);
}

}  // namespace

FrmOperativo::FrmOperativo(Contesto &ctx, QWidget *genitore)
    : Finestra(u"FrmOperativo"_s, u"VORNEL"_s, {disegno::kLarghezza, disegno::kAltezza}, aspetto::kSfondo, genitore),
      m_ctx(ctx),
      m_motore(ctx.stato, ctx.orologio, ctx.casuale, ctx.messaggi) {
  connect(voceMenu(u"mnuStampa"_s, u"stampa esercizio"_s), &QAction::triggered, this,
          [this] { m_ctx.nav.apriStampaEsercizio(); });
  costruisci();
  creaGruppi();
  registraLayout();
  dopoRidimensionamento();  // the crosses are laid even if the first showing brings no resize
  applicaOpzioni();
  m_motore.impostaQuaderno(m_ctx.nav.quaderno());
  auto *f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
  f5->setObjectName(u"scorciatoiaLeggi"_s);
  connect(f5, &QShortcut::activated, this, &FrmOperativo::leggi);
}

void FrmOperativo::closeEvent(QCloseEvent *e) {
  Finestra::closeEvent(e);
  if (!e->isAccepted()) return;
  m_motore.interrompi();
  // Whatever was being read goes with the window.
  if (m_voceChiesta)
    if (Voce *v = m_ctx.nav.voce()) v->zitta();
}

// --- reading aloud ------------------------------------------------------------

Voce *FrmOperativo::voce() {
  const bool prima = !m_voceChiesta;
  m_voceChiesta = true;
  Voce *v = m_ctx.nav.voce();
  if (prima) {
    if (v) v->osserva(this, [this] { statoVoce(); });
    statoVoce();
  }
  return v;
}

void FrmOperativo::di(const QString &frase) {
  if (frase.isEmpty()) return;
  if (Voce *v = voce(); v && v->disponibile()) v->di(frase);
}

void FrmOperativo::leggi() { di(m_motore.fraseDaLeggere()); }

void FrmOperativo::statoVoce() {
  if (!m_cmdLeggi) return;
  Voce *v = m_voceChiesta ? m_ctx.nav.voce() : nullptr;
  const bool assente = m_voceChiesta && (!v || !v->disponibile());
  const QString suggerimento = !assente ? kSpiegaLeggi : v ? v->perche() : kSenzaModulo;
  if (m_cmdLeggi->isEnabled() == assente) m_cmdLeggi->setEnabled(!assente);
  if (m_cmdLeggi->toolTip() != suggerimento) m_cmdLeggi->setToolTip(suggerimento);
}

void FrmOperativo::leggiDaSola() {
  const bool nuovaOperazione = m_motore.operazioniMostrate() != m_mostrateLette;
  const bool nuovoGiudizio = m_motore.giudizi() != m_giudiziLetti;
  m_mostrateLette = m_motore.operazioniMostrate();
  m_giudiziLetti = m_motore.giudizi();
  if (!m_ctx.stato.opzioni.inVigore().leggiSempre) return;
  const MotoreEsercizio::Schermo &s = m_motore.schermo();
  // The verdict's sentence as it is said: the factors in words ("dieci volte").
  if (nuovoGiudizio && !s.esito.isEmpty())
    di(s.frase.isEmpty() ? s.esito : s.esito + u". "_s + FraseSbaglio(s.diagnosi, Forma::Letta));
  else if (nuovaOperazione) leggi();
}

void FrmOperativo::avvisaGuastoRegistro() {
  Quaderno *q = m_ctx.nav.quaderno();
  const auto m = q ? q->prendiMessaggio() : std::nullopt;
  if (!m) return;
  // After the command's own drawing: the message box runs a loop of its own.
  QTimer::singleShot(0, this, [this, testo = *m] {
    m_ctx.messaggi.mostra(testo, TitoloMessaggi(), Messaggi::Icona::Avviso);
  });
}

QLabel *FrmOperativo::label(const QString &nome) const { return qobject_cast<QLabel *>(m_controlli.value(nome)); }

QList<QFont> FrmOperativo::caratteri() {
  QList<QFont> tutti;
  for (const disegno::Controllo &c : disegno::Controlli())
    if (const QFont f = Carattere(c); !tutti.contains(f)) tutti.append(f);
  return tutti;
}

void FrmOperativo::costruisci() {
  for (const disegno::Controllo &c : disegno::Controlli()) {
    const QString nome = QString::fromUtf16(c.nome);
    const QString genitore = QString::fromUtf16(c.genitore);
    QWidget *padre = genitore.isEmpty() ? client() : m_controlli.value(genitore);
    const QString testo = QString::fromUtf16(c.testo);
    const QRect r = aspetto::twips(c.sinistra, c.alto, c.larghezza, c.altezza);
    const QFont f = Carattere(c);
    QWidget *w = nullptr;
    switch (c.tipo) {
      case Tipo::Cornice:
      case Tipo::Vista: {
        auto *fr = aspetto::cornice(padre, nome, r);
        const bool giallo = nome == u"fraSimbolo"_s;
        aspetto::colora(fr, giallo ? aspetto::kGiallo : aspetto::kSfondo, kTesto);
        if (c.tipo == Tipo::Vista || nome == u"frmElaborazione"_s) fr->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        w = fr;
        break;
      }
      case Tipo::Pulsante:
      case Tipo::Giallo: {
        auto *p = new PulsanteOpzione(testo, padre);
        p->setObjectName(nome);
        p->setGeometry(r);
        p->setFont(f);
        aspetto::coloraTesto(p, kTesto);
        w = p;
        break;
      }
      case Tipo::Tabella: {
        auto *t = new VistaTabellaUnita(padre);
        t->setObjectName(nome);
        t->setGeometry(r);
        t->impostaPuntiMinimi(c.punti);
        aspetto::colora(t, aspetto::kSfondo, kTesto);
        t->hide();
        m_tabella = t;
        w = t;
        break;
      }
      default: {
        auto *l = aspetto::etichetta(padre, nome, testo, r);
        l->setFont(f);
        l->setAlignment(Allineamento(c.allinea));
        aspetto::coloraTesto(l, kTesto);
        if (c.tipo == Tipo::Valore || c.tipo == Tipo::Casella) {
          aspetto::colora(l, kBianco, c.tipo == Tipo::Casella ? aspetto::kBlu : kTesto);
          l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        } else if (c.tipo == Tipo::Correzione) {
          aspetto::coloraTesto(l, kVerde);
        } else if (c.tipo == Tipo::Riquadro) {
          l->setAttribute(Qt::WA_TransparentForMouseEvents);
        } else if (c.tipo == Tipo::Marcatore) {
          l->hide();
        } else if (c.tipo == Tipo::Frase) {
          aspetto::coloraTesto(l, kSuggerimento);
          l->setWordWrap(true);
        }
        w = l;
        break;
      }
    }
    m_controlli.insert(nome, w);
  }

  m_fraNumero = qobject_cast<QFrame *>(m_controlli.value(u"fraNumero"_s));
  m_fraSimbolo = qobject_cast<QFrame *>(m_controlli.value(u"fraSimbolo"_s));
  const char16_t *cornici[] = {u"fraTastierino", u"fraSimboli", u"fraAiuto", u"fraIntervento", u"fraAvviso"};
  for (size_t i = 0; i < m_cornici.size(); ++i)
    m_cornici[i] = qobject_cast<QFrame *>(m_controlli.value(QString::fromUtf16(cornici[i])));

  auto linea = [](Linea::Verso v, QWidget *padre, const QString &nome) {
    auto *l = new Linea(v, padre);
    l->setObjectName(nome);
    l->hide();
    return l;
  };
  m_linea1 = linea(Linea::Verso::Discendente, m_fraNumero, u"Linea1"_s);
  m_linea2 = linea(Linea::Verso::Ascendente, m_fraNumero, u"Linea2"_s);
  m_line1 = linea(Linea::Verso::Discendente, m_fraSimbolo, u"Line1"_s);
  m_line2 = linea(Linea::Verso::Ascendente, m_fraSimbolo, u"Line2"_s);

  const Stato &s = m_ctx.stato;
  label(u"Label2"_s)->setText(s.impostazioni.strCosaCalcolare);
  label(u"Label1"_s)->setText(s.impostazioni.strOrdineSimboli);
  label(u"LblTempoOperazione"_s)->setToolTip(u"Secondi impiegati per ogni risposta"_s);
  label(u"LblTempoTotale"_s)->setToolTip(u"Secondi impiegati per ogni esercizio"_s);
  label(u"lblRisErrate"_s)->setToolTip(u"Secondi impiegati per ogni risposta"_s);
  label(u"Label12"_s)->setEnabled(false);  // a code for the teacher, shown faintly

  m_lblOperazione = label(u"LblOperazione"_s);
  m_lblEsatte = label(u"lblRisEsatte"_s);
  m_lblErrate = label(u"lblRisErrate"_s);
  m_lblTempoOp = label(u"LblTempoOperazione"_s);
  m_lblTempoTot = label(u"LblTempoTotale"_s);
  m_lblCodice = label(u"Label12"_s);
  m_lblEsito = label(u"LblEsito"_s);
  m_label4 = label(u"Label4"_s);
  m_label8 = label(u"Label8"_s);
  m_label11 = label(u"Label11"_s);
  m_lblRisultato = label(u"LblRisultato"_s);
  m_lblCorrezione = label(u"lblCorrezione"_s);
  m_label4S = label(u"label4S"_s);
  m_label8S = label(u"label8S"_s);
  m_label11S = label(u"label11S"_s);
  m_lblRisultatoS = label(u"lblRisultatoS"_s);
  m_lblCorrezioneS = label(u"lblCorrezioneS"_s);
  m_lblSbaglio = label(u"lblSbaglio"_s);
}

void FrmOperativo::creaGruppi() {
  auto riempi = [this](GruppoOpzioni *g, const QStringList &nomi) {
    for (const QString &n : nomi) g->aggiungi(qobject_cast<PulsanteOpzione *>(m_controlli.value(n)));
  };
  auto serie = [](const QString &base, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i) l << base.arg(i);
    return l;
  };

  GruppoOpzioni::Configurazione t;
  t.gestore = [this](int i, QKeyEvent *e) { return tastoTastierino(i, e); };
  m_tastierino = new GruppoOpzioni(t, [this](int i) { azioneTastierino(i); }, this);
  riempi(m_tastierino, serie(u"Option2_%1"_s, MotoreEsercizio::kPulsantiTastierino));

  GruppoOpzioni::Configurazione s;
  s.gestore = [this](int i, QKeyEvent *e) { return tastoSimboli(i, e); };
  m_simboli = new GruppoOpzioni(s, [this](int i) { azioneSimboli(i); }, this);
  riempi(m_simboli, serie(u"Option1_%1"_s, MotoreEsercizio::kPulsantiSimboli));
  etichettaSimboli();

  GruppoOpzioni::Configurazione a;
  a.tastiCifra = 2;
  a.lettere = {{Qt::Key_S, 0}, {Qt::Key_N, 1}};
  m_aiuto = new GruppoOpzioni(a, [this](int i) { azioneAiuto(i); }, this);
  riempi(m_aiuto, serie(u"Option3_%1"_s, 2));
  // "SI" and "NO" are drawn yellow like their frame; once one has had the focus
  // it goes back to the keypad's colour, as every keypad button does.
  for (PulsanteOpzione *p : m_aiuto->pulsanti()) aspetto::colora(p, aspetto::kGiallo);

  GruppoOpzioni::Configurazione k;
  k.normale = aspetto::kGiallo;
  m_ok = new GruppoOpzioni(k, [this](int) { m_motore.intervieni(); aggiorna(); }, this);
  riempi(m_ok, {u"optOK"_s});
  m_avviso = new GruppoOpzioni(k, [this](int i) { azioneAvviso(i); }, this);
  riempi(m_avviso, serie(u"optAvviso_%1"_s, 2));
}

// --- commands -------------------------------------------------------------

void FrmOperativo::azioneTastierino(int i) {
  switch (i) {
    case MotoreEsercizio::kVirgolaT: m_motore.virgola(); break;
    case MotoreEsercizio::kCancellaT: m_motore.cancella(); break;
    case MotoreEsercizio::kVerificaT: m_motore.verificaRisposta(); break;
    case MotoreEsercizio::kAvantiT: m_motore.nuovaOperazione(); break;
    case MotoreEsercizio::kEscoT: close(); return;
    default: m_motore.cifra(i); break;
  }
  aggiorna();
}

void FrmOperativo::azioneSimboli(int i) {
  switch (i) {
    case MotoreEsercizio::kCancellaS: m_motore.cancellaSimbolo(); break;
    case MotoreEsercizio::kVerificaS: m_motore.verificaRisposta(); break;
    case MotoreEsercizio::kAvantiS: m_motore.nuovaOperazione(); break;
    case MotoreEsercizio::kEsciS: close(); return;
    default: m_motore.sceltaSimbolo(i); break;
  }
  aggiorna();
}

void FrmOperativo::azioneAiuto(int i) {
  if (i == 0) m_motore.intervieni();
  else m_motore.riprova();
  aggiorna();
}

void FrmOperativo::azioneAvviso(int i) {
  if (i == 1) nuovoEsercizio();
  else m_ctx.nav.apriStampaEsercizio();
}

GruppoOpzioni::Esito FrmOperativo::tastoTastierino(int, QKeyEvent *e) {
  using E = GruppoOpzioni::Esito;
  const int d = GruppoOpzioni::cifra(e);
  if (d >= 0) {
    m_tastierino->esegui(d);
    if (d > 0) m_tastierino->fuoco(MotoreEsercizio::kVerificaT);
    return E::Accettato;
  }
  if (TastoDecimaleTastierino(e)) {
    m_tastierino->esegui(MotoreEsercizio::kCancellaT);
    return E::Accettato;
  }
  switch (e->key()) {
    case Qt::Key_Comma: m_tastierino->esegui(MotoreEsercizio::kVirgolaT); return E::Accettato;
    case Qt::Key_C:
    case Qt::Key_Backspace:
    case Qt::Key_Delete: m_tastierino->esegui(MotoreEsercizio::kCancellaT); return E::Accettato;
    case Qt::Key_V: m_tastierino->fuoco(MotoreEsercizio::kVerificaT); return E::Accettato;
    case Qt::Key_N: m_tastierino->fuoco(MotoreEsercizio::kAvantiT); return E::Accettato;
    case Qt::Key_E: m_tastierino->fuoco(MotoreEsercizio::kEscoT); return E::Accettato;
    case Qt::Key_F2: return E::Accettato;
    default: return E::Rifiutato;  // Enter is the group's own; everything else is swallowed
  }
}

GruppoOpzioni::Esito FrmOperativo::tastoSimboli(int, QKeyEvent *e) {
  using E = GruppoOpzioni::Esito;
  const int d = GruppoOpzioni::cifra(e);
  if (d >= 0 && d <= 3) {
    m_simboli->esegui(d);
    m_simboli->fuoco(MotoreEsercizio::kVerificaS);
    return E::Accettato;
  }
  if (d >= 0 || TastoDecimaleTastierino(e)) return E::Accettato;  // no symbol behind 4..9
  switch (e->key()) {
    case Qt::Key_V: m_simboli->fuoco(MotoreEsercizio::kVerificaS); return E::Accettato;
    case Qt::Key_N: m_simboli->fuoco(MotoreEsercizio::kAvantiS); return E::Accettato;
    case Qt::Key_E: m_simboli->fuoco(MotoreEsercizio::kEsciS); return E::Accettato;
    case Qt::Key_F2:
    case Qt::Key_C:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Comma: return E::Accettato;
    default: return E::Rifiutato;
  }
}

// --- life and layout --------------------------------------------------------

void FrmOperativo::nuovoEsercizio() {
  m_ctx.nav.chiudiPorta();
  m_motore.nuovoEsercizio();
  aggiorna();
}

void FrmOperativo::showEvent(QShowEvent *e) {
  Finestra::showEvent(e);
  // Only the first showing starts an exercise: minimising, restoring or
  // maximising must never throw away the pupil's work.
  if (!m_avviato) {
    m_avviato = true;
    nuovoEsercizio();
  }
}

void FrmOperativo::dopoRidimensionamento() {
  if (!m_linea1) return;
  const QRect box = m_controlli.value(u"Label9"_s)->geometry();
  m_linea1->copri(box);
  m_linea2->copri(box);
  const QRect boxS = m_lblRisultatoS->geometry();
  m_line1->copri(boxS);
  m_line2->copri(boxS);
  const QPoint dove = m_controlli.value(u"lblRiferimento"_s)->pos();
  for (QFrame *f : m_cornici) f->move(dove);
}

// --- drawing ------------------------------------------------------------------

void FrmOperativo::testo(QLabel *l, const QString &t) {
  if (l->text() != t) l->setText(t);
}

// The table stands over the idle entry buttons of the answer frame: those it
// covers step out of sight (and of the screen reader's way) while it is shown.
void FrmOperativo::mostraTabella(bool si) {
  if (si) m_tabella->raise();
  if (m_tabella->isHidden() == si) m_tabella->setVisible(si);
  const QRect dove = m_tabella->geometry();
  for (GruppoOpzioni *g : {m_tastierino, m_simboli}) {
    for (PulsanteOpzione *p : g->pulsanti()) {
      const bool coperto = si && QRect(p->mapTo(client(), QPoint(0, 0)), p->size()).intersects(dove);
      if (p->isHidden() != coperto) p->setVisible(!coperto);
    }
  }
}

void FrmOperativo::applicaOpzioni() {
  const Opzioni &o = m_ctx.stato.opzioni.inVigore();
  // Without the clock the times are still measured and logged, only not shown.
  for (QLabel *l : {label(u"Label5_4"_s), label(u"Label5_5"_s), m_lblTempoOp, m_lblTempoTot})
    if (l->isHidden() != o.senzaOrologio) l->setVisible(!o.senzaOrologio);
  progetta(o.tabellaAMano, o.leggiSempre, o.caratteriGrandi);
  scalaCaratteri(o.caratteriGrandi);
  // With "leggi sempre" reading is certain: the voice is asked for as the window
  // is built (or the option comes into force), so the engine gets ready on its
  // thread while the window is laid out and shown, not after the first operation.
  if (o.leggiSempre) voce();
}

// The table at hand and the "Leggi" button take a column of their own beside
// the operation: the design widens by that column and every control is laid
// out anew from its design place, so the column covers nothing. With the type
// that fills the board, the operation's row takes the frame, and the column's
// top as well when the column is shown, the table standing below the row. The
// window keeps its state (maximised or not); the exercise goes on.
void FrmOperativo::progetta(bool tabella, bool leggi, bool lavagna) {
  const bool tabellaMostrata = m_tabellaAMano && !m_tabellaAMano->isHidden();
  const bool leggiMostrato = m_cmdLeggi && !m_cmdLeggi->isHidden();
  if (tabella == tabellaMostrata && leggi == leggiMostrato && lavagna == m_lavagna) return;
  m_lavagna = lavagna;
  const bool ingrandita = isMaximized() || isFullScreen();
  const QSize visto = client()->size();
  for (const disegno::Controllo &c : disegno::Controlli())
    m_controlli.value(QString::fromUtf16(c.nome))->setGeometry(aspetto::twips(c.sinistra, c.alto, c.larghezza, c.altezza));
  const bool colonna = tabella || leggi;
  if (lavagna)
    for (const disegno::Posto &p : disegno::Lavagna()) {
      const disegno::Posto c = colonna ? disegno::LavagnaConColonna(p) : p;
      m_controlli.value(QString::fromUtf16(c.nome))->setGeometry(aspetto::twips(c.sinistra, c.alto, c.larghezza, c.altezza));
    }
  if (tabella && !m_tabellaAMano) {
    m_tabellaAMano = new VistaTabellaUnita(client());
    m_tabellaAMano->setObjectName(u"tabellaAMano"_s);
    m_tabellaAMano->setAccessibleName(u"Tabella delle unità"_s);
    m_tabellaAMano->impostaPuntiMinimi(14);
    aspetto::colora(m_tabellaAMano, aspetto::kSfondo, kTesto);
  }
  if (leggi && !m_cmdLeggi) {
    // Clicked, it leaves the focus where the pupil's keys go.
    m_cmdLeggi = new QPushButton(u"Leggi"_s, client());
    m_cmdLeggi->setObjectName(u"cmdLeggi"_s);
    m_cmdLeggi->setAccessibleName(u"Leggi"_s);
    m_cmdLeggi->setFocusPolicy(Qt::NoFocus);
    m_cmdLeggi->setFont(aspetto::carattere(u"Arial"_s, 16, true));
    aspetto::coloraTesto(m_cmdLeggi, kTesto);
    connect(m_cmdLeggi, &QPushButton::clicked, this, &FrmOperativo::leggi);
    statoVoce();
  }
  if (m_tabellaAMano) {
    // On the board the row takes the column's top: the table stands below it, its foot where it was.
    const int alto = lavagna ? disegno::kTabellaAManoAltoLavagna : disegno::kTabellaAManoAlto;
    m_tabellaAMano->setGeometry(
        aspetto::twips(disegno::kTabellaAManoSinistra, alto, disegno::kTabellaAManoLarghezza,
                       disegno::kTabellaAManoAlto + disegno::kTabellaAManoAltezza - alto));
    m_tabellaAMano->setVisible(tabella);
  }
  if (m_cmdLeggi) {
    m_cmdLeggi->setGeometry(
        aspetto::twips(disegno::kLeggiSinistra, disegno::kLeggiAlto, disegno::kLeggiLarghezza, disegno::kLeggiAltezza));
    m_cmdLeggi->setVisible(leggi);
  }
  nuovoProgetto({disegno::kLarghezza + (colonna ? disegno::kLarghezzaAMano : 0), disegno::kAltezza});
  if (lavagna) agioOperazione();
  if (ingrandita) client()->resize(visto);
  else dimensioneProgetto();
  if (tabella && !tabellaMostrata) m_tabellaAMano->imposta(TabellaVuota(m_motore.famiglia(), 3));
}

// The room each box of the operation's row has for its widest text in the
// design's type: the row's parts share the smallest, so the whole operation
// is drawn at one size; the program's correction takes what its own box has.
void FrmOperativo::agioOperazione() {
  QString addendo, simbolo;
  const QFontMetricsF misura(aspetto::carattere(u"Arial"_s, 28, true));
  const auto piuLargo = [&](QString &finora, const QString &t) {
    if (finora.isEmpty() || misura.horizontalAdvance(t) > misura.horizontalAdvance(finora)) finora = t;
  };
  for (int livello = 1; livello <= 12; ++livello) {
    const auto f = TabellaFamiglia(livello);
    if (!f) continue;
    for (int i = 1; i <= 4; ++i) {
      piuLargo(simbolo, f->simbolo(i));
      piuLargo(addendo, QString::number(19) + f->simbolo(i));
    }
  }
  const QString numero = u"88.888"_s;  // five digits and a separator, the most an answer holds
  const QHash<QString, QString> testi{
      {u"Label4"_s, addendo},      {u"Label8"_s, addendo},       {u"label4S"_s, addendo},
      {u"label8S"_s, addendo},     {u"Label7"_s, u"+"_s},        {u"lblSegno"_s, u"+"_s},
      {u"Label6"_s, u"="_s},       {u"lblUguale"_s, u"="_s},     {u"LblRisultato"_s, numero},
      {u"label11S"_s, numero},     {u"Label11"_s, simbolo},      {u"lblRisultatoS"_s, simbolo},
      {u"lblCorrezione"_s, numero}, {u"lblCorrezioneS"_s, simbolo}};
  struct Agio {
    double o, v;
  };
  QHash<QString, Agio> agi;
  QStringList correzioni;
  Agio riga{1e9, 1e9};
  for (const disegno::Controllo &c : disegno::Controlli()) {
    const QString nome = QString::fromUtf16(c.nome);
    if (!testi.contains(nome)) continue;
    const QFontMetricsF fm(Carattere(c));
    // A pixel each side for the antialiased edge of the glyphs; and, across, half
    // a pixel a glyph, as the drawn size rounds each glyph's advance to the pixel.
    const QRect r = m_controlli.value(nome)->contentsRect().adjusted(1, 1, -1, -1);
    const QString &t = testi.value(nome);
    const Agio a{(r.width() - 0.5 * t.size()) / fm.horizontalAdvance(t), r.height() / fm.height()};
    agi.insert(nome, a);
    if (c.tipo == Tipo::Correzione) correzioni << nome;
    else riga = {std::min(riga.o, a.o), std::min(riga.v, a.v)};
  }
  for (auto it = agi.cbegin(); it != agi.cend(); ++it) {
    const Agio a = correzioni.contains(it.key()) ? Agio{std::min(it->o, riga.o), std::min(it->v, riga.v)} : riga;
    layout().agio(m_controlli.value(it.key()), a.o, a.v);
  }
}

// The four symbol buttons show the symbols, leading blanks included, of the
// family the operation on screen was made in.
void FrmOperativo::etichettaSimboli() {
  for (int i = 0; i < 4; ++i) {
    PulsanteOpzione *p = m_simboli->pulsante(i);
    const QString &etichetta = m_motore.famiglia().simbolo(i + 1);
    if (p->text() == etichetta) continue;
    p->setText(etichetta);
    p->setAccessibleName(etichetta.simplified());
  }
}

void FrmOperativo::aggiorna() {
  avvisaGuastoRegistro();
  const MotoreEsercizio::Schermo &s = m_motore.schermo();
  testo(m_lblOperazione, s.operazione);
  testo(m_lblEsatte, s.esatte);
  testo(m_lblErrate, s.errate);
  testo(m_lblTempoOp, s.tempoOperazione);
  testo(m_lblTempoTot, s.tempoTotale);
  testo(m_lblCodice, s.codice);
  if (m_lblEsito->text() != s.esito) {
    m_lblEsito->setText(s.esito);
    aspetto::coloraTesto(m_lblEsito, s.esito == u"Esatto"_s ? kVerde : aspetto::kRosso);
  }
  testo(m_label4, s.addendo1);
  testo(m_label8, s.addendo2);
  testo(m_label11, s.unita);
  testo(m_lblRisultato, s.risposta);
  testo(m_lblCorrezione, s.correzione);
  testo(m_label4S, s.addendo1S);
  testo(m_label8S, s.addendo2S);
  testo(m_label11S, s.numeroS);
  testo(m_lblRisultatoS, s.rispostaS);
  testo(m_lblCorrezioneS, s.correzioneS);

  const bool numero = s.vista == MotoreEsercizio::Vista::Numero;
  m_fraNumero->setVisible(numero);
  m_fraSimbolo->setVisible(!numero);
  for (Linea *l : {m_linea1, m_linea2, m_line1, m_line2}) {
    l->setVisible(s.croce);
    if (s.croce) l->raise();
  }

  for (int i = 0; i < MotoreEsercizio::kPulsantiTastierino; ++i)
    m_tastierino->pulsante(i)->setEnabled(s.tastierino[static_cast<size_t>(i)]);
  for (int i = 0; i < MotoreEsercizio::kPulsantiSimboli; ++i)
    m_simboli->pulsante(i)->setEnabled(s.simboli[static_cast<size_t>(i)]);
  etichettaSimboli();

  // One frame stands in front and is enabled; the others are disabled and out of sight.
  const auto davanti = static_cast<size_t>(s.cornice);
  for (size_t i = 0; i < m_cornici.size(); ++i) {
    m_cornici[i]->setEnabled(i == davanti);
    m_cornici[i]->setVisible(i == davanti);
  }
  m_cornici[davanti]->raise();
  testo(m_lblSbaglio, s.frase);
  if (m_lblSbaglio->accessibleName() != s.frase) m_lblSbaglio->setAccessibleName(s.frase);
  // At the end of the exercise the end frame takes the place the table stands in.
  const bool tabella = s.tabella && (s.cornice == Cornice::Tastierino || s.cornice == Cornice::Simboli);
  if (tabella) m_tabella->imposta(s.tabellaUnita);
  mostraTabella(tabella);
  // The table at hand follows the family of the operation on screen.
  if (m_tabellaAMano && !m_tabellaAMano->isHidden()) {
    if (TabellaUnita vuota = TabellaVuota(m_motore.famiglia(), 3); !(vuota == m_tabellaAMano->tabella()))
      m_tabellaAMano->imposta(vuota);
  }

  if (const auto f = m_motore.prendiFuoco()) {
    GruppoOpzioni *gruppi[] = {m_tastierino, m_simboli, m_aiuto, m_ok, m_avviso};
    gruppi[static_cast<size_t>(f->gruppo)]->fuoco(f->indice);
  }
  leggiDaSola();
}
