#include <QTest>

#include "righeprova.h"
#include "support/doppi.h"
#include "ui/certificate/stampaesercizio.h"

using namespace Qt::StringLiterals;

class TestStampaEsercizio : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldFindCourierByExactNameInListOrder_data();
  void shouldFindCourierByExactNameInListOrder();
  void shouldPlaceEveryRowInItsBlock_data();
  void shouldPlaceEveryRowInItsBlock();
  void shouldPrintHeadingThenRowsInTheirFonts();
  void shouldPrintNothingWithoutCourier();
  void shouldReportPrinterFailureWithItsReason();
  void shouldTellNothingWhenThePdfChoiceIsCancelled();
};

void TestStampaEsercizio::shouldFindCourierByExactNameInListOrder_data() {
  QTest::addColumn<QStringList>("fonts");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("Courier New prima") << QStringList{u"Arial"_s, u"Courier New"_s, u"Courier"_s}
                                     << u"Courier New"_s;
  QTest::newRow("Courier prima") << QStringList{u"Courier"_s, u"Courier New"_s} << u"Courier"_s;
  QTest::newRow("solo Courier") << QStringList{u"Arial"_s, u"Courier"_s} << u"Courier"_s;
  QTest::newRow("maiuscole") << QStringList{u"COURIER NEW"_s, u"courier"_s} << QString();
  QTest::newRow("spazi") << QStringList{u"Courier New "_s, u" Courier"_s, u"CourierNew"_s} << QString();
  QTest::newRow("simili") << QStringList{u"Courier 10 Pitch"_s, u"Nimbus Mono PS"_s} << QString();
  QTest::newRow("vuota") << QStringList{} << QString();
  QTest::newRow("in fondo") << QStringList{u"A"_s, u"B"_s, u"C"_s, u"Courier"_s} << u"Courier"_s;
}

void TestStampaEsercizio::shouldFindCourierByExactNameInListOrder() {
  QFETCH(QStringList, fonts);
  QFETCH(QString, atteso);
  QCOMPARE(CercaFontCourier(fonts), atteso);
}

void TestStampaEsercizio::shouldPlaceEveryRowInItsBlock_data() {
  QTest::addColumn<int>("operazioni");
  QTest::addColumn<int>("k");
  QTest::addColumn<double>("y");
  QTest::newRow("10: prima") << 10 << 1 << 2000.0;
  QTest::newRow("10: seconda") << 10 << 2 << 2400.0;
  QTest::newRow("10: decima") << 10 << 10 << 5600.0;
  QTest::newRow("20: undicesima dopo 800") << 20 << 11 << 6400.0;
  QTest::newRow("20: quindicesima") << 20 << 15 << 8000.0;
  QTest::newRow("20: ventesima") << 20 << 20 << 10000.0;
  QTest::newRow("30: ventunesima dopo 900") << 30 << 21 << 10900.0;
  QTest::newRow("30: trentesima") << 30 << 30 << 14500.0;
}

void TestStampaEsercizio::shouldPlaceEveryRowInItsBlock() {
  QFETCH(int, operazioni);
  QFETCH(int, k);
  QFETCH(double, y);
  Banco b;
  RiempiEsercizio(b.stato.esercizio, operazioni);
  QVERIFY(StampaEsercizio(b.stampante, b.stato.esercizio).riuscito());
  QCOMPARE(b.stampante.documenti.size(), 1);
  const auto &righe = b.stampante.documenti[0].righe;
  QCOMPARE(righe.size(), operazioni + 2);
  const auto &r = righe[k + 1];
  QCOMPARE(r.testo, b.stato.esercizio.strRigheEsercizio[static_cast<size_t>(k)]);
  QCOMPARE(r.x, 500.0);
  QCOMPARE(r.y, y);
  QCOMPARE(YRigaEsercizio(k), y);
}

