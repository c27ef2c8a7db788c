// The whole program under a random user, on a real X server. Seeded random key
// strokes (held ones too, repeating), Alt + letter, presses of both mouse
// buttons anywhere in a window, closing, resizing, minimising and restoring
// windows reach the program as X events; every window is reached and left at
// random, printouts are saved as PDF in a folder of the run, and the program is
// started again each time it ends. After every burst of events the program is
// alive or has ended as it should, the level file holds a valid record, and
// the counters are within their ranges; a sanitizer report ends the run.
// When the random events are spent, the windows the run has not reached yet
// are sought along their ways, so that every run reaches every window however
// fast the machine is.
//
// VORNEL_SOAK_SEME=<n> replays one seed, VORNEL_SOAK_EVENTI=<n> sets the number
// of events per seed. VORNEL_SOAK_SERVER=privato gives the program a school's
// server (a private PostgreSQL started by the soak); =muto one that takes the
// connection and never answers.
#include <X11/keysym.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QTabBar>
#include <QTabWidget>
#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>

#include "app/livelli.h"
#include "programma/iniettorex.h"
#include "programma/vie.h"
#include "registro/configserver.h"
#include "support/doppi.h"
#include "support/postgresprivato.h"
#include "support/voceprivata.h"
#include "ui/common/finestra.h"
#include "ui/common/tipovivo.h"
#include "ui/programma/programma.h"

using namespace Qt::StringLiterals;

#ifndef VORNEL_SOAK_EVENTI
#define VORNEL_SOAK_EVENTI 2000
#endif

namespace {

constexpr int kRaffica = 40;  // events between two checks
// Once the random events are spent, the steps spent at most seeking the
// windows not reached, and the pause between two of them (a window opened
// by a step has the time to show).
constexpr int kRicercaMassima = 3000;
constexpr int kPausaRicerca = 25;
constexpr int kTentativi = 3;
constexpr int kRinunce = 4;
constexpr int kPassiSenzaNuove = 150;
constexpr int kAttesaPasso = 20000;  // ms a way waits for a control to be shown

// The keys of the exercise and of the windows' commands come up most.
const QList<unsigned long> kTasti{
    XK_0,      XK_1,     XK_2,     XK_3,     XK_4,      XK_5,    XK_6,         XK_7,          XK_8,
    XK_9,      XK_1,     XK_2,     XK_3,     XK_4,      XK_KP_0, XK_KP_1,      XK_KP_2,       XK_KP_3,
    XK_KP_4,   XK_KP_5,  XK_KP_6,  XK_KP_7,  XK_KP_8,   XK_KP_9, XK_KP_Enter,  XK_KP_Decimal, XK_Return,
    XK_Return, XK_space, XK_space, XK_space, XK_Escape, XK_Tab,  XK_BackSpace, XK_Delete,     XK_comma,
    XK_period, XK_Left,  XK_Right, XK_Up,    XK_Down,   XK_F1,   XK_F2,        XK_F3,         XK_F4,
    XK_F5,     XK_F6,    XK_F7,    XK_F8,    XK_F9,     XK_F10,  XK_F11,       XK_F12,        XK_a,
    XK_c,      XK_e,     XK_n,     XK_s,     XK_v,      XK_g,    XK_m,         XK_k,          XK_h,
    XK_d,      XK_u,     XK_l,     XK_t,     XK_q,      XK_z,    XK_x};

// What reached the program's widgets from the window system.
class Ricevuti : public QObject {
 public:
  int tasti = 0, ripetuti = 0, conAlt = 0, sinistro = 0, destro = 0, chiusure = 0, ridimensionamenti = 0,
      ridotte = 0;
  QSet<QString> mostrate;

