#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstdio>

#include "registro/consultazione.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/schema.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {

// A second, plain connection to the file: what another program would see.
class Sguardo {
 public:
  explicit Sguardo(const QString &file) : m_nome(u"sguardo-%1"_s.arg(++s_n)) {
    QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_nome);
    d.setDatabaseName(file);
    d.open();
  }
  ~Sguardo() {
    QSqlDatabase::database(m_nome).close();
    QSqlDatabase::removeDatabase(m_nome);
  }
  QVariant valore(const QString &sql, const QVariantList &parametri = {}) {
    QSqlQuery q(QSqlDatabase::database(m_nome));
    q.prepare(sql);
    for (const QVariant &p : parametri) q.addBindValue(p);
    if (!q.exec() || !q.next()) return {};
    return q.value(0);
  }
  bool esegui(const QString &sql) { return QSqlQuery(QSqlDatabase::database(m_nome)).exec(sql); }

 private:
  QString m_nome;
  static inline int s_n = 0;
};

DatiEsercizio Dati(std::optional<qint64> alunno) {
  DatiEsercizio d;
  d.alunno = alunno;
  d.famiglia = 9;
  d.cifre = 2;
  d.cosa = 3;
  d.ordine = 2;
  d.inizio = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 30));
  return d;
}

// A register with one class and one pupil; gives the pupil's id.
qint64 ClasseEAlunno(Registro &r, const QString &nome = u"D'Amico"_s) {
  const Esito c = r.nuovaClasse(u"3ª A"_s);
  if (!c) return 0;
  return r.nuovoAlunno(c.id, nome).id;
}

void ScriviFile(const QString &file, const QByteArray &dati) {
  QFile f(file);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(dati);
}

// Runs this test program again as user 65534 with the given task in env.
QString ComeUtenteComune(const QString &compito, const QString &file) {
  const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
  if (setpriv.isEmpty()) return {};
  // The build tree may sit where that user can't reach (under /root): run a copy.
  QTemporaryDir copia(QDir::tempPath() + u"/vornel-figlio-XXXXXX"_s);
  const QString eseguibile = copia.filePath(u"test_registro"_s);
  if (!QFile::copy(QCoreApplication::applicationFilePath(), eseguibile)) return u"errore: copy failed"_s;
  QFile::setPermissions(copia.path(), QFileDevice::Permissions(0x7755));
  QFile::setPermissions(eseguibile, QFileDevice::Permissions(0x7755));
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"VORNEL_REGISTRO_FIGLIO"_s, compito);
  env.insert(u"VORNEL_REGISTRO_FILE"_s, file);
  p.setProcessEnvironment(env);
  p.start(setpriv, {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, eseguibile});
  if (!p.waitForFinished(60000) || p.exitCode() != 0)
    return u"errore: "_s + QString::fromLocal8Bit(p.readAllStandardError());
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The unprivileged side of the read-only test: reads work, writes are refused
// with one message, the drill's calls go on answering.
int FiglioSolaLettura(const QString &file) {
  Registro r(file);
  const bool aperto = r.apri();
  const auto classi = r.classi();
  const Esito prima = r.nuovaClasse(u"4ª B"_s);
  const auto messaggio1 = r.prendiMessaggio();
  const Esito seconda = r.nuovaClasse(u"4ª C"_s);
  const auto messaggio2 = r.prendiMessaggio();
  RegistrazioneEsercizio reg(r);
  const Esito inizio = reg.inizia(Dati(std::nullopt));
  const Esito op = reg.operazioneChiusa(Operazione(1));
  std::printf("%d %d %d %d %d %d %d|%s\n", aperto ? 1 : 0, int(classi.size()), prima.ok ? 1 : 0,
              seconda.ok ? 1 : 0, messaggio2 ? 1 : 0, (inizio.ok || op.ok) ? 1 : 0,
              r.guasto() == Guasto::NonScrivibile ? 1 : 0, qPrintable(messaggio1.value_or(u"-"_s)));
  return 0;
}

// One of two copies writing at once: three whole exercises.
int FiglioScrittore(const QString &file) {
  Registro r(file);
  if (!r.apri()) return 2;
  RegistrazioneEsercizio reg(r);
  for (int e = 0; e < 3; ++e) {
    reg.inizia(Dati(std::nullopt));
    for (int n = 1; n <= RegistrazioneEsercizio::kOperazioni; ++n) reg.operazioneChiusa(Operazione(n, {u"unita"_s}));
  }
  for (int volta = 0; volta < 600 && reg.inAttesa() > 0; ++volta) {
    QThread::msleep(100);
    reg.scrivi();
  }
  if (reg.inAttesa() > 0) return 4;
  std::printf("ok\n");
  return 0;
}

}  // namespace

