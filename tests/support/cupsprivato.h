#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private CUPS server for one test (tests/support/cupsprivato.sh): its own
// folder, socket and spool, a cups-pdf queue as its default, PreserveJobFiles
// on. avvia() points CUPS_SERVER at it and clears PRINTER/LPDEST, so call it
// before the program's first CUPS call; the destructor stops the server.
//
//   CupsPrivato cups;
//   if (!cups.avvia()) QSKIP(qPrintable(cups.errore()));
//   ... print through StampanteQt ...
//   QTRY_COMPARE_WITH_TIMEOUT(cups.lavoriCompletati(), 1, 30000);
//   const QString pdf = cups.documentiSpool().value(0);
class CupsPrivato {
 public:
  explicit CupsPrivato(QString coda = QStringLiteral("Vornel-PDF"));
  ~CupsPrivato();
  CupsPrivato(const CupsPrivato &) = delete;
  CupsPrivato &operator=(const CupsPrivato &) = delete;

  // Starts the server and the queue; false with errore() when it could not.
  bool avvia();
  void ferma();

  [[nodiscard]] QString coda() const { return m_coda; }
  [[nodiscard]] QString server() const { return m_server; }
  [[nodiscard]] QString spool() const { return m_spool; }
  [[nodiscard]] QString errore() const { return m_errore; }
  // The script itself, for a test that drives it by hand.
  [[nodiscard]] static QString script();

  // Runs a CUPS client command (lp, lpstat, lpadmin, cupsreject...) against this server.
  QString client(const QString &programma, QStringList argomenti, int *uscita = nullptr) const;
  // Jobs the server lists as completed / not yet completed.
  [[nodiscard]] int lavoriCompletati() const;
  [[nodiscard]] int lavoriInCoda() const;
  // The spooled documents (dNNNNN-NNN), oldest first.
  [[nodiscard]] QStringList documentiSpool() const;

 private:
  QTemporaryDir m_dir;
  QString m_coda, m_server, m_spool, m_errore;
  QByteArray m_vecchioServer;
  bool m_avviato = false;
};
