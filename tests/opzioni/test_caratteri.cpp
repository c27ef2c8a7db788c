#include "exercise/copione.h"
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "ui/common/finestra.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Every visible control whose text, drawn in its font, doesn't fit inside it.
QStringList Stretti(QWidget *finestra) {
  QStringList stretti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(finestra) || w->objectName().isEmpty()) continue;
    QString testo;
    QRect spazio = w->contentsRect();
    bool aCapo = false;
    if (const auto *l = qobject_cast<QLabel *>(w)) {
      testo = l->text();
      aCapo = l->wordWrap();
      const int m = l->margin();
      spazio.adjust(m, m, -m, -m);
    } else if (const auto *b = qobject_cast<QAbstractButton *>(w)) {
      testo = b->text();
      spazio.adjust(2, 2, -2, -2);  // the button's edge
    }
    testo.remove(u'&');
    if (testo.trimmed().isEmpty() || Qt::mightBeRichText(testo)) continue;
    const QFontMetrics fm(w->font());
    const QSize serve = aCapo ? fm.boundingRect(QRect(QPoint(), QSize(spazio.width(), 100000)), Qt::TextWordWrap, testo).size()
                              : QSize(fm.horizontalAdvance(testo), fm.height());
    if (serve.width() > spazio.width() || serve.height() > spazio.height())
      stretti << u"%1/%2 \"%3\" %4x%5 in %6x%7"_s.arg(finestra->objectName(), w->objectName(), testo)
                     .arg(serve.width()).arg(serve.height()).arg(spazio.width()).arg(spazio.height());
  }
  return stretti;
}

// Sets the window's client area to s times its design size.
void Scala(Finestra *f, double s) {
  const int menu = f->menuWidget() ? f->menuWidget()->height() : 0;
  f->resize(static_cast<int>(f->clientProgetto().width() * s), static_cast<int>(f->clientProgetto().height() * s) + menu);
  QCoreApplication::processEvents();
}

}  // namespace

class TestCaratteri : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldFitEveryTextAtEverySize_data();
  void shouldFitEveryTextAtEverySize();
  void shouldGrowTheOperationWithTheBoard();
  void shouldLeaveTheTypeAloneWithTheOptionOff();
};

void TestCaratteri::shouldFitEveryTextAtEverySize_data() {
  QTest::addColumn<QString>("finestra");
  QTest::addColumn<double>("scala");
  for (const char *f : {"inizio", "esercizio", "stampaEsercizio", "attestato", "schede"})
    for (double s : {1.0, 2.0, 3.0}) QTest::addRow("%s at %gx", f, s) << QString::fromLatin1(f) << s;
}

void TestCaratteri::shouldFitEveryTextAtEverySize() {
  QFETCH(QString, finestra);
  QFETCH(double, scala);
  ProgrammaDiProva p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.b.stato.opzioni.macchina.caratteriGrandi = true;
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option2_0"_s), Qt::LeftButton);
  Finestra *f = inizio;
  if (finestra == u"esercizio"_s) {
    p.finestre.apriEsercizio();
    QTRY_VERIFY(p.finestre.esercizio() && p.finestre.esercizio()->isVisible());
    f = p.finestre.esercizio();
  } else if (finestra == u"stampaEsercizio"_s) {
    p.finestre.apriStampaEsercizio();
    QTRY_VERIFY(p.finestre.stampaEsercizio() && p.finestre.stampaEsercizio()->isVisible());
    f = p.finestre.stampaEsercizio();
  } else if (finestra == u"attestato"_s) {
    p.finestre.apriAttestato();
    f = p.finestre.attestato();
  } else if (finestra == u"schede"_s) {
    p.finestre.apriSchede();
    QTRY_VERIFY(p.finestre.schede() && p.finestre.schede()->isVisible());
    f = p.finestre.schede();
  }
  Scala(f, scala);
  QCOMPARE(f->layout().fattoreCaratteri(), scala);
  QStringList stretti = Stretti(f);
  // The design itself draws the two worksheet buttons' captions a few pixels
  // wider than the buttons (touching their edges) at design size; larger, they fit.
  if (scala == 1.0 && finestra == u"schede"_s) {
    QCOMPARE(stretti.size(), 2);
    QVERIFY(stretti.at(0).contains(u"CmdVisualizzaScheda"_s) && stretti.at(1).contains(u"CmdVisualizzaScheda"_s));
    stretti.clear();
  }
  QVERIFY2(stretti.isEmpty(), qPrintable(stretti.join(u"; "_s)));
}

// A maximised exercise window on a 1920 x 1080 board.
void TestCaratteri::shouldGrowTheOperationWithTheBoard() {
  Banco b;
  Operazione4(b.casuale, 1, 3, 5, 4);
  Famiglia(b.stato, 3);
  b.stato.opzioni.macchina.caratteriGrandi = true;
  auto *e = new FrmOperativo(b.ctx);
  QVERIFY(Attiva(e));
  auto *addendo = e->findChild<QLabel *>(u"Label4"_s);
  const qreal progetto = addendo->font().pointSizeF();
  e->resize(1920, 1050);
  QCoreApplication::processEvents();
  const double k = std::min(e->client()->width() / double(e->clientProgetto().width()),
                            e->client()->height() / double(e->clientProgetto().height()));
  QVERIFY(k > 1.5);
  QCOMPARE(addendo->font().pointSizeF(), progetto * k);
  QCOMPARE(Stretti(e), QStringList());
  if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty())
    QVERIFY(e->grab().save(cartella + u"/esercizio-lim.png"_s));
  // Back to the design size, the design's type.
  e->resize(e->clientProgetto().width(), e->clientProgetto().height() + e->menuWidget()->height());
  QCoreApplication::processEvents();
  QCOMPARE(addendo->font().pointSizeF(), progetto);
  e->close();
  delete e;
}

void TestCaratteri::shouldLeaveTheTypeAloneWithTheOptionOff() {
  Banco b;
  Operazione4(b.casuale, 1, 3, 5, 4);
  Famiglia(b.stato, 3);
  b.stato.opzioni.macchina.caratteriGrandi = true;
  auto *e = new FrmOperativo(b.ctx);
  QVERIFY(Attiva(e));
  QHash<QString, QFont> progetto;
  for (QWidget *w : e->client()->findChildren<QWidget *>()) progetto.insert(w->objectName(), w->font());
  e->resize(e->size() * 2);
  QCoreApplication::processEvents();
  QVERIFY(e->findChild<QLabel *>(u"Label4"_s)->font() != progetto.value(u"Label4"_s));
  b.stato.opzioni.macchina.caratteriGrandi = false;
  e->applicaOpzioni();
  for (QWidget *w : e->client()->findChildren<QWidget *>()) QCOMPARE(w->font(), progetto.value(w->objectName()));
  e->close();
  delete e;
}

QTEST_MAIN(TestCaratteri)
#include "test_caratteri.moc"
