#pragma once

#include <QDialog>

// The author window: where to find the program's authors. Fixed layout, one command.
class frmAutore : public QDialog {
  Q_OBJECT
 public:
  explicit frmAutore(QWidget *genitore = nullptr);

  static const QString kSito;
  static const QString kEmail;
};
