#pragma once

#include <QString>

#include "registro/configserver.h"

// "Prova": whether this computer reaches the school's server with its
// settings, and if not, what a person must do about it, in Italian. The
// check opens a connection as the computer's role and reads the register's
// version; it blocks for up to the connection's timeout, so the windows run
// it on a thread of its own.
namespace ProvaServer {

enum class Esito {
  Ok,
  NonImpostato,      // no address typed
  SenzaDriver,       // Qt's PostgreSQL driver is not installed
  NomeSconosciuto,   // the name does not resolve
  NessunaRisposta,   // unreachable, or silent until the timeout
  Rifiutato,         // nothing listening on that port
  RifiutatoDaPgHba,  // the server refuses this computer (pg_hba.conf)
  PasswordSbagliata,
  RuoloSenzaAccesso,     // the role may not log in, not into that database, or not hand over
  RuoloTroppoPotente,    // a teacher's or superuser's login in a file every pupil can read
  SenzaTls,              // the server does not speak TLS
  CertificatoNonFidato,  // not signed by the certificate authority given
  NomeCertificato,       // the certificate names another host
  FileCaMancante,        // verify-full without a readable CA file
  DatabaseMancante,
  ServerOccupato,   // starting up, or too many connections
  RegistroAssente,  // the database holds no Vornel register
  SchemaVecchio,    // older than this program: vornel-scuola aggiorna
  SchemaNuovo,      // newer than this program: update the program
  Altro,
};

// What libpq (or the server through it) said when a connection failed,
// sorted into what a person must act on. Reads libpq's and PostgreSQL's
// English and Italian texts (their language follows the machine's and the
// server's locale); sqlstate, where known, decides first.
[[nodiscard]] Esito Classifica(const QString &testo, const QString &sqlstate = {});

struct Risultato {
  Esito esito = Esito::Altro;
  QString messaggio;          // in Italian, for the teacher or the technician
  QString dettaglio;          // the driver's own words, for the technician
  QString versioneServer;     // PostgreSQL's version, when connected
  int versioneRegistro = -1;  // the register's schema version, when read
};

// The message for an outcome (the versions fill the schema's and Ok's).
[[nodiscard]] QString Messaggio(Esito e, const ConfigServer &c, const QString &versioneServer = {},
                                int versioneRegistro = -1);

// Connects with c as the computer's role, in the calling thread, on a
// connection of its own that is removed before returning.
[[nodiscard]] Risultato Prova(const ConfigServer &c);

}  // namespace ProvaServer
