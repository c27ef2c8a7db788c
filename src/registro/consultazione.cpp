#include "registro/consultazione.h"

#include <QSqlQuery>
#include <QVariant>

#include "generation/valutazione.h"

using namespace Qt::StringLiterals;

namespace {

QDateTime Data(const QVariant &v) {
  return QDateTime::fromString(v.toString(), Qt::ISODate);
}

Andamento Confronta(const QString &ultima, const QString &precedente) {
  const int a = GradoValutazione(ultima), b = GradoValutazione(precedente);
  return a > b ? Andamento::Sale : a < b ? Andamento::Scende : Andamento::Stabile;
}

}  // namespace

int GradoValutazione(const QString &valutazione) {
  // Ten right out of ten down to none: the words in the order the table gives them.
  int grado = 0;
  QString precedente;
  for (int r = 0; r <= 10; ++r) {
    const QString parola = CalcolaValutazione(r, 10);
    if (parola != precedente && r > 0 && !precedente.isEmpty()) ++grado;
    precedente = parola;
    if (parola == valutazione) return grado;
  }
  return 0;
}

std::optional<VistaClasse> LeggiVistaClasse(Registro &registro, qint64 classe) {
  if (!registro.pronto()) return std::nullopt;
  VistaClasse vista;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  q.prepare(u"SELECT nome FROM classi WHERE id = ?"_s);
  q.addBindValue(classe);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  if (!q.next()) return std::nullopt;
  vista.classe = {classe, q.value(0).toString()};

  for (const Alunno &a : registro.alunni(classe)) vista.righe.append({a, {}, {}});
  // Per pupil: the families practised with their finished exercises, then the
  // two latest of each family, all from one index.
  QSqlQuery ultimi(registro.db());
  ultimi.setForwardOnly(true);
  ultimi.prepare(
      u"SELECT esatte, operazioni, inizio FROM esercizi"
      u" WHERE alunno = ? AND famiglia = ? AND stato = 1 ORDER BY inizio DESC, id DESC LIMIT 2"_s);
  q.prepare(
      u"SELECT famiglia, count(*) FROM esercizi WHERE alunno = ? AND stato = 1"
      u" GROUP BY famiglia ORDER BY famiglia"_s);
  QList<int> famiglie;
  for (RigaClasse &riga : vista.righe) {
    auto padroneggiati = LeggiPadroneggiati(registro, riga.alunno.id);
    if (!padroneggiati) return std::nullopt;
    riga.padroneggiati = std::move(*padroneggiati);
    q.bindValue(0, riga.alunno.id);
    if (!q.exec()) return registro.fallito(q), std::nullopt;
    while (q.next())
      riga.famiglie.append({q.value(0).toInt(), q.value(1).toInt(), {}, Andamento::Nessuno, {}});
    for (CasellaClasse &casella : riga.famiglie) {
      if (!famiglie.contains(casella.famiglia)) famiglie.append(casella.famiglia);
      ultimi.bindValue(0, riga.alunno.id);
      ultimi.bindValue(1, casella.famiglia);
      if (!ultimi.exec()) return registro.fallito(ultimi), std::nullopt;
      if (ultimi.next()) {
        casella.valutazione = CalcolaValutazione(ultimi.value(0).toInt(), ultimi.value(1).toInt());
        casella.ultimo = Data(ultimi.value(2));
      }
      if (ultimi.next())
        casella.andamento = Confronta(casella.valutazione,
                                      CalcolaValutazione(ultimi.value(0).toInt(), ultimi.value(1).toInt()));
    }
  }
  std::sort(famiglie.begin(), famiglie.end());
  vista.famiglie = famiglie;
  return vista;
}

