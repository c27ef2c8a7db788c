// The class-list import: files in every encoding and separator a school hands
// over, pasted rows, odd headers, duplicates and bad rows judged in the
// preview, old Excel and LibreOffice sheets, and the dialog through its widgets
// over a real register.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "registro/convertifoglio.h"
#include "registro/importaclasse.h"
#include "support/doppi.h"
#include "ui/registro/frmimporta.h"
#include "ui/registro/frmregistro.h"

using namespace Qt::StringLiterals;

namespace {

struct RegistroProva {
  QTemporaryDir dir;
  QString file = dir.filePath(u"registro.sqlite"_s);
};

QByteArray Contenuto(const QString &file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each judged row as "+name@class" (to add), "=name@class" (skipped) or
// "!name|reason" (refused).
QStringList Esiti(const Anteprima &a) {
  QStringList r;
  for (const RigaEsaminata &e : a.righe) {
    if (e.esame == Esame::Rifiutata)
      r << u"!"_s + e.nome + u'|' + e.motivo;
    else
      r << (e.esame == Esame::DaAggiungere ? u"+"_s : u"="_s) + e.nome + u'@' + e.classe;
  }
  return r;
}

// Refusals are compared on the start of their reason.
void ConfrontaEsiti(const QStringList &avuti, const QStringList &attesi) {
  QCOMPARE(avuti.size(), attesi.size());
  for (qsizetype i = 0; i < avuti.size(); ++i) {
    if (attesi[i].startsWith(u'!'))
      QVERIFY2(avuti[i].startsWith(attesi[i]), qPrintable(avuti[i]));
    else
      QCOMPARE(avuti[i], attesi[i]);
  }
}

Anteprima Esamina(const ElencoLetto &e, Unione unione = Unione::CognomeNome,
                  const QString &classe = u"3ª A"_s, const QList<ClassePresente> &presenti = {}) {
  SceltaImport s;
  s.colonne = IndovinaColonne(e);
  s.unione = unione;
  s.classe = classe;
  return Esamina(e, s, presenti);
}

QByteArray Cp1252(const QString &s) {
  return QStringEncoder("windows-1252").encode(s);
}

bool Scrivi(const QString &file, const QByteArray &byte) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly) && f.write(byte) == byte.size();
}

// LibreOffice turns a CSV into another format, with a profile of its own.
QString Converti(const QString &soffice, const QString &csv, const QString &filtro, const QString &cartella) {
  QProcess p;
  p.start(soffice, {u"-env:UserInstallation=file://"_s + cartella + u"/profilo"_s, u"--headless"_s,
                    u"--infilter=CSV:59,34,76"_s, u"--convert-to"_s, filtro, u"--outdir"_s, cartella, csv});
  if (!p.waitForFinished(180000)) return {};
  const QString estensione = filtro.section(u':', 0, 0);
  return QDir(cartella).filePath(QFileInfo(csv).completeBaseName() + u'.' + estensione);
}

// Runs fai on the modal dialog the next action opens, once it is up.
void QuandoModale(std::function<void(QWidget *)> fai) {
  auto *timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, fai] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    fai(m);
  });
  timer->start();
}

template <typename W>
W *In(QWidget *w, const QString &nome) {
  W *c = w->findChild<W *>(nome);
  if (!c) qWarning("no control %s", qPrintable(nome));
  return c;
}

QStringList NomiAlunni(Registro &r, qint64 classe) {
  QStringList n;
  for (const Alunno &a : r.alunni(classe)) n << a.nome;
  return n;
}

}  // namespace

class TestImporta : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void shouldReadEveryEncodingSeparatorAndHeader_data();
  void shouldReadEveryEncodingSeparatorAndHeader();
  void shouldJudgeDuplicatesAndBadRows_data();
  void shouldJudgeDuplicatesAndBadRows();
  void shouldImport500RowsKeepingNothingButTheNames();
  void shouldWriteAllOrNothing();
  void shouldReadSheetsMadeByLibreOffice();
  void shouldNameWhatToInstallWithoutLibreOffice();
  void shouldImportAPastedClassThroughTheRegisterWindow();
  void shouldWriteNothingOnAnnulla();
};

