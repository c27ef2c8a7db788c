#pragma once

#include "app/stato.h"

#include <QString>

// Fill strings that align the fields of an operation's log line.
struct Spazi {
  QString strSpazi1;      // blanks: 5 - length of the first addend
  QString strSpazi2;      // blanks: 5 - length of the second addend
  QString strTrattini;    // "-": 6 - length of the result
  QString strRiempitivo;  // "°": 6 - length of the answer
};

[[nodiscard]] Spazi CalcolaSpazi(const Operazione &op, const QString &strRisposta);

// The line written when the operation is shown, number view and symbol view.
// In the symbol view op.strRisultato already holds the asked padded symbol.
[[nodiscard]] QString ScriviRigaNumero(const Operazione &op);
[[nodiscard]] QString ScriviRigaSimbolo(const Operazione &op);

// What each attempt, right answer or intervention appends to the line.
[[nodiscard]] QString AggiungiErrore(const QString &riga, const Operazione &op, const QString &strRisposta);
[[nodiscard]] QString AggiungiRisposta(const QString &riga, const Operazione &op, const QString &strRisposta);
[[nodiscard]] QString AggiungiCorrezione(const QString &riga, const Operazione &op, double varTempoOperazione);
