// Every window of the program destroyed while each kind of control it holds
// has the focus. The control's own destructor takes the focus away, and what
// watches the control (its option group, the window) must not mistake the half
// destroyed object for the control it was: run under UndefinedBehaviorSanitizer
// this aborts on the first member call through the wrong type.
#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "generation/famiglie.h"
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "ui/certificate/frmattestato.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/info/frmautore.h"
#include "ui/info/frmistruzioni.h"
#include "registro/portadocente.h"
#include "registro/registro.h"
#include "ui/livello/frmlivello.h"
#include "ui/opzioni/frmopzioni.h"
#include "ui/registro/frmalunno.h"
#include "ui/registro/frmcambiapin.h"
#include "ui/registro/frmporta.h"
#include "ui/registro/frmregistro.h"
#include "ui/start/frminizio.h"
#include "ui/worksheets/frmsceltastampante.h"
#include "ui/worksheets/frmstampaschedetre.h"

using namespace Qt::StringLiterals;

namespace {

// The register, the teacher's door and the options of the teacher's windows:
// one for the whole test, in a folder of its own. The second door has a PIN.
struct Aula {
  QTemporaryDir dir;
  Registro registro{dir.filePath(u"registro.sqlite"_s)};
  PortaDocente primaVolta{registro, {}, 1};
  Registro registroConPin{dir.filePath(u"conpin.sqlite"_s)};
  PortaDocente conPin{registroConPin, {}, 1};
  SceltaOpzioni opzioni;
  Aula() { conPin.scegliPin(u"2468"_s); }
};
std::unique_ptr<Aula> g_aula;  // gone before the application, with its databases
Aula &LAula() {
  if (!g_aula) g_aula = std::make_unique<Aula>();
  return *g_aula;
}

// Builds the window; and, when a control shows only after a command, the
// presses that bring it on screen.
struct Fabbrica {
  std::function<QWidget *(Contesto &)> crea;
  QStringList premere;
};

const std::map<QString, Fabbrica> &Fabbriche() {
  static const std::map<QString, Fabbrica> f{
      {u"frmInizio"_s, {[](Contesto &c) { return new frmInizio(c); }, {}}},
      {u"FrmOperativo"_s, {[](Contesto &c) { return new FrmOperativo(c); }, {}}},
      // "SCRIVI IL NOME" shows the name box.
      {u"FrmStampaEsercizioTre"_s,
       {[](Contesto &c) { return new FrmStampaEsercizioTre(c); }, {u"Option1_1"_s}}},
      {u"FrmAttestato"_s, {[](Contesto &c) { return new FrmAttestato(c); }, {}}},
      // "VISUALIZZA SCHEDA" shows its print button.
      {u"FrmStampaSchedeTre"_s,
       {[](Contesto &c) { return new FrmStampaSchedeTre(c); }, {u"CmdVisualizzaSchedaAlunni"_s}}},
      {u"frmSceltaStampante"_s, {[](Contesto &c) { return new frmSceltaStampante(c); }, {}}},
      {u"frmAutore"_s, {[](Contesto &) { return new frmAutore(nullptr); }, {}}},
      {u"frmLivello"_s, {[](Contesto &c) { return new FrmLivello(c.stato.livello.intLivello, 1); }, {}}},
      {u"frmIstruzioni"_s, {[](Contesto &) { return new frmIstruzioni(nullptr); }, {}}},
      {u"FrmAlunno"_s, {[](Contesto &) { return new FrmAlunno(LAula().registro, AlunnoScelto{}); }, {}}},
      // The door at its first opening (a PIN to choose) and once it has one.
      {u"FrmPorta, first opening"_s, {[](Contesto &) { return new FrmPorta(LAula().primaVolta); }, {}}},
      {u"FrmPorta"_s, {[](Contesto &) { return new FrmPorta(LAula().conPin); }, {}}},
      {u"FrmRegistro"_s, {[](Contesto &c) { return new FrmRegistro(LAula().registro, c); }, {}}},
      {u"FrmCambiaPin"_s, {[](Contesto &) { return new FrmCambiaPin(LAula().conPin); }, {}}},
      {u"frmOpzioni"_s, {[](Contesto &) { return new FrmOpzioni(LAula().opzioni); }, {}}},
  };
  return f;
}

// The controls of the window that can take the focus now, one of each class.
std::map<QString, QString> UnoPerTipo(QWidget *finestra) {
  std::map<QString, QString> tipi;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    // A control that hands its focus to another (a tab widget to its tab bar) is
    // covered by that one.
    if (w->objectName().isEmpty() || !w->isVisible() || !w->isEnabled() || w->focusPolicy() == Qt::NoFocus ||
        w->focusProxy())
      continue;
    tipi.emplace(QString::fromLatin1(w->metaObject()->className()), w->objectName());
  }
  return tipi;
}

}  // namespace

