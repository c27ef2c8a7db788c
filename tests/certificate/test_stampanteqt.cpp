#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPainter>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cstring>

#include "generation/zcalcolaspazi.h"
#include "pdf.h"
#include "platform/stampanteqt.h"
#include "righeprova.h"
#include "support/doppi.h"
#include "ui/certificate/frmattestato.h"
#include "ui/certificate/stampaesercizio.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

// The real back end writing PDFs, read back with poppler-utils. No CUPS server
// is reachable here, as on a machine with no printer installed.
class TestStampanteQt : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void shouldOfferThePdfWhenNoPrinterIsInstalled();
  void shouldListCourierAliasesThatResolveToAMonospacedTwin();
  void shouldSuggestADatedNameInTheChosenFolder();
  void shouldPrintTheLogRowsInOrderAtTheirHeights();
  void shouldGoOnToASecondPageLikeALinePrinter();
  void shouldFitSevenCharacterAnswersInTheLog();
  void shouldPaintAPictureAtItsPlaceAndSize();
  void shouldPrintTheCertificateAsOneSharpPicture();
  void shouldReportAPdfThatCannotBeWritten();
  void shouldStaySilentWhenTheUserCancels();
  // Last: the service counts as silent for a while afterwards.
  void shouldGiveUpOnAPrintServiceThatDoesNotAnswer();

 private:
  QString pdfStampato(StampanteQt &s);
  QTemporaryDir m_dir;
  int m_conta = 0;
};

void TestStampanteQt::initTestCase() {
  QVERIFY(m_dir.isValid());
  qputenv("CUPS_SERVER", m_dir.filePath(u"nessun-server.sock"_s).toLocal8Bit());
  qunsetenv("PRINTER");
  qunsetenv("LPDEST");
  if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) QSKIP("poppler-utils non installato");
}

// A printer whose PDFs land in the test folder, one new file per document.
QString TestStampanteQt::pdfStampato(StampanteQt &s) {
  const QString file = m_dir.filePath(u"stampa-%1.pdf"_s.arg(++m_conta));
  s.impostaSceltaFilePdf([file](const QString &) { return file; });
  return file;
}

void TestStampanteQt::shouldOfferThePdfWhenNoPrinterIsInstalled() {
  StampanteQt s;
  QCOMPARE(s.stampanti(), QStringList{kSalvaComePdf});
  QCOMPARE(s.predefinita(), kSalvaComePdf);
  QCOMPARE(s.corrente(), kSalvaComePdf);
  QVERIFY(!s.scegli(u"Stampante che non c'\u00E8"_s));
  QCOMPARE(s.corrente(), kSalvaComePdf);
  QVERIFY(s.scegli(kSalvaComePdf));
}

void TestStampanteQt::shouldListCourierAliasesThatResolveToAMonospacedTwin() {
  const QStringList f = FontStampabili();
  QVERIFY(f.contains(u"Liberation Mono"_s) || f.contains(u"Nimbus Mono PS"_s));
  QVERIFY(f.contains(u"Courier New"_s));
  QVERIFY(f.contains(u"Courier"_s));
  QVERIFY(f.indexOf(u"Courier New"_s) < f.indexOf(u"Courier"_s) ||
          QFontDatabase::families().contains(u"Courier"_s));
  QCOMPARE(CercaFontCourier(StampanteQt().fonts()), u"Courier New"_s);
  // An alias is offered once, not next to a real family of that name.
  QCOMPARE(f.count(u"Courier New"_s), 1);
  QCOMPARE(f.count(u"Courier"_s), 1);
}

void TestStampanteQt::shouldSuggestADatedNameInTheChosenFolder() {
  StampanteQt s;
  s.impostaCartellaPdf(m_dir.path());
  s.impostaTitolo(u"Esercizio"_s);
  const QString primo = s.nomePdfSuggerito();
  const QFileInfo info(primo);
  QCOMPARE(info.absolutePath(), QFileInfo(m_dir.path()).absoluteFilePath());
  QVERIFY(info.fileName().contains(u"Esercizio"_s));
  QVERIFY(info.fileName().contains(QDate::currentDate().toString(u"yyyy-MM-dd"_s)));
  QVERIFY(info.fileName().endsWith(u".pdf"_s));
  // An existing file is never offered for overwriting.
  QFile f(primo);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.close();
  const QString secondo = s.nomePdfSuggerito();
  QVERIFY(secondo != primo);
  QVERIFY(!QFileInfo::exists(secondo));
  s.impostaTitolo(u"Scheda a/b: 30?"_s);
  QVERIFY(!QFileInfo(s.nomePdfSuggerito()).fileName().contains(u'/'));
  QVERIFY(!QFileInfo(s.nomePdfSuggerito()).fileName().contains(u'?'));
}

