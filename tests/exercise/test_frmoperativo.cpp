#include "copione.h"
#include "support/doppi.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/resize.h"
#include "ui/exercise/frmoperativo.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One operation of the whole-exercise road: what is asked, how the pupil answers
// it and what the window must show once it is closed.
struct Passo {
  int caso, v1, v2, slot;
  QString tasti;    // the right answer as typed
  QString risultato;
  QString come;     // R right, WR wrong then right, NNN three times "NO" then "OK", S "SI" at once
  double durata;    // seconds from showing to closing
  QString riga;     // the log line
  int esatte, errate, totale;
};

// Family k, h, da, u; lines and counts worked out by hand from the rules of the log.
const Passo kEsercizio[] = {
    {1, 3, 5, 4, u"3500"_s, u"3.500"_s, u"R"_s, 2.9, u" 3  k +  5  h = ...  u  r. °3.500"_s, 1, 0, 2},
    {2, 7, 2, 3, u"702"_s, u"702"_s, u"WR"_s, 5.0, u" 7  k +  2 da = ... da  r. °°°°99* °°°702"_s, 2, 0, 7},
    {3, 9, 9, 2, u"90,09"_s, u"90,09"_s, u"NNN"_s, 150.4,
     u" 9  k +  9  u = ...  h  r. °°°°99* °°°°99* °°°°99*   90,09 sec. 150"_s, 2, 1, 157},
    {4, 1, 8, 1, u"0,18"_s, u"0,18"_s, u"S"_s, 1.2, u" 1  h +  8 da = ...  k  r. °°°°99*   0,18 sec. 1"_s, 2, 2, 158},
    {5, 4, 6, 4, u"406"_s, u"406"_s, u"R"_s, 3.7, u" 4  h +  6  u = ...  u  r. °°°406"_s, 3, 2, 161},
    {6, 2, 3, 1, u"0,023"_s, u"0,023"_s, u"R"_s, 0.2, u" 2 da +  3  u = ...  k  r. °0,023"_s, 4, 2, 161},
    {1, 9, 1, 2, u"91"_s, u"91"_s, u"WR"_s, 10.99, u" 9  k +  1  h = ...  h  r. °°°°99* °°°°91"_s, 5, 2, 171},
    {2, 5, 5, 4, u"5050"_s, u"5.050"_s, u"R"_s, 4, u" 5  k +  5 da = ...  u  r. °5.050"_s, 6, 2, 175},
    {3, 6, 7, 3, u"600,7"_s, u"600,7"_s, u"S"_s, 7.5, u" 6  k +  7  u = ... da  r. °°°°99*   600,7 sec. 7"_s, 6, 3, 182},
    {4, 8, 2, 2, u"8,2"_s, u"8,2"_s, u"R"_s, 1, u" 8  h +  2 da = ...  h  r. °°°8,2"_s, 7, 3, 183},
    {5, 3, 3, 1, u"0,303"_s, u"0,303"_s, u"NNN"_s, 20.1,
     u" 3  h +  3  u = ...  k  r. °°°°99* °°°°99* °°°°99*   0,303 sec. 20"_s, 7, 4, 203},
    {6, 7, 9, 4, u"79"_s, u"79"_s, u"R"_s, 2, u" 7 da +  9  u = ...  u  r. °°°°79"_s, 8, 4, 205},
    {1, 1, 1, 1, u"1,1"_s, u"1,1"_s, u"R"_s, 3, u" 1  k +  1  h = ...  k  r. °°°1,1"_s, 9, 4, 208},
    {2, 2, 8, 2, u"20,8"_s, u"20,8"_s, u"WR"_s, 8.8, u" 2  k +  8 da = ...  h  r. °°°°99* °°20,8"_s, 10, 4, 216},
    {3, 4, 4, 4, u"4004"_s, u"4.004"_s, u"R"_s, 1, u" 4  k +  4  u = ...  u  r. °4.004"_s, 11, 4, 217},
    {4, 9, 5, 3, u"95"_s, u"95"_s, u"R"_s, 1, u" 9  h +  5 da = ... da  r. °°°°95"_s, 12, 4, 218},
    {5, 6, 1, 2, u"6,01"_s, u"6,01"_s, u"S"_s, 6, u" 6  h +  1  u = ...  h  r. °°°°99*   6,01 sec. 6"_s, 12, 5, 224},
    {6, 8, 8, 3, u"8,8"_s, u"8,8"_s, u"R"_s, 2, u" 8 da +  8  u = ... da  r. °°°8,8"_s, 13, 5, 226},
    {1, 2, 7, 3, u"270"_s, u"270"_s, u"R"_s, 1, u" 2  k +  7  h = ... da  r. °°°270"_s, 14, 5, 227},
    {3, 1, 2, 1, u"1,002"_s, u"1,002"_s, u"R"_s, 3, u" 1  k +  2  u = ...  k  r. °1,002"_s, 15, 5, 230},
};

