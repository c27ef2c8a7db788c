#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

#include "registro/inclasse.h"

class QThread;
class LavoroInClasse;

// Reads "In classe ora" off the window's thread. The teacher's sign-in makes
// a second connection of the teacher's for it (the password is kept nowhere,
// so it is made then or never); here it is taken to a thread of its own,
// which listens on it for the lab's announcements and runs the reads. A
// server that goes quiet holds that thread until the connection is given up
// for lost, never the window's.
class LettoreInClasse : public QObject {
  Q_OBJECT
 public:
  // Takes the connection named, whose driver must belong to the calling thread.
  explicit LettoreInClasse(const QString &connessione, QObject *genitore = nullptr);
  // Closes the connection on its thread; a read still held by the network is
  // not waited for (the thread ends by itself when the connection gives up).
  ~LettoreInClasse() override;
  LettoreInClasse(const LettoreInClasse &) = delete;
  LettoreInClasse &operator=(const LettoreInClasse &) = delete;

  // Reads the class's pupils at work; the answer comes with letta().
  void leggi(qint64 classe);
  // Whether the announcements are being heard.
  [[nodiscard]] bool inAscolto() const { return *m_ascolto; }

 Q_SIGNALS:
  // A read's answer: nothing when the server couldn't be read (`messaggio`
  // then says why, once; `scollegato` when the connection is gone).
  void letta(qint64 classe, const std::optional<QList<AlunnoAlLavoro>> &righe, const QString &messaggio,
             bool scollegato);
  // An announcement on the lab's channel, with what it says.
  void avviso(const QString &testo);

 private:
  QThread *m_thread = nullptr;
  LavoroInClasse *m_lavoro = nullptr;
  std::shared_ptr<std::atomic<bool>> m_ascolto = std::make_shared<std::atomic<bool>>(false);
};
