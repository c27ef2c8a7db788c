#pragma once

#include <functional>
#include <memory>

#include "platform/stampante.h"

// The real printer: the CUPS queues (asked of the vornel-cups helper), and a
// "Salva come PDF" destination that writes the page to a file. Every page is
// written by Qt's PDF writer; for a queue the finished file goes to CUPS whole,
// through the helper, so a refused job comes back as an error instead of
// vanishing. The queues are asked afresh at each question (a printer may come
// and go); one document asks its queue's paper and resolution once.
class StampanteQt final : public Stampante {
 public:
  // Asks where to save a PDF (the suggested full path given); empty means cancelled.
  using SceltaFilePdf = std::function<QString(const QString &suggerito)>;

  StampanteQt();
  ~StampanteQt() override;
  StampanteQt(const StampanteQt &) = delete;
  StampanteQt &operator=(const StampanteQt &) = delete;
  // Without a chooser the PDF is written to the suggested path.
  void impostaSceltaFilePdf(SceltaFilePdf scelta) { m_sceltaPdf = std::move(scelta); }
  // Where a PDF is suggested; the documents folder unless set.
  void impostaCartellaPdf(const QString &cartella);
  // The path offered for the next PDF: folder, what is printed and today's date.
  [[nodiscard]] QString nomePdfSuggerito() const;

  QStringList stampanti() override;
  QString predefinita() override;
  QString corrente() override;
  bool scegli(const QString &nome) override;
  QStringList fonts() override;
  int risoluzione() override;
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
  bool apri();
  void chiudi();
  std::unique_ptr<Dati> d;
  SceltaFilePdf m_sceltaPdf;
};

// Font families the system can render, plus "Courier New" and "Courier" when
// fontconfig stands a fixed-pitch twin in for them (they are aliases, so the
// family list never names them).
[[nodiscard]] QStringList FontStampabili();
