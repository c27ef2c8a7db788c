#include "registro/provaserver.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "registro/schemaserver.h"

using namespace Qt::StringLiterals;

namespace ProvaServer {

namespace {

struct Segno {
  Esito esito;
  QList<const char16_t *> parole;  // any of them, lower case
};

// The words that tell each fault, in libpq's, the server's, OpenSSL's and the
// C library's texts, English and Italian. Checked in order: the certificate's
// and the server's own answers before the network's, which they may quote.
const QList<Segno> &Segni() {
  static const QList<Segno> segni{
      {Esito::PasswordSbagliata,
       {u"password authentication failed", u"autenticazione con password fallita", u"no password supplied",
        u"nessuna password"}},
      {Esito::NomeCertificato, {u"does not match host name", u"non combacia col nome host"}},
      {Esito::FileCaMancante, {u"root certificate file", u"certificato radice"}},
      {Esito::CertificatoNonFidato,
       {u"certificate verify failed", u"self-signed certificate", u"unable to get local issuer"}},
      {Esito::SenzaTls, {u"does not support ssl", u"non supporta ssl"}},
      {Esito::RifiutatoDaPgHba, {u"pg_hba.conf"}},
      {Esito::RuoloSenzaAccesso,
       {u"is not permitted to log in", u"non è consentito effettuare il login",
        u"permission denied for database", u"permesso negato per il database"}},
      {Esito::DatabaseMancante, {u"does not exist", u"non esiste"}},
      {Esito::ServerOccupato,
       {u"starting up", u"si sta avviando", u"shutting down", u"in fase di arresto", u"too many clients",
        u"troppi client", u"recovery mode", u"modalità di recupero"}},
      {Esito::NomeSconosciuto, {u"could not translate host name", u"conversione del nome host"}},
      {Esito::Rifiutato, {u"connection refused", u"connessione rifiutata"}},
      {Esito::NessunaRisposta,
       {u"timeout expired", u"timeout scaduto", u"timed out", u"connessione scaduta", u"no route to host",
        u"nessun instradamento", u"network is unreachable", u"rete non è raggiungibile",
        u"host is unreachable", u"server closed the connection unexpectedly",
        u"il server ha chiuso la connessione inaspettatamente"}},
  };
  return segni;
}

// What the role may do: hand over, and nothing a pupil must not reach.
Esito Ruolo(QSqlQuery &q) {
  if (!q.exec(
          u"SELECT has_function_privilege('ricevi(jsonb)', 'EXECUTE'),"
          u" has_table_privilege('esercizi', 'SELECT'), (SELECT rolsuper FROM pg_roles WHERE rolname = current_user)"_s) ||
      !q.next())
    return Esito::Altro;
  if (q.value(1).toBool() || q.value(2).toBool()) return Esito::RuoloTroppoPotente;
  return q.value(0).toBool() ? Esito::Ok : Esito::RuoloSenzaAccesso;
}

QString Host(const ConfigServer &c) {
  return c.host.trimmed();
}

}  // namespace

Esito Classifica(const QString &testo, const QString &sqlstate) {
  // The server's code, when the driver passes it on, says it in any language.
  if (sqlstate == u"28P01"_s) return Esito::PasswordSbagliata;
  if (sqlstate == u"3D000"_s) return Esito::DatabaseMancante;
  if (sqlstate == u"57P03"_s || sqlstate == u"53300"_s) return Esito::ServerOccupato;
  if (sqlstate == u"42501"_s) return Esito::RuoloSenzaAccesso;
  const QString t = testo.toLower();
  for (const Segno &s : Segni())
    for (const char16_t *parola : s.parole)
      if (t.contains(QString::fromUtf16(parola))) {
        // "does not exist" is the database's only in a database's sentence.
        if (s.esito == Esito::DatabaseMancante && !t.contains(u"database"_s)) continue;
        return s.esito;
      }
  return Esito::Altro;
}

QString Messaggio(Esito e, const ConfigServer &c, const QString &versioneServer, int versioneRegistro) {
  const QString host = Host(c);
  switch (e) {
    case Esito::Ok:
      return u"Collegamento riuscito: PostgreSQL %1, registro di Vornel versione %2. "
             u"I risultati di questo computer andranno al server della scuola."_s.arg(versioneServer)
                 .arg(versioneRegistro);
    case Esito::NonImpostato:
      return u"Manca l'indirizzo del server: senza indirizzo il registro resta solo su questo computer."_s;
    case Esito::SenzaDriver:
      return u"Su questo computer manca il collegamento di Qt a PostgreSQL: installare il pacchetto "
             u"libqt6sql6-psql."_s;
    case Esito::NomeSconosciuto:
      return u"Nessun computer della rete si chiama «%1»: controllare l'indirizzo del server "
             u"(o scrivere il suo indirizzo numerico)."_s.arg(host);
    case Esito::NessunaRisposta:
      return u"Il server %1 non risponde sulla porta %2: è spento, la rete è staccata, oppure un firewall "
             u"blocca la porta %2."_s.arg(host)
                 .arg(c.porta);
    case Esito::Rifiutato:
      return u"Il computer %1 risponde, ma sulla porta %2 non c'è PostgreSQL: controllare la porta, che il "
             u"server sia avviato e che ascolti la rete (listen_addresses in postgresql.conf)."_s.arg(host)
                 .arg(c.porta);
    case Esito::RifiutatoDaPgHba:
      return u"Il server rifiuta questo computer: il tecnico deve ammettere la rete del laboratorio in "
             u"pg_hba.conf (hostssl %1 all <rete> scram-sha-256)."_s.arg(c.database);
    case Esito::PasswordSbagliata:
      return u"Il server rifiuta l'utente «%1» con questa password: è sbagliata o è stata cambiata "
             u"(vornel-scuola computer ne dà una nuova e la stampa)."_s.arg(c.utente);
    case Esito::RuoloSenzaAccesso:
      return u"L'utente «%1» non può entrare nel database «%2»: controllare l'utente (di solito %3)."_s.arg(
          c.utente, c.database, QString::fromLatin1(SchemaServer::kComputer));
    case Esito::RuoloTroppoPotente:
      return u"L'utente «%1» legge i risultati di tutti gli alunni, e la sua password su questo computer è "
             u"alla "
             u"portata di ogni alunno: i computer devono entrare come %2."_s.arg(
                 c.utente, QString::fromLatin1(SchemaServer::kComputer));
    case Esito::SenzaTls:
      return u"Il server non accetta collegamenti cifrati (TLS): il tecnico deve attivare ssl = on in "
             u"postgresql.conf, con il certificato del server."_s;
    case Esito::CertificatoNonFidato:
      return u"Il certificato del server non è firmato dall'autorità indicata (%1): controllare il file del "
             u"certificato della scuola."_s.arg(c.sslrootcert.isEmpty() ? u"nessun file"_s : c.sslrootcert);
    case Esito::NomeCertificato:
      return u"Il certificato del server è intestato a un altro nome, non a «%1»: scrivere come indirizzo il "
             u"nome che compare nel certificato."_s.arg(host);
    case Esito::FileCaMancante:
      return u"Per la verifica completa serve il file del certificato della scuola (CA): «%1» non si legge."_s
          .arg(c.sslrootcert.isEmpty() ? u"nessun file indicato"_s : c.sslrootcert);
    case Esito::DatabaseMancante:
      return u"Sul server non c'è il database «%1»: prepararlo con vornel-scuola prepara, o correggere il "
             u"nome."_s.arg(c.database);
    case Esito::ServerOccupato:
      return u"Il server è occupato (si sta avviando, si sta fermando o ha troppi collegamenti): riprovare "
             u"fra "
             u"poco."_s;
    case Esito::RegistroAssente:
      return u"Il database «%1» non contiene il registro di Vornel: prepararlo con vornel-scuola prepara."_s
          .arg(c.database);
    case Esito::SchemaVecchio:
      return u"Il registro sul server è di una versione precedente (%1; questo programma usa la %2): "
             u"aggiornarlo con vornel-scuola aggiorna."_s.arg(versioneRegistro)
                 .arg(SchemaServer::kVersione);
    case Esito::SchemaNuovo:
      return u"Il registro sul server è di una versione più nuova (%1; questo programma conosce fino alla "
             u"%2): "
             u"aggiornare Vornel su questo computer."_s.arg(versioneRegistro)
                 .arg(SchemaServer::kVersione);
    case Esito::Altro:
      break;
  }
  return u"Il collegamento al server non è riuscito."_s;
}

Risultato Prova(const ConfigServer &c) {
  Risultato r;
  auto esito = [&](Esito e) {
    r.esito = e;
    r.messaggio = Messaggio(e, c, r.versioneServer, r.versioneRegistro);
    if (e == Esito::Altro && !r.dettaglio.isEmpty()) r.messaggio += u" "_s + r.dettaglio;
    return r;
  };
  if (!c.attivo()) return esito(Esito::NonImpostato);
  if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) return esito(Esito::SenzaDriver);
  // libpq looks for ~/.postgresql/root.crt when no file is named: say so
  // before it does, in the technician's terms.
  if (c.sslmode == u"verify-full"_s || c.sslmode == u"verify-ca"_s) {
    if (c.sslrootcert.isEmpty() || !QFileInfo(c.sslrootcert).isReadable())
      return esito(Esito::FileCaMancante);
  }
  static QAtomicInteger<quint64> contatore;
  const QString nome = u"vornel-prova-%1"_s.arg(contatore.fetchAndAddRelaxed(1));
  {
    QSqlDatabase db = c.connessione(nome);
    if (!db.open()) {
      const QSqlError e = db.lastError();
      r.dettaglio = e.databaseText().trimmed().isEmpty() ? e.text().trimmed() : e.databaseText().trimmed();
      esito(Classifica(e.databaseText() + u" "_s + e.driverText(), e.nativeErrorCode()));
    } else {
      QSqlQuery q(db);
      if (!q.exec(
              u"SELECT current_setting('server_version'), to_regclass('public.vornel_versione') IS NOT NULL"_s) ||
          !q.next()) {
        r.dettaglio = q.lastError().text();
        esito(Classifica(q.lastError().databaseText(), q.lastError().nativeErrorCode()));
      } else {
        r.versioneServer = q.value(0).toString();
        if (!q.value(1).toBool()) {
          esito(Esito::RegistroAssente);
        } else if (!q.exec(u"SELECT max(versione) FROM vornel_versione"_s) || !q.next()) {
          r.dettaglio = q.lastError().text();
          esito(Classifica(q.lastError().databaseText(), q.lastError().nativeErrorCode()));
        } else {
          r.versioneRegistro = q.value(0).toInt();
          esito(r.versioneRegistro < SchemaServer::kVersione   ? Esito::SchemaVecchio
                : r.versioneRegistro > SchemaServer::kVersione ? Esito::SchemaNuovo
                                                               : Ruolo(q));
        }
      }
      db.close();
    }
  }
  QSqlDatabase::removeDatabase(nome);
  return r;
}

}  // namespace ProvaServer
