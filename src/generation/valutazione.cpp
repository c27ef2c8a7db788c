#include "generation/valutazione.h"

#include <cmath>

QString CalcolaValutazione(int intEsatte, int intOperazione) {
  int g = 0;
  if (intOperazione != 0) {
    const auto dieci = static_cast<qint16>(intEsatte * 10);
    g = static_cast<int>(std::floor(static_cast<double>(dieci) / intOperazione));
  }
  switch (g) {
    case 10:
    case 9: return QStringLiteral("OTTIMO");
    case 8: return QStringLiteral("DISTINTO");
    case 7: return QStringLiteral("BUONO");
    case 6: return QStringLiteral("SUFFICIENTE");
    case 5: return QStringLiteral("SUFFICIENTE (!)");
    default: return kNonClassificato;
  }
}

QString NormalizzaNome(const QString &nome) {
  if (nome.isEmpty()) return nome;
  // The first character may be a surrogate pair.
  const qsizetype primo = (nome.size() > 1 && nome[0].isHighSurrogate() && nome[1].isLowSurrogate()) ? 2 : 1;
  return nome.left(primo).toUpper() + nome.mid(primo).toLower();
}
