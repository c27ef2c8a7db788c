#include "platform/codecups.h"

#include "platform/cartelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSizeF>

using namespace Qt::StringLiterals;

namespace {

// A queue's answers come back at once; a print service that does not answer
// within these times is given up on. After a question went unanswered the
// service counts as silent for a while, so one window does not wait for it
// again at each of its questions.
constexpr int kAttesaDomanda = 5000;
constexpr int kAttesaLavoro = 30000;
constexpr int kPausaDopoSilenzio = 30000;

QElapsedTimer &UltimoSilenzio() {
  static QElapsedTimer t;
  return t;
}

bool ServizioMuto() {
  return UltimoSilenzio().isValid() && UltimoSilenzio().elapsed() < kPausaDopoSilenzio;
}

struct Risposta {
  bool finito = false;   // ran and exited by itself
  bool scaduto = false;  // still running when the wait was over: killed
  QString guasto;        // why it did not run or did not end by itself
  int uscita = -1;
  QList<QStringList> righe;  // standard output, each line split at the tabs
  QString errore;            // standard error, trimmed
};

Risposta Chiedi(const QStringList &argomenti, int attesa) {
  Risposta r;
  const QString programma = CodeCups::Programma();
  if (programma.isEmpty()) return r;
  QProcess p;
  p.start(programma, argomenti, QIODevice::ReadOnly);
  if (!p.waitForStarted(attesa)) {
    r.guasto = p.errorString();
    return r;
  }
  if (!p.waitForFinished(attesa)) {
    r.scaduto = p.state() != QProcess::NotRunning;
    r.guasto = p.errorString();
    p.kill();
    p.waitForFinished(1000);
    if (r.scaduto) UltimoSilenzio().start();
    return r;
  }
  UltimoSilenzio().invalidate();
  r.finito = p.exitStatus() == QProcess::NormalExit;
  if (!r.finito) r.guasto = p.errorString();
  r.uscita = p.exitCode();
  for (const QByteArray &riga : p.readAllStandardOutput().split('\n'))
    if (!riga.isEmpty()) r.righe << QString::fromUtf8(riga).split(u'\t');
  r.errore = QString::fromUtf8(p.readAllStandardError()).trimmed();
  return r;
}

}  // namespace

namespace CodeCups {

QString Programma() {
  static const QString trovato = [] {
    const QString f = TrovaParteDelProgramma(u"vornel-cups"_s);
    return !f.isEmpty() && QFileInfo(f).isExecutable() ? f : QString();
  }();
  return trovato;
}

Elenco Elenca() {
  Elenco e;
  if (ServizioMuto()) {
    e.risposto = false;
    return e;
  }
  const Risposta r = Chiedi({u"elenca"_s}, kAttesaDomanda);
  e.risposto = !r.scaduto;
  if (!r.finito || r.uscita != 0) return e;
  for (const QStringList &campi : r.righe) {
    if (campi.size() != 2 || campi[1].isEmpty()) continue;
    if (campi[0] == u"coda"_s) e.code << campi[1];
    else if (campi[0] == u"predefinita"_s) e.predefinita = campi[1];
  }
  return e;
}

std::optional<Coda> Info(const QString &nome) {
  if (ServizioMuto()) return std::nullopt;
  const Risposta r = Chiedi({u"info"_s, nome}, kAttesaDomanda);
  if (!r.finito || r.uscita != 0) return std::nullopt;
  Coda c;
  for (const QStringList &campi : r.righe) {
    if (campi.value(0) == u"pagina"_s && campi.size() == 3) {
      const double larghezza = campi[1].toDouble() / 100.0, lunghezza = campi[2].toDouble() / 100.0;
      if (larghezza > 0 && lunghezza > 0) c.pagina = QPageSize(QSizeF(larghezza, lunghezza), QPageSize::Millimeter);
    } else if (campi.value(0) == u"dpi"_s && campi.size() == 2) {
      c.dpi = campi[1].toInt();
    }
  }
  return c;
}

bool Stampa(const QString &nome, const QString &file, const QString &titolo, QString *errore) {
  const Risposta r = Chiedi({u"stampa"_s, nome, file, titolo}, kAttesaLavoro);
  if (r.finito && r.uscita == 0) return true;
  if (errore) {
    if (Programma().isEmpty())
      *errore = u"Impossibile stampare su \u00AB%1\u00BB: il programma vornel-cups non \u00E8 installato."_s.arg(nome);
    else if (r.scaduto)
      *errore = u"Il servizio di stampa non ha risposto in tempo.\n"
                u"Controlla la coda della stampante \u00AB%1\u00BB prima di stampare di nuovo."_s.arg(nome);
    else if (!r.finito)
      *errore = u"Impossibile stampare su \u00AB%1\u00BB: il programma vornel-cups non ha funzionato (%2)."_s.arg(
          nome, r.guasto);
    else
      *errore = u"La stampante \u00AB%1\u00BB ha rifiutato la stampa:\n%2"_s.arg(nome, r.errore);
  }
  return false;
}

}  // namespace CodeCups
