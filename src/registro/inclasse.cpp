#include "registro/inclasse.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "registro/registrazione.h"

using namespace Qt::StringLiterals;

std::optional<QList<AlunnoAlLavoro>> LeggiInClasse(Registro &registro, qint64 classe) {
  if (!registro.suServer()) return QList<AlunnoAlLavoro>{};
  if (!registro.pronto()) return std::nullopt;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  // The server's own SQL (the computer's register has no clock of arrival):
  // per pupil their latest exercise under way, with the latest operation's
  // intervention and the latest wrong answer, from the partial index of the
  // exercises under way.
  q.prepare(
      u"SELECT DISTINCT ON (coalesce(e.alunno, -e.id)) e.id, coalesce(e.alunno, 0), coalesce(a.nome, ''),"
      u" e.computer, e.famiglia, e.operazioni, e.esatte,"
      u" floor(extract(epoch FROM now() - e.aggiornato))::bigint,"
      u" coalesce((SELECT o.intervento FROM operazioni o WHERE o.esercizio = e.id"
      u"           ORDER BY o.numero DESC LIMIT 1), 0),"
      u" coalesce((SELECT r.errore FROM operazioni o JOIN risposte r ON r.operazione = o.id"
      u"           WHERE o.esercizio = e.id AND r.errore <> '' ORDER BY o.numero DESC, r.n DESC LIMIT 1), '')"
      u" FROM esercizi e LEFT JOIN alunni a ON a.id = e.alunno"
      u" WHERE e.classe = ? AND e.stato = 0 AND e.aggiornato > now() - make_interval(mins => ?)"
      u" ORDER BY coalesce(e.alunno, -e.id), e.aggiornato DESC, e.id DESC"_s);
  q.addBindValue(classe);
  q.addBindValue(kMinutiRecente);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  QList<AlunnoAlLavoro> righe;
  while (q.next()) {
    AlunnoAlLavoro r;
    r.esercizio = q.value(0).toLongLong();
    r.alunno = q.value(1).toLongLong();
    r.nome = r.alunno ? q.value(2).toString() : u"Senza nome"_s;
    r.computer = q.value(3).toString();
    r.famiglia = q.value(4).toInt();
    const int chiuse = q.value(5).toInt();
    r.esatte = q.value(6).toInt();
    r.sbagliate = std::max(0, chiuse - r.esatte);
    r.operazione = std::min(chiuse + 1, RegistrazioneEsercizio::kOperazioni);
    r.secondiFermo = std::max<qint64>(0, q.value(7).toLongLong());
    r.intervento = q.value(8).toInt() != 0;
    r.ultimoErrore = q.value(9).toString();
    righe.append(std::move(r));
  }
  // Name order as the register's lists; the exercises without a name last.
  std::stable_sort(righe.begin(), righe.end(), [](const AlunnoAlLavoro &a, const AlunnoAlLavoro &b) {
    if ((a.alunno == 0) != (b.alunno == 0)) return b.alunno == 0;
    const int c = a.nome.compare(b.nome, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.esercizio < b.esercizio;
  });
  return righe;
}

std::optional<QList<ComputerDelLaboratorio>> LeggiComputer(Registro &registro) {
  if (!registro.suServer()) return QList<ComputerDelLaboratorio>{};
  if (!registro.pronto()) return std::nullopt;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  if (!q.exec(u"SELECT nome, in_attesa, contatto, scarto FROM computer ORDER BY lower(nome), nome"_s))
    return registro.fallito(q), std::nullopt;
  QList<ComputerDelLaboratorio> elenco;
  while (q.next())
    elenco.append({q.value(0).toString(), q.value(1).toInt(), q.value(2).toDateTime(), q.value(3).toInt()});
  return elenco;
}

std::optional<qint64> ClasseInLaboratorio(Registro &registro) {
  if (!registro.suServer() || !registro.pronto()) return std::nullopt;
  QSqlQuery q(registro.db());
  q.prepare(
      u"SELECT classe FROM esercizi WHERE stato = 0 AND classe IS NOT NULL"
      u" AND aggiornato > now() - make_interval(mins => ?) ORDER BY aggiornato DESC LIMIT 1"_s);
  q.addBindValue(kMinutiRecente);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  if (!q.next()) return std::nullopt;
  return q.value(0).toLongLong();
}

qint64 ClasseDellAvviso(const QString &testo) {
  const QJsonDocument d = QJsonDocument::fromJson(testo.toUtf8());
  if (!d.isObject()) return -1;
  const QJsonValue v = d.object().value(u"classe"_s);
  if (!v.isDouble()) return -1;
  return static_cast<qint64>(v.toDouble());
}
