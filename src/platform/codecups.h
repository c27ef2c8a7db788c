#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>

// The print queues, asked of the vornel-cups helper program: one short child
// process per question, so CUPS and its libraries stay out of the program.
// Without the helper, or with no print service answering, there are no queues.
// A question the service leaves unanswered is given up on after a few seconds,
// and for half a minute after that it counts as silent: no queues, no waiting.
namespace CodeCups {

struct Elenco {
  QStringList code;       // in CUPS's order
  QString predefinita;    // empty when there is no default queue
  bool risposto = true;   // false when the print service did not answer in time
};

struct Coda {
  QPageSize pagina;  // invalid when the queue does not say
  int dpi = 0;       // 0 when the queue does not say
};

// The helper's path; empty when it is not installed.
[[nodiscard]] QString Programma();
[[nodiscard]] Elenco Elenca();
// The queue's default paper and resolution; nullopt when there is no such queue.
[[nodiscard]] std::optional<Coda> Info(const QString &nome);
// Sends the finished file as one job. False with the reason, in Italian, in *errore.
bool Stampa(const QString &nome, const QString &file, const QString &titolo, QString *errore);

}  // namespace CodeCups