const char *kCornici[] = {"fraTastierino", "fraSimboli", "fraAiuto", "fraIntervento", "fraAvviso"};

}  // namespace

class TestFrmOperativo : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldShowItsCaptionsAndTooltips();
  void shouldRunAWholeExerciseThroughTheWidgets();
  void shouldHandleEveryKeypadKey_data();
  void shouldHandleEveryKeypadKey();
  void shouldHandleEverySymbolKey_data();
  void shouldHandleEverySymbolKey();
  void shouldScanWithTheSpaceBarSkippingDisabledButtons();
  void shouldOfferOnlyTheFamilysSymbols();
  void shouldDrawTheViewAnewWhenEitherIsAsked();
  void shouldActOnceWhileAKeyIsHeld();
  void shouldActAtTheMousePress();
  void shouldCrossOutTheWrongSymbol();
  void shouldFollowAFamilyChangedWhileOpen();
  void shouldColourTheHelpButtonsByTheFocus();
  void shouldKeepTheExerciseWhenResized();
  void shouldCloseOnEsco();
  void shouldJudgeASevenCharacterAnswerRight_data();
  void shouldJudgeASevenCharacterAnswerRight();

 private:
  void apri(int cosa = 1, int livello = 3);
  template <typename W = QWidget>
  W *c(const QString &nome) const {
    W *w = m_w->findChild<W *>(nome);
    if (!w) qWarning("no control %s", qPrintable(nome));
    return w;
  }
  QString t(const QString &nome) const { return c<QLabel>(nome)->text(); }
  QString fuoco() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
  void clic(const QString &nome) { QTest::mouseClick(c(nome), Qt::LeftButton); }
  void tasto(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget *f = QApplication::focusWidget();
    QVERIFY(f);
    QTest::keyClick(f, static_cast<Qt::Key>(k), m);
  }
  void scrivi(const QString &s, bool tastiera);
  [[nodiscard]] int davanti() const;

  std::unique_ptr<Banco> m_b;
  QPointer<FrmOperativo> m_w;
};

void TestFrmOperativo::init() { m_b = std::make_unique<Banco>(); }

void TestFrmOperativo::cleanup() {
  if (m_w) {
    m_w->close();
    delete m_w;
  }
  m_b.reset();
}

void TestFrmOperativo::apri(int cosa, int livello) {
  Famiglia(m_b->stato, livello);
  m_b->stato.impostazioni.intCosaCalcolare = static_cast<qint16>(cosa);
  m_b->stato.impostazioni.strCosaCalcolare = u" Calcola il numero"_s;
  m_b->stato.impostazioni.strOrdineSimboli = u" Ordine decrescente"_s;
  m_w = new FrmOperativo(m_b->ctx);
  QVERIFY(Attiva(m_w));
}

// The index of the only enabled frame, or -1 when not exactly one is enabled.
int TestFrmOperativo::davanti() const {
  int quale = -1, quanti = 0;
  for (int i = 0; i < 5; ++i) {
    auto *f = m_w->findChild<QFrame *>(QString::fromLatin1(kCornici[i]));
    if (f && f->isEnabled()) {
      quale = i;
      ++quanti;
    }
  }
  return quanti == 1 ? quale : -1;
}

void TestFrmOperativo::scrivi(const QString &s, bool tastiera) {
  for (QChar ch : s) {
    if (tastiera) tasto(ch == u',' ? Qt::Key_Comma : Qt::Key_0 + ch.digitValue());
    else clic(ch == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(ch.digitValue()));
  }
  if (tastiera) {
    tasto(Qt::Key_V);
    QCOMPARE(fuoco(), u"Option2_12"_s);
    tasto(Qt::Key_Return);
  } else {
    clic(u"Option2_12"_s);
  }
}

