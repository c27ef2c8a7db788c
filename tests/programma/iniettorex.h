#pragma once

#include <QPoint>
#include <QSize>
#include <QtGlobal>

struct _XDisplay;

// A user at the keyboard and the mouse of the X server the program runs on,
// and the little of a window manager that user leans on: the window clicked is
// raised and given the keyboard, windows are closed, resized, minimised and
// restored as a window manager does it. Everything goes to the server through
// the XTest extension and plain X requests, on a connection of its own, and
// comes back to the program as the X events a real session brings.
class IniettoreX {
 public:
  IniettoreX();
  ~IniettoreX();
  IniettoreX(const IniettoreX &) = delete;
  IniettoreX &operator=(const IniettoreX &) = delete;

  // Whether the display was opened and has the XTest extension.
  [[nodiscard]] bool pronto() const { return m_pronto; }
  // X errors met so far (a window gone between the choice and the request).
  [[nodiscard]] int errori() const;

  // A key, by its keysym; false when the keyboard map has no key for it.
  bool tasto(unsigned long keysym, bool premuto);
  void sposta(QPoint globale);
  void pulsante(int numero, bool premuto);

  // Raises the window and gives it the keyboard, as a click-to-focus window manager.
  void attiva(quint64 finestra);
  // Asks the window to close (WM_DELETE_WINDOW), as the title bar's button does.
  void chiudi(quint64 finestra);
  void ridimensiona(quint64 finestra, QSize dimensione);
  // Iconifies the window: unmapped and marked iconic (ICCCM WM_STATE).
  void riduci(quint64 finestra);
  // Maps an iconified window again, on top and with the keyboard.
  void ripristina(quint64 finestra);
  // Keys held down repeat after ritardo ms, every intervallo ms.
  void ripetizione(int ritardo, int intervallo);
  // Waits until the server has carried out every request sent.
  void sincronizza();

 private:
  void statoWm(quint64 finestra, long stato);
  _XDisplay *m_d = nullptr;
  bool m_pronto = false;
};
