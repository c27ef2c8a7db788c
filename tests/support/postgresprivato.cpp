#include "support/postgresprivato.h"

#include "registro/schemaserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool Root() {
  return ::geteuid() == 0;
}

// A port nobody listens on now, on 127.0.0.1.
int PortaLibera() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  int porta = 0;
  if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &n) == 0)
    porta = ntohs(a.sin_port);
  ::close(s);
  return porta;
}

bool DaiANobody(const QString &percorso) {
  if (!Root()) return true;
  const passwd *pw = ::getpwnam("nobody");
  return pw && ::chown(QFile::encodeName(percorso).constData(), pw->pw_uid, pw->pw_gid) == 0;
}

bool Scrivi(const QString &percorso, const QByteArray &testo, bool aggiungi = false) {
  QFile f(percorso);
  if (!f.open(aggiungi ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(testo) == testo.size();
}

}  // namespace

PostgresPrivato::PostgresPrivato(bool tls) : m_tls(tls) {}

PostgresPrivato::~PostgresPrivato() {
  ferma(true);
}

QString PostgresPrivato::cartellaBin() {
  return u"/usr/lib/postgresql/15/bin"_s;
}

bool PostgresPrivato::comando(const QString &programma, const QStringList &argomenti, QString *uscita,
                              int attesa) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.setWorkingDirectory(m_dir.path());
  const QString eseguibile = QDir(cartellaBin()).filePath(programma);
  if (Root())
    p.start(u"runuser"_s, QStringList{u"-u"_s, u"nobody"_s, u"--"_s, eseguibile} + argomenti);
  else
    p.start(eseguibile, argomenti);
  const bool ok = p.waitForFinished(attesa) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  const QString testo = QString::fromLocal8Bit(p.readAll());
  if (uscita) *uscita = testo;
  if (!ok) m_errore = programma + u": "_s + (p.error() == QProcess::FailedToStart ? p.errorString() : testo);
  return ok;
}

bool PostgresPrivato::preparaCartella() {
  if (!m_dir.isValid()) {
    m_errore = u"cartella temporanea non creata"_s;
    return false;
  }
  if (!QFile::exists(QDir(cartellaBin()).filePath(u"initdb"_s))) {
    m_errore = u"PostgreSQL 15 non è installato (postgresql-15)"_s;
    return false;
  }
  if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
    m_errore = u"il driver QPSQL di Qt non è installato (libqt6sql6-psql)"_s;
    return false;
  }
  QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
  m_dati = m_dir.filePath(u"dati"_s);
  m_socket = m_dir.filePath(u"sock"_s);
  m_log = m_dir.filePath(u"server.log"_s);
  QDir().mkpath(m_socket);
  Scrivi(m_log, {});
  if (!DaiANobody(m_socket) || !DaiANobody(m_log) || !DaiANobody(m_dir.path())) {
    m_errore = u"la cartella del server non può passare all'utente nobody"_s;
    return false;
  }
  return true;
}

bool PostgresPrivato::creaCertificati() {
  const QString est = m_dir.filePath(u"san.cnf"_s);
  Scrivi(est, "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
  const QStringList ec{u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s, u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s};
  const QList<QStringList> passi{
      QStringList{u"req"_s, u"-x509"_s} + ec +
          QStringList{u"-keyout"_s, u"ca.key"_s, u"-out"_s, u"ca.crt"_s, u"-days"_s, u"3"_s, u"-subj"_s,
                      u"/CN=Vornel prova CA"_s},
      QStringList{u"req"_s} + ec +
          QStringList{u"-keyout"_s, u"server.key"_s, u"-out"_s, u"server.csr"_s, u"-subj"_s, u"/CN=localhost"_s},
      {u"x509"_s, u"-req"_s, u"-in"_s, u"server.csr"_s, u"-CA"_s, u"ca.crt"_s, u"-CAkey"_s, u"ca.key"_s,
       u"-CAcreateserial"_s, u"-out"_s, u"server.crt"_s, u"-days"_s, u"3"_s, u"-extfile"_s, est},
  };
  for (const QStringList &a : passi) {
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(u"openssl"_s, a);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
      m_errore = u"openssl: "_s + QString::fromLocal8Bit(p.readAll()) + p.errorString();
      return false;
    }
  }
  m_ca = m_dir.filePath(u"ca.crt"_s);
  for (const QString &f : {u"server.key"_s, u"server.crt"_s}) {
    QFile::setPermissions(m_dir.filePath(f), QFile::ReadOwner | QFile::WriteOwner);
    if (!DaiANobody(m_dir.filePath(f))) return false;
  }
  return true;
}

