#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "righeprova.h"
#include "support/doppi.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

class TestFrmStampaEsercizioTre : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup();
  void shouldListTheLogOfTheExercise_data();
  void shouldListTheLogOfTheExercise();
  void shouldSetRowFontsByTheCourierFound_data();
  void shouldSetRowFontsByTheCourierFound();
  void shouldRefuseToListWithoutCourier();
  void shouldPrintOnlyFromTenOperations_data();
  void shouldPrintOnlyFromTenOperations();
  void shouldMoveFocusWithTheGroupsKeys_data();
  void shouldMoveFocusWithTheGroupsKeys();
  void shouldPrintOnEnterAndOnceWhenHeld();
  void shouldTakeTheNameThroughTheFrame();
  void shouldKeepAnEmptyName();
  void shouldCloseAndOpenOtherWindows();
  void shouldStayOpenWhenThePrinterFails();

 private:
  FrmStampaEsercizioTre *apri(int operazioni);
  PulsanteOpzione *opzione(int i) { return m_w->findChild<PulsanteOpzione *>(u"Option1_%1"_s.arg(i)); }
  std::unique_ptr<Banco> m_b;
  QPointer<FrmStampaEsercizioTre> m_w;
};

FrmStampaEsercizioTre *TestFrmStampaEsercizioTre::apri(int operazioni) {
  if (!m_b) m_b = std::make_unique<Banco>();
  RiempiEsercizio(m_b->stato.esercizio, operazioni);
  m_w = new FrmStampaEsercizioTre(m_b->ctx);
  return m_w;
}

void TestFrmStampaEsercizioTre::cleanup() {
  if (m_w) delete m_w.data();
  m_b.reset();
}

void TestFrmStampaEsercizioTre::shouldListTheLogOfTheExercise_data() {
  QTest::addColumn<int>("operazioni");
  QTest::newRow("nessuna") << 0;
  QTest::newRow("9") << 9;
  QTest::newRow("20") << 20;
  QTest::newRow("30") << 30;
  QTest::newRow("35 (oltre le righe)") << 35;
}

void TestFrmStampaEsercizioTre::shouldListTheLogOfTheExercise() {
  QFETCH(int, operazioni);
  apri(operazioni);
  QCOMPARE(m_w->windowTitle(), u"FINESTRA DI STAMPA "_s);
  for (int k = 1; k <= 30; ++k) {
    auto *l = m_w->findChild<QLabel *>(u"LblOp_%1"_s.arg(k));
    QVERIFY2(l, qPrintable(u"LblOp_%1"_s.arg(k)));
    QCOMPARE(l->text(),
             k <= operazioni ? m_b->stato.esercizio.strRigheEsercizio[static_cast<size_t>(k)] : QString());
  }
  QVERIFY(!m_w->findChild<QLabel *>(u"LblOp_31"_s));
  QVERIFY(m_w->findChild<QLabel *>(u"Label1"_s)->text().isEmpty());
  QVERIFY(m_w->findChild<QLabel *>(u"Label2"_s)->text().isEmpty());
  QCOMPARE(m_w->findChild<QLabel *>(u"Label6"_s)->text(), u"VORNEL"_s);
  QVERIFY(!m_w->findChild<QFrame *>(u"fraNome"_s)->isVisibleTo(m_w));
  QVERIFY(m_b->messaggi.voci.isEmpty());
  const QStringList attese{u"E S C I"_s, u"SCRIVI IL NOME"_s, u"STAMPA"_s, u"ATTESTATO"_s};
  for (int i = 0; i < 4; ++i) QCOMPARE(opzione(i)->text(), attese[i]);
  // The rows stack down the window without overlapping, the commands below each other.
  auto *prima = m_w->findChild<QLabel *>(u"LblOp_1"_s);
  auto *ultima = m_w->findChild<QLabel *>(u"LblOp_30"_s);
  QCOMPARE(prima->y(), 17);
  QCOMPARE(ultima->y(), 511);
  QVERIFY(opzione(0)->geometry().bottom() < opzione(1)->y());
  QVERIFY(opzione(2)->geometry().bottom() < opzione(3)->y());
  QVERIFY(prima->geometry().right() < opzione(0)->x());
}

void TestFrmStampaEsercizioTre::shouldSetRowFontsByTheCourierFound_data() {
  QTest::addColumn<QStringList>("fonts");
  QTest::addColumn<QString>("famiglia");
  QTest::addColumn<bool>("grassetto");
  QTest::newRow("Courier New") << QStringList{u"Arial"_s, u"Courier New"_s} << u"Courier New"_s << true;
  QTest::newRow("solo Courier") << QStringList{u"Courier"_s, u"Arial"_s} << u"Courier"_s << false;
}

