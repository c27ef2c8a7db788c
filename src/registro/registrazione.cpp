#include "registro/registrazione.h"

#include "registro/casi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

const QString kFormatoData = u"yyyy-MM-ddTHH:mm:ss"_s;

QVariant Facoltativo(const std::optional<qint64> &v) {
  return v ? QVariant(*v) : QVariant();
}

// --- what waits, as it is kept in its file ----------------------------------------

QJsonValue Numero(const std::optional<qint64> &v) {
  return v ? QJsonValue(double(*v)) : QJsonValue();
}

std::optional<qint64> Numero(const QJsonValue &v) {
  if (!v.isDouble()) return std::nullopt;
  return static_cast<qint64>(v.toDouble());
}

QJsonObject InJson(const DatiEsercizio &d) {
  return {{u"alunno"_s, Numero(d.alunno)}, {u"classe"_s, Numero(d.classe)}, {u"famiglia"_s, d.famiglia},
          {u"cifre"_s, d.cifre},           {u"cosa"_s, d.cosa},             {u"ordine"_s, d.ordine},
          {u"inizio"_s, d.inizio.toString(kFormatoData)}, {u"su_misura"_s, d.suMisura}};
}

DatiEsercizio DatiDaJson(const QJsonObject &o) {
  DatiEsercizio d;
  d.alunno = Numero(o.value(u"alunno"_s));
  d.classe = Numero(o.value(u"classe"_s));
  d.famiglia = o.value(u"famiglia"_s).toInt();
  d.cifre = o.value(u"cifre"_s).toInt();
  d.cosa = o.value(u"cosa"_s).toInt();
  d.ordine = o.value(u"ordine"_s).toInt();
  d.inizio = QDateTime::fromString(o.value(u"inizio"_s).toString(), kFormatoData);
  d.suMisura = o.value(u"su_misura"_s).toBool();
  return d;
}

QJsonObject InJson(const RegistrazioneEsercizio::Evento &e) {
  QJsonObject o{{u"tipo"_s, int(e.tipo)}, {u"uuid"_s, e.uuid}, {u"dati"_s, InJson(e.dati)}};
  if (e.tipo == RegistrazioneEsercizio::Evento::Tipo::Operazione) {
    const OperazioneChiusa &op = e.op;
    QJsonArray risposte;
    for (const Risposta &r : op.risposte)
      risposte.append(QJsonObject{{u"testo"_s, r.testo}, {u"errore"_s, r.errore}, {u"passi"_s, r.passi}});
    o.insert(u"op"_s, QJsonObject{{u"numero"_s, op.numero},
                                  {u"chiesto"_s, op.chiesto},
                                  {u"addendo1"_s, op.addendo1},
                                  {u"addendo2"_s, op.addendo2},
                                  {u"unita"_s, op.unita},
                                  {u"risultato"_s, op.risultato},
                                  {u"mostrato"_s, op.mostrato},
                                  {u"risposte"_s, risposte},
                                  {u"intervento"_s, op.intervento},
                                  {u"secondi"_s, double(op.secondi)},
                                  {u"caso"_s, op.caso},
                                  {u"richiesta"_s, op.richiesta}});
  }
  return o;
}

std::optional<RegistrazioneEsercizio::Evento> EventoDaJson(const QJsonObject &o) {
  using Tipo = RegistrazioneEsercizio::Evento::Tipo;
  RegistrazioneEsercizio::Evento e;
  const int tipo = o.value(u"tipo"_s).toInt(-1);
  if (tipo < int(Tipo::Apri) || tipo > int(Tipo::Chiudi)) return std::nullopt;
  e.tipo = Tipo(tipo);
  e.uuid = o.value(u"uuid"_s).toString();
  if (QUuid::fromString(e.uuid).isNull()) return std::nullopt;
  e.dati = DatiDaJson(o.value(u"dati"_s).toObject());
  if (e.tipo == Tipo::Operazione) {
    const QJsonObject op = o.value(u"op"_s).toObject();
    e.op.numero = op.value(u"numero"_s).toInt();
    e.op.chiesto = op.value(u"chiesto"_s).toInt();
    e.op.addendo1 = op.value(u"addendo1"_s).toString();
    e.op.addendo2 = op.value(u"addendo2"_s).toString();
    e.op.unita = op.value(u"unita"_s).toString();
    e.op.risultato = op.value(u"risultato"_s).toString();
    e.op.mostrato = op.value(u"mostrato"_s).toString();
    for (const QJsonValue &v : op.value(u"risposte"_s).toArray()) {
      const QJsonObject r = v.toObject();
      e.op.risposte.append(
          {r.value(u"testo"_s).toString(), r.value(u"errore"_s).toString(), r.value(u"passi"_s).toInt()});
    }
    e.op.intervento = op.value(u"intervento"_s).toBool();
    e.op.secondi = static_cast<qint64>(op.value(u"secondi"_s).toDouble());
    e.op.caso = op.value(u"caso"_s).toInt();
    e.op.richiesta = op.value(u"richiesta"_s).toInt();
  }
  return e;
}

}  // namespace

