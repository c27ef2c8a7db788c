#pragma once

#include <optional>

#include "app/opzioni.h"
#include "registro/registro.h"

// A pupil's plan: the compensatory tools the teacher chose for that pupil,
// kept in the register beside their name and erased with them.

// The pupil's plan; none when they have no plan of their own, or when the
// register can't be read (the fault is kept by the register): either way the
// machine's options hold. A value other than exactly 1 counts as the option off.
[[nodiscard]] std::optional<Opzioni> LeggiPiano(Registro &registro, qint64 alunno);
// Keeps the plan of a pupil of the register, in place of the one they had.
Esito SalvaPiano(Registro &registro, qint64 alunno, const Opzioni &piano);
// Drops the pupil's plan: the machine's options hold for them again.
Esito CancellaPiano(Registro &registro, qint64 alunno);
