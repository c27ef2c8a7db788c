#pragma once

#include <QString>

#include "app/stato.h"

// The units of the twelve families by name, as a teacher reads a quantity
// aloud ("1.270 unità", "0,23 chilometri").

// The family (1..12) whose symbols these are; 0 for symbols of no family.
[[nodiscard]] int LivelloDellaFamiglia(const FamigliaUnita &famiglia);

// The name of the unit of slot 1..4 of family 1..12, singular or plural;
// empty for the blank slot of a three-unit family and for anything out of range.
[[nodiscard]] QString NomeUnita(int intLivello, int slot, bool plurale);

// A quantity read aloud: the number as the program writes it and the unit's
// name, singular only for exactly one ("1 metro", "1,5 metri").
[[nodiscard]] QString QuantitaInParole(const QString &numero, int intLivello, int slot);
