#pragma once

#include <QString>
#include <QStringList>

// The two heavy arrows of the start window. They are characters of the
// Wingdings font where it is installed; elsewhere the same arrows come from
// Unicode in a font that draws them.
struct Freccia {
  QString famiglia;  // font family
  QString testo;     // the arrow character
};

// famiglieInstallate: the font families present on the system.
[[nodiscard]] Freccia FrecciaGiu(const QStringList &famiglieInstallate);
[[nodiscard]] Freccia FrecciaSinistra(const QStringList &famiglieInstallate);
