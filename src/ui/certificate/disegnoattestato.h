#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

// One row of the certificate: its text (empty for a blank row) and its font.
struct RigaAttestato {
  QString testo;
  QString font;
  double punti;
  bool grassetto;
  QColor colore;
};

// What the certificate says.
struct DatiAttestato {
  QString nome;         // already normalised
  QString titolo;       // the start window's title
  QString ordine;       // the start window's symbol-order caption, may be empty
  QString valutazione;  // the grade word
  int esatte = 0;
  int operazioni = 0;
  QString data;  // today, in the system's short format
};

// The certificate's rows from the top, blank rows included.
[[nodiscard]] QList<RigaAttestato> RigheAttestato(const DatiAttestato &dati);

// Draws the certificate row by row, each row centred under the one before.
// The rows drawn so far live in an image for the screen; for the printer the
// same rows are drawn again at its resolution, a band of pixel rows at a time,
// so the whole picture at 300 or 600 dpi never has to be held at once.
class DisegnoAttestato {
 public:
  // The colours the picture is drawn in. Paper always gets the design's; the
  // screen of a window in high contrast gets their twins of strong contrast,
  // the rows' black and red inks darkened to the minimum ratio on the paper.
  struct Colori {
    QColor carta, nero, rosso, bordo, oro;
    // The ink a row designed in `progetto` is drawn in.
    [[nodiscard]] QColor inchiostro(const QColor &progetto) const;
  };
  [[nodiscard]] static Colori coloriProgetto();
  [[nodiscard]] static Colori coloriContrasto();

  // Where a drawn row landed, in the screen image's pixels.
  struct Posto {
    QRectF riquadro;  // left and width of the text, top and height of the line
  };

  // `pixel`: the size of the screen image.
  DisegnoAttestato(QSize twips, QList<RigaAttestato> righe, QSize pixel);

  // Draws the next row; true while rows remain to be drawn.
  bool disegnaProssima();
  void disegnaTutto() {
    while (disegnaProssima()) {
    }
  }
  [[nodiscard]] bool finito() const { return m_prossima >= m_righe.size(); }

  // Lays the rows drawn so far out again for a screen image of a new size.
  void adatta(QSize pixel);

  // The picture's size in pixels at a resolution.
  [[nodiscard]] QSize pixel(int dpi) const;
  // The rows drawn so far at `dpi`: `quante` pixel rows from row `da`
  // (fewer at the bottom edge); the whole picture when quante < 0.
  [[nodiscard]] QImage fascia(int dpi, int da = 0, int quante = -1) const;

  // The screen image, drawn afresh at each call: the window's own buffer keeps
  // what is on screen, so the picture is not held a second time.
  [[nodiscard]] QImage immagine(const Colori &colori = coloriProgetto()) const {
    return fasciaSchermo(0, -1, colori);
  }
  // `quante` pixel rows of the screen image from row `da`, as fascia().
  [[nodiscard]] QImage fasciaSchermo(int da, int quante = -1, const Colori &colori = coloriProgetto()) const;
  [[nodiscard]] QSize schermo() const { return m_schermo; }
  [[nodiscard]] const QList<RigaAttestato> &righe() const { return m_righe; }
  [[nodiscard]] const QList<Posto> &posti() const { return m_posti; }
  [[nodiscard]] QSize twips() const { return m_twips; }

 private:
  // Draws into `img`, whose top is pixel row `da` of a picture of size `tutto`
  // at `dpi`, the frame and the first `n` rows.
  void disegnaIn(QImage &img, int da, QSize tutto, double dpi, qsizetype n, const Colori &colori) const;
  [[nodiscard]] QImage fasciaDi(QSize tutto, double dpi, int da, int quante, const Colori &colori) const;
  [[nodiscard]] double dpiSchermo() const;
  double rigaIn(QPainter &p, const QImage &img, int larghezza, const RigaAttestato &r, double y,
                QList<Posto> *posti, const Colori &colori) const;
  QSize m_twips;
  QList<RigaAttestato> m_righe;
  QList<Posto> m_posti;
  QSize m_schermo;
  QImage m_metrica;  // one pixel at the screen's resolution, for the rows' measures
  qsizetype m_prossima = 0;
  double m_y = 0;
};

inline const QColor kRossoAttestato{255, 0, 0};
