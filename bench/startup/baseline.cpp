// The baseline: a bare Qt Widgets program with one top-level window, shown,
// then quit at its first paint.
#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class PrimoDisegno : public QObject {
 public:
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Paint) QApplication::quit();
    return QObject::eventFilter(o, e);
  }
};

}  // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QWidget w;
  w.resize(640, 480);
  PrimoDisegno filtro;
  w.installEventFilter(&filtro);
  w.show();
  return QApplication::exec();
}