RegistrazioneEsercizio::RegistrazioneEsercizio(Registro &registro) : m_registro(registro) {
  m_riprova.setInterval(kRiprova);
  m_riprova.callOnTimeout([this] { (void)scrivi(); });
}

RegistrazioneEsercizio::~RegistrazioneEsercizio() {
  m_riprova.stop();
  if (m_coda.isEmpty()) return;
  {
    // The last try may wait longer: the program is closing, nobody is waiting on it.
    Registro::Breve attesa(m_registro, 2000);
    (void)scrivi();
  }
  if (!m_coda.isEmpty()) salvaAttesa();
}

QString RegistrazioneEsercizio::fileAttesa() const {
  const QFileInfo info(m_registro.percorso());
  return info.dir().filePath(u"%1-in-attesa-%2.json"_s.arg(info.completeBaseName(), m_registro.copia()));
}

// The writes an earlier run could not make come first. Another copy started at
// the same time may read the same file: the writes are made once all the same.
void RegistrazioneEsercizio::leggiAttesa() {
  m_attesaLetta = true;
  const QFileInfo info(m_registro.percorso());
  // Names are matched here, not by a name filter: a filter is a regular
  // expression, and the first one brings PCRE's pages and its JIT into the process.
  const QString prefisso = info.completeBaseName() + u"-in-attesa-"_s;
  const auto files = info.dir().entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
  QList<Evento> prima;
  for (const QFileInfo &f : files) {
    if (!f.fileName().startsWith(prefisso) || !f.fileName().endsWith(u".json"_s)) continue;
    if (f.absoluteFilePath() == QFileInfo(fileAttesa()).absoluteFilePath()) continue;
    QFile file(f.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isArray()) {
      qWarning("registro: unreadable waiting writes in %s, left there", qPrintable(f.fileName()));
      continue;
    }
    for (const QJsonValue &v : doc.array())
      if (const auto e = EventoDaJson(v.toObject())) prima.append(*e);
    m_fileLetti.append(f.absoluteFilePath());
  }
  m_coda = prima + m_coda;
}

void RegistrazioneEsercizio::salvaAttesa() {
  QJsonArray eventi;
  for (const Evento &e : m_coda) eventi.append(InJson(e));
  QSaveFile file(fileAttesa());
  if (file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(eventi).toJson(QJsonDocument::Compact)) >= 0 &&
      file.commit()) {
    for (const QString &f : std::as_const(m_fileLetti)) QFile::remove(f);
    m_fileLetti.clear();
  } else {
    qWarning("registro: %lld waiting writes could not be kept in %s", qlonglong(m_coda.size()),
             qPrintable(fileAttesa()));
  }
}

void RegistrazioneEsercizio::apri(const DatiEsercizio &dati) {
  m_dati = dati;
  m_uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
  m_id = 0;
  m_coda.append({Evento::Tipo::Apri, m_uuid, dati, {}});
}

Esito RegistrazioneEsercizio::inizia(const DatiEsercizio &dati) {
  if (m_dati) m_coda.append({Evento::Tipo::Chiudi, m_uuid, *m_dati, {}});
  apri(dati);
  return scrivi();
}