void TestFrmOperativo::shouldShowItsCaptionsAndTooltips() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  QCOMPARE(m_w->windowTitle(), u"VORNEL"_s);
  const QList<QPair<QString, QString>> didascalie = {
      {u"Label5_1"_s, u"Operazioni"_s},     {u"Label5_0"_s, u"Risposte esatte "_s},
      {u"Label5_3"_s, u"Risposte errate"_s}, {u"Label5_4"_s, u"Tempo parziale"_s},
      {u"Label5_5"_s, u"Tempo totale"_s},    {u"Label2"_s, u" Calcola il numero"_s},
      {u"Label1"_s, u" Ordine decrescente"_s}, {u"Label14"_s, u"Ti aiuto ?"_s},
      {u"lblIntervento"_s, u"Intervengo io"_s}, {u"Label3"_s, u"Se ricominci gli esercizi andranno persi"_s},
      {u"Label7"_s, u"+"_s},                 {u"Label6"_s, u"="_s},
      {u"LblRisultato"_s, u"?"_s},           {u"Label12"_s, u"1 4"_s},
  };
  for (const auto &[nome, testo] : didascalie) QCOMPARE(t(nome), testo);
  const QStringList tasti = {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s,
                             u"8"_s, u"9"_s, u","_s, u"Cancella"_s, u"Verifica"_s, u"Avanti"_s, u"Esco"_s};
  for (int i = 0; i < tasti.size(); ++i) QCOMPARE(c<QPushButton>(u"Option2_%1"_s.arg(i))->text(), tasti[i]);
  QCOMPARE(c<QPushButton>(u"Option1_0"_s)->text(), u"  k"_s);
  QCOMPARE(c<QPushButton>(u"Option1_2"_s)->text(), u" da"_s);
  QCOMPARE(c<QPushButton>(u"Option1_7"_s)->text(), u"Esci"_s);
  QCOMPARE(c<QPushButton>(u"optAvviso_1"_s)->text(), u"Ricomincia"_s);
  QCOMPARE(c<QPushButton>(u"optAvviso_0"_s)->text(), u"Stampa"_s);
  QCOMPARE(c(u"LblTempoOperazione"_s)->toolTip(), u"Secondi impiegati per ogni risposta"_s);
  QCOMPARE(c(u"LblTempoTotale"_s)->toolTip(), u"Secondi impiegati per ogni esercizio"_s);
  QVERIFY(c<QLabel>(u"Label4"_s)->font().pointSizeF() >= 24);
  QCOMPARE(fuoco(), u"Option2_0"_s);
  QCOMPARE(davanti(), 0);
  for (const char *n : {"Linea1", "Linea2", "Line1", "Line2"}) QVERIFY(!c(QString::fromLatin1(n))->isVisible());
}

