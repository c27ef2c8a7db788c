// The floor of a register of its own: the bare window of bench_baseline that,
// at its first paint, writes one exercise of twenty operations to a SQLite
// file through Qt SQL (WAL, a transaction per operation, as a pupil's answers
// are written), then quits. Its peak memory over the bare window's is what
// any program pays for recording in SQLite through Qt SQL.
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "sqlitenudo.h"

namespace {

bool Scrivi(const QString &cartella) {
  SqliteNudo registro;
  bool ok = registro.apri(cartella + QStringLiteral("/registro.sqlite"));
  for (int n = 1; ok && n <= 20; ++n) ok = registro.operazione(n);
  return ok && registro.chiudi(20);
}

class PrimoDisegno : public QObject {
 public:
  explicit PrimoDisegno(QString cartella) : m_cartella(std::move(cartella)) {}
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Paint && !m_fatto) {
      m_fatto = true;
      if (!Scrivi(m_cartella)) std::fprintf(stderr, "baseline_sqlite: the exercise was not written\n");
      QApplication::quit();
    }
    return QObject::eventFilter(o, e);
  }

 private:
  QString m_cartella;
  bool m_fatto = false;
};

}  // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QTemporaryDir cartella;
  QWidget w;
  w.resize(640, 480);
  PrimoDisegno filtro(cartella.path());
  w.installEventFilter(&filtro);
  w.show();
  return QApplication::exec();
}
