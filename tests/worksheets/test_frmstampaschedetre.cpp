#include "generation/famiglie.h"
#include "support/doppi.h"
#include "ui/worksheets/componiriga.h"
#include "ui/worksheets/frmstampaschedetre.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestFrmStampaSchedeTre : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void showsItsControls();
  void orderCaptionsComeFromTheFamily_data();
  void orderCaptionsComeFromTheFamily();
  void orderCaptionsFollowAFamilyChangedMeanwhile();
  void findChoiceMarksAndOpensTheOrder_data();
  void findChoiceMarksAndOpensTheOrder();
  void orderChoiceGeneratesTheSheetAndLeavesTheExerciseAlone_data();
  void orderChoiceGeneratesTheSheetAndLeavesTheExerciseAlone();
  void keyboardAloneComposesTheSheet();
  void previewShowsOnePrintButton();
  void printedSheetIsThePreview_data();
  void printedSheetIsThePreview();
  void largerCountFillsTheSheet();
  void newChoicesMakeTheSheetAnew_data();
  void newChoicesMakeTheSheetAnew();
  void printNeverTakesLinesLeftByTheExercise();
  void closingWhilePrintingWaitsForTheWholeSheet();
  void cancelGeneratesThirtyFreshLines();
  void headerFailureShowsMessageAndGoesOn();
  void exitClosesAndMenuOpensPrinterChoice();
  void resizeMovesEveryControl();

 private:
  void crea(int famiglia = 3);
  template <typename T>
  T *trova(const QString &nome) {
    auto *w = m_finestra->findChild<T *>(nome);
    if (!w) qWarning("missing control %s", qPrintable(nome));
    return w;
  }
  void premi(const QString &nome);
  void clicca(const QString &nome);
  QString anteprima(int i) { return trova<QLabel>(u"LblOp_%1"_s.arg(i))->text(); }

  std::unique_ptr<Banco> m_banco;
  QPointer<FrmStampaSchedeTre> m_finestra;
};

void TestFrmStampaSchedeTre::init() {
  m_banco = std::make_unique<Banco>();
  QList<double> r;
  for (int n = 0; n < 4000; ++n) r << ((n * 37 + n / 7) % 100) / 100.0;
  m_banco->casuale = CasualeCopione(r);
  m_banco->stato.livello.strNomeFile = u"vornel"_s;
}

void TestFrmStampaSchedeTre::cleanup() {
  if (m_finestra) {
    m_finestra->close();
    delete m_finestra;
  }
  m_banco.reset();
}

void TestFrmStampaSchedeTre::crea(int famiglia) {
  m_banco->stato.livello.intLivello = static_cast<qint16>(famiglia);
  ApplicaFamiglia(m_banco->stato.famiglia, famiglia);
  m_finestra = new FrmStampaSchedeTre(m_banco->ctx);
  QVERIFY(Attiva(m_finestra));
}

void TestFrmStampaSchedeTre::premi(const QString &nome) {
  auto *w = trova<QWidget>(nome);
  QVERIFY(w);
  QTest::mousePress(w, Qt::LeftButton);
  QTest::mouseRelease(w, Qt::LeftButton);
}

void TestFrmStampaSchedeTre::clicca(const QString &nome) {
  auto *w = trova<QWidget>(nome);
  QVERIFY(w);
  QVERIFY2(w->isVisible() && w->isEnabled(), qPrintable(nome));
  QTest::mouseClick(w, Qt::LeftButton);
}