void TestStampaEsercizio::shouldPrintHeadingThenRowsInTheirFonts() {
  Banco b;
  b.stampante.elencoFont = {u"Arial"_s, u"Courier"_s, u"Courier New"_s};
  RiempiEsercizio(b.stato.esercizio, 33);
  QVERIFY(StampaEsercizio(b.stampante, b.stato.esercizio).riuscito());
  const auto &doc = b.stampante.documenti.at(0);
  QCOMPARE(doc.righe.size(), 35);
  const auto &h1 = doc.righe[0];
  const auto &h2 = doc.righe[1];
  QCOMPARE(h1.testo, u"SCUOLA ELEMENTARE DI "_s);
  QCOMPARE(h1.x, 1000.0);
  QCOMPARE(h1.y, 1000.0);
  QCOMPARE(h1.dimensione, 16.0);
  QCOMPARE(h1.font, u"Courier"_s);
  QVERIFY(!h1.grassetto);
  QCOMPARE(h2.testo, u"Ordina i numeri in modo crescente"_s);
  QCOMPARE(h2.x, 1000.0);
  // The second line follows the first by one line of 16 pt.
  QCOMPARE(h2.y, 1000.0 + 16 * 20 * 1.2);
  for (int k = 1; k <= 33; ++k) {
    const auto &r = doc.righe[k + 1];
    QCOMPARE(r.font, u"Courier"_s);
    QCOMPARE(r.dimensione, 10.0);
    QVERIFY(r.grassetto);
  }
  // Past the 30th the rows are not placed: each follows the one before.
  QCOMPARE(doc.righe[31].y, 14500.0);
  QCOMPARE(doc.righe[31].x, 500.0);
  QCOMPARE(doc.righe[32].x, 0.0);
  QCOMPARE(doc.righe[32].y, 14500.0 + 240.0);
  QCOMPARE(doc.righe[34].y, 14500.0 + 720.0);
  QCOMPARE(doc.titolo, u"Esercizio"_s);
}

void TestStampaEsercizio::shouldPrintNothingWithoutCourier() {
  Banco b;
  b.stampante.elencoFont = {u"Arial"_s, u"COURIER NEW"_s};
  RiempiEsercizio(b.stato.esercizio, 20);
  const EsitoStampa e = StampaEsercizio(b.stampante, b.stato.esercizio);
  QCOMPARE(e.tipo, EsitoStampa::Tipo::SenzaCourier);
  QVERIFY(b.stampante.documenti.isEmpty());
  QVERIFY(!b.stampante.chiamate.join(u'\n').contains(u"riga"_s));
  RiferisciStampa(e, b.messaggi, u"nota"_s);
  QCOMPARE(b.messaggi.testi(), QStringList{kMessaggioCourier});
}

void TestStampaEsercizio::shouldReportPrinterFailureWithItsReason() {
  Banco b;
  b.stampante.guasto = u"carta inceppata"_s;
  b.stampante.guastoDallaRiga = 5;
  RiempiEsercizio(b.stato.esercizio, 12);
  const Righe prima = b.stato.esercizio.strRigheEsercizio;
  const EsitoStampa e = StampaEsercizio(b.stampante, b.stato.esercizio);
  QCOMPARE(e.tipo, EsitoStampa::Tipo::Errore);
  QCOMPARE(e.errore, u"carta inceppata"_s);
  QVERIFY(b.stampante.documenti.isEmpty());
  QVERIFY(!RiferisciStampa(e, b.messaggi, u"Puoi riprovare."_s));
  QCOMPARE(b.messaggi.voci.size(), 1);
  QVERIFY(b.messaggi.voci[0].testo.startsWith(u"carta inceppata"_s));
  QVERIFY(b.messaggi.voci[0].testo.endsWith(u"Puoi riprovare."_s));
  QVERIFY(b.stato.esercizio.strRigheEsercizio == prima);
  // Once the printer is mended the same log prints whole.
  b.stampante.guasto.clear();
  QVERIFY(StampaEsercizio(b.stampante, b.stato.esercizio).riuscito());
  QCOMPARE(b.stampante.documenti.at(0).righe.size(), 14);
}

// A printer double whose user closes the PDF dialog: the document ends with no reason.
class StampanteAnnullata : public StampanteRegistrata {
 public:
  bool fineDocumento() override {
    annullaDocumento();
    return false;
  }
};

void TestStampaEsercizio::shouldTellNothingWhenThePdfChoiceIsCancelled() {
  StampanteAnnullata s;
  Esercizio e;
  RiempiEsercizio(e, 10);
  MessaggiRegistrati m;
  const EsitoStampa esito = StampaEsercizio(s, e);
  QCOMPARE(esito.tipo, EsitoStampa::Tipo::Annullato);
  QVERIFY(!RiferisciStampa(esito, m, u"nota"_s));
  QVERIFY(m.voci.isEmpty());
}

QTEST_MAIN(TestStampaEsercizio)
#include "test_stampaesercizio.moc"
