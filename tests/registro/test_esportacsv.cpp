#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QSqlQuery>
#include <QTest>
#include <QXmlStreamReader>

#include "registro/esportacsv.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDrop = u"\"; DROP TABLE alunni; --"_s;

// One cell as the spreadsheet understood it: its type and value.
struct Cella {
  QString tipo;    // float, date, time, string (empty for an empty cell)
  QString valore;  // office:value / date-value / time-value, or the text
};
using Foglio = QList<QList<Cella>>;

// Reads the first table of a flat OpenDocument spreadsheet.
Foglio LeggiFods(const QString &file) {
  QFile f(file);
  Foglio foglio;
  if (!f.open(QIODevice::ReadOnly)) return foglio;
  QXmlStreamReader x(&f);
  Cella *cella = nullptr;
  bool paragrafo = false;
  while (!x.atEnd()) {
    x.readNext();
    if (x.isEndElement() && x.name() == u"table"_s) break;
    if (x.isEndElement() && x.name() == u"p"_s) paragrafo = false;
    if (!x.isStartElement()) {
      if (cella && paragrafo && x.isCharacters()) cella->valore += x.text();
      continue;
    }
    if (x.name() == u"p"_s) paragrafo = true;
    const auto a = x.attributes();
    if (x.name() == u"table-row"_s) {
      foglio.append(QList<Cella>());
      cella = nullptr;
    } else if (x.name() == u"table-cell"_s && !foglio.isEmpty()) {
      const int volte = std::max(1, a.value(u"table:number-columns-repeated"_s).toInt());
      const QString tipo = a.value(u"office:value-type"_s).toString();
      QString valore = a.value(u"office:value"_s).toString();
      if (tipo == u"date"_s) valore = a.value(u"office:date-value"_s).toString();
      if (tipo == u"time"_s) valore = a.value(u"office:time-value"_s).toString();
      for (int i = 0; i < std::min(volte, 64); ++i) foglio.last().append(Cella{tipo, valore});
      // The text of a string cell is read from its paragraph.
      cella = tipo == u"string"_s ? &foglio.last().last() : nullptr;
      if (cella) cella->valore.clear();
    } else if (x.name() == u"s"_s && cella) {
      cella->valore += QString(std::max(1, a.value(u"text:c"_s).toInt()), u' ');
    }
  }
  return foglio;
}

// The row whose column col holds text.
QList<Cella> Riga(const Foglio &foglio, int col, const QString &testo) {
  for (const auto &r : foglio)
    if (r.size() > col && r[col].valore == testo) return r;
  return {};
}

int Colonna(const Foglio &foglio, const QString &intestazione) {
  return foglio.isEmpty() ? -1
                          : int(std::find_if(foglio[0].begin(), foglio[0].end(),
                                             [&](const Cella &c) { return c.valore == intestazione; }) -
                                foglio[0].begin());
}

}  // namespace

class TestEsportaCsv : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void shouldWriteNumbersTheItalianWay_data();
  void shouldWriteNumbersTheItalianWay();
  void shouldQuoteText_data();
  void shouldQuoteText();
  void shouldWriteTheFilesForAnItalianSpreadsheet_data();
  void shouldWriteTheFilesForAnItalianSpreadsheet();
  void shouldExportAPupilOnly();
  void shouldRefuseAFileItCannotWrite();
  void shouldBeReadByLibreOfficeAsNumbersDatesAndNames();
  void shouldKeepFormulaLikeNamesAsTextInLibreOffice();

 private:
  QString percorso(const QString &nome) const { return m_p.dir.filePath(nome); }
  RegistroProva m_p;
  qint64 m_classe = 0, m_damico = 0;
};

