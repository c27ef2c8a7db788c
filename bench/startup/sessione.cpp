// A scripted session through the real windows, every press sent through the
// event loop as a user's would be: one whole exercise of twenty operations, the
// certificate printed to PDF, a 30-line teachers' worksheet printed to PDF.
// Reports the curtain's time against its nominal time, the longest time the
// event loop was held and the longest single handler. Peak memory is read by
// the caller (misura). Built as bench_sessione_sqlite, it is the floor of the
// session with its recording: the same session with no register module, each
// operation written as it is closed by a bare Qt SQL writer instead.
#include <malloc.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBackingStore>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/programma/programma.h"
#ifdef VORNEL_SESSIONE_SQLITE
#include "sqlitenudo.h"
#endif

namespace {

// Measures how long the event loop was kept from running: a timer beats every
// millisecond, and the longest gap between two beats, less the millisecond,
// is the longest time a handler held the loop. A handler that lets pending
// events through (the certificate's drawing and printing) is only charged for
// the stretches in between. The last event begun before the worst gap ended
// is named in the report. Two handlers delivered in one turn of the loop (a
// press that opens a window, then that window's first exposure) count as one
// gap; the longest single handler that never let events through is reported
// on its own.
class Applicazione : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject *o, QEvent *e) override {
    if (m_profondita == 0 && e->type() != QEvent::Timer) {
      m_evento = e->type();
      m_oggetto = o->objectName();
    }
    // With VORNEL_TRACCIA_EVENTI set, every event of the outer levels that took
    // over 2 ms is listed with its start and end (ms since the heartbeat began).
    static const bool traccia = qEnvironmentVariableIsSet("VORNEL_TRACCIA_EVENTI");
    const int tipo = e->type();
    // Read before the event: handling it may delete the object (DeferredDelete).
    const QString nome = o->objectName();
    const qint64 inizio = m_orologio.nsecsElapsed();
    if (m_profondita == 0) m_annidato = false;
    ++m_profondita;
    const bool r = QApplication::notify(o, e);
    --m_profondita;
    const qint64 fine = m_orologio.nsecsElapsed();
    if (m_profondita == 0 && !m_annidato && m_orologio.isValid() && fine - inizio > gestorePeggiore) {
      gestorePeggiore = fine - inizio;
      tipoGestore = tipo;
      oggettoGestore = nome;
    }
    if (traccia && m_orologio.isValid() && m_profondita < 3 && fine - inizio > 2000000)
      std::fprintf(stderr, "%*sevent %d on '%s': %.2f .. %.2f ms\n", 2 * m_profondita, "", tipo,
                   qPrintable(nome), inizio / 1e6, fine / 1e6);
    return r;
  }
  void avviaBattito() {
    m_battito.setTimerType(Qt::PreciseTimer);
    m_battito.setInterval(1);
    QObject::connect(&m_battito, &QTimer::timeout, [this] {
      const qint64 ora = m_orologio.nsecsElapsed();
      static const bool elenca = qEnvironmentVariableIsSet("VORNEL_TRACCIA_ATTESE");
      if (elenca && m_ultimo > 0 && ora - m_ultimo > 9000000)
        std::fprintf(stderr, "held %6.2f ms: event type %d on '%s', until %.2f ms\n",
                     (ora - m_ultimo - 1000000) / 1e6, m_evento, qPrintable(m_oggetto), ora / 1e6);
      if (m_ultimo > 0 && ora - m_ultimo - 1000000 > peggiore) {
        peggiore = ora - m_ultimo - 1000000;
        tipoPeggiore = m_evento;
        oggettoPeggiore = m_oggetto;
      }
      m_ultimo = ora;
      ++battiti;
    });
    // A loop run from inside a handler (processEvents) lets events through.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this, [this] {
      if (m_profondita > 0) m_annidato = true;
    });
    m_orologio.start();
    if (qEnvironmentVariableIsSet("VORNEL_TRACCIA_EVENTI"))
      std::fprintf(stderr, "heartbeat clock starts at %lld ms of the monotonic clock\n", m_orologio.msecsSinceReference());
    m_battito.start();
  }
  qint64 peggiore = 0;
  qint64 battiti = 0;
  qint64 gestorePeggiore = 0;
  int tipoGestore = 0;
  QString oggettoGestore;
  int tipoPeggiore = 0;
  QString oggettoPeggiore;

 private:
  QTimer m_battito;
  QElapsedTimer m_orologio;
  qint64 m_ultimo = 0;
  int m_profondita = 0;
  bool m_annidato = false;
  int m_evento = 0;
  QString m_oggetto;
};

