#include "platform/cartelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString TrovaParteDelProgramma(const QString &nome) {
  const QString dir = QCoreApplication::applicationDirPath();
  QStringList cartelle;
  if (QDir::cleanPath(dir).startsWith(QDir::cleanPath(QStringLiteral(VORNEL_CARTELLA_COMPILAZIONE)) + u'/'))
    cartelle << QStringLiteral(VORNEL_CARTELLA_AIUTANTE_COMPILATO);
  cartelle << dir << dir + u'/' + QStringLiteral(VORNEL_CARTELLA_AIUTANTE_RELATIVA)
           << QStringLiteral(VORNEL_CARTELLA_AIUTANTE_INSTALLATO);
  for (const QString &cartella : cartelle) {
    const QFileInfo f(QDir(cartella).filePath(nome));
    if (f.isFile()) return f.absoluteFilePath();
  }
  return QString();
}
