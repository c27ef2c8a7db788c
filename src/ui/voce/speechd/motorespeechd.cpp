#include "ui/voce/speechd/motorespeechd.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kDurataElenco = 7 * 24 * 3600;  // seconds a kept voice list is read again

// speech-dispatcher tells of a message's begin and end on a thread of its
// connection, and names only the message: every engine of the program that
// has spoken hears it on the thread it speaks from, and keeps what concerns
// the message it said last.
QMutex g_motoriGuardia;
QList<MotoreSpeechd *> g_motori;

// The program's values run from -1 to 1 (volume from 0 to 1), speech-dispatcher's from -100 to 100.
int Centesimi(double v) {
  return qBound(-100, qRound(v * 100), 100);
}

// Milliseconds waited before each new try when speech-dispatcher can neither
// be reached nor started.
constexpr int kAtteseDemone[] = {200, 500, 1000, 2000};

// A connection to the user's speech-dispatcher, started by its first client
// where it isn't running, as speech-dispatcher is meant to be; null and why not.
SPDConnection *Apri(QString *errore) {
  char *testo = nullptr;
  SPDConnection *c = spd_open2("vornel", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &testo);
  if (!c) *errore = testo ? QString::fromUtf8(testo) : u"speech-dispatcher does not answer"_s;
  std::free(testo);
  return c;
}

}  // namespace

MotoreSpeechd::MotoreSpeechd(QObject *parent) : QTextToSpeechEngine(parent), m_locale(QLocale::system()) {
  QString errore;
  m_spd = Apri(&errore);
  // speech-dispatcher, started by a client, leaves a few seconds after its
  // last client; a program that starts in that moment finds it neither
  // answering nor startable ("already running") until it has gone. Waiting a
  // little and asking again finds it gone and starts a new one, or finds the
  // one another client was starting ready.
  const bool installato = !QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty();
  for (int attesa : kAtteseDemone) {
    if (m_spd || !installato) break;
    QThread::msleep(attesa);
    m_spd = Apri(&errore);
  }
  if (!m_spd) {
    guasto(QTextToSpeech::ErrorReason::Initialization, errore);
    return;
  }
  {
    QMutexLocker l(&g_motoriGuardia);
    g_motori.append(this);
  }
  m_spd->callback_begin = m_spd->callback_end = m_spd->callback_cancel = m_spd->callback_pause =
      m_spd->callback_resume = &MotoreSpeechd::Notifica;
  spd_set_notification_on(m_spd, SPD_BEGIN);
  spd_set_notification_on(m_spd, SPD_END);
  spd_set_notification_on(m_spd, SPD_CANCEL);
  spd_set_notification_on(m_spd, SPD_PAUSE);
  spd_set_notification_on(m_spd, SPD_RESUME);
  setLocale(m_locale);
}

MotoreSpeechd::~MotoreSpeechd() {
  if (!m_spd) return;
  {
    QMutexLocker l(&g_motoriGuardia);
    g_motori.removeAll(this);
  }
  spd_cancel(m_spd);
  spd_close(m_spd);
}

void MotoreSpeechd::Notifica(size_t messaggio, size_t, SPDNotificationType tipo) {
  QMutexLocker l(&g_motoriGuardia);
  for (MotoreSpeechd *m : std::as_const(g_motori))
    if (m->m_postino)
      QMetaObject::invokeMethod(
          m->m_postino.get(), [m, messaggio, tipo] { m->notificato(messaggio, tipo); }, Qt::QueuedConnection);
}

void MotoreSpeechd::notificato(size_t messaggio, SPDNotificationType tipo) {
  if (messaggio != m_ultimo.load()) return;  // a message cut short, or another engine's
  switch (tipo) {
    case SPD_EVENT_BEGIN:
    case SPD_EVENT_RESUME:
      cambia(QTextToSpeech::Speaking);
      break;
    case SPD_EVENT_END:
    case SPD_EVENT_CANCEL:
      cambia(QTextToSpeech::Ready);
      break;
    case SPD_EVENT_PAUSE:
      cambia(QTextToSpeech::Paused);
      break;
    case SPD_EVENT_INDEX_MARK:
      break;
  }
}

void MotoreSpeechd::cambia(QTextToSpeech::State s) {
  if (m_state == s) return;
  m_state = s;
  Q_EMIT stateChanged(s);
}

void MotoreSpeechd::guasto(QTextToSpeech::ErrorReason r, const QString &testo) {
  m_errore = r;
  m_testoErrore = testo;
  m_state = QTextToSpeech::Error;
  Q_EMIT errorOccurred(r, testo);
  Q_EMIT stateChanged(m_state);
}

void MotoreSpeechd::say(const QString &text) {
  if (!m_spd || text.isEmpty()) return;
  if (m_state == QTextToSpeech::Speaking || m_state == QTextToSpeech::Paused) stop({});
  // The engine is made wherever QTextToSpeech is, and stays with that thread
  // when QTextToSpeech is moved: what speech-dispatcher tells comes to the
  // thread the engine first speaks from.
  if (!m_postino) {
    auto postino = std::make_unique<QObject>();
    QMutexLocker l(&g_motoriGuardia);
    m_postino = std::move(postino);
  }
  const int id = spd_say(m_spd, SPD_MESSAGE, text.toUtf8().constData());
  if (id < 0) {
    guasto(QTextToSpeech::ErrorReason::Input, QStringLiteral("speech-dispatcher did not take the text"));
    return;
  }
  m_ultimo = static_cast<size_t>(id);
}

