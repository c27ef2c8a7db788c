#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

// Proportional layout: every control keeps its place and size as fractions of
// the window's client area recorded once, when the window is built. The
// fractions are never recomputed, so shrinking and enlarging again restores the
// design layout exactly. Fonts are left alone.
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

 private:
  struct Voce {
    QPointer<QWidget> w;
    Rapporti r;
  };
  QPointer<QWidget> m_client;
  QList<Voce> m_voci;
  bool m_spostaCombo = false;
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
