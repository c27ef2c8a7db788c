#pragma once

#include <QDate>
#include <QList>
#include <optional>

#include <QStringList>

#include "didattica/statocaso.h"
#include "registro/dati.h"
#include "registro/registro.h"

// Each pupil's box for each pair case of a family, and what "Su misura" and
// the teacher's views read of it (the rule is in didattica/sceltasumisura.h).

// An operation just written moves its case's box (a named pupil's, with the
// case known; nothing otherwise). Runs inside the operation's transaction.
[[nodiscard]] Esito AggiornaCaso(Registro &registro, const DatiEsercizio &dati, const OperazioneChiusa &op);


// A family as the teacher reads it: each case's state, and the mistakes the
// pupil repeats lately.
struct PadronanzaFamiglia {
  int famiglia = 0;
  QList<int> casi;         // the family's cases, ascending
  QList<StatoCaso> stati;  // one per case
  QStringList ripetuti;    // the mistakes' keys, most frequent first
  [[nodiscard]] int padroneggiati() const { return static_cast<int>(stati.count(StatoCaso::Padroneggiato)); }
};
// The families in `famiglie`, for one pupil.
[[nodiscard]] std::optional<QList<PadronanzaFamiglia>> LeggiPadronanza(Registro &registro, qint64 alunno,
                                                                      const QList<int> &famiglie);
// Per family with a case met, the count of its mastered cases, for one pupil.
[[nodiscard]] std::optional<QList<std::pair<int, int>>> LeggiPadroneggiati(Registro &registro, qint64 alunno);
