#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "registro/registro.h"

// What the school's server knows of the lab right now: the pupils of a class at
// work, and the computers as they last reported. Read from the server only (a
// computer's own register holds its own exercises, not the lab's).

// Stuck: no operation closed for this long, by the server's clock (the
// computers' clocks may be off by hours). An operation takes a pupil of these
// classes 5 to 40 seconds, and the program itself shows the result after the
// third wrong answer; a minute and a half without one closed is a pupil who
// needs the teacher, not a slow one.
inline constexpr qint64 kSecondiFermo = 90;
// At work: an exercise under way that the server heard of in the last 20
// minutes; one older was left (a computer switched off, a pupil gone).
inline constexpr int kMinutiRecente = 20;
// A computer whose clock is further than this from the server's (seconds).
inline constexpr int kScartoMassimo = 5 * 60;

struct AlunnoAlLavoro {
  qint64 esercizio = 0;
  qint64 alunno = 0;  // 0: "Senza nome"
  QString nome;
  QString computer;
  int famiglia = 0;
  int operazione = 0;  // the one under way, 1 .. 20
  int esatte = 0, sbagliate = 0;
  QString ultimoErrore;     // the mistake class key of the latest wrong answer; empty when none
  bool intervento = false;  // the latest operation needed the program to give the result
  qint64 secondiFermo = 0;  // since the server last heard of the exercise
  [[nodiscard]] bool bloccato() const { return intervento || secondiFermo >= kSecondiFermo; }
};

struct ComputerDelLaboratorio {
  QString nome;
  int inAttesa = 0;    // operations still waiting on the computer
  QDateTime contatto;  // its last contact, by the server's clock
  int scarto = 0;      // seconds its clock is ahead of the server's
  [[nodiscard]] bool orologioSbagliato() const { return scarto > kScartoMassimo || scarto < -kScartoMassimo; }
};

// One row per pupil at work in the class (their latest exercise under way), in
// name order; empty on a computer's own register. Nothing when the server
// can't be read (the fault is told by the Registro).
[[nodiscard]] std::optional<QList<AlunnoAlLavoro>> LeggiInClasse(Registro &registro, qint64 classe);
[[nodiscard]] std::optional<QList<ComputerDelLaboratorio>> LeggiComputer(Registro &registro);
// The class in the lab now: the one whose exercise under way the server heard
// of last (in the last kMinutiRecente minutes); none when nobody is at work.
[[nodiscard]] std::optional<qint64> ClasseInLaboratorio(Registro &registro);
// The class an announcement on the lab's channel names; -1 when it names none
// or can't be read.
[[nodiscard]] qint64 ClasseDellAvviso(const QString &testo);
