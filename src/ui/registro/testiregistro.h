#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include "registro/consultazione.h"

class Stampante;

// How the register's rows read for the teacher, on screen and on paper.

// A mistake class key in words ("Senza conversione"); the key itself when unknown.
[[nodiscard]] QString NomeSbaglio(const QString &chiave);
// The sentence the pupil read below "Errato" for that kind of mistake.
[[nodiscard]] QString FraseDellAlunno(const QString &chiave);
// The very sentence the pupil read under "Errato" for this answer (an answer
// recorded before the register kept the mistake's size reads as one step off).
[[nodiscard]] QString FraseDellAlunno(const Risposta &risposta, int chiesto);
// The operation as the pupil saw it: the number view asks the number, the
// symbol view shows the number and asks the symbol.
[[nodiscard]] QString TestoOperazione(const OperazioneRegistrata &o);
// A printed title cut into lines that fit the page's width.
[[nodiscard]] QStringList TitoloACapo(const QString &titolo);
// "9 · chilogrammi, ettogrammi, decagrammi, grammi"
[[nodiscard]] QString NomeFamiglia(int famiglia);
// "BUONO ↑" : the grade word with its trend.
[[nodiscard]] QString TestoCasella(const CasellaClasse &c);
// A pair case in the family's units, as the teacher reads it: "h + da".
[[nodiscard]] QString TestoCaso(int famiglia, int caso);
// The cases mastered per family of a class's pupil: "3: 8 su 12, 4: 2 su 12".
[[nodiscard]] QString TestoPadroneggiati(const RigaClasse &riga);
// A family's cases of one state, in words: "k + h, h + u"; "nessuno" when none.
[[nodiscard]] QString CasiNelloStato(const PadronanzaFamiglia &f, StatoCaso stato);
// The repeated mistakes of a family in words: "Senza conversione, Virgola spostata".
[[nodiscard]] QString TestoRipetuti(const PadronanzaFamiglia &f);
// "12 min 5 s"
[[nodiscard]] QString TestoDurata(qint64 secondi);

// The lines of the printed class view and pupil's page (A4 in Courier 9 pt:
// at most 90 characters a line).
[[nodiscard]] QStringList RigheStampaClasse(const VistaClasse &v, const QDate &oggi);
[[nodiscard]] QStringList RigheStampaAlunno(const PaginaAlunno &p, const QDate &oggi);

// Prints the lines on the program's printer: the first as a 14 pt title, the
// others in Courier 9 pt, one after the other (the printer turns the page).
// A chart, when given, goes below the second line across the page's width.
struct EsitoStampaRegistro {
  bool stampato = false;
  QString errore;
};
inline constexpr double kLarghezzaGrafico = 9900, kAltezzaGrafico = 3300;  // twips
EsitoStampaRegistro StampaRighe(Stampante &stampante, const QString &titolo, const QStringList &righe,
                                const QImage &grafico = {});
