#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <memory>

#include "copione.h"
#include "support/doppi.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/exercise/frmoperativo.h"

using namespace Qt::StringLiterals;

namespace {

// Draws of one operation with two-digit values, decreasing order, four units.
void Operazione19(CasualeCopione &c, int caso, int v1, int v2, int slot) {
  c.aggiungi({(caso - 1 + 0.5) / 6.0, (v1 - 1 + 0.5) / 19.0, (v2 - 1 + 0.5) / 19.0, (slot - 1 + 0.5) / 4.0});
}

const QString kSenzaConversione = u"Prima di sommare, trasforma le due misure nell'unità richiesta."_s;
const QString kUnoSolo = u"Hai trasformato una misura sola: trasforma anche l'altra."_s;

}  // namespace

// The help that teaches, through the real window: every kind of wrong answer,
// typed or chosen, names its mistake under "Errato"; once the program steps in,
// the worked solution stands in the unit table, whose digits are read back from
// the widget; the counts, the log and the buttons go on exactly as before.
class TestAiutoOperativo : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldNameEachMistakeAndShowTheWorkedSolution();
  void shouldNameTheWrongSymbolAndPlaceTheGivenNumber();
  void shouldClearTheHelpOnAvantiAndRicomincia();
  void shouldKeepTheTableClearOfTheButtonsWhenMaximised();

 private:
  void apri(int cosa);
  template <typename W = QWidget>
  W *c(const QString &nome) const {
    W *w = m_w->findChild<W *>(nome);
    if (!w) qWarning("no control %s", qPrintable(nome));
    return w;
  }
  QString t(const QString &nome) const { return c<QLabel>(nome)->text(); }
  void clic(const QString &nome) { QTest::mouseClick(c(nome), Qt::LeftButton); }
  // Types a number on the keypad, judges it and checks the sentence under "Errato".
  void sbaglia(const QString &tasti, const QString &frase);
  void no();
  [[nodiscard]] VistaTabellaUnita *tabella() const { return c<VistaTabellaUnita>(u"tabellaUnita"_s); }
  // The cells of a table row as the widget draws them, "." for an empty one.
  [[nodiscard]] QString riga(int r) const;
  void controllaSenzaSovrapposizioni();
  void foto(const QString &nome);

  std::unique_ptr<Banco> m_b;
  QPointer<FrmOperativo> m_w;
};

void TestAiutoOperativo::init() {
  m_b = std::make_unique<Banco>();
}

void TestAiutoOperativo::cleanup() {
  if (m_w) {
    m_w->close();
    delete m_w;
  }
  m_b.reset();
}

void TestAiutoOperativo::apri(int cosa) {
  Famiglia(m_b->stato, 3);
  m_b->stato.impostazioni.intCosaCalcolare = static_cast<qint16>(cosa);
  m_b->stato.impostazioni.intValoreMassimo = 19;
  m_b->stato.impostazioni.strCosaCalcolare = u" Calcola il numero"_s;
  m_b->stato.impostazioni.strOrdineSimboli = u" Simboli decrescenti"_s;
  m_w = new FrmOperativo(m_b->ctx);
  QVERIFY(Attiva(m_w));
}