void TestImporta::shouldReadEveryEncodingSeparatorAndHeader_data() {
  QTest::addColumn<QByteArray>("byte");
  QTest::addColumn<QString>("formato");
  QTest::addColumn<QStringList>("esiti");
  const QStringList dueAlunni = {u"+D'Amico Zoë@3ª A"_s, u"+Rossi Nicolò@3ª A"_s};
  QTest::newRow("utf8 ; CRLF, tax codes dropped")
      << u"Cognome;Nome;Codice fiscale\r\nD'Amico;Zoë;DMCZOE17A41H501X\r\nRossi;Nicolò;RSSNCL17B01F205Y\r\n"_s
             .toUtf8()
      << u"UTF-8, separatore: ;"_s << dueAlunni;
  QTest::newRow("utf8 with BOM ,") << "\xEF\xBB\xBF" + u"Cognome,Nome\nD'Amico,Zoë\nRossi,Nicolò"_s.toUtf8()
                                   << u"UTF-8 con BOM, separatore: ,"_s << dueAlunni;
  QTest::newRow("windows-1252 tab, curly apostrophe")
      << Cp1252(u"COGNOME\tNOME\tData di nascita\nD’Amico\tZoë\t01/02/2017\nRossi\tNicolò\t03/04/2017\n"_s)
      << u"Windows-1252, separatore: tabulazione"_s
      << QStringList{u"+D’Amico Zoë@3ª A"_s, u"+Rossi Nicolò@3ª A"_s};
  QByteArray utf16("\xFF\xFE");
  const QString unicode = u"Alunno\r\nD'AMICO ZOË\r\nROSSI NICOLÒ\r\n"_s;
  utf16 += QByteArray(reinterpret_cast<const char *>(unicode.utf16()), unicode.size() * 2);
  QTest::newRow("utf16 Excel unicode text, one whole-name column, capitals")
      << utf16 << u"UTF-16, separatore: nessuno"_s
      << QStringList{u"+D'Amico Zoë@3ª A"_s, u"+Rossi Nicolò@3ª A"_s};
  QTest::newRow("quoted fields: separator, doubled quotes, line break in a dropped column")
      << u"Cognome;Nome;Note\n\"De Luca\";\"Anna; Maria\";\"dice \"\"ciao\"\"\nva a capo\"\nBianchi;\"\";\n"_s
             .toUtf8()
      << u"UTF-8, separatore: ;"_s << QStringList{u"+De Luca Anna; Maria@3ª A"_s, u"+Bianchi@3ª A"_s};
  QTest::newRow("english header, first name first")
      << "First name,Surname,Date of birth\nZo\xC3\xAB,D'Amico,2017-02-01\nNicol\xC3\xB2,Rossi,2017-04-03\n"_ba
      << u"UTF-8, separatore: ,"_s << dueAlunni;
  QTest::newRow("odd header: spaces, capitals, accents, signs")
      << u" CÒGNOME ;  nome/  ;Classe / sezione\nD'Amico;Zoë;\nRossi;Nicolò;4ª B\n"_s.toUtf8()
      << u"UTF-8, separatore: ;"_s << QStringList{u"+D'Amico Zoë@3ª A"_s, u"+Rossi Nicolò@4ª B"_s};
  QTest::newRow("no header: number, surname, name, class")
      << "1\tD'Amico\tZo\xC3\xAB\t3A\n2\tRossi\tNicol\xC3\xB2\t3A\n"_ba << u"UTF-8, separatore: tabulazione"_s
      << dueAlunni;
  QTest::newRow("a lone Nome column holds the whole name, CR line ends")
      << "Nome\rD'Amico Zo\xC3\xAB\rRossi Nicol\xC3\xB2\r"_ba << u"UTF-8, separatore: nessuno"_s << dueAlunni;
}

