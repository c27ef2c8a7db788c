#include <QTest>

#include "didattica/sceltasumisura.h"
#include "generation/famiglie.h"
#include "platform/casuale.h"

// The "Su misura" rule over made-up histories: each pupil's sessions are fed
// through the box rule as the register does, then twenty are chosen many times.

namespace {

struct Sessione {
  QList<OperazioneRecente> operazioni;  // with no mistake: right at the first try
};

// The history the register would keep after these sessions (the last one yesterday).
StoriaSuMisura Storia(const QList<Sessione> &sessioni) {
  StoriaSuMisura s;
  QMap<int, Scatola> scatole;
  QMap<int, int> ultima;
  for (int n = 0; n < sessioni.size(); ++n) {
    for (const OperazioneRecente &o : sessioni[n].operazioni) {
      const bool stessa = ultima.contains(o.caso) && ultima[o.caso] == n;
      scatole[o.caso] = PassoScatola(scatole.value(o.caso), stessa, o.sbagli.isEmpty());
      ultima[o.caso] = n;
      s.recenti.append(o);
    }
  }
  for (auto it = scatole.cbegin(); it != scatole.cend(); ++it)
    s.casi.append({it.key(), it.value().scatola, ultima[it.key()]});
  s.sessioneCorrente = static_cast<int>(sessioni.size());
  return s;
}

// A session of every case of the family once, asked in slot 4; `sbagliato` goes wrong with `sbaglio`.
Sessione Giro(const FamigliaUnita &f, int sbagliato = 0, Sbaglio sbaglio = Sbaglio::UnoSoloConvertito) {
  Sessione s;
  for (int c : CasiDellaFamiglia(f))
    s.operazioni.append({c, 4, c == sbagliato ? QList<Sbaglio>{sbaglio} : QList<Sbaglio>{}});
  return s;
}

FamigliaUnita Famiglia(int n) { return *TabellaFamiglia(n); }

}  // namespace

class TestSceltaSuMisura : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldMoveTheBoxAsTheRuleSays_data();
  void shouldMoveTheBoxAsTheRuleSays();
  void shouldAimAtTheCaseThePupilGetsWrong_data();
  void shouldAimAtTheCaseThePupilGetsWrong();
  void shouldGiveAnEvenMixToAPupilWithNothingWrong_data();
  void shouldGiveAnEvenMixToAPupilWithNothingWrong();
  void shouldBringAMasteredCaseBackAtItsInterval_data();
  void shouldBringAMasteredCaseBackAtItsInterval();
  void shouldAimOnlyAtAMistakeThatRepeats();
};

void TestSceltaSuMisura::shouldMoveTheBoxAsTheRuleSays_data() {
  QTest::addColumn<QList<QList<bool>>>("sessioni");  // per session, each answer right at the first try?
  QTest::addColumn<int>("scatola");
  QTest::addColumn<int>("stato");
  QTest::newRow("new") << QList<QList<bool>>{} << 0 << int(StatoCaso::Nuovo);
  QTest::newRow("right once") << QList<QList<bool>>{{true}} << 2 << int(StatoCaso::InEsercizio);
  QTest::newRow("right three times in one session: one step")
      << QList<QList<bool>>{{true, true, true}} << 2 << int(StatoCaso::InEsercizio);
  QTest::newRow("right in two sessions: mastered")
      << QList<QList<bool>>{{true}, {true}} << 3 << int(StatoCaso::Padroneggiato);
  QTest::newRow("wrong after right in the same session")
      << QList<QList<bool>>{{true}, {true, false}} << 1 << int(StatoCaso::InEsercizio);
  QTest::newRow("right after wrong in the same session stays down")
      << QList<QList<bool>>{{false, true}} << 1 << int(StatoCaso::InEsercizio);
  QTest::newRow("mastery lost, then won back in two sessions")
      << QList<QList<bool>>{{true}, {true}, {false}, {true}, {true}} << 3 << int(StatoCaso::Padroneggiato);
  QTest::newRow("at most box five") << QList<QList<bool>>(9, {true}) << 5 << int(StatoCaso::Padroneggiato);
}

void TestSceltaSuMisura::shouldMoveTheBoxAsTheRuleSays() {
  QFETCH(QList<QList<bool>>, sessioni);
  QFETCH(int, scatola);
  QFETCH(int, stato);
  Scatola s;
  for (const QList<bool> &sessione : sessioni)
    for (qsizetype i = 0; i < sessione.size(); ++i) s = PassoScatola(s, i > 0, sessione[i]);
  QCOMPARE(s.scatola, scatola);
  QCOMPARE(int(StatoDellaScatola(s.scatola)), stato);
}

void TestSceltaSuMisura::shouldAimAtTheCaseThePupilGetsWrong_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("sbaglio");
  QTest::newRow("family 3, case 5, second quantity left unconverted")
      << 3 << 5 << int(Sbaglio::UnoSoloConvertito);
  QTest::newRow("family 6, case 9, comma") << 6 << 9 << int(Sbaglio::VirgolaSpostata);
  QTest::newRow("three-unit family 8, case 11, placeholder zero") << 8 << 11 << int(Sbaglio::ZeroSegnaposto);
}

