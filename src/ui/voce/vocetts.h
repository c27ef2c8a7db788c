#pragma once

#include "ui/common/voce.h"

#include <QObject>
#include <QTextToSpeech>
#include <memory>

class QThread;

// The voice through Qt TextToSpeech, in Italian. The engine is the program's
// own on speech-dispatcher (the "vornel" plugin beside the module), which is
// ready once connected and keeps the synthesiser's voice list from one run to
// the next; Qt's engines are the fallback. Readying still takes a moment
// (speech-dispatcher is started if it isn't running; the first time on a
// machine its voices are listed), so it is done on a thread of its own and the
// engine handed to the GUI thread, where it is spoken to. Nothing ever waits
// for that thread: a speech service that never answers leaves the voice in
// preparation, and the program as it was.
class VoceTts final : public QObject, public Voce {
  Q_OBJECT
 public:
  VoceTts();
  ~VoceTts() override;

  void di(const QString &frase) override;
  void zitta() override;
  [[nodiscard]] Stato stato() const override { return m_stato; }
  [[nodiscard]] QString perche() const override { return m_perche; }

  // What the thread hands back: the engine set to an Italian voice, or why there is none.
  struct Esito {
    std::unique_ptr<QTextToSpeech> motore;
    QString perche;
  };
  // Readies an engine on the calling thread; `destinazione` is the thread it is given to.
  [[nodiscard]] static Esito Prepara(QThread *destinazione);

 private:
  void pronto();
  void cambia(Stato s);

  QThread *m_filo = nullptr;
  std::shared_ptr<Esito> m_esito;  // written by the thread, read once it has finished
  std::unique_ptr<QTextToSpeech> m_motore;
  Stato m_stato = Stato::Preparazione;
  QString m_perche;
  QString m_attesa;  // the sentence asked for while the engine was being readied
};
