#include "copione.h"
#include "support/doppi.h"
#include "ui/exercise/motoreesercizio.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;
using Fase = MotoreEsercizio::Fase;
using Cornice = MotoreEsercizio::Cornice;

namespace {

// An exercise over the decimal family k, h, da, u with the first operation
// 3 k + 5 h asked in units (3.500).
struct Prova {
  Banco b;
  MotoreEsercizio m{b.stato, b.orologio, b.casuale, b.messaggi};
  explicit Prova(int cosa = 1, int livello = 3) {
    Famiglia(b.stato, livello);
    b.stato.impostazioni.intCosaCalcolare = static_cast<qint16>(cosa);
  }
  void tasti(const QString &t) {
    for (QChar c : t) {
      if (c == u',') m.virgola();
      else if (c == u'C') m.cancella();
      else m.cifra(c.digitValue());
    }
  }
  [[nodiscard]] const Esercizio &e() const { return b.stato.esercizio; }
};

}  // namespace

class TestMotoreEsercizio : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldBuildTheAnswerAsThePupilTypes_data();
  void shouldBuildTheAnswerAsThePupilTypes();
  void shouldJudgeNormalisedAnswers_data();
  void shouldJudgeNormalisedAnswers();
  void shouldCountTimeInWholeSeconds_data();
  void shouldCountTimeInWholeSeconds();
  void shouldMeasureTimeOnTheMonotonicClockWhenTheWallClockSteps_data();
  void shouldMeasureTimeOnTheMonotonicClockWhenTheWallClockSteps();
  void shouldCapOnlyTheShownTotal();
  void shouldStepInAfterTheThirdNo();
  void shouldLogEveryWrongAttemptBeforeTheRightOne();
  void shouldJudgeTheEmptyAnswerWrongAfterNo();
  void shouldEndAfterTheTwentiethAndRestart();
  void shouldIgnoreCommandsThatDoNotBelongToTheState();
  void shouldTypeUpToFiveDigits_data();
  void shouldTypeUpToFiveDigits();
  void shouldJudgeEveryResultRightWhenTyped();
};

void TestMotoreEsercizio::shouldBuildTheAnswerAsThePupilTypes_data() {
  QTest::addColumn<QString>("tasti");
  QTest::addColumn<QString>("mostrato");
  QTest::addColumn<bool>("verifica");
  QTest::newRow("nothing typed") << u""_s << u"?"_s << false;
  QTest::newRow("1234 grouped") << u"1234"_s << u"1.234"_s << true;
  QTest::newRow("12345 read back") << u"12345"_s << u"12.345"_s << true;
  QTest::newRow("sixth digit cut") << u"123456"_s << u"12.345"_s << true;
  QTest::newRow("leading zero vanishes") << u"05"_s << u"5"_s << true;
  QTest::newRow("zero alone") << u"0"_s << u"0"_s << true;
  QTest::newRow("comma first refused") << u","_s << u"?"_s << false;
  QTest::newRow("zero comma five") << u"0,5"_s << u"0,5"_s << true;
  QTest::newRow("second comma ignored") << u"0,5,2"_s << u"0,52"_s << true;
  QTest::newRow("no regroup after comma") << u"12,3456"_s << u"12,345"_s << true;
  QTest::newRow("comma after five digits") << u"12345,"_s << u"12.345"_s << true;
  QTest::newRow("cancel down 12,5") << u"12,5C"_s << u"12,"_s << true;
  QTest::newRow("cancel comma regroups") << u"1234,CC"_s << u"123"_s << true;
  QTest::newRow("cancel to empty") << u"12,5CCCC"_s << u"?"_s << true;
  QTest::newRow("cancel on empty") << u"C"_s << u"?"_s << false;
  QTest::newRow("cancel regroups 1.234") << u"1234C"_s << u"123"_s << true;
}

