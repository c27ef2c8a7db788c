// The technician's command, the real executable, against a private
// PostgreSQL: what it prints lets a computer in, and only what it prints.
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "registro/configserver.h"
#include "registro/provaserver.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;

namespace {

struct Esito {
  int codice = -1;
  QString uscita, errori;
};

}  // namespace

class TestScuola : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
  }

  void shouldPrepareAnEmptyServerForTheComputers() {
    const Esito e = scuola({u"prepara"_s});
    QVERIFY2(e.codice == 0, qPrintable(e.errori));
    QVERIFY2(e.uscita.contains(u"hostssl vornel all 127.0.0.1/32 scram-sha-256"_s), qPrintable(e.uscita));
    QVERIFY(e.uscita.contains(u"ssl = on"_s));
    QVERIFY(e.uscita.contains(u"listen_addresses"_s));
    m_conf = conf(e.uscita);
    QCOMPARE(Prova(m_conf), ProvaServer::Esito::Ok);
  }

  void shouldNotPrepareTwice() {
    const Esito e = scuola({u"prepara"_s});
    QCOMPARE(e.codice, 1);
    QVERIFY2(e.errori.contains(u"già preparato"_s), qPrintable(e.errori));
    QCOMPARE(Prova(m_conf), ProvaServer::Esito::Ok);  // the computers keep working
  }

  void shouldGiveTheComputersANewPassword() {
    const Esito e = scuola({u"computer"_s});
    QVERIFY2(e.codice == 0, qPrintable(e.errori));
    const ConfigServer nuova = conf(e.uscita);
    QVERIFY(nuova.password != m_conf.password);
    QCOMPARE(Prova(m_conf), ProvaServer::Esito::PasswordSbagliata);
    QCOMPARE(Prova(nuova), ProvaServer::Esito::Ok);
    m_conf = nuova;
  }

  void shouldKeepTheTeachersRoles_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("righe");  // what the technician types
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("entra");  // the password that lets the teacher in, if any
    QTest::newRow("nuova insegnante")
        << u"maestra.rossi"_s << u"lavagna-verde\nlavagna-verde\n"_s << 0 << u"lavagna-verde"_s;
    QTest::newRow("password cambiata")
        << u"maestra.rossi"_s << u"gesso bianco\ngesso bianco\n"_s << 0 << u"gesso bianco"_s;
    QTest::newRow("la vecchia non vale") << u"maestra.rossi"_s << u"x\ny\n"_s << 1 << u"lavagna-verde"_s;
    QTest::newRow("ripetuta diversa") << u"maestro.bianchi"_s << u"quaderno1\nquaderno2\n"_s << 1 << u""_s;
    QTest::newRow("troppo corta") << u"maestro.bianchi"_s << u"corta\ncorta\n"_s << 1 << u""_s;
    QTest::newRow("nome con virgolette")
        << u"o'brien \"x\""_s << u"lungalunga\nlungalunga\n"_s << 0 << u"lungalunga"_s;
    QTest::newRow("il ruolo dei computer")
        << u"vornel_computer"_s << u"lungalunga\nlungalunga\n"_s << 2 << u""_s;
    QTest::newRow("il superutente") << u"postgres"_s << u"lungalunga\nlungalunga\n"_s << 2 << u""_s;
  }

  void shouldKeepTheTeachersRoles() {
    QFETCH(QString, nome);
    QFETCH(QString, righe);
    QFETCH(int, codice);
    QFETCH(QString, entra);
    const Esito e = scuola({u"docente"_s, nome}, righe.toUtf8());
    QVERIFY2(e.codice == codice, qPrintable(e.errori));
    if (qstrcmp(QTest::currentDataTag(), "la vecchia non vale") == 0) {
      QVERIFY(!accede(nome, entra));
      QVERIFY(accede(nome, u"gesso bianco"_s));
    } else if (!entra.isEmpty()) {
      QVERIFY(accede(nome, entra));
    } else if (codice != 2) {
      QVERIFY(!accede(nome, righe.section(u'\n', 0, 0)));
    }
  }

  void shouldUpgradeOnlyForward_data() {
    QTest::addColumn<int>("versione");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("detto");
    QTest::newRow("già aggiornato") << 1 << 0 << u"già alla versione 1"_s;
    QTest::newRow("più nuovo del programma") << 99 << 1 << u"più nuova"_s;
  }

  void shouldUpgradeOnlyForward() {
    QFETCH(int, versione);
    QFETCH(int, codice);
    QFETCH(QString, detto);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(versione)));
    const Esito e = scuola({u"aggiorna"_s});
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = 1"_s));
    QVERIFY2(e.codice == codice, qPrintable(e.errori));
    QVERIFY2((e.uscita + e.errori).contains(detto), qPrintable(e.uscita + e.errori));
  }

  void shouldSayWhyItCannotConnect() {
    const Esito e = scuola({u"aggiorna"_s, u"--porta"_s, u"1"_s});
    QCOMPARE(e.codice, 1);
    QVERIFY2(e.errori.contains(u"Non riesco a collegarmi"_s), qPrintable(e.errori));
  }

  void shouldHelpInItalian_data() {
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("detto");
    QTest::newRow("aiuto") << QStringList{u"--aiuto"_s} << 0 << u"docente NOME"_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Opzioni:"_s;
    QTest::newRow("nessun comando") << QStringList{} << 2 << u"Comando non riconosciuto"_s;
    QTest::newRow("docente senza nome") << QStringList{u"docente"_s} << 2 << u"Comando non riconosciuto"_s;
    QTest::newRow("opzione ignota") << QStringList{u"--boh"_s} << 2 << u"Opzione sconosciuta: boh"_s;
    QTest::newRow("porta non valida")
        << QStringList{u"aggiorna"_s, u"--porta"_s, u"cinque"_s} << 2 << u"Porta non valida"_s;
  }

  void shouldHelpInItalian() {
    QFETCH(QStringList, argomenti);
    QFETCH(int, codice);
    QFETCH(QString, detto);
    QProcess p;
    p.start(QStringLiteral(VORNEL_SCUOLA), argomenti);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), codice);
    const QString testo = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QVERIFY2(testo.contains(detto), qPrintable(testo));
    QVERIFY2(!testo.contains(u"Usage"_s) && !testo.contains(u"Unknown"_s), qPrintable(testo));
  }

 private:
  // The command as the server's superuser on the private server's socket
  // (an option given again in argomenti wins).
  Esito scuola(const QStringList &argomenti, const QByteArray &ingresso = {}) {
    QProcess p;
    p.start(QStringLiteral(VORNEL_SCUOLA),
            QStringList{u"--host"_s, m_pg.socket(), u"--porta"_s, QString::number(m_pg.porta()),
                        u"--utente"_s, u"postgres"_s, u"--server"_s, u"localhost"_s, u"--ca"_s,
                        m_pg.certificatoCA(), u"--rete"_s, u"127.0.0.1/32"_s} +
                argomenti);
    p.write(ingresso);
    p.closeWriteChannel();
    Esito e;
    if (!p.waitForFinished(60000)) return e;
    e.codice = p.exitCode();
    e.uscita = QString::fromUtf8(p.readAllStandardOutput());
    e.errori = QString::fromUtf8(p.readAllStandardError());
    return e;
  }

  // The server.conf the command printed, read as a computer reads it.
  ConfigServer conf(const QString &uscita) {
    const qsizetype inizio = uscita.indexOf(u"[server]"_s);
    const qsizetype fine = uscita.indexOf(u"; fine di server.conf"_s);
    if (inizio < 0 || fine < inizio) return {};
    const QString file = m_dir.filePath(u"server.conf"_s);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(uscita.mid(inizio, fine - inizio).toUtf8());
    f.close();
    return ConfigServer::LeggiFile(file);
  }

  static ProvaServer::Esito Prova(const ConfigServer &c) {
    const ProvaServer::Risultato r = ProvaServer::Prova(c);
    if (r.esito != ProvaServer::Esito::Ok) qInfo("%s [%s]", qPrintable(r.messaggio), qPrintable(r.dettaglio));
    return r.esito;
  }

  // A teacher's login over TLS, and a read only teachers may make.
  bool accede(const QString &nome, const QString &password) {
    bool ok = false;
    {
      ConfigServer c = m_conf;
      QSqlDatabase db = c.connessione(u"docente"_s, nome, password);
      QSqlQuery q(db);
      ok = db.open() && q.exec(u"SELECT count(*) FROM esercizi"_s) && q.next();
    }
    QSqlDatabase::removeDatabase(u"docente"_s);
    return ok;
  }

  PostgresPrivato m_pg;
  QTemporaryDir m_dir;
  ConfigServer m_conf;
};

QTEST_GUILESS_MAIN(TestScuola)
#include "test_scuola.moc"
