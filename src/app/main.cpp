#include "ui/programma/programma.h"

#include <QApplication>
#include <QFileDialog>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  ImpostaApplicazione();
  Programma programma(argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString());
  QObject::connect(&programma.finestre, &Finestre::fine, &app, &QApplication::quit, Qt::QueuedConnection);
  programma.avvia();
  return QApplication::exec();
}
