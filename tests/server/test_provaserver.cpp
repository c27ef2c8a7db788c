// "Prova" against a real PostgreSQL: every fault a computer's settings can
// meet that can be made on one machine, each told as what a person must do;
// and the texts of the faults that can't (another network, an Italian server)
// read the same way.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "registro/provaserver.h"
#include "registro/schemaserver.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;
using ProvaServer::Esito;

Q_DECLARE_METATYPE(ProvaServer::Esito)

namespace {

// A port on 127.0.0.1 that takes connections into its queue and never says a
// word: a server hung, or a firewall that swallows the packets.
class PortaMuta {
 public:
  PortaMuta() {
    m_s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (m_s >= 0 && ::bind(m_s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(m_s, 16) == 0 &&
        ::getsockname(m_s, reinterpret_cast<sockaddr *>(&a), &n) == 0)
      m_porta = ntohs(a.sin_port);
  }
  ~PortaMuta() {
    if (m_s >= 0) ::close(m_s);
  }
  PortaMuta(const PortaMuta &) = delete;
  PortaMuta &operator=(const PortaMuta &) = delete;
  [[nodiscard]] int porta() const { return m_porta; }

 private:
  int m_s = -1;
  int m_porta = 0;
};

// A port nothing listens on.
int PortaChiusa() {
  PortaMuta p;
  return p.porta();  // closed as p goes
}

}  // namespace

class TestProvaServer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
    // A certificate authority the server's certificate does not come from.
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                           u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-keyout"_s, u"altra.key"_s,
                           u"-out"_s, u"altra.crt"_s, u"-days"_s, u"1"_s, u"-subj"_s, u"/CN=Altra scuola"_s});
    QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
  }

  void shouldTellWhatIsWrong_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<Esito>("atteso");
    QTest::addColumn<QString>("parola");  // what the person is told to do, in part
    QTest::newRow("riuscito") << u""_s << Esito::Ok << u"PostgreSQL 15"_s;
    QTest::newRow("porta chiusa") << u"porta chiusa"_s << Esito::Rifiutato << u"listen_addresses"_s;
    QTest::newRow("server che non risponde") << u"muto"_s << Esito::NessunaRisposta << u"firewall"_s;
    QTest::newRow("nome sconosciuto")
        << u"nome sconosciuto"_s << Esito::NomeSconosciuto << u"registro.invalid"_s;
    QTest::newRow("password sbagliata")
        << u"password"_s << Esito::PasswordSbagliata << u"vornel-scuola computer"_s;
    QTest::newRow("utente sconosciuto") << u"utente"_s << Esito::PasswordSbagliata << u"nessuno"_s;
    QTest::newRow("database mancante")
        << u"database"_s << Esito::DatabaseMancante << u"vornel-scuola prepara"_s;
    QTest::newRow("database senza registro")
        << u"postgres"_s << Esito::RegistroAssente << u"vornel-scuola prepara"_s;
    QTest::newRow("CA di un altro") << u"altra CA"_s << Esito::CertificatoNonFidato << u"altra.crt"_s;
    QTest::newRow("CA di un altro, solo require")
        << u"altra CA require"_s << Esito::CertificatoNonFidato << u"altra.crt"_s;
    QTest::newRow("file CA mancante") << u"senza CA"_s << Esito::FileCaMancante << u"manca.crt"_s;
    QTest::newRow("nome diverso dal certificato")
        << u"altro nome"_s << Esito::NomeCertificato << u"altro.invalid"_s;
    QTest::newRow("registro vecchio")
        << u"versione 0"_s << Esito::SchemaVecchio << u"vornel-scuola aggiorna"_s;
    QTest::newRow("registro più nuovo") << u"versione 99"_s << Esito::SchemaNuovo << u"aggiornare Vornel"_s;
    QTest::newRow("server senza TLS") << u"senza TLS"_s << Esito::SenzaTls << u"ssl = on"_s;
  }

  void shouldTellWhatIsWrong() {
    QFETCH(QString, caso);
    QFETCH(Esito, atteso);
    QFETCH(QString, parola);
    ConfigServer c;
    c.host = u"localhost"_s;
    c.porta = m_pg.porta();
    c.password = QString::fromLatin1(PostgresPrivato::kPasswordComputer);
    c.sslmode = u"verify-full"_s;
    c.sslrootcert = m_pg.certificatoCA();
    c.computer = u"lab-prova"_s;
    c.connectTimeout = 2;  // libpq's least
    PortaMuta muta;
    std::unique_ptr<PostgresPrivato> senzaTls;
    int versione = SchemaServer::kVersione;
    if (caso == u"porta chiusa"_s) c.porta = PortaChiusa();
    if (caso == u"muto"_s) c.porta = muta.porta();
    if (caso == u"nome sconosciuto"_s) c.host = u"registro.invalid"_s;
    if (caso == u"password"_s) c.password = u"vecchia"_s;
    if (caso == u"utente"_s) c.utente = u"nessuno"_s;
    if (caso == u"database"_s) c.database = u"vornel_altro"_s;
    if (caso == u"postgres"_s) c.database = u"postgres"_s;
    if (caso.startsWith(u"altra CA"_s)) c.sslrootcert = m_dir.filePath(u"altra.crt"_s);
    // libpq checks the chain under require too when a CA file is named.
    if (caso == u"altra CA require"_s) c.sslmode = u"require"_s;
    if (caso == u"senza CA"_s) c.sslrootcert = m_dir.filePath(u"manca.crt"_s);
    if (caso == u"altro nome"_s) {
      c.host = u"altro.invalid"_s;
      c.indirizzo = u"127.0.0.1"_s;
    }
    if (caso.startsWith(u"versione "_s)) versione = caso.mid(9).toInt();
    if (caso == u"senza TLS"_s) {
      senzaTls = std::make_unique<PostgresPrivato>(false);
      QVERIFY2(senzaTls->avvia(), qPrintable(senzaTls->errore()));
      QVERIFY2(senzaTls->preparaVornel(), qPrintable(senzaTls->errore()));
      c.porta = senzaTls->porta();
      c.sslmode = u"require"_s;
    }
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(versione)));
    const ProvaServer::Risultato r = ProvaServer::Prova(c);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(SchemaServer::kVersione)));
    QVERIFY2(r.esito == atteso, qPrintable(u"%1: %2 [%3]"_s.arg(int(r.esito)).arg(r.messaggio, r.dettaglio)));
    QVERIFY2(r.messaggio.contains(parola), qPrintable(r.messaggio));
    if (atteso == Esito::Ok) QCOMPARE(r.versioneRegistro, SchemaServer::kVersione);
  }

  // What this machine can't stage: another network's answers, a server and a
  // desktop in Italian, the server's own codes.
  void shouldReadTheFaultsInEitherLanguage_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("sqlstate");
    QTest::addColumn<Esito>("atteso");
    QTest::newRow("pg_hba senza riga")
        << u"connection to server at \"10.0.0.5\", port 5432 failed: FATAL:  no "
           u"pg_hba.conf entry for host \"10.0.0.7\", user \"vornel_computer\", "
           u"database \"vornel\", SSL encryption"_s
        << u""_s << Esito::RifiutatoDaPgHba;
    QTest::newRow("pg_hba senza riga, italiano")
        << u"connessione al server su \"10.0.0.5\", porta 5432 non riuscita: FATAL:  nessuna voce in "
           u"pg_hba.conf "
           u"per l'host \"10.0.0.7\", utente \"vornel_computer\", database \"vornel\", cifratura SSL"_s
        << u""_s << Esito::RifiutatoDaPgHba;
    QTest::newRow("pg_hba rifiuta") << u"FATAL:  pg_hba.conf rejects connection for host \"10.0.0.7\", user "
                                       u"\"vornel_computer\", database \"vornel\", SSL encryption"_s
                                    << u""_s << Esito::RifiutatoDaPgHba;
    QTest::newRow("password, italiano") << u"FATAL:  autenticazione con password fallita per l'utente "
                                           u"\"vornel_computer\""_s
                                        << u""_s << Esito::PasswordSbagliata;
    QTest::newRow("rifiutato, italiano") << u"connessione al server su \"srv\" (10.0.0.5), porta 5432 non "
                                            u"riuscita: Connessione rifiutata"_s
                                         << u""_s << Esito::Rifiutato;
    QTest::newRow("nessuna via, inglese")
        << u"connection to server at \"10.9.9.9\", port 5432 failed: No route "
           u"to host"_s
        << u""_s << Esito::NessunaRisposta;
    QTest::newRow("rete irraggiungibile")
        << u"could not connect: Network is unreachable"_s << u""_s << Esito::NessunaRisposta;
    QTest::newRow("tempo scaduto, italiano") << u"connessione al server su \"srv\", porta 5432 non riuscita: "
                                                u"timeout scaduto"_s
                                             << u""_s << Esito::NessunaRisposta;
    QTest::newRow("senza TLS, italiano")
        << u"il server non supporta SSL, ma SSL è stato richiesto"_s << u""_s << Esito::SenzaTls;
    QTest::newRow("nome, italiano") << u"il certificato per il server \"srv\" non combacia col nome host "
                                       u"\"10.0.0.5\""_s
                                    << u""_s << Esito::NomeCertificato;
    QTest::newRow("database, italiano")
        << u"FATAL:  il database \"vornel\" non esiste"_s << u""_s << Esito::DatabaseMancante;
    QTest::newRow("ruolo che non esiste non è un database")
        << u"FATAL:  role \"x\" does not exist"_s << u""_s << Esito::Altro;
    QTest::newRow("troppi collegamenti")
        << u"FATAL:  sorry, too many clients already"_s << u""_s << Esito::ServerOccupato;
    QTest::newRow("server che si avvia, italiano")
        << u"FATAL:  il database si sta avviando"_s << u""_s << Esito::ServerOccupato;
    QTest::newRow("ruolo senza login")
        << u"FATAL:  role \"maestra\" is not permitted to log in"_s << u""_s << Esito::RuoloSenzaAccesso;
    QTest::newRow("il codice decide") << u"qualcosa di mai visto"_s << u"28P01"_s << Esito::PasswordSbagliata;
    QTest::newRow("un altro servizio sulla porta")
        << u"received invalid response to SSL negotiation: H"_s << u""_s << Esito::Altro;
    QTest::newRow("vuoto") << u""_s << u""_s << Esito::Altro;
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
