#pragma once

#include <QLocale>
#include <QMutex>
#include <QTextToSpeechEngine>
#include <QVoice>
#include <atomic>
#include <memory>
#include <optional>

extern "C" {
#include <libspeechd.h>
}

// Qt TextToSpeech's engine on speech-dispatcher, made for a program that
// speaks one language. Qt's own speech-dispatcher engine lists every voice of
// every synthesiser as it starts (with espeak-ng, over thirteen thousand of
// them, parsed line by line from the start of the reply each time): seconds
// before the first word. This one connects and is ready: the language set with
// setLocale() is handed to speech-dispatcher, which picks the voice. The voices
// are listed only when asked for, read in one pass, and kept for the next runs.
class MotoreSpeechd final : public QTextToSpeechEngine {
  Q_OBJECT
 public:
  explicit MotoreSpeechd(QObject *parent = nullptr);
  ~MotoreSpeechd() override;

  [[nodiscard]] QList<QLocale> availableLocales() const override;
  [[nodiscard]] QList<QVoice> availableVoices() const override;
  void say(const QString &text) override;
  void stop(QTextToSpeech::BoundaryHint boundaryHint) override;
  void pause(QTextToSpeech::BoundaryHint boundaryHint) override;
  void resume() override;
  [[nodiscard]] double rate() const override { return m_rate; }
  bool setRate(double rate) override;
  [[nodiscard]] double pitch() const override { return m_pitch; }
  bool setPitch(double pitch) override;
  [[nodiscard]] QLocale locale() const override { return m_locale; }
  bool setLocale(const QLocale &locale) override;
  [[nodiscard]] double volume() const override { return m_volume; }
  bool setVolume(double volume) override;
  [[nodiscard]] QVoice voice() const override { return m_voice; }
  bool setVoice(const QVoice &voice) override;
  [[nodiscard]] QTextToSpeech::State state() const override { return m_state; }
  [[nodiscard]] QTextToSpeech::ErrorReason errorReason() const override { return m_errore; }
  [[nodiscard]] QString errorString() const override { return m_testoErrore; }

  // A voice as speech-dispatcher lists it: name, language code, variant.
  struct VoceElencata {
    QString nome;
    QString lingua;
  };
  // Reads the reply to LIST SYNTHESIS_VOICES ("249-name\tlang\tvariant" lines).
  [[nodiscard]] static QList<VoceElencata> LeggiElenco(const QByteArray &risposta);
  // Where the list of the named synthesiser is kept between runs.
  [[nodiscard]] static QString FileElenco(const QString &modulo);

 private:
  static void Notifica(size_t messaggio, size_t cliente, SPDNotificationType tipo);
  void notificato(size_t messaggio, SPDNotificationType tipo);
  void cambia(QTextToSpeech::State s);
  void guasto(QTextToSpeech::ErrorReason r, const QString &testo);
  const QList<VoceElencata> &elenco() const;

  SPDConnection *m_spd = nullptr;
  QTextToSpeech::State m_state = QTextToSpeech::Ready;
  QTextToSpeech::ErrorReason m_errore = QTextToSpeech::ErrorReason::NoError;
  QString m_testoErrore;
  double m_rate = 0;
  double m_pitch = 0;
  double m_volume = 1;
  QLocale m_locale;
  QVoice m_voice;
  std::atomic<size_t> m_ultimo{0};  // the id of the last message said
  mutable std::optional<QList<VoceElencata>> m_elenco;
  std::unique_ptr<QObject> m_postino;  // lives on the thread that speaks; set under the engines' lock
};
