#include "platform/preferenze.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

PreferenzeQt::PreferenzeQt()
    : m_percorso(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QStringLiteral("/vornel/opzioni.ini")) {}

// Read here rather than through QSettings, which turns some texts into values
// of its own (and complains of those it can't): a value comes back as the text
// written after "=", and every line that isn't a plain "[section]" or
// "key=value" is passed over.
QVariant PreferenzeQt::leggi(const QString &chiave) const {
  QFile f(m_percorso);
  if (f.size() > kDimensioneMassima || !f.open(QIODevice::ReadOnly)) return {};
  const QString testo = QString::fromUtf8(f.readAll());
  QString sezione;
  for (QStringView riga : QStringView(testo).split(u'\n')) {
    riga = riga.trimmed();
    if (riga.startsWith(u'[')) {
      sezione = riga.endsWith(u']') ? riga.mid(1, riga.size() - 2).trimmed().toString() : QString();
      continue;
    }
    const qsizetype uguale = riga.indexOf(u'=');
    if (uguale <= 0) continue;
    const QString nome = riga.left(uguale).trimmed().toString();
    if ((sezione.isEmpty() ? nome : sezione + u'/' + nome) == chiave) return riga.mid(uguale + 1).trimmed().toString();
  }
  return {};
}

void PreferenzeQt::scrivi(const QVariantHash &valori) {
  QDir().mkpath(QFileInfo(m_percorso).absolutePath());
  {
    // A file that can't be read as settings would never be written again:
    // it gives way to a fresh one at the first change.
    const QSettings prova(m_percorso, QSettings::IniFormat);
    if (prova.status() == QSettings::FormatError) QFile::remove(m_percorso);
  }
  QSettings s(m_percorso, QSettings::IniFormat);
  for (auto it = valori.cbegin(); it != valori.cend(); ++it) s.setValue(it.key(), it.value());
  s.sync();
}
