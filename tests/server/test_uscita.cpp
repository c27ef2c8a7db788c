// The computer's side of the school's server, in the register itself: the
// step to version 6 gives every class and pupil its own uuid, and the outbox
// is written with the change it announces, only where a server is set.
#include <QSqlQuery>
#include <QTest>

#include "provaserver.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/registroprova.h"
#include "registro/schema.h"

using namespace Qt::StringLiterals;

class TestUscita : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldGiveEveryClassAndPupilItsOwnUuidOnTheStepUp();
  void shouldNeverGrowAnOutboxWithoutAServer();
  void shouldAnnounceEachChangeOnce_data();
  void shouldAnnounceEachChangeOnce();
  void shouldAnnounceNothingThatWasNotWritten();
  void shouldAnnounceTheClosingOfWhatACopyLeftUnderWay();
};

void TestUscita::shouldGiveEveryClassAndPupilItsOwnUuidOnTheStepUp() {
  RegistroProva p;
  {
    Sguardo s(p.file);
    for (int v = 1; v <= 5; ++v)
      for (const QString &istruzione : PassoMigrazione(v))
        QVERIFY2(s.esegui(istruzione), qPrintable(istruzione));
    QVERIFY(s.esegui(u"INSERT INTO classi (id, nome) VALUES (1, '3ª A'), (2, '3ª B')"_s));
    QVERIFY(s.esegui(
        u"INSERT INTO alunni (id, classe, nome) VALUES (1, 1, 'Zoë'), (2, 1, 'Luca'), (3, 2, 'Zoë')"_s));
    QVERIFY(
        s.esegui(u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio)"
                 u" VALUES ('e1', 1, 1, 9, 1, 1, 1, '2026-11-30T09:00:00')"_s));
  }
  Registro r(p.file);
  QVERIFY(r.apri());
  QVERIFY(!r.prendiMessaggio());
  const qint64 nuovo = r.nuovoAlunno(2, u"Ada"_s).id;
  const qint64 nuova = r.nuovaClasse(u"4ª A"_s).id;
  QVERIFY(nuovo > 0 && nuova > 0);
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"PRAGMA user_version"_s).toInt(), 6);
  QCOMPARE(s.valore(u"SELECT count(*) FROM alunni"_s).toInt(), 4);
  QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi WHERE alunno = 1"_s).toInt(), 1);
  // Each its own, in the form the server writes (version 4, lower case); none
  // mirrored from a server.
  QCOMPARE(s.valore(u"SELECT count(DISTINCT uuid) FROM (SELECT uuid FROM classi WHERE remoto = 0"
                    u" UNION ALL SELECT uuid FROM alunni WHERE remoto = 0)"_s)
               .toInt(),
           3 + 4);
  QCOMPARE(s.valore(u"SELECT count(*) FROM (SELECT uuid FROM classi UNION ALL SELECT uuid FROM alunni)"
                    u" WHERE uuid LIKE '________-____-4___-____-____________'"
                    u" AND substr(uuid, 20, 1) IN ('8', '9', 'a', 'b') AND uuid NOT GLOB '*[^0-9a-f-]*'"_s)
               .toInt(),
           3 + 4);
  // Two rows can't share one.
  QVERIFY(!s.esegui(u"UPDATE alunni SET uuid = (SELECT uuid FROM alunni WHERE id = 1) WHERE id = 2"_s));
}

void TestUscita::shouldNeverGrowAnOutboxWithoutAServer() {
  RegistroProva p;
  {
    Registro r(p.file);
    RegistrazioneEsercizio reg(r);
    QVERIFY(reg.inizia(Apertura(std::nullopt)));
    for (int n = 1; n <= 3; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n)));
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 3);
  QCOMPARE(s.valore(u"SELECT count(*) FROM sqlite_schema WHERE name = 'uscita'"_s).toInt(), 0);
}

void TestUscita::shouldAnnounceEachChangeOnce_data() {
  QTest::addColumn<int>("operazioni");
  QTest::addColumn<bool>("interrotto");
  QTest::addColumn<int>("annunci");
  // Opened, then each operation; the twentieth closes it in its own write.
  QTest::newRow("whole exercise") << 20 << false << 21;
  // Opened, three operations, then closed unfinished.
  QTest::newRow("left after three") << 3 << true << 5;
  QTest::newRow("left at once") << 0 << true << 2;
}

