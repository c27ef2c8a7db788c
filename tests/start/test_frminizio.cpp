#include "support/doppi.h"
#include "ui/start/frminizio.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray FileLivelli() {
  QFile f(u"vornel.dat"_s);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void ScriviFile(const QByteArray &dati) {
  QFile f(u"vornel.dat"_s);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(dati);
}

}  // namespace

class TestFrmInizio : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();

  void shouldStartOnFamilyOneInAnEmptyFolder();
  void shouldDrawTheFamilyOfTheLevelFile_data();
  void shouldDrawTheFamilyOfTheLevelFile();
  void shouldCycleFamilyOnRightPress_data();
  void shouldCycleFamilyOnRightPress();
  void shouldOnlyEmptyTheChoicesOnLeftPress();
  void shouldCycleDigitsOnAnyPress();
  void shouldIgnoreLockedPanels();
  void shouldKeepTheFamilyWhenChoosingWhatToFind();
  void shouldRepeatTheChoices_data();
  void shouldRepeatTheChoices();
  void shouldFollowTheStateTable();
  void shouldNotReachVaiBeforeAnOrder();
  void shouldSwallowKeysOutsideTheGroup_data();
  void shouldSwallowKeysOutsideTheGroup();
  void shouldFocusByDigitKeys_data();
  void shouldFocusByDigitKeys();
  void shouldWrapSpaceToFirstEnabledButton_data();
  void shouldWrapSpaceToFirstEnabledButton();
  void shouldEnableVaiOnAnyOrderKey();
  void shouldStartOnceWhileEnterIsHeld();
  void shouldResetOnEveryActivation();
  void shouldOfferMenuEntries();
  void shouldOpenTheCurtainWithoutHoldingTheKeyboard();
  void shouldDrawTheArrows();
  void shouldFitEveryCaption();

 private:
  QPushButton *pulsante(const QString &nome) const { return m_w->findChild<QPushButton *>(nome); }
  QLabel *etichetta(const QString &nome) const { return m_w->findChild<QLabel *>(nome); }
  QWidget *controllo(const QString &nome) const { return m_w->findChild<QWidget *>(nome); }
  void avvia();
  bool bloccati() const { return !controllo(u"Frame4"_s)->isEnabled(); }

  std::unique_ptr<CartellaTemporanea> m_dir;
  std::unique_ptr<Banco> m_b;
  std::unique_ptr<frmInizio> m_w;
};

void TestFrmInizio::init() {
  m_dir = std::make_unique<CartellaTemporanea>();
  m_b = std::make_unique<Banco>();
  m_b->stato.livello.strNomeFile = u"vornel"_s;
}

void TestFrmInizio::cleanup() {
  m_w.reset();
  m_b.reset();
  m_dir.reset();
}

void TestFrmInizio::avvia() {
  m_w = std::make_unique<frmInizio>(m_b->ctx);
  m_w->setAttribute(Qt::WA_DeleteOnClose, false);
  QVERIFY(Attiva(m_w.get()));
}

void TestFrmInizio::shouldStartOnFamilyOneInAnEmptyFolder() {
  avvia();
  QCOMPARE(FileLivelli(), QByteArray(" 1  1 \r\n"));
  QCOMPARE(m_w->windowTitle(), u"SISTEMA DECIMALE: vornel"_s);
  QCOMPARE(etichetta(u"Label6_0"_s)->text(), u"SISTEMA DECIMALE "_s);
  QCOMPARE(etichetta(u"Label6_1"_s)->text(), u"VORNEL"_s);
  QCOMPARE(etichetta(u"Label6_2"_s)->text(), u" unità,    decimi, centesimi, millesimi"_s);
  QCOMPARE(etichetta(u"lblCifre"_s)->text(), u"Valori di 1 cifra"_s);
  QCOMPARE(etichetta(u"Label3"_s)->text(), u"1"_s);
  QCOMPARE(etichetta(u"Label4_0"_s)->text(), u" Vers. 1.2.0"_s);
  QCOMPARE(etichetta(u"Label4_1"_s)->text(), u" Mouse"_s);
  QCOMPARE(pulsante(u"Option2_2"_s)->text(), u"Tutti"_s);
  QCOMPARE(m_b->stato.impostazioni.intValoreMassimo, 9);
  QCOMPARE(m_b->messaggi.voci.size(), 0);
}

