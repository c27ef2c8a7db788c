// A computer of the lab sending to a real PostgreSQL: the program starts
// sending where the machine names a server, what the recording writes reaches
// the server once and leaves the outbox, a batch whose answer was lost is sent
// again and kept once, exercises of a pupil the server no longer has (or one
// the server can't take) stay on the computer only, the server's pupils,
// plans, renames and erasures reach the computer, and a fault a person must
// put right is told once in Italian while an outage is not told at all.
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <atomic>

// The windows' state first: its Operazione is a type, the tests' a function.
// clang-format off
#include "ui/registro/quadernoregistro.h"
// clang-format on
#include "provaserver.h"
#include "registro/invio.h"
#include "registro/piani.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/registroprova.h"
#include "registro/schemaserver.h"
#include "registro/riflesso.h"
#include "staffetta.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kAttesa = 30000;  // ms: generous, the machine may be slow

// Short waits: a test need not sit through the program's.
Invio::Impostazioni Svelte() {
  Invio::Impostazioni i;
  i.primaAttesa = 50;
  i.massimaAttesa = 400;
  i.intervalloLettura = 200;
  return i;
}

// A computer: the program's own register behind its windows, sending.
struct Postazione {
  RegistroProva p;
  QuadernoRegistro quaderno{p.file};
  Registro &registro = quaderno.registro();
  RegistrazioneEsercizio &reg = quaderno.registrazione();

  Postazione(const ConfigServer &config, Invio::Impostazioni imp = Svelte()) {
    quaderno.avviaInvio(config, std::move(imp));
  }
  Invio *invio() const { return quaderno.invio(); }

  // The id here of the server's pupil `nome` (0 until it arrived).
  qint64 alunno(const QString &nome) {
    for (const Classe &c : Riflesso::Classi(registro))
      for (const Alunno &a : Riflesso::Alunni(registro, c.id))
        if (a.nome == nome) return a.id;
    return 0;
  }
  int inUscita() {
    Sguardo s(p.file);
    return s.valore(u"SELECT count(*) FROM uscita"_s).toInt();
  }
  void esercizio(std::optional<qint64> alunno, int operazioni) {
    QVERIFY(reg.inizia(Apertura(alunno)));
    for (int n = 1; n <= operazioni; ++n) {
      OperazioneChiusa op = Operazione(n, n % 3 ? QStringList{} : QStringList{u"virgola+1"_s});
      op.caso = 1 + n % 12;
      QVERIFY(reg.operazioneChiusa(op));
    }
  }
};

}  // namespace

