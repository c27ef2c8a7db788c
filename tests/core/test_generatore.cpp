#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "support/doppi.h"

#include <QSet>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The r that makes draw(k) give v.
double R(int v, int k) { return (v + 0.5) / k; }

ParametriGenerazione Parametri(int famiglia, int ordine, int massimo) {
  return {*TabellaFamiglia(famiglia), static_cast<qint16>(ordine), static_cast<qint16>(massimo)};
}

// The exact decimal text of totale / 10^decimali, written the pupil's way.
QString Esatto(qint64 totale, int decimali) {
  QString intera = QString::number(totale / static_cast<qint64>(std::pow(10, decimali)));
  QString frazione = QString::number(totale % static_cast<qint64>(std::pow(10, decimali)))
                         .rightJustified(decimali, u'0');
  while (frazione.endsWith(u'0')) frazione.chop(1);
  for (qsizetype i = intera.size() - 3; i > 0; i -= 3) intera.insert(i, u'.');
  return frazione.isEmpty() ? intera : intera + u',' + frazione;
}

}  // namespace

class TestGeneratore : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void familyTableToTheCharacter_data();
  void familyTableToTheCharacter();
  void shouldMatchWorkedExamples_data();
  void shouldMatchWorkedExamples();
  void shouldRedrawBothValuesWhileEitherIsTen();
  void shouldDrawCasesInTheirRange_data();
  void shouldDrawCasesInTheirRange();
  void threeUnitFamiliesNeverUseSlotOne_data();
  void threeUnitFamiliesNeverUseSlotOne();
  void shouldGiveExactResultsForEveryCombination();
  void valuesShouldBeUniformWithTheRealSource_data();
  void valuesShouldBeUniformWithTheRealSource();
  void callsWithinOneClockTickShouldDiffer();
  void shouldStirWithTheClockAtEveryCall();
  void addendsKeepTheSymbolBlanks();
};

void TestGeneratore::familyTableToTheCharacter_data() {
  QTest::addColumn<int>("n");
  QTest::addColumn<QStringList>("simboli");
  QTest::addColumn<int>("unita");
  QTest::addColumn<int>("prima");
  QTest::addColumn<QString>("descrizione");
  auto riga = [](int n, QStringList s, int u, int p, const char16_t *d) {
    QTest::addRow("%d", n) << n << s << u << p << QString::fromUtf16(d);
  };
  riga(1, {u" u "_s, u" d "_s, u" c "_s, u" m "_s}, 4, 1, u" unità,    decimi, centesimi, millesimi");
  riga(2, {u"   "_s, u"  h"_s, u" da"_s, u"  u"_s}, 3, 2, u"centinaia, decine, unità");
  riga(3, {u"  k"_s, u"  h"_s, u" da"_s, u"  u"_s}, 4, 1, u" migliaia,    centinaia, decine, unità");
  riga(4, {u"  m"_s, u" dm"_s, u" cm"_s, u" mm"_s}, 4, 1, u" metri,    decimetri, centimetri, millimetri");
  riga(5, {u"    "_s, u"  hm"_s, u" dam"_s, u"   m"_s}, 3, 2, u" ettometri, decametri, metri");
  riga(6, {u"  km"_s, u"  hm"_s, u" dam"_s, u"   m"_s}, 4, 1, u" chilometri,    ettometri, decametri, metri");
  riga(7, {u"  g"_s, u" dg"_s, u" cg"_s, u" mg"_s}, 4, 1, u" grammi,    decigrammi, centigrammi, milligrammi");
  riga(8, {u"    "_s, u"  hg"_s, u" dag"_s, u"   g"_s}, 3, 2, u" ettogrammi, decagrammi, grammi");
  riga(9, {u"  Kg"_s, u"  hg"_s, u" dag"_s, u"   g"_s}, 4, 1, u" chilogrammi    ettogrammi, decagrammi, grammi");
  riga(10, {u"  t"_s, u"  q"_s, u" Mg"_s, u" kg"_s}, 4, 1, u" tonnellate,    quintali, miriagrammi, chilogrammi");
  riga(11, {u"  l "_s, u" dl "_s, u" cl "_s, u" ml "_s}, 4, 1, u" litri,    decilitri, centilitri, millilitri");
  riga(12, {u"   "_s, u"  hl"_s, u" dal"_s, u"   l"_s}, 3, 2, u" ettolitri, decalitri, litri");
}

