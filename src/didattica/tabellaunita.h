#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "app/stato.h"

// The unit table of the classroom wall ("tabella delle unità di misura"): a
// column per unit, the largest on the left; each quantity written with the last
// digit of its whole part in the column of its unit; the comma right after the
// column of the unit asked for, with zeros holding the places in between.
// Plain data: a widget draws it, a screen reader gets it as lines of text.

struct ColonnaUnita {
  QString simbolo;  // the family's symbol without its blanks; empty for a column beyond the family
  QString nome;     // the unit's name, plural ("centinaia"); empty when unnamed
  int slot = 0;     // the family slot 1..4; 0, -1 for the columns further left
  bool operator==(const ColonnaUnita &) const = default;
};

struct CellaUnita {
  QChar cifra;              // null: the cell is empty
  bool segnaposto = false;  // a zero written only to hold a place (drawn lighter)
  bool operator==(const CellaUnita &) const = default;
};

struct RigaUnita {
  enum class Tipo { Quantita, Somma };
  Tipo tipo = Tipo::Quantita;
  QString etichetta;        // "12 h", or "totale"
  QList<CellaUnita> celle;  // one per column
  bool virgola = false;     // digits stand after the comma
  bool operator==(const RigaUnita &) const = default;
};

struct TabellaUnita {
  QList<ColonnaUnita> colonne;  // left to right
  QList<RigaUnita> righe;       // the quantities, then the sum; rows may be empty
  int colonnaRichiesta = -1;    // marked, the comma drawn after it; -1 for none
  QString lettura;              // the result read off the table: "1.270 unità"
  bool operator==(const TabellaUnita &) const = default;

  [[nodiscard]] bool vuota() const { return righe.isEmpty(); }
  // The digits of a row as the pupil reads them, a "." for an empty cell and
  // "," after the asked column when the row goes on past it: ".1270", "..0,07".
  [[nodiscard]] QString cifre(qsizetype riga) const;
};

// The worked solution of op, made in famiglia: both quantities and their sum,
// the sum in the asked unit. The same table serves the symbol view, where the
// given number stands with its last whole digit in the right unit's column.
[[nodiscard]] TabellaUnita TabellaOperazione(const Operazione &op, const FamigliaUnita &famiglia);

// Only the family's columns, headed and empty, with `righe` empty rows: for
// the pupil to fill in.
[[nodiscard]] TabellaUnita TabellaVuota(const FamigliaUnita &famiglia, int righe);

// The table as a screen reader reads it, a line for the header, one per row
// and one for the result: "12 h: 1 k, 2 h, 0 da, 0 u".
[[nodiscard]] QStringList TestoTabella(const TabellaUnita &t);
