#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

class QWidget;

// The teacher's window w is no longer watched when it is minimised or hidden
// without being closed: `incustodita` is called (once per time).
void SorvegliaPorta(QWidget *w, std::function<void()> incustodita);

// How long nobody has touched the program: every key, click, wheel turn or
// mouse movement in any of its windows counts as a touch.
class Inattivita final : public QObject {
 public:
  // Watches the whole application from now on.
  explicit Inattivita(QObject *genitore = nullptr);
  ~Inattivita() override;
  [[nodiscard]] qint64 millisecondi() const { return m_ultimo.elapsed(); }
  // Counts as a touch (a test's, or a window shown by the program for a person).
  void tocco() { m_ultimo.restart(); }

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  QElapsedTimer m_ultimo;
};
