#pragma once

#include "app/opzioni.h"

#include <QString>
#include <array>

// Program-wide state. The fields keep the names the rest of the program and its
// stored files speak of; they are grouped by the window or module that owns them.
// One Stato lives for the whole run; main creates it and every window gets it by
// reference, so a test builds its own and nothing leaks between tests.

inline constexpr int kRigheMassime = 61;  // indexes 0..60
using Righe = std::array<QString, kRigheMassime>;

// The level record (written by the level file, changed on the start window).
struct Livello {
  qint16 intLivello = 1;  // unit family 1..12
  qint16 intCifre = 1;    // 1 or 2 digits
  QString strNomeFile;    // executable base name; the level file is strNomeFile + ".dat"
};

// Choices made on the start window.
struct Impostazioni {
  qint16 intCosaCalcolare = 1;  // 1 number, 2 symbol, 3 either
  QString strCosaCalcolare;
  qint16 intOrdineSimboli = 1;  // 1 decreasing, 2 increasing, 3 both
  QString strOrdineSimboli;
  qint16 intValoreMassimo = 9;  // 9 for one digit, 19 for two
};

// The unit family in force: padded symbols, largest unit first.
struct FamigliaUnita {
  QString strSimbolo1, strSimbolo2, strSimbolo3, strSimbolo4;
  qint16 intNumeroUnita = 4;
  qint16 intNumeroScelte = 4;
  qint16 intPrimaScelta = 1;

  [[nodiscard]] const QString &simbolo(int slot) const {
    switch (slot) {
      case 1: return strSimbolo1;
      case 2: return strSimbolo2;
      case 3: return strSimbolo3;
      default: return strSimbolo4;
    }
  }
};

// The operation last generated.
struct Operazione {
  qint16 intCaso = 0;
  qint32 lngValore1 = 0;
  qint32 lngValore2 = 0;
  QString strAddendo1;
  QString strAddendo2;
  qint16 intUnitaRichiesta = 0;
  QString strSimboloRichiesto;
  QString strRisultato;
};

// The exercise under way (or the last one) and what it leaves for printing.
struct Esercizio {
  qint16 intOperazione = 0;
  qint16 intEsatte = 0;
  qint16 intErrate = 0;
  qint16 intTentativi = 0;
  qint16 intChiesto = 0;  // with "either": 1 number, 2 symbol for the current operation
  QString strRisposta;
  bool blnVirgola = false;
  qint16 intLunghezzaMassima = 7;
  double varInizioOperazione = 0;
  double varTempoOperazione = 0;
  double varTempoTotale = 0;
  Righe strRigheEsercizio;
  QString strNomeAlunno;   // at most 15 characters
  QString strValutazione;  // grade word of the last certificate
};

// The teacher's worksheet. It keeps its own lines and its own choices, so a
// sheet never touches the exercise log or the start window's settings.
struct Scheda {
  qint16 intCosaCalcolare = 1;
  qint16 intOrdineSimboli = 1;
  qint16 intNumeroOperazioni = 30;
  qint16 intTipoScheda = 1;  // 1 pupils, 2 teachers
  int intRigheGenerate = 0;  // lines 1..intRigheGenerate hold generated operations
  // The choices those lines were made with (what to find, order, family and
  // size of the values): a sheet only grows with lines of the same choices.
  struct Origine {
    qint16 intCosaCalcolare = 0;
    qint16 intOrdineSimboli = 0;
    qint16 intValoreMassimo = 0;
    QString strSimboli;
    bool operator==(const Origine &) const = default;
  } origine;
  Righe strRigheAlunni;
  Righe strRigheDocenti;
  Righe strRigheStampa;
  QString strPiePagina;
};

// The pupil who chose their own name before "Vai" (id 0: nobody, the
// exercises go to the register as "Senza nome").
struct AlunnoScelto {
  qint64 id = 0;
  qint64 classe = 0;
  QString nome;
  QString nomeClasse;
};

struct Stato {
  Livello livello;
  AlunnoScelto alunnoScelto;
  // The pupil the exercise on screen (or the last one) is recorded under: the
  // name its log and certificate carry.
  AlunnoScelto alunnoEsercizio;
  Impostazioni impostazioni;
  FamigliaUnita famiglia;
  Operazione operazione;
  Esercizio esercizio;
  Scheda scheda;
  SceltaOpzioni opzioni;  // the compensatory tools in force
};