void TestFrmOperativo::shouldRunAWholeExerciseThroughTheWidgets() {
  m_b->orologio.secondi = 36000;
  for (const Passo &p : kEsercizio) Operazione4(m_b->casuale, p.caso, p.v1, p.v2, p.slot);
  Operazione4(m_b->casuale, 1, 3, 5, 4);  // the first of the next exercise
  apri();
  const auto &e = m_b->stato.esercizio;
  for (int i = 0; i < 20; ++i) {
    const Passo &p = kEsercizio[i];
    const bool tastiera = i % 2 == 1;
    const double inizio = m_b->orologio.secondi;
    QCOMPARE(e.intOperazione, i + 1);
    QCOMPARE(t(u"LblRisultato"_s), u"?"_s);
    QCOMPARE(t(u"LblTempoOperazione"_s), QString());
    QCOMPARE(davanti(), 0);
    const int tentativi = p.come == u"NNN"_s ? 3 : (p.come == u"R"_s ? 0 : 1);
    for (int k = 0; k < tentativi; ++k) {
      scrivi(u"99"_s, tastiera);
      QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
      QCOMPARE(davanti(), 2);
      QVERIFY(c(u"Linea1"_s)->isVisible());
      QVERIFY(c(u"Linea2"_s)->isVisible());
      if (p.come == u"S"_s) break;
      if (tastiera) {
        tasto(Qt::Key_2);
        QCOMPARE(fuoco(), u"Option3_1"_s);
        tasto(Qt::Key_Return);
      } else {
        clic(u"Option3_1"_s);
      }
      if (k < 2) {
        QCOMPARE(t(u"LblRisultato"_s), u"?"_s);
        QCOMPARE(davanti(), 0);
        QVERIFY(c(u"Option2_12"_s)->isEnabled());
        QVERIFY(!c(u"Linea1"_s)->isVisible());
      }
    }
    m_b->orologio.secondi = inizio + p.durata;
    if (p.come == u"R"_s || p.come == u"WR"_s) {
      scrivi(p.tasti, tastiera);
      QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
      QCOMPARE(t(u"LblRisultato"_s), p.risultato);
    } else if (p.come == u"S"_s) {
      if (tastiera) {
        tasto(Qt::Key_S);
        tasto(Qt::Key_Return);
      } else {
        clic(u"Option3_0"_s);
      }
    } else {
      QCOMPARE(davanti(), 3);
      QCOMPARE(fuoco(), u"optOK"_s);
      if (tastiera) tasto(Qt::Key_Return);
      else clic(u"optOK"_s);
    }
    if (p.come == u"S"_s || p.come == u"NNN"_s) {
      QCOMPARE(t(u"lblCorrezione"_s), p.risultato);
      QCOMPARE(t(u"LblRisultato"_s), u"99"_s);
      QVERIFY(c(u"Linea1"_s)->isVisible());
      QCOMPARE(t(u"LblEsito"_s), QString());
    }
    QCOMPARE(e.strRigheEsercizio[static_cast<size_t>(i + 1)], p.riga);
    QCOMPARE(t(u"LblOperazione"_s), QString::number(i + 1));
    QCOMPARE(t(u"lblRisEsatte"_s), QString::number(p.esatte));
    QCOMPARE(t(u"lblRisErrate"_s), p.errate ? QString::number(p.errate) : QString());
    QCOMPARE(t(u"LblTempoOperazione"_s), QString::number(std::min(99, static_cast<int>(std::floor(p.durata)))));
    QCOMPARE(t(u"LblTempoTotale"_s), QString::number(p.totale));
    QCOMPARE(e.intEsatte, p.esatte);
    QCOMPARE(e.intErrate, p.errate);
    if (i == 19) break;
    QVERIFY(!c(u"Option2_5"_s)->isEnabled());
    QCOMPARE(fuoco(), u"Option2_13"_s);
    m_b->orologio.secondi += 1;
    if (tastiera) tasto(Qt::Key_Return);
    else clic(u"Option2_13"_s);
    QCOMPARE(t(u"lblCorrezione"_s), QString());
  }
  QCOMPARE(davanti(), 4);
  QVERIFY(c(u"fraAvviso"_s)->isVisible());
  QVERIFY(!c(u"Option2_13"_s)->isEnabled());
  QVERIFY(!c(u"Option2_14"_s)->isEnabled());
  QCOMPARE(e.intOperazione, 20);
  for (int i = 0; i < 20; ++i) QCOMPARE(e.strRigheEsercizio[static_cast<size_t>(i + 1)], kEsercizio[i].riga);

  m_w->findChild<QAction *>(u"mnuStampa"_s)->trigger();
  clic(u"optAvviso_0"_s);
  QCOMPARE(m_b->navRegistrata.aperte, QStringList({u"stampaEsercizio"_s, u"stampaEsercizio"_s}));
  QCOMPARE(e.intOperazione, 20);  // printing leaves the exercise as it is

  clic(u"optAvviso_1"_s);
  QCOMPARE(e.intOperazione, 1);
  for (const QString &n : {u"LblOperazione"_s, u"lblRisEsatte"_s, u"lblRisErrate"_s, u"LblTempoOperazione"_s,
                           u"LblTempoTotale"_s})
    QCOMPARE(t(n), QString());
  QCOMPARE(t(u"Label4"_s), u"3  k"_s);
  QVERIFY(e.strRigheEsercizio[20].isEmpty());
  QCOMPARE(davanti(), 0);
  QCOMPARE(fuoco(), u"Option2_0"_s);
  QVERIFY(!m_b->casuale.esaurito());
}

