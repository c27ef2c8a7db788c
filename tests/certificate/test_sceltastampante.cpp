#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "support/doppi.h"
#include "ui/worksheets/frmsceltastampante.h"

using namespace Qt::StringLiterals;

class TestSceltaStampante : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldListPrintersAndShowTheCurrentOne();
  void shouldIgnoreTheLoadsOwnSelection();
  void shouldMakeAPickTheProgramsPrinter_data();
  void shouldMakeAPickTheProgramsPrinter();
  void shouldTakeAPickMadeWithTheKeyboard();
  void shouldCloseAndKeepTheChoice();

 private:
  QComboBox *combo() { return m_w->findChild<QComboBox *>(u"Combo1"_s); }
  QString label(const char *nome) { return m_w->findChild<QLabel *>(QString::fromLatin1(nome))->text(); }
  std::unique_ptr<Banco> m_b;
  QPointer<frmSceltaStampante> m_w;
};

void TestSceltaStampante::init() {
  m_b = std::make_unique<Banco>();
  m_b->stampante.elenco = {u"Ufficio"_s, u"Aula 3"_s, u"Laser piano terra"_s, kSalvaComePdf};
  m_b->stampante.nomePredefinita = u"Aula 3"_s;
  m_b->stampante.nomeCorrente = u"Aula 3"_s;
}

void TestSceltaStampante::cleanup() {
  if (m_w) delete m_w.data();
  m_b.reset();
}

void TestSceltaStampante::shouldListPrintersAndShowTheCurrentOne() {
  m_w = new frmSceltaStampante(m_b->ctx);
  QStringList voci;
  for (int i = 0; i < combo()->count(); ++i) voci << combo()->itemText(i);
  QCOMPARE(voci, m_b->stampante.elenco);
  QCOMPARE(voci.last(), u"Salva come PDF"_s);
  QCOMPARE(combo()->currentIndex(), 0);
  QCOMPARE(label("Label1"), u"La stampante predefinita \u00E8 \nAula 3"_s);
  QVERIFY(label("Label2").isEmpty());
  QCOMPARE(m_w->findChild<QPushButton *>(u"Command2"_s)->text(), u"C H I U D I"_s);
}

void TestSceltaStampante::shouldIgnoreTheLoadsOwnSelection() {
  m_w = new frmSceltaStampante(m_b->ctx);
  QCOMPARE(m_b->stampante.nomeCorrente, u"Aula 3"_s);
  QVERIFY(!m_b->stampante.chiamate.join(u'\n').contains(u"scegli"_s));
  QVERIFY(label("Label2").isEmpty());
}

void TestSceltaStampante::shouldMakeAPickTheProgramsPrinter_data() {
  QTest::addColumn<int>("indice");
  QTest::addColumn<QString>("stampante");
  QTest::newRow("un'altra") << 2 << u"Laser piano terra"_s;
  QTest::newRow("PDF") << 3 << u"Salva come PDF"_s;
  QTest::newRow("la prima, ripresa") << 0 << u"Ufficio"_s;
}

void TestSceltaStampante::shouldMakeAPickTheProgramsPrinter() {
  QFETCH(int, indice);
  QFETCH(QString, stampante);
  m_w = new frmSceltaStampante(m_b->ctx);
  QVERIFY(Attiva(m_w));
  if (indice == 0) {
    combo()->setCurrentIndex(1);  // away and back: the return is a pick too
    combo()->setCurrentIndex(0);
  } else {
    combo()->setCurrentIndex(indice);
  }
  QCOMPARE(m_b->stampante.nomeCorrente, stampante);
  QCOMPARE(label("Label2"), u"La stampante scelta \u00E8 \n"_s + stampante);
  QCOMPARE(label("Label1"), u"La stampante predefinita \u00E8 \nAula 3"_s);
}

void TestSceltaStampante::shouldTakeAPickMadeWithTheKeyboard() {
  m_w = new frmSceltaStampante(m_b->ctx);
  QVERIFY(Attiva(m_w));
  combo()->setFocus();
  QTRY_VERIFY(combo()->hasFocus());
  QTest::keyClick(combo(), Qt::Key_Down);
  QCOMPARE(m_b->stampante.nomeCorrente, u"Aula 3"_s);
  QCOMPARE(label("Label2"), u"La stampante scelta \u00E8 \nAula 3"_s);
  QTest::keyClick(combo(), Qt::Key_Down);
  QCOMPARE(m_b->stampante.nomeCorrente, u"Laser piano terra"_s);
}

void TestSceltaStampante::shouldCloseAndKeepTheChoice() {
  m_w = new frmSceltaStampante(m_b->ctx);
  QVERIFY(Attiva(m_w));
  combo()->setCurrentIndex(3);
  QTest::mouseClick(m_w->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
  QTRY_VERIFY(!m_w);
  QCOMPARE(m_b->stampante.nomeCorrente, kSalvaComePdf);
  // Opening again shows the choice in force and does not undo it.
  m_w = new frmSceltaStampante(m_b->ctx);
  QCOMPARE(label("Label1"), u"La stampante predefinita \u00E8 \nSalva come PDF"_s);
  QCOMPARE(m_b->stampante.nomeCorrente, kSalvaComePdf);
}

QTEST_MAIN(TestSceltaStampante)
#include "test_sceltastampante.moc"