void TestFrmInizio::shouldDrawTheFamilyOfTheLevelFile_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QByteArray>("dopo");
  QTest::addColumn<QString>("titolo");
  QTest::addColumn<QString>("decrescenti");
  QTest::addColumn<QString>("crescenti");
  QTest::addColumn<QString>("cifre");
  QTest::addColumn<int>("massimo");
  QTest::addColumn<int>("unita");
  QTest::newRow("family 3, two digits") << QByteArray(" 3  2 \r\n") << QByteArray(" 3  2 \r\n")
                                        << u"SISTEMA DECIMALE: vornel"_s << u"  k   h  da   u"_s
                                        << u"  u  da   h   k"_s << u"Valori di 2 cifre"_s << 19 << 4;
  QTest::newRow("family 2 has three units") << QByteArray(" 2  1 \r\n") << QByteArray(" 2  1 \r\n")
                                            << u"SISTEMA DECIMALE: vornel"_s << u"  h  da   u"_s
                                            << u"  u  da   h"_s << u"Valori di 1 cifra"_s << 9 << 3;
  QTest::newRow("family 12 is honoured") << QByteArray(" 12  1 \r\n") << QByteArray(" 12  1 \r\n")
                                         << u"SISTEMA METRICO: vornel"_s << u"  hl  dal    l"_s
                                         << u"   l  dal   hl"_s << u"Valori di 1 cifra"_s << 9 << 3;
  QTest::newRow("text is rewritten") << QByteArray("tre due\r\n") << QByteArray(" 1  1 \r\n")
                                     << u"SISTEMA DECIMALE: vornel"_s << u" u   d   c   m "_s
                                     << u" m   c   d   u "_s << u"Valori di 1 cifra"_s << 9 << 4;
}

void TestFrmInizio::shouldDrawTheFamilyOfTheLevelFile() {
  QFETCH(QByteArray, file);
  QFETCH(QByteArray, dopo);
  QFETCH(QString, titolo);
  QFETCH(QString, decrescenti);
  QFETCH(QString, crescenti);
  QFETCH(QString, cifre);
  QFETCH(int, massimo);
  QFETCH(int, unita);
  ScriviFile(file);
  avvia();
  QCOMPARE(FileLivelli(), dopo);
  QCOMPARE(m_w->windowTitle(), titolo);
  QCOMPARE(pulsante(u"Option2_0"_s)->text(), decrescenti);
  QCOMPARE(pulsante(u"Option2_1"_s)->text(), crescenti);
  QCOMPARE(etichetta(u"lblCifre"_s)->text(), cifre);
  QCOMPARE(m_b->stato.impostazioni.intValoreMassimo, massimo);
  QCOMPARE(m_b->stato.famiglia.intNumeroUnita, unita);
  QCOMPARE(etichetta(u"Label3"_s)->text(), QString::number(m_b->stato.livello.intLivello));
}

void TestFrmInizio::shouldCycleFamilyOnRightPress_data() {
  QTest::addColumn<QString>("caption");
  QTest::newRow("system caption") << u"Label6_0"_s;
  QTest::newRow("title") << u"Label6_1"_s;
  QTest::newRow("description") << u"Label6_2"_s;
}

