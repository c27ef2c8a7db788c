#pragma once

#include "app/stato.h"

#include <QString>

class Casuale;
class Messaggi;
class Orologio;

// What a worksheet line asks for.
enum class FormaRiga { Numero = 1, Simbolo = 2 };

// One generated operation written for the two sheets.
struct RigaScheda {
  QString alunni;   // with the blank the pupil fills
  QString docenti;  // the pupils' line with the result in parentheses at the right
};

// Writes the operation as a line of the worksheet. One-digit values get a
// leading blank so that "+" and "=" line up in a fixed-pitch font; the
// teachers' parenthesis starts at the same column whatever the result's length.
[[nodiscard]] RigaScheda ComponiRiga(const Operazione &op, FormaRiga forma);

// The form of the next line for a "what to find" choice (1 number, 2 symbol,
// 3 either: one draw per line).
[[nodiscard]] FormaRiga ScegliForma(qint16 intCosaCalcolare, Casuale &casuale);

// Generates lines da..a (1-based, at most 30) of the sheet with the sheet's own
// choices and stores both versions; the exercise log and the start window's
// settings are left alone. Lines past 'a' are kept.
void GeneraRigheScheda(Stato &stato, int da, int a, Casuale &casuale, Orologio &orologio, Messaggi &messaggi);

// Starts the sheet afresh: every line emptied, then lines 1..righe generated.
void RigeneraScheda(Stato &stato, int righe, Casuale &casuale, Orologio &orologio, Messaggi &messaggi);

// Generates the lines that the count in force needs and does not have yet; when
// the lines there were made with other choices, the whole sheet is made anew.
void CompletaScheda(Stato &stato, Casuale &casuale, Orologio &orologio, Messaggi &messaggi);

inline constexpr int kRigheScheda = 30;

// Texts the window and the printed sheet show for the sheet's choices.
[[nodiscard]] QString TestoCosaCalcolare(int intCosaCalcolare);
[[nodiscard]] QString TestoOrdineSimboli(int intOrdineSimboli);
// The order buttons' captions: the family's symbols largest first or smallest first.
[[nodiscard]] QString DidascaliaDecrescente(const FamigliaUnita &f);
[[nodiscard]] QString DidascaliaCrescente(const FamigliaUnita &f);
// The level the sheet was made for, e.g. "centinaia, decine, unità — Valori di 1 cifra".
[[nodiscard]] QString DescrizioneLivello(int intLivello, int intCifre);
// The last footer line: who printed which sheet.
[[nodiscard]] QString PiePaginaScheda(int intTipoScheda, const QString &nomeEseguibile);