void TestStampanteQt::shouldPrintTheLogRowsInOrderAtTheirHeights() {
  StampanteQt s;
  const QString file = pdfStampato(s);
  Esercizio e;
  RiempiEsercizio(e, 20);
  QVERIFY(StampaEsercizio(s, e).riuscito());
  QCOMPARE(pdf::pagine(file), 1);
  const auto parole = pdf::parole(file);
  // Heading at 1000/1000 twips = 50/50 points, its second line below the first.
  const auto h1 = pdf::riga(parole, u"SCUOLA"_s);
  const auto h2 = pdf::riga(parole, u"Ordina"_s);
  QCOMPARE(h1.size(), 3);
  QVERIFY(qAbs(h1[0].x0 - 50) < 1.5);
  QVERIFY(qAbs(h1[0].y0 - 50) < 4);
  QVERIFY(qAbs(h2[0].x0 - 50) < 1.5);
  QVERIFY(h2[0].y0 > h1[0].y1 - 1 && h2[0].y0 < h1[0].y0 + 25);
  double primaY = 0;
  for (int k = 1; k <= 20; ++k) {
    const QString atteso = e.strRigheEsercizio[static_cast<size_t>(k)].simplified();
    const auto r = pdf::riga(parole, u"%1)"_s.arg(k));
    QStringList testo;
    for (const auto &p : r) testo << p.testo;
    QCOMPARE(testo.join(u' '), atteso);
    // x 500 twips = 25 pt, plus the leading blanks at 6 pt each in 10 pt Courier.
    const QString grezza = e.strRigheEsercizio[static_cast<size_t>(k)];
    const qsizetype blank = grezza.size() - QStringView(grezza).trimmed().size();
    QVERIFY2(qAbs(r[0].x0 - 25 - 6.0 * double(blank)) < 1.0,
             qPrintable(u"%1 a x %2"_s.arg(atteso).arg(r[0].x0)));
    const double y = YRigaEsercizio(k) / 20.0;
    if (k == 1) primaY = r[0].y0 - y;  // the glyph box's offset below the line's top
    QVERIFY2(qAbs(r[0].y0 - y - primaY) < 0.6,
             qPrintable(u"riga %1 a %2 invece di %3"_s.arg(k).arg(r[0].y0).arg(y)));
    QVERIFY(primaY > -1 && primaY < 4);
  }
  // The monospaced twin of Courier New is what the page carries.
  QVERIFY(pdf::esegui(u"pdffonts"_s, {file}).contains(u"Mono"_s));
}

void TestStampanteQt::shouldGoOnToASecondPageLikeALinePrinter() {
  StampanteQt s;
  const QString file = pdfStampato(s);
  Esercizio e;
  RiempiEsercizio(e, 60);
  QVERIFY(StampaEsercizio(s, e).riuscito());
  QCOMPARE(pdf::pagine(file), 2);
  const auto parole = pdf::parole(file);
  QCOMPARE(pdf::riga(parole, u"60)"_s).value(0).pagina, 2);
  QCOMPARE(pdf::riga(parole, u"30)"_s).value(0).pagina, 1);
}