void TestFrmOperativo::shouldHandleEveryKeypadKey_data() {
  QTest::addColumn<QString>("prima");
  QTest::addColumn<int>("tasto");
  QTest::addColumn<int>("modo");
  QTest::addColumn<QString>("mostrato");
  QTest::addColumn<QString>("fuoco");
  const int k = Qt::KeypadModifier;
  QTest::newRow("main-row 7") << u""_s << int(Qt::Key_7) << 0 << u"7"_s << u"Option2_12"_s;
  QTest::newRow("keypad 3") << u""_s << int(Qt::Key_3) << k << u"3"_s << u"Option2_12"_s;
  QTest::newRow("0 keeps the focus") << u"5"_s << int(Qt::Key_0) << 0 << u"50"_s << u"Option2_0"_s;
  QTest::newRow("keypad 0") << u"5"_s << int(Qt::Key_0) << k << u"50"_s << u"Option2_0"_s;
  QTest::newRow("fourth digit groups") << u"123"_s << int(Qt::Key_4) << 0 << u"1.234"_s << u"Option2_12"_s;
  QTest::newRow("comma key") << u"12"_s << int(Qt::Key_Comma) << 0 << u"12,"_s << u"Option2_0"_s;
  QTest::newRow("comma first") << u""_s << int(Qt::Key_Comma) << 0 << u"?"_s << u"Option2_0"_s;
  QTest::newRow("letter C") << u"12"_s << int(Qt::Key_C) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("Backspace") << u"12"_s << int(Qt::Key_Backspace) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("Delete") << u"12"_s << int(Qt::Key_Delete) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("keypad decimal") << u"12"_s << int(Qt::Key_Period) << k << u"1"_s << u"Option2_0"_s;
  QTest::newRow("keypad decimal as comma") << u"12"_s << int(Qt::Key_Comma) << k << u"1"_s << u"Option2_0"_s;
  QTest::newRow("main-row full stop swallowed") << u"12"_s << int(Qt::Key_Period) << 0 << u"12"_s << u"Option2_0"_s;
  QTest::newRow("V to Verifica") << u"12"_s << int(Qt::Key_V) << 0 << u"12"_s << u"Option2_12"_s;
  QTest::newRow("V while Verifica is off") << u""_s << int(Qt::Key_V) << 0 << u"?"_s << u"Option2_0"_s;
  QTest::newRow("N while Avanti is off") << u"1"_s << int(Qt::Key_N) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("E while Esco is off") << u"1"_s << int(Qt::Key_E) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("F2 accepted") << u"1"_s << int(Qt::Key_F2) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("letter A swallowed") << u"1"_s << int(Qt::Key_A) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("arrow swallowed") << u"1"_s << int(Qt::Key_Right) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("minus swallowed") << u"1"_s << int(Qt::Key_Minus) << 0 << u"1"_s << u"Option2_0"_s;
  QTest::newRow("Enter presses the focused 0") << u"12"_s << int(Qt::Key_Return) << 0 << u"120"_s << u"Option2_0"_s;
  QTest::newRow("keypad Enter") << u"12"_s << int(Qt::Key_Enter) << k << u"120"_s << u"Option2_0"_s;
  QTest::newRow("space to the next") << u""_s << int(Qt::Key_Space) << 0 << u"?"_s << u"Option2_1"_s;
}

void TestFrmOperativo::shouldHandleEveryKeypadKey() {
  QFETCH(QString, prima);
  QFETCH(int, tasto);
  QFETCH(int, modo);
  QFETCH(QString, mostrato);
  QFETCH(QString, fuoco);
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  for (QChar ch : prima) clic(u"Option2_%1"_s.arg(ch.digitValue()));
  c(u"Option2_0"_s)->setFocus();
  this->tasto(tasto, Qt::KeyboardModifiers(modo));
  QCOMPARE(t(u"LblRisultato"_s), mostrato);
  QCOMPARE(this->fuoco(), fuoco);
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);
  QCOMPARE(davanti(), 0);
}

void TestFrmOperativo::shouldHandleEverySymbolKey_data() {
  QTest::addColumn<int>("tasto");
  QTest::addColumn<int>("modo");
  QTest::addColumn<QString>("mostrato");
  QTest::addColumn<QString>("fuoco");
  const int k = Qt::KeypadModifier;
  QTest::newRow("0 picks km") << int(Qt::Key_0) << 0 << u"  km"_s << u"Option1_5"_s;
  QTest::newRow("keypad 3 picks m") << int(Qt::Key_3) << k << u"   m"_s << u"Option1_5"_s;
  QTest::newRow("2 picks dam") << int(Qt::Key_2) << 0 << u" dam"_s << u"Option1_5"_s;
  QTest::newRow("4 has no symbol") << int(Qt::Key_4) << k << u"?"_s << u"Option1_0"_s;
  QTest::newRow("9 has no symbol") << int(Qt::Key_9) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("V while Verifica is off") << int(Qt::Key_V) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("E while Esci is off") << int(Qt::Key_E) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("C accepted") << int(Qt::Key_C) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("comma accepted") << int(Qt::Key_Comma) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("Backspace accepted") << int(Qt::Key_Backspace) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("letter X swallowed") << int(Qt::Key_X) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("arrow swallowed") << int(Qt::Key_Down) << 0 << u"?"_s << u"Option1_0"_s;
  QTest::newRow("Enter picks the focused") << int(Qt::Key_Return) << 0 << u"  km"_s << u"Option1_0"_s;
  QTest::newRow("space to the next") << int(Qt::Key_Space) << 0 << u"?"_s << u"Option1_1"_s;
}

