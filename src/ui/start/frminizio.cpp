#include "ui/start/frminizio.h"

#include "app/livelli.h"
#include "generation/famiglie.h"
#include "ui/common/aspetto.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/tipovivo.h"
#include "ui/start/frecce.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

using namespace aspetto;

namespace {

// Design of the window, in twips; frame children are placed inside their frame.
constexpr QSize kClient{9600, 7200};
constexpr QRect kTitolo{120, 90, 9360, 2970};
constexpr QRect kLabel6[3] = {{180, 90, 5400, 420}, {180, 450, 9000, 960}, {60, 45, 5880, 510}};
constexpr QRect kLabel4[2] = {{6780, 90, 2400, 360}, {8340, 1620, 900, 480}};
constexpr QRect kFrame4{180, 1530, 6540, 600};
constexpr QRect kLabel8{5940, 0, 570, 600};
constexpr QRect kLabel7{7710, 1470, 600, 660};
constexpr QRect kLabel3{180, 2250, 900, 600};
constexpr QRect kFrame5{6840, 2220, 2340, 600};
constexpr QRect kLblAlunno{1200, 2250, 5520, 600};
constexpr QRect kLblCifre{60, 45, 2220, 510};
constexpr QRect kFrame1{120, 3180, 3000, 2580};
constexpr QRect kFrame2{3300, 3180, 3000, 2580};
constexpr QRect kFrame3{6480, 3180, 3000, 1860};
constexpr QRect kEsci{6630, 5160, 2700, 600};
constexpr QRect kLabel1{150, 5940, 9300, 480};
constexpr QRect kLabel2{150, 6480, 9300, 480};

QRect Pulsante(int i) { return twips(150, 390 + i * 720, 2700, 600); }
QRect Rett(const QRect &t) { return twips(t.x(), t.y(), t.width(), t.height()); }

const QString kCosaCalcolare[3] = {QStringLiteral(" Calcola il numero"), QStringLiteral(" Calcola il simbolo"),
                                   QStringLiteral(" Calcola il numero o il simbolo")};

QGroupBox *Gruppo(QWidget *genitore, const QString &nome, const QString &titolo, const QRect &r) {
  auto *g = new QGroupBox(titolo, genitore);
  g->setObjectName(nome);
  g->setGeometry(Rett(r));
  g->setFont(carattere(QStringLiteral("Arial"), 9, true));
  return g;
}

QLabel *Etichetta(QWidget *genitore, const QString &nome, const QRect &r, const QFont &f,
                  Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter) {
  auto *l = etichetta(genitore, nome, QString(), Rett(r));
  l->setFont(f);
  l->setAlignment(a);
  return l;
}

}  // namespace

