#include "registro/schemaserver.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace SchemaServer {

namespace {

// What the lab's computers hand over. SECURITY DEFINER: it runs as the owner,
// so the computers' role needs nothing but the right to call it. Every insert
// is idempotent; an exercise's state only moves forward (under way, then
// finished or unfinished) and its counters only grow, so a batch that arrives
// twice, or late after a newer one, changes nothing.
const char16_t *const kRicevi = uR"SQL(
CREATE FUNCTION ricevi(lotto jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $f$
DECLARE
  e jsonb;
  o jsonb;
  c jsonb;
  id_es bigint;
  id_al bigint;
  id_cl bigint;
  id_op bigint;
  rifiutati jsonb := '[]'::jsonb;
  pc text := left(coalesce(lotto->>'computer', ''), 100);
BEGIN
  FOR e IN SELECT value FROM jsonb_array_elements(coalesce(lotto->'esercizi', '[]'::jsonb)) LOOP
    id_al := NULL;
    id_cl := NULL;
    IF jsonb_typeof(e->'alunno') = 'string' THEN
      SELECT id, classe INTO id_al, id_cl FROM alunni WHERE uuid = (e->>'alunno')::uuid;
      IF id_al IS NULL THEN
        rifiutati := rifiutati || jsonb_build_array(e->>'uuid');
        CONTINUE;
      END IF;
    ELSIF jsonb_typeof(e->'classe') = 'string' THEN
      SELECT id INTO id_cl FROM classi WHERE uuid = (e->>'classe')::uuid;
      IF id_cl IS NULL THEN
        rifiutati := rifiutati || jsonb_build_array(e->>'uuid');
        CONTINUE;
      END IF;
    END IF;
    INSERT INTO esercizi AS x (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato,
                               operazioni, esatte, secondi, errore, su_misura, computer)
    VALUES ((e->>'uuid')::uuid, id_al, id_cl, (e->>'famiglia')::int, (e->>'cifre')::int,
            (e->>'cosa')::int, (e->>'ordine')::int, e->>'inizio', coalesce((e->>'stato')::int, 0),
            coalesce((e->>'operazioni')::int, 0), coalesce((e->>'esatte')::int, 0),
            coalesce((e->>'secondi')::bigint, 0), coalesce(e->>'errore', ''),
            coalesce((e->>'su_misura')::int, 0), pc)
    ON CONFLICT (uuid) DO UPDATE SET
      stato = CASE WHEN x.stato = 0 THEN EXCLUDED.stato ELSE x.stato END,
      operazioni = greatest(x.operazioni, EXCLUDED.operazioni),
      esatte = greatest(x.esatte, EXCLUDED.esatte),
      secondi = greatest(x.secondi, EXCLUDED.secondi),
      errore = CASE WHEN EXCLUDED.operazioni >= x.operazioni THEN EXCLUDED.errore ELSE x.errore END,
      aggiornato = now()
    RETURNING id INTO id_es;
    FOR o IN SELECT value FROM jsonb_array_elements(coalesce(e->'ops', '[]'::jsonb)) LOOP
      id_op := NULL;
      INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,
                              intervento, secondi, mostrato, caso, richiesta)
      VALUES (id_es, (o->>'numero')::int, (o->>'chiesto')::int, o->>'addendo1', o->>'addendo2',
              o->>'unita', o->>'risultato', coalesce((o->>'intervento')::int, 0),
              coalesce((o->>'secondi')::bigint, 0), coalesce(o->>'mostrato', ''),
              nullif((o->>'caso')::int, 0), nullif((o->>'richiesta')::int, 0))
      ON CONFLICT (esercizio, numero) DO NOTHING
      RETURNING id INTO id_op;
      IF id_op IS NOT NULL THEN
        INSERT INTO risposte (operazione, n, testo, errore, passi)
        SELECT id_op, (r->>'n')::int, r->>'testo', coalesce(r->>'errore', ''), coalesce((r->>'passi')::int, 0)
        FROM jsonb_array_elements(coalesce(o->'risposte', '[]'::jsonb)) AS r
        ON CONFLICT DO NOTHING;
      END IF;
    END LOOP;
    PERFORM pg_notify('vornel_lab', json_build_object('classe', id_cl, 'esercizio', id_es)::text);
  END LOOP;

