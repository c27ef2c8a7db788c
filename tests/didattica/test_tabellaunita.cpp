#include <QTest>

#include "didattica/nomiunita.h"
#include "didattica/tabellaunita.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"

using namespace Qt::StringLiterals;

namespace {

// The operation as the generator makes it from scripted draws.
Operazione Genera(int livello, int caso, int v1, int v2, int chiesto, int massimo = 19) {
  const FamigliaUnita fam = *TabellaFamiglia(livello);
  const bool quattro = fam.intNumeroUnita == 4;
  CasualeCopione c;
  const double r = quattro ? ((caso - 1) % 6 + 0.5) / 6.0 : ((caso - 1) % 6 - 3 + 0.5) / 3.0;
  c.aggiungi({r, (v1 - 1 + 0.5) / massimo, (v2 - 1 + 0.5) / massimo,
              (chiesto - fam.intPrimaScelta + 0.5) / fam.intNumeroScelte});
  OrologioSistema orologio;
  MessaggiRegistrati messaggi;
  const ParametriGenerazione p{fam, static_cast<qint16>(caso <= 6 ? 1 : 2), static_cast<qint16>(massimo)};
  return GeneraOperazione(p, c, orologio, messaggi);
}

// A row as the pupil sees it: digits in their columns, "." for an empty cell,
// "o" for a zero that only holds a place, "," after the asked column when the
// row goes on past it.
QString Riga(const TabellaUnita &t, qsizetype i) {
  QString s;
  const RigaUnita &r = t.righe[i];
  for (qsizetype c = 0; c < r.celle.size(); ++c) {
    const CellaUnita &x = r.celle[c];
    s += x.cifra.isNull() ? QChar(u'.') : (x.segnaposto ? QChar(u'o') : x.cifra);
    if (c == t.colonnaRichiesta && r.virgola) s += u',';
  }
  return s;
}

QStringList Intestazioni(const TabellaUnita &t) {
  QStringList l;
  for (const ColonnaUnita &c : t.colonne) l << c.simbolo;
  return l;
}

// A row read back as a number: the written digits, the comma, no empty cells.
QString Lettura(const TabellaUnita &t, qsizetype i) {
  QString s = t.cifre(i);
  s.remove(u'.');
  return s;
}

QString SenzaPunti(QString s) {
  return s.remove(u'.');
}

// A whole value written k units smaller (k > 0: zeros added) or larger (a comma put in).
QString InUnita(int valore, int k) {
  QString s = QString::number(valore);
  if (k >= 0) return s + QString(k, u'0');
  s = s.rightJustified(1 - k, u'0');
  s.insert(s.size() + k, u',');
  while (s.endsWith(u'0')) s.chop(1);
  if (s.endsWith(u',')) s.chop(1);
  return s;
}

}  // namespace

class TestTabellaUnita : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldLayTheWorkedExamplesInTheirColumns_data();
  void shouldLayTheWorkedExamplesInTheirColumns();
  void shouldReadEveryOperationOffItsTable();
  void shouldReadTheTableAsLinesOfText();
  void shouldDrawAnEmptyTableForThePupilToFill_data();
  void shouldDrawAnEmptyTableForThePupilToFill();
  void shouldNameTheUnitsSingularOnlyForOne_data();
  void shouldNameTheUnitsSingularOnlyForOne();
};