void TestMotoreEsercizio::shouldBuildTheAnswerAsThePupilTypes() {
  QFETCH(QString, tasti);
  QFETCH(QString, mostrato);
  QFETCH(bool, verifica);
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  p.tasti(tasti);
  QCOMPARE(p.m.schermo().risposta, mostrato);
  QVERIFY(p.e().strRisposta.size() <= 6);
  // "Verifica" is lit by the first answer shown and stays lit after it is cleared.
  QCOMPARE(p.m.schermo().tastierino[MotoreEsercizio::kVerificaT], verifica);
  QVERIFY(!p.m.schermo().tastierino[MotoreEsercizio::kAvantiT]);
}

void TestMotoreEsercizio::shouldJudgeNormalisedAnswers_data() {
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("v1");
  QTest::addColumn<int>("v2");
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("tasti");
  QTest::addColumn<bool>("esatto");
  QTest::addColumn<QString>("coda");
  QTest::newRow("1090 typed whole") << 2 << 1 << 9 << 4 << u"1090"_s << true << u"°1.090"_s;
  QTest::newRow("1,50 for 1,5") << 4 << 1 << 5 << 2 << u"1,50"_s << true << u"°°°1,5"_s;
  QTest::newRow("trailing zero dropped") << 6 << 5 << 9 << 2 << u"0,590"_s << true << u"°°0,59"_s;
  QTest::newRow("12 and a comma for 12") << 4 << 1 << 2 << 3 << u"12,"_s << true << u"°°°°12"_s;
  QTest::newRow("wrong is marked") << 1 << 3 << 5 << 4 << u"35"_s << false << u"°°°°35* "_s;
  QTest::newRow("empty is wrong") << 1 << 3 << 5 << 4 << u""_s << false << u"°°°°°°* "_s;
}

void TestMotoreEsercizio::shouldJudgeNormalisedAnswers() {
  QFETCH(int, caso);
  QFETCH(int, v1);
  QFETCH(int, v2);
  QFETCH(int, slot);
  QFETCH(QString, tasti);
  QFETCH(bool, esatto);
  QFETCH(QString, coda);
  // The pupil's answer is read the Italian way on any system.
  const QLocale prima;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const auto ripristina = qScopeGuard([&] { QLocale::setDefault(prima); });
  Prova p;
  Operazione4(p.b.casuale, caso, v1, v2, slot);
  p.m.nuovoEsercizio();
  p.tasti(tasti);
  p.m.verificaRisposta();
  QCOMPARE(p.m.schermo().esito, esatto ? u"Esatto"_s : u"Errato"_s);
  QCOMPARE(p.e().intEsatte, esatto ? 1 : 0);
  QCOMPARE(p.m.fase(), esatto ? Fase::Giudicata : Fase::Aiuto);
  QCOMPARE(p.m.schermo().croce, !esatto);
  QVERIFY2(p.e().strRigheEsercizio[1].endsWith(u"r. "_s + coda), qPrintable(p.e().strRigheEsercizio[1]));
}

void TestMotoreEsercizio::shouldMeasureTimeOnTheMonotonicClockWhenTheWallClockSteps_data() {
  QTest::addColumn<double>("salto");
  QTest::newRow("set back an hour") << -3600.0;
  QTest::newRow("set ahead a day") << 86400.0;
  QTest::newRow("set back past midnight") << -36001.0;
}

void TestMotoreEsercizio::shouldMeasureTimeOnTheMonotonicClockWhenTheWallClockSteps() {
  QFETCH(double, salto);
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.b.orologio.secondi = 36000;
  p.b.orologio.monotoni = 500.0;
  p.m.nuovoEsercizio();
  p.tasti(u"3500"_s);
  p.b.orologio.secondi = std::fmod(36000 + 86400 + salto + 4.6, 86400.0);
  p.b.orologio.monotoni = 504.6;
  p.m.verificaRisposta();
  QCOMPARE(p.e().varTempoOperazione, 4.0);
  QCOMPARE(p.e().varTempoTotale, 4.0);
}

