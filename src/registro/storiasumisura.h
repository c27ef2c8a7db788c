#pragma once

#include <QDate>
#include <optional>

#include "didattica/sceltasumisura.h"
#include "registro/registro.h"

// What "Su misura" needs of a pupil's history in a family, for a session held
// on `oggi`; nothing when the register can't be read.
[[nodiscard]] std::optional<StoriaSuMisura> LeggiStoriaSuMisura(Registro &registro, qint64 alunno, int famiglia,
                                                                const QDate &oggi);
