#include "ui/registro/testiregistro.h"

#include <QLocale>
#include <algorithm>

#include "didattica/sbaglio.h"
#include "didattica/sceltasumisura.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/stampante.h"

using namespace Qt::StringLiterals;

QString NomeSbaglio(const QString &chiave) {
  const auto s = SbaglioDaChiave(chiave);
  if (!s) return chiave;
  switch (*s) {
    case Sbaglio::Nessuno:
      return {};
    case Sbaglio::SenzaConversione:
      return u"Senza conversione"_s;
    case Sbaglio::UnoSoloConvertito:
      return u"Un solo numero convertito"_s;
    case Sbaglio::VirgolaSpostata:
      return u"Virgola spostata"_s;
    case Sbaglio::ZeroSegnaposto:
      return u"Zero segnaposto"_s;
    case Sbaglio::Altro:
      return u"Altro errore"_s;
    case Sbaglio::SimboloPiuGrande:
      return u"Unità troppo grande"_s;
    case Sbaglio::SimboloPiuPiccolo:
      return u"Unità troppo piccola"_s;
    case Sbaglio::RispostaVuota:
      return u"Risposta vuota"_s;
    case Sbaglio::SommaSbagliata:
      return u"Errore nella somma"_s;
  }
  return chiave;
}

QString FraseDellAlunno(const QString &chiave) {
  const auto s = SbaglioDaChiave(chiave);
  if (!s) return {};
  Diagnosi d;
  d.sbaglio = *s;
  // The register keeps the kind, not how far off: the sentence the kind gives
  // for one step (a zero missing, ten times off, the next unit).
  d.passi = *s == Sbaglio::ZeroSegnaposto ? -1 : 1;
  d.richiesta = *s == Sbaglio::SimboloPiuGrande || *s == Sbaglio::SimboloPiuPiccolo ? Richiesta::Simbolo
                                                                                    : Richiesta::Numero;
  return FraseSbaglio(d);
}

QString FraseDellAlunno(const Risposta &risposta, int chiesto) {
  const auto s = SbaglioDaChiave(risposta.errore);
  if (!s || risposta.passi == 0) return FraseDellAlunno(risposta.errore);
  Diagnosi d;
  d.sbaglio = *s;
  d.passi = risposta.passi;
  d.richiesta = chiesto == 2 ? Richiesta::Simbolo : Richiesta::Numero;
  return FraseSbaglio(d);
}

QString TestoOperazione(const OperazioneRegistrata &o) {
  if (o.chiesto == 2 && !o.mostrato.isEmpty())
    return u"%1 + %2 = %3 ?"_s.arg(o.addendo1.simplified(), o.addendo2.simplified(), o.mostrato.simplified());
  return u"%1 + %2 = ? %3"_s.arg(o.addendo1.simplified(), o.addendo2.simplified(), o.unita.simplified());
}

QStringList TitoloACapo(const QString &titolo) {
  // 14-point bold Arial across the page between its margins: about forty of
  // the widest letters. Words go whole to the next line; a word longer than
  // the line is cut.
  constexpr int kLarghezza = 40;
  QStringList righe;
  QString riga;
  for (QString parola : titolo.split(u' ', Qt::SkipEmptyParts)) {
    while (parola.size() > kLarghezza) {
      if (!riga.isEmpty()) righe << std::exchange(riga, QString());
      righe << parola.left(kLarghezza);
      parola = parola.mid(kLarghezza);
    }
    if (!riga.isEmpty() && riga.size() + 1 + parola.size() > kLarghezza) righe << std::exchange(riga, QString());
    riga += (riga.isEmpty() ? QString() : u" "_s) + parola;
  }
  if (!riga.isEmpty() || righe.isEmpty()) righe << riga;
  return righe;
}

QString NomeFamiglia(int famiglia) {
  return u"%1 · %2"_s.arg(famiglia).arg(ElencoUnita(famiglia));
}

QString TestoCasella(const CasellaClasse &c) {
  switch (c.andamento) {
    case Andamento::Sale:
      return c.valutazione + u" ↑"_s;
    case Andamento::Scende:
      return c.valutazione + u" ↓"_s;
    case Andamento::Stabile:
      return c.valutazione + u" ="_s;
    case Andamento::Nessuno:
      break;
  }
  return c.valutazione;
}

QString TestoDurata(qint64 secondi) {
  if (secondi < 60) return u"%1 s"_s.arg(secondi);
  return u"%1 min %2 s"_s.arg(secondi / 60).arg(secondi % 60);
}