void TestFrmInizio::shouldCycleFamilyOnRightPress() {
  QFETCH(QString, caption);
  ScriviFile(" 1  2 \r\n");
  avvia();
  const struct {
    const char *file;
    QString descrizione;
    QString decrescenti;
    int scelte, prima;
    QString simbolo1;
  } attesi[] = {
      {" 2  2 \r\n", u"centinaia, decine, unità"_s, u"  h  da   u"_s, 3, 2, u"   "_s},
      {" 3  2 \r\n", u" migliaia,    centinaia, decine, unità"_s, u"  k   h  da   u"_s, 4, 1, u"  k"_s},
      {" 1  2 \r\n", u" unità,    decimi, centesimi, millesimi"_s, u" u   d   c   m "_s, 4, 1, u" u "_s},
  };
  for (const auto &a : attesi) {
    QTest::mousePress(etichetta(caption), Qt::RightButton);
    QCOMPARE(FileLivelli(), QByteArray(a.file));
    QCOMPARE(etichetta(u"Label3"_s)->text(), QString::fromLatin1(a.file + 1, 1));
    QCOMPARE(etichetta(u"Label6_2"_s)->text(), a.descrizione);
    QCOMPARE(pulsante(u"Option2_0"_s)->text(), a.decrescenti);
    QCOMPARE(m_b->stato.famiglia.intNumeroScelte, a.scelte);
    QCOMPARE(m_b->stato.famiglia.intPrimaScelta, a.prima);
    QCOMPARE(m_b->stato.famiglia.strSimbolo1, a.simbolo1);
  }
}

void TestFrmInizio::shouldOnlyEmptyTheChoicesOnLeftPress() {
  ScriviFile(" 2  1 \r\n");
  avvia();
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option2_1"_s), Qt::LeftButton);
  QVERIFY(!etichetta(u"Label1"_s)->text().isEmpty());
  QVERIFY(!etichetta(u"Label2"_s)->text().isEmpty());
  QTest::mousePress(etichetta(u"Label6_1"_s), Qt::LeftButton);
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
  QCOMPARE(etichetta(u"Label2"_s)->text(), QString());
  QCOMPARE(m_b->stato.livello.intLivello, 2);
  QCOMPARE(FileLivelli(), QByteArray(" 2  1 \r\n"));
}

void TestFrmInizio::shouldCycleDigitsOnAnyPress() {
  ScriviFile(" 3  1 \r\n");
  avvia();
  QLabel *cifre = etichetta(u"lblCifre"_s);
  QTest::mousePress(cifre, Qt::LeftButton);
  QCOMPARE(cifre->text(), u"Valori di 2 cifre"_s);
  QCOMPARE(FileLivelli(), QByteArray(" 3  2 \r\n"));
  QCOMPARE(m_b->stato.impostazioni.intValoreMassimo, 19);
  QTest::mousePress(cifre, Qt::RightButton);
  QCOMPARE(cifre->text(), u"Valori di 1 cifra"_s);
  QCOMPARE(FileLivelli(), QByteArray(" 3  1 \r\n"));
  QCOMPARE(m_b->stato.impostazioni.intValoreMassimo, 9);
  QCOMPARE(m_b->stato.livello.intLivello, 3);
}

void TestFrmInizio::shouldIgnoreLockedPanels() {
  avvia();
  QTest::mousePress(pulsante(u"Option1_2"_s), Qt::LeftButton);
  QVERIFY(bloccati());
  QVERIFY(!controllo(u"Frame5"_s)->isEnabled());
  QVERIFY(!etichetta(u"Label7"_s)->isVisible());
  QVERIFY(!etichetta(u"Label8"_s)->isVisible());
  QTest::mousePress(etichetta(u"lblCifre"_s), Qt::LeftButton);
  QTest::mousePress(etichetta(u"Label6_2"_s), Qt::RightButton);
  QCOMPARE(FileLivelli(), QByteArray(" 1  1 \r\n"));
  QCOMPARE(etichetta(u"lblCifre"_s)->text(), u"Valori di 1 cifra"_s);
  QCOMPARE(etichetta(u"Label1"_s)->text(), u" Calcola il numero o il simbolo"_s);
  // The captions outside the panels keep reacting.
  QTest::mousePress(etichetta(u"Label6_0"_s), Qt::RightButton);
  QCOMPARE(FileLivelli(), QByteArray(" 2  1 \r\n"));
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
}

