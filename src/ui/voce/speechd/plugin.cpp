// The plugin through which Qt TextToSpeech finds the engine, as "vornel".
#include <QTextToSpeechPlugin>

#include "ui/voce/speechd/motorespeechd.h"

class PluginSpeechd final : public QObject, public QTextToSpeechPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "vornel-speechd.json")
  Q_INTERFACES(QTextToSpeechPlugin)
 public:
  QTextToSpeechEngine *createTextToSpeechEngine(const QVariantMap &, QObject *parent,
                                                QString *errorString) const override {
    auto *m = new MotoreSpeechd(parent);
    if (m->state() == QTextToSpeech::Error && errorString) *errorString = m->errorString();
    return m;
  }
};

#include "plugin.moc"