 protected:
  bool eventFilter(QObject *o, QEvent *e) override {
    auto *w = TipoVivo<QWidget>(o);
    if (!w) return false;
    switch (e->type()) {
      case QEvent::Show:
        if (w->isWindow()) {
          mostrate.insert(w->objectName());
          mostrate.insert(QString::fromLatin1(w->metaObject()->className()));
        }
        break;
      case QEvent::KeyPress:
        if (e->spontaneous()) {
          auto *k = static_cast<QKeyEvent *>(e);
          ++tasti;
          ripetuti += k->isAutoRepeat() ? 1 : 0;
          conAlt += k->modifiers().testFlag(Qt::AltModifier) ? 1 : 0;
        }
        break;
      case QEvent::MouseButtonPress:
        if (e->spontaneous()) {
          const auto b = static_cast<QMouseEvent *>(e)->button();
          sinistro += b == Qt::LeftButton ? 1 : 0;
          destro += b == Qt::RightButton ? 1 : 0;
        }
        break;
      case QEvent::Close:
        chiusure += e->spontaneous() ? 1 : 0;
        break;
      case QEvent::Resize:
        ridimensionamenti += e->spontaneous() && w->isWindow() ? 1 : 0;
        break;
      case QEvent::WindowStateChange:
        ridotte += w->isMinimized() ? 1 : 0;
        break;
      default:
        break;
    }
    return false;
  }
};

// One seed's run: a timer drives the events (it keeps firing inside the modal
// windows' own loops, so the events go on to whatever window is active), and
// the test's loop starts the program again when it has ended.
class Soak : public QObject {
 public:
  Soak(IniettoreX &x, quint32 seme, int eventi, QString cartella, const QSet<QString> &raggiunte)
      : m_x(x),
        m_seme(seme),
        m_g(seme),
        m_eventi(eventi),
        m_cartella(std::move(cartella)),
        m_raggiunte(raggiunte) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { passo(); });
  }
  ~Soak() override { spegni(); }

  void avvia() {
    accendi();
    m_timer.start();
  }
  [[nodiscard]] bool finito() const { return m_finito; }
  // Back in the test's own loop, outside every window's handler: a program
  // that has ended is started again.
  void inCima();
  void spegni();

  QStringList guasti;
  int fatti = 0, avvii = 0, pdfChiesti = 0, csvChiesti = 0, vieSeguite = 0, cercati = 0;

 private:
  void accendi();
  void passo();
  void azione();
  void verifica();
  void guasto(const QString &testo);
  bool seguiVia();
  [[nodiscard]] QStringList mancanti() const;
  bool cerca();
  bool chiudiAperte();
  [[nodiscard]] QList<QWidget *> visibili() const;
  [[nodiscard]] QWidget *bersaglio();
  [[nodiscard]] QPoint puntoIn(const QWidget *w) { return puntoIn(w->frameGeometry()); }
  [[nodiscard]] QPoint puntoIn(const QRect &r) {
    return {r.left() + static_cast<int>(m_g.bounded(std::max(1, r.width()))),
            r.top() + static_cast<int>(m_g.bounded(std::max(1, r.height())))};
  }
  void clic(QWidget *finestra, QPoint dove, int pulsante, bool alza = false);
  int caso(int n) { return static_cast<int>(m_g.bounded(n)); }

  IniettoreX &m_x;
  quint32 m_seme;
  QRandomGenerator m_g;
  int m_eventi;
  QString m_cartella;
  const QSet<QString> &m_raggiunte;  // the windows shown so far
  QTimer m_timer;
  std::unique_ptr<Programma> m_p;
  bool m_fine = false;  // Finestre::fine was signalled
  bool m_finito = false;
  unsigned long m_tenuto = 0;
  QElapsedTimer m_daQuando;
  QPointer<QWidget> m_viaDa;
  QStringList m_passi;
  QList<QPointer<QWidget>> m_ridotte;
  QHash<const Via *, int> m_tentativi;  // tries of each way while seeking
  int m_rinunce = 0;                    // windows closed while seeking
  bool m_riavvia = false;               // the test's loop starts the program afresh
  int m_senzaNuove = 0;                 // steps since a window not reached was last reached
  qsizetype m_mancantiPrima = 0;
  QElapsedTimer m_attesaPasso;  // since a step began waiting for its control
  bool m_inAttesa = false;      // this tick a step waited
};

void Soak::accendi() {
  // Each start finds the machine's settings (a technician's server, or none),
  // not a server the random user saved over them in Opzioni: the ways follow
  // the door of the run's own kind.
  QFile::remove(ConfigServer::FileUtente());
  m_p = std::make_unique<Programma>(QDir(m_cartella).filePath(u"vornel"_s));
  m_p->stampante.impostaCartellaPdf(m_cartella);
  m_p->stampante.scegli(kSalvaComePdf);
  m_fine = false;
  connect(&m_p->finestre, &Finestre::fine, this, [this] { m_fine = true; });
  m_p->avvia();
  ++avvii;
}

void Soak::spegni() {
  if (!m_p) return;
  for (QWidget *w : QApplication::topLevelWidgets()) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete m_p->finestre.inizio();
  m_p.reset();
  m_viaDa = nullptr;
  m_passi.clear();
  m_ridotte.clear();
}

void Soak::guasto(const QString &testo) {
  guasti << u"seed %1, event %2: %3"_s.arg(m_seme).arg(fatti).arg(testo);
  m_eventi = fatti;  // the run stops here
}

