#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "registro/casi.h"
#include "registro/registrazione.h"
#include "registro/registro.h"

// What the teacher's views read from the register: plain rows, no widgets.

enum class StatoEsercizio { InCorso = 0, Finito = 1, NonFinito = 2 };

// The last grade word against the one before it, in the order of the grade table.
enum class Andamento { Nessuno, Sale, Stabile, Scende };

// One family a pupil practised, seen from their finished exercises.
struct CasellaClasse {
  int famiglia = 0;
  int esercizi = 0;     // finished exercises of the family
  QString valutazione;  // grade word of the latest one
  Andamento andamento = Andamento::Nessuno;
  QDateTime ultimo;  // when the latest one started
};

struct RigaClasse {
  Alunno alunno;
  QList<CasellaClasse> famiglie;  // ascending family, only those practised
  // Per family with a case met: (family, cases mastered), ascending family.
  QList<std::pair<int, int>> padroneggiati{};
};

struct VistaClasse {
  Classe classe;
  QList<int> famiglie;      // every family some pupil of the class practised
  QList<RigaClasse> righe;  // every pupil, in name order
};

struct RigaEsercizio {
  qint64 id = 0;
  QDateTime inizio;
  int famiglia = 0, cifre = 0, cosa = 0, ordine = 0;
  int esatte = 0;
  int operazioni = 0;  // operations closed
  QString valutazione;
  qint64 secondi = 0;       // total time of the closed operations
  QString erroreFrequente;  // most frequent mistake class; empty when none
  StatoEsercizio stato = StatoEsercizio::InCorso;
};

// One point of the chart of right answers over time (finished exercises).
struct PuntoSerie {
  QDateTime quando;
  int esatte = 0;
  int operazioni = 0;
};

struct PaginaAlunno {
  Alunno alunno;  // id 0: the exercises recorded as "Senza nome"
  QString classe;
  QList<RigaEsercizio> esercizi;  // oldest first
  QList<PuntoSerie> serie;
  // Each family practised: the state of its cases and the repeated mistakes.
  QList<PadronanzaFamiglia> padronanza{};
  // Whether any case is known or any mistake repeats (registers of before have neither).
  [[nodiscard]] bool conPadronanza() const {
    for (const PadronanzaFamiglia &f : padronanza)
      if (!f.ripetuti.isEmpty() || f.stati.count(StatoCaso::Nuovo) != f.stati.size()) return true;
    return false;
  }
};

struct OperazioneRegistrata {
  int numero = 0;
  int chiesto = 1;
  QString addendo1, addendo2, unita, risultato;
  QString mostrato;  // the symbol question: the number the pupil saw
  bool intervento = false;
  qint64 secondi = 0;
  QList<Risposta> risposte;
};

inline const QString kSenzaNome = QStringLiteral("Senza nome");

// The words of an exercise's settings: what to find (1..3) and the order of
// the symbols (1..3); empty for any other value.
[[nodiscard]] QString TestoCosa(int cosa);
[[nodiscard]] QString TestoOrdine(int ordine);

// The rank of a grade word in the grade table: 0 "Non classificato" .. 5 "OTTIMO".
[[nodiscard]] int GradoValutazione(const QString &valutazione);

// Each gives nothing when the register can't be read (the fault is told by the
// Registro) or the class / pupil / exercise doesn't exist.
[[nodiscard]] std::optional<VistaClasse> LeggiVistaClasse(Registro &registro, qint64 classe);
[[nodiscard]] std::optional<PaginaAlunno> LeggiPaginaAlunno(Registro &registro, qint64 alunno);
[[nodiscard]] std::optional<QList<OperazioneRegistrata>> LeggiOperazioni(Registro &registro,
                                                                         qint64 esercizio);