void TestTabellaUnita::shouldLayTheWorkedExamplesInTheirColumns_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("v1");
  QTest::addColumn<int>("v2");
  QTest::addColumn<int>("chiesto");
  QTest::addColumn<QStringList>("colonne");
  QTest::addColumn<int>("marcata");
  QTest::addColumn<QStringList>("righe");
  QTest::addColumn<QString>("lettura");
  const QStringList kHdaU{u""_s, u"k"_s, u"h"_s, u"da"_s, u"u"_s};
  // The generator's worked examples.
  QTest::newRow("12 k + 7 h in u") << 3 << 1 << 12 << 7 << 4 << kHdaU << 4
                                   << QStringList{u"12ooo"_s, u"..7oo"_s, u"127oo"_s} << u"12.700 unità"_s;
  QTest::newRow("12 k + 7 h in k") << 3 << 1 << 12 << 7 << 1 << kHdaU << 1
                                   << QStringList{u"12..."_s, u".o,7.."_s, u"12,7.."_s} << u"12,7 migliaia"_s;
  QTest::newRow("12 k + 7 h in da") << 3 << 1 << 12 << 7 << 3 << kHdaU << 3
                                    << QStringList{u"12oo."_s, u"..7o."_s, u"127o."_s} << u"1.270 decine"_s;
  QTest::newRow("12 k + 7 h in h") << 3 << 1 << 12 << 7 << 2 << kHdaU << 2
                                   << QStringList{u"12o.."_s, u"..7.."_s, u"127.."_s} << u"127 centinaia"_s;
  QTest::newRow("5 u + 3 k in h") << 3 << 9 << 5 << 3 << 2 << QStringList{u"k"_s, u"h"_s, u"da"_s, u"u"_s}
                                  << 1 << QStringList{u".o,o5"_s, u"3o.."_s, u"30,05"_s}
                                  << u"30,05 centinaia"_s;
  QTest::newRow("1 c + 1 m in u") << 1 << 6 << 1 << 1 << 1 << QStringList{u"u"_s, u"d"_s, u"c"_s, u"m"_s} << 0
                                  << QStringList{u"o,o1."_s, u"o,oo1"_s, u"o,o11"_s} << u"0,011 unità"_s;
  QTest::newRow("12 h + 7 da in u") << 3 << 4 << 12 << 7 << 4 << QStringList{u"k"_s, u"h"_s, u"da"_s, u"u"_s}
                                    << 3 << QStringList{u"12oo"_s, u"..7o"_s, u"127o"_s} << u"1.270 unità"_s;
  // Each family's widest case: 19 + 19 in the two largest units, asked in the smallest.
  const QList<QPair<int, QStringList>> famiglie{
      {1, {u""_s, u"u"_s, u"d"_s, u"c"_s, u"m"_s}},    {3, kHdaU},
      {4, {u""_s, u"m"_s, u"dm"_s, u"cm"_s, u"mm"_s}}, {6, {u""_s, u"km"_s, u"hm"_s, u"dam"_s, u"m"_s}},
      {7, {u""_s, u"g"_s, u"dg"_s, u"cg"_s, u"mg"_s}}, {9, {u""_s, u"Kg"_s, u"hg"_s, u"dag"_s, u"g"_s}},
      {10, {u""_s, u"t"_s, u"q"_s, u"Mg"_s, u"kg"_s}}, {11, {u""_s, u"l"_s, u"dl"_s, u"cl"_s, u"ml"_s}}};
  const QStringList ultime{u"millesimi"_s, QString(),        u"unità"_s,       u"millimetri"_s,
                           QString(),      u"metri"_s,       u"milligrammi"_s, QString(),
                           u"grammi"_s,    u"chilogrammi"_s, u"millilitri"_s,  QString()};
  for (const auto &[l, col] : famiglie)
    QTest::addRow("widest, family %d", l)
        << l << 1 << 19 << 19 << 4 << col << 4 << QStringList{u"19ooo"_s, u".19oo"_s, u"209oo"_s}
        << u"20.900 "_s + ultime[l - 1];
  const QList<QPair<int, QStringList>> tre{{2, {u""_s, u"h"_s, u"da"_s, u"u"_s}},
                                           {5, {u""_s, u"hm"_s, u"dam"_s, u"m"_s}},
                                           {8, {u""_s, u"hg"_s, u"dag"_s, u"g"_s}},
                                           {12, {u""_s, u"hl"_s, u"dal"_s, u"l"_s}}};
  const QStringList ultimeTre{QString(), u"unità"_s,  QString(), QString(), u"metri"_s, QString(),
                              QString(), u"grammi"_s, QString(), QString(), QString(),  u"litri"_s};
  for (const auto &[l, col] : tre)
    QTest::addRow("widest, family %d", l)
        << l << 4 << 19 << 19 << 4 << col << 3 << QStringList{u"19oo"_s, u".19o"_s, u"209o"_s}
        << u"2.090 "_s + ultimeTre[l - 1];
  // The smaller unit first: its row comes first.
  QTest::newRow("19 h + 19 k in k, smaller first")
      << 3 << 7 << 19 << 19 << 1 << kHdaU << 1 << QStringList{u".1,9.."_s, u"19..."_s, u"20,9.."_s}
      << u"20,9 migliaia"_s;
  QTest::newRow("1 t + 1 kg in q") << 10 << 3 << 1 << 1 << 2 << QStringList{u"t"_s, u"q"_s, u"Mg"_s, u"kg"_s}
                                   << 1 << QStringList{u"1o.."_s, u".o,o1"_s, u"10,01"_s}
                                   << u"10,01 quintali"_s;
  QTest::newRow("a metre and a millimetre in m")
      << 4 << 3 << 1 << 1 << 1 << QStringList{u"m"_s, u"dm"_s, u"cm"_s, u"mm"_s} << 0
      << QStringList{u"1..."_s, u"o,oo1"_s, u"1,001"_s} << u"1,001 metri"_s;
}

