#pragma once

#include <QSqlDatabase>
#include <QString>

// Where this computer finds the school's server, kept per machine: the
// technician deploys /etc/xdg/vornel/server.conf (an INI file, group
// [server]) or the teacher sets it in Opzioni, which writes the user's own
// ~/.config/vornel/server.conf; the user's file, when it names a host, wins.
// No host: no server, and the computer's own register is the whole register.
//
//   [server]
//   host=registro.scuola.lan
//   indirizzo=192.168.1.10       ; optional: the address, when the lab's
//                                ; network has no name for the server (the
//                                ; host is then only the certificate's name)
//   porta=5432
//   database=vornel
//   utente=vornel_computer
//   password=...
//   sslmode=verify-full          ; require at the least
//   sslrootcert=/etc/xdg/vornel/scuola-ca.crt
//   computer=lab-07              ; by default the machine's name
//   connect_timeout=5            ; seconds
//   tcp_user_timeout=10000       ; ms
struct ConfigServer {
  QString host;
  QString indirizzo;  // libpq's hostaddr: connect here, check the certificate against host
  int porta = 5432;
  QString database = QStringLiteral("vornel");
  QString utente = QStringLiteral("vornel_computer");
  QString password;
  QString sslmode = QStringLiteral("require");
  QString sslrootcert;
  QString computer;  // this computer's name on the server
  int connectTimeout = 5;
  int tcpUserTimeout = 10000;

  [[nodiscard]] bool attivo() const { return !host.trimmed().isEmpty(); }
  // The name the server knows this computer by: `computer`, else the machine's name.
  [[nodiscard]] QString nomeComputer() const;

  // The machine's file, then the user's over it.
  [[nodiscard]] static ConfigServer Leggi();
  // One file (for the technician's command and the tests).
  [[nodiscard]] static ConfigServer LeggiFile(const QString &file);
  // Readable by the user alone: it holds the computers' password.
  bool scriviFile(const QString &file) const;
  // The user's own file (~/.config/vornel/server.conf), written by Opzioni.
  [[nodiscard]] static QString FileUtente();
  // The machine's file the technician deploys (the first of XDG_CONFIG_DIRS).
  [[nodiscard]] static QString FileSistema();

  // libpq's options as Qt SQL's QPSQL takes them: TLS, the time allowed to
  // connect, keepalives, tcp_user_timeout and application_name with this
  // computer's name, so a dead network is noticed within seconds.
  [[nodiscard]] QString opzioniConnessione() const;
  // A QPSQL connection named `nome` (in the calling thread), not yet opened.
  // Empty utente/password: the computer's own.
  [[nodiscard]] QSqlDatabase connessione(const QString &nome, const QString &utente = {},
                                         const QString &password = {}) const;
};
