#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include "registro/portadocente.h"
#include "registro/registro.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {
// Few rounds: the tests are about the door, not the cost of the digest.
constexpr int kRound = 1000;
}  // namespace

class TestPortaDocente : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldOpenOnlyWithTheRightPin();
  void shouldRefuseAShortPin_data();
  void shouldRefuseAShortPin();
  void shouldNeverKeepThePinAsText();
  void shouldWaitLongerAtEachWrongPin_data();
  void shouldWaitLongerAtEachWrongPin();
  void shouldMakeTheDoorWaitAfterFiveWrongPins();
  void shouldKeepTheWrongPinsAcrossRestarts();
  void shouldChangeThePinOnlyWithTheOldOne();
  void shouldAskForANewPinAfterTheAdministratorErasesIt();

 private:
  qint64 m_adesso = 1'800'000'000'000;
  PortaDocente::Adesso orologio() {
    return [this] { return m_adesso; };
  }
};

void TestPortaDocente::shouldOpenOnlyWithTheRightPin() {
  RegistroProva p;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(!porta.haPin());
  QCOMPARE(porta.prova(u"1234"_s).risultato, PortaDocente::Risultato::Guasto);
  QVERIFY(porta.scegliPin(u"2468"_s));
  QVERIFY(porta.haPin());
  QVERIFY(!porta.scegliPin(u"1111"_s));  // chosen once only
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  for (const QString &sbagliato : {u"2469"_s, u"246"_s, u"24680"_s, u" 2468"_s}) {
    const auto p = porta.prova(sbagliato);
    QCOMPARE(p.risultato, PortaDocente::Risultato::Sbagliato);
    QVERIFY(p.messaggio.contains(u"sbagliato"_s));
  }
  // A right one breaks the run of wrong ones: no wait after two more.
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  QCOMPARE(porta.prova(QString()).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.prova(u"1111"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.attesa(), 0);
}

void TestPortaDocente::shouldRefuseAShortPin_data() {
  QTest::addColumn<QString>("pin");
  QTest::newRow("empty") << QString();
  QTest::newRow("three digits") << u"123"_s;
}

void TestPortaDocente::shouldRefuseAShortPin() {
  QFETCH(QString, pin);
  RegistroProva p;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  const Esito e = porta.scegliPin(pin);
  QVERIFY(!e);
  QVERIFY(e.messaggio.contains(u"almeno 4"_s));
  QVERIFY(!porta.haPin());
}

void TestPortaDocente::shouldNeverKeepThePinAsText() {
  RegistroProva p;
  QByteArray impronte[2];
  for (QByteArray &impronta : impronte) {
    Registro r(p.file);
    QVERIFY(r.apri());
    QVERIFY(QSqlQuery(r.db()).exec(u"DELETE FROM porta"_s));
    PortaDocente porta(r, orologio(), kRound);
    QVERIFY(porta.scegliPin(u"97531"_s));
    QVERIFY(!Contenuto(p.file).contains("97531"));
    QVERIFY(!Contenuto(p.file + u"-wal"_s).contains("97531"));
    QSqlQuery q(r.db());
    QVERIFY(q.exec(u"SELECT sale, impronta, iterazioni FROM porta"_s) && q.next());
    QCOMPARE(q.value(0).toByteArray().size(), 16);
    QCOMPARE(q.value(1).toByteArray().size(), 32);
    QCOMPARE(q.value(2).toInt(), kRound);
    impronta = q.value(1).toByteArray();
  }
  QVERIFY(impronte[0] != impronte[1]);  // salted: the same PIN, another digest
}

void TestPortaDocente::shouldWaitLongerAtEachWrongPin_data() {
  QTest::addColumn<int>("errori");
  QTest::addColumn<qint64>("secondi");
  QTest::newRow("none") << 0 << qint64(0);
  QTest::newRow("four") << 4 << qint64(0);
  QTest::newRow("five") << 5 << qint64(30);
  QTest::newRow("six") << 6 << qint64(60);
  QTest::newRow("eight") << 8 << qint64(240);
  QTest::newRow("ten: fifteen minutes at most") << 10 << qint64(900);
  QTest::newRow("a thousand") << 1000 << qint64(900);
}

void TestPortaDocente::shouldWaitLongerAtEachWrongPin() {
  QFETCH(int, errori);
  QFETCH(qint64, secondi);
  QCOMPARE(PortaDocente::AttesaDopo(errori), secondi);
}

void TestPortaDocente::shouldMakeTheDoorWaitAfterFiveWrongPins() {
  RegistroProva p;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(porta.scegliPin(u"2468"_s));
  for (int i = 1; i <= 4; ++i) QCOMPARE(porta.prova(u"0000"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.attesa(), 0);
  const auto quinta = porta.prova(u"0000"_s);
  QCOMPARE(quinta.risultato, PortaDocente::Risultato::Attendi);
  QCOMPARE(quinta.attesa, 30);
  QVERIFY(quinta.messaggio.contains(u"30 secondi"_s));
  // While it waits not even the right PIN opens, and tries don't count.
  m_adesso += 29'000;
  const auto presto = porta.prova(u"2468"_s);
  QCOMPARE(presto.risultato, PortaDocente::Risultato::Attendi);
  QCOMPARE(presto.attesa, 1);
  QCOMPARE(porta.prova(u"0000"_s).attesa, 1);
  // A clock set back doesn't shorten the wait.
  m_adesso -= 3'600'000;
  QCOMPARE(porta.attesa(), 30);
  m_adesso += 3'600'000 + 1'000;
  QCOMPARE(porta.attesa(), 0);
  // A sixth wrong one doubles it.
  const auto sesta = porta.prova(u"0000"_s);
  QCOMPARE(sesta.risultato, PortaDocente::Risultato::Attendi);
  QCOMPARE(sesta.attesa, 60);
  m_adesso += 60'000;
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  // The right PIN starts the count again.
  for (int i = 1; i <= 4; ++i) QCOMPARE(porta.prova(u"0000"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.attesa(), 0);
}

void TestPortaDocente::shouldKeepTheWrongPinsAcrossRestarts() {
  RegistroProva p;
  {
    Registro r(p.file);
    PortaDocente porta(r, orologio(), kRound);
    QVERIFY(porta.scegliPin(u"2468"_s));
    for (int i = 1; i <= 5; ++i) porta.prova(u"0000"_s);
  }
  m_adesso += 10'000;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QCOMPARE(porta.attesa(), 20);
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Attendi);
}

void TestPortaDocente::shouldChangeThePinOnlyWithTheOldOne() {
  RegistroProva p;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(porta.scegliPin(u"2468"_s));
  QVERIFY(!porta.cambiaPin(u"1357"_s, u"8888"_s));
  QVERIFY(!porta.cambiaPin(u"2468"_s, u"88"_s));
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  QVERIFY(porta.cambiaPin(u"2468"_s, u"8888"_s));
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.prova(u"8888"_s).risultato, PortaDocente::Risultato::Aperta);
}

void TestPortaDocente::shouldAskForANewPinAfterTheAdministratorErasesIt() {
  RegistroProva p;
  {
    Registro r(p.file);
    PortaDocente porta(r, orologio(), kRound);
    QVERIFY(porta.scegliPin(u"2468"_s));
    for (int i = 1; i <= 7; ++i) porta.prova(u"0000"_s);
    QVERIFY(porta.attesa() > 0);
  }
  // What the README tells the administrator to run.
  const QString sqlite3 = QStandardPaths::findExecutable(u"sqlite3"_s);
  if (sqlite3.isEmpty()) QSKIP("the sqlite3 command is not installed");
  QCOMPARE(QProcess::execute(sqlite3, {p.file, u"DELETE FROM porta;"_s}), 0);
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(!porta.haPin());
  QCOMPARE(porta.attesa(), 0);
  QVERIFY(porta.scegliPin(u"1357"_s));
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.prova(u"1357"_s).risultato, PortaDocente::Risultato::Aperta);
}

QTEST_GUILESS_MAIN(TestPortaDocente)
#include "test_portadocente.moc"