// The longest answers the keypad takes (1.801,5) leave no fill before them; the
// widest line, three of them wrong and the program's answer, stays whole on the page.
void TestStampanteQt::shouldFitSevenCharacterAnswersInTheLog() {
  StampanteQt s;
  const QString file = pdfStampato(s);
  Operazione op;
  op.strAddendo1 = u"18  km"_s;
  op.strAddendo2 = u"15   m"_s;
  op.strSimboloRichiesto = u" dam"_s;
  op.strRisultato = u"1.801,5"_s;
  Esercizio e;
  RiempiEsercizio(e, 12);
  QString &sbagliata = e.strRigheEsercizio[1];
  sbagliata = ScriviRigaNumero(op);
  for (int i = 0; i < 3; ++i) sbagliata = AggiungiErrore(sbagliata, op, u"1.081,5"_s);
  sbagliata = AggiungiCorrezione(sbagliata, op, 150);
  e.strRigheEsercizio[2] = AggiungiRisposta(ScriviRigaNumero(op), op, u"1.801,5"_s);
  e.strRigheEsercizio[3] = AggiungiRisposta(ScriviRigaNumero(op), op, u"12.345"_s);
  QCOMPARE(e.strRigheEsercizio[2], u"18  km + 15   m = ... dam  r. 1.801,5"_s);
  QVERIFY(StampaEsercizio(s, e).riuscito());
  const auto parole = pdf::parole(file);
  // The three lines begin with the first addend, at the left margin.
  QList<QList<pdf::Parola>> righe;
  for (int i = 0; i < parole.size(); ++i)
    if (parole[i].testo == u"18"_s && parole[i].x0 < 30.0) righe << pdf::riga(parole, u"18"_s, i - 1);
  QCOMPARE(righe.size(), 3);
  const auto &prima = righe[0], &giusta = righe[1], &sei = righe[2];
  QStringList testo;
  for (const auto &p : prima) testo << p.testo;
  QCOMPARE(testo.join(u' '), sbagliata.simplified());
  QVERIFY2(prima.last().x1 < 595.0 - 25.0, qPrintable(u"the line ends at x %1"_s.arg(prima.last().x1)));
  // No fill is left before six or seven characters: both start right after "r.".
  QCOMPARE(giusta.last().testo, u"1.801,5"_s);
  QCOMPARE(sei.last().testo, u"12.345"_s);
  QVERIFY(qAbs(giusta.last().x0 - sei.last().x0) < 0.6);
  QVERIFY(qAbs(giusta.last().x1 - 6.0 - sei.last().x1) < 0.6);
}

void TestStampanteQt::shouldPaintAPictureAtItsPlaceAndSize() {
  StampanteQt s;
  const QString file = pdfStampato(s);
  QImage quadro(200, 100, QImage::Format_RGB32);
  quadro.fill(Qt::black);
  s.stampaImmagine(quadro, 1440, 720, 2880, 1440);  // 1 in, 0.5 in; 2 x 1 in
  QVERIFY(s.fineDocumento());
  const QRect r = pdf::inchiostro(pdf::pagina(file, 100));
  QVERIFY2(qAbs(r.left() - 100) <= 1 && qAbs(r.top() - 50) <= 1,
           qPrintable(u"%1,%2"_s.arg(r.left()).arg(r.top())));
  QVERIFY2(qAbs(r.width() - 200) <= 2 && qAbs(r.height() - 100) <= 2,
           qPrintable(u"%1x%2"_s.arg(r.width()).arg(r.height())));
}

void TestStampanteQt::shouldPrintTheCertificateAsOneSharpPicture() {
  StampanteQt stampante;
  const QString file = pdfStampato(stampante);
  OrologioFinto orologio;
  CasualeCopione casuale;
  MessaggiRegistrati messaggi;
  NavigazioneRegistrata nav;
  nav.didascalie[u"Label6_1"_s] = u"VORNEL"_s;
  Stato stato;
  RiempiEsercizio(stato.esercizio, 20, 17);
  stato.esercizio.strNomeAlunno = u"lUCIA"_s;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
  auto *w = new FrmAttestato(ctx);
  QVERIFY(w->stampa());
  QVERIFY(messaggi.voci.isEmpty());
  QCOMPARE(pdf::pagine(file), 1);
  // Bands of the picture drawn at the printer's resolution, stacked to its
  // own size on paper: 6690 x 8820 twips.
  const int dpi = stampante.risoluzione();
  const auto imm = pdf::immagini(file);
  QVERIFY(imm.size() > 1);
  const QSize tutto = pdf::pila(imm, dpi);
  QCOMPARE(tutto, w->disegno().pixel(dpi));
  QVERIFY(qAbs(tutto.width() * 1440.0 / dpi - 6690) < 5);
  QVERIFY(qAbs(tutto.height() * 1440.0 / dpi - 8820) < 5);
  // Placed at 1000/100 twips: the frame round the picture starts just inside it.
  const QImage pagina = pdf::pagina(file, 144);
  const QRect r = pdf::inchiostro(pagina);
  const double px = 144.0 / 1440.0;
  QVERIFY2(r.left() >= 1000 * px && r.left() <= 1000 * px + 12, qPrintable(QString::number(r.left())));
  QVERIFY2(r.top() >= 100 * px && r.top() <= 100 * px + 12, qPrintable(QString::number(r.top())));
  QVERIFY(r.right() <= (1000 + 6690) * px + 1 && r.right() >= (1000 + 6690) * px - 12);
  QVERIFY(r.bottom() <= (100 + 8820) * px + 1 && r.bottom() >= (100 + 8820) * px - 12);
  // The bands meet without a seam: the frame's left rule is dark all the way down.
  const QImage fine = pdf::pagina(file, 300);
  const int x = static_cast<int>((1000 + 2.2 / 25.4 * 1440) * 300 / 1440.0);  // the rule 2.2 mm inside
  int chiaro = 0;
  for (int y = (100 + 600) * 300 / 1440; y < (100 + 8820 - 600) * 300 / 1440; ++y) {
    int scuro = 255;
    for (int dx = -4; dx <= 4; ++dx) scuro = std::min(scuro, qGray(fine.pixel(x + dx, y)));
    if (scuro > 160) ++chiaro;
  }
  QCOMPARE(chiaro, 0);
  delete w;
}

