#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "registro/registro.h"

// One exercise as it opens at "Vai" or "Ricomincia".
struct DatiEsercizio {
  std::optional<qint64> alunno;  // none: "Senza nome"
  std::optional<qint64> classe;  // none: the pupil's class (or no class)
  int famiglia = 1;              // intLivello 1..12
  int cifre = 1;                 // intCifre 1 or 2
  int cosa = 1;                  // intCosaCalcolare: 1 number, 2 symbol, 3 either
  int ordine = 1;                // intOrdineSimboli: 1 decreasing, 2 increasing, 3 both
  QDateTime inizio;
};

// One answer the pupil gave: the text as judged and its mistake class, a short
// stable key ("unita", "virgola+1"); empty for the right answer.
struct Risposta {
  QString testo;
  QString errore;
  bool operator==(const Risposta &) const = default;
};

// One operation as it closes (judged right, or the program stepped in).
struct OperazioneChiusa {
  int numero = 0;              // intOperazione, 1..20
  int chiesto = 1;             // 1 the number, 2 the symbol
  QString addendo1, addendo2;  // strAddendo1, strAddendo2 as shown
  QString unita;               // the asked unit symbol, strSimboloRichiesto
  QString risultato;           // the right answer
  QList<Risposta> risposte;    // every answer given, in order
  bool intervento = false;     // the program stepped in
  qint64 secondi = 0;          // varTempoOperazione
};

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