void MotoreSpeechd::stop(QTextToSpeech::BoundaryHint) {
  if (!m_spd) return;
  spd_cancel(m_spd);
  if (m_state != QTextToSpeech::Error) cambia(QTextToSpeech::Ready);
}

void MotoreSpeechd::pause(QTextToSpeech::BoundaryHint) {
  if (m_spd && m_state == QTextToSpeech::Speaking) spd_pause(m_spd);
}

void MotoreSpeechd::resume() {
  if (m_spd && m_state == QTextToSpeech::Paused) spd_resume(m_spd);
}

bool MotoreSpeechd::setRate(double rate) {
  if (!m_spd || spd_set_voice_rate(m_spd, Centesimi(rate)) != 0) return false;
  m_rate = rate;
  return true;
}

bool MotoreSpeechd::setPitch(double pitch) {
  if (!m_spd || spd_set_voice_pitch(m_spd, Centesimi(pitch)) != 0) return false;
  m_pitch = pitch;
  return true;
}

bool MotoreSpeechd::setVolume(double volume) {
  if (!m_spd || spd_set_volume(m_spd, Centesimi(volume * 2 - 1)) != 0) return false;
  m_volume = volume;
  return true;
}

bool MotoreSpeechd::setLocale(const QLocale &locale) {
  const QString codice = QLocale::languageToCode(locale.language());
  if (!m_spd || codice.isEmpty() || spd_set_language(m_spd, codice.toLatin1().constData()) != 0) return false;
  m_locale = locale;
  m_voice = QVoice();  // speech-dispatcher picks the language's voice
  return true;
}

bool MotoreSpeechd::setVoice(const QVoice &voice) {
  const QByteArray nome = voiceData(voice).toString().toUtf8();
  if (!m_spd || nome.isEmpty() || spd_set_synthesis_voice(m_spd, nome.constData()) != 0) return false;
  m_voice = voice;
  return true;
}

QList<MotoreSpeechd::VoceElencata> MotoreSpeechd::LeggiElenco(const QByteArray &risposta) {
  QList<VoceElencata> voci;
  for (const QByteArray &riga : risposta.split('\n')) {
    if (!riga.startsWith("249-")) continue;
    QByteArray voce = riga.mid(4);
    if (voce.endsWith('\r')) voce.chop(1);
    const QList<QByteArray> campi = voce.split('\t');
    if (campi.size() < 2 || campi[0].isEmpty() || campi[1].isEmpty()) continue;
    voci.append({QString::fromUtf8(campi[0]), QString::fromLatin1(campi[1])});
  }
  return voci;
}

QString MotoreSpeechd::FileElenco(const QString &modulo) {
  QString nome = modulo;
  nome.replace(QRegularExpression(u"[^A-Za-z0-9_-]"_s), u"_"_s);
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/voci-"_s + nome + u".txt"_s;
}

const QList<MotoreSpeechd::VoceElencata> &MotoreSpeechd::elenco() const {
  if (m_elenco) return *m_elenco;
  m_elenco.emplace();
  if (!m_spd) return *m_elenco;
  // Listing holds speech-dispatcher for most of a second (thirteen thousand
  // voices with espeak-ng's variants): the list read is kept in the cache
  // folder, for the synthesiser in use, and read again for a week.
  char *modulo = spd_get_output_module(m_spd);
  const QString nome = modulo ? QString::fromUtf8(modulo) : QString();
  std::free(modulo);
  QFile tenuto(FileElenco(nome));
  if (!nome.isEmpty() && tenuto.open(QIODevice::ReadOnly) &&
      QFileInfo(tenuto).lastModified().secsTo(QDateTime::currentDateTime()) < kDurataElenco) {
    *m_elenco = LeggiElenco(tenuto.readAll());
    if (!m_elenco->isEmpty()) return *m_elenco;
  }
  tenuto.close();
  char *risposta = nullptr;
  if (spd_execute_command_with_reply(m_spd, "LIST SYNTHESIS_VOICES", &risposta) == 0 && risposta) {
    const QByteArray letta(risposta);
    *m_elenco = LeggiElenco(letta);
    // Written whole or not at all: another copy of the program may be reading it.
    QSaveFile nuovo(FileElenco(nome));
    if (!nome.isEmpty() && !m_elenco->isEmpty() && QDir().mkpath(QFileInfo(nuovo.fileName()).path()) &&
        nuovo.open(QIODevice::WriteOnly) && nuovo.write(letta) == letta.size())
      nuovo.commit();
  }
  std::free(risposta);
  return *m_elenco;
}

QList<QLocale> MotoreSpeechd::availableLocales() const {
  QSet<QString> viste;
  QList<QLocale> lingue;
  for (const VoceElencata &v : elenco()) {
    if (viste.contains(v.lingua)) continue;
    viste.insert(v.lingua);
    const QLocale l(v.lingua);
    if (l.language() != QLocale::C && !lingue.contains(l)) lingue.append(l);
  }
  return lingue;
}

QList<QVoice> MotoreSpeechd::availableVoices() const {
  QList<QVoice> voci;
  for (const VoceElencata &v : elenco()) {
    const QLocale l(v.lingua);
    if (l.language() == m_locale.language())
      voci.append(createVoice(v.nome, l, QVoice::Unknown, QVoice::Other, v.nome));
  }
  return voci;
}
