#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private PostgreSQL 15 server for one test: its own folder, socket and
// port on 127.0.0.1, run as an unprivileged user when the test runs as root
// (initdb refuses root), fsync off. With TLS (the default) it has a
// certificate for "localhost" and 127.0.0.1 signed by a certificate authority
// made here (certificatoCA()), and TCP connections without TLS are refused.
// The local socket lets the superuser "postgres" in without a password.
//
//   PostgresPrivato pg;
//   if (!pg.avvia()) QSKIP(qPrintable(pg.errore()));
//   QVERIFY(pg.preparaVornel());   // the school's register, as the technician's command makes it
//   ... connect to 127.0.0.1:pg.porta() as vornel_computer / PostgresPrivato::kPasswordComputer ...
class PostgresPrivato {
 public:
  static constexpr const char *kPasswordComputer = "computer-di-prova";

  explicit PostgresPrivato(bool tls = true);
  ~PostgresPrivato();
  PostgresPrivato(const PostgresPrivato &) = delete;
  PostgresPrivato &operator=(const PostgresPrivato &) = delete;

  // initdb (the first time) and start; false with errore() when it could not.
  bool avvia();
  // pg_ctl restart; immediate: -m immediate (in-flight transactions lost, as in a crash).
  bool riavvia(bool immediato = true);
  bool ferma(bool immediato = false);
  [[nodiscard]] bool attivo() const { return m_attivo; }

  [[nodiscard]] int porta() const { return m_porta; }
  [[nodiscard]] QString socket() const { return m_socket; }  // the folder of the local socket
  [[nodiscard]] QString certificatoCA() const { return m_ca; }
  [[nodiscard]] QString errore() const { return m_errore; }

  // A Qt SQL connection as the superuser through the local socket (database
  // "postgres" by default), opened; invalid and errore() set when it fails.
  QSqlDatabase superutente(const QString &nomeConnessione, const QString &database = QStringLiteral("postgres"));
  // Creates the roles, the database and the schema, as vornel-scuola does,
  // with kPasswordComputer for the computers' role.
  bool preparaVornel();
  // A teacher's role with its password.
  bool creaDocente(const QString &nome, const QString &password);
  // Runs one statement as the superuser in the Vornel database.
  bool esegui(const QString &sql);

  // Runs a program of PostgreSQL's bin folder as the server's user.
  bool comando(const QString &programma, const QStringList &argomenti, QString *uscita = nullptr, int attesa = 60000);

  static QString cartellaBin();

 private:
  bool preparaCartella();
  bool creaCertificati();

  bool m_tls;
  QTemporaryDir m_dir;
  QString m_dati, m_socket, m_ca, m_errore, m_log;
  int m_porta = 0;
  bool m_iniziato = false, m_attivo = false;
};

// A port on 127.0.0.1 that takes connections into its queue and never says a
// word: a server hung, or a firewall that swallows the packets.
class PortaMuta {
 public:
  PortaMuta();
  ~PortaMuta();
  PortaMuta(const PortaMuta &) = delete;
  PortaMuta &operator=(const PortaMuta &) = delete;
  [[nodiscard]] int porta() const { return m_porta; }

 private:
  int m_s = -1;
  int m_porta = 0;
};

// One operation of an exercise as a computer sends it to ricevi(): 12 hundreds
// plus 7 tens, in units, with the answers given and whether the program
// stepped in.
QJsonObject OperazioneInviata(int numero, int secondi, const QJsonArray &risposte, bool intervento = false);