void TestFrmStampaSchedeTre::showsItsControls() {
  crea();
  QCOMPARE(m_finestra->windowTitle(), u"SISTEMA METRICO- VORNEL - STAMPA DELLE SCHEDE"_s);
  const QList<QPair<QString, QString>> didascalie{
      {u"Option1_0"_s, u"CALCOLA IL NUMERO"_s},          {u"Option1_1"_s, u"CALCOLA IL SIMBOLO"_s},
      {u"Option1_2"_s, u" NUMERO O   SIMBOLO "_s},       {u"Option2_2"_s, u"TUTTI"_s},
      {u"CmdVisualizzaSchedaAlunni"_s, u"VISUALIZZA SCHEDA "_s}, {u"CmdStampaSchedaAlunni"_s, u"STAMPA SCHEDA "_s},
      {u"CmdVisualizzaSchedaDocenti"_s, u"VISUALIZZA SCHEDA"_s}, {u"CmdStampaSchedaDocenti"_s, u"STAMPA SCHEDA"_s},
      {u"CmdRicomincia"_s, u"CANCELLA SCHEDA"_s},         {u"Command1"_s, u"ESCI"_s}};
  for (const auto &[nome, testo] : didascalie) QCOMPARE(trova<QPushButton>(nome)->text(), testo);
  const QStringList numeri{u"10 OPERAZIONI"_s, u"20 OPERAZION I"_s, u"30 OPERAZIONI"_s};
  for (int k = 0; k < 3; ++k) QCOMPARE(trova<QRadioButton>(u"Opt1_%1"_s.arg(k))->text(), numeri[k]);
  QVERIFY(trova<QRadioButton>(u"Opt1_2"_s)->isChecked());
  QCOMPARE(trova<QGroupBox>(u"Frame2"_s)->title(), u"Operazioni"_s);
  QCOMPARE(trova<QGroupBox>(u"Frame3"_s)->title(), u"ALUNNI"_s);
  QCOMPARE(trova<QGroupBox>(u"Frame4"_s)->title(), u"DOCENTI"_s);
  QCOMPARE(trova<QAction>(u"mnuStampante"_s)->text(), u"Scegli la stampante"_s);

  QCOMPARE(QApplication::focusWidget(), trova<QWidget>(u"Option1_0"_s));
  QVERIFY(!trova<QWidget>(u"Frame7"_s)->isEnabled());
  QVERIFY(!trova<QWidget>(u"Frame1"_s)->isEnabled());
  QVERIFY(!trova<QWidget>(u"CmdStampaSchedaAlunni"_s)->isVisible());
  QVERIFY(!trova<QWidget>(u"CmdStampaSchedaDocenti"_s)->isVisible());
  QVERIFY(trova<QLabel>(u"Label1"_s)->text().isEmpty());
  QVERIFY(trova<QLabel>(u"Label2"_s)->text().isEmpty());
  for (int i = 1; i <= 30; ++i) {
    auto *l = trova<QLabel>(u"LblOp_%1"_s.arg(i));
    QVERIFY(l);
    QVERIFY(l->fontInfo().fixedPitch());
    if (i > 1) QVERIFY(l->y() > trova<QLabel>(u"LblOp_%1"_s.arg(i - 1))->y());
  }
  const Scheda &s = m_banco->stato.scheda;
  QCOMPARE(s.intCosaCalcolare, qint16(1));
  QCOMPARE(s.intOrdineSimboli, qint16(1));
  QCOMPARE(s.intNumeroOperazioni, qint16(30));
  QCOMPARE(s.intTipoScheda, qint16(1));
}

void TestFrmStampaSchedeTre::orderCaptionsComeFromTheFamily_data() {
  QTest::addColumn<int>("famiglia");
  QTest::addColumn<QString>("decrescente");
  QTest::addColumn<QString>("crescente");
  QTest::newRow("thousands") << 3 << u"  k     h  da   u"_s << u"  u  da   h     k"_s;
  QTest::newRow("three units") << 2 << u"        h  da   u"_s << u"  u  da   h      "_s;
  QTest::newRow("metres") << 6 << u"  km     hm  dam    m"_s << u"   m  dam   hm     km"_s;
}

