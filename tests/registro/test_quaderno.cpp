#include "exercise/copione.h"
#include "registro/consultazione.h"
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/exercise/motoreesercizio.h"
#include "ui/registro/quadernoregistro.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A register that fails once, as a full disk would, and records what it is told.
class QuadernoGuasto final : public Quaderno {
 public:
  void iniziaEsercizio(const DatiEsercizio &) override { ++inizi; }
  void operazioneChiusa(const OperazioneChiusa &op) override { chiuse << op.numero; }
  void interrompiEsercizio() override { ++interruzioni; }
  std::optional<QString> prendiMessaggio() override { return std::exchange(messaggio, std::nullopt); }
  std::optional<QString> messaggio = u"Il registro non può essere scritto: il disco è pieno."_s;
  int inizi = 0, interruzioni = 0;
  QList<int> chiuse;
};

}  // namespace

// What an exercise leaves in the pupils' register: the operations with every
// answer and its mistake class, the exercise left unfinished when the window
// closes; the register module as the program loads it; a fault told once.
class TestQuaderno : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldRecordEachAnswerWithItsMistake();
  void shouldLoadTheRegisterModuleAtFirstUseOnly();
  void shouldTellAFaultOnceAndGoOn();
};

void TestQuaderno::shouldRecordEachAnswerWithItsMistake() {
  QTemporaryDir dir;
  QuadernoRegistro q(dir.filePath(u"registro.sqlite"_s));
  Banco b;
  Famiglia(b.stato, 3);
  b.stato.livello.intLivello = 3;
  b.stato.impostazioni.intCosaCalcolare = 1;
  b.orologio.secondi = 36000.0;
  MotoreEsercizio m(b.stato, b.orologio, b.casuale, b.messaggi);
  m.impostaQuaderno(&q);
  Operazione4(b.casuale, 1, 3, 5, 4);  // 3 k + 5 h = 3.500 u
  Operazione4(b.casuale, 2, 7, 2, 3);  // 7 k + 2 da = 702 da
  Operazione4(b.casuale, 3, 9, 9, 2);  // 9 k + 9 u = 90,09 h
  m.nuovoEsercizio();
  for (QChar c : u"8"_s) m.cifra(c.digitValue());  // 3 + 5, not converted
  m.verificaRisposta();
  m.riprova();
  for (QChar c : u"350"_s) m.cifra(c.digitValue());  // ten times too small
  m.verificaRisposta();
  m.riprova();
  for (QChar c : u"3500"_s) m.cifra(c.digitValue());
  b.orologio.secondi += 12.4;
  m.verificaRisposta();
  m.nuovaOperazione();
  m.verificaRisposta();  // nothing typed
  m.intervieni();        // "SI"
  m.nuovaOperazione();
  m.interrompi();  // the window closes at the third operation

  QVERIFY(q.registro().aperto());
  const auto pagina = LeggiPaginaAlunno(q.registro(), 0);
  QVERIFY(pagina);
  QCOMPARE(pagina->esercizi.size(), 1);
  const RigaEsercizio &es = pagina->esercizi.first();
  QCOMPARE(es.famiglia, 3);
  QCOMPARE(es.operazioni, 2);
  QCOMPARE(es.esatte, 1);
  QCOMPARE(es.stato, StatoEsercizio::NonFinito);
  QCOMPARE(es.inizio.time(), QTime(10, 0));
  const auto ops = LeggiOperazioni(q.registro(), es.id);
  QVERIFY(ops);
  QCOMPARE(ops->size(), 2);
  const OperazioneRegistrata &prima = ops->at(0);
  QCOMPARE(prima.risultato, u"3.500"_s);
  QCOMPARE(prima.secondi, 12);
  QVERIFY(!prima.intervento);
  // The comma mistake keeps its direction and size: ten times too small.
  const QList<Risposta> attese{
      {u"8"_s, u"senza-conversione"_s}, {u"350"_s, u"virgola"_s, -1}, {u"3.500"_s, QString()}};
  QCOMPARE(prima.risposte, attese);
  const OperazioneRegistrata &seconda = ops->at(1);
  QVERIFY(seconda.intervento);
  QCOMPARE(seconda.risposte, (QList<Risposta>{{QString(), u"vuota"_s}}));
  QCOMPARE(seconda.addendo2, u"2 da"_s);
}

void TestQuaderno::shouldLoadTheRegisterModuleAtFirstUseOnly() {
  QTemporaryDir dati;
  qputenv("XDG_DATA_HOME", dati.path().toLocal8Bit());
  ProgrammaDiProva p;
  // A test's windows record nowhere unless asked; the real program asks.
  QCOMPARE(p.finestre.quaderno(), nullptr);
  p.finestre.caricaQuadernoAlBisogno(true);
  Quaderno *q = p.finestre.quaderno();
  QVERIFY2(q, "the register module was not found beside the build");
  QCOMPARE(p.finestre.quaderno(), q);  // loaded once
  DatiEsercizio d;
  d.inizio = QDateTime(QDate(2026, 12, 9), QTime(9, 30));
  q->iniziaEsercizio(d);
  q->interrompiEsercizio();
  QStringList file;
  for (QDirIterator it(dati.path(), {u"*.sqlite"_s}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
    file << it.next();
  QCOMPARE(file.size(), 1);
  const auto messaggio = q->prendiMessaggio();
  QVERIFY2(!messaggio, qPrintable(messaggio.value_or(QString())));
}

void TestQuaderno::shouldTellAFaultOnceAndGoOn() {
  Banco b;
  QuadernoGuasto q;
  b.navRegistrata.registro = &q;
  Famiglia(b.stato, 3);
  b.stato.impostazioni.intCosaCalcolare = 1;
  Operazione4(b.casuale, 1, 3, 5, 4);
  Operazione4(b.casuale, 1, 3, 5, 4);
  auto *w = new FrmOperativo(b.ctx);
  QVERIFY(Attiva(w));
  QTRY_COMPARE(b.messaggi.voci.size(), 1);
  QCOMPARE(b.messaggi.voci.first().testo, u"Il registro non può essere scritto: il disco è pieno."_s);
  QCOMPARE(q.inizi, 1);
  // The drill goes on: the next operation is judged and counted as ever.
  for (QChar c : u"3500"_s) QTest::mouseClick(w->findChild<QWidget *>(u"Option2_%1"_s.arg(c.digitValue())), Qt::LeftButton);
  QTest::mouseClick(w->findChild<QWidget *>(u"Option2_12"_s), Qt::LeftButton);
  QCOMPARE(b.stato.esercizio.intEsatte, 1);
  QCOMPARE(q.chiuse, QList<int>{1});
  QTest::qWait(10);
  QCOMPARE(b.messaggi.voci.size(), 1);
  w->close();
  QCOMPARE(q.interruzioni, 1);
  delete w;
}

QTEST_MAIN(TestQuaderno)
#include "test_quaderno.moc"
