#include "generation/zalgoritmi.h"

#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The plain text of x: shortest decimal form with up to 15 significant digits,
// comma as decimal separator, no grouping, no trailing zeros.
QString TestoSemplice(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  QString s = QString::fromLatin1(buf);
  if (s.contains(u'e')) {
    // Tiny values: write them out in full, then drop the trailing zeros.
    std::snprintf(buf, sizeof buf, "%.20f", x);
    s = QString::fromLatin1(buf);
    while (s.endsWith(u'0')) s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
  }
  s.replace(u'.', u',');
  return s;
}

// n written with the format "#,#": groups of three from the right, full stops between.
QString Raggruppa(qint64 n) {
  QString cifre = QString::number(n);
  QString out;
  const qsizetype len = cifre.size();
  for (qsizetype i = 0; i < len; ++i) {
    if (i > 0 && (len - i) % 3 == 0) out += u'.';
    out += cifre[i];
  }
  return out;
}

QString Addendo(qint32 valore, const QString &simbolo) { return QString::number(valore) + simbolo; }

// totale / 10^decimali written exactly as FormattaNumero writes it: the integer
// part grouped, the decimals without trailing zeros.
QString FormattaDecimale(qint64 totale, int decimali) {
  static constexpr qint64 kPotenze[4] = {1, 10, 100, 1000};
  const qint64 intera = totale / kPotenze[decimali];
  qint64 frazione = totale % kPotenze[decimali];
  QString out = intera == 0 ? QStringLiteral("0") : Raggruppa(intera);
  if (frazione == 0) return out;
  int cifre = decimali;
  while (frazione % 10 == 0) {
    frazione /= 10;
    --cifre;
  }
  out += u',';
  out += QString::number(frazione).rightJustified(cifre, u'0');
  return out;
}

// Steps 3 to 7 of the generation, once the case is chosen: the two values,
// the addends, the asked slot (drawn, unless given) and the exact result.
void ScriviValori(Operazione &op, const ParametriGenerazione &p, Casuale &casuale, std::optional<int> richiesta) {
  const int massimo = p.intValoreMassimo > 0 ? p.intValoreMassimo : 9;
  do {
    op.lngValore1 = Estrai(casuale, massimo) + 1;
    op.lngValore2 = Estrai(casuale, massimo) + 1;
  } while (op.lngValore1 == 10 || op.lngValore2 == 10);

  const CoppiaSlot slot = SlotDelCaso(op.intCaso);
  op.strAddendo1 = Addendo(op.lngValore1, p.famiglia.simbolo(slot.primo));
  op.strAddendo2 = Addendo(op.lngValore2, p.famiglia.simbolo(slot.secondo));

  op.intUnitaRichiesta = static_cast<qint16>(
      richiesta ? *richiesta : Estrai(casuale, p.famiglia.intNumeroScelte) + p.famiglia.intPrimaScelta);
  op.strSimboloRichiesto = p.famiglia.simbolo(op.intUnitaRichiesta);

  // Exact decimal: an integer total in units of slot 4 and a shift of at most
  // three places, never a floating-point quotient.
  static constexpr qint64 kPotenze[4] = {1, 10, 100, 1000};
  const qint64 totale = op.lngValore1 * kPotenze[4 - slot.primo] + op.lngValore2 * kPotenze[4 - slot.secondo];
  op.strRisultato = FormattaDecimale(totale, 4 - op.intUnitaRichiesta);
}

}  // namespace