bool PostgresPrivato::avvia() {
  if (m_attivo) return true;
  if (!m_iniziato) {
    if (!preparaCartella()) return false;
    if (m_tls && !creaCertificati()) return false;
    if (!comando(u"initdb"_s, {u"-D"_s, m_dati, u"-U"_s, u"postgres"_s, u"-A"_s, u"trust"_s, u"--no-sync"_s,
                               u"-E"_s, u"UTF8"_s, u"--locale=C.UTF-8"_s}))
      return false;
    m_porta = PortaLibera();
    QByteArray conf = "listen_addresses = '127.0.0.1'\nport = " + QByteArray::number(m_porta) +
                      "\nunix_socket_directories = '" + QFile::encodeName(m_socket) +
                      "'\nfsync = off\nfull_page_writes = off\nmax_connections = 100\n"
                      "password_encryption = 'scram-sha-256'\n";
    QByteArray hba = "local all all trust\n";
    if (m_tls) {
      conf += "ssl = on\nssl_cert_file = '" + QFile::encodeName(m_dir.filePath(u"server.crt"_s)) +
              "'\nssl_key_file = '" + QFile::encodeName(m_dir.filePath(u"server.key"_s)) + "'\n";
      hba += "hostssl all all 127.0.0.1/32 scram-sha-256\nhost all all 127.0.0.1/32 reject\n";
    } else {
      hba += "host all all 127.0.0.1/32 scram-sha-256\n";
    }
    if (!Scrivi(m_dati + u"/postgresql.conf"_s, conf, true) || !Scrivi(m_dati + u"/pg_hba.conf"_s, hba)) {
      m_errore = u"configurazione del server non scritta"_s;
      return false;
    }
    m_iniziato = true;
  }
  if (!comando(u"pg_ctl"_s, {u"-D"_s, m_dati, u"-l"_s, m_log, u"-w"_s, u"-t"_s, u"120"_s, u"start"_s}, nullptr,
               150000))
    return false;
  m_attivo = true;
  return true;
}

bool PostgresPrivato::riavvia(bool immediato) {
  if (!m_iniziato) return avvia();
  const bool ok = comando(u"pg_ctl"_s, {u"-D"_s, m_dati, u"-l"_s, m_log, u"-w"_s, u"-t"_s, u"120"_s, u"-m"_s,
                                        immediato ? u"immediate"_s : u"fast"_s, u"restart"_s},
                          nullptr, 150000);
  m_attivo = ok;
  return ok;
}

bool PostgresPrivato::ferma(bool immediato) {
  if (!m_attivo) return true;
  m_attivo = false;
  return comando(u"pg_ctl"_s,
                 {u"-D"_s, m_dati, u"-w"_s, u"-m"_s, immediato ? u"immediate"_s : u"fast"_s, u"stop"_s});
}

QSqlDatabase PostgresPrivato::superutente(const QString &nomeConnessione, const QString &database) {
  QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, nomeConnessione);
  db.setHostName(m_socket);
  db.setPort(m_porta);
  db.setUserName(u"postgres"_s);
  db.setDatabaseName(database);
  if (!db.open()) m_errore = db.lastError().text();
  return db;
}

bool PostgresPrivato::preparaVornel() {
  bool ok = false;
  {
    QSqlDatabase db = superutente(u"pgprivato-prepara"_s);
    ok = db.isOpen() &&
         SchemaServer::CreaRuoliEDatabase(db, QString::fromLatin1(kPasswordComputer), &m_errore);
  }
  QSqlDatabase::removeDatabase(u"pgprivato-prepara"_s);
  if (!ok) return false;
  {
    QSqlDatabase db = superutente(u"pgprivato-prepara"_s, QString::fromLatin1(SchemaServer::kDatabase));
    ok = db.isOpen() && SchemaServer::Aggiorna(db, &m_errore);
  }
  QSqlDatabase::removeDatabase(u"pgprivato-prepara"_s);
  return ok;
}

bool PostgresPrivato::creaDocente(const QString &nome, const QString &password) {
  bool ok = false;
  {
    QSqlDatabase db = superutente(u"pgprivato-docente"_s);
    ok = db.isOpen() && SchemaServer::CreaDocente(db, nome, password, &m_errore);
  }
  QSqlDatabase::removeDatabase(u"pgprivato-docente"_s);
  return ok;
}

bool PostgresPrivato::esegui(const QString &sql) {
  bool ok = false;
  {
    QSqlDatabase db = superutente(u"pgprivato-esegui"_s, QString::fromLatin1(SchemaServer::kDatabase));
    QSqlQuery q(db);
    ok = db.isOpen() && q.exec(sql);
    if (!ok) m_errore = q.lastError().text();
  }
  QSqlDatabase::removeDatabase(u"pgprivato-esegui"_s);
  return ok;
}

PortaMuta::PortaMuta() {
  m_s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  if (m_s >= 0 && ::bind(m_s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(m_s, 64) == 0 &&
      ::getsockname(m_s, reinterpret_cast<sockaddr *>(&a), &n) == 0)
    m_porta = ntohs(a.sin_port);
}

PortaMuta::~PortaMuta() {
  if (m_s >= 0) ::close(m_s);
}

QJsonObject OperazioneInviata(int numero, int secondi, const QJsonArray &risposte, bool intervento) {
  return {{QStringLiteral("numero"), numero},
          {QStringLiteral("chiesto"), 1},
          {QStringLiteral("addendo1"), QStringLiteral("12 h")},
          {QStringLiteral("addendo2"), QStringLiteral("7 da")},
          {QStringLiteral("unita"), QStringLiteral("u")},
          {QStringLiteral("risultato"), QStringLiteral("1.270")},
          {QStringLiteral("intervento"), intervento ? 1 : 0},
          {QStringLiteral("secondi"), secondi},
          {QStringLiteral("risposte"), risposte}};
}
