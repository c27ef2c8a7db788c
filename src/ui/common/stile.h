#pragma once

#include <QProxyStyle>

// The program's look: Fusion, except that push buttons are drawn as flat faces
// in their own colour with a square raised edge (pressed: sunk) and a dotted
// focus rectangle, and that nothing is read from the style's image files. The
// faces are drawn straight onto the window, so no button face is kept in the
// pixmap cache and a window full of large buttons paints in a fraction of the
// time Fusion's rounded, shaded faces take.
class StileVornel : public QProxyStyle {
  Q_OBJECT
 public:
  StileVornel();

  void drawPrimitive(PrimitiveElement elemento, const QStyleOption *opzione, QPainter *p,
                     const QWidget *widget = nullptr) const override;
  // Fusion shows a button's focus on its face; here the focus rectangle is
  // drawn over the face, inside the edge, whether the focus came by mouse or key.
  void drawControl(ControlElement elemento, const QStyleOption *opzione, QPainter *p,
                   const QWidget *widget = nullptr) const override;
  // The chevrons of a menu bar too narrow for its entries are drawn here: the
  // style's own are image files, and reading the first one loads every image
  // format's plugin (JPEG, GIF, ICO) into the program for good.
  QIcon standardIcon(StandardPixmap icona, const QStyleOption *opzione = nullptr,
                     const QWidget *widget = nullptr) const override;
};
