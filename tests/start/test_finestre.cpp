#include "support/doppi.h"
#include "ui/info/frmautore.h"
#include "ui/start/finestre.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The program as main builds it, over the test doubles and in a folder of its own.
struct Programma {
  CartellaTemporanea dir;
  Banco b;
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, b.casuale, b.messaggi, b.stampante, finestre};
  Programma() { b.stato.livello.strNomeFile = u"vornel"_s; }
  ~Programma() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Windows never shown don't delete themselves on close.
    delete finestre.inizio();
  }
};

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
  void shouldLendItsCaptionsToTheCertificate();

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
  QVERIFY(es->isVisible());
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
  QVERIFY(m_p->finestre.schede()->isVisible());
  QVERIFY(inizio->isVisible());
}

void TestFinestre::shouldEndOnEsci() {
  frmInizio *inizio = avvia();
  QPointer<frmInizio> vivo(inizio);
  QSignalSpy fine(&m_p->finestre, &Finestre::fine);
  scegli();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QPointer<FrmOperativo> es(m_p->finestre.esercizio());
  QVERIFY(es && es->isVisible());
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

void TestFinestre::shouldLendItsCaptionsToTheCertificate() {
  avvia();
  QCOMPARE(m_p->finestre.didascaliaInizio(u"Label6_1"_s), u"VORNEL"_s);
  scegli();
  QCOMPARE(m_p->finestre.didascaliaInizio(u"Label2"_s), u" Simboli decrescenti  u   d   c   m "_s);
  QCOMPARE(m_p->finestre.didascaliaInizio(u"NonEsiste"_s), QString());
}

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
