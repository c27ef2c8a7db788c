#include "didattica/frase.h"
#include "didattica/nomiunita.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/messaggi.h"

#include <QRegularExpression>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

class TestFrase : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldReadNumbersAsItaliansDo_data();
  void shouldReadNumbersAsItaliansDo();
  void shouldSayTheOperation_data();
  void shouldSayTheOperation();
  void shouldSayEveryOperationOfEveryFamilyInWords_data();
  void shouldSayEveryOperationOfEveryFamilyInWords();
  void shouldSayNothingForWhatIsNoOperation();
};

void TestFrase::shouldReadNumbersAsItaliansDo_data() {
  QTest::addColumn<QString>("numero");
  QTest::addColumn<QString>("parole");
  const std::pair<const char *, const char16_t *> righe[] = {
      {"0", u"zero"}, {"1", u"uno"}, {"8", u"otto"}, {"10", u"dieci"}, {"17", u"diciassette"},
      {"21", u"ventuno"}, {"23", u"ventitré"}, {"28", u"ventotto"}, {"90", u"novanta"}, {"99", u"novantanove"},
      {"100", u"cento"}, {"101", u"centouno"}, {"108", u"centotto"}, {"180", u"centottanta"},
      {"183", u"centottantatré"}, {"203", u"duecentotré"}, {"1.000", u"mille"}, {"1.001", u"milleuno"},
      {"1.270", u"milleduecentosettanta"}, {"2.003", u"duemilatré"}, {"3.000", u"tremila"},
      {"23.000", u"ventitremila"}, {"19.019", u"diciannovemiladiciannove"},
      {"20.900", u"ventimilanovecento"}, {"0,011", u"zero virgola zero undici"},
      {"90,09", u"novanta virgola zero nove"}, {"1,5", u"uno virgola cinque"},
      {"0,18", u"zero virgola diciotto"}, {"600,7", u"seicento virgola sette"},
      {"1,002", u"uno virgola zero zero due"}, {"0,3", u"zero virgola tre"}, {"", u""}, {"abc", u""},
      {"1,2,3", u""}, {"-5", u""}, {"1 2", u""}};
  for (auto [n, p] : righe) QTest::newRow(*n ? n : "empty") << QString::fromLatin1(n) << QString::fromUtf16(p);
}

void TestFrase::shouldReadNumbersAsItaliansDo() {
  QFETCH(QString, numero);
  QFETCH(QString, parole);
  QCOMPARE(NumeroInParole(numero), parole);
}

void TestFrase::shouldSayTheOperation_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("v1");
  QTest::addColumn<int>("v2");
  QTest::addColumn<int>("chiesta");
  QTest::addColumn<QString>("risultato");
  QTest::addColumn<QString>("frase");
  QTest::newRow("hg + dag in g") << 8 << 4 << 12 << 7 << 4 << QString()
                                 << u"dodici ettogrammi più sette decagrammi: quanti grammi?"_s;
  QTest::newRow("h + da in u") << 3 << 4 << 12 << 7 << 4 << QString()
                               << u"dodici centinaia più sette decine: quante unità?"_s;
  QTest::newRow("symbol view") << 3 << 4 << 12 << 7 << 4 << u"1.270"_s
                               << u"dodici centinaia più sette decine fanno milleduecentosettanta: quale simbolo scegli?"_s;
  QTest::newRow("one metre, one decimetre") << 4 << 1 << 1 << 1 << 3 << QString()
                                            << u"un metro più un decimetro: quanti centimetri?"_s;
  QTest::newRow("one hundred, one thousand") << 3 << 7 << 1 << 1 << 3 << QString()
                                             << u"un centinaio più un migliaio: quante decine?"_s;
  QTest::newRow("one ten, one unit") << 2 << 6 << 1 << 1 << 2 << QString()
                                     << u"una decina più un'unità: quante centinaia?"_s;
  QTest::newRow("litres and millilitres") << 11 << 3 << 5 << 18 << 1 << QString()
                                          << u"cinque litri più diciotto millilitri: quanti litri?"_s;
  QTest::newRow("a tonne") << 10 << 1 << 1 << 13 << 4 << QString()
                           << u"una tonnellata più tredici quintali: quanti chilogrammi?"_s;
  QTest::newRow("asked in tonnes") << 10 << 2 << 2 << 3 << 1 << QString()
                                   << u"due tonnellate più tre miriagrammi: quante tonnellate?"_s;
  QTest::newRow("place value with decimals") << 1 << 2 << 3 << 11 << 2 << QString()
                                             << u"tre unità più undici centesimi: quanti decimi?"_s;
  QTest::newRow("thousandths, symbol view") << 1 << 12 << 1 << 1 << 1 << u"0,011"_s
                                            << u"un millesimo più un centesimo fanno zero virgola zero undici: quale simbolo scegli?"_s;
  QTest::newRow("grams and kilograms, symbol view")
      << 9 << 9 << 19 << 18 << 4 << u"18.019"_s
      << u"diciannove grammi più diciotto chilogrammi fanno diciottomiladiciannove: quale simbolo scegli?"_s;
  QTest::newRow("decametres, three units") << 5 << 5 << 9 << 1 << 2 << QString()
                                           << u"nove ettometri più un metro: quanti ettometri?"_s;
}

