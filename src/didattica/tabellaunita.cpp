#include "didattica/tabellaunita.h"

#include <algorithm>

#include "didattica/decimali.h"
#include "didattica/nomiunita.h"
#include "didattica/sbaglio.h"
#include "generation/zalgoritmi.h"

using namespace Qt::StringLiterals;

namespace {

// A quantity as a whole number of the family's smallest unit (slot 4): digit p
// of it (p = 0 the last) stands in the column of slot 4 - p.
struct Numero {
  qint64 valore;  // in units of slot 4, always > 0
  [[nodiscard]] int cifra(int p) const { return static_cast<int>(valore / decimali::Potenza(p) % 10); }
  [[nodiscard]] int alta() const {
    int p = 0;
    while (valore / decimali::Potenza(p + 1) > 0) ++p;
    return p;
  }
  [[nodiscard]] int bassa() const {
    int p = 0;
    while (cifra(p) == 0) ++p;
    return p;
  }
};

int PrimoSlot(const FamigliaUnita &f) {
  return f.intNumeroUnita == 3 ? 2 : 1;
}

QList<ColonnaUnita> Colonne(const FamigliaUnita &f, int daSlot) {
  const int livello = LivelloDellaFamiglia(f);
  QList<ColonnaUnita> c;
  for (int slot = daSlot; slot <= 4; ++slot) {
    ColonnaUnita col;
    col.slot = slot;
    if (slot >= PrimoSlot(f)) {
      col.simbolo = f.simbolo(slot).trimmed();
      col.nome = NomeUnita(livello, slot, true);
    }
    c.append(col);
  }
  return c;
}

// A row: the number's own digits from its first to its last non-zero one, and
// zeros holding the places between them and the comma after column `chiesta`
// (p of the asked slot): trailing zeros up to it, or a zero in it and zeros
// after the comma down to the first digit.
RigaUnita Riga(RigaUnita::Tipo tipo, const QString &etichetta, Numero n, int pChiesta, int pSinistra) {
  RigaUnita r;
  r.tipo = tipo;
  r.etichetta = etichetta;
  const int alta = n.alta(), bassa = n.bassa();
  for (int p = pSinistra; p >= 0; --p) {
    CellaUnita c;
    if (p <= alta && p >= bassa) {
      c.cifra = QChar(u'0' + n.cifra(p));
    } else if ((p < bassa && p >= pChiesta) || (p > alta && p <= pChiesta)) {
      c.cifra = u'0';
      c.segnaposto = true;
    }
    r.celle.append(c);
  }
  r.virgola = bassa < pChiesta;
  return r;
}

}  // namespace

QString TabellaUnita::cifre(qsizetype riga) const {
  if (riga < 0 || riga >= righe.size()) return {};
  const RigaUnita &r = righe[riga];
  QString s;
  for (qsizetype i = 0; i < r.celle.size(); ++i) {
    s += r.celle[i].cifra.isNull() ? QChar(u'.') : r.celle[i].cifra;
    if (i == colonnaRichiesta && r.virgola) s += u',';
  }
  return s;
}

TabellaUnita TabellaOperazione(const Operazione &op, const FamigliaUnita &f) {
  const CoppiaSlot s = SlotDelCaso(op.intCaso);
  const Numero n1{op.lngValore1 * decimali::Potenza(4 - s.primo)};
  const Numero n2{op.lngValore2 * decimali::Potenza(4 - s.secondo)};
  const Numero somma{n1.valore + n2.valore};
  const int pChiesta = 4 - op.intUnitaRichiesta;
  const int pSinistra = std::max({4 - PrimoSlot(f), n1.alta(), n2.alta(), somma.alta(), pChiesta});

  TabellaUnita t;
  t.colonne = Colonne(f, 4 - pSinistra);
  t.colonnaRichiesta = pSinistra - pChiesta;
  using T = RigaUnita::Tipo;
  t.righe = {Riga(T::Quantita, op.strAddendo1.simplified(), n1, pChiesta, pSinistra),
             Riga(T::Quantita, op.strAddendo2.simplified(), n2, pChiesta, pSinistra),
             Riga(T::Somma, u"totale"_s, somma, pChiesta, pSinistra)};
  t.lettura =
      QuantitaInParole(decimali::Scrivi(RisultatoEsatto(op)), LivelloDellaFamiglia(f), op.intUnitaRichiesta);
  return t;
}

TabellaUnita TabellaVuota(const FamigliaUnita &f, int righe) {
  TabellaUnita t;
  t.colonne = Colonne(f, PrimoSlot(f));
  for (int i = 0; i < righe; ++i) {
    RigaUnita r;
    r.tipo = i + 1 == righe ? RigaUnita::Tipo::Somma : RigaUnita::Tipo::Quantita;
    r.celle.resize(t.colonne.size());
    t.righe.append(r);
  }
  return t;
}

QStringList TestoTabella(const TabellaUnita &t) {
  // An unnamed column is told by where it stands: before the first named one.
  QString primoNome;
  for (const ColonnaUnita &c : t.colonne)
    if (!c.simbolo.isEmpty()) {
      primoNome = c.simbolo;
      break;
    }
  auto nome = [&](qsizetype i) {
    const QString &s = t.colonne[i].simbolo;
    return s.isEmpty() ? u"prima di "_s + primoNome : s;
  };

  QStringList righe;
  QStringList intestazione;
  for (qsizetype i = 0; i < t.colonne.size(); ++i)
    if (!t.colonne[i].simbolo.isEmpty()) intestazione << t.colonne[i].simbolo;
  QString prima = u"Tabella delle unità: "_s + intestazione.join(u", "_s);
  if (t.colonnaRichiesta >= 0 && t.colonnaRichiesta < t.colonne.size())
    prima += u"; la virgola va dopo "_s + nome(t.colonnaRichiesta);
  righe << prima;
  for (const RigaUnita &r : t.righe) {
    QStringList celle;
    for (qsizetype i = 0; i < r.celle.size() && i < t.colonne.size(); ++i)
      if (!r.celle[i].cifra.isNull()) celle << QString(r.celle[i].cifra) + u' ' + nome(i);
    const QString etichetta =
        r.etichetta.isEmpty() ? (r.tipo == RigaUnita::Tipo::Somma ? u"totale"_s : u"riga"_s) : r.etichetta;
    righe << etichetta + u": "_s + (celle.isEmpty() ? u"vuota"_s : celle.join(u", "_s));
  }
  if (!t.lettura.isEmpty()) righe << u"Risultato: "_s + t.lettura;
  return righe;
}