namespace {

// A column of the printed table, with at least one blank before the next.
QString Colonna(const QString &s, int larghezza) {
  const QString t = s.size() > larghezza - 1 ? s.left(larghezza - 2) + u'…' : s;
  return t.leftJustified(larghezza);
}

QString TestoAndamento(Andamento a) {
  switch (a) {
    case Andamento::Sale:
      return u"sale"_s;
    case Andamento::Scende:
      return u"scende"_s;
    case Andamento::Stabile:
      return u"stabile"_s;
    case Andamento::Nessuno:
      break;
  }
  return {};
}

}  // namespace

QString TestoCaso(int famiglia, int caso) {
  const auto f = TabellaFamiglia(famiglia);
  if (!f) return QString::number(caso);
  const CoppiaSlot s = SlotDelCaso(caso);
  return f->simbolo(s.primo).trimmed() + u" + "_s + f->simbolo(s.secondo).trimmed();
}

QString TestoPadroneggiati(const RigaClasse &riga) {
  QStringList parti;
  for (const auto &[famiglia, n] : riga.padroneggiati) {
    const auto f = TabellaFamiglia(famiglia);
    parti << u"%1: %2 su %3"_s.arg(famiglia).arg(n).arg(f ? CasiDellaFamiglia(*f).size() : 12);
  }
  return parti.join(u", "_s);
}

QString CasiNelloStato(const PadronanzaFamiglia &f, StatoCaso stato) {
  QStringList casi;
  for (qsizetype i = 0; i < f.casi.size(); ++i)
    if (f.stati.at(i) == stato) casi << TestoCaso(f.famiglia, f.casi.at(i));
  return casi.isEmpty() ? u"nessuno"_s : casi.join(u", "_s);
}

QString TestoRipetuti(const PadronanzaFamiglia &f) {
  QStringList parole;
  for (const QString &chiave : f.ripetuti) parole << NomeSbaglio(chiave);
  return parole.isEmpty() ? u"nessuno"_s : parole.join(u", "_s);
}

namespace {

// "etichetta: a, b, c" cut into lines of at most `larghezza` characters, the
// following ones indented under the first item.
QStringList ACapo(const QString &etichetta, const QString &elenco, int larghezza = 88) {
  QStringList righe;
  QString riga = etichetta;
  const QString rientro(etichetta.size(), u' ');
  for (const QString &parola : elenco.split(u' ')) {
    if (riga.size() + 1 + parola.size() > larghezza && riga.size() > rientro.size()) {
      righe << riga;
      riga = rientro;
    }
    riga += (riga.endsWith(u' ') || riga.isEmpty() ? QString() : u" "_s) + parola;
  }
  righe << riga;
  return righe;
}

}  // namespace

QStringList RigheStampaClasse(const VistaClasse &v, const QDate &oggi) {
  QStringList r;
  r << u"Registro della classe %1"_s.arg(v.classe.nome);
  r << u"Stampato il %1"_s.arg(oggi.toString(u"dd/MM/yyyy"_s)) << QString();
  r << Colonna(u"Alunno"_s, 24) + Colonna(u"Famiglia"_s, 10) + Colonna(u"Es. finiti"_s, 12) +
           Colonna(u"Ultima valutazione"_s, 20) + u"Andamento"_s;
  r << QString(80, u'-');
  for (const RigaClasse &riga : v.righe) {
    if (riga.famiglie.isEmpty()) {
      r << Colonna(riga.alunno.nome, 24) + u"nessun esercizio finito"_s;
      continue;
    }
    bool primo = true;
    for (const CasellaClasse &c : riga.famiglie) {
      r << Colonna(primo ? riga.alunno.nome : QString(), 24) + Colonna(QString::number(c.famiglia), 10) +
               Colonna(QString::number(c.esercizi), 12) + Colonna(c.valutazione, 20) +
               TestoAndamento(c.andamento);
      primo = false;
    }
  }
  r << QString() << u"Famiglie:"_s;
  for (int f : v.famiglie) r << u"  "_s + NomeFamiglia(f);
  // The cases each pupil has learnt, once the register knows any.
  const bool casi = std::any_of(v.righe.cbegin(), v.righe.cend(),
                                [](const RigaClasse &riga) { return !riga.padroneggiati.isEmpty(); });
  if (casi) {
    r << QString() << u"Casi imparati per famiglia (giusti al primo tentativo in due giorni diversi):"_s;
    for (const RigaClasse &riga : v.righe)
      r << ACapo(Colonna(riga.alunno.nome, 24),
                 riga.padroneggiati.isEmpty() ? u"nessun caso ancora"_s : TestoPadroneggiati(riga));
  }
  return r;
}