class TestRegistro : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldCreateTheCurrentSchema_data();
  void shouldCreateTheCurrentSchema();
  void shouldMigrateAnOlderRegisterKeepingItsData();
  void shouldRefuseANewerRegisterLeavingItUntouched();
  void shouldSetADamagedFileAside_data();
  void shouldSetADamagedFileAside();
  void shouldKeepNamesExactly_data();
  void shouldKeepNamesExactly();
  void shouldRefuseBadNames_data();
  void shouldRefuseBadNames();
  void shouldRenameAndRefuseTwins();
  void shouldEraseAPupilFromTheFile();
  void shouldRecordAWholeExercise();
  void shouldMarkAnExerciseUnfinished_data();
  void shouldMarkAnExerciseUnfinished();
  void shouldRecordAnExerciseWhoseRowWasLocked();
  void shouldTellAFullDiskOnceAndGoOn();
  void shouldTellAReadOnlyRegisterOnce();
  void shouldKeepEveryWriteOfTwoCopies();
  void shouldNeverGiveAnIdAgain();
  void shouldFileEachOperationUnderItsOwnPupilAndFamily();
  void shouldKeepWhatWaitsForTheNextStart();
  void shouldCloseOnlyTheExercisesOfCopiesThatNoLongerRun();
  void shouldNotTakeABusyFileForADamagedOne();
  void shouldWriteToTheRegisterAtItsPathOnceAnotherCopySetItAside();
  void shouldTellAnUnfinishedCleaningAndFinishItLater();
  void shouldNameAContradictionAndGoOn();
};

void TestRegistro::shouldCreateTheCurrentSchema_data() {
  QTest::addColumn<bool>("vuoto");
  QTest::newRow("no file") << false;
  QTest::newRow("empty file") << true;
}

void TestRegistro::shouldCreateTheCurrentSchema() {
  QFETCH(bool, vuoto);
  RegistroProva p;
  if (vuoto) ScriviFile(p.file, {});
  {
    Registro r(p.file);
    QVERIFY(r.apri());
    QCOMPARE(r.guasto(), Guasto::Nessuno);
    QVERIFY(!r.prendiMessaggio());
    QVERIFY(r.nuovaClasse(u"3ª A"_s));
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"PRAGMA user_version"_s).toInt(), Registro::kVersioneSchema);
  QCOMPARE(s.valore(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
  // Eight tables, the one of an erasure left to compact, SQLite's own ids' table.
  QCOMPARE(s.valore(u"SELECT count(*) FROM sqlite_schema WHERE type = 'table'"_s).toInt(), 10);
}

void TestRegistro::shouldMigrateAnOlderRegisterKeepingItsData() {
  RegistroProva p;
  {
    Sguardo s(p.file);
    for (const QString &istruzione : PassoMigrazione(1))
      QVERIFY2(s.esegui(istruzione), qPrintable(istruzione));
    QVERIFY(s.esegui(u"INSERT INTO classi (id, nome) VALUES (1, '5ª B')"_s));
    QVERIFY(s.esegui(u"INSERT INTO alunni (classe, nome) VALUES (1, 'Zoë')"_s));
    QVERIFY(
        s.esegui(u"INSERT INTO esercizi (id, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato,"
                 u" operazioni, esatte) VALUES (1, 1, 1, 4, 1, 1, 1, '2026-10-01T09:00:00', 1, 2, 1)"_s));
    QVERIFY(s.esegui(u"INSERT INTO operazioni VALUES (1, 1, 1, 1, 'a', 'b', 'm', '1', 1, 5)"_s));
    QVERIFY(s.esegui(u"INSERT INTO operazioni VALUES (2, 1, 2, 1, 'a', 'b', 'm', '1', 0, 5)"_s));
    QVERIFY(
        s.esegui(u"INSERT INTO risposte VALUES (1, 1, '2', 'cifre'), (1, 2, '3', 'unita'),"
                 u" (1, 3, '4', 'unita'), (2, 1, '2', 'cifre'), (2, 2, '1', '')"_s));
  }
  Registro r(p.file);
  QVERIFY(r.apri());
  QCOMPARE(r.alunni(1).size(), 1);
  QCOMPARE(r.alunni(1).first().nome, u"Zoë"_s);
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"PRAGMA user_version"_s).toInt(), Registro::kVersioneSchema);
  QVERIFY(s.valore(u"SELECT count(*) FROM porta"_s).isValid());
  // Rebuilt with every row and link: the operations still belong to their exercise.
  QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni o JOIN esercizi e ON e.id = o.esercizio"_s).toInt(), 2);
  QCOMPARE(s.valore(u"SELECT length(uuid) FROM esercizi WHERE id = 1"_s).toInt(), 32);
  QCOMPARE(s.valore(u"PRAGMA foreign_key_check"_s), QVariant());
  // The exercises recorded before get their most frequent mistake; a tie goes
  // to the one made first.
  QCOMPARE(s.valore(u"SELECT errore FROM esercizi WHERE id = 1"_s).toString(), u"cifre"_s);
  const auto pagina = LeggiPaginaAlunno(r, r.alunni(1).first().id);
  QVERIFY(pagina);
  QCOMPARE(pagina->esercizi.size(), 1);
  QCOMPARE(pagina->esercizi[0].erroreFrequente, u"cifre"_s);
}

void TestRegistro::shouldRefuseANewerRegisterLeavingItUntouched() {
  RegistroProva p;
  {
    Sguardo s(p.file);
    QVERIFY(s.esegui(u"CREATE TABLE futuro (x)"_s));
    QVERIFY(s.esegui(u"PRAGMA user_version = 99"_s));
  }
  const QByteArray prima = Contenuto(p.file);
  Registro r(p.file);
  QVERIFY(!r.apri());
  QCOMPARE(r.guasto(), Guasto::VersioneNuova);
  const auto m = r.prendiMessaggio();
  QVERIFY(m && m->contains(u"più recente"_s));
  QVERIFY(!r.nuovaClasse(u"3ª A"_s));
  QCOMPARE(Contenuto(p.file), prima);
  QVERIFY(!QFile::exists(p.file + u"-wal"_s) || Contenuto(p.file + u"-wal"_s).isEmpty());
}

