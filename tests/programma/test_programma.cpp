// The whole program through the keyboard alone, over the real windows and the
// real PDF printer: start window -> exercise -> end-of-exercise window ->
// certificate -> back; start window -> worksheets -> preview -> print to PDF.
// Every control a pupil uses must tell a screen reader what it is.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "platform/codecups.h"
#include "platform/stampanteqt.h"
#include "support/doppi.h"
#include "ui/programma/finestre.h"
#include "ui/programma/programma.h"

using namespace Qt::StringLiterals;

namespace {

struct Mondo {
  CartellaTemporanea dir;
  Stato stato;
  OrologioFinto orologio;
  CasualeSistema casuale{8122026};
  MessaggiRegistrati messaggi;
  StampanteQt stampante;
  Finestre finestre;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, finestre};
  QStringList pdf;
  Mondo() {
    stato.livello.strNomeFile = u"vornel"_s;
    stampante.scegli(kSalvaComePdf);
    stampante.impostaSceltaFilePdf([this](const QString &) {
      pdf << dir.percorso() + u"/stampa-%1.pdf"_s.arg(pdf.size() + 1);
      return pdf.back();
    });
  }
  ~Mondo() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

QWidget *Fuoco() {
  return QApplication::focusWidget();
}
QString NomeFuoco() {
  return Fuoco() ? Fuoco()->objectName() : QString();
}

void Tasto(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
  QWidget *f = Fuoco();
  QVERIFY2(f, "nothing has the keyboard");
  QTest::keyClick(f, static_cast<Qt::Key>(k), m);
}

bool AttivaDavvero(QWidget *w) {
  return w && QTest::qWaitFor(
                  [w] { return QApplication::activeWindow() == w && Fuoco() && Fuoco()->window() == w; });
}

// Controls without a name for a screen reader: visible buttons, and labels
// showing text.
QStringList SenzaNome(QWidget *finestra) {
  QStringList muti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(finestra)) continue;
    const auto *l = qobject_cast<QLabel *>(w);
    if (!qobject_cast<QAbstractButton *>(w) && !(l && !l->text().trimmed().isEmpty())) continue;
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) muti << w->objectName();
  }
  return muti;
}

}  // namespace

class TestProgramma : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { ImpostaApplicazione(); }  // the style and colours main sets
  void cleanup() { m_m.reset(); }
  void shouldShowTheCaptionsAsTheyStand();
  void shouldStartWithNeitherTheRegisterNorTheVoiceLoaded();
  void shouldLeaveTheStartWindowUnpaintedWhenTheExerciseComesInFront();
  void shouldWalkFromStartToCertificateAndBackByKeyboard();
  void shouldComposeAndPrintAWorksheetByKeyboard();
  void shouldPrintWithNoPrintSystemInTheProcess();
  void shouldDrawEveryWindowWithNoImagePluginAndOneMonospacedFace();

 private:
  std::unique_ptr<Mondo> m_m;
};

// An application display name is appended by the X11 and Wayland back ends to
// every window title that does not end with it ("SISTEMA DECIMALE: vornel —
// Vornel"); without one, each window's caption reaches the title bar as it stands.
void TestProgramma::shouldShowTheCaptionsAsTheyStand() {
  QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
}

// The widgets of a window that received a paint event.
class Dipinti : public QObject {
 public:
  explicit Dipinti(QWidget *finestra) {
    for (QWidget *w : finestra->findChildren<QWidget *>()) w->installEventFilter(this);
  }
  QSet<QWidget *> widget;
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Paint) widget.insert(static_cast<QWidget *>(o));
    return false;
  }
};

