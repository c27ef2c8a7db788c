// The pupils' plans in the register: the step from the last version of the
// register keeps everything in it, a plan is kept, replaced and dropped, goes
// with the pupil, and a row that isn't ours switches nothing on.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include "registro/piani.h"
#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/schema.h"
#include "registroprova.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kIterazioniProva = 1000;

// Another program's plain connection to the file.
class Connessione {
 public:
  explicit Connessione(const QString &file) : m_nome(u"piani-%1"_s.arg(++s_n)) {
    QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_nome);
    d.setDatabaseName(file);
    d.open();
  }
  ~Connessione() {
    QSqlDatabase::database(m_nome).close();
    QSqlDatabase::removeDatabase(m_nome);
  }
  QVariant valore(const QString &sql, const QVariantList &parametri = {}) {
    QSqlQuery q(QSqlDatabase::database(m_nome));
    q.prepare(sql);
    for (const QVariant &p : parametri) q.addBindValue(p);
    if (!q.exec() || !q.next()) return {};
    return q.value(0);
  }
  bool esegui(const QString &sql, const QVariantList &parametri = {}) {
    QSqlQuery q(QSqlDatabase::database(m_nome));
    q.prepare(sql);
    for (const QVariant &p : parametri) q.addBindValue(p);
    return q.exec();
  }

 private:
  QString m_nome;
  static inline int s_n = 0;
};

Opzioni Piano(bool leggi, bool tabella, bool orologio, bool grandi, bool contrasto) {
  return Opzioni{leggi, tabella, orologio, grandi, contrasto};
}

}  // namespace

class TestPiani : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldStepUpFromTheLastVersionKeepingEverything();
  void shouldKeepReplaceAndDropAPupilsPlan();
  void shouldReadAStrangeRowAsOptionsOff_data();
  void shouldReadAStrangeRowAsOptionsOff();
  void shouldEraseThePlanWithThePupilAndTheClass();
  void shouldRefuseAPlanForAPupilWhoIsGone();
};

void TestPiani::shouldStepUpFromTheLastVersionKeepingEverything() {
  RegistroProva p;
  // A register as version 2 left it: pupils, an exercise, a PIN (its digest
  // made by the door of today, which reads the old ones alike).
  QByteArray sale, impronta;
  {
    RegistroProva altro;
    Registro r(altro.file);
    QVERIFY(PortaDocente(r, {}, kIterazioniProva).scegliPin(u"2468"_s));
    QSqlQuery q(r.db());
    QVERIFY(q.exec(u"SELECT sale, impronta FROM porta"_s) && q.next());
    sale = q.value(0).toByteArray();
    impronta = q.value(1).toByteArray();
  }
  const qint64 zoe = 1, esercizio = 1;
  {
    Connessione c(p.file);
    for (int v = 1; v <= 2; ++v)
      for (const QString &istruzione : PassoMigrazione(v)) QVERIFY2(c.esegui(istruzione), qPrintable(istruzione));
    QVERIFY(c.esegui(u"INSERT INTO classi (id, nome) VALUES (1, '3ª A')"_s));
    QVERIFY(c.esegui(u"INSERT INTO alunni (id, classe, nome) VALUES (1, 1, 'Zoë'), (2, 1, 'D''Amico \"; DROP')"_s));
    QVERIFY(c.esegui(u"INSERT INTO esercizi (id, alunno, classe, famiglia, cifre, cosa, ordine, inizio, operazioni,"
                     u" errore) VALUES (1, 1, 1, 9, 1, 1, 1, '2026-11-30T09:00:00', 1, 'virgola')"_s));
    QVERIFY(c.esegui(u"INSERT INTO operazioni VALUES (1, 1, 1, 1, '12  h', ' 7 da', '  u', '1.270', 0, 7)"_s));
    QVERIFY(c.esegui(u"INSERT INTO risposte VALUES (1, 1, '127', 'virgola'), (1, 2, '1.270', '')"_s));
    QVERIFY(c.esegui(u"INSERT INTO porta (id, sale, impronta, iterazioni) VALUES (1, ?, ?, ?)"_s,
                     {sale, impronta, kIterazioniProva}));
  }
  Registro r(p.file);
  QVERIFY(r.apri());
  QVERIFY(!r.prendiMessaggio());
  {
    Connessione c(p.file);
    QCOMPARE(c.valore(u"PRAGMA user_version"_s).toInt(), Registro::kVersioneSchema);
    QCOMPARE(c.valore(u"SELECT count(*) FROM piani"_s).toInt(), 0);
    QCOMPARE(c.valore(u"SELECT count(*) FROM operazioni WHERE esercizio = ?"_s, {esercizio}).toInt(), 1);
    QCOMPARE(c.valore(u"SELECT errore FROM esercizi WHERE id = ?"_s, {esercizio}).toString(), u"virgola"_s);
  }
  QCOMPARE(r.alunni(r.classi().value(0).id).size(), 2);
  QCOMPARE(r.alunno(zoe)->nome, u"Zoë"_s);
  // Nobody has a plan yet; the PIN still opens the door.
  QCOMPARE(LeggiPiano(r, zoe), std::nullopt);
  PortaDocente porta(r, {}, kIterazioniProva);
  QCOMPARE(porta.prova(u"2468"_s).risultato, PortaDocente::Risultato::Aperta);
  QVERIFY(SalvaPiano(r, zoe, Piano(false, false, true, false, false)));
}

