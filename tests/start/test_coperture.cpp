// Windows wholly covered by the program's own windows give their buffers back
// and are drawn again when uncovered. Runs on a real X server (Xvfb), where
// windows have buffers of their own and the server shows only what they hand
// over: what is on the screen is read back from the server.
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "ui/programma/coperture.h"
#include "ui/programma/finestre.h"

#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Programma = ProgrammaDiProva;

// What the X server shows of the window, against what the window draws.
bool ComeSulloSchermo(QWidget *w, const QRect &parte) {
  const QImage schermo = w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage proprio = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  return schermo.copy(parte) == proprio.copy(parte);
}

// A bare window in one colour that counts its paintings.
class Tinta : public QWidget {
 public:
  Tinta(const QColor &colore, const QRect &dove, QWidget *aperta = nullptr)
      : QWidget(aperta, aperta ? Qt::Window : Qt::WindowFlags()), m_colore(colore) {
    setGeometry(dove);
    setAttribute(Qt::WA_ShowWithoutActivating);
  }
  void imposta(const QColor &c) {
    m_colore = c;
    update();
  }
  int dipinture = 0;

 protected:
  void paintEvent(QPaintEvent *) override {
    ++dipinture;
    QPainter(this).fillRect(rect(), m_colore);
  }

 private:
  QColor m_colore;
};

// Stands for a compositing window manager, which keeps every window's last
// picture and sends no exposure when a window is uncovered.
class SenzaEsposizioni : public QObject {
 protected:
  bool eventFilter(QObject *, QEvent *e) override { return e->type() == QEvent::Expose; }
};

// A red window wholly covered by a larger blue one (opened from it, or not),
// both followed, neither taking the focus; the red one has given its buffer back.
struct Coppia {
  Coperture coperture;
  Tinta sotto{Qt::red, QRect(0, 0, 300, 200)};
  Tinta sopra;
  explicit Coppia(bool apertaDaSotto = false)
      : sopra(Qt::blue, QRect(0, 0, 400, 300), apertaDaSotto ? &sotto : nullptr) {}
  bool mostra() {
    coperture.sopra(&sotto);
    sotto.show();
    // Painted, and every exposure of its mapping handled, before it is covered:
    // on a busy machine the server's exposures come in over a while.
    if (!QTest::qWaitForWindowExposed(&sotto) || !QTest::qWaitFor([this] { return sotto.dipinture > 0; }, 5000))
      return false;
    QTest::qWait(100);
    coperture.sopra(&sopra);
    sopra.show();
    return QTest::qWaitForWindowExposed(&sopra) &&
           QTest::qWaitFor([this] { return Coperture::restituito(&sotto); }, 5000);
  }
};

}  // namespace

class TestCoperture : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() {
    if (!Coperture::attive()) QFAIL("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
  }
  void init() { m_p = std::make_unique<Programma>(); }
  void cleanup() { m_p.reset(); }

  void shouldGiveBackTheBufferOfTheStartWindowUnderTheExercise();
  void shouldShowTheStartWindowWholeWhenTheExerciseCloses();
  void shouldShowWhatChangedWhileCovered();
  void shouldDrawTheUncoveredPartWhenTheWindowAboveMoves();
  void shouldKeepTheBufferOfAWindowPartlyInView();
  void shouldDrawAnUntouchedWindowAgainWhenTheServerShowsIt();
  void shouldDrawWhatWasPutOffWhenUncoveredWithNoExposure();
  void shouldDrawAWindowTheUserActivatesWhateverIsAboveIt();

 private:
  frmInizio *inizio() const { return m_p->finestre.inizio(); }
  // Start window, then the exercise over it, both painted and still.
  FrmOperativo *apriEsercizio() {
    frmInizio *w = m_p->finestre.avvia(m_p->ctx);
    if (!QTest::qWaitForWindowActive(w) || !QTest::qWaitFor([w] { return !w->tendina().inMoto(); }, 5000))
      return nullptr;
    for (const char *nome : {"Option1_0", "Option2_0", "Option3_0"})
      QTest::mousePress(w->findChild<QPushButton *>(QString::fromLatin1(nome)), Qt::LeftButton);
    FrmOperativo *es = m_p->finestre.esercizio();
    // It is shown a few turns of the loop after the press.
    if (!es || !QTest::qWaitFor([es] { return es->isVisible(); }, 5000) || !QTest::qWaitForWindowExposed(es))
      return nullptr;
    QTest::qWait(100);
    return es;
  }
  std::unique_ptr<Programma> m_p;
};

void TestCoperture::shouldGiveBackTheBufferOfTheStartWindowUnderTheExercise() {
  FrmOperativo *es = apriEsercizio();
  QVERIFY(es);
  // With no window manager both windows stand at the screen's corner.
  QVERIFY(es->frameGeometry().contains(inizio()->frameGeometry()));
  QTRY_VERIFY(Coperture::restituito(inizio()));
  QVERIFY(!Coperture::restituito(es));
  QCOMPARE(es->backingStore()->size(), es->size());
  // The start window's loss of the focus asks for a drawing: it is put off.
  QTest::qWait(200);
  QVERIFY(Coperture::restituito(inizio()));
}

