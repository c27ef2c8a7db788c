// Measures how fast the exercise window follows a resize with the type that
// fills the board, against the same with the option off and against a bare
// window of the same sizes: for 100 sizes from the
// design size up to 1920 x 1080, each frame is what a window on screen does for
// a new size: the resize, the layout, and one painting of what the resize left
// to draw into the window's backing store. The application is set up as the
// program sets it up (its style, its allocator's settings). VORNEL_GIRI sets
// how many turns of a pass up and a pass down each window takes (5 unless
// told), for a short run under a profiler. Each is reported against the bare
// window, mean and 95th percentile, beside two floors: a bare window with as
// many plain widgets as the exercise window shows controls, one with as
// many push buttons, and the same with a row of the board's type.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "../navigazionemuta.h"
#include "../riporta.h"
#include "generation/famiglie.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/programma/programma.h"

namespace {

constexpr int kPassi = 100;

// The floor of a window of controls: a bare window holding as many controls
// as the exercise window shows, in a grid that follows the window's size,
// either plain widgets that fill their background or push buttons with a
// digit, drawn by the program's style. What Qt costs to lay out and paint
// that many widgets at each frame is seen beside the exercise window's frames.
// With a row, six of the controls are labels across the window's top third
// holding an operation in bold Arial that grows with the window by half
// points, to the board's size at 1920 x 1080: what Qt costs for type past its
// glyph cache, drawn with the same controls.
class FinestraDiControlli : public QWidget {
 public:
  enum class Tipo { Sfondi, Pulsanti, PulsantiEUnaRiga };
  FinestraDiControlli(qsizetype quanti, Tipo tipo, double puntiRiga = 0) : m_puntiRiga(puntiRiga) {
    if (tipo == Tipo::PulsantiEUnaRiga)
      for (const char *t : {"19 hm", "+", "19 da", "=", "1.270", " u"}) {
        auto *l = new QLabel(QString::fromLatin1(t), this);
        l->setAlignment(Qt::AlignCenter);
        m_riga.append(l);
      }
    for (qsizetype i = m_riga.size(); i < quanti; ++i) {
      QWidget *c = nullptr;
      if (tipo != Tipo::Sfondi) {
        c = new QPushButton(QString::number(i % 10), this);
      } else {
        c = new QWidget(this);
        QPalette p = c->palette();
        p.setColor(QPalette::Window, QColor(200, 220, 255));
        c->setPalette(p);
        c->setAutoFillBackground(true);
      }
      m_controlli.append(c);
    }
  }

 protected:
  void resizeEvent(QResizeEvent *) override {
    const int colonne = 8;
    const int riga = m_riga.isEmpty() ? 0 : height() / 3;
    const int righe = static_cast<int>((m_controlli.size() + colonne - 1) / colonne);
    for (qsizetype i = 0; i < m_controlli.size(); ++i) {
      const int r = static_cast<int>(i / colonne), c = static_cast<int>(i % colonne);
      m_controlli.at(i)->setGeometry(width() * c / colonne + 4, riga + (height() - riga) * r / righe + 4,
                                     width() / colonne - 8, (height() - riga) / righe - 8);
    }
    if (m_riga.isEmpty()) return;
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPointSizeF(std::round(2 * m_puntiRiga * std::min(width() / 1920.0, height() / 1080.0)) / 2);
    for (qsizetype i = 0; i < m_riga.size(); ++i) {
      m_riga.at(i)->setFont(f);
      m_riga.at(i)->setGeometry(static_cast<int>(width() * i / m_riga.size()), 0,
                                static_cast<int>(width() / m_riga.size()), riga);
    }
  }

 private:
  double m_puntiRiga;
  QList<QWidget *> m_controlli;
  QList<QLabel *> m_riga;
};

// Passes up and down, so each size is met coming from both sides.
int Giri() {
  bool ok = false;
  const int n = qEnvironmentVariableIntValue("VORNEL_GIRI", &ok);
  return ok && n > 0 ? n : 5;
}

// Counts the paintings of the window's client area: a frame paints it once.
class ContaDipinti : public QObject {
 public:
  int dipinti = 0;