void Soak::inCima() {
  if (!m_p || m_finito) return;
  if (m_riavvia) {
    m_riavvia = false;
    spegni();
    accendi();
    return;
  }
  frmInizio *inizio = m_p->finestre.inizio();
  if (!m_fine && inizio && inizio->isVisible()) return;
  if (!m_fine && inizio) {
    // Nothing but "Esci", "FINE SESSIONE" or closing the start window ends the program.
    guasto(u"the start window is hidden while the program runs on"_s);
    return;
  }
  // Ended: no window of it is left on the screen.
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowType() != Qt::ToolTip)
      guasto(u"%1 still on the screen after the program ended"_s.arg(w->objectName()));
  spegni();
  accendi();
}

QList<QWidget *> Soak::visibili() const {
  QList<QWidget *> v;
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->isMinimized() && w->windowType() != Qt::ToolTip) v << w;
  return v;
}

// The window the user works in, most of the time; another one now and then.
QWidget *Soak::bersaglio() {
  QWidget *w = QApplication::activePopupWidget();
  if (!w) w = QApplication::activeModalWidget();
  if (!w) w = QApplication::activeWindow();
  const QList<QWidget *> v = visibili();
  if ((!w || caso(10) < 3) && !v.isEmpty()) w = v.at(caso(static_cast<int>(v.size())));
  return w && w->isVisible() && !w->isMinimized() ? w : nullptr;
}

void Soak::clic(QWidget *finestra, QPoint dove, int pulsante, bool alza) {
  // Click to focus, as the window managers of a school's desktops do; a
  // window under a modal one gives the keyboard to that one. A step along a
  // way raises its window first: the active window may lie under another.
  QWidget *modale = QApplication::activeModalWidget();
  QWidget *fuoco = modale ? modale : finestra;
  // While the windows not reached are sought, the window is also mapped again:
  // minimised by the random user, it may still count as shown to the program.
  if (finestra->windowType() != Qt::Popup && alza && cercati > 0)
    m_x.ripristina(fuoco->winId());
  else if (finestra->windowType() != Qt::Popup && (alza || QApplication::activeWindow() != fuoco))
    m_x.attiva(fuoco->winId());
  m_x.sposta(dove);
  m_x.pulsante(pulsante, true);
  if (caso(8) == 0) m_x.sposta(puntoIn(finestra));  // dragged before it is let go
  m_x.pulsante(pulsante, false);
}

void Soak::passo() {
  if (m_finito) return;
  m_x.sincronizza();
  // A file dialog (a printout's PDF, the register's CSV export) is answered at
  // once, now and then by cancelling.
  if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
    // A class list to import: a small one the soak keeps, or none.
    if (d->acceptMode() == QFileDialog::AcceptOpen) {
      const QString elenco = QDir(m_cartella).filePath(u"elenco.tsv"_s);
      QFile f(elenco);
      if (caso(4) == 0 || !f.open(QIODevice::WriteOnly)) {
        d->reject();
        return;
      }
      f.write("Cognome\tNome\tCodice fiscale\r\nRossi\tAnna\tRSSNNA15A41H501X\r\nBianchi\tLuca\t\r\n");
      f.close();
      d->selectFile(elenco);
      static_cast<QDialog *>(d)->accept();
      return;
    }
    const bool csv = d->nameFilters().join(u' ').contains(u"*.csv"_s);
    // The first PDF is always saved, so every run prints.
    if ((csv || pdfChiesti > 0) && caso(8) == 0) {
      d->reject();
    } else {
      d->selectFile(QDir(m_cartella).filePath(csv ? u"esportazione-%1.csv"_s.arg(++csvChiesti)
                                                  : u"stampa-%1.pdf"_s.arg(++pdfChiesti)));
      static_cast<QDialog *>(d)->accept();  // as its Save button: QFileDialog's own check runs
    }
    return;
  }
  if (m_tenuto) {
    // Held past the repeat delay, so the server repeats it.
    if (m_daQuando.elapsed() < 150) return;
    m_x.tasto(m_tenuto, false);
    m_tenuto = 0;
    return;
  }
  if (fatti >= m_eventi && m_eventi > 0 && guasti.isEmpty() && cercati < kRicercaMassima && m_p &&
      !mancanti().isEmpty()) {
    // The random events are spent: the windows not reached yet are sought,
    // from a program started afresh (printing to PDF, its windows where they
    // open), and again afresh when a while brings no new window.
    if (m_riavvia) return;  // the test's loop starts it again
    const qsizetype ancora = mancanti().size();
    if (ancora < m_mancantiPrima) m_senzaNuove = 0;
    m_mancantiPrima = ancora;
    if (cercati == 0 || m_senzaNuove >= kPassiSenzaNuove) {
      m_timer.setInterval(kPausaRicerca);
      m_passi.clear();
      if (!chiudiAperte()) return;  // the dialogs under way first, from inside their loops
      m_riavvia = true;
      m_senzaNuove = 0;
      ++cercati;
      return;
    }
    ++cercati;
    ++m_senzaNuove;
    if (!seguiVia()) cerca();
    return;
  }
  if (fatti >= m_eventi) {
    // Done.
    if (chiudiAperte()) {
      m_timer.stop();
      m_finito = true;
    }
    return;
  }
  if (m_p) {
    if (!seguiVia()) azione();
    // A step waiting for its control is no event of the user's.
    if (std::exchange(m_inAttesa, false)) return;
    ++fatti;
    if (fatti % kRaffica == 0) verifica();
  }
}

