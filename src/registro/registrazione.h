#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "registro/dati.h"
#include "registro/registro.h"

// What the exercise window tells the register: it opens an exercise at "Vai"
// and "Ricomincia", writes each operation the moment it is closed (one
// transaction each, so a crash loses at most the operation under way) and marks
// the exercise unfinished when the window closes or a new one starts. A failing
// register never stops the drill: each call answers with an Esito and the fault
// is told once by the Registro.
class RegistrazioneEsercizio {
 public:
  static constexpr int kOperazioni = 20;

  explicit RegistrazioneEsercizio(Registro &registro) : m_registro(registro) {}

  // Opens the exercise's row; an exercise still open is marked unfinished first.
  Esito inizia(const DatiEsercizio &dati);
  // Writes the operation with its answers; the twentieth closes the exercise.
  // When the row could not be opened at "Vai", it is opened now.
  Esito operazioneChiusa(const OperazioneChiusa &op);
  // The window closes, or a new exercise starts: the open exercise stays as
  // unfinished (nothing happens when none is open).
  Esito interrompi();

  // The row of the exercise under way (0 when none is open or it couldn't be written).
  [[nodiscard]] qint64 esercizio() const { return m_id; }
  [[nodiscard]] bool inCorso() const { return m_dati.has_value(); }

 private:
  Esito apriRiga();

  Registro &m_registro;
  std::optional<DatiEsercizio> m_dati;
  qint64 m_id = 0;
};
