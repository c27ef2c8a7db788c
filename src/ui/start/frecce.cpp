#include "ui/start/frecce.h"

namespace {

const QString kWingdings = QStringLiteral("Wingdings");

bool HaFamiglia(const QStringList &famiglie, const QString &nome) {
  return famiglie.contains(nome, Qt::CaseInsensitive);
}

Freccia Scegli(const QStringList &famiglie, char16_t wingdings, char16_t unicode) {
  if (HaFamiglia(famiglie, kWingdings)) return {kWingdings, QString(QChar(wingdings))};
  // DejaVu Sans draws the arrows block; without it fontconfig still finds some
  // font with the glyph for the name we give.
  return {QStringLiteral("DejaVu Sans"), QString(QChar(unicode))};
}

}  // namespace

Freccia FrecciaGiu(const QStringList &famiglieInstallate) { return Scegli(famiglieInstallate, 234, 0x2B07); }

Freccia FrecciaSinistra(const QStringList &famiglieInstallate) { return Scegli(famiglieInstallate, 231, 0x2B05); }