void TestGeneratore::familyTableToTheCharacter() {
  QFETCH(int, n);
  QFETCH(QStringList, simboli);
  QFETCH(int, unita);
  QFETCH(int, prima);
  QFETCH(QString, descrizione);
  const auto f = TabellaFamiglia(n);
  QVERIFY(f);
  QCOMPARE((QStringList{f->strSimbolo1, f->strSimbolo2, f->strSimbolo3, f->strSimbolo4}), simboli);
  QCOMPARE(f->intNumeroUnita, unita);
  QCOMPARE(f->intNumeroScelte, unita);
  QCOMPARE(f->intPrimaScelta, prima);
  QCOMPARE(DescrizioneFamiglia(n), descrizione);
  QCOMPARE(TitoloSistema(n), n <= 3 ? u"SISTEMA DECIMALE: "_s : u"SISTEMA METRICO: "_s);
}

void TestGeneratore::shouldMatchWorkedExamples_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("ordine");
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("v1");
  QTest::addColumn<int>("v2");
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("risultato");
  QTest::addColumn<QString>("addendo1");
  QTest::addColumn<QString>("addendo2");
  QTest::newRow("3/1 asked in units") << 3 << 1 << 1 << 12 << 7 << 4 << u"12.700"_s << u"12  k"_s << u"7  h"_s;
  QTest::newRow("3/1 asked in thousands") << 3 << 1 << 1 << 12 << 7 << 1 << u"12,7"_s << u"12  k"_s << u"7  h"_s;
  QTest::newRow("3/1 asked in tens") << 3 << 1 << 1 << 12 << 7 << 3 << u"1.270"_s << u"12  k"_s << u"7  h"_s;
  QTest::newRow("3/1 asked in an addend's unit") << 3 << 1 << 1 << 12 << 7 << 2 << u"127"_s << u"12  k"_s << u"7  h"_s;
  QTest::newRow("3/9 increasing") << 3 << 2 << 9 << 5 << 3 << 2 << u"30,05"_s << u"5  u"_s << u"3  k"_s;
  QTest::newRow("1/6 below one") << 1 << 1 << 6 << 1 << 1 << 1 << u"0,011"_s << u"1 c "_s << u"1 m "_s;
  QTest::newRow("6/1 largest total") << 6 << 1 << 1 << 19 << 19 << 4 << u"20.900"_s << u"19  km"_s << u"19  hm"_s;
  QTest::newRow("11/3 ml keeps its blank") << 11 << 1 << 3 << 2 << 19 << 4 << u"2.019"_s << u"2  l "_s << u"19 ml "_s;
  QTest::newRow("2/5 three units") << 2 << 1 << 5 << 3 << 4 << 2 << u"3,04"_s << u"3  h"_s << u"4  u"_s;
}

void TestGeneratore::shouldMatchWorkedExamples() {
  QFETCH(int, famiglia);
  QFETCH(int, ordine);
  QFETCH(int, caso);
  QFETCH(int, v1);
  QFETCH(int, v2);
  QFETCH(int, slot);
  QFETCH(QString, risultato);
  QFETCH(QString, addendo1);
  QFETCH(QString, addendo2);
  const auto p = Parametri(famiglia, ordine, 19);
  const bool quattro = p.famiglia.intNumeroUnita == 4;
  const double rCaso = ordine == 1 ? (quattro ? R(caso - 1, 6) : R(caso - 4, 3))
                                   : (quattro ? R(caso - 7, 6) : R(caso - 10, 3));
  CasualeCopione c({rCaso, R(v1 - 1, 19), R(v2 - 1, 19),
                    R(slot - p.famiglia.intPrimaScelta, p.famiglia.intNumeroScelte)});
  OrologioFinto o;
  MessaggiRegistrati m;
  const Operazione op = GeneraOperazione(p, c, o, m);
  QVERIFY(!c.esaurito());
  QCOMPARE(c.rimasti(), 0);
  QCOMPARE(op.intCaso, caso);
  QCOMPARE(op.lngValore1, v1);
  QCOMPARE(op.lngValore2, v2);
  QCOMPARE(op.intUnitaRichiesta, slot);
  QCOMPARE(op.strSimboloRichiesto, p.famiglia.simbolo(slot));
  QCOMPARE(op.strRisultato, risultato);
  QCOMPARE(op.strAddendo1, addendo1);
  QCOMPARE(op.strAddendo2, addendo2);
}