void TestMotoreEsercizio::shouldCountTimeInWholeSeconds_data() {
  QTest::addColumn<double>("inizio");
  QTest::addColumn<double>("fine");
  QTest::addColumn<double>("secondi");
  QTest::addColumn<QString>("mostrato");
  QTest::newRow("2.9 s") << 36000.0 << 36002.9 << 2.0 << u"2"_s;
  QTest::newRow("under a second") << 100.0 << 100.99 << 0.0 << u"0"_s;
  QTest::newRow("99 shown as is") << 0.0 << 99.5 << 99.0 << u"99"_s;
  QTest::newRow("150 s capped on the label") << 500.0 << 650.0 << 150.0 << u"99"_s;
  QTest::newRow("across midnight") << 86399.5 << 1.7 << 2.0 << u"2"_s;
}

void TestMotoreEsercizio::shouldCountTimeInWholeSeconds() {
  QFETCH(double, inizio);
  QFETCH(double, fine);
  QFETCH(double, secondi);
  QFETCH(QString, mostrato);
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.b.orologio.secondi = inizio;
  p.m.nuovoEsercizio();
  p.tasti(u"3500"_s);
  p.b.orologio.secondi = fine;
  p.m.verificaRisposta();
  QCOMPARE(p.e().varTempoOperazione, secondi);
  QCOMPARE(p.e().varTempoTotale, secondi);
  QCOMPARE(p.m.schermo().tempoOperazione, mostrato);
}

void TestMotoreEsercizio::shouldCapOnlyTheShownTotal() {
  Prova p;
  p.b.orologio.secondi = 1000;
  for (int i = 0; i < 3; ++i) Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  for (int i = 0; i < 3; ++i) {
    p.tasti(u"3500"_s);
    p.b.orologio.secondi += 400;
    p.m.verificaRisposta();
    if (i < 2) p.m.nuovaOperazione();
  }
  QCOMPARE(p.e().varTempoTotale, 1200.0);
  QCOMPARE(p.m.schermo().tempoTotale, u"999"_s);
  QCOMPARE(p.m.schermo().tempoOperazione, u"99"_s);
}

void TestMotoreEsercizio::shouldStepInAfterTheThirdNo() {
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(p.m.fase(), Fase::Inserimento);
    p.tasti(u"7"_s);
    p.m.verificaRisposta();
    QCOMPARE(p.m.schermo().cornice, Cornice::Aiuto);
    p.m.riprova();
  }
  QCOMPARE(p.m.fase(), Fase::Intervento);
  QCOMPARE(p.m.schermo().cornice, Cornice::Intervento);
  QCOMPARE(p.e().intTentativi, 0);
  p.b.orologio.secondi += 12.5;
  p.m.intervieni();
  QCOMPARE(p.m.schermo().correzione, u"3.500"_s);
  QCOMPARE(p.m.schermo().risposta, u"7"_s);  // still crossed out beside the correction
  QVERIFY(p.m.schermo().croce);
  QCOMPARE(p.e().intErrate, 1);
  QCOMPARE(p.e().intEsatte, 0);
  QCOMPARE(p.m.schermo().errate, u"1"_s);
  QCOMPARE(p.m.schermo().operazione, u"1"_s);
  QCOMPARE(p.e().strRigheEsercizio[1],
           u" 3  k +  5  h = ...  u  r. °°°°°7* °°°°°7* °°°°°7*   3.500 sec. 12"_s);
  const auto &t = p.m.schermo().tastierino;
  for (int i = 0; i < MotoreEsercizio::kPulsantiTastierino; ++i) QCOMPARE(t[static_cast<size_t>(i)], i >= 13);
}