void TestPiani::shouldKeepReplaceAndDropAPupilsPlan() {
  RegistroProva p;
  qint64 zoe = 0, luca = 0;
  {
    Registro r(p.file);
    const qint64 classe = r.nuovaClasse(u"3ª A"_s).id;
    zoe = r.nuovoAlunno(classe, u"Zoë"_s).id;
    luca = r.nuovoAlunno(classe, u"Luca"_s).id;
    QVERIFY(SalvaPiano(r, zoe, Piano(true, false, true, false, true)));
    QVERIFY(SalvaPiano(r, luca, Piano(false, true, false, false, false)));
  }
  // Read back by a register opened afresh, as the next run of the program.
  Registro r(p.file);
  QCOMPARE(LeggiPiano(r, zoe), Piano(true, false, true, false, true));
  QCOMPARE(LeggiPiano(r, luca), Piano(false, true, false, false, false));
  // A plan with everything off is a plan still: the machine's options don't hold.
  QVERIFY(SalvaPiano(r, zoe, Opzioni{}));
  QCOMPARE(LeggiPiano(r, zoe), Opzioni{});
  QVERIFY(SalvaPiano(r, zoe, Piano(false, false, false, true, false)));
  QCOMPARE(LeggiPiano(r, zoe), Piano(false, false, false, true, false));
  QVERIFY(CancellaPiano(r, zoe));
  QCOMPARE(LeggiPiano(r, zoe), std::nullopt);
  QVERIFY(CancellaPiano(r, zoe));  // nothing left to drop: no harm
  QCOMPARE(LeggiPiano(r, luca), Piano(false, true, false, false, false));
  QCOMPARE(LeggiPiano(r, 0), std::nullopt);
  QVERIFY(!r.prendiMessaggio());
}

void TestPiani::shouldReadAStrangeRowAsOptionsOff_data() {
  QTest::addColumn<QVariant>("valore");
  QTest::addColumn<bool>("acceso");
  QTest::newRow("one") << QVariant(1) << true;
  QTest::newRow("the text 1, kept as a number by the column") << QVariant(u"1"_s) << true;
  QTest::newRow("zero") << QVariant(0) << false;
  QTest::newRow("two") << QVariant(2) << false;
  QTest::newRow("minus one") << QVariant(-1) << false;
  QTest::newRow("a huge number") << QVariant(qint64(1) << 40) << false;
  QTest::newRow("one and a half") << QVariant(1.5) << false;
  QTest::newRow("a word") << QVariant(u"sì"_s) << false;
  QTest::newRow("true, as text") << QVariant(u"true"_s) << false;
  QTest::newRow("a blob") << QVariant(QByteArray("\x01", 1)) << false;
  QTest::newRow("empty text") << QVariant(u""_s) << false;
}