void TestGeneratore::shouldRedrawBothValuesWhileEitherIsTen() {
  // 10 then 3, then 4 then 10, then 11 and 19.
  CasualeCopione c({R(0, 6), R(9, 19), R(2, 19), R(3, 19), R(9, 19), R(10, 19), R(18, 19), R(0, 4)});
  OrologioFinto o;
  MessaggiRegistrati m;
  const Operazione op = GeneraOperazione(Parametri(3, 1, 19), c, o, m);
  QCOMPARE(op.lngValore1, 11);
  QCOMPARE(op.lngValore2, 19);
  QCOMPARE(op.intUnitaRichiesta, 1);
  QCOMPARE(c.rimasti(), 0);
}

void TestGeneratore::shouldDrawCasesInTheirRange_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("ordine");
  QTest::addColumn<QList<int>>("casi");
  QTest::newRow("four units decreasing") << 3 << 1 << QList<int>{1, 2, 3, 4, 5, 6};
  QTest::newRow("four units increasing") << 4 << 2 << QList<int>{7, 8, 9, 10, 11, 12};
  QTest::newRow("four units both") << 6 << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  QTest::newRow("three units decreasing") << 2 << 1 << QList<int>{4, 5, 6};
  QTest::newRow("three units increasing") << 5 << 2 << QList<int>{10, 11, 12};
  QTest::newRow("three units both") << 12 << 3 << QList<int>{4, 5, 6, 10, 11, 12};
}

void TestGeneratore::shouldDrawCasesInTheirRange() {
  QFETCH(int, famiglia);
  QFETCH(int, ordine);
  QFETCH(QList<int>, casi);
  CasualeSistema c(42);
  OrologioFinto o;
  MessaggiRegistrati m;
  QSet<int> visti;
  for (int i = 0; i < 5000; ++i) {
    o.secondi += 0.01;
    const Operazione op = GeneraOperazione(Parametri(famiglia, ordine, 19), c, o, m);
    QVERIFY2(casi.contains(op.intCaso), qPrintable(QString::number(op.intCaso)));
    const auto s = SlotDelCaso(op.intCaso);
    // Decreasing cases put the larger unit (the lower slot) first.
    QCOMPARE(s.primo < s.secondo, op.intCaso <= 6);
    visti.insert(op.intCaso);
  }
  QCOMPARE(visti.size(), casi.size());
}

void TestGeneratore::threeUnitFamiliesNeverUseSlotOne_data() {
  QTest::addColumn<int>("famiglia");
  for (int f : {2, 5, 8, 12}) QTest::addRow("%d", f) << f;
}

void TestGeneratore::threeUnitFamiliesNeverUseSlotOne() {
  QFETCH(int, famiglia);
  CasualeSistema c(7);
  OrologioFinto o;
  MessaggiRegistrati m;
  QSet<int> richiesti;
  for (int i = 0; i < 3000; ++i) {
    const Operazione op = GeneraOperazione(Parametri(famiglia, 3, 9), c, o, m);
    const auto s = SlotDelCaso(op.intCaso);
    QVERIFY(s.primo != 1 && s.secondo != 1 && op.intUnitaRichiesta != 1);
    QVERIFY(!op.strAddendo1.trimmed().isEmpty() && op.strAddendo1.back() != u' ');
    richiesti.insert(op.intUnitaRichiesta);
  }
  QCOMPARE(richiesti, (QSet<int>{2, 3, 4}));
}

