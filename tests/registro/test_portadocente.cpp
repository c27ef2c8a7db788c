#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include "registro/portadocente.h"
#include "registro/registro.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {
// Another program's plain connection to the file.
struct Altra {
  explicit Altra(const QString &file) {
    QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"altra"_s);
    d.setDatabaseName(file);
    d.open();
  }
  ~Altra() {
    QSqlDatabase::database(u"altra"_s).close();
    QSqlDatabase::removeDatabase(u"altra"_s);
  }
  bool esegui(const QString &sql, const QVariantList &valori = {}) {
    QSqlQuery q(QSqlDatabase::database(u"altra"_s));
    q.prepare(sql);
    for (const QVariant &v : valori) q.addBindValue(v);
    return q.exec();
  }
};
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
  void shouldOpenWithAPbkdf2DigestMadeElsewhere_data();
  void shouldOpenWithAPbkdf2DigestMadeElsewhere();
  void shouldCheckNoPinWhileTheTryCannotBeCounted();
  void shouldTakeALastWrongTryInTheFutureAsNow();
  void shouldKeepThePinOfARegisterSetAside_data();
  void shouldKeepThePinOfARegisterSetAside();

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
// Digests of PBKDF2-HMAC-SHA256 published with the algorithm ("password",
// "salt"): a PIN kept by any correct implementation opens the door.
void TestPortaDocente::shouldOpenWithAPbkdf2DigestMadeElsewhere_data() {
  QTest::addColumn<int>("iterazioni");
  QTest::addColumn<QByteArray>("impronta");
  QTest::newRow("1 round") << 1 << QByteArray::fromHex("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
  QTest::newRow("4096 rounds") << 4096
                               << QByteArray::fromHex("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
}

void TestPortaDocente::shouldOpenWithAPbkdf2DigestMadeElsewhere() {
  QFETCH(int, iterazioni);
  QFETCH(QByteArray, impronta);
  RegistroProva p;
  Registro r(p.file);
  QVERIFY(r.apri());
  {
    Altra a(p.file);
    QVERIFY(a.esegui(u"INSERT INTO porta (id, sale, impronta, iterazioni) VALUES (1, ?, ?, ?)"_s,
                     {QByteArray("salt"), impronta, iterazioni}));
  }
  PortaDocente porta(r, orologio(), kRound);
  QCOMPARE(porta.prova(u"passwore"_s).risultato, PortaDocente::Risultato::Sbagliato);
  QCOMPARE(porta.prova(u"password"_s).risultato, PortaDocente::Risultato::Aperta);
}

void TestPortaDocente::shouldCheckNoPinWhileTheTryCannotBeCounted() {
  RegistroProva p;
  Registro r(p.file);
  r.impostaAttesa(20);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(porta.scegliPin(u"2468"_s));
  {
    Altra a(p.file);
    QVERIFY(a.esegui(u"BEGIN IMMEDIATE"_s));  // the register can't be written meanwhile
    const auto giusto = porta.prova(u"2468"_s);
    QCOMPARE(giusto.risultato, PortaDocente::Risultato::Guasto);
    QVERIFY(giusto.messaggio.contains(u"non può essere controllato"_s));
    QVERIFY(a.esegui(u"ROLLBACK"_s));
  }
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
}

void TestPortaDocente::shouldTakeALastWrongTryInTheFutureAsNow() {
  RegistroProva p;
  Registro r(p.file);
  PortaDocente porta(r, orologio(), kRound);
  QVERIFY(porta.scegliPin(u"2468"_s));
  {
    Altra a(p.file);
    QVERIFY(a.esegui(u"UPDATE porta SET errori = 5, ultimo_errore = ?"_s, {m_adesso + 10LL * 365 * 86'400'000}));
  }
  QCOMPARE(porta.attesa(), 30);  // not ten years
  m_adesso += 30'000;
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
}

void TestPortaDocente::shouldKeepThePinOfARegisterSetAside_data() {
  QTest::addColumn<bool>("leggibile");
  QTest::newRow("the door readable in the damaged file") << true;
  QTest::newRow("nothing readable") << false;
}

void TestPortaDocente::shouldKeepThePinOfARegisterSetAside() {
  QFETCH(bool, leggibile);
  RegistroProva p;
  {
    Registro r(p.file);
    QVERIFY(r.nuovaClasse(u"3ª A"_s));
    QVERIFY(PortaDocente(r, orologio(), kRound).scegliPin(u"2468"_s));
    Altra a(p.file);
    QVERIFY(a.esegui(u"PRAGMA wal_checkpoint(TRUNCATE)"_s));
  }
  int pagina = 0;
  {
    Altra a(p.file);
    QSqlQuery q(QSqlDatabase::database(u"altra"_s));
    QVERIFY(q.exec(u"SELECT rootpage FROM sqlite_schema WHERE name = 'classi'"_s) && q.next());
    pagina = q.value(0).toInt();
  }
  QFile f(p.file);
  QVERIFY(f.open(QIODevice::ReadWrite));
  // The classes' page overwritten, or the whole file.
  if (leggibile) f.seek((pagina - 1) * 4096);
  f.write(QByteArray(leggibile ? 4096 : int(f.size()), '\x5a'));
  f.close();
  Registro r(p.file);
  (void)r.classi();  // meets the damage
  QVERIFY(r.pronto());
  QVERIFY(!r.fileMessoDaParte().isEmpty());
  PortaDocente porta(r, orologio(), kRound);
  if (leggibile) {
    QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  } else {
    // Nobody chooses a PIN in the teacher's place.
    QVERIFY(porta.pinSmarrito());
    const Esito e = porta.scegliPin(u"1111"_s);
    QVERIFY(!e);
    QVERIFY(e.messaggio.contains(u"amministratore"_s));
    QCOMPARE(porta.prova(u"1111"_s).risultato, PortaDocente::Risultato::Guasto);
  }
}

#include "test_portadocente.moc"
