#include "registro/riflesso.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "app/opzioni.h"

using namespace Qt::StringLiterals;

namespace Riflesso {

bool Leggi(QSqlDatabase &server, DatiServer &dati, QString *errore) {
  QSqlQuery q(server);
  q.setForwardOnly(true);
  const auto fallita = [&] {
    if (errore) *errore = q.lastError().text();
    return false;
  };
  if (!q.exec(u"SELECT uuid::text, nome FROM classi ORDER BY id"_s)) return fallita();
  while (q.next()) dati.classi.append({q.value(0).toString(), q.value(1).toString()});
  if (!q.exec(u"SELECT a.uuid::text, c.uuid::text, a.nome FROM alunni a JOIN classi c ON c.id = a.classe"
              u" ORDER BY a.id"_s))
    return fallita();
  while (q.next()) dati.alunni.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
  if (!q.exec(u"SELECT a.uuid::text, p.leggi_sempre, p.tabella_a_mano, p.senza_orologio, p.caratteri_grandi,"
              u" p.alto_contrasto FROM piani p JOIN alunni a ON a.id = p.alunno"_s))
    return fallita();
  while (q.next()) {
    PianoServer p{q.value(0).toString(), {}};
    for (int i = 0; i < 5; ++i) p.valori[i] = q.value(i + 1).toInt();
    dati.piani.append(p);
  }
  if (!q.exec(u"SELECT uuid::text FROM cancellati"_s)) return fallita();
  while (q.next()) dati.cancellati.append(q.value(0).toString());
  return true;
}

namespace {

struct Riga {
  qint64 id = 0;
  qint64 classe = 0;
  QString nome;
  bool remoto = false;
};

// The rows of a table of the register, by uuid.
bool LeggiRighe(QSqlQuery &q, const QString &sql, QHash<QString, Riga> &righe) {
  if (!q.exec(sql)) return false;
  while (q.next())
    righe.insert(q.value(1).toString(), {q.value(0).toLongLong(), q.value(4).toLongLong(),
                                         q.value(2).toString(), q.value(3).toInt() == 1});
  return true;
}

// Applies the changes; a mirror write is rare (a pupil added, renamed,
// erased), so each runs as its own statement.
class Scrittura {
 public:
  explicit Scrittura(Registro &r) : m_r(r), m_q(r.db()) {}
  bool operator()(const QString &sql, const QVariantList &valori) {
    m_q.prepare(sql);
    for (const QVariant &v : valori) m_q.addBindValue(v);
    if (!m_q.exec()) {
      m_r.fallito(m_q);
      return false;
    }
    ++m_scritte;
    return true;
  }
  [[nodiscard]] qint64 ultimoId() const { return m_q.lastInsertId().toLongLong(); }
  [[nodiscard]] int scritte() const { return m_scritte; }