void TestGeneratore::shouldGiveExactResultsForEveryCombination() {
  OrologioFinto o;
  MessaggiRegistrati m;
  const auto p = Parametri(3, 3, 19);
  int controllati = 0;
  for (int caso = 1; caso <= 12; ++caso) {
    for (int v1 = 1; v1 <= 19; ++v1) {
      for (int v2 = 1; v2 <= 19; ++v2) {
        if (v1 == 10 || v2 == 10) continue;
        for (int a = 1; a <= 4; ++a) {
          CasualeCopione c({R(caso - 1, 12), R(v1 - 1, 19), R(v2 - 1, 19), R(a - 1, 4)});
          const Operazione op = GeneraOperazione(p, c, o, m);
          const auto s = SlotDelCaso(caso);
          const qint64 t = v1 * static_cast<qint64>(std::pow(10, 4 - s.primo)) +
                           v2 * static_cast<qint64>(std::pow(10, 4 - s.secondo));
          QCOMPARE(op.strRisultato, Esatto(t, 4 - a));
          ++controllati;
        }
      }
    }
  }
  QCOMPARE(controllati, 12 * 18 * 18 * 4);
  QVERIFY(m.voci.isEmpty());
}

void TestGeneratore::valuesShouldBeUniformWithTheRealSource_data() {
  QTest::addColumn<int>("massimo");
  QTest::addColumn<double>("soglia");  // chi-square at p = 0.001
  QTest::newRow("one digit") << 9 << 26.12;
  QTest::newRow("two digits") << 19 << 40.79;
}

void TestGeneratore::valuesShouldBeUniformWithTheRealSource() {
  QFETCH(int, massimo);
  QFETCH(double, soglia);
  // A fixed seed and a clock that moves a millisecond per call keep the run repeatable.
  CasualeSistema c(20261208);
  OrologioFinto o;
  MessaggiRegistrati m;
  const int n = 100000;
  QList<int> conteggi(20, 0);
  for (int i = 0; i < n; ++i) {
    o.secondi += 0.001;
    const Operazione op = GeneraOperazione(Parametri(6, 3, massimo), c, o, m);
    ++conteggi[op.lngValore1];
    ++conteggi[op.lngValore2];
  }
  QCOMPARE(conteggi[0], 0);
  QCOMPARE(conteggi[10], 0);
  const int valori = massimo == 9 ? 9 : 18;
  const double atteso = 2.0 * n / valori;
  double chi = 0;
  for (int v = 1; v <= massimo; ++v) {
    if (v == 10) continue;
    QVERIFY2(conteggi[v] > 0, "every value occurs");
    chi += (conteggi[v] - atteso) * (conteggi[v] - atteso) / atteso;
  }
  for (int v = massimo + 1; v < 20; ++v) QCOMPARE(conteggi[v], 0);
  QVERIFY2(chi < soglia, qPrintable(QString::number(chi)));
}

void TestGeneratore::callsWithinOneClockTickShouldDiffer() {
  CasualeSistema c;
  OrologioFinto o;  // the clock stands still
  MessaggiRegistrati m;
  QSet<QString> righe;
  for (int i = 0; i < 30; ++i) {
    const Operazione op = GeneraOperazione(Parametri(3, 3, 19), c, o, m);
    righe.insert(op.strAddendo1 + u'+' + op.strAddendo2 + u'=' + op.strRisultato + op.strSimboloRichiesto);
  }
  QVERIFY2(righe.size() >= 25, qPrintable(QString::number(righe.size())));
}

void TestGeneratore::shouldStirWithTheClockAtEveryCall() {
  CasualeCopione c({0.1, 0.2, 0.3, 0.4, 0.1, 0.2, 0.3, 0.4});
  OrologioFinto o;
  MessaggiRegistrati m;
  (void)GeneraOperazione(Parametri(1, 1, 9), c, o, m);
  (void)GeneraOperazione(Parametri(1, 1, 9), c, o, m);
  QCOMPARE(c.mescolate(), 2);
}

void TestGeneratore::addendsKeepTheSymbolBlanks() {
  // 19 in slot 4 of family 11, asked in slot 2 of family 6.
  CasualeCopione c({R(2, 6), R(0, 19), R(18, 19), R(1, 4)});
  OrologioFinto o;
  MessaggiRegistrati m;
  const Operazione op = GeneraOperazione(Parametri(11, 1, 19), c, o, m);
  QCOMPARE(op.strAddendo2, u"19 ml "_s);
  QCOMPARE(op.strAddendo2.size(), 6);
  QCOMPARE(op.strSimboloRichiesto, u" dl "_s);
  QCOMPARE(TabellaFamiglia(6)->strSimbolo2, u"  hm"_s);
}

QTEST_GUILESS_MAIN(TestGeneratore)
#include "test_generatore.moc"