// The open popups and modal windows are closed, one a call, from inside their
// loops, and a printout or a drawing under way (it may still ask for its
// file) is waited for: true once nothing is left.
bool Soak::chiudiAperte() {
  if (QWidget *p = QApplication::activePopupWidget()) {
    p->close();
    return false;
  }
  if (QWidget *m = QApplication::activeModalWidget()) {
    if (auto *d = qobject_cast<QDialog *>(m))
      d->reject();
    else
      m->close();
    return false;
  }
  const QWidgetList tutte = QApplication::topLevelWidgets();
  return std::none_of(tutte.cbegin(), tutte.cend(), [](QWidget *w) {
    auto *f = qobject_cast<Finestra *>(w);
    return f && f->occupata();
  });
}

// The next press along a way to a window, when one is under way.
bool Soak::seguiVia() {
  if (m_passi.isEmpty()) return false;
  QWidget *da = m_viaDa;
  QString nome = m_passi.takeFirst();
  // A way may start in a modal window (the teacher's door): only that one.
  QWidget *modale = QApplication::activeModalWidget();
  if (!da || !da->isVisible() || da->isMinimized() || (modale && modale != da) ||
      QApplication::activePopupWidget()) {
    m_passi.clear();
    return false;
  }
  // "~step": waited for until its control is shown, the way dropped after a while.
  if (nome.startsWith(u'~')) {
    auto *c = da->findChild<QWidget *>(nome.mid(1));
    if (!m_attesaPasso.isValid()) m_attesaPasso.start();
    if (c && !c->isVisible() && !m_attesaPasso.hasExpired(kAttesaPasso)) {
      m_passi.prepend(nome);
      m_inAttesa = true;
      return true;
    }
    m_attesaPasso.invalidate();
    nome.remove(0, 1);
  }
  // "?step": passed over when the window has no such control; "field=text": typed into it.
  const bool facoltativo = nome.startsWith(u'?');
  if (facoltativo) nome.remove(0, 1);
  std::optional<QString> testo;
  if (const qsizetype uguale = nome.indexOf(u'='); uguale > 0) {
    testo = nome.mid(uguale + 1);
    nome.truncate(uguale);
  }
  if (facoltativo && !da->findChild<QAction *>(nome) && !da->findChild<QWidget *>(nome)) return seguiVia();
  QPoint dove;
  bool inVista = true;
  // "tabs#n": the n-th tab of the tab widget named tabs.
  int scheda = -1;
  if (const qsizetype cancelletto = nome.indexOf(u'#'); cancelletto > 0) {
    scheda = nome.mid(cancelletto + 1).toInt();
    nome.truncate(cancelletto);
  }
  if (auto *t = scheda >= 0 ? da->findChild<QTabWidget *>(nome) : nullptr; t && t->isVisible()) {
    const QTabBar *barra = t->tabBar();
    dove = barra->mapToGlobal(barra->tabRect(scheda).center());
  } else if (auto *a = da->findChild<QAction *>(nome)) {
    auto *barra = da->findChild<QMenuBar *>();
    if (!barra || !barra->isVisible() || !a->isVisible()) {
      m_passi.clear();
      return false;
    }
    // An entry that the narrowed window's menu bar moves out of sight has no place.
    const QRect r = barra->actionGeometry(a);
    inVista = !r.isEmpty() && barra->rect().contains(r.center());
    dove = barra->mapToGlobal(r.center());
  } else if (auto *c = da->findChild<QWidget *>(nome); c && c->isVisible()) {
    dove = c->mapToGlobal(c->rect().center());
  } else {
    m_passi.clear();
    return false;
  }
  if (!inVista || !da->rect().contains(da->mapFromGlobal(dove))) {
    // Out of the window shrunk by a resize: while the windows not reached are
    // sought, the window is given room again.
    m_passi.clear();
    if (cercati == 0) return false;
    m_x.ridimensiona(da->winId(),
                     QSize(1000, 760).expandedTo(da->minimumSize()).boundedTo(da->maximumSize()));
    return true;
  }
  clic(da, dove, 1, true);
  if (testo) {
    // Over whatever the field held: Ctrl+A, then the text key by key.
    m_x.tasto(XK_Control_L, true);
    m_x.tasto(XK_a, true);
    m_x.tasto(XK_a, false);
    m_x.tasto(XK_Control_L, false);
    for (const QChar c : *testo) {
      const unsigned long k = c == u'\n' ? XK_Return : c.unicode();  // Latin-1 keysyms are their codes
      m_x.tasto(k, true);
      m_x.tasto(k, false);
    }
  }
  return true;
}

