// A pupil's plan and the teacher's door through the real windows: the teacher
// sets a pupil's plan behind the PIN, the plan holds when that pupil picks
// their name and gives way to the machine's options for the next one; the
// options refused without the PIN; the door remembered for a short while; the
// PIN changed from the register window.
#include <QAction>
#include <QDir>
#include <QRegularExpression>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "registro/piani.h"
#include "registro/portadocente.h"
#include "support/doppi.h"
#include "support/porta.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/opzioni/frmopzioni.h"
#include "ui/programma/finestre.h"
#include "ui/registro/frmregistro.h"
#include "ui/registro/quadernoregistro.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPin = u"2468"_s;
const QStringList kTempi = {u"Label5_4"_s, u"Label5_5"_s, u"LblTempoOperazione"_s, u"LblTempoTotale"_s};

template <typename W = QWidget>
W *In(QWidget *finestra, const QString &nome) {
  W *w = finestra ? finestra->findChild<W *>(nome) : nullptr;
  if (!w) qWarning("no control %s", qPrintable(nome));
  return w;
}

// Runs `fai` on the modal window the next action opens, once it is up.
void QuandoModale(std::function<void(QWidget *)> fai) {
  auto *timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, fai] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    fai(m);
  });
  timer->start();
}

// The program's windows over a real register in a folder of their own, the
// machine's options in memory, the door on a clock the test moves.
struct Mondo {
  CartellaTemporanea dir;
  Banco b;
  CasualeSistema casuale{20261209};
  PreferenzeFinte preferenze;
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, finestre};
  qint64 adesso = 1'800'000'000'000;
  QuadernoRegistro *quaderno = nullptr;
  qint64 classe = 0, zoe = 0, damico = 0;
  frmInizio *inizio = nullptr;

  explicit Mondo(bool conPin = true) {
    b.stato.livello.strNomeFile = u"vornel"_s;
    b.stato.livello.intLivello = 3;
    finestre.impostaPreferenze(&preferenze);
    quaderno = RegistroConPorta(finestre, dir.percorso(), [this] { return adesso; });
    Registro &r = quaderno->registro();
    classe = r.nuovaClasse(u"3ª A"_s).id;
    damico = r.nuovoAlunno(classe, u"D'Amico"_s).id;
    zoe = r.nuovoAlunno(classe, u"Zoë"_s).id;
    if (conPin) (void)PortaDocente(r, {}, kIterazioniPorta).scegliPin(kPin);
  }
  ~Mondo() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete finestre.inizio();
  }
  bool avvia() {
    inizio = finestre.avvia(ctx);
    return Attiva(inizio);
  }
  // "Alunno": the pupil picks their own name (no PIN).
  void scegli(const QString &nome) {
    QuandoModale([nome](QWidget *f) {
      auto *lista = In<QListWidget>(f, u"lstAlunni"_s);
      const auto voci = lista->findItems(nome, Qt::MatchExactly);
      if (voci.size() == 1) lista->setCurrentItem(voci.first());
      QTest::mouseClick(In<QPushButton>(f, u"cmdScegli"_s), Qt::LeftButton);
    });
    In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  }
  // "Opzioni", the teacher typing the PIN at the door when it asks.
  FrmOpzioni *opzioni(int *porte = nullptr) {
    {
      AllaPorta porta(kPin);
      In<QAction>(inizio, u"mnuOpzioni"_s)->trigger();
      if (porte) *porte += porta.porte();
    }
    if (!QTest::qWaitFor([this] { return finestre.opzioni() && finestre.opzioni()->isVisible(); })) return nullptr;
    return finestre.opzioni();
  }
  // "Vai" with the start window's first choices.
  FrmOperativo *vai() {
    for (const QString &n : {u"Option1_0"_s, u"Option2_0"_s, u"Option3_0"_s})
      QTest::mousePress(In(inizio, n), Qt::LeftButton);
    if (!QTest::qWaitFor([this] { return finestre.esercizio() && finestre.esercizio()->isVisible(); })) return nullptr;
    return finestre.esercizio();
  }
};