void TestUscita::shouldAnnounceEachChangeOnce() {
  QFETCH(int, operazioni);
  QFETCH(bool, interrotto);
  QFETCH(int, annunci);
  RegistroProva p;
  int svegliato = 0;
  {
    Registro r(p.file);
    r.impostaUscita(true);
    RegistrazioneEsercizio reg(r);
    reg.quandoAnnuncia([&] { ++svegliato; });
    QVERIFY(reg.inizia(Apertura(std::nullopt)));
    for (int n = 1; n <= operazioni; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n, {u"unita"_s})));
    // The same operation written again (a retried write) changes nothing.
    if (operazioni > 0 && interrotto) QVERIFY(reg.operazioneChiusa(Operazione(operazioni)));
    if (interrotto) QVERIFY(reg.interrompi());
    // Closed already: nothing changes, nothing is announced.
    QVERIFY(reg.interrompi());
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT count(*) FROM uscita"_s).toInt(), annunci);
  QCOMPARE(svegliato, annunci);
  QCOMPARE(s.valore(u"SELECT count(*) FROM uscita WHERE numero IS NOT NULL"_s).toInt(), operazioni);
  QCOMPARE(
      s.valore(u"SELECT count(DISTINCT esercizio) FROM uscita u JOIN esercizi e ON e.uuid = u.esercizio"_s)
          .toInt(),
      1);
  // In the order they happened.
  QCOMPARE(
      s.valore(
           u"SELECT group_concat(coalesce(numero, 0), ',') FROM (SELECT numero FROM uscita ORDER BY id)"_s)
          .toString()
          .section(u',', 0, 1),
      operazioni > 0 ? u"0,1"_s : u"0,0"_s);
}

void TestUscita::shouldAnnounceNothingThatWasNotWritten() {
  RegistroProva p;
  Registro r(p.file);
  r.impostaUscita(true);
  QVERIFY(r.apri());
  // The outbox refuses the third operation's announcement: the operation is
  // not written either, so nothing ever lies in the register unannounced.
  {
    QSqlQuery q(r.db());
    QVERIFY(
        q.exec(u"CREATE TRIGGER rifiuta BEFORE INSERT ON uscita WHEN NEW.numero = 3"
               u" BEGIN SELECT RAISE(ABORT, 'no'); END"_s));
  }
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Apertura(std::nullopt)));
  for (int n = 1; n <= 4; ++n) (void)reg.operazioneChiusa(Operazione(n));
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT group_concat(numero) FROM (SELECT numero FROM operazioni ORDER BY numero)"_s)
               .toString(),
           u"1,2,4"_s);
  QCOMPARE(s.valore(u"SELECT group_concat(numero) FROM (SELECT numero FROM uscita WHERE numero IS NOT NULL"
                    u" ORDER BY id)"_s)
               .toString(),
           u"1,2,4"_s);
  QCOMPARE(s.valore(u"SELECT operazioni FROM esercizi"_s).toInt(), 3);
}

void TestUscita::shouldAnnounceTheClosingOfWhatACopyLeftUnderWay() {
  RegistroProva p;
  {
    Registro r(p.file);
    r.impostaUscita(true);
    RegistrazioneEsercizio reg(r);
    QVERIFY(reg.inizia(Apertura(std::nullopt)));
    QVERIFY(reg.operazioneChiusa(Operazione(1)));
    // The copy ends as in a crash: the exercise stays under way, its outbox sent.
    Sguardo s(p.file);
    QVERIFY(s.esegui(u"UPDATE esercizi SET copia = 'una copia finita'"_s));
    QVERIFY(s.esegui(u"DELETE FROM uscita"_s));
  }
  Registro r(p.file);
  r.impostaUscita(true);
  QVERIFY(r.apri());
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT stato FROM esercizi"_s).toInt(), 2);
  QCOMPARE(s.valore(u"SELECT count(*) FROM uscita u JOIN esercizi e ON e.uuid = u.esercizio"
                    u" WHERE u.numero IS NULL"_s)
               .toInt(),
           1);
}

QTEST_GUILESS_MAIN(TestUscita)
#include "test_uscita.moc"
