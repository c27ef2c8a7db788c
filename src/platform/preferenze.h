#pragma once

#include <QString>
#include <QVariant>
#include <QVariantHash>

// The settings seam: what the program keeps for this machine and this user,
// apart from the level file.
class Preferenze {
 public:
  virtual ~Preferenze() = default;
  // The value kept under a key; invalid when there is none or it can't be read.
  [[nodiscard]] virtual QVariant leggi(const QString &chiave) const = 0;
  // Keeps these values, all together.
  virtual void scrivi(const QVariantHash &valori) = 0;
};

// Settings in an INI file of the user's config folder (~/.config/vornel/opzioni.ini),
// opened, read or written whole and closed at each call.
class PreferenzeQt final : public Preferenze {
 public:
  PreferenzeQt();
  explicit PreferenzeQt(const QString &percorso) : m_percorso(percorso) {}

  [[nodiscard]] QVariant leggi(const QString &chiave) const override;
  void scrivi(const QVariantHash &valori) override;
  [[nodiscard]] const QString &percorso() const { return m_percorso; }

 private:
  static constexpr qint64 kDimensioneMassima = 64 * 1024;  // larger: not a file of ours
  QString m_percorso;
};
