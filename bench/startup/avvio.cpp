// The program measured the way the baseline is: the start window built as main
// builds it (level file read), shown, then quit at its first paint.
#include "ui/programma/programma.h"

#include <QApplication>
#include <QEvent>

namespace {

class PrimoDisegno : public QObject {
 public:
  bool eventFilter(QObject *, QEvent *e) override {
    if (e->type() == QEvent::Paint) QApplication::quit();
    return false;
  }
};

}  // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  ImpostaApplicazione();
  Programma programma(QStringLiteral("vornel"));
  PrimoDisegno filtro;
  frmInizio *inizio = programma.avvia();
  inizio->installEventFilter(&filtro);
  return QApplication::exec();
}
