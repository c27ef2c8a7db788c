#include "start/programmaprova.h"
#include "support/doppi.h"
#include "ui/info/frmautore.h"
#include "ui/programma/finestre.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Programma = ProgrammaDiProva;

}  // namespace

class TestFinestre : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { m_p = std::make_unique<Programma>(); }
  void cleanup() { m_p.reset(); }

  void shouldShowTheAuthorWindowModally();
  void shouldOpenTheExerciseOverTheStartWindow();
  void shouldOpenWorksheetsFromTheMenu();
  void shouldEndOnEsci();
  void shouldShowTheNewExerciseWindowReadyAndOnce();
  void shouldOpenTheExerciseWindowOnceOnTwoQuickPresses();
  void shouldNeverShowAnExerciseWindowAskedForJustBeforeEsci();
  void shouldLendItsCaptionsToTheCertificate();
  void shouldReadyTheOtherWindowsFontsOnceTheCurtainHasOpened();

 private:
  frmInizio *avvia() {
    frmInizio *w = m_p->finestre.avvia(m_p->ctx);
    if (!QTest::qWaitForWindowActive(w)) qWarning("start window not active");
    return w;
  }
  QPushButton *pulsante(const QString &nome) const {
    return m_p->finestre.inizio()->findChild<QPushButton *>(nome);
  }
  void scegli() {
    QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
    QTest::mousePress(pulsante(u"Option2_0"_s), Qt::LeftButton);
  }
  std::unique_ptr<Programma> m_p;
};

void TestFinestre::shouldShowTheAuthorWindowModally() {
  frmInizio *inizio = avvia();
  QString nome;
  Qt::WindowModality modalita = Qt::NonModal;
  QWidget *genitore = nullptr;
  int giri = 0;
  // The modal window blocks the menu's trigger until it is closed, so it is looked at from within.
  QTimer sonda;
  sonda.setInterval(10);
  connect(&sonda, &QTimer::timeout, this, [&] {
    ++giri;
    QWidget *m = QApplication::activeModalWidget();
    if (!m && giri < 300) return;
    sonda.stop();
    if (!m) return;
    nome = m->objectName();
    modalita = m->windowModality();
    genitore = m->parentWidget();
    QTest::mouseClick(m->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
  });
  sonda.start();
  inizio->findChild<QAction *>(u"mnuAutore"_s)->trigger();
  QCOMPARE(nome, u"frmAutore"_s);
  QVERIFY(modalita != Qt::NonModal);
  QCOMPARE(genitore, inizio);
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY(inizio->isVisible());
}

void TestFinestre::shouldOpenTheExerciseOverTheStartWindow() {
  frmInizio *inizio = avvia();
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  FrmOperativo *es = m_p->finestre.esercizio();
  QVERIFY(es);
  QTRY_VERIFY(es->isVisible());  // a turn or two of the loop later
  QCOMPARE(es->windowModality(), Qt::NonModal);
  QVERIFY(inizio->isVisible());
  QVERIFY(es->isWindow());
  QVERIFY(!QApplication::activeModalWidget());
  QCOMPARE(m_p->b.stato.impostazioni.intCosaCalcolare, 1);
  QCOMPARE(m_p->b.stato.impostazioni.intOrdineSimboli, 1);
}

void TestFinestre::shouldOpenWorksheetsFromTheMenu() {
  frmInizio *inizio = avvia();
  scegli();
  inizio->findChild<QAction *>(u"mnuStampa"_s)->trigger();
  QVERIFY(m_p->finestre.schede());
  QTRY_VERIFY(m_p->finestre.schede()->isVisible());
  QVERIFY(inizio->isVisible());
}

void TestFinestre::shouldEndOnEsci() {
  frmInizio *inizio = avvia();
  QPointer<frmInizio> vivo(inizio);
  QSignalSpy fine(&m_p->finestre, &Finestre::fine);
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QPointer<FrmOperativo> es(m_p->finestre.esercizio());
  QVERIFY(es);
  QTRY_VERIFY(es->isVisible());
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  inizio->activateWindow();
  QTest::mousePress(pulsante(u"Option3_2"_s), Qt::LeftButton);
  QCOMPARE(fine.count(), 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!vivo || !vivo->isVisible());
  QVERIFY(!es || !es->isVisible());
  for (QWidget *w : QApplication::topLevelWidgets())
    QVERIFY2(!w->isVisible() || !qobject_cast<Finestra *>(w), qPrintable(w->objectName()));
}

// The exercise window is built at the press on "Vai"; its native window and
// its buffer are readied in the next turns of the loop, then it is shown.
void TestFinestre::shouldShowTheNewExerciseWindowReadyAndOnce() {
  avvia();
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QPointer<FrmOperativo> es(m_p->finestre.esercizio());
  QVERIFY(es && !es->isVisible());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 0);  // not started until it is seen
  QTRY_VERIFY(es->isVisible());
  QVERIFY(es->backingStore());
  QCOMPARE(es->backingStore()->size(), es->size());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 1);
  // Pressing "Vai" again brings the same window forward; the exercise goes on.
  QVERIFY(QTest::qWaitForWindowActive(es));
  const QString operazione = m_p->b.stato.operazione.strRisultato;
  m_p->finestre.inizio()->activateWindow();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QCOMPARE(m_p->finestre.esercizio(), es.data());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 1);
  QCOMPARE(m_p->b.stato.operazione.strRisultato, operazione);
}