void TestRegistro::shouldSetADamagedFileAside_data() {
  QTest::addColumn<QString>("caso");
  QTest::newRow("random bytes") << u"caso"_s;
  QTest::newRow("text") << u"testo"_s;
  QTest::newRow("sqlite header then garbage") << u"intestazione"_s;
  QTest::newRow("someone else's database") << u"estraneo"_s;
  QTest::newRow("a page of the register overwritten") << u"pagina"_s;
  QTest::newRow("our version number, other tables") << u"versione"_s;
}

void TestRegistro::shouldSetADamagedFileAside() {
  QFETCH(QString, caso);
  RegistroProva p;
  QByteArray garbage(8192, Qt::Uninitialized);
  QRandomGenerator(7).generate(garbage.begin(), garbage.end());
  if (caso == u"caso"_s) ScriviFile(p.file, garbage);
  if (caso == u"testo"_s) ScriviFile(p.file, "3 A;Rossi;Bianchi\r\n");
  if (caso == u"intestazione"_s) ScriviFile(p.file, QByteArray("SQLite format 3", 16) + garbage);
  if (caso == u"estraneo"_s) QVERIFY(Sguardo(p.file).esegui(u"CREATE TABLE spesa (cosa TEXT)"_s));
  if (caso == u"versione"_s) {
    Sguardo s(p.file);
    QVERIFY(s.esegui(u"CREATE TABLE classi (id INTEGER PRIMARY KEY)"_s));
    QVERIFY(s.esegui(u"PRAGMA user_version = %1"_s.arg(Registro::kVersioneSchema)));
  }
  if (caso == u"pagina"_s) {
    {
      Registro r(p.file);
      const qint64 alunno = ClasseEAlunno(r);
      QVERIFY(alunno);
      RegistrazioneEsercizio reg(r);
      for (int e = 0; e < 10; ++e) {
        QVERIFY(reg.inizia(Dati(alunno)));
        for (int n = 1; n <= 20; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n, {u"unita"_s})));
      }
    }
    // The first page of the exercises' table, whichever it is.
    const int pagina = Sguardo(p.file).valore(u"SELECT rootpage FROM sqlite_schema WHERE name = 'esercizi'"_s).toInt();
    QVERIFY(pagina > 1);
    QFile f(p.file);
    QVERIFY(f.size() > 8 * 4096);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek((pagina - 1) * 4096);
    f.write(garbage.left(4096));
  }
  const QByteArray prima = Contenuto(p.file);
  Registro r(p.file);
  QVERIFY(r.apri());
  // Damage beyond the header shows when a request reaches it; the next one
  // finds a new register.
  for (int i = 0; i < 3 && r.fileMessoDaParte().isEmpty(); ++i) {
    (void)LeggiPaginaAlunno(r, 1);
    (void)LeggiVistaClasse(r, 1);
    (void)r.nuovoAlunno(1, u"Verdi"_s);
    QVERIFY(r.pronto());
  }
  QCOMPARE(r.guasto(), Guasto::Danneggiato);
  const auto m = r.prendiMessaggio();
  QVERIFY(m && m->contains(u"danneggiato"_s));
  QVERIFY(!r.prendiMessaggio());
  QVERIFY(!r.fileMessoDaParte().isEmpty());
  QVERIFY(m->contains(QFileInfo(r.fileMessoDaParte()).fileName()));
  QCOMPARE(Contenuto(r.fileMessoDaParte()), prima);
  QVERIFY(QFileInfo(r.fileMessoDaParte()).fileName().startsWith(u"registro-danneggiato-"_s));
  // The new register works and is empty.
  QVERIFY(r.classi().isEmpty());
  QVERIFY(ClasseEAlunno(r) > 0);
  QCOMPARE(r.classi().size(), 1);
}

void TestRegistro::shouldKeepNamesExactly_data() {
  QTest::addColumn<QString>("nome");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("apostrophe") << u"D'Amico"_s << u"D'Amico"_s;
  QTest::newRow("diaeresis") << u"Zoë"_s << u"Zoë"_s;
  QTest::newRow("quote and semicolon") << u"\"; DROP TABLE alunni; --"_s << u"\"; DROP TABLE alunni; --"_s;
  QTest::newRow("vietnamese") << u"Nguyễn Thị Ánh"_s << u"Nguyễn Thị Ánh"_s;
  QTest::newRow("outside the BMP") << u"Ana 🦊"_s << u"Ana 🦊"_s;
  QTest::newRow("outer blanks dropped") << u"  Rossi Maria  "_s << u"Rossi Maria"_s;
  QTest::newRow("percent and underscore") << u"100%_x"_s << u"100%_x"_s;
  // Two names that look the same are kept as one.
  QTest::newRow("decomposed letters composed") << u"Zoe\u0308"_s << u"Zoë"_s;
  QTest::newRow("inner blanks made one") << u"Rossi   Maria"_s << u"Rossi Maria"_s;
}