// A window that loses the focus to another one looks just the same, so only
// the button that had the focus (and what lies under it) is drawn again.
void TestProgramma::shouldLeaveTheStartWindowUnpaintedWhenTheExerciseComesInFront() {
  m_m = std::make_unique<Mondo>();
  frmInizio *inizio = m_m->finestre.avvia(m_m->ctx);
  QVERIFY(AttivaDavvero(inizio));
  QTRY_VERIFY(!inizio->tendina().inMoto());
  Tasto(Qt::Key_1);
  Tasto(Qt::Key_Return);
  Tasto(Qt::Key_Return);
  QWidget *vai = Fuoco();
  QCOMPARE(NomeFuoco(), u"Option3_0"_s);
  QTest::qWait(50);
  Dipinti dipinti(inizio);
  Tasto(Qt::Key_Return);
  QVERIFY(AttivaDavvero(m_m->finestre.esercizio()));
  QTest::qWait(100);
  QStringList altri;
  for (QWidget *w : std::as_const(dipinti.widget))
    if (w != vai && !w->isAncestorOf(vai)) altri << w->objectName();
  QVERIFY2(altri.isEmpty(), qPrintable(altri.join(u", "_s)));
}

void TestProgramma::shouldWalkFromStartToCertificateAndBackByKeyboard() {
  m_m = std::make_unique<Mondo>();
  frmInizio *inizio = m_m->finestre.avvia(m_m->ctx);
  QVERIFY(AttivaDavvero(inizio));
  QCOMPARE(SenzaNome(inizio), QStringList());
  Tasto(Qt::Key_1);
  Tasto(Qt::Key_Return);  // "Numero"
  Tasto(Qt::Key_Return);  // decreasing order, then "Vai" has the focus
  QCOMPARE(NomeFuoco(), u"Option3_0"_s);
  Tasto(Qt::Key_Return);
  QWidget *es = m_m->finestre.esercizio();
  QVERIFY(AttivaDavvero(es));
  QCOMPARE(SenzaNome(es), QStringList());

  for (int i = 1; i <= 20; ++i) {
    const QString cifre = QString(m_m->stato.operazione.strRisultato).remove(u'.');
    for (QChar c : cifre) Tasto(c == u',' ? Qt::Key_Comma : Qt::Key_0 + c.digitValue());
    Tasto(Qt::Key_V);
    Tasto(Qt::Key_Return);
    QVERIFY2(m_m->stato.esercizio.intEsatte == i,
             qPrintable(m_m->stato.operazione.strRisultato + u" / "_s + m_m->stato.esercizio.strRisposta));
    if (i < 20) Tasto(Qt::Key_N), Tasto(Qt::Key_Return);
  }
  QVERIFY(es->findChild<QWidget *>(u"fraAvviso"_s)->isEnabled());

  // "Stampa" of the end frame opens the end-of-exercise window.
  QCOMPARE(NomeFuoco(), u"optAvviso_0"_s);
  Tasto(Qt::Key_Return);
  QWidget *stampa = m_m->finestre.stampaEsercizio();
  QVERIFY(AttivaDavvero(stampa));
  QCOMPARE(SenzaNome(stampa), QStringList());
  QCOMPARE(stampa->findChild<QLabel *>(u"LblOp_20"_s)->text(), m_m->stato.esercizio.strRigheEsercizio[20]);

  // The name, then the log printed to PDF.
  Tasto(Qt::Key_2);
  Tasto(Qt::Key_Return);
  QCOMPARE(NomeFuoco(), u"txtNome"_s);
  QTest::keyClicks(Fuoco(), u"lUCA"_s);
  Tasto(Qt::Key_Tab);
  QCOMPARE(NomeFuoco(), u"cmdAvanti"_s);
  Tasto(Qt::Key_Space);
  QCOMPARE(m_m->stato.esercizio.strNomeAlunno, u"lUCA"_s);
  QCOMPARE(NomeFuoco(), u"Option1_2"_s);
  Tasto(Qt::Key_Return);
  QTRY_COMPARE(m_m->pdf.size(), 1);
  QVERIFY(QFile::exists(m_m->pdf[0]));

  // The certificate, and back.
  Tasto(Qt::Key_4);
  Tasto(Qt::Key_Return);
  QWidget *attestato = m_m->finestre.attestato();
  QVERIFY(AttivaDavvero(attestato));
  QCOMPARE(SenzaNome(attestato), QStringList());
  QCOMPARE(m_m->stato.esercizio.strNomeAlunno, u"Luca"_s);
  QCOMPARE(m_m->stato.esercizio.strValutazione, u"OTTIMO"_s);
  Tasto(Qt::Key_2);
  Tasto(Qt::Key_Return);  // "TORNA ALLA FINESTRA PRECEDENTE"
  QTRY_VERIFY(!m_m->finestre.attestato());
  QVERIFY(stampa->isVisible());
  QVERIFY(m_m->messaggi.voci.isEmpty());
}