void TestFrmOperativo::shouldHandleEverySymbolKey() {
  QFETCH(int, tasto);
  QFETCH(int, modo);
  QFETCH(QString, mostrato);
  QFETCH(QString, fuoco);
  Operazione4(m_b->casuale, 4, 2, 3, 1);  // 2 hm + 3 dam = 0,23 km
  apri(2, 6);
  QCOMPARE(this->fuoco(), u"Option1_0"_s);
  QCOMPARE(davanti(), 1);
  QVERIFY(c(u"fraSimbolo"_s)->isVisible());
  QVERIFY(!c(u"fraNumero"_s)->isVisible());
  QCOMPARE(t(u"label11S"_s), u"0,23"_s);
  this->tasto(tasto, Qt::KeyboardModifiers(modo));
  QCOMPARE(t(u"lblRisultatoS"_s), mostrato);
  QCOMPARE(this->fuoco(), fuoco);
  QCOMPARE(c(u"Option1_5"_s)->isEnabled(), mostrato != u"?"_s);
}

void TestFrmOperativo::shouldScanWithTheSpaceBarSkippingDisabledButtons() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  c(u"Option2_11"_s)->setFocus();
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option2_0"_s);  // Verifica, Avanti and Esco are off: round to the first
  clic(u"Option2_3"_s);
  c(u"Option2_11"_s)->setFocus();
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option2_12"_s);
  clic(u"Option2_12"_s);  // wrong: the help frame
  QCOMPARE(fuoco(), u"Option3_1"_s);
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option3_0"_s);
  tasto(Qt::Key_N);
  QCOMPARE(fuoco(), u"Option3_1"_s);
  tasto(Qt::Key_S);
  tasto(Qt::Key_Return);  // "SI": the program steps in
  QCOMPARE(t(u"lblCorrezione"_s), u"3.500"_s);
  QCOMPARE(fuoco(), u"Option2_13"_s);
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option2_14"_s);
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option2_13"_s);
  tasto(Qt::Key_7);  // digits are off after the judgement
  QCOMPARE(t(u"LblRisultato"_s), u"3"_s);
  QCOMPARE(fuoco(), u"Option2_13"_s);
}

void TestFrmOperativo::shouldOfferOnlyTheFamilysSymbols() {
  Operazione3(m_b->casuale, 5, 4, 7, 3);  // 4 h + 7 u = 40,7 da
  apri(2, 2);
  QVERIFY(!c(u"Option1_0"_s)->isEnabled());
  QCOMPARE(fuoco(), u"Option1_1"_s);
  QCOMPARE(t(u"label11S"_s), u"40,7"_s);
  tasto(Qt::Key_0);
  QCOMPARE(t(u"lblRisultatoS"_s), u"?"_s);
  clic(u"Option1_0"_s);
  QCOMPARE(t(u"lblRisultatoS"_s), u"?"_s);
  c(u"Option1_1"_s)->setFocus();
  tasto(Qt::Key_2);
  QCOMPARE(t(u"lblRisultatoS"_s), u" da"_s);
  QCOMPARE(fuoco(), u"Option1_5"_s);
  tasto(Qt::Key_Return);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], u" 4  h +  7  u =  da---   r.°°° da"_s);
  QCOMPARE(fuoco(), u"Option1_6"_s);
  for (int i = 0; i <= 5; ++i) QVERIFY(!c(u"Option1_%1"_s.arg(i))->isEnabled());
}

void TestFrmOperativo::shouldDrawTheViewAnewWhenEitherIsAsked() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  Chiesto(m_b->casuale, 1);
  Operazione4(m_b->casuale, 2, 7, 2, 3);
  Chiesto(m_b->casuale, 2);
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  Chiesto(m_b->casuale, 1);
  apri(3);
  QVERIFY(c(u"fraNumero"_s)->isVisible());
  QCOMPARE(davanti(), 0);
  scrivi(u"3500"_s, false);
  clic(u"Option2_13"_s);
  QVERIFY(c(u"fraSimbolo"_s)->isVisible());
  QVERIFY(!c(u"fraNumero"_s)->isVisible());
  QCOMPARE(davanti(), 1);
  QCOMPARE(m_b->stato.esercizio.intChiesto, 2);
  QCOMPARE(t(u"label11S"_s), u"702"_s);
  clic(u"Option1_2"_s);
  clic(u"Option1_5"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[2], u" 7  k +  2 da =  da---   r.°°° da"_s);
  clic(u"Option1_6"_s);
  QVERIFY(c(u"fraNumero"_s)->isVisible());
  QCOMPARE(davanti(), 0);
  QCOMPARE(t(u"LblRisultato"_s), u"?"_s);
  QVERIFY(!m_b->casuale.esaurito());
}

