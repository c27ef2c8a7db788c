// Reading aloud in the exercise window: "Leggi" and F5, "leggi sempre", a
// machine without a voice, and the voice stopped when the window goes.
#include "copione.h"
#include "support/doppi.h"
#include "ui/exercise/frmoperativo.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kSenzaModulo = u"La lettura ad alta voce non è installata su questo computer."_s;

}  // namespace

class TestLeggi : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldReadTheOperationOnScreen_data();
  void shouldReadTheOperationOnScreen();
  void shouldSpeakEachNewOperationAndEachVerdictWhenAlwaysOn();
  void shouldLoadNoVoiceAndShowNoButtonWithTheOptionOff();
  void shouldPlaceLeggiBesideTheDesignCoveringNothing();
  void shouldDisableLeggiSayingWhyWithoutAVoice_data();
  void shouldDisableLeggiSayingWhyWithoutAVoice();
  void shouldReadyTheVoiceAsTheWindowIsBuiltWhenAlwaysOn();
  void shouldSpeakTheSentenceAskedForWhileTheVoiceGetsReady();
  void shouldStopSpeakingWhenTheWindowCloses();
  void shouldOutliveAWindowDestroyedWhileSpeaking();

 private:
  void apri(int cosa, bool sempre);
  QPushButton *leggi() const { return m_w->findChild<QPushButton *>(u"cmdLeggi"_s); }
  void tasto(Qt::Key k) {
    QWidget *f = QApplication::focusWidget();
    QVERIFY(f);
    QTest::keyClick(f, k);
  }
  void clic(const QString &nome) {
    auto *w = m_w->findChild<QWidget *>(nome);
    QVERIFY2(w, qPrintable(nome));
    QTest::mouseClick(w, Qt::LeftButton);
  }

  std::unique_ptr<Banco> m_b;
  VoceFinta m_voce;
  QPointer<FrmOperativo> m_w;
};

void TestLeggi::init() {
  m_b = std::make_unique<Banco>();
  m_voce.dette.clear();
  m_voce.zittite = 0;
  m_voce.pronta();
  m_b->navRegistrata.parlante = &m_voce;
}

void TestLeggi::cleanup() {
  if (m_w) {
    m_w->close();
    delete m_w;
  }
  m_b.reset();
}

// Family 3 (k, h, da, u), as the start window sets it.
void TestLeggi::apri(int cosa, bool sempre) {
  m_b->stato.livello.intLivello = 3;
  Famiglia(m_b->stato, 3);
  m_b->stato.impostazioni.intCosaCalcolare = static_cast<qint16>(cosa);
  m_b->stato.opzioni.macchina.leggiSempre = sempre;
  m_w = new FrmOperativo(m_b->ctx);
  QVERIFY(Attiva(m_w));
}

void TestLeggi::shouldReadTheOperationOnScreen_data() {
  QTest::addColumn<int>("cosa");  // 1 the number is asked, 2 the unit
  QTest::addColumn<bool>("pulsante");
  QTest::addColumn<QString>("frase");
  const QString numero = u"tre migliaia più cinque centinaia: quante unità?"_s;
  const QString simbolo = u"tre migliaia più cinque centinaia fanno tremilacinquecento: quale simbolo scegli?"_s;
  QTest::newRow("F5, number asked") << 1 << false << numero;
  QTest::newRow("Leggi, number asked") << 1 << true << numero;
  QTest::newRow("F5, unit asked") << 2 << false << simbolo;
  QTest::newRow("Leggi, unit asked") << 2 << true << simbolo;
}

void TestLeggi::shouldReadTheOperationOnScreen() {
  QFETCH(int, cosa);
  QFETCH(bool, pulsante);
  QFETCH(QString, frase);
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  // The button stands only where the pupil's plan wants speech; F5 always reads.
  apri(cosa, pulsante);
  const QStringList prima = m_voce.dette;
  const QString fuoco = QApplication::focusWidget()->objectName();
  if (pulsante) {
    QVERIFY(leggi()->isVisible());
    QVERIFY(leggi()->isEnabled());
    QTest::mouseClick(leggi(), Qt::LeftButton);
  } else {
    tasto(Qt::Key_F5);
  }
  QCOMPARE(m_voce.dette, prima + QStringList{frase});
  QCOMPARE(m_voce.stato(), Voce::Stato::Parla);
  // The pupil's keys still go where they went.
  QCOMPARE(QApplication::focusWidget()->objectName(), fuoco);
  // Read again: the same sentence, the answer untouched.
  tasto(Qt::Key_F5);
  QCOMPARE(m_voce.dette.last(), frase);
  QCOMPARE(m_w->findChild<QLabel *>(cosa == 1 ? u"LblRisultato"_s : u"lblRisultatoS"_s)->text(), u"?"_s);
}

