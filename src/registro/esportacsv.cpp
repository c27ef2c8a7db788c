#include "registro/esportacsv.h"

#include <QDateTime>
#include <QLocale>
#include <QSaveFile>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>

#include "generation/famiglie.h"
#include "generation/valutazione.h"
#include "registro/consultazione.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSeparatore = u";"_s;
const QByteArray kFineRiga = "\r\n";

QString TestoStato(int stato) {
  return stato == 1 ? u"finito"_s : u"non finito"_s;
}

// The stored start ("2026-12-09T10:15:30") as the spreadsheet's date and time
// cells, rearranged as text: going through QDateTime would look up the time
// zone at every row of a file of a million rows.
QStringList DataOra(const QString &iso) {
  if (iso.size() < 19 || iso[4] != u'-' || iso[7] != u'-' || iso[10] != u'T') return {QString(), QString()};
  return {iso.mid(8, 2) + u'/' + iso.mid(5, 2) + u'/' + iso.left(4), iso.mid(11, 8)};
}

// Rows gathered and written in large pieces.
class Uscita {
 public:
  explicit Uscita(QIODevice &out) : m_out(out) {}
  bool riga(const QStringList &celle) {
    m_buffer += celle.join(kSeparatore).toUtf8();
    m_buffer += kFineRiga;
    return m_buffer.size() < (1 << 16) || svuota();
  }
  bool svuota() {
    const bool ok = m_out.write(m_buffer) == m_buffer.size();
    m_buffer.clear();
    return ok;
  }

 private:
  QIODevice &m_out;
  QByteArray m_buffer;
};

}  // namespace

EsportaCsv::EsportaCsv(Registro &registro, Descrizione descriviErrore)
    : m_registro(registro), m_descriviErrore(std::move(descriviErrore)) {
  if (!m_descriviErrore) m_descriviErrore = [](const QString &k) { return k; };
}

QString EsportaCsv::Testo(const QString &s) {
  QString t = s;
  // A cell a spreadsheet would take for a formula (a name from an older
  // register, an answer typed as "-5") is written as text: the apostrophe is
  // the spreadsheets' own mark for it.
  if (!t.isEmpty() && QStringView(u"=+-@\t\r").contains(t.front())) t.prepend(u'\'');
  return u'"' + t.replace(u'"', u"\"\""_s) + u'"';
}

QString EsportaCsv::Numero(double x) {
  static const QLocale italiano = [] {
    QLocale l(QLocale::Italian, QLocale::Italy);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
  }();
  return italiano.toString(std::round(x * 100) / 100, 'f', QLocale::FloatingPointShortest);
}

Esito EsportaCsv::scrivi(const QString &file, const std::function<bool(QIODevice &)> &righe) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly))
    return Esito::Rifiuto(u"Non riesco a scrivere il file «%1»."_s.arg(file));
  out.write("\xEF\xBB\xBF");
  if (!righe(out)) {
    out.cancelWriting();
    return Esito::Rifiuto(m_registro.guasto() == Guasto::Nessuno
                              ? u"Non riesco a scrivere il file «%1»."_s.arg(file)
                              : u"Non riesco a leggere il registro per esportarlo."_s);
  }
  if (!out.commit()) return Esito::Rifiuto(u"Non riesco a scrivere il file «%1»."_s.arg(file));
  return {};
}

Esito EsportaCsv::esercizi(const QString &filtro, const QVariant &valore, const QString &file) {
  if (!m_registro.pronto()) return Esito::Rifiuto(u"Il registro non è disponibile."_s);
  return scrivi(file, [&](QIODevice &out) {
    static const QStringList intestazione = {u"Classe"_s,
                                             u"Alunno"_s,
                                             u"Data"_s,
                                             u"Ora"_s,
                                             u"Famiglia"_s,
                                             u"Unità"_s,
                                             u"Cifre"_s,
                                             u"Cosa calcolare"_s,
                                             u"Ordine"_s,
                                             u"Esatte"_s,
                                             u"Operazioni"_s,
                                             u"Voto in decimi"_s,
                                             u"Valutazione"_s,
                                             u"Tempo totale (s)"_s,
                                             u"Tempo medio (s)"_s,
                                             u"Errore più frequente"_s,
                                             u"Stato"_s};
    Uscita uscita(out);
    QStringList celle;
    for (const QString &c : intestazione) celle.append(Testo(c));
    if (!uscita.riga(celle)) return false;
    QStringList famiglie;
    for (int f = 0; f <= 12; ++f) famiglie.append(Testo(ElencoUnita(f)));
    QSqlQuery q(m_registro.db());
    q.setForwardOnly(true);
    q.prepare(
        u"SELECT c.nome, a.nome, e.inizio, e.famiglia, e.cifre, e.cosa, e.ordine, e.esatte, e.operazioni,"
        u" e.secondi, e.stato, e.errore"
        u" FROM esercizi e LEFT JOIN alunni a ON a.id = e.alunno LEFT JOIN classi c ON c.id = e.classe"
        u" WHERE "_s +
        filtro + u" ORDER BY lower(a.nome), a.id, e.inizio, e.id"_s);
    q.addBindValue(valore);
    if (!q.exec()) {
      m_registro.fallito(q);
      return false;
    }
    while (q.next()) {
      const int famiglia = q.value(3).toInt(), esatte = q.value(7).toInt(), operazioni = q.value(8).toInt();
      // Only a finished exercise is graded: a few operations of an unfinished
      // one would read as a grade the pupil never earned.
      const bool finito = q.value(10).toInt() == 1;
      const qint64 secondi = q.value(9).toLongLong();
      celle =
          QStringList{Testo(q.value(0).toString()), Testo(q.isNull(1) ? kSenzaNome : q.value(1).toString())};
      celle += DataOra(q.value(2).toString());
      celle << QStringList{
          QString::number(famiglia),
          famiglie.value(famiglia),
          QString::number(q.value(4).toInt()),
          Testo(TestoCosa(q.value(5).toInt())),
          Testo(TestoOrdine(q.value(6).toInt())),
          QString::number(esatte),
          QString::number(operazioni),
          finito && operazioni ? Numero(10.0 * esatte / operazioni) : QString(),
          Testo(finito ? CalcolaValutazione(esatte, operazioni) : QString()),
          QString::number(secondi),
          operazioni ? Numero(static_cast<double>(secondi) / operazioni) : QString(),
          Testo(q.value(11).toString().isEmpty() ? QString() : m_descriviErrore(q.value(11).toString())),
          Testo(TestoStato(q.value(10).toInt()))};
      if (!uscita.riga(celle)) return false;
    }
    return uscita.svuota();
  });
}

