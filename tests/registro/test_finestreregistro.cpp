// The register's windows through the real widgets: the pupil's choice of their
// name, the teacher's door, the register window over a real SQLite file.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "certificate/pdf.h"
#include "didattica/sbaglio.h"
#include "platform/stampanteqt.h"
#include "registro/piani.h"
#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "support/doppi.h"
#include "support/tabelle.h"
#include "ui/common/aspetto.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/programma/finestre.h"
#include "ui/registro/frmalunno.h"
#include "ui/registro/frmporta.h"
#include "ui/registro/frmregistro.h"
#include "ui/registro/quadernoregistro.h"
#include "ui/registro/testiregistro.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kIterazioniProva = 1000;

struct RegistroProva {
  QTemporaryDir dir;
  QString file = dir.filePath(QStringLiteral("registro.sqlite"));
};

QByteArray Contenuto(const QString &file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Operation n, answered with the given mistakes and then right.
OperazioneChiusa Chiusa(int n, const QStringList &errori) {
  OperazioneChiusa op;
  op.numero = n;
  op.addendo1 = u"12  h"_s;
  op.addendo2 = u" 7 da"_s;
  op.unita = u"  u"_s;
  op.risultato = u"1.270"_s;
  for (const QString &e : errori) op.risposte.append({u"127"_s, e});
  op.risposte.append({u"1.270"_s, {}});
  op.secondi = 7;
  return op;
}  // the digest's cost is the core's concern

template <typename W = QWidget>
W *In(QWidget *finestra, const QString &nome) {
  W *w = finestra ? finestra->findChild<W *>(nome) : nullptr;
  if (!w) qWarning("no control %s", qPrintable(nome));
  return w;
}

// Runs `fai` on the modal window the next action opens, once it is up.
void QuandoModale(std::function<void(QWidget *)> fai) {
  auto *timer = new QTimer;
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

void Clic(QWidget *finestra, const QString &nome) {
  auto *p = In<QPushButton>(finestra, nome);
  if (p) QTest::mouseClick(p, Qt::LeftButton);
}

void Scrivi(QWidget *finestra, const QString &nome, const QString &testo) {
  auto *t = In<QLineEdit>(finestra, nome);
  if (!t) return;
  t->clear();
  QTest::keyClicks(t, testo);
}

// Controls a screen reader would find without a name: visible buttons, fields,
// lists, tables and labels showing text.
QStringList SenzaNome(QWidget *finestra) {
  QStringList muti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    // A table's headers are read as part of the table.
    if (!w->isVisibleTo(finestra) || w->objectName().startsWith(u"qt_"_s) || qobject_cast<QHeaderView *>(w))
      continue;
    const auto *l = qobject_cast<QLabel *>(w);
    const bool controllo = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                           qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractItemView *>(w) ||
                           qobject_cast<GraficoEsatte *>(w);
    if (!controllo && !(l && !l->text().trimmed().isEmpty())) continue;
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
      muti << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
  }
  return muti;
}

struct Programma {
  CartellaTemporanea dir;
  Banco b;
  CasualeSistema casuale{20261209};
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, finestre};
  QuadernoRegistro *quaderno = nullptr;
  qint64 adesso = 1'800'000'000'000;
  qint64 classe = 0, zoe = 0, damico = 0;
  Programma() {
    b.stato.livello.strNomeFile = u"vornel"_s;
    auto q = std::make_unique<QuadernoRegistro>(dir.percorso() + u"/registro.sqlite"_s);
    q->impostaPorta([this] { return adesso; }, kIterazioniProva);
    quaderno = q.get();
    Registro &r = q->registro();
    classe = r.nuovaClasse(u"3ª A"_s).id;
    damico = r.nuovoAlunno(classe, u"D'Amico"_s).id;
    zoe = r.nuovoAlunno(classe, u"Zoë"_s).id;
    finestre.impostaQuaderno(std::move(q));
  }
  ~Programma() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete finestre.inizio();
  }
};

}  // namespace

class TestFinestreRegistro : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() {
    m_p.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void shouldRecordTheChosenPupilsWrongAnswersAndShowThemInTheRegister();
  void shouldKeepTheChoiceWhenThePupilCancelsAndClearItWithSenzaNome();
  void shouldChooseThePinTwiceAndRefuseTwoDifferentOnes();
  void shouldOpenOnTheRightPinAndWaitAfterFiveWrongOnes();
  void shouldEraseAPupilOnlyAfterConfirmationAndRefuseABlankName();
  void shouldPrintTheClassViewToAPdf();
  void shouldExportTheChosenFilesAndNothingWhenTheChoiceIsCancelled();
  void shouldTellAnUnusableRegisterOnceAndLetTheDrillGoOn();
  void shouldShowTheExercisesWithoutANameOnAPageOfTheirOwn();
  void shouldSizeThePupilsColumnsToTheirWidestTexts();
  void shouldRenameAndEraseAClassThroughTheWindow();
  void shouldPrintThePupilsPageWithTheMistakeInWords();
  void shouldFileTheWorkOfTwoPupilsAtOneComputerUnderEach();
  void shouldForgetAPupilWhoHasGone();
  void shouldShutTheDoorWhenAPupilMayBeAtTheKeyboard_data();
  void shouldShutTheDoorWhenAPupilMayBeAtTheKeyboard();
  void shouldShowTheTeacherWhatThePupilSawAndRead();
  void shouldShutTheDoorOverADialogOfTheRegisterWithoutPullingItAway();
  void shouldBuildSuMisuraFromThePupilsHistoryAndShowTheirCases();

 private:
  void scegliAlunno(const QString &nome);
  FrmOperativo *vai();
  void rispondi(FrmOperativo *es, int quante);
  FrmRegistro *apriRegistro(const QString &pin, bool primaVolta);
  void eseguiEsercizio(QStringList *sbagli = nullptr);
  std::unique_ptr<Programma> m_p;
};

// Opens the register from the start window's menu, through the door.
FrmRegistro *TestFinestreRegistro::apriRegistro(const QString &pin, bool primaVolta) {
  QuandoModale([pin, primaVolta](QWidget *porta) {
    Scrivi(porta, u"txtPin"_s, pin);
    if (primaVolta) Scrivi(porta, u"txtConferma"_s, pin);
    Clic(porta, u"cmdEntra"_s);
  });
  In<QAction>(m_p->finestre.inizio(), u"mnuRegistro"_s)->trigger();
  return m_p->quaderno->finestraRegistro();
}

