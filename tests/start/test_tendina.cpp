#include "ui/start/frecce.h"
#include "ui/start/tendina.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestTendina : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldOpenWithoutEverGoingNegative_data();
  void shouldOpenWithoutEverGoingNegative();
  void shouldStayStillOnceOpen();
  void shouldCatchUpOnLateTicks_data();
  void shouldCatchUpOnLateTicks();
  void shouldUseWingdingsOnlyWhereInstalled_data();
  void shouldUseWingdingsOnlyWhereInstalled();
};

void TestTendina::shouldOpenWithoutEverGoingNegative_data() {
  QTest::addColumn<int>("larghezza");
  QTest::addColumn<int>("passi");
  QTest::addColumn<int>("finale");
  // Half widths that are whole steps end at 0; others end as soon as the next step can't be taken.
  QTest::newRow("design window") << 9600 << 64 << 0;
  QTest::newRow("whole steps") << 9000 << 60 << 0;
  QTest::newRow("ends at the 10-twip mark") << 9620 << 64 << 10;
  QTest::newRow("strip too narrow for one more step") << 9630 << 64 << 15;
  QTest::newRow("tiny window") << 100 << 0 << 50;
  QTest::newRow("odd width") << 9601 << 64 << 0;
  QTest::newRow("no width") << 0 << 0 << 0;
}

void TestTendina::shouldOpenWithoutEverGoingNegative() {
  QFETCH(int, larghezza);
  QFETCH(int, passi);
  QFETCH(int, finale);
  Tendina t;
  t.prepara(larghezza);
  QCOMPARE(t.sinistra(), larghezza / 2);
  QCOMPARE(t.destra(), larghezza / 2);
  QVERIFY(t.inMoto());
  int fatti = 0;
  int prima = t.sinistra();
  while (t.inMoto() && fatti < 1000) {
    t.passo();
    QVERIFY(t.sinistra() >= 0);
    QCOMPARE(t.destra(), t.sinistra());
    if (t.sinistra() != prima) {
      QCOMPARE(prima - t.sinistra(), Tendina::kPasso);
      ++fatti;
    }
    prima = t.sinistra();
  }
  QVERIFY(!t.inMoto());
  QCOMPARE(fatti, passi);
  QCOMPARE(t.sinistra(), finale);
}

void TestTendina::shouldStayStillOnceOpen() {
  Tendina t;
  t.prepara(9600);
  while (t.passo()) {
  }
  QVERIFY(!t.passo());
  QCOMPARE(t.sinistra(), 0);
  // A curtain drawn again (a new window) moves again.
  t.prepara(3000);
  QVERIFY(t.passo());
  QCOMPARE(t.sinistra(), 1425);
}

void TestTendina::shouldCatchUpOnLateTicks_data() {
  QTest::addColumn<QList<int>>("istanti");
  QTest::addColumn<QList<int>>("larghezze");
  QTest::newRow("ticks on time") << QList<int>{5, 10, 15} << QList<int>{4725, 4650, 4575};
  QTest::newRow("early ticks still step") << QList<int>{1, 2, 3} << QList<int>{4725, 4650, 4575};
  QTest::newRow("a late tick catches up") << QList<int>{5, 100, 101} << QList<int>{4725, 3300, 3225};
  QTest::newRow("very late tick opens it") << QList<int>{10000, 20000} << QList<int>{0, 0};
}

void TestTendina::shouldCatchUpOnLateTicks() {
  QFETCH(QList<int>, istanti);
  QFETCH(QList<int>, larghezze);
  Tendina t;
  t.prepara(9600);
  for (int i = 0; i < istanti.size(); ++i) {
    t.aggiorna(istanti[i]);
    QCOMPARE(t.sinistra(), larghezze[i]);
    QCOMPARE(t.destra(), larghezze[i]);
  }
  QCOMPARE(t.inMoto(), larghezze.last() > Tendina::kFine);
}

void TestTendina::shouldUseWingdingsOnlyWhereInstalled_data() {
  QTest::addColumn<QStringList>("famiglie");
  QTest::addColumn<QString>("famigliaGiu");
  QTest::addColumn<QString>("giu");
  QTest::addColumn<QString>("sinistra");
  QTest::newRow("Linux desktop") << QStringList{u"DejaVu Sans"_s, u"Liberation Sans"_s} << u"DejaVu Sans"_s
                                 << QString(QChar(0x2B07)) << QString(QChar(0x2B05));
  QTest::newRow("no fonts known") << QStringList{} << u"DejaVu Sans"_s << QString(QChar(0x2B07))
                                  << QString(QChar(0x2B05));
  QTest::newRow("Wingdings installed") << QStringList{u"Arial"_s, u"Wingdings"_s} << u"Wingdings"_s
                                       << QString(QChar(234)) << QString(QChar(231));
  QTest::newRow("lower-case name") << QStringList{u"wingdings"_s} << u"Wingdings"_s << QString(QChar(234))
                                   << QString(QChar(231));
  QTest::newRow("look-alike name") << QStringList{u"Wingdings 2"_s} << u"DejaVu Sans"_s
                                   << QString(QChar(0x2B07)) << QString(QChar(0x2B05));
}

void TestTendina::shouldUseWingdingsOnlyWhereInstalled() {
  QFETCH(QStringList, famiglie);
  QFETCH(QString, famigliaGiu);
  QFETCH(QString, giu);
  QFETCH(QString, sinistra);
  const Freccia g = FrecciaGiu(famiglie);
  const Freccia s = FrecciaSinistra(famiglie);
  QCOMPARE(g.famiglia, famigliaGiu);
  QCOMPARE(s.famiglia, famigliaGiu);
  QCOMPARE(g.testo, giu);
  QCOMPARE(s.testo, sinistra);
}

QTEST_GUILESS_MAIN(TestTendina)
#include "test_tendina.moc"
