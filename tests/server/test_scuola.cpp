// The technician's command, the real executable, against a private
// PostgreSQL: what it prints lets a computer in, and only what it prints.
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "registro/provaserver.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;
using ProvaServer::Esito;

class TestScuola : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
  }

  // In order: prepared once, the computers' password changed.
  void shouldPrepareOnceAndHandTheComputersTheirSettings() {
    QVERIFY2(scuola({u"prepara"_s}) == 0, qPrintable(m_errori));
    QVERIFY(m_uscita.contains(u"hostssl vornel all 127.0.0.1/32 scram-sha-256"_s));
    QVERIFY(m_uscita.contains(u"ssl = on"_s));
    const ConfigServer prima = conf();
    QCOMPARE(ProvaServer::Prova(prima).esito, Esito::Ok);
    // Again: refused, so the computers keep their password.
    QCOMPARE(scuola({u"prepara"_s}), 1);
    QVERIFY(m_errori.contains(u"già preparato"_s));
    QCOMPARE(ProvaServer::Prova(prima).esito, Esito::Ok);
    QVERIFY2(scuola({u"computer"_s}) == 0, qPrintable(m_errori));
    m_conf = conf();
    QCOMPARE(ProvaServer::Prova(prima).esito, Esito::PasswordSbagliata);
    QCOMPARE(ProvaServer::Prova(m_conf).esito, Esito::Ok);
  }

  void shouldKeepTheTeachersRoles_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("righe");  // typed by the technician
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("entra");     // a password that lets the teacher in
    QTest::addColumn<QString>("nonEntra");  // one that doesn't
    QTest::newRow("nuova") << u"maestra.rossi"_s << u"lavagna-verde\nlavagna-verde\n"_s << 0
                           << u"lavagna-verde"_s << u""_s;
    QTest::newRow("password cambiata") << u"maestra.rossi"_s << u"gesso bianco\ngesso bianco\n"_s << 0
                                       << u"gesso bianco"_s << u"lavagna-verde"_s;
    QTest::newRow("ripetuta diversa")
        << u"maestro.bianchi"_s << u"quaderno1\nquaderno2\n"_s << 1 << u""_s << u"quaderno1"_s;
    QTest::newRow("nome da quotare") << u"o'brien \"x\"; drop"_s << u"lungalunga\nlungalunga\n"_s << 0
                                     << u"lungalunga"_s << u""_s;
    // Another login of the server's is neither taken over nor made a teacher.
    QTest::newRow("un amministratore") << u"amministratore"_s << u"lungalunga\nlungalunga\n"_s << 1 << u""_s
                                       << u"lungalunga"_s;
    QTest::newRow("il ruolo dei computer")
        << u"vornel_computer"_s << u"lungalunga\nlungalunga\n"_s << 2 << u""_s << u""_s;
  }

  void shouldKeepTheTeachersRoles() {
    QFETCH(QString, nome);
    QFETCH(QString, righe);
    QFETCH(int, codice);
    QFETCH(QString, entra);
    QFETCH(QString, nonEntra);
    if (nome == u"amministratore"_s)
      QVERIFY(m_pg.esegui(u"CREATE ROLE amministratore LOGIN CREATEROLE PASSWORD 'segreta-1'"_s));
    QVERIFY2(scuola({u"docente"_s, nome}, righe.toUtf8()) == codice, qPrintable(m_errori));
    if (!entra.isEmpty()) QVERIFY(accede(nome, entra));
    if (!nonEntra.isEmpty()) QVERIFY(!accede(nome, nonEntra));
    QCOMPARE(ProvaServer::Prova(m_conf).esito, Esito::Ok);
  }

  void shouldUpgradeOnlyForward_data() {
    QTest::addColumn<int>("versione");
    QTest::addColumn<int>("codice");
    QTest::newRow("già aggiornato") << 1 << 0;
    QTest::newRow("più nuovo del programma") << 99 << 1;
  }

  void shouldUpgradeOnlyForward() {
    QFETCH(int, versione);
    QFETCH(int, codice);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(versione)));
    QCOMPARE(scuola({u"aggiorna"_s}), codice);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = 1"_s));
  }

  void shouldSpeakItalian_data() {
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("detto");
    QTest::newRow("aiuto") << QStringList{u"--help"_s} << 0 << u"docente NOME"_s;
    QTest::newRow("opzione ignota") << QStringList{u"--boh"_s} << 2 << u"Opzione sconosciuta: boh"_s;
    QTest::newRow("server spento") << QStringList{u"aggiorna"_s, u"--porta"_s, u"1"_s} << 1
                                   << u"Non riesco a collegarmi"_s;
  }

  void shouldSpeakItalian() {
    QFETCH(QStringList, argomenti);
    QFETCH(int, codice);
    QFETCH(QString, detto);
    QCOMPARE(scuola(argomenti), codice);
    QVERIFY2((m_uscita + m_errori).contains(detto), qPrintable(m_uscita + m_errori));
    QVERIFY(!(m_uscita + m_errori).contains(u"Usage"_s));
  }

 private:
  // The command as the server's superuser on its socket (an option given
  // again in argomenti wins); its exit code, -1 when it didn't end.
  int scuola(const QStringList &argomenti, const QByteArray &ingresso = {}) {
    QProcess p;
    p.start(QStringLiteral(VORNEL_SCUOLA),
            QStringList{u"--host"_s, m_pg.socket(), u"--porta"_s, QString::number(m_pg.porta()),
                        u"--utente"_s, u"postgres"_s, u"--server"_s, u"localhost"_s, u"--ca"_s,
                        m_pg.certificatoCA(), u"--rete"_s, u"127.0.0.1/32"_s} +
                argomenti);
    p.write(ingresso);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) return -1;
    m_uscita = QString::fromUtf8(p.readAllStandardOutput());
    m_errori = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
  }

  // The server.conf the command printed last, read as a computer reads it.
  ConfigServer conf() {
    const qsizetype inizio = m_uscita.indexOf(u"[server]"_s);
    const QString file = m_dir.filePath(u"server.conf"_s);
    QFile f(file);
    if (inizio < 0 || !f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(m_uscita.mid(inizio).section(u"; fine di server.conf"_s, 0, 0).toUtf8());
    f.close();
    return ConfigServer::LeggiFile(file);
  }

  // A teacher's login over TLS, and a read only teachers may make.
  bool accede(const QString &nome, const QString &password) {
    bool ok = false;
    {
      QSqlDatabase db = m_conf.connessione(u"docente"_s, nome, password);
      QSqlQuery q(db);
      ok = db.open() && q.exec(u"SELECT count(*) FROM esercizi"_s) && q.next();
    }
    QSqlDatabase::removeDatabase(u"docente"_s);
    return ok;
  }

  PostgresPrivato m_pg;
  QTemporaryDir m_dir;
  ConfigServer m_conf;
  QString m_uscita, m_errori;
};

QTEST_GUILESS_MAIN(TestScuola)
#include "test_scuola.moc"
