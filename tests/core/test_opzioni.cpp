#include "app/opzioni.h"
#include "platform/preferenze.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Opzioni)

namespace {

Opzioni Tutte() { return {true, true, true, true, true}; }

QByteArray Contenuto(const QString &percorso) {
  QFile f(percorso);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<assente>");
}

void Scrivi(const QString &percorso, const QByteArray &testo) {
  QFile f(percorso);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(testo);
}

}  // namespace

class TestOpzioni : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }
  void shouldReadWhatTheFileHoldsAndNothingElse_data();
  void shouldReadWhatTheFileHoldsAndNothingElse();
  void shouldKeepEachOptionAcrossARestart_data();
  void shouldKeepEachOptionAcrossARestart();
  void shouldReplaceAnUnreadableFileAtTheFirstChange();
  void shouldMakeTheConfigFolderWhenMissing();
  void shouldLetThePupilsPlanStandForTheMachines();

 private:
  QTemporaryDir m_dir;
};

void TestOpzioni::shouldReadWhatTheFileHoldsAndNothingElse_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<Opzioni>("attese");
  const Opzioni spente;
  Opzioni orologio;
  orologio.senzaOrologio = true;
  Opzioni tabella;
  tabella.tabellaAMano = true;
  QTest::newRow("no file") << QByteArray() << spente;
  QTest::newRow("empty") << QByteArray("") << spente;
  QTest::newRow("all on") << QByteArray("[opzioni]\nleggiSempre=true\ntabellaAMano=true\nsenzaOrologio=true\n"
                                        "caratteriGrandi=true\naltoContrasto=true\n")
                          << Tutte();
  QTest::newRow("one on, written as 1") << QByteArray("[opzioni]\nsenzaOrologio=1\n") << orologio;
  QTest::newRow("binary garbage") << QByteArrayLiteral("\x00\xff\xfe[opz\x01ioni]\n\x00=\xc3\x28true") << spente;
  QTest::newRow("a text that is not settings") << QByteArray("Caro diario, oggi ho fatto le addizioni.\n") << spente;
  QTest::newRow("a section never closed") << QByteArray("[opzioni\nsenzaOrologio=true\n") << spente;
  QTest::newRow("unknown keys only") << QByteArray("[opzioni]\nvolume=11\ncolore=verde\n") << spente;
  QTest::newRow("unknown keys beside a known one")
      << QByteArray("[opzioni]\nvolume=11\ntabellaAMano=true\nzzz=\n") << tabella;
  QTest::newRow("out of range 2") << QByteArray("[opzioni]\nsenzaOrologio=2\n") << spente;
  QTest::newRow("out of range -1") << QByteArray("[opzioni]\nsenzaOrologio=-1\n") << spente;
  QTest::newRow("a huge number") << QByteArray("[opzioni]\nsenzaOrologio=99999999999999999999999\n") << spente;
  QTest::newRow("a word") << QByteArray("[opzioni]\nsenzaOrologio=si\n") << spente;
  QTest::newRow("a list") << QByteArray("[opzioni]\nsenzaOrologio=true, true\n") << spente;
  QTest::newRow("no value") << QByteArray("[opzioni]\nsenzaOrologio=\n") << spente;
  QTest::newRow("a stored picture") << QByteArray("[opzioni]\nsenzaOrologio=@Variant(\\0\\0\\0\\x7f\\0\\0)\n")
                                    << spente;
  QTest::newRow("the right key in another section") << QByteArray("[altro]\nsenzaOrologio=true\n") << spente;
  QTest::newRow("a file too large to be ours")
      << (QByteArray("[opzioni]\nsenzaOrologio=true\n") + QByteArray(100 * 1024, 'x')) << spente;
  QTest::newRow("bad rows around a good one")
      << QByteArray("[opzioni]\n===\nsenzaOrologio=true\n\x01\x02\naltoContrasto=forse\n") << orologio;
}

// A bad file counts as every option off (or as the good rows it holds): read
// without a word (a warning fails the test) and left exactly as it was.
void TestOpzioni::shouldReadWhatTheFileHoldsAndNothingElse() {
  QFETCH(QByteArray, file);
  QFETCH(Opzioni, attese);
  const QString percorso = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".ini"_s);
  if (!file.isNull()) Scrivi(percorso, file);
  const QByteArray prima = Contenuto(percorso);
  const PreferenzeQt p(percorso);
  QCOMPARE(LeggiOpzioni(p), attese);
  QCOMPARE(Contenuto(percorso), prima);
}

void TestOpzioni::shouldKeepEachOptionAcrossARestart_data() {
  QTest::addColumn<Opzioni>("opzioni");
  const std::pair<const char *, bool Opzioni::*> campi[] = {
      {"leggi sempre", &Opzioni::leggiSempre},       {"tabella a mano", &Opzioni::tabellaAMano},
      {"senza orologio", &Opzioni::senzaOrologio},   {"caratteri grandi", &Opzioni::caratteriGrandi},
      {"alto contrasto", &Opzioni::altoContrasto}};
  for (auto [nome, campo] : campi) {
    Opzioni o;
    o.*campo = true;
    QTest::newRow(nome) << o;
  }
  QTest::newRow("all") << Tutte();
  QTest::newRow("none") << Opzioni{};
}

void TestOpzioni::shouldKeepEachOptionAcrossARestart() {
  QFETCH(Opzioni, opzioni);
  const QString percorso = m_dir.filePath(u"riavvio.ini"_s);
  {
    PreferenzeQt p(percorso);
    ScriviOpzioni(p, Tutte());  // what was there before is overwritten, not merged
    ScriviOpzioni(p, opzioni);
  }
  const PreferenzeQt dopo(percorso);
  QCOMPARE(LeggiOpzioni(dopo), opzioni);
}

void TestOpzioni::shouldReplaceAnUnreadableFileAtTheFirstChange() {
  const QString percorso = m_dir.filePath(u"rovinato.ini"_s);
  Scrivi(percorso, QByteArrayLiteral("[opzioni\n\x00\x01garbage"));
  PreferenzeQt p(percorso);
  QCOMPARE(LeggiOpzioni(p), Opzioni{});
  Opzioni o;
  o.tabellaAMano = true;
  ScriviOpzioni(p, o);
  QCOMPARE(LeggiOpzioni(PreferenzeQt(percorso)), o);
}

void TestOpzioni::shouldMakeTheConfigFolderWhenMissing() {
  const QString percorso = m_dir.filePath(u"nuova/cartella/opzioni.ini"_s);
  PreferenzeQt p(percorso);
  ScriviOpzioni(p, Tutte());
  QVERIFY(QFile::exists(percorso));
  QCOMPARE(LeggiOpzioni(p), Tutte());
}

void TestOpzioni::shouldLetThePupilsPlanStandForTheMachines() {
  SceltaOpzioni s;
  s.macchina.senzaOrologio = true;
  QCOMPARE(s.inVigore(), s.macchina);
  s.alunno = Opzioni{};
  s.alunno->tabellaAMano = true;
  QVERIFY(!s.inVigore().senzaOrologio);  // the plan stands whole, not merged with the machine's
  QVERIFY(s.inVigore().tabellaAMano);
  s.daCambiare().altoContrasto = true;
  QVERIFY(s.alunno->altoContrasto);
  QVERIFY(!s.macchina.altoContrasto);
  s.alunno.reset();
  s.daCambiare().leggiSempre = true;
  QVERIFY(s.macchina.leggiSempre);
}

QTEST_GUILESS_MAIN(TestOpzioni)
#include "test_opzioni.moc"
