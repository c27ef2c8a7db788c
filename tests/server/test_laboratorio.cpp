// The simulated lab: twenty computers, each its own process running the
// program's own register and sender, write twenty exercises of twenty
// operations each while the server is restarted twice as in a crash and the
// network is cut mid-batch. Afterwards the server holds every one of the
// 8 000 operations exactly once, and no computer has anything left to send.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

#include "provaserver.h"
#include "staffetta.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kComputer = 20;
constexpr int kOperazioni = kComputer * 20 * 20;
constexpr int kAttesa = 420000;    // ms: generous, twenty processes share the machine
constexpr int kAvanti = 3 * 3600;  // lab-07's clock, seconds ahead of the server

QString Nome(int i) {
  return u"lab-%1"_s.arg(i, 2, 10, QChar(u'0'));
}

}  // namespace

class TestLaboratorio : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
    QVERIFY(m_pg.esegui(u"INSERT INTO classi (nome) VALUES ('Laboratorio')"_s));
    QVERIFY(
        m_pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT c.id, 'Alunno ' || lpad(n::text, 2, '0')"
                    u" FROM classi c, generate_series(1, 20) n"_s));
  }

  void shouldHoldEveryOperationOnceThroughRestartsAndCuts() {
    Staffetta rete(m_pg.porta());
    QTemporaryDir cartella;
    const QString programma =
        QDir(QCoreApplication::applicationDirPath()).filePath(u"computer_laboratorio"_s);
    std::vector<std::unique_ptr<QProcess>> computer;
    for (int i = 1; i <= kComputer; ++i) {
      auto p = std::make_unique<QProcess>();
      p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      p->start(programma,
               {cartella.filePath(Nome(i) + u".sqlite"_s), QString::number(rete.porta()),
                m_pg.certificatoCA(), QString::fromLatin1(PostgresPrivato::kPasswordComputer), Nome(i),
                u"Alunno %1"_s.arg(i, 2, 10, QChar(u'0')), QString::number(i == 7 ? kAvanti : 0)});
      QVERIFY2(p->waitForStarted(), qPrintable(p->errorString()));
      computer.push_back(std::move(p));
    }
    const auto finiti = [&] {
      return std::all_of(computer.begin(), computer.end(),
                         [](const auto &p) { return p->state() == QProcess::NotRunning; });
    };

    // The server goes down as in a crash while the lab writes, the network is
    // cut under the batches in flight, then the server goes down once more.
    QTRY_VERIFY_WITH_TIMEOUT(operazioni() >= kOperazioni / 8, kAttesa);
    QVERIFY(!finiti());
    riavvia();
    QTRY_VERIFY_WITH_TIMEOUT(operazioni() >= kOperazioni * 3 / 8, kAttesa);
    rete.rifiuta(true);
    rete.taglia();
    QTRY_VERIFY_WITH_TIMEOUT(rete.tentativi() >= rete.accettate() + 10, kAttesa);
    rete.rifiuta(false);
    QTRY_VERIFY_WITH_TIMEOUT(operazioni() >= kOperazioni * 5 / 8, kAttesa);
    riavvia();

    QTRY_VERIFY_WITH_TIMEOUT(finiti(), kAttesa);
    for (int i = 0; i < kComputer; ++i) {
      QCOMPARE(computer[i]->exitStatus(), QProcess::NormalExit);
      QVERIFY2(computer[i]->exitCode() == 0, qPrintable(Nome(i + 1)));
    }
    QVERIFY(rete.tagliate() > 0);

    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), kOperazioni);
    QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi"_s).toInt(), kComputer * 20);
    // Each exercise whole and finished, under its own computer and pupil.
    QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi e JOIN alunni a ON a.id = e.alunno"
                      u" WHERE e.stato = 1 AND e.operazioni = 20 AND e.esatte = 20"
                      u" AND (SELECT count(*) FROM operazioni o WHERE o.esercizio = e.id) = 20"
                      u" AND a.nome = 'Alunno ' || substr(e.computer, 5)"_s)
                 .toInt(),
             kComputer * 20);
    QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), kOperazioni + kOperazioni / 4);
    QCOMPARE(s.valore(u"SELECT count(*) FROM computer WHERE in_attesa = 0"_s).toInt(), kComputer);
    const int scarto = s.valore(u"SELECT scarto FROM computer WHERE nome = 'lab-07'"_s).toInt();
    QVERIFY2(qAbs(scarto - kAvanti) < 300, qPrintable(QString::number(scarto)));
    for (int i = 1; i <= kComputer; ++i) {
      Sguardo qui(cartella.filePath(Nome(i) + u".sqlite"_s));
      QCOMPARE(qui.valore(u"SELECT count(*) FROM uscita"_s).toInt(), 0);
      QCOMPARE(qui.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 400);
    }
  }

 private:
  // The operations the server holds now (0 while it is down).
  int operazioni() {
    int n = 0;
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, u"conta"_s);
      db.setHostName(m_pg.socket());
      db.setPort(m_pg.porta());
      db.setUserName(u"postgres"_s);
      db.setDatabaseName(u"vornel"_s);
      if (db.open()) {
        QSqlQuery q(db);
        if (q.exec(u"SELECT count(*) FROM operazioni"_s) && q.next()) n = q.value(0).toInt();
      }
    }
    QSqlDatabase::removeDatabase(u"conta"_s);
    return n;
  }

  // pg_ctl restart -m immediate, off this thread: the relay on it keeps running.
  void riavvia() {
    std::atomic<int> esito{0};
    std::thread t([&] { esito = m_pg.riavvia(true) ? 1 : -1; });
    QTRY_VERIFY_WITH_TIMEOUT(esito != 0, kAttesa);
    t.join();
    QCOMPARE(esito.load(), 1);
  }

  PostgresPrivato m_pg;
};

QTEST_GUILESS_MAIN(TestLaboratorio)
#include "test_laboratorio.moc"