void TestAiutoOperativo::sbaglia(const QString &tasti, const QString &frase) {
  for (QChar ch : tasti) clic(ch == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(ch.digitValue()));
  clic(u"Option2_12"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
  QCOMPARE(t(u"lblSbaglio"_s), frase);
  QCOMPARE(c(u"lblSbaglio"_s)->accessibleName(), frase);
  QVERIFY(c(u"lblSbaglio"_s)->isVisible());
  QVERIFY(!tabella()->isVisible());  // never the answer before the pupil asks for it
}

void TestAiutoOperativo::no() {
  const QString frase = t(u"lblSbaglio"_s);
  clic(u"Option3_1"_s);
  QCOMPARE(t(u"lblSbaglio"_s), frase);  // still there while the pupil tries again
  QCOMPARE(t(u"LblEsito"_s), QString());
}

QString TestAiutoOperativo::riga(int r) const {
  QString s;
  for (int col = 0; col < tabella()->tabella().colonne.size(); ++col) {
    const QString cella = tabella()->testoCella(r, col);
    s += cella.isEmpty() ? u"."_s : cella;
  }
  return s;
}

// Nothing the pupil can see lies under the table, and the table lies within the window.
void TestAiutoOperativo::controllaSenzaSovrapposizioni() {
  VistaTabellaUnita *tab = tabella();
  QVERIFY(tab->isVisible());
  const QRect dove = tab->geometry();
  QVERIFY(m_w->client()->rect().contains(dove));
  for (QWidget *w : m_w->client()->findChildren<QWidget *>()) {
    if (w == tab || !w->isVisible() || w->objectName().isEmpty()) continue;
    if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QLabel *>(w)) continue;
    const QRect r(w->mapTo(m_w->client(), QPoint(0, 0)), w->size());
    QVERIFY2(!r.intersects(dove), qPrintable(w->objectName()));
  }
  QVERIFY(tab->puntiCifre() >= c(u"Option2_5"_s)->font().pointSizeF());
  const QRect sbaglio = c(u"lblSbaglio"_s)->geometry();
  QVERIFY(!sbaglio.intersects(c(u"LblEsito"_s)->geometry()));
  QVERIFY(!sbaglio.intersects(dove));
  // The last row's cells and the reading below fit inside the widget.
  const int ultima = static_cast<int>(tab->tabella().righe.size()) - 1;
  const int colonne = static_cast<int>(tab->tabella().colonne.size());
  QVERIFY(tab->rect().contains(tab->rettangoloCella(ultima, colonne - 1)));
  QVERIFY(tab->rect().contains(tab->rettangoloCella(ultima, 0)));
}

// With VORNEL_FOTO set to a folder, the window is saved there as a picture.
void TestAiutoOperativo::foto(const QString &nome) {
  const QString cartella = qEnvironmentVariable("VORNEL_FOTO");
  if (cartella.isEmpty()) return;
  QDir().mkpath(cartella);
  QVERIFY(m_w->grab().save(cartella + u'/' + nome + u".png"_s));
}