void TestStampanteQt::shouldReportAPdfThatCannotBeWritten() {
  StampanteQt s;
  const QString file = m_dir.filePath(u"non-esiste/sotto/stampa.pdf"_s);
  s.impostaSceltaFilePdf([file](const QString &) { return file; });
  Esercizio e;
  RiempiEsercizio(e, 10);
  const EsitoStampa esito = StampaEsercizio(s, e);
  QCOMPARE(esito.tipo, EsitoStampa::Tipo::Errore);
  QVERIFY(esito.errore.contains(u"PDF"_s));
  QVERIFY(esito.errore.contains(u"non-esiste"_s));
  QVERIFY(!QFileInfo::exists(file));
  // The next document starts afresh and succeeds.
  const QString buono = pdfStampato(s);
  QVERIFY(StampaEsercizio(s, e).riuscito());
  QVERIFY(s.errore().isEmpty());
  QCOMPARE(pdf::pagine(buono), 1);
}

void TestStampanteQt::shouldStaySilentWhenTheUserCancels() {
  StampanteQt s;
  int chiesto = 0;
  s.impostaSceltaFilePdf([&chiesto](const QString &suggerito) {
    ++chiesto;
    return suggerito.endsWith(u".pdf"_s) ? QString() : u"sbagliato"_s;
  });
  s.impostaY(1000);
  s.stampaRiga(u"uno"_s);
  s.stampaRiga(u"due"_s);
  QVERIFY(!s.fineDocumento());
  QCOMPARE(chiesto, 1);
  QVERIFY(s.errore().isEmpty());
  QCOMPARE(s.y(), 0.0);
}

// A print server that takes the connection and never answers (a hung cupsd,
// a network server gone quiet): CUPS itself would wait for it without end.
void TestStampanteQt::shouldGiveUpOnAPrintServiceThatDoesNotAnswer() {
  const QByteArray presa = QFile::encodeName(m_dir.filePath(u"muto.sock"_s));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  QVERIFY(fd >= 0);
  sockaddr_un indirizzo{};
  indirizzo.sun_family = AF_UNIX;
  QVERIFY(static_cast<size_t>(presa.size()) < sizeof(indirizzo.sun_path));
  std::memcpy(indirizzo.sun_path, presa.constData(), static_cast<size_t>(presa.size()));
  QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&indirizzo), sizeof(indirizzo)), 0);
  QCOMPARE(::listen(fd, 8), 0);
  const QByteArray primo = qgetenv("CUPS_SERVER");
  qputenv("CUPS_SERVER", presa);

  StampanteQt s;
  QCOMPARE(s.stampanti(), QStringList{kSalvaComePdf});
  QCOMPARE(s.predefinita(), kSalvaComePdf);
  QVERIFY(!s.scegli(u"Aula"_s));
  // With no printer chosen the default is unknown: said so, not turned into a PDF.
  int chiesto = 0;
  s.impostaSceltaFilePdf([&chiesto](const QString &suggerito) {
    ++chiesto;
    return suggerito;
  });
  Esercizio e;
  RiempiEsercizio(e, 10);
  const EsitoStampa muto = StampaEsercizio(s, e);
  QCOMPARE(muto.tipo, EsitoStampa::Tipo::Errore);
  QVERIFY2(muto.errore.contains(u"non risponde"_s), qPrintable(muto.errore));
  QCOMPARE(chiesto, 0);
  // The PDF needs no print service.
  QVERIFY(s.scegli(kSalvaComePdf));
  const QString file = pdfStampato(s);
  QVERIFY(StampaEsercizio(s, e).riuscito());
  QCOMPARE(pdf::pagine(file), 1);

  qputenv("CUPS_SERVER", primo);
  ::close(fd);
}

QTEST_MAIN(TestStampanteQt)
#include "test_stampanteqt.moc"
