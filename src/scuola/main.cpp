// vornel-scuola: the school technician's command for the register on the
// school's PostgreSQL. It prepares the database (roles, schema, grants) as
// the server's superuser, brings it to this version of the program, keeps the
// teachers' roles and the computers' password, and prints what every computer
// and the server's own files need.
#include <termios.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTextStream>
#include <cstdio>

#include "registro/schemaserver.h"

using namespace Qt::StringLiterals;

namespace {

QTextStream &Uscita() {
  static QTextStream s(stdout);
  return s;
}

QTextStream &Errore() {
  static QTextStream s(stderr);
  return s;
}

struct Opzioni {
  QString host, utente, server, ca, rete;
  int porta = 5432;
};

// A password of 24 letters and digits from the system's random source: no
// character the configuration file or libpq would need to quote.
QString NuovaPassword() {
  static constexpr char16_t kSegni[] = u"abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
  constexpr int kQuanti = static_cast<int>(std::size(kSegni)) - 1;
  QString p;
  for (int i = 0; i < 24; ++i) p += QChar(kSegni[QRandomGenerator::system()->bounded(kQuanti)]);
  return p;
}

// The superuser's connection: the local socket by default (sudo -u postgres),
// else the host and user given; a password comes from PGPASSWORD or ~/.pgpass.
bool Apri(QSqlDatabase &db, const Opzioni &o, const QString &database) {
  static int n = 0;
  db = QSqlDatabase::addDatabase(u"QPSQL"_s, u"scuola-%1"_s.arg(++n));
  db.setHostName(o.host);
  db.setPort(o.porta);
  db.setUserName(o.utente);
  db.setDatabaseName(database);
  db.setConnectOptions(u"connect_timeout=10;application_name=vornel-scuola"_s);
  if (db.open()) return true;
  Errore() << u"Non riesco a collegarmi a PostgreSQL (database «%1»): %2\n"_s.arg(database,
                                                                                  db.lastError().text())
           << u"Di solito si esegue come superutente del server: sudo -u postgres vornel-scuola ...\n"_s;
  return false;
}

void StampaConf(const Opzioni &o, const QString &password) {
  QTextStream &u = Uscita();
  u << u"\nSu ogni computer del laboratorio, il file /etc/xdg/vornel/server.conf (permessi 0644: contiene "
       u"solo "
       u"l'utente limitato dei computer), con il certificato della scuola in %1:\n\n"_s.arg(o.ca);
  u << u"[server]\nhost=%1\nporta=%2\ndatabase=%3\nutente=%4\npassword=%5\nsslmode=verify-full\nsslrootcert=%6\n"_s
           .arg(o.server)
           .arg(o.porta)
           .arg(QString::fromLatin1(SchemaServer::kDatabase), QString::fromLatin1(SchemaServer::kComputer),
                password, o.ca);
  u << u"; fine di server.conf\n"_s;
  u.flush();
}

void StampaServer(const Opzioni &o) {
  QTextStream &u = Uscita();
  u << u"\nSul server, in pg_hba.conf (prima delle altre righe «host»), la rete del laboratorio:\n\n"
       u"hostssl %1 all %2 scram-sha-256\n"_s.arg(QString::fromLatin1(SchemaServer::kDatabase), o.rete);
  u << u"\nSul server, in postgresql.conf (poi: systemctl restart postgresql):\n\n"
       u"listen_addresses = '*'\nssl = on\nssl_cert_file = '/etc/postgresql/15/main/server.crt'\n"
       u"ssl_key_file = '/etc/postgresql/15/main/server.key'\npassword_encryption = 'scram-sha-256'\n"
       u"\nLa sola porta da aprire verso il server è la TCP %1.\n"_s.arg(o.porta);
  u.flush();
}

int Prepara(const Opzioni &o) {
  QString errore;
  {
    // Prepared already: a new password would cut off every computer.
    QSqlDatabase db;
    if (!Apri(db, o, u"postgres"_s)) return 1;
    QSqlQuery q(db);
    q.prepare(u"SELECT 1 FROM pg_database WHERE datname = ?"_s);
    q.addBindValue(QString::fromLatin1(SchemaServer::kDatabase));
    if (q.exec() && q.next()) {
      QSqlDatabase v;
      if (!Apri(v, o, QString::fromLatin1(SchemaServer::kDatabase))) return 1;
      if (SchemaServer::Versione(v, &errore) > 0) {
        Errore()
            << u"Il registro della scuola è già preparato. Per portarlo a questa versione: vornel-scuola "
               u"aggiorna; per una nuova password dei computer: vornel-scuola computer.\n"_s;
        return 1;
      }
    }
    const QString password = NuovaPassword();
    if (!SchemaServer::CreaRuoliEDatabase(db, password, &errore)) {
      Errore() << u"Ruoli e database non creati: "_s << errore << u"\n"_s;
      return 1;
    }
    QSqlDatabase v;
    if (!Apri(v, o, QString::fromLatin1(SchemaServer::kDatabase))) return 1;
    if (!SchemaServer::Aggiorna(v, &errore)) {
      Errore() << u"Il registro non è stato preparato: "_s << errore << u"\n"_s;
      return 1;
    }
    Uscita() << u"Registro della scuola preparato: database «%1», versione %2.\n"_s
                    .arg(QString::fromLatin1(SchemaServer::kDatabase))
                    .arg(SchemaServer::kVersione);
    StampaConf(o, password);
    StampaServer(o);
    Uscita() << u"\nOgni insegnante entra con un utente suo: vornel-scuola docente NOME\n"_s;
  }
  return 0;
}

int Aggiorna(const Opzioni &o) {
  QSqlDatabase db;
  if (!Apri(db, o, QString::fromLatin1(SchemaServer::kDatabase))) return 1;
  QString errore;
  const int da = SchemaServer::Versione(db, &errore);
  if (da == 0) {
    Errore() << u"Il database non contiene ancora il registro: vornel-scuola prepara.\n"_s;
    return 1;
  }
  if (da < 0 || !SchemaServer::Aggiorna(db, &errore)) {
    Errore() << u"Il registro non è stato aggiornato: "_s << errore << u"\n"_s;
    return 1;
  }
  Uscita()
      << (da == SchemaServer::kVersione
              ? u"Il registro è già alla versione %1; i permessi sono stati rimessi in ordine.\n"_s.arg(da)
              : u"Registro aggiornato dalla versione %1 alla %2.\n"_s.arg(da).arg(SchemaServer::kVersione));
  return 0;
}

// A line from the terminal without showing it; from a pipe, a line as it is.
QString LeggiSegreto(const QString &domanda) {
  const bool terminale = ::isatty(STDIN_FILENO);
  termios prima{};
  if (terminale) {
    Errore() << domanda;
    Errore().flush();
    ::tcgetattr(STDIN_FILENO, &prima);
    termios muto = prima;
    muto.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &muto);
  }
  // One stream for every line: a stream of its own would buffer the next.
  static QTextStream in(stdin);
  const QString riga = in.readLine();
  if (terminale) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &prima);
    Errore() << u"\n"_s;
  }
  return riga;
}

