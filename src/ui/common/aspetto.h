#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;
class QLabel;
class QFrame;

// Design units: controls are placed in twips, 15 twips to a pixel at 96 dpi.
namespace aspetto {

[[nodiscard]] constexpr int px(int twips) { return (twips + (twips >= 0 ? 7 : -7)) / 15; }
[[nodiscard]] inline QRect twips(int left, int top, int width, int height) {
  return {px(left), px(top), px(width), px(height)};
}

// The program's colours.
inline const QColor kSfondo{255, 224, 192};        // windows and buttons without focus
inline const QColor kFuoco{255, 192, 128};         // the button with the focus, the curtain
inline const QColor kGiallo{255, 255, 192};        // help, intervention and end buttons
inline const QColor kRosso{192, 0, 0};
inline const QColor kBlu{0, 0, 192};

[[nodiscard]] QFont carattere(const QString &famiglia, double punti, bool grassetto = false);
// Finds and opens a font, so that the first window to show it finds it ready
// (the first time takes about a millisecond, a new family several). Its glyphs
// are drawn when first needed: drawn ahead, every letter of every size would
// stay in the glyph caches, used or not.
void preparaCarattere(const QFont &f);
// Makes a top-level window's native window and its screen buffer, at the
// window's size, and fills the buffer once in the window's colour, without
// showing it: the memory of a new buffer is only handed over page by page as it
// is first written, which would otherwise fall in the window's first painting.
void preparaBuffer(QWidget *finestra);

// Back colour (filled) and, when valid, fore colour of a widget.
void colora(QWidget *w, const QColor &sfondo, const QColor &testo = QColor());
void coloraTesto(QWidget *w, const QColor &testo);

// A label placed in design units, with its name as the accessible name when it has no caption.
QLabel *etichetta(QWidget *genitore, const QString &nome, const QString &testo, const QRect &r);
// A frame (container) placed in design units.
QFrame *cornice(QWidget *genitore, const QString &nome, const QRect &r, const QString &titolo = QString());

}  // namespace aspetto
