#include <QImage>
#include <QTest>

#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "ui/common/vistatabellaunita.h"

using namespace Qt::StringLiterals;

namespace {

// 19 km + 19 hm asked in km: the widest table, with a comma (20,9 km).
TabellaUnita Larga() {
  Operazione op;
  op.intCaso = 1;
  op.lngValore1 = 19;
  op.lngValore2 = 19;
  op.strAddendo1 = u"19  km"_s;
  op.strAddendo2 = u"19  hm"_s;
  op.intUnitaRichiesta = 1;
  op.strSimboloRichiesto = u"  km"_s;
  return TabellaOperazione(op, *TabellaFamiglia(6));
}

// How many pixels of a colour close to c a picture holds.
int Pixel(const QImage &img, const QColor &c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor p = img.pixelColor(x, y);
      if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 30)
        ++n;
    }
  return n;
}

}  // namespace

class TestVistaTabellaUnita : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldDrawEveryDigitInsideItsCell();
  void shouldNeverDrawDigitsBelowTheSmallestSize();
  void shouldDrawAnEmptyTableWithItsHeaders();
};

void TestVistaTabellaUnita::shouldDrawEveryDigitInsideItsCell() {
  VistaTabellaUnita v;
  v.resize(400, 296);
  v.imposta(Larga());
  QCOMPARE(v.testoCella(0, 0), u"1"_s);
  QCOMPARE(v.testoCella(1, 1), u"1,"_s);  // the comma after the kilometres
  QCOMPARE(v.testoCella(2, 1), u"0,"_s);
  QCOMPARE(v.testoCella(2, 4), QString());
  QCOMPARE(v.testoCella(3, 0), QString());
  QCOMPARE(v.testoCella(-1, 0), QString());
  QCOMPARE(v.accessibleDescription().split(u'\n'), TestoTabella(Larga()));
  // Cells side by side, rows one under another, all inside the widget.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) {
      const QRect cella = v.rettangoloCella(r, c);
      QVERIFY(v.rect().contains(cella));
      if (c > 0) QCOMPARE(cella.left(), v.rettangoloCella(r, c - 1).right() + 1);
      if (r > 0) QCOMPARE(cella.top(), v.rettangoloCella(r - 1, c).bottom() + 1);
    }
  // A digit of the drawn size fits its cell.
  QFont f(u"Arial"_s);
  f.setPointSizeF(v.puntiCifre());
  f.setBold(true);
  const QFontMetrics fm(f);
  QVERIFY(fm.height() <= v.rettangoloCella(0, 0).height());
  QVERIFY(fm.horizontalAdvance(u"0,"_s) <= v.rettangoloCella(0, 0).width());
  // The frame of the asked column and the comma are drawn in red.
  const QImage img = v.grab().toImage();
  QVERIFY(Pixel(img, QColor(192, 0, 0)) > 200);
}

void TestVistaTabellaUnita::shouldNeverDrawDigitsBelowTheSmallestSize() {
  VistaTabellaUnita v;
  v.impostaPuntiMinimi(24);
  v.imposta(Larga());
  v.resize(200, 100);
  QVERIFY(v.puntiCifre() >= 24 - 0.5);
  v.resize(1200, 900);
  const qreal grande = v.puntiCifre();
  QVERIFY(grande > 30);
  v.resize(400, 296);
  QVERIFY(v.puntiCifre() < grande);
  QVERIFY(v.puntiCifre() >= 24 - 0.5);
}

void TestVistaTabellaUnita::shouldDrawAnEmptyTableWithItsHeaders() {
  VistaTabellaUnita v;
  v.resize(400, 296);
  v.imposta(TabellaVuota(*TabellaFamiglia(11), 3));
  QCOMPARE(v.righeTesto().first(), u"Tabella delle unità: l, dl, cl, ml"_s);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) QCOMPARE(v.testoCella(r, c), QString());
  const QImage img = v.grab().toImage();
  QCOMPARE(Pixel(img, QColor(192, 0, 0)), 0);        // no column asked, no frame, no comma
  QVERIFY(Pixel(img, QColor(190, 225, 250)) > 100);  // the headers' colours
  QCOMPARE(v.accessibleName(), u"Tabella delle unità"_s);
}

QTEST_MAIN(TestVistaTabellaUnita)
#include "test_vistatabellaunita.moc"