void Giri(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::usleep(500);
  }
}

// A left-button press and release posted to the named button, as a mouse would
// send them. Like a pupil, who clicks on what is already on the screen, the
// script clicks only once the loop is free again (two beats since the last
// step): a click posted while the previous step's window is still being shown
// would be handled in the same turn and charged to the program as one gap.
void Premi(QWidget *finestra, const QString &nome) {
  auto *app = static_cast<Applicazione *>(QCoreApplication::instance());
  for (const qint64 da = app->battiti; app->battiti < da + 2;) Giri(1);
  if (!finestra) {
    std::fprintf(stderr, "no window for button %s\n", qPrintable(nome));
    std::exit(1);
  }
  auto *b = finestra->findChild<QAbstractButton *>(nome);
  if (!b) {
    std::fprintf(stderr, "button %s not found\n", qPrintable(nome));
    std::exit(1);
  }
  const QPointF c = QRectF(b->rect()).center();
  QApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, c, b->mapToGlobal(c), Qt::LeftButton,
                                             Qt::LeftButton, Qt::NoModifier));
  QApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, c, b->mapToGlobal(c), Qt::LeftButton,
                                             Qt::NoButton, Qt::NoModifier));
  Giri(15);
}

// With VORNEL_TRACCIA_MEMORIA set, the resident memory and its high-water mark
// after each step go to standard error, with the windows on screen, to see which
// step raises the peak.
void Traccia(const char *passo) {
  // With VORNEL_FERMA_A set to a step's name, the session ends right after that
  // step without freeing anything, so a heap profiler (heaptrack) lists what
  // was alive there as the allocations never freed.
  static const QByteArray ferma = qgetenv("VORNEL_FERMA_A");
  if (!ferma.isEmpty() && ferma == passo) std::exit(0);
  static const bool attiva = qEnvironmentVariableIsSet("VORNEL_TRACCIA_MEMORIA");
  if (!attiva) return;
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return;
  QByteArray righe;
  for (const QByteArray &riga : f.readAll().split('\n'))
    for (const char *campo : {"VmRSS:", "VmHWM:", "RssAnon:", "RssFile:", "RssShmem:"})
      if (riga.startsWith(campo)) righe += ' ' + riga.simplified();
  const struct mallinfo2 mi = mallinfo2();
  std::fprintf(stderr, "%-28s%s, heap in use %zu kB\n", passo, righe.constData(),
               (mi.uordblks + mi.hblkhd) / 1024);
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w->isVisible())
      std::fprintf(stderr, "    window %s, %dx%d at %d,%d%s\n", qPrintable(w->objectName()), w->width(), w->height(),
                   w->frameGeometry().x(), w->frameGeometry().y(),
                   w->backingStore() && w->backingStore()->size() != w->size() ? ", buffer given back" : "");
  if (!qEnvironmentVariableIsSet("VORNEL_TRACCIA_MAPPE")) return;
  // Resident kB per mapped file (or [heap], [anon], shared memory), largest first.
  QFile m(QStringLiteral("/proc/self/smaps"));
  if (!m.open(QIODevice::ReadOnly)) return;
  QMap<QByteArray, long> perFile;
  QByteArray nome;
  for (const QByteArray &riga : m.readAll().split('\n')) {
    const QList<QByteArray> campi = riga.simplified().split(' ');
    if (campi.size() >= 5 && campi[0].contains('-') && !campi[0].endsWith(':'))
      nome = campi.size() >= 6 ? campi[5] : QByteArray("[anon]");
    else if (riga.startsWith("Rss:") && campi.size() >= 2)
      perFile[nome] += campi[1].toLong();
  }
  QList<QPair<long, QByteArray>> ordine;
  for (auto it = perFile.cbegin(); it != perFile.cend(); ++it)
    if (it.value() >= 200) ordine.append({it.value(), it.key()});
  std::sort(ordine.rbegin(), ordine.rend());
  for (const auto &[kb, file] : ordine) std::fprintf(stderr, "    %6ld kB %s\n", kb, file.constData());
}

}  // namespace

