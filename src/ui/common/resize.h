#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

// Proportional layout: every control keeps its place and size as fractions of
// the window's client area recorded once, when the window is built. The
// fractions are never recomputed, so shrinking and enlarging again restores the
// design layout exactly. Fonts are left alone, unless asked to grow with the
// window (type that fills a classroom board).
class Resize {
 public:
  struct Rapporti {
    float larghezza = 0, altezza = 0, alto = 0, sinistra = 0;
  };

  // Records every named descendant of client (a control) against client's size.
  // With spostaCombo false combo boxes are recorded but not moved.
  void registra(QWidget *client, bool spostaCombo = false);
  // Moves and sizes every recorded control for the client's current size.
  void applica();

  [[nodiscard]] int conta() const { return static_cast<int>(m_voci.size()); }

  // With si, every control's type grows and shrinks with the client by the
  // smaller of its two ratios to the design, so that text keeps fitting the
  // control it fitted; without, the design's type comes back.
  void scalaCaratteri(bool si);
  [[nodiscard]] bool caratteriInScala() const { return m_caratteri; }
  // The factor the type is drawn at: 1 unless scaled.
  [[nodiscard]] double fattoreCaratteri() const;
  // A control whose box has room to spare for its type: its type grows by the
  // smaller of (width ratio x orizzontale) and (height ratio x verticale), so
  // it is drawn larger than the rest by that room, and still fits. Only while
  // the type is scaled; set again after every registra().
  void agio(const QWidget *w, double orizzontale, double verticale);
  // The factor the type of control w is drawn at.
  [[nodiscard]] double fattoreCaratteri(const QWidget *w) const;

 private:
  struct Voce {
    QPointer<QWidget> w;
    Rapporti r;
    QFont carattere;            // as designed
    bool carattereProprio = false;  // set on the control itself, not taken from its parent
    double agioO = 1, agioV = 1;    // room of the box for larger type, across and down
  };
  void caratteriDiProgetto();
  [[nodiscard]] double fattore(const Voce &v) const;
  QPointer<QWidget> m_client;
  QList<Voce> m_voci;
  QSize m_progetto;
  bool m_spostaCombo = false;
  bool m_caratteri = false;
};

// A diagonal line across its own rectangle; two of them make a cross. Lines are
// laid by their window, never by the proportional layout.
class Linea : public QWidget {
  Q_OBJECT
 public:
  enum class Verso { Discendente, Ascendente };  // top-left to bottom-right, bottom-left to top-right
  Linea(Verso verso, QWidget *genitore);
  void copri(const QRect &r) { setGeometry(r); }

 protected:
  void paintEvent(QPaintEvent *) override;

 private:
  Verso m_verso;
};
