#include "start/programmaprova.h"
#include "registro/portadocente.h"
#include "ui/info/frmistruzioni.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTest>
#include <QTextBrowser>
#include <memory>

using namespace Qt::StringLiterals;

// The instructions: F1 from any window of the program, or the start window's menu.
class TestFrmIstruzioni : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { m_p = std::make_unique<ProgrammaDiProva>(); }
  void cleanup() { m_p.reset(); }

  void shouldOpenOnF1EvenWhereTheButtonsSwallowKeys();
  void shouldOpenOnceFromTheMenuAndCloseWithItsButton();
  void shouldTellPupilsAndTeachersWhatTheProgramDoes_data();
  void shouldTellPupilsAndTeachersWhatTheProgramDoes();
  void shouldListEveryShortcutOfTheWindows();
  void shouldStateTheDoorsRulesAsTheDoorKeepsThem();

 private:
  frmInizio *avvia() {
    frmInizio *w = m_p->finestre.avvia(m_p->ctx);
    if (!QTest::qWaitForWindowActive(w)) qWarning("start window not active");
    return w;
  }
  std::unique_ptr<ProgrammaDiProva> m_p;
};

void TestFrmIstruzioni::shouldOpenOnF1EvenWhereTheButtonsSwallowKeys() {
  frmInizio *inizio = avvia();
  const auto pulsante = [&](const QString &n) { return inizio->findChild<QAbstractButton *>(n); };
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option2_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QTRY_VERIFY(m_p->finestre.esercizio() && m_p->finestre.esercizio()->isActiveWindow());
  QWidget *tasto = QApplication::focusWidget();
  QVERIFY(tasto && tasto->window() == m_p->finestre.esercizio());
  // A keypad button swallows every key it does not take; F1 still reaches the program.
  QTest::keyClick(tasto, Qt::Key_F1);
  QTRY_VERIFY(m_p->finestre.istruzioni() && m_p->finestre.istruzioni()->isVisible());
  QCOMPARE(m_p->b.stato.esercizio.strRisposta, QString());
  QVERIFY(!m_p->finestre.istruzioni()->isModal());
  // The exercise goes on untouched underneath.
  QVERIFY(m_p->finestre.esercizio()->isVisible());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 1);
}

void TestFrmIstruzioni::shouldOpenOnceFromTheMenuAndCloseWithItsButton() {
  frmInizio *inizio = avvia();
  auto *voce = inizio->findChild<QAction *>(u"mnuIstruzioni"_s);
  QVERIFY(voce);
  QCOMPARE(voce->text(), u"Istruzioni"_s);
  voce->trigger();
  QTRY_VERIFY(m_p->finestre.istruzioni() && m_p->finestre.istruzioni()->isVisible());
  QPointer<frmIstruzioni> prima = m_p->finestre.istruzioni();
  QTest::keyClick(inizio, Qt::Key_F1);
  QCOMPARE(m_p->finestre.istruzioni(), prima.data());
  int quante = 0;
  for (QWidget *w : QApplication::topLevelWidgets()) quante += w->objectName() == u"frmIstruzioni"_s ? 1 : 0;
  QCOMPARE(quante, 1);
  QTest::mouseClick(prima->findChild<QPushButton *>(u"cmdChiudi"_s), Qt::LeftButton);
  QTRY_VERIFY(prima.isNull());
  QVERIFY(inizio->isVisible());
}

