#include "registro/schema.h"

using namespace Qt::StringLiterals;

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
    default:
      return {};
  }
}
