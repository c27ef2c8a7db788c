// The school's register on a real PostgreSQL: the technician's preparation,
// the computers' role held to exactly its grants, TLS required, and ricevi()
// idempotent.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include "registro/schemaserver.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;

namespace {

QSqlDatabase Computer(PostgresPrivato &pg, const QString &nome, const QString &sslmode) {
  QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, nome);
  db.setHostName(u"localhost"_s);
  db.setPort(pg.porta());
  db.setDatabaseName(u"vornel"_s);
  db.setUserName(u"vornel_computer"_s);
  db.setPassword(QString::fromLatin1(PostgresPrivato::kPasswordComputer));
  db.setConnectOptions(u"sslmode=%1;sslrootcert=%2;connect_timeout=5"_s.arg(sslmode, pg.certificatoCA()));
  db.open();
  return db;
}

QString Lotto(const QString &uuidAlunno, const QString &uuidEsercizio, int operazioni) {
  QJsonArray ops;
  for (int n = 1; n <= operazioni; ++n)
    ops.append(OperazioneInviata(n, 4, QJsonArray{QJsonObject{{u"n"_s, 1}, {u"testo"_s, u"1.270"_s}}}));
  const QJsonObject e{{u"uuid"_s, uuidEsercizio}, {u"alunno"_s, uuidAlunno}, {u"famiglia"_s, 1},
                      {u"cifre"_s, 1},           {u"cosa"_s, 1},             {u"ordine"_s, 1},
                      {u"inizio"_s, u"2026-12-09T10:00:00"_s}, {u"stato"_s, 0},
                      {u"operazioni"_s, operazioni}, {u"esatte"_s, operazioni}, {u"ops"_s, ops}};
  return QString::fromUtf8(QJsonDocument(QJsonObject{{u"computer"_s, u"lab-01"_s},
                                                     {u"adesso"_s, u"2026-12-09T10:00:00+00:00"_s},
                                                     {u"esercizi"_s, QJsonArray{e}}})
                               .toJson(QJsonDocument::Compact));
}

}  // namespace