void TestEsportaCsv::initTestCase() {
  Registro r(m_p.file);
  m_classe = r.nuovaClasse(u"3ª A"_s).id;
  m_damico = r.nuovoAlunno(m_classe, u"D'Amico"_s).id;
  const qint64 zoe = r.nuovoAlunno(m_classe, u"Zoë"_s).id;
  const qint64 drop = r.nuovoAlunno(m_classe, kDrop).id;
  QVERIFY(m_damico && zoe && drop);
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.famiglia = 9;
  d.cifre = 2;
  d.cosa = 1;
  d.ordine = 3;
  // D'Amico: 17 of 20, 30 seconds in all (1,5 a operation), most often "unita".
  d.alunno = m_damico;
  d.inizio = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 30));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 20; ++n)
    QVERIFY(reg.operazioneChiusa(Operazione(n,
                                            n <= 3   ? QStringList{u"unita"_s, u"virgola+1"_s, u"unita"_s}
                                            : n == 4 ? QStringList{u"virgola+1"_s}
                                                     : QStringList{},
                                            n > 3, n % 2 ? 1 : 2)));
  // Zoë: two operations, then the window closed.
  d.alunno = zoe;
  d.inizio = QDateTime(QDate(2027, 1, 2), QTime(8, 5, 0));
  QVERIFY(reg.inizia(d));
  QVERIFY(reg.operazioneChiusa(Operazione(1)));
  QVERIFY(reg.operazioneChiusa(Operazione(2)));
  QVERIFY(reg.interrompi());
  // The third pupil: all right.
  d.alunno = drop;
  d.inizio = QDateTime(QDate(2026, 11, 30), QTime(12, 0, 0));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 20; ++n) QVERIFY(reg.operazioneChiusa(Operazione(n, {}, true, 10)));
  // Someone without a name.
  d.alunno.reset();
  QVERIFY(reg.inizia(d));
  QVERIFY(reg.operazioneChiusa(Operazione(1)));

  EsportaCsv csv(r, [](const QString &k) { return k == u"unita"_s ? u"unità sbagliata"_s : k; });
  QVERIFY(csv.classe(m_classe, percorso(u"classe.csv"_s)));
  QVERIFY(csv.operazioniClasse(m_classe, percorso(u"operazioni.csv"_s)));
  QVERIFY(csv.alunno(m_damico, percorso(u"alunno.csv"_s)));
}

void TestEsportaCsv::shouldWriteNumbersTheItalianWay_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<QString>("testo");
  QTest::newRow("half") << 1.5 << u"1,5"_s;
  QTest::newRow("whole") << 10.0 << u"10"_s;
  QTest::newRow("zero") << 0.0 << u"0"_s;
  QTest::newRow("no thousands separator") << 1234.25 << u"1234,25"_s;
  QTest::newRow("two decimals at most") << 20.0 / 3 << u"6,67"_s;
  QTest::newRow("negative") << -3.5 << u"-3,5"_s;
}

void TestEsportaCsv::shouldWriteNumbersTheItalianWay() {
  QFETCH(double, x);
  QFETCH(QString, testo);
  QCOMPARE(EsportaCsv::Numero(x), testo);
}

void TestEsportaCsv::shouldQuoteText_data() {
  QTest::addColumn<QString>("testo");
  QTest::addColumn<QString>("cella");
  QTest::newRow("plain") << u"Rossi"_s << u"\"Rossi\""_s;
  QTest::newRow("apostrophe") << u"D'Amico"_s << u"\"D'Amico\""_s;
  QTest::newRow("quotes doubled") << kDrop << u"\"\"\"; DROP TABLE alunni; --\""_s;
  QTest::newRow("empty") << QString() << u"\"\""_s;
  QTest::newRow("looks like a number") << u"1.270"_s << u"\"1.270\""_s;
  QTest::newRow("formula") << u"=1+1"_s << u"\"'=1+1\""_s;
  QTest::newRow("plus") << u"+39"_s << u"\"'+39\""_s;
  QTest::newRow("minus") << u"-5"_s << u"\"'-5\""_s;
  QTest::newRow("at") << u"@x"_s << u"\"'@x\""_s;
  QTest::newRow("tab first") << u"\tx"_s << u"\"'\tx\""_s;
}

