#include "registro/registrazione.h"

#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {
const QString kFormatoData = u"yyyy-MM-ddTHH:mm:ss"_s;
}

Esito RegistrazioneEsercizio::apriRiga() {
  QSqlQuery q(m_registro.db());
  // A pupil erased meanwhile leaves the exercise as "Senza nome".
  q.prepare(
      u"INSERT INTO esercizi (alunno, classe, famiglia, cifre, cosa, ordine, inizio) VALUES ("
      u"(SELECT id FROM alunni WHERE id = ?),"
      u"COALESCE((SELECT id FROM classi WHERE id = ?), (SELECT classe FROM alunni WHERE id = ?)),"
      u"?, ?, ?, ?, ?)"_s);
  const QVariant alunno = m_dati->alunno ? QVariant(*m_dati->alunno) : QVariant();
  q.addBindValue(alunno);
  q.addBindValue(m_dati->classe ? QVariant(*m_dati->classe) : QVariant());
  q.addBindValue(alunno);
  q.addBindValue(m_dati->famiglia);
  q.addBindValue(m_dati->cifre);
  q.addBindValue(m_dati->cosa);
  q.addBindValue(m_dati->ordine);
  q.addBindValue(m_dati->inizio.toString(kFormatoData));
  if (!q.exec()) return m_registro.fallito(q);
  m_id = q.lastInsertId().toLongLong();
  return Esito{true, {}, m_id};
}

Esito RegistrazioneEsercizio::inizia(const DatiEsercizio &dati) {
  if (m_dati) interrompi();
  m_dati = dati;
  m_id = 0;
  Esito e = m_registro.inTransazione([&] { return apriRiga(); });
  if (!e) m_id = 0;  // rolled back: the row is opened with the first operation
  return e;
}

Esito RegistrazioneEsercizio::operazioneChiusa(const OperazioneChiusa &op) {
  if (!m_dati) return Esito::Rifiuto(u"Nessun esercizio è in corso."_s);
  const bool ultima = op.numero >= kOperazioni;
  const bool senzaRiga = m_id == 0;
  Esito e = m_registro.inTransazione([&] {
    if (m_id == 0) {
      const Esito riga = apriRiga();
      if (!riga) return riga;
    }
    QSqlQuery q(m_registro.db());
    q.prepare(
        u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,"
        u" intervento, secondi) VALUES (?, ?, ?, COALESCE(?, ''), COALESCE(?, ''), COALESCE(?, ''),"
        u" COALESCE(?, ''), ?, ?)"_s);
    q.addBindValue(m_id);
    q.addBindValue(op.numero);
    q.addBindValue(op.chiesto);
    q.addBindValue(op.addendo1);
    q.addBindValue(op.addendo2);
    q.addBindValue(op.unita);
    q.addBindValue(op.risultato);
    q.addBindValue(op.intervento ? 1 : 0);
    q.addBindValue(op.secondi);
    if (!q.exec()) return m_registro.fallito(q);
    const qint64 operazione = q.lastInsertId().toLongLong();
    q.prepare(
        u"INSERT INTO risposte (operazione, n, testo, errore) VALUES (?, ?, COALESCE(?, ''), COALESCE(?, ''))"_s);
    for (qsizetype i = 0; i < op.risposte.size(); ++i) {
      q.bindValue(0, operazione);
      q.bindValue(1, i + 1);
      q.bindValue(2, op.risposte[i].testo);
      q.bindValue(3, op.risposte[i].errore);
      if (!q.exec()) return m_registro.fallito(q);
    }
    // An operation closed without the program stepping in was answered right.
    q.prepare(
        u"UPDATE esercizi SET operazioni = operazioni + 1, esatte = esatte + ?, secondi = secondi + ?,"
        u" stato = ?, errore = COALESCE(("
        u"  SELECT r.errore FROM operazioni o JOIN risposte r ON r.operazione = o.id"
        u"  WHERE o.esercizio = ? AND r.errore <> ''"
        u"  GROUP BY r.errore ORDER BY count(*) DESC, min(o.numero * 1000 + r.n) LIMIT 1), '')"
        u" WHERE id = ?"_s);
    q.addBindValue(op.intervento ? 0 : 1);
    q.addBindValue(op.secondi);
    q.addBindValue(ultima ? 1 : 0);
    q.addBindValue(m_id);
    q.addBindValue(m_id);
    if (!q.exec()) return m_registro.fallito(q);
    return Esito{true, {}, operazione};
  });
  if (!e && senzaRiga) m_id = 0;
  if (ultima) {
    m_dati.reset();
    m_id = 0;
  }
  return e;
}

Esito RegistrazioneEsercizio::interrompi() {
  if (!m_dati) return {};
  const qint64 id = m_id;
  m_dati.reset();
  m_id = 0;
  if (id == 0) return {};
  return m_registro.inTransazione([&] {
    QSqlQuery q(m_registro.db());
    q.prepare(u"UPDATE esercizi SET stato = 2 WHERE id = ? AND stato = 0"_s);
    q.addBindValue(id);
    if (!q.exec()) return m_registro.fallito(q);
    return Esito{true, {}, id};
  });
}
