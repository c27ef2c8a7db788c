#pragma once

// What the tests of the computers' side of the school's server share: a plain
// look into a register file, an exercise's settings, and a computer's settings
// for the private server.
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include "registro/configserver.h"
#include "registro/dati.h"
#include "support/postgresprivato.h"

// Another program's plain connection to a database (a register file, or the
// server as its superuser), one statement at a time.
class Sguardo {
 public:
  explicit Sguardo(const QString &file) : m_nome(QStringLiteral("sguardo-%1").arg(++s_n)) {
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
    d.setDatabaseName(file);
    d.open();
  }
  Sguardo(PostgresPrivato &pg) : m_nome(QStringLiteral("sguardo-%1").arg(++s_n)) {
    (void)pg.superutente(m_nome, QStringLiteral("vornel"));
  }
  ~Sguardo() {
    QSqlDatabase::database(m_nome, false).close();
    QSqlDatabase::removeDatabase(m_nome);
  }
  Sguardo(const Sguardo &) = delete;
  Sguardo &operator=(const Sguardo &) = delete;
  QVariant valore(const QString &sql, const QVariantList &parametri = {}) {
    QSqlQuery q(QSqlDatabase::database(m_nome, false));
    q.prepare(sql);
    for (const QVariant &p : parametri) q.addBindValue(p);
    if (!q.exec() || !q.next()) return {};
    return q.value(0);
  }
  bool esegui(const QString &sql, const QVariantList &parametri = {}) {
    QSqlQuery q(QSqlDatabase::database(m_nome, false));
    q.prepare(sql);
    for (const QVariant &p : parametri) q.addBindValue(p);
    return q.exec();
  }

 private:
  QString m_nome;
  static inline int s_n = 0;
};

inline DatiEsercizio Apertura(std::optional<qint64> alunno, int famiglia = 9) {
  DatiEsercizio d;
  d.alunno = alunno;
  d.famiglia = famiglia;
  d.cifre = 2;
  d.cosa = 3;
  d.ordine = 2;
  d.inizio = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 30));
  return d;
}

// This computer as the private server knows it (TLS checked against the test's CA).
inline ConfigServer Computer(const PostgresPrivato &pg, int porta,
                             const QString &nome = QStringLiteral("lab-01")) {
  ConfigServer c;
  c.host = QStringLiteral("127.0.0.1");
  c.porta = porta;
  c.password = QString::fromLatin1(PostgresPrivato::kPasswordComputer);
  c.sslmode = QStringLiteral("verify-full");
  c.sslrootcert = pg.certificatoCA();
  c.computer = nome;
  c.connectTimeout = 3;
  c.tcpUserTimeout = 5000;
  return c;
}
