#pragma once

#include <QColor>
#include <QWidget>

#include <array>

#include "didattica/tabellaunita.h"

// Draws a unit table the way it hangs on a classroom wall: a coloured header
// with the unit symbols, largest on the left, one column per unit, each digit
// in its column, placeholder zeros lighter, the asked unit's column framed and
// the comma drawn after it, the result read off below. An empty table (headers
// and empty columns) is drawn just as well. The digits grow with the widget and
// never shrink below the size set by impostaPuntiMinimi().
class VistaTabellaUnita : public QWidget {
  Q_OBJECT
 public:
  explicit VistaTabellaUnita(QWidget *genitore = nullptr);

  void imposta(const TabellaUnita &tabella);
  [[nodiscard]] const TabellaUnita &tabella() const { return m_tabella; }

  // The smallest size of the digits, in points.
  void impostaPuntiMinimi(qreal punti);
  // The size the digits are drawn at, for the widget's present size.
  [[nodiscard]] qreal puntiCifre() const;

  // What the widget draws in a cell of a row (a digit, "," after it when the
  // comma follows) and where; rows and columns count from 0 under the header.
  [[nodiscard]] QString testoCella(int riga, int colonna) const;
  [[nodiscard]] QRect rettangoloCella(int riga, int colonna) const;
  // The whole table as drawn, a row a line (also its accessible description).
  [[nodiscard]] QStringList righeTesto() const { return m_testo; }

  [[nodiscard]] QSize sizeHint() const override;

  // The colours the table is painted in: the design's, or in a window of
  // high contrast their twins of strong contrast.
  struct Colori {
    QColor carta, inchiostro, segnaposto, griglia, somma, marcata, lettura, senzaNome;
    std::array<QColor, 4> tinte;  // the headers, from the units column leftwards
  };
  [[nodiscard]] static Colori coloriProgetto();
  [[nodiscard]] static Colori coloriContrasto();
  [[nodiscard]] Colori colori() const;
  // Every text the table paints with the colour under it: what a check of contrast reads.
  struct Scritta {
    QString cosa;
    QColor testo, sfondo;
  };
  [[nodiscard]] QList<Scritta> scritte() const;

 protected:
  void paintEvent(QPaintEvent *e) override;

 private:
  struct Misure {
    int margine = 0, etichette = 0, colonna = 0, riga = 0, alto = 0;
    qreal pixelCifre = 0, pixelEtichette = 0;
  };
  // The measures for the present size, worked out again when the size or the table changes.
  [[nodiscard]] const Misure &misure() const;
  [[nodiscard]] Misure calcola() const;
  [[nodiscard]] int righeCorpo() const;
  [[nodiscard]] QRect rettangoloColonna(int colonna) const;
  [[nodiscard]] QFont carattere(qreal pixel, bool grassetto) const;

  TabellaUnita m_tabella;
  QStringList m_testo;
  qreal m_puntiMinimi = 24;
  mutable Misure m_m;
  mutable QSize m_misurata;  // the size m_m was worked out for; invalid: to work out
};
