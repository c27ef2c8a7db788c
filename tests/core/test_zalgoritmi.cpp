#include "generation/zalgoritmi.h"
#include "platform/messaggi.h"

#include <QLocale>
#include <QTest>
#include <cstdio>

class TestZAlgoritmi : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldFormatLikeThePupilReads_data();
  void shouldFormatLikeThePupilReads();
  void shouldReportOverflowAndGiveEmptyText_data();
  void shouldReportOverflowAndGiveEmptyText();
  void shouldReadItalianNumbersWhateverTheLocale_data();
  void shouldReadItalianNumbersWhateverTheLocale();
  void equivalentSpellingsGiveOneText();
  void thousandthsAreWrittenExactly();
};

void TestZAlgoritmi::thousandthsAreWrittenExactly() {
  MessaggiRegistrati m;
  for (int k = 0; k <= 2'100'000; k += 7) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", k / 1000.0);
    QString atteso = QString::fromLatin1(buf).replace(u'.', u',');
    const qsizetype virgola = atteso.indexOf(u',');
    QString intera = virgola < 0 ? atteso : atteso.left(virgola);
    for (qsizetype i = intera.size() - 3; i > 0; i -= 3) intera.insert(i, u'.');
    atteso = virgola < 0 ? intera : intera + atteso.mid(virgola);
    QCOMPARE(FormattaNumero(k / 1000.0, m), atteso);
  }
}

void TestZAlgoritmi::shouldFormatLikeThePupilReads_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("zero") << 0.0 << QStringLiteral("0");
  QTest::newRow("one half") << 0.5 << QStringLiteral("0,5");
  QTest::newRow("eleven thousandths") << 0.011 << QStringLiteral("0,011");
  QTest::newRow("127") << 127.0 << QStringLiteral("127");
  QTest::newRow("1234") << 1234.0 << QStringLiteral("1.234");
  QTest::newRow("1234.5") << 1234.5 << QStringLiteral("1.234,5");
  QTest::newRow("20900") << 20900.0 << QStringLiteral("20.900");
  QTest::newRow("one million") << 1e6 << QStringLiteral("1.000.000");
  QTest::newRow("two thousand") << 2000.0 << QStringLiteral("2.000");
  QTest::newRow("1901.9 decimals never grouped") << 1901.9 << QStringLiteral("1.901,9");
  QTest::newRow("1270") << 1270.0 << QStringLiteral("1.270");
  QTest::newRow("12.7") << 12.7 << QStringLiteral("12,7");
  QTest::newRow("190.19") << 190.19 << QStringLiteral("190,19");
  QTest::newRow("two") << 2.0 << QStringLiteral("2");
  QTest::newRow("30.05") << 30.05 << QStringLiteral("30,05");
  QTest::newRow("12345") << 12345.0 << QStringLiteral("12.345");
  QTest::newRow("0.0001") << 0.0001 << QStringLiteral("0,0001");
  QTest::newRow("more than three decimals") << 0.12345 << QStringLiteral("0,12345");
  QTest::newRow("grouped with four decimals") << 1234.5678 << QStringLiteral("1.234,5678");
  QTest::newRow("largest with a half") << 2147483647.5 << QStringLiteral("2.147.483.647,5");
  QTest::newRow("largest 32-bit") << 2147483647.0 << QStringLiteral("2.147.483.647");
}

void TestZAlgoritmi::shouldFormatLikeThePupilReads() {
  QFETCH(double, x);
  QFETCH(QString, atteso);
  MessaggiRegistrati m;
  QCOMPARE(FormattaNumero(x, m), atteso);
  QVERIFY(m.voci.isEmpty());
}

void TestZAlgoritmi::shouldReportOverflowAndGiveEmptyText_data() {
  QTest::addColumn<double>("x");
  QTest::newRow("2^31") << 2147483648.0;
  QTest::newRow("1e12") << 1e12;
}

void TestZAlgoritmi::shouldReportOverflowAndGiveEmptyText() {
  QFETCH(double, x);
  MessaggiRegistrati m;
  QCOMPARE(FormattaNumero(x, m), QString());
  QCOMPARE(m.voci.size(), 1);
  QCOMPARE(m.voci[0].testo, QStringLiteral("Numero troppo grande!"));
  QCOMPARE(m.voci[0].titolo, QStringLiteral("Errore di overflow"));
  QCOMPARE(m.voci[0].icona, Messaggi::Icona::Critica);
}

void TestZAlgoritmi::shouldReadItalianNumbersWhateverTheLocale_data() {
  QTest::addColumn<QString>("testo");
  QTest::addColumn<bool>("numero");
  QTest::addColumn<double>("valore");
  QTest::newRow("thousands") << QStringLiteral("1.234") << true << 1234.0;
  QTest::newRow("regrouped five digits") << QStringLiteral("1.2345") << true << 12345.0;
  QTest::newRow("comma") << QStringLiteral("12,5") << true << 12.5;
  QTest::newRow("trailing comma") << QStringLiteral("12,") << true << 12.0;
  QTest::newRow("grouped with decimals") << QStringLiteral("1.234,5") << true << 1234.5;
  QTest::newRow("leading zero") << QStringLiteral("02") << true << 2.0;
  QTest::newRow("0,50") << QStringLiteral("0,50") << true << 0.5;
  QTest::newRow("empty") << QString() << false << 0.0;
  QTest::newRow("symbol") << QStringLiteral("  km") << false << 0.0;
  QTest::newRow("comma only") << QStringLiteral(",") << false << 0.0;
  QTest::newRow("two commas") << QStringLiteral("1,2,3") << false << 0.0;
  QTest::newRow("dot among decimals") << QStringLiteral("1,2.3") << false << 0.0;
  QTest::newRow("sign") << QStringLiteral("-5") << false << 0.0;
}

void TestZAlgoritmi::shouldReadItalianNumbersWhateverTheLocale() {
  QFETCH(QString, testo);
  QFETCH(bool, numero);
  QFETCH(double, valore);
  for (const QLocale &l : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Italian, QLocale::Italy)}) {
    QLocale::setDefault(l);
    const auto v = LeggiNumero(testo);
    QCOMPARE(v.has_value(), numero);
    if (numero) QCOMPARE(*v, valore);
  }
  QLocale::setDefault(QLocale::c());
}

void TestZAlgoritmi::equivalentSpellingsGiveOneText() {
  MessaggiRegistrati m;
  const QString a = FormattaNumero(*LeggiNumero(QStringLiteral("2,0")), m);
  const QString b = FormattaNumero(*LeggiNumero(QStringLiteral("02")), m);
  QCOMPARE(a, QStringLiteral("2"));
  QCOMPARE(b, a);
  QCOMPARE(FormattaNumero(*LeggiNumero(QStringLiteral("1919")), m), QStringLiteral("1.919"));
}

QTEST_GUILESS_MAIN(TestZAlgoritmi)
#include "test_zalgoritmi.moc"