void TestImporta::shouldReadEveryEncodingSeparatorAndHeader() {
  QFETCH(QByteArray, byte);
  QFETCH(QString, formato);
  QFETCH(QStringList, esiti);
  QTemporaryDir dir;
  const QString file = dir.filePath(u"classe.csv"_s);
  QVERIFY(Scrivi(file, byte));
  const ElencoLetto e = LeggiFileElenco(file);
  QVERIFY2(e.letto(), qPrintable(e.errore));
  QCOMPARE(e.formato, formato);
  ConfrontaEsiti(Esiti(Esamina(e)), esiti);
}

void TestImporta::shouldJudgeDuplicatesAndBadRows_data() {
  QTest::addColumn<QString>("incollato");
  QTest::addColumn<int>("unione");
  QTest::addColumn<QString>("classe");
  QTest::addColumn<QStringList>("esiti");
  const int cn = int(Unione::CognomeNome), ni = int(Unione::NomeIniziale);
  QTest::newRow("already in the class, whatever the capitals; repeated in the list")
      << u"Rossi\tMario\nROSSI\tMARIO\nVerdi\tLuca\nverdi\tluca\n"_s << cn << u"3ª A"_s
      << QStringList{u"=Rossi Mario@3ª A"_s, u"=Rossi Mario@3ª A"_s, u"+Verdi Luca@3ª A"_s,
                     u"=verdi luca@3ª A"_s};
  QTest::newRow("the same name in another class is a new pupil")
      << u"Rossi\tMario\n"_s << cn << u"4ª B"_s << QStringList{u"+Rossi Mario@4ª B"_s};
  QTest::newRow("bad rows")
      << (u"Cognome\tNome\tNote\n=SOMMA(A1)\tAnna\tx\n+39\tAnna\tx\n@Bianchi\tLuca\tx\n-Neri\tGino\tx\n"
          u"Ros\u200Bsi\tAnna\tx\n\u202EBianchi\tAnna\tx\n\t \tsolo una nota\n"
          u"\"Rossi\nBis\"\tAnna\tx\n"_s +
          QString(61, u'a') + u"\t\tx\n\t\t\nVerdi\tLuca\tx\n"_s)
      << cn << u"3ª A"_s
      << QStringList{u"!=SOMMA(A1) Anna|Il nome dell'alunno non può cominciare con"_s,
                     u"!+39 Anna|Il nome dell'alunno non può cominciare con"_s,
                     u"!@Bianchi Luca|Il nome dell'alunno non può cominciare con"_s,
                     u"!-Neri Gino|Il nome dell'alunno non può cominciare con"_s,
                     u"!Ros\u200Bsi Anna|Il nome dell'alunno contiene caratteri invisibili"_s,
                     u"!\u202EBianchi Anna|Il nome dell'alunno contiene caratteri invisibili"_s,
                     u"!|Il nome dell'alunno non può essere vuoto"_s,
                     u"!Rossi\nBis Anna|Il nome dell'alunno non può contenere a capo"_s,
                     u"!"_s + QString(61, u'a') + u"|Il nome dell'alunno è troppo lungo"_s,
                     u"+Verdi Luca@3ª A"_s};
  QTest::newRow("Nome C.: two pupils meet, the same pupil twice is skipped")
      << u"Cognome\tNome\nRossi\tMarco\nrusso\tMarco\nRossi\tMarco\nD'Amico\tZoë\nBianchi\t\"Anna\n\"\nX\t"_s +
             QString(58, u'a')
      << ni << u"3ª A"_s
      << QStringList{
             u"+Marco R.@3ª A"_s, u"!Marco R.|Stesso nome della riga 2"_s,
             u"=Marco R.@3ª A"_s, u"+Zoë D.@3ª A"_s,
             u"+Anna B.@3ª A"_s,  u"!"_s + QString(58, u'a') + u" X.|Il nome dell'alunno è troppo lungo"_s};
  QTest::newRow("no class chosen and none in the list")
      << u"Rossi\tLuca\n"_s << cn << u"  "_s << QStringList{u"!Rossi Luca|Manca la classe"_s};
  QTest::newRow("a class column sends each pupil to its class")
      << u"Cognome;Nome;Classe\nRossi;Mario;3ª A\nBianchi;Anna;4ª B\nVerdi;Luca;\nNeri;Gino;=4B\n"_s << cn
      << u"5ª C"_s
      << QStringList{u"=Rossi Mario@3ª A"_s, u"+Bianchi Anna@4ª B"_s, u"+Verdi Luca@5ª C"_s,
                     u"!Neri Gino|Il nome della classe non può cominciare con"_s};
}