int main(int argc, char *argv[]) {
  Applicazione app(argc, argv);
  ImpostaApplicazione();
  QTemporaryDir lavoro;
  QDir::setCurrent(lavoro.path());
  // The exercise is recorded in a register of the run's own, not the user's.
  qputenv("XDG_DATA_HOME", QFile::encodeName(lavoro.path()));
  Programma p(QStringLiteral("vornel"));
  // With --senza-registro the session runs as with no register module: what
  // the register costs is the difference between the two runs.
  if (argc > 1 && qstrcmp(argv[1], "--senza-registro") == 0) p.finestre.caricaQuadernoAlBisogno(false);
#ifdef VORNEL_SESSIONE_SQLITE
  p.finestre.caricaQuadernoAlBisogno(false);
  SqliteNudo nudo;
  const auto scritta = [&nudo](bool ok) {
    if (!ok) {
      std::fprintf(stderr, "the bare writer failed\n");
      std::exit(1);
    }
  };
#endif
  p.stampante.scegli(kSalvaComePdf);
  int documento = 0;
  p.stampante.impostaSceltaFilePdf([&](const QString &) {
    return QDir(lavoro.path()).filePath(QStringLiteral("documento-%1.pdf").arg(++documento));
  });

  Traccia("start");
  frmInizio *inizio = p.avvia();
  app.avviaBattito();
  QElapsedTimer tempoTendina;  // the curtain starts moving when the window is shown
  tempoTendina.start();
  Tendina copia = inizio->tendina();
  int passi = 0;
  while (copia.passo()) ++passi;
  while (inizio->tendina().inMoto() && tempoTendina.elapsed() < 10000) Giri(1);
  const double tendina = static_cast<double>(tempoTendina.nsecsElapsed()) / 1e6;

  Traccia("start window, curtain done");
  Premi(inizio, QStringLiteral("Option1_0"));
  Premi(inizio, QStringLiteral("Option2_2"));
  Premi(inizio, QStringLiteral("Option3_0"));
  // A new window comes up a few turns of the loop after the press.
  const auto aperta = [](QWidget *w) {
    QElapsedTimer attesa;
    attesa.start();
    while (w && !w->isVisible() && attesa.elapsed() < 5000) Giri(1);
    return w;
  };
  QWidget *esercizio = aperta(p.finestre.esercizio());
#ifdef VORNEL_SESSIONE_SQLITE
  scritta(nudo.apri(QDir(lavoro.path()).filePath(QStringLiteral("registro.sqlite"))));
#endif
  for (int n = 0; n < 20; ++n) {
    for (QChar c : p.stato.operazione.strRisultato) {
      if (c.isDigit())
        Premi(esercizio, QStringLiteral("Option2_%1").arg(c.digitValue()));
      else if (c == u',')
        Premi(esercizio, QStringLiteral("Option2_10"));
    }
    Premi(esercizio, QStringLiteral("Option2_12"));
#ifdef VORNEL_SESSIONE_SQLITE
    scritta(nudo.operazione(n + 1));
#endif
    if (n < 19) Premi(esercizio, QStringLiteral("Option2_13"));
  }
#ifdef VORNEL_SESSIONE_SQLITE
  scritta(nudo.chiudi(p.stato.esercizio.intEsatte));
#endif
  Traccia("twenty operations");
  Premi(esercizio, QStringLiteral("optAvviso_0"));
  QWidget *stampa = aperta(p.finestre.stampaEsercizio());
  Premi(stampa, QStringLiteral("Option1_3"));
  Traccia("end-of-exercise window");
  Giri(500);
  Traccia("certificate drawn");
  Premi(p.finestre.attestato(), QStringLiteral("Option5_0"));
  Traccia("certificate printed");
  Premi(p.finestre.attestato(), QStringLiteral("Option5_1"));

  p.finestre.apriSchede();
  QWidget *schede = aperta(p.finestre.schede());
  Giri(100);
  Premi(schede, QStringLiteral("Option1_0"));
  Premi(schede, QStringLiteral("Option2_0"));
  Premi(schede, QStringLiteral("CmdVisualizzaSchedaDocenti"));
  Traccia("worksheet previewed");
  Premi(schede, QStringLiteral("CmdStampaSchedaDocenti"));
  Traccia("worksheet printed");

  std::fprintf(stderr, "esatte %d of %d, documents %d\n", p.stato.esercizio.intEsatte,
               p.stato.esercizio.intOperazione, documento);
  std::printf("curtain: %d ticks, nominal %d ms, took %.1f ms (%.2f of nominal)\n", passi, passi * 5, tendina,
              tendina / (passi * 5.0));
  std::printf("longest time the event loop was held: %.2f ms (event type %d on '%s')\n", app.peggiore / 1e6,
              app.tipoPeggiore, qPrintable(app.oggettoPeggiore));
  std::printf("longest single handler that let no events through: %.2f ms (event type %d on '%s')\n",
              app.gestorePeggiore / 1e6, app.tipoGestore, qPrintable(app.oggettoGestore));
  p.finestre.chiudiTutto();
  return (p.stato.esercizio.intEsatte == 20 && documento == 2) ? 0 : 1;
}