Esito RegistrazioneEsercizio::operazioneChiusa(const OperazioneChiusa &op) {
  if (op.sotto && (!m_dati || !m_dati->stessoEsercizio(*op.sotto))) {
    if (m_dati) m_coda.append({Evento::Tipo::Chiudi, m_uuid, *m_dati, {}});
    DatiEsercizio d = *op.sotto;
    if (!d.inizio.isValid()) d.inizio = QDateTime::currentDateTime();
    apri(d);
  }
  if (!m_dati) return Esito::Rifiuto(u"Nessun esercizio è in corso."_s);
  Evento e{Evento::Tipo::Operazione, m_uuid, *m_dati, op};
  e.op.sotto.reset();
  m_coda.append(std::move(e));
  if (op.numero >= kOperazioni) m_dati.reset();
  Esito esito = scrivi();
  if (!m_dati) m_id = 0;
  return esito;
}

Esito RegistrazioneEsercizio::interrompi() {
  if (!m_dati) return {};
  m_coda.append({Evento::Tipo::Chiudi, m_uuid, *m_dati, {}});
  m_dati.reset();
  m_id = 0;
  return scrivi();
}

Esito RegistrazioneEsercizio::scrivi() {
  if (!m_attesaLetta && m_registro.pronto()) leggiAttesa();
  Esito ultimo;
  if (m_coda.isEmpty()) return ultimo;
  Registro::Breve breve(m_registro, kAttesaBreve);
  while (!m_coda.isEmpty()) {
    qint64 riga = 0;
    const Evento &e = m_coda.first();
    m_annuncio = false;
    ultimo = m_registro.inTransazione([&] { return applica(e, riga); });
    if (ultimo && m_annuncio && m_annunciato) m_annunciato();
    if (!ultimo && m_registro.guasto() != Guasto::Incoerente) {
      if (!m_riprova.isActive()) m_riprova.start();
      return ultimo;
    }
    // A write the register refuses as contradicting it would be refused for
    // ever: it was told, and the ones after it go on.
    if (e.uuid == m_uuid && e.tipo != Evento::Tipo::Chiudi && m_dati) m_id = riga ? riga : m_id;
    m_coda.removeFirst();
  }
  m_riprova.stop();
  for (const QString &f : std::as_const(m_fileLetti)) QFile::remove(f);
  m_fileLetti.clear();
  return ultimo;
}

// Finds the exercise's row, or makes it. The writes of a pupil erased meanwhile
// are let go (`scartato`): the teacher asked for everything of them to go.
Esito RegistrazioneEsercizio::apriRiga(const Evento &e, qint64 &riga, bool &scartato) {
  QSqlQuery q(m_registro.db());
  q.prepare(u"SELECT id FROM esercizi WHERE uuid = ?"_s);
  q.addBindValue(e.uuid);
  if (!q.exec()) return m_registro.fallito(q);
  if (q.next()) {
    riga = q.value(0).toLongLong();
    return {};
  }
  if (e.dati.alunno) {
    q.prepare(u"SELECT 1 FROM alunni WHERE id = ?"_s);
    q.addBindValue(*e.dati.alunno);
    if (!q.exec()) return m_registro.fallito(q);
    if (!q.next()) {
      scartato = true;
      return {};
    }
  }
  q.prepare(
      u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, copia, su_misura)"
      u" VALUES (?, ?, COALESCE((SELECT id FROM classi WHERE id = ?), (SELECT classe FROM alunni WHERE id = ?)),"
      u"?, ?, ?, ?, ?, ?, ?)"_s);
  q.addBindValue(e.uuid);
  q.addBindValue(Facoltativo(e.dati.alunno));
  q.addBindValue(Facoltativo(e.dati.classe));
  q.addBindValue(Facoltativo(e.dati.alunno));
  q.addBindValue(e.dati.famiglia);
  q.addBindValue(e.dati.cifre);
  q.addBindValue(e.dati.cosa);
  q.addBindValue(e.dati.ordine);
  q.addBindValue(e.dati.inizio.toString(kFormatoData));
  q.addBindValue(m_registro.copia());
  q.addBindValue(e.dati.suMisura ? 1 : 0);
  if (!q.exec()) return m_registro.fallito(q);
  riga = q.lastInsertId().toLongLong();
  return annuncia(e.uuid, 0);
}

Esito RegistrazioneEsercizio::annuncia(const QString &uuid, int numero) {
  if (!m_registro.uscita()) return {};
  QSqlQuery q(m_registro.db());
  q.prepare(u"INSERT INTO uscita (esercizio, numero) VALUES (?, ?)"_s);
  q.addBindValue(uuid);
  q.addBindValue(numero > 0 ? QVariant(numero) : QVariant());
  if (!q.exec()) return m_registro.fallito(q);
  m_annuncio = true;
  return {};
}