void TestSceltaSuMisura::shouldAimAtTheCaseThePupilGetsWrong() {
  QFETCH(int, famiglia);
  QFETCH(int, caso);
  QFETCH(int, sbaglio);
  const FamigliaUnita f = Famiglia(famiglia);
  const int casi = static_cast<int>(CasiDellaFamiglia(f).size());
  // Ten days: every case right at the first try but one, always wrong the same
  // way, once a day (so once among the last ten: its box alone brings it back).
  const StoriaSuMisura storia = Storia(QList<Sessione>(10, Giro(f, caso, Sbaglio(sbaglio))));
  CasualeSistema casuale(27);
  constexpr int kPiani = 200;
  int volte = 0;
  for (int n = 0; n < kPiani; ++n) {
    const QList<SceltaOperazione> piano = ScegliSuMisura(storia, f, casuale);
    QCOMPARE(piano.size(), 20);
    for (qsizetype i = 0; i < piano.size(); ++i) {
      QVERIFY(CasiDellaFamiglia(f).contains(piano[i].caso));
      QVERIFY(piano[i].richiesta >= f.intPrimaScelta && piano[i].richiesta <= 4);
      if (i > 0) QVERIFY2(piano[i].caso != piano[i - 1].caso, "the same case twice in a row");
      if (piano[i].caso == caso) ++volte;
    }
  }
  // At random it would come 20 / (cases) times a plan: at least twice that.
  const double media = double(volte) / kPiani;
  QVERIFY2(media >= 2.0 * 20 / casi, qPrintable(QString::number(media)));
}

void TestSceltaSuMisura::shouldGiveAnEvenMixToAPupilWithNothingWrong_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("giorni");
  QTest::newRow("no history, family 3") << 3 << 0;
  QTest::newRow("no history, three-unit family 12") << 12 << 0;
  QTest::newRow("one right day, family 4") << 4 << 1;
  QTest::newRow("twelve right days, family 9") << 9 << 12;
}

void TestSceltaSuMisura::shouldGiveAnEvenMixToAPupilWithNothingWrong() {
  QFETCH(int, famiglia);
  QFETCH(int, giorni);
  const FamigliaUnita f = Famiglia(famiglia);
  const QList<int> casi = CasiDellaFamiglia(f);
  const StoriaSuMisura storia = Storia(QList<Sessione>(giorni, Giro(f)));
  QVERIFY(!SbaglioRipetuto(storia.recenti));
  CasualeSistema casuale(5);
  QMap<int, int> volte;
  constexpr int kPiani = 300;
  for (int n = 0; n < kPiani; ++n)
    for (const SceltaOperazione &s : ScegliSuMisura(storia, f, casuale)) ++volte[s.caso];
  const double atteso = 20.0 * kPiani / casi.size();
  for (int c : casi)
    QVERIFY2(std::abs(volte.value(c) - atteso) < 0.15 * atteso,
             qPrintable(QStringLiteral("case %1: %2 against %3").arg(c).arg(volte.value(c)).arg(atteso)));
}

void TestSceltaSuMisura::shouldBringAMasteredCaseBackAtItsInterval_data() {
  QTest::addColumn<int>("scatola");
  QTest::addColumn<int>("trascorse");
  QTest::addColumn<bool>("dovuto");
  QTest::newRow("box 3, one session") << 3 << 1 << false;
  QTest::newRow("box 3, two sessions") << 3 << 2 << true;
  QTest::newRow("box 4, three sessions") << 4 << 3 << false;
  QTest::newRow("box 4, four sessions") << 4 << 4 << true;
  QTest::newRow("box 5, seven sessions") << 5 << 7 << false;
  QTest::newRow("box 5, eight sessions") << 5 << 8 << true;
  QTest::newRow("box 1, the same session: wrong comes back at once") << 1 << 0 << true;
}

void TestSceltaSuMisura::shouldBringAMasteredCaseBackAtItsInterval() {
  QFETCH(int, scatola);
  QFETCH(int, trascorse);
  QFETCH(bool, dovuto);
  // Case 1 in its box; every other case of family 3 not due (box 5, met in this session).
  const FamigliaUnita f = Famiglia(3);
  StoriaSuMisura storia;
  storia.sessioneCorrente = 20;
  for (int c : CasiDellaFamiglia(f))
    storia.casi.append({c, c == 1 ? scatola : 5, c == 1 ? 20 - trascorse : 20});
  CasualeSistema casuale(11);
  int volte = 0;
  for (int n = 0; n < 100; ++n)
    for (const SceltaOperazione &s : ScegliSuMisura(storia, f, casuale)) volte += s.caso == 1;
  // Due: it takes the due share (12 of 20, every other operation at most);
  // not due: only as one of the twelve cases filling in.
  if (dovuto) QVERIFY2(volte >= 900, qPrintable(QString::number(volte)));
  else QVERIFY2(volte <= 300, qPrintable(QString::number(volte)));
}

void TestSceltaSuMisura::shouldAimOnlyAtAMistakeThatRepeats() {
  // One comma slip among the last ten is no pattern; two are.
  QList<OperazioneRecente> recenti(10, {1, 4, {}});
  recenti[3].sbagli = {Sbaglio::VirgolaSpostata};
  recenti[5].sbagli = {Sbaglio::ZeroSegnaposto, Sbaglio::VirgolaSpostata};
  recenti[8].sbagli = {Sbaglio::ZeroSegnaposto};
  recenti[9].sbagli = {Sbaglio::SommaSbagliata};
  // Both repeat twice: the one seen last wins the tie.
  QCOMPARE(SbagliRipetuti(recenti), (QList<Sbaglio>{Sbaglio::ZeroSegnaposto, Sbaglio::VirgolaSpostata}));
  // Older than the last ten: forgotten.
  recenti.append(QList<OperazioneRecente>(9, {2, 4, {}}));
  QCOMPARE(SbaglioRipetuto(recenti), std::nullopt);
}

QTEST_GUILESS_MAIN(TestSceltaSuMisura)
#include "test_sceltasumisura.moc"