// Twenty operations, each answered wrong first and then right: 0 at the odd
// ones (never right: both addends are positive), at the even ones the right
// digits with a zero more where the keypad has room for it. The kind of each
// wrong answer, as the register names it, goes into `sbagli`.
void TestFinestreRegistro::eseguiEsercizio(QStringList *sbagli) {
  frmInizio *inizio = m_p->finestre.inizio();
  QTest::mousePress(In(inizio, u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option2_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option3_0"_s), Qt::LeftButton);
  FrmOperativo *es = nullptr;
  QVERIFY(QTest::qWaitFor(
      [&] { return (es = m_p->finestre.esercizio()) && QApplication::activeWindow() == es; }));
  const Operazione &op = m_p->b.stato.operazione;
  const auto digita = [&](const QString &numero) {
    for (QChar c : numero)
      if (c.isDigit() || c == u',')
        QTest::mouseClick(In(es, c == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(c.digitValue())),
                          Qt::LeftButton);
  };
  for (int i = 1; i <= 20; ++i) {
    QCOMPARE(m_p->b.stato.esercizio.intOperazione, i);
    QString sbagliata = u"0"_s;
    const QString cifre = QString(op.strRisultato).remove(u'.');
    if (i % 2 == 0 && !cifre.contains(u',') && cifre.size() < 5) sbagliata = cifre + u'0';
    digita(sbagliata);
    QTest::mouseClick(In(es, u"Option2_12"_s), Qt::LeftButton);
    QCOMPARE(In<QLabel>(es, u"LblEsito"_s)->text(), u"Errato"_s);
    if (sbagli)
      *sbagli << NomeSbaglio(
          ChiaveSbaglio(ClassificaSbaglio(op, m_p->b.stato.famiglia, Richiesta::Numero, sbagliata).sbaglio));
    QTest::mouseClick(In(es, u"Option3_1"_s), Qt::LeftButton);
    digita(op.strRisultato);
    QTest::mouseClick(In(es, u"Option2_12"_s), Qt::LeftButton);
    QCOMPARE(In<QLabel>(es, u"LblEsito"_s)->text(), u"Esatto"_s);
    if (i < 20) QTest::mouseClick(In(es, u"Option2_13"_s), Qt::LeftButton);
  }
}

void TestFinestreRegistro::scegliAlunno(const QString &nome) {
  QuandoModale([nome](QWidget *f) {
    auto *lista = In<QListWidget>(f, u"lstAlunni"_s);
    const auto voci = lista->findItems(nome, Qt::MatchExactly);
    if (voci.size() == 1) lista->setCurrentItem(voci.first());
    Clic(f, u"cmdScegli"_s);
  });
  In<QAction>(m_p->finestre.inizio(), u"mnuAlunno"_s)->trigger();
}

FrmOperativo *TestFinestreRegistro::vai() {
  frmInizio *inizio = m_p->finestre.inizio();
  inizio->activateWindow();
  QTest::mousePress(In(inizio, u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option2_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option3_0"_s), Qt::LeftButton);
  FrmOperativo *es = nullptr;
  if (!QTest::qWaitFor([&] { return (es = m_p->finestre.esercizio()) && es->isVisible(); })) return nullptr;
  return es;
}

// The next `quante` operations answered right on the keypad, each followed by "Avanti".
void TestFinestreRegistro::rispondi(FrmOperativo *es, int quante) {
  for (int i = 0; i < quante; ++i) {
    for (QChar c : m_p->b.stato.operazione.strRisultato)
      if (c.isDigit())
        QTest::mouseClick(In(es, u"Option2_%1"_s.arg(c.digitValue())), Qt::LeftButton);
      else if (c == u',')
        QTest::mouseClick(In(es, u"Option2_10"_s), Qt::LeftButton);
    QTest::mouseClick(In(es, u"Option2_12"_s), Qt::LeftButton);
    QCOMPARE(In<QLabel>(es, u"LblEsito"_s)->text(), u"Esatto"_s);
    QTest::mouseClick(In(es, u"Option2_13"_s), Qt::LeftButton);
  }
}

// The first pupil answers three operations; the second chooses their own name
// while the exercise window is still open and answers three more, after a
// family changed on the start window. Each one's work goes under their name,
// the family under which it was made.
void TestFinestreRegistro::shouldFileTheWorkOfTwoPupilsAtOneComputerUnderEach() {
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  scegliAlunno(u"Zoë"_s);
  FrmOperativo *es = vai();
  QVERIFY(es);
  rispondi(es, 3);
  scegliAlunno(u"D'Amico"_s);
  QCOMPARE(m_p->b.stato.alunnoScelto.id, m_p->damico);
  rispondi(es, 1);  // the operation on screen, made in family 1
  QuandoModale([](QWidget *f) {
    In<QListWidget>(f, u"lstFamiglie"_s)->setCurrentRow(4);
    QTest::keyClick(In<QListWidget>(f, u"lstFamiglie"_s), Qt::Key_Return);
  });
  In<QAction>(inizio, u"mnuLivello"_s)->trigger();
  QCOMPARE(m_p->b.stato.livello.intLivello, 5);
  rispondi(es, 3);  // the first still made in family 1, then two in family 5
  // The end-of-exercise window carries the name the exercise was recorded under.
  m_p->finestre.apriStampaEsercizio();
  QVERIFY(QTest::qWaitFor(
      [&] { return m_p->finestre.stampaEsercizio() && m_p->finestre.stampaEsercizio()->isVisible(); }));
  QTest::mousePress(In(m_p->finestre.stampaEsercizio(), u"Option1_1"_s), Qt::LeftButton);
  QCOMPARE(In<QLineEdit>(m_p->finestre.stampaEsercizio(), u"txtNome"_s)->text(), u"D'Amico"_s);
  es->close();
  QSqlQuery q(m_p->quaderno->registro().db());
  QVERIFY(q.exec(u"SELECT group_concat(x, ' ') FROM (SELECT a.nome || ':' || e.famiglia || ':' || e.operazioni"
                 u" || ':' || e.stato AS x FROM esercizi e JOIN alunni a ON a.id = e.alunno ORDER BY e.id)"_s) &&
          q.next());
  QCOMPARE(q.value(0).toString(), u"Zoë:1:3:2 D'Amico:1:2:2 D'Amico:5:2:2"_s);
}

// Nobody touches the program for the pause on the start window: the name and
// the pupil's plan go, and the next exercise goes as "Senza nome".
void TestFinestreRegistro::shouldForgetAPupilWhoHasGone() {
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QVERIFY(SalvaPiano(m_p->quaderno->registro(), m_p->zoe, Opzioni{true, false, false, false, true}));
  scegliAlunno(u"Zoë"_s);
  QVERIFY(m_p->b.stato.opzioni.alunno.has_value());
  QCOMPARE(In<QLabel>(inizio, u"lblAlunno"_s)->text(), u"Zoë (3ª A)"_s);
  m_p->finestre.impostaPause(Finestre::kPausaPorta, 300, 20);
  QVERIFY(QTest::qWaitFor([&] { return m_p->b.stato.alunnoScelto.id == 0; }, 5000));
  QCOMPARE(In<QLabel>(inizio, u"lblAlunno"_s)->text(), QString());
  QVERIFY(!m_p->b.stato.opzioni.alunno.has_value());
  FrmOperativo *es = vai();
  QVERIFY(es);
  rispondi(es, 1);
  QSqlQuery q(m_p->quaderno->registro().db());
  QVERIFY(q.exec(u"SELECT count(*), count(alunno) FROM esercizi"_s) && q.next());
  QCOMPARE(q.value(0).toInt(), 1);
  QCOMPARE(q.value(1).toInt(), 0);
}

void TestFinestreRegistro::shouldShutTheDoorWhenAPupilMayBeAtTheKeyboard_data() {
  QTest::addColumn<QString>("come");
  QTest::newRow("an exercise starts") << u"vai"_s;
  QTest::newRow("nobody touches the program") << u"pausa"_s;
  QTest::newRow("the register minimised") << u"ridotta"_s;
  QTest::newRow("the register hidden") << u"nascosta"_s;
}

void TestFinestreRegistro::shouldShutTheDoorWhenAPupilMayBeAtTheKeyboard() {
  QFETCH(QString, come);
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QVERIFY(PortaDocente(m_p->quaderno->registro(), {}, kIterazioniProva).scegliPin(u"2468"_s));
  FrmRegistro *reg = apriRegistro(u"2468"_s, false);
  QVERIFY(reg);
  QVERIFY(QTest::qWaitForWindowExposed(reg));
  QPointer<FrmRegistro> guardia(reg);
  if (come == u"vai"_s) QVERIFY(vai());
  if (come == u"pausa"_s) m_p->finestre.impostaPause(300, Finestre::kPausaAlunno, 20);
  if (come == u"ridotta"_s) reg->showMinimized();
  if (come == u"nascosta"_s) reg->hide();
  QVERIFY(QTest::qWaitFor([&] { return guardia.isNull(); }, 5000));
  QVERIFY(!m_p->quaderno->portaAperta());
  // The next opening asks for the PIN again (the teacher is back: no more pause).
  m_p->finestre.impostaPause(Finestre::kPausaPorta, Finestre::kPausaAlunno);
  bool chiesto = false;
  QuandoModale([&chiesto](QWidget *porta) {
    chiesto = porta->objectName() == u"FrmPorta"_s;
    Clic(porta, u"cmdAnnulla"_s);
  });
  In<QAction>(inizio, u"mnuRegistro"_s)->trigger();
  QVERIFY(chiesto);
  QVERIFY(!m_p->quaderno->finestraRegistro());
}

// The door shuts while the class import runs its own loop over the register:
// the dialog ends first, the window closes after, nothing is deleted from
// under a loop still running.
void TestFinestreRegistro::shouldShutTheDoorOverADialogOfTheRegisterWithoutPullingItAway() {
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QVERIFY(PortaDocente(m_p->quaderno->registro(), {}, kIterazioniProva).scegliPin(u"2468"_s));
  FrmRegistro *reg = apriRegistro(u"2468"_s, false);
  QVERIFY(reg);
  QPointer<FrmRegistro> guardia(reg);
  bool dentro = false;
  QuandoModale([&](QWidget *importa) {
    dentro = importa->objectName() == u"FrmImporta"_s;
    m_p->finestre.chiudiPorta();
    QCoreApplication::processEvents();
    QVERIFY(guardia);  // not while the dialog's loop runs
  });
  In<QTabWidget>(reg, u"tabRegistro"_s)->setCurrentIndex(3);
  Clic(reg, u"cmdImportaElenco"_s);
  QVERIFY(dentro);
  QVERIFY(QTest::qWaitFor([&] { return guardia.isNull(); }, 5000));
  QVERIFY(!m_p->quaderno->portaAperta());
}

void TestFinestreRegistro::shouldShowTheTeacherWhatThePupilSawAndRead() {
  OperazioneRegistrata o;
  o.addendo1 = u"12  h"_s;
  o.addendo2 = u" 7 da"_s;
  o.unita = u"  u"_s;
  o.risultato = u"1.270"_s;
  QCOMPARE(TestoOperazione(o), u"12 h + 7 da = ? u"_s);
  // The symbol question: the number shown, the symbol asked.
  o.chiesto = 2;
  o.risultato = u"  u"_s;
  o.mostrato = u"1.270"_s;
  QCOMPARE(TestoOperazione(o), u"12 h + 7 da = 1.270 ?"_s);
  // The sentence the pupil read: the comma a hundred times too small, the unit two steps too big.
  QVERIFY(FraseDellAlunno(Risposta{u"12,7"_s, u"virgola"_s, -2}, 1).contains(u"100 volte più piccolo"_s));
  QVERIFY(FraseDellAlunno(Risposta{u" h"_s, u"simbolo-grande"_s, 2}, 2).contains(u"100 volte più grande"_s));
  // A printed title wraps inside the page, every word kept.
  const QString titolo = u"Registro "_s + QString(60, u'W') + u" — classe quinta sezione B del plesso Garibaldi"_s;
  const QStringList righe = TitoloACapo(titolo);
  QVERIFY(righe.size() >= 3);
  for (const QString &r : righe) QVERIFY2(r.size() <= 40, qPrintable(r));
  QCOMPARE(righe.join(QString()).remove(u' '), QString(titolo).remove(u' '));
}

void TestFinestreRegistro::shouldRecordTheChosenPupilsWrongAnswersAndShowThemInTheRegister() {
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QCOMPARE(In<QLabel>(inizio, u"lblAlunno"_s)->text(), QString());

  // "Alunno": the class, then one's own name.
  QuandoModale([](QWidget *f) {
    auto *lista = In<QListWidget>(f, u"lstAlunni"_s);
    const auto voci = lista->findItems(u"Zoë"_s, Qt::MatchExactly);
    if (voci.size() == 1) lista->setCurrentItem(voci.first());
    Clic(f, u"cmdScegli"_s);
  });
  In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  QCOMPARE(m_p->b.stato.alunnoScelto.id, m_p->zoe);
  QCOMPARE(m_p->b.stato.alunnoScelto.nomeClasse, u"3ª A"_s);
  QCOMPARE(In<QLabel>(inizio, u"lblAlunno"_s)->text(), u"Zoë (3ª A)"_s);

  // "Livello": family 9, chosen in the list; the window closes on Enter.
  QuandoModale([](QWidget *f) {
    auto *lista = In<QListWidget>(f, u"lstFamiglie"_s);
    lista->setCurrentRow(8);
    QTest::keyClick(lista, Qt::Key_Return);
  });
  In<QAction>(inizio, u"mnuLivello"_s)->trigger();
  QCOMPARE(m_p->b.stato.livello.intLivello, 9);

  QStringList sbagli;
  eseguiEsercizio(&sbagli);
  if (QTest::currentTestFailed()) return;
  QVERIFY(m_p->b.messaggi.voci.isEmpty());
  QVERIFY2(QSet<QString>(sbagli.cbegin(), sbagli.cend()).size() >= 2, qPrintable(sbagli.join(u'|')));

  // The end-of-exercise window's name box starts with the chosen name.
  m_p->finestre.apriStampaEsercizio();
  QVERIFY(QTest::qWaitFor(
      [&] { return m_p->finestre.stampaEsercizio() && m_p->finestre.stampaEsercizio()->isVisible(); }));
  QTest::mousePress(In(m_p->finestre.stampaEsercizio(), u"Option1_1"_s), Qt::LeftButton);
  auto *txtNome = In<QLineEdit>(m_p->finestre.stampaEsercizio(), u"txtNome"_s);
  QVERIFY(txtNome->isVisible());
  QCOMPARE(txtNome->text(), u"Zoë"_s);
  m_p->finestre.stampaEsercizio()->close();

  FrmRegistro *reg = apriRegistro(u"2468"_s, true);
  QVERIFY(reg);
  QVERIFY(QTest::qWaitForWindowExposed(reg));
  auto *tblClasse = In<QTableWidget>(reg, u"tblClasse"_s);
  const int riga = RigaDi(tblClasse, u"Zoë"_s);
  QVERIFY2(riga >= 0, qPrintable(u"%1 righe, %2"_s.arg(tblClasse->rowCount()).arg(Testo(tblClasse, 0, 0))));
  QCOMPARE(tblClasse->horizontalHeaderItem(1)->text(), u"Famiglia 9"_s);
  QVERIFY(!Testo(tblClasse, riga, 1).isEmpty());
  QCOMPARE(Testo(tblClasse, RigaDi(tblClasse, u"D'Amico"_s), 1), QString());

  // The pupil's page, from the row by keyboard.
  tblClasse->setFocus();
  tblClasse->setCurrentCell(riga, 0);
  QTest::keyClick(tblClasse, Qt::Key_Return);
  auto *tblEsercizi = In<QTableWidget>(reg, u"tblEsercizi"_s);
  QCOMPARE(In<QTabWidget>(reg, u"tabRegistro"_s)->currentIndex(), 1);
  QCOMPARE(In<QComboBox>(reg, u"cmbAlunno"_s)->currentText(), u"Zoë"_s);
  QCOMPARE(tblEsercizi->rowCount(), 1);
  QCOMPARE(Testo(tblEsercizi, 0, 5).right(5), u"su 20"_s);
  const QString errore = Testo(tblEsercizi, 0, 8);
  QVERIFY2(!errore.isEmpty() && errore != u"nessuno"_s, qPrintable(errore));
  QVERIFY(!tblEsercizi->item(0, 8)->toolTip().isEmpty());
  QCOMPARE(In<GraficoEsatte>(reg, u"graficoEsatte"_s)->serie().size(), 1);

  // One exercise's operations with the pupil's answers and their mistake class.
  tblEsercizi->setFocus();
  tblEsercizi->setCurrentCell(0, 0);
  QTest::keyClick(tblEsercizi, Qt::Key_Return);
  auto *tblOp = In<QTableWidget>(reg, u"tblOperazioni"_s);
  QCOMPARE(tblOp->rowCount(), 20);
  for (int r = 0; r < 20; ++r) {
    const QString risposte = Testo(tblOp, r, 3);
    // "<wrong answer> (<mistake in words>); <right answer> (giusta)"
    const QString parole =
        risposte.mid(risposte.indexOf(u'(') + 1, risposte.indexOf(u')') - risposte.indexOf(u'(') - 1);
    QVERIFY2(risposte.endsWith(u"(giusta)"_s), qPrintable(risposte));
    QCOMPARE(parole, sbagli.value(r));
    QVERIFY(!tblOp->item(r, 3)->toolTip().isEmpty());
  }
  QVERIFY(sbagli.contains(errore));
}

void TestFinestreRegistro::shouldKeepTheChoiceWhenThePupilCancelsAndClearItWithSenzaNome() {
  m_p = std::make_unique<Programma>();
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QuandoModale([](QWidget *f) {
    auto *lista = In<QListWidget>(f, u"lstAlunni"_s);
    lista->setCurrentRow(0);  // name order: D'Amico
    Clic(f, u"cmdScegli"_s);
  });
  In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  QCOMPARE(m_p->b.stato.alunnoScelto.nome, u"D'Amico"_s);

  QuandoModale([](QWidget *f) { Clic(f, u"cmdAnnulla"_s); });
  In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  QCOMPARE(m_p->b.stato.alunnoScelto.nome, u"D'Amico"_s);

  QuandoModale([](QWidget *f) {
    // The window opens on the pupil already chosen.
    if (In<QListWidget>(f, u"lstAlunni"_s)->currentItem()->text() != u"D'Amico"_s) return;
    Clic(f, u"cmdSenzaNome"_s);
  });
  In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  QCOMPARE(m_p->b.stato.alunnoScelto.id, 0);
  QCOMPARE(In<QLabel>(inizio, u"lblAlunno"_s)->text(), QString());
}

void TestFinestreRegistro::shouldChooseThePinTwiceAndRefuseTwoDifferentOnes() {
  RegistroProva rp;
  Registro r(rp.file);
  qint64 adesso = 1'800'000'000'000;
  PortaDocente porta(
      r, [&] { return adesso; }, kIterazioniProva);
  FrmPorta f(porta);
  QVERIFY(Attiva(&f));
  QVERIFY(In<QLineEdit>(&f, u"txtConferma"_s));

  struct Caso {
    QString pin, conferma;
    bool accettato;
  };
  const Caso casi[] = {
      {u"2468"_s, u"2469"_s, false}, {u"12"_s, u"12"_s, false}, {u"24a68"_s, u"2468"_s, true}};
  for (const Caso &c : casi) {
    Scrivi(&f, u"txtPin"_s, c.pin);
    Scrivi(&f, u"txtConferma"_s, c.conferma);
    Clic(&f, u"cmdEntra"_s);
    QCOMPARE(f.result() == QDialog::Accepted, c.accettato);
    // The boxes never keep a PIN.
    QCOMPARE(In<QLineEdit>(&f, u"txtPin"_s)->text(), QString());
    QCOMPARE(In<QLineEdit>(&f, u"txtConferma"_s)->text(), QString());
    if (!c.accettato) QVERIFY(!In<QLabel>(&f, u"lblMessaggio"_s)->text().isEmpty());
  }
  QVERIFY(porta.haPin());
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  QVERIFY(!Contenuto(rp.file).contains("2468"));
}

void TestFinestreRegistro::shouldOpenOnTheRightPinAndWaitAfterFiveWrongOnes() {
  RegistroProva rp;
  Registro r(rp.file);
  qint64 adesso = 1'800'000'000'000;
  PortaDocente porta(
      r, [&] { return adesso; }, kIterazioniProva);
  QVERIFY(porta.scegliPin(u"97531"_s));

  FrmPorta f(porta);
  QVERIFY(Attiva(&f));
  QCOMPARE(f.findChild<QLineEdit *>(u"txtConferma"_s), nullptr);
  auto *attesa = In<QLabel>(&f, u"lblAttesa"_s);
  for (int i = 1; i <= PortaDocente::kErroriConcessi; ++i) {
    QCOMPARE(attesa->text(), QString());
    Scrivi(&f, u"txtPin"_s, u"1111"_s);
    Clic(&f, u"cmdEntra"_s);
    QCOMPARE(In<QLabel>(&f, u"lblMessaggio"_s)->text(), u"PIN sbagliato."_s);
    QCOMPARE(f.result(), int(QDialog::Rejected));
  }
  const qint64 s = PortaDocente::AttesaDopo(PortaDocente::kErroriConcessi);
  QCOMPARE(attesa->text(), u"Troppi PIN sbagliati: riprova fra %1 secondi."_s.arg(s));
  QVERIFY(!In<QLineEdit>(&f, u"txtPin"_s)->isEnabled());
  QVERIFY(!In<QPushButton>(&f, u"cmdEntra"_s)->isEnabled());

  adesso += (s - 1) * 1000;
  f.aggiorna();
  QCOMPARE(attesa->text(), u"Troppi PIN sbagliati: riprova fra 1 secondo."_s);
  adesso += 1000;
  f.aggiorna();
  QCOMPARE(attesa->text(), QString());
  QVERIFY(In<QLineEdit>(&f, u"txtPin"_s)->isEnabled());

  Scrivi(&f, u"txtPin"_s, u"97531"_s);
  Clic(&f, u"cmdEntra"_s);
  QCOMPARE(f.result(), int(QDialog::Accepted));
}

void TestFinestreRegistro::shouldEraseAPupilOnlyAfterConfirmationAndRefuseABlankName() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  FrmRegistro f(r, m_p->ctx);
  QStringList domande;
  bool si = false;
  f.impostaConferma([&](QWidget *, const QString &d) {
    domande << d;
    return si;
  });
  QVERIFY(Attiva(&f));
  // Every page named for a screen reader.
  auto *schede = In<QTabWidget>(&f, u"tabRegistro"_s);
  for (int i = schede->count() - 1; i >= 0; --i) {
    schede->setCurrentIndex(i);
    QVERIFY2(SenzaNome(&f).isEmpty(), qPrintable(SenzaNome(&f).join(u", "_s)));
  }
  auto *alunni = In<QListWidget>(&f, u"lstAlunni"_s);
  QCOMPARE(alunni->count(), 2);
  alunni->setCurrentRow(alunni->row(alunni->findItems(u"Zoë"_s, Qt::MatchExactly).value(0)));

  Clic(&f, u"cmdCancellaAlunno"_s);
  QCOMPARE(domande.size(), 1);
  QVERIFY(domande.first().contains(u"Zoë"_s));
  QCOMPARE(r.alunni(m_p->classe).size(), 2);

  si = true;
  Clic(&f, u"cmdCancellaAlunno"_s);
  QCOMPARE(r.alunni(m_p->classe).size(), 1);
  QCOMPARE(alunni->count(), 1);
  QCOMPARE(RigaDi(In<QTableWidget>(&f, u"tblClasse"_s), u"Zoë"_s), -1);
  QVERIFY(!Contenuto(r.percorso()).contains(u"Zoë"_s.toUtf8()));

  // A blank name is refused with the register's own sentence; a good one joins the class.
  const QString perche = r.nuovoAlunno(m_p->classe, u"   "_s).messaggio;
  for (const QString &nome : {u"   "_s, u"Ämma \"; DROP"_s}) {
    Scrivi(&f, u"txtNome"_s, nome);
    Clic(&f, u"cmdNuovoAlunno"_s);
  }
  QCOMPARE(m_p->b.messaggi.voci.size(), 1);
  QVERIFY(!perche.isEmpty());
  QCOMPARE(m_p->b.messaggi.voci.first().testo, perche);
  QCOMPARE(alunni->count(), 2);
  QVERIFY(!alunni->findItems(u"Ämma \"; DROP"_s, Qt::MatchExactly).isEmpty());
}

void TestFinestreRegistro::shouldPrintTheClassViewToAPdf() {
  if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) QSKIP("poppler-utils non installato");
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = m_p->zoe;
  d.famiglia = 9;
  d.inizio = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 20; ++n)
    QVERIFY(reg.operazioneChiusa(Chiusa(n, n <= 4 ? QStringList{u"virgola"_s} : QStringList{})));

  StampanteQt stampante;
  QVERIFY(stampante.scegli(kSalvaComePdf));
  const QString pdfFile = m_p->dir.percorso() + u"/classe.pdf"_s;
  stampante.impostaSceltaFilePdf([pdfFile](const QString &) { return pdfFile; });
  Contesto ctx{m_p->b.stato, m_p->b.orologio, m_p->casuale, m_p->b.messaggi, stampante, m_p->finestre};
  QVERIFY(r.nuovoAlunno(m_p->classe, u"Rossi Bianchi Verdi Neri"_s));  // 24 characters
  FrmRegistro f(r, ctx);
  QVERIFY(Attiva(&f));
  Clic(&f, u"cmdStampaClasse"_s);
  QVERIFY(m_p->b.messaggi.voci.isEmpty());
  const QString testo = pdf::esegui(u"pdftotext"_s, {u"-layout"_s, pdfFile, u"-"_s});
  QVERIFY2(testo.contains(u"Registro della classe 3ª A"_s),
           qPrintable(testo + m_p->b.messaggi.testi().join(u'|')));
  QVERIFY(testo.contains(u"08/12/2026"_s));
  QRegularExpression rigaZoe(u"Zoë\\s+9\\s+1\\s+(\\S+)"_s);
  const auto m = rigaZoe.match(testo);
  QVERIFY2(m.hasMatch(), qPrintable(testo));
  QVERIFY(GradoValutazione(m.captured(1)) > 0);
  QVERIFY(testo.contains(u"D'Amico"_s));
  // A name too wide for its column is cut, and still stands apart from the next one.
  QVERIFY2(testo.contains(u"Rossi Bianchi Verdi Ne… nessun esercizio finito"_s), qPrintable(testo));
  QVERIFY(testo.contains(u"chilogrammi"_s));
  // A4 portrait.
  const QString info = pdf::esegui(u"pdfinfo"_s, {pdfFile});
  QVERIFY2(info.contains(u"595.276 x 841.89"_s) || info.contains(u"595 x 842"_s), qPrintable(info));
}

void TestFinestreRegistro::shouldPrintThePupilsPageWithTheMistakeInWords() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = m_p->damico;
  d.famiglia = 4;
  d.inizio = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 20; ++n)
    QVERIFY(reg.operazioneChiusa(Chiusa(n, n <= 3 ? QStringList{u"senza-conversione"_s} : QStringList{})));
  FrmRegistro f(r, m_p->ctx);
  f.mostraAlunno(m_p->damico);
  Clic(&f, u"cmdStampaAlunno"_s);
  QCOMPARE(m_p->b.stampante.documenti.size(), 1);
  QStringList righe;
  for (const auto &riga : m_p->b.stampante.documenti.first().righe) righe << riga.testo;
  QCOMPARE(righe.first(), u"D'Amico — classe 3ª A"_s);
  QVERIFY2(righe.filter(u"07/12/2026 09:30"_s).size() == 1, qPrintable(righe.join(u'\n')));
  QVERIFY(righe.filter(u"20 su 20"_s).size() == 1);
  // Below the exercise, what was to be found, the order and the mistake in words.
  QVERIFY2(righe.filter(QRegularExpression(u"^    numero, \\w+; Senza conversione$"_s)).size() == 1, qPrintable(righe.join(u'\n')));
  // The chart below the heading, and the table below the chart.
  const auto &doc = m_p->b.stampante.documenti.first();
  QCOMPARE(doc.immagini.size(), 1);
  const auto &img = doc.immagini.first();
  QVERIFY(img.y > doc.righe.at(1).y);
  QVERIFY(doc.righe.at(2).y >= img.y + img.altezza);
  QVERIFY(img.x + img.larghezza <= 11906 - 900);  // inside an A4 page's width
  // The line of right answers is drawn on it.
  bool blu = false;
  for (int y = 0; y < img.contenuto.height() && !blu; ++y)
    for (int x = 0; x < img.contenuto.width() && !blu; x += 3)
      blu = img.contenuto.pixelColor(x, y) == aspetto::kBlu;
  QVERIFY(blu);
}