class TestDistruzione : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanupTestCase() { g_aula.reset(); }
  void shouldDestroyTheWindowWhateverHasTheFocus_data();
  void shouldDestroyTheWindowWhateverHasTheFocus();
  void shouldDestroyTheWindowsTogetherWithTheirOwner();
  void shouldKeepTheCertificateWhileItDrawsWhateverIsClosed_data();
  void shouldKeepTheCertificateWhileItDrawsWhateverIsClosed();
  void shouldEndAPrintoutQuietlyWhenItsWindowIsDeletedMeanwhile_data();
  void shouldEndAPrintoutQuietlyWhenItsWindowIsDeletedMeanwhile();

 private:
  // A window as the program shows it, active, after its preparing presses.
  QWidget *apri(Banco &b, const QString &finestra);
};

QWidget *TestDistruzione::apri(Banco &b, const QString &finestra) {
  ApplicaFamiglia(b.stato.famiglia, 1);
  b.stato.esercizio.intOperazione = 12;
  b.stato.esercizio.intEsatte = 9;
  const Fabbrica &f = Fabbriche().at(finestra);
  QWidget *w = f.crea(b.ctx);
  if (!Attiva(w)) return w;
  for (const QString &nome : f.premere) {
    auto *p = w->findChild<QPushButton *>(nome);
    if (p) QTest::mousePress(p, Qt::LeftButton);
    if (p) QTest::mouseRelease(p, Qt::LeftButton);
  }
  return w;
}

// One row per window and kind of control, found in the windows themselves: a
// control added later is covered without touching this list.
void TestDistruzione::shouldDestroyTheWindowWhateverHasTheFocus_data() {
  QTest::addColumn<QString>("finestra");
  QTest::addColumn<QString>("controllo");
  for (const auto &[nome, fabbrica] : Fabbriche()) {
    CartellaTemporanea dir;
    Banco b;
    QWidget *w = apri(b, nome);
    const auto tipi = UnoPerTipo(w);
    delete w;
    for (const auto &[tipo, controllo] : tipi)
      QTest::addRow("%s, %s %s", qPrintable(nome), qPrintable(tipo), qPrintable(controllo))
          << nome << controllo;
  }
}

void TestDistruzione::shouldDestroyTheWindowWhateverHasTheFocus() {
  QFETCH(QString, finestra);
  QFETCH(QString, controllo);
  CartellaTemporanea dir;
  Banco b;
  QPointer<QWidget> w = apri(b, finestra);
  QVERIFY(QTest::qWaitForWindowActive(w));
  QPointer<QWidget> c = w->findChild<QWidget *>(controllo);
  QVERIFY(c);
  c->setFocus(Qt::TabFocusReason);
  QCOMPARE(QApplication::focusWidget(), c.data());
  // Under X11 the window server tells of a change of focus some turns of the
  // loop later: a window closed by one of its commands may be told it is
  // active again before it is deleted, and a control of it takes the focus
  // (the start window gives it to its first button on every activation).
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->close();
  QApplication::setActiveWindow(w);
  c->setFocus(Qt::OtherFocusReason);
  QCOMPARE(QApplication::focusWidget(), c.data());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!w);
  QVERIFY(!c);
  QVERIFY(!QApplication::focusWidget());
}

// Closing the start window takes every window opened over it along, each
// with a control of its own holding that window's focus.
void TestDistruzione::shouldDestroyTheWindowsTogetherWithTheirOwner() {
  CartellaTemporanea dir;
  Banco b;
  ApplicaFamiglia(b.stato.famiglia, 1);
  b.stato.esercizio.intOperazione = 12;
  QPointer<frmInizio> inizio = new frmInizio(b.ctx);
  QVERIFY(Attiva(inizio));
  QList<QPointer<QWidget>> figlie;
  for (const QString &nome : {u"FrmOperativo"_s, u"FrmStampaEsercizioTre"_s, u"FrmStampaSchedeTre"_s}) {
    QWidget *w = Fabbriche().at(nome).crea(b.ctx);
    w->setParent(inizio, w->windowFlags());
    QVERIFY(Attiva(w));
    auto *opzione = w->findChild<PulsanteOpzione *>();
    QVERIFY(opzione);
    opzione->setFocus(Qt::TabFocusReason);
    figlie << w;
  }
  QVERIFY(Attiva(inizio));
  inizio->close();
  QApplication::setActiveWindow(inizio);
  QVERIFY(QApplication::focusWidget() && inizio->isAncestorOf(QApplication::focusWidget()));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!inizio);
  for (const auto &w : std::as_const(figlie)) QVERIFY(!w);
}

