#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "generation/valutazione.h"
#include "righeprova.h"
#include "support/doppi.h"
#include "ui/certificate/frmattestato.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

class TestFrmAttestato : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldGradeAndGatePrinting_data();
  void shouldGradeAndGatePrinting();
  void shouldDrawTheNineteenRowsInOrder();
  void shouldCentreEveryRowInItsFontAndColour();
  void shouldKeepPlacesWithoutSymbolOrderOrName();
  void shouldNormaliseTheNameOnAnyLetters_data();
  void shouldNormaliseTheNameOnAnyLetters();
  void shouldPrintAtThePrintersResolution_data();
  void shouldPrintAtThePrintersResolution();
  void shouldDrawItAgainWhenTheWindowGrows();
  void shouldShowThePictureAsDrawn_data();
  void shouldShowThePictureAsDrawn();
  void shouldCloseOnlyOnceThePrintoutHasGone();
  void shouldPrintTheDrawnImageAtItsSize();
  void shouldStayOpenWhenPrintingFails();
  void shouldGoBackOrEndTheSessionByKeys();
  void shouldSwallowOtherKeysAndWrapSpace();

 private:
  FrmAttestato *apri(int esatte, int operazioni);
  PulsanteOpzione *opzione(int i) { return m_w->findChild<PulsanteOpzione *>(u"Option5_%1"_s.arg(i)); }
  std::unique_ptr<Banco> m_b;
  QPointer<FrmAttestato> m_w;
};

void TestFrmAttestato::init() {
  m_b = std::make_unique<Banco>();
  m_b->navRegistrata.didascalie[u"Label6_1"_s] = u"VORNEL"_s;
  m_b->navRegistrata.didascalie[u"Label2"_s] = u"ORDINE DECRESCENTE"_s;
  m_b->stato.esercizio.strNomeAlunno = u"gIANNI"_s;
}

void TestFrmAttestato::cleanup() {
  if (m_w) delete m_w.data();
  m_b.reset();
}

FrmAttestato *TestFrmAttestato::apri(int esatte, int operazioni) {
  RiempiEsercizio(m_b->stato.esercizio, operazioni, esatte);
  m_w = new FrmAttestato(m_b->ctx);
  return m_w;
}

void TestFrmAttestato::shouldGradeAndGatePrinting_data() {
  QTest::addColumn<int>("esatte");
  QTest::addColumn<int>("operazioni");
  QTest::addColumn<QString>("voto");
  QTest::newRow("10/10") << 10 << 10 << u"OTTIMO"_s;
  QTest::newRow("9/10") << 9 << 10 << u"OTTIMO"_s;
  QTest::newRow("19/20") << 19 << 20 << u"OTTIMO"_s;
  QTest::newRow("8/10") << 8 << 10 << u"DISTINTO"_s;
  QTest::newRow("7/10") << 7 << 10 << u"BUONO"_s;
  QTest::newRow("6/10") << 6 << 10 << u"SUFFICIENTE"_s;
  QTest::newRow("13/20 scende a 6") << 13 << 20 << u"SUFFICIENTE"_s;
  QTest::newRow("5/10") << 5 << 10 << u"SUFFICIENTE (!)"_s;
  QTest::newRow("11/20 scende a 5") << 11 << 20 << u"SUFFICIENTE (!)"_s;
  QTest::newRow("4/10") << 4 << 10 << u"Non classificato"_s;
  QTest::newRow("9/20 scende a 4") << 9 << 20 << u"Non classificato"_s;
  QTest::newRow("9/11 con una in sospeso") << 9 << 11 << u"DISTINTO"_s;
  QTest::newRow("nessuna operazione") << 0 << 0 << u"Non classificato"_s;
}

