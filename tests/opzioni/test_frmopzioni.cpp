#include "didattica/tabellaunita.h"
#include "exercise/copione.h"
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "support/porta.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/opzioni/frmopzioni.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Every visible control of the window's client area that the table would cover.
QStringList Coperti(QWidget *client, const QWidget *tabella) {
  const QRect dove(tabella->mapTo(client, QPoint(0, 0)), tabella->size());
  QStringList coperti;
  for (QWidget *w : client->findChildren<QWidget *>()) {
    if (w == tabella || w->objectName().isEmpty() || !w->isVisibleTo(client)) continue;
    const QRect r(w->mapTo(client, QPoint(0, 0)), w->size());
    if (r.intersects(dove)) coperti << w->objectName();
  }
  return coperti;
}

QHash<QString, QRect> Posti(QWidget *client) {
  QHash<QString, QRect> posti;
  for (QWidget *w : client->findChildren<QWidget *>())
    if (!w->objectName().isEmpty() && w->isVisibleTo(client)) posti.insert(w->objectName(), w->geometry());
  return posti;
}

}  // namespace

class TestFrmOpzioni : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { m_b = std::make_unique<Banco>(); }
  void cleanup();
  void shouldOpenFromTheStartMenuAndWorkByKeyboard();
  void shouldFollowThePupilsPlanAndLeaveTheMachinesAlone();
  void shouldHideTheTimesAtOnceAndStillMeasureAndLogThem();
  void shouldKeepTheEmptyTableBesideTheOperationCoveringNothing_data();
  void shouldKeepTheEmptyTableBesideTheOperationCoveringNothing();
  void shouldGoBackToTheDesignWhenTheTableIsPutAway();
  void shouldApplyAtOnceToAnOpenExerciseThroughTheWindow();

 private:
  void apri(int livello = 3);
  std::unique_ptr<Banco> m_b;
  QPointer<FrmOperativo> m_w;
};

void TestFrmOpzioni::cleanup() {
  if (m_w) {
    m_w->close();
    delete m_w;
  }
  m_b.reset();
}

void TestFrmOpzioni::apri(int livello) {
  Famiglia(m_b->stato, livello);
  m_w = new FrmOperativo(m_b->ctx);
  QVERIFY(Attiva(m_w));
}

