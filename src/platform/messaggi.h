#pragma once

#include <QString>
#include <QStringList>

// The message-box seam: a text, a title and an icon, with a single OK button.
class Messaggi {
 public:
  enum class Icona { Nessuna, Informazione, Avviso, Critica };
  virtual ~Messaggi() = default;
  virtual void mostra(const QString &testo, const QString &titolo, Icona icona) = 0;
};

// The title of a message box that names none.
inline QString TitoloMessaggi() { return QStringLiteral("VORNEL"); }

// Records every message instead of showing it.
class MessaggiRegistrati final : public Messaggi {
 public:
  struct Voce {
    QString testo, titolo;
    Icona icona;
  };
  void mostra(const QString &testo, const QString &titolo, Icona icona) override {
    voci.push_back({testo, titolo, icona});
  }
  [[nodiscard]] QStringList testi() const {
    QStringList t;
    for (const auto &v : voci) t << v.testo;
    return t;
  }
  QList<Voce> voci;
};