void TestPiani::shouldReadAStrangeRowAsOptionsOff() {
  QFETCH(QVariant, valore);
  QFETCH(bool, acceso);
  RegistroProva p;
  qint64 zoe = 0;
  {
    Registro r(p.file);
    zoe = r.nuovoAlunno(r.nuovaClasse(u"3ª A"_s).id, u"Zoë"_s).id;
  }
  {
    // Written by hand, as another program could: every column the same value.
    Connessione c(p.file);
    QVERIFY(c.esegui(
        u"INSERT INTO piani (alunno, leggi_sempre, tabella_a_mano, senza_orologio, caratteri_grandi, alto_contrasto)"
        u" VALUES (?, ?, ?, ?, ?, ?)"_s,
        {zoe, valore, valore, valore, valore, valore}));
  }
  Registro r(p.file);
  const auto piano = LeggiPiano(r, zoe);
  QVERIFY(piano);  // a row is a plan, whatever it holds
  QCOMPARE(*piano, acceso ? Piano(true, true, true, true, true) : Opzioni{});
  QVERIFY(!r.prendiMessaggio());
  QCOMPARE(r.guasto(), Guasto::Nessuno);
  // The teacher's next choice replaces it.
  QVERIFY(SalvaPiano(r, zoe, Piano(false, true, false, false, false)));
  QCOMPARE(LeggiPiano(r, zoe), Piano(false, true, false, false, false));
}

void TestPiani::shouldEraseThePlanWithThePupilAndTheClass() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 a = r.nuovaClasse(u"3ª A"_s).id, b = r.nuovaClasse(u"3ª B"_s).id;
  const qint64 zoe = r.nuovoAlunno(a, u"Zoë"_s).id, luca = r.nuovoAlunno(a, u"Luca"_s).id,
               anna = r.nuovoAlunno(b, u"Anna"_s).id;
  for (qint64 id : {zoe, luca, anna}) QVERIFY(SalvaPiano(r, id, Piano(false, false, true, false, false)));
  QVERIFY(r.cancellaAlunno(zoe));
  Connessione c(p.file);
  QCOMPARE(c.valore(u"SELECT count(*) FROM piani WHERE alunno = ?"_s, {zoe}).toInt(), 0);
  QCOMPARE(c.valore(u"SELECT count(*) FROM piani"_s).toInt(), 2);
  QVERIFY(r.cancellaClasse(a));
  QCOMPARE(c.valore(u"SELECT count(*) FROM piani"_s).toInt(), 1);
  QCOMPARE(LeggiPiano(r, anna), Piano(false, false, true, false, false));
  // A pupil of the same name made anew starts without a plan.
  QCOMPARE(LeggiPiano(r, r.nuovoAlunno(b, u"Zoë"_s).id), std::nullopt);
}

void TestPiani::shouldRefuseAPlanForAPupilWhoIsGone() {
  RegistroProva p;
  Registro r(p.file);
  const qint64 zoe = r.nuovoAlunno(r.nuovaClasse(u"3ª A"_s).id, u"Zoë"_s).id;
  QVERIFY(r.cancellaAlunno(zoe));
  const Esito e = SalvaPiano(r, zoe, Piano(true, false, false, false, false));
  QVERIFY(!e);
  QCOMPARE(e.messaggio, u"L'alunno non esiste più."_s);
  QCOMPARE(LeggiPiano(r, zoe), std::nullopt);
  QVERIFY(!r.prendiMessaggio());  // a refusal, not a fault of the register
}

QTEST_MAIN(TestPiani)
#include "test_piani.moc"