void TestFrmStampaSchedeTre::orderCaptionsComeFromTheFamily() {
  QFETCH(int, famiglia);
  QFETCH(QString, decrescente);
  QFETCH(QString, crescente);
  crea(famiglia);
  QCOMPARE(trova<QPushButton>(u"Option2_0"_s)->text(), decrescente);
  QCOMPARE(trova<QPushButton>(u"Option2_1"_s)->text(), crescente);
}

void TestFrmStampaSchedeTre::orderCaptionsFollowAFamilyChangedMeanwhile() {
  crea(3);
  QWidget altra;
  QVERIFY(Attiva(&altra));
  ApplicaFamiglia(m_banco->stato.famiglia, 6);
  QVERIFY(Attiva(m_finestra));
  QCOMPARE(trova<QPushButton>(u"Option2_0"_s)->text(), u"  km     hm  dam    m"_s);
  QCOMPARE(trova<QPushButton>(u"Option2_1"_s)->text(), u"   m  dam   hm     km"_s);
}

void TestFrmStampaSchedeTre::findChoiceMarksAndOpensTheOrder_data() {
  QTest::addColumn<int>("k");
  QTest::addColumn<QString>("testo");
  QTest::newRow("number") << 0 << u"Trova il numero"_s;
  QTest::newRow("symbol") << 1 << u"Trova il simbolo"_s;
  QTest::newRow("either") << 2 << u"Trova il numero o il simbolo"_s;
}

void TestFrmStampaSchedeTre::findChoiceMarksAndOpensTheOrder() {
  QFETCH(int, k);
  QFETCH(QString, testo);
  crea();
  m_banco->stato.impostazioni.strCosaCalcolare = u"Calcola il numero"_s;
  premi(u"Option1_%1"_s.arg((k + 1) % 3));  // an earlier choice, then the one under test
  premi(u"Option1_%1"_s.arg(k));
  for (int j = 0; j < 3; ++j) {
    const QColor atteso = j == k ? QColor(255, 0, 0) : QColor(255, 224, 192);
    QCOMPARE(trova<QLabel>(u"Label3_%1"_s.arg(j))->palette().color(QPalette::Window), atteso);
  }
  QCOMPARE(trova<QLabel>(u"Label1"_s)->text(), testo);
  QCOMPARE(m_banco->stato.scheda.intCosaCalcolare, qint16(k + 1));
  QCOMPARE(m_banco->stato.impostazioni.intCosaCalcolare, qint16(1));
  QCOMPARE(m_banco->stato.impostazioni.strCosaCalcolare, u"Calcola il numero"_s);
  QVERIFY(trova<QWidget>(u"Frame7"_s)->isEnabled());
  QCOMPARE(QApplication::focusWidget(), trova<QWidget>(u"Option2_0"_s));
  QCOMPARE(m_banco->stato.scheda.intRigheGenerate, 0);
  QCOMPARE(m_banco->casuale.rimasti(), 4000);
}

void TestFrmStampaSchedeTre::orderChoiceGeneratesTheSheetAndLeavesTheExerciseAlone_data() {
  QTest::addColumn<int>("k");
  QTest::addColumn<QString>("testo");
  QTest::newRow("decreasing") << 0 << u"Simboli decrescenti"_s;
  QTest::newRow("increasing") << 1 << u"Simboli crescenti"_s;
  QTest::newRow("both") << 2 << u"Simboli decrescenti e crescenti"_s;
}

