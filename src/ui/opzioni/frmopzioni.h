#pragma once

#include "app/opzioni.h"

#include <QDialog>
#include <QList>

class QCheckBox;

// The options window: the compensatory tools a teacher switches on for this
// machine (or, once a pupil is chosen, for that pupil). Each box acts as soon
// as it is ticked or cleared; the window only reports the change.
class FrmOpzioni : public QDialog {
  Q_OBJECT
 public:
  explicit FrmOpzioni(SceltaOpzioni &opzioni, QWidget *genitore = nullptr);

  // The boxes of the window, one per option it offers, in order.
  [[nodiscard]] const QList<QCheckBox *> &caselle() const { return m_caselle; }

 Q_SIGNALS:
  // The options in force have changed.
  void cambiate();

 private:
  SceltaOpzioni &m_opzioni;
  QList<QCheckBox *> m_caselle;
};
