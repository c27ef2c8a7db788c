#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The school's register on its PostgreSQL server: the tables (the same names
// and columns as a computer's own register, so the teacher's views read either),
// the one function the lab's computers call to hand over what they recorded,
// and the roles and their grants.
//
// Roles:
//   vornel           owns every object; nobody logs in as it.
//   vornel_docenti   the teachers' group: reads and keeps everything. Each
//                    teacher logs in with a role of their own in this group.
//   vornel_computer  what every lab computer logs in as. Its password sits in a
//                    file any pupil at the computer can read, so it may only
//                    call ricevi() and read the class lists, the plans and the
//                    erasures: no pupil's results, no change, no erasure.
//
// ricevi(lotto jsonb) takes a batch of exercises with their operations and
// answers, each exercise named by its own UUID and each operation by
// (exercise, number), and writes it idempotently in the caller's transaction:
// a batch sent twice is one batch. The batch:
//   { "computer": "lab-07", "adesso": "<computer's clock, ISO 8601 with offset>",
//     "in_attesa": <operations still waiting on the computer after this batch>,
//     "esercizi": [ { "uuid", "alunno": <pupil uuid or null>, "classe": <class uuid or null>,
//                     "famiglia", "cifre", "cosa", "ordine", "inizio": "yyyy-MM-ddTHH:mm:ss",
//                     "stato": 0|1|2, "operazioni", "esatte", "secondi", "errore", "su_misura": 0|1,
//                     "ops": [ { "numero", "chiesto", "addendo1", "addendo2", "unita", "risultato",
//                                "mostrato", "intervento": 0|1, "secondi", "caso": n|null,
//                                "richiesta": n|null,
//                                "risposte": [ { "n", "testo", "errore", "passi" } ] } ] } ],
//     "casi": [ { "alunno": <uuid>, "famiglia", "caso", "scatola", "giorno", "sbagliato" } ] }
// and answers { "rifiutati": [<uuids of exercises whose pupil or class the
// server no longer has>] }. Each exercise touched is announced on the channel
// kCanale with its class and exercise ids once the transaction commits.
namespace SchemaServer {

inline constexpr int kVersione = 1;
inline constexpr const char *kCanale = "vornel_lab";
inline constexpr const char *kDatabase = "vornel";
inline constexpr const char *kProprietario = "vornel";
inline constexpr const char *kDocenti = "vornel_docenti";
inline constexpr const char *kComputer = "vornel_computer";

// The statements that take the database from version n - 1 to n, run as the
// owner in one transaction.
[[nodiscard]] QStringList Passo(int n);
// The grants, run after every migration (repeatable).
[[nodiscard]] QStringList Permessi();

// The schema's version on a connection: 0 when the database holds no Vornel
// register, -1 when it could not be read (errore says why).
[[nodiscard]] int Versione(const QSqlDatabase &db, QString *errore = nullptr);

// Brings the database to kVersione, as the owner role, then sets the grants.
// The connection must be a superuser's or the owner's. False with errore.
bool Aggiorna(QSqlDatabase &db, QString *errore);

// Creates the roles (where missing) and the database, as a superuser on the
// maintenance database `db`; the computers' password is set to
// passwordComputer. False with errore.
bool CreaRuoliEDatabase(QSqlDatabase &db, const QString &passwordComputer, QString *errore);

// A teacher's own login role in the teachers' group (created, or its password
// changed). Name and password are quoted by the server itself.
bool CreaDocente(QSqlDatabase &db, const QString &nome, const QString &password, QString *errore);

}  // namespace SchemaServer