int Docente(const Opzioni &o, const QString &nome) {
  // The role's name is quoted by the server; these only keep the teacher
  // from taking a name that is already something else.
  if (nome.isEmpty() || nome.size() > 63 || nome.startsWith(u"pg_"_s) || nome.startsWith(u"vornel"_s) ||
      nome == u"postgres"_s) {
    Errore() << u"Nome non valido per un insegnante: «%1».\n"_s.arg(nome);
    return 2;
  }
  const QString password = LeggiSegreto(u"Password per %1: "_s.arg(nome));
  const QString ancora = LeggiSegreto(u"Ripeti la password: "_s);
  if (password != ancora) {
    Errore() << u"Le due password non sono uguali: nulla è cambiato.\n"_s;
    return 1;
  }
  if (password.size() < 8) {
    Errore() << u"La password deve avere almeno 8 caratteri: nulla è cambiato.\n"_s;
    return 1;
  }
  QSqlDatabase db;
  if (!Apri(db, o, u"postgres"_s)) return 1;
  QString errore;
  if (!SchemaServer::CreaDocente(db, nome, password, &errore)) {
    Errore() << u"L'insegnante non è stato registrato: "_s << errore << u"\n"_s;
    return 1;
  }
  Uscita() << u"%1 entra nel registro della scuola con la sua password.\n"_s.arg(nome);
  return 0;
}

