#pragma once

#include <QDialog>

class QButtonGroup;
class QListWidget;

// The choice of the unit family and of the size of the values, for the
// teacher: all twelve families, each with its system, its units and its
// symbols. A choice is put in force at once; the window only reports it.
class FrmLivello : public QDialog {
  Q_OBJECT
 public:
  FrmLivello(int intLivello, int intCifre, QWidget *genitore = nullptr);

  // The text of a family's row: system, units and symbols.
  [[nodiscard]] static QString RigaFamiglia(int intLivello);

 Q_SIGNALS:
  // The family or the digits setting chosen (1..12, 1..2).
  void scelto(int intLivello, int intCifre);

 private:
  void sceltaFatta();

  QListWidget *m_famiglie = nullptr;
  QButtonGroup *m_cifre = nullptr;
};