bool TempiVisibili(FrmOperativo *e) {
  int visibili = 0;
  for (const QString &n : kTempi) visibili += In<QLabel>(e, n)->isVisible() ? 1 : 0;
  if (visibili != 0 && visibili != kTempi.size()) qWarning("only %d of the times shown", visibili);
  return visibili == kTempi.size();
}

bool TabellaVisibile(FrmOperativo *e) {
  auto *t = e->findChild<VistaTabellaUnita *>(u"tabellaAMano"_s);
  return t && t->isVisible();
}

}  // namespace

class TestPianoAlunno : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  void shouldHoldThePupilsPlanForThatPupilAndTheMachinesForTheNext();
  void shouldKeepTheOptionsBehindTheDoor();
  void shouldRefuseTheOptionsWhenTheRegisterCantBeUsed();
  void shouldRememberTheDoorForAWhileAndForgetItWhenAnExerciseStarts();
  void shouldGoBackToTheMachinesOptionsWhenThePlanIsDropped();
  void shouldTellAPlanThatCouldNotBeKeptAndStillHoldIt();
  void shouldReadAStrangePlanAsEverythingOffWithoutAWord();
  void shouldChangeThePinFromTheRegisterWindow_data();
  void shouldChangeThePinFromTheRegisterWindow();
};

void TestPianoAlunno::shouldHoldThePupilsPlanForThatPupilAndTheMachinesForTheNext() {
  Mondo m(false);  // the first opening: the teacher chooses the PIN at the door
  m.b.stato.opzioni.macchina.tabellaAMano = true;
  const Opzioni macchina = m.b.stato.opzioni.macchina;
  QVERIFY(m.avvia());
  m.scegli(u"Zoë"_s);
  QCOMPARE(m.b.stato.alunnoScelto.id, m.zoe);
  QCOMPARE(m.b.stato.opzioni.alunno, std::nullopt);

  int porte = 0;
  FrmOpzioni *f = m.opzioni(&porte);
  QVERIFY(f);
  QCOMPARE(porte, 1);
  QCOMPARE(In<QLabel>(f, u"lblOpzioni"_s)->text(), u"Strumenti per Zoë (3ª A)"_s);
  // No plan yet: the boxes show the machine's options, with nothing to drop.
  QVERIFY(In<QCheckBox>(f, u"chkTabellaAMano"_s)->isChecked());
  QVERIFY(!In<QPushButton>(f, u"cmdOpzioniComputer"_s)->isEnabled());
  QTest::mouseClick(In<QCheckBox>(f, u"chkSenzaOrologio"_s), Qt::LeftButton);
  QTest::mouseClick(In<QCheckBox>(f, u"chkTabellaAMano"_s), Qt::LeftButton);
  const Opzioni piano{false, false, true, false, false};
  QCOMPARE(LeggiPiano(m.quaderno->registro(), m.zoe), piano);
  QVERIFY(In<QPushButton>(f, u"cmdOpzioniComputer"_s)->isEnabled());
  // The machine's options are untouched, in memory and in its settings.
  QCOMPARE(m.b.stato.opzioni.macchina, macchina);
  QCOMPARE(m.preferenze.scritture, 0);
  QTest::mouseClick(In<QPushButton>(f, u"cmdChiudi"_s), Qt::LeftButton);
  QTRY_VERIFY(!m.finestre.opzioni());

  // Zoë's exercise: no clock, no table.
  FrmOperativo *e = m.vai();
  QVERIFY(e);
  QVERIFY(!TempiVisibili(e));
  QVERIFY(!TabellaVisibile(e));
  // D'Amico has no plan: the machine's options, at once in the open window.
  m.scegli(u"D'Amico"_s);
  QCOMPARE(m.b.stato.alunnoScelto.id, m.damico);
  QCOMPARE(m.b.stato.opzioni.inVigore(), macchina);
  QVERIFY(TempiVisibili(e));
  QVERIFY(TabellaVisibile(e));
  // Zoë again: her plan, read from the register.
  m.scegli(u"Zoë"_s);
  QCOMPARE(m.b.stato.opzioni.inVigore(), piano);
  QVERIFY(!TempiVisibili(e));
  // "Senza nome": the machine's.
  QuandoModale([](QWidget *w) { QTest::mouseClick(In<QPushButton>(w, u"cmdSenzaNome"_s), Qt::LeftButton); });
  In<QAction>(m.inizio, u"mnuAlunno"_s)->trigger();
  QCOMPARE(m.b.stato.alunnoScelto.id, 0);
  QCOMPARE(m.b.stato.opzioni.inVigore(), macchina);
  QVERIFY(TempiVisibili(e));
  QVERIFY(m.b.messaggi.voci.isEmpty());
  // For a look by eye: VORNEL_SCHERMATE names a folder for the pictures.
  if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty()) {
    m.scegli(u"Zoë"_s);
    FrmOpzioni *g = m.opzioni();
    QVERIFY(g);
    QVERIFY(g->grab().save(cartella + u"/opzioni-alunno.png"_s));
  }
}

