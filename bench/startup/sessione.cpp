// A scripted session through the real windows, every press sent through the
// event loop as a user's would be: one whole exercise of twenty operations, the
// certificate printed to PDF, a 30-line teachers' worksheet printed to PDF.
// Reports the curtain's time against its nominal time and the longest time any
// single event took to handle. Peak memory is read by the caller (misura).
#include "ui/programma/programma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

// Measures the longest stretch during which a handler ran without the event
// loop dispatching anything: a handler that lets pending events through (the
// certificate's drawing) is only charged for the stretches between them.
class Applicazione : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject *o, QEvent *e) override {
    segna(o, e);
    ++m_profondita;
    const bool r = QApplication::notify(o, e);
    segna(o, e);
    --m_profondita;
    return r;
  }
  qint64 peggiore = 0;
  int tipoPeggiore = 0;
  QString oggettoPeggiore;

 private:
  void segna(QObject *o, QEvent *e) {
    const qint64 ora = m_orologio.nsecsElapsed();
    if (m_profondita > 0 && ora - m_ultimo > peggiore) {
      peggiore = ora - m_ultimo;
      tipoPeggiore = e->type();
      oggettoPeggiore = o->objectName();
    }
    m_ultimo = ora;
  }
  QElapsedTimer m_orologio = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  qint64 m_ultimo = 0;
  int m_profondita = 0;
};

void Giri(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::usleep(500);
  }
}

// A left-button press and release posted to the named button, as a mouse would send them.
void Premi(QWidget *finestra, const QString &nome) {
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

}  // namespace

int main(int argc, char *argv[]) {
  Applicazione app(argc, argv);
  ImpostaApplicazione();
  QTemporaryDir lavoro;
  QDir::setCurrent(lavoro.path());
  Programma p(QStringLiteral("vornel"));
  p.stampante.scegli(kSalvaComePdf);
  int documento = 0;
  p.stampante.impostaSceltaFilePdf([&](const QString &) {
    return QDir(lavoro.path()).filePath(QStringLiteral("documento-%1.pdf").arg(++documento));
  });

  frmInizio *inizio = p.avvia();
  QElapsedTimer tempoTendina;  // the curtain starts moving when the window is shown
  tempoTendina.start();
  Tendina copia = inizio->tendina();
  int passi = 0;
  while (copia.passo()) ++passi;
  while (inizio->tendina().inMoto() && tempoTendina.elapsed() < 10000) Giri(1);
  const double tendina = static_cast<double>(tempoTendina.nsecsElapsed()) / 1e6;

  Premi(inizio, QStringLiteral("Option1_0"));
  Premi(inizio, QStringLiteral("Option2_2"));
  Premi(inizio, QStringLiteral("Option3_0"));
  QWidget *esercizio = p.finestre.esercizio();
  for (int n = 0; n < 20; ++n) {
    for (QChar c : p.stato.operazione.strRisultato) {
      if (c.isDigit()) Premi(esercizio, QStringLiteral("Option2_%1").arg(c.digitValue()));
      else if (c == u',') Premi(esercizio, QStringLiteral("Option2_10"));
    }
    Premi(esercizio, QStringLiteral("Option2_12"));
    if (n < 19) Premi(esercizio, QStringLiteral("Option2_13"));
  }
  Premi(esercizio, QStringLiteral("optAvviso_0"));
  QWidget *stampa = p.finestre.stampaEsercizio();
  Premi(stampa, QStringLiteral("Option1_3"));
  Giri(500);
  Premi(p.finestre.attestato(), QStringLiteral("Option5_0"));
  Premi(p.finestre.attestato(), QStringLiteral("Option5_1"));

  p.finestre.apriSchede();
  QWidget *schede = p.finestre.schede();
  Giri(100);
  Premi(schede, QStringLiteral("Option1_0"));
  Premi(schede, QStringLiteral("Option2_0"));
  Premi(schede, QStringLiteral("CmdVisualizzaSchedaDocenti"));
  Premi(schede, QStringLiteral("CmdStampaSchedaDocenti"));

  std::fprintf(stderr, "esatte %d of %d, documents %d\n", p.stato.esercizio.intEsatte, p.stato.esercizio.intOperazione,
               documento);
  std::printf("curtain: %d ticks, nominal %d ms, took %.1f ms (%.2f of nominal)\n", passi, passi * 5, tendina,
              tendina / (passi * 5.0));
  std::printf("longest stretch without dispatching an event: %.2f ms (event type %d on '%s')\n", app.peggiore / 1e6, app.tipoPeggiore,
              qPrintable(app.oggettoPeggiore));
  p.finestre.chiudiTutto();
  return (p.stato.esercizio.intEsatte == 20 && documento == 2) ? 0 : 1;
}
