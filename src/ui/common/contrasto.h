#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// High contrast: a second set of colours, worked out from the designed ones,
// in which every text stands out from its background by a ratio of at least
// 7 : 1 (WCAG AAA), and the focus is also drawn as a thick border. A window
// in high contrast carries the property kProprieta; what is coloured in it
// afterwards is coloured in high contrast too, and the designed colours are
// kept, so that switching back gives the window exactly its design.
namespace contrasto {

inline constexpr char kProprieta[] = "altoContrasto";
// A control carrying this property, true, is a sign: the colour it fills is what
// it shows (a marker beside a chosen button), not a background for a text. In
// high contrast that colour is darkened as a text's is, so the sign reaches the
// ratio on the background around it instead of fading into it.
inline constexpr char kSegno[] = "segno";
inline constexpr double kMinimo = 7.0;

// WCAG relative luminance (sRGB) and the contrast ratio of two colours (1..21).
[[nodiscard]] double Luminanza(const QColor &c);
[[nodiscard]] double Rapporto(const QColor &a, const QColor &b);

// The high-contrast background for a designed one: the focus colour becomes
// yellow, every other background white. A text colour keeps its hue, darkened
// until it reaches the ratio on both.
[[nodiscard]] QColor Sfondo(const QColor &progetto);
[[nodiscard]] QColor Testo(const QColor &progetto);
[[nodiscard]] QPalette Tavolozza(const QPalette &progetto);
// The same for a sign: its fill keeps its hue, darkened like a text.
[[nodiscard]] QPalette TavolozzaSegno(const QPalette &progetto);

// Whether w's window is in high contrast.
[[nodiscard]] bool Attivo(const QWidget *w);
// Sets a widget's palette: the designed one, or its high-contrast twin when
// its window is in high contrast (the designed one then kept aside); a sign's
// twin is TavolozzaSegno's.
void ImpostaTavolozza(QWidget *w, const QPalette &progetto);
// The palette as designed, whether or not it is shown in high contrast.
[[nodiscard]] QPalette TavolozzaProgetto(const QWidget *w);
// Puts a whole window in high contrast, or back to its design.
void Applica(QWidget *finestra, bool si);

}  // namespace contrasto