void TestAiutoOperativo::shouldNameEachMistakeAndShowTheWorkedSolution() {
  m_b->orologio.secondi = 36000;
  Operazione19(m_b->casuale, 4, 12, 7, 4);  // 12 h + 7 da = 1.270 u
  Operazione19(m_b->casuale, 4, 12, 7, 4);
  Operazione19(m_b->casuale, 4, 12, 7, 4);
  apri(1);
  QCOMPARE(t(u"Label4"_s), u"12  h"_s);
  QCOMPARE(t(u"lblSbaglio"_s), QString());
  QVERIFY(!tabella()->isVisible());

  sbaglia(u"19"_s, kSenzaConversione);
  QVERIFY(!c(u"tabellaUnita"_s)->isVisible());
  foto(u"sbaglio"_s);
  no();
  QCOMPARE(t(u"LblRisultato"_s), u"?"_s);
  sbaglia(u"1207"_s, kUnoSolo);
  no();
  sbaglia(u"12700"_s, u"Il tuo numero è 10 volte più grande di quello giusto."_s);
  no();
  QVERIFY(c(u"fraIntervento"_s)->isEnabled());
  QCOMPARE(t(u"lblSbaglio"_s), u"Il tuo numero è 10 volte più grande di quello giusto."_s);
  m_b->orologio.secondi = 36042;
  clic(u"optOK"_s);

  // The worked solution beside the right answer.
  QCOMPARE(t(u"lblCorrezione"_s), u"1.270"_s);
  QVERIFY(tabella()->isVisible());
  QCOMPARE(tabella()->tabella().colonne.size(), 4);
  QCOMPARE(riga(0), u"1200"_s);
  QCOMPARE(riga(1), u"..70"_s);
  QCOMPARE(riga(2), u"1270"_s);
  QCOMPARE(tabella()->tabella().righe[2].celle[3].segnaposto, true);
  QCOMPARE(tabella()->tabella().righe[2].celle[2].segnaposto, false);
  QCOMPARE(tabella()->righeTesto(),
           QStringList({u"Tabella delle unità: k, h, da, u; la virgola va dopo u"_s,
                        u"12 h: 1 k, 2 h, 0 da, 0 u"_s, u"7 da: 7 da, 0 u"_s,
                        u"totale: 1 k, 2 h, 7 da, 0 u"_s, u"Risultato: 1.270 unità"_s}));
  QCOMPARE(tabella()->accessibleName(), u"Tabella delle unità"_s);
  QCOMPARE(tabella()->accessibleDescription(), tabella()->righeTesto().join(u'\n'));
  controllaSenzaSovrapposizioni();
  foto(u"tabella-numero"_s);
  // Counts, buttons and the log line as ever.
  const Esercizio &e = m_b->stato.esercizio;
  QCOMPARE(e.intErrate, 1);
  QCOMPARE(e.intEsatte, 0);
  QCOMPARE(t(u"lblRisErrate"_s), u"1"_s);
  QCOMPARE(t(u"LblTempoOperazione"_s), u"42"_s);
  QCOMPARE(e.strRigheEsercizio[1], u"12  h +  7 da = ...  u  r. °°°°19* °1.207* 12.700*   1.270 sec. 42"_s);
  QCOMPARE(QApplication::focusWidget()->objectName(), u"Option2_13"_s);
  QVERIFY(c(u"Option2_13"_s)->isVisible());
  QVERIFY(c(u"Option2_14"_s)->isVisible());
  QVERIFY(!c(u"Option2_5"_s)->isVisible());  // idle under the table
  QVERIFY(!c(u"Option2_5"_s)->isEnabled());

  // The next operation: the other kinds, and "SI" at the third.
  clic(u"Option2_13"_s);
  QCOMPARE(t(u"lblSbaglio"_s), QString());
  QVERIFY(!tabella()->isVisible());
  QVERIFY(c(u"Option2_5"_s)->isVisible());
  sbaglia(u"127"_s, u"Il tuo numero è 10 volte più piccolo di quello giusto."_s);
  no();
  sbaglia(u"12070"_s, u"Nel tuo numero c'è uno zero di troppo."_s);
  no();
  sbaglia(u"1280"_s, u"La trasformazione è giusta: ricontrolla la somma."_s);
  clic(u"Option3_0"_s);
  QVERIFY(tabella()->isVisible());
  QCOMPARE(riga(2), u"1270"_s);
  QCOMPARE(e.intErrate, 2);

  // The third: an empty answer after "NO", then the right one clears the hint.
  clic(u"Option2_13"_s);
  sbaglia(u"5"_s, u"Ricontrolla con calma ogni passaggio."_s);
  no();
  clic(u"Option2_12"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
  QCOMPARE(t(u"lblSbaglio"_s), u"Non hai scritto nessun numero."_s);
  no();
  for (const char *d : {"1", "2", "7", "0"}) clic(u"Option2_"_s + QString::fromLatin1(d));
  clic(u"Option2_12"_s);
  QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
  QCOMPARE(t(u"lblSbaglio"_s), QString());
  QVERIFY(!tabella()->isVisible());
  QCOMPARE(e.intEsatte, 1);
  QCOMPARE(e.strRigheEsercizio[3], u"12  h +  7 da = ...  u  r. °°°°°5* °°°°°°* °1.270"_s);
  QVERIFY(!m_b->casuale.esaurito());
}

void TestAiutoOperativo::shouldNameTheWrongSymbolAndPlaceTheGivenNumber() {
  Operazione19(m_b->casuale, 1, 3, 5, 2);  // 3 k + 5 h = 35 h
  apri(2);
  QCOMPARE(t(u"label11S"_s), u"35"_s);
  const auto scegli = [this](int i, const QString &frase) {
    clic(u"Option1_%1"_s.arg(i));
    clic(u"Option1_5"_s);
    QCOMPARE(t(u"LblEsito"_s), u"Errato"_s);
    QCOMPARE(t(u"lblSbaglio"_s), frase);
    QVERIFY(!tabella()->isVisible());
  };
  scegli(0, u"Hai scelto un'unità 10 volte più grande di quella giusta."_s);
  no();
  scegli(3, u"Hai scelto un'unità 100 volte più piccola di quella giusta."_s);
  no();
  scegli(2, u"Hai scelto un'unità 10 volte più piccola di quella giusta."_s);
  no();
  clic(u"optOK"_s);
  QCOMPARE(t(u"lblCorrezioneS"_s), u"  h"_s);
  QVERIFY(tabella()->isVisible());
  // 35 stands with its last whole digit in the hundreds' column.
  QCOMPARE(riga(2), u"35.."_s);
  QCOMPARE(tabella()->tabella().colonne[1].simbolo, u"h"_s);
  QCOMPARE(tabella()->tabella().colonnaRichiesta, 1);
  QCOMPARE(riga(0), u"30.."_s);
  QCOMPARE(riga(1), u".5.."_s);
  controllaSenzaSovrapposizioni();
  QVERIFY(c(u"Option1_6"_s)->isVisible());
  QVERIFY(!c(u"Option1_0"_s)->isVisible());
  foto(u"tabella-simbolo"_s);
  QCOMPARE(m_b->stato.esercizio.strRigheEsercizio[1],
           u" 3  k +  5  h =   h---   r.°°°  k* °°°  u* °°° da*     h sec. 0"_s);
}

void TestAiutoOperativo::shouldClearTheHelpOnAvantiAndRicomincia() {
  for (int i = 0; i < 21; ++i) Operazione19(m_b->casuale, 6, 2, 19, 1);  // 2 da + 19 u = 0,039 k
  apri(1);
  for (int i = 1; i < 20; ++i) {
    for (QChar ch : u"0,039"_s) clic(ch == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(ch.digitValue()));
    clic(u"Option2_12"_s);
    QCOMPARE(t(u"LblEsito"_s), u"Esatto"_s);
    clic(u"Option2_13"_s);
  }
  sbaglia(u"21"_s, kSenzaConversione);
  clic(u"Option3_0"_s);
  // The end frame stands where the table would: the table waits out of sight.
  QVERIFY(c(u"fraAvviso"_s)->isVisible());
  QVERIFY(!tabella()->isVisible());
  QVERIFY(c(u"optAvviso_1"_s)->isVisible());
  QCOMPARE(t(u"lblCorrezione"_s), u"0,039"_s);
  QCOMPARE(t(u"lblSbaglio"_s), kSenzaConversione);
  foto(u"fine"_s);
  clic(u"optAvviso_1"_s);
  QCOMPARE(m_b->stato.esercizio.intOperazione, 1);
  QCOMPARE(t(u"lblSbaglio"_s), QString());
  QVERIFY(!tabella()->isVisible());
  QVERIFY(c(u"Option2_5"_s)->isVisible());
  QVERIFY(!m_b->casuale.esaurito());
}

void TestAiutoOperativo::shouldKeepTheTableClearOfTheButtonsWhenMaximised() {
  Operazione19(m_b->casuale, 1, 19, 19, 1);  // the widest table, with a comma: 20,9 k
  apri(1);
  sbaglia(u"38"_s, kSenzaConversione);
  clic(u"Option3_0"_s);
  QCOMPARE(riga(0), u"19..."_s);
  QCOMPARE(riga(1), u".1,9.."_s);
  QCOMPARE(riga(2), u"20,9.."_s);
  QCOMPARE(tabella()->tabella().colonne.first().simbolo, QString());
  QCOMPARE(tabella()->righeTesto().last(), u"Risultato: 20,9 migliaia"_s);
  controllaSenzaSovrapposizioni();
  foto(u"largo"_s);
  const qreal prima = tabella()->puntiCifre();
  m_w->resize(1280, 1000);  // maximised on a 1280 x 1024 screen
  QTRY_COMPARE(m_w->client()->width(), 1280);
  controllaSenzaSovrapposizioni();
  QVERIFY(tabella()->puntiCifre() >= prima);
  QCOMPARE(riga(2), u"20,9.."_s);
  foto(u"largo-massimizzato"_s);
}

QTEST_MAIN(TestAiutoOperativo)
#include "test_aiutooperativo.moc"
