#include "registro/schema.h"

using namespace Qt::StringLiterals;

namespace {

// A random (version 4) UUID in its usual written form, made by SQLite for
// each row: the form the school's server writes, so both compare as text.
QString NuovoUuid() {
  return u"lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || substr(hex(randomblob(2)), 2)"
         u" || '-' || substr('89ab', 1 + abs(random()) % 4, 1) || substr(hex(randomblob(2)), 2)"
         u" || '-' || hex(randomblob(6)))"_s;
}

}  // namespace

QStringList TabelleUscita() {
  return {
      // What waits to go to the school's server, in the order it happened: an
      // exercise opened, closed or changed (numero NULL) or one of its
      // operations written. Written in the same transaction as the change it
      // announces; the sender reads the rows as they are when it sends, so a
      // row announced twice goes once. Only a computer with a server has it.
      u"CREATE TABLE IF NOT EXISTS uscita ("
      u" id INTEGER PRIMARY KEY AUTOINCREMENT,"
      u" esercizio TEXT NOT NULL,"
      u" numero INTEGER)"_s,
  };
}

QStringList PassoMigrazione(int n) {
  switch (n) {
    case 1:
      return {
          u"CREATE TABLE classi ("
          u" id INTEGER PRIMARY KEY,"
          u" nome TEXT NOT NULL UNIQUE)"_s,
          u"CREATE TABLE alunni ("
          u" id INTEGER PRIMARY KEY,"
          u" classe INTEGER NOT NULL REFERENCES classi(id) ON DELETE CASCADE,"
          u" nome TEXT NOT NULL,"
          u" UNIQUE (classe, nome))"_s,
          // alunno NULL: "Senza nome". stato 0 under way, 1 finished, 2 unfinished.
          // operazioni, esatte and secondi sum the closed operations.
          u"CREATE TABLE esercizi ("
          u" id INTEGER PRIMARY KEY,"
          u" alunno INTEGER REFERENCES alunni(id) ON DELETE CASCADE,"
          u" classe INTEGER REFERENCES classi(id) ON DELETE CASCADE,"
          u" famiglia INTEGER NOT NULL CHECK (famiglia BETWEEN 1 AND 12),"
          u" cifre INTEGER NOT NULL CHECK (cifre IN (1, 2)),"
          u" cosa INTEGER NOT NULL CHECK (cosa BETWEEN 1 AND 3),"
          u" ordine INTEGER NOT NULL CHECK (ordine BETWEEN 1 AND 3),"
          u" inizio TEXT NOT NULL,"
          u" stato INTEGER NOT NULL DEFAULT 0 CHECK (stato BETWEEN 0 AND 2),"
          u" operazioni INTEGER NOT NULL DEFAULT 0,"
          u" esatte INTEGER NOT NULL DEFAULT 0,"
          u" secondi INTEGER NOT NULL DEFAULT 0)"_s,
          u"CREATE INDEX esercizi_alunno ON esercizi (alunno, inizio)"_s,
          u"CREATE INDEX esercizi_classe ON esercizi (classe)"_s,
          // chiesto: 1 the number, 2 the symbol.
          u"CREATE TABLE operazioni ("
          u" id INTEGER PRIMARY KEY,"
          u" esercizio INTEGER NOT NULL REFERENCES esercizi(id) ON DELETE CASCADE,"
          u" numero INTEGER NOT NULL,"
          u" chiesto INTEGER NOT NULL CHECK (chiesto IN (1, 2)),"
          u" addendo1 TEXT NOT NULL,"
          u" addendo2 TEXT NOT NULL,"
          u" unita TEXT NOT NULL,"
          u" risultato TEXT NOT NULL,"
          u" intervento INTEGER NOT NULL CHECK (intervento IN (0, 1)),"
          u" secondi INTEGER NOT NULL,"
          u" UNIQUE (esercizio, numero))"_s,
          // Every answer given, in order; errore empty for a right one.
          u"CREATE TABLE risposte ("
          u" operazione INTEGER NOT NULL REFERENCES operazioni(id) ON DELETE CASCADE,"
          u" n INTEGER NOT NULL,"
          u" testo TEXT NOT NULL,"
          u" errore TEXT NOT NULL DEFAULT '',"
          u" PRIMARY KEY (operazione, n)) WITHOUT ROWID"_s,
          u"PRAGMA user_version = 1"_s,
      };
    case 2:
      return {
          // The most frequent mistake of each exercise, kept up to date as its
          // operations are written, so a pupil's page and the export read it
          // without going through every answer. Ties go to the one made first.
          u"ALTER TABLE esercizi ADD COLUMN errore TEXT NOT NULL DEFAULT ''"_s,
          u"UPDATE esercizi SET errore = COALESCE(("
          u" SELECT r.errore FROM operazioni o JOIN risposte r ON r.operazione = o.id"
          u" WHERE o.esercizio = esercizi.id AND r.errore <> ''"
          u" GROUP BY r.errore ORDER BY count(*) DESC, min(o.numero * 1000 + r.n) LIMIT 1), '')"_s,
          // The class view: the latest finished exercises of each pupil and family.
          u"CREATE INDEX esercizi_famiglia ON esercizi (alunno, famiglia, stato, inizio, esatte, operazioni)"_s,
          // The teacher's door: one row, the PIN's salted slow hash and the run of
          // wrong tries (kept here so restarting the program doesn't reset it).
          u"CREATE TABLE porta ("
          u" id INTEGER PRIMARY KEY CHECK (id = 1),"
          u" sale BLOB NOT NULL,"
          u" impronta BLOB NOT NULL,"
          u" iterazioni INTEGER NOT NULL,"
          u" errori INTEGER NOT NULL DEFAULT 0,"
          u" ultimo_errore INTEGER NOT NULL DEFAULT 0)"_s,
          u"PRAGMA user_version = 2"_s,
      };
    case 3:
      return {
          // A pupil's own plan: the compensatory tools the teacher switched on
          // for them, standing in for the machine's options. No row: the
          // machine's hold. The values are read as on only when exactly 1 (see
          // piani.cpp), so a row edited by hand can't switch anything on by accident.
          u"CREATE TABLE piani ("
          u" alunno INTEGER PRIMARY KEY REFERENCES alunni(id) ON DELETE CASCADE,"
          u" leggi_sempre INTEGER NOT NULL DEFAULT 0,"
          u" tabella_a_mano INTEGER NOT NULL DEFAULT 0,"
          u" senza_orologio INTEGER NOT NULL DEFAULT 0,"
          u" caratteri_grandi INTEGER NOT NULL DEFAULT 0,"
          u" alto_contrasto INTEGER NOT NULL DEFAULT 0)"_s,
          u"PRAGMA user_version = 3"_s,
      };
    case 4:
      // Run with foreign keys off (see Registro::aggiorna): the tables are
      // rebuilt, and dropping the old ones must not cascade.
      return {
          // AUTOINCREMENT: an id once given is never given again, so a window or
          // a copy of the program still holding the id of an erased pupil,
          // class or exercise can never reach whoever came after.
          u"CREATE TABLE classi4 ("
          u" id INTEGER PRIMARY KEY AUTOINCREMENT,"
          u" nome TEXT NOT NULL UNIQUE)"_s,
          u"INSERT INTO classi4 (id, nome) SELECT id, nome FROM classi"_s,
          u"DROP TABLE classi"_s,
          u"ALTER TABLE classi4 RENAME TO classi"_s,
          u"CREATE TABLE alunni4 ("
          u" id INTEGER PRIMARY KEY AUTOINCREMENT,"
          u" classe INTEGER NOT NULL REFERENCES classi(id) ON DELETE CASCADE,"
          u" nome TEXT NOT NULL,"
          u" UNIQUE (classe, nome))"_s,
          u"INSERT INTO alunni4 (id, classe, nome) SELECT id, classe, nome FROM alunni"_s,
          u"DROP TABLE alunni"_s,
          u"ALTER TABLE alunni4 RENAME TO alunni"_s,
          // uuid: the exercise's own id, made on the computer where it was done
          // and never made anywhere else, so the same exercise written twice (a
          // write retried, a school server sent it again) is one exercise; its
          // operations are known by (uuid, numero).
          // copia: the running copy of the program that has it open, while it
          // is under way (see Registro::chiudiAbbandonati).
          u"CREATE TABLE esercizi4 ("
          u" id INTEGER PRIMARY KEY AUTOINCREMENT,"
          u" uuid TEXT NOT NULL UNIQUE,"
          u" alunno INTEGER REFERENCES alunni(id) ON DELETE CASCADE,"
          u" classe INTEGER REFERENCES classi(id) ON DELETE CASCADE,"
          u" famiglia INTEGER NOT NULL CHECK (famiglia BETWEEN 1 AND 12),"
          u" cifre INTEGER NOT NULL CHECK (cifre IN (1, 2)),"
          u" cosa INTEGER NOT NULL CHECK (cosa BETWEEN 1 AND 3),"
          u" ordine INTEGER NOT NULL CHECK (ordine BETWEEN 1 AND 3),"
          u" inizio TEXT NOT NULL,"
          u" stato INTEGER NOT NULL DEFAULT 0 CHECK (stato BETWEEN 0 AND 2),"
          u" operazioni INTEGER NOT NULL DEFAULT 0,"
          u" esatte INTEGER NOT NULL DEFAULT 0,"
          u" secondi INTEGER NOT NULL DEFAULT 0,"
          u" errore TEXT NOT NULL DEFAULT '',"
          u" copia TEXT)"_s,
          // The rows of an older register are closed: no copy of this version has them open.
          u"INSERT INTO esercizi4 (id, uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato,"
          u" operazioni, esatte, secondi, errore)"
          u" SELECT id, lower(hex(randomblob(16))), alunno, classe, famiglia, cifre, cosa, ordine, inizio,"
          u" CASE stato WHEN 0 THEN 2 ELSE stato END, operazioni, esatte, secondi, errore FROM esercizi"_s,
          u"DROP TABLE esercizi"_s,
          u"ALTER TABLE esercizi4 RENAME TO esercizi"_s,
          u"CREATE INDEX esercizi_alunno ON esercizi (alunno, inizio)"_s,
          u"CREATE INDEX esercizi_classe ON esercizi (classe)"_s,
          u"CREATE INDEX esercizi_famiglia ON esercizi (alunno, famiglia, stato, inizio, esatte, operazioni)"_s,
          u"CREATE INDEX esercizi_aperti ON esercizi (stato, copia) WHERE stato = 0"_s,
          // The symbol question: the number the pupil saw beside the two addends.
          u"ALTER TABLE operazioni ADD COLUMN mostrato TEXT NOT NULL DEFAULT ''"_s,
          // A mistake's direction and steps (the comma moved by how many places,
          // the symbol how many units off), so the register shows the very
          // sentence the pupil read.
          u"ALTER TABLE risposte ADD COLUMN passi INTEGER NOT NULL DEFAULT 0"_s,
          // smarrito 1: this register was started anew when the old one was found
          // damaged, and the teacher's PIN could not be read from it. No PIN can
          // then be chosen here until the administrator resets the door.
          u"ALTER TABLE porta ADD COLUMN smarrito INTEGER NOT NULL DEFAULT 0"_s,
          // An erasure whose compaction could not complete, to be finished at
          // the next opening.
          u"CREATE TABLE da_compattare (id INTEGER PRIMARY KEY CHECK (id = 1))"_s,
          u"PRAGMA user_version = 4"_s,
      };
    case 5:
      return {
          // The pair case and the asked slot each operation was made with; the
          // operations recorded before have none (unknown, never guessed).
          u"ALTER TABLE operazioni ADD COLUMN caso INTEGER CHECK (caso BETWEEN 1 AND 12)"_s,
          u"ALTER TABLE operazioni ADD COLUMN richiesta INTEGER CHECK (richiesta BETWEEN 1 AND 4)"_s,
          // 1: an exercise built from the pupil's own history ("Su misura").
          u"ALTER TABLE esercizi ADD COLUMN su_misura INTEGER NOT NULL DEFAULT 0 CHECK (su_misura IN (0, 1))"_s,
          // Each pupil's box for each case of a family (see didattica/sceltasumisura.h),
          // kept up to date as operations are written, so the class view and the
          // pupil's page read it without going through every operation. giorno: the
          // session (day) the case was last met in; sbagliato: it went wrong that day.
          u"CREATE TABLE casi ("
          u" alunno INTEGER NOT NULL REFERENCES alunni(id) ON DELETE CASCADE,"
          u" famiglia INTEGER NOT NULL CHECK (famiglia BETWEEN 1 AND 12),"
          u" caso INTEGER NOT NULL CHECK (caso BETWEEN 1 AND 12),"
          u" scatola INTEGER NOT NULL CHECK (scatola BETWEEN 1 AND 5),"
          u" giorno TEXT NOT NULL,"
          u" sbagliato INTEGER NOT NULL DEFAULT 0,"
          u" PRIMARY KEY (alunno, famiglia, caso)) WITHOUT ROWID"_s,
          u"PRAGMA user_version = 5"_s,
      };
    case 6:
      return {
          // uuid: the class's and the pupil's own id, the same on every computer
          // and on the school's server, so a name changed there finds its row here.
          // remoto 1: a row mirrored from the server (the server keeps it; this
          // computer only reads it).
          u"ALTER TABLE classi ADD COLUMN uuid TEXT"_s,
          u"ALTER TABLE classi ADD COLUMN remoto INTEGER NOT NULL DEFAULT 0"_s,
          u"ALTER TABLE alunni ADD COLUMN uuid TEXT"_s,
          u"ALTER TABLE alunni ADD COLUMN remoto INTEGER NOT NULL DEFAULT 0"_s,
          u"UPDATE classi SET uuid = "_s + NuovoUuid(),
          u"UPDATE alunni SET uuid = "_s + NuovoUuid(),
          u"CREATE UNIQUE INDEX classi_uuid ON classi (uuid)"_s,
          u"CREATE UNIQUE INDEX alunni_uuid ON alunni (uuid)"_s,
          // A row added without one gets its own (SQLite takes no default that
          // changes from row to row).
          u"CREATE TRIGGER classi_uuid_nuovo AFTER INSERT ON classi FOR EACH ROW WHEN NEW.uuid IS NULL"
          u" BEGIN UPDATE classi SET uuid = "_s + NuovoUuid() + u" WHERE id = NEW.id; END"_s,
          u"CREATE TRIGGER alunni_uuid_nuovo AFTER INSERT ON alunni FOR EACH ROW WHEN NEW.uuid IS NULL"
          u" BEGIN UPDATE alunni SET uuid = "_s + NuovoUuid() + u" WHERE id = NEW.id; END"_s,
          u"PRAGMA user_version = 6"_s,
      };
    default:
      return {};
  }
}
