#include "support/doppi.h"
#include "ui/worksheets/stampascheda.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A printer whose document comes back unsent without a reason, as when the
// user cancels the PDF file dialog.
class StampanteAnnullata final : public StampanteRegistrata {
 public:
  bool fineDocumento() override {
    annullaDocumento();
    return false;
  }
  QString errore() const override { return {}; }
};

Scheda SchedaDi(int righe, int tipo) {
  Scheda s;
  s.intNumeroOperazioni = static_cast<qint16>(righe);
  s.intTipoScheda = static_cast<qint16>(tipo);
  for (int i = 1; i <= 30; ++i) s.strRigheStampa[static_cast<size_t>(i)] = u"riga %1"_s.arg(i);
  s.strPiePagina = u"Scheda per alunni stampata con vornel"_s;
  return s;
}

const QString kOrdine = u"Simboli crescenti"_s;
const QString kLivello = u"centinaia, decine, unità — Valori di 1 cifra"_s;

}  // namespace

class TestStampaScheda : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void printsHeaderBodyAndFooter_data();
  void printsHeaderBodyAndFooter();
  void bodyLinesStandInBlocksOfTen_data();
  void bodyLinesStandInBlocksOfTen();
  void takesTheFirstCourierOfThePrinter_data();
  void takesTheFirstCourierOfThePrinter();
  void withoutCourierPrintsNothing();
  void printerFailureShowsTheMessage_data();
  void printerFailureShowsTheMessage();
  void cancelledSaveIsSilent();
};

void TestStampaScheda::printsHeaderBodyAndFooter_data() {
  QTest::addColumn<int>("righe");
  QTest::addColumn<int>("tipo");
  QTest::addColumn<double>("corpo");
  QTest::addColumn<QString>("titolo");
  QTest::newRow("pupils, 10 lines") << 10 << 1 << 14.0 << u"Scheda per alunni"_s;
  QTest::newRow("pupils, 30 lines") << 30 << 1 << 14.0 << u"Scheda per alunni"_s;
  QTest::newRow("teachers, 20 lines") << 20 << 2 << 12.0 << u"Scheda per docenti"_s;
  QTest::newRow("teachers, 30 lines") << 30 << 2 << 12.0 << u"Scheda per docenti"_s;
}

void TestStampaScheda::printsHeaderBodyAndFooter() {
  QFETCH(int, righe);
  QFETCH(int, tipo);
  QFETCH(double, corpo);
  QFETCH(QString, titolo);
  Banco b;
  QCOMPARE(StampaScheda(SchedaDi(righe, tipo), kOrdine, kLivello, b.stampante, b.messaggi), EsitoStampa::Stampata);
  QVERIFY(b.messaggi.voci.isEmpty());
  QCOMPARE(b.stampante.documenti.size(), 1);
  const auto &d = b.stampante.documenti.first();
  QCOMPARE(d.titolo, titolo);
  QCOMPARE(d.righe.size(), 2 + righe + 3);

  const auto &nome = d.righe[0];
  QCOMPARE(nome.testo, u"Nome e cognome"_s);
  QCOMPARE(nome.x, 1000.0);
  QCOMPARE(nome.y, 1000.0);
  QCOMPARE(nome.dimensione, 14.0);
  const auto &classe = d.righe[1];
  QCOMPARE(classe.testo, u"Classe ______   Data ______"_s);
  QCOMPARE(classe.x, 1000.0);
  QCOMPARE(classe.y, 1500.0);
  QCOMPARE(classe.dimensione, 12.0);

  for (int i = 1; i <= righe; ++i) {
    const auto &r = d.righe[1 + i];
    QCOMPARE(r.testo, u"riga %1"_s.arg(i));
    QCOMPARE(r.x, 500.0);
    QCOMPARE(r.dimensione, corpo);
  }

  const QStringList piede{kOrdine, u"Livello di difficoltà: "_s + kLivello, u"Scheda per alunni stampata con vornel"_s};
  const double yPiede[] = {15100, 15300, 15500};
  for (int k = 0; k < 3; ++k) {
    const auto &r = d.righe[2 + righe + k];
    QCOMPARE(r.testo, piede[k]);
    QCOMPARE(r.x, 1000.0);
    QCOMPARE(r.y, yPiede[k]);
    QCOMPARE(r.dimensione, 8.0);
  }
  for (const auto &r : d.righe) {
    QCOMPARE(r.font, u"Courier New"_s);
    QVERIFY(!r.grassetto);
  }
}