void TestFrase::shouldSayTheOperation() {
  QFETCH(int, livello);
  QFETCH(int, caso);
  QFETCH(int, v1);
  QFETCH(int, v2);
  QFETCH(int, chiesta);
  QFETCH(QString, risultato);
  QFETCH(QString, frase);
  Operazione op;
  op.intCaso = static_cast<qint16>(caso);
  op.lngValore1 = v1;
  op.lngValore2 = v2;
  op.intUnitaRichiesta = static_cast<qint16>(chiesta);
  QCOMPARE(FraseDaLeggere(op, livello, risultato), frase);
}

// Every family, both sizes of the values (1..9 and 11..19), every case the
// family has, every unit it can ask, in both views: the sentence is all words
// (no digit, no symbol left), names both quantities with their units and asks
// in the unit asked with the gender that unit has.
void TestFrase::shouldSayEveryOperationOfEveryFamilyInWords_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("cifre");
  for (int n = 1; n <= kFamiglie; ++n)
    for (int c = 1; c <= 2; ++c) QTest::addRow("family %d, %d digit(s)", n, c) << n << c;
}

void TestFrase::shouldSayEveryOperationOfEveryFamilyInWords() {
  QFETCH(int, livello);
  QFETCH(int, cifre);
  const FamigliaUnita f = *TabellaFamiglia(livello);
  MessaggiRegistrati messaggi;
  const QRegularExpression nonParola(u"[0-9.,]|\\s\\s"_s);
  int frasi = 0;
  for (int caso = 1; caso <= 12; ++caso) {
    const CoppiaSlot s = SlotDelCaso(caso);
    if (s.primo < f.intPrimaScelta || s.secondo < f.intPrimaScelta) continue;
    for (int v : cifre == 1 ? QList<int>{1, 9} : QList<int>{11, 19}) {
      for (int chiesta = f.intPrimaScelta; chiesta <= 4; ++chiesta) {
        Operazione op;
        op.intCaso = static_cast<qint16>(caso);
        op.lngValore1 = v;
        op.lngValore2 = cifre == 1 ? 1 : 13;
        op.intUnitaRichiesta = static_cast<qint16>(chiesta);
        const double somma = op.lngValore1 * std::pow(10.0, chiesta - s.primo) +
                             op.lngValore2 * std::pow(10.0, chiesta - s.secondo);
        const QString numero = FormattaNumero(somma, messaggi);
        const QString domanda = FraseDaLeggere(op, livello);
        const QString vista = FraseDaLeggere(op, livello, numero);
        const QString riga = u"%1 / %2"_s.arg(domanda, vista);
        QVERIFY2(!domanda.isEmpty() && !vista.isEmpty(), qPrintable(riga));
        QVERIFY2(!domanda.contains(nonParola) && !vista.contains(nonParola), qPrintable(riga));
        const QString primo = QuantitaLetta(op.lngValore1, livello, s.primo);
        const QString secondo = QuantitaLetta(op.lngValore2, livello, s.secondo);
        QVERIFY2(domanda.startsWith(primo + u" più "_s + secondo + u": quant"_s), qPrintable(riga));
        const QString plurale = NomeUnita(livello, chiesta, true);
        const bool femminile = plurale == u"unità"_s || plurale == u"decine"_s || plurale == u"centinaia"_s ||
                               plurale == u"migliaia"_s || plurale == u"tonnellate"_s;
        QVERIFY2(domanda.endsWith((femminile ? u"quante "_s : u"quanti "_s) + plurale + u'?'), qPrintable(riga));
        QVERIFY2(vista.endsWith(u" fanno "_s + NumeroInParole(numero) + u": quale simbolo scegli?"_s), qPrintable(riga));
        // One is said with the article and the singular, any other value with its words and the plural.
        QVERIFY2(v == 1 ? primo.startsWith(u"un"_s) : primo.startsWith(NumeroInParole(QString::number(v)) + u' '),
                 qPrintable(riga));
        QVERIFY2(primo.endsWith(u' ' + NomeUnita(livello, s.primo, v != 1)) ||
                     primo.endsWith(u'\'' + NomeUnita(livello, s.primo, false)),
                 qPrintable(riga));
        ++frasi;
      }
    }
  }
  QCOMPARE(messaggi.voci.size(), 0);
  QCOMPARE(frasi, f.intNumeroScelte == 4 ? 12 * 2 * 4 : 6 * 2 * 3);
}

void TestFrase::shouldSayNothingForWhatIsNoOperation() {
  Operazione op;
  op.intCaso = 4;
  op.lngValore1 = 2;
  op.lngValore2 = 3;
  op.intUnitaRichiesta = 4;
  QVERIFY(!FraseDaLeggere(op, 3).isEmpty());
  QCOMPARE(FraseDaLeggere(op, 0), QString());
  QCOMPARE(FraseDaLeggere(op, 13), QString());
  QCOMPARE(FraseDaLeggere(op, 3, u"non un numero"_s), QString());
  op.intCaso = 1;  // slot 1 of a three-unit family has no unit
  QCOMPARE(FraseDaLeggere(op, 2), QString());
  op.intCaso = 0;
  QCOMPARE(FraseDaLeggere(op, 3), QString());
  op.intCaso = 4;
  op.intUnitaRichiesta = 5;
  QCOMPARE(FraseDaLeggere(op, 3), QString());
}

QTEST_GUILESS_MAIN(TestFrase)
#include "test_frase.moc"
