#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

#include "pdf.h"
#include "platform/stampanteqt.h"
#include "righeprova.h"
#include "support/cupsprivato.h"
#include "support/doppi.h"
#include "ui/certificate/frmattestato.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "ui/certificate/stampaesercizio.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

// The back end against a real, private CUPS server with a cups-pdf queue.
// The spooled job (PreserveJobFiles) is what the program sent; cups-pdf's own
// output passes through Ghostscript and is not read.
class TestCups : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase();
  void cleanupTestCase();
  void shouldListThePrivateQueueAsTheDefault();
  void shouldPrintLogAndCertificateAsCompletedJobs();
  void shouldReportAQueueThatRefusesTheJob();
  void shouldReportAPrinterThatIsGone();

 private:
  struct Mondo {
    Stato stato;
    OrologioFinto orologio;
    CasualeCopione casuale;
    MessaggiRegistrati messaggi;
    StampanteQt stampante;
    NavigazioneRegistrata nav;
    Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
  };
  std::unique_ptr<CupsPrivato> m_cups;
};

void TestCups::initTestCase() {
  if (!QFileInfo::exists(u"/usr/sbin/cupsd"_s) ||
      !QFileInfo::exists(u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s))
    QSKIP("cups o printer-driver-cups-pdf non installati (scripts/dipendenze.sh li installa)");
  // The print helper reaches the server named in CUPS_SERVER, which it inherits.
  m_cups = std::make_unique<CupsPrivato>();
  QVERIFY2(m_cups->avvia(), qPrintable(m_cups->errore()));
}

void TestCups::cleanupTestCase() {
  m_cups.reset();
}

void TestCups::shouldListThePrivateQueueAsTheDefault() {
  StampanteQt s;
  QCOMPARE(s.predefinita(), m_cups->coda());
  QCOMPARE(s.corrente(), m_cups->coda());
  QCOMPARE(s.stampanti(), (QStringList{m_cups->coda(), kSalvaComePdf}));
  QVERIFY(s.risoluzione() >= 300 && s.risoluzione() <= 600);
}

void TestCups::shouldPrintLogAndCertificateAsCompletedJobs() {
  const int prima = m_cups->lavoriCompletati();
  const int giaSpool = static_cast<int>(m_cups->documentiSpool().size());
  Mondo m;
  RiempiEsercizio(m.stato.esercizio, 20, 16);
  m.stato.esercizio.strNomeAlunno = u"pAOLO"_s;
  m.nav.didascalie[u"Label6_1"_s] = u"VORNEL"_s;

  auto *fin = new FrmStampaEsercizioTre(m.ctx);
  QTest::mouseClick(fin->findChild<PulsanteOpzione *>(u"Option1_2"_s), Qt::LeftButton);
  QVERIFY2(m.messaggi.voci.isEmpty(), qPrintable(m.messaggi.testi().join(u'\n')));
  auto *att = new FrmAttestato(m.ctx);
  QVERIFY(att->stampa());
  QVERIFY(m.messaggi.voci.isEmpty());

  // cups-pdf writes only as root: elsewhere the jobs are spooled but never complete.
  if (::geteuid() == 0) {
    QTRY_COMPARE_WITH_TIMEOUT(m_cups->lavoriCompletati(), prima + 2, 60000);
    QCOMPARE(m_cups->lavoriInCoda(), 0);
  } else {
    qInfo("non root: cups-pdf non completa i lavori, controllo solo i documenti in coda");
    QTRY_COMPARE_WITH_TIMEOUT(m_cups->documentiSpool().size(), giaSpool + 2, 60000);
  }
  const QStringList spool = m_cups->documentiSpool();
  QCOMPARE(spool.size(), giaSpool + 2);
  const QString registro = spool[giaSpool];
  const QString attestato = spool[giaSpool + 1];
  for (const QString &f : {registro, attestato}) {
    QFile file(f);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(5), QByteArray("%PDF-"));
    QCOMPARE(pdf::pagine(f), 1);
  }
  const QString testo = pdf::esegui(u"pdftotext"_s, {u"-layout"_s, registro, u"-"_s}).simplified();
  QVERIFY(testo.contains(u"SCUOLA ELEMENTARE DI"_s));
  qsizetype dove = testo.indexOf(u"Ordina i numeri in modo crescente"_s);
  QVERIFY(dove > 0);
  for (int k = 1; k <= 20; ++k) {
    const QString riga = m.stato.esercizio.strRigheEsercizio[static_cast<size_t>(k)].simplified();
    const qsizetype qui = testo.indexOf(riga, dove);
    QVERIFY2(qui > dove, qPrintable(riga));
    dove = qui;
  }
  const int dpi = m.ctx.stampante.risoluzione();
  QCOMPARE(pdf::pila(pdf::immagini(attestato), dpi), att->disegno().pixel(dpi));
  delete att;
  delete fin;
}

void TestCups::shouldReportAQueueThatRefusesTheJob() {
  int uscita = -1;
  m_cups->client(u"cupsreject"_s, {m_cups->coda()}, &uscita);
  QCOMPARE(uscita, 0);
  Mondo m;
  RiempiEsercizio(m.stato.esercizio, 10);
  auto *fin = new FrmStampaEsercizioTre(m.ctx);
  QVERIFY(Attiva(fin));
  QTest::mouseClick(fin->findChild<PulsanteOpzione *>(u"Option1_2"_s), Qt::LeftButton);
  QCOMPARE(m.messaggi.voci.size(), 1);
  QVERIFY2(m.messaggi.voci[0].testo.contains(u"ha rifiutato la stampa"_s),
           qPrintable(m.messaggi.voci[0].testo));
  QVERIFY(m.messaggi.voci[0].testo.contains(m_cups->coda()));
  QVERIFY(fin->isVisible());
  QCOMPARE(m.stato.esercizio.intOperazione, 10);

  m_cups->client(u"cupsaccept"_s, {m_cups->coda()}, &uscita);
  QCOMPARE(uscita, 0);
  const int prima = m_cups->lavoriCompletati();
  QTest::mouseClick(fin->findChild<PulsanteOpzione *>(u"Option1_2"_s), Qt::LeftButton);
  QCOMPARE(m.messaggi.voci.size(), 1);
  if (::geteuid() == 0) QTRY_COMPARE_WITH_TIMEOUT(m_cups->lavoriCompletati(), prima + 1, 60000);
  delete fin;
}

void TestCups::shouldReportAPrinterThatIsGone() {
  int uscita = -1;
  m_cups->client(u"lpadmin"_s,
                 {u"-p"_s, u"Aula"_s, u"-E"_s, u"-v"_s, u"cups-pdf:/"_s, u"-P"_s,
                  u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s},
                 &uscita);
  QCOMPARE(uscita, 0);
  Mondo m;
  QVERIFY(m.stampante.stampanti().contains(u"Aula"_s));
  QVERIFY(m.stampante.scegli(u"Aula"_s));
  m_cups->client(u"lpadmin"_s, {u"-x"_s, u"Aula"_s}, &uscita);
  QCOMPARE(uscita, 0);
  RiempiEsercizio(m.stato.esercizio, 10, 9);
  auto *att = new FrmAttestato(m.ctx);
  QVERIFY(!att->stampa());
  QCOMPARE(m.messaggi.voci.size(), 1);
  QVERIFY2(m.messaggi.voci[0].testo.contains(u"\u00ABAula\u00BB non \u00E8 disponibile"_s),
           qPrintable(m.messaggi.voci[0].testo));
  delete att;
}

QTEST_MAIN(TestCups)
#include "test_cups.moc"