class TestSchemaServer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
    QVERIFY(m_pg.esegui(u"INSERT INTO classi (nome) VALUES ('3A')"_s));
    QVERIFY(m_pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT id, 'Anna' FROM classi"_s));
  }

  void shouldPrepareTwiceWithoutHarm() {
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
  }

  void shouldRefuseConnectionsWithoutTls() {
    {
      QSqlDatabase db = Computer(m_pg, u"senza-tls"_s, u"disable"_s);
      QVERIFY(!db.isOpen());
      QVERIFY2(db.lastError().text().contains(u"no encryption"_s) || db.lastError().text().contains(u"reject"_s),
               qPrintable(db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"senza-tls"_s);
    {
      QSqlDatabase db = Computer(m_pg, u"verificata"_s, u"verify-full"_s);
      QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"verificata"_s);
  }

  void shouldHoldComputerRoleToItsGrants_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("permesso");
    QTest::newRow("classi") << u"SELECT nome FROM classi"_s << true;
    QTest::newRow("alunni") << u"SELECT uuid, nome FROM alunni"_s << true;
    QTest::newRow("piani") << u"SELECT * FROM piani"_s << true;
    QTest::newRow("cancellati") << u"SELECT * FROM cancellati"_s << true;
    QTest::newRow("esercizi letti") << u"SELECT * FROM esercizi"_s << false;
    QTest::newRow("operazioni lette") << u"SELECT * FROM operazioni"_s << false;
    QTest::newRow("risposte lette") << u"SELECT * FROM risposte"_s << false;
    QTest::newRow("casi letti") << u"SELECT * FROM casi"_s << false;
    QTest::newRow("computer letti") << u"SELECT * FROM computer"_s << false;
    QTest::newRow("esercizio scritto a mano")
        << u"INSERT INTO esercizi (uuid, famiglia, cifre, cosa, ordine, inizio) VALUES (gen_random_uuid(), 1, 1, 1, 1, 'x')"_s
        << false;
    QTest::newRow("alunno aggiunto") << u"INSERT INTO alunni (classe, nome) SELECT id, 'Intruso' FROM classi"_s
                                     << false;
    QTest::newRow("alunno rinominato") << u"UPDATE alunni SET nome = 'X'"_s << false;
    QTest::newRow("alunno cancellato") << u"DELETE FROM alunni"_s << false;
    QTest::newRow("piano cambiato") << u"INSERT INTO piani (alunno, leggi_sempre) SELECT id, 1 FROM alunni"_s
                                    << false;
    QTest::newRow("tabella creata") << u"CREATE TABLE mia (x int)"_s << false;
    QTest::newRow("tabella temporanea creata") << u"CREATE TEMP TABLE mia (x int)"_s << false;
    QTest::newRow("tabella svuotata") << u"TRUNCATE esercizi"_s << false;
    QTest::newRow("trigger chiamato") << u"SELECT cancellato()"_s << false;
  }

  void shouldHoldComputerRoleToItsGrants() {
    QFETCH(QString, sql);
    QFETCH(bool, permesso);
    {
      QSqlDatabase db = Computer(m_pg, u"grant"_s, u"require"_s);
      QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
      QSqlQuery q(db);
      const bool ok = q.exec(sql);
      QVERIFY2(ok == permesso, qPrintable(q.lastError().text()));
      if (!permesso)
        QVERIFY2(q.lastError().nativeErrorCode() == u"42501"_s || q.lastError().nativeErrorCode() == u"42883"_s,
                 qPrintable(q.lastError().nativeErrorCode() + q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"grant"_s);
  }

  void shouldReceiveABatchOnceHoweverOftenSent() {
    const QString esercizio = QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
      QSqlDatabase db = Computer(m_pg, u"ricevi"_s, u"require"_s);
      QSqlQuery q(db);
      QVERIFY(q.exec(u"SELECT uuid FROM alunni"_s) && q.next());
      const QString alunno = q.value(0).toString();
      for (int volta = 0; volta < 3; ++volta) {
        q.prepare(u"SELECT ricevi(?::jsonb)"_s);
        q.addBindValue(Lotto(alunno, esercizio, 5 + volta));
        QVERIFY2(q.exec() && q.next(), qPrintable(q.lastError().text()));
        QCOMPARE(q.value(0).toString(), u"{\"rifiutati\": []}"_s);
      }
      // A pupil the server doesn't have: refused, nothing written.
      q.prepare(u"SELECT ricevi(?::jsonb)"_s);
      q.addBindValue(Lotto(QUuid::createUuid().toString(QUuid::WithoutBraces), QUuid::createUuid().toString(QUuid::WithoutBraces), 3));
      QVERIFY(q.exec() && q.next());
      QVERIFY(q.value(0).toString().contains(u"rifiutati\": [\""_s));
    }
    QSqlDatabase::removeDatabase(u"ricevi"_s);
    QSqlDatabase db = m_pg.superutente(u"conta"_s, u"vornel"_s);
    {
      QSqlQuery q(db);
      QVERIFY(q.exec(u"SELECT count(*), (SELECT count(*) FROM risposte), (SELECT max(operazioni) FROM esercizi),"
                     u" (SELECT count(*) FROM esercizi), (SELECT in_attesa FROM computer) FROM operazioni"_s) &&
              q.next());
      QCOMPARE(q.value(0).toInt(), 7);
      QCOMPARE(q.value(1).toInt(), 7);
      QCOMPARE(q.value(2).toInt(), 7);
      QCOMPARE(q.value(3).toInt(), 1);
    }
    db.close();
    db = {};
    QSqlDatabase::removeDatabase(u"conta"_s);
  }

 private:
  PostgresPrivato m_pg;
};

QTEST_GUILESS_MAIN(TestSchemaServer)
#include "test_schemaserver.moc"
