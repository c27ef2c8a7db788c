#pragma once

#include "app/stato.h"
#include "didattica/sbaglio.h"
#include "didattica/sceltasumisura.h"
#include "didattica/tabellaunita.h"
#include "registro/dati.h"

#include <QString>
#include <array>
#include <utility>
#include <optional>

class Casuale;
class Messaggi;
class Orologio;
class Quaderno;

// The exercise itself, without widgets: twenty operations, the answer being
// typed or chosen, the judgement, the help sequence, the times and the log.
// It keeps the program-wide exercise state in Stato and describes in Schermo
// what the window must show; the window forwards button commands and draws.
class MotoreEsercizio {
 public:
  static constexpr int kOperazioni = 20;
  static constexpr int kPulsantiTastierino = 15;  // 0..9, ",", Cancella, Verifica, Avanti, Esco
  static constexpr int kPulsantiSimboli = 8;      // four symbols, Cancella, Verifica, Avanti, Esci
  static constexpr int kVerificaT = 12, kAvantiT = 13, kEscoT = 14, kVirgolaT = 10, kCancellaT = 11;
  static constexpr int kCancellaS = 4, kVerificaS = 5, kAvantiS = 6, kEsciS = 7;

  enum class Vista { Numero, Simbolo };
  // Where the operation on screen stands.
  enum class Fase { Inserimento, Giudicata, Aiuto, Intervento, Corretta, Finito };
  // The five frames laid on one place; exactly one is in front and enabled.
  enum class Cornice { Tastierino, Simboli, Aiuto, Intervento, Avviso };

  // Everything the window shows, as texts and flags.
  struct Schermo {
    QString operazione, esatte, errate, tempoOperazione, tempoTotale;  // counters area
    QString codice;                                                    // case and asked slot
    QString esito;                                                     // "Esatto" / "Errato"
    Vista vista = Vista::Numero;
    Cornice cornice = Cornice::Tastierino;
    // number view
    QString addendo1, addendo2, unita, risposta = QStringLiteral("?"), correzione;
    // symbol view
    QString addendo1S, addendo2S, numeroS, rispostaS = QStringLiteral("?"), correzioneS;
    bool croce = false;  // the pupil's answer shown crossed out
    // The help that teaches: after "Errato" the likely mistake, named (kept
    // while the pupil tries again); once the program has stepped in, the
    // worked solution in the unit table. Both go with the operation.
    QString frase;
    Diagnosi diagnosi;
    bool tabella = false;
    TabellaUnita tabellaUnita;
    std::array<bool, kPulsantiTastierino> tastierino{};
    std::array<bool, kPulsantiSimboli> simboli{};
  };

  // A button the window should give the focus to.
  struct Fuoco {
    Cornice gruppo;
    int indice;
  };

  MotoreEsercizio(Stato &stato, Orologio &orologio, Casuale &casuale, Messaggi &messaggi);

  void nuovoEsercizio();
  void nuovaOperazione();  // "Avanti"

  // Keypad commands.
  void cifra(int d);  // 0..9
  void virgola();
  void cancella();
  // Symbol buttons: choose the symbol of slot indice + 1; clear the choice.
  void sceltaSimbolo(int indice);
  void cancellaSimbolo();

  void verificaRisposta();  // "Verifica"
  void riprova();           // "NO"
  void intervieni();        // "SI" or "OK"

  [[nodiscard]] const Schermo &schermo() const { return m_schermo; }
  // The family the operation on screen was made in: its symbols are the
  // captions of the four symbol buttons, and the answers they give.
  [[nodiscard]] const FamigliaUnita &famiglia() const { return m_famiglia; }
  [[nodiscard]] Fase fase() const { return m_fase; }
  [[nodiscard]] Vista vista() const { return m_schermo.vista; }
  // The operation on screen as a sentence to be read aloud (in the symbol view
  // with the number given), made in the family it was generated in.
  [[nodiscard]] QString fraseDaLeggere() const;
  // Counts of the operations shown and of the answers judged since the window
  // began: a window that reads aloud by itself speaks at each new one.
  [[nodiscard]] int operazioniMostrate() const { return m_mostrate; }
  [[nodiscard]] int giudizi() const { return m_giudizi; }
  // The focus request left by the last command, taken once.
  [[nodiscard]] std::optional<Fuoco> prendiFuoco() { return std::exchange(m_fuoco, std::nullopt); }

  // A "Su misura" plan made in family `livello`: from the next exercise on
  // (and at each "Ricomincia") the operations take its cases and asked slots
  // in turn, while the family in force is that one; empty: drawn at random.
  void impostaPiano(QList<SceltaOperazione> piano, int livello);
  [[nodiscard]] bool suMisura() const { return !m_piano.isEmpty(); }

  // The register told of each exercise and of each operation as it closes; none by default.
  void impostaQuaderno(Quaderno *quaderno) { m_quaderno = quaderno; }
  // The window closes: the exercise under way stays in the register as unfinished.
  void interrompi();

  // Whole seconds between two clock readings, across midnight too.
  [[nodiscard]] static double Durata(double inizio, double fine);
  // A counter's label text, capped for display only.
  [[nodiscard]] static QString TestoLimitato(double valore, int limite);

 private:
  void visualizza();
  void mostraNumero();
  void mostraSimbolo();
  void accetta(QChar c);
  void cercaVirgola();
  void regola();  // regroups the answer when it holds no comma
  void mostraRisposta(const QString &testo);
  void mostraRispostaS(const QString &testo);
  void calcolaTempi();
  void controllaFine();
  void entrata();  // entry button set of the view
  void dopoGiudizio();
  void cornice(Cornice c);
  [[nodiscard]] Cornice corniceRisposta() const;
  [[nodiscard]] QString &riga();
  void registraInizio();
  void registraChiusura(bool intervento);
  // The pupil in force and the settings the operation on screen is made under.
  [[nodiscard]] DatiEsercizio datiCorrenti() const;

  Stato &m_stato;
  Orologio &m_orologio;
  Casuale &m_casuale;
  Messaggi &m_messaggi;
  Schermo m_schermo;
  FamigliaUnita m_famiglia;  // the family of the operation on screen
  // The operation on screen as generated, and its family's number: the
  // program-wide operation is overwritten by the worksheets' generation too.
  Operazione m_operazione;
  int m_livello = 1;
  int m_mostrate = 0;
  int m_giudizi = 0;
  Fase m_fase = Fase::Inserimento;
  std::optional<Fuoco> m_fuoco;
  Quaderno *m_quaderno = nullptr;
  QList<Risposta> m_risposte;  // the answers judged in the operation on screen
  DatiEsercizio m_sotto;       // the settings the operation on screen was made under
  std::optional<double> m_inizioMonotono;
  QList<SceltaOperazione> m_piano;
  int m_livelloPiano = 0;  // when it was shown, on the monotonic clock
};