int Computer(const Opzioni &o) {
  QSqlDatabase db;
  if (!Apri(db, o, u"postgres"_s)) return 1;
  const QString password = NuovaPassword();
  QString errore;
  if (!SchemaServer::CreaRuoliEDatabase(db, password, &errore)) {
    Errore() << u"La password dei computer non è cambiata: "_s << errore << u"\n"_s;
    return 1;
  }
  Uscita() << u"Nuova password per i computer: quella di prima non vale più.\n"_s;
  StampaConf(o, password);
  return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(u"vornel-scuola"_s);
  QCommandLineParser p;
  p.setApplicationDescription(
      u"Il registro di Vornel sul server PostgreSQL della scuola.\n\n"
      u"Comandi:\n"
      u"  prepara        crea ruoli, database e registro; stampa server.conf per i computer,\n"
      u"                 la riga di pg_hba.conf e le impostazioni di postgresql.conf\n"
      u"  aggiorna       porta il registro alla versione di questo programma\n"
      u"  docente NOME   crea l'utente di un insegnante o ne cambia la password\n"
      u"  computer       nuova password per i computer; stampa il nuovo server.conf\n\n"
      u"Di solito: sudo -u postgres vornel-scuola prepara --server registro.scuola.lan --rete 192.168.10.0/24"_s);
  const QCommandLineOption aiuto({u"h"_s, u"help"_s, u"aiuto"_s}, u"Mostra questo aiuto."_s);
  const QCommandLineOption host(u"host"_s, u"Server o cartella del socket (predefinito: il socket locale)."_s,
                                u"host"_s);
  const QCommandLineOption porta(u"porta"_s, u"Porta di PostgreSQL (predefinita: 5432)."_s, u"porta"_s,
                                 u"5432"_s);
  const QCommandLineOption utente(
      u"utente"_s, u"Superutente di PostgreSQL (predefinito: l'utente di sistema)."_s, u"utente"_s);
  const QCommandLineOption server(u"server"_s,
                                  u"Il nome del server per i computer (come nel suo certificato)."_s,
                                  u"nome"_s, QSysInfo::machineHostName());
  const QCommandLineOption ca(u"ca"_s, u"Dove sta il certificato della scuola sui computer."_s, u"file"_s,
                              u"/etc/xdg/vornel/scuola-ca.crt"_s);
  const QCommandLineOption rete(u"rete"_s,
                                u"La rete del laboratorio per pg_hba.conf (es. 192.168.10.0/24)."_s,
                                u"rete"_s, u"<rete del laboratorio, es. 192.168.10.0/24>"_s);
  p.addOptions({aiuto, host, porta, utente, server, ca, rete});
  p.addPositionalArgument(u"comando"_s, u"prepara, aggiorna, docente NOME o computer"_s);
  if (!p.parse(QCoreApplication::arguments())) {
    // Qt's own texts are in English: said again in Italian.
    const QStringList ignote = p.unknownOptionNames();
    Errore() << (ignote.isEmpty() ? u"Opzione senza valore."_s
                                  : u"Opzione sconosciuta: %1."_s.arg(ignote.join(u", "_s)))
             << u"\nvornel-scuola --aiuto elenca i comandi.\n"_s;
    return 2;
  }
  if (p.isSet(aiuto)) {
    QString testo = p.helpText();
    testo.replace(u"Usage:"_s, u"Uso:"_s)
        .replace(u"[options]"_s, u"[opzioni]"_s)
        .replace(u"Options:"_s, u"Opzioni:"_s)
        .replace(u"Arguments:"_s, u"Argomenti:"_s);
    Uscita() << testo;
    return 0;
  }
  const QStringList argomenti = p.positionalArguments();
  const QString comando = argomenti.value(0);
  Opzioni o;
  o.host = p.value(host);
  o.utente = p.value(utente);
  o.server = p.value(server);
  o.ca = p.value(ca);
  o.rete = p.value(rete);
  bool ok = false;
  o.porta = p.value(porta).toInt(&ok);
  if (!ok || o.porta <= 0 || o.porta > 65535) {
    Errore() << u"Porta non valida: %1\n"_s.arg(p.value(porta));
    return 2;
  }
  if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
    Errore() << u"Manca il collegamento di Qt a PostgreSQL: installare libqt6sql6-psql.\n"_s;
    return 1;
  }
  if (comando == u"prepara"_s && argomenti.size() == 1) return Prepara(o);
  if (comando == u"aggiorna"_s && argomenti.size() == 1) return Aggiorna(o);
  if (comando == u"docente"_s && argomenti.size() == 2) return Docente(o, argomenti.at(1));
  if (comando == u"computer"_s && argomenti.size() == 1) return Computer(o);
  Errore() << u"Comando non riconosciuto. vornel-scuola --aiuto elenca i comandi.\n"_s;
  return 2;
}
