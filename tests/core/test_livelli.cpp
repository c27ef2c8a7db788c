#include "app/livelli.h"
#include "support/doppi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Leggi(const QString &nome) {
  QFile f(nome);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Scrivi(const QString &nome, const QByteArray &dati) {
  QFile f(nome);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(dati);
}

const QByteArray kRecordPredefinito = " 1  1 \r\n";

}  // namespace

class TestLivelli : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldWriteTheRecordExactly_data();
  void shouldWriteTheRecordExactly();
  void shouldNameTheFileAfterTheExecutable_data();
  void shouldNameTheFileAfterTheExecutable();
  void shouldReadGoodRecords_data();
  void shouldReadGoodRecords();
  void shouldFallBackAndRewriteOnBadInput_data();
  void shouldFallBackAndRewriteOnBadInput();
  void shouldCreateTheRecordOnFirstRun();
  void shouldSurviveATenMegabyteFile();
  void shouldLeaveADirectoryNamedLikeTheFileAlone();
  void shouldSurviveAnUnreadableFile();
  void shouldRunInMemoryWhenTheFolderIsReadOnly();
  void shouldRewriteAWritableFileInAReadOnlyFolder();

 private:
  // Runs the level read as an unprivileged user in dir; gives "read family digits".
  // With scrivi, the child writes family 5 with 2 digits instead and gives "written".
  QString LeggiComeUtenteComune(const QString &dir, bool scrivi = false);
};

void TestLivelli::shouldWriteTheRecordExactly_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("cifre");
  QTest::addColumn<QByteArray>("testo");
  QTest::newRow("2/1") << 2 << 1 << QByteArray(" 2  1 \r\n");
  QTest::newRow("12/2") << 12 << 2 << QByteArray(" 12  2 \r\n");
}

void TestLivelli::shouldWriteTheRecordExactly() {
  QFETCH(int, livello);
  QFETCH(int, cifre);
  QFETCH(QByteArray, testo);
  CartellaTemporanea dir;
  Livello l{static_cast<qint16>(livello), static_cast<qint16>(cifre), u"vornel"_s};
  QVERIFY(ScriviLivelli(l));
  QCOMPARE(Leggi(u"vornel.dat"_s), testo);
  Livello letto{0, 0, u"vornel"_s};
  QVERIFY(LeggiLivelli(letto));
  QCOMPARE(letto.intLivello, livello);
  QCOMPARE(letto.intCifre, cifre);
}

void TestLivelli::shouldNameTheFileAfterTheExecutable_data() {
  QTest::addColumn<QString>("argv0");
  QTest::addColumn<QString>("nome");
  QTest::newRow("plain") << u"/usr/bin/vornel"_s << u"vornel"_s;
  QTest::newRow("renamed copy") << u"./prova"_s << u"prova"_s;
  QTest::newRow("with extension") << u"C:/giochi/prova.exe"_s << u"prova"_s;
  QTest::newRow("relative") << u"vornel"_s << u"vornel"_s;
}

void TestLivelli::shouldNameTheFileAfterTheExecutable() {
  QFETCH(QString, argv0);
  QFETCH(QString, nome);
  QCOMPARE(NomeBaseEseguibile(argv0), nome);
  QCOMPARE(NomeFileLivelli(nome), nome + u".dat"_s);
}

void TestLivelli::shouldReadGoodRecords_data() {
  QTest::addColumn<QByteArray>("dati");
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("cifre");
  QTest::newRow("as written") << QByteArray(" 3  2 \r\n") << 3 << 2;
  QTest::newRow("family 12 is honoured") << QByteArray(" 12  1 \r\n") << 12 << 1;
  QTest::newRow("comma between fields") << QByteArray("5,2\r\n") << 5 << 2;
  QTest::newRow("LF only") << QByteArray(" 2  1 \n") << 2 << 1;
  QTest::newRow("no line end") << QByteArray(" 4 2") << 4 << 2;
  QTest::newRow("fields on two lines") << QByteArray("7\r\n2\r\n") << 7 << 2;
  QTest::newRow("plus sign") << QByteArray("+6 +1") << 6 << 1;
  QTest::newRow("tail ignored") << QByteArray(" 3  1 \r\nrubbish") << 3 << 1;
}