void TestStampaScheda::bodyLinesStandInBlocksOfTen_data() {
  QTest::addColumn<int>("riga");
  QTest::addColumn<double>("y");
  QTest::newRow("first") << 1 << 2000.0;
  QTest::newRow("second") << 2 << 2400.0;
  QTest::newRow("tenth") << 10 << 5600.0;
  QTest::newRow("eleventh, after the gap") << 11 << 6400.0;
  QTest::newRow("twentieth") << 20 << 10000.0;
  QTest::newRow("twenty-first, after the wider gap") << 21 << 10900.0;
  QTest::newRow("thirtieth") << 30 << 14500.0;
}

void TestStampaScheda::bodyLinesStandInBlocksOfTen() {
  QFETCH(int, riga);
  QFETCH(double, y);
  Banco b;
  StampaScheda(SchedaDi(30, 1), kOrdine, kLivello, b.stampante, b.messaggi);
  QCOMPARE(b.stampante.documenti.size(), 1);
  const auto &r = b.stampante.documenti.first().righe[1 + riga];
  QCOMPARE(r.testo, u"riga %1"_s.arg(riga));
  QCOMPARE(r.y, y);
}

void TestStampaScheda::takesTheFirstCourierOfThePrinter_data() {
  QTest::addColumn<QStringList>("fonts");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("only Courier") << QStringList{u"Arial"_s, u"Courier"_s} << u"Courier"_s;
  QTest::newRow("Courier listed first") << QStringList{u"Courier"_s, u"Courier New"_s} << u"Courier"_s;
  QTest::newRow("Courier New listed first") << QStringList{u"Courier New"_s, u"Courier"_s} << u"Courier New"_s;
}

void TestStampaScheda::takesTheFirstCourierOfThePrinter() {
  QFETCH(QStringList, fonts);
  QFETCH(QString, atteso);
  Banco b;
  b.stampante.elencoFont = fonts;
  QCOMPARE(StampaScheda(SchedaDi(10, 2), kOrdine, kLivello, b.stampante, b.messaggi), EsitoStampa::Stampata);
  QCOMPARE(b.stampante.documenti.size(), 1);
  for (const auto &r : b.stampante.documenti.first().righe) QCOMPARE(r.font, atteso);
}

void TestStampaScheda::withoutCourierPrintsNothing() {
  Banco b;
  b.stampante.elencoFont = {u"Arial"_s, u"courier new"_s, u"Courier 10 Pitch"_s, u"DejaVu Sans Mono"_s};
  QCOMPARE(StampaScheda(SchedaDi(30, 1), kOrdine, kLivello, b.stampante, b.messaggi), EsitoStampa::SenzaCourier);
  QCOMPARE(b.messaggi.testi(), QStringList{u"Devi installare il font Courier o il font Courier New"_s});
  QVERIFY(b.stampante.documenti.isEmpty());
  QVERIFY(b.stampante.chiamate.filter(u"riga "_s).isEmpty());
  QVERIFY(!b.stampante.chiamate.contains(u"fine"_s));
}

void TestStampaScheda::printerFailureShowsTheMessage_data() {
  QTest::addColumn<int>("dallaRiga");
  QTest::newRow("whole document") << 0;
  QTest::newRow("first header line") << 1;
  QTest::newRow("second header line") << 2;
  QTest::newRow("in the body") << 17;
  QTest::newRow("last footer line") << 35;
}

void TestStampaScheda::printerFailureShowsTheMessage() {
  QFETCH(int, dallaRiga);
  Banco b;
  b.stampante.guasto = u"carta inceppata"_s;
  b.stampante.guastoDallaRiga = dallaRiga;
  QCOMPARE(StampaScheda(SchedaDi(30, 2), kOrdine, kLivello, b.stampante, b.messaggi), EsitoStampa::Errore);
  QCOMPARE(b.messaggi.testi(), QStringList{u"Problema di stampa nella stampante utilizzata."_s});
  QVERIFY(b.stampante.documenti.isEmpty());

  // The printer mended, the next sheet goes out.
  b.stampante.guasto.clear();
  b.stampante.guastoDallaRiga = 0;
  QCOMPARE(StampaScheda(SchedaDi(30, 2), kOrdine, kLivello, b.stampante, b.messaggi), EsitoStampa::Stampata);
  QCOMPARE(b.stampante.documenti.size(), 1);
  QCOMPARE(b.messaggi.voci.size(), 1);
}

void TestStampaScheda::cancelledSaveIsSilent() {
  StampanteAnnullata stampante;
  MessaggiRegistrati messaggi;
  QCOMPARE(StampaScheda(SchedaDi(10, 1), kOrdine, kLivello, stampante, messaggi), EsitoStampa::Annullata);
  QVERIFY(messaggi.voci.isEmpty());
  QVERIFY(stampante.documenti.isEmpty());
}

QTEST_GUILESS_MAIN(TestStampaScheda)
#include "test_stampascheda.moc"
