#include <QTest>

#include "registro/consultazione.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {

QDateTime Il(int giorno, int mese = 10, int ora = 9) {
  return QDateTime(QDate(2026, mese, giorno), QTime(ora, 0));
}

// An exercise of the family with `esatte` right out of the operations closed;
// the first wrong ones carry the given mistakes. Finished when 20 were closed.
qint64 Esercizio(Registro &r, std::optional<qint64> alunno, int famiglia, QDateTime quando, int esatte,
                 int operazioni = 20, const QStringList &errori = {u"unita"_s}) {
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = alunno;
  d.famiglia = famiglia;
  d.cifre = 1;
  d.cosa = 2;
  d.ordine = 1;
  d.inizio = quando;
  if (!reg.inizia(d)) return 0;
  const qint64 id = reg.esercizio();
  for (int n = 1; n <= operazioni; ++n)
    if (!reg.operazioneChiusa(
            Operazione(n, n <= operazioni - esatte ? errori : QStringList{}, n > operazioni - esatte, 3)))
      return 0;
  reg.interrompi();
  return id;
}

}  // namespace

class TestConsultazione : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldRankGradeWords_data();
  void shouldRankGradeWords();
  void shouldShowTheClassLastGradesAndTrends();
  void shouldListAPupilsExercisesInOrder();
  void shouldPickTheMostFrequentMistake_data();
  void shouldPickTheMostFrequentMistake();
  void shouldListTheExercisesWithoutAName();
  void shouldGiveOneExercisesAnswers();
  void shouldGiveNothingForWhatDoesNotExist();
};

void TestConsultazione::shouldRankGradeWords_data() {
  QTest::addColumn<QString>("parola");
  QTest::addColumn<int>("grado");
  QTest::newRow("not classified") << u"Non classificato"_s << 0;
  QTest::newRow("barely") << u"SUFFICIENTE (!)"_s << 1;
  QTest::newRow("sufficient") << u"SUFFICIENTE"_s << 2;
  QTest::newRow("good") << u"BUONO"_s << 3;
  QTest::newRow("distinct") << u"DISTINTO"_s << 4;
  QTest::newRow("best") << u"OTTIMO"_s << 5;
  QTest::newRow("unknown") << u"BRAVO"_s << 0;
}

void TestConsultazione::shouldRankGradeWords() {
  QFETCH(QString, parola);
  QFETCH(int, grado);
  QCOMPARE(GradoValutazione(parola), grado);
}

void TestConsultazione::shouldShowTheClassLastGradesAndTrends() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 classe = r.nuovaClasse(u"3ª A"_s).id, altra = r.nuovaClasse(u"3ª B"_s).id;
  const qint64 bianchi = r.nuovoAlunno(classe, u"Bianchi"_s).id;
  const qint64 amico = r.nuovoAlunno(classe, u"D'Amico"_s).id;
  const qint64 zoe = r.nuovoAlunno(classe, u"Zoë"_s).id;
  const qint64 fuori = r.nuovoAlunno(altra, u"Neri"_s).id;
  // Bianchi, family 9: 10 then 18 of 20 (rising), recorded out of order; the
  // latest unfinished one doesn't count. Family 4: once.
  QVERIFY(Esercizio(r, bianchi, 9, Il(5), 18));
  QVERIFY(Esercizio(r, bianchi, 9, Il(1), 10));
  QVERIFY(Esercizio(r, bianchi, 9, Il(9), 2, 3));
  QVERIFY(Esercizio(r, bianchi, 4, Il(2), 13));
  // D'Amico, family 9: 20, then 19 (both OTTIMO: steady), then 14 (falling).
  QVERIFY(Esercizio(r, amico, 9, Il(1), 20));
  QVERIFY(Esercizio(r, amico, 9, Il(2), 19));
  QVERIFY(Esercizio(r, amico, 9, Il(3), 14));
  // Family 12 is practised only in the other class, and by no one in this one.
  QVERIFY(Esercizio(r, fuori, 12, Il(1), 20));
  QVERIFY(Esercizio(r, std::nullopt, 11, Il(1), 20));
  Q_UNUSED(zoe);

  const auto vista = LeggiVistaClasse(r, classe);
  QVERIFY(vista);
  QCOMPARE(vista->classe.nome, u"3ª A"_s);
  QCOMPARE(vista->famiglie, (QList<int>{4, 9}));
  QCOMPARE(vista->righe.size(), 3);
  const auto &b = vista->righe[0];
  QCOMPARE(b.alunno.nome, u"Bianchi"_s);
  QCOMPARE(b.famiglie.size(), 2);
  QCOMPARE(b.famiglie[0].famiglia, 4);
  QCOMPARE(b.famiglie[0].valutazione, u"SUFFICIENTE"_s);
  QCOMPARE(b.famiglie[0].andamento, Andamento::Nessuno);
  QCOMPARE(b.famiglie[0].esercizi, 1);
  QCOMPARE(b.famiglie[1].famiglia, 9);
  QCOMPARE(b.famiglie[1].valutazione, u"OTTIMO"_s);
  QCOMPARE(b.famiglie[1].andamento, Andamento::Sale);
  QCOMPARE(b.famiglie[1].esercizi, 2);
  QCOMPARE(b.famiglie[1].ultimo, Il(5));
  const auto &a = vista->righe[1];
  QCOMPARE(a.alunno.nome, u"D'Amico"_s);
  QCOMPARE(a.famiglie.size(), 1);
  QCOMPARE(a.famiglie[0].valutazione, u"BUONO"_s);
  QCOMPARE(a.famiglie[0].andamento, Andamento::Scende);
  QCOMPARE(a.famiglie[0].esercizi, 3);
  QCOMPARE(vista->righe[2].alunno.nome, u"Zoë"_s);
  QVERIFY(vista->righe[2].famiglie.isEmpty());

  // One more OTTIMO after another: steady.
  QVERIFY(Esercizio(r, amico, 9, Il(4), 20));
  QVERIFY(Esercizio(r, amico, 9, Il(6), 18));
  QCOMPARE(LeggiVistaClasse(r, classe)->righe[1].famiglie[0].andamento, Andamento::Stabile);
}

