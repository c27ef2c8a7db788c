#pragma once

#include <span>

// The exercise window's controls as designed: kind, name, parent (empty for the
// client area), caption, place and size in twips, font size in points.
namespace disegno {

enum class Tipo {
  Cornice,     // a frame holding controls
  Vista,       // the frame of the number or symbol view
  Etichetta,   // a caption
  Valore,      // a counter's value in a small sunken box
  Casella,     // the pupil's answer
  Correzione,  // the answer given by the program
  Riquadro,    // the box under the cross over the answer
  Marcatore,   // invisible: where the five frames stand
  Pulsante,    // a keypad or symbol button
  Giallo,      // a button of the help, intervention and end frames
  Frase,       // the sentence naming the likely mistake, under the verdict
  Tabella,     // the unit table of the worked solution
};
enum class Allinea { Sinistra, Centro, Destra };

struct Controllo {
  Tipo tipo;
  const char16_t *nome;
  const char16_t *genitore;
  const char16_t *testo;
  int sinistra, alto, larghezza, altezza;
  int punti;
  bool grassetto;
  Allinea allinea;
};

// Client area in twips.
inline constexpr int kLarghezza = 12900;
inline constexpr int kAltezza = 9900;

[[nodiscard]] std::span<const Controllo> Controlli();

// The unit table kept at hand: a column of its own right of the design, from
// the operation's top down to the foot of the frames. The client widens by
// kLarghezzaAMano while it is shown.
inline constexpr int kLarghezzaAMano = 3600;
inline constexpr int kTabellaAManoSinistra = kLarghezza, kTabellaAManoAlto = 2130;
inline constexpr int kTabellaAManoLarghezza = 3450, kTabellaAManoAltezza = 7620;

// Type that fills the board: with it, the operation's row takes the frame's
// whole width and height, each box sized for its widest text drawn larger
// than the design's, so that on a wide board the operation grows past the
// rest of the window. Only these controls move; every other keeps its place.
struct Posto {
  const char16_t *nome;
  int sinistra, alto, larghezza, altezza;
};
[[nodiscard]] std::span<const Posto> Lavagna();

// With the column at hand beside it, the operation's row on the board reaches
// across the column too: the row as Lavagna() lays it, stretched across the
// widened client, so the operation grows on a wide board as much as it does
// without the column. The table at hand then starts below the row, level with
// the verdict, and keeps its foot.
[[nodiscard]] Posto LavagnaConColonna(const Posto &p);
inline constexpr int kTabellaAManoAltoLavagna = 3780;

// The "Leggi" button, wanted by the pupil's plan, stands at the top of the same
// column, beside the counters.
inline constexpr int kLeggiSinistra = kLarghezza, kLeggiAlto = 120;
inline constexpr int kLeggiLarghezza = 3450, kLeggiAltezza = 1380;

}  // namespace disegno