class TestInvio : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
    QVERIFY(m_pg.esegui(u"INSERT INTO classi (nome) VALUES ('3ª A')"_s));
    QVERIFY(
        m_pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT id, unnest(ARRAY['Anna', 'Bruno', 'Carla',"
                    u" 'Dario']) FROM classi"_s));
  }

  void cleanup() { QVERIFY(m_pg.esegui(u"TRUNCATE esercizi, computer CASCADE"_s)); }

  void shouldSendWhatIsRecordedOnceAndEmptyTheOutbox() {
    // Three hours ahead of the server: recorded as such, nothing lost for it.
    Invio::Impostazioni imp = Svelte();
    imp.orologio = [] { return QDateTime::currentDateTime().addSecs(3 * 3600); };
    Postazione pc(Computer(m_pg, m_pg.porta(), u"lab-03"_s), imp);
    QTRY_VERIFY_WITH_TIMEOUT(pc.alunno(u"Anna"_s) > 0, kAttesa);
    pc.esercizio(pc.alunno(u"Anna"_s), 20);
    pc.esercizio(std::nullopt, 3);
    QVERIFY(pc.reg.interrompi());
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    QTRY_COMPARE_WITH_TIMEOUT(pc.invio()->inAttesa(), 0, kAttesa);
    QVERIFY(pc.invio()->ultimoContatto().isValid());
    QVERIFY(!pc.invio()->prendiMessaggio());

    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 23);
    QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), 23 + 7);
    QCOMPARE(s.valore(u"SELECT string_agg(stato || ':' || operazioni || ':' || coalesce(a.nome, '-'), ','"
                      u" ORDER BY operazioni DESC) FROM esercizi e LEFT JOIN alunni a ON a.id = e.alunno"_s)
                 .toString(),
             u"1:20:Anna,2:3:-"_s);
    QCOMPARE(s.valore(u"SELECT errore FROM esercizi WHERE operazioni = 20"_s).toString(), u"virgola+1"_s);
    // Anna's boxes came with her exercise.
    QVERIFY(s.valore(u"SELECT count(*) FROM casi c JOIN alunni a ON a.id = c.alunno WHERE a.nome = 'Anna'"_s)
                .toInt() > 0);
    QCOMPARE(s.valore(u"SELECT computer FROM esercizi LIMIT 1"_s).toString(), u"lab-03"_s);
    const int scarto = s.valore(u"SELECT scarto FROM computer WHERE nome = 'lab-03'"_s).toInt();
    QVERIFY2(qAbs(scarto - 3 * 3600) < 120, qPrintable(QString::number(scarto)));
    QCOMPARE(s.valore(u"SELECT in_attesa FROM computer"_s).toInt(), 0);
  }

  void shouldSendAgainWhenTheCommitsAnswerIsLostAndKeepOneCopy() {
    std::atomic<int> commit{0};
    Invio::Impostazioni imp = Svelte();
    imp.lotto = 8;
    // The first two answers to a committed batch never arrive.
    imp.dopoCommit = [&commit] { return ++commit > 2; };
    Postazione pc(Computer(m_pg, m_pg.porta()), imp);
    QTRY_VERIFY_WITH_TIMEOUT(pc.alunno(u"Bruno"_s) > 0, kAttesa);
    pc.esercizio(pc.alunno(u"Bruno"_s), 20);
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    QVERIFY(commit >= 3 + 2);
    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 20);
    QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), 20 + 6);
    QCOMPARE(s.valore(u"SELECT operazioni || ':' || esatte || ':' || stato FROM esercizi"_s).toString(),
             u"20:20:1"_s);
  }

  void shouldKeepHereOnlyWhatThePupilTheServerNoLongerHasDid() {
    Postazione pc(Computer(m_pg, m_pg.porta()));
    QTRY_VERIFY_WITH_TIMEOUT(pc.alunno(u"Carla"_s) > 0, kAttesa);
    // A pupil of this computer only: the server refuses their exercise.
    const qint64 locale = pc.registro.nuovoAlunno(pc.registro.classi().value(0).id, u"Ospite"_s).id;
    QVERIFY(locale > 0);
    pc.esercizio(locale, 4);
    pc.esercizio(pc.alunno(u"Carla"_s), 2);
    QVERIFY(pc.reg.interrompi());
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 2);
    Sguardo qui(pc.p.file);
    QCOMPARE(qui.valore(u"SELECT count(*) FROM operazioni o JOIN esercizi e ON e.id = o.esercizio"
                        u" WHERE e.alunno = ?"_s,
                        {locale})
                 .toInt(),
             4);
  }

  void shouldNotLetOneRefusedExerciseHoldUpTheRest() {
    Postazione pc(Computer(m_pg, m_pg.porta()));
    QTRY_VERIFY_WITH_TIMEOUT(pc.alunno(u"Carla"_s) > 0, kAttesa);
    // An exercise the server can't take (its id is no UUID), first in the outbox.
    {
      Sguardo qui(pc.p.file);
      QVERIFY(
          qui.esegui(u"INSERT INTO esercizi (uuid, famiglia, cifre, cosa, ordine, inizio)"
                     u" VALUES ('non-un-uuid', 1, 1, 1, 1, '2026-12-09T09:00:00')"_s));
      QVERIFY(qui.esegui(u"INSERT INTO uscita (esercizio) VALUES ('non-un-uuid')"_s));
    }
    pc.esercizio(pc.alunno(u"Carla"_s), 3);
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 3);
    Sguardo qui(pc.p.file);
    QCOMPARE(qui.valore(u"SELECT count(*) FROM esercizi WHERE uuid = 'non-un-uuid'"_s).toInt(), 1);
  }

  void shouldTellWhatAPersonMustPutRightOnce_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("certificato");
    QTest::addColumn<int>("versione");
    QTest::addColumn<bool>("lontano");
    QTest::addColumn<QString>("parola");
    QTest::newRow("wrong password") << u"sbagliata"_s << QString() << 1 << false << u"password"_s;
    QTest::newRow("certificate not ours")
        << QString() << u"/nessun/certificato.crt"_s << 1 << false << u"certificato"_s;
    QTest::newRow("older server") << QString() << QString() << 0 << false << u"più vecchia"_s;
    QTest::newRow("newer server") << QString() << QString() << 99 << false << u"più nuova"_s;
    // An outage is nobody's to put right: nothing is told.
    QTest::newRow("server away") << QString() << QString() << 1 << true << QString();
  }

  void shouldTellWhatAPersonMustPutRightOnce() {
    QFETCH(QString, password);
    QFETCH(QString, certificato);
    QFETCH(int, versione);
    QFETCH(bool, lontano);
    QFETCH(QString, parola);
    QVERIFY(m_pg.esegui(u"UPDATE vornel_versione SET versione = %1"_s.arg(versione)));
    const auto ripristina = qScopeGuard([&] { m_pg.esegui(u"UPDATE vornel_versione SET versione = 1"_s); });
    Staffetta rete(m_pg.porta());
    rete.rifiuta(lontano);
    ConfigServer config = Computer(m_pg, rete.porta());
    if (!password.isEmpty()) config.password = password;
    if (!certificato.isEmpty()) config.sslrootcert = certificato;
    Invio::Impostazioni imp = Svelte();
    imp.massimaAttesa = 50;
    Postazione pc(config, imp);
    QSignalSpy detti(pc.invio(), &Invio::guasto);
    pc.esercizio(std::nullopt, 2);
    // Tried again and again (the relay sees each try), told at most once.
    QTRY_VERIFY_WITH_TIMEOUT(rete.tentativi() >= 4, kAttesa);
    QCOMPARE(detti.size(), parola.isEmpty() ? 0 : 1);
    QCOMPARE(pc.inUscita(), 1 + 2);
    QTRY_COMPARE_WITH_TIMEOUT(pc.invio()->inAttesa(), 2, kAttesa);
    if (!parola.isEmpty()) {
      const QString messaggio = detti.first().at(1).toString();
      QVERIFY2(messaggio.contains(parola), qPrintable(messaggio));
      QCOMPARE(pc.invio()->prendiMessaggio(), std::optional<QString>(messaggio));
      QCOMPARE(pc.invio()->prendiMessaggio(), std::nullopt);
    }
    // Nothing in flight through the relay while the sender stops.
    rete.spegni();
  }

  void shouldTellTheServersDiskIsFullAndSendOnceThereIsRoom() {
    // The server's own refusal, as PostgreSQL gives it when it cannot extend a file.
    QVERIFY(m_pg.esegui(
        u"CREATE FUNCTION pieno() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
        u" RAISE EXCEPTION 'could not extend file: No space left on device' USING ERRCODE = 'disk_full';"
        u" END $$; CREATE TRIGGER pieno BEFORE INSERT OR UPDATE ON esercizi EXECUTE FUNCTION pieno()"_s));
    const auto svuota = qScopeGuard([&] {
      m_pg.esegui(u"DROP TRIGGER IF EXISTS pieno ON esercizi; DROP FUNCTION IF EXISTS pieno()"_s);
    });
    Postazione pc(Computer(m_pg, m_pg.porta()));
    QSignalSpy detti(pc.invio(), &Invio::guasto);
    pc.esercizio(std::nullopt, 3);
    QTRY_VERIFY_WITH_TIMEOUT(!detti.isEmpty(), kAttesa);
    QCOMPARE(detti.first().at(0).value<Invio::Guasto>(), Invio::Guasto::DiscoPieno);
    QVERIFY(detti.first().at(1).toString().contains(u"disco del server"_s));
    QTest::qWait(1000);  // tried again meanwhile, told once
    QCOMPARE(detti.size(), 1);
    QCOMPARE(pc.inUscita(), 1 + 3);
    QVERIFY(m_pg.esegui(u"DROP TRIGGER pieno ON esercizi"_s));
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 3);
  }

  void shouldStartSendingWhereTheMachineNamesAServer() {
    // The machine's file names the server; the user has none of their own.
    QTemporaryDir cartella;
    const QByteArray prima = qgetenv("XDG_CONFIG_HOME"), primaDirs = qgetenv("XDG_CONFIG_DIRS");
    const auto ripristina = qScopeGuard([&] {
      qputenv("XDG_CONFIG_HOME", prima);
      qputenv("XDG_CONFIG_DIRS", primaDirs);
    });
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(cartella.filePath(u"utente"_s)));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(cartella.filePath(u"sistema"_s)));
    QVERIFY(Computer(m_pg, m_pg.porta(), u"lab-09"_s).scriviFile(ConfigServer::FileSistema()));
    RegistroProva p;
    QuadernoRegistro quaderno(p.file);
    QVERIFY(quaderno.invio());
    quaderno.iniziaEsercizio(Apertura(std::nullopt));
    quaderno.operazioneChiusa(Operazione(1));
    const auto ricevute = [this] {
      Sguardo s(m_pg);
      return s.valore(u"SELECT sum(operazioni) FROM esercizi WHERE computer = 'lab-09'"_s).toInt();
    };
    QTRY_COMPARE_WITH_TIMEOUT(ricevute(), 1, kAttesa);
  }

  // Last: it changes the server's pupils.
  void shouldBringThePupilsTheirPlansRenamesAndErasures() {
    Staffetta rete(m_pg.porta());
    Postazione pc(Computer(m_pg, rete.porta()));
    QTRY_VERIFY_WITH_TIMEOUT(pc.alunno(u"Dario"_s) > 0, kAttesa);
    const qint64 anna = pc.alunno(u"Anna"_s), bruno = pc.alunno(u"Bruno"_s), dario = pc.alunno(u"Dario"_s);
    QCOMPARE(LeggiPiano(pc.registro, dario), std::nullopt);

    // Dario practises while the network is down: his work waits here.
    rete.rifiuta(true);
    rete.taglia();
    pc.esercizio(dario, 5);
    QVERIFY(pc.reg.interrompi());
    QCOMPARE(pc.inUscita(), 1 + 5 + 1);
    // Meanwhile the teacher swaps two names, gives Carla a plan and erases Dario.
    QVERIFY(m_pg.esegui(u"UPDATE alunni SET nome = 'x' WHERE nome = 'Anna'"_s));
    QVERIFY(m_pg.esegui(u"UPDATE alunni SET nome = 'Anna' WHERE nome = 'Bruno'"_s));
    QVERIFY(m_pg.esegui(u"UPDATE alunni SET nome = 'Bruno' WHERE nome = 'x'"_s));
    QVERIFY(
        m_pg.esegui(u"INSERT INTO piani (alunno, leggi_sempre, alto_contrasto)"
                    u" SELECT id, 1, 1 FROM alunni WHERE nome = 'Carla'"_s));
    QVERIFY(m_pg.esegui(u"DELETE FROM alunni WHERE nome = 'Dario'"_s));
    rete.rifiuta(false);

    QTRY_VERIFY_WITH_TIMEOUT(!pc.registro.alunno(dario), kAttesa);
    QTRY_COMPARE_WITH_TIMEOUT(pc.inUscita(), 0, kAttesa);
    // Known by their uuid: the same rows here, each with the other's name.
    QCOMPARE(pc.registro.alunno(anna)->nome, u"Bruno"_s);
    QCOMPARE(pc.registro.alunno(bruno)->nome, u"Anna"_s);
    Opzioni piano;
    piano.leggiSempre = piano.altoContrasto = true;
    QTRY_COMPARE_WITH_TIMEOUT(LeggiPiano(pc.registro, pc.alunno(u"Carla"_s)), std::optional<Opzioni>(piano),
                              kAttesa);
    // Everything of Dario went, here and there.
    Sguardo qui(pc.p.file);
    QCOMPARE(qui.valore(u"SELECT count(*) FROM esercizi"_s).toInt(), 0);
    Sguardo s(m_pg);
    QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi"_s).toInt(), 0);
    rete.spegni();
  }

 private:
  PostgresPrivato m_pg;
};

QTEST_GUILESS_MAIN(TestInvio)
#include "test_invio.moc"