void TestLivelli::shouldReadGoodRecords() {
  QFETCH(QByteArray, dati);
  QFETCH(int, livello);
  QFETCH(int, cifre);
  CartellaTemporanea dir;
  Scrivi(u"vornel.dat"_s, dati);
  Livello l{0, 0, u"vornel"_s};
  QVERIFY(LeggiLivelli(l));
  QCOMPARE(l.intLivello, livello);
  QCOMPARE(l.intCifre, cifre);
  QCOMPARE(Leggi(u"vornel.dat"_s), dati);  // a good record is not rewritten
}

void TestLivelli::shouldFallBackAndRewriteOnBadInput_data() {
  QTest::addColumn<QByteArray>("dati");
  QTest::newRow("empty file") << QByteArray();
  QTest::newRow("one number") << QByteArray(" 2 \r\n");
  QTest::newRow("text") << QByteArray("abc\r\n");
  QTest::newRow("beyond 16 bits") << QByteArray(" 40000  1 \r\n");
  QTest::newRow("negative family") << QByteArray("-1  1 \r\n");
  QTest::newRow("family 13") << QByteArray(" 13  1 \r\n");
  QTest::newRow("family 0") << QByteArray(" 0  1 \r\n");
  QTest::newRow("three digits") << QByteArray(" 1  3 \r\n");
  QTest::newRow("decimal point") << QByteArray(" 2.5  1 \r\n");
  QTest::newRow("binary garbage") << QByteArray("\xff\xfe\x00\x01\x02 \x80\x81", 9);
  QTest::newRow("blanks only") << QByteArray("      \r\n\r\n");
  QTest::newRow("empty field") << QByteArray(",,\r\n");
  QTest::newRow("huge number") << QByteArray("99999999999999999999 1");
}

void TestLivelli::shouldFallBackAndRewriteOnBadInput() {
  QFETCH(QByteArray, dati);
  CartellaTemporanea dir;
  Scrivi(u"vornel.dat"_s, dati);
  Livello l{9, 2, u"vornel"_s};
  QVERIFY(!LeggiLivelli(l));
  QCOMPARE(l.intLivello, 1);
  QCOMPARE(l.intCifre, 1);
  QCOMPARE(Leggi(u"vornel.dat"_s), kRecordPredefinito);
}

void TestLivelli::shouldCreateTheRecordOnFirstRun() {
  CartellaTemporanea dir;
  Livello l{5, 2, u"prova"_s};
  QVERIFY(!LeggiLivelli(l));
  QCOMPARE(l.intLivello, 1);
  QCOMPARE(Leggi(u"prova.dat"_s), kRecordPredefinito);
  QVERIFY(!QFile::exists(u"vornel.dat"_s));
}

void TestLivelli::shouldSurviveATenMegabyteFile() {
  CartellaTemporanea dir;
  Scrivi(u"vornel.dat"_s, QByteArray(10 * 1024 * 1024, ' ') + " 3 1");
  Livello l{0, 0, u"vornel"_s};
  QVERIFY(!LeggiLivelli(l));  // the record must stand near the top of the file
  QCOMPARE(l.intLivello, 1);
  QCOMPARE(Leggi(u"vornel.dat"_s), kRecordPredefinito);
}

void TestLivelli::shouldLeaveADirectoryNamedLikeTheFileAlone() {
  CartellaTemporanea dir;
  QVERIFY(QDir().mkdir(u"vornel.dat"_s));
  Livello l{4, 2, u"vornel"_s};
  QVERIFY(!LeggiLivelli(l));
  QCOMPARE(l.intLivello, 1);
  QCOMPARE(l.intCifre, 1);
  QVERIFY(QFileInfo(u"vornel.dat"_s).isDir());
  QVERIFY(!ScriviLivelli(l));
}