void TestTabellaUnita::shouldLayTheWorkedExamplesInTheirColumns() {
  QFETCH(int, livello);
  QFETCH(int, caso);
  QFETCH(int, v1);
  QFETCH(int, v2);
  QFETCH(int, chiesto);
  QFETCH(QStringList, colonne);
  QFETCH(int, marcata);
  QFETCH(QStringList, righe);
  QFETCH(QString, lettura);
  const Operazione op = Genera(livello, caso, v1, v2, chiesto);
  const TabellaUnita t = TabellaOperazione(op, *TabellaFamiglia(livello));
  QCOMPARE(Intestazioni(t), colonne);
  QCOMPARE(t.colonnaRichiesta, marcata);
  QCOMPARE(t.righe.size(), 3);
  QStringList viste;
  for (qsizetype i = 0; i < t.righe.size(); ++i) viste << Riga(t, i);
  QCOMPARE(viste, righe);
  QCOMPARE(t.righe[0].etichetta, op.strAddendo1.simplified());
  QCOMPARE(t.righe[1].etichetta, op.strAddendo2.simplified());
  QCOMPARE(t.righe[2].tipo, RigaUnita::Tipo::Somma);
  QCOMPARE(t.lettura, lettura);
  QVERIFY(t.lettura.startsWith(op.strRisultato + u' '));
}

// For every operation of every family and both digit settings: the sum row
// reads as the generator's result, each quantity's last digit stands in its
// unit's column, and each quantity row reads as that quantity in the asked unit.
void TestTabellaUnita::shouldReadEveryOperationOffItsTable() {
  int tabelle = 0;
  for (int l = 1; l <= kFamiglie; ++l) {
    const FamigliaUnita fam = *TabellaFamiglia(l);
    const bool quattro = fam.intNumeroUnita == 4;
    for (int massimo : {9, 19}) {
      for (int caso = 1; caso <= 12; ++caso) {
        if (!quattro && !((caso >= 4 && caso <= 6) || caso >= 10)) continue;
        for (int v1 = 1; v1 <= massimo; ++v1) {
          for (int v2 = 1; v2 <= massimo; ++v2) {
            if (v1 == 10 || v2 == 10) continue;
            for (int a = fam.intPrimaScelta; a <= 4; ++a) {
              const Operazione op = Genera(l, caso, v1, v2, a, massimo);
              const TabellaUnita t = TabellaOperazione(op, fam);
              ++tabelle;
              const CoppiaSlot s = SlotDelCaso(caso);
              // The family's units are the rightmost columns, in order.
              const qsizetype n = t.colonne.size();
              for (int slot = quattro ? 1 : 2; slot <= 4; ++slot) {
                const ColonnaUnita &c = t.colonne[n - 1 - (4 - slot)];
                if (c.simbolo != fam.simbolo(slot).trimmed() || c.slot != slot) QFAIL("columns out of place");
              }
              if (t.colonne[t.colonnaRichiesta].slot != a) QFAIL("the wrong column marked");
              if (SenzaPunti(Lettura(t, 2)) != SenzaPunti(op.strRisultato))
                QFAIL(qPrintable(u"%1 + %2 in %3: sum row %4, result %5"_s.arg(
                    op.strAddendo1, op.strAddendo2, op.strSimboloRichiesto, t.cifre(2), op.strRisultato)));
              const int valori[2] = {v1, v2};
              const int slot[2] = {s.primo, s.secondo};
              for (int r = 0; r < 2; ++r) {
                const QChar ultima = QString::number(valori[r]).back();
                const CellaUnita &cella = t.righe[r].celle[n - 1 - (4 - slot[r])];
                if (cella.cifra != ultima || cella.segnaposto)
                  QFAIL("a quantity's last digit out of its column");
                if (Lettura(t, r) != InUnita(valori[r], a - slot[r]))
                  QFAIL(qPrintable(u"row %1 of %2 + %3 in %4"_s.arg(t.cifre(r), op.strAddendo1,
                                                                    op.strAddendo2, op.strSimboloRichiesto)));
              }
              if (t.righe[2].celle.size() != n || t.righe[0].celle.size() != n)
                QFAIL("a row without a cell per column");
            }
          }
        }
      }
    }
  }
  QCOMPARE(tabelle, (8 * 12 * 4 + 4 * 6 * 3) * (81 + 324));
}