void TestConsultazione::shouldListAPupilsExercisesInOrder() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 classe = r.nuovaClasse(u"3ª A"_s).id;
  const qint64 zoe = r.nuovoAlunno(classe, u"Zoë"_s).id;
  const qint64 tardi = Esercizio(r, zoe, 7, Il(20, 11, 11), 17);
  const qint64 presto = Esercizio(r, zoe, 2, Il(3, 10, 8), 9);
  const qint64 lasciato = Esercizio(r, zoe, 2, Il(4, 10, 8), 4, 6);
  const auto pagina = LeggiPaginaAlunno(r, zoe);
  QVERIFY(pagina);
  QCOMPARE(pagina->alunno.nome, u"Zoë"_s);
  QCOMPARE(pagina->classe, u"3ª A"_s);
  QCOMPARE(pagina->esercizi.size(), 3);
  const auto &e0 = pagina->esercizi[0];
  QCOMPARE(e0.id, presto);
  QCOMPARE(e0.inizio, Il(3, 10, 8));
  QCOMPARE(e0.famiglia, 2);
  QCOMPARE(e0.cifre, 1);
  QCOMPARE(e0.cosa, 2);
  QCOMPARE(e0.ordine, 1);
  QCOMPARE(e0.esatte, 9);
  QCOMPARE(e0.operazioni, 20);
  QCOMPARE(e0.valutazione, u"Non classificato"_s);
  QCOMPARE(e0.secondi, 60);
  QCOMPARE(e0.erroreFrequente, u"unita"_s);
  QCOMPARE(e0.stato, StatoEsercizio::Finito);
  const auto &e1 = pagina->esercizi[1];
  QCOMPARE(e1.id, lasciato);
  QCOMPARE(e1.stato, StatoEsercizio::NonFinito);
  QCOMPARE(e1.operazioni, 6);
  QCOMPARE(e1.esatte, 4);
  QCOMPARE(pagina->esercizi[2].id, tardi);
  QCOMPARE(pagina->esercizi[2].valutazione, u"DISTINTO"_s);
  // The chart: finished exercises only, oldest first.
  QCOMPARE(pagina->serie.size(), 2);
  QCOMPARE(pagina->serie[0].quando, Il(3, 10, 8));
  QCOMPARE(pagina->serie[0].esatte, 9);
  QCOMPARE(pagina->serie[1].esatte, 17);
  QCOMPARE(pagina->serie[1].operazioni, 20);
}

void TestConsultazione::shouldPickTheMostFrequentMistake_data() {
  QTest::addColumn<QStringList>("errori");
  QTest::addColumn<QString>("atteso");
  QTest::newRow("none") << QStringList{} << QString();
  QTest::newRow("one") << QStringList{u"virgola+1"_s} << u"virgola+1"_s;
  QTest::newRow("the most") << QStringList{u"a"_s, u"b"_s, u"b"_s} << u"b"_s;
  QTest::newRow("a tie goes to the first made") << QStringList{u"b"_s, u"a"_s} << u"b"_s;
}

