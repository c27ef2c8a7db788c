#pragma once

#include "platform/stampante.h"

#include <QLibrary>
#include <functional>
#include <memory>

// The program's printer, loaded on first use: the print back end (Qt
// PrintSupport and CUPS, with their libraries) lives in a module of its own, so
// starting the program and drilling never pay for it. Until something is
// printed or a printer is listed, nothing is loaded.
class StampantePigra final : public Stampante {
 public:
  using SceltaFilePdf = std::function<QString(const QString &suggerito)>;

  StampantePigra();
  ~StampantePigra() override;
  // Asks where to save a PDF; handed to the back end when it is loaded.
  void impostaSceltaFilePdf(SceltaFilePdf scelta);
  // True once the back end has been loaded (for the start-up benchmark and tests).
  [[nodiscard]] bool caricata() const { return m_vera != nullptr; }

  QStringList stampanti() override { return vera().stampanti(); }
  QString predefinita() override { return vera().predefinita(); }
  QString corrente() override { return vera().corrente(); }
  bool scegli(const QString &nome) override { return vera().scegli(nome); }
  QStringList fonts() override { return vera().fonts(); }
  int risoluzione() override { return vera().risoluzione(); }
  void impostaTitolo(const QString &titolo) override { vera().impostaTitolo(titolo); }
  void impostaFont(const QString &nome) override { vera().impostaFont(nome); }
  void impostaDimensione(double punti) override { vera().impostaDimensione(punti); }
  void impostaGrassetto(bool grassetto) override { vera().impostaGrassetto(grassetto); }
  void impostaX(double twips) override { vera().impostaX(twips); }
  void impostaY(double twips) override { vera().impostaY(twips); }
  double x() const override { return vera().x(); }
  double y() const override { return vera().y(); }
  void stampaRiga(const QString &testo) override { vera().stampaRiga(testo); }
  void stampaImmagine(const QImage &immagine, double x, double y, double larghezza, double altezza) override {
    vera().stampaImmagine(immagine, x, y, larghezza, altezza);
  }
  bool fineDocumento() override { return vera().fineDocumento(); }
  void annullaDocumento() override { vera().annullaDocumento(); }
  QString errore() const override { return vera().errore(); }

 private:
  Stampante &vera() const;
  mutable QLibrary m_modulo;
  mutable std::unique_ptr<Stampante> m_vera;
  SceltaFilePdf m_scelta;
};

// The entry point the print module exports.
using CreaStampante = Stampante *(*)(const std::function<QString(const QString &)> *scelta);
inline constexpr const char *kSimboloCreaStampante = "VornelCreaStampante";