void TestFrmOperativo::shouldActOnceWhileAKeyIsHeld() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  auto ripeti = [](int key, int volte) {
    for (int i = 0; i < volte; ++i) {
      QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
      QApplication::sendEvent(QApplication::focusWidget(), &ev);
    }
  };
  c(u"Option2_0"_s)->setFocus();
  QTest::keyPress(c(u"Option2_0"_s), Qt::Key_5);
  ripeti(Qt::Key_5, 4);
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_5);
  QCOMPARE(t(u"LblRisultato"_s), u"5"_s);
  clic(u"Option2_11"_s);
  QCOMPARE(t(u"LblRisultato"_s), u"?"_s);
  for (const char *d : {"3", "5", "0", "0"}) clic(u"Option2_"_s + QString::fromLatin1(d));
  c(u"Option2_12"_s)->setFocus();
  QTest::keyPress(c(u"Option2_12"_s), Qt::Key_Return);
  QCOMPARE(fuoco(), u"Option2_13"_s);
  ripeti(Qt::Key_Return, 5);
  QCOMPARE(m_b->stato.esercizio.intEsatte, 1);
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(m_b->stato.esercizio.intOperazione, 2);
  ripeti(Qt::Key_Return, 5);
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(m_b->stato.esercizio.intOperazione, 2);
  QCOMPARE(t(u"LblRisultato"_s), u"?"_s);  // the held Enter typed no 0 on the new operation
  QVERIFY(!m_b->casuale.esaurito());
}

void TestFrmOperativo::shouldActAtTheMousePress() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  auto *cinque = c<QPushButton>(u"Option2_5"_s);
  QTest::mousePress(cinque, Qt::LeftButton);
  QCOMPARE(t(u"LblRisultato"_s), u"5"_s);
  QVERIFY(!cinque->isDown());
  QTest::mouseRelease(cinque, Qt::LeftButton);
  QCOMPARE(t(u"LblRisultato"_s), u"5"_s);
  QVERIFY(!cinque->isDown());
  QVERIFY(!cinque->isChecked());
  QCOMPARE(fuoco(), u"Option2_5"_s);
  QTest::mousePress(c(u"Option2_13"_s), Qt::LeftButton);  // disabled: nothing
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);
}

void TestFrmOperativo::shouldCrossOutTheWrongSymbol() {
  Operazione4(m_b->casuale, 4, 2, 3, 1);
  apri(2, 6);
  clic(u"Option1_3"_s);
  clic(u"Option1_5"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
  QVERIFY(c(u"Line1"_s)->isVisible());
  QCOMPARE(c(u"Line1"_s)->geometry(), c(u"lblRisultatoS"_s)->geometry());
  QCOMPARE(c(u"Line2"_s)->geometry(), c(u"lblRisultatoS"_s)->geometry());
  clic(u"Option3_1"_s);
  QVERIFY(!c(u"Line1"_s)->isVisible());
  QCOMPARE(t(u"lblRisultatoS"_s), u"?"_s);
  QVERIFY(c(u"Option1_5"_s)->isEnabled());
  clic(u"Option1_1"_s);
  clic(u"Option1_4"_s);  // Cancella takes the choice back
  QCOMPARE(t(u"lblRisultatoS"_s), u"?"_s);
  clic(u"Option1_5"_s);
  clic(u"Option3_0"_s);
  QCOMPARE(t(u"lblCorrezioneS"_s), u"  km"_s);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], u"2  hm + 3 dam =   km--   r.°°   m* °°°°°°*     km sec. 0"_s);
}

// The start window can change the family while this window is open: the
// operation on screen is still answered in its own family, the next one shows
// the new family's symbols and accepts them.
void TestFrmOperativo::shouldFollowAFamilyChangedWhileOpen() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);  // 3 k + 5 h = 3.500 u
  Operazione4(m_b->casuale, 4, 2, 3, 1);  // then, in metres: 2 hm + 3 dam = 0,23 km
  apri(2, 3);
  Famiglia(m_b->stato, 6);
  QCOMPARE(c<QAbstractButton>(u"Option1_3"_s)->text(), u"  u"_s);
  clic(u"Option1_3"_s);
  QCOMPARE(t(u"lblRisultatoS"_s), u"  u"_s);
  clic(u"Option1_5"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  clic(u"Option1_6"_s);
  const QStringList metri{u"  km"_s, u"  hm"_s, u" dam"_s, u"   m"_s};
  for (int i = 0; i < 4; ++i) {
    auto *b = c<QAbstractButton>(u"Option1_%1"_s.arg(i));
    QCOMPARE(b->text(), metri[i]);
    QCOMPARE(b->accessibleName(), metri[i].trimmed());
  }
  clic(u"Option1_0"_s);
  QCOMPARE(t(u"lblRisultatoS"_s), u"  km"_s);
  clic(u"Option1_5"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  QCOMPARE(m_b->stato.esercizio.intEsatte, 2);
}

// "SI" and "NO" start yellow like their frame, turn orange with the focus and
// take the keypad's colour when they lose it.
void TestFrmOperativo::shouldColourTheHelpButtonsByTheFocus() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  const auto fondo = [this](const QString &nome) { return c(nome)->palette().color(QPalette::Button); };
  QCOMPARE(fondo(u"Option3_0"_s), QColor(255, 255, 192));
  clic(u"Option2_3"_s);
  clic(u"Option2_12"_s);  // wrong: the help frame, "NO" has the focus
  QCOMPARE(fuoco(), u"Option3_1"_s);
  QCOMPARE(fondo(u"Option3_1"_s), QColor(255, 192, 128));
  QCOMPARE(fondo(u"Option3_0"_s), QColor(255, 255, 192));
  tasto(Qt::Key_1);
  QCOMPARE(fuoco(), u"Option3_0"_s);
  QCOMPARE(fondo(u"Option3_0"_s), QColor(255, 192, 128));
  QCOMPARE(fondo(u"Option3_1"_s), QColor(255, 224, 192));
  tasto(Qt::Key_2);
  QCOMPARE(fondo(u"Option3_0"_s), QColor(255, 224, 192));
}

