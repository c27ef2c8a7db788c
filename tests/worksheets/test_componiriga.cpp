#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "support/doppi.h"
#include "ui/worksheets/componiriga.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Operazione Op(qint32 v1, const QString &s1, qint32 v2, const QString &s2, const QString &chiesto,
              const QString &risultato) {
  Operazione op;
  op.lngValore1 = v1;
  op.lngValore2 = v2;
  op.strAddendo1 = QString::number(v1) + s1;
  op.strAddendo2 = QString::number(v2) + s2;
  op.strSimboloRichiesto = chiesto;
  op.strRisultato = risultato;
  return op;
}

}  // namespace

class TestComponiRiga : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void composesTheLine_data();
  void composesTheLine();
  void columnsLineUpInEveryFamily_data();
  void columnsLineUpInEveryFamily();
  void eitherDrawsTheFormOfEachLine();
  void numberOrSymbolDrawsNoForm_data();
  void numberOrSymbolDrawsNoForm();
  void sheetUsesItsOwnChoicesAndLeavesTheExerciseAlone();
  void longerCountKeepsTheLinesThereAndAddsTheMissingOnes();
  void regeneratingEmptiesTheLinesBeyondTheCount();
  void texts_data();
  void texts();
};

void TestComponiRiga::composesTheLine_data() {
  QTest::addColumn<Operazione>("op");
  QTest::addColumn<int>("forma");
  QTest::addColumn<QString>("alunni");
  QTest::addColumn<QString>("docenti");

  const Operazione esempio = Op(12, u"  k"_s, 7, u"  h"_s, u" da"_s, u"1.270"_s);
  QTest::newRow("worked example, number") << esempio << 1 << u"12  k +  7  h = ?....... da"_s
                                          << u"12  k +  7  h = ?....... da          (R. 1.270)"_s;
  QTest::newRow("worked example, symbol") << esempio << 2 << u"12  k +  7  h =   1.270  ?....."_s
                                          << u"12  k +  7  h =   1.270  ?.....         (R. da)"_s;
  const Operazione unaCifra = Op(3, u" u "_s, 5, u" c "_s, u" d "_s, u"30,5"_s);
  QTest::newRow("one digit both, family 1, number") << unaCifra << 1 << u" 3 u  +  5 c  = ?....... d "_s
                                                    << u" 3 u  +  5 c  = ?....... d            (R. 30,5)"_s;
  QTest::newRow("one digit both, family 1, symbol") << unaCifra << 2 << u" 3 u  +  5 c  =    30,5  ?....."_s
                                                    << u" 3 u  +  5 c  =    30,5  ?.....          (R. d)"_s;
  const Operazione dueCifre = Op(15, u"  hm"_s, 13, u"   m"_s, u"  km"_s, u"1,513"_s);
  QTest::newRow("two digits both, family 6, number") << dueCifre << 1 << u"15  hm + 13   m = ?.......  km"_s
                                                     << u"15  hm + 13   m = ?.......  km          (R. 1,513)"_s;
  QTest::newRow("two digits both, family 6, symbol") << dueCifre << 2 << u"15  hm + 13   m =   1,513  ?....."_s
                                                     << u"15  hm + 13   m =   1,513  ?.....         (R. km)"_s;
  const Operazione tre = Op(4, u"  hl"_s, 19, u"   l"_s, u" dal"_s, u"41,9"_s);
  QTest::newRow("three-unit family 12, number") << tre << 1 << u" 4  hl + 19   l = ?....... dal"_s
                                                << u" 4  hl + 19   l = ?....... dal           (R. 41,9)"_s;
  QTest::newRow("three-unit family 12, symbol") << tre << 2 << u" 4  hl + 19   l =    41,9  ?....."_s
                                                << u" 4  hl + 19   l =    41,9  ?.....        (R. dal)"_s;
  const Operazione lungo = Op(9, u"  k"_s, 9, u"  u"_s, u"  u"_s, u"1.234.567.890.123"_s);
  QTest::newRow("result too long for the padding, number")
      << lungo << 1 << u" 9  k +  9  u = ?.......  u"_s << u" 9  k +  9  u = ?.......  u(R. 1.234.567.890.123)"_s;
  QTest::newRow("result too long for the padding, symbol")
      << lungo << 2 << u" 9  k +  9  u = 1.234.567.890.123  ?....."_s
      << u" 9  k +  9  u = 1.234.567.890.123  ?.....          (R. u)"_s;
}

void TestComponiRiga::composesTheLine() {
  QFETCH(Operazione, op);
  QFETCH(int, forma);
  QFETCH(QString, alunni);
  QFETCH(QString, docenti);
  const RigaScheda r = ComponiRiga(op, static_cast<FormaRiga>(forma));
  QCOMPARE(r.alunni, alunni);
  QCOMPARE(r.docenti, docenti);
}

void TestComponiRiga::columnsLineUpInEveryFamily_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("cifre");
  for (int f = 1; f <= kFamiglie; ++f)
    for (int c = 1; c <= 2; ++c) QTest::addRow("family %d, %d digit(s)", f, c) << f << c;
}