frmInizio::frmInizio(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("frmInizio"), QString(), kClient, kSfondo, genitore), m_ctx(ctx) {
  costruisci();

  // Start-up, in the order the program has always followed.
  m_tendina.prepara(kClient.width());
  m_frame2->setEnabled(false);
  m_frame3->setEnabled(false);
  registraLayout();

  // The curtain is docked to the edges by the window itself, not by the
  // proportional layout, so it is made after the layout has been recorded.
  for (QWidget **p : {&m_picture1, &m_picture2}) {
    *p = new QWidget(client());
    colora(*p, kFuoco);
    (*p)->setFocusPolicy(Qt::NoFocus);
    (*p)->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  m_picture1->setObjectName(QStringLiteral("Picture1"));
  m_picture2->setObjectName(QStringLiteral("Picture2"));
  posaTendina();
  m_timerTendine.setObjectName(QStringLiteral("timerTendine"));
  m_timerTendine.setInterval(Tendina::kIntervallo);
  m_timerTendine.setTimerType(Qt::PreciseTimer);
  connect(&m_timerTendine, &QTimer::timeout, this, &frmInizio::passoTendina);

  const QStringList famiglie = QFontDatabase::families();
  for (auto [l, f] : {std::pair{m_label7, FrecciaGiu(famiglie)}, std::pair{m_label8, FrecciaSinistra(famiglie)}}) {
    l->setFont(carattere(f.famiglia, 22, true));
    l->setText(f.testo);
  }
  m_label7->setAccessibleName(QStringLiteral("Freccia in giù"));
  m_label8->setAccessibleName(QStringLiteral("Freccia a sinistra"));
  m_label4[0]->setText(QStringLiteral(" Vers. 1.2.0"));
  m_label4[1]->setText(QStringLiteral(" Mouse"));

  Livello &livello = m_ctx.stato.livello;
  if (livello.strNomeFile.isEmpty())
    livello.strNomeFile = NomeBaseEseguibile(QCoreApplication::applicationFilePath());
  LeggiLivelli(livello);
  m_label3->setText(QString::number(livello.intLivello));
  disegnaFamiglia();
  disegnaCifre();
}

void frmInizio::costruisci() {
  QWidget *c = client();
  auto *titolo = new QFrame(c);
  titolo->setObjectName(QStringLiteral("frmTitolo"));
  titolo->setGeometry(Rett(kTitolo));
  titolo->setFrameShape(QFrame::Panel);
  titolo->setFrameShadow(QFrame::Raised);

  m_label6[0] = Etichetta(titolo, QStringLiteral("Label6_0"), kLabel6[0], carattere(QStringLiteral("Arial"), 13, true));
  m_label6[1] = Etichetta(titolo, QStringLiteral("Label6_1"), kLabel6[1], carattere(QStringLiteral("Arial"), 40, true),
                          Qt::AlignCenter);
  coloraTesto(m_label6[1], kBlu);
  m_label4[0] = Etichetta(titolo, QStringLiteral("Label4_0"), kLabel4[0], carattere(QStringLiteral("Arial"), 9),
                          Qt::AlignRight | Qt::AlignVCenter);
  m_label4[1] = Etichetta(titolo, QStringLiteral("Label4_1"), kLabel4[1], carattere(QStringLiteral("Arial"), 10, true));

  m_frame4 = cornice(titolo, QStringLiteral("Frame4"), Rett(kFrame4), QStringLiteral("Famiglia di unità"));
  m_label6[2] = Etichetta(m_frame4, QStringLiteral("Label6_2"), kLabel6[2], carattere(QStringLiteral("Arial"), 11, true));
  m_label8 = Etichetta(m_frame4, QStringLiteral("Label8"), kLabel8, QFont(), Qt::AlignCenter);
  coloraTesto(m_label8, kRosso);
  m_label7 = Etichetta(titolo, QStringLiteral("Label7"), kLabel7, QFont(), Qt::AlignCenter);
  coloraTesto(m_label7, kRosso);
  m_label3 = Etichetta(titolo, QStringLiteral("Label3"), kLabel3, carattere(QStringLiteral("Arial"), 14, true),
                       Qt::AlignCenter);
  // The pupil who chose their name; empty while nobody has.
  m_lblAlunno = Etichetta(titolo, QStringLiteral("lblAlunno"), kLblAlunno, carattere(QStringLiteral("Arial"), 12, true),
                          Qt::AlignCenter);
  coloraTesto(m_lblAlunno, kBlu);
  m_lblAlunno->setAccessibleName(QStringLiteral("Alunno"));
  m_frame5 = cornice(titolo, QStringLiteral("Frame5"), Rett(kFrame5), QStringLiteral("Cifre dei valori"));
  m_lblCifre = Etichetta(m_frame5, QStringLiteral("lblCifre"), kLblCifre, carattere(QStringLiteral("Arial"), 11, true),
                         Qt::AlignCenter);

  for (QLabel *l : {m_label6[0], m_label6[1], m_label6[2], m_lblCifre}) l->installEventFilter(this);
  for (QLabel *l : {m_label6[2], m_lblCifre}) l->setCursor(Qt::PointingHandCursor);
  for (QLabel *l : m_label6) l->setToolTip(QStringLiteral("Tasto destro del mouse: cambia la famiglia di unità"));
  m_lblCifre->setToolTip(QStringLiteral("Clic: valori di 1 o di 2 cifre"));

  m_frame1 = Gruppo(c, QStringLiteral("Frame1"), QStringLiteral("Che cosa trovare"), kFrame1);
  m_frame2 = Gruppo(c, QStringLiteral("Frame2"), QStringLiteral("Ordine dei simboli"), kFrame2);
  m_frame3 = Gruppo(c, QStringLiteral("Frame3"), QStringLiteral("Inizia"), kFrame3);

  GruppoOpzioni::Configurazione conf;
  conf.tastiCifra = 3;
  conf.saltaDisabilitati = true;
  m_option1 = new GruppoOpzioni(conf, [this](int i) { cosaCalcolare(i); }, this);
  m_option3 = new GruppoOpzioni(conf, [this](int i) { azione(i); }, this);
  conf.dopoTasto = [this](int) {
    m_frame3->setEnabled(true);
    m_option3->fuoco(0);
  };
  m_option2 = new GruppoOpzioni(conf, [this](int i) { ordineSimboli(i); }, this);

  const QFont fp = carattere(QStringLiteral("Arial"), 12, true);
  const QString testi1[3] = {QStringLiteral("Numero"), QStringLiteral("Simbolo"), QStringLiteral("Numero o simbolo")};
  const QString testi3[3] = {QStringLiteral("Vai"), QStringLiteral("Riprisitina"), QStringLiteral("Esci")};
  for (int i = 0; i < 3; ++i) {
    auto *p1 = new PulsanteOpzione(testi1[i], m_frame1);
    p1->setObjectName(QStringLiteral("Option1_%1").arg(i));
    p1->setGeometry(Pulsante(i));
    p1->setFont(fp);
    m_option1->aggiungi(p1);
    auto *p2 = new PulsanteOpzione(QString(), m_frame2);
    p2->setObjectName(QStringLiteral("Option2_%1").arg(i));
    p2->setGeometry(Pulsante(i));
    p2->setFont(fp);
    m_option2->aggiungi(p2);
    auto *p3 = new PulsanteOpzione(testi3[i], i < 2 ? m_frame3 : c);
    p3->setObjectName(QStringLiteral("Option3_%1").arg(i));
    p3->setGeometry(i < 2 ? Pulsante(i) : Rett(kEsci));
    p3->setFont(fp);
    m_option3->aggiungi(p3);
  }

  m_label1 = Etichetta(c, QStringLiteral("Label1"), kLabel1, carattere(QStringLiteral("Arial"), 12, true));
  m_label2 = Etichetta(c, QStringLiteral("Label2"), kLabel2, carattere(QStringLiteral("Arial"), 12, true));
  coloraTesto(m_label1, kBlu);
  coloraTesto(m_label2, kBlu);
  m_label1->setAccessibleName(QStringLiteral("Che cosa trovare"));
  m_label2->setAccessibleName(QStringLiteral("Ordine dei simboli"));

  m_mnuStampa = voceMenu(QStringLiteral("mnuStampa"), QStringLiteral("Stampa schede"));
  m_mnuAutore = voceMenu(QStringLiteral("mnuAutore"), QStringLiteral("Autore"));
  m_mnuLivello = voceMenu(QStringLiteral("mnuLivello"), QStringLiteral("Livello"));
  m_mnuIstruzioni = voceMenu(QStringLiteral("mnuIstruzioni"), QStringLiteral("Istruzioni"));
  m_mnuAlunno = voceMenu(QStringLiteral("mnuAlunno"), QStringLiteral("Alunno"));
  m_mnuRegistro = voceMenu(QStringLiteral("mnuRegistro"), QStringLiteral("Registro"));
  // Alt+A is the author's: the pupil's entry takes the U of its name.
  m_mnuAlunno->setShortcut(QKeySequence(Qt::ALT | Qt::Key_U));
  m_mnuAlunno->setToolTip(QStringLiteral("Alunno (Alt+U)"));
  // The worksheets need the choices of a whole exercise: they become available once an order is chosen.
  m_mnuStampa->setEnabled(false);
  connect(m_mnuStampa, &QAction::triggered, this, [this] { m_ctx.nav.apriSchede(); });
  connect(m_mnuAutore, &QAction::triggered, this, [this] { m_ctx.nav.apriAutore(); });
  connect(m_mnuLivello, &QAction::triggered, this, [this] { m_ctx.nav.apriLivello(); });
  connect(m_mnuIstruzioni, &QAction::triggered, this, [this] { m_ctx.nav.apriIstruzioni(); });
  connect(m_mnuAlunno, &QAction::triggered, this, [this] { m_ctx.nav.apriAlunno(); });
  connect(m_mnuRegistro, &QAction::triggered, this, [this] { m_ctx.nav.apriRegistro(); });
  m_mnuOpzioni = voceMenu(QStringLiteral("mnuOpzioni"), QStringLiteral("Opzioni"));
  connect(m_mnuOpzioni, &QAction::triggered, this, [this] { m_ctx.nav.apriOpzioni(); });
  m_mnuSuMisura = voceMenu(QStringLiteral("mnuSuMisura"), QStringLiteral("Su misura"));
  // Alt+S is the worksheets': this entry takes the M of "misura".
  m_mnuSuMisura->setShortcut(QKeySequence(Qt::ALT | Qt::Key_M));
  connect(m_mnuSuMisura, &QAction::triggered, this, [this] { m_ctx.nav.apriSuMisura(); });
  mostraSuMisura();
}

void frmInizio::mostraSuMisura() {
  // Built from a pupil's own history: there must be a pupil, and a register to read it from.
  const bool alunno = m_ctx.stato.alunnoScelto.id != 0;
  m_mnuSuMisura->setEnabled(alunno);
  m_mnuSuMisura->setToolTip(alunno ? QStringLiteral("Su misura (Alt+M): venti operazioni scelte dalla storia di %1")
                                         .arg(m_ctx.stato.alunnoScelto.nome)
                                   : QStringLiteral("Su misura: scegli prima il tuo nome con «Alunno» (Alt+U)"));
}

void frmInizio::mostraAlunno() {
  mostraSuMisura();
  const AlunnoScelto &a = m_ctx.stato.alunnoScelto;
  if (a.id == 0) {
    m_lblAlunno->clear();
    return;
  }
  m_lblAlunno->setText(a.nomeClasse.isEmpty() ? a.nome : a.nome + QStringLiteral(" (") + a.nomeClasse + u')');
}

void frmInizio::disegnaFamiglia() {
  const int n = m_ctx.stato.livello.intLivello;
  FamigliaUnita &f = m_ctx.stato.famiglia;
  if (!ApplicaFamiglia(f, n)) return;
  setWindowTitle(TitoloSistema(n) + QStringLiteral("vornel"));
  m_label6[0]->setText(SistemaFamiglia(n));
  m_label6[1]->setText(QStringLiteral("VORNEL"));
  m_label6[2]->setText(DescrizioneFamiglia(n));
  m_option2->pulsante(0)->setText(SimboliDecrescenti(f));
  m_option2->pulsante(1)->setText(SimboliCrescenti(f));
  m_option2->pulsante(2)->setText(QStringLiteral("Tutti"));
  for (auto *p : m_option2->pulsanti()) p->setAccessibleName(p->text().simplified());
}

void frmInizio::disegnaCifre() {
  const int c = m_ctx.stato.livello.intCifre;
  if (!ApplicaCifre(m_ctx.stato.impostazioni, c)) return;
  m_lblCifre->setText(DidascaliaCifre(c));
}

void frmInizio::cosaCalcolare(int i) {
  Impostazioni &imp = m_ctx.stato.impostazioni;
  imp.intCosaCalcolare = static_cast<qint16>(i + 1);
  imp.strCosaCalcolare = kCosaCalcolare[i];
  bloccaPannelli(true);
  m_label1->setText(imp.strCosaCalcolare);
  m_frame2->setEnabled(true);
  m_option2->fuoco(0);
  // The family stays the one on screen: it is the one in force and the one saved.
}

void frmInizio::ordineSimboli(int i) {
  Impostazioni &imp = m_ctx.stato.impostazioni;
  imp.intOrdineSimboli = static_cast<qint16>(i + 1);
  if (i == 0) imp.strOrdineSimboli = QStringLiteral(" Simboli decrescenti ") + m_option2->pulsante(0)->text();
  else if (i == 1) imp.strOrdineSimboli = QStringLiteral(" Simboli crescenti ") + m_option2->pulsante(1)->text();
  else imp.strOrdineSimboli = QStringLiteral("Simboli decrescenti e crescenti ");
  m_label2->setText(imp.strOrdineSimboli);
  m_frame3->setEnabled(true);
  m_option3->fuoco(0);
  m_mnuStampa->setEnabled(true);
}

void frmInizio::azione(int i) {
  if (i == 0) m_ctx.nav.apriEsercizio();
  else if (i == 1) riprisitina();
  else m_ctx.nav.chiudiTutto();
}

void frmInizio::riprisitina() {
  bloccaPannelli(false);
  m_frame1->setEnabled(true);
  m_option1->fuoco(0);
  m_frame2->setEnabled(false);
  m_frame3->setEnabled(false);
  svuotaScelte();
}

void frmInizio::bloccaPannelli(bool bloccati) {
  for (QFrame *f : {m_frame4, m_frame5}) {
    f->setEnabled(!bloccati);
    f->setFrameShape(bloccati ? QFrame::Box : QFrame::NoFrame);
  }
  m_label7->setVisible(!bloccati);
  m_label8->setVisible(!bloccati);
}

void frmInizio::svuotaScelte() {
  m_label1->clear();
  m_label2->clear();
}

void frmInizio::cambiaFamiglia() {
  Livello &l = m_ctx.stato.livello;
  l.intLivello = static_cast<qint16>(l.intLivello >= 3 || l.intLivello < 1 ? 1 : l.intLivello + 1);
  m_label3->setText(QString::number(l.intLivello));
  ScriviLivelli(l);
  disegnaFamiglia();
}

void frmInizio::impostaLivello(int intLivello, int intCifre) {
  if (intLivello < 1 || intLivello > kFamiglie || intCifre < 1 || intCifre > 2) return;
  Livello &l = m_ctx.stato.livello;
  l.intLivello = static_cast<qint16>(intLivello);
  l.intCifre = static_cast<qint16>(intCifre);
  m_label3->setText(QString::number(l.intLivello));
  ScriviLivelli(l);
  disegnaFamiglia();
  disegnaCifre();
  svuotaScelte();
}

void frmInizio::cambiaCifre() {
  Livello &l = m_ctx.stato.livello;
  l.intCifre = static_cast<qint16>(l.intCifre >= 2 || l.intCifre < 1 ? 1 : l.intCifre + 1);
  ScriviLivelli(l);
  disegnaCifre();
}

bool frmInizio::eventFilter(QObject *o, QEvent *e) {
  if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
    auto *w = TipoVivo<QLabel>(o);
    const bool etichettaFamiglia = o == m_label6[0] || o == m_label6[1] || o == m_label6[2];
    if (w && (etichettaFamiglia || o == m_lblCifre)) {
      // A locked panel's captions don't react.
      if (!w->isEnabled()) return true;
      if (etichettaFamiglia) {
        if (static_cast<QMouseEvent *>(e)->button() == Qt::RightButton) cambiaFamiglia();
        svuotaScelte();
      } else {
        cambiaCifre();
      }
      return true;
    }
  }
  return Finestra::eventFilter(o, e);
}