void TestRegistro::shouldKeepNamesExactly() {
  QFETCH(QString, nome);
  QFETCH(QString, atteso);
  RegistroProva p;
  {
    Registro r(p.file);
    const Esito c = r.nuovaClasse(nome);
    QVERIFY2(c, qPrintable(c.messaggio));
    QVERIFY(r.nuovoAlunno(c.id, nome));
  }
  Registro r(p.file);
  const auto classi = r.classi();
  QCOMPARE(classi.size(), 1);
  QCOMPARE(classi.first().nome, atteso);
  const auto alunni = r.alunni(classi.first().id);
  QCOMPARE(alunni.size(), 1);
  QCOMPARE(alunni.first().nome, atteso);
  QCOMPARE(r.alunno(alunni.first().id)->nome, atteso);
}

void TestRegistro::shouldRefuseBadNames_data() {
  QTest::addColumn<QString>("nome");
  QTest::addColumn<QString>("parola");
  QTest::newRow("empty") << QString() << u"vuoto"_s;
  QTest::newRow("blanks") << u"   "_s << u"vuoto"_s;
  QTest::newRow("tab only") << u"\t"_s << u"vuoto"_s;
  QTest::newRow("no-break space only") << u"\u00a0\u00a0"_s << u"vuoto"_s;
  QTest::newRow("line break inside") << u"Rossi\nMario"_s << u"a capo"_s;
  QTest::newRow("too long") << QString(61, u'a') << u"troppo lungo"_s;
  QTest::newRow("zero-width space only") << u"\u200b"_s << u"invisibili"_s;
  QTest::newRow("soft hyphen inside") << u"Ros\u00adsi"_s << u"invisibili"_s;
  QTest::newRow("direction turned") << u"Rossi \u202eoiraM"_s << u"invisibili"_s;
  QTest::newRow("formula") << u"=HYPERLINK(\"http://x\";\"Rossi\")"_s << u"formula"_s;
  QTest::newRow("plus") << u"+39 Rossi"_s << u"formula"_s;
  QTest::newRow("minus") << u"-Rossi"_s << u"formula"_s;
  QTest::newRow("at") << u"@Rossi"_s << u"formula"_s;
}

void TestRegistro::shouldRefuseBadNames() {
  QFETCH(QString, nome);
  QFETCH(QString, parola);
  RegistroProva p;
  Registro r(p.file);
  const Esito c = r.nuovaClasse(nome);
  QVERIFY(!c);
  QVERIFY2(c.messaggio.contains(parola) && c.messaggio.contains(u"della classe"_s), qPrintable(c.messaggio));
  const qint64 classe = r.nuovaClasse(u"3ª A"_s).id;
  const Esito a = r.nuovoAlunno(classe, nome);
  QVERIFY(!a);
  QVERIFY2(a.messaggio.contains(parola) && a.messaggio.contains(u"dell'alunno"_s), qPrintable(a.messaggio));
  const qint64 alunno = r.nuovoAlunno(classe, u"Bianchi"_s).id;
  QVERIFY(!r.rinominaAlunno(alunno, nome));
  QVERIFY(!r.rinominaClasse(classe, nome));
  QCOMPARE(r.classi().size(), 1);
  QCOMPARE(r.classi().first().nome, u"3ª A"_s);
  QCOMPARE(r.alunni(classe).size(), 1);
  QCOMPARE(r.alunni(classe).first().nome, u"Bianchi"_s);
  QVERIFY(!r.prendiMessaggio());  // a refusal is no fault of the register
}

void TestRegistro::shouldRenameAndRefuseTwins() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 a = r.nuovaClasse(u"3ª A"_s).id, b = r.nuovaClasse(u"3ª B"_s).id;
  QVERIFY(!r.nuovaClasse(u"3ª A"_s));
  QVERIFY(!r.rinominaClasse(b, u"3ª A"_s));
  QVERIFY(r.rinominaClasse(b, u"4ª B"_s));
  const qint64 rossi = r.nuovoAlunno(a, u"Rossi"_s).id;
  const qint64 verdi = r.nuovoAlunno(a, u"Verdi"_s).id;
  QVERIFY(r.nuovoAlunno(b, u"Rossi"_s));  // the same name in another class
  QVERIFY(!r.nuovoAlunno(a, u"Rossi"_s));
  QVERIFY(!r.rinominaAlunno(verdi, u"Rossi"_s));
  QVERIFY(r.rinominaAlunno(rossi, u"Rossi Anna"_s));
  QVERIFY(r.rinominaAlunno(verdi, u"Verdi"_s));  // to its own name
  QVERIFY(!r.nuovoAlunno(9999, u"Neri"_s));
  QVERIFY(!r.rinominaAlunno(9999, u"Neri"_s));
  QStringList nomi;
  for (const Alunno &x : r.alunni(a)) nomi << x.nome;
  QCOMPARE(nomi, (QStringList{u"Rossi Anna"_s, u"Verdi"_s}));
  QCOMPARE(r.classi().last().nome, u"4ª B"_s);
}

