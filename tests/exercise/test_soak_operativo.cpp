#include "generation/famiglie.h"
#include "support/doppi.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/exercise/frmoperativo.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

// Hammers the exercise window with random keys and mouse presses and checks,
// after every single event, that the exercise stays whole.
class TestSoakOperativo : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldSurviveRandomInput_data();
  void shouldSurviveRandomInput();
};

void TestSoakOperativo::shouldSurviveRandomInput_data() {
  QTest::addColumn<int>("cosa");
  QTest::addColumn<int>("livello");
  QTest::addColumn<quint32>("seme");
  QTest::newRow("either view, four units") << 3 << 6 << 20261208u;
  QTest::newRow("symbols, three units") << 2 << 8 << 7u;
  QTest::newRow("numbers, decimals") << 1 << 1 << 42u;
}

void TestSoakOperativo::shouldSurviveRandomInput() {
  QFETCH(int, cosa);
  QFETCH(int, livello);
  QFETCH(quint32, seme);
  Banco b;
  CasualeSistema casuale(seme);
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, b.navRegistrata};
  ApplicaFamiglia(b.stato.famiglia, livello);
  b.stato.impostazioni.intCosaCalcolare = static_cast<qint16>(cosa);
  b.stato.impostazioni.intOrdineSimboli = 3;
  QPointer<FrmOperativo> w = new FrmOperativo(ctx);
  QVERIFY(Attiva(w));

  // The exit buttons are left out: closing the window would end the run.
  QList<QPushButton *> pulsanti;
  for (auto *p : w->findChildren<PulsanteOpzione *>())
    if (p->objectName() != u"Option2_14"_s && p->objectName() != u"Option1_7"_s) pulsanti << p;
  QList<QFrame *> cornici;
  for (const char *n : {"fraTastierino", "fraSimboli", "fraAiuto", "fraIntervento", "fraAvviso"})
    cornici << w->findChild<QFrame *>(QString::fromLatin1(n));
  auto *risultato = w->findChild<QLabel *>(u"LblRisultato"_s);

  const QList<int> tasti = {Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6,
                            Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_Comma, Qt::Key_Period, Qt::Key_C,
                            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_V, Qt::Key_N, Qt::Key_S, Qt::Key_F2,
                            Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Space, Qt::Key_Left, Qt::Key_A};
  QRandomGenerator g(seme);
  const auto &e = b.stato.esercizio;
  int fini = 0, operazioni = 0;
  for (int n = 0; n < 50000; ++n) {
    b.orologio.secondi = std::fmod(b.orologio.secondi + g.bounded(5.0), 86400.0);
    QWidget *bersaglio = QApplication::focusWidget();
    const int tipo = static_cast<int>(g.bounded(10));
    if (tipo < 3 || !bersaglio || bersaglio->window() != w) {
      QPushButton *p = pulsanti[static_cast<qsizetype>(g.bounded(static_cast<quint32>(pulsanti.size())))];
      if (tipo == 0) QTest::mouseRelease(p, Qt::LeftButton);
      else QTest::mousePress(p, Qt::LeftButton);
    } else {
      int k = tasti[static_cast<qsizetype>(g.bounded(static_cast<quint32>(tasti.size())))];
      // Esco and Esci stay out of reach of Enter too.
      if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        const QString nome = bersaglio->objectName();
        if (nome == u"Option2_14"_s || nome == u"Option1_7"_s) k = Qt::Key_Space;
      }
      const Qt::KeyboardModifiers m = g.bounded(4) == 0 ? Qt::KeypadModifier : Qt::NoModifier;
      const bool ripetuto = tipo == 9;
      QKeyEvent ev(tipo == 3 ? QEvent::KeyRelease : QEvent::KeyPress, k, m, QString(), ripetuto);
      QApplication::sendEvent(bersaglio, &ev);
    }
    QVERIFY2(w, "the window closed");
    QVERIFY2(e.intOperazione >= 1 && e.intOperazione <= 20, qPrintable(QString::number(e.intOperazione)));
    // At most five digits, with a thousands point and a comma: 1.801,5.
    QVERIFY(e.strRisposta.size() <= 7);
    QVERIFY(risultato->text().size() <= 7);
    QVERIFY(std::count_if(e.strRisposta.cbegin(), e.strRisposta.cend(), [](QChar c) { return c.isDigit(); }) <= 5);
    QVERIFY(e.intEsatte + e.intErrate <= e.intOperazione);
    int abilitate = 0;
    for (QFrame *f : cornici) abilitate += f->isEnabled() ? 1 : 0;
    QCOMPARE(abilitate, 1);
    if (w->motore().fase() == MotoreEsercizio::Fase::Finito) ++fini;
    operazioni = std::max(operazioni, static_cast<int>(e.intOperazione));
    if (n % 500 == 0) QCoreApplication::processEvents();
  }
  // The input reached deep into the exercise, not only the first screen.
  QVERIFY(operazioni > 5);
  qInfo("highest operation %d, events at the end frame %d", operazioni, fini);
  delete w;
}

QTEST_MAIN(TestSoakOperativo)
#include "test_soak_operativo.moc"