void TestPianoAlunno::shouldKeepTheOptionsBehindTheDoor() {
  Mondo m;
  QVERIFY(m.avvia());
  auto *voce = In<QAction>(m.inizio, u"mnuOpzioni"_s);
  // Cancelled at the door, and a wrong PIN: no options window.
  QString titolo;
  QuandoModale([&titolo](QWidget *porta) {
    titolo = porta->windowTitle();
    QTest::mouseClick(In<QPushButton>(porta, u"cmdAnnulla"_s), Qt::LeftButton);
  });
  voce->trigger();
  QCOMPARE(titolo, u"Opzioni"_s);
  QCOMPARE(m.finestre.opzioni(), nullptr);
  QString risposta;
  QuandoModale([&risposta](QWidget *porta) {
    QTest::keyClicks(In<QLineEdit>(porta, u"txtPin"_s), u"1357"_s);
    QTest::keyClick(In<QLineEdit>(porta, u"txtPin"_s), Qt::Key_Return);
    risposta = In<QLabel>(porta, u"lblMessaggio"_s)->text();
    QTest::keyClick(porta, Qt::Key_Escape);
  });
  voce->trigger();
  QCOMPARE(risposta, u"PIN sbagliato."_s);
  QCOMPARE(m.finestre.opzioni(), nullptr);
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  // The right PIN opens it.
  QVERIFY(m.opzioni());
  QVERIFY(m.b.messaggi.voci.isEmpty());
}

void TestPianoAlunno::shouldRefuseTheOptionsWhenTheRegisterCantBeUsed() {
  // Without the register the PIN can't be checked: the options stay shut, the
  // machine's hold, the drill goes on.
  CartellaTemporanea dir;
  Banco b;
  CasualeSistema casuale{7};
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, finestre};
  b.stato.livello.strNomeFile = u"vornel"_s;
  b.stato.opzioni.macchina.senzaOrologio = true;
  // The register's path is a folder: no file can be opened there.
  QVERIFY(QDir(dir.percorso()).mkpath(u"registro.sqlite"_s));
  finestre.impostaQuaderno(std::make_unique<QuadernoRegistro>(dir.percorso() + u"/registro.sqlite"_s));
  frmInizio *inizio = finestre.avvia(ctx);
  QVERIFY(Attiva(inizio));
  for (int i = 0; i < 2; ++i) {
    In<QAction>(inizio, u"mnuOpzioni"_s)->trigger();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(finestre.opzioni(), nullptr);
  }
  QCOMPARE(b.messaggi.voci.size(), 1);  // the fault, told once
  QVERIFY(b.stato.opzioni.inVigore().senzaOrologio);
  for (const QString &n : {u"Option1_0"_s, u"Option2_0"_s, u"Option3_0"_s})
    QTest::mousePress(In(inizio, n), Qt::LeftButton);
  QVERIFY(QTest::qWaitFor([&] { return finestre.esercizio() && finestre.esercizio()->isVisible(); }));
  QVERIFY(!TempiVisibili(finestre.esercizio()));
  for (QWidget *w : QApplication::topLevelWidgets()) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete finestre.inizio();

  // A program without its register module at all says why the options don't open.
  {
    Banco b2;
    Finestre f2;
    Contesto c2{b2.stato, b2.orologio, casuale, b2.messaggi, b2.stampante, f2};
    b2.stato.livello.strNomeFile = u"vornel"_s;
    frmInizio *i2 = f2.avvia(c2);
    QVERIFY(Attiva(i2));
    In<QAction>(i2, u"mnuOpzioni"_s)->trigger();
    QCOMPARE(f2.opzioni(), nullptr);
    QCOMPARE(b2.messaggi.testi(),
             QStringList{u"Il registro non è disponibile: senza il PIN dell'insegnante le opzioni non si aprono."_s});
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete f2.inizio();
  }
}