void TestFrmStampaSchedeTre::orderChoiceGeneratesTheSheetAndLeavesTheExerciseAlone() {
  QFETCH(int, k);
  QFETCH(QString, testo);
  crea();
  Stato &st = m_banco->stato;
  st.esercizio.strRigheEsercizio[1] = u"registro 1"_s;
  st.esercizio.strRigheEsercizio[20] = u"registro 20"_s;
  st.impostazioni.strCosaCalcolare = u"Calcola il numero"_s;
  premi(u"Option1_1"_s);
  premi(u"Option2_%1"_s.arg(k));
  for (int j = 0; j < 3; ++j) {
    const QColor atteso = j == k ? QColor(255, 0, 0) : QColor(255, 224, 192);
    QCOMPARE(trova<QLabel>(u"Label4_%1"_s.arg(j))->palette().color(QPalette::Window), atteso);
  }
  QCOMPARE(trova<QLabel>(u"Label2"_s)->text(), testo);
  QCOMPARE(st.scheda.intOrdineSimboli, qint16(k + 1));
  QCOMPARE(st.scheda.intRigheGenerate, 30);
  for (int i = 1; i <= 30; ++i) {
    const QString &a = st.scheda.strRigheAlunni[static_cast<size_t>(i)];
    QVERIFY2(a.endsWith(u"  ?....."_s), qPrintable(a));  // the symbol is asked on every line
    QCOMPARE(anteprima(i), u" "_s);
  }
  QCOMPARE(st.esercizio.strRigheEsercizio[1], u"registro 1"_s);
  QCOMPARE(st.esercizio.strRigheEsercizio[20], u"registro 20"_s);
  QCOMPARE(st.impostazioni.strCosaCalcolare, u"Calcola il numero"_s);
  QCOMPARE(st.impostazioni.intCosaCalcolare, qint16(1));
  QCOMPARE(st.impostazioni.intOrdineSimboli, qint16(1));
  QVERIFY(trova<QWidget>(u"Frame1"_s)->isEnabled());
  QVERIFY(trova<QWidget>(u"Frame3"_s)->isEnabled());
}

void TestFrmStampaSchedeTre::keyboardAloneComposesTheSheet() {
  crea();
  auto *cosa0 = trova<QPushButton>(u"Option1_0"_s);
  QTest::keyClick(cosa0, Qt::Key_Space);
  auto *cosa1 = trova<QPushButton>(u"Option1_1"_s);
  QCOMPARE(QApplication::focusWidget(), cosa1);
  QTest::keyClick(cosa1, Qt::Key_Right);  // arrows are swallowed: nothing moves, nothing is chosen
  QCOMPARE(QApplication::focusWidget(), cosa1);
  QVERIFY(trova<QLabel>(u"Label1"_s)->text().isEmpty());
  QTest::keyClick(cosa1, Qt::Key_Return);
  QCOMPARE(trova<QLabel>(u"Label1"_s)->text(), u"Trova il simbolo"_s);
  auto *ordine0 = trova<QPushButton>(u"Option2_0"_s);
  QCOMPARE(QApplication::focusWidget(), ordine0);
  QTest::keyClick(ordine0, Qt::Key_Return);
  QCOMPARE(m_banco->stato.scheda.intRigheGenerate, 30);
  QCOMPARE(trova<QLabel>(u"Label2"_s)->text(), u"Simboli decrescenti"_s);
}

void TestFrmStampaSchedeTre::previewShowsOnePrintButton() {
  crea();
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  auto *alunni = trova<QPushButton>(u"CmdStampaSchedaAlunni"_s);
  auto *docenti = trova<QPushButton>(u"CmdStampaSchedaDocenti"_s);
  trova<QWidget>(u"CmdVisualizzaSchedaDocenti"_s)->setFocus(Qt::TabFocusReason);
  QVERIFY(docenti->isVisible());
  QVERIFY(!alunni->isVisible());
  trova<QWidget>(u"CmdVisualizzaSchedaAlunni"_s)->setFocus(Qt::TabFocusReason);
  QVERIFY(alunni->isVisible());
  QVERIFY(!docenti->isVisible());
  // A new choice hides the print buttons until the sheet is looked at again.
  premi(u"Option1_2"_s);
  QVERIFY(!alunni->isVisible());
  QVERIFY(!docenti->isVisible());
}

