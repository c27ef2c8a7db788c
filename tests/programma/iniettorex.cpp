#include "programma/iniettorex.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

int g_errori = 0;

// A window may be destroyed between the moment it is chosen and the request
// that names it; Xlib's own handler would end the process for that.
int ContaErrore(Display *, XErrorEvent *) {
  ++g_errori;
  return 0;
}

}  // namespace

IniettoreX::IniettoreX() : m_d(XOpenDisplay(nullptr)) {
  if (!m_d) return;
  XSetErrorHandler(ContaErrore);
  int evento = 0, errore = 0, maggiore = 0, minore = 0;
  m_pronto = XTestQueryExtension(m_d, &evento, &errore, &maggiore, &minore);
}

IniettoreX::~IniettoreX() {
  if (m_d) XCloseDisplay(m_d);
}

int IniettoreX::errori() const { return g_errori; }

bool IniettoreX::tasto(unsigned long keysym, bool premuto) {
  const KeyCode codice = XKeysymToKeycode(m_d, keysym);
  if (codice == 0) return false;
  XTestFakeKeyEvent(m_d, codice, premuto ? True : False, CurrentTime);
  XFlush(m_d);
  return true;
}

void IniettoreX::sposta(QPoint globale) {
  XTestFakeMotionEvent(m_d, -1, globale.x(), globale.y(), CurrentTime);
  XFlush(m_d);
}

void IniettoreX::pulsante(int numero, bool premuto) {
  XTestFakeButtonEvent(m_d, static_cast<unsigned>(numero), premuto ? True : False, CurrentTime);
  XFlush(m_d);
}

void IniettoreX::attiva(quint64 finestra) {
  XRaiseWindow(m_d, finestra);
  XSetInputFocus(m_d, finestra, RevertToPointerRoot, CurrentTime);
  XFlush(m_d);
}

void IniettoreX::chiudi(quint64 finestra) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = finestra;
  e.xclient.message_type = XInternAtom(m_d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(m_d, finestra, False, NoEventMask, &e);
  XFlush(m_d);
}

void IniettoreX::ridimensiona(quint64 finestra, QSize dimensione) {
  XResizeWindow(m_d, finestra, static_cast<unsigned>(dimensione.width()), static_cast<unsigned>(dimensione.height()));
  XFlush(m_d);
}

void IniettoreX::statoWm(quint64 finestra, long stato) {
  const Atom wmState = XInternAtom(m_d, "WM_STATE", False);
  const long dati[2] = {stato, 0};
  XChangeProperty(m_d, finestra, wmState, wmState, 32, PropModeReplace, reinterpret_cast<const unsigned char *>(dati),
                  2);
}

void IniettoreX::riduci(quint64 finestra) {
  statoWm(finestra, IconicState);
  XUnmapWindow(m_d, finestra);
  XFlush(m_d);
}

void IniettoreX::ripristina(quint64 finestra) {
  statoWm(finestra, NormalState);
  XMapRaised(m_d, finestra);
  XSync(m_d, False);
  XSetInputFocus(m_d, finestra, RevertToPointerRoot, CurrentTime);
  XFlush(m_d);
}

void IniettoreX::ripetizione(int ritardo, int intervallo) {
  XkbSetAutoRepeatRate(m_d, XkbUseCoreKbd, static_cast<unsigned>(ritardo), static_cast<unsigned>(intervallo));
  XAutoRepeatOn(m_d);
  XSync(m_d, False);
}

void IniettoreX::sincronizza() { XSync(m_d, False); }