// The windows of the ways that this run has not shown yet; the file dialog
// counts only once a printout has really asked for its file.
QStringList Soak::mancanti() const {
  QStringList m;
  for (const Via &v : Vie())
    if ((!m_raggiunte.contains(v.finestra) || (v.finestra == kDialogoFile && pdfChiesti == 0)) &&
        !m.contains(v.finestra))
      m << v.finestra;
  return m;
}

// One step towards a window not reached yet: the first way of the shortest
// road from the window the user is in; a window with no road onwards is
// closed, as a user gives up on it; with no window active, the start window
// is clicked.
bool Soak::cerca() {
  if (QWidget *p = QApplication::activePopupWidget()) {
    m_x.tasto(XK_Escape, true);
    m_x.tasto(XK_Escape, false);
    return p != nullptr;
  }
  QWidget *attiva = QApplication::activeModalWidget();
  if (!attiva) attiva = QApplication::activeWindow();
  if (!attiva || !attiva->isVisible() || attiva->isMinimized()) {
    // The minimised windows come back first.
    m_ridotte.removeAll(nullptr);
    if (!m_ridotte.isEmpty()) {
      QWidget *w = m_ridotte.takeFirst();
      if (w->isVisible()) m_x.ripristina(w->winId());
      return true;
    }
    frmInizio *inizio = m_p->finestre.inizio();
    if (!inizio || !inizio->isVisible()) return false;  // ended: started again from the test's loop
    m_x.ripristina(inizio->winId());
    return true;
  }
  // Breadth first over the ways, from the windows on the screen (only the
  // modal one, when there is one) to the nearest window not reached.
  const QStringList cercate = mancanti();
  QList<QWidget *> partenze{attiva};
  if (!QApplication::activeModalWidget())
    for (QWidget *w : visibili())
      if (w != attiva && w->windowType() != Qt::Popup) partenze << w;
  QHash<QString, QPair<QWidget *, const Via *>> primaVia;  // window -> where its road starts, its first way
  QStringList coda;
  for (QWidget *w : partenze)
    if (!primaVia.contains(w->objectName())) {
      primaVia.insert(w->objectName(), {w, nullptr});
      coda << w->objectName();
    }
  QPair<QWidget *, const Via *> scelta{nullptr, nullptr};
  for (qsizetype i = 0; i < coda.size() && !scelta.second; ++i) {
    for (const Via &v : Vie()) {
      if (v.da != coda.at(i) || primaVia.contains(v.finestra) || m_tentativi.value(&v) >= kTentativi)
        continue;
      QPair<QWidget *, const Via *> prima = primaVia.value(v.da);
      if (!prima.second) prima.second = &v;
      if (cercate.contains(v.finestra)) {
        scelta = prima;
        break;
      }
      primaVia.insert(v.finestra, prima);
      coda << v.finestra;
    }
  }
  if (!scelta.second) {
    // Nothing to seek from here: a window is closed, the start window last
    // (the program then starts again, printing to PDF as at first), and the
    // ways that led nowhere get new tries.
    // Every few times, the program itself ends, to start again afresh.
    m_tentativi.clear();
    QWidget *chiusa = attiva;
    if (qobject_cast<frmInizio *>(attiva) || ++m_rinunce % kRinunce == 0) {
      chiusa = m_p->finestre.inizio();
      for (QWidget *w : visibili())
        if (w != chiusa && w->windowType() != Qt::Popup && m_rinunce % kRinunce != 0) chiusa = w;
    }
    if (chiusa) m_x.chiudi(chiusa->winId());
    return true;
  }
  // A way tried a few times in vain (the window it opens may need something
  // first: a pupil's name before the certificate prints) gives way to others.
  m_tentativi[scelta.second] += 1;
  m_viaDa = scelta.first;
  m_passi = scelta.second->passi;
  ++vieSeguite;
  return seguiVia();
}