void TestPianoAlunno::shouldRememberTheDoorForAWhileAndForgetItWhenAnExerciseStarts() {
  Mondo m;
  QVERIFY(m.avvia());
  int porte = 0;
  const auto chiudiOpzioni = [&m] {
    m.finestre.opzioni()->close();
    return QTest::qWaitFor([&m] { return !m.finestre.opzioni(); });
  };
  QVERIFY(m.opzioni(&porte));
  QCOMPARE(porte, 1);
  QVERIFY(chiudiOpzioni());
  // The register right after: no PIN asked.
  In<QAction>(m.inizio, u"mnuRegistro"_s)->trigger();
  QVERIFY(m.quaderno->finestraRegistro());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  // Still open an hour later, the register window keeps the door open.
  m.adesso += 3'600'000;
  QVERIFY(m.opzioni(&porte));
  QCOMPARE(porte, 1);
  QVERIFY(chiudiOpzioni());
  m.quaderno->finestraRegistro()->close();
  QTRY_VERIFY(!m.quaderno->finestraRegistro());
  // Closed, it keeps the door open a little while longer...
  m.adesso += QuadernoRegistro::kPortaRicordata - 1000;
  QVERIFY(m.opzioni(&porte));
  QCOMPARE(porte, 1);
  QVERIFY(chiudiOpzioni());
  // ...and no longer.
  m.adesso += QuadernoRegistro::kPortaRicordata + 1;
  QVERIFY(m.opzioni(&porte));
  QCOMPARE(porte, 2);
  QVERIFY(chiudiOpzioni());
  // A pupil's exercise starts: whoever comes to the door next is asked.
  QVERIFY(m.vai());
  m.inizio->activateWindow();
  QVERIFY(m.opzioni(&porte));
  QCOMPARE(porte, 3);
}

void TestPianoAlunno::shouldGoBackToTheMachinesOptionsWhenThePlanIsDropped() {
  Mondo m;
  QVERIFY(SalvaPiano(m.quaderno->registro(), m.zoe, Opzioni{false, false, true, false, false}));
  QVERIFY(m.avvia());
  m.scegli(u"Zoë"_s);
  QVERIFY(m.b.stato.opzioni.inVigore().senzaOrologio);
  FrmOperativo *e = m.vai();
  QVERIFY(e);
  QVERIFY(!TempiVisibili(e));
  m.inizio->activateWindow();
  FrmOpzioni *f = m.opzioni();
  QVERIFY(f);
  auto *orologio = In<QCheckBox>(f, u"chkSenzaOrologio"_s);
  QVERIFY(orologio->isChecked());
  auto *computer = In<QPushButton>(f, u"cmdOpzioniComputer"_s);
  QVERIFY(computer->isEnabled());
  QTest::mouseClick(computer, Qt::LeftButton);
  QCOMPARE(LeggiPiano(m.quaderno->registro(), m.zoe), std::nullopt);
  QCOMPARE(m.b.stato.opzioni.alunno, std::nullopt);
  QVERIFY(!orologio->isChecked());
  QVERIFY(!computer->isEnabled());
  QVERIFY(TempiVisibili(e));
  QCOMPARE(m.preferenze.scritture, 0);
  QCOMPARE(m.b.stato.esercizio.intOperazione, 1);  // the exercise goes on
  // Another pupil picks their name: the window, opened for Zoë, goes.
  m.scegli(u"D'Amico"_s);
  QTRY_VERIFY(!m.finestre.opzioni());
}

