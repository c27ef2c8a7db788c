#pragma once

// The teacher at the door, as a teacher passes it: the PIN typed into its box
// (and again into the second one at the first opening), then Enter.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ui/programma/finestre.h"
#include "ui/registro/quadernoregistro.h"

// A PIN digest quick to compute: the door's cost is the core's concern.
inline constexpr int kIterazioniPorta = 1000;

// Gives the program's windows a register of their own in `cartella`, with a
// quick door on the given clock (the system's when none).
inline QuadernoRegistro *RegistroConPorta(Finestre &finestre, const QString &cartella,
                                          PortaDocente::Adesso adesso = {}) {
  auto q = std::make_unique<QuadernoRegistro>(cartella + QStringLiteral("/registro.sqlite"));
  q->impostaPorta(std::move(adesso), kIterazioniPorta);
  QuadernoRegistro *p = q.get();
  finestre.impostaQuaderno(std::move(q));
  return p;
}

// While it lives, each time the door comes up, types the PIN and presses
// Enter; counts the doors passed so.
class AllaPorta {
 public:
  explicit AllaPorta(QString pin) : m_pin(std::move(pin)) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { guarda(); });
    m_timer.start();
  }
  [[nodiscard]] int porte() const { return m_porte; }

 private:
  void guarda() {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible() || m->objectName() != QStringLiteral("FrmPorta")) return;
    auto *txtPin = m->findChild<QLineEdit *>(QStringLiteral("txtPin"));
    auto *txtConferma = m->findChild<QLineEdit *>(QStringLiteral("txtConferma"));
    if (!txtPin || !txtPin->isEnabled()) return;
    ++m_porte;
    QTest::keyClicks(txtPin, m_pin);
    if (txtConferma) QTest::keyClicks(txtConferma, m_pin);
    QTest::keyClick(txtConferma ? txtConferma : txtPin, Qt::Key_Return);
  }

  QString m_pin;
  QTimer m_timer;
  int m_porte = 0;
};
