// Reading aloud as the program does it: the speech module loaded at the first
// F5, never before, and the real engine speaking Italian through a
// speech-dispatcher of the test's own (into a null audio output).
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/doppi.h"
#include "support/voceprivata.h"
#include "ui/programma/finestre.h"

using namespace Qt::StringLiterals;

namespace {

QString g_senzaDemone;  // why the test's own speech-dispatcher can't be had

QByteArray Mappe() {
  QFile mappe(u"/proc/self/maps"_s);
  return mappe.open(QIODevice::ReadOnly) ? mappe.readAll() : QByteArray();
}
bool TextToSpeechCaricato() {
  return Mappe().contains("libQt6TextToSpeech");
}
bool MotoreDelProgrammaCaricato() {
  return Mappe().contains("texttospeech/libvornel-speechd.so");
}

struct Mondo {
  CartellaTemporanea dir;
  Stato stato;
  OrologioFinto orologio;
  CasualeSistema casuale{2112026};
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  Finestre finestre;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, finestre};
  Mondo() {
    stato.livello.strNomeFile = u"vornel"_s;
    finestre.caricaVoceAlBisogno(true);
  }
  ~Mondo() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

}  // namespace

class TestModuloVoce : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldLoadTheVoiceAtTheFirstF5AndSpeakItalian() {
    Mondo m;
    m.finestre.avvia(m.ctx);
    m.finestre.apriEsercizio();
    QTRY_VERIFY(m.finestre.esercizio() && m.finestre.esercizio()->isVisible());
    FrmOperativo *w = m.finestre.esercizio();
    QVERIFY(Attiva(w));
    // Start window and exercise window up: nothing of the speech engine yet.
    QVERIFY(!TextToSpeechCaricato());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    Voce *v = m.finestre.voce();
    QVERIFY2(v, "the speech module was not found beside the program");
    QVERIFY(TextToSpeechCaricato());
    if (!g_senzaDemone.isEmpty())
      QSKIP(qPrintable(u"no speech-dispatcher of the test's own: "_s + g_senzaDemone));
    // The program's own engine, which is ready once connected.
    QTRY_VERIFY_WITH_TIMEOUT(v->stato() != Voce::Stato::Preparazione, 30000);
    QVERIFY(MotoreDelProgrammaCaricato());
    if (v->stato() == Voce::Stato::Assente)
      QSKIP(qPrintable(u"the engine has no Italian voice here: "_s + v->perche()));
    QTRY_VERIFY_WITH_TIMEOUT(v->parla(), 10000);
    // The synthesiser's voice list, read once, is kept for the next runs.
    QFile elenco(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/voci-espeak-ng.txt"_s);
    QVERIFY2(elenco.open(QIODevice::ReadOnly), qPrintable(elenco.fileName()));
    QVERIFY(elenco.readAll().contains("\tit\t"));
    // The window closes: the voice stops.
    QVERIFY(w->close());
    QTRY_VERIFY_WITH_TIMEOUT(v->stato() == Voce::Stato::Pronta, 10000);
    // Asked again, the same voice speaks at once, the module not loaded twice.
    v->di(u"dodici ettogrammi più sette decagrammi: quanti grammi?"_s);
    QTRY_VERIFY_WITH_TIMEOUT(v->parla(), 10000);
    QCOMPARE(m.finestre.voce(), v);
    QVERIFY2(m.messaggi.voci.isEmpty(), qPrintable(m.messaggi.testi().join(u'|')));
  }
};

int main(int argc, char **argv) {
  QTemporaryDir cartella;
  g_senzaDemone = cartella.isValid() ? PreparaVocePrivata(cartella.path()) : u"no temporary folder"_s;
  QApplication app(argc, argv);
  TestModuloVoce t;
  return QTest::qExec(&t, argc, argv);
}
#include "test_modulovoce.moc"