// Over many generated lines of one family, "+" and "=" stand in the same
// column on every line of a form, and the teachers' results are right-aligned:
// every teachers' line of a form ends in the same column.
void TestComponiRiga::columnsLineUpInEveryFamily() {
  QFETCH(int, famiglia);
  QFETCH(int, cifre);
  Banco b;
  QVERIFY(ApplicaFamiglia(b.stato.famiglia, famiglia));
  QVERIFY(ApplicaCifre(b.stato.impostazioni, cifre));
  CasualeSistema casuale(static_cast<std::uint64_t>(famiglia * 100 + cifre));
  for (int forma = 1; forma <= 2; ++forma) {
    b.stato.scheda.intCosaCalcolare = static_cast<qint16>(forma);
    QSet<qsizetype> piu, uguale, fine, lunghezza;
    for (int ordine = 1; ordine <= 3; ++ordine) {
      b.stato.scheda.intOrdineSimboli = static_cast<qint16>(ordine);
      for (int giro = 0; giro < 10; ++giro) {
        RigeneraScheda(b.stato, kRigheScheda, casuale, b.orologio, b.messaggi);
        for (int i = 1; i <= kRigheScheda; ++i) {
          const QString &a = b.stato.scheda.strRigheAlunni[static_cast<size_t>(i)];
          const QString &d = b.stato.scheda.strRigheDocenti[static_cast<size_t>(i)];
          QVERIFY2(d.startsWith(a), qPrintable(d));
          piu << a.indexOf(u" + "_s);
          uguale << a.indexOf(u" = "_s);
          QVERIFY(d.indexOf(u"(R. "_s) > a.size() - 1);
          QVERIFY(d.endsWith(u')'));
          fine << d.size();
          lunghezza << a.size();
        }
      }
    }
    QCOMPARE(piu.size(), 1);
    QCOMPARE(uguale.size(), 1);
    QCOMPARE(fine.size(), 1);
    QCOMPARE(lunghezza.size(), 1);
    QVERIFY(!piu.contains(-1) && !uguale.contains(-1));
  }
  QVERIFY(b.messaggi.voci.isEmpty());
}

void TestComponiRiga::eitherDrawsTheFormOfEachLine() {
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 3);
  b.stato.scheda.intCosaCalcolare = 3;
  for (double forma : {0.0, 0.9, 0.6, 0.4}) b.casuale.aggiungi({0.0, 0.5, 0.5, 0.5, forma});
  GeneraRigheScheda(b.stato, 1, 4, b.casuale, b.orologio, b.messaggi);
  QCOMPARE(b.casuale.rimasti(), 0);
  QVERIFY(!b.casuale.esaurito());
  const auto &a = b.stato.scheda.strRigheAlunni;
  QCOMPARE(a[1], u" 5  k +  5  h = ?....... da"_s);
  QCOMPARE(a[2], u" 5  k +  5  h =     550  ?....."_s);
  QCOMPARE(a[3], u" 5  k +  5  h =     550  ?....."_s);
  QCOMPARE(a[4], u" 5  k +  5  h = ?....... da"_s);
  QCOMPARE(b.stato.scheda.strRigheDocenti[2], u" 5  k +  5  h =     550  ?.....         (R. da)"_s);
}

void TestComponiRiga::numberOrSymbolDrawsNoForm_data() {
  QTest::addColumn<int>("cosa");
  QTest::addColumn<QString>("attesa");
  QTest::newRow("number") << 1 << u" 5  k +  5  h = ?....... da"_s;
  QTest::newRow("symbol") << 2 << u" 5  k +  5  h =     550  ?....."_s;
}

void TestComponiRiga::numberOrSymbolDrawsNoForm() {
  QFETCH(int, cosa);
  QFETCH(QString, attesa);
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 3);
  b.stato.scheda.intCosaCalcolare = static_cast<qint16>(cosa);
  for (int i = 0; i < 3; ++i) b.casuale.aggiungi({0.0, 0.5, 0.5, 0.5});
  GeneraRigheScheda(b.stato, 1, 3, b.casuale, b.orologio, b.messaggi);
  QCOMPARE(b.casuale.rimasti(), 0);
  QVERIFY(!b.casuale.esaurito());
  for (int i = 1; i <= 3; ++i) QCOMPARE(b.stato.scheda.strRigheAlunni[static_cast<size_t>(i)], attesa);
}

