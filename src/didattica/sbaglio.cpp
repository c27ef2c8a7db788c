#include "didattica/sbaglio.h"

#include <array>

#include "didattica/decimali.h"
#include "generation/zalgoritmi.h"

using namespace Qt::StringLiterals;
using decimali::Scala;

namespace {

constexpr std::array<const char16_t *, 10> kChiavi{
    u"nessuno", u"senza-conversione", u"uno-convertito",  u"virgola", u"zero",
    u"altro",   u"simbolo-grande",    u"simbolo-piccolo", u"vuota",   u"somma"};

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

// How many digits the whole part of a number of millionths has ("0,5" has one).
int CifreIntere(qint64 milionesimi) {
  int n = 1;
  for (qint64 intera = milionesimi / decimali::Potenza(decimali::kCifreDecimali); intera >= 10; intera /= 10)
    ++n;
  return n;
}

// How many decimals a number of millionths has when written without trailing zeros.
int Decimali(qint64 milionesimi) {
  int d = decimali::kCifreDecimali;
  for (; d > 0 && milionesimi % 10 == 0; --d) milionesimi /= 10;
  return d;
}

// The answer of a pupil who brought both quantities rightly to the asked unit,
// wrote them in columns and slipped while adding: a wrong digit in one column,
// or a carry forgotten or counted twice, which changes a column and the one to
// its left. So the answer differs from the right sum in at most two
// neighbouring columns (the difference is x times a power of ten with
// 1 <= |x| <= 99), only in columns the sum has (none past its last decimal,
// which neither converted quantity reaches), and it keeps the sum's number of
// whole digits: the right order of magnitude. A carry lost off the front
// (1.020 written 20) changes the magnitude and gets the neutral hint.
bool SlittamentoNellaSomma(qint64 risposta, qint64 giusto) {
  if (risposta == giusto || CifreIntere(risposta) != CifreIntere(giusto)) return false;
  qint64 differenza = risposta > giusto ? risposta - giusto : giusto - risposta;
  int posto = 0;  // the place of the difference's last digit, in millionths
  for (; differenza % 10 == 0; differenza /= 10) ++posto;
  return differenza <= 99 && posto >= decimali::kCifreDecimali - Decimali(giusto);
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
  if (SlittamentoNellaSomma(*a, giusto)) return {Sbaglio::SommaSbagliata, 0, Richiesta::Numero};
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

// The factor of a comma or a unit off by `passi` places: "10", "100", "1.000",
// or read aloud "dieci", "cento", "mille".
QString Volte(int passi, Forma forma) {
  const bool letta = forma == Forma::Letta;
  switch (passi < 0 ? -passi : passi) {
    case 1:
      return letta ? u"dieci"_s : u"10"_s;
    case 2:
      return letta ? u"cento"_s : u"100"_s;
    default:
      return letta ? u"mille"_s : u"1.000"_s;
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

QString FraseSbaglio(const Diagnosi &d, Forma forma) {
  switch (d.sbaglio) {
    case Sbaglio::Nessuno:
      return {};
    case Sbaglio::SenzaConversione:
      // Also what a pupil gets who converted both with the same wrong factor.
      return u"Prima di sommare, trasforma le due misure nell'unità richiesta."_s;
    case Sbaglio::UnoSoloConvertito:
      return u"Hai trasformato una misura sola: trasforma anche l'altra."_s;
    case Sbaglio::VirgolaSpostata:
      return u"Il tuo numero è %1 volte più %2 di quello giusto."_s.arg(
          Volte(d.passi, forma), d.passi > 0 ? u"grande"_s : u"piccolo"_s);
    case Sbaglio::ZeroSegnaposto:
      return d.passi < 0 ? u"Nel tuo numero manca uno zero segnaposto."_s
                         : u"Nel tuo numero c'è uno zero di troppo."_s;
    case Sbaglio::SimboloPiuGrande:
      return u"Hai scelto un'unità %1 volte più grande di quella giusta."_s.arg(Volte(d.passi, forma));
    case Sbaglio::SimboloPiuPiccolo:
      return u"Hai scelto un'unità %1 volte più piccola di quella giusta."_s.arg(Volte(d.passi, forma));
    case Sbaglio::SommaSbagliata:
      return u"La trasformazione è giusta: ricontrolla la somma."_s;
    case Sbaglio::RispostaVuota:
      return d.richiesta == Richiesta::Simbolo ? u"Non hai scelto nessun simbolo."_s
                                               : u"Non hai scritto nessun numero."_s;
    case Sbaglio::Altro:
      break;
  }
  // Nothing more particular is known: a hint that blames no step.
  return u"Ricontrolla con calma ogni passaggio."_s;
}