void TestFinestreRegistro::shouldExportTheChosenFilesAndNothingWhenTheChoiceIsCancelled() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = m_p->zoe;
  d.famiglia = 9;
  d.inizio = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 20; ++n)
    QVERIFY(reg.operazioneChiusa(Chiusa(n, n == 1 ? QStringList{u"virgola"_s} : QStringList{})));

  FrmRegistro f(r, m_p->ctx);
  QString scelto;
  QStringList suggeriti;
  f.impostaSceltaFile([&](QWidget *, const QString &s) {
    suggeriti << s;
    return scelto;
  });
  f.mostraAlunno(m_p->zoe);
  struct Caso {
    QString pulsante, file, suggerito, atteso;
  };
  const Caso casi[] = {
      {u"cmdCsvClasse"_s, u"classe.csv"_s, u"3ª A.csv"_s, u"\"Zoë\""_s},
      {u"cmdCsvAlunno"_s, u"alunno.csv"_s, u"Zoë.csv"_s, u"\"Virgola spostata\""_s},
      {u"cmdCsvOperazioni"_s, u"operazioni.csv"_s, u"3ª A operazioni.csv"_s, u"Virgola spostata"_s}};
  for (const Caso &c : casi) {
    scelto.clear();
    Clic(&f, c.pulsante);  // cancelled: no file, no message
    QVERIFY(m_p->b.messaggi.voci.isEmpty());
    scelto = m_p->dir.percorso() + u'/' + c.file;
    Clic(&f, c.pulsante);
    QVERIFY2(suggeriti.last().endsWith(u'/' + c.suggerito), qPrintable(suggeriti.last()));
    const QByteArray csv = Contenuto(scelto);
    QVERIFY2(csv.startsWith("\xEF\xBB\xBF"), qPrintable(c.file));
    QVERIFY2(QString::fromUtf8(csv).contains(c.atteso), qPrintable(QString::fromUtf8(csv)));
    QCOMPARE(m_p->b.messaggi.voci.size(), 1);
    QVERIFY(m_p->b.messaggi.voci.first().testo.contains(scelto));
    m_p->b.messaggi.voci.clear();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }
}

