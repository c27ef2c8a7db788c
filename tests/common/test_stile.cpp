#include <qdrawutil.h>

#include <QBackingStore>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>

#include "support/doppi.h"
#include "ui/common/aspetto.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/stile.h"

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

int Luce(QRgb c) {
  return qGray(c);
}

}  // namespace

class TestStile : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldDrawAFlatFaceWithASquareEdge_data();
  void shouldDrawAFlatFaceWithASquareEdge();
  void shouldDrawTheVeryPixelsOfAWindowsButton_data();
  void shouldDrawTheVeryPixelsOfAWindowsButton();
  void shouldFrameAStyledPanelAsFusionDoes_data();
  void shouldFrameAStyledPanelAsFusionDoes();
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
    for (int x = 2; x < w - 2; ++x) QCOMPARE(QColor(img.pixel(x, y)), kFaccia);
  // The corners are painted too (a rounded face would leave the background there).
  for (const QPoint c : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
    QVERIFY2(QColor(img.pixel(c)) != QColor(Qt::green), qPrintable(u"corner %1,%2"_s.arg(c.x()).arg(c.y())));
  // Raised: light above and to the left, dark below and to the right; pressed: the other way round.
  const int sopra = Luce(img.pixel(w / 2, 0)), sotto = Luce(img.pixel(w / 2, h - 1));
  const int sinistra = Luce(img.pixel(0, h / 2)), destra = Luce(img.pixel(w - 1, h / 2));
  if (incavato) {
    QVERIFY2(sopra < sotto && sinistra < destra,
             qPrintable(u"%1 %2 %3 %4"_s.arg(sopra).arg(sotto).arg(sinistra).arg(destra)));
  } else {
    QVERIFY2(sopra > sotto && sinistra > destra,
             qPrintable(u"%1 %2 %3 %4"_s.arg(sopra).arg(sotto).arg(sinistra).arg(destra)));
  }
}

// The face and edges the style lays with filled rectangles are those
// qDrawWinButton strokes, pixel for pixel, whatever the size, state, colours,
// place in the painted area and painter offset.
void TestStile::shouldDrawTheVeryPixelsOfAWindowsButton_data() {
  QTest::addColumn<QRect>("dove");
  QTest::addColumn<bool>("giu");
  QTest::addColumn<QColor>("faccia");
  QTest::addColumn<QPoint>("spostamento");
  const QColor giallo(255, 255, 192);
  QTest::newRow("keypad key") << QRect(3, 2, 60, 45) << false << kFaccia << QPoint();
  QTest::newRow("keypad key pressed") << QRect(3, 2, 60, 45) << true << kFaccia << QPoint();
  QTest::newRow("yellow key on a board") << QRect(1, 4, 301, 177) << false << giallo << QPoint();
  QTest::newRow("pressed, painter moved") << QRect(0, 0, 40, 30) << true << giallo << QPoint(7, 5);
  QTest::newRow("five by five") << QRect(2, 2, 5, 5) << false << kFaccia << QPoint();
  QTest::newRow("four by four, no inner edge") << QRect(2, 2, 4, 4) << true << kFaccia << QPoint();
  QTest::newRow("three by nine") << QRect(2, 2, 3, 9) << false << kFaccia << QPoint();
  QTest::newRow("two by nine") << QRect(2, 2, 2, 9) << true << kFaccia << QPoint();
  QTest::newRow("nine by two") << QRect(2, 2, 9, 2) << false << kFaccia << QPoint();
  QTest::newRow("two by two") << QRect(2, 2, 2, 2) << false << kFaccia << QPoint();
  QTest::newRow("one pixel high") << QRect(2, 2, 30, 1) << false << kFaccia << QPoint();
  QTest::newRow("half out of the picture") << QRect(-20, 30, 60, 45) << false << kFaccia << QPoint();
}

