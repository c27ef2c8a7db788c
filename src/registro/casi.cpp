#include "registro/casi.h"
#include "registro/storiasumisura.h"

#include "didattica/sceltasumisura.h"

#include <QSqlQuery>
#include <QVariant>

#include "generation/famiglie.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecenti = 10;

QString Giorno(const QDate &d) { return d.toString(Qt::ISODate); }

// The pupil's latest operations in the family, oldest first, with the kinds
// of mistake their answers showed; `soloConCaso`: only those whose case is known.
std::optional<QList<OperazioneRecente>> LeggiRecenti(Registro &registro, qint64 alunno, int famiglia,
                                                     bool soloConCaso) {
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  // The last ten operations lie within the last ten exercises.
  q.prepare(
      u"SELECT o.id, COALESCE(o.caso, 0), COALESCE(o.richiesta, 0), r.errore FROM"
      u" (SELECT id, inizio FROM esercizi WHERE alunno = ? AND famiglia = ? ORDER BY inizio DESC, id DESC LIMIT ?) e"
      u" JOIN operazioni o ON o.esercizio = e.id LEFT JOIN risposte r ON r.operazione = o.id AND r.errore <> ''"
      u" WHERE ? = 0 OR o.caso IS NOT NULL"
      u" ORDER BY e.inizio DESC, e.id DESC, o.numero DESC"_s);
  q.addBindValue(alunno);
  q.addBindValue(famiglia);
  q.addBindValue(kRecenti);
  q.addBindValue(soloConCaso ? 1 : 0);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  QList<OperazioneRecente> recenti;
  qint64 ultima = -1;
  while (q.next()) {
    if (q.value(0).toLongLong() != ultima) {
      if (recenti.size() == kRecenti) break;
      ultima = q.value(0).toLongLong();
      recenti.append({q.value(1).toInt(), q.value(2).toInt(), {}});
    }
    if (q.isNull(3)) continue;
    const auto s = SbaglioDaChiave(q.value(3).toString());
    if (s && !recenti.last().sbagli.contains(*s)) recenti.last().sbagli.append(*s);
  }
  std::reverse(recenti.begin(), recenti.end());
  return recenti;
}

}  // namespace

Esito AggiornaCaso(Registro &registro, const DatiEsercizio &dati, const OperazioneChiusa &op) {
  if (!dati.alunno || op.caso < 1 || op.caso > 12) return {};
  const bool giusta = !op.intervento && (op.risposte.isEmpty() || op.risposte.first().errore.isEmpty());
  const QString oggi = Giorno(dati.inizio.date());
  QSqlQuery q(registro.db());
  q.prepare(u"SELECT scatola, giorno, sbagliato FROM casi WHERE alunno = ? AND famiglia = ? AND caso = ?"_s);
  q.addBindValue(*dati.alunno);
  q.addBindValue(dati.famiglia);
  q.addBindValue(op.caso);
  if (!q.exec()) return registro.fallito(q);
  Scatola prima;
  bool stessa = false;
  if (q.next()) {
    prima = {q.value(0).toInt(), q.value(2).toInt() != 0};
    // A write that waited past a later day's belongs to that later session.
    stessa = q.value(1).toString() >= oggi;
  }
  const Scatola dopo = PassoScatola(prima, stessa, giusta);
  q.prepare(
      u"INSERT INTO casi (alunno, famiglia, caso, scatola, giorno, sbagliato) VALUES (?, ?, ?, ?, ?, ?)"
      u" ON CONFLICT (alunno, famiglia, caso) DO UPDATE SET scatola = excluded.scatola,"
      u" giorno = max(giorno, excluded.giorno), sbagliato = excluded.sbagliato"_s);
  q.addBindValue(*dati.alunno);
  q.addBindValue(dati.famiglia);
  q.addBindValue(op.caso);
  q.addBindValue(dopo.scatola);
  q.addBindValue(oggi);
  q.addBindValue(dopo.sbagliatoInSessione ? 1 : 0);
  if (!q.exec()) return registro.fallito(q);
  return {};
}

std::optional<StoriaSuMisura> LeggiStoriaSuMisura(Registro &registro, qint64 alunno, int famiglia,
                                                  const QDate &oggi) {
  if (!registro.pronto()) return std::nullopt;
  StoriaSuMisura storia;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  // The sessions: the days the pupil practised the family, today the last.
  q.prepare(
      u"SELECT DISTINCT substr(inizio, 1, 10) AS giorno FROM esercizi WHERE alunno = ? AND famiglia = ?"
      u" AND substr(inizio, 1, 10) < ? ORDER BY giorno"_s);
  q.addBindValue(alunno);
  q.addBindValue(famiglia);
  q.addBindValue(Giorno(oggi));
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  QStringList giorni;
  while (q.next()) giorni.append(q.value(0).toString());
  storia.sessioneCorrente = static_cast<int>(giorni.size());
  giorni.append(Giorno(oggi));
  q.prepare(u"SELECT caso, scatola, giorno FROM casi WHERE alunno = ? AND famiglia = ? ORDER BY caso"_s);
  q.addBindValue(alunno);
  q.addBindValue(famiglia);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  while (q.next()) {
    const QString giorno = q.value(2).toString();
    // A day not among them is today's or later: the session under way.
    const auto i = std::lower_bound(giorni.cbegin(), giorni.cend(), giorno) - giorni.cbegin();
    storia.casi.append({q.value(0).toInt(), q.value(1).toInt(), static_cast<int>(std::min(i, giorni.size() - 1))});
  }
  auto recenti = LeggiRecenti(registro, alunno, famiglia, true);
  if (!recenti) return std::nullopt;
  storia.recenti = std::move(*recenti);
  return storia;
}

std::optional<QList<PadronanzaFamiglia>> LeggiPadronanza(Registro &registro, qint64 alunno,
                                                         const QList<int> &famiglie) {
  if (!registro.pronto()) return std::nullopt;
  QList<PadronanzaFamiglia> elenco;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  q.prepare(u"SELECT caso, scatola FROM casi WHERE alunno = ? AND famiglia = ?"_s);
  for (int famiglia : famiglie) {
    const auto f = TabellaFamiglia(famiglia);
    if (!f) continue;
    PadronanzaFamiglia p;
    p.famiglia = famiglia;
    p.casi = CasiDellaFamiglia(*f);
    p.stati = QList<StatoCaso>(p.casi.size(), StatoCaso::Nuovo);
    q.bindValue(0, alunno);
    q.bindValue(1, famiglia);
    if (!q.exec()) return registro.fallito(q), std::nullopt;
    while (q.next())
      if (const qsizetype i = p.casi.indexOf(q.value(0).toInt()); i >= 0)
        p.stati[i] = StatoDellaScatola(q.value(1).toInt());
    const auto recenti = LeggiRecenti(registro, alunno, famiglia, false);
    if (!recenti) return std::nullopt;
    for (Sbaglio s : SbagliRipetuti(*recenti)) p.ripetuti << ChiaveSbaglio(s);
    elenco.append(std::move(p));
  }
  return elenco;
}

std::optional<QList<std::pair<int, int>>> LeggiPadroneggiati(Registro &registro, qint64 alunno) {
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  q.prepare(
      u"SELECT famiglia, sum(CASE WHEN scatola >= ? THEN 1 ELSE 0 END) FROM casi WHERE alunno = ? GROUP BY famiglia ORDER BY famiglia"_s);
  q.addBindValue(kScatolaPadroneggiata);
  q.addBindValue(alunno);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  QList<std::pair<int, int>> conti;
  while (q.next()) conti.append({q.value(0).toInt(), q.value(1).toInt()});
  return conti;
}