void TestFrmStampaEsercizioTre::shouldSetRowFontsByTheCourierFound() {
  QFETCH(QStringList, fonts);
  QFETCH(QString, famiglia);
  QFETCH(bool, grassetto);
  m_b = std::make_unique<Banco>();
  m_b->stampante.elencoFont = fonts;
  apri(12);
  for (int k : {1, 12}) {
    const QFont f = m_w->findChild<QLabel *>(u"LblOp_%1"_s.arg(k))->font();
    QCOMPARE(f.family(), famiglia);
    QCOMPARE(f.pointSizeF(), 10.0);
    QCOMPARE(f.bold(), grassetto);
  }
  // Rows without an operation keep the design font.
  QCOMPARE(m_w->findChild<QLabel *>(u"LblOp_13"_s)->font().pointSizeF(), 12.0);
}

void TestFrmStampaEsercizioTre::shouldRefuseToListWithoutCourier() {
  m_b = std::make_unique<Banco>();
  m_b->stampante.elencoFont = {u"Arial"_s, u"COURIER NEW"_s};
  apri(20);
  QCOMPARE(m_b->messaggi.testi(), QStringList{u"Devi installare il font Courier o il font Courier New"_s});
  QVERIFY(m_w->findChild<QLabel *>(u"LblOp_1"_s)->text().isEmpty());
  // Asking to print repeats the message and prints nothing.
  QTest::mouseClick(opzione(2), Qt::LeftButton);
  QCOMPARE(m_b->messaggi.voci.size(), 2);
  QCOMPARE(m_b->messaggi.voci[1].testo, kMessaggioCourier);
  QVERIFY(m_b->stampante.documenti.isEmpty());
}

void TestFrmStampaEsercizioTre::shouldPrintOnlyFromTenOperations_data() {
  QTest::addColumn<int>("operazioni");
  QTest::addColumn<int>("righeStampate");
  QTest::newRow("0") << 0 << -1;
  QTest::newRow("9") << 9 << -1;
  QTest::newRow("10") << 10 << 12;
  QTest::newRow("20") << 20 << 22;
}

void TestFrmStampaEsercizioTre::shouldPrintOnlyFromTenOperations() {
  QFETCH(int, operazioni);
  QFETCH(int, righeStampate);
  apri(operazioni);
  QTest::mousePress(opzione(2), Qt::LeftButton);
  QTest::mouseRelease(opzione(2), Qt::LeftButton);
  if (righeStampate < 0) {
    QCOMPARE(m_b->messaggi.testi(), QStringList{u"Esegui almeno 10 operazioni. "_s});
    QVERIFY(m_b->stampante.chiamate.isEmpty());
    return;
  }
  QVERIFY(m_b->messaggi.voci.isEmpty());
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  const auto &righe = m_b->stampante.documenti[0].righe;
  QCOMPARE(righe.size(), righeStampate);
  QCOMPARE(righe[2].y, 2000.0);
  QCOMPARE(righe[11].y, 5600.0);
  if (operazioni == 20) {
    QCOMPARE(righe[12].y, 6400.0);
    QCOMPARE(righe[21].y, 10000.0);
    QCOMPARE(righe[21].testo, m_b->stato.esercizio.strRigheEsercizio[20]);
  }
}

void TestFrmStampaEsercizioTre::shouldMoveFocusWithTheGroupsKeys_data() {
  QTest::addColumn<int>("da");
  QTest::addColumn<int>("tasto");
  QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
  QTest::addColumn<int>("a");
  QTest::newRow("1") << 2 << int(Qt::Key_1) << Qt::KeyboardModifiers() << 0;
  QTest::newRow("4") << 0 << int(Qt::Key_4) << Qt::KeyboardModifiers() << 3;
  QTest::newRow("3 tastierino") << 0 << int(Qt::Key_3) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 2;
  QTest::newRow("5 ignorato") << 1 << int(Qt::Key_5) << Qt::KeyboardModifiers() << 1;
  QTest::newRow("E senza effetto") << 1 << int(Qt::Key_E) << Qt::KeyboardModifiers() << 1;
  QTest::newRow("S senza effetto") << 2 << int(Qt::Key_S) << Qt::KeyboardModifiers() << 2;
  QTest::newRow("freccia inghiottita") << 1 << int(Qt::Key_Down) << Qt::KeyboardModifiers() << 1;
  QTest::newRow("spazio avanti") << 1 << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 2;
  QTest::newRow("spazio dall'ultimo") << 3 << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 0;
}

void TestFrmStampaEsercizioTre::shouldMoveFocusWithTheGroupsKeys() {
  QFETCH(int, da);
  QFETCH(int, tasto);
  QFETCH(Qt::KeyboardModifiers, modificatori);
  QFETCH(int, a);
  apri(20);
  QVERIFY(Attiva(m_w));
  m_w->comandi()->fuoco(da);
  QTRY_VERIFY(opzione(da)->hasFocus());
  QTest::keyClick(opzione(da), static_cast<Qt::Key>(tasto), modificatori);
  QTRY_VERIFY(opzione(a)->hasFocus());
  QVERIFY(m_w->isVisible());
  QVERIFY(m_b->stampante.chiamate.isEmpty());
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
}