// The certificate draws itself row by row and lets events through between
// rows; whatever they close meanwhile, the window at work is not deleted from
// under the drawing: what was asked to close closes when the drawing ends.
void TestDistruzione::shouldKeepTheCertificateWhileItDrawsWhateverIsClosed_data() {
  QTest::addColumn<QString>("cosa");
  QTest::addColumn<bool>("restaAperto");
  QTest::newRow("the end-of-exercise window closed") << u"stampa"_s << true;
  QTest::newRow("the start window closed") << u"inizio"_s << false;
  QTest::newRow("Esci") << u"esci"_s << false;
  QTest::newRow("ATTESTATO pressed again") << u"attestato"_s << true;
  // Its ESCI pressed just before ATTESTATO, both waiting in the queue.
  QTest::newRow("the end-of-exercise window closed just before") << u"esciPrima"_s << true;
}

void TestDistruzione::shouldKeepTheCertificateWhileItDrawsWhateverIsClosed() {
  QFETCH(QString, cosa);
  QFETCH(bool, restaAperto);
  ProgrammaDiProva p;
  p.b.stato.esercizio.intOperazione = 12;
  p.b.stato.esercizio.intEsatte = 9;
  QPointer<frmInizio> inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  p.finestre.apriStampaEsercizio();
  QPointer<FrmStampaEsercizioTre> stampa = p.finestre.stampaEsercizio();
  QVERIFY(stampa);
  QTRY_VERIFY(stampa->isVisible());  // a few turns of the loop later
  QVERIFY(QTest::qWaitForWindowActive(stampa));

  bool durante = false;
  QTimer::singleShot(0, this, [&] {
    for (QWidget *w : QApplication::topLevelWidgets())
      if (auto *a = qobject_cast<FrmAttestato *>(w); a && a->occupata()) durante = true;
    if (cosa == u"stampa"_s)
      stampa->close();
    else if (cosa == u"inizio"_s)
      inizio->close();
    else if (cosa == u"esci"_s)
      p.finestre.chiudiTutto();
    else if (cosa == u"attestato"_s)
      QTest::mousePress(stampa->findChild<PulsanteOpzione *>(u"Option1_3"_s), Qt::LeftButton);
  });
  if (cosa == u"esciPrima"_s) {
    // Pressed from within the handling of an event, as the queue delivers it.
    QTest::mousePress(stampa->findChild<PulsanteOpzione *>(u"Option1_0"_s), Qt::LeftButton);
    QVERIFY(stampa && !stampa->isVisible());
  }
  p.finestre.apriAttestato();
  QVERIFY2(durante, "the close came after the drawing");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  int attestati = 0;
  for (QWidget *w : QApplication::topLevelWidgets())
    if (auto *a = qobject_cast<FrmAttestato *>(w); a && a->isVisible()) {
      ++attestati;
      QVERIFY(a->disegno().finito());
    }
  QCOMPARE(attestati, cosa == u"attestato"_s ? 1 : 0);
  QCOMPARE(!stampa.isNull(), cosa == u"attestato"_s);
  QCOMPARE(!inizio.isNull(), restaAperto);
}

// Whatever owns a window may delete it outright while its printout lets the
// events run between steps: the printout ends there, nothing of the window is
// touched after it, and no half document is left open on the printer.
void TestDistruzione::shouldEndAPrintoutQuietlyWhenItsWindowIsDeletedMeanwhile_data() {
  QTest::addColumn<QString>("finestra");
  QTest::addColumn<QString>("pulsante");
  QTest::addRow("worksheet") << u"FrmStampaSchedeTre"_s << u"CmdStampaSchedaAlunni"_s;
  QTest::addRow("certificate") << u"FrmAttestato"_s << u"Option5_0"_s;
}

void TestDistruzione::shouldEndAPrintoutQuietlyWhenItsWindowIsDeletedMeanwhile() {
  QFETCH(QString, finestra);
  QFETCH(QString, pulsante);
  CartellaTemporanea dir;
  Banco b;
  QPointer<QWidget> w = apri(b, finestra);
  QVERIFY(w);
  QTRY_VERIFY(!qobject_cast<Finestra *>(w.data())->occupata());  // the certificate has drawn itself
  if (finestra == u"FrmStampaSchedeTre"_s) {
    // A sheet chosen and looked at: its print button shows.
    for (const QString &scelta : {u"Option1_0"_s, u"Option2_0"_s})
      QTest::mousePress(w->findChild<QWidget *>(scelta), Qt::LeftButton);
    w->findChild<QWidget *>(u"CmdVisualizzaSchedaAlunni"_s)->setFocus(Qt::TabFocusReason);
  }
  auto *p = w->findChild<QAbstractButton *>(pulsante);
  QVERIFY(p && p->isEnabled());
  bool durante = false;
  QTimer::singleShot(0, this, [&] {
    durante = w && qobject_cast<Finestra *>(w.data())->occupata();
    delete w.data();
  });
  p->click();
  QVERIFY2(durante, "the window was deleted after its printout");
  QVERIFY(w.isNull());
  // Either the document ended whole or it was given up: none is left open.
  QVERIFY(b.stampante.inCorso.righe.isEmpty() && b.stampante.inCorso.immagini.isEmpty());
}

QTEST_MAIN(TestDistruzione)
#include "test_distruzione.moc"
