#include "generation/valutazione.h"
#include "generation/zcalcolaspazi.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Operazione Op(const QString &a1, const QString &a2, const QString &simbolo, const QString &risultato) {
  Operazione op;
  op.strAddendo1 = a1;
  op.strAddendo2 = a2;
  op.strSimboloRichiesto = simbolo;
  op.strRisultato = risultato;
  return op;
}

}  // namespace

class TestRighe : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void fillStrings_data();
  void fillStrings();
  void numberLineGrowsWithEachAttempt();
  void symbolLineCarriesTheSymbolAndDashes();
  void interventionEndsWithAnswerAndSeconds();
  void grades_data();
  void grades();
  void names_data();
  void names();
};

void TestRighe::fillStrings_data() {
  QTest::addColumn<QString>("addendo");
  QTest::addColumn<QString>("risposta");
  QTest::addColumn<QString>("spazi");
  QTest::addColumn<QString>("riempitivo");
  QTest::newRow("one digit, 3-char symbol") << u"7  h"_s << u"127"_s << u" "_s << u"°°°"_s;
  QTest::newRow("five characters") << u"12  h"_s << u"12.345"_s << QString() << QString();
  QTest::newRow("longer than five") << u"19  km"_s << u"1"_s << QString() << u"°°°°°"_s;
  QTest::newRow("empty answer") << u"1 u "_s << QString() << u" "_s << u"°°°°°°"_s;
  QTest::newRow("answer longer than six") << u"1 u "_s << u"1234567"_s << u" "_s << QString();
}

void TestRighe::fillStrings() {
  QFETCH(QString, addendo);
  QFETCH(QString, risposta);
  QFETCH(QString, spazi);
  QFETCH(QString, riempitivo);
  const Spazi s = CalcolaSpazi(Op(addendo, addendo, u"  u"_s, u"1.270"_s), risposta);
  QCOMPARE(s.strSpazi1, spazi);
  QCOMPARE(s.strSpazi2, spazi);
  QCOMPARE(s.strTrattini, u"-"_s);
  QCOMPARE(s.strRiempitivo, riempitivo);
}

void TestRighe::numberLineGrowsWithEachAttempt() {
  const Operazione op = Op(u"12  k"_s, u"7  h"_s, u" da"_s, u"1.270"_s);
  QString l = ScriviRigaNumero(op);
  QCOMPARE(l, u"12  k +  7  h = ... da  r. "_s);
  l = AggiungiErrore(l, op, u"127"_s);
  l = AggiungiErrore(l, op, u"12,7"_s);
  l = AggiungiRisposta(l, op, u"1.270"_s);
  QCOMPARE(l, u"12  k +  7  h = ... da  r. °°°127* °°12,7* °1.270"_s);
}

void TestRighe::symbolLineCarriesTheSymbolAndDashes() {
  // In the symbol view the expected answer is the padded symbol itself.
  const Operazione op = Op(u"3  km"_s, u"5  hm"_s, u"  hm"_s, u"  hm"_s);
  QString l = ScriviRigaSimbolo(op);
  QCOMPARE(l, u"3  km + 5  hm =   hm--   r."_s);
  l = AggiungiRisposta(l, op, u"  hm"_s);
  QCOMPARE(l, u"3  km + 5  hm =   hm--   r.°°  hm"_s);
}

void TestRighe::interventionEndsWithAnswerAndSeconds() {
  const Operazione op = Op(u"1 c "_s, u"1 m "_s, u" u "_s, u"0,011"_s);
  QString l = ScriviRigaNumero(op);
  l = AggiungiErrore(l, op, u"11"_s);
  l = AggiungiCorrezione(l, op, 150);
  QCOMPARE(l, u" 1 c  +  1 m  = ... u   r. °°°°11*   0,011 sec. 150"_s);
}

void TestRighe::grades_data() {
  QTest::addColumn<int>("r");
  QTest::addColumn<int>("n");
  QTest::addColumn<QString>("voto");
  QTest::newRow("10/10") << 10 << 10 << u"OTTIMO"_s;
  QTest::newRow("9/10") << 9 << 10 << u"OTTIMO"_s;
  QTest::newRow("19/20") << 19 << 20 << u"OTTIMO"_s;
  QTest::newRow("8/10") << 8 << 10 << u"DISTINTO"_s;
  QTest::newRow("7/10") << 7 << 10 << u"BUONO"_s;
  QTest::newRow("6/10") << 6 << 10 << u"SUFFICIENTE"_s;
  QTest::newRow("5/10") << 5 << 10 << u"SUFFICIENTE (!)"_s;
  QTest::newRow("4/10") << 4 << 10 << u"Non classificato"_s;
  QTest::newRow("13/20") << 13 << 20 << u"SUFFICIENTE"_s;
  QTest::newRow("11/20") << 11 << 20 << u"SUFFICIENTE (!)"_s;
  QTest::newRow("9/20") << 9 << 20 << u"Non classificato"_s;
  QTest::newRow("0/0") << 0 << 0 << u"Non classificato"_s;
  QTest::newRow("9/11 pending counts") << 9 << 11 << u"DISTINTO"_s;
  QTest::newRow("above ten") << 3 << 1 << u"Non classificato"_s;
}

void TestRighe::grades() {
  QFETCH(int, r);
  QFETCH(int, n);
  QFETCH(QString, voto);
  QCOMPARE(CalcolaValutazione(r, n), voto);
}

void TestRighe::names_data() {
  QTest::addColumn<QString>("nome");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("mixed case") << u"mARIO rossi"_s << u"Mario rossi"_s;
  QTest::newRow("gIANNI") << u"gIANNI"_s << u"Gianni"_s;
  QTest::newRow("accented") << u"élodie"_s << u"Élodie"_s;
  QTest::newRow("empty") << QString() << QString();
  QTest::newRow("one letter") << u"a"_s << u"A"_s;
  QTest::newRow("leading blank") << u" anna"_s << u" anna"_s;
}

void TestRighe::names() {
  QFETCH(QString, nome);
  QFETCH(QString, atteso);
  QCOMPARE(NormalizzaNome(nome), atteso);
}

QTEST_GUILESS_MAIN(TestRighe)
#include "test_righe.moc"