void Soak::azione() {
  QWidget *attiva = QApplication::activeWindow();
  const int tipo = caso(1000);
  // A way from this window to another, when it has one. The ways to windows
  // not yet reached in this run come first, most of the time, and are taken
  // more often while there are any.
  QList<const Via *> vie, nuove;
  if (attiva && (!QApplication::activeModalWidget() || QApplication::activeModalWidget() == attiva) &&
      !QApplication::activePopupWidget()) {
    for (const Via &v : Vie()) {
      if (v.da != attiva->objectName()) continue;
      vie << &v;
      if (!m_raggiunte.contains(v.finestra) || (v.finestra == kDialogoFile && pdfChiesti == 0)) nuove << &v;
    }
  }
  if (tipo < (nuove.isEmpty() ? 100 : 250) && !vie.isEmpty()) {
    if (!nuove.isEmpty() && caso(4) != 0) vie = nuove;
    const Via *v = vie.at(caso(static_cast<int>(vie.size())));
    m_viaDa = attiva;
    m_passi = v->passi;
    ++vieSeguite;
    seguiVia();
    return;
  }
  m_ridotte.removeAll(nullptr);
  QList<QWidget *> v = visibili();
  if ((tipo >= 970 || v.isEmpty()) && !m_ridotte.isEmpty()) {
    // Restore a minimised window.
    QWidget *w = m_ridotte.takeAt(caso(static_cast<int>(m_ridotte.size())));
    if (w->isVisible()) m_x.ripristina(w->winId());
    return;
  }
  if (tipo < 500) {
    const unsigned long k = kTasti.at(caso(static_cast<int>(kTasti.size())));
    if (m_x.tasto(k, true)) {
      if (caso(40) == 0) {
        m_tenuto = k;
        m_daQuando.start();
        return;
      }
      m_x.tasto(k, false);
    }
  } else if (tipo < 540) {
    // Alt + a letter: the menu entries' keys first of all.
    static const QList<unsigned long> lettere{XK_s, XK_a, XK_s, XK_a, XK_e, XK_f, XK_v, XK_c, XK_x, XK_i};
    const unsigned long k = lettere.at(caso(static_cast<int>(lettere.size())));
    m_x.tasto(XK_Alt_L, true);
    m_x.tasto(k, true);
    m_x.tasto(k, false);
    m_x.tasto(XK_Alt_L, false);
  } else if (tipo < 900) {
    if (QWidget *w = bersaglio()) clic(w, puntoIn(w), caso(5) == 0 ? 3 : 1);
  } else if (tipo < 910) {
    QWidget *w = bersaglio();
    if (w && w->windowType() != Qt::Popup) m_x.chiudi(w->winId());
  } else if (tipo < 945) {
    QWidget *w = bersaglio();
    if (w && w->windowType() != Qt::Popup) {
      const QSize minima = w->minimumSize().expandedTo({40, 30});
      const QSize massima = w->maximumSize().boundedTo({1270, 1010});
      m_x.ridimensiona(w->winId(), QSize(std::clamp(40 + caso(1200), minima.width(), massima.width()),
                                         std::clamp(30 + caso(950), minima.height(), massima.height())));
    }
  } else if (tipo < 960) {
    QWidget *w = bersaglio();
    if (w && w->windowType() != Qt::Popup) {
      m_x.riduci(w->winId());
      m_ridotte << w;
    }
  } else if (QWidget *w = bersaglio()) {
    clic(w, puntoIn(w), 1);
  }
}