void TestFrmAttestato::shouldGradeAndGatePrinting() {
  QFETCH(int, esatte);
  QFETCH(int, operazioni);
  QFETCH(QString, voto);
  apri(esatte, operazioni);
  QCOMPARE(m_b->stato.esercizio.strValutazione, voto);
  QCOMPARE(m_w->disegno().righe().at(18).testo, voto);
  QCOMPARE(m_w->disegno().righe().at(20).testo,
           u"con %1 risposte esatte su %2 richieste"_s.arg(esatte).arg(operazioni));
  const bool stampabile = voto != u"Non classificato"_s;
  QCOMPARE(opzione(0)->isEnabled(), stampabile);
  QCOMPARE(opzione(0)->text(), stampabile ? u"STAMPA L'ATTESTATO"_s : u"ATTESTATO NON STAMPABILE"_s);
  // A disabled button cannot be pressed into printing.
  QTest::mouseClick(opzione(0), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), stampabile ? 1 : 0);
}

void TestFrmAttestato::shouldDrawTheNineteenRowsInOrder() {
  apri(8, 10);
  QVERIFY(m_w->disegno().finito());
  QStringList testi;
  for (const auto &r : m_w->disegno().righe()) testi << r.testo;
  // Tests run on the C locale, which gets the Italian short date.
  const QString data = QLocale::system().language() == QLocale::C
                           ? u"08/12/26"_s
                           : QLocale::system().toString(QDate(2026, 12, 8), QLocale::ShortFormat);
  const QStringList attesi{{},
                           {},
                           {},
                           {},
                           {},
                           u"DIPLOMA DI MERITO"_s,
                           u"RILASCIATO A"_s,
                           {},
                           u"Gianni"_s,
                           {},
                           u"per aver eseguito"_s,
                           {},
                           u"VORNEL"_s,
                           {},
                           u"ORDINE DECRESCENTE"_s,
                           {},
                           u"con la valutazione di"_s,
                           {},
                           u"DISTINTO"_s,
                           {},
                           u"con 8 risposte esatte su 10 richieste"_s,
                           {},
                           {},
                           {},
                           u"Data  "_s + data};
  QCOMPARE(testi, attesi);
  QCOMPARE(m_b->stato.esercizio.strNomeAlunno, u"Gianni"_s);
  QCOMPARE(m_w->windowTitle(), u"Form1"_s);
  QCOMPARE(m_w->disegno().posti().size(), attesi.size());
}

void TestFrmAttestato::shouldCentreEveryRowInItsFontAndColour() {
  apri(10, 10);
  const auto &d = m_w->disegno();
  struct Atteso {
    int riga;
    double punti;
    bool grassetto;
    QColor colore;
  };
  const QColor rosso(255, 0, 0), nero(0, 0, 0);
  const Atteso attesi[] = {{5, 20, true, rosso},  {6, 20, true, nero},   {8, 20, true, rosso},
                           {10, 12, false, nero}, {12, 14, true, nero},  {14, 14, true, nero},
                           {16, 12, false, nero}, {18, 14, true, rosso}, {20, 12, false, nero},
                           {24, 12, false, nero}};
  const QImage schermo = d.immagine();
  const double centro = schermo.width() / 2.0;
  for (const Atteso &a : attesi) {
    const auto &r = d.righe().at(a.riga);
    QCOMPARE(r.font, u"arial"_s);
    QCOMPARE(r.punti, a.punti);
    QCOMPARE(r.grassetto, a.grassetto);
    QCOMPARE(r.colore, a.colore);
    const QRectF box = d.posti().at(a.riga).riquadro;
    QVERIFY(box.width() > 0);
    QVERIFY2(qAbs(box.center().x() - centro) < 0.5, qPrintable(r.testo));
    // The ink of the row is there, in the row's colour, within its line.
    bool trovato = false;
    for (int y = int(box.top()); y < int(box.bottom()) && !trovato; ++y)
      for (int x = int(box.left()); x < int(box.right()) && !trovato; ++x)
        trovato = schermo.pixelColor(x, y) == a.colore;
    QVERIFY2(trovato, qPrintable(r.testo));
  }
  // Rows follow one another: each starts where the one before ends, all on the picture.
  for (int i = 1; i < d.posti().size(); ++i)
    QCOMPARE(d.posti()[i].riquadro.top(), d.posti()[i - 1].riquadro.bottom());
  QVERIFY(d.posti().last().riquadro.bottom() < schermo.height());
  QCOMPARE(d.righe().first().font, u"MS Sans Serif"_s);
  QCOMPARE(d.righe().first().punti, 8.25);
}

