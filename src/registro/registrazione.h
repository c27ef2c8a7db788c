#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

#include "registro/dati.h"
#include "registro/registro.h"

// What the exercise window tells the register: it opens an exercise at "Vai"
// and "Ricomincia", writes each operation the moment it is closed (one
// transaction each, so a crash loses at most the operation under way) and marks
// the exercise unfinished when the window closes or a new one starts.
//
// Nothing is lost when the register can't be written at once (another copy
// erasing a pupil, a full disk): what could not be written waits, in order,
// and is written as soon as the register lets it, tried again every second;
// what still waits when the program ends is kept in a file beside the register
// and written at the next start. Every write says which exercise it belongs to
// by the exercise's own id (a UUID made here), so a write that is repeated
// changes nothing. A failing register never stops the drill, and a busy one is
// never told to the pupil: they could do nothing about it.
class RegistrazioneEsercizio {
 public:
  static constexpr int kOperazioni = 20;
  static constexpr int kAttesaBreve = 50;   // ms a write waits for another copy
  static constexpr int kRiprova = 1000;     // ms between tries of what waits

  explicit RegistrazioneEsercizio(Registro &registro);
  // What still waits is tried once more, then kept in its file.
  ~RegistrazioneEsercizio();
  RegistrazioneEsercizio(const RegistrazioneEsercizio &) = delete;
  RegistrazioneEsercizio &operator=(const RegistrazioneEsercizio &) = delete;

  // Opens the exercise's row; an exercise still open is marked unfinished first.
  Esito inizia(const DatiEsercizio &dati);
  // Writes the operation with its answers; the twentieth closes the exercise.
  // An operation made or answered under another pupil or other settings than
  // the open exercise's closes it as unfinished and opens one of its own.
  Esito operazioneChiusa(const OperazioneChiusa &op);
  // The window closes, or a new exercise starts: the open exercise stays as
  // unfinished (nothing happens when none is open).
  Esito interrompi();
  // Writes what waits; ok when nothing waits any more.
  Esito scrivi();

  // The row of the exercise under way (0 when none is open or it isn't written yet).
  [[nodiscard]] qint64 esercizio() const { return m_id; }
  [[nodiscard]] bool inCorso() const { return m_dati.has_value(); }
  // The pupil and settings of the exercise under way.
  [[nodiscard]] const std::optional<DatiEsercizio> &dati() const { return m_dati; }
  // Writes still waiting (operations, openings and closings).
  [[nodiscard]] qsizetype inAttesa() const { return m_coda.size(); }
  // The file where what waits at the end is kept.
  [[nodiscard]] QString fileAttesa() const;
  // Called (on this thread) once a write has put something in the outbox of a
  // register with a school's server (see Registro::impostaUscita): the sender
  // is woken. It must not wait.
  void quandoAnnuncia(std::function<void()> f) { m_annunciato = std::move(f); }

  struct Evento {
    enum class Tipo { Apri, Operazione, Chiudi };
    Tipo tipo = Tipo::Apri;
    QString uuid;        // the exercise
    DatiEsercizio dati;  // its pupil and settings, to open it wherever it is missing
    OperazioneChiusa op;
  };

 private:
  Esito accoda(Evento e);
  Esito applica(const Evento &e, qint64 &riga);
  [[nodiscard]] Esito apriRiga(const Evento &e, qint64 &riga, bool &scartato);
  // Puts the exercise (numero 0) or one of its operations in the outbox.
  [[nodiscard]] Esito annuncia(const QString &uuid, int numero);
  void apri(const DatiEsercizio &dati);
  void leggiAttesa();
  void salvaAttesa();

  Registro &m_registro;
  std::optional<DatiEsercizio> m_dati;
  QString m_uuid;
  qint64 m_id = 0;
  QList<Evento> m_coda;
  QTimer m_riprova;
  bool m_attesaLetta = false;
  QStringList m_fileLetti;  // files of an earlier run whose writes are in the queue
  std::function<void()> m_annunciato;
  bool m_annuncio = false;  // the transaction under way wrote to the outbox
};
