#include "generation/famiglie.h"
#include "letturapdf.h"
#include "platform/stampanteqt.h"
#include "support/doppi.h"
#include "ui/worksheets/componiriga.h"
#include "ui/worksheets/stampascheda.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using letturapdf::Parola;

// The sheets as Qt's PDF engine writes them, read back with pdftotext.
class TestSchedaPdf : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void sheetLinesUpOnThePage_data();
  void sheetLinesUpOnThePage();
  void cancelledSaveLeavesNoFileAndNoMessage();
};

void TestSchedaPdf::initTestCase() {
  if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
    QSKIP("pdftotext non installato (poppler-utils, scripts/dipendenze.sh)");
}

void TestSchedaPdf::sheetLinesUpOnThePage_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<int>("cifre");
  QTest::addColumn<int>("cosa");
  QTest::addColumn<int>("tipo");
  QTest::addColumn<double>("punti");
  // The widest symbols (metres, four characters) with two digits make the longest lines.
  QTest::newRow("teachers, metres, 2 digits, either") << 6 << 2 << 3 << 2 << 12.0;
  QTest::newRow("pupils, metres, 2 digits, either") << 6 << 2 << 3 << 1 << 14.0;
  QTest::newRow("teachers, units, 1 digit, number") << 1 << 1 << 1 << 2 << 12.0;
  QTest::newRow("pupils, litres, 1 digit, symbol") << 12 << 1 << 2 << 1 << 14.0;
}

void TestSchedaPdf::sheetLinesUpOnThePage() {
  QFETCH(int, famiglia);
  QFETCH(int, cifre);
  QFETCH(int, cosa);
  QFETCH(int, tipo);
  QFETCH(double, punti);
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, famiglia);
  ApplicaCifre(b.stato.impostazioni, cifre);
  Scheda &s = b.stato.scheda;
  s.intCosaCalcolare = static_cast<qint16>(cosa);
  s.intTipoScheda = static_cast<qint16>(tipo);
  CasualeSistema casuale(static_cast<std::uint64_t>(famiglia * 10 + tipo));
  RigeneraScheda(b.stato, 30, casuale, b.orologio, b.messaggi);
  s.strRigheStampa = tipo == 2 ? s.strRigheDocenti : s.strRigheAlunni;
  s.strPiePagina = PiePaginaScheda(tipo, u"vornel"_s);

  QTemporaryDir dir;
  const QString file = dir.filePath(u"scheda.pdf"_s);
  StampanteQt stampante;
  QVERIFY(stampante.scegli(kSalvaComePdf));
  QString suggerito;
  stampante.impostaSceltaFilePdf([&](const QString &s) {
    suggerito = s;
    return file;
  });
  QCOMPARE(StampaScheda(s, TestoOrdineSimboli(1), DescrizioneLivello(famiglia, cifre), stampante, b.messaggi),
           EsitoStampa::Stampata);
  QVERIFY2(b.messaggi.voci.isEmpty(), qPrintable(b.messaggi.testi().join(u'\n')));
  QVERIFY(QFileInfo(suggerito).fileName().contains(tipo == 2 ? u"Scheda per docenti"_s : u"Scheda per alunni"_s));

  const letturapdf::Pagina p = letturapdf::Leggi(file);
  QCOMPARE(p.pagine, 1);
  QCOMPARE(p.righe.size(), 2 + 30 + 3);
  QCOMPARE(letturapdf::Testo(p.righe[0]), u"Nome e cognome"_s);
  QCOMPARE(letturapdf::Testo(p.righe[1]), u"Classe ______ Data ______"_s);
  QCOMPARE(letturapdf::Testo(p.righe[32]), u"Simboli decrescenti"_s);
  QCOMPARE(letturapdf::Testo(p.righe[33]),
           (u"Livello di difficoltà: "_s + DescrizioneLivello(famiglia, cifre)).simplified());
  QCOMPARE(letturapdf::Testo(p.righe[34]), s.strPiePagina);

  // Courier: every character is 0.6 em wide, so a column is a fixed x. The PDF
  // engine draws at 300 dpi with the font's size in whole device pixels.
  const double passo = 0.6 * std::round(punti * 300 / 72.0) * 72 / 300.0;
  QMap<QString, QList<double>> colonne;
  const double primaY = p.righe[2].first().y0;
  QSet<qint64> fine;
  for (int i = 1; i <= 30; ++i) {
    const QList<Parola> &riga = p.righe[1 + i];
    const QString testo = s.strRigheStampa[static_cast<size_t>(i)];
    QCOMPARE(letturapdf::Testo(riga), testo.simplified());
    // Each block of ten at its own height, 400 twips (20 pt) between lines.
    QVERIFY2(qAbs((riga.first().y0 - primaY) - (YRigaScheda(i) - YRigaScheda(1)) / 20.0) < 0.3,
             qPrintable(u"riga %1 a %2"_s.arg(i).arg(riga.first().y0)));
    for (const QString &segno : {u"+"_s, u"="_s}) {
      const Parola *w = letturapdf::Trova(riga, segno);
      QVERIFY(w);
      const double atteso = 500 / 20.0 + testo.indexOf(segno) * passo;
      QVERIFY2(qAbs(w->x0 - atteso) < 0.5,
               qPrintable(u"%1 in riga %2 a %3, atteso %4"_s.arg(segno).arg(i).arg(w->x0).arg(atteso)));
      colonne[segno] << w->x0;
    }
    fine << qRound64(riga.last().x1 * 2);
  }
  for (const auto &xs : colonne) {
    const auto [minimo, massimo] = std::minmax_element(xs.begin(), xs.end());
    QVERIFY2(*massimo - *minimo < 0.1, "\"+\" e \"=\" non sono in colonna");
  }
  if (tipo == 2 && cosa != 3) QVERIFY2(fine.size() <= 2, "i risultati dei docenti non finiscono nella stessa colonna");

  // Header and footer at their twips, within the height of their own font's ascent.
  const double yAttese[] = {1000, 1500};
  for (int k = 0; k < 2; ++k) QVERIFY(qAbs(p.righe[k].first().y0 - yAttese[k] / 20.0) < 4);
  QVERIFY(qAbs(p.righe[34].first().y0 - 15500 / 20.0) < 3);
  QVERIFY(qAbs(p.righe[34].first().x0 - 1000 / 20.0) < 0.5);

  for (const auto &riga : p.righe)
    for (const Parola &w : riga)
      QVERIFY2(w.x0 >= 0 && w.y0 >= 0 && w.x1 <= p.larghezza - 18 && w.y1 <= p.altezza - 18,
               qPrintable(u"%1 fuori dalla pagina"_s.arg(w.testo)));
}

void TestSchedaPdf::cancelledSaveLeavesNoFileAndNoMessage() {
  Banco b;
  b.stato.scheda.intNumeroOperazioni = 10;
  StampanteQt stampante;
  QVERIFY(stampante.scegli(kSalvaComePdf));
  stampante.impostaSceltaFilePdf([](const QString &) { return QString(); });
  QCOMPARE(StampaScheda(b.stato.scheda, u"x"_s, u"y"_s, stampante, b.messaggi), EsitoStampa::Annullata);
  QVERIFY(b.messaggi.voci.isEmpty());
}

QTEST_MAIN(TestSchedaPdf)
#include "test_schedapdf.moc"
