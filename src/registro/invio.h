#pragma once

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "registro/configserver.h"

class QThread;
class Postino;

// Sends what this computer recorded to the school's server, and brings the
// server's classes, pupils, plans and erasures into the computer's register.
//
// It lives on the window's thread and owns a worker thread that does all the
// talking: its own connection to the register file and its own connection to
// the server (a Qt SQL connection belongs to the thread that made it), so the
// window never waits on the network. The worker reads the outbox (see
// Registro::impostaUscita) in order, a batch at a time, hands the batch to the
// server's ricevi() in one transaction, and only once the server has
// committed takes those rows out of the outbox: a batch cut short is sent
// again, and the server takes it once. Any fault drops the connection (the
// driver does not notice a dead one by itself) and tries again after 1 s,
// 2 s, 4 s ... at most 10 s. A plain outage is never told: the pupil can do
// nothing about it. What a person must put right (the password, the
// certificate, the server's version) is told once, in Italian.
class Invio : public QObject {
  Q_OBJECT
 public:
  struct Impostazioni {
    int lotto = 200;                // outbox rows per batch
    int primaAttesa = 1000;         // ms before the first retry
    int massimaAttesa = 10000;      // ms, the longest wait between tries
    int intervalloLettura = 30000;  // ms between reads of the server's lists while connected
    // The computer's clock (tests set one that is hours off).
    std::function<QDateTime()> orologio;
    // Called on the worker thread once the server has committed a batch,
    // before the outbox is emptied of it; false: the answer is taken as lost.
    std::function<bool()> dopoCommit;
  };

  // The kinds of fault a person must put right, each told once.
  enum class Guasto { Password, Certificato, SchemaVecchio, SchemaNuovo, Rifiutato, DiscoPieno };
  Q_ENUM(Guasto)

  Invio(ConfigServer config, QString percorsoRegistro, QObject *genitore = nullptr);
  Invio(ConfigServer config, QString percorsoRegistro, Impostazioni impostazioni,
        QObject *genitore = nullptr);
  // Stops as ferma() does.
  ~Invio() override;
  Invio(const Invio &) = delete;
  Invio &operator=(const Invio &) = delete;

  // Starts the worker (once).
  void avvia();
  // Something new is in the outbox: the worker sends it at once. Any thread;
  // never waits.
  void sveglia();
  // Stops the worker: the batch in flight is finished or left (the outbox
  // keeps it for the next run) within `attesa` ms. False when the worker was
  // still held by the network: it is then left to end by itself.
  bool ferma(int attesa = 2000);

  // Operations still waiting on this computer, as last counted.
  [[nodiscard]] int inAttesa() const { return m_inAttesa; }
  // When the server last answered (invalid: not yet).
  [[nodiscard]] QDateTime ultimoContatto() const { return m_contatto; }
  [[nodiscard]] bool collegato() const { return m_collegato; }
  // The message of a new fault a person must put right, taken once.
  [[nodiscard]] std::optional<QString> prendiMessaggio() { return std::exchange(m_messaggio, std::nullopt); }
  // The sentence for each kind.
  [[nodiscard]] static QString Testo(Guasto g);

 Q_SIGNALS:
  void inAttesaCambiato(int operazioni);
  void contatto(const QDateTime &quando);
  void collegamentoCambiato(bool collegato);
  // A fault a person must put right: said once per kind.
  void guasto(Invio::Guasto tipo, const QString &messaggio);
  // The server's lists reached the computer's register (something changed).
  void riflessoAggiornato();

 private:
  friend class Postino;
  // Called from the worker, on this object's thread.
  void notificaAttesa(int n);
  void notificaContatto(const QDateTime &quando);
  void notificaCollegato(bool si);
  void notificaGuasto(Guasto g);

  ConfigServer m_config;
  QString m_percorso;
  Impostazioni m_impostazioni;
  QThread *m_thread = nullptr;
  Postino *m_postino = nullptr;
  QObject *m_contesto = nullptr;  // lives on the worker thread: the calls posted there
  std::shared_ptr<std::atomic<bool>> m_fermo = std::make_shared<std::atomic<bool>>(false);
  // The worker posts to this object only while it lives.
  struct Recapito {
    QMutex mutex;
    Invio *invio = nullptr;
  };
  std::shared_ptr<Recapito> m_recapito = std::make_shared<Recapito>();
  int m_inAttesa = 0;
  QDateTime m_contatto;
  bool m_collegato = false;
  QSet<Guasto> m_detti;
  std::optional<QString> m_messaggio;
};
