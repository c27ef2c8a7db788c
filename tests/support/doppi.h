#pragma once

#include "app/stato.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/preferenze.h"
#include "platform/stampante.h"
#include "ui/common/contesto.h"
#include "ui/common/voce.h"

#include <QStringList>
#include <QTemporaryDir>

class QWidget;

// A clock that shows what the test sets.
class OrologioFinto final : public Orologio {
 public:
  double secondi = 36000.0;
  QDate data{2026, 12, 8};
  std::optional<double> monotoni;  // none: a machine without a monotonic clock
  double secondiDaMezzanotte() override { return secondi; }
  QDate oggi() override { return data; }
  std::optional<double> secondiMonotoni() override { return monotoni; }
};

// Settings kept in memory; counts the writes.
class PreferenzeFinte final : public Preferenze {
 public:
  QVariantHash valori;
  int scritture = 0;
  QVariant leggi(const QString &chiave) const override { return valori.value(chiave); }
  void scrivi(const QVariantHash &nuovi) override {
    ++scritture;
    for (auto it = nuovi.cbegin(); it != nuovi.cend(); ++it) valori.insert(it.key(), it.value());
  }
};

// A voice that records what it is told to say. It gets ready when the test
// says so (at once by default), speaks until the test ends the sentence, and
// can be made to have no engine.
class VoceFinta final : public Voce {
 public:
  QStringList dette;  // every sentence said, in order
  int zittite = 0;
  void di(const QString &frase) override {
    if (m_stato == Stato::Assente) return;
    dette << frase;
    if (m_stato != Stato::Preparazione) cambia(Stato::Parla);
  }
  void zitta() override {
    ++zittite;
    if (m_stato == Stato::Parla) cambia(Stato::Pronta);
  }
  [[nodiscard]] Stato stato() const override { return m_stato; }
  [[nodiscard]] QString perche() const override { return m_perche; }
  void pronta() { cambia(Stato::Pronta); }
  void inPreparazione() { cambia(Stato::Preparazione); }
  void assente(const QString &perche) {
    m_perche = perche;
    cambia(Stato::Assente);
  }
  void finita() {
    if (m_stato == Stato::Parla) cambia(Stato::Pronta);
  }

 private:
  void cambia(Stato s) {
    if (m_stato == s) return;
    m_stato = s;
    cambiato();
  }
  Stato m_stato = Stato::Pronta;
  QString m_perche;
};

// Records which windows were asked for.
class NavigazioneRegistrata final : public Navigazione {
 public:
  QStringList aperte;
  QHash<QString, QString> didascalie;
  void apriEsercizio() override { aperte << QStringLiteral("esercizio"); }
  void apriStampaEsercizio() override { aperte << QStringLiteral("stampaEsercizio"); }
  void apriAttestato() override { aperte << QStringLiteral("attestato"); }
  void apriSchede() override { aperte << QStringLiteral("schede"); }
  void apriSceltaStampante() override { aperte << QStringLiteral("sceltaStampante"); }
  void apriAutore() override { aperte << QStringLiteral("autore"); }
  void apriLivello() override { aperte << QStringLiteral("livello"); }
  void apriIstruzioni() override { aperte << QStringLiteral("istruzioni"); }
  void apriAlunno() override { aperte << QStringLiteral("alunno"); }
  void apriRegistro() override { aperte << QStringLiteral("registro"); }
  void apriOpzioni() override { aperte << QStringLiteral("opzioni"); }
  void chiudiTutto() override { aperte << QStringLiteral("chiudiTutto"); }
  QString didascaliaInizio(const QString &nome) override { return didascalie.value(nome); }
  Quaderno *quaderno() override { return registro; }
  Quaderno *registro = nullptr;  // the register the windows record into; none by default
  Voce *voce() override {
    ++vociChieste;
    return parlante;
  }
  Voce *parlante = nullptr;  // the voice that reads aloud; none by default
  int vociChieste = 0;
};

// One test's whole world: state, doubles and a context over them.
struct Banco {
  Stato stato;
  OrologioFinto orologio;
  CasualeCopione casuale;
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneRegistrata navRegistrata;
  Navigazione *nav = &navRegistrata;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, *nav};
};

// Shows the window and waits until it is active, so that it gets keys.
bool Attiva(QWidget *w);

// Runs the test in a fresh temporary directory (the level file lives in the
// current directory) and goes back when it ends.
class CartellaTemporanea {
 public:
  CartellaTemporanea();
  ~CartellaTemporanea();
  [[nodiscard]] QString percorso() const { return m_dir.path(); }

 private:
  QTemporaryDir m_dir;
  QString m_prima;
};