  FOR c IN SELECT value FROM jsonb_array_elements(coalesce(lotto->'casi', '[]'::jsonb)) LOOP
    SELECT id INTO id_al FROM alunni WHERE uuid = (c->>'alunno')::uuid;
    CONTINUE WHEN id_al IS NULL;
    INSERT INTO casi AS k (alunno, famiglia, caso, scatola, giorno, sbagliato)
    VALUES (id_al, (c->>'famiglia')::int, (c->>'caso')::int, (c->>'scatola')::int, c->>'giorno',
            coalesce((c->>'sbagliato')::int, 0))
    ON CONFLICT (alunno, famiglia, caso) DO UPDATE SET
      scatola = EXCLUDED.scatola, giorno = EXCLUDED.giorno, sbagliato = EXCLUDED.sbagliato
    WHERE EXCLUDED.giorno >= k.giorno;
  END LOOP;

  IF pc <> '' THEN
    INSERT INTO computer AS k (nome, in_attesa, contatto, scarto)
    VALUES (pc, coalesce((lotto->>'in_attesa')::int, 0), now(),
            coalesce(extract(epoch FROM ((lotto->>'adesso')::timestamptz - now()))::int, 0))
    ON CONFLICT (nome) DO UPDATE SET
      in_attesa = EXCLUDED.in_attesa, contatto = EXCLUDED.contatto, scarto = EXCLUDED.scarto;
  END IF;
  RETURN jsonb_build_object('rifiutati', rifiutati);
END
$f$)SQL";

// A pupil or class erased on the server is remembered, so every computer
// erases it from its own register at its next contact.
const char16_t *const kCancellato = uR"SQL(
CREATE FUNCTION cancellato() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $f$
BEGIN
  INSERT INTO cancellati (uuid, tipo) VALUES (OLD.uuid, TG_ARGV[0]) ON CONFLICT DO NOTHING;
  RETURN OLD;
END
$f$)SQL";

bool Esegui(QSqlQuery &q, const QString &sql, QString *errore) {
  if (q.exec(sql)) return true;
  if (errore) *errore = q.lastError().text();
  return false;
}

}  // namespace

