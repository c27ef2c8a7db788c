#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "registro/configserver.h"

// What came of the teacher signing in to the school's server.
struct EsitoAccesso {
  enum class Tipo {
    Entrato,          // connessione names the open connection, now the asker's thread's
    Password,         // wrong user name or password
    Irraggiungibile,  // no answer, refused, name unknown: the computer's own register is offered
    Certificato,      // TLS: the server's certificate was refused
    SchemaVecchio,    // the server's register wants the technician's update
    SchemaNuovo,      // the server's register wants a newer program here
    NonDocente,       // signed in, but not one of the teachers
  };
  Tipo tipo = Tipo::Irraggiungibile;
  QString connessione;
  // A second connection of the same teacher's, for reading off the window's
  // thread (In classe ora); empty when it could not be made.
  QString connessioneVista;
  QString messaggio;  // the Italian sentence the door shows
  QString dettaglio;  // the driver's own words, for the technician
};
Q_DECLARE_METATYPE(EsitoAccesso)

// The teacher signs in to the server with their own PostgreSQL role (SCRAM, TLS
// as the computer's settings ask). The connection is made on a thread of its
// own, so the window that asked stays responsive while the server is slow or
// silent; once open it is handed over to the asking thread, which must be the
// application's (the windows') thread: the thread that owns a Qt SQL
// connection is the only one that may use it, and Qt 6.4 has no call to hand
// one over, so the driver object itself is moved, as later Qt versions do. The password is
// dropped as soon as the connection is made: neither this object nor the
// connection keeps it.
class AccessoDocente : public QObject {
  Q_OBJECT
 public:
  // The teacher's connection is told lost sooner than a computer's: the
  // window's thread runs its queries, so a server that vanishes holds the
  // window at most this long (ms) before the window says so.
  static constexpr int kTcpUserTimeout = 4000;
  // A lock waited for, and one statement (the CSV of a whole class's
  // operations over five years takes a few seconds), at most (ms).
  static constexpr int kAttesaBlocco = 3000;
  static constexpr int kAttesaIstruzione = 30000;

  AccessoDocente(const ConfigServer &config, const QString &utente, QString password,
                 QObject *genitore = nullptr);
  // A sign-in still under way is abandoned: a connection made afterwards is closed.
  ~AccessoDocente() override;

  void annulla();
  [[nodiscard]] bool inCorso() const;

  // The libpq options of the teacher's connection.
  [[nodiscard]] static QString Opzioni(const ConfigServer &config);
  // Which fault the driver's words (after a failed connection) tell.
  [[nodiscard]] static EsitoAccesso::Tipo Classifica(const QString &testo);
  [[nodiscard]] static QString Messaggio(EsitoAccesso::Tipo tipo, const ConfigServer &config);
  // Whether the connection still holds a password in memory (libpq keeps the
  // one it connected with unless it is wiped).
  [[nodiscard]] static bool TienePassword(const QSqlDatabase &db);

 Q_SIGNALS:
  // Once, in this object's thread.
  void finito(const EsitoAccesso &esito);

 public:
  struct Stato;

 private:
  std::shared_ptr<Stato> m_stato;
};
