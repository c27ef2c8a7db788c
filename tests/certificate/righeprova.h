#pragma once

#include "app/stato.h"

// An exercise of n operations with distinct log lines, as the exercise window leaves it.
inline void RiempiEsercizio(Esercizio &e, int n, int esatte = -1) {
  e.intOperazione = static_cast<qint16>(n);
  e.intEsatte = static_cast<qint16>(esatte < 0 ? n : esatte);
  for (int k = 1; k < kRigheMassime; ++k)
    e.strRigheEsercizio[static_cast<size_t>(k)] = k <= n
                                                      ? QStringLiteral("%1)  %2 h  +  %3 da = %4 u  ESATTO")
                                                            .arg(k, 2)
                                                            .arg(k % 9 + 1)
                                                            .arg(k % 7 + 2)
                                                            .arg(k * 113)
                                                      : QString();
}
