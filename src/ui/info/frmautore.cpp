#include "ui/info/frmautore.h"

frmAutore::frmAutore(QWidget *genitore) : QDialog(genitore) {
  setObjectName(QStringLiteral("frmAutore"));
  setWindowTitle(QStringLiteral("Autore"));
}