void TestProgramma::shouldComposeAndPrintAWorksheetByKeyboard() {
  m_m = std::make_unique<Mondo>();
  frmInizio *inizio = m_m->finestre.avvia(m_m->ctx);
  QVERIFY(AttivaDavvero(inizio));
  Tasto(Qt::Key_Return);
  Tasto(Qt::Key_Return);
  Tasto(Qt::Key_S, Qt::AltModifier);  // the menu "Stampa schede"
  QWidget *schede = m_m->finestre.schede();
  QVERIFY(AttivaDavvero(schede));
  QCOMPARE(NomeFuoco(), u"Option1_0"_s);
  Tasto(Qt::Key_Return);  // "CALCOLA IL NUMERO"
  QCOMPARE(NomeFuoco(), u"Option2_0"_s);
  Tasto(Qt::Key_Return);  // decreasing: thirty lines
  QCOMPARE(SenzaNome(schede), QStringList());

  // Tab to the teachers' preview, look at it, then Tab to its print button.
  auto tabFino = [](const QString &nome) {
    for (int i = 0; i < 40 && NomeFuoco() != nome; ++i) Tasto(Qt::Key_Tab);
    return NomeFuoco() == nome;
  };
  QVERIFY(tabFino(u"CmdVisualizzaSchedaDocenti"_s));
  Tasto(Qt::Key_Space);
  QVERIFY(schede->findChild<QLabel *>(u"LblOp_30"_s)->text().contains(u"(R. "_s));
  QVERIFY(tabFino(u"CmdStampaSchedaDocenti"_s));
  Tasto(Qt::Key_Space);
  QTRY_COMPARE(m_m->pdf.size(), 1);

  const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
  if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  QProcess p;
  p.start(pdftotext, {u"-layout"_s, m_m->pdf[0], u"-"_s});
  QVERIFY(p.waitForFinished(30000));
  const QString testo = QString::fromUtf8(p.readAllStandardOutput());
  QVERIFY(testo.contains(u"Nome e cognome"_s));
  QCOMPARE(testo.count(u"(R. "_s), 30);
  QVERIFY(testo.contains(u"Scheda per docenti stampata con vornel"_s));
  QVERIFY(m_m->messaggi.voci.isEmpty());
}

// The libraries mapped into this process whose file name contains one of the parts.
static QStringList LibrerieCaricate(const QStringList &parti) {
  QFile f(u"/proc/self/maps"_s);
  if (!f.open(QIODevice::ReadOnly)) return {u"/proc/self/maps illeggibile"_s};
  QStringList trovate;
  for (const QByteArray &riga : f.readAll().split('\n')) {
    const QString percorso = QString::fromUtf8(riga.mid(riga.indexOf('/')));
    for (const QString &parte : parti)
      if (riga.contains('/') && percorso.contains(parte) && !trovate.contains(percorso)) trovate << percorso;
  }
  return trovate;
}