void TestMotoreEsercizio::shouldLogEveryWrongAttemptBeforeTheRightOne() {
  Prova p;
  Operazione4(p.b.casuale, 5, 4, 6, 4);  // 4 h + 6 u = 406 u
  p.m.nuovoEsercizio();
  for (const QString &t : {u"46"_s, u"4,06"_s}) {
    p.tasti(t);
    p.m.verificaRisposta();
    p.m.riprova();
    QCOMPARE(p.m.schermo().risposta, u"?"_s);
    QVERIFY(p.m.schermo().tastierino[MotoreEsercizio::kVerificaT]);
  }
  p.tasti(u"406"_s);
  p.m.verificaRisposta();
  QCOMPARE(p.e().strRigheEsercizio[1], u" 4  h +  6  u = ...  u  r. °°°°46* °°4,06* °°°406"_s);
  QCOMPARE(p.e().intEsatte, 1);
  QCOMPARE(p.e().intErrate, 0);
  QCOMPARE(p.m.schermo().esatte, u"1"_s);
  QCOMPARE(p.m.schermo().errate, QString());
}

void TestMotoreEsercizio::shouldJudgeTheEmptyAnswerWrongAfterNo() {
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  p.tasti(u"9"_s);
  p.m.verificaRisposta();
  p.m.riprova();
  p.m.verificaRisposta();  // "Verifica" stayed enabled over an empty answer
  QCOMPARE(p.m.schermo().esito, u"Errato"_s);
  QVERIFY(p.e().strRigheEsercizio[1].endsWith(u"°°°°°9* °°°°°°* "_s));
}

void TestMotoreEsercizio::shouldEndAfterTheTwentiethAndRestart() {
  Prova p;
  for (int i = 0; i < 21; ++i) Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  for (int i = 1; i <= 20; ++i) {
    QCOMPARE(p.e().intOperazione, i);
    p.tasti(u"3500"_s);
    p.m.verificaRisposta();
    if (i < 20) p.m.nuovaOperazione();
  }
  QCOMPARE(p.m.fase(), Fase::Finito);
  QCOMPARE(p.m.schermo().cornice, Cornice::Avviso);
  p.m.nuovaOperazione();  // nothing leads past the twentieth but a new exercise
  QCOMPARE(p.e().intOperazione, 20);
  QCOMPARE(p.e().intEsatte, 20);
  QVERIFY(!p.e().strRigheEsercizio[20].isEmpty());
  p.m.nuovoEsercizio();
  QCOMPARE(p.e().intOperazione, 1);
  QCOMPARE(p.e().intEsatte, 0);
  QCOMPARE(p.e().varTempoTotale, 0.0);
  QVERIFY(p.e().strRigheEsercizio[2].isEmpty());
  QVERIFY(p.e().strRigheEsercizio[20].isEmpty());
  QCOMPARE(p.m.schermo().esatte, QString());
  QCOMPARE(p.m.schermo().tempoTotale, QString());
  QCOMPARE(p.m.schermo().cornice, Cornice::Tastierino);
  QVERIFY(!p.b.casuale.esaurito());
}

void TestMotoreEsercizio::shouldIgnoreCommandsThatDoNotBelongToTheState() {
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  p.m.riprova();
  p.m.intervieni();
  QCOMPARE(p.e().intErrate, 0);
  QCOMPARE(p.m.fase(), Fase::Inserimento);
  p.tasti(u"3500"_s);
  p.m.verificaRisposta();
  p.m.verificaRisposta();  // a second judgement of the closed operation counts nothing
  p.m.cifra(7);
  QCOMPARE(p.e().intEsatte, 1);
  QCOMPARE(p.m.schermo().risposta, u"3.500"_s);
  p.m.sceltaSimbolo(1);  // no symbol in the number view
  QCOMPARE(p.e().strRisposta, u"3.500"_s);
}

