#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

// The voice that reads the operation aloud, as the windows see it. The speech
// engine lives in a module of its own, loaded the first time a window asks for
// a voice, so that nothing of it is loaded while the program starts. The engine
// gets ready on a thread of its own: until then a sentence waits (the last one
// asked for), and the windows go on.
class Voce {
 public:
  enum class Stato {
    Preparazione,  // the engine is being readied; a sentence asked for waits
    Pronta,        // silent, ready to speak
    Parla,         // the engine says it is speaking
    Assente,       // no engine or no Italian voice: perche() says why
  };

  virtual ~Voce() = default;

  // Says the sentence, cutting short whatever was being said.
  virtual void di(const QString &frase) = 0;
  // Stops speaking, and forgets a sentence still waiting for the engine.
  virtual void zitta() = 0;
  [[nodiscard]] virtual Stato stato() const = 0;
  // Why there is no voice, in words for the teacher; empty when there is one.
  [[nodiscard]] virtual QString perche() const = 0;

  [[nodiscard]] bool disponibile() const { return stato() != Stato::Assente; }
  [[nodiscard]] bool parla() const { return stato() == Stato::Parla; }

  // Calls f on the GUI thread each time the state changes, for as long as
  // `chi` lives.
  void osserva(QObject *chi, std::function<void()> f) { m_osservatori.append({chi, std::move(f)}); }

 protected:
  void cambiato() {
    m_osservatori.removeIf([](const Osservatore &o) { return o.chi.isNull(); });
    const QList<Osservatore> copia = m_osservatori;  // an observer may add another
    for (const Osservatore &o : copia)
      if (o.chi) o.f();
  }

 private:
  struct Osservatore {
    QPointer<QObject> chi;
    std::function<void()> f;
  };
  QList<Osservatore> m_osservatori;
};

// The name of the function the speech module exports: Voce *(*)().
inline constexpr char kFabbricaVoce[] = "vornel_nuova_voce";
// The module's file name.
inline constexpr char kModuloVoce[] = "libvornel-voce.so";
