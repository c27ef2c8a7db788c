#pragma once

#include "app/stato.h"

#include <QString>
#include <optional>

// The twelve unit families: symbols padded to a common width (the blanks are part
// of each symbol), counts, and the captions the windows show for them.

[[nodiscard]] std::optional<FamigliaUnita> TabellaFamiglia(int intLivello);

// "SISTEMA DECIMALE " for 1..3, "SISTEMA METRICO" for 4..12 (the start window's Label6(0)).
[[nodiscard]] QString SistemaFamiglia(int intLivello);
// The window caption prefix: "SISTEMA DECIMALE: " or "SISTEMA METRICO: ".
[[nodiscard]] QString TitoloSistema(int intLivello);
// The description caption (Label6(2)), e.g. "centinaia, decine, unità".
[[nodiscard]] QString DescrizioneFamiglia(int intLivello);
// The family's units as the program's own texts list them, every one after a
// comma and nothing padded: "chilogrammi, ettogrammi, decagrammi, grammi"
// (the start window's caption of family 9 has no comma after its first unit).
[[nodiscard]] QString ElencoUnita(int intLivello);
// "Valori di 1 cifra" / "Valori di 2 cifre"; empty for any other value.
[[nodiscard]] QString DidascaliaCifre(int intCifre);
// 9 for one digit, 19 for two; 0 for any other value.
[[nodiscard]] qint16 ValoreMassimo(int intCifre);

// The family's symbols joined by single blanks, largest first or smallest first;
// three-unit families leave out the blank slot 1.
[[nodiscard]] QString SimboliDecrescenti(const FamigliaUnita &f);
[[nodiscard]] QString SimboliCrescenti(const FamigliaUnita &f);

inline constexpr int kFamiglie = 12;

// Puts family n in force: symbols and counts. A number outside 1..12 changes
// nothing and gives false.
bool ApplicaFamiglia(FamigliaUnita &famiglia, int intLivello);
// Puts the digits setting in force (intValoreMassimo); any other value changes nothing.
bool ApplicaCifre(Impostazioni &impostazioni, int intCifre);