void TestTabellaUnita::shouldReadTheTableAsLinesOfText() {
  const TabellaUnita t = TabellaOperazione(Genera(3, 4, 12, 7, 4), *TabellaFamiglia(3));
  QCOMPARE(TestoTabella(t), QStringList({u"Tabella delle unità: k, h, da, u; la virgola va dopo u"_s,
                                         u"12 h: 1 k, 2 h, 0 da, 0 u"_s, u"7 da: 7 da, 0 u"_s,
                                         u"totale: 1 k, 2 h, 7 da, 0 u"_s, u"Risultato: 1.270 unità"_s}));
  const TabellaUnita largo = TabellaOperazione(Genera(6, 1, 19, 19, 2), *TabellaFamiglia(6));
  QCOMPARE(TestoTabella(largo),
           QStringList({u"Tabella delle unità: km, hm, dam, m; la virgola va dopo hm"_s,
                        u"19 km: 1 prima di km, 9 km, 0 hm"_s, u"19 hm: 1 km, 9 hm"_s,
                        u"totale: 2 prima di km, 0 km, 9 hm"_s, u"Risultato: 209 ettometri"_s}));
}

void TestTabellaUnita::shouldDrawAnEmptyTableForThePupilToFill_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<QStringList>("colonne");
  QTest::addColumn<QStringList>("testo");
  QTest::newRow("four units") << 10 << QStringList{u"t"_s, u"q"_s, u"Mg"_s, u"kg"_s}
                              << QStringList{u"Tabella delle unità: t, q, Mg, kg"_s, u"riga: vuota"_s,
                                             u"totale: vuota"_s};
  QTest::newRow("three units") << 12 << QStringList{u"hl"_s, u"dal"_s, u"l"_s}
                               << QStringList{u"Tabella delle unità: hl, dal, l"_s, u"riga: vuota"_s,
                                              u"totale: vuota"_s};
}

void TestTabellaUnita::shouldDrawAnEmptyTableForThePupilToFill() {
  QFETCH(int, livello);
  QFETCH(QStringList, colonne);
  QFETCH(QStringList, testo);
  const TabellaUnita t = TabellaVuota(*TabellaFamiglia(livello), 2);
  QCOMPARE(Intestazioni(t), colonne);
  QCOMPARE(t.colonnaRichiesta, -1);
  QCOMPARE(t.righe.size(), 2);
  for (qsizetype i = 0; i < t.righe.size(); ++i) QCOMPARE(t.cifre(i), QString(colonne.size(), u'.'));
  QVERIFY(t.lettura.isEmpty());
  QCOMPARE(TestoTabella(t), testo);
  QCOMPARE(t.cifre(5), QString());
  QVERIFY(TabellaVuota(*TabellaFamiglia(livello), 0).vuota());
}

void TestTabellaUnita::shouldNameTheUnitsSingularOnlyForOne_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("numero");
  QTest::addColumn<QString>("parole");
  QTest::newRow("one metre") << 4 << 1 << u"1"_s << u"1 metro"_s;
  QTest::newRow("one and a half metres") << 4 << 1 << u"1,5"_s << u"1,5 metri"_s;
  QTest::newRow("one hundred") << 3 << 2 << u"1"_s << u"1 centinaio"_s;
  QTest::newRow("ten tonnes") << 10 << 1 << u"10"_s << u"10 tonnellate"_s;
  QTest::newRow("units do not change") << 1 << 1 << u"1"_s << u"1 unità"_s;
  QTest::newRow("a thousand kilograms, capital K") << 9 << 1 << u"1.000"_s << u"1.000 chilogrammi"_s;
  QTest::newRow("the blank slot has no name") << 12 << 1 << u"3"_s << u"3"_s;
  QTest::newRow("no such family") << 13 << 1 << u"3"_s << u"3"_s;
}

void TestTabellaUnita::shouldNameTheUnitsSingularOnlyForOne() {
  QFETCH(int, livello);
  QFETCH(int, slot);
  QFETCH(QString, numero);
  QFETCH(QString, parole);
  QCOMPARE(QuantitaInParole(numero, livello, slot), parole);
  if (livello <= kFamiglie) QCOMPARE(LivelloDellaFamiglia(*TabellaFamiglia(livello)), livello);
  QCOMPARE(LivelloDellaFamiglia(FamigliaUnita{}), 0);
}

QTEST_GUILESS_MAIN(TestTabellaUnita)
#include "test_tabellaunita.moc"