void Soak::verifica() {
  const Stato &s = m_p->stato;
  const Esercizio &e = s.esercizio;
  QStringList f;
  if (e.intOperazione < 0 || e.intOperazione > 20) f << u"intOperazione %1"_s.arg(e.intOperazione);
  if (e.intEsatte < 0 || e.intErrate < 0 || e.intEsatte + e.intErrate > std::max<int>(e.intOperazione, 0))
    f << u"intEsatte %1, intErrate %2 of %3"_s.arg(e.intEsatte).arg(e.intErrate).arg(e.intOperazione);
  const auto cifre =
      std::count_if(e.strRisposta.cbegin(), e.strRisposta.cend(), [](QChar c) { return c.isDigit(); });
  if (e.strRisposta.size() > e.intLunghezzaMassima || e.intLunghezzaMassima != 7 || cifre > 5)
    f << u"answer '%1'"_s.arg(e.strRisposta);
  if (e.strNomeAlunno.size() > 15) f << u"pupil's name '%1'"_s.arg(e.strNomeAlunno);
  if (s.livello.intLivello < 1 || s.livello.intLivello > 12 || s.livello.intCifre < 1 ||
      s.livello.intCifre > 2)
    f << u"level %1, digits %2"_s.arg(s.livello.intLivello).arg(s.livello.intCifre);
  const Impostazioni &i = s.impostazioni;
  if (i.intCosaCalcolare < 1 || i.intCosaCalcolare > 3 || i.intOrdineSimboli < 1 || i.intOrdineSimboli > 3 ||
      (i.intValoreMassimo != 9 && i.intValoreMassimo != 19))
    f << u"settings %1 %2 %3"_s.arg(i.intCosaCalcolare).arg(i.intOrdineSimboli).arg(i.intValoreMassimo);
  const Scheda &k = s.scheda;
  if (k.intNumeroOperazioni % 10 != 0 || k.intNumeroOperazioni < 10 || k.intNumeroOperazioni > 30 ||
      k.intRigheGenerate < 0 || k.intRigheGenerate > 30 || k.intTipoScheda < 1 || k.intTipoScheda > 2)
    f << u"worksheet %1 lines, %2 made, kind %3"_s.arg(k.intNumeroOperazioni)
             .arg(k.intRigheGenerate)
             .arg(k.intTipoScheda);
  if (m_p->finestre.inizio()) {
    QFile file(NomeFileLivelli(s.livello.strNomeFile));
    const auto r = file.open(QIODevice::ReadOnly) ? LeggiRecordLivello(file.readAll()) : std::nullopt;
    if (!r || r->intLivello != s.livello.intLivello || r->intCifre != s.livello.intCifre)
      f << u"level file does not hold family %1, %2 digits"_s.arg(s.livello.intLivello)
               .arg(s.livello.intCifre);
  }
  if (!f.isEmpty()) guasto(f.join(u"; "_s));
}

QList<quint32> Semi() {
  bool ok = false;
  const quint32 uno = qEnvironmentVariable("VORNEL_SOAK_SEME").toUInt(&ok);
  if (ok) return {uno};
  return {20261209u, 7u, 1848u};
}

int EventiPerSeme() {
  bool ok = false;
  const int n = qEnvironmentVariableIntValue("VORNEL_SOAK_EVENTI", &ok);
  return ok && n > 0 ? n : VORNEL_SOAK_EVENTI;
}

// The server the program is given, from VORNEL_SOAK_SERVER: none, the
// soak's own PostgreSQL, or a port that takes connections into its queue
// and never says a word.
class ServerDelSoak {
 public:
  // Started once for the run; false with the reason.
  bool avvia(QString *errore) {
    m_tipo = qEnvironmentVariable("VORNEL_SOAK_SERVER");
    if (m_tipo == u"privato"_s) {
      m_pg = std::make_unique<PostgresPrivato>();
      if (m_pg->avvia() && m_pg->preparaVornel() && m_pg->creaDocente(kDocenteSoak, kPasswordSoak)) return true;
      *errore = m_pg->errore();
      return false;
    }
    if (m_tipo == u"muto"_s) {
      m_muta = std::make_unique<PortaMuta>();
      return m_muta->porta() > 0;
    }
    *errore = u"VORNEL_SOAK_SERVER is privato or muto"_s;
    return m_tipo.isEmpty();
  }
  [[nodiscard]] QString tipo() const { return m_tipo; }

  // The machine's server.conf under the run's XDG_CONFIG_DIRS, as a
  // technician deploys it (the user's own file is the random user's).
  bool scriviConfigurazione(const QString &cartella) const {
    if (m_tipo.isEmpty()) return true;
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(cartella + u"/sistema"_s));
    ConfigServer c;
    c.host = u"localhost"_s;
    c.computer = u"soak"_s;
    c.connectTimeout = 2;
    c.tcpUserTimeout = 2000;
    c.porta = m_pg ? m_pg->porta() : m_muta->porta();
    c.password = QString::fromLatin1(PostgresPrivato::kPasswordComputer);
    if (m_pg) {
      c.sslmode = u"verify-full"_s;
      c.sslrootcert = m_pg->certificatoCA();
    }
    return c.scriviFile(ConfigServer::FileSistema());
  }

 private:
  QString m_tipo;
  std::unique_ptr<PostgresPrivato> m_pg;
  std::unique_ptr<PortaMuta> m_muta;
};

}  // namespace

class TestSoak : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void shouldSurviveARandomUserThroughEveryWindow_data();
  void shouldSurviveARandomUserThroughEveryWindow();

 private:
  // speech-dispatcher's socket folder: one for the whole run, as the speech
  // library reads it once per process.
  QTemporaryDir m_esecuzione;
  ServerDelSoak m_server;
};

void TestSoak::initTestCase() {
  ImpostaApplicazione();
  // The program's end is seen by the soak, which starts it again.
  QApplication::setQuitOnLastWindowClosed(false);
  QString errore;
  QVERIFY2(m_server.avvia(&errore), qPrintable(errore));
  if (!m_server.tipo().isEmpty()) qInfo("soak: with a school's server: %s", qPrintable(m_server.tipo()));
}