void TestComponiRiga::sheetUsesItsOwnChoicesAndLeavesTheExerciseAlone() {
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 3);
  b.stato.impostazioni.intCosaCalcolare = 2;
  b.stato.impostazioni.strCosaCalcolare = u"Calcola il numero"_s;
  b.stato.impostazioni.intOrdineSimboli = 2;  // increasing would put "h" before "k"
  b.stato.esercizio.strRigheEsercizio[1] = u"riga del registro"_s;
  b.stato.esercizio.strRigheEsercizio[20] = u"ultima riga"_s;
  b.stato.scheda.intCosaCalcolare = 1;
  b.stato.scheda.intOrdineSimboli = 1;
  // case 1 (k, h), 5 and 5, asked slot 3 (da)
  b.casuale.aggiungi({0.0, 0.5, 0.5, 0.5});
  GeneraRigheScheda(b.stato, 1, 1, b.casuale, b.orologio, b.messaggi);
  QCOMPARE(b.stato.scheda.strRigheAlunni[1], u" 5  k +  5  h = ?....... da"_s);
  QCOMPARE(b.stato.impostazioni.intCosaCalcolare, qint16(2));
  QCOMPARE(b.stato.impostazioni.intOrdineSimboli, qint16(2));
  QCOMPARE(b.stato.impostazioni.strCosaCalcolare, u"Calcola il numero"_s);
  QCOMPARE(b.stato.esercizio.strRigheEsercizio[1], u"riga del registro"_s);
  QCOMPARE(b.stato.esercizio.strRigheEsercizio[20], u"ultima riga"_s);
  QCOMPARE(b.stato.esercizio.strRigheEsercizio[2], QString());
}

void TestComponiRiga::longerCountKeepsTheLinesThereAndAddsTheMissingOnes() {
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 4);
  CasualeSistema casuale(7);
  b.stato.scheda.intNumeroOperazioni = 10;
  RigeneraScheda(b.stato, 10, casuale, b.orologio, b.messaggi);
  const Righe prima = b.stato.scheda.strRigheDocenti;
  QCOMPARE(b.stato.scheda.intRigheGenerate, 10);
  QVERIFY(prima[11].isEmpty());
  b.stato.scheda.intNumeroOperazioni = 30;
  CompletaScheda(b.stato, casuale, b.orologio, b.messaggi);
  QCOMPARE(b.stato.scheda.intRigheGenerate, 30);
  for (int i = 1; i <= 30; ++i) {
    const auto n = static_cast<size_t>(i);
    if (i <= 10) QCOMPARE(b.stato.scheda.strRigheDocenti[n], prima[n]);
    QVERIFY2(b.stato.scheda.strRigheAlunni[n].contains(u" + "_s), qPrintable(QString::number(i)));
    QVERIFY(b.stato.scheda.strRigheDocenti[n].contains(u"(R. "_s));
  }
  // A shorter count generates nothing.
  b.stato.scheda.intNumeroOperazioni = 20;
  const Righe tutte = b.stato.scheda.strRigheAlunni;
  CompletaScheda(b.stato, casuale, b.orologio, b.messaggi);
  QCOMPARE(b.stato.scheda.strRigheAlunni, tutte);
}

void TestComponiRiga::regeneratingEmptiesTheLinesBeyondTheCount() {
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 4);
  CasualeSistema casuale(9);
  RigeneraScheda(b.stato, 30, casuale, b.orologio, b.messaggi);
  RigeneraScheda(b.stato, 10, casuale, b.orologio, b.messaggi);
  QCOMPARE(b.stato.scheda.intRigheGenerate, 10);
  QVERIFY(!b.stato.scheda.strRigheAlunni[10].isEmpty());
  QVERIFY(b.stato.scheda.strRigheAlunni[11].isEmpty());
  QVERIFY(b.stato.scheda.strRigheDocenti[30].isEmpty());
}

void TestComponiRiga::texts_data() {
  QTest::addColumn<QString>("ottenuto");
  QTest::addColumn<QString>("atteso");
  FamigliaUnita f3 = *TabellaFamiglia(3);
  FamigliaUnita f2 = *TabellaFamiglia(2);
  QTest::newRow("decreasing caption, family 3") << DidascaliaDecrescente(f3) << u"  k     h  da   u"_s;
  QTest::newRow("increasing caption, family 3") << DidascaliaCrescente(f3) << u"  u  da   h     k"_s;
  QTest::newRow("decreasing caption, three units") << DidascaliaDecrescente(f2) << u"        h  da   u"_s;
  QTest::newRow("level, family 2, one digit") << DescrizioneLivello(2, 1)
                                              << u"centinaia, decine, unità — Valori di 1 cifra"_s;
  QTest::newRow("level, family 3, two digits") << DescrizioneLivello(3, 2)
                                               << u"migliaia, centinaia, decine, unità — Valori di 2 cifre"_s;
  QTest::newRow("level, unknown family") << DescrizioneLivello(13, 1) << u"Valori di 1 cifra"_s;
  QTest::newRow("footer, pupils") << PiePaginaScheda(1, u"vornel"_s) << u"Scheda per alunni stampata con vornel"_s;
  QTest::newRow("footer, teachers") << PiePaginaScheda(2, u"vornel"_s) << u"Scheda per docenti stampata con vornel"_s;
  QTest::newRow("find, either") << TestoCosaCalcolare(3) << u"Trova il numero o il simbolo"_s;
  QTest::newRow("order, both") << TestoOrdineSimboli(3) << u"Simboli decrescenti e crescenti"_s;
}

void TestComponiRiga::texts() {
  QFETCH(QString, ottenuto);
  QFETCH(QString, atteso);
  QCOMPARE(ottenuto, atteso);
}

QTEST_GUILESS_MAIN(TestComponiRiga)
#include "test_componiriga.moc"
