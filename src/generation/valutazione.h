#pragma once

#include <QString>

// The grade word for R right answers out of N operations asked:
// g = floor(10 R / N); 9..10 "OTTIMO", 8 "DISTINTO", 7 "BUONO", 6 "SUFFICIENTE",
// 5 "SUFFICIENTE (!)", anything else (and N = 0) "Non classificato".
[[nodiscard]] QString CalcolaValutazione(int intEsatte, int intOperazione);

inline const QString kNonClassificato = QStringLiteral("Non classificato");

// First character raised, the rest lowered: "mARIO rossi" gives "Mario rossi".
[[nodiscard]] QString NormalizzaNome(const QString &nome);