void TestFinestreRegistro::shouldTellAnUnusableRegisterOnceAndLetTheDrillGoOn() {
  CartellaTemporanea dir;
  Banco b;
  CasualeSistema casuale{7};
  Finestre finestre;
  Contesto ctx{b.stato, b.orologio, casuale, b.messaggi, b.stampante, finestre};
  b.stato.livello.strNomeFile = u"vornel"_s;
  // The register's path is a folder: no file can be opened there.
  QVERIFY(QDir(dir.percorso()).mkpath(u"registro.sqlite"_s));
  finestre.impostaQuaderno(std::make_unique<QuadernoRegistro>(dir.percorso() + u"/registro.sqlite"_s));
  frmInizio *inizio = finestre.avvia(ctx);
  QVERIFY(Attiva(inizio));
  const QString fileLivello = QDir::current().filePath(u"vornel.dat"_s);
  const QByteArray livello = Contenuto(fileLivello);
  QVERIFY(!livello.isEmpty());
  // Neither window opens over a register that can't be used; the fault is told once.
  for (const QString &voce : {u"mnuAlunno"_s, u"mnuRegistro"_s, u"mnuAlunno"_s}) {
    In<QAction>(inizio, voce)->trigger();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }
  QCOMPARE(b.messaggi.voci.size(), 1);
  QCOMPARE(b.stato.alunnoScelto.id, 0);
  QCOMPARE(Contenuto(fileLivello), livello);
  // The drill still starts, and its first operation, closed, goes to no
  // register without a second message or harm to the level file.
  QTest::mousePress(In(inizio, u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option2_0"_s), Qt::LeftButton);
  QTest::mousePress(In(inizio, u"Option3_0"_s), Qt::LeftButton);
  QVERIFY(QTest::qWaitFor([&] { return finestre.esercizio() && finestre.esercizio()->isVisible(); }));
  QCOMPARE(b.stato.esercizio.intOperazione, 1);
  for (QChar c : b.stato.operazione.strRisultato)
    if (c.isDigit() || c == u',')
      QTest::mouseClick(
          In(finestre.esercizio(), c == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(c.digitValue())),
          Qt::LeftButton);
  QTest::mouseClick(In(finestre.esercizio(), u"Option2_12"_s), Qt::LeftButton);
  QCOMPARE(In<QLabel>(finestre.esercizio(), u"LblEsito"_s)->text(), u"Esatto"_s);
  QCOMPARE(b.messaggi.voci.size(), 1);
  QCOMPARE(Contenuto(fileLivello), livello);
  for (QWidget *w : QApplication::topLevelWidgets()) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete finestre.inizio();
}

// The pupil's page sizes its columns measuring each different text once: the
// widths are those Qt's own measure of every cell gives.
void TestFinestreRegistro::shouldSizeThePupilsColumnsToTheirWidestTexts() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  const QStringList errori = {u"zero"_s, u"virgola+1"_s, u"unita"_s, u"simbolo-3"_s, u"vuota"_s};
  for (int i = 0; i < 24; ++i) {
    RegistrazioneEsercizio reg(r);
    DatiEsercizio d;
    d.alunno = m_p->zoe;
    d.famiglia = 1 + i % 12;
    d.cifre = 1 + i % 2;
    d.cosa = 1 + i % 3;
    d.ordine = 1 + (i / 3) % 3;
    d.inizio = QDateTime(QDate(2026, 9, 14).addDays(i), QTime(8 + i % 5, 0));
    QVERIFY(reg.inizia(d));
    const int operazioni = i % 4 == 3 ? 5 : 20;  // now and then one left unfinished
    for (int n = 1; n <= operazioni; ++n)
      QVERIFY(reg.operazioneChiusa(
          Chiusa(n, n % 3 == 0 ? QStringList{errori.at((i + n) % errori.size())} : QStringList{})));
    if (operazioni < 20) QVERIFY(reg.interrompi());
  }
  FrmRegistro f(r, m_p->ctx);
  QVERIFY(Attiva(&f));
  f.mostraAlunno(m_p->zoe);
  auto *tbl = In<QTableWidget>(&f, u"tblEsercizi"_s);
  QCOMPARE(tbl->rowCount(), 24);
  QList<int> larghezze;
  for (int c = 0; c + 1 < tbl->columnCount(); ++c) larghezze << tbl->columnWidth(c);
  tbl->horizontalHeader()->setStretchLastSection(false);
  tbl->resizeColumnsToContents();
  for (int c = 0; c + 1 < tbl->columnCount(); ++c)
    QVERIFY2(
        larghezze.at(c) == tbl->columnWidth(c),
        qPrintable(u"column %1: %2, measured %3"_s.arg(c).arg(larghezze.at(c)).arg(tbl->columnWidth(c))));
}

void TestFinestreRegistro::shouldShowTheExercisesWithoutANameOnAPageOfTheirOwn() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;  // no pupil chosen
  d.famiglia = 2;
  d.inizio = QDateTime(QDate(2026, 12, 8), QTime(11, 5));
  QVERIFY(reg.inizia(d));
  for (int n = 1; n <= 3; ++n) QVERIFY(reg.operazioneChiusa(Chiusa(n, {u"zero"_s})));
  QVERIFY(reg.interrompi());

  FrmRegistro f(r, m_p->ctx);
  QVERIFY(Attiva(&f));
  auto *classi = In<QComboBox>(&f, u"cmbClasse"_s);
  QCOMPARE(classi->itemText(classi->count() - 1), u"Senza nome"_s);
  classi->setCurrentIndex(classi->count() - 1);
  auto *tbl = In<QTableWidget>(&f, u"tblEsercizi"_s);
  QCOMPARE(tbl->rowCount(), 1);
  QCOMPARE(Testo(tbl, 0, 0), u"08/12/2026 11:05"_s);
  QCOMPARE(Testo(tbl, 0, 5), u"3 su 3"_s);
  QCOMPARE(Testo(tbl, 0, 6), u"non finito"_s);
  QCOMPARE(Testo(tbl, 0, 8), u"Zero segnaposto"_s);
  QCOMPARE(tbl->item(0, 8)->toolTip(), u"Nel tuo numero manca uno zero segnaposto."_s);
  // An unfinished exercise is no point of the chart.
  QCOMPARE(In<GraficoEsatte>(&f, u"graficoEsatte"_s)->serie().size(), 0);
  QCOMPARE(In<QTableWidget>(&f, u"tblClasse"_s)->rowCount(), 0);
}