void TestRegistro::shouldEraseAPupilFromTheFile() {
  RegistroProva p;
  const QString nome = u"Qwzxjkvbnm D'Amico"_s, altro = u"Bianchi"_s;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r, nome);
  const qint64 resta = r.nuovoAlunno(r.classi().first().id, altro).id;
  RegistrazioneEsercizio reg(r);
  for (const qint64 chi : {alunno, resta}) {
    QVERIFY(reg.inizia(Dati(chi)));
    for (int n = 1; n <= 20; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n, {u"virgola+1"_s})));
  }
  const auto presente = [&](const QByteArray &cosa) {
    return Contenuto(p.file).contains(cosa) || Contenuto(p.file + u"-wal"_s).contains(cosa);
  };
  QVERIFY(presente(nome.toUtf8()));
  QVERIFY(r.cancellaAlunno(alunno));
  QVERIFY(!presente(nome.toUtf8()));
  QVERIFY(!presente("Qwzxjkvbnm"));
  QVERIFY(presente(altro.toUtf8()));
  QVERIFY(!r.alunno(alunno));
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi"_s).toInt(), 1);
  QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 20);
  QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), 40);
  QVERIFY(!r.cancellaAlunno(alunno));
}

void TestRegistro::shouldRecordAWholeExercise() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r);
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(alunno)));
  const qint64 id = reg.esercizio();
  QVERIFY(id > 0);
  Sguardo s(p.file);
  const QString contaOperazioni = u"SELECT count(*) FROM operazioni WHERE esercizio = ?"_s;
  for (int n = 1; n <= 20; ++n) {
    // Every third operation wrong twice and then right; every seventh the program steps in.
    const QStringList errori = n % 7 == 0   ? QStringList{u"unita"_s, u"unita"_s, u"cifre"_s}
                               : n % 3 == 0 ? QStringList{u"virgola+1"_s, u"unita"_s}
                                            : QStringList{};
    QVERIFY(reg.operazioneChiusa(Operazione(n, errori, n % 7 != 0, n)));
    // Written for good the moment it is closed.
    QCOMPARE(s.valore(contaOperazioni, {id}).toInt(), n);
    QCOMPARE(s.valore(u"SELECT stato FROM esercizi WHERE id = ?"_s, {id}).toInt(), n < 20 ? 0 : 1);
  }
  QVERIFY(!reg.inCorso());
  QCOMPARE(s.valore(u"SELECT esatte FROM esercizi WHERE id = ?"_s, {id}).toInt(), 18);
  QCOMPARE(s.valore(u"SELECT secondi FROM esercizi WHERE id = ?"_s, {id}).toInt(), 210);
  QCOMPARE(
      s.valore(
           u"SELECT alunno || ' ' || classe || ' ' || famiglia || cifre || cosa || ordine || ' ' || inizio"
           u" FROM esercizi WHERE id = ?"_s,
           {id})
          .toString(),
      u"%1 1 9232 2026-12-09T10:15:30"_s.arg(alunno));
  QCOMPARE(
      s.valore(u"SELECT group_concat(r.errore, ',') FROM risposte r JOIN operazioni o ON o.id = r.operazione"
               u" WHERE o.numero = 7"_s)
          .toString(),
      u"unita,unita,cifre"_s);
  QCOMPARE(s.valore(u"SELECT intervento FROM operazioni WHERE numero = 7"_s).toInt(), 1);
  QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), 2 * 3 + 6 * 3 + 12);
  // Nothing is open any more: a late close changes nothing.
  QVERIFY(reg.interrompi());
  QCOMPARE(s.valore(u"SELECT stato FROM esercizi WHERE id = ?"_s, {id}).toInt(), 1);
  QVERIFY(!reg.operazioneChiusa(Operazione(1)));
}

void TestRegistro::shouldMarkAnExerciseUnfinished_data() {
  QTest::addColumn<bool>("nuovoEsercizio");
  QTest::addColumn<bool>("conNome");
  QTest::newRow("window closed") << false << true;
  QTest::newRow("new exercise") << true << true;
  QTest::newRow("window closed, no name") << false << false;
}

void TestRegistro::shouldMarkAnExerciseUnfinished() {
  QFETCH(bool, nuovoEsercizio);
  QFETCH(bool, conNome);
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r);
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(conNome ? std::optional<qint64>(alunno) : std::nullopt)));
  const qint64 primo = reg.esercizio();
  for (int n = 1; n <= 5; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n)));
  if (nuovoEsercizio) {
    QVERIFY(reg.inizia(Dati(alunno)));
    QVERIFY(reg.esercizio() != primo);
  } else {
    QVERIFY(reg.interrompi());
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT stato || ' ' || operazioni FROM esercizi WHERE id = ?"_s, {primo}).toString(),
           u"2 5"_s);
  QCOMPARE(s.valore(u"SELECT alunno IS NULL FROM esercizi WHERE id = ?"_s, {primo}).toBool(), !conNome);
  QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi WHERE stato = 0"_s).toInt(), nuovoEsercizio ? 1 : 0);
}