void TestPianoAlunno::shouldTellAPlanThatCouldNotBeKeptAndStillHoldIt() {
  Mondo m;
  QVERIFY(m.avvia());
  m.scegli(u"Zoë"_s);
  // Erased from the register while she was still chosen.
  QVERIFY(m.quaderno->registro().cancellaAlunno(m.zoe));
  FrmOpzioni *f = m.opzioni();
  QVERIFY(f);
  auto *avviso = In<QLabel>(f, u"lblAvviso"_s);
  QVERIFY(!avviso->isVisible());
  QTest::mouseClick(In<QCheckBox>(f, u"chkSenzaOrologio"_s), Qt::LeftButton);
  QVERIFY(avviso->isVisible());
  QCOMPARE(avviso->text(), u"Il piano di Zoë non è stato salvato nel registro: vale solo finché Vornel resta aperto."_s);
  QVERIFY(m.b.stato.opzioni.inVigore().senzaOrologio);
  QVERIFY(!m.b.stato.opzioni.macchina.senzaOrologio);
  QCOMPARE(m.preferenze.scritture, 0);
}

void TestPianoAlunno::shouldReadAStrangePlanAsEverythingOffWithoutAWord() {
  Mondo m;
  m.b.stato.opzioni.macchina = Opzioni{true, true, true, true, true};
  {
    // A row written by another program, not in our terms.
    const QString nome = u"estraneo"_s;
    {
      QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, nome);
      d.setDatabaseName(m.quaderno->registro().percorso());
      QVERIFY(d.open());
      QSqlQuery q(d);
      q.prepare(u"INSERT INTO piani VALUES (?, 7, 'sì', -1, X'01', 1.5)"_s);
      q.addBindValue(m.zoe);
      QVERIFY(q.exec());
      d.close();
    }
    QSqlDatabase::removeDatabase(nome);
  }
  QVERIFY(m.avvia());
  m.scegli(u"Zoë"_s);
  QCOMPARE(m.b.stato.opzioni.alunno, Opzioni{});
  QCOMPARE(m.b.stato.opzioni.inVigore(), Opzioni{});
  QVERIFY(m.b.messaggi.voci.isEmpty());
  FrmOperativo *e = m.vai();
  QVERIFY(e);
  QVERIFY(TempiVisibili(e));
  QVERIFY(!TabellaVisibile(e));
}

void TestPianoAlunno::shouldChangeThePinFromTheRegisterWindow_data() {
  QTest::addColumn<QString>("vecchio");
  QTest::addColumn<QString>("nuovo");
  QTest::addColumn<QString>("conferma");
  QTest::addColumn<int>("sbagliatiPrima");
  QTest::addColumn<QString>("messaggio");  // empty: changed
  QTest::addColumn<bool>("provato");       // the PIN in use was tried (and counts when wrong)
  QTest::newRow("right") << kPin << u"13579"_s << u"13579"_s << 0 << QString() << true;
  QTest::newRow("letters left out by the boxes") << kPin << u"13a579"_s << u"135x79"_s << 0 << QString() << true;
  QTest::newRow("wrong PIN in use") << u"1111"_s << u"13579"_s << u"13579"_s << 0
                                    << u"Il PIN attuale è sbagliato."_s << true;
  QTest::newRow("the fifth wrong one") << u"1111"_s << u"13579"_s << u"13579"_s << 4
                                       << u"Il PIN attuale è sbagliato. Troppi PIN sbagliati: riprova fra 30 secondi."_s
                                       << true;
  QTest::newRow("the door waits, the right one too")
      << kPin << u"13579"_s << u"13579"_s << 5 << u"Troppi PIN sbagliati: riprova fra 30 secondi."_s << false;
  QTest::newRow("two new ones that differ") << kPin << u"13579"_s << u"13578"_s << 0
                                            << u"I due nuovi PIN non sono uguali: scrivili di nuovo."_s << false;
  QTest::newRow("too short") << kPin << u"135"_s << u"135"_s << 0 << u"Il PIN deve avere almeno 4 caratteri."_s
                             << false;
  QTest::newRow("the same again") << kPin << kPin << kPin << 0
                                  << u"Il nuovo PIN è uguale a quello che usi: scegline un altro."_s << false;
  QTest::newRow("nothing in use typed") << QString() << u"13579"_s << u"13579"_s << 0
                                        << u"Scrivi il PIN che usi adesso."_s << false;
}

