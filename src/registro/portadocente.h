#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "registro/registro.h"

// The teacher's door: the PIN chosen at the first opening, kept in the register
// only as a salted PBKDF2-HMAC-SHA256 digest. Five wrong PINs in a row close
// the door for a while, longer at each further wrong one; the run of wrong
// tries is kept in the register, so restarting the program doesn't reset it.
class PortaDocente {
 public:
  // Milliseconds since the epoch; the system clock unless a test gives its own.
  using Adesso = std::function<qint64()>;

  static constexpr int kIterazioni = 310000;  // a fraction of a second on a school PC
  static constexpr int kErroriConcessi = 5;
  static constexpr qint64 kPrimaAttesa = 30;         // seconds, after the fifth wrong PIN
  static constexpr qint64 kAttesaMassima = 15 * 60;  // seconds
  static constexpr int kLunghezzaMinima = 4;

  explicit PortaDocente(Registro &registro, Adesso adesso = {}, int iterazioni = kIterazioni);

  // Whether a PIN has been chosen (false at the first opening, or after the
  // administrator erased it).
  [[nodiscard]] bool haPin();
  // The register was started anew and the old PIN could not be read from the
  // damaged one: no PIN may be chosen until the administrator resets the door.
  [[nodiscard]] bool pinSmarrito();
  // Chooses the PIN: at the first opening only.
  Esito scegliPin(const QString &pin);
  // Changes the PIN; the old one must be right (and counts as a try).
  Esito cambiaPin(const QString &vecchio, const QString &nuovo);

  enum class Risultato { Aperta, Sbagliato, Attendi, Guasto };
  struct Prova {
    Risultato risultato = Risultato::Guasto;
    qint64 attesa = 0;  // seconds before the next try is heard
    QString messaggio;
  };
  // Checks a PIN. While the door waits, no PIN is checked (a right one neither);
  // nor while the try cannot be counted.
  Prova prova(const QString &pin);
  // Seconds still to wait before a PIN is heard (0: now).
  [[nodiscard]] qint64 attesa();

  // Why a PIN can't be chosen (too short); none when it can.
  [[nodiscard]] static std::optional<QString> ErrorePin(const QString &pin);

  // The wait after n wrong PINs in a row.
  [[nodiscard]] static qint64 AttesaDopo(int errori);

 private:
  struct Serratura {
    QByteArray sale, impronta;
    int iterazioni = 0, errori = 0;
    qint64 ultimoErrore = 0;
    bool smarrito = false;
  };
  bool leggi(Serratura &s);
  [[nodiscard]] qint64 rimanente(const Serratura &s) const;
  [[nodiscard]] static QByteArray Impronta(const QString &pin, const QByteArray &sale, int iterazioni);
  Esito salva(const QString &pin);

  Registro &m_registro;
  Adesso m_adesso;
  int m_iterazioni;
};
