#pragma once

#include "ui/common/contesto.h"
#include "ui/common/finestra.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/exercise/motoreesercizio.h"

#include <QHash>
#include <array>

class Linea;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;
class Voce;
class VistaTabellaUnita;

// The exercise window: twenty additions answered on an on-screen keypad or
// with the unit-symbol buttons, checked, helped, timed and logged. The exercise
// itself lives in MotoreEsercizio; this window forwards the commands of its
// buttons and shows what the exercise says.
class FrmOperativo : public Finestra {
  Q_OBJECT
 public:
  explicit FrmOperativo(Contesto &ctx, QWidget *genitore = nullptr);

  // The fonts of the window's controls, one of each.
  [[nodiscard]] static QList<QFont> caratteri();

  [[nodiscard]] const MotoreEsercizio &motore() const { return m_motore; }
  // A "Su misura" plan for the exercises to come (see MotoreEsercizio::impostaPiano).
  void impostaPiano(QList<SceltaOperazione> piano, int livello) { m_motore.impostaPiano(std::move(piano), livello); }

  // Shows the window as the options in force ask, at once, the exercise going on.
  void applicaOpzioni();

  // Reads the operation on screen aloud ("Leggi", F5). The voice is asked of
  // the program the first time; without one nothing is said.
  void leggi();

 protected:
  void showEvent(QShowEvent *e) override;
  void closeEvent(QCloseEvent *e) override;
  void dopoRidimensionamento() override;

 private:
  // Tells a fault of the register once, after the command that met it.
  void avvisaGuastoRegistro();
  void costruisci();
  void creaGruppi();
  void azioneTastierino(int i);
  void azioneSimboli(int i);
  void azioneAiuto(int i);
  void azioneAvviso(int i);
  GruppoOpzioni::Esito tastoTastierino(int i, QKeyEvent *e);
  GruppoOpzioni::Esito tastoSimboli(int i, QKeyEvent *e);
  void nuovoEsercizio();
  void aggiorna();
  void etichettaSimboli();
  void mostraTabella(bool si);
  // Lays the window out anew from its design: the column right of the design
  // for the table at hand and the "Leggi" button, the operation filling the
  // board, or neither.
  void progetta(bool tabella, bool leggi, bool lavagna);
  void agioOperazione();
  // The voice, asked of the program at its first use; null when there is none.
  Voce *voce();
  void di(const QString &frase);
  // The "Leggi" button follows the voice: disabled, saying why, without one.
  void statoVoce();
  // With "leggi sempre": each new operation and each verdict, spoken by themselves.
  void leggiDaSola();
  void testo(QLabel *l, const QString &t);
  [[nodiscard]] QLabel *label(const QString &nome) const;

  Contesto &m_ctx;
  MotoreEsercizio m_motore;
  bool m_avviato = false;
  QHash<QString, QWidget *> m_controlli;
  GruppoOpzioni *m_tastierino = nullptr;
  GruppoOpzioni *m_simboli = nullptr;
  GruppoOpzioni *m_aiuto = nullptr;
  GruppoOpzioni *m_ok = nullptr;
  GruppoOpzioni *m_avviso = nullptr;
  std::array<QFrame *, 5> m_cornici{};  // in the order of MotoreEsercizio::Cornice
  QFrame *m_fraNumero = nullptr;
  QFrame *m_fraSimbolo = nullptr;
  Linea *m_linea1 = nullptr, *m_linea2 = nullptr, *m_line1 = nullptr, *m_line2 = nullptr;
  // The labels aggiorna() writes, found once.
  QLabel *m_lblOperazione = nullptr, *m_lblEsatte = nullptr, *m_lblErrate = nullptr;
  QLabel *m_lblTempoOp = nullptr, *m_lblTempoTot = nullptr, *m_lblCodice = nullptr, *m_lblEsito = nullptr;
  QLabel *m_label4 = nullptr, *m_label8 = nullptr, *m_label11 = nullptr, *m_lblRisultato = nullptr,
         *m_lblCorrezione = nullptr;
  QLabel *m_label4S = nullptr, *m_label8S = nullptr, *m_label11S = nullptr, *m_lblRisultatoS = nullptr,
         *m_lblCorrezioneS = nullptr;
  QLabel *m_lblSbaglio = nullptr;
  VistaTabellaUnita *m_tabella = nullptr;
  VistaTabellaUnita *m_tabellaAMano = nullptr;  // made when first asked for
  bool m_lavagna = false;  // the operation's row laid out to fill the board
  QPushButton *m_cmdLeggi = nullptr;            // made when first asked for
  bool m_voceChiesta = false;
  int m_mostrateLette = 0, m_giudiziLetti = 0;
};