void TestFrmInizio::shouldKeepTheFamilyWhenChoosingWhatToFind() {
  ScriviFile(" 3  2 \r\n");
  avvia();
  QTest::mousePress(pulsante(u"Option1_1"_s), Qt::LeftButton);
  QCOMPARE(m_b->stato.livello.intLivello, 3);
  QTest::mousePress(pulsante(u"Option2_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option3_1"_s), Qt::LeftButton);
  QVERIFY(!bloccati());
  // A digits change now saves the family that is on screen and in force.
  QTest::mousePress(etichetta(u"lblCifre"_s), Qt::LeftButton);
  QCOMPARE(FileLivelli(), QByteArray(" 3  1 \r\n"));
  QCOMPARE(m_b->stato.famiglia.strSimbolo1, u"  k"_s);
  QTest::mousePress(etichetta(u"Label6_1"_s), Qt::RightButton);
  QCOMPARE(FileLivelli(), QByteArray(" 1  1 \r\n"));
}

void TestFrmInizio::shouldRepeatTheChoices_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<int>("cosa");
  QTest::addColumn<int>("ordine");
  QTest::addColumn<QString>("label1");
  QTest::addColumn<QString>("label2");
  QTest::newRow("number, decreasing") << QByteArray(" 1  1 \r\n") << 0 << 0 << u" Calcola il numero"_s
                                      << u" Simboli decrescenti  u   d   c   m "_s;
  QTest::newRow("symbol, both") << QByteArray(" 1  1 \r\n") << 1 << 2 << u" Calcola il simbolo"_s
                                << u"Simboli decrescenti e crescenti "_s;
  QTest::newRow("either, increasing, three units")
      << QByteArray(" 2  1 \r\n") << 2 << 1 << u" Calcola il numero o il simbolo"_s
      << u" Simboli crescenti   u  da   h"_s;
  QTest::newRow("metric, decreasing") << QByteArray(" 6  2 \r\n") << 0 << 0 << u" Calcola il numero"_s
                                      << u" Simboli decrescenti   km   hm  dam    m"_s;
}

void TestFrmInizio::shouldRepeatTheChoices() {
  QFETCH(QByteArray, file);
  QFETCH(int, cosa);
  QFETCH(int, ordine);
  QFETCH(QString, label1);
  QFETCH(QString, label2);
  ScriviFile(file);
  avvia();
  QTest::mousePress(pulsante(u"Option1_%1"_s.arg(cosa)), Qt::LeftButton);
  QCOMPARE(etichetta(u"Label1"_s)->text(), label1);
  QCOMPARE(etichetta(u"Label2"_s)->text(), QString());
  QTest::mousePress(pulsante(u"Option2_%1"_s.arg(ordine)), Qt::LeftButton);
  QCOMPARE(etichetta(u"Label2"_s)->text(), label2);
  const Impostazioni &imp = m_b->stato.impostazioni;
  QCOMPARE(imp.intCosaCalcolare, cosa + 1);
  QCOMPARE(imp.strCosaCalcolare, label1);
  QCOMPARE(imp.intOrdineSimboli, ordine + 1);
  QCOMPARE(imp.strOrdineSimboli, label2);
}

void TestFrmInizio::shouldFollowTheStateTable() {
  avvia();
  auto stato = [this] {
    return QList<bool>{controllo(u"Frame1"_s)->isEnabled(), bloccati(), controllo(u"Frame2"_s)->isEnabled(),
                       controllo(u"Frame3"_s)->isEnabled()};
  };
  QCOMPARE(stato(), (QList<bool>{true, false, false, false}));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option1_0"_s));

  QTest::keyClick(pulsante(u"Option1_0"_s), Qt::Key_Return);
  QCOMPARE(stato(), (QList<bool>{true, true, true, false}));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option2_0"_s));

  QTest::keyClick(pulsante(u"Option2_0"_s), Qt::Key_Return);
  QCOMPARE(stato(), (QList<bool>{true, true, true, true}));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option3_0"_s));
  QCOMPARE(controllo(u"Frame4"_s)->property("frameShape").toInt(), int(QFrame::Box));

  // What to find again, with an order already chosen: Frame3 stays as it was.
  QTest::mousePress(pulsante(u"Option1_1"_s), Qt::LeftButton);
  QCOMPARE(stato(), (QList<bool>{true, true, true, true}));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option2_0"_s));

  QTest::mousePress(pulsante(u"Option3_1"_s), Qt::LeftButton);
  QCOMPARE(stato(), (QList<bool>{true, false, false, false}));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option1_0"_s));
  QCOMPARE(controllo(u"Frame4"_s)->property("frameShape").toInt(), int(QFrame::NoFrame));
  QVERIFY(etichetta(u"Label7"_s)->isVisible());
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
  QCOMPARE(etichetta(u"Label2"_s)->text(), QString());
  // The settings chosen keep their values.
  QCOMPARE(m_b->stato.impostazioni.intCosaCalcolare, 2);
  QCOMPARE(m_b->stato.impostazioni.intOrdineSimboli, 1);
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
}