void TestConsultazione::shouldPickTheMostFrequentMistake() {
  QFETCH(QStringList, errori);
  QFETCH(QString, atteso);
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = r.nuovoAlunno(r.nuovaClasse(u"3ª A"_s).id, u"Rossi"_s).id;
  // Two operations with those mistakes each, so counts double and ties stay ties.
  QVERIFY(Esercizio(r, alunno, 1, Il(1), 18, 20, errori));
  QCOMPARE(LeggiPaginaAlunno(r, alunno)->esercizi.value(0).erroreFrequente, atteso);
}

void TestConsultazione::shouldListTheExercisesWithoutAName() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 alunno = r.nuovoAlunno(r.nuovaClasse(u"3ª A"_s).id, u"Rossi"_s).id;
  QVERIFY(Esercizio(r, alunno, 1, Il(1), 18));
  const qint64 anonimo = Esercizio(r, std::nullopt, 3, Il(2), 15);
  const auto pagina = LeggiPaginaAlunno(r, 0);
  QVERIFY(pagina);
  QCOMPARE(pagina->alunno.nome, kSenzaNome);
  QCOMPARE(pagina->esercizi.size(), 1);
  QCOMPARE(pagina->esercizi[0].id, anonimo);
}

void TestConsultazione::shouldGiveOneExercisesAnswers() {
  RegistroProva p;
  Registro r(p.file);
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.inizio = Il(1);
  QVERIFY(reg.inizia(d));
  const qint64 id = reg.esercizio();
  OperazioneChiusa simbolo;
  simbolo.numero = 1;
  simbolo.chiesto = 2;
  simbolo.addendo1 = u"3 dam"_s;
  simbolo.addendo2 = u"4  m"_s;
  simbolo.unita = u"  m"_s;
  simbolo.risultato = u"  m"_s;
  simbolo.risposte = {{u" dam"_s, u"simbolo"_s}, {u"  m"_s, {}}};
  simbolo.secondi = 12;
  QVERIFY(reg.operazioneChiusa(simbolo));
  QVERIFY(reg.operazioneChiusa(Operazione(2, {u"unita"_s, u"virgola+1"_s, u"unita"_s}, false, 40)));
  QVERIFY(reg.operazioneChiusa(Operazione(3, {}, true, 2)));
  const auto operazioni = LeggiOperazioni(r, id);
  QVERIFY(operazioni);
  QCOMPARE(operazioni->size(), 3);
  const auto &o1 = (*operazioni)[0];
  QCOMPARE(o1.numero, 1);
  QCOMPARE(o1.chiesto, 2);
  QCOMPARE(o1.addendo1, u"3 dam"_s);
  QCOMPARE(o1.addendo2, u"4  m"_s);
  QCOMPARE(o1.unita, u"  m"_s);
  QCOMPARE(o1.risultato, u"  m"_s);
  QCOMPARE(o1.risposte, (QList<Risposta>{{u" dam"_s, u"simbolo"_s}, {u"  m"_s, u""_s}}));
  QCOMPARE(o1.intervento, false);
  QCOMPARE(o1.secondi, 12);
  const auto &o2 = (*operazioni)[1];
  QCOMPARE(o2.intervento, true);
  QCOMPARE(o2.risposte.size(), 3);
  QCOMPARE(o2.risposte[1].errore, u"virgola+1"_s);
  QCOMPARE(o2.secondi, 40);
  QCOMPARE((*operazioni)[2].risposte.size(), 1);
}

void TestConsultazione::shouldGiveNothingForWhatDoesNotExist() {
  RegistroProva p;
  Registro r(p.file);
  QVERIFY(!LeggiVistaClasse(r, 42));
  QVERIFY(!LeggiPaginaAlunno(r, 42));
  QVERIFY(!LeggiOperazioni(r, 42));
  QVERIFY(!r.prendiMessaggio());
  // An exercise opened but with nothing closed has no operations, yet exists.
  RegistrazioneEsercizio reg(r);
  QVERIFY(reg.inizia(DatiEsercizio{std::nullopt, std::nullopt, 1, 1, 1, 1, Il(1)}));
  QCOMPARE(LeggiOperazioni(r, reg.esercizio())->size(), 0);
}

QTEST_GUILESS_MAIN(TestConsultazione)
#include "test_consultazione.moc"