void TestFrmStampaEsercizioTre::shouldPrintOnEnterAndOnceWhenHeld() {
  apri(10);
  QVERIFY(Attiva(m_w));
  m_w->comandi()->fuoco(2);
  QTRY_VERIFY(opzione(2)->hasFocus());
  // A held key repeats its press before the one release.
  QTest::keyPress(opzione(2), Qt::Key_Return);
  QTest::keyPress(opzione(2), Qt::Key_Return);
  QTest::keyPress(opzione(2), Qt::Key_Return);
  QTest::keyRelease(opzione(2), Qt::Key_Return);
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  QTest::keyClick(opzione(2), Qt::Key_Return);
  QCOMPARE(m_b->stampante.documenti.size(), 2);
}

void TestFrmStampaEsercizioTre::shouldTakeTheNameThroughTheFrame() {
  apri(10);
  QVERIFY(Attiva(m_w));
  auto *fra = m_w->findChild<QFrame *>(u"fraNome"_s);
  auto *txt = m_w->findChild<QLineEdit *>(u"txtNome"_s);
  QTest::mouseClick(opzione(1), Qt::LeftButton);
  QVERIFY(fra->isVisible());
  QTRY_VERIFY(txt->hasFocus());
  QVERIFY(m_w->client()->rect().contains(fra->geometry()));
  QCOMPARE(m_w->findChild<QLabel *>(u"Label5"_s)->text(), u"   IMMETTI   IL  TUO  NOME"_s);
  QTest::keyClicks(txt, u"mARIA ANTONIETTA"_s);  // sixteen characters
  QCOMPARE(txt->text(), u"mARIA ANTONIETT"_s);
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"cmdAvanti"_s), Qt::LeftButton);
  QVERIFY(!fra->isVisible());
  QCOMPARE(m_b->stato.esercizio.strNomeAlunno, u"mARIA ANTONIETT"_s);
  QTRY_VERIFY(opzione(2)->hasFocus());
}

void TestFrmStampaEsercizioTre::shouldKeepAnEmptyName() {
  m_b = std::make_unique<Banco>();
  m_b->stato.esercizio.strNomeAlunno = u"Vecchio"_s;
  apri(10);
  QVERIFY(Attiva(m_w));
  QTest::mouseClick(opzione(1), Qt::LeftButton);
  auto *txt = m_w->findChild<QLineEdit *>(u"txtNome"_s);
  QTest::keyClicks(txt, u"  Luca "_s);
  QTest::keyClick(txt, Qt::Key_Return);
  QCOMPARE(m_b->stato.esercizio.strNomeAlunno, u"  Luca "_s);
  QTest::mouseClick(opzione(1), Qt::LeftButton);
  txt->clear();
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"cmdAvanti"_s), Qt::LeftButton);
  QCOMPARE(m_b->stato.esercizio.strNomeAlunno, QString());
}

void TestFrmStampaEsercizioTre::shouldCloseAndOpenOtherWindows() {
  apri(3);
  QVERIFY(Attiva(m_w));
  QTest::mouseClick(opzione(3), Qt::LeftButton);
  QCOMPARE(m_b->navRegistrata.aperte, QStringList{u"attestato"_s});
  auto *menu = m_w->findChild<QAction *>(u"mnuScegli"_s);
  QVERIFY(menu);
  QCOMPARE(menu->text(), u"Scegli la stampante"_s);
  menu->trigger();
  QCOMPARE(m_b->navRegistrata.aperte.last(), u"sceltaStampante"_s);
  const Esercizio prima = m_b->stato.esercizio;
  QTest::mousePress(opzione(0), Qt::LeftButton);
  QTRY_VERIFY(!m_w);  // unloaded
  QCOMPARE(m_b->stato.esercizio.intOperazione, prima.intOperazione);
  QVERIFY(m_b->stato.esercizio.strRigheEsercizio == prima.strRigheEsercizio);
}

void TestFrmStampaEsercizioTre::shouldStayOpenWhenThePrinterFails() {
  m_b = std::make_unique<Banco>();
  m_b->stampante.guasto = u"La stampante \u00ABUfficio\u00BB ha rifiutato la stampa"_s;
  apri(20);
  QVERIFY(Attiva(m_w));
  QTest::mouseClick(opzione(2), Qt::LeftButton);
  QCOMPARE(m_b->messaggi.voci.size(), 1);
  QVERIFY(m_b->messaggi.voci[0].testo.contains(u"rifiutato"_s));
  QVERIFY(m_b->messaggi.voci[0].testo.contains(u"stamparlo di nuovo"_s));
  QVERIFY(m_w && m_w->isVisible());
  QCOMPARE(m_w->findChild<QLabel *>(u"LblOp_20"_s)->text(), m_b->stato.esercizio.strRigheEsercizio[20]);
  m_b->stampante.guasto.clear();
  QTest::mouseClick(opzione(2), Qt::LeftButton);
  QCOMPARE(m_b->stampante.documenti.size(), 1);
  QCOMPARE(m_b->stampante.documenti[0].righe.size(), 22);
}

QTEST_MAIN(TestFrmStampaEsercizioTre)
#include "test_frmstampaeserciziotre.moc"
