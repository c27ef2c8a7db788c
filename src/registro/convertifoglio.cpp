#include "registro/convertifoglio.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;

ConversioneFoglio::ConversioneFoglio(QObject *genitore) : QObject(genitore) {
  m_limite.setSingleShot(true);
  connect(&m_limite, &QTimer::timeout, this, [this] {
    ElencoLetto e;
    e.errore = u"LibreOffice non ha finito di leggere il foglio in tempo. Salvalo come CSV e aprilo."_s;
    termina(std::move(e));
  });
}

ConversioneFoglio::~ConversioneFoglio() {
  interrompi();
}

QString ConversioneFoglio::Programma() {
  for (const QString &nome : {u"soffice"_s, u"libreoffice"_s})
    if (const QString p = QStandardPaths::findExecutable(nome); !p.isEmpty()) return p;
  return {};
}

QString ConversioneFoglio::MessaggioAssente() {
  return u"Per aprire i fogli .xlsx e .ods serve LibreOffice, che su questo computer non c'è. "
         u"Chiedi di installare il pacchetto «libreoffice-calc-nogui» "
         u"(sudo apt install libreoffice-calc-nogui), oppure salva il foglio come CSV o .xls e apri quello."_s;
}

void ConversioneFoglio::avvia(const QString &percorso, int limiteMs) {
  interrompi();
  const QString programma = Programma();
  if (programma.isEmpty()) {
    ElencoLetto e;
    e.errore = MessaggioAssente();
    termina(std::move(e));
    return;
  }
  m_percorso = percorso;
  m_cartella = std::make_unique<QTemporaryDir>();
  if (!m_cartella->isValid()) {
    ElencoLetto e;
    e.errore = u"Non riesco a creare una cartella temporanea per leggere il foglio."_s;
    termina(std::move(e));
    return;
  }
  m_processo = new QProcess(this);
  m_processo->setProcessChannelMode(QProcess::MergedChannels);
  connect(m_processo, &QProcess::finished, this, [this](int codice, QProcess::ExitStatus stato) {
    concludi(stato == QProcess::NormalExit && codice == 0);
  });
  connect(m_processo, &QProcess::errorOccurred, this, [this](QProcess::ProcessError errore) {
    if (errore == QProcess::FailedToStart) concludi(false);
  });
  const QString profilo = QUrl::fromLocalFile(m_cartella->filePath(u"profilo"_s)).toString();
  // 44 ',' between fields, 34 '"' around text, 76 UTF-8.
  m_processo->start(programma, {u"-env:UserInstallation="_s + profilo, u"--headless"_s, u"--norestore"_s,
                                u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76"_s,
                                u"--outdir"_s, m_cartella->filePath(u"uscita"_s), percorso});
  m_limite.start(limiteMs);
}

void ConversioneFoglio::interrompi() {
  m_limite.stop();
  if (!m_processo) return;
  QProcess *p = m_processo;
  m_processo = nullptr;
  p->disconnect(this);
  if (p->state() != QProcess::NotRunning) {
    p->kill();
    p->waitForFinished(2000);
  }
  delete p;
  m_cartella.reset();
}

void ConversioneFoglio::concludi(bool ok) {
  if (!m_processo) return;
  const QString csv =
      QDir(m_cartella->filePath(u"uscita"_s)).filePath(QFileInfo(m_percorso).completeBaseName() + u".csv"_s);
  ElencoLetto e;
  if (ok && QFileInfo::exists(csv)) {
    e = LeggiFileElenco(csv);
    if (e.letto())
      e.formato = u"foglio %1 letto da LibreOffice"_s.arg(QFileInfo(m_percorso).suffix().toLower());
  } else {
    e.errore = u"LibreOffice non è riuscito a leggere il foglio. È un file .xlsx o .ods integro?"_s;
  }
  termina(std::move(e));
}

void ConversioneFoglio::termina(ElencoLetto elenco) {
  // The process is let go from the events: this may run inside its own signal.
  m_limite.stop();
  if (m_processo) {
    QProcess *p = m_processo;
    m_processo = nullptr;
    p->disconnect(this);
    if (p->state() != QProcess::NotRunning) p->kill();
    p->deleteLater();
  }
  auto cartella = std::move(m_cartella);
  Q_EMIT finita(elenco);
}