QStringList RigheStampaAlunno(const PaginaAlunno &p, const QDate &oggi) {
  QStringList r;
  const QString nome = p.alunno.id == 0 ? kSenzaNome : p.alunno.nome;
  r << (p.classe.isEmpty() ? nome : u"%1 — classe %2"_s.arg(nome, p.classe));
  r << u"Stampato il %1"_s.arg(oggi.toString(u"dd/MM/yyyy"_s)) << QString();
  // What was to be found and the order take the indented line below each
  // exercise, with its most frequent mistake: in full they don't fit one line.
  r << Colonna(u"Data"_s, 17) + Colonna(u"Fam."_s, 5) + Colonna(u"Cifre"_s, 6) + Colonna(u"Esatte"_s, 10) +
           Colonna(u"Valutazione"_s, 17) + Colonna(u"Tempo"_s, 12);
  r << u"    da trovare, ordine; errore più frequente"_s;
  r << QString(88, u'-');
  for (const RigaEsercizio &e : p.esercizi) {
    const QString esatte = u"%1 su %2"_s.arg(e.esatte).arg(e.operazioni);
    QString valutazione = e.valutazione;
    if (e.stato == StatoEsercizio::NonFinito) valutazione = u"non finito"_s;
    if (e.stato == StatoEsercizio::InCorso) valutazione = u"in corso"_s;
    r << Colonna(e.inizio.toString(u"dd/MM/yyyy hh:mm"_s), 17) + Colonna(QString::number(e.famiglia), 5) +
             Colonna(QString::number(e.cifre), 6) + Colonna(esatte, 10) + Colonna(valutazione, 17) +
             Colonna(TestoDurata(e.secondi), 12);
    QString come = u"    %1, %2"_s.arg(TestoCosa(e.cosa), TestoOrdine(e.ordine));
    if (!e.erroreFrequente.isEmpty()) come += u"; "_s + NomeSbaglio(e.erroreFrequente);
    r << come;
  }
  if (p.esercizi.isEmpty()) r << u"Nessun esercizio."_s;
  if (p.conPadronanza()) {
    r << QString() << u"Casi per famiglia (imparato: giusto al primo tentativo in due giorni diversi)"_s;
    for (const PadronanzaFamiglia &f : p.padronanza) {
      r << u"Famiglia %1"_s.arg(f.famiglia);
      r << ACapo(u"  imparati:         "_s, CasiNelloStato(f, StatoCaso::Padroneggiato));
      r << ACapo(u"  in esercizio:     "_s, CasiNelloStato(f, StatoCaso::InEsercizio));
      r << ACapo(u"  nuovi:            "_s, CasiNelloStato(f, StatoCaso::Nuovo));
      r << ACapo(u"  sbagli ripetuti:  "_s, TestoRipetuti(f));
    }
  }
  return r;
}

EsitoStampaRegistro StampaRighe(Stampante &stampante, const QString &titolo, const QStringList &righe,
                                const QImage &grafico) {
  const QString courier = CercaFontCourier(stampante.fonts());
  stampante.impostaTitolo(titolo);
  stampante.impostaFont(u"Arial"_s);
  stampante.impostaGrassetto(true);
  stampante.impostaDimensione(14);
  stampante.impostaX(1000);
  stampante.impostaY(1000);
  // The title (the first line) wraps inside the page.
  const QStringList titoli = righe.isEmpty() ? QStringList() : TitoloACapo(righe.first());
  for (qsizetype i = 0; i + 1 < titoli.size(); ++i) {
    stampante.impostaX(1000);
    stampante.stampaRiga(titoli.at(i));
  }
  for (qsizetype i = 0; i < righe.size(); ++i) {
    if (i == 1) {
      stampante.impostaFont(courier.isEmpty() ? u"Arial"_s : courier);
      stampante.impostaGrassetto(false);
      stampante.impostaDimensione(9);
    }
    stampante.impostaX(1000);
    stampante.stampaRiga(i == 0 ? titoli.last() : righe.at(i));
    if (i == 1 && !grafico.isNull()) {
      const double y = stampante.y() + 200;
      stampante.stampaImmagine(grafico, 1000, y, kLarghezzaGrafico, kAltezzaGrafico);
      stampante.impostaY(y + kAltezzaGrafico + 200);
    }
  }
  if (stampante.fineDocumento()) return {true, {}};
  return {false, stampante.errore()};
}