void TestFrmInizio::shouldNotReachVaiBeforeAnOrder() {
  avvia();
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option3_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option3_1"_s), Qt::LeftButton);
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
  QVERIFY(bloccati());
  QTest::mousePress(pulsante(u"Option3_2"_s), Qt::LeftButton);
  QCOMPARE(m_b->navRegistrata.aperte, QStringList{u"chiudiTutto"_s});
}

void TestFrmInizio::shouldSwallowKeysOutsideTheGroup_data() {
  QTest::addColumn<int>("tasto");
  QTest::addColumn<int>("modificatori");
  QTest::newRow("0") << int(Qt::Key_0) << int(Qt::NoModifier);
  QTest::newRow("4") << int(Qt::Key_4) << int(Qt::NoModifier);
  QTest::newRow("9") << int(Qt::Key_9) << int(Qt::NoModifier);
  QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier);
  QTest::newRow("letter N") << int(Qt::Key_N) << int(Qt::NoModifier);
  QTest::newRow("arrow down") << int(Qt::Key_Down) << int(Qt::NoModifier);
  QTest::newRow("arrow right") << int(Qt::Key_Right) << int(Qt::NoModifier);
  QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
}

void TestFrmInizio::shouldSwallowKeysOutsideTheGroup() {
  QFETCH(int, tasto);
  QFETCH(int, modificatori);
  avvia();
  QPushButton *p = pulsante(u"Option1_1"_s);
  p->setFocus();
  QTest::keyClick(p, Qt::Key(tasto), Qt::KeyboardModifiers(modificatori));
  QCOMPARE(QApplication::focusWidget(), p);
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
  QVERIFY(!controllo(u"Frame2"_s)->isEnabled());
  QVERIFY(!bloccati());
  QVERIFY(m_w->isVisible());
}

void TestFrmInizio::shouldFocusByDigitKeys_data() {
  QTest::addColumn<int>("tasto");
  QTest::addColumn<int>("modificatori");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("3 on the main row") << int(Qt::Key_3) << int(Qt::NoModifier) << u"Option1_2"_s;
  QTest::newRow("2 on the keypad") << int(Qt::Key_2) << int(Qt::KeypadModifier) << u"Option1_1"_s;
  QTest::newRow("1 back to the first") << int(Qt::Key_1) << int(Qt::NoModifier) << u"Option1_0"_s;
}

void TestFrmInizio::shouldFocusByDigitKeys() {
  QFETCH(int, tasto);
  QFETCH(int, modificatori);
  QFETCH(QString, atteso);
  avvia();
  QPushButton *p = pulsante(u"Option1_1"_s);
  p->setFocus();
  QTest::keyClick(p, Qt::Key(tasto), Qt::KeyboardModifiers(modificatori));
  QCOMPARE(QApplication::focusWidget(), pulsante(atteso));
  // A digit only moves the focus: nothing has been chosen.
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
  QCOMPARE(pulsante(atteso)->palette().color(QPalette::Button), QColor(255, 192, 128));
  if (atteso != u"Option1_1"_s) QCOMPARE(p->palette().color(QPalette::Button), QColor(255, 224, 192));
}

void TestFrmInizio::shouldWrapSpaceToFirstEnabledButton_data() {
  QTest::addColumn<bool>("conOrdine");
  QTest::addColumn<QString>("da");
  QTest::addColumn<QString>("a");
  QTest::newRow("last what-to-find") << false << u"Option1_2"_s << u"Option1_0"_s;
  QTest::newRow("middle what-to-find") << false << u"Option1_0"_s << u"Option1_1"_s;
  QTest::newRow("Esci with no order") << false << u"Option3_2"_s << u"Option3_2"_s;
  QTest::newRow("Esci with an order") << true << u"Option3_2"_s << u"Option3_0"_s;
  QTest::newRow("last order") << true << u"Option2_2"_s << u"Option2_0"_s;
}