void TestFrmAttestato::shouldKeepPlacesWithoutSymbolOrderOrName() {
  apri(7, 10);
  const QList<DisegnoAttestato::Posto> pieno = m_w->disegno().posti();
  delete m_w.data();
  m_b->navRegistrata.didascalie[u"Label2"_s] = QString();
  m_b->stato.esercizio.strNomeAlunno.clear();
  apri(7, 10);
  const auto &d = m_w->disegno();
  QCOMPARE(d.righe().at(14).testo, QString());
  QCOMPARE(d.righe().at(14).punti, 14.0);
  QCOMPARE(d.righe().at(8).testo, QString());
  QCOMPARE(d.righe().at(18).testo, u"BUONO"_s);
  for (int i = 0; i < pieno.size(); ++i) QCOMPARE(d.posti()[i].riquadro.top(), pieno[i].riquadro.top());
}

void TestFrmAttestato::shouldNormaliseTheNameOnAnyLetters_data() {
  QTest::addColumn<QString>("scritto");
  QTest::addColumn<QString>("disegnato");
  QTest::newRow("gIANNI") << u"gIANNI"_s << u"Gianni"_s;
  QTest::newRow("mARIO rossi") << u"mARIO rossi"_s << u"Mario rossi"_s;
  QTest::newRow("accento") << u"\u00E9lodie"_s << u"\u00C9lodie"_s;
  QTest::newRow("una lettera") << u"z"_s << u"Z"_s;
  QTest::newRow("spazio davanti") << u" anna"_s << u" anna"_s;
}

void TestFrmAttestato::shouldNormaliseTheNameOnAnyLetters() {
  QFETCH(QString, scritto);
  QFETCH(QString, disegnato);
  m_b->stato.esercizio.strNomeAlunno = scritto;
  apri(9, 10);
  QCOMPARE(m_w->disegno().righe().at(8).testo, disegnato);
  QCOMPARE(m_b->stato.esercizio.strNomeAlunno, disegnato);
}

namespace {

// The recorded bands of a printed picture put back together, checking on the
// way that they lie edge to edge, one under the other, at their size on paper.
QImage Ricomponi(const StampanteRegistrata::Documento &doc, int dpi) {
  if (doc.immagini.isEmpty()) return {};
  const double twips = 1440.0 / dpi;
  int alta = 0;
  for (const auto &im : doc.immagini) {
    if (im.x != 1000.0 || qAbs(im.y - (100 + alta * twips)) > 1e-6 ||
        qAbs(im.larghezza - im.pixel.width() * twips) > 1e-6 ||
        qAbs(im.altezza - im.pixel.height() * twips) > 1e-6 || im.pixel != im.contenuto.size() ||
        im.pixel.width() != doc.immagini.first().pixel.width())
      return {};
    alta += im.pixel.height();
  }
  QImage tutto(doc.immagini.first().pixel.width(), alta, QImage::Format_RGB32);
  QPainter p(&tutto);
  int y = 0;
  for (const auto &im : doc.immagini) {
    p.drawImage(0, y, im.contenuto);
    y += im.pixel.height();
  }
  return tutto;
}

// How many pixels of two images of one size differ by more than a few shades.
int PiuDiverso(const QImage &a, const QImage &b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (qAbs(qRed(p) - qRed(q)) > 4 || qAbs(qGreen(p) - qGreen(q)) > 4 || qAbs(qBlue(p) - qBlue(q)) > 4)
        ++n;
    }
  return n;
}

}  // namespace

