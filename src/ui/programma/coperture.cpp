#include "ui/programma/coperture.h"

#include "ui/common/tipovivo.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <QWindow>

namespace {

// Qt draws into a buffer only after giving it the window's size again, and then
// repaints the whole window.
constexpr QSize kRestituito{1, 1};

bool AltaSu(const QWidget *w, const QWidget *antenata) {
  for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
    if (p == antenata) return true;
  return false;
}

}  // namespace

Coperture::Coperture(QObject *genitore) : QObject(genitore) {}

bool Coperture::attive() {
  static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
  return x11;
}

bool Coperture::restituito(const QWidget *finestra) {
  const QBackingStore *buffer = finestra->backingStore();
  return buffer && buffer->size() == kRestituito && finestra->size() != kRestituito;
}

void Coperture::segui(QWidget *finestra) {
  if (!attive() || !finestra) return;
  finestra->removeEventFilter(this);
  finestra->installEventFilter(this);
}

void Coperture::sopra(QWidget *finestra) {
  if (!attive()) return;
  segui(finestra);
  inCima(finestra);
  m_attiva = finestra;  // it takes the focus once shown
  rivedi();
}

void Coperture::inCima(QWidget *finestra) {
  m_pila.removeAll(finestra);
  m_pila.append(finestra);
  // The windows opened from it stay above it.
  QList<QPointer<QWidget>> figlie;
  for (const QPointer<QWidget> &w : std::as_const(m_pila))
    if (w && AltaSu(w, finestra)) figlie.append(w);
  for (const QPointer<QWidget> &w : std::as_const(figlie)) {
    m_pila.removeAll(w);
    m_pila.append(w);
  }
}

void Coperture::ridisegna(QWidget *finestra) {
  if (!m_rinviate.removeAll(finestra)) return;
  // The request that was put off is made again.
  QCoreApplication::postEvent(finestra, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

bool Coperture::eventFilter(QObject *o, QEvent *e) {
  // A window in the middle of its destruction is still a widget while ~QWidget
  // hides it and says it is destroyed, and no longer one after.
  if (auto *w = TipoVivo<QWidget>(o)) {
    switch (e->type()) {
      case QEvent::UpdateRequest:
        if (m_coperte.contains(w) && restituito(w)) {
          if (!m_rinviate.contains(w)) m_rinviate.append(w);
          return true;
        }
        break;
      case QEvent::Show:
        if (QWindow *nativa = w->windowHandle()) {
          nativa->removeEventFilter(this);
          nativa->installEventFilter(this);
        }
        inCima(w);
        rivedi();
        break;
      case QEvent::WindowActivate:
        // A window manager raises the window it activates; and whatever is
        // above it, the user is working in it, so it is drawn.
        m_attiva = w;
        inCima(w);
        rivedi();
        break;
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        rivedi();
        break;
      case QEvent::Hide:
        // Off the screen it covers nothing; shown again, it comes back on top.
        m_pila.removeAll(w);
        rivedi();
        break;
      case QEvent::Destroy:
        m_pila.removeAll(w);
        m_coperte.removeAll(w);
        m_rinviate.removeAll(w);
        break;
      default:
        break;
    }
  } else if (e->type() == QEvent::Expose) {
    // The window server shows some of a window that gave its buffer back: it
    // is drawn whole before the server is handed any of it.
    if (auto *nativa = TipoVivo<QWindow>(o); nativa && nativa->isExposed())
      for (const QPointer<QWidget> &w : std::as_const(m_pila))
        if (w && w->windowHandle() == nativa && restituito(w)) {
          m_rinviate.removeAll(w);
          w->update();
        }
  }
  return QObject::eventFilter(o, e);
}

void Coperture::rivedi() {
  m_pila.removeAll(nullptr);
  QList<QPointer<QWidget>> coperte;
  QRegion sopra;  // what the windows above cover so far, from the top down
  for (qsizetype i = m_pila.size() - 1; i >= 0; --i) {
    QWidget *w = m_pila.at(i);
    // Only the window about to be shown (sopra) is on top before it is visible;
    // a minimised window covers nothing.
    if ((!w->isVisible() && i != m_pila.size() - 1) || w->isMinimized()) continue;
    const QRect dove = w->frameGeometry();
    if (w->isVisible() && w != m_attiva && QRegion(dove).subtracted(sopra).isEmpty()) {
      coperte.append(w);
      if (QBackingStore *buffer = w->backingStore(); buffer && !restituito(w)) buffer->resize(kRestituito);
    }
    sopra += dove;
  }
  const QList<QPointer<QWidget>> prima = std::exchange(m_coperte, coperte);
  for (const QPointer<QWidget> &w : prima)
    if (w && !m_coperte.contains(w)) ridisegna(w);
}
