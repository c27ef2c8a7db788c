#pragma once

#include <QObject>
#include <QTextToSpeech>
#include <functional>
#include <memory>

#include "ui/common/voce.h"

class QThread;

// The voice through Qt TextToSpeech, in Italian. The engine is the program's
// own on speech-dispatcher (the "vornel" plugin beside the module), which is
// ready as soon as it is connected; Qt's engines are the fallback. Readying
// still takes a moment (speech-dispatcher is started if it isn't running), so
// it is done on a thread of its own and the engine handed to the GUI thread,
// where it is spoken to. Whether the synthesiser has an Italian voice at all is
// checked after that, on another thread, while the first sentence is already
// being said. Nothing ever waits for those threads: a speech service that
// never answers leaves the voice in preparation, and the program as it was.
class VoceTts final : public QObject, public Voce {
  Q_OBJECT
 public:
  VoceTts();
  ~VoceTts() override;

  void di(const QString &frase) override;
  void zitta() override;
  [[nodiscard]] Stato stato() const override { return m_stato; }
  [[nodiscard]] QString perche() const override { return m_perche; }

  // What a thread hands back: the engine set to Italian, or why there is none;
  // and whether the Italian voice is still to be looked for.
  struct Esito {
    std::unique_ptr<QTextToSpeech> motore;
    QString perche;
    bool daVerificare = false;
  };
  // Readies an engine on the calling thread; `destinazione` is the thread it is given to.
  [[nodiscard]] static Esito Prepara(QThread *destinazione);
  // Why the named engine has no Italian voice, or empty when it has one.
  [[nodiscard]] static QString SenzaItaliano(const QString &motore);

 private:
  void avviaFilo(const std::function<void()> &lavoro, void (VoceTts::*finito)());
  void pronto();
  void verificato();
  void manca(const QString &perche);
  void cambia(Stato s);

  QList<QThread *> m_fili;
  std::shared_ptr<Esito> m_esito;  // written by a thread, read once it has finished
  std::unique_ptr<QTextToSpeech> m_motore;
  Stato m_stato = Stato::Preparazione;
  QString m_perche;
  QString m_attesa;  // the sentence asked for while the engine was being readied
};
