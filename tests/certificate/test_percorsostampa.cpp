#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "righeprova.h"
#include "support/doppi.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/programma/finestre.h"

using namespace Qt::StringLiterals;

// From the end of an exercise to the certificate through the program's own
// windows: the start window's captions reach the certificate, going back
// leaves the end-of-exercise window, and "FINE SESSIONE" ends the program.
class TestPercorsoStampa : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldGoFromTheLogToTheCertificateAndEnd();
};

void TestPercorsoStampa::shouldGoFromTheLogToTheCertificateAndEnd() {
  CartellaTemporanea cartella;
  Banco b;
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, b.casuale, b.messaggi, b.stampante, finestre};
  QSignalSpy fine(&finestre, &Finestre::fine);
  QVERIFY(finestre.avvia(ctx));
  // The start window clears its choices each time it becomes active.
  QVERIFY(QTest::qWaitForWindowActive(finestre.inizio()));
  auto *ordine = finestre.inizio()->findChild<QLabel *>(u"Label2"_s);
  QVERIFY(ordine);
  ordine->setText(u" Simboli decrescenti h da u"_s);
  const QString titolo = finestre.inizio()->findChild<QLabel *>(u"Label6_1"_s)->text();
  QCOMPARE(titolo, u"VORNEL"_s);

  RiempiEsercizio(b.stato.esercizio, 20, 18);
  b.stato.esercizio.strNomeAlunno = u"aNNA"_s;
  finestre.apriStampaEsercizio();
  auto *fin = finestre.stampaEsercizio();
  QVERIFY(fin);
  QTRY_VERIFY(fin->isVisible());  // a turn or two of the loop later
  fin->findChild<QAction *>(u"mnuScegli"_s)->trigger();
  QVERIFY(finestre.sceltaStampante());
  finestre.sceltaStampante()->close();

  QTest::mousePress(fin->findChild<PulsanteOpzione *>(u"Option1_3"_s), Qt::LeftButton);
  QPointer<FrmAttestato> att = finestre.attestato();
  QVERIFY(att && att->isVisible());
  QCOMPARE(att->disegno().righe().at(8).testo, u"Anna"_s);
  QCOMPARE(att->disegno().righe().at(12).testo, titolo);
  QCOMPARE(att->disegno().righe().at(14).testo, u" Simboli decrescenti h da u"_s);
  QCOMPARE(att->disegno().righe().at(18).testo, u"OTTIMO"_s);

  QTest::mousePress(att->findChild<PulsanteOpzione *>(u"Option5_1"_s), Qt::LeftButton);
  QTRY_VERIFY(!att);
  QVERIFY(fin->isVisible());
  QCOMPARE(fine.count(), 0);

  // Opened again after two more wrong answers: drawn afresh with the new counts.
  b.stato.esercizio.intOperazione = 22;
  QTest::mousePress(fin->findChild<PulsanteOpzione *>(u"Option1_3"_s), Qt::LeftButton);
  att = finestre.attestato();
  QVERIFY(att);
  QCOMPARE(att->disegno().righe().at(20).testo, u"con 18 risposte esatte su 22 richieste"_s);
  QCOMPARE(att->disegno().righe().at(18).testo, u"DISTINTO"_s);

  QTest::mousePress(att->findChild<PulsanteOpzione *>(u"Option5_2"_s), Qt::LeftButton);
  QCOMPARE(fine.count(), 1);
  QTRY_VERIFY(!finestre.inizio() || !finestre.inizio()->isVisible());
  QVERIFY(!finestre.stampaEsercizio() || !finestre.stampaEsercizio()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestPercorsoStampa)
#include "test_percorsostampa.moc"
