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

// Draws the certificate row by row into an image of its size on paper at a
// given resolution, each row centred under the one before, so the same image
// serves the screen (scaled) and the printer (at its own size).
class DisegnoAttestato {
 public:
  // Where a drawn row landed, in the image's pixels.
  struct Posto {
    QRectF riquadro;  // left and width of the text, top and height of the line
  };

  DisegnoAttestato(QSize twips, int dpi, QList<RigaAttestato> righe);

  // Draws the next row; true while rows remain to be drawn.
  bool disegnaProssima();
  void disegnaTutto() {
    while (disegnaProssima()) {
    }
  }
  [[nodiscard]] bool finito() const { return m_prossima >= m_righe.size(); }

  [[nodiscard]] const QImage &immagine() const { return m_immagine; }
  [[nodiscard]] const QList<RigaAttestato> &righe() const { return m_righe; }
  [[nodiscard]] const QList<Posto> &posti() const { return m_posti; }
  [[nodiscard]] QSize twips() const { return m_twips; }
  [[nodiscard]] int dpi() const { return m_dpi; }

 private:
  void cornice();
  QSize m_twips;
  int m_dpi;
  QList<RigaAttestato> m_righe;
  QList<Posto> m_posti;
  QImage m_immagine;
  qsizetype m_prossima = 0;
  double m_y = 0;
};

inline const QColor kRossoAttestato{255, 0, 0};
