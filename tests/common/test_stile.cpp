#include "support/doppi.h"
#include "ui/common/aspetto.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/stile.h"

#include <QBackingStore>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QColor kFaccia{255, 224, 192};
const QColor kTesto{0, 0, 192};

QPalette Tavolozza() {
  QPalette p = QApplication::palette();
  p.setColor(QPalette::Button, kFaccia);
  p.setColor(QPalette::ButtonText, kTesto);
  return p;
}

// A push button of the given state and size drawn by the program's style alone.
QImage Disegna(QStyle::State stato, QSize dimensione) {
  StileVornel stile;
  QStyleOptionButton o;
  o.rect = QRect(QPoint(), dimensione);
  o.palette = Tavolozza();
  o.state = QStyle::State_Enabled | stato;
  QImage img(dimensione, QImage::Format_RGB32);
  img.fill(Qt::green);
  QPainter p(&img);
  stile.drawControl(QStyle::CE_PushButtonBevel, &o, &p);
  return img;
}

int Luce(QRgb c) { return qGray(c); }

}  // namespace

class TestStile : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldDrawAFlatFaceWithASquareEdge_data();
  void shouldDrawAFlatFaceWithASquareEdge();
  void shouldDrawTheFocusAsADottedRectangleInTheTextColour();
  void shouldGiveARealButtonItsOwnColourWhenTheProgramSetsIt();
  void shouldShowWhichPlainButtonHasTheKeyboardFocus();
  void shouldReadyAHiddenWindowsBufferAndLeaveAShownOnesAlone();
};

void TestStile::shouldDrawAFlatFaceWithASquareEdge_data() {
  QTest::addColumn<int>("stato");
  QTest::addColumn<QSize>("dimensione");
  QTest::addColumn<bool>("incavato");
  QTest::newRow("raised, keypad key") << int(QStyle::State_Raised) << QSize(60, 45) << false;
  QTest::newRow("raised, long command") << int(QStyle::State_Raised) << QSize(334, 42) << false;
  QTest::newRow("pressed") << int(QStyle::State_Sunken) << QSize(60, 45) << true;
  QTest::newRow("on") << int(QStyle::State_On) << QSize(186, 37) << true;
  QTest::newRow("tiny") << int(QStyle::State_Raised) << QSize(6, 6) << false;
}

void TestStile::shouldDrawAFlatFaceWithASquareEdge() {
  QFETCH(int, stato);
  QFETCH(QSize, dimensione);
  QFETCH(bool, incavato);
  const QImage img = Disegna(QStyle::State(stato), dimensione);
  const int w = dimensione.width(), h = dimensione.height();
  // Every pixel inside the two-pixel edge is the face colour itself: no shading, no rounding.
  for (int y = 2; y < h - 2; ++y)
    for (int x = 2; x < w - 2; ++x)
      QCOMPARE(QColor(img.pixel(x, y)), kFaccia);
  // The corners are painted too (a rounded face would leave the background there).
  for (const QPoint c : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
    QVERIFY2(QColor(img.pixel(c)) != QColor(Qt::green), qPrintable(u"corner %1,%2"_s.arg(c.x()).arg(c.y())));
  // Raised: light above and to the left, dark below and to the right; pressed: the other way round.
  const int sopra = Luce(img.pixel(w / 2, 0)), sotto = Luce(img.pixel(w / 2, h - 1));
  const int sinistra = Luce(img.pixel(0, h / 2)), destra = Luce(img.pixel(w - 1, h / 2));
  if (incavato) {
    QVERIFY2(sopra < sotto && sinistra < destra, qPrintable(u"%1 %2 %3 %4"_s.arg(sopra).arg(sotto).arg(sinistra).arg(destra)));
  } else {
    QVERIFY2(sopra > sotto && sinistra > destra, qPrintable(u"%1 %2 %3 %4"_s.arg(sopra).arg(sotto).arg(sinistra).arg(destra)));
  }
}

void TestStile::shouldDrawTheFocusAsADottedRectangleInTheTextColour() {
  StileVornel stile;
  QStyleOptionFocusRect o;
  o.rect = QRect(10, 10, 80, 20);
  o.palette = Tavolozza();
  o.state = QStyle::State_Enabled | QStyle::State_HasFocus;
  QImage img(100, 40, QImage::Format_RGB32);
  img.fill(kFaccia);
  {
    QPainter p(&img);
    stile.drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p);
  }
  int inchiostro = 0, vuoti = 0;
  for (int x = 10; x < 90; ++x) {
    const QColor c = img.pixel(x, 10);
    if (c == kTesto) ++inchiostro;
    else if (c == kFaccia) ++vuoti;
    else QFAIL(qPrintable(u"blended pixel at %1: %2"_s.arg(x).arg(c.name())));
  }
  // Dotted: both ink and gaps along the top, and the left side drawn too.
  QVERIFY2(inchiostro > 20 && vuoti > 20, qPrintable(u"%1 ink, %2 gaps"_s.arg(inchiostro).arg(vuoti)));
  QVERIFY(QColor(img.pixel(10, 10)) == kTesto || QColor(img.pixel(10, 11)) == kTesto);
  // Nothing outside the rectangle.
  QCOMPARE(QColor(img.pixel(9, 9)), kFaccia);
  QCOMPARE(QColor(img.pixel(90, 30)), kFaccia);
}