void TestMotoreEsercizio::shouldTypeUpToFiveDigits_data() {
  QTest::addColumn<QString>("tasti");
  QTest::addColumn<QString>("mostrato");
  QTest::newRow("seven characters") << u"1801,5"_s << u"1.801,5"_s;
  QTest::newRow("sixth digit after the comma") << u"1801,56"_s << u"1.801,5"_s;
  QTest::newRow("whole digits step by step") << u"12345"_s << u"12.345"_s;
  QTest::newRow("sixth whole digit") << u"123456"_s << u"12.345"_s;
  QTest::newRow("comma after five whole digits") << u"12345,6"_s << u"12.345"_s;
  QTest::newRow("comma after four") << u"1234,"_s << u"1.234,"_s;
  QTest::newRow("three decimals below one") << u"0,011"_s << u"0,011"_s;
  QTest::newRow("zeros count as digits") << u"0,00019"_s << u"0,0001"_s;
  QTest::newRow("leading zeros do not") << u"0001801,5"_s << u"1.801,5"_s;
  QTest::newRow("second comma ignored") << u"1,8,015"_s << u"1,8015"_s;
  QTest::newRow("cancel from seven") << u"1801,5C"_s << u"1.801,"_s;
  QTest::newRow("cancel then retype") << u"1801,5CC9"_s << u"18.019"_s;
  QTest::newRow("cancel frees a digit") << u"12345C6"_s << u"12.346"_s;
}

void TestMotoreEsercizio::shouldTypeUpToFiveDigits() {
  QFETCH(QString, tasti);
  QFETCH(QString, mostrato);
  Prova p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.m.nuovoEsercizio();
  p.tasti(tasti);
  QCOMPARE(p.m.schermo().risposta, mostrato);
  QCOMPARE(p.e().strRisposta, mostrato);
}

// Every operation the generator can make, in every family: its result typed on
// the keypad (digits and comma; the thousands points come by themselves) is
// judged right. Two-digit values include every one-digit operation.
void TestMotoreEsercizio::shouldJudgeEveryResultRightWhenTyped() {
  const QLocale prima;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const auto ripristina = qScopeGuard([&] { QLocale::setDefault(prima); });
  int provate = 0, sette = 0;
  for (int livello = 1; livello <= 12; ++livello) {
    Prova p(1, livello);
    p.b.stato.impostazioni.intOrdineSimboli = 3;
    p.b.stato.impostazioni.intValoreMassimo = 19;
    const bool quattro = p.b.stato.famiglia.intNumeroUnita == 4;
    for (int caso = 1; caso <= 12; ++caso) {
      if (!quattro && (caso < 4 || (caso > 6 && caso < 10))) continue;
      for (int v1 = 1; v1 <= 19; ++v1) {
        for (int v2 = 1; v2 <= 19; ++v2) {
          if (v1 == 10 || v2 == 10) continue;
          for (int slot = quattro ? 1 : 2; slot <= 4; ++slot) {
            OperazioneQualsiasi(p.b.casuale, quattro, caso, v1, v2, slot);
            p.m.nuovoEsercizio();
            const Operazione &op = p.b.stato.operazione;
            QVERIFY(op.intCaso == caso && op.lngValore1 == v1 && op.lngValore2 == v2 &&
                    op.intUnitaRichiesta == slot);
            const QString risultato = op.strRisultato;
            QString tasti = risultato;
            tasti.remove(u'.');
            p.tasti(tasti);
            QVERIFY2(p.m.schermo().risposta == risultato,
                     qPrintable(u"typed %1, shown %2"_s.arg(tasti, p.m.schermo().risposta)));
            p.m.verificaRisposta();
            QVERIFY2(p.m.schermo().esito == u"Esatto"_s,
                     qPrintable(u"family %1 case %2: %3 + %4 in slot %5 = %6 judged wrong"_s.arg(livello)
                                    .arg(caso)
                                    .arg(v1)
                                    .arg(v2)
                                    .arg(slot)
                                    .arg(risultato)));
            ++provate;
            if (risultato.size() == 7) ++sette;
          }
        }
      }
    }
    QVERIFY(!p.b.casuale.esaurito());
  }
  // Eight families of four units and four of three, 18 x 18 values each.
  QCOMPARE(provate, 8 * 12 * 324 * 4 + 4 * 6 * 324 * 3);
  QCOMPARE(sette, 2592);
}

QTEST_GUILESS_MAIN(TestMotoreEsercizio)
#include "test_motoreesercizio.moc"