void TestImporta::shouldJudgeDuplicatesAndBadRows() {
  QFETCH(QString, incollato);
  QFETCH(int, unione);
  QFETCH(QString, classe);
  QFETCH(QStringList, esiti);
  const QList<ClassePresente> presenti = {{7, u"3ª A"_s, {u"Rossi Mario"_s}}};
  const Anteprima a = Esamina(LeggiIncollato(incollato), Unione(unione), classe, presenti);
  ConfrontaEsiti(Esiti(a), esiti);
  QCOMPARE(a.daAggiungere + a.giaPresenti + a.rifiutate, int(a.righe.size()));
  // What would be written is exactly the rows to add, each class once.
  QStringList scritti;
  for (const GruppoImportato &g : a.gruppi) {
    QCOMPARE(g.classe, g.nomeClasse == u"3ª A"_s ? 7 : 0);
    for (const QString &n : g.alunni) scritti << u"+"_s + n + u'@' + g.nomeClasse;
  }
  QCOMPARE(scritti, esiti.filter(QRegularExpression(u"^\\+"_s)));
}

void TestImporta::shouldImport500RowsKeepingNothingButTheNames() {
  QByteArray csv = Cp1252(u"N.;Cognome;Nome;Codice fiscale;Data di nascita\r\n"_s);
  for (int i = 0; i < 500; ++i)
    csv += Cp1252(u"%1;Cognomè%1;Nome %2;CFSEGRETO%1X;%3/02/2017\r\n"_s.arg(i + 1)
                      .arg(QChar(u'A' + i % 26))
                      .arg(i % 28 + 1));
  RegistroProva p;
  const QString file = p.dir.filePath(u"scuola.csv"_s);
  QVERIFY(Scrivi(file, csv));
  Registro r(p.file);
  DestinazioneRegistro d(r);
  const Anteprima a = Esamina(LeggiFileElenco(file), Unione::CognomeNome, u"3ª A"_s, d.presenti());
  QCOMPARE(a.daAggiungere, 500);
  int aggiunti = 0;
  QVERIFY(d.scrivi(a.gruppi, aggiunti));
  QCOMPARE(aggiunti, 500);
  QCOMPARE(r.classi().size(), 1);
  const QStringList nomi = NomiAlunni(r, r.classi().first().id);
  QCOMPARE(nomi.size(), 500);
  QVERIFY(nomi.contains(u"Cognomè500 Nome F"_s));
  // The tax codes and birth dates are nowhere in the register's files.
  const QByteArray tutto = Contenuto(p.file) + Contenuto(p.file + u"-wal"_s);
  QVERIFY(tutto.contains("Cognom"));
  QVERIFY(!tutto.contains("CFSEGRETO"));
  QVERIFY(!tutto.contains("/02/2017"));
  // The same list again: nothing new to add.
  const Anteprima ancora = Esamina(LeggiFileElenco(file), Unione::CognomeNome, u"3ª A"_s, d.presenti());
  QCOMPARE(ancora.giaPresenti, 500);
}

