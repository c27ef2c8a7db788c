#pragma once

#include "app/opzioni.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QPushButton;

// The options window: the compensatory tools a teacher switches on for this
// machine or, with a pupil chosen, for that pupil alone (their plan). Each box
// acts as soon as it is ticked or cleared; the window only reports the change.
class FrmOpzioni : public QDialog {
  Q_OBJECT
 public:
  // The options of the machine, or of the plan the options hold when there is one.
  explicit FrmOpzioni(SceltaOpzioni &opzioni, QWidget *genitore = nullptr);
  // The plan of the pupil named `alunno`: a pupil without one starts from the
  // machine's options, and gets a plan of their own at the first change.
  FrmOpzioni(SceltaOpzioni &opzioni, const QString &alunno, QWidget *genitore = nullptr);

  // The boxes of the window, one per option it offers, in order.
  [[nodiscard]] const QList<QCheckBox *> &caselle() const { return m_caselle; }
  // Shows a warning below the boxes (a plan that could not be kept).
  void avvisa(const QString &testo);

 Q_SIGNALS:
  // The options in force have changed.
  void cambiate();
  // "Server della scuola…": this computer's way to the school's server.
  void serverRichiesto();

 private:
  void mostraPiano();

  SceltaOpzioni &m_opzioni;
  QString m_alunno;
  bool m_perAlunno = false;
  QList<QCheckBox *> m_caselle;
  QLabel *m_lblPiano = nullptr;
  QLabel *m_lblAvviso = nullptr;
  QPushButton *m_cmdComputer = nullptr;
};
