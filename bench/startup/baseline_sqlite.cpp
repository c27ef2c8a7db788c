// The floor of a register of its own: the bare window of bench_baseline that,
// at its first paint, writes one exercise of twenty operations to a SQLite
// file through Qt SQL (WAL, a transaction per operation, as a pupil's answers
// are written), then quits. Its peak memory over the bare window's is what
// any program pays for recording in SQLite through Qt SQL.
#include <QApplication>
#include <QEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

namespace {

bool Scrivi(const QString &cartella) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
  db.setDatabaseName(cartella + QStringLiteral("/registro.sqlite"));
  if (!db.open()) return false;
  QSqlQuery q(db);
  bool ok = q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
            q.exec(QStringLiteral("CREATE TABLE esercizi (id INTEGER PRIMARY KEY, alunno INTEGER, famiglia INTEGER, "
                                  "inizio TEXT, fine TEXT, esatte INTEGER)")) &&
            q.exec(QStringLiteral("CREATE TABLE operazioni (id INTEGER PRIMARY KEY, esercizio INTEGER REFERENCES "
                                  "esercizi(id), numero INTEGER, testo TEXT, risposta TEXT, esatta INTEGER, ms INTEGER)")) &&
            q.exec(QStringLiteral("INSERT INTO esercizi (alunno, famiglia, inizio) VALUES (1, 2, datetime('now'))"));
  const qint64 esercizio = q.lastInsertId().toLongLong();
  for (int n = 1; ok && n <= 20; ++n) {
    ok = db.transaction();
    q.prepare(QStringLiteral("INSERT INTO operazioni (esercizio, numero, testo, risposta, esatta, ms) "
                             "VALUES (?, ?, ?, ?, 1, 4200)"));
    q.addBindValue(esercizio);
    q.addBindValue(n);
    q.addBindValue(QStringLiteral("12 hk + 7 da = ... u"));
    q.addBindValue(QStringLiteral("1.270"));
    ok = ok && q.exec() && db.commit();
  }
  return ok && q.exec(QStringLiteral("UPDATE esercizi SET fine = datetime('now'), esatte = 20"));
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
