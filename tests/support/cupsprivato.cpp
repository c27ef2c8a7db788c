#include "support/cupsprivato.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

CupsPrivato::CupsPrivato(QString coda) : m_coda(std::move(coda)) {}

CupsPrivato::~CupsPrivato() {
  ferma();
}

QString CupsPrivato::script() {
  return QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("cupsprivato.sh"));
}

bool CupsPrivato::avvia() {
  if (m_avviato) return true;
  if (!m_dir.isValid()) {
    m_errore = QStringLiteral("cartella temporanea non creata");
    return false;
  }
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CUPSPRIVATO_GUARDIA"), QString::number(QCoreApplication::applicationPid()));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral("bash"), {script(), QStringLiteral("avvia"), m_dir.path(), m_coda});
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    m_errore =
        QStringLiteral("cupsd privato non avviato: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return false;
  }
  for (const QString &riga : QString::fromLocal8Bit(p.readAllStandardOutput()).split(u'\n')) {
    if (riga.startsWith(QStringLiteral("CUPS_SERVER="))) m_server = riga.mid(12);
    if (riga.startsWith(QStringLiteral("SPOOL="))) m_spool = riga.mid(6);
  }
  m_vecchioServer = qgetenv("CUPS_SERVER");
  qputenv("CUPS_SERVER", m_server.toLocal8Bit());
  qunsetenv("PRINTER");
  qunsetenv("LPDEST");
  m_avviato = true;
  return true;
}

void CupsPrivato::ferma() {
  if (!m_avviato) return;
  QProcess p;
  p.start(QStringLiteral("bash"), {script(), QStringLiteral("ferma"), m_dir.path()});
  p.waitForFinished(30000);
  if (m_vecchioServer.isEmpty())
    qunsetenv("CUPS_SERVER");
  else
    qputenv("CUPS_SERVER", m_vecchioServer);
  m_avviato = false;
}

QString CupsPrivato::client(const QString &programma, QStringList argomenti, int *uscita) const {
  QProcess p;
  argomenti.prepend(m_server);
  argomenti.prepend(QStringLiteral("-h"));
  p.start(programma, argomenti);
  p.waitForFinished(30000);
  if (uscita) *uscita = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

static int contaRighe(const QString &testo) {
  int n = 0;
  for (const QString &r : testo.split(u'\n'))
    if (!r.trimmed().isEmpty()) ++n;
  return n;
}

int CupsPrivato::lavoriCompletati() const {
  return contaRighe(client(QStringLiteral("lpstat"),
                           {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o")}));
}

int CupsPrivato::lavoriInCoda() const {
  return contaRighe(client(QStringLiteral("lpstat"),
                           {QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o")}));
}

QStringList CupsPrivato::documentiSpool() const {
  QStringList percorsi;
  const QDir d(m_spool);
  for (const QString &f : d.entryList({QStringLiteral("d*")}, QDir::Files, QDir::Name))
    percorsi << d.filePath(f);
  return percorsi;
}
