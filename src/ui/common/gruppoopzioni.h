#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPushButton>
#include <functional>

class QKeyEvent;

// A large command button of a group: it never stays selected, shows the focus
// by its colour, and leaves its keys and mouse presses to its group.
class PulsanteOpzione : public QPushButton {
  Q_OBJECT
 public:
  PulsanteOpzione(const QString &testo, QWidget *genitore);
};

// The behaviour shared by every group of command buttons: focus colours, a
// command on a mouse press (not on the release) and on Enter, digit and letter
// keys that move the focus, the space bar that moves to the next button, every
// other key swallowed, and a held key that acts only once.
class GruppoOpzioni : public QObject {
  Q_OBJECT
 public:
  // What a key did on button i: not accepted (swallowed, nothing happens) or accepted.
  enum class Esito { Rifiutato, Accettato };
  using GestoreTasto = std::function<Esito(int indice, QKeyEvent *evento)>;

  struct Configurazione {
    // Keys 1..n (main row and keypad) focus buttons 0..n-1; 0 means none.
    int tastiCifra = 0;
    // Letter keys (Qt::Key_A..Z) that focus a button: key -> index.
    QList<QPair<int, int>> lettere;
    // Keys accepted with no action.
    QList<int> tastiMuti;
    // Skip disabled buttons when the space bar moves the focus.
    bool saltaDisabilitati = true;
    // Give the focus colours (off for groups whose buttons keep one colour).
    bool coloriFuoco = true;
    QColor normale{255, 224, 192};
    QColor fuoco{255, 192, 128};
    // Handles every key but space before the rules above; Esito tells whether it acted.
    GestoreTasto gestore;
    // Called after an accepted key (the start window's order group enables the actions).
    std::function<void(int indice)> dopoTasto;
    // Called on every key release in the group.
    std::function<void(int indice)> rilascio;
  };

  GruppoOpzioni(Configurazione conf, std::function<void(int)> comando, QObject *genitore);

  void aggiungi(PulsanteOpzione *p);
  [[nodiscard]] PulsanteOpzione *pulsante(int i) const { return m_pulsanti.value(i); }
  [[nodiscard]] int conta() const { return static_cast<int>(m_pulsanti.size()); }
  [[nodiscard]] int indiceDi(const QObject *o) const;
  [[nodiscard]] const QList<PulsanteOpzione *> &pulsanti() const { return m_pulsanti; }

  // Carries out the command of button i (as a mouse press or Enter would).
  void esegui(int i);
  // Moves the focus to button i when it can take it.
  void fuoco(int i);
  // The index the space bar moves to from button i.
  [[nodiscard]] int successivo(int i) const;

  // Digit keys 1..9 on the main row and the keypad: the digit, or -1.
  [[nodiscard]] static int cifra(const QKeyEvent *e);
  [[nodiscard]] static bool invio(const QKeyEvent *e);

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  bool tasto(int i, QKeyEvent *e);
  Configurazione m_conf;
  std::function<void(int)> m_comando;
  QList<PulsanteOpzione *> m_pulsanti;
  bool m_flagTasto = false;
  bool m_flagCarattere = false;
};
