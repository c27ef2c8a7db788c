#include "didattica/decimali.h"

#include <array>
#include <limits>

namespace decimali {

namespace {

constexpr std::array<qint64, 19> kPotenze = [] {
  std::array<qint64, 19> p{};
  p[0] = 1;
  for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

}  // namespace

qint64 Potenza(int n) {
  return n >= 0 && n < static_cast<int>(kPotenze.size()) ? kPotenze[static_cast<size_t>(n)] : 0;
}

std::optional<qint64> Scala(qint64 valore, int n) {
  if (n < -18 || n > 18) return std::nullopt;
  if (n < 0) {
    const qint64 d = Potenza(-n);
    if (valore % d != 0) return std::nullopt;
    return valore / d;
  }
  const qint64 m = Potenza(n);
  if (valore != 0 &&
      (valore > std::numeric_limits<qint64>::max() / m || valore < std::numeric_limits<qint64>::min() / m))
    return std::nullopt;
  return valore * m;
}

std::optional<qint64> Leggi(QStringView testo) {
  qint64 intera = 0, frazione = 0;
  int cifreIntere = 0, decimali = 0;
  bool virgola = false, cifra = false;
  for (QChar c : testo) {
    if (c >= u'0' && c <= u'9') {
      cifra = true;
      const int d = c.digitValue();
      if (virgola) {
        if (++decimali > kCifreDecimali) return std::nullopt;
        frazione = frazione * 10 + d;
      } else {
        if (intera > 0 || d > 0) ++cifreIntere;
        if (cifreIntere > 12) return std::nullopt;
        intera = intera * 10 + d;
      }
    } else if (c == u'.') {
      if (virgola) return std::nullopt;
    } else if (c == u',') {
      if (virgola) return std::nullopt;
      virgola = true;
    } else {
      return std::nullopt;
    }
  }
  if (!cifra) return std::nullopt;
  return intera * Potenza(kCifreDecimali) + frazione * Potenza(kCifreDecimali - decimali);
}

QString Scrivi(qint64 milionesimi, bool raggruppa) {
  if (milionesimi < 0) return u'-' + Scrivi(-milionesimi, raggruppa);
  const qint64 uno = Potenza(kCifreDecimali);
  const QString cifre = QString::number(milionesimi / uno);
  QString out;
  const qsizetype n = cifre.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (raggruppa && i > 0 && (n - i) % 3 == 0) out += u'.';
    out += cifre[i];
  }
  qint64 frazione = milionesimi % uno;
  if (frazione == 0) return out;
  int quante = kCifreDecimali;
  while (frazione % 10 == 0) {
    frazione /= 10;
    --quante;
  }
  return out + u',' + QString::number(frazione).rightJustified(quante, u'0');
}

}  // namespace decimali