 private:
  Registro &m_r;
  QSqlQuery m_q;
  int m_scritte = 0;
};

// A name no one gives: the row's own uuid, held while names are swapped.
QString NomeDiPassaggio(const QString &uuid) {
  return u"\u2060"_s + uuid;
}

}  // namespace

namespace {

bool AggiornaIn(Registro &registro, const DatiServer &dati, int *cambiati, const QString &inizio) {
  if (cambiati) *cambiati = 0;
  if (!registro.pronto()) return false;
  QSqlQuery q(registro.db());
  if (!q.exec(inizio)) return registro.fallito(q), false;
  const auto annulla = [&] {
    QSqlQuery(registro.db()).exec(u"ROLLBACK"_s);
    return false;
  };
  QHash<QString, Riga> classi, alunni;
  if (!LeggiRighe(q, u"SELECT id, uuid, nome, remoto, 0 FROM classi"_s, classi) ||
      !LeggiRighe(q, u"SELECT id, uuid, nome, remoto, classe FROM alunni"_s, alunni)) {
    registro.fallito(q);
    return annulla();
  }
  q.finish();
  Scrittura scrivi(registro);

  // Erased on the server: erased here, with their exercises (the foreign keys
  // cascade) and whatever of them waited to be sent.
  bool cancellato = false;
  for (const QString &uuid : dati.cancellati) {
    if (const auto a = alunni.constFind(uuid); a != alunni.cend()) {
      if (!scrivi(u"DELETE FROM alunni WHERE id = ?"_s, {a->id})) return annulla();
      alunni.erase(a);
      cancellato = true;
    }
    if (const auto c = classi.constFind(uuid); c != classi.cend()) {
      if (!scrivi(u"DELETE FROM classi WHERE id = ?"_s, {c->id})) return annulla();
      const qint64 id = c->id;
      classi.erase(c);
      alunni.removeIf([id](const auto &a) { return a.value().classe == id; });
      cancellato = true;
    }
  }
  if (cancellato && registro.uscita() &&
      !scrivi(u"DELETE FROM uscita WHERE esercizio NOT IN (SELECT uuid FROM esercizi)"_s, {}))
    return annulla();
  // The file is compacted once this is committed, as for an erasure made here.
  if (cancellato && !scrivi(u"INSERT OR IGNORE INTO da_compattare (id) VALUES (1)"_s, {})) return annulla();

  // The classes: found by uuid, else this computer's own of the same name
  // becomes the server's, else made.
  QHash<QString, const Riga *> classePerNome;
  for (auto c = classi.cbegin(); c != classi.cend(); ++c) classePerNome.insert(c->nome, &c.value());
  QList<std::pair<qint64, QString>> nomiClassi;  // (row, the server's name) to set
  QHash<QString, qint64> idClasse;               // the server's uuid -> the row here
  for (const ClasseServer &s : dati.classi) {
    if (const auto c = classi.constFind(s.uuid); c != classi.cend()) {
      idClasse.insert(s.uuid, c->id);
      if (c->nome != s.nome) nomiClassi.append({c->id, s.nome});
      if (!c->remoto && !scrivi(u"UPDATE classi SET remoto = 1 WHERE id = ?"_s, {c->id})) return annulla();
      continue;
    }
    const Riga *stesso = classePerNome.value(s.nome);
    if (stesso && !stesso->remoto) {
      if (!scrivi(u"UPDATE classi SET uuid = ?, remoto = 1 WHERE id = ?"_s, {s.uuid, stesso->id}))
        return annulla();
      idClasse.insert(s.uuid, stesso->id);
      continue;
    }
    if (!scrivi(u"INSERT INTO classi (nome, uuid, remoto) VALUES (?, ?, 1)"_s,
                {stesso ? NomeDiPassaggio(s.uuid) : s.nome, s.uuid}))
      return annulla();
    idClasse.insert(s.uuid, scrivi.ultimoId());
    if (stesso) nomiClassi.append({scrivi.ultimoId(), s.nome});
  }
  // Names swapped between two classes pass through names no one gives.
  for (const auto &[id, nome] : std::as_const(nomiClassi))
    if (!scrivi(u"UPDATE classi SET nome = ? || id WHERE id = ?"_s, {NomeDiPassaggio({}), id}))
      return annulla();
  for (const auto &[id, nome] : std::as_const(nomiClassi)) {
    // A class of this computer's own holding the name gives way.
    if (!scrivi(u"UPDATE classi SET nome = nome || ' (questo computer)' WHERE nome = ? AND remoto = 0"_s,
                {nome}) ||
        !scrivi(u"UPDATE classi SET nome = ? WHERE id = ?"_s, {nome, id}))
      return annulla();
  }

  // The pupils, alike within their class.
  QHash<std::pair<qint64, QString>, const Riga *> alunnoPerNome;
  for (auto a = alunni.cbegin(); a != alunni.cend(); ++a)
    alunnoPerNome.insert({a->classe, a->nome}, &a.value());
  QList<std::tuple<qint64, qint64, QString>> nomiAlunni;  // (row, class, name) to set
  QHash<QString, qint64> idAlunno;
  for (const AlunnoServer &s : dati.alunni) {
    const qint64 classe = idClasse.value(s.classe);
    if (classe == 0) continue;
    if (const auto a = alunni.constFind(s.uuid); a != alunni.cend()) {
      idAlunno.insert(s.uuid, a->id);
      if (a->nome != s.nome || a->classe != classe) nomiAlunni.append({a->id, classe, s.nome});
      if (!a->remoto && !scrivi(u"UPDATE alunni SET remoto = 1 WHERE id = ?"_s, {a->id})) return annulla();
      continue;
    }
    const Riga *stesso = alunnoPerNome.value({classe, s.nome});
    if (stesso && !stesso->remoto) {
      if (!scrivi(u"UPDATE alunni SET uuid = ?, remoto = 1 WHERE id = ?"_s, {s.uuid, stesso->id}))
        return annulla();
      idAlunno.insert(s.uuid, stesso->id);
      continue;
    }
    if (!scrivi(u"INSERT INTO alunni (classe, nome, uuid, remoto) VALUES (?, ?, ?, 1)"_s,
                {classe, stesso ? NomeDiPassaggio(s.uuid) : s.nome, s.uuid}))
      return annulla();
    idAlunno.insert(s.uuid, scrivi.ultimoId());
    if (stesso) nomiAlunni.append({scrivi.ultimoId(), classe, s.nome});
  }
  for (const auto &[id, classe, nome] : std::as_const(nomiAlunni))
    if (!scrivi(u"UPDATE alunni SET nome = ? || id WHERE id = ?"_s, {NomeDiPassaggio({}), id}))
      return annulla();
  for (const auto &[id, classe, nome] : std::as_const(nomiAlunni)) {
    if (!scrivi(u"UPDATE alunni SET nome = nome || ' (questo computer)'"
                u" WHERE classe = ? AND nome = ? AND remoto = 0"_s,
                {classe, nome}) ||
        !scrivi(u"UPDATE alunni SET nome = ?, classe = ? WHERE id = ?"_s, {nome, classe, id}))
      return annulla();
  }

  // The plans of the server's pupils follow them here.
  QHash<qint64, std::array<int, 5>> pianiQui;
  if (!q.exec(u"SELECT p.alunno, p.leggi_sempre, p.tabella_a_mano, p.senza_orologio, p.caratteri_grandi,"
              u" p.alto_contrasto FROM piani p JOIN alunni a ON a.id = p.alunno WHERE a.remoto = 1"_s)) {
    registro.fallito(q);
    return annulla();
  }
  while (q.next()) {
    std::array<int, 5> v{};
    for (int i = 0; i < 5; ++i) v[i] = q.value(i + 1).toInt();
    pianiQui.insert(q.value(0).toLongLong(), v);
  }
  q.finish();
  QSet<qint64> conPiano;
  for (const PianoServer &p : dati.piani) {
    const qint64 id = idAlunno.value(p.alunno);
    if (id == 0) continue;
    conPiano.insert(id);
    if (const auto qui = pianiQui.constFind(id); qui != pianiQui.cend() && *qui == p.valori) continue;
    QVariantList valori{id};
    for (int v : p.valori) valori.append(v);
    if (!scrivi(u"INSERT OR REPLACE INTO piani (alunno, leggi_sempre, tabella_a_mano, senza_orologio,"
                u" caratteri_grandi, alto_contrasto) VALUES (?, ?, ?, ?, ?, ?)"_s,
                valori))
      return annulla();
  }
  for (auto p = pianiQui.cbegin(); p != pianiQui.cend(); ++p)
    if (!conPiano.contains(p.key()) && !scrivi(u"DELETE FROM piani WHERE alunno = ?"_s, {p.key()}))
      return annulla();

  if (!q.exec(u"COMMIT"_s)) {
    registro.fallito(q);
    return annulla();
  }
  if (cambiati) *cambiati = scrivi.scritte();
  // Nothing of the erased is left in the file; when another copy reading it
  // keeps the compaction from completing, it is finished later.
  if (cancellato) (void)registro.compattaSeDovuto();
  return true;
}

}  // namespace

bool Aggiorna(Registro &registro, const DatiServer &dati, int *cambiati) {
  // Deferred first: the register is only read unless something changed. A
  // write the recording got in before (the snapshot read is then stale) is
  // met by doing it all again holding the write lock from the start.
  return AggiornaIn(registro, dati, cambiati, u"BEGIN"_s) ||
         (registro.guasto() == Guasto::Occupato &&
          AggiornaIn(registro, dati, cambiati, u"BEGIN IMMEDIATE"_s));
}

QList<Classe> Classi(Registro &registro) {
  QList<Classe> elenco;
  if (!registro.pronto()) return elenco;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  if (!q.exec(u"SELECT id, nome FROM classi WHERE remoto = 1 ORDER BY nome COLLATE NOCASE, id"_s)) {
    registro.fallito(q);
    return elenco;
  }
  while (q.next()) elenco.append({q.value(0).toLongLong(), q.value(1).toString()});
  return elenco;
}

QList<Alunno> Alunni(Registro &registro, qint64 classe) {
  QList<Alunno> elenco;
  if (!registro.pronto()) return elenco;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  q.prepare(
      u"SELECT id, classe, nome FROM alunni WHERE classe = ? AND remoto = 1"
      u" ORDER BY nome COLLATE NOCASE, id"_s);
  q.addBindValue(classe);
  if (!q.exec()) {
    registro.fallito(q);
    return elenco;
  }
  while (q.next()) elenco.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString()});
  return elenco;
}

}  // namespace Riflesso