void TestFrmOperativo::shouldKeepTheExerciseWhenResized() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  scrivi(u"77"_s, false);  // wrong: crosses shown, help offered
  const QString riga = m_b->stato.esercizio.strRigheEsercizio[1];
  const QStringList nomi = {u"Option2_12"_s, u"LblRisultato"_s, u"fraTastierino"_s, u"LblOperazione"_s,
                            u"Option3_1"_s, u"fraNumero"_s, u"Label4"_s};
  QHash<QString, QRect> prima;
  for (const QString &n : nomi) prima[n] = c(n)->geometry();
  const QSize dimensione = m_w->size();

  m_w->resize(dimensione.width() * 2, dimensione.height());
  QTRY_COMPARE(m_w->client()->width(), m_w->clientProgetto().width() * 2);
  for (const QString &n : nomi) {
    const QRect r = c(n)->geometry();
    QVERIFY2(std::abs(r.x() - 2 * prima[n].x()) <= 1, qPrintable(n));
    QVERIFY2(std::abs(r.width() - 2 * prima[n].width()) <= 1, qPrintable(n));
    QCOMPARE(r.y(), prima[n].y());
    QCOMPARE(r.height(), prima[n].height());
  }
  QCOMPARE(c(u"Linea1"_s)->geometry(), c(u"Label9"_s)->geometry());
  QCOMPARE(c(u"fraAiuto"_s)->pos(), c(u"lblRiferimento"_s)->pos());

  m_w->resize(1, 1);
  m_w->dimensioneProgetto();
  for (const QString &n : nomi) QCOMPARE(c(n)->geometry(), prima[n]);
  m_w->showMinimized();
  m_w->showNormal();

  // Nothing of the pupil's work is lost.
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], riga);
  QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
  QCOMPARE(davanti(), 2);
  QVERIFY(!m_b->casuale.esaurito());
}

void TestFrmOperativo::shouldCloseOnEsco() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri();
  scrivi(u"3500"_s, false);
  clic(u"Option2_14"_s);
  QTRY_VERIFY(m_w.isNull());
  QVERIFY(m_b->navRegistrata.aperte.isEmpty());
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], u" 3  k +  5  h = ...  u  r. °3.500"_s);
}

void TestFrmOperativo::shouldJudgeASevenCharacterAnswerRight_data() {
  QTest::addColumn<bool>("tastiera");
  QTest::newRow("mouse") << false;
  QTest::newRow("keyboard") << true;
}

// 18 km + 15 m asked in dam is 1.801,5: all seven characters are taken.
void TestFrmOperativo::shouldJudgeASevenCharacterAnswerRight() {
  QFETCH(bool, tastiera);
  m_b->stato.impostazioni.intOrdineSimboli = 3;
  m_b->stato.impostazioni.intValoreMassimo = 19;
  OperazioneQualsiasi(m_b->casuale, true, 3, 18, 15, 3);
  apri(1, 6);
  QCOMPARE(t(u"Label4"_s) + t(u"Label8"_s) + t(u"Label11"_s), u"18  km15   m dam"_s);
  scrivi(u"1801,5"_s, tastiera);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  QCOMPARE(t(u"LblRisultato"_s), u"1.801,5"_s);
  QCOMPARE(m_b->stato.esercizio.intEsatte, 1);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1], u"18  km + 15   m = ... dam  r. 1.801,5"_s);
}

QTEST_MAIN(TestFrmOperativo)
#include "test_frmoperativo.moc"