 protected:
  bool eventFilter(QObject *, QEvent *e) override {
    if (e->type() == QEvent::Paint) ++dipinti;
    return false;
  }
};

// Every pass starts from da, the size the window was shown at: a pass that
// started where the one before ended (the board, after an odd number of
// runs) would only resize the window to the size it already has.
std::vector<double> Misura(QWidget *w, const QSize &da, const ContaDipinti &conta, int giri) {
  const QSize a(1920, 1080);
  w->resize(da);
  QCoreApplication::sendPostedEvents();
  std::vector<double> fotogrammi;
  for (int g = 0; g < giri; ++g) {
    for (int i = 0; i < kPassi; ++i) {
      const int j = g % 2 == 0 ? i : kPassi - 1 - i;
      const double f = j / double(kPassi - 1);
      const QSize s(da.width() + static_cast<int>(f * (a.width() - da.width())),
                    da.height() + static_cast<int>(f * (a.height() - da.height())));
      if (s == w->size()) continue;  // the first frame of a pass: nothing to do
      const int prima = conta.dipinti;
      const auto t0 = Tempo::now();
      w->resize(s);
      // The resize and layout requests, then the update request: the window
      // paints what the resize left to draw into its backing store and flushes
      // it. Where the platform has not shown the window yet, the painting is
      // asked for at once, so a frame always paints once and only once (a
      // QWidget::grab() after the update request would paint it a second time).
      QCoreApplication::sendPostedEvents();
      if (conta.dipinti == prima) w->repaint();
      fotogrammi.push_back(Microsecondi(t0, Tempo::now()));
      if (w->size() != s) {
        std::fprintf(stderr, "the window is %dx%d, not %dx%d\n", w->width(), w->height(), s.width(),
                     s.height());
        std::exit(1);
      }
      if (conta.dipinti != prima + 1) {
        std::fprintf(stderr, "a frame painted the window %d times\n", conta.dipinti - prima);
        std::exit(1);
      }
    }
  }
  return fotogrammi;
}

double Media(const std::vector<double> &v) {
  return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double Percentile(std::vector<double> v, double q) {
  const auto k = static_cast<std::ptrdiff_t>(q * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + k, v.end());
  return v[static_cast<size_t>(k)];
}

void Scrivi(const char *cosa, const std::vector<double> &v, const std::vector<double> &nudo) {
  Riporta(cosa, v);
  std::printf("%-48s mean %8.2f ms  p95 %8.2f ms  worst %8.2f ms\n", cosa, Media(v) / 1000.0,
              Percentile(v, 0.95) / 1000.0, *std::max_element(v.begin(), v.end()) / 1000.0);
  if (&v != &nudo)
    std::printf("%-48s mean %.2f  p95 %.2f  (goal within 1.10)\n", "  against the bare window", Media(v) / Media(nudo),
                Percentile(v, 0.95) / Percentile(nudo, 0.95));
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ImpostaApplicazione();
  const int giri = Giri();
  Stato stato;
  ApplicaFamiglia(stato.famiglia, 6);
  stato.impostazioni.intCosaCalcolare = 1;
  OrologioSistema orologio;
  CasualeSistema casuale(12345);
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};

  // The floor: a bare window of the same sizes, painting only its background,
  // so that what the window system and Qt's backing store cost a frame of
  // this size on this machine is seen beside the exercise window's frames.
  // The three windows take turns, a pass up and down each, so that whatever
  // else the machine does meanwhile falls on all three alike; only one is on
  // screen at a time.
  QWidget nudo;
  nudo.setAutoFillBackground(true);
  nudo.resize(FrmOperativo(ctx).size());
  struct Prova {
    const char *nome;
    QWidget *finestra;
    QWidget *dipinta;
    bool grandi;
    std::vector<double> fotogrammi;
  };
  std::vector<Prova> prove;
  prove.push_back({"resize frame, a bare window (the floor)", &nudo, &nudo, false, {}});
  for (bool grandi : {false, true}) {
    stato.opzioni.macchina.caratteriGrandi = grandi;
    auto *w = new FrmOperativo(ctx);
    prove.push_back({grandi ? "resize frame, type that fills the board" : "resize frame, option off", w, w->client(),
                     grandi, {}});
  }
  const QList<QWidget *> figli = prove.at(1).finestra->findChildren<QWidget *>();
  const qsizetype inVista = std::count_if(figli.begin(), figli.end(), [&](const QWidget *c) {
    return c->isVisibleTo(prove.at(1).finestra);
  });
  std::printf("the exercise window shows %lld controls\n", static_cast<long long>(inVista));
  // The board's type at 1920 x 1080, for the floor with a row.
  double puntiLavagna = 0;
  {
    QWidget *w = prove.back().finestra;
    const QSize progetto = w->size();
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return 1;
    w->resize(1920, 1080);
    QCoreApplication::sendPostedEvents();
    puntiLavagna = w->findChild<QWidget *>(QStringLiteral("Label4"))->font().pointSizeF();
    w->resize(progetto);
    w->hide();
    QCoreApplication::processEvents();
  }
  using Tipo = FinestraDiControlli::Tipo;
  FinestraDiControlli riempiti(inVista, Tipo::Sfondi), pulsanti(inVista, Tipo::Pulsanti),
      conRiga(inVista, Tipo::PulsantiEUnaRiga, puntiLavagna);
  for (QWidget *w : {&riempiti, &pulsanti, &conRiga}) w->resize(nudo.size());
  prove.insert(prove.begin() + 1, {"  as many plain widgets filling their background", &riempiti, &riempiti, false, {}});
  prove.insert(prove.begin() + 2, {"  as many push buttons", &pulsanti, &pulsanti, false, {}});
  prove.insert(prove.begin() + 3, {"  the same, six of them a row of the board's type", &conRiga, &conRiga, false, {}});
  // The first turn only warms the font and glyph caches.
  for (int giro = 0; giro <= giri; ++giro) {
    for (Prova &p : prove) {
      ContaDipinti conta;
      p.dipinta->installEventFilter(&conta);
      p.finestra->show();
      if (!QTest::qWaitForWindowExposed(p.finestra)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
      }
      QCoreApplication::processEvents();
      const QSize progetto = p.finestra->size();
      std::vector<double> f = Misura(p.finestra, progetto, conta, 2);
      if (giro > 0) p.fotogrammi.insert(p.fotogrammi.end(), f.begin(), f.end());
      p.finestra->resize(progetto);
      p.finestra->hide();
      p.dipinta->removeEventFilter(&conta);
      QCoreApplication::processEvents();
    }
  }
  for (const Prova &p : prove) {
    Scrivi(p.nome, p.fotogrammi, prove.front().fotogrammi);
    if (p.finestra == &nudo || p.finestra == &riempiti || p.finestra == &pulsanti || p.finestra == &conRiga) continue;
    p.finestra->show();
    if (!QTest::qWaitForWindowExposed(p.finestra)) return 1;
    p.finestra->resize(1920, 1080);
    QCoreApplication::sendPostedEvents();
    const auto *operazione = p.finestra->findChild<QWidget *>(QStringLiteral("Label4"));
    std::printf("%-48s %.1f pt at %dx%d\n", "  the operation's type", operazione->font().pointSizeF(),
                p.finestra->width(), p.finestra->height());
    delete p.finestra;
  }
  return 0;
}