void TestFrmStampaSchedeTre::printedSheetIsThePreview_data() {
  QTest::addColumn<int>("tipo");
  QTest::addColumn<QString>("visualizza");
  QTest::addColumn<QString>("stampa");
  QTest::addColumn<QString>("piede");
  QTest::newRow("pupils") << 1 << u"CmdVisualizzaSchedaAlunni"_s << u"CmdStampaSchedaAlunni"_s
                          << u"Scheda per alunni stampata con vornel"_s;
  QTest::newRow("teachers") << 2 << u"CmdVisualizzaSchedaDocenti"_s << u"CmdStampaSchedaDocenti"_s
                            << u"Scheda per docenti stampata con vornel"_s;
}

void TestFrmStampaSchedeTre::printedSheetIsThePreview() {
  QFETCH(int, tipo);
  QFETCH(QString, visualizza);
  QFETCH(QString, stampa);
  QFETCH(QString, piede);
  crea();
  premi(u"Option1_2"_s);
  premi(u"Option2_2"_s);
  clicca(visualizza);
  const Scheda &s = m_banco->stato.scheda;
  const Righe &proprie = tipo == 1 ? s.strRigheAlunni : s.strRigheDocenti;
  for (int i = 1; i <= 30; ++i) {
    QCOMPARE(anteprima(i), proprie[static_cast<size_t>(i)]);
    QVERIFY(!anteprima(i).trimmed().isEmpty());
  }
  clicca(stampa);
  QVERIFY(m_banco->messaggi.voci.isEmpty());
  QCOMPARE(m_banco->stampante.documenti.size(), 1);
  const auto &righe = m_banco->stampante.documenti.first().righe;
  QCOMPARE(righe.size(), 35);
  for (int i = 1; i <= 30; ++i) QCOMPARE(righe[1 + i].testo, anteprima(i));
  QCOMPARE(righe[32].testo, u"Simboli decrescenti e crescenti"_s);
  QCOMPARE(righe[33].testo, u"Livello di difficoltà: migliaia, centinaia, decine, unità — Valori di 1 cifra"_s);
  QCOMPARE(righe[34].testo, piede);
  QCOMPARE(s.strPiePagina, piede);
  QCOMPARE(s.intTipoScheda, qint16(tipo));
}

void TestFrmStampaSchedeTre::largerCountFillsTheSheet() {
  crea();
  clicca(u"Opt1_0"_s);
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  Scheda &s = m_banco->stato.scheda;
  QCOMPARE(s.intNumeroOperazioni, qint16(10));
  QCOMPARE(s.intRigheGenerate, 10);
  const Righe prime = s.strRigheDocenti;
  clicca(u"Opt1_2"_s);
  QCOMPARE(s.intNumeroOperazioni, qint16(30));
  QCOMPARE(s.intRigheGenerate, 30);
  for (int i = 1; i <= 30; ++i) QCOMPARE(anteprima(i), QString());  // emptied until looked at again
  clicca(u"CmdVisualizzaSchedaDocenti"_s);
  clicca(u"CmdStampaSchedaDocenti"_s);
  QCOMPARE(m_banco->stampante.documenti.size(), 1);
  const auto &righe = m_banco->stampante.documenti.first().righe;
  for (int i = 1; i <= 30; ++i) {
    if (i <= 10) QCOMPARE(righe[1 + i].testo, prime[static_cast<size_t>(i)]);
    QVERIFY2(righe[1 + i].testo.contains(u"(R. "_s), qPrintable(QString::number(i)));
  }
  // Back to 20: the lines stay, 20 of them are printed.
  clicca(u"Opt1_1"_s);
  clicca(u"CmdVisualizzaSchedaAlunni"_s);
  clicca(u"CmdStampaSchedaAlunni"_s);
  QCOMPARE(m_banco->stampante.documenti.size(), 2);
  QCOMPARE(m_banco->stampante.documenti[1].righe.size(), 2 + 20 + 3);
  QCOMPARE(anteprima(21), u" "_s);
}

