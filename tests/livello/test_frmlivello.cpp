#include "generation/famiglie.h"
#include "start/programmaprova.h"
#include "ui/livello/frmlivello.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

// The level window: every family and the size of the values from the start
// window's menu, by keyboard alone, saved at once and drawn on the start window.
class TestFrmLivello : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { m_p = std::make_unique<ProgrammaDiProva>(); }
  void cleanup() { m_p.reset(); }

  void shouldShowEachFamilyWithItsSystemUnitsAndSymbols_data();
  void shouldShowEachFamilyWithItsSystemUnitsAndSymbols();
  void shouldPutAFamilyInForceByKeyboardAlone();
  void shouldKeepTheRightPressCycleAfterAChosenFamily();
  void shouldChangeNothingWhenClosedWithoutAChoice();

 private:
  frmInizio *avvia() {
    frmInizio *w = m_p->finestre.avvia(m_p->ctx);
    if (!QTest::qWaitForWindowActive(w)) qWarning("start window not active");
    return w;
  }
  // Opens the level window with Alt+L and acts in it while it is open (it is modal).
  void nelLivello(const std::function<void(QDialog *)> &azione) {
    bool fatto = false;
    QTimer::singleShot(0, this, [&] {
      QTRY_VERIFY(qobject_cast<QDialog *>(QApplication::activeModalWidget()));
      auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
      QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == d);
      azione(d);
      fatto = true;
      if (d->isVisible()) d->reject();
    });
    QTest::keyClick(m_p->finestre.inizio(), Qt::Key_L, Qt::AltModifier);
    QVERIFY(fatto);
    QVERIFY(!QApplication::activeModalWidget());
  }
  QString testo(const QString &nome) const { return m_p->finestre.inizio()->findChild<QLabel *>(nome)->text(); }
  QString pulsante(const QString &nome) const {
    return m_p->finestre.inizio()->findChild<QAbstractButton *>(nome)->text();
  }
  static QByteArray fileLivello() {
    QFile f(u"vornel.dat"_s);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  std::unique_ptr<ProgrammaDiProva> m_p;
};

void TestFrmLivello::shouldShowEachFamilyWithItsSystemUnitsAndSymbols_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<QString>("riga");
  QTest::newRow("decimal, four units")
      << 1 << u" 1.  SISTEMA DECIMALE \u2014 unità, decimi, centesimi, millesimi   (u d c m)"_s;
  QTest::newRow("three units, no blank slot") << 2 << u" 2.  SISTEMA DECIMALE \u2014 %1   (h da u)"_s.arg(DescrizioneFamiglia(2).simplified());
  QTest::newRow("kilogram with a capital K") << 9 << u" 9.  SISTEMA METRICO \u2014 chilogrammi, ettogrammi, decagrammi, grammi   (Kg hg dag g)"_s;
  QTest::newRow("litres, trailing blanks") << 11 << u"11.  SISTEMA METRICO \u2014 litri, decilitri, centilitri, millilitri   (l dl cl ml)"_s;
  QTest::newRow("outside the table") << 13 << QString();
}

void TestFrmLivello::shouldShowEachFamilyWithItsSystemUnitsAndSymbols() {
  QFETCH(int, livello);
  QFETCH(QString, riga);
  QCOMPARE(FrmLivello::RigaFamiglia(livello), riga);
  if (livello > kFamiglie) return;
  FrmLivello w(livello, 1);
  auto *lista = w.findChild<QListWidget *>(u"lstFamiglie"_s);
  QCOMPARE(lista->count(), kFamiglie);
  QCOMPARE(lista->currentRow(), livello - 1);
  QCOMPARE(lista->item(livello - 1)->text(), riga);
}

void TestFrmLivello::shouldPutAFamilyInForceByKeyboardAlone() {
  frmInizio *inizio = avvia();
  QCOMPARE(m_p->b.stato.livello.intLivello, 1);
  nelLivello([&](QDialog *d) {
    auto *lista = d->findChild<QListWidget *>(u"lstFamiglie"_s);
    QCOMPARE(QApplication::focusWidget(), lista);
    for (int i = 0; i < 8; ++i) QTest::keyClick(lista, Qt::Key_Down);
    // In force and saved at once, while the window is still open.
    QCOMPARE(m_p->b.stato.livello.intLivello, 9);
    QCOMPARE(fileLivello(), QByteArray(" 9  1 \r\n"));
    QCOMPARE(testo(u"Label3"_s), u"9"_s);
    // Tab to the size of the values, the arrow chooses the second.
    QTest::keyClick(lista, Qt::Key_Tab);
    QWidget *f = QApplication::focusWidget();
    QVERIFY(f);
    QCOMPARE(f->objectName(), u"optCifre_1"_s);
    QTest::keyClick(f, Qt::Key_Right);
    QVERIFY(d->findChild<QRadioButton *>(u"optCifre_2"_s)->isChecked());
    QCOMPARE(fileLivello(), QByteArray(" 9  2 \r\n"));
    // Enter on the list closes the window.
    lista->setFocus();
    QTest::keyClick(lista, Qt::Key_Return);
    QVERIFY(!d->isVisible());
  });
  // Drawn as a change of family is: captions, symbol order captions, the window title.
  QCOMPARE(testo(u"Label6_0"_s), SistemaFamiglia(9));
  QCOMPARE(testo(u"Label6_2"_s), DescrizioneFamiglia(9));
  QCOMPARE(testo(u"lblCifre"_s), u"Valori di 2 cifre"_s);
  QCOMPARE(pulsante(u"Option2_0"_s), SimboliDecrescenti(m_p->b.stato.famiglia));
  QVERIFY(pulsante(u"Option2_0"_s).contains(u"Kg"_s));
  QCOMPARE(m_p->b.stato.famiglia.intNumeroUnita, 4);
  QCOMPARE(m_p->b.stato.impostazioni.intValoreMassimo, 19);
  QVERIFY(inizio->windowTitle().startsWith(TitoloSistema(9)));
}

void TestFrmLivello::shouldKeepTheRightPressCycleAfterAChosenFamily() {
  avvia();
  nelLivello([&](QDialog *d) { d->findChild<QListWidget *>(u"lstFamiglie"_s)->setCurrentRow(11); });
  QCOMPARE(fileLivello(), QByteArray(" 12  1 \r\n"));
  QCOMPARE(m_p->b.stato.famiglia.intNumeroUnita, 3);
  // A right press on a family caption still goes 1, 2, 3: from 12 it starts again at 1.
  QTest::mousePress(m_p->finestre.inizio()->findChild<QLabel *>(u"Label6_0"_s), Qt::RightButton);
  QCOMPARE(m_p->b.stato.livello.intLivello, 1);
  QCOMPARE(testo(u"Label3"_s), u"1"_s);
  QCOMPARE(fileLivello(), QByteArray(" 1  1 \r\n"));
}

void TestFrmLivello::shouldChangeNothingWhenClosedWithoutAChoice() {
  avvia();
  const QByteArray prima = fileLivello();
  const QString didascalia = testo(u"Label6_2"_s);
  nelLivello([&](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); });
  QCOMPARE(fileLivello(), prima);
  QCOMPARE(testo(u"Label6_2"_s), didascalia);
  QCOMPARE(m_p->b.stato.livello.intLivello, 1);
}

QTEST_MAIN(TestFrmLivello)
#include "test_frmlivello.moc"