QStringList Passo(int n) {
  switch (n) {
    case 1:
      return {
          u"CREATE TABLE vornel_versione (versione integer NOT NULL)"_s,
          u"INSERT INTO vornel_versione VALUES (0)"_s,
          u"CREATE TABLE classi ("
          u" id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          u" uuid uuid NOT NULL UNIQUE DEFAULT gen_random_uuid(),"
          u" nome text NOT NULL UNIQUE)"_s,
          u"CREATE TABLE alunni ("
          u" id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          u" uuid uuid NOT NULL UNIQUE DEFAULT gen_random_uuid(),"
          u" classe bigint NOT NULL REFERENCES classi(id) ON DELETE CASCADE,"
          u" nome text NOT NULL,"
          u" UNIQUE (classe, nome))"_s,
          u"CREATE INDEX alunni_classe ON alunni (classe)"_s,
          u"CREATE TABLE piani ("
          u" alunno bigint PRIMARY KEY REFERENCES alunni(id) ON DELETE CASCADE,"
          u" leggi_sempre integer NOT NULL DEFAULT 0,"
          u" tabella_a_mano integer NOT NULL DEFAULT 0,"
          u" senza_orologio integer NOT NULL DEFAULT 0,"
          u" caratteri_grandi integer NOT NULL DEFAULT 0,"
          u" alto_contrasto integer NOT NULL DEFAULT 0)"_s,
          // computer: where it was done; ricevuto: when the server first had
          // it; aggiornato: when it last changed (the live view's clock: the
          // server's, whatever the computers' clocks say).
          u"CREATE TABLE esercizi ("
          u" id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          u" uuid uuid NOT NULL UNIQUE,"
          u" alunno bigint REFERENCES alunni(id) ON DELETE CASCADE,"
          u" classe bigint REFERENCES classi(id) ON DELETE CASCADE,"
          u" famiglia integer NOT NULL CHECK (famiglia BETWEEN 1 AND 12),"
          u" cifre integer NOT NULL CHECK (cifre IN (1, 2)),"
          u" cosa integer NOT NULL CHECK (cosa BETWEEN 1 AND 3),"
          u" ordine integer NOT NULL CHECK (ordine BETWEEN 1 AND 3),"
          u" inizio text NOT NULL,"
          u" stato integer NOT NULL DEFAULT 0 CHECK (stato BETWEEN 0 AND 2),"
          u" operazioni integer NOT NULL DEFAULT 0,"
          u" esatte integer NOT NULL DEFAULT 0,"
          u" secondi bigint NOT NULL DEFAULT 0,"
          u" errore text NOT NULL DEFAULT '',"
          u" copia text,"
          u" su_misura integer NOT NULL DEFAULT 0 CHECK (su_misura IN (0, 1)),"
          u" computer text NOT NULL DEFAULT '',"
          u" ricevuto timestamptz NOT NULL DEFAULT now(),"
          u" aggiornato timestamptz NOT NULL DEFAULT now())"_s,
          u"CREATE INDEX esercizi_alunno ON esercizi (alunno, inizio)"_s,
          u"CREATE INDEX esercizi_classe ON esercizi (classe)"_s,
          u"CREATE INDEX esercizi_famiglia ON esercizi (alunno, famiglia, stato, inizio, esatte, operazioni)"_s,
          u"CREATE INDEX esercizi_aperti ON esercizi (classe, aggiornato) WHERE stato = 0"_s,
          u"CREATE TABLE operazioni ("
          u" id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          u" esercizio bigint NOT NULL REFERENCES esercizi(id) ON DELETE CASCADE,"
          u" numero integer NOT NULL,"
          u" chiesto integer NOT NULL CHECK (chiesto IN (1, 2)),"
          u" addendo1 text NOT NULL,"
          u" addendo2 text NOT NULL,"
          u" unita text NOT NULL,"
          u" risultato text NOT NULL,"
          u" intervento integer NOT NULL CHECK (intervento IN (0, 1)),"
          u" secondi bigint NOT NULL,"
          u" mostrato text NOT NULL DEFAULT '',"
          u" caso integer CHECK (caso BETWEEN 1 AND 12),"
          u" richiesta integer CHECK (richiesta BETWEEN 1 AND 4),"
          u" ricevuto timestamptz NOT NULL DEFAULT now(),"
          u" UNIQUE (esercizio, numero))"_s,
          u"CREATE TABLE risposte ("
          u" operazione bigint NOT NULL REFERENCES operazioni(id) ON DELETE CASCADE,"
          u" n integer NOT NULL,"
          u" testo text NOT NULL,"
          u" errore text NOT NULL DEFAULT '',"
          u" passi integer NOT NULL DEFAULT 0,"
          u" PRIMARY KEY (operazione, n))"_s,
          u"CREATE TABLE casi ("
          u" alunno bigint NOT NULL REFERENCES alunni(id) ON DELETE CASCADE,"
          u" famiglia integer NOT NULL CHECK (famiglia BETWEEN 1 AND 12),"
          u" caso integer NOT NULL CHECK (caso BETWEEN 1 AND 12),"
          u" scatola integer NOT NULL CHECK (scatola BETWEEN 1 AND 5),"
          u" giorno text NOT NULL,"
          u" sbagliato integer NOT NULL DEFAULT 0,"
          u" PRIMARY KEY (alunno, famiglia, caso))"_s,
          u"CREATE TABLE cancellati ("
          u" uuid uuid PRIMARY KEY,"
          u" tipo text NOT NULL,"
          u" quando timestamptz NOT NULL DEFAULT now())"_s,
          // Each computer as it last reported: operations still waiting on it,
          // when, and how far ahead of the server its clock is (seconds).
          u"CREATE TABLE computer ("
          u" nome text PRIMARY KEY,"
          u" in_attesa integer NOT NULL DEFAULT 0,"
          u" contatto timestamptz NOT NULL,"
          u" scarto integer NOT NULL DEFAULT 0)"_s,
          QString::fromUtf16(kRicevi),
          QString::fromUtf16(kCancellato),
          u"CREATE TRIGGER alunni_cancellati AFTER DELETE ON alunni"
          u" FOR EACH ROW EXECUTE FUNCTION cancellato('alunno')"_s,
          u"CREATE TRIGGER classi_cancellate AFTER DELETE ON classi"
          u" FOR EACH ROW EXECUTE FUNCTION cancellato('classe')"_s,
      };
    default:
      return {};
  }
}

