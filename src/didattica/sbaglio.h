#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "app/stato.h"

// What a wrong answer most likely went wrong on, named for the pupil in one
// short sentence that never gives the answer away.

// The kinds of mistake. The numbers and the keys are what a register stores:
// they never change meaning, new kinds take new ones.
enum class Sbaglio : quint8 {
  Nessuno = 0,            // the answer is right
  SenzaConversione = 1,   // the two values added as they stand (its comma maybe moved)
  UnoSoloConvertito = 2,  // one quantity brought to the asked unit, the other left as it was
  VirgolaSpostata = 3,    // the right digits, the comma one to three places off
  ZeroSegnaposto = 4,     // one zero missing or one too many among the right digits
  Altro = 5,              // none of these: a neutral hint that blames nothing
  SimboloPiuGrande = 6,   // symbol view: a unit larger than the right one
  SimboloPiuPiccolo = 7,  // symbol view: a unit smaller than the right one
  RispostaVuota = 8,      // nothing typed or chosen
  SommaSbagliata = 9,     // both quantities converted rightly, a slip in adding them
};

// What the operation asks for.
enum class Richiesta { Numero, Simbolo };

struct Diagnosi {
  Sbaglio sbaglio = Sbaglio::Nessuno;
  // VirgolaSpostata: the answer is the right one times 10^passi (negative: too small).
  // ZeroSegnaposto: -1 a zero missing, +1 a zero too many.
  // SimboloPiuGrande, SimboloPiuPiccolo: how many units apart, 1..3.
  int passi = 0;
  Richiesta richiesta = Richiesta::Numero;
  bool operator==(const Diagnosi &) const = default;
};

// The stable short key of a kind ("senza-conversione", ...), and back.
[[nodiscard]] QString ChiaveSbaglio(Sbaglio s);
[[nodiscard]] std::optional<Sbaglio> SbaglioDaChiave(QStringView chiave);

// Classifies the pupil's answer to op (generated in famiglia): a number as the
// keypad writes it, or a unit symbol as its button's caption. Where more than
// one kind fits, the most specific wins: no conversion, one quantity converted,
// the comma moved, a placeholder zero, a slip in the sum, then the neutral hint.
[[nodiscard]] Diagnosi ClassificaSbaglio(const Operazione &op, const FamigliaUnita &famiglia,
                                         Richiesta richiesta, QStringView risposta);

// How the sentence is given: written below "Errato", or read aloud, where a
// factor is said in words ("dieci volte") as the operations are.
enum class Forma { Scritta, Letta };

// The sentence the pupil gets below "Errato"; empty for a right answer. It
// depends on the diagnosis alone, so whoever keeps a Diagnosi can show the
// very sentence the pupil read.
[[nodiscard]] QString FraseSbaglio(const Diagnosi &d, Forma forma = Forma::Scritta);

// The exact result of op in its asked unit, in millionths.
[[nodiscard]] qint64 RisultatoEsatto(const Operazione &op);