// The register and the voice are modules of the program, loaded at their first
// use: with the start window up, nothing of Qt SQL, Qt Network (the teacher's
// door), Qt TextToSpeech or speech-dispatcher is in the process. Runs first,
// before any other test of this process opens an exercise.
void TestProgramma::shouldStartWithNeitherTheRegisterNorTheVoiceLoaded() {
  const QStringList moduli = {u"libQt6Sql"_s,  u"libQt6Network"_s,      u"libQt6TextToSpeech"_s,
                              u"libspeechd"_s, u"libvornel-registro"_s, u"libvornel-voce"_s};
  CartellaTemporanea dir;
  Programma p(u"vornel"_s);
  p.avvia();
  QVERIFY(AttivaDavvero(p.finestre.inizio()));
  QVERIFY(QTest::qWaitForWindowExposed(p.finestre.inizio()));
  const QStringList caricate = LibrerieCaricate(moduli);
  QVERIFY2(caricate.isEmpty(), qPrintable(caricate.join(u", "_s)));
  // Asked for, the register comes with Qt SQL.
  QVERIFY(p.finestre.quaderno());
  QVERIFY(!LibrerieCaricate({u"libQt6Sql"_s}).isEmpty());
  // but not with Qt Network: the door's digest is QtCore's.
  const QStringList rete = LibrerieCaricate({u"libQt6Network"_s});
  QVERIFY2(rete.isEmpty(), qPrintable(rete.join(u", "_s)));
  p.finestre.chiudiTutto();
}

void TestProgramma::shouldPrintWithNoPrintSystemInTheProcess() {
  CartellaTemporanea dir;
  Programma p(u"vornel"_s);
  p.avvia();
  QVERIFY(AttivaDavvero(p.finestre.inizio()));
  // Asking for the queues runs the helper, whatever the print service answers.
  QVERIFY(!CodeCups::Programma().isEmpty());
  QVERIFY(p.stampante.stampanti().endsWith(kSalvaComePdf));
  const QString pdf = dir.percorso() + u"/prova.pdf"_s;
  p.stampante.impostaSceltaFilePdf([pdf](const QString &) { return pdf; });
  QVERIFY(p.stampante.scegli(kSalvaComePdf));
  p.stampante.impostaFont(u"Courier New"_s);
  p.stampante.impostaX(1000);
  p.stampante.impostaY(1000);
  p.stampante.stampaRiga(u"prova"_s);
  QVERIFY2(p.stampante.fineDocumento(), qPrintable(p.stampante.errore()));
  QVERIFY(QFile::exists(pdf));
  const QStringList caricate = LibrerieCaricate({u"libcups"_s, u"PrintSupport"_s, u"libgnutls"_s});
  QVERIFY2(caricate.isEmpty(), qPrintable(caricate.join(u", "_s)));
  p.finestre.chiudiTutto();
}

// The style's frames and chevrons are drawn, not read from image files (the
// first image read would load every image format's plugin for good), and
// "Courier" and "Courier New" share one face.
void TestProgramma::shouldDrawEveryWindowWithNoImagePluginAndOneMonospacedFace() {
  m_m = std::make_unique<Mondo>();
  Finestre &f = m_m->finestre;
  frmInizio *inizio = f.avvia(m_m->ctx);
  QVERIFY(AttivaDavvero(inizio));
  f.apriEsercizio();
  f.apriStampaEsercizio();
  f.apriAttestato();
  f.apriSchede();
  f.apriSceltaStampante();
  for (QWidget *w : {static_cast<QWidget *>(inizio), static_cast<QWidget *>(f.esercizio()),
                     static_cast<QWidget *>(f.stampaEsercizio()), static_cast<QWidget *>(f.attestato()),
                     static_cast<QWidget *>(f.schede()), static_cast<QWidget *>(f.sceltaStampante())}) {
    QVERIFY(w);
    QVERIFY2(!w->grab().isNull(), qPrintable(w->objectName()));
  }
  const QStringList caricate = LibrerieCaricate({u"imageformats"_s});
  QVERIFY2(caricate.isEmpty(), qPrintable(caricate.join(u", "_s)));
  const QFontInfo courier{QFont(u"Courier"_s)}, courierNew{QFont(u"Courier New"_s)};
  QVERIFY(courierNew.fixedPitch());
  QCOMPARE(courier.family(), courierNew.family());
  f.chiudiTutto();
}

QTEST_MAIN(TestProgramma)
#include "test_programma.moc"
