#pragma once

#include "app/stato.h"
#include "didattica/sceltasumisura.h"
#include "registro/dati.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class Casuale;
struct Contesto;
class QWidget;

// The pupils' register as the rest of the program sees it. It lives in a
// module of its own, loaded the first time it is needed, so that nothing of
// the database is loaded while the program starts. A register that fails never
// stops the drill: the fault is told once, and the exercise goes on unrecorded.
class Quaderno {
 public:
  virtual ~Quaderno() = default;

  // The exercise under way: opened at "Vai" and "Ricomincia", each operation
  // written the moment it is closed, left unfinished when the window closes or
  // a new exercise starts.
  virtual void iniziaEsercizio(const DatiEsercizio &dati) = 0;
  virtual void operazioneChiusa(const OperazioneChiusa &op) = 0;
  virtual void interrompiEsercizio() = 0;

  // The windows that read the register live in the module too. The pupil
  // chooses their own name (no PIN): the choice, an empty one (id 0) for
  // "Senza nome", or none when the window is closed without choosing.
  [[nodiscard]] virtual std::optional<AlunnoScelto> scegliAlunno(Contesto &ctx, QWidget *sopra) {
    (void)ctx;
    (void)sopra;
    return std::nullopt;
  }
  // The teacher's register window, behind the teacher's door.
  virtual void apriRegistro(Contesto &ctx, QWidget *sopra) {
    (void)ctx;
    (void)sopra;
  }
  // The teacher's door on its own, for the other teacher's windows (the
  // options): true once the teacher is in. `titolo` names what it opens.
  [[nodiscard]] virtual bool apriPorta(Contesto &ctx, QWidget *sopra, const QString &titolo) {
    (void)ctx;
    (void)sopra;
    (void)titolo;
    return false;
  }

  // The settings of this computer's way to the school's server, over `sopra`
  // (the options), behind the teacher's door.
  virtual void apriServer(Contesto &ctx, QWidget *sopra) {
    (void)ctx;
    (void)sopra;
  }

  // Shuts the teacher's door: the register window and the PIN's windows close,
  // and the PIN is asked at the next opening.
  virtual void chiudiPorta() {}
  // Whether the door is open now (a teacher's window open, or the PIN typed
  // moments ago).
  [[nodiscard]] virtual bool portaAperta() const { return false; }

  // A pupil's plan: the options the teacher chose for them; none when they
  // have none, or the register can't be read (the machine's options hold).
  [[nodiscard]] virtual std::optional<Opzioni> pianoAlunno(qint64 alunno) {
    (void)alunno;
    return std::nullopt;
  }
  // Keeps a pupil's plan, or drops it (none). False when it could not be kept.
  virtual bool salvaPiano(qint64 alunno, const std::optional<Opzioni> &piano) {
    (void)alunno;
    (void)piano;
    return false;
  }

  // "Su misura": the twenty operations chosen from the pupil's history in a
  // family, for a session held on `oggi`; none when the register can't be read.
  [[nodiscard]] virtual std::optional<QList<SceltaOperazione>> pianoSuMisura(qint64 alunno, int famiglia,
                                                                             const QDate &oggi, Casuale &casuale) {
    (void)alunno;
    (void)famiglia;
    (void)oggi;
    (void)casuale;
    return std::nullopt;
  }

  // A new fault of the register to tell the user, taken once.
  [[nodiscard]] virtual std::optional<QString> prendiMessaggio() = 0;
};

// The name of the function the register module exports: Quaderno *(*)().
inline constexpr char kFabbricaQuaderno[] = "vornel_nuovo_quaderno";
// The module's file name.
inline constexpr char kModuloQuaderno[] = "libvornel-registro.so";