// A sheet grows only with lines of the choices its lines were made with: after
// "what to find" is chosen again, or the family changed on the start window, a
// longer count or a preview makes the whole sheet anew, never a mixed one.
void TestFrmStampaSchedeTre::newChoicesMakeTheSheetAnew_data() {
  QTest::addColumn<QString>("cambio");
  QTest::addColumn<QString>("fine");  // how every pupils' line must end
  QTest::newRow("symbol chosen, no order") << u"cosa"_s << u"  ?....."_s;
  QTest::newRow("family changed meanwhile") << u"famiglia"_s << u"m"_s;
}

void TestFrmStampaSchedeTre::newChoicesMakeTheSheetAnew() {
  QFETCH(QString, cambio);
  QFETCH(QString, fine);
  crea(3);
  clicca(u"Opt1_0"_s);
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  Scheda &s = m_banco->stato.scheda;
  QCOMPARE(s.intRigheGenerate, 10);
  QVERIFY(!s.strRigheAlunni[1].endsWith(fine));
  if (cambio == u"cosa"_s) premi(u"Option1_1"_s);
  else ApplicaFamiglia(m_banco->stato.famiglia, 6);
  clicca(u"Opt1_2"_s);
  clicca(u"CmdVisualizzaSchedaAlunni"_s);
  QCOMPARE(s.intRigheGenerate, 30);
  for (int i = 1; i <= 30; ++i)
    QVERIFY2(anteprima(i).endsWith(fine), qPrintable(u"%1: %2"_s.arg(i).arg(anteprima(i))));
  // Previewed again with nothing changed, the sheet stays as it is.
  const Righe fatte = s.strRigheAlunni;
  clicca(u"CmdVisualizzaSchedaDocenti"_s);
  QCOMPARE(s.strRigheAlunni, fatte);
}

void TestFrmStampaSchedeTre::printNeverTakesLinesLeftByTheExercise() {
  crea();
  premi(u"Option1_0"_s);
  premi(u"Option2_1"_s);
  clicca(u"CmdVisualizzaSchedaDocenti"_s);
  // What the exercise window leaves in the print lines when it opens.
  m_banco->stato.scheda.strRigheStampa.fill(u"-"_s);
  trova<QWidget>(u"CmdVisualizzaSchedaAlunni"_s)->setFocus(Qt::TabFocusReason);
  clicca(u"CmdStampaSchedaAlunni"_s);
  QCOMPARE(m_banco->stampante.documenti.size(), 1);
  const auto &righe = m_banco->stampante.documenti.first().righe;
  for (int i = 1; i <= 30; ++i) QCOMPARE(righe[1 + i].testo, m_banco->stato.scheda.strRigheAlunni[static_cast<size_t>(i)]);
}

// The printout lets the loop run between its steps; a close asked for then
// (the window manager's button) is kept until the sheet has gone.
void TestFrmStampaSchedeTre::closingWhilePrintingWaitsForTheWholeSheet() {
  crea();
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  clicca(u"CmdVisualizzaSchedaDocenti"_s);
  bool occupata = false;
  bool vistaDopo = false;  // at the next step of the printout
  qsizetype documentiAllaChiusura = -1;
  QTimer::singleShot(0, m_finestra, [this, &occupata, &vistaDopo, &documentiAllaChiusura] {
    occupata = m_finestra->occupata();
    documentiAllaChiusura = m_banco->stampante.documenti.size();
    m_finestra->close();
    QTimer::singleShot(0, m_finestra, [this, &vistaDopo] { vistaDopo = m_finestra->isVisible(); });
  });
  clicca(u"CmdStampaSchedaDocenti"_s);
  QVERIFY(occupata);
  QCOMPARE(documentiAllaChiusura, qsizetype(0));
  QVERIFY(vistaDopo);
  QCOMPARE(m_banco->stampante.documenti.size(), 1);
  QCOMPARE(m_banco->stampante.documenti.first().righe.size(), 35);
  QTRY_VERIFY(!m_finestra || !m_finestra->isVisible());
  QVERIFY(m_banco->messaggi.voci.isEmpty());
}

