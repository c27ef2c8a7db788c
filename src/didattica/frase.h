#pragma once

#include <QString>

#include "app/stato.h"

// The operation on screen as a sentence to be read aloud in Italian:
// "dodici ettogrammi più sette decagrammi: quanti grammi?", or, when the
// unit is asked, "… fanno milleduecentosettanta: quale simbolo scegli?" (not
// "in quale unità?", where "unità" is also one of the answers).

// A number as the program writes it ("1.270", "0,011") in Italian words
// ("milleduecentosettanta", "zero virgola zero undici"); empty when the text
// isn't such a number.
[[nodiscard]] QString NumeroInParole(const QString &numero);

// A quantity in words with its unit, the unit in the singular for one and
// with its article ("un metro", "una decina", "un'unità", "dodici ettogrammi").
[[nodiscard]] QString QuantitaLetta(qint32 valore, int intLivello, int slot);

// The sentence for op, made in family intLivello (1..12). risultatoDato is the
// number shown when the unit is asked (the symbol view); empty when the number
// is asked. Empty for a family or a case out of range.
[[nodiscard]] QString FraseDaLeggere(const Operazione &op, int intLivello, const QString &risultatoDato = {});
