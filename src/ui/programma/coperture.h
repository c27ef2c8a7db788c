#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Under X11 each window of the program keeps a picture buffer as large as
// itself (2 MB for the exercise window), also while the windows opened over it
// hide it entirely: the start window beneath the exercise, the end-of-exercise
// window beneath the certificate. A window wholly covered by the program's own
// windows above it gives its buffer back and puts off its drawing (the window
// server has nothing of it to show). It is drawn again, whole, the moment the
// window server shows any part of it, it is activated, or the windows above it
// no longer cover it (or are minimised). Nothing on the screen is ever taken from a buffer given
// back.
//
// The order of the windows is the order they were shown and activated in,
// except that a window stays above the one it was opened from, as window
// managers keep it; a window judged covered that is not (another program's
// window manager placed things otherwise) still shows its last picture and is
// drawn as soon as it is exposed or activated.
class Coperture final : public QObject {
 public:
  explicit Coperture(QObject *genitore = nullptr);

  // Follows a top-level window of the program until it is destroyed.
  void segui(QWidget *finestra);
  // The window is about to be shown over the others: the ones it will cover
  // give their buffers back before it takes its own.
  void sopra(QWidget *finestra);
  // Whether the windows of this platform keep buffers of their own (X11).
  [[nodiscard]] static bool attive();
  // Whether the window has given its buffer back and not yet drawn again.
  [[nodiscard]] static bool restituito(const QWidget *finestra);

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  void inCima(QWidget *finestra);
  void rivedi();
  void ridisegna(QWidget *finestra);

  QList<QPointer<QWidget>> m_pila;     // from the bottom window to the top one
  QList<QPointer<QWidget>> m_coperte;  // wholly covered, buffer given back
  QList<QPointer<QWidget>> m_rinviate; // covered windows whose drawing was put off
  QPointer<QWidget> m_attiva;          // the window with the focus, or about to take it: never covered
};