void TestLeggi::shouldSpeakEachNewOperationAndEachVerdictWhenAlwaysOn() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);  // 3 k + 5 h = ... u
  Operazione4(m_b->casuale, 2, 7, 2, 3);  // 7 k + 2 da = ... da
  apri(1, true);
  QCOMPARE(m_voce.dette, QStringList{u"tre migliaia più cinque centinaia: quante unità?"_s});
  // Wrong: the verdict and the mistake named under it.
  for (Qt::Key k : {Qt::Key_3, Qt::Key_5}) tasto(k);
  tasto(Qt::Key_V);
  tasto(Qt::Key_Return);
  // 35 for 3.500: written with the factor in figures, said with it in words.
  QCOMPARE(m_w->findChild<QLabel *>(u"lblSbaglio"_s)->text(),
           u"Il tuo numero è 100 volte più piccolo di quello giusto."_s);
  const QString sbaglio = u"Il tuo numero è cento volte più piccolo di quello giusto."_s;
  QCOMPARE(m_voce.dette.size(), 2);
  QCOMPARE(m_voce.dette.last(), u"Errato. "_s + sbaglio);
  // "NO": the pupil tries again; nothing new to say.
  clic(u"Option3_1"_s);
  QCOMPARE(m_voce.dette.size(), 2);
  // Wrong again with the same answer: said again.
  for (Qt::Key k : {Qt::Key_3, Qt::Key_5}) tasto(k);
  tasto(Qt::Key_V);
  tasto(Qt::Key_Return);
  QCOMPARE(m_voce.dette.size(), 3);
  QCOMPARE(m_voce.dette.last(), u"Errato. "_s + sbaglio);
  clic(u"Option3_1"_s);
  // Right: the verdict alone.
  for (Qt::Key k : {Qt::Key_3, Qt::Key_5, Qt::Key_0, Qt::Key_0}) tasto(k);
  tasto(Qt::Key_V);
  tasto(Qt::Key_Return);
  QCOMPARE(m_voce.dette.last(), u"Esatto"_s);
  QCOMPARE(m_voce.dette.size(), 4);
  // Typing says nothing; "Avanti" brings the next operation, read at once.
  clic(u"Option2_13"_s);
  QCOMPARE(m_voce.dette.size(), 5);
  QCOMPARE(m_voce.dette.last(), u"sette migliaia più due decine: quante decine?"_s);
}

void TestLeggi::shouldLoadNoVoiceAndShowNoButtonWithTheOptionOff() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  Operazione4(m_b->casuale, 2, 7, 2, 3);
  apri(1, false);
  for (Qt::Key k : {Qt::Key_3, Qt::Key_5}) tasto(k);
  tasto(Qt::Key_V);
  tasto(Qt::Key_Return);
  clic(u"Option3_0"_s);  // "SI": the program steps in
  QVERIFY(m_b->stato.esercizio.intErrate == 1);
  // Nothing was read, the voice was never asked for, and no button appeared.
  QCOMPARE(m_b->navRegistrata.vociChieste, 0);
  QVERIFY(m_voce.dette.isEmpty());
  QVERIFY(!leggi());
  QCOMPARE(m_w->clientProgetto().width(), 860);
  // F5 is the first use.
  tasto(Qt::Key_F5);
  QVERIFY(m_b->navRegistrata.vociChieste > 0);
  QCOMPARE(m_voce.dette, QStringList{u"tre migliaia più cinque centinaia: quante unità?"_s});
  QVERIFY(!leggi());
}

void TestLeggi::shouldPlaceLeggiBesideTheDesignCoveringNothing() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri(1, true);
  QPushButton *b = leggi();
  QVERIFY(b && b->isVisible());
  QCOMPARE(b->text(), u"Leggi"_s);
  QCOMPARE(b->accessibleName(), u"Leggi"_s);
  QCOMPARE(b->focusPolicy(), Qt::NoFocus);
  QVERIFY(b->toolTip().contains(u"F5"_s));
  const QRect dove = b->geometry();
  QVERIFY(QRect(QPoint(0, 0), m_w->client()->size()).contains(dove));
  for (QWidget *w : m_w->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
    if (w == b || !w->isVisible()) continue;
    QVERIFY2(!w->geometry().intersects(dove), qPrintable(w->objectName()));
  }
  // Off again: the window goes back to its design width, the button out of sight.
  m_b->stato.opzioni.macchina.leggiSempre = false;
  m_w->applicaOpzioni();
  QVERIFY(!b->isVisible());
  QCOMPARE(m_w->clientProgetto().width(), 860);
  // With the table at hand the two share the column.
  m_b->stato.opzioni.macchina.leggiSempre = true;
  m_b->stato.opzioni.macchina.tabellaAMano = true;
  m_w->applicaOpzioni();
  auto *tabella = m_w->findChild<QWidget *>(u"tabellaAMano"_s);
  QVERIFY(tabella && tabella->isVisible() && b->isVisible());
  QVERIFY(!tabella->geometry().intersects(b->geometry()));
  QCOMPARE(m_w->clientProgetto().width(), 1100);
}