void TestEsportaCsv::shouldQuoteText() {
  QFETCH(QString, testo);
  QFETCH(QString, cella);
  QCOMPARE(EsportaCsv::Testo(testo), cella);
}

void TestEsportaCsv::shouldWriteTheFilesForAnItalianSpreadsheet_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("righe");
  QTest::addColumn<QByteArray>("intestazione");
  QTest::addColumn<QByteArray>("unaRiga");
  QTest::newRow("class") << u"classe.csv"_s << 1 + 3
                         << QByteArray(
                                "\"Classe\";\"Alunno\";\"Data\";\"Ora\";\"Famiglia\";\"Unità\";\"Cifre\";"
                                "\"Cosa calcolare\";\"Ordine\";\"Esatte\";\"Operazioni\";\"Voto in decimi\";"
                                "\"Valutazione\";\"Tempo totale (s)\";\"Tempo medio (s)\";"
                                "\"Errore più frequente\";\"Stato\"")
                         << QByteArray("\"3ª A\";\"D'Amico\";09/12/2026;10:15:30;9;");
  QTest::newRow("operations") << u"operazioni.csv"_s << 1 + 20 + 2 + 20
                              << QByteArray(
                                     "\"Classe\";\"Alunno\";\"Data\";\"Ora\";\"Famiglia\";\"Esercizio\";"
                                     "\"Operazione\";\"Chiesto\";\"Primo addendo\";\"Secondo addendo\";"
                                     "\"Unità richiesta\";\"Risposta giusta\";\"Risposte date\";\"Errori\";"
                                     "\"Tentativi\";\"Esatta\";\"Intervento\";\"Secondi\"")
                              << QByteArray(
                                     "\"3ª A\";\"D'Amico\";09/12/2026;10:15:30;9;1;1;\"numero\";\"12  h\";"
                                     "\" 7 da\";\"u\";\"1.270\";\"127 · 127 · 127\";"
                                     "\"unità sbagliata · virgola+1 · unità sbagliata\";3;\"no\";\"sì\";1");
  QTest::newRow("pupil") << u"alunno.csv"_s << 1 + 1 << QByteArray("\"Classe\";\"Alunno\";\"Data\";")
                         << QByteArray(
                                "\"3ª A\";\"D'Amico\";09/12/2026;10:15:30;9;\"chilogrammi, ettogrammi, "
                                "decagrammi, grammi\";2;\"numero\";\"decrescente e crescente\";17;20;8,5;");
}

void TestEsportaCsv::shouldWriteTheFilesForAnItalianSpreadsheet() {
  QFETCH(QString, file);
  QFETCH(int, righe);
  QFETCH(QByteArray, intestazione);
  QFETCH(QByteArray, unaRiga);
  const QByteArray dati = Contenuto(percorso(file));
  QVERIFY(dati.startsWith("\xEF\xBB\xBF"));
  QVERIFY(dati.endsWith("\r\n"));
  QCOMPARE(dati.count("\r\n"), righe);
  QCOMPARE(dati.count('\n'), righe);  // no bare line feed
  const QList<QByteArray> linee = dati.mid(3).split('\n');
  QVERIFY(linee.first().startsWith(intestazione));
  bool trovata = false;
  for (const QByteArray &l : linee) trovata = trovata || l.startsWith(unaRiga);
  QVERIFY2(trovata, unaRiga.constData());
  QVERIFY(!QString::fromUtf8(dati).contains(QChar::ReplacementCharacter));
}

