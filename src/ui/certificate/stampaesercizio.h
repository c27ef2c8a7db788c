#pragma once

#include <QString>

#include "app/stato.h"

class Messaggi;
class Stampante;

// What came of a printout.
struct EsitoStampa {
  enum class Tipo { Stampato, SenzaCourier, Annullato, Errore };
  Tipo tipo = Tipo::Stampato;
  QString errore;  // with Errore: what the printer said
  [[nodiscard]] bool riuscito() const { return tipo == Tipo::Stampato; }
};

// The exercise's log on the program's printer: a two-line heading at
// 1000/1000 twips in 16 pt, then one row per operation in 10 pt bold at x 500,
// in blocks of ten rows 400 twips apart with a wider gap before the 11th and
// the 21st. The rows are printed in the first Courier the printer offers.
[[nodiscard]] EsitoStampa StampaEsercizio(Stampante &stampante, const Esercizio &esercizio);

// The y of row k (1..30) of the printed log; 0 beyond the 30th, whose rows
// follow the one before.
[[nodiscard]] double YRigaEsercizio(int k);

// Tells the user why a printout failed (nothing for a cancelled PDF choice),
// with a closing note on what is kept; true when it was printed.
bool RiferisciStampa(const EsitoStampa &esito, Messaggi &messaggi, const QString &nota);

inline const QString kIntestazione1 = QStringLiteral("SCUOLA ELEMENTARE DI ");
inline const QString kIntestazione2 = QStringLiteral("Ordina i numeri in modo crescente");
