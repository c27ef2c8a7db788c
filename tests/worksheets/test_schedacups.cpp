#include "generation/famiglie.h"
#include "letturapdf.h"
#include "platform/stampanteqt.h"
#include "support/cupsprivato.h"
#include "support/doppi.h"
#include "ui/worksheets/frmstampaschedetre.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The teachers' sheet sent from the window to a real, private CUPS server with
// a cups-pdf queue. The spooled job is the document the program sent.
class TestSchedaCups : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void cleanupTestCase();
  void thirtyLineTeachersSheetReachesTheQueue();
  void refusingQueueShowsTheMessageAndTheWindowStays();

 private:
  struct Mondo {
    Stato stato;
    OrologioFinto orologio;
    CasualeSistema casuale{2026};
    MessaggiRegistrati messaggi;
    StampanteQt stampante;
    NavigazioneRegistrata nav;
    Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
    Mondo() {
      stato.livello.intLivello = 9;
      stato.livello.strNomeFile = u"vornel"_s;
      ApplicaFamiglia(stato.famiglia, 9);
    }
  };
  // Composes a sheet (either form, both orders) and prints the teachers' version.
  static void stampaDocenti(FrmStampaSchedeTre *w);
  std::unique_ptr<CupsPrivato> m_cups;
};

void TestSchedaCups::initTestCase() {
  if (!QFileInfo::exists(u"/usr/sbin/cupsd"_s) || !QFileInfo::exists(u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s))
    QSKIP("cups o printer-driver-cups-pdf non installati (scripts/dipendenze.sh li installa)");
  // Before any CUPS call of this process: the library keeps the first server it sees.
  m_cups = std::make_unique<CupsPrivato>();
  QVERIFY2(m_cups->avvia(), qPrintable(m_cups->errore()));
}

void TestSchedaCups::cleanupTestCase() { m_cups.reset(); }

void TestSchedaCups::stampaDocenti(FrmStampaSchedeTre *w) {
  for (const QString &nome : {u"Option1_2"_s, u"Option2_2"_s}) {
    auto *b = w->findChild<QPushButton *>(nome);
    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseRelease(b, Qt::LeftButton);
  }
  QTest::mouseClick(w->findChild<QPushButton *>(u"CmdVisualizzaSchedaDocenti"_s), Qt::LeftButton);
  QTest::mouseClick(w->findChild<QPushButton *>(u"CmdStampaSchedaDocenti"_s), Qt::LeftButton);
}

void TestSchedaCups::thirtyLineTeachersSheetReachesTheQueue() {
  const int giaSpool = static_cast<int>(m_cups->documentiSpool().size());
  const int prima = m_cups->lavoriCompletati();
  Mondo m;
  QCOMPARE(m.stampante.corrente(), m_cups->coda());
  auto w = std::make_unique<FrmStampaSchedeTre>(m.ctx);
  QVERIFY(Attiva(w.get()));
  stampaDocenti(w.get());
  QVERIFY2(m.messaggi.voci.isEmpty(), qPrintable(m.messaggi.testi().join(u'\n')));

  // cups-pdf writes only as root: elsewhere the job is spooled but never completes.
  if (::geteuid() == 0) QTRY_COMPARE_WITH_TIMEOUT(m_cups->lavoriCompletati(), prima + 1, 60000);
  else QTRY_COMPARE_WITH_TIMEOUT(m_cups->documentiSpool().size(), giaSpool + 1, 60000);
  const QString lavoro = m_cups->documentiSpool().value(giaSpool);
  QFile f(lavoro);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.read(5), QByteArray("%PDF-"));

  const letturapdf::Pagina p = letturapdf::Leggi(lavoro);
  QCOMPARE(p.pagine, 1);
  QCOMPARE(p.righe.size(), 35);
  for (int i = 1; i <= 30; ++i) {
    const QString attesa = m.stato.scheda.strRigheDocenti[static_cast<size_t>(i)].simplified();
    QVERIFY(attesa.contains(u"(R. "_s));
    QCOMPARE(letturapdf::Testo(p.righe[1 + i]), attesa);
  }
  QCOMPARE(letturapdf::Testo(p.righe[34]), u"Scheda per docenti stampata con vornel"_s);
  QCOMPARE(letturapdf::Testo(p.righe[33]),
           u"Livello di difficoltà: chilogrammi, ettogrammi, decagrammi, grammi — Valori di 1 cifra"_s);
}

void TestSchedaCups::refusingQueueShowsTheMessageAndTheWindowStays() {
  int uscita = -1;
  m_cups->client(u"cupsreject"_s, {m_cups->coda()}, &uscita);
  QCOMPARE(uscita, 0);
  Mondo m;
  auto w = std::make_unique<FrmStampaSchedeTre>(m.ctx);
  QVERIFY(Attiva(w.get()));
  stampaDocenti(w.get());
  QCOMPARE(m.messaggi.testi(), QStringList{u"Problema di stampa nella stampante utilizzata."_s});
  QVERIFY(w->isVisible());
  QVERIFY(m.nav.aperte.isEmpty());

  m_cups->client(u"cupsaccept"_s, {m_cups->coda()}, &uscita);
  QCOMPARE(uscita, 0);
  const int giaSpool = static_cast<int>(m_cups->documentiSpool().size());
  QTest::mouseClick(w->findChild<QPushButton *>(u"CmdStampaSchedaDocenti"_s), Qt::LeftButton);
  QCOMPARE(m.messaggi.voci.size(), 1);
  QTRY_COMPARE_WITH_TIMEOUT(m_cups->documentiSpool().size(), giaSpool + 1, 60000);
}

QTEST_MAIN(TestSchedaCups)
#include "test_schedacups.moc"
