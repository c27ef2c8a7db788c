#include "didattica/sbaglio.h"

#include <array>

#include "didattica/decimali.h"
#include "generation/zalgoritmi.h"

using namespace Qt::StringLiterals;
using decimali::Scala;

namespace {

constexpr std::array<const char16_t *, 9> kChiavi{
    u"nessuno", u"senza-conversione", u"uno-convertito",  u"virgola", u"zero",
    u"altro",   u"simbolo-grande",    u"simbolo-piccolo", u"vuota"};

// A value of slot `da` expressed in slot `a`, in millionths.
qint64 InUnita(qint64 valore, int da, int a) {
  return *Scala(valore, decimali::kCifreDecimali + a - da);
}

bool Uguale(std::optional<qint64> x, qint64 y) {
  return x && *x == y;
}

// The answer is `base` with its comma moved k places (k in -3..3, 0 included when `zero`).
std::optional<int> Spostamento(qint64 risposta, qint64 base, bool zero) {
  for (int k = -3; k <= 3; ++k) {
    if (k == 0 && !zero) continue;
    if (Uguale(Scala(base, k), risposta)) return k;
  }
  return std::nullopt;
}

// The numbers written like `scritto` with one "0" taken out (-1) or put in (+1)
// anywhere among its characters.
std::optional<int> ZeroDiverso(qint64 risposta, const QString &scritto) {
  for (qsizetype i = 0; i < scritto.size(); ++i) {
    if (scritto[i] != u'0') continue;
    QString meno = scritto;
    meno.remove(i, 1);
    if (Uguale(decimali::Leggi(meno), risposta)) return -1;
  }
  for (qsizetype i = 0; i <= scritto.size(); ++i) {
    QString piu = scritto;
    piu.insert(i, u'0');
    if (Uguale(decimali::Leggi(piu), risposta)) return +1;
  }
  return std::nullopt;
}

Diagnosi ClassificaNumero(const Operazione &op, QStringView risposta) {
  if (risposta.trimmed().isEmpty()) return {Sbaglio::RispostaVuota, 0, Richiesta::Numero};
  const auto a = decimali::Leggi(risposta.trimmed());
  const qint64 giusto = RisultatoEsatto(op);
  if (!a) return {Sbaglio::Altro, 0, Richiesta::Numero};
  if (*a == giusto) return {};
  const CoppiaSlot s = SlotDelCaso(op.intCaso);
  const int chiesto = op.intUnitaRichiesta;
  const qint64 uno = decimali::Potenza(decimali::kCifreDecimali);
  const qint64 v1 = op.lngValore1, v2 = op.lngValore2;

  if (Spostamento(*a, (v1 + v2) * uno, true)) return {Sbaglio::SenzaConversione, 0, Richiesta::Numero};
  if (s.primo != chiesto && s.secondo != chiesto) {
    if (*a == InUnita(v1, s.primo, chiesto) + v2 * uno || *a == v1 * uno + InUnita(v2, s.secondo, chiesto))
      return {Sbaglio::UnoSoloConvertito, 0, Richiesta::Numero};
  }
  if (const auto k = Spostamento(*a, giusto, false)) return {Sbaglio::VirgolaSpostata, *k, Richiesta::Numero};
  if (const auto z = ZeroDiverso(*a, decimali::Scrivi(giusto, false)))
    return {Sbaglio::ZeroSegnaposto, *z, Richiesta::Numero};
  return {Sbaglio::Altro, 0, Richiesta::Numero};
}

Diagnosi ClassificaSimbolo(const Operazione &op, const FamigliaUnita &f, QStringView risposta) {
  if (risposta.trimmed().isEmpty()) return {Sbaglio::RispostaVuota, 0, Richiesta::Simbolo};
  const int prima = f.intNumeroUnita == 3 ? 2 : 1;
  for (int slot = prima; slot <= 4; ++slot) {
    if (f.simbolo(slot).trimmed() != risposta.trimmed()) continue;
    const int passi = op.intUnitaRichiesta - slot;
    if (passi == 0) return {Sbaglio::Nessuno, 0, Richiesta::Simbolo};
    // A smaller slot number is a larger unit.
    return {passi > 0 ? Sbaglio::SimboloPiuGrande : Sbaglio::SimboloPiuPiccolo, passi > 0 ? passi : -passi,
            Richiesta::Simbolo};
  }
  return {Sbaglio::Altro, 0, Richiesta::Simbolo};
}

QString Volte(int passi) {
  switch (passi < 0 ? -passi : passi) {
    case 1:
      return u"10"_s;
    case 2:
      return u"100"_s;
    default:
      return u"1.000"_s;
  }
}

}  // namespace

QString ChiaveSbaglio(Sbaglio s) {
  const auto i = static_cast<size_t>(s);
  return i < kChiavi.size() ? QString::fromUtf16(kChiavi[i]) : QString();
}

std::optional<Sbaglio> SbaglioDaChiave(QStringView chiave) {
  for (size_t i = 0; i < kChiavi.size(); ++i)
    if (chiave == QStringView(kChiavi[i])) return static_cast<Sbaglio>(i);
  return std::nullopt;
}

qint64 RisultatoEsatto(const Operazione &op) {
  const CoppiaSlot s = SlotDelCaso(op.intCaso);
  return InUnita(op.lngValore1, s.primo, op.intUnitaRichiesta) +
         InUnita(op.lngValore2, s.secondo, op.intUnitaRichiesta);
}

Diagnosi ClassificaSbaglio(const Operazione &op, const FamigliaUnita &famiglia, Richiesta richiesta,
                           QStringView risposta) {
  return richiesta == Richiesta::Simbolo ? ClassificaSimbolo(op, famiglia, risposta)
                                         : ClassificaNumero(op, risposta);
}

QString FraseSbaglio(const Diagnosi &d) {
  switch (d.sbaglio) {
    case Sbaglio::Nessuno:
      return {};
    case Sbaglio::SenzaConversione:
      return u"Prima di sommare, trasforma i due numeri nella stessa unità."_s;
    case Sbaglio::UnoSoloConvertito:
      return u"Hai trasformato un numero solo: trasforma anche l'altro."_s;
    case Sbaglio::VirgolaSpostata:
      return u"Il risultato è %1 volte troppo %2."_s.arg(Volte(d.passi),
                                                         d.passi > 0 ? u"grande"_s : u"piccolo"_s);
    case Sbaglio::ZeroSegnaposto:
      return d.passi < 0 ? u"Nel numero manca uno zero che tiene il posto."_s
                         : u"Nel numero c'è uno zero di troppo."_s;
    case Sbaglio::SimboloPiuGrande:
      return u"Il simbolo scelto indica un'unità %1 volte più grande."_s.arg(Volte(d.passi));
    case Sbaglio::SimboloPiuPiccolo:
      return u"Il simbolo scelto indica un'unità %1 volte più piccola."_s.arg(Volte(d.passi));
    case Sbaglio::RispostaVuota:
      return d.richiesta == Richiesta::Simbolo ? u"Non hai scelto nessun simbolo."_s
                                               : u"Non hai scritto nessun numero."_s;
    case Sbaglio::Altro:
      break;
  }
  return d.richiesta == Richiesta::Simbolo ? u"Guarda di nuovo le unità dei due numeri."_s
                                           : u"Controlla in quale unità è chiesto il risultato."_s;
}