void TestImporta::shouldWriteAllOrNothing() {
  RegistroProva p;
  Registro r(p.file);
  // Erased below the last class, so that no new class takes its number.
  const qint64 vecchia = r.nuovaClasse(u"2ª B"_s).id;
  QVERIFY(r.nuovaClasse(u"1ª A"_s));
  QVERIFY(r.cancellaClasse(vecchia));
  DestinazioneRegistro d(r);
  // A new class with two pupils, then a class erased while the preview was up.
  const QList<GruppoImportato> gruppi = {{0, u"5ª C"_s, {u"Rossi Mario"_s, u"Verdi Luca"_s}},
                                         {vecchia, u"2ª B"_s, {u"Neri Gino"_s}}};
  int aggiunti = -1;
  const Esito e = d.scrivi(gruppi, aggiunti);
  QVERIFY(!e);
  QCOMPARE(e.messaggio, u"La classe «2ª B» non esiste più."_s);
  QCOMPARE(aggiunti, 0);
  QCOMPARE(r.classi().size(), 1);
  // Without the erased class it all goes in; a pupil added meanwhile is not doubled.
  QVERIFY(d.scrivi(gruppi.mid(0, 1), aggiunti));
  const qint64 nuova = r.classi().value(1).id;
  QVERIFY(r.nuovoAlunno(nuova, u"Bianchi Anna"_s));
  QVERIFY(d.scrivi({{nuova, u"5ª C"_s, {u"Bianchi Anna"_s, u"Gialli Ugo"_s}}}, aggiunti));
  QCOMPARE(aggiunti, 1);
  QCOMPARE(NomiAlunni(r, nuova).size(), 4);
}

void TestImporta::shouldReadSheetsMadeByLibreOffice() {
  const QString soffice = ConversioneFoglio::Programma();
  if (soffice.isEmpty()) QSKIP("LibreOffice (soffice) is not installed: no .xls or .ods to read");
  QTemporaryDir dir;
  const QString csv = dir.filePath(u"classe.csv"_s);
  QVERIFY(
      Scrivi(csv, u"Cognome;Nome;Codice fiscale\nD'Amico;Zoë;DMCZOE17\nRossi;Nicolò;RSSNCL17\n"_s.toUtf8()));
  const QString xls = Converti(soffice, csv, u"xls:MS Excel 97"_s, dir.path());
  QVERIFY2(QFile::exists(xls), "LibreOffice made no .xls");
  const ElencoLetto e = LeggiFileElenco(xls);
  QVERIFY2(e.letto(), qPrintable(e.errore));
  QCOMPARE(e.righe.value(2), (QStringList{u"Rossi"_s, u"Nicolò"_s, u"RSSNCL17"_s}));
  ConfrontaEsiti(Esiti(Esamina(e)), {u"+D'Amico Zoë@3ª A"_s, u"+Rossi Nicolò@3ª A"_s});

  // An .ods goes through LibreOffice again, while the events run.
  const QString ods = Converti(soffice, csv, u"ods"_s, dir.path());
  QVERIFY2(QFile::exists(ods), "LibreOffice made no .ods");
  ConversioneFoglio c;
  QSignalSpy finita(&c, &ConversioneFoglio::finita);
  c.avvia(ods);
  QVERIFY(c.inCorso());
  QVERIFY(finita.wait(180000));
  const auto letto = finita.value(0).value(0).value<ElencoLetto>();
  QVERIFY2(letto.letto(), qPrintable(letto.errore));
  ConfrontaEsiti(Esiti(Esamina(letto)), {u"+D'Amico Zoë@3ª A"_s, u"+Rossi Nicolò@3ª A"_s});
  // A damaged file is told, not read.
  QVERIFY(Scrivi(dir.filePath(u"rotto.xls"_s), "\xD0\xCF\x11\xE0 non un foglio"));
  QVERIFY(!LeggiFileElenco(dir.filePath(u"rotto.xls"_s)).letto());
}

void TestImporta::shouldNameWhatToInstallWithoutLibreOffice() {
  QTemporaryDir vuota;
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", vuota.path().toLocal8Bit());
  Banco b;
  RegistroProva p;
  Registro r(p.file);
  FrmImporta f(std::make_unique<DestinazioneRegistro>(r), b.messaggi, {});
  f.impostaSceltaApertura([&](QWidget *) { return p.dir.filePath(u"classe.xlsx"_s); });
  QVERIFY(Attiva(&f));
  QTest::mouseClick(In<QPushButton>(&f, u"cmdApriFile"_s), Qt::LeftButton);
  QTRY_COMPARE(b.messaggi.voci.size(), 1);
  qputenv("PATH", path);
  QVERIFY(b.messaggi.voci.first().testo.contains(u"libreoffice-calc-nogui"_s));
  QVERIFY(In<QPushButton>(&f, u"cmdApriFile"_s)->isEnabled());
}

