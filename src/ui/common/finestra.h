#pragma once

#include "ui/common/resize.h"

#include <QMainWindow>

class QMenu;

// A window of the program: a client area of a design size in twips, painted in
// its back colour, an optional menu bar, and (when asked) the proportional
// layout of its controls.
class Finestra : public QMainWindow {
  Q_OBJECT
 public:
  Finestra(const QString &nome, const QString &titolo, QSize clientTwips, const QColor &sfondo,
           QWidget *genitore = nullptr);

  [[nodiscard]] QWidget *client() const { return m_client; }
  // Adds a top-level menu entry that acts when chosen.
  QAction *voceMenu(const QString &nome, const QString &testo);
  // Records the design layout of every control; from then on a resize rescales them.
  void registraLayout(bool spostaCombo = false);
  [[nodiscard]] Resize &layout() { return m_layout; }
  // Sets the window to its design size (client area plus menu bar).
  void dimensioneProgetto();
  [[nodiscard]] QSize clientProgetto() const { return m_progetto; }
  // Gives the client area a new design size and records the layout anew: the
  // controls must stand at their design places when this is called.
  void nuovoProgetto(QSize clientTwips);
  // Type that grows with the window, as the places do.
  void scalaCaratteri(bool si) { m_layout.scalaCaratteri(si); }
  // While the window draws or prints a step at a time, letting events through
  // between steps, a request to close it is kept until chiudiSeRichiesto().
  // So is a request to close a window it was opened from: closing a window
  // takes the windows opened from it along.
  void occupata(bool si) { m_occupata = si; }
  [[nodiscard]] bool occupata() const { return m_occupata; }
  // Whether it, or a window opened from it, is busy.
  [[nodiscard]] bool inLavoro() const;
  // Closes the window if it was asked to while busy, then the windows it was
  // opened from that were asked to meanwhile.
  void chiudiSeRichiesto();

 Q_SIGNALS:
  void ridimensionato();

 protected:
  bool event(QEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;
  void closeEvent(QCloseEvent *e) override;
  // Called after the controls have been moved for a new client size.
  virtual void dopoRidimensionamento() {}

 private:
  QWidget *m_client;
  QSize m_progetto;
  Resize m_layout;
  bool m_proporzionale = false;
  bool m_occupata = false;
  bool m_chiudiDopo = false;
  bool m_eliminaDopo = false;
};
