// "Prova" against a real PostgreSQL: every fault of a computer's settings that
// one machine can stage, each told as what a person must do; and the texts of
// those it can't (another network, a server or desktop in Italian).
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "registro/provaserver.h"
#include "registro/schemaserver.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;
using ProvaServer::Esito;

Q_DECLARE_METATYPE(ProvaServer::Esito)

class TestProvaServer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
    // A certificate authority that did not sign the server's certificate.
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                           u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-keyout"_s, u"altra.key"_s,
                           u"-out"_s, u"altra.crt"_s, u"-subj"_s, u"/CN=Altra scuola"_s});
    QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
  }

  void shouldTellWhatIsWrong_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<Esito>("atteso");
    QTest::addColumn<QString>("detto");  // part of what the person is told
    QTest::newRow("riuscito") << u""_s << Esito::Ok << u"PostgreSQL 15"_s;
    QTest::newRow("porta chiusa") << u"chiusa"_s << Esito::Rifiutato << u"listen_addresses"_s;
    QTest::newRow("server che non risponde") << u"muto"_s << Esito::NessunaRisposta << u"firewall"_s;
    QTest::newRow("nome sconosciuto") << u"host=registro.invalid"_s << Esito::NomeSconosciuto << u"invalid"_s;
    QTest::newRow("password cambiata")
        << u"password=vecchia"_s << Esito::PasswordSbagliata << u"vornel-scuola computer"_s;
    QTest::newRow("login di un'insegnante")
        << u"utente=maestra"_s << Esito::RuoloTroppoPotente << u"vornel_computer"_s;
    QTest::newRow("database mancante") << u"database=altro"_s << Esito::DatabaseMancante << u"prepara"_s;
    QTest::newRow("database senza registro")
        << u"database=postgres"_s << Esito::RegistroAssente << u"prepara"_s;
    QTest::newRow("CA di un altro") << u"altra"_s << Esito::CertificatoNonFidato << u"altra.crt"_s;
    // require: encrypted, and no certificate checked, whatever file is named.
    QTest::newRow("CA di un altro, require") << u"altra require"_s << Esito::Ok << u"PostgreSQL 15"_s;
    QTest::newRow("file CA mancante")
        << u"sslrootcert=/manca.crt"_s << Esito::FileCaMancante << u"/manca.crt"_s;
    QTest::newRow("altro nome nel certificato")
        << u"altro nome"_s << Esito::NomeCertificato << u"altro.invalid"_s;
    QTest::newRow("registro vecchio")
        << u"versione 0"_s << Esito::SchemaVecchio << u"vornel-scuola aggiorna"_s;
    QTest::newRow("registro più nuovo") << u"versione 99"_s << Esito::SchemaNuovo << u"aggiornare Vornel"_s;
    QTest::newRow("server senza TLS") << u"senza TLS"_s << Esito::SenzaTls << u"ssl = on"_s;
    // A file that asks for no encryption gets it all the same.
    QTest::newRow("server senza TLS, file con disable")
        << u"senza TLS disable"_s << Esito::SenzaTls << u"ssl = on"_s;
  }

  void shouldTellWhatIsWrong() {
    QFETCH(QString, caso);
    QFETCH(Esito, atteso);
    QFETCH(QString, detto);
    ConfigServer c;
    c.host = u"localhost"_s;
    c.porta = m_pg.porta();
    c.password = QString::fromLatin1(PostgresPrivato::kPasswordComputer);
    c.sslmode = u"verify-full"_s;
    c.sslrootcert = m_pg.certificatoCA();
    c.connectTimeout = 2;  // libpq's least
    const QString valore = caso.section(u'=', 1);
    if (caso.startsWith(u"host="_s)) c.host = valore;
    if (caso.startsWith(u"password="_s)) c.password = valore;
    if (caso.startsWith(u"utente="_s)) {
      QVERIFY(m_pg.creaDocente(valore, u"gesso"_s));
      c.utente = valore;
      c.password = u"gesso"_s;
    }
    if (caso.startsWith(u"database="_s)) c.database = valore;
    if (caso.startsWith(u"sslrootcert="_s)) c.sslrootcert = valore;
    if (caso.startsWith(u"altra"_s)) c.sslrootcert = m_dir.filePath(u"altra.crt"_s);
    if (caso == u"altra require"_s) c.sslmode = u"require"_s;
    if (caso == u"altro nome"_s) {
      c.host = u"altro.invalid"_s;
      c.indirizzo = u"127.0.0.1"_s;
    }
    PortaMuta muta;
    if (caso == u"muto"_s) c.porta = muta.porta();
    if (caso == u"chiusa"_s) c.porta = PortaMuta().porta();  // closed again at once
    PostgresPrivato senzaTls(false);
    if (caso.startsWith(u"senza TLS"_s)) {
      QVERIFY2(senzaTls.avvia(), qPrintable(senzaTls.errore()));
      c.porta = senzaTls.porta();
      c.sslmode = caso.endsWith(u"disable"_s) ? u"disable"_s : u"require"_s;
    }
    const int versione = caso.startsWith(u"versione "_s) ? caso.mid(9).toInt() : SchemaServer::kVersione;
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(versione)));
    const ProvaServer::Risultato r = ProvaServer::Prova(c);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(SchemaServer::kVersione)));
    QVERIFY2(r.esito == atteso, qPrintable(u"%1: %2 [%3]"_s.arg(int(r.esito)).arg(r.messaggio, r.dettaglio)));
    QVERIFY2(r.messaggio.contains(detto), qPrintable(r.messaggio));
  }

  void shouldReadTheFaultsInEitherLanguage_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("sqlstate");
    QTest::addColumn<Esito>("atteso");
    QTest::newRow("pg_hba")
        << u"FATAL:  no pg_hba.conf entry for host \"10.0.0.7\", user \"vornel_computer\", "
           u"database \"vornel\", SSL encryption"_s
        << u""_s << Esito::RifiutatoDaPgHba;
    QTest::newRow("pg_hba, italiano")
        << u"FATAL:  nessuna voce in pg_hba.conf per l'host \"10.0.0.7\", utente "
           u"\"vornel_computer\", database \"vornel\", cifratura SSL"_s
        << u""_s << Esito::RifiutatoDaPgHba;
    QTest::newRow("password, italiano") << u"FATAL:  autenticazione con password fallita per l'utente \"x\""_s
                                        << u""_s << Esito::PasswordSbagliata;
    QTest::newRow("rifiutato, italiano") << u"connessione al server su \"srv\" (10.0.0.5), porta 5432 non "
                                            u"riuscita: Connessione rifiutata"_s
                                         << u""_s << Esito::Rifiutato;
    QTest::newRow("tempo scaduto, italiano") << u"timeout scaduto"_s << u""_s << Esito::NessunaRisposta;
    QTest::newRow("un ruolo che non esiste non è un database")
        << u"FATAL:  role \"x\" does not exist"_s << u""_s << Esito::Altro;
    QTest::newRow("il codice decide") << u"mai visto"_s << u"28P01"_s << Esito::PasswordSbagliata;
  }

  void shouldReadTheFaultsInEitherLanguage() {
    QFETCH(QString, testo);
    QFETCH(QString, sqlstate);
    QFETCH(Esito, atteso);
    QCOMPARE(ProvaServer::Classifica(testo, sqlstate), atteso);
  }

 private:
  PostgresPrivato m_pg;
  QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestProvaServer)
#include "test_provaserver.moc"
