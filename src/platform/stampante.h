#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

inline constexpr double kTwipsPerPollice = 1440.0;

// The printer seam: the destinations, the program-wide printer, and a page
// surface in twips (1/1440 inch from the top left of the page) that behaves as
// the line printer of the old printing model: a current position, a current
// font, and "print and end the line" that moves down by the line height.
class Stampante {
 public:
  virtual ~Stampante() = default;

  // Installed printers in the system's order, then the PDF destination.
  [[nodiscard]] virtual QStringList stampanti() = 0;
  // The system default (the PDF destination when no printer is installed).
  [[nodiscard]] virtual QString predefinita() = 0;
  // The program-wide printer that every printout uses.
  [[nodiscard]] virtual QString corrente() = 0;
  // Makes the named destination the program-wide printer; false when unknown.
  virtual bool scegli(const QString &nome) = 0;
  // The font names the current printer can print with, in its own order.
  [[nodiscard]] virtual QStringList fonts() = 0;
  // Dots per inch of the current printer's page: a picture drawn at this
  // resolution prints sharp at its size on paper.
  [[nodiscard]] virtual int risoluzione() { return 300; }

  // What is being printed, for the document's title and a suggested PDF name.
  virtual void impostaTitolo(const QString &titolo) = 0;
  virtual void impostaFont(const QString &nome) = 0;
  virtual void impostaDimensione(double punti) = 0;
  virtual void impostaGrassetto(bool grassetto) = 0;
  virtual void impostaX(double twips) = 0;
  virtual void impostaY(double twips) = 0;
  [[nodiscard]] virtual double x() const = 0;
  [[nodiscard]] virtual double y() const = 0;
  // Prints the text at the current position and ends the line: x back to 0,
  // y down by the height of a line of the current font.
  virtual void stampaRiga(const QString &testo) = 0;
  // Paints the image with its top left at (x, y), sized larghezza x altezza twips.
  virtual void stampaImmagine(const QImage &immagine, double x, double y, double larghezza,
                              double altezza) = 0;
  // Ends the document and sends the page. False when anything failed since
  // the document began; errore() then says why (empty when the user cancelled).
  virtual bool fineDocumento() = 0;
  // Drops the document under way without sending it.
  virtual void annullaDocumento() = 0;
  [[nodiscard]] virtual QString errore() const = 0;
};

inline const QString kSalvaComePdf = QStringLiteral("Salva come PDF");

// The first of "Courier New" and "Courier" in the list's own order, exact
// names only (case and blanks count); empty when there is none.
[[nodiscard]] QString CercaFontCourier(const QStringList &fonts);
inline const QString kMessaggioCourier =
    QStringLiteral("Devi installare il font Courier o il font Courier New");

// A double that records every call: positions, fonts and texts are checked exactly.
class StampanteRegistrata : public Stampante {
 public:
  struct Riga {
    QString testo;
    double x, y;
    QString font;
    double dimensione;
    bool grassetto;
  };
  struct Immagine {
    QSize pixel;
    double x, y, larghezza, altezza;
    QImage contenuto;  // the picture as painted
  };
  struct Documento {
    QString titolo;
    QList<Riga> righe;
    QList<Immagine> immagini;
  };

  QStringList elenco{QStringLiteral("Stampante di prova"), kSalvaComePdf};
  QString nomePredefinita = QStringLiteral("Stampante di prova");
  QString nomeCorrente = QStringLiteral("Stampante di prova");
  QStringList elencoFont{QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("Courier")};
  // Set to make the next documents fail with this message.
  QString guasto;
  // Set to fail only from the n-th printed line of a document on (1-based).
  int guastoDallaRiga = 0;

  QList<Documento> documenti;  // ended documents
  Documento inCorso;
  QStringList chiamate;  // every call, in order, as text

  QStringList stampanti() override { return elenco; }
  QString predefinita() override { return nomePredefinita; }
  QString corrente() override { return nomeCorrente; }
  bool scegli(const QString &nome) override;
  QStringList fonts() override { return elencoFont; }
  int dpi = 300;
  int risoluzione() override { return dpi; }
  void impostaTitolo(const QString &titolo) override;
  void impostaFont(const QString &nome) override;
  void impostaDimensione(double punti) override;
  void impostaGrassetto(bool grassetto) override;
  void impostaX(double twips) override;
  void impostaY(double twips) override;
  double x() const override { return m_x; }
  double y() const override { return m_y; }
  void stampaRiga(const QString &testo) override;
  void stampaImmagine(const QImage &immagine, double x, double y, double larghezza, double altezza) override;
  bool fineDocumento() override;
  void annullaDocumento() override;
  QString errore() const override { return m_errore; }

  // The height of a line: the font size in twips, times 1.2.
  [[nodiscard]] double altezzaRiga() const { return m_dimensione * 20.0 * 1.2; }

 private:
  QString m_font = QStringLiteral("Arial");
  double m_dimensione = 10;
  bool m_grassetto = false;
  double m_x = 0, m_y = 0;
  QString m_errore;
  bool m_fallito = false;
};
