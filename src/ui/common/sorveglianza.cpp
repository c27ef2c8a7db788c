#include "ui/common/sorveglianza.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class Sentinella final : public QObject {
 public:
  Sentinella(QWidget *w, std::function<void()> incustodita)
      : QObject(w), m_finestra(w), m_incustodita(std::move(incustodita)) {
    w->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject *o, QEvent *e) override {
    if (o != m_finestra) return false;
    switch (e->type()) {
      case QEvent::Close:
        m_chiusa = true;  // the hiding that follows is the closing's own
        break;
      case QEvent::Show:
        m_chiusa = false;
        break;
      case QEvent::Hide:
      case QEvent::WindowStateChange:
        // Looked at once the event is over: a window being destroyed hides
        // too, and then this watcher, its child, goes with it before it looks.
        if (!m_chiusa) QTimer::singleShot(0, this, [this] {
            if (!m_chiusa && (m_finestra->isMinimized() || !m_finestra->isVisible())) m_incustodita();
          });
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QWidget *m_finestra;
  std::function<void()> m_incustodita;
  bool m_chiusa = false;
};

}  // namespace

void SorvegliaPorta(QWidget *w, std::function<void()> incustodita) {
  new Sentinella(w, std::move(incustodita));
}

Inattivita::Inattivita(QObject *genitore) : QObject(genitore) {
  m_ultimo.start();
  QCoreApplication::instance()->installEventFilter(this);
}

Inattivita::~Inattivita() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool Inattivita::eventFilter(QObject *o, QEvent *e) {
  switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
      m_ultimo.restart();
      break;
    default:
      break;
  }
  return QObject::eventFilter(o, e);
}