QStringList Permessi() {
  return {
      u"REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC"_s,
      u"REVOKE ALL ON ALL FUNCTIONS IN SCHEMA public FROM PUBLIC"_s,
      u"REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM PUBLIC"_s,
      u"REVOKE CREATE ON SCHEMA public FROM PUBLIC"_s,
      u"GRANT USAGE ON SCHEMA public TO vornel_computer, vornel_docenti"_s,
      // The computers: hand over, and read the class lists, plans and erasures.
      u"GRANT EXECUTE ON FUNCTION ricevi(jsonb) TO vornel_computer"_s,
      u"GRANT SELECT ON vornel_versione, classi, alunni, piani, cancellati TO vornel_computer"_s,
      // The teachers: everything but the schema itself.
      u"GRANT SELECT, INSERT, UPDATE, DELETE ON classi, alunni, piani, esercizi, operazioni, risposte, casi"
      u" TO vornel_docenti"_s,
      u"GRANT SELECT ON vornel_versione, cancellati, computer TO vornel_docenti"_s,
      u"GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO vornel_docenti"_s,
  };
}

int Versione(const QSqlDatabase &db, QString *errore) {
  QSqlQuery q(db);
  if (!q.exec(u"SELECT to_regclass('public.vornel_versione') IS NOT NULL"_s) || !q.next()) {
    if (errore) *errore = q.lastError().text();
    return -1;
  }
  if (!q.value(0).toBool()) return 0;
  if (!q.exec(u"SELECT max(versione) FROM vornel_versione"_s) || !q.next()) {
    if (errore) *errore = q.lastError().text();
    return -1;
  }
  return q.value(0).toInt();
}

bool Aggiorna(QSqlDatabase &db, QString *errore) {
  QSqlQuery q(db);
  if (!Esegui(q, u"BEGIN"_s, errore)) return false;
  auto annulla = [&] {
    QSqlQuery r(db);
    r.exec(u"ROLLBACK"_s);
    return false;
  };
  if (!Esegui(q, u"SET LOCAL ROLE vornel"_s, errore)) return annulla();
  // One technician at a time.
  if (!Esegui(q, u"SELECT pg_advisory_xact_lock(7240531)"_s, errore)) return annulla();
  const int da = Versione(db, errore);
  if (da < 0) return annulla();
  if (da > kVersione) {
    if (errore) *errore = u"Il database è di una versione più nuova di Vornel (%1)."_s.arg(da);
    return annulla();
  }
  for (int n = da + 1; n <= kVersione; ++n) {
    for (const QString &sql : Passo(n))
      if (!Esegui(q, sql, errore)) return annulla();
    q.prepare(u"UPDATE vornel_versione SET versione = ?"_s);
    q.addBindValue(n);
    if (!q.exec()) {
      if (errore) *errore = q.lastError().text();
      return annulla();
    }
  }
  for (const QString &sql : Permessi())
    if (!Esegui(q, sql, errore)) return annulla();
  return Esegui(q, u"COMMIT"_s, errore) || annulla();
}

namespace {

// Runs a statement the server itself writes with format(): %I and %L quote the
// names and the password, so nothing typed is ever pasted into SQL here.
bool EseguiFormato(QSqlDatabase &db, const QString &formato, const QStringList &argomenti, QString *errore) {
  QSqlQuery q(db);
  QStringList segnaposti;
  for (qsizetype i = 0; i < argomenti.size(); ++i) segnaposti << u"?::text"_s;
  q.prepare(u"SELECT format(?::text, VARIADIC ARRAY["_s + segnaposti.join(u", "_s) + u"])"_s);
  q.addBindValue(formato);
  for (const QString &a : argomenti) q.addBindValue(a);
  if (!q.exec() || !q.next()) {
    if (errore) *errore = q.lastError().text();
    return false;
  }
  const QString sql = q.value(0).toString();
  QSqlQuery esegui(db);
  return Esegui(esegui, sql, errore);
}

bool RuoloEsiste(QSqlDatabase &db, const QString &nome, bool &esiste, QString *errore) {
  QSqlQuery q(db);
  q.prepare(u"SELECT 1 FROM pg_roles WHERE rolname = ?"_s);
  q.addBindValue(nome);
  if (!q.exec()) {
    if (errore) *errore = q.lastError().text();
    return false;
  }
  esiste = q.next();
  return true;
}

}  // namespace

