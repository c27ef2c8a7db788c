#pragma once

#include "generation/famiglie.h"
#include "platform/casuale.h"

// Scripts the draws of one operation with the decreasing order: case k of the
// family's cases, the two values 1..9 and the asked slot. Each r is put in the
// middle of its band so that Int(r * n) gives the wanted draw.
inline void Operazione4(CasualeCopione &c, int caso, int v1, int v2, int slot) {
  c.aggiungi({(caso - 1 + 0.5) / 6.0, (v1 - 1 + 0.5) / 9.0, (v2 - 1 + 0.5) / 9.0, (slot - 1 + 0.5) / 4.0});
}

// The same for a three-unit family: cases 4..6, slots 2..4.
inline void Operazione3(CasualeCopione &c, int caso, int v1, int v2, int slot) {
  c.aggiungi({(caso - 4 + 0.5) / 3.0, (v1 - 1 + 0.5) / 9.0, (v2 - 1 + 0.5) / 9.0, (slot - 2 + 0.5) / 3.0});
}

// What an operation asks when either may be asked: 1 number, 2 symbol.
inline void Chiesto(CasualeCopione &c, int chiesto) { c.aggiungi({chiesto == 1 ? 0.25 : 0.75}); }

inline void Famiglia(Stato &s, int livello) { ApplicaFamiglia(s.famiglia, livello); }

// Any operation the generator can make, with both orders (intOrdineSimboli 3)
// and two-digit values (intValoreMassimo 19): values 1..9 and 11..19.
inline void OperazioneQualsiasi(CasualeCopione &c, bool quattro, int caso, int v1, int v2, int slot) {
  if (quattro) c.aggiungi({(caso - 1 + 0.5) / 12.0});
  else c.aggiungi({caso <= 6 ? 0.25 : 0.75, ((caso - 1) % 6 - 3 + 0.5) / 3.0});
  c.aggiungi({(v1 - 1 + 0.5) / 19.0, (v2 - 1 + 0.5) / 19.0, quattro ? (slot - 1 + 0.5) / 4.0 : (slot - 2 + 0.5) / 3.0});
}