void TestEsportaCsv::shouldExportAPupilOnly() {
  const QByteArray dati = Contenuto(percorso(u"classe.csv"_s));
  QVERIFY(dati.contains("\"3ª A\";\"\"\"; DROP TABLE alunni; --\";30/11/2026;12:00:00;"));
  QVERIFY(dati.contains(";17;20;8,5;\"DISTINTO\";30;1,5;\"unità sbagliata\";\"finito\"\r\n"));
  // Unfinished: counted, never graded.
  QVERIFY(dati.contains(";2;2;;\"\";14;7;\"\";\"non finito\"\r\n"));
  QVERIFY(!dati.contains("Senza nome"));  // not a pupil of the class
  const QByteArray alunno = Contenuto(percorso(u"alunno.csv"_s));
  QVERIFY(alunno.contains("D'Amico"));
  QVERIFY(!alunno.contains("Zoë") && !alunno.contains("DROP"));
  // The exercises done without a name, on their own.
  Registro r(m_p.file);
  QVERIFY(EsportaCsv(r).alunno(0, percorso(u"senzanome.csv"_s)));
  const QByteArray senzaNome = Contenuto(percorso(u"senzanome.csv"_s));
  QCOMPARE(senzaNome.count("\r\n"), 2);
  QVERIFY(senzaNome.contains("\r\n\"\";\"Senza nome\";30/11/2026;12:00:00;9;"));
  QVERIFY(senzaNome.contains(";1;1;;\"\";7;7;\"\";\"non finito\"\r\n"));
}

void TestEsportaCsv::shouldRefuseAFileItCannotWrite() {
  Registro r(m_p.file);
  EsportaCsv csv(r);
  const Esito e = csv.classe(m_classe, percorso(u"manca/classe.csv"_s));
  QVERIFY(!e);
  QVERIFY(e.messaggio.contains(u"Non riesco a scrivere"_s));
}

void TestEsportaCsv::shouldBeReadByLibreOfficeAsNumbersDatesAndNames() {
  const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
  if (soffice.isEmpty()) QSKIP("LibreOffice (libreoffice-calc-nogui) is not installed");
  QTemporaryDir profilo, uscita;
  QProcess p;
  // How an Italian Calc opens them: ";" between fields, UTF-8, Italian numbers
  // and dates, special numbers recognised. All three files in one start.
  p.start(soffice, {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profilo.path()).toString(),
                    u"--headless"_s, u"--convert-to"_s, u"fods"_s,
                    u"--infilter=CSV:59,34,76,1,,1040,false,true"_s, u"--outdir"_s, uscita.path(),
                    percorso(u"classe.csv"_s), percorso(u"operazioni.csv"_s), percorso(u"alunno.csv"_s)});
  QVERIFY(p.waitForFinished(300000));
  QCOMPARE(p.exitCode(), 0);

  const Foglio classe = LeggiFods(uscita.filePath(u"classe.fods"_s));
  QCOMPARE(classe.size(), 4);
  const int alunno = Colonna(classe, u"Alunno"_s);
  QCOMPARE(alunno, 1);
  const auto damico = Riga(classe, alunno, u"D'Amico"_s);
  QVERIFY(!damico.isEmpty());
  const auto cella = [&](const QList<Cella> &r, const QString &colonna) {
    return r.value(Colonna(classe, colonna));
  };
  QCOMPARE(cella(damico, u"Classe"_s).valore, u"3ª A"_s);
  QCOMPARE(cella(damico, u"Data"_s).tipo, u"date"_s);
  QCOMPARE(cella(damico, u"Data"_s).valore, u"2026-12-09"_s);
  QCOMPARE(cella(damico, u"Ora"_s).tipo, u"time"_s);
  QCOMPARE(cella(damico, u"Ora"_s).valore, u"PT10H15M30S"_s);
  QCOMPARE(cella(damico, u"Esatte"_s).tipo, u"float"_s);
  QCOMPARE(cella(damico, u"Esatte"_s).valore, u"17"_s);
  QCOMPARE(cella(damico, u"Voto in decimi"_s).tipo, u"float"_s);
  QCOMPARE(cella(damico, u"Voto in decimi"_s).valore.toDouble(), 8.5);
  QCOMPARE(cella(damico, u"Tempo medio (s)"_s).tipo, u"float"_s);
  QCOMPARE(cella(damico, u"Tempo medio (s)"_s).valore.toDouble(), 1.5);
  QCOMPARE(cella(damico, u"Valutazione"_s).valore, u"DISTINTO"_s);
  QCOMPARE(cella(damico, u"Errore più frequente"_s).valore, u"unità sbagliata"_s);
  QCOMPARE(cella(damico, u"Unità"_s).tipo, u"string"_s);
  QVERIFY(!Riga(classe, alunno, u"Zoë"_s).isEmpty());
  const auto drop = Riga(classe, alunno, kDrop);
  QVERIFY(!drop.isEmpty());
  QCOMPARE(cella(drop, u"Data"_s).valore, u"2026-11-30"_s);

  const Foglio operazioni = LeggiFods(uscita.filePath(u"operazioni.fods"_s));
  QCOMPARE(operazioni.size(), 1 + 20 + 2 + 20);
  const auto prima = operazioni.value(1);
  const auto colonna = [&](const QString &c) { return prima.value(Colonna(operazioni, c)); };
  QCOMPARE(colonna(u"Alunno"_s).valore, kDrop);  // '"' sorts before 'D'
  QCOMPARE(colonna(u"Primo addendo"_s).valore, u"12  h"_s);
  QCOMPARE(colonna(u"Secondi"_s).tipo, u"float"_s);
  QCOMPARE(colonna(u"Secondi"_s).valore, u"10"_s);
  QCOMPARE(colonna(u"Data"_s).tipo, u"date"_s);

  const Foglio soloAlunno = LeggiFods(uscita.filePath(u"alunno.fods"_s));
  QCOMPARE(soloAlunno.size(), 2);
  QCOMPARE(soloAlunno[1].value(1).valore, u"D'Amico"_s);
}