void TestFrmOpzioni::shouldOpenFromTheStartMenuAndWorkByKeyboard() {
  ProgrammaDiProva p;
  PreferenzeFinte pref;
  p.finestre.impostaPreferenze(&pref);
  RegistroConPorta(p.finestre, p.dir.percorso());
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  auto *voce = inizio->findChild<QAction *>(u"mnuOpzioni"_s);
  QVERIFY(voce);
  QCOMPARE(voce->text(), u"Opzioni"_s);
  {
    // The teacher's: the PIN chosen at the door's first opening.
    AllaPorta porta(u"2468"_s);
    voce->trigger();
    QCOMPARE(porta.porte(), 1);
  }
  QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
  FrmOpzioni *f = p.finestre.opzioni();
  QVERIFY(QTest::qWaitForWindowActive(f));
  QCOMPARE(f->windowTitle(), u"Opzioni"_s);
  for (QCheckBox *c : f->caselle()) {
    QVERIFY(!c->isChecked());
    QVERIFY(!c->accessibleName().isEmpty());
  }

  // Tab to the second box, space ticks it: in force and kept at once.
  QCOMPARE(QApplication::focusWidget(), f->caselle().at(0));
  QTest::keyClick(f->caselle().at(0), Qt::Key_Tab);
  auto *orologio = f->findChild<QCheckBox *>(u"chkSenzaOrologio"_s);
  QCOMPARE(QApplication::focusWidget(), orologio);
  QTest::keyClick(orologio, Qt::Key_Space);
  QVERIFY(p.b.stato.opzioni.macchina.senzaOrologio);
  QCOMPARE(pref.scritture, 1);
  QCOMPARE(pref.valori.value(u"opzioni/senzaOrologio"_s), QVariant(true));
  QCOMPARE(pref.valori.value(u"opzioni/tabellaAMano"_s), QVariant(false));
  // Back with Shift+Tab to the table's box, ticked with the space bar too.
  QTest::keyClick(orologio, Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(QApplication::focusWidget(), f->caselle().at(0));
  QTest::keyClick(f->caselle().at(0), Qt::Key_Space);
  QVERIFY(p.b.stato.opzioni.macchina.tabellaAMano);
  QCOMPARE(pref.scritture, 2);
  // Asked for again, the same window comes forward.
  voce->trigger();
  QCOMPARE(p.finestre.opzioni(), f);
  QTest::keyClick(orologio, Qt::Key_Escape);
  QTRY_VERIFY(!p.finestre.opzioni());
  QVERIFY(p.b.stato.opzioni.macchina.senzaOrologio);  // closing undoes nothing
}

void TestFrmOpzioni::shouldFollowThePupilsPlanAndLeaveTheMachinesAlone() {
  SceltaOpzioni scelta;
  scelta.macchina.tabellaAMano = true;
  scelta.alunno = Opzioni{};
  scelta.alunno->senzaOrologio = true;
  auto *f = new FrmOpzioni(scelta);
  QVERIFY(Attiva(f));
  auto *tabella = f->findChild<QCheckBox *>(u"chkTabellaAMano"_s);
  auto *orologio = f->findChild<QCheckBox *>(u"chkSenzaOrologio"_s);
  QVERIFY(!tabella->isChecked());
  QVERIFY(orologio->isChecked());
  int cambi = 0;
  connect(f, &FrmOpzioni::cambiate, this, [&cambi] { ++cambi; });
  QTest::mouseClick(orologio, Qt::LeftButton);
  QCOMPARE(cambi, 1);
  QVERIFY(!scelta.alunno->senzaOrologio);
  QCOMPARE(scelta.macchina, (Opzioni{false, true, false, false, false}));
  f->close();
}

void TestFrmOpzioni::shouldHideTheTimesAtOnceAndStillMeasureAndLogThem() {
  Operazione4(m_b->casuale, 3, 6, 7, 3);
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  m_b->orologio.secondi = 36000;
  apri();
  const QStringList tempi = {u"Label5_4"_s, u"Label5_5"_s, u"LblTempoOperazione"_s, u"LblTempoTotale"_s};
  for (const QString &n : tempi) QVERIFY(m_w->findChild<QLabel *>(n)->isVisible());
  m_b->stato.opzioni.macchina.senzaOrologio = true;
  m_w->applicaOpzioni();
  for (const QString &n : tempi) QVERIFY2(!m_w->findChild<QLabel *>(n)->isVisible(), qPrintable(n));
  for (const QString &n : {u"Label5_1"_s, u"LblOperazione"_s, u"lblRisEsatte"_s, u"lblRisErrate"_s})
    QVERIFY(m_w->findChild<QLabel *>(n)->isVisible());

  // A wrong answer, "SI", 7.5 seconds in all: the time is measured and logged.
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"Option2_9"_s), Qt::LeftButton);
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"Option2_12"_s), Qt::LeftButton);
  m_b->orologio.secondi += 7.5;
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"Option3_0"_s), Qt::LeftButton);
  QCOMPARE(m_b->stato.esercizio.varTempoTotale, 7.0);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], u" 6  k +  7  u = ... da  r. °°°°°9*   600,7 sec. 7"_s);
  // Resizing keeps them hidden; switched back on they show what was measured.
  m_w->resize(m_w->size() * 3 / 2);
  for (const QString &n : tempi) QVERIFY(!m_w->findChild<QLabel *>(n)->isVisible());
  m_b->stato.opzioni.macchina.senzaOrologio = false;
  m_w->applicaOpzioni();
  QVERIFY(m_w->findChild<QLabel *>(u"LblTempoTotale"_s)->isVisible());
  QCOMPARE(m_w->findChild<QLabel *>(u"LblTempoTotale"_s)->text(), u"7"_s);
}

void TestFrmOpzioni::shouldKeepTheEmptyTableBesideTheOperationCoveringNothing_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<double>("scala");
  QTest::addColumn<bool>("simbolo");
  QTest::newRow("place value, design size") << 1 << 1.0 << false;
  QTest::newRow("k h da u, design size") << 3 << 1.0 << false;
  QTest::newRow("k h da u, symbol view") << 3 << 1.0 << true;
  QTest::newRow("three units, twice") << 4 << 2.0 << false;
  QTest::newRow("metres, a board of 1920 x 1080") << 5 << 0.0 << true;
  QTest::newRow("grams, small") << 8 << 0.75 << false;
}