void TestLeggi::shouldDisableLeggiSayingWhyWithoutAVoice_data() {
  QTest::addColumn<bool>("modulo");
  QTest::addColumn<QString>("perche");
  QTest::newRow("no module") << false << kSenzaModulo;
  QTest::newRow("no Italian voice") << true << u"Non c'è una voce italiana: va installato speech-dispatcher-espeak-ng."_s;
  QTest::newRow("engine failing") << true << u"La sintesi vocale non risponde: nessun servizio."_s;
}

void TestLeggi::shouldDisableLeggiSayingWhyWithoutAVoice() {
  QFETCH(bool, modulo);
  QFETCH(QString, perche);
  if (modulo) m_voce.assente(perche);
  else m_b->navRegistrata.parlante = nullptr;
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  Operazione4(m_b->casuale, 2, 7, 2, 3);
  apri(1, true);
  QVERIFY(leggi()->isVisible());
  QVERIFY(!leggi()->isEnabled());
  QCOMPARE(leggi()->toolTip(), perche);
  // F5 and the verdicts say nothing, and the exercise goes on as ever.
  tasto(Qt::Key_F5);
  for (Qt::Key k : {Qt::Key_3, Qt::Key_5, Qt::Key_0, Qt::Key_0}) tasto(k);
  tasto(Qt::Key_V);
  tasto(Qt::Key_Return);
  QCOMPARE(m_w->findChild<QLabel *>(u"LblEsito"_s)->text(), u"Esatto"_s);
  QCOMPARE(m_b->stato.esercizio.intEsatte, 1);
  QVERIFY(m_voce.dette.isEmpty());
  QCOMPARE(m_b->messaggi.voci.size(), 0);
}

void TestLeggi::shouldReadyTheVoiceAsTheWindowIsBuiltWhenAlwaysOn() {
  m_voce.inPreparazione();
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  m_b->stato.livello.intLivello = 3;
  Famiglia(m_b->stato, 3);
  m_b->stato.impostazioni.intCosaCalcolare = 1;
  m_b->stato.opzioni.macchina.leggiSempre = true;
  m_w = new FrmOperativo(m_b->ctx);
  // Built, not yet shown: the voice is already being readied, nothing said.
  QVERIFY(m_b->navRegistrata.vociChieste > 0);
  QVERIFY(m_voce.dette.isEmpty());
  QVERIFY(Attiva(m_w));
  QCOMPARE(m_voce.dette, QStringList{u"tre migliaia più cinque centinaia: quante unità?"_s});
}

void TestLeggi::shouldSpeakTheSentenceAskedForWhileTheVoiceGetsReady() {
  m_voce.inPreparazione();
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri(1, true);
  // While the engine is readied the button stays usable and says what it does.
  QVERIFY(leggi()->isEnabled());
  QVERIFY(leggi()->toolTip().contains(u"F5"_s));
  QCOMPARE(m_voce.dette.size(), 1);
  // No engine after all: the button turns off and says why.
  m_voce.assente(u"Non c'è un programma di sintesi vocale: va installato speech-dispatcher."_s);
  QVERIFY(!leggi()->isEnabled());
  QCOMPARE(leggi()->toolTip(), u"Non c'è un programma di sintesi vocale: va installato speech-dispatcher."_s);
}

void TestLeggi::shouldStopSpeakingWhenTheWindowCloses() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri(2, false);
  tasto(Qt::Key_F5);
  QCOMPARE(m_voce.stato(), Voce::Stato::Parla);
  QVERIFY(m_w->close());
  QCOMPARE(m_voce.zittite, 1);
  QCOMPARE(m_voce.stato(), Voce::Stato::Pronta);
}

void TestLeggi::shouldOutliveAWindowDestroyedWhileSpeaking() {
  Operazione4(m_b->casuale, 1, 3, 5, 4);
  apri(1, true);
  QCOMPARE(m_voce.stato(), Voce::Stato::Parla);
  delete m_w.data();
  // The voice ends its sentence and gets ready again with the window gone.
  m_voce.finita();
  m_voce.di(u"ancora"_s);
  m_voce.assente(u"spenta"_s);
  QCOMPARE(m_voce.dette.last(), u"ancora"_s);
}

QTEST_MAIN(TestLeggi)
#include "test_leggi.moc"