void TestFinestreRegistro::shouldRenameAndEraseAClassThroughTheWindow() {
  m_p = std::make_unique<Programma>();
  Registro &r = m_p->quaderno->registro();
  FrmRegistro f(r, m_p->ctx);
  bool si = true;
  f.impostaConferma([&](QWidget *, const QString &) { return si; });
  QVERIFY(Attiva(&f));
  auto *classi = In<QListWidget>(&f, u"lstClassi"_s);
  auto *combo = In<QComboBox>(&f, u"cmbClasse"_s);

  Scrivi(&f, u"txtNome"_s, u"  \t "_s);
  Clic(&f, u"cmdRinominaClasse"_s);
  QCOMPARE(m_p->b.messaggi.voci.size(), 1);
  QCOMPARE(classi->item(0)->text(), u"3ª A"_s);

  Scrivi(&f, u"txtNome"_s, u"4ª A \"Rodari\"; DROP"_s);
  Clic(&f, u"cmdRinominaClasse"_s);
  QCOMPARE(r.classi().value(0).nome, u"4ª A \"Rodari\"; DROP"_s);
  QCOMPARE(combo->itemText(0), u"4ª A \"Rodari\"; DROP"_s);
  QCOMPARE(In<QLineEdit>(&f, u"txtNome"_s)->text(), QString());

  Scrivi(&f, u"txtNome"_s, u"5ª B"_s);
  Clic(&f, u"cmdNuovaClasse"_s);
  QCOMPARE(classi->count(), 2);
  QCOMPARE(combo->count(), 3);  // and "Senza nome"

  // Erasing the first class takes its pupils with it; the other stays.
  classi->setCurrentRow(0);
  si = false;
  Clic(&f, u"cmdCancellaClasse"_s);
  QCOMPARE(r.classi().size(), 2);
  si = true;
  Clic(&f, u"cmdCancellaClasse"_s);
  QCOMPARE(r.classi().size(), 1);
  QCOMPARE(r.classi().first().nome, u"5ª B"_s);
  QVERIFY(!r.alunno(m_p->zoe));
  QCOMPARE(combo->itemText(0), u"5ª B"_s);
  QCOMPARE(In<QTableWidget>(&f, u"tblClasse"_s)->rowCount(), 0);
  QCOMPARE(m_p->b.messaggi.voci.size(), 1);
}

