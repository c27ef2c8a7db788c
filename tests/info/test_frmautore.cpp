#include "support/doppi.h"
#include "ui/info/frmautore.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestFrmAutore : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldShowItsFixedDesign();
  void shouldPlaceEachControl_data();
  void shouldPlaceEachControl();
  void shouldCloseOnChiudi_data();
  void shouldCloseOnChiudi();
};

void TestFrmAutore::shouldShowItsFixedDesign() {
  frmAutore w;
  QVERIFY(Attiva(&w));
  QCOMPARE(w.windowTitle(), u"Autore"_s);
  QCOMPARE(w.size(), QSize(465, 293));
  // No proportional layout: the window can't be resized and the controls stay put.
  QCOMPARE(w.minimumSize(), w.maximumSize());
  QCOMPARE(w.palette().color(QPalette::Window), QColor(255, 224, 192));
  auto *chiudi = w.findChild<QPushButton *>(u"Command1"_s);
  QCOMPARE(chiudi->text(), u"C h i u d i"_s);
  QCOMPARE(chiudi->palette().color(QPalette::Button), QColor(255, 192, 128));
  QCOMPARE(chiudi->font().pointSizeF(), 12.0);
  QVERIFY(!chiudi->font().bold());
}

void TestFrmAutore::shouldPlaceEachControl_data() {
  QTest::addColumn<QString>("nome");
  QTest::addColumn<QString>("testo");
  QTest::addColumn<QRect>("posto");
  QTest::addColumn<bool>("grassetto");
  QTest::addColumn<QColor>("colore");
  const QColor nero = QLabel().palette().color(QPalette::WindowText);
  QTest::newRow("Label1") << u"Label1"_s << u"Sito dell'autore:"_s << QRect(36, 31, 288, 29) << false << nero;
  QTest::newRow("Label2") << u"Label2"_s << u"www.vornel.example.org"_s << QRect(34, 63, 423, 34) << true
                          << QColor(0, 0, 192);
  QTest::newRow("Label3") << u"Label3"_s << u"Email:"_s << QRect(38, 124, 394, 29) << false << nero;
  QTest::newRow("Label4") << u"Label4"_s << u"info@vornel.example.org"_s << QRect(35, 154, 388, 34) << true
                          << QColor(0, 0, 192);
}

void TestFrmAutore::shouldPlaceEachControl() {
  QFETCH(QString, nome);
  QFETCH(QString, testo);
  QFETCH(QRect, posto);
  QFETCH(bool, grassetto);
  QFETCH(QColor, colore);
  frmAutore w;
  QVERIFY(Attiva(&w));
  auto *l = w.findChild<QLabel *>(nome);
  QVERIFY(l);
  QCOMPARE(l->text(), testo);
  QCOMPARE(l->geometry(), posto);
  QCOMPARE(l->font().pointSizeF(), 18.0);
  QCOMPARE(l->font().bold(), grassetto);
  QCOMPARE(l->palette().color(QPalette::WindowText), colore);
  // Arial, or the metric twin the system puts in its place.
  QVERIFY2(QFontInfo(l->font()).family().contains(u"Arial"_s) ||
               QFontInfo(l->font()).family().contains(u"Liberation Sans"_s),
           qPrintable(QFontInfo(l->font()).family()));
  QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), "the caption is cut off");
}

void TestFrmAutore::shouldCloseOnChiudi_data() {
  QTest::addColumn<bool>("tastiera");
  QTest::newRow("mouse") << false;
  QTest::newRow("Enter") << true;
}

void TestFrmAutore::shouldCloseOnChiudi() {
  QFETCH(bool, tastiera);
  frmAutore w;
  QTimer::singleShot(0, &w, [&] {
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *chiudi = w.findChild<QPushButton *>(u"Command1"_s);
    if (tastiera) QTest::keyClick(&w, Qt::Key_Return);
    else QTest::mouseClick(chiudi, Qt::LeftButton);
  });
  QTimer guardia;
  guardia.setSingleShot(true);
  connect(&guardia, &QTimer::timeout, &w, &QDialog::reject);
  guardia.start(5000);
  QCOMPARE(w.exec(), int(QDialog::Accepted));
  QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestFrmAutore)
#include "test_frmautore.moc"
