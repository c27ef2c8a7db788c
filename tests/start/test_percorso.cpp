// The pupil's whole road through the real windows: start window, the choices,
// "Vai", twenty operations answered right, the end frame.
#include "support/doppi.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/programma/finestre.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Programma {
  CartellaTemporanea dir;
  Banco b;
  CasualeSistema casuale{20261208};
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, finestre};
  explicit Programma(const QByteArray &livelli) {
    b.stato.livello.strNomeFile = u"vornel"_s;
    if (!livelli.isEmpty()) {
      QFile f(u"vornel.dat"_s);
      if (f.open(QIODevice::WriteOnly)) f.write(livelli);
    }
  }
  ~Programma() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

QByteArray FileLivelli() {
  QFile f(u"vornel.dat"_s);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestPercorso : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() {
    m_p.reset();
    m_vistaSimbolo = 0;
  }
  void shouldRunTheWholeRoadByKeyboardOnly();
  void shouldRunTheWholeRoadByMouseOnly();

 private:
  template <typename W = QWidget>
  W *in(QWidget *finestra, const QString &nome) const {
    W *w = finestra->findChild<W *>(nome);
    if (!w) qWarning("no control %s", qPrintable(nome));
    return w;
  }
  static QString fuoco() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }
  static void tasto(int k) {
    QWidget *f = QApplication::focusWidget();
    QVERIFY2(f, "nothing has the keyboard");
    QTest::keyClick(f, static_cast<Qt::Key>(k));
  }
  FrmOperativo *vai(frmInizio *inizio, bool tastiera);
  void rispondiTutte(FrmOperativo *es, bool tastiera);
  void controllaFine(FrmOperativo *es);

  std::unique_ptr<Programma> m_p;
  int m_vistaSimbolo = 0;  // operations answered with a symbol button
};

FrmOperativo *TestPercorso::vai(frmInizio *inizio, bool tastiera) {
  if (tastiera) tasto(Qt::Key_Return);
  else QTest::mousePress(in(inizio, u"Option3_0"_s), Qt::LeftButton);
  FrmOperativo *es = m_p->finestre.esercizio();
  // The exercise window is a child of the start window, which already counts as
  // active for it: wait for the keyboard to really move there.
  if (es && !QTest::qWaitFor([es] { return QApplication::activeWindow() == es; }))
    qWarning("the exercise window never got the keyboard");
  return es;
}

void TestPercorso::rispondiTutte(FrmOperativo *es, bool tastiera) {
  const Operazione &op = m_p->b.stato.operazione;
  const Esercizio &e = m_p->b.stato.esercizio;
  for (int i = 1; i <= 20; ++i) {
    QCOMPARE(e.intOperazione, i);
    QVERIFY(m_p->b.stato.operazione.lngValore1 <= m_p->b.stato.impostazioni.intValoreMassimo);
    QVERIFY(m_p->b.stato.operazione.lngValore2 <= m_p->b.stato.impostazioni.intValoreMassimo);
    const bool simbolo = in(es, u"fraSimboli"_s)->isEnabled();
    QCOMPARE(in(es, u"fraTastierino"_s)->isEnabled(), !simbolo);
    if (simbolo) {
      QVERIFY(!tastiera);
      ++m_vistaSimbolo;
      QPushButton *giusto = nullptr;
      for (int s = 0; s < 4; ++s) {
        auto *p = in<QPushButton>(es, u"Option1_%1"_s.arg(s));
        if (p->isEnabled() && p->text().trimmed() == op.strRisultato.trimmed()) giusto = p;
      }
      QVERIFY2(giusto, qPrintable(op.strRisultato));
      QTest::mouseClick(giusto, Qt::LeftButton);
      QTest::mouseClick(in(es, u"Option1_5"_s), Qt::LeftButton);
    } else {
      const QString cifre = QString(op.strRisultato).remove(u'.');
      for (QChar c : cifre) {
        if (tastiera) tasto(c == u',' ? Qt::Key_Comma : Qt::Key_0 + c.digitValue());
        else QTest::mouseClick(in(es, c == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(c.digitValue())), Qt::LeftButton);
      }
      if (tastiera) {
        tasto(Qt::Key_V);
        QCOMPARE(fuoco(), u"Option2_12"_s);
        tasto(Qt::Key_Return);
      } else {
        QTest::mouseClick(in(es, u"Option2_12"_s), Qt::LeftButton);
      }
    }
    QCOMPARE(in<QLabel>(es, u"LblEsito"_s)->text(), u"Esatto"_s);
    QCOMPARE(e.intEsatte, i);
    QVERIFY(!e.strRigheEsercizio[static_cast<size_t>(i)].isEmpty());
    if (i == 20) break;
    const QString avanti = simbolo ? u"Option1_6"_s : u"Option2_13"_s;
    if (tastiera) {
      QCOMPARE(fuoco(), avanti);
      tasto(Qt::Key_Return);
    } else {
      QTest::mouseClick(in(es, avanti), Qt::LeftButton);
    }
  }
}