// A pupil who for five days got one case of family 1 wrong (the second
// quantity left unconverted) and every other right: "Su misura" brings that
// case back often, never twice in a row, and the register reads it all back.
void TestFinestreRegistro::shouldBuildSuMisuraFromThePupilsHistoryAndShowTheirCases() {
  m_p = std::make_unique<Programma>();
  m_p->b.stato.livello.intLivello = 1;
  frmInizio *inizio = m_p->finestre.avvia(m_p->ctx);
  QVERIFY(Attiva(inizio));
  QAction *suMisura = In<QAction>(inizio, u"mnuSuMisura"_s);
  QVERIFY(!suMisura->isEnabled());
  QVERIFY(suMisura->toolTip().contains(u"Alunno"_s));
  QCOMPARE(suMisura->shortcut(), QKeySequence(Qt::ALT | Qt::Key_M));

  constexpr int kDifficile = 3;
  Registro &r = m_p->quaderno->registro();
  {
    RegistrazioneEsercizio storia(r);
    for (int giorno = 5; giorno >= 1; --giorno) {
      DatiEsercizio d;
      d.alunno = m_p->zoe;
      d.ordine = 3;
      d.inizio = QDateTime(m_p->b.orologio.data.addDays(-giorno), QTime(9, 0));
      QVERIFY(storia.inizia(d));
      for (int n = 1; n <= 20; ++n) {
        OperazioneChiusa op;
        op.numero = n;
        op.caso = (n - 1) % 12 + 1;
        op.richiesta = 4;
        op.addendo1 = op.addendo2 = op.unita = op.risultato = u"-"_s;
        op.risposte = {{u"1"_s, op.caso == kDifficile ? ChiaveSbaglio(Sbaglio::UnoSoloConvertito) : QString(), 0}};
        if (op.caso == kDifficile) op.risposte.append({u"2"_s, {}, 0});
        QVERIFY(storia.operazioneChiusa(op));
      }
    }
  }

  QuandoModale([](QWidget *f) {
    auto *lista = In<QListWidget>(f, u"lstAlunni"_s);
    lista->setCurrentItem(lista->findItems(u"Zoë"_s, Qt::MatchExactly).value(0));
    Clic(f, u"cmdScegli"_s);
  });
  In<QAction>(inizio, u"mnuAlunno"_s)->trigger();
  QVERIFY(suMisura->isEnabled());
  suMisura->trigger();
  FrmOperativo *es = nullptr;
  QVERIFY(QTest::qWaitFor([&] { return (es = m_p->finestre.esercizio()) && QApplication::activeWindow() == es; }));
  const Operazione &op = m_p->b.stato.operazione;
  QList<int> casi;
  for (int i = 1; i <= 20; ++i) {
    QCOMPARE(m_p->b.stato.esercizio.intOperazione, i);
    casi << op.intCaso;
    for (QChar c : op.strRisultato)
      if (c.isDigit() || c == u',')
        QTest::mouseClick(In(es, c == u',' ? u"Option2_10"_s : u"Option2_%1"_s.arg(c.digitValue())),
                          Qt::LeftButton);
    QTest::mouseClick(In(es, u"Option2_12"_s), Qt::LeftButton);
    QCOMPARE(In<QLabel>(es, u"LblEsito"_s)->text(), u"Esatto"_s);
    if (i < 20) QTest::mouseClick(In(es, u"Option2_13"_s), Qt::LeftButton);
  }
  // The ordinary exercise's counts and log.
  QCOMPARE(m_p->b.stato.esercizio.intEsatte, 20);
  QVERIFY(!m_p->b.stato.esercizio.strRigheEsercizio[20].isEmpty());
  for (qsizetype i = 1; i < casi.size(); ++i) QVERIFY2(casi[i] != casi[i - 1], qPrintable(QString::number(i)));
  QVERIFY2(casi.count(kDifficile) >= 4, qPrintable(QString::number(casi.count(kDifficile))));

  const auto valore = [&r](const QString &sql) {
    QSqlQuery q(r.db());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
  };
  QCOMPARE(valore(u"SELECT count(*) FROM esercizi WHERE su_misura = 1 AND stato = 1 AND ordine = 3"_s).toInt(), 1);
  QCOMPARE(valore(u"SELECT count(*) FROM operazioni o JOIN esercizi e ON e.id = o.esercizio"
                    u" WHERE e.su_misura = 1 AND o.caso IS NOT NULL AND o.richiesta IS NOT NULL"_s).toInt(), 20);

  FrmRegistro *reg = apriRegistro(u"2468"_s, true);
  QVERIFY(reg && QTest::qWaitForWindowExposed(reg));
  auto *tblClasse = In<QTableWidget>(reg, u"tblClasse"_s);
  const int colonna = tblClasse->columnCount() - 1;
  QCOMPARE(tblClasse->horizontalHeaderItem(colonna)->text(), u"Casi imparati"_s);
  // Right at the first try on two days or more: all but the hard case.
  QCOMPARE(Testo(tblClasse, RigaDi(tblClasse, u"Zoë"_s), colonna), u"1: 11 su 12"_s);
  QCOMPARE(Testo(tblClasse, RigaDi(tblClasse, u"D'Amico"_s), colonna), QString());
  In<QTabWidget>(reg, u"tabRegistro"_s)->setCurrentIndex(1);
  auto *cmb = In<QComboBox>(reg, u"cmbAlunno"_s);
  cmb->setCurrentIndex(cmb->findText(u"Zoë"_s));
  Q_EMIT cmb->activated(cmb->currentIndex());
  auto *tblCasi = In<QTableWidget>(reg, u"tblCasi"_s);
  QVERIFY(tblCasi->isVisible());
  QCOMPARE(tblCasi->rowCount(), 1);
  QVERIFY(Testo(tblCasi, 0, 1).startsWith(u"u + d, u + c, d + c"_s));
  // Right today after five wrong days: practising again, not yet learnt.
  QCOMPARE(Testo(tblCasi, 0, 2), u"u + m"_s);
  QCOMPARE(Testo(tblCasi, 0, 3), u"nessuno"_s);
  QVERIFY(SenzaNome(reg).isEmpty());
}

QTEST_MAIN(TestFinestreRegistro)
#include "test_finestreregistro.moc"