void TestRegistro::shouldRecordAnExerciseWhoseRowWasLocked() {
  RegistroProva p;
  Registro r(p.file);
  r.impostaAttesa(50);
  QVERIFY(r.apri());
  Sguardo altro(p.file);
  QVERIFY(altro.esegui(u"BEGIN IMMEDIATE"_s));
  RegistrazioneEsercizio reg(r);
  const Esito e = reg.inizia(Dati(std::nullopt));
  QVERIFY(!e);
  QCOMPARE(r.guasto(), Guasto::Occupato);
  QVERIFY(!reg.operazioneChiusa(Operazione(1)));  // still held: it waits
  QCOMPARE(reg.inAttesa(), 2);
  QVERIFY(!r.prendiMessaggio());  // the pupil could do nothing about it
  QVERIFY(altro.esegui(u"COMMIT"_s));
  QVERIFY(reg.operazioneChiusa(Operazione(2)));
  QCOMPARE(r.guasto(), Guasto::Nessuno);
  QCOMPARE(reg.inAttesa(), 0);
  QCOMPARE(altro.valore(u"SELECT count(*) || ' ' || min(operazioni) FROM esercizi"_s).toString(), u"1 2"_s);
}

void TestRegistro::shouldTellAFullDiskOnceAndGoOn() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r);
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(alunno)));
  // The file may not grow by a single page more: what a full disk does.
  QSqlQuery q(r.db());
  QVERIFY(q.exec(u"PRAGMA page_count"_s) && q.next());
  QVERIFY(q.exec(u"PRAGMA max_page_count = %1"_s.arg(q.value(0).toInt())));
  int rifiutate = 0, messaggi = 0;
  for (int e = 0; e < 6; ++e) {
    for (int n = 1; n <= 20; ++n) {
      if (!reg.operazioneChiusa(Operazione(n, {u"unita"_s, u"virgola+1"_s}))) {
        ++rifiutate;
        QCOMPARE(r.guasto(), Guasto::DiscoPieno);
      }
      if (const auto m = r.prendiMessaggio()) {
        ++messaggi;
        QVERIFY(m->contains(u"disco"_s) && m->contains(u"l'esercizio continua"_s));
      }
    }
    reg.inizia(Dati(alunno));
  }
  QVERIFY(rifiutate > 0);
  QCOMPARE(messaggi, 1);
  // Room again: recording goes on.
  QVERIFY(q.exec(u"PRAGMA max_page_count = 1000000"_s));
  QVERIFY(reg.inizia(Dati(alunno)));
  QVERIFY(reg.operazioneChiusa(Operazione(1)));
  QCOMPARE(r.guasto(), Guasto::Nessuno);
  QVERIFY(!r.prendiMessaggio());
  // What waited is written, nothing lost: 6 exercises of 20 and the last one's first.
  QCOMPARE(reg.inAttesa(), 0);
  QSqlQuery conta(r.db());
  QVERIFY(conta.exec(u"SELECT count(*) FROM operazioni"_s) && conta.next());
  QCOMPARE(conta.value(0).toInt(), 6 * 20 + 1);
}

void TestRegistro::shouldTellAReadOnlyRegisterOnce() {
  RegistroProva p;
  {
    Registro r(p.file);
    QVERIFY(ClasseEAlunno(r));
  }
  QVERIFY(!QFile::exists(p.file + u"-wal"_s));
  QFile::setPermissions(p.file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  const QByteArray prima = Contenuto(p.file);
  QString esito;
  if (geteuid() == 0) {
    // Root writes anything: the test runs as an ordinary user owning the folder
    // (so the journal beside the file can be made) but not allowed to write the file.
    QFile::setPermissions(p.dir.path(), QFileDevice::Permissions(0x7777));
    QVERIFY(::chown(QFile::encodeName(p.dir.path()).constData(), 65534, 65534) == 0);
    esito = ComeUtenteComune(u"solalettura"_s, p.file);
    if (esito.isEmpty() || esito.startsWith(u"errore"_s))
      QSKIP(qPrintable(u"cannot run as an unprivileged user here: "_s + esito));
  } else {
    QProcess p2;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"VORNEL_REGISTRO_FIGLIO"_s, u"solalettura"_s);
    env.insert(u"VORNEL_REGISTRO_FILE"_s, p.file);
    p2.setProcessEnvironment(env);
    p2.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(p2.waitForFinished(60000));
    esito = QString::fromUtf8(p2.readAllStandardOutput()).trimmed();
  }
  // Opened and read (one class); both writes refused; one message only; the
  // drill's calls answer without recording; the fault is "not writable".
  const QString conteggi = esito.section(u'|', 0, 0), messaggio = esito.section(u'|', 1);
  QCOMPARE(conteggi, u"1 1 0 0 0 0 1"_s);
  QVERIFY2(messaggio.contains(u"sola lettura"_s), qPrintable(messaggio));
  QCOMPARE(Contenuto(p.file), prima);
}