QString FormattaNumero(double x, Messaggi &messaggi) {
  if (!std::isfinite(x)) return {};
  const double intera = std::floor(x);
  if (intera > std::numeric_limits<qint32>::max()) {
    messaggi.mostra(QStringLiteral("Numero troppo grande!"), QStringLiteral("Errore di overflow"),
                    Messaggi::Icona::Critica);
    return {};
  }
  if (intera < std::numeric_limits<qint32>::min()) return {};
  // Every quantity of the program has at most three decimals: write those
  // exactly without going through the C library. (A double equal to the
  // correctly rounded r / 1000 prints back with 15 digits as that decimal.)
  if (x >= 0) {
    const auto millesimi = static_cast<qint64>(std::llround(x * 1000.0));
    if (static_cast<double>(millesimi) / 1000.0 == x) return FormattaDecimale(millesimi, 3);
  }
  const auto n = static_cast<qint32>(intera);
  const QString s = TestoSemplice(x);
  const QString testoN = QString::number(n);
  if (testoN.size() > s.size()) return {};
  const QString coda = s.right(s.size() - testoN.size());
  if (n == 0) return u'0' + coda;
  return Raggruppa(n) + coda;
}

std::optional<double> LeggiNumero(const QString &testo) {
  QString normale;
  bool cifra = false;
  bool virgola = false;
  for (QChar c : testo) {
    if (c >= u'0' && c <= u'9') {
      cifra = true;
      normale += c;
    } else if (c == u'.') {
      if (virgola) return std::nullopt;  // no thousands separator among the decimals
    } else if (c == u',') {
      if (virgola) return std::nullopt;
      virgola = true;
      normale += u'.';
    } else {
      return std::nullopt;
    }
  }
  if (!cifra) return std::nullopt;
  bool ok = false;
  const double v = normale.toDouble(&ok);  // QString::toDouble always reads "." as the decimal point
  if (!ok) return std::nullopt;
  return v;
}

ParametriGenerazione ParametriDa(const Stato &stato) {
  return {stato.famiglia, stato.impostazioni.intOrdineSimboli, stato.impostazioni.intValoreMassimo};
}

CoppiaSlot SlotDelCaso(int intCaso) {
  static constexpr CoppiaSlot kCasi[12] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4},
                                           {2, 1}, {3, 1}, {4, 1}, {3, 2}, {4, 2}, {4, 3}};
  if (intCaso < 1 || intCaso > 12) return {4, 4};
  return kCasi[intCaso - 1];
}

int Estrai(Casuale &casuale, int k) {
  const int v = static_cast<int>(std::floor(casuale.rnd() * k));
  return v < 0 ? 0 : (v >= k ? k - 1 : v);
}

Operazione GeneraOperazione(const ParametriGenerazione &p, Casuale &casuale, Orologio &orologio,
                            Messaggi &) {
  casuale.mescola(orologio.secondiDaMezzanotte());
  const bool quattro = p.famiglia.intNumeroUnita == 4;

  Operazione op;
  switch (p.intOrdineSimboli) {
    case 2:
      op.intCaso = static_cast<qint16>(quattro ? Estrai(casuale, 6) + 7 : Estrai(casuale, 3) + 10);
      break;
    case 3:
      if (quattro) {
        op.intCaso = static_cast<qint16>(Estrai(casuale, 12) + 1);
      } else {
        const int ordine = Estrai(casuale, 2) + 1;
        op.intCaso = static_cast<qint16>(Estrai(casuale, 3) + (ordine == 1 ? 4 : 10));
      }
      break;
    default:
      op.intCaso = static_cast<qint16>(quattro ? Estrai(casuale, 6) + 1 : Estrai(casuale, 3) + 4);
      break;
  }

  ScriviValori(op, p, casuale, std::nullopt);
  return op;
}

Operazione GeneraOperazioneDi(const ParametriGenerazione &p, int intCaso, int intUnitaRichiesta, Casuale &casuale,
                              Orologio &orologio, Messaggi &) {
  casuale.mescola(orologio.secondiDaMezzanotte());
  Operazione op;
  op.intCaso = static_cast<qint16>(intCaso);
  ScriviValori(op, p, casuale, intUnitaRichiesta);
  return op;
}

void GeneraOperazione(Stato &stato, Casuale &casuale, Orologio &orologio, Messaggi &messaggi) {
  stato.operazione = GeneraOperazione(ParametriDa(stato), casuale, orologio, messaggi);
}