void TestPercorso::controllaFine(FrmOperativo *es) {
  const Esercizio &e = m_p->b.stato.esercizio;
  QVERIFY(in(es, u"fraAvviso"_s)->isVisible());
  QVERIFY(in(es, u"fraAvviso"_s)->isEnabled());
  QVERIFY(in(es, u"optAvviso_0"_s)->isEnabled());
  QVERIFY(in(es, u"optAvviso_1"_s)->isEnabled());
  QCOMPARE(e.intOperazione, 20);
  QCOMPARE(e.intEsatte, 20);
  QCOMPARE(e.intErrate, 0);
  QVERIFY(m_p->b.messaggi.voci.isEmpty());
}

void TestPercorso::shouldRunTheWholeRoadByKeyboardOnly() {
  m_p = std::make_unique<Programma>(" 3  1 \r\n");
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  QCOMPARE(fuoco(), u"Option1_0"_s);
  tasto(Qt::Key_Return);  // "Numero"
  QCOMPARE(fuoco(), u"Option2_0"_s);
  tasto(Qt::Key_Space);
  QCOMPARE(fuoco(), u"Option2_1"_s);
  tasto(Qt::Key_1);
  QCOMPARE(fuoco(), u"Option3_0"_s);  // any key of the order group goes to "Vai"
  tasto(Qt::Key_Space);
  tasto(Qt::Key_Return);  // "Riprisitina"
  QCOMPARE(fuoco(), u"Option1_0"_s);
  QVERIFY(!in(inizio, u"Frame3"_s)->isEnabled());
  tasto(Qt::Key_Return);
  tasto(Qt::Key_Return);  // decreasing order
  QCOMPARE(in<QLabel>(inizio, u"Label2"_s)->text(), u" Simboli decrescenti   k   h  da   u"_s);
  QCOMPARE(fuoco(), u"Option3_0"_s);
  FrmOperativo *es = vai(inizio, true);
  QVERIFY(es);
  QVERIFY(inizio->isVisible());
  QCOMPARE(m_p->b.stato.famiglia.strSimbolo1, u"  k"_s);
  rispondiTutte(es, true);
  controllaFine(es);
  QCOMPARE(FileLivelli(), QByteArray(" 3  1 \r\n"));
  // What the certificate will copy from the start window.
  QCOMPARE(m_p->finestre.didascaliaInizio(u"Label2"_s), u" Simboli decrescenti   k   h  da   u"_s);
}

void TestPercorso::shouldRunTheWholeRoadByMouseOnly() {
  m_p = std::make_unique<Programma>(QByteArray());
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  QCOMPARE(FileLivelli(), QByteArray(" 1  1 \r\n"));
  QTest::mousePress(in(inizio, u"Label6_1"_s), Qt::RightButton);
  QTest::mousePress(in(inizio, u"lblCifre"_s), Qt::LeftButton);
  QCOMPARE(FileLivelli(), QByteArray(" 2  2 \r\n"));
  QCOMPARE(in<QPushButton>(inizio, u"Option2_0"_s)->text(), u"  h  da   u"_s);
  QTest::mousePress(in(inizio, u"Option1_2"_s), Qt::LeftButton);  // "Numero o simbolo"
  QTest::mousePress(in(inizio, u"Option2_2"_s), Qt::LeftButton);  // "Tutti"
  QCOMPARE(in<QLabel>(inizio, u"Label1"_s)->text(), u" Calcola il numero o il simbolo"_s);
  FrmOperativo *es = vai(inizio, false);
  QVERIFY(es);
  QCOMPARE(m_p->b.stato.impostazioni.intValoreMassimo, 19);
  QCOMPARE(m_p->b.stato.famiglia.intNumeroUnita, 3);
  rispondiTutte(es, false);
  controllaFine(es);
  // "Either" really gave both views along the way.
  QVERIFY(m_vistaSimbolo > 0 && m_vistaSimbolo < 20);
  QCOMPARE(FileLivelli(), QByteArray(" 2  2 \r\n"));
}

QTEST_MAIN(TestPercorso)
#include "test_percorso.moc"