void TestSoak::shouldSurviveARandomUserThroughEveryWindow_data() {
  QTest::addColumn<quint32>("seme");
  for (quint32 s : Semi()) QTest::addRow("seed %u", s) << s;
}

void TestSoak::shouldSurviveARandomUserThroughEveryWindow() {
  QFETCH(quint32, seme);
  const int eventi = EventiPerSeme();
  // Said before anything runs: a sanitizer report ends the process.
  qInfo("soak: seed %u, %d events (VORNEL_SOAK_SEME=%u replays it)", seme, eventi, seme);
  CartellaTemporanea dir;
  // No print queue of the machine is ever used: only "Salva come PDF".
  qputenv("CUPS_SERVER", QFile::encodeName(dir.percorso() + u"/nessun-cups.sock"_s));
  // The options and the register the random user changes are this run's own,
  // and so is the speech-dispatcher that F5 starts (silent, into a null output).
  const QString senzaVoce = PreparaVocePrivata(dir.percorso());
  if (!senzaVoce.isEmpty())
    qInfo("soak: F5 finds no speech-dispatcher of the run's own: %s", qPrintable(senzaVoce));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_esecuzione.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.percorso() + u"/config"_s));
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.percorso() + u"/dati"_s));
  QVERIFY(m_server.scriviConfigurazione(dir.percorso()));
  IniettoreX x;
  QVERIFY2(x.pronto(), "no X display with the XTest extension");
  x.ripetizione(40, 15);
  Ricevuti ricevuti;
  qApp->installEventFilter(&ricevuti);
  QElapsedTimer tempo;
  tempo.start();
  {
    Soak soak(x, seme, eventi, dir.percorso(), ricevuti.mostrate);
    soak.avvia();
    while (!soak.finito()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      soak.inCima();
    }
    soak.spegni();
    qInfo(
        "soak: seed %u, %d events in %lld ms, then %d steps seeking the windows not reached; %d starts, %d "
        "ways "
        "followed, %d PDF and %d CSV files asked for",
        seme, soak.fatti, static_cast<long long>(tempo.elapsed()), soak.cercati, soak.avvii, soak.vieSeguite,
        soak.pdfChiesti, soak.csvChiesti);
    QVERIFY2(soak.guasti.isEmpty(), qPrintable(soak.guasti.join(u'\n')));
    QCOMPARE(soak.fatti, eventi);
  }
  qApp->removeEventFilter(&ricevuti);
  qInfo(
      "soak: keys %d (%d repeated, %d with Alt), presses left %d right %d, closes %d, resizes %d, minimised "
      "%d; "
      "%d requests named a window already gone",
      ricevuti.tasti, ricevuti.ripetuti, ricevuti.conAlt, ricevuti.sinistro, ricevuti.destro,
      ricevuti.chiusure, ricevuti.ridimensionamenti, ricevuti.ridotte, x.errori());
  // The events came through the X server, every kind of them.
  QVERIFY(ricevuti.tasti > 0);
  QVERIFY(ricevuti.ripetuti > 0);
  QVERIFY(ricevuti.conAlt > 0);
  QVERIFY(ricevuti.sinistro > 0);
  QVERIFY(ricevuti.destro > 0);
  QVERIFY(ricevuti.chiusure > 0);
  QVERIFY(ricevuti.ridimensionamenti > 0);
  QVERIFY(ricevuti.ridotte > 0);
  // Every window was reached, and printouts were saved.
  QStringList mancanti;
  for (const Via &v : Vie())
    if (!ricevuti.mostrate.contains(v.finestra) && !mancanti.contains(v.finestra)) mancanti << v.finestra;
  QVERIFY2(mancanti.isEmpty(), qPrintable(u"never reached: "_s + mancanti.join(u", "_s)));
  const QFileInfoList pdf = QDir(dir.percorso()).entryInfoList({u"*.pdf"_s}, QDir::Files);
  qInfo("soak: %lld PDF files written", static_cast<long long>(pdf.size()));
  QVERIFY(!pdf.isEmpty());
  for (const QFileInfo &f : pdf) {
    QFile file(f.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(file.read(5) == "%PDF-", qPrintable(f.fileName()));
  }
  // Exports are whole: the byte order mark, then a header row of fields.
  for (const QFileInfo &f : QDir(dir.percorso()).entryInfoList({u"*.csv"_s}, QDir::Files)) {
    QFile file(f.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray intestazione = file.readLine();
    QVERIFY2(intestazione.startsWith("\xEF\xBB\xBF\"") && intestazione.endsWith("\"\r\n"),
             qPrintable(f.fileName()));
  }
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