void TestStile::shouldDrawTheVeryPixelsOfAWindowsButton() {
  QFETCH(QRect, dove);
  QFETCH(bool, giu);
  QFETCH(QColor, faccia);
  QFETCH(QPoint, spostamento);
  StileVornel stile;
  QStyleOptionButton o;
  o.rect = dove;
  o.palette = Tavolozza();
  o.palette.setColor(QPalette::Button, faccia);
  o.state = QStyle::State_Enabled | (giu ? QStyle::State_Sunken : QStyle::State_Raised);
  QImage nostra(320, 200, QImage::Format_ARGB32_Premultiplied);
  nostra.fill(Qt::green);
  QImage diQt = nostra;
  {
    QPainter p(&nostra);
    p.translate(spostamento);
    stile.drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p);
  }
  {
    QPainter p(&diQt);
    p.translate(spostamento);
    const QBrush pennello = o.palette.brush(QPalette::Button);
    qDrawWinButton(&p, dove, o.palette, giu, &pennello);
  }
  for (int y = 0; y < nostra.height(); ++y)
    for (int x = 0; x < nostra.width(); ++x)
      if (nostra.pixel(x, y) != diQt.pixel(x, y))
        QFAIL(qPrintable(u"pixel %1,%2: %3, qDrawWinButton %4"_s.arg(x).arg(y).arg(
            QColor(nostra.pixel(x, y)).name(), QColor(diQt.pixel(x, y)).name())));
}

// The frame of a styled panel (the exercise's frames) is Fusion's, pixel for pixel.
void TestStile::shouldFrameAStyledPanelAsFusionDoes_data() {
  QTest::addColumn<QRect>("dove");
  QTest::addColumn<QColor>("fondo");
  QTest::addColumn<QPoint>("spostamento");
  QTest::newRow("operation's frame") << QRect(10, 8, 280, 92) << kFaccia << QPoint();
  QTest::newRow("yellow, painter moved") << QRect(0, 0, 200, 60) << QColor(255, 255, 192) << QPoint(9, 4);
  QTest::newRow("three by three") << QRect(4, 4, 3, 3) << kFaccia << QPoint();
  QTest::newRow("two by forty") << QRect(4, 4, 2, 40) << kFaccia << QPoint();
  QTest::newRow("half out of the picture") << QRect(250, -30, 200, 100) << QColor(Qt::white) << QPoint();
}

void TestStile::shouldFrameAStyledPanelAsFusionDoes() {
  QFETCH(QRect, dove);
  QFETCH(QColor, fondo);
  QFETCH(QPoint, spostamento);
  StileVornel stile;
  QStyleOptionFrame o;
  o.rect = dove;
  o.palette = Tavolozza();
  o.palette.setColor(QPalette::Window, fondo);
  o.state = QStyle::State_Enabled | QStyle::State_Raised;
  o.frameShape = QFrame::StyledPanel;
  o.lineWidth = 1;
  QImage nostra(320, 200, QImage::Format_ARGB32_Premultiplied);
  nostra.fill(Qt::green);
  QImage fusion = nostra;
  const QImage vuota = nostra;
  {
    QPainter p(&nostra);
    p.translate(spostamento);
    stile.drawPrimitive(QStyle::PE_Frame, &o, &p);
  }
  {
    QPainter p(&fusion);
    p.translate(spostamento);
    stile.baseStyle()->drawPrimitive(QStyle::PE_Frame, &o, &p);
  }
  QVERIFY(fusion != vuota);  // Fusion drew a frame there
  for (int y = 0; y < nostra.height(); ++y)
    for (int x = 0; x < nostra.width(); ++x)
      if (nostra.pixel(x, y) != fusion.pixel(x, y))
        QFAIL(qPrintable(u"pixel %1,%2: %3, Fusion %4"_s.arg(x).arg(y).arg(
            QColor(nostra.pixel(x, y)).name(), QColor(fusion.pixel(x, y)).name())));
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
    if (c == kTesto)
      ++inchiostro;
    else if (c == kFaccia)
      ++vuoti;
    else
      QFAIL(qPrintable(u"blended pixel at %1: %2"_s.arg(x).arg(c.name())));
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