void TestFrmOpzioni::shouldKeepTheEmptyTableBesideTheOperationCoveringNothing() {
  QFETCH(int, livello);
  QFETCH(double, scala);
  QFETCH(bool, simbolo);
  m_b->stato.impostazioni.intCosaCalcolare = simbolo ? 2 : 1;
  m_b->stato.opzioni.macchina.tabellaAMano = true;
  if (livello == 4) Operazione3(m_b->casuale, 5, 2, 3, 3);
  else Operazione4(m_b->casuale, 2, 4, 6, 2);
  apri(livello);
  if (scala > 0) m_w->resize((QSizeF(m_w->size()) * scala).toSize());
  else m_w->resize(1920, 1050);
  QCoreApplication::processEvents();
  auto *t = m_w->findChild<VistaTabellaUnita *>(u"tabellaAMano"_s);
  QVERIFY(t && t->isVisible());
  QCOMPARE(t->tabella(), TabellaVuota(m_b->stato.famiglia, 3));
  QVERIFY(!t->tabella().colonne.isEmpty());
  QCOMPARE(Coperti(m_w->client(), t), QStringList());
  QVERIFY(m_w->client()->rect().contains(QRect(t->mapTo(m_w->client(), QPoint(0, 0)), t->size())));
  // It stays through the operation: a wrong answer, help, the program stepping in, the next one.
  const QString cifra = simbolo ? u"Option1_0"_s : u"Option2_9"_s;
  const QString verifica = simbolo ? u"Option1_5"_s : u"Option2_12"_s;
  QTest::mouseClick(m_w->findChild<QPushButton *>(cifra), Qt::LeftButton);
  QTest::mouseClick(m_w->findChild<QPushButton *>(verifica), Qt::LeftButton);
  QVERIFY(t->isVisible());
  QCOMPARE(Coperti(m_w->client(), t), QStringList());
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"Option3_0"_s), Qt::LeftButton);
  QVERIFY(t->isVisible());
  QCOMPARE(Coperti(m_w->client(), t), QStringList());
}

void TestFrmOpzioni::shouldGoBackToTheDesignWhenTheTableIsPutAway() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  const QHash<QString, QRect> prima = Posti(m_w->client());
  const QSize dimensione = m_w->size();
  m_b->stato.opzioni.macchina.tabellaAMano = true;
  m_w->applicaOpzioni();
  QCoreApplication::processEvents();
  QVERIFY(m_w->width() > dimensione.width());
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);  // the exercise goes on
  m_b->stato.opzioni.macchina.tabellaAMano = false;
  m_w->applicaOpzioni();
  QCoreApplication::processEvents();
  QCOMPARE(m_w->size(), dimensione);
  QCOMPARE(Posti(m_w->client()), prima);
}

void TestFrmOpzioni::shouldApplyAtOnceToAnOpenExerciseThroughTheWindow() {
  ProgrammaDiProva p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  Famiglia(p.b.stato, 3);
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  p.finestre.apriEsercizio();
  QTRY_VERIFY(p.finestre.esercizio() && p.finestre.esercizio()->isVisible());
  FrmOperativo *e = p.finestre.esercizio();
  RegistroConPorta(p.finestre, p.dir.percorso());
  {
    AllaPorta porta(u"2468"_s);
    p.finestre.apriOpzioni();
    QCOMPARE(porta.porte(), 1);
  }
  QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
  QTest::mouseClick(p.finestre.opzioni()->findChild<QCheckBox *>(u"chkTabellaAMano"_s), Qt::LeftButton);
  QTest::mouseClick(p.finestre.opzioni()->findChild<QCheckBox *>(u"chkSenzaOrologio"_s), Qt::LeftButton);
  auto *t = e->findChild<VistaTabellaUnita *>(u"tabellaAMano"_s);
  QVERIFY(t && t->isVisible());
  QVERIFY(!e->findChild<QLabel *>(u"LblTempoTotale"_s)->isVisible());
  QCOMPARE(p.b.stato.esercizio.intOperazione, 1);
  // For a look by eye: VORNEL_SCHERMATE names a folder for the pictures.
  if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty()) {
    QVERIFY(e->grab().save(cartella + u"/esercizio-tabella.png"_s));
    QVERIFY(p.finestre.opzioni()->grab().save(cartella + u"/opzioni.png"_s));
    e->resize(1920, 1050);
    QCoreApplication::processEvents();
    QVERIFY(e->grab().save(cartella + u"/esercizio-tabella-lim.png"_s));
  }
}

QTEST_MAIN(TestFrmOpzioni)
#include "test_frmopzioni.moc"
