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
// "9 · chilogrammi, ettogrammi, decagrammi, grammi"
[[nodiscard]] QString NomeFamiglia(int famiglia);
// "BUONO ↑" : the grade word with its trend.
[[nodiscard]] QString TestoCasella(const CasellaClasse &c);
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