Esito RegistrazioneEsercizio::applica(const Evento &e, qint64 &riga) {
  QSqlQuery q(m_registro.db());
  if (e.tipo == Evento::Tipo::Chiudi) {
    q.prepare(u"UPDATE esercizi SET stato = 2 WHERE uuid = ? AND stato = 0"_s);
    q.addBindValue(e.uuid);
    if (!q.exec()) return m_registro.fallito(q);
    if (q.numRowsAffected() == 1) return annuncia(e.uuid, 0);
    return {};
  }
  bool scartato = false;
  if (const Esito aperta = apriRiga(e, riga, scartato); !aperta) return aperta;
  if (scartato || e.tipo == Evento::Tipo::Apri) return Esito{true, {}, riga};

  const OperazioneChiusa &op = e.op;
  // Written already (the same write made twice): nothing more to do.
  q.prepare(
      u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,"
      u" intervento, secondi, mostrato, caso, richiesta) VALUES (?, ?, ?, COALESCE(?, ''), COALESCE(?, ''),"
      u" COALESCE(?, ''), COALESCE(?, ''), ?, ?, COALESCE(?, ''), ?, ?) ON CONFLICT (esercizio, numero) DO NOTHING"_s);
  q.addBindValue(riga);
  q.addBindValue(op.numero);
  q.addBindValue(op.chiesto);
  q.addBindValue(op.addendo1);
  q.addBindValue(op.addendo2);
  q.addBindValue(op.unita);
  q.addBindValue(op.risultato);
  q.addBindValue(op.intervento ? 1 : 0);
  q.addBindValue(op.secondi);
  q.addBindValue(op.mostrato);
  q.addBindValue(op.caso >= 1 && op.caso <= 12 ? QVariant(op.caso) : QVariant());
  q.addBindValue(op.richiesta >= 1 && op.richiesta <= 4 ? QVariant(op.richiesta) : QVariant());
  if (!q.exec()) return m_registro.fallito(q);
  if (q.numRowsAffected() != 1) return Esito{true, {}, riga};
  const qint64 operazione = q.lastInsertId().toLongLong();
  q.prepare(
      u"INSERT INTO risposte (operazione, n, testo, errore, passi)"
      u" VALUES (?, ?, COALESCE(?, ''), COALESCE(?, ''), ?)"_s);
  for (qsizetype i = 0; i < op.risposte.size(); ++i) {
    q.bindValue(0, operazione);
    q.bindValue(1, i + 1);
    q.bindValue(2, op.risposte[i].testo);
    q.bindValue(3, op.risposte[i].errore);
    q.bindValue(4, op.risposte[i].passi);
    if (!q.exec()) return m_registro.fallito(q);
  }
  // An operation closed without the program stepping in was answered right.
  // The twentieth closes the exercise: finished when the row holds all twenty
  // (an exercise split by a change of pupil or family holds fewer).
  q.prepare(
      u"UPDATE esercizi SET operazioni = operazioni + 1, esatte = esatte + ?, secondi = secondi + ?,"
      u" stato = CASE WHEN ? THEN (CASE WHEN operazioni + 1 >= ? THEN 1 ELSE 2 END) ELSE stato END,"
      u" errore = COALESCE(("
      u"  SELECT r.errore FROM operazioni o JOIN risposte r ON r.operazione = o.id"
      u"  WHERE o.esercizio = ? AND r.errore <> ''"
      u"  GROUP BY r.errore ORDER BY count(*) DESC, min(o.numero * 1000 + r.n) LIMIT 1), '')"
      u" WHERE id = ?"_s);
  q.addBindValue(op.intervento ? 0 : 1);
  q.addBindValue(op.secondi);
  q.addBindValue(op.numero >= kOperazioni ? 1 : 0);
  q.addBindValue(kOperazioni);
  q.addBindValue(riga);
  q.addBindValue(riga);
  if (!q.exec()) return m_registro.fallito(q);
  if (const Esito c = AggiornaCaso(m_registro, e.dati, op); !c) return c;
  if (const Esito a = annuncia(e.uuid, op.numero); !a) return a;
  return Esito{true, {}, operazione};
}
