#pragma once

// What an exercise tells the register, in plain QtCore types: the exercise
// window fills these without linking anything of the register itself.

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One exercise as it opens at "Vai" or "Ricomincia".
struct DatiEsercizio {
  std::optional<qint64> alunno;  // none: "Senza nome"
  std::optional<qint64> classe;  // none: the pupil's class (or no class)
  int famiglia = 1;              // intLivello 1..12
  int cifre = 1;                 // intCifre 1 or 2
  int cosa = 1;                  // intCosaCalcolare: 1 number, 2 symbol, 3 either
  int ordine = 1;                // intOrdineSimboli: 1 decreasing, 2 increasing, 3 both
  QDateTime inizio;
  bool suMisura = false;  // built from the pupil's own history ("Su misura")

  // One exercise: the same pupil and the same settings (the start aside).
  [[nodiscard]] bool stessoEsercizio(const DatiEsercizio &o) const {
    return alunno == o.alunno && classe == o.classe && famiglia == o.famiglia && cifre == o.cifre &&
           cosa == o.cosa && ordine == o.ordine && suMisura == o.suMisura;
  }
};

// One answer the pupil gave: the text as judged and its mistake class, a short
// stable key ("unita", "virgola+1"); empty for the right answer.
struct Risposta {
  QString testo;
  QString errore;
  int passi = 0;  // the mistake's direction and size (see Diagnosi::passi)
  bool operator==(const Risposta &) const = default;
};

// One operation as it closes (judged right, or the program stepped in).
struct OperazioneChiusa {
  int numero = 0;              // intOperazione, 1..20
  int chiesto = 1;             // 1 the number, 2 the symbol
  QString addendo1, addendo2;  // strAddendo1, strAddendo2 as shown
  QString unita;               // the asked unit symbol, strSimboloRichiesto
  QString risultato;           // the right answer
  QString mostrato;            // the symbol view: the number the pupil saw
  QList<Risposta> risposte;    // every answer given, in order
  bool intervento = false;     // the program stepped in
  qint64 secondi = 0;          // varTempoOperazione
  // The pupil who answered it and the settings it was made under. An
  // operation made under other ones than the open exercise's closes that
  // exercise as unfinished and opens one of its own. None: the open exercise's.
  std::optional<DatiEsercizio> sotto;
  int caso = 0;       // intCaso 1..12 (0: not known)
  int richiesta = 0;  // intUnitaRichiesta 1..4 (0: not known)
};