void TestCoperture::shouldShowTheStartWindowWholeWhenTheExerciseCloses() {
  FrmOperativo *es = apriEsercizio();
  QVERIFY(es);
  QTRY_VERIFY(Coperture::restituito(inizio()));
  es->close();
  QTRY_VERIFY(!Coperture::restituito(inizio()));
  QCOMPARE(inizio()->backingStore()->size(), inizio()->size());
  QTRY_VERIFY(ComeSulloSchermo(inizio(), inizio()->rect()));
}

void TestCoperture::shouldShowWhatChangedWhileCovered() {
  FrmOperativo *es = apriEsercizio();
  QVERIFY(es);
  QTRY_VERIFY(Coperture::restituito(inizio()));
  auto *etichetta = inizio()->findChild<QLabel *>(u"Label1"_s);
  QVERIFY(etichetta);
  etichetta->setText(u"Trova il simbolo"_s);
  QTest::qWait(100);
  QVERIFY(Coperture::restituito(inizio()));  // nothing of it is on view
  es->close();
  QTRY_VERIFY(ComeSulloSchermo(inizio(), inizio()->rect()));
  QCOMPARE(etichetta->text(), u"Trova il simbolo"_s);
}

void TestCoperture::shouldDrawTheUncoveredPartWhenTheWindowAboveMoves() {
  FrmOperativo *es = apriEsercizio();
  QVERIFY(es);
  QTRY_VERIFY(Coperture::restituito(inizio()));
  es->move(300, 250);
  QTRY_VERIFY(!Coperture::restituito(inizio()));
  // The band along the top and the strip down the left are no longer covered.
  QTRY_VERIFY(ComeSulloSchermo(inizio(), QRect(0, 0, inizio()->width(), 240)));
  QVERIFY(ComeSulloSchermo(inizio(), QRect(0, 0, 290, inizio()->height())));
}

void TestCoperture::shouldKeepTheBufferOfAWindowPartlyInView() {
  FrmOperativo *es = apriEsercizio();
  QVERIFY(es);
  m_p->finestre.apriStampaEsercizio();
  QWidget *fine = m_p->finestre.stampaEsercizio();
  QVERIFY(fine && QTest::qWaitFor([fine] { return fine->isVisible(); }, 5000));
  QVERIFY(QTest::qWaitForWindowExposed(fine));
  QTest::qWait(100);
  // The end-of-exercise window is smaller than the exercise window beneath it.
  QVERIFY(!fine->frameGeometry().contains(es->frameGeometry()));
  QVERIFY(!Coperture::restituito(es));
  QVERIFY(Coperture::restituito(inizio()));
  QVERIFY(ComeSulloSchermo(es, QRect(fine->width(), 0, es->width() - fine->width(), es->height())));
}

// Nothing in the window below changed while it was covered, and the window
// above was shown without taking the focus: nothing is pending in it when the
// server shows it again, from a buffer it gave back.
void TestCoperture::shouldDrawAnUntouchedWindowAgainWhenTheServerShowsIt() {
  Coppia c;
  QVERIFY(c.mostra());
  Tinta &sotto = c.sotto, &sopra = c.sopra;
  const int prima = sotto.dipinture;
  sopra.hide();
  QTRY_VERIFY(ComeSulloSchermo(&sotto, sotto.rect()));
  QVERIFY(sotto.dipinture > prima);
  QCOMPARE(sotto.backingStore()->size(), sotto.size());
}

void TestCoperture::shouldDrawWhatWasPutOffWhenUncoveredWithNoExposure() {
  Coppia c;
  QVERIFY(c.mostra());
  Tinta &sotto = c.sotto, &sopra = c.sopra;
  SenzaEsposizioni compositore;
  sotto.windowHandle()->installEventFilter(&compositore);
  const int prima = sotto.dipinture;
  sotto.imposta(Qt::green);
  QTest::qWait(100);
  QCOMPARE(sotto.dipinture, prima);  // covered: put off
  sopra.move(350, 0);
  QTRY_VERIFY(sotto.dipinture > prima);
  QVERIFY(!Coperture::restituito(&sotto));
  QTRY_VERIFY(ComeSulloSchermo(&sotto, sotto.rect()));
}

// The window manager may keep showing a window the program judges covered
// (a compositor has its last picture): once the user works in it, it is drawn,
// even while the window opened from it is taken to stay above it.
void TestCoperture::shouldDrawAWindowTheUserActivatesWhateverIsAboveIt() {
  Coppia c(true);
  QVERIFY(c.mostra());
  Tinta &sotto = c.sotto;
  SenzaEsposizioni compositore;
  sotto.windowHandle()->installEventFilter(&compositore);
  const int prima = sotto.dipinture;
  sotto.imposta(Qt::green);
  QTest::qWait(100);
  QCOMPARE(sotto.dipinture, prima);
  sotto.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&sotto));
  QTRY_VERIFY(sotto.dipinture > prima);
  QVERIFY(!Coperture::restituito(&sotto));
}

QTEST_MAIN(TestCoperture)
#include "test_coperture.moc"