void TestRegistro::shouldKeepEveryWriteOfTwoCopies() {
  RegistroProva p;
  {
    Registro r(p.file);
    QVERIFY(r.apri());
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"VORNEL_REGISTRO_FIGLIO"_s, u"scrivi"_s);
  env.insert(u"VORNEL_REGISTRO_FILE"_s, p.file);
  QProcess uno, due;
  for (QProcess *c : {&uno, &due}) {
    c->setProcessEnvironment(env);
    c->start(QCoreApplication::applicationFilePath(), {});
  }
  // This process writes too, between them.
  Registro r(p.file);
  RegistrazioneEsercizio reg(r);
  reg.inizia(Dati(std::nullopt));
  for (int n = 1; n <= 20; ++n) reg.operazioneChiusa(Operazione(n));
  QVERIFY(QTest::qWaitFor([&] { return reg.scrivi() && reg.inAttesa() == 0; }, 60000));
  for (QProcess *c : {&uno, &due}) {
    QVERIFY(c->waitForFinished(120000));
    QCOMPARE(c->exitCode(), 0);
    QCOMPARE(c->readAllStandardOutput().trimmed(), QByteArray("ok"));
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi WHERE stato = 1 AND operazioni = 20"_s).toInt(), 7);
  QCOMPARE(s.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 140);
  QCOMPARE(s.valore(u"SELECT count(*) FROM risposte"_s).toInt(), 260);
}

void TestRegistro::shouldNeverGiveAnIdAgain() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r);
  const qint64 classe = r.classi().first().id;
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(alunno)));
  const qint64 esercizio = reg.esercizio();
  QVERIFY(reg.interrompi());
  QVERIFY(r.cancellaClasse(classe));
  const qint64 nuovaClasse = r.nuovaClasse(u"3ª A"_s).id;
  const qint64 nuovoAlunno = r.nuovoAlunno(nuovaClasse, u"D'Amico"_s).id;
  QVERIFY(reg.inizia(Dati(nuovoAlunno)));
  QVERIFY(nuovaClasse > classe && nuovoAlunno > alunno && reg.esercizio() > esercizio);
  // A window still holding the old pupil's id reaches nobody.
  QVERIFY(!r.alunno(alunno));
  QVERIFY(!r.rinominaAlunno(alunno, u"Altro"_s));
  QCOMPARE(r.alunno(nuovoAlunno)->nome, u"D'Amico"_s);
}

// Two pupils at one computer, and a family changed while the exercise is on
// screen: each operation goes to an exercise of its own pupil and settings.
void TestRegistro::shouldFileEachOperationUnderItsOwnPupilAndFamily() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 primo = ClasseEAlunno(r, u"Anna"_s);
  const qint64 secondo = r.nuovoAlunno(r.classi().first().id, u"Bruno"_s).id;
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(primo)));
  const auto sotto = [&](qint64 alunno, int famiglia) {
    DatiEsercizio d = Dati(alunno);
    d.famiglia = famiglia;
    return d;
  };
  for (int n = 1; n <= 20; ++n) {
    OperazioneChiusa op = Operazione(n);
    op.sotto = sotto(n <= 3 ? primo : secondo, n <= 6 ? 9 : 4);
    QVERIFY(reg.operazioneChiusa(op));
  }
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT group_concat(x, ' ') FROM (SELECT a.nome || ':' || e.famiglia || ':' || e.operazioni || ':' ||"
                    u" e.stato AS x FROM esercizi e JOIN alunni a ON a.id = e.alunno ORDER BY e.id)"_s)
               .toString(),
           u"Anna:9:3:2 Bruno:9:3:2 Bruno:4:14:2"_s);
  QCOMPARE(s.valore(u"SELECT min(o.numero) FROM operazioni o JOIN esercizi e ON e.id = o.esercizio"
                    u" WHERE e.famiglia = 4"_s)
               .toInt(),
           7);
}

void TestRegistro::shouldKeepWhatWaitsForTheNextStart() {
  RegistroProva p;
  {
    Registro r(p.file);
    QVERIFY(r.apri());
  }
  Sguardo altro(p.file);
  {
    Registro r(p.file);
    r.impostaAttesa(20);
    QVERIFY(r.apri());
    QVERIFY(altro.esegui(u"BEGIN IMMEDIATE"_s));  // a long erasure in another copy
    RegistrazioneEsercizio reg(r);
    reg.inizia(Dati(std::nullopt));
    for (int n = 1; n <= 5; ++n) reg.operazioneChiusa(Operazione(n));
    reg.interrompi();
    QCOMPARE(reg.inAttesa(), 7);
  }  // the program ends while the other still holds the file
  QVERIFY(altro.esegui(u"COMMIT"_s));
  QCOMPARE(altro.valore(u"SELECT count(*) FROM operazioni"_s).toInt(), 0);
  const QStringList attesa = QDir(QFileInfo(p.file).path()).entryList({u"*-in-attesa-*.json"_s});
  QCOMPARE(attesa.size(), 1);
  // The next start writes them before its own, and lets the file go.
  Registro r(p.file);
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(std::nullopt)));
  QCOMPARE(altro.valore(u"SELECT group_concat(x, ' ') FROM (SELECT stato || ':' || operazioni AS x FROM esercizi ORDER BY id)"_s).toString(),
           u"2:5 0:0"_s);
  QVERIFY(QDir(QFileInfo(p.file).path()).entryList({u"*-in-attesa-*.json"_s}).isEmpty());
}

void TestRegistro::shouldCloseOnlyTheExercisesOfCopiesThatNoLongerRun() {
  RegistroProva p;
  // A copy killed in the middle of an exercise.
  QProcess morto;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"VORNEL_REGISTRO_FIGLIO"_s, u"muori"_s);
  env.insert(u"VORNEL_REGISTRO_FILE"_s, p.file);
  morto.setProcessEnvironment(env);
  morto.start(QCoreApplication::applicationFilePath(), {});
  QVERIFY(morto.waitForFinished(60000));
  QCOMPARE(morto.exitStatus(), QProcess::CrashExit);
  // A copy still running with its exercise open.
  Registro vivo(p.file);
  RegistrazioneEsercizio inCorso(vivo);
  QVERIFY(inCorso.inizia(Dati(std::nullopt)));
  // The next start.
  Registro r(p.file);
  QVERIFY(r.apri());
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT group_concat(x, ' ') FROM (SELECT stato || ':' || operazioni AS x FROM esercizi ORDER BY id)"_s).toString(),
           u"2:3 0:0"_s);
}