void TestFrmIstruzioni::shouldTellPupilsAndTeachersWhatTheProgramDoes_data() {
  QTest::addColumn<QString>("frase");
  QTest::newRow("pupils' part") << u"Per gli alunni"_s;
  QTest::newRow("the help question") << u"Ti aiuto ?"_s;
  QTest::newRow("the program steps in") << u"Intervengo io"_s;
  QTest::newRow("keys move to their button") << u"V, N, E portano il riquadro su Verifica, Avanti, Esco"_s;
  QTest::newRow("the comma of the main keyboard") << u"con il tasto , della tastiera grande"_s;
  QTest::newRow("the keypad's comma key deletes") << u"il punto del tastierino numerico cancellano"_s;
  QTest::newRow("symbols by digit") << u"0, 1, 2, 3 scelgono il simbolo"_s;
  QTest::newRow("the help's letters") << u"S (o 1) porta su SI e N (o 2) su NO"_s;
  QTest::newRow("an example as pupils read it") << u"12 h + 7 da = 1.270 u"_s;
  QTest::newRow("the sentence under the verdict") << u"Errato e, sotto, una frase"_s;
  QTest::newRow("the table after SI") << u"la risposta giusta e la tabella delle unità"_s;
  QTest::newRow("read aloud") << u"F5 legge ad alta voce l'operazione"_s;
  QTest::newRow("teachers' part") << u"Per gli insegnanti"_s;
  QTest::newRow("levels") << u"dodici famiglie di unità"_s;
  QTest::newRow("printing without a printer") << u"Salva come PDF"_s;
  QTest::newRow("the register") << u"Classi e alunni"_s;
  QTest::newRow("a forgotten PIN")
      << u"sqlite3 ~/.local/share/vornel/registro.sqlite \"DELETE FROM porta;\""_s;
  QTest::newRow("the pupil's plan") << u"Usa le opzioni del computer toglie il piano"_s;
  QTest::newRow("practice aimed at the pupil") << u"la voce di menu Su misura prepara le venti operazioni"_s;
}

void TestFrmIstruzioni::shouldTellPupilsAndTeachersWhatTheProgramDoes() {
  QFETCH(QString, frase);
  frmIstruzioni w;
  const QString testo = w.findChild<QTextBrowser *>(u"txtIstruzioni"_s)->toPlainText().simplified();
  QVERIFY2(testo.contains(frase), qPrintable(frase));
  // The pupils' part comes first, in larger type than the teachers'.
  QVERIFY(testo.indexOf(u"Per gli alunni"_s) < testo.indexOf(u"Per gli insegnanti"_s));
}

// A key the program answers to everywhere in a window (a shortcut) is one the
// pupils' list of keys names: none is left for the children to guess.
void TestFrmIstruzioni::shouldListEveryShortcutOfTheWindows() {
  frmInizio *inizio = avvia();
  for (const QString &n : {u"Option1_0"_s, u"Option2_0"_s, u"Option3_0"_s})
    QTest::mousePress(inizio->findChild<QAbstractButton *>(n), Qt::LeftButton);
  QTRY_VERIFY(m_p->finestre.esercizio() && m_p->finestre.esercizio()->isVisible());
  frmIstruzioni w;
  const QString testo = w.findChild<QTextBrowser *>(u"txtIstruzioni"_s)->toPlainText().simplified();
  const qsizetype da = testo.indexOf(u"I tasti."_s), a = testo.indexOf(u"Per gli insegnanti"_s);
  QVERIFY(da >= 0 && a > da);
  const QString tasti = testo.mid(da, a - da);
  QStringList scorciatoie;
  for (QWidget *f : {static_cast<QWidget *>(inizio), static_cast<QWidget *>(m_p->finestre.esercizio())})
    for (const QShortcut *s : f->findChildren<QShortcut *>())
      scorciatoie << s->key().toString(QKeySequence::NativeText);
  // The help and the reading aloud at least.
  QVERIFY2(scorciatoie.contains(u"F1"_s) && scorciatoie.contains(u"F5"_s),
           qPrintable(scorciatoie.join(u' ')));
  for (const QString &k : scorciatoie)
    QVERIFY2(tasti.contains(QRegularExpression(u"(^|\\W)"_s + QRegularExpression::escape(k) + u" "_s)),
             qPrintable(k));
}

// The teachers read the PIN's rules here: the numbers are the door's own.
void TestFrmIstruzioni::shouldStateTheDoorsRulesAsTheDoorKeepsThem() {
  frmIstruzioni w;
  const QString testo = w.findChild<QTextBrowser *>(u"txtIstruzioni"_s)->toPlainText().simplified();
  QVERIFY(testo.contains(u"almeno %1 cifre"_s.arg(PortaDocente::kLunghezzaMinima)));
  QCOMPARE(PortaDocente::kErroriConcessi, 5);
  QVERIFY(testo.contains(u"Dopo cinque PIN sbagliati"_s));
  QVERIFY(testo.contains(u"aspettare %1 secondi"_s.arg(PortaDocente::kPrimaAttesa)));
  QVERIFY(testo.contains(u"al massimo %1 minuti"_s.arg(PortaDocente::kAttesaMassima / 60)));
}

QTEST_MAIN(TestFrmIstruzioni)
#include "test_frmistruzioni.moc"