void TestFrmStampaSchedeTre::cancelGeneratesThirtyFreshLines() {
  crea();
  clicca(u"Opt1_0"_s);
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  clicca(u"CmdVisualizzaSchedaAlunni"_s);
  const int prima = m_banco->casuale.rimasti();
  clicca(u"CmdRicomincia"_s);
  QCOMPARE(m_banco->stato.scheda.intRigheGenerate, 30);
  QCOMPARE(prima - m_banco->casuale.rimasti(), 30 * 4);  // case, two values, asked unit per line
  QVERIFY(!trova<QWidget>(u"CmdStampaSchedaAlunni"_s)->isVisible());
  for (int i = 1; i <= 30; ++i) QCOMPARE(anteprima(i), QString());
  QVERIFY(!m_banco->stato.scheda.strRigheDocenti[30].isEmpty());
}

void TestFrmStampaSchedeTre::headerFailureShowsMessageAndGoesOn() {
  crea();
  premi(u"Option1_0"_s);
  premi(u"Option2_0"_s);
  clicca(u"CmdVisualizzaSchedaAlunni"_s);
  m_banco->stampante.guasto = u"stampante spenta"_s;
  m_banco->stampante.guastoDallaRiga = 1;
  clicca(u"CmdStampaSchedaAlunni"_s);
  QCOMPARE(m_banco->messaggi.testi(), QStringList{u"Problema di stampa nella stampante utilizzata."_s});
  QVERIFY(m_banco->stampante.documenti.isEmpty());
  QVERIFY(!m_banco->navRegistrata.aperte.contains(u"chiudiTutto"_s));
  QVERIFY(m_finestra && m_finestra->isVisible());
  m_banco->stampante.guasto.clear();
  clicca(u"CmdStampaSchedaAlunni"_s);
  QCOMPARE(m_banco->stampante.documenti.size(), 1);
}

void TestFrmStampaSchedeTre::exitClosesAndMenuOpensPrinterChoice() {
  crea();
  trova<QAction>(u"mnuStampante"_s)->trigger();
  QCOMPARE(m_banco->navRegistrata.aperte, QStringList{u"sceltaStampante"_s});
  clicca(u"Command1"_s);
  QTRY_VERIFY(!m_finestra);
}

void TestFrmStampaSchedeTre::resizeMovesEveryControl() {
  crea();
  QWidget *client = m_finestra->client();
  const QSize progetto = client->size();
  const QStringList nomi{u"LblOp_30"_s, u"Option1_2"_s, u"Frame4"_s, u"Command1"_s};
  QList<QRect> prima;
  for (const QString &n : nomi) prima << trova<QWidget>(n)->geometry();
  m_finestra->resize(m_finestra->width() + progetto.width(), m_finestra->height());
  QTRY_COMPARE(client->width(), 2 * progetto.width());
  for (int k = 0; k < nomi.size(); ++k) {
    const QRect g = trova<QWidget>(nomi[k])->geometry();
    QVERIFY2(qAbs(g.x() - 2 * prima[k].x()) <= 1 && qAbs(g.width() - 2 * prima[k].width()) <= 1, qPrintable(nomi[k]));
    QCOMPARE(g.y(), prima[k].y());
    QCOMPARE(g.height(), prima[k].height());
  }
  m_finestra->resize(m_finestra->width() - progetto.width(), m_finestra->height());
  QTRY_COMPARE(client->width(), progetto.width());
  for (int k = 0; k < nomi.size(); ++k) QCOMPARE(trova<QWidget>(nomi[k])->geometry(), prima[k]);
}

QTEST_MAIN(TestFrmStampaSchedeTre)
#include "test_frmstampaschedetre.moc"