void TestStile::shouldGiveARealButtonItsOwnColourWhenTheProgramSetsIt() {
  StileVornel stile;  // a widget does not own the style it is given
  QWidget finestra;
  finestra.setStyle(&stile);
  finestra.resize(300, 100);
  auto *b = new PulsanteOpzione(u"STAMPA"_s, &finestra);
  b->setStyle(&stile);
  b->setGeometry(10, 10, 200, 60);
  aspetto::colora(b, QColor(255, 255, 192), kTesto);
  const QImage img = b->grab().toImage();
  QCOMPARE(QColor(img.pixel(8, 8)), QColor(255, 255, 192));
  QCOMPARE(QColor(img.pixel(img.width() - 8, img.height() - 8)), QColor(255, 255, 192));
  // The caption is drawn over the face in the text colour.
  int testo = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (QColor(img.pixel(x, y)) == kTesto) ++testo;
  QVERIFY(testo > 20);
}

void TestStile::shouldShowWhichPlainButtonHasTheKeyboardFocus() {
  StileVornel stile;
  QWidget finestra;
  finestra.setStyle(&stile);
  finestra.resize(300, 120);
  QPushButton *pulsanti[2];
  for (int i = 0; i < 2; ++i) {
    pulsanti[i] = new QPushButton(i == 0 ? u"AVANTI"_s : u"C H I U D I"_s, &finestra);
    pulsanti[i]->setStyle(&stile);
    pulsanti[i]->setGeometry(10, 10 + 55 * i, 200, 45);
    aspetto::colora(pulsanti[i], kFaccia, kTesto);
  }
  QVERIFY(Attiva(&finestra));
  pulsanti[1]->setFocus(Qt::TabFocusReason);
  QTRY_VERIFY(pulsanti[1]->hasFocus());
  // Ink in the text colour on a row between the edge and the caption: the dotted rectangle.
  const auto inchiostro = [](QPushButton *b) {
    const QImage img = b->grab().toImage();
    int n = 0;
    for (int y = 2; y < 8; ++y)
      for (int x = 2; x < img.width() - 2; ++x)
        if (QColor(img.pixel(x, y)) == kTesto) ++n;
    return n;
  };
  QVERIFY2(inchiostro(pulsanti[1]) > 20, "the focused button shows no focus rectangle");
  QCOMPARE(inchiostro(pulsanti[0]), 0);
  pulsanti[0]->setFocus(Qt::TabFocusReason);
  QTRY_VERIFY(pulsanti[0]->hasFocus());
  QVERIFY(inchiostro(pulsanti[0]) > 20);
  QCOMPARE(inchiostro(pulsanti[1]), 0);
}

namespace {

class Blu : public QWidget {
 protected:
  void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Qt::blue); }
};

// The colour at the middle of a window's screen buffer, where the buffer is an image.
QColor MezzoDelBuffer(QWidget &w) {
  QPaintDevice *d = w.backingStore() ? w.backingStore()->paintDevice() : nullptr;
  if (!d || d->devType() != QInternal::Image) return {};
  const auto *img = static_cast<QImage *>(d);
  return img->pixelColor(img->width() / 2, img->height() / 2);
}

}  // namespace

void TestStile::shouldReadyAHiddenWindowsBufferAndLeaveAShownOnesAlone() {
  Blu w;
  w.resize(120, 80);
  aspetto::colora(&w, kFaccia);
  aspetto::preparaBuffer(&w);
  QVERIFY(!w.isVisible());
  QVERIFY(w.backingStore());
  QCOMPARE(w.backingStore()->size(), QSize(120, 80));
  const QColor pronto = MezzoDelBuffer(w);
  if (!pronto.isValid()) QSKIP("this platform's window buffer is not an image");
  QCOMPARE(pronto, kFaccia);

  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  QTRY_COMPARE(MezzoDelBuffer(w), QColor(Qt::blue));
  aspetto::preparaBuffer(&w);  // shown: what is on screen stays
  QCOMPARE(MezzoDelBuffer(w), QColor(Qt::blue));
}

QTEST_MAIN(TestStile)
#include "test_stile.moc"
