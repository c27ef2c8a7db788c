#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

// A speech-dispatcher of the test's own, in the given folder: it reads its
// settings from there, listens on a socket there, and speaks Italian with
// espeak-ng into libao's null output, so that a machine without a sound card
// (CI) speaks too, and one with a sound card stays quiet. The daemon is started
// by the first client and ends by itself a few seconds after the last.
// Call before the QApplication is made. Returns why it can't be had, or empty.
inline QString PreparaVocePrivata(const QString &cartella) {
  const QString modulo = QStringLiteral("/etc/speech-dispatcher/modules/espeak-ng.conf");
  if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
    return QStringLiteral("speech-dispatcher is not installed");
  if (!QFile::exists(modulo)) return QStringLiteral("speech-dispatcher-espeak-ng is not installed");
  const QDir d(cartella);
  if (!d.mkpath(QStringLiteral("config/speech-dispatcher")) || !d.mkpath(QStringLiteral("run")))
    return QStringLiteral("cannot make the daemon's folders");
  QFile::setPermissions(d.filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
  QFile conf(d.filePath(QStringLiteral("config/speech-dispatcher/speechd.conf")));
  QFile ao(d.filePath(QStringLiteral(".libao")));
  if (!conf.open(QIODevice::WriteOnly) || !ao.open(QIODevice::WriteOnly))
    return QStringLiteral("cannot write the daemon's settings");
  conf.write("AudioOutputMethod \"libao\"\n"
             "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"" + modulo.toUtf8() + "\"\n"
             "DefaultModule espeak-ng\n"
             "DefaultLanguage \"it\"\n"
             "Timeout 3\n");
  ao.write("default_driver=null\n");
  // libao reads ~/.libao; the daemon its settings, socket and logs from the XDG folders.
  qputenv("HOME", QFile::encodeName(d.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(d.filePath(QStringLiteral("config"))));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(d.filePath(QStringLiteral("run"))));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(d.filePath(QStringLiteral("cache"))));
  qunsetenv("SPEECHD_ADDRESS");
  return {};
}