std::optional<PaginaAlunno> LeggiPaginaAlunno(Registro &registro, qint64 alunno) {
  if (!registro.pronto()) return std::nullopt;
  PaginaAlunno pagina;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  if (alunno == 0) {
    pagina.alunno = {0, 0, kSenzaNome};
  } else {
    q.prepare(
        u"SELECT a.id, a.classe, a.nome, c.nome FROM alunni a JOIN classi c ON c.id = a.classe"
        u" WHERE a.id = ?"_s);
    q.addBindValue(alunno);
    if (!q.exec()) return registro.fallito(q), std::nullopt;
    if (!q.next()) return std::nullopt;
    pagina.alunno = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString()};
    pagina.classe = q.value(3).toString();
  }
  q.prepare(
      u"SELECT e.id, e.inizio, e.famiglia, e.cifre, e.cosa, e.ordine, e.esatte, e.operazioni,"
      u" e.secondi, e.stato, e.errore FROM esercizi e WHERE e.alunno IS NOT DISTINCT FROM ? ORDER BY e.inizio, e.id"_s);
  q.addBindValue(alunno == 0 ? QVariant() : QVariant(alunno));
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  while (q.next()) {
    RigaEsercizio r;
    r.id = q.value(0).toLongLong();
    r.inizio = Data(q.value(1));
    r.famiglia = q.value(2).toInt();
    r.cifre = q.value(3).toInt();
    r.cosa = q.value(4).toInt();
    r.ordine = q.value(5).toInt();
    r.esatte = q.value(6).toInt();
    r.operazioni = q.value(7).toInt();
    r.valutazione = CalcolaValutazione(r.esatte, r.operazioni);
    r.secondi = q.value(8).toLongLong();
    r.stato = static_cast<StatoEsercizio>(q.value(9).toInt());
    r.erroreFrequente = q.value(10).toString();
    if (r.stato == StatoEsercizio::Finito) pagina.serie.append({r.inizio, r.esatte, r.operazioni});
    pagina.esercizi.append(std::move(r));
  }
  if (alunno != 0) {
    QList<int> famiglie;
    for (const RigaEsercizio &e : std::as_const(pagina.esercizi))
      if (!famiglie.contains(e.famiglia)) famiglie.append(e.famiglia);
    std::sort(famiglie.begin(), famiglie.end());
    auto padronanza = LeggiPadronanza(registro, alunno, famiglie);
    if (!padronanza) return std::nullopt;
    pagina.padronanza = std::move(*padronanza);
  }
  return pagina;
}

std::optional<QList<OperazioneRegistrata>> LeggiOperazioni(Registro &registro, qint64 esercizio) {
  if (!registro.pronto()) return std::nullopt;
  QSqlQuery q(registro.db());
  q.setForwardOnly(true);
  q.prepare(u"SELECT 1 FROM esercizi WHERE id = ?"_s);
  q.addBindValue(esercizio);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  if (!q.next()) return std::nullopt;
  q.prepare(
      u"SELECT o.id, o.numero, o.chiesto, o.addendo1, o.addendo2, o.unita, o.risultato, o.intervento,"
      u" o.secondi, r.testo, r.errore, o.mostrato, r.passi"
      u" FROM operazioni o LEFT JOIN risposte r ON r.operazione = o.id"
      u" WHERE o.esercizio = ? ORDER BY o.numero, r.n"_s);
  q.addBindValue(esercizio);
  if (!q.exec()) return registro.fallito(q), std::nullopt;
  QList<OperazioneRegistrata> elenco;
  qint64 ultima = -1;
  while (q.next()) {
    if (q.value(0).toLongLong() != ultima) {
      ultima = q.value(0).toLongLong();
      OperazioneRegistrata op;
      op.numero = q.value(1).toInt();
      op.chiesto = q.value(2).toInt();
      op.addendo1 = q.value(3).toString();
      op.addendo2 = q.value(4).toString();
      op.unita = q.value(5).toString();
      op.risultato = q.value(6).toString();
      op.intervento = q.value(7).toInt() != 0;
      op.secondi = q.value(8).toLongLong();
      op.mostrato = q.value(11).toString();
      elenco.append(std::move(op));
    }
    if (!q.isNull(9))
      elenco.last().risposte.append({q.value(9).toString(), q.value(10).toString(), q.value(12).toInt()});
  }
  return elenco;
}

QString TestoCosa(int cosa) {
  switch (cosa) {
    case 1: return QStringLiteral("numero");
    case 2: return QStringLiteral("simbolo");
    case 3: return QStringLiteral("numero o simbolo");
    default: return {};
  }
}

QString TestoOrdine(int ordine) {
  switch (ordine) {
    case 1: return QStringLiteral("decrescente");
    case 2: return QStringLiteral("crescente");
    case 3: return QStringLiteral("decrescente e crescente");  // as the start window words both orders
    default: return {};
  }
}
