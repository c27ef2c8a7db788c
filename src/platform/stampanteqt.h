#pragma once

#include "platform/stampante.h"

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

// The real printer: CUPS printers through Qt PrintSupport, and the PDF destination.
class StampanteQt final : public Stampante {
 public:
  // Asks where to save a PDF (the suggested full path given); empty means cancelled.
  using SceltaFilePdf = std::function<QString(const QString &suggerito)>;

  StampanteQt();
  ~StampanteQt() override;
  void impostaSceltaFilePdf(SceltaFilePdf scelta) { m_sceltaPdf = std::move(scelta); }

  QStringList stampanti() override;
  QString predefinita() override;
  QString corrente() override;
  bool scegli(const QString &nome) override;
  QStringList fonts() override;
  void impostaTitolo(const QString &titolo) override;
  void impostaFont(const QString &nome) override;
  void impostaDimensione(double punti) override;
  void impostaGrassetto(bool grassetto) override;
  void impostaX(double twips) override;
  void impostaY(double twips) override;
  double x() const override;
  double y() const override;
  void stampaRiga(const QString &testo) override;
  void stampaImmagine(const QImage &immagine, double x, double y, double larghezza, double altezza) override;
  bool fineDocumento() override;
  void annullaDocumento() override;
  QString errore() const override;

 private:
  struct Dati;
  std::unique_ptr<Dati> d;
  SceltaFilePdf m_sceltaPdf;
};