// Two quick presses: the second shows the window at once, the pending steps
// leave it alone.
void TestFinestre::shouldOpenTheExerciseWindowOnceOnTwoQuickPresses() {
  avvia();
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QPointer<FrmOperativo> es(m_p->finestre.esercizio());
  QVERIFY(es && es->isVisible());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 1);
  QTest::qWait(50);
  QCOMPARE(m_p->finestre.esercizio(), es.data());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 1);
  QVERIFY(es->isVisible());
}

// "Esci" before the window has appeared ends the program without the window
// ever coming up.
void TestFinestre::shouldNeverShowAnExerciseWindowAskedForJustBeforeEsci() {
  QPointer<frmInizio> inizio(avvia());
  QSignalSpy fine(&m_p->finestre, &Finestre::fine);
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QPointer<FrmOperativo> es(m_p->finestre.esercizio());
  QVERIFY(es && !es->isVisible());
  QTest::mousePress(pulsante(u"Option3_2"_s), Qt::LeftButton);
  QCOMPARE(fine.count(), 1);
  QTest::qWait(50);
  QVERIFY(!es || !es->isVisible());
  QVERIFY(!inizio || !inizio->isVisible());
  QCOMPARE(m_p->b.stato.esercizio.intOperazione, 0);
}

void TestFinestre::shouldLendItsCaptionsToTheCertificate() {
  avvia();
  QCOMPARE(m_p->finestre.didascaliaInizio(u"Label6_1"_s), u"VORNEL"_s);
  scegli();
  QCOMPARE(m_p->finestre.didascaliaInizio(u"Label2"_s), u" Simboli decrescenti  u   d   c   m "_s);
  QCOMPARE(m_p->finestre.didascaliaInizio(u"NonEsiste"_s), QString());
}

void TestFinestre::shouldReadyTheOtherWindowsFontsOnceTheCurtainHasOpened() {
  frmInizio *inizio = avvia();
  const qsizetype tutti = m_p->finestre.caratteriDelleFinestre().size();
  QVERIFY(tutti > 5);
  // Nothing is readied while the curtain moves: it must keep its pace.
  QVERIFY(inizio->tendina().inMoto());
  QCOMPARE(m_p->finestre.caratteriInAttesa(), tutti);
  QTRY_VERIFY_WITH_TIMEOUT(!inizio->tendina().inMoto(), 5000);
  QTRY_COMPARE_WITH_TIMEOUT(m_p->finestre.caratteriInAttesa(), qsizetype(0), 5000);

  // Every caption of the windows opened later is written in a font of the list.
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  m_p->finestre.apriStampaEsercizio();
  m_p->finestre.apriAttestato();
  m_p->finestre.apriSchede();
  m_p->finestre.apriSceltaStampante();
  const auto chiave = [](const QFont &f) { return u"%1 %2%3"_s.arg(f.family()).arg(f.pointSizeF()).arg(f.bold() ? u" bold"_s : QString()); };
  QStringList pronti;
  for (const QFont &f : m_p->finestre.caratteriDelleFinestre()) pronti << chiave(f);
  int viste = 0;
  for (QWidget *finestra : {static_cast<QWidget *>(m_p->finestre.esercizio()), static_cast<QWidget *>(m_p->finestre.stampaEsercizio()),
                            static_cast<QWidget *>(m_p->finestre.attestato()), static_cast<QWidget *>(m_p->finestre.schede()),
                            static_cast<QWidget *>(m_p->finestre.sceltaStampante())}) {
    QVERIFY(finestra);
    for (QWidget *w : finestra->findChildren<QWidget *>()) {
      const auto *l = qobject_cast<QLabel *>(w);
      const auto *b = qobject_cast<QAbstractButton *>(w);
      const bool scritto = (l && !l->text().trimmed().isEmpty()) || (b && !b->text().trimmed().isEmpty()) ||
                           qobject_cast<QLineEdit *>(w);
      if (!scritto) continue;
      ++viste;
      QVERIFY2(pronti.contains(chiave(w->font())),
               qPrintable(u"%1 in %2 uses %3"_s.arg(w->objectName(), finestra->objectName(), chiave(w->font()))));
    }
  }
  QVERIFY(viste > 50);
}

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
