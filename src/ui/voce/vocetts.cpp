#include "ui/voce/vocetts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/cartelle.h"

using namespace Qt::StringLiterals;

namespace {

// The program's own engine where its plugin is found; otherwise Qt's on
// speech-dispatcher, the desktop's speech service; otherwise whatever there is.
QString MotoreScelto() {
  const QStringList motori = QTextToSpeech::availableEngines();
  for (const QString &m : {u"vornel"_s, u"speechd"_s})
    if (motori.contains(m)) return m;
  return motori.value(0);
}

}  // namespace

VoceTts::Esito VoceTts::Prepara(QThread *destinazione) {
  Esito e;
  const QString nome = MotoreScelto();
  if (nome.isEmpty()) {
    e.perche = u"Non c'è un programma di sintesi vocale: va installato speech-dispatcher."_s;
    return e;
  }
  auto motore = std::make_unique<QTextToSpeech>(nome);
  if (motore->state() == QTextToSpeech::Error) {
    e.perche = u"La sintesi vocale non risponde"_s +
               (motore->errorString().isEmpty() ? u"."_s : u": "_s + motore->errorString());
    return e;
  }
  // Italian of Italy first, then any Italian (Switzerland, San Marino).
  const QList<QLocale> lingue = motore->availableLocales();
  QList<QLocale> italiane;
  std::copy_if(lingue.cbegin(), lingue.cend(), std::back_inserter(italiane),
               [](const QLocale &l) { return l.language() == QLocale::Italian; });
  std::stable_sort(italiane.begin(), italiane.end(), [](const QLocale &a, const QLocale &b) {
    return (a.territory() == QLocale::Italy) > (b.territory() == QLocale::Italy);
  });
  if (italiane.isEmpty()) {
    e.perche = u"Non c'è una voce italiana: va installato speech-dispatcher-espeak-ng."_s;
    return e;
  }
  motore->setLocale(italiane.first());
  if (motore->locale().language() != QLocale::Italian) {
    e.perche = u"La voce italiana non si lascia scegliere."_s;
    return e;
  }
  motore->moveToThread(destinazione);
  e.motore = std::move(motore);
  return e;
}

VoceTts::VoceTts() : m_esito(std::make_shared<Esito>()) {
  // The program's engine is a plugin in the folder beside the module.
  const QString plugin = TrovaParteDelProgramma(u"texttospeech/libvornel-speechd.so"_s);
  if (!plugin.isEmpty()) QCoreApplication::addLibraryPath(QFileInfo(plugin).dir().absoluteFilePath(u".."_s));
  QThread *gui =
      QCoreApplication::instance() ? QCoreApplication::instance()->thread() : QThread::currentThread();
  m_filo = QThread::create([esito = m_esito, gui] { *esito = Prepara(gui); });
  m_filo->setObjectName(u"vornel-voce"_s);
  connect(m_filo, &QThread::finished, this, &VoceTts::pronto);
  m_filo->start(QThread::LowPriority);
}

VoceTts::~VoceTts() {
  m_filo->disconnect(this);
  if (m_motore) m_motore->stop();
  // A speech-dispatcher that does not answer must not hold the program as it
  // closes: a thread still readying the engine is left to end by itself, and
  // what it made goes with it.
  connect(m_filo, &QThread::finished, m_filo, &QObject::deleteLater);
  if (m_filo->isFinished()) {
    m_filo->wait();
    delete m_filo;
  }
}

void VoceTts::pronto() {
  m_perche = m_esito->perche;
  m_motore = std::move(m_esito->motore);
  if (!m_motore) {
    if (m_perche.isEmpty()) m_perche = u"La sintesi vocale non si è avviata."_s;
    qWarning("no voice to read aloud: %s", qPrintable(m_perche));
    cambia(Stato::Assente);
    return;
  }
  connect(m_motore.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
    cambia(s == QTextToSpeech::Speaking ? Stato::Parla : Stato::Pronta);
  });
  cambia(m_motore->state() == QTextToSpeech::Speaking ? Stato::Parla : Stato::Pronta);
  if (!m_attesa.isEmpty()) m_motore->say(std::exchange(m_attesa, QString()));
}

void VoceTts::cambia(Stato s) {
  if (m_stato == s) return;
  m_stato = s;
  cambiato();
}

void VoceTts::di(const QString &frase) {
  if (m_stato == Stato::Assente || frase.isEmpty()) return;
  if (!m_motore) {
    m_attesa = frase;
    return;
  }
  m_motore->say(frase);
}

void VoceTts::zitta() {
  m_attesa.clear();
  if (m_motore) m_motore->stop();
}