bool CreaRuoliEDatabase(QSqlDatabase &db, const QString &passwordComputer, QString *errore) {
  QSqlQuery q(db);
  bool esiste = false;
  for (const char *ruolo : {kProprietario, kDocenti}) {
    if (!RuoloEsiste(db, QString::fromLatin1(ruolo), esiste, errore)) return false;
    if (!esiste && !EseguiFormato(db, u"CREATE ROLE %I NOLOGIN"_s, {QString::fromLatin1(ruolo)}, errore))
      return false;
  }
  if (!RuoloEsiste(db, QString::fromLatin1(kComputer), esiste, errore)) return false;
  if (!EseguiFormato(db, esiste ? u"ALTER ROLE %I LOGIN PASSWORD %L"_s : u"CREATE ROLE %I LOGIN PASSWORD %L"_s,
                     {QString::fromLatin1(kComputer), passwordComputer}, errore))
    return false;
  q.prepare(u"SELECT 1 FROM pg_database WHERE datname = ?"_s);
  q.addBindValue(QString::fromLatin1(kDatabase));
  if (!q.exec()) {
    if (errore) *errore = q.lastError().text();
    return false;
  }
  if (!q.next() && !EseguiFormato(db, u"CREATE DATABASE %I OWNER %I ENCODING 'UTF8' TEMPLATE template0"_s,
                                  {QString::fromLatin1(kDatabase), QString::fromLatin1(kProprietario)}, errore))
    return false;
  // Nobody but the register's roles gets in, and they make no tables of their own.
  return EseguiFormato(db, u"REVOKE CONNECT, TEMPORARY ON DATABASE %I FROM PUBLIC"_s,
                       {QString::fromLatin1(kDatabase)}, errore) &&
         EseguiFormato(db, u"GRANT CONNECT ON DATABASE %I TO %I, %I"_s,
                       {QString::fromLatin1(kDatabase), QString::fromLatin1(kComputer), QString::fromLatin1(kDocenti)},
                       errore);
}

bool CreaDocente(QSqlDatabase &db, const QString &nome, const QString &password, QString *errore) {
  bool esiste = false;
  if (!RuoloEsiste(db, nome, esiste, errore)) return false;
  if (esiste) {
    // Only a teacher's own login gets a new password: a role of the server's
    // that is something else (an administrator, another program's) is never
    // taken over, nor made a teacher.
    QSqlQuery q(db);
    q.prepare(u"SELECT r.rolsuper OR r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls,"
              u" EXISTS (SELECT 1 FROM pg_auth_members m JOIN pg_roles d ON d.oid = m.roleid"
              u"  WHERE m.member = r.oid AND d.rolname = ?)"
              u" FROM pg_roles r WHERE r.rolname = ?"_s);
    q.addBindValue(QString::fromLatin1(kDocenti));
    q.addBindValue(nome);
    if (!q.exec() || !q.next()) {
      if (errore) *errore = q.lastError().text();
      return false;
    }
    if (q.value(0).toBool() || !q.value(1).toBool()) {
      if (errore)
        *errore = u"sul server esiste già un utente «%1» che non è un insegnante del registro: scegliere un "
                  u"altro nome."_s.arg(nome);
      return false;
    }
    return EseguiFormato(db, u"ALTER ROLE %I LOGIN PASSWORD %L"_s, {nome, password}, errore) &&
           EseguiFormato(db, u"GRANT %I TO %I"_s, {QString::fromLatin1(kDocenti), nome}, errore);
  }
  return EseguiFormato(db, u"CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I"_s,
                       {nome, password, QString::fromLatin1(kDocenti)}, errore);
}

}  // namespace SchemaServer