void TestPianoAlunno::shouldChangeThePinFromTheRegisterWindow() {
  QFETCH(QString, vecchio);
  QFETCH(QString, nuovo);
  QFETCH(QString, conferma);
  QFETCH(int, sbagliatiPrima);
  QFETCH(QString, messaggio);
  QFETCH(bool, provato);
  Mondo m;
  Registro &r = m.quaderno->registro();
  PortaDocente porta(r, [&m] { return m.adesso; }, kIterazioniPorta);
  for (int i = 0; i < sbagliatiPrima; ++i) (void)porta.prova(u"0000"_s);
  FrmRegistro f(r, m.ctx);
  f.impostaPorta([&m] { return m.adesso; }, kIterazioniPorta);
  QVERIFY(Attiva(&f));
  QString visto, nome;
  bool chiusa = false, vuote = true;
  QuandoModale([&](QWidget *w) {
    nome = w->objectName();
    // For a look by eye: VORNEL_SCHERMATE names a folder for the pictures.
    if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty()) {
      w->grab().save(cartella + u"/cambiapin.png"_s);
      f.grab().save(cartella + u"/registro-cambiapin.png"_s);
    }
    QTest::keyClicks(In<QLineEdit>(w, u"txtVecchio"_s), vecchio);
    QTest::keyClicks(In<QLineEdit>(w, u"txtNuovo"_s), nuovo);
    QTest::keyClicks(In<QLineEdit>(w, u"txtConferma"_s), conferma);
    QTest::keyClick(In<QLineEdit>(w, u"txtConferma"_s), Qt::Key_Return);
    chiusa = !w->isVisible();
    visto = In<QLabel>(w, u"lblMessaggio"_s)->text();
    for (const QString &n : {u"txtVecchio"_s, u"txtNuovo"_s, u"txtConferma"_s})
      vuote = vuote && In<QLineEdit>(w, n)->text().isEmpty();
    if (!chiusa) QTest::mouseClick(In<QPushButton>(w, u"cmdAnnulla"_s), Qt::LeftButton);
  });
  QTest::mouseClick(In<QPushButton>(&f, u"cmdCambiaPin"_s), Qt::LeftButton);
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  QCOMPARE(nome, u"FrmCambiaPin"_s);
  QVERIFY(vuote);  // the boxes never keep a PIN
  const bool cambiato = messaggio.isEmpty();
  QCOMPARE(chiusa, cambiato);
  if (!cambiato) QCOMPARE(visto, messaggio);
  QCOMPARE(m.b.messaggi.voci.size(), cambiato ? 1 : 0);
  if (cambiato) QVERIFY(m.b.messaggi.voci.first().testo.startsWith(u"Il PIN è stato cambiato"_s));

  // The wrong tries counted: one more than before when the PIN in use was
  // tried and wrong, none left after a right one.
  const bool giusto = vecchio == kPin;
  const int errori = provato ? (giusto ? 0 : sbagliatiPrima + 1) : sbagliatiPrima;
  QCOMPARE(PortaDocente::AttesaDopo(errori) > 0, porta.attesa() > 0);
  if (errori < PortaDocente::kErroriConcessi) {
    // Wrong tries up to the fifth: the door closes exactly at the fifth.
    for (int i = errori; i < PortaDocente::kErroriConcessi - 1; ++i)
      QCOMPARE(porta.prova(u"0000"_s).risultato, PortaDocente::Risultato::Sbagliato);
    QCOMPARE(porta.prova(u"0000"_s).risultato, PortaDocente::Risultato::Attendi);
  }
  // Which PIN opens the door now, once the wait is over.
  m.adesso += 3'600'000;
  const QString nuovoPin = QString(nuovo).remove(QRegularExpression(u"[^0-9]"_s));
  QCOMPARE(porta.prova(cambiato ? nuovoPin : kPin).risultato, PortaDocente::Risultato::Aperta);
  if (cambiato) QCOMPARE(porta.prova(kPin).risultato, PortaDocente::Risultato::Sbagliato);
}

QTEST_MAIN(TestPianoAlunno)
#include "test_pianoalunno.moc"