Esito EsportaCsv::classe(qint64 classe, const QString &file) {
  return esercizi(u"a.classe = ?"_s, classe, file);
}

Esito EsportaCsv::alunno(qint64 alunno, const QString &file) {
  return esercizi(u"e.alunno IS NOT DISTINCT FROM ?"_s, alunno == 0 ? QVariant() : QVariant(alunno), file);
}

Esito EsportaCsv::operazioniClasse(qint64 classe, const QString &file) {
  if (!m_registro.pronto()) return Esito::Rifiuto(u"Il registro non è disponibile."_s);
  return scrivi(file, [&](QIODevice &out) {
    static const QStringList intestazione = {u"Classe"_s,
                                             u"Alunno"_s,
                                             u"Data"_s,
                                             u"Ora"_s,
                                             u"Famiglia"_s,
                                             u"Esercizio"_s,
                                             u"Operazione"_s,
                                             u"Chiesto"_s,
                                             u"Primo addendo"_s,
                                             u"Secondo addendo"_s,
                                             u"Unità richiesta"_s,
                                             u"Risposta giusta"_s,
                                             u"Risposte date"_s,
                                             u"Errori"_s,
                                             u"Tentativi"_s,
                                             u"Esatta"_s,
                                             u"Intervento"_s,
                                             u"Secondi"_s};
    Uscita uscita(out);
    QStringList celle;
    for (const QString &c : intestazione) celle.append(Testo(c));
    if (!uscita.riga(celle)) return false;
    const QString nomeClasse = [&] {
      for (const Classe &c : m_registro.classi())
        if (c.id == classe) return c.nome;
      return QString();
    }();
    QSqlQuery q(m_registro.db());
    q.setForwardOnly(true);
    // One row per answer, pupil by pupil; the indexes give the order, so nothing
    // is sorted and the rows of one operation come together.
    q.prepare(
        u"SELECT e.inizio, e.famiglia, e.id, o.id, o.numero, o.chiesto, o.addendo1, o.addendo2, o.unita,"
        u" o.risultato, o.intervento, o.secondi, r.testo, r.errore"
        u" FROM esercizi e JOIN operazioni o ON o.esercizio = e.id LEFT JOIN risposte r ON r.operazione = "
        u"o.id"
        u" WHERE e.alunno = ? ORDER BY e.inizio, e.id, o.numero, r.n"_s);
    const QString kSimbolo = Testo(u"simbolo"_s), kNumero = Testo(u"numero"_s), kSi = Testo(u"sì"_s),
                  kNo = Testo(u"no"_s);
    qint64 corrente = -1;
    QStringList risposte, errori;
    const auto chiudi = [&] {
      if (corrente < 0) return true;
      celle[12] = Testo(risposte.join(u" · "_s));
      celle[13] = Testo(errori.join(u" · "_s));
      celle[14] = QString::number(risposte.size());
      return uscita.riga(celle);
    };
    for (const Alunno &alunno : m_registro.alunni(classe)) {
      q.bindValue(0, alunno.id);
      if (!q.exec()) {
        m_registro.fallito(q);
        return false;
      }
      while (q.next()) {
        if (q.value(3).toLongLong() != corrente) {
          if (!chiudi()) return false;
          corrente = q.value(3).toLongLong();
          risposte.clear();
          errori.clear();
          const bool intervento = q.value(10).toInt() != 0;
          celle = QStringList{Testo(nomeClasse), Testo(alunno.nome)};
          celle += DataOra(q.value(0).toString());
          celle << QStringList{QString::number(q.value(1).toInt()),
                               QString::number(q.value(2).toLongLong()),
                               QString::number(q.value(4).toInt()),
                               q.value(5).toInt() == 2 ? kSimbolo : kNumero,
                               Testo(q.value(6).toString()),
                               Testo(q.value(7).toString()),
                               Testo(q.value(8).toString().trimmed()),
                               Testo(q.value(9).toString().trimmed()),
                               QString(),
                               QString(),
                               QString(),
                               intervento ? kNo : kSi,
                               intervento ? kSi : kNo,
                               QString::number(q.value(11).toLongLong())};
        }
        if (!q.isNull(12)) {
          risposte.append(q.value(12).toString().trimmed());
          const QString errore = q.value(13).toString();
          if (!errore.isEmpty()) errori.append(m_descriviErrore(errore));
        }
      }
    }
    return chiudi() && uscita.svuota();
  });
}
