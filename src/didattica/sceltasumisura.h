#pragma once

#include <QList>
#include <optional>

#include "app/stato.h"
#include "didattica/sbaglio.h"
#include "didattica/statocaso.h"

class Casuale;

// "Su misura": twenty operations chosen from a pupil's own history in the
// family in force, by a rule a teacher can repeat to a parent.
//
// Each pair case of the family sits in a box (Leitner's): a case never met is
// new (box 0); a practice session (a day) in which the pupil got the case wrong
// puts it back in box 1; a session in which every operation of the case was
// right at the first try moves it one box up, to box 5 at most. A case is due
// again after 1, 1, 2, 4, 8 sessions in box 1..5 (a case in box 1, got wrong,
// is due at once, the same day too), and mastered from box 3 on:
// right at the first try in two different sessions since its last mistake.
// Of the twenty operations about 60 % are due cases, 25 % aim at the pupil's
// most frequent mistake when it repeats (twice among the last ten operations),
// 15 % are new cases; a share with nothing to give goes to the others. Two
// operations of the same case never follow each other.

inline constexpr int kScatole = 5;

// One case's box after one more operation of it. `stessaSessione`: the case was
// already met in this session; `sbagliatoInSessione`: and got wrong there.
struct Scatola {
  int scatola = 0;  // 0 new, 1..5
  bool sbagliatoInSessione = false;
  bool operator==(const Scatola &) const = default;
};
[[nodiscard]] Scatola PassoScatola(Scatola prima, bool stessaSessione, bool giustaAlPrimoTentativo);

// Sessions a case waits in its box before it is due again (box 1..5).
[[nodiscard]] int IntervalloScatola(int scatola);
inline constexpr int kScatolaPadroneggiata = 3;
[[nodiscard]] inline bool Padroneggiato(int scatola) { return scatola >= kScatolaPadroneggiata; }

[[nodiscard]] StatoCaso StatoDellaScatola(int scatola);

// What the register knows of one case of the family.
struct CasoStoria {
  int caso = 0;            // 1..12
  int scatola = 0;         // 0: never met
  int ultimaSessione = 0;  // the session it was last met in
};

// One of the pupil's latest operations in the family, with the kinds of
// mistake its answers showed (each kind once).
struct OperazioneRecente {
  int caso = 0;
  int richiesta = 0;
  QList<Sbaglio> sbagli;
};

struct StoriaSuMisura {
  QList<CasoStoria> casi;             // the cases met; any other case of the family is new
  int sessioneCorrente = 0;           // the session the twenty are for
  QList<OperazioneRecente> recenti;   // the latest operations, oldest first (ten are looked at)
};

struct SceltaOperazione {
  int caso = 0;
  int richiesta = 0;  // the asked slot
  bool operator==(const SceltaOperazione &) const = default;
};

// The pair cases an operation of the family can have: 1..12, or 4..6 and
// 10..12 in the three-unit families.
[[nodiscard]] QList<int> CasiDellaFamiglia(const FamigliaUnita &famiglia);

// The mistake the pupil repeats: the kind seen in most of the last ten
// operations, at least twice (a tie goes to the one seen last); none otherwise.
[[nodiscard]] std::optional<Sbaglio> SbaglioRipetuto(const QList<OperazioneRecente> &recenti);
// Every kind seen at least twice among the last ten operations, most frequent first.
[[nodiscard]] QList<Sbaglio> SbagliRipetuti(const QList<OperazioneRecente> &recenti);

// Whether an operation of this case, asked in this slot, gives room to this
// mistake (a comma to move, a placeholder zero, a quantity left unconverted...).
[[nodiscard]] bool Provoca(Sbaglio s, int caso, int richiesta);

// The twenty (or `quante`) choices, in the order they are to be asked.
[[nodiscard]] QList<SceltaOperazione> ScegliSuMisura(const StoriaSuMisura &storia, const FamigliaUnita &famiglia,
                                                     Casuale &casuale, int quante = 20);