void TestFrmAttestato::shouldPrintAtThePrintersResolution_data() {
  QTest::addColumn<int>("dpi");
  QTest::addColumn<QSize>("pixel");
  QTest::newRow("300 dpi") << 300 << QSize(1394, 1838);  // 6690 x 8820 twips
  QTest::newRow("600 dpi") << 600 << QSize(2788, 3675);
}

void TestFrmAttestato::shouldPrintAtThePrintersResolution() {
  QFETCH(int, dpi);
  QFETCH(QSize, pixel);
  m_b->stampante.dpi = dpi;
  apri(9, 10);
  // On screen the picture is only as large as its control.
  auto *vista = m_w->findChild<QWidget *>(u"Picture1"_s);
  QCOMPARE(m_w->disegno().immagine().size(), vista->size() * vista->devicePixelRatio());
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  const QImage stampata = Ricomponi(m_b->stampante.documenti[0], dpi);
  QCOMPARE(stampata.size(), pixel);
  QVERIFY(m_b->stampante.documenti[0].immagini.size() > 1);
  // The bands are the picture drawn whole at that resolution (large glyphs cut
  // by a band's edge may round a shade differently, nothing more).
  QCOMPARE(PiuDiverso(stampata, m_w->disegno().fascia(dpi)), 0);
  // The title row is red ink, at the same place on paper as on screen.
  QRect rosso;
  for (int y = 0; y < stampata.height(); ++y)
    for (int x = stampata.width() / 4; x < stampata.width() * 3 / 4; ++x)
      if (stampata.pixelColor(x, y) == QColor(255, 0, 0)) rosso |= QRect(x, y, 1, 1);
  QVERIFY(!rosso.isEmpty());
  const double cimaPollici = rosso.top() / double(dpi);
  const double cimaSchermo = m_w->disegno().posti().at(5).riquadro.top() / vista->width() * 6690 / 1440.0;
  QVERIFY2(qAbs(cimaPollici - cimaSchermo) < 0.15, qPrintable(u"%1 %2"_s.arg(cimaPollici).arg(cimaSchermo)));
}

void TestFrmAttestato::shouldDrawItAgainWhenTheWindowGrows() {
  apri(9, 10);
  auto *vista = m_w->findChild<QWidget *>(u"Picture1"_s);
  const QRectF prima = m_w->disegno().posti().at(8).riquadro;
  m_w->resize(m_w->size() * 2);
  QTRY_COMPARE(m_w->disegno().immagine().size(), vista->size() * vista->devicePixelRatio());
  QCOMPARE(m_w->disegno().posti().size(), m_w->disegno().righe().size());
  const QRectF dopo = m_w->disegno().posti().at(8).riquadro;
  QVERIFY2(qAbs(dopo.height() / prima.height() - 2.0) < 0.2, qPrintable(QString::number(dopo.height())));
  QVERIFY(qAbs(dopo.center().x() - m_w->disegno().immagine().width() / 2.0) < 0.5);
}

// The window paints the picture a band at a time: on screen it is the picture
// drawn whole, with no seam, whatever its height.
void TestFrmAttestato::shouldShowThePictureAsDrawn_data() {
  QTest::addColumn<double>("scala");
  QTest::newRow("design size") << 1.0;
  QTest::newRow("larger, not a whole number of bands") << 1.37;
}

void TestFrmAttestato::shouldShowThePictureAsDrawn() {
  QFETCH(double, scala);
  apri(9, 10);
  auto *vista = m_w->findChild<QWidget *>(u"Picture1"_s);
  m_w->resize((QSizeF(m_w->size()) * scala).toSize());
  QTRY_COMPARE(m_w->disegno().immagine().size(), vista->size() * vista->devicePixelRatio());
  const QImage intera = m_w->disegno().immagine();
  const QImage sulloSchermo = vista->grab().toImage().convertToFormat(intera.format());
  QCOMPARE(PiuDiverso(sulloSchermo, intera), 0);
  // A part of it painted again (uncovered, say) matches too.
  QImage parte(vista->size(), intera.format());
  parte.fill(Qt::black);
  vista->render(&parte, QPoint(0, 100), QRegion(0, 100, vista->width(), 90));
  QCOMPARE(PiuDiverso(parte.copy(0, 100, vista->width(), 90), intera.copy(0, 100, vista->width(), 90)), 0);
}