bool frmInizio::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate) {
    m_option1->fuoco(0);
    svuotaScelte();
    bloccaPannelli(false);
  }
  return Finestra::event(e);
}

void frmInizio::showEvent(QShowEvent *e) {
  Finestra::showEvent(e);
  if (m_tendinaAvviata) return;
  // The curtain starts when the pupil can see it, not while the window is still being built.
  m_tendinaAvviata = true;
  m_tendina.prepara(client()->width() * 15);
  posaTendina();
  m_picture1->raise();
  m_picture2->raise();
  m_tempoTendina.start();
  m_timerTendine.start();
}

void frmInizio::dopoRidimensionamento() {
  if (m_picture1) posaTendina();
}

void frmInizio::passoTendina() {
  m_tendina.aggiorna(m_tempoTendina.elapsed());
  posaTendina();
  if (!m_tendina.inMoto()) {
    m_timerTendine.stop();
    m_picture1->hide();
    m_picture2->hide();
  }
}

void frmInizio::posaTendina() {
  const int h = client()->height();
  const int w = client()->width();
  const int sx = px(m_tendina.sinistra()), dx = px(m_tendina.destra());
  m_picture1->setGeometry(0, 0, sx, h);
  m_picture2->setGeometry(w - dx, 0, dx, h);
}