void TestImporta::shouldImportAPastedClassThroughTheRegisterWindow() {
  Banco b;
  RegistroProva p;
  Registro r(p.file);
  const qint64 classe = r.nuovaClasse(u"3ª A"_s).id;
  QVERIFY(r.nuovoAlunno(classe, u"Rossi Mario"_s));
  FrmRegistro f(r, b.ctx);
  QVERIFY(Attiva(&f));
  In<QTabWidget>(&f, u"tabRegistro"_s)->setCurrentIndex(3);
  In<QListWidget>(&f, u"lstClassi"_s)->setCurrentRow(0);
  QApplication::clipboard()->setText(
      u"Cognome\tNome\tCodice fiscale\nRossi\tMario\tRSSMRA\nBianchi\tAnna\tBNCNNA\n=1+1\tUgo\tX\n"_s);
  QStringList conteggi, anteprima;
  QuandoModale([&](QWidget *d) {
    QTest::mouseClick(In<QPushButton>(d, u"cmdIncolla"_s), Qt::LeftButton);
    conteggi << In<QLabel>(d, u"lblConteggi"_s)->text();
    QTest::mouseClick(In<QRadioButton>(d, u"optNomeIniziale"_s), Qt::LeftButton);
    auto *t = In<QTableWidget>(d, u"tblAnteprima"_s);
    for (int i = 0; i < t->rowCount(); ++i)
      anteprima << t->item(i, 1)->text() + u": "_s + t->item(i, 3)->text();
    QTest::mouseClick(In<QPushButton>(d, u"cmdImporta"_s), Qt::LeftButton);
  });
  QTest::mouseClick(In<QPushButton>(&f, u"cmdImportaElenco"_s), Qt::LeftButton);
  QCOMPARE(conteggi, QStringList{u"1 da aggiungere · 1 già presente · 1 rifiutata"_s});
  QCOMPARE(anteprima,
           (QStringList{u"Mario R.: Da aggiungere"_s, u"Anna B.: Da aggiungere"_s,
                        u"=1+1 Ugo: Rifiutata: Il nome dell'alunno non può cominciare con = (un foglio di calcolo lo prenderebbe per una formula)."_s}));
  QCOMPARE(NomiAlunni(r, classe), (QStringList{u"Anna B."_s, u"Mario R."_s, u"Rossi Mario"_s}));
  QCOMPARE(b.messaggi.testi(), QStringList{u"Aggiunti 2 alunni."_s});
  // The page shows them at once.
  QVERIFY(!In<QListWidget>(&f, u"lstAlunni"_s)->findItems(u"Anna B."_s, Qt::MatchExactly).isEmpty());
}

void TestImporta::shouldWriteNothingOnAnnulla() {
  Banco b;
  RegistroProva p;
  Registro r(p.file);
  QVERIFY(r.nuovaClasse(u"3ª A"_s));
  const QByteArray prima = Contenuto(p.file) + Contenuto(p.file + u"-wal"_s);
  FrmImporta f(std::make_unique<DestinazioneRegistro>(r), b.messaggi, u"4ª B"_s);
  QVERIFY(Attiva(&f));
  f.incolla(u"Rossi\tMario\nBianchi\tAnna\n"_s);
  QCOMPARE(f.anteprima().daAggiungere, 2);
  QVERIFY(In<QPushButton>(&f, u"cmdImporta"_s)->isEnabled());
  QTest::keyClick(&f, Qt::Key_Escape);
  QCOMPARE(f.result(), int(QDialog::Rejected));
  QCOMPARE(r.classi().size(), 1);
  QCOMPARE(Contenuto(p.file) + Contenuto(p.file + u"-wal"_s), prima);
  QVERIFY(b.messaggi.voci.isEmpty());
}

QTEST_MAIN(TestImporta)
#include "test_importa.moc"
