// Recording an exercise in SQLite through Qt SQL and nothing else: a file of
// two tables, WAL, a transaction per operation, as a pupil's answers are
// written. The floors of the memory benchmarks record with it.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

class SqliteNudo {
 public:
  // Opens (creates) the file and the exercise; false when it can't.
  bool apri(const QString &file) {
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    m_db.setDatabaseName(file);
    if (!m_db.open()) return false;
    QSqlQuery q(m_db);
    const bool ok =
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
        q.exec(QStringLiteral("CREATE TABLE esercizi (id INTEGER PRIMARY KEY, alunno INTEGER, famiglia INTEGER, "
                              "inizio TEXT, fine TEXT, esatte INTEGER)")) &&
        q.exec(QStringLiteral("CREATE TABLE operazioni (id INTEGER PRIMARY KEY, esercizio INTEGER REFERENCES "
                              "esercizi(id), numero INTEGER, testo TEXT, risposta TEXT, esatta INTEGER, ms INTEGER)")) &&
        q.exec(QStringLiteral("INSERT INTO esercizi (alunno, famiglia, inizio) VALUES (1, 2, datetime('now'))"));
    m_esercizio = q.lastInsertId().toLongLong();
    return ok;
  }
  // The operation numbered n, in a transaction of its own.
  bool operazione(int n) {
    if (!m_db.transaction()) return false;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO operazioni (esercizio, numero, testo, risposta, esatta, ms) "
                             "VALUES (?, ?, ?, ?, 1, 4200)"));
    q.addBindValue(m_esercizio);
    q.addBindValue(n);
    q.addBindValue(QStringLiteral("12 hk + 7 da = ... u"));
    q.addBindValue(QStringLiteral("1.270"));
    return q.exec() && m_db.commit();
  }
  bool chiudi(int esatte) {
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("UPDATE esercizi SET fine = datetime('now'), esatte = ? WHERE id = ?"));
    q.addBindValue(esatte);
    q.addBindValue(m_esercizio);
    return q.exec();
  }

 private:
  QSqlDatabase m_db;
  qint64 m_esercizio = 0;
};