void TestRegistro::shouldNotTakeABusyFileForADamagedOne() {
  RegistroProva p;
  {
    Registro r(p.file);
    QVERIFY(ClasseEAlunno(r));
  }
  // Another copy holding the whole file (an exclusive lock, as a long rewrite does).
  Registro r(p.file);
  r.impostaAttesa(20);
  {
    Sguardo altro(p.file);
    QVERIFY(altro.esegui(u"PRAGMA locking_mode = EXCLUSIVE"_s));
    QVERIFY(altro.esegui(u"BEGIN EXCLUSIVE"_s));
    QVERIFY(!r.apri());
    QCOMPARE(r.guasto(), Guasto::Occupato);
    QVERIFY(r.copieMesseDaParte().isEmpty());
  }
  const bool aperto = r.apri();
  QVERIFY2(aperto, qPrintable(r.prendiMessaggio().value_or(QString())));
  QCOMPARE(r.classi().size(), 1);
}

void TestRegistro::shouldWriteToTheRegisterAtItsPathOnceAnotherCopySetItAside() {
  RegistroProva p;
  Registro questa(p.file);
  QVERIFY(ClasseEAlunno(questa));
  // The other copy found damage and moved the file aside; a new register stands at the path.
  const QString daParte = p.dir.filePath(u"registro-danneggiato-x.sqlite"_s);
  QVERIFY(QFile::rename(p.file, daParte));
  QFile::rename(p.file + u"-wal"_s, daParte + u"-wal"_s);
  {
    Registro altra(p.file);
    QVERIFY(altra.apri());
  }
  QVERIFY(questa.nuovaClasse(u"4ª B"_s));
  Sguardo nuova(p.file), vecchia(daParte);
  QCOMPARE(nuova.valore(u"SELECT group_concat(nome) FROM classi"_s).toString(), u"4ª B"_s);
  QCOMPARE(vecchia.valore(u"SELECT count(*) FROM classi WHERE nome = '4ª B'"_s).toInt(), 0);
}

void TestRegistro::shouldTellAnUnfinishedCleaningAndFinishItLater() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = ClasseEAlunno(r, u"Qwzxjkvbnm"_s);
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(Dati(alunno)));
  QVERIFY(reg.interrompi());
  {
    // Another copy reading: the journal can't be emptied.
    Sguardo lettore(p.file);
    QVERIFY(lettore.esegui(u"BEGIN"_s));
    QVERIFY(lettore.valore(u"SELECT count(*) FROM alunni"_s).toInt() == 1);
    const Esito e = r.cancellaAlunno(alunno);
    QVERIFY(e);
    QVERIFY2(e.messaggio.contains(u"non è finita"_s), qPrintable(e.messaggio));
    QVERIFY(!r.alunno(alunno));
    QVERIFY(lettore.esegui(u"COMMIT"_s));
  }
  QVERIFY(r.compattaSeDovuto());
  QVERIFY(!Contenuto(p.file).contains("Qwzxjkvbnm"));
  QVERIFY(!Contenuto(p.file + u"-wal"_s).contains("Qwzxjkvbnm"));
  Sguardo s(p.file);
  QCOMPARE(s.valore(u"SELECT count(*) FROM da_compattare"_s).toInt(), 0);
}

// A row the register refuses (here a family it doesn't know) is told as what
// it is, and does not hold up the writes after it.
void TestRegistro::shouldNameAContradictionAndGoOn() {
  RegistroProva p;
  Registro r(p.file);
  RegistrazioneEsercizio reg(r);
  DatiEsercizio strano = Dati(std::nullopt);
  strano.famiglia = 13;
  QVERIFY(!reg.inizia(strano));
  QCOMPARE(r.guasto(), Guasto::Incoerente);
  const auto m = r.prendiMessaggio();
  QVERIFY(m && !m->contains(u"disco"_s));
  QVERIFY(reg.inizia(Dati(std::nullopt)));
  QVERIFY(reg.operazioneChiusa(Operazione(1)));
  QCOMPARE(reg.inAttesa(), 0);
}

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QString figlio = qEnvironmentVariable("VORNEL_REGISTRO_FIGLIO");
  const QString file = qEnvironmentVariable("VORNEL_REGISTRO_FILE");
  if (figlio == u"solalettura"_s) return FiglioSolaLettura(file);
  if (figlio == u"scrivi"_s) return FiglioScrittore(file);
  if (figlio == u"muori"_s) {
    // Three operations, then killed: nothing of the program runs after.
    Registro r(file);
    RegistrazioneEsercizio reg(r);
    reg.inizia(Dati(std::nullopt));
    for (int n = 1; n <= 3; ++n) reg.operazioneChiusa(Operazione(n));
    std::raise(SIGKILL);
  }
  TestRegistro t;
  return QTest::qExec(&t, argc, argv);
}

#include "test_registro.moc"
