#pragma once

#include "app/stato.h"

#include <QString>
#include <optional>

class Casuale;
class Messaggi;
class Orologio;

// Writes x the way the pupil sees every quantity: decimal comma, the integer
// part grouped by thousands with a full stop, no trailing zeros. Above the
// 32-bit range it shows "Numero troppo grande!" and gives the empty text.
[[nodiscard]] QString FormattaNumero(double x, Messaggi &messaggi);

// Reads a number written with the Italian conventions (decimal comma, "."
// between thousands), whatever the system locale. Digits, full stops and at
// most one comma, with at least one digit; anything else reads as no number.
[[nodiscard]] std::optional<double> LeggiNumero(const QString &testo);

// What the generator needs to make one operation.
struct ParametriGenerazione {
  FamigliaUnita famiglia;
  qint16 intOrdineSimboli = 1;
  qint16 intValoreMassimo = 9;
};

[[nodiscard]] ParametriGenerazione ParametriDa(const Stato &stato);

// Slots (1..4) of the two addends of a pair case 1..12.
struct CoppiaSlot {
  int primo, secondo;
};
[[nodiscard]] CoppiaSlot SlotDelCaso(int intCaso);

// draw(k): the whole part of r * k.
[[nodiscard]] int Estrai(Casuale &casuale, int k);

// Makes one addition with conversion: stirs the source with the clock, draws
// the case, the two values (never 10) and the asked slot, and writes the exact
// result.
[[nodiscard]] Operazione GeneraOperazione(const ParametriGenerazione &p, Casuale &casuale,
                                          Orologio &orologio, Messaggi &messaggi);

// The same with the case and the asked slot given (a "Su misura" plan): the
// values and every text are made exactly as above. The case must be one the
// family has and the slot one it may ask.
[[nodiscard]] Operazione GeneraOperazioneDi(const ParametriGenerazione &p, int intCaso, int intUnitaRichiesta,
                                            Casuale &casuale, Orologio &orologio, Messaggi &messaggi);

// The program-wide form: reads the start window's settings, overwrites stato.operazione.
void GeneraOperazione(Stato &stato, Casuale &casuale, Orologio &orologio, Messaggi &messaggi);