QTEST_GUILESS_MAIN(TestEsportaCsv)
// A register from before names were checked may hold a name that a
// spreadsheet would run; opened in LibreOffice it stays the text it was.
void TestEsportaCsv::shouldKeepFormulaLikeNamesAsTextInLibreOffice() {
  const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
  if (soffice.isEmpty()) QSKIP("LibreOffice (libreoffice-calc-nogui) is not installed");
  const QString nome = u"=HYPERLINK(\"http://x\";\"Rossi\")"_s, classe = u"+3A"_s;
  RegistroProva p;
  Registro r(p.file);
  QVERIFY(r.apri());
  QSqlQuery q(r.db());
  q.prepare(u"INSERT INTO classi (id, nome) VALUES (1, ?)"_s);
  q.addBindValue(classe);
  QVERIFY(q.exec());
  q.prepare(u"INSERT INTO alunni (id, classe, nome) VALUES (1, 1, ?)"_s);
  q.addBindValue(nome);
  QVERIFY(q.exec());
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = 1;
  d.inizio = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
  QVERIFY(reg.inizia(d));
  QVERIFY(reg.operazioneChiusa(Operazione(1)));
  QTemporaryDir profilo, uscita;
  const QString csv = uscita.filePath(u"classe.csv"_s);
  QVERIFY(EsportaCsv(r).classe(1, csv));
  QProcess lo;
  lo.start(soffice, {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profilo.path()).toString(), u"--headless"_s,
                     u"--convert-to"_s, u"fods"_s, u"--infilter=CSV:59,34,76,1,,1040,false,true"_s, u"--outdir"_s,
                     uscita.path(), csv});
  QVERIFY(lo.waitForFinished(300000));
  const Foglio foglio = LeggiFods(uscita.filePath(u"classe.fods"_s));
  QCOMPARE(foglio.size(), 2);
  const auto riga = foglio.at(1);
  QCOMPARE(riga.value(Colonna(foglio, u"Alunno"_s)).tipo, u"string"_s);
  QCOMPARE(riga.value(Colonna(foglio, u"Alunno"_s)).valore, u"'"_s + nome);
  QCOMPARE(riga.value(Colonna(foglio, u"Classe"_s)).valore, u"'"_s + classe);
}

#include "test_esportacsv.moc"