QString TestLivelli::LeggiComeUtenteComune(const QString &dir, bool scrivi) {
  const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
  if (setpriv.isEmpty()) return {};
  // The build tree may sit where that user can't reach (under /root): run a copy.
  QTemporaryDir copia(QDir::tempPath() + u"/vornel-figlio-XXXXXX"_s);
  const QString eseguibile = copia.filePath(u"test_livelli"_s);
  if (!QFile::copy(QCoreApplication::applicationFilePath(), eseguibile)) return u"errore: copy failed"_s;
  QFile::setPermissions(copia.path(), QFileDevice::Permissions(0x7755));
  QFile::setPermissions(eseguibile, QFileDevice::Permissions(0x7755));
  QProcess p;
  p.setWorkingDirectory(dir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"VORNEL_LETTURA_FIGLIO"_s, scrivi ? u"scrivi"_s : u"leggi"_s);
  p.setProcessEnvironment(env);
  p.start(setpriv, {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                    eseguibile});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return u"errore: "_s + QString::fromLocal8Bit(p.readAllStandardError());
  return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

void TestLivelli::shouldSurviveAnUnreadableFile() {
  CartellaTemporanea dir;
  Scrivi(u"vornel.dat"_s, " 3  2 \r\n");
  QFile::setPermissions(u"vornel.dat"_s, QFileDevice::WriteOwner);
  if (geteuid() == 0) {
    // Root reads anything: read it as an ordinary user who owns the file (write-only to
    // that user) and may write the folder.
    QFile::setPermissions(dir.percorso(), QFileDevice::Permissions(0x7777));
    QVERIFY(::chown("vornel.dat", 65534, 65534) == 0);
    const QString esito = LeggiComeUtenteComune(dir.percorso());
    if (esito.isEmpty() || esito.startsWith(u"errore"_s))
      QSKIP(qPrintable(u"cannot run as an unprivileged user here: "_s + esito));
    QCOMPARE(esito, u"0 1 1"_s);
  } else {
    Livello l{0, 0, u"vornel"_s};
    QVERIFY(!LeggiLivelli(l));
    QCOMPARE(l.intLivello, 1);
  }
  QFile::setPermissions(u"vornel.dat"_s, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  QCOMPARE(Leggi(u"vornel.dat"_s), kRecordPredefinito);
}

void TestLivelli::shouldRunInMemoryWhenTheFolderIsReadOnly() {
  CartellaTemporanea dir;
  if (geteuid() == 0) {
    QFile::setPermissions(dir.percorso(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QString esito = LeggiComeUtenteComune(dir.percorso());
    if (esito.isEmpty() || esito.startsWith(u"errore"_s))
      QSKIP(qPrintable(u"cannot run as an unprivileged user here: "_s + esito));
    QCOMPARE(esito, u"0 1 1"_s);
  } else {
    QFile::setPermissions(dir.percorso(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    Livello l{6, 2, u"vornel"_s};
    QVERIFY(!LeggiLivelli(l));
    QCOMPARE(l.intLivello, 1);
    QCOMPARE(l.intCifre, 1);
    QFile::setPermissions(dir.percorso(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  QVERIFY(!QFile::exists(dir.percorso() + u"/vornel.dat"_s));
}

// The folder may be closed to the user while the file itself is theirs to
// write (a class share set up by the school): the record is still saved.
void TestLivelli::shouldRewriteAWritableFileInAReadOnlyFolder() {
  CartellaTemporanea dir;
  Scrivi(u"vornel.dat"_s, " 3  1 \r\n");
  if (geteuid() == 0) {
    QFile::setPermissions(dir.percorso(), QFileDevice::Permissions(0x7755));
    QVERIFY(::chown("vornel.dat", 65534, 65534) == 0);
    const QString esito = LeggiComeUtenteComune(dir.percorso(), true);
    if (esito.isEmpty() || esito.startsWith(u"errore"_s))
      QSKIP(qPrintable(u"cannot run as an unprivileged user here: "_s + esito));
    QCOMPARE(esito, u"1"_s);
  } else {
    QFile::setPermissions(dir.percorso(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool scritto = ScriviLivelli(Livello{5, 2, u"vornel"_s});
    QFile::setPermissions(dir.percorso(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(scritto);
  }
  QCOMPARE(Leggi(u"vornel.dat"_s), QByteArray(" 5  2 \r\n"));
}

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  if (qEnvironmentVariableIsSet("VORNEL_LETTURA_FIGLIO")) {
    // The unprivileged child: read (or write) the level file of the current directory.
    if (qgetenv("VORNEL_LETTURA_FIGLIO") == "scrivi") {
      std::printf("%d\n", ScriviLivelli(Livello{5, 2, u"vornel"_s}) ? 1 : 0);
      return 0;
    }
    Livello l{0, 0, u"vornel"_s};
    const bool letto = LeggiLivelli(l);
    std::printf("%d %d %d\n", letto ? 1 : 0, l.intLivello, l.intCifre);
    return 0;
  }
  TestLivelli t;
  return QTest::qExec(&t, argc, argv);
}

#include "test_livelli.moc"