void TestFrmAttestato::shouldCloseOnlyOnceThePrintoutHasGone() {
  apri(10, 10);
  // A close that arrives while the bands go out waits for the document's end.
  QTimer::singleShot(0, m_w.data(), [this] { m_w->close(); });
  QVERIFY(m_w->stampa());
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  QTRY_VERIFY(!m_w || !m_w->isVisible());
}

void TestFrmAttestato::shouldPrintTheDrawnImageAtItsSize() {
  apri(10, 10);
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  const auto &doc = m_b->stampante.documenti[0];
  QCOMPARE(doc.righe.size(), 1);
  QCOMPARE(doc.righe[0].testo, QString());
  QVERIFY(!Ricomponi(doc, 300).isNull());
  QCOMPARE(doc.immagini.first().y, 100.0);
  const int riga = m_b->stampante.chiamate.indexOf(u"riga "_s);
  QVERIFY(riga >= 0 && riga < m_b->stampante.chiamate.indexOf(QRegularExpression(u"immagine .*"_s)));
  // Printed again, and the window stays.
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), 2);
  QVERIFY(m_w);
}

void TestFrmAttestato::shouldStayOpenWhenPrintingFails() {
  m_b->stampante.guasto = u"Non riesco a scrivere il file PDF"_s;
  apri(10, 10);
  QVERIFY(Attiva(m_w));
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QVERIFY(m_b->stampante.documenti.isEmpty());
  QCOMPARE(m_b->messaggi.voci.size(), 1);
  QVERIFY(m_b->messaggi.voci[0].testo.startsWith(u"Non riesco a scrivere il file PDF"_s));
  QVERIFY(m_w && m_w->isVisible());
  QCOMPARE(m_b->stato.esercizio.intEsatte, 10);
  m_b->stampante.guasto.clear();
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), 1);
}

void TestFrmAttestato::shouldGoBackOrEndTheSessionByKeys() {
  apri(10, 10);
  QVERIFY(Attiva(m_w));
  QTest::keyClick(opzione(0), Qt::Key_3);
  QTRY_VERIFY(opzione(2)->hasFocus());
  QTest::keyClick(opzione(2), Qt::Key_Return);
  QCOMPARE(m_b->navRegistrata.aperte, QStringList{u"chiudiTutto"_s});
  QTest::keyClick(opzione(2), Qt::Key_2, Qt::KeypadModifier);
  QTRY_VERIFY(opzione(1)->hasFocus());
  QTest::keyClick(opzione(1), Qt::Key_Enter, Qt::KeypadModifier);
  QTRY_VERIFY(!m_w);
}

void TestFrmAttestato::shouldSwallowOtherKeysAndWrapSpace() {
  apri(2, 10);  // not classified: button 0 disabled
  QVERIFY(Attiva(m_w));
  m_w->comandi()->fuoco(1);
  QTRY_VERIFY(opzione(1)->hasFocus());
  for (Qt::Key k : {Qt::Key_4, Qt::Key_0, Qt::Key_A, Qt::Key_Down, Qt::Key_Up}) {
    QTest::keyClick(opzione(1), k);
    QVERIFY(opzione(1)->hasFocus());
  }
  QTest::keyClick(opzione(1), Qt::Key_Space);
  QTRY_VERIFY(opzione(2)->hasFocus());
  QTest::keyClick(opzione(2), Qt::Key_Space);
  // No skipping here, but a disabled button cannot take the focus: it stays put.
  QVERIFY(!opzione(0)->hasFocus());
  QVERIFY(m_b->stampante.chiamate.isEmpty());
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
  QVERIFY(m_w);
}

QTEST_MAIN(TestFrmAttestato)
#include "test_frmattestato.moc"