void TestFrmInizio::shouldWrapSpaceToFirstEnabledButton() {
  QFETCH(bool, conOrdine);
  QFETCH(QString, da);
  QFETCH(QString, a);
  avvia();
  if (conOrdine) {
    QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
    QTest::mousePress(pulsante(u"Option2_0"_s), Qt::LeftButton);
  }
  pulsante(da)->setFocus();
  QTest::keyClick(pulsante(da), Qt::Key_Space);
  QCOMPARE(QApplication::focusWidget(), pulsante(a));
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
}

void TestFrmInizio::shouldEnableVaiOnAnyOrderKey() {
  avvia();
  QTest::keyClick(pulsante(u"Option1_0"_s), Qt::Key_2);
  QTest::keyClick(pulsante(u"Option1_1"_s), Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option2_0"_s));
  QTest::keyClick(pulsante(u"Option2_0"_s), Qt::Key_3);
  // The digit enables the actions and goes to "Vai" without choosing an order.
  QVERIFY(controllo(u"Frame3"_s)->isEnabled());
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option3_0"_s));
  QCOMPARE(etichetta(u"Label2"_s)->text(), QString());
  // A swallowed key in the order group does nothing.
  QTest::mousePress(pulsante(u"Option3_1"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::keyClick(pulsante(u"Option2_0"_s), Qt::Key_7);
  QVERIFY(!controllo(u"Frame3"_s)->isEnabled());
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option2_0"_s));
}

void TestFrmInizio::shouldStartOnceWhileEnterIsHeld() {
  avvia();
  QTest::keyClick(pulsante(u"Option1_0"_s), Qt::Key_Return);
  QTest::keyClick(pulsante(u"Option2_0"_s), Qt::Key_Return);
  QPushButton *vai = pulsante(u"Option3_0"_s);
  QCOMPARE(QApplication::focusWidget(), vai);
  QTest::keyPress(vai, Qt::Key_Return);
  for (int i = 0; i < 5; ++i) {
    QKeyEvent ripetuto(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s, true);
    QApplication::sendEvent(vai, &ripetuto);
  }
  // A second press with no release in between (a key held on a system without auto-repeat flags).
  QTest::keyPress(vai, Qt::Key_Return);
  QTest::keyRelease(vai, Qt::Key_Return);
  QCOMPARE(m_b->navRegistrata.aperte, QStringList{u"esercizio"_s});
  QTest::keyClick(vai, Qt::Key_Return);
  QCOMPARE(m_b->navRegistrata.aperte.size(), 2);
}

void TestFrmInizio::shouldResetOnEveryActivation() {
  avvia();
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option2_2"_s), Qt::LeftButton);
  QVERIFY(bloccati());
  QWidget altra;
  altra.setObjectName(u"altra"_s);
  QVERIFY(Attiva(&altra));
  QVERIFY(Attiva(m_w.get()));
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option1_0"_s));
  QCOMPARE(etichetta(u"Label1"_s)->text(), QString());
  QCOMPARE(etichetta(u"Label2"_s)->text(), QString());
  QVERIFY(!bloccati());
  QVERIFY(etichetta(u"Label8"_s)->isVisible());
  // The frames keep their state, and so do the settings.
  QVERIFY(controllo(u"Frame2"_s)->isEnabled());
  QVERIFY(controllo(u"Frame3"_s)->isEnabled());
  QCOMPARE(m_b->stato.impostazioni.intOrdineSimboli, 3);
}

void TestFrmInizio::shouldOfferMenuEntries() {
  avvia();
  auto *stampa = m_w->findChild<QAction *>(u"mnuStampa"_s);
  auto *autore = m_w->findChild<QAction *>(u"mnuAutore"_s);
  QVERIFY(stampa && autore);
  QCOMPARE(stampa->text(), u"Stampa schede"_s);
  QCOMPARE(autore->text(), u"Autore"_s);
  autore->trigger();
  QCOMPARE(m_b->navRegistrata.aperte, QStringList{u"autore"_s});
  QVERIFY(!stampa->isEnabled());
  QTest::mousePress(pulsante(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option2_1"_s), Qt::LeftButton);
  QVERIFY(stampa->isEnabled());
  stampa->trigger();
  QCOMPARE(m_b->navRegistrata.aperte, (QStringList{u"autore"_s, u"schede"_s}));
}

void TestFrmInizio::shouldOpenTheCurtainWithoutHoldingTheKeyboard() {
  m_w = std::make_unique<frmInizio>(m_b->ctx);
  m_w->setAttribute(Qt::WA_DeleteOnClose, false);
  QWidget *p1 = controllo(u"Picture1"_s);
  QWidget *p2 = controllo(u"Picture2"_s);
  QVERIFY(p1 && p2);
  QCOMPARE(p1->palette().color(QPalette::Window), QColor(255, 192, 128));
  QCOMPARE(p2->palette().color(QPalette::Window), QColor(255, 192, 128));
  QCOMPARE(p1->focusPolicy(), Qt::NoFocus);
  QVERIFY(p1->testAttribute(Qt::WA_TransparentForMouseEvents));
  QVERIFY(Attiva(m_w.get()));
  // The first key works at once, with the curtain still drawn across the window.
  QTest::keyClick(pulsante(u"Option1_0"_s), Qt::Key_3);
  QCOMPARE(QApplication::focusWidget(), pulsante(u"Option1_2"_s));
  const int larghezza = m_w->client()->width();
  QVERIFY(p1->x() == 0 && p1->width() <= larghezza / 2);
  QCOMPARE(p2->x() + p2->width(), larghezza);
  QCOMPARE(p2->height(), m_w->client()->height());
  QTRY_VERIFY(!p1->isVisible() && !p2->isVisible());
  QVERIFY(!m_w->tendina().inMoto());
  QVERIFY(p1->width() >= 0 && p2->width() >= 0);
}

void TestFrmInizio::shouldDrawTheArrows() {
  avvia();
  for (const QString &nome : {u"Label7"_s, u"Label8"_s}) {
    QLabel *l = etichetta(nome);
    QCOMPARE(l->text().size(), 1);
    const QFontMetrics fm(l->font());
    // Whatever font was chosen, it must really draw the arrow.
    QVERIFY2(fm.inFont(l->text().at(0)), qPrintable(nome + u" in "_s + QFontInfo(l->font()).family()));
  }
  const bool wingdings = QFontDatabase::families().contains(u"Wingdings"_s);
  if (!wingdings) {
    QCOMPARE(etichetta(u"Label7"_s)->text(), QString(QChar(0x2B07)));
    QCOMPARE(etichetta(u"Label8"_s)->text(), QString(QChar(0x2B05)));
  }
}

void TestFrmInizio::shouldFitEveryCaption() {
  avvia();
  // Every family drawn in turn must fit its captions and the order buttons.
  for (qint16 n = 1; n <= 12; ++n) {
    m_b->stato.livello.intLivello = n;
    m_w->disegnaFamiglia();
    for (QLabel *l : m_w->findChildren<QLabel *>()) {
      if (l->text().isEmpty()) continue;
      QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(),
               qPrintable(l->objectName() + u": "_s + l->text()));
    }
    for (QPushButton *p : m_w->findChildren<QPushButton *>())
      QVERIFY2(QFontMetrics(p->font()).horizontalAdvance(p->text()) + 8 <= p->width(),
               qPrintable(p->objectName() + u": "_s + p->text()));
  }
  // The longest choices the pupil can make fit too.
  QTest::mousePress(pulsante(u"Option1_2"_s), Qt::LeftButton);
  QTest::mousePress(pulsante(u"Option2_0"_s), Qt::LeftButton);
  for (const QString &nome : {u"Label1"_s, u"Label2"_s}) {
    QLabel *l = etichetta(nome);
    QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
  }
}

QTEST_MAIN(TestFrmInizio)
#include "test_frminizio.moc"
