#include <QHash>
#include <QTest>
#include <cstdlib>
#include <functional>

#include "didattica/sbaglio.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"

using namespace Qt::StringLiterals;

namespace {

// The wrong answers are made here from the texts the generator writes, by
// moving commas and zeros about in text and by adding whole thousandths, never
// by asking the rule; the rule must find in each the kind it was made as.

// A number's text brought to one spelling: no "." separators, no leading
// zeros before the whole part's first digit, no trailing zeros after the comma.
QString Normale(QString t) {
  t.remove(u'.');
  if (!t.contains(u',')) t += u',';
  while (t.startsWith(u'0')) t.remove(0, 1);
  while (t.endsWith(u'0')) t.chop(1);
  if (t.startsWith(u',')) t.prepend(u'0');
  if (t.endsWith(u',')) t.chop(1);
  return t;
}

// The same number with its comma moved k places (right for k > 0), in text.
QString Sposta(const QString &testo, int k) {
  QString t = testo;
  t.remove(u'.');
  if (!t.contains(u',')) t += u',';
  QString intera = t.section(u',', 0, 0), decimali = t.section(u',', 1);
  for (; k > 0; --k) {
    intera += decimali.isEmpty() ? u'0' : decimali[0];
    if (!decimali.isEmpty()) decimali.remove(0, 1);
  }
  for (; k < 0; ++k) {
    decimali.prepend(intera.isEmpty() ? u'0' : intera.back());
    if (!intera.isEmpty()) intera.chop(1);
  }
  return Normale(intera + u',' + decimali);
}

// A sum in thousandths written back as text.
QString DaMillesimi(qint64 m) {
  return Normale(QString::number(m / 1000) + u',' + QString::number(m % 1000).rightJustified(3, u'0'));
}

qint64 Millesimi(qint64 valore, int spostamento) {
  qint64 m = valore * 1000;
  for (; spostamento > 0; --spostamento) m *= 10;
  for (; spostamento < 0; ++spostamento) m /= 10;
  return m;
}

// One made-up wrong answer and the kind it was made as (with its steps).
struct Candidato {
  QString risposta;
  Sbaglio sbaglio;
  int passi;
};

// Every wrong answer of each kind this operation allows, most specific kind first.
QList<Candidato> Candidati(const Operazione &op) {
  const CoppiaSlot s = SlotDelCaso(op.intCaso);
  const int a = op.intUnitaRichiesta;
  const QString giusto = Normale(op.strRisultato);
  QList<Candidato> c;
  const QString somma = QString::number(op.lngValore1 + op.lngValore2);
  for (int k = -3; k <= 3; ++k) c.append({Sposta(somma, k), Sbaglio::SenzaConversione, 0});
  if (s.primo != a && s.secondo != a) {
    c.append({DaMillesimi(Millesimi(op.lngValore1, a - s.primo) + Millesimi(op.lngValore2, 0)),
              Sbaglio::UnoSoloConvertito, 0});
    c.append({DaMillesimi(Millesimi(op.lngValore1, 0) + Millesimi(op.lngValore2, a - s.secondo)),
              Sbaglio::UnoSoloConvertito, 0});
  }
  for (int k : {-3, -2, -1, 1, 2, 3}) c.append({Sposta(giusto, k), Sbaglio::VirgolaSpostata, k});
  const QString scritto = op.strRisultato;  // grouped: the separators are not places for a zero
  QString cifre = scritto;
  cifre.remove(u'.');
  for (qsizetype i = 0; i < cifre.size(); ++i)
    if (cifre[i] == u'0') c.append({Normale(QString(cifre).remove(i, 1)), Sbaglio::ZeroSegnaposto, -1});
  for (qsizetype i = 0; i <= cifre.size(); ++i)
    c.append({Normale(QString(cifre).insert(i, u'0')), Sbaglio::ZeroSegnaposto, +1});
  // Slips in the adding of two rightly converted quantities: one digit of the
  // sum one more (never the first made 0, which changes the magnitude) ...
  for (qsizetype i = 0; i < cifre.size(); ++i) {
    if (cifre[i] == u',' || (i == 0 && cifre[i] == u'9' && cifre.size() > 1 && cifre[1] != u',')) continue;
    QString slip = cifre;
    slip[i] = QChar(u'0' + (cifre[i].digitValue() + 1) % 10);
    c.append({Normale(slip), Sbaglio::SommaSbagliata, 0});
  }
  // ... and each carry of the column sum forgotten, the sum done here in
  // thousandths column by column; a carry lost off the front shortens the
  // number, which is no longer a slip of the right size.
  const qint64 m1 = Millesimi(op.lngValore1, a - s.primo), m2 = Millesimi(op.lngValore2, a - s.secondo);
  qint64 colonna = 1, riporto = 0;
  for (qint64 x = m1, y = m2; x > 0 || y > 0; x /= 10, y /= 10, colonna *= 10) {
    riporto = (x % 10 + y % 10 + riporto) / 10;
    if (riporto == 0) continue;
    const QString senza = DaMillesimi(m1 + m2 - colonna * 10);
    const bool corto = senza.section(u',', 0, 0).size() < giusto.section(u',', 0, 0).size();
    c.append({senza, corto ? Sbaglio::Altro : Sbaglio::SommaSbagliata, 0});
  }
  // Slips that fit no kind unless they happen to fit one above: a digit too
  // many at the end (past the sum's last column, or one more whole digit), and
  // two digits wrong with a right one between them.
  c.append({Normale(cifre + u"7"_s), Sbaglio::Altro, 0});
  if (QString(cifre).remove(u',').size() >= 3 && cifre.front() != u'9' && cifre.back() != u'9') {
    QString lontane = cifre;
    lontane.front() = QChar(lontane.front().unicode() + 1);
    lontane.back() = QChar(lontane.back().unicode() + 1);
    c.append({Normale(lontane), Sbaglio::Altro, 0});
  }

  // A made-up answer that equals the right one is no mistake; one that fits a
  // more specific kind listed earlier takes that kind.
  QList<Candidato> fuori;
  QHash<QString, qsizetype> visto;
  for (const Candidato &x : c) {
    if (x.risposta == giusto || x.risposta.isEmpty()) continue;
    if (visto.contains(x.risposta)) continue;
    visto.insert(x.risposta, fuori.size());
    fuori.append(x);
  }
  return fuori;
}

// Every operation the generator can make for a family and a digits setting.
void OgniOperazione(int livello, int massimo,
                    const std::function<void(const Operazione &, const FamigliaUnita &)> &f) {
  const FamigliaUnita fam = *TabellaFamiglia(livello);
  const bool quattro = fam.intNumeroUnita == 4;
  for (int caso = 1; caso <= 12; ++caso) {
    if (!quattro && !((caso >= 4 && caso <= 6) || caso >= 10)) continue;
    const CoppiaSlot s = SlotDelCaso(caso);
    for (int v1 = 1; v1 <= massimo; ++v1) {
      for (int v2 = 1; v2 <= massimo; ++v2) {
        if (v1 == 10 || v2 == 10) continue;
        for (int a = fam.intPrimaScelta; a < fam.intPrimaScelta + fam.intNumeroScelte; ++a) {
          Operazione op;
          op.intCaso = static_cast<qint16>(caso);
          op.lngValore1 = v1;
          op.lngValore2 = v2;
          op.strAddendo1 = QString::number(v1) + fam.simbolo(s.primo);
          op.strAddendo2 = QString::number(v2) + fam.simbolo(s.secondo);
          op.intUnitaRichiesta = static_cast<qint16>(a);
          op.strSimboloRichiesto = fam.simbolo(a);
          f(op, fam);
        }
      }
    }
  }
}

// The generator's own result text for an operation, made through its scripted draws.
QString RisultatoGeneratore(const Operazione &op, const FamigliaUnita &fam, int massimo) {
  ParametriGenerazione p{fam, static_cast<qint16>(op.intCaso <= 6 ? 1 : 2), static_cast<qint16>(massimo)};
  CasualeCopione c;
  const bool quattro = fam.intNumeroUnita == 4;
  const double caso = quattro ? ((op.intCaso - 1) % 6 + 0.5) / 6.0 : ((op.intCaso - 1) % 6 - 3 + 0.5) / 3.0;
  c.aggiungi({caso, (op.lngValore1 - 1 + 0.5) / massimo, (op.lngValore2 - 1 + 0.5) / massimo,
              (op.intUnitaRichiesta - fam.intPrimaScelta + 0.5) / fam.intNumeroScelte});
  OrologioSistema orologio;
  MessaggiRegistrati messaggi;
  return GeneraOperazione(p, c, orologio, messaggi).strRisultato;
}

Operazione Op(int livello, int caso, int v1, int v2, int chiesto) {
  const FamigliaUnita fam = *TabellaFamiglia(livello);
  const CoppiaSlot s = SlotDelCaso(caso);
  Operazione op;
  op.intCaso = static_cast<qint16>(caso);
  op.lngValore1 = v1;
  op.lngValore2 = v2;
  op.strAddendo1 = QString::number(v1) + fam.simbolo(s.primo);
  op.strAddendo2 = QString::number(v2) + fam.simbolo(s.secondo);
  op.intUnitaRichiesta = static_cast<qint16>(chiesto);
  op.strSimboloRichiesto = fam.simbolo(chiesto);
  op.strRisultato = RisultatoGeneratore(op, fam, 19);
  return op;
}

}  // namespace

class TestSbaglio : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldNameTheMistakesOfTheWorkedExamples_data();
  void shouldNameTheMistakesOfTheWorkedExamples();
  void shouldFindEveryMadeUpMistakeInEveryOperation_data();
  void shouldFindEveryMadeUpMistakeInEveryOperation();
  void shouldTellHowFarTheChosenSymbolIs_data();
  void shouldTellHowFarTheChosenSymbolIs();
  void shouldNeverCallTheRightAnswerAMistake();
  void shouldTakeBadInputAsNeutral_data();
  void shouldTakeBadInputAsNeutral();
  void shouldKeepTheKeysOfTheKinds();
  void shouldWordEachKindShortly_data();
  void shouldWordEachKindShortly();
};

void TestSbaglio::shouldNameTheMistakesOfTheWorkedExamples_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("caso");
  QTest::addColumn<int>("v1");
  QTest::addColumn<int>("v2");
  QTest::addColumn<int>("chiesto");
  QTest::addColumn<QString>("risposta");
  QTest::addColumn<int>("sbaglio");
  QTest::addColumn<int>("passi");
  const auto S = [](Sbaglio s) { return static_cast<int>(s); };
  // 12 h + 7 da asked in u: 1.270.
  QTest::newRow("12 h + 7 da: added as they stand")
      << 3 << 4 << 12 << 7 << 4 << u"19"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("12 h + 7 da: the plain sum, comma moved")
      << 3 << 4 << 12 << 7 << 4 << u"1,9"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("12 h + 7 da: the plain sum times 100")
      << 3 << 4 << 12 << 7 << 4 << u"1.900"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("12 h + 7 da: only the hundreds converted")
      << 3 << 4 << 12 << 7 << 4 << u"1.207"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  QTest::newRow("12 h + 7 da: only the tens converted")
      << 3 << 4 << 12 << 7 << 4 << u"82"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  QTest::newRow("12 h + 7 da: ten times too big")
      << 3 << 4 << 12 << 7 << 4 << u"12.700"_s << S(Sbaglio::VirgolaSpostata) << 1;
  QTest::newRow("12 h + 7 da: ten times too small")
      << 3 << 4 << 12 << 7 << 4 << u"127"_s << S(Sbaglio::VirgolaSpostata) << -1;
  QTest::newRow("12 h + 7 da: a thousand times too small")
      << 3 << 4 << 12 << 7 << 4 << u"1,27"_s << S(Sbaglio::VirgolaSpostata) << -3;
  QTest::newRow("12 h + 7 da: a zero too many inside")
      << 3 << 4 << 12 << 7 << 4 << u"12.070"_s << S(Sbaglio::ZeroSegnaposto) << 1;
  QTest::newRow("12 h + 7 da: a zero too many in front")
      << 3 << 4 << 12 << 7 << 4 << u"10.270"_s << S(Sbaglio::ZeroSegnaposto) << 1;
  QTest::newRow("12 h + 7 da: a digit of the sum wrong")
      << 3 << 4 << 12 << 7 << 4 << u"1.280"_s << S(Sbaglio::SommaSbagliata) << 0;
  QTest::newRow("12 h + 7 da: the tens left out of the sum")
      << 3 << 4 << 12 << 7 << 4 << u"1.200"_s << S(Sbaglio::SommaSbagliata) << 0;
  QTest::newRow("12 h + 7 da: the tens one less and their carry forgotten")
      << 3 << 4 << 12 << 7 << 4 << u"1.160"_s << S(Sbaglio::SommaSbagliata) << 0;
  QTest::newRow("12 h + 7 da: two digits wrong, one right between")
      << 3 << 4 << 12 << 7 << 4 << u"2.271"_s << S(Sbaglio::Altro) << 0;
  QTest::newRow("12 h + 7 da: a number of no likeness")
      << 3 << 4 << 12 << 7 << 4 << u"5"_s << S(Sbaglio::Altro) << 0;
  // 12 k + 7 h asked in u, k, da, h (the generator's worked examples).
  QTest::newRow("12 k + 7 h in u: ten times too small")
      << 3 << 1 << 12 << 7 << 4 << u"1.270"_s << S(Sbaglio::VirgolaSpostata) << -1;
  QTest::newRow("12 k + 7 h in k: as they stand")
      << 3 << 1 << 12 << 7 << 1 << u"19"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("12 k + 7 h in k: comma too far right")
      << 3 << 1 << 12 << 7 << 1 << u"127"_s << S(Sbaglio::VirgolaSpostata) << 1;
  QTest::newRow("12 k + 7 h in k: the tenths wrong")
      << 3 << 1 << 12 << 7 << 1 << u"12,6"_s << S(Sbaglio::SommaSbagliata) << 0;
  QTest::newRow("12 k + 7 h in k: a decimal past the sum's")
      << 3 << 1 << 12 << 7 << 1 << u"12,71"_s << S(Sbaglio::Altro) << 0;
  QTest::newRow("9 k + 11 h in h: the last carry lost off the front")
      << 3 << 1 << 9 << 11 << 2 << u"1"_s << S(Sbaglio::Altro) << 0;
  QTest::newRow("12 k + 7 h in da: only the thousands")
      << 3 << 1 << 12 << 7 << 3 << u"1.207"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  QTest::newRow("12 k + 7 h in h: in the asked unit already, the sum")
      << 3 << 1 << 12 << 7 << 2 << u"19"_s << S(Sbaglio::SenzaConversione) << 0;
  // 5 u + 3 k asked in h: 30,05.
  QTest::newRow("5 u + 3 k: a placeholder zero missing")
      << 3 << 9 << 5 << 3 << 2 << u"30,5"_s << S(Sbaglio::ZeroSegnaposto) << -1;
  QTest::newRow("5 u + 3 k: a placeholder zero too many")
      << 3 << 9 << 5 << 3 << 2 << u"30,005"_s << S(Sbaglio::ZeroSegnaposto) << 1;
  QTest::newRow("5 u + 3 k: a hundred times too big")
      << 3 << 9 << 5 << 3 << 2 << u"3.005"_s << S(Sbaglio::VirgolaSpostata) << 2;
  QTest::newRow("5 u + 3 k: only the units converted")
      << 3 << 9 << 5 << 3 << 2 << u"3,05"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  QTest::newRow("5 u + 3 k: ten times too small")
      << 3 << 9 << 5 << 3 << 2 << u"3,005"_s << S(Sbaglio::VirgolaSpostata) << -1;
  QTest::newRow("5 u + 3 k: only the thousands converted")
      << 3 << 9 << 5 << 3 << 2 << u"35"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  // 1 c + 1 m asked in u: 0,011.
  QTest::newRow("1 c + 1 m: as they stand")
      << 1 << 6 << 1 << 1 << 1 << u"2"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("1 c + 1 m: 0,11") << 1 << 6 << 1 << 1 << 1 << u"0,11"_s << S(Sbaglio::VirgolaSpostata) << 1;
  QTest::newRow("1 c + 1 m: 11") << 1 << 6 << 1 << 1 << 1 << u"11"_s << S(Sbaglio::VirgolaSpostata) << 3;
  // 19 km + 19 hm asked in m: 20.900.
  QTest::newRow("19 km + 19 hm: as they stand")
      << 6 << 1 << 19 << 19 << 4 << u"38"_s << S(Sbaglio::SenzaConversione) << 0;
  QTest::newRow("19 km + 19 hm: 2.090")
      << 6 << 1 << 19 << 19 << 4 << u"2.090"_s << S(Sbaglio::VirgolaSpostata) << -1;
  QTest::newRow("19 km + 19 hm: a zero dropped inside")
      << 6 << 1 << 19 << 19 << 4 << u"2.900"_s << S(Sbaglio::ZeroSegnaposto) << -1;
  QTest::newRow("19 km + 19 hm: only km converted")
      << 6 << 1 << 19 << 19 << 4 << u"19.019"_s << S(Sbaglio::UnoSoloConvertito) << 0;
  QTest::newRow("19 km + 19 hm: the carry into the ten thousands forgotten")
      << 6 << 1 << 19 << 19 << 4 << u"10.900"_s << S(Sbaglio::SommaSbagliata) << 0;
}

void TestSbaglio::shouldNameTheMistakesOfTheWorkedExamples() {
  QFETCH(int, livello);
  QFETCH(int, caso);
  QFETCH(int, v1);
  QFETCH(int, v2);
  QFETCH(int, chiesto);
  QFETCH(QString, risposta);
  QFETCH(int, sbaglio);
  QFETCH(int, passi);
  const Operazione op = Op(livello, caso, v1, v2, chiesto);
  const Diagnosi d = ClassificaSbaglio(op, *TabellaFamiglia(livello), Richiesta::Numero, risposta);
  QCOMPARE(ChiaveSbaglio(d.sbaglio), ChiaveSbaglio(static_cast<Sbaglio>(sbaglio)));
  QCOMPARE(d.passi, passi);
  QVERIFY(!FraseSbaglio(d).isEmpty());
}

void TestSbaglio::shouldFindEveryMadeUpMistakeInEveryOperation_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("massimo");
  for (int l = 1; l <= kFamiglie; ++l)
    for (int m : {9, 19}) QTest::addRow("family %d, %s", l, m == 9 ? "one digit" : "two digits") << l << m;
}

void TestSbaglio::shouldFindEveryMadeUpMistakeInEveryOperation() {
  QFETCH(int, livello);
  QFETCH(int, massimo);
  QHash<int, int> trovati;
  int operazioni = 0;
  OgniOperazione(livello, massimo, [&](const Operazione &base, const FamigliaUnita &fam) {
    Operazione op = base;
    op.strRisultato = RisultatoGeneratore(op, fam, massimo);
    ++operazioni;
    const auto giusto = ClassificaSbaglio(op, fam, Richiesta::Numero, op.strRisultato);
    if (giusto.sbaglio != Sbaglio::Nessuno)
      QFAIL(qPrintable(
          u"%1 + %2 = %3 taken as a mistake"_s.arg(op.strAddendo1, op.strAddendo2, op.strRisultato)));
    for (const Candidato &c : Candidati(op)) {
      const Diagnosi d = ClassificaSbaglio(op, fam, Richiesta::Numero, c.risposta);
      if (d.sbaglio != c.sbaglio || d.passi != c.passi)
        QFAIL(qPrintable(u"%1 + %2 = %3 %4: answer %5 made as %6 %7, classified %8 %9"_s.arg(
            op.strAddendo1, op.strAddendo2, op.strRisultato, op.strSimboloRichiesto, c.risposta,
            ChiaveSbaglio(c.sbaglio), QString::number(c.passi), ChiaveSbaglio(d.sbaglio),
            QString::number(d.passi))));
      ++trovati[static_cast<int>(d.sbaglio)];
    }
  });
  const int casi = TabellaFamiglia(livello)->intNumeroUnita == 4 ? 12 * 4 : 6 * 3;
  QCOMPARE(operazioni, casi * (massimo == 9 ? 81 : 324));
  for (Sbaglio s : {Sbaglio::SenzaConversione, Sbaglio::UnoSoloConvertito, Sbaglio::VirgolaSpostata,
                    Sbaglio::ZeroSegnaposto, Sbaglio::SommaSbagliata, Sbaglio::Altro})
    QVERIFY2(trovati.value(static_cast<int>(s)) > 0, qPrintable(ChiaveSbaglio(s)));
}

void TestSbaglio::shouldTellHowFarTheChosenSymbolIs_data() {
  QTest::addColumn<int>("livello");
  QTest::addColumn<int>("chiesto");
  QTest::addColumn<QString>("scelto");
  QTest::addColumn<QString>("chiave");
  QTest::addColumn<int>("passi");
  QTest::addColumn<QString>("frase");
  QTest::newRow("km for m") << 6 << 4 << u"  km"_s << u"simbolo-grande"_s << 3
                            << u"Hai scelto un'unità 1.000 volte più grande di quella giusta."_s;
  QTest::newRow("hm for km") << 6 << 1 << u"  hm"_s << u"simbolo-piccolo"_s << 1
                             << u"Hai scelto un'unità 10 volte più piccola di quella giusta."_s;
  QTest::newRow("dam for hm") << 6 << 2 << u" dam"_s << u"simbolo-piccolo"_s << 1
                              << u"Hai scelto un'unità 10 volte più piccola di quella giusta."_s;
  QTest::newRow("h for u") << 2 << 4 << u"  h"_s << u"simbolo-grande"_s << 2
                           << u"Hai scelto un'unità 100 volte più grande di quella giusta."_s;
  QTest::newRow("ml for l, trailing blank kept")
      << 11 << 1 << u" ml "_s << u"simbolo-piccolo"_s << 3
      << u"Hai scelto un'unità 1.000 volte più piccola di quella giusta."_s;
  QTest::newRow("Kg for g") << 9 << 4 << u"  Kg"_s << u"simbolo-grande"_s << 3
                            << u"Hai scelto un'unità 1.000 volte più grande di quella giusta."_s;
  QTest::newRow("t for q") << 10 << 2 << u"  t"_s << u"simbolo-grande"_s << 1
                           << u"Hai scelto un'unità 10 volte più grande di quella giusta."_s;
  QTest::newRow("the right one") << 10 << 2 << u"  q"_s << u"nessuno"_s << 0 << QString();
  QTest::newRow("nothing chosen") << 6 << 2 << QString() << u"vuota"_s << 0
                                  << u"Non hai scelto nessun simbolo."_s;
  QTest::newRow("no symbol of the family")
      << 6 << 2 << u"  kg"_s << u"altro"_s << 0 << u"Ricontrolla con calma ogni passaggio."_s;
  QTest::newRow("the blank slot of a three-unit family")
      << 2 << 3 << u"   "_s << u"vuota"_s << 0 << u"Non hai scelto nessun simbolo."_s;
}

void TestSbaglio::shouldTellHowFarTheChosenSymbolIs() {
  QFETCH(int, livello);
  QFETCH(int, chiesto);
  QFETCH(QString, scelto);
  QFETCH(QString, chiave);
  QFETCH(int, passi);
  QFETCH(QString, frase);
  const FamigliaUnita fam = *TabellaFamiglia(livello);
  Operazione op = Op(livello, fam.intNumeroUnita == 4 ? 1 : 4, 3, 4, chiesto);
  op.strRisultato = op.strSimboloRichiesto;  // as the symbol view leaves it
  const Diagnosi d = ClassificaSbaglio(op, fam, Richiesta::Simbolo, scelto);
  QCOMPARE(ChiaveSbaglio(d.sbaglio), chiave);
  QCOMPARE(d.passi, passi);
  QCOMPARE(FraseSbaglio(d), frase);
}

// Across every family and operation, the symbol view: the right symbol is no
// mistake, every other one is named by how many units it is away.
void TestSbaglio::shouldNeverCallTheRightAnswerAMistake() {
  for (int l = 1; l <= kFamiglie; ++l) {
    OgniOperazione(l, 19, [](const Operazione &op, const FamigliaUnita &fam) {
      const int prima = fam.intNumeroUnita == 3 ? 2 : 1;
      for (int slot = prima; slot <= 4; ++slot) {
        const Diagnosi d = ClassificaSbaglio(op, fam, Richiesta::Simbolo, fam.simbolo(slot));
        const int distanza = std::abs(slot - op.intUnitaRichiesta);
        const Sbaglio atteso = slot == op.intUnitaRichiesta  ? Sbaglio::Nessuno
                               : slot < op.intUnitaRichiesta ? Sbaglio::SimboloPiuGrande
                                                             : Sbaglio::SimboloPiuPiccolo;
        if (d.sbaglio != atteso || d.passi != (atteso == Sbaglio::Nessuno ? 0 : distanza))
          QFAIL(qPrintable(u"slot %1 for %2"_s.arg(slot).arg(op.intUnitaRichiesta)));
      }
    });
  }
}

void TestSbaglio::shouldTakeBadInputAsNeutral_data() {
  QTest::addColumn<QString>("risposta");
  QTest::addColumn<QString>("chiave");
  QTest::newRow("empty") << QString() << u"vuota"_s;
  QTest::newRow("blanks") << u"   "_s << u"vuota"_s;
  QTest::newRow("a symbol in the number view") << u"  h"_s << u"altro"_s;
  QTest::newRow("two commas") << u"1,2,7"_s << u"altro"_s;
  QTest::newRow("a full stop among the decimals") << u"1,2.7"_s << u"altro"_s;
  QTest::newRow("only a comma") << u","_s << u"altro"_s;
  QTest::newRow("a minus sign") << u"-1270"_s << u"altro"_s;
  QTest::newRow("far too many digits") << u"1234567890123456789"_s << u"altro"_s;
  QTest::newRow("seven decimals") << u"0,0000127"_s << u"altro"_s;
  QTest::newRow("the right answer with blanks") << u" 1.270 "_s << u"nessuno"_s;
  QTest::newRow("the right answer ungrouped with a comma") << u"1270,"_s << u"nessuno"_s;
  QTest::newRow("the right answer with leading zeros") << u"001270,000"_s << u"nessuno"_s;
}

void TestSbaglio::shouldTakeBadInputAsNeutral() {
  QFETCH(QString, risposta);
  QFETCH(QString, chiave);
  const Operazione op = Op(3, 4, 12, 7, 4);
  QCOMPARE(op.strRisultato, u"1.270"_s);
  const Diagnosi d = ClassificaSbaglio(op, *TabellaFamiglia(3), Richiesta::Numero, risposta);
  QCOMPARE(ChiaveSbaglio(d.sbaglio), chiave);
}

// The keys are what a register keeps: each kind has its own, they read back,
// and a key of no kind reads as nothing.
void TestSbaglio::shouldKeepTheKeysOfTheKinds() {
  const QStringList attese = {
      u"nessuno"_s, u"senza-conversione"_s, u"uno-convertito"_s,  u"virgola"_s, u"zero"_s,
      u"altro"_s,   u"simbolo-grande"_s,    u"simbolo-piccolo"_s, u"vuota"_s,   u"somma"_s};
  for (int i = 0; i < attese.size(); ++i) {
    const auto s = static_cast<Sbaglio>(i);
    QCOMPARE(ChiaveSbaglio(s), attese[i]);
    QCOMPARE(SbaglioDaChiave(attese[i]), std::optional<Sbaglio>(s));
  }
  QCOMPARE(SbaglioDaChiave(u"Virgola"), std::nullopt);
  QCOMPARE(SbaglioDaChiave(u""), std::nullopt);
  QCOMPARE(ChiaveSbaglio(static_cast<Sbaglio>(200)), QString());
}

// Each sentence as written below "Errato" and as read aloud: the same words,
// the factor in figures or in words.
void TestSbaglio::shouldWordEachKindShortly_data() {
  QTest::addColumn<int>("sbaglio");
  QTest::addColumn<int>("passi");
  QTest::addColumn<QString>("frase");
  QTest::addColumn<QString>("letta");
  const auto S = [](Sbaglio s) { return static_cast<int>(s); };
  const QString senza = u"Prima di sommare, trasforma le due misure nell'unità richiesta."_s;
  QTest::newRow("no conversion") << S(Sbaglio::SenzaConversione) << 0 << senza << senza;
  const QString uno = u"Hai trasformato una misura sola: trasforma anche l'altra."_s;
  QTest::newRow("one converted") << S(Sbaglio::UnoSoloConvertito) << 0 << uno << uno;
  QTest::newRow("ten times too big") << S(Sbaglio::VirgolaSpostata) << 1
                                     << u"Il tuo numero è 10 volte più grande di quello giusto."_s
                                     << u"Il tuo numero è dieci volte più grande di quello giusto."_s;
  QTest::newRow("a hundred times too small")
      << S(Sbaglio::VirgolaSpostata) << -2 << u"Il tuo numero è 100 volte più piccolo di quello giusto."_s
      << u"Il tuo numero è cento volte più piccolo di quello giusto."_s;
  QTest::newRow("a thousand times too big")
      << S(Sbaglio::VirgolaSpostata) << 3 << u"Il tuo numero è 1.000 volte più grande di quello giusto."_s
      << u"Il tuo numero è mille volte più grande di quello giusto."_s;
  QTest::newRow("a unit a thousand times smaller")
      << S(Sbaglio::SimboloPiuPiccolo) << 3
      << u"Hai scelto un'unità 1.000 volte più piccola di quella giusta."_s
      << u"Hai scelto un'unità mille volte più piccola di quella giusta."_s;
  const QString manca = u"Nel tuo numero manca uno zero segnaposto."_s;
  QTest::newRow("zero missing") << S(Sbaglio::ZeroSegnaposto) << -1 << manca << manca;
  const QString troppo = u"Nel tuo numero c'è uno zero di troppo."_s;
  QTest::newRow("zero too many") << S(Sbaglio::ZeroSegnaposto) << 1 << troppo << troppo;
  const QString somma = u"La trasformazione è giusta: ricontrolla la somma."_s;
  QTest::newRow("a slip in the sum") << S(Sbaglio::SommaSbagliata) << 0 << somma << somma;
  const QString neutra = u"Ricontrolla con calma ogni passaggio."_s;
  QTest::newRow("neutral") << S(Sbaglio::Altro) << 0 << neutra << neutra;
  QTest::newRow("a kind of no name") << 200 << 0 << neutra << neutra;
  const QString vuota = u"Non hai scritto nessun numero."_s;
  QTest::newRow("nothing typed") << S(Sbaglio::RispostaVuota) << 0 << vuota << vuota;
  QTest::newRow("right") << S(Sbaglio::Nessuno) << 0 << QString() << QString();
}

void TestSbaglio::shouldWordEachKindShortly() {
  QFETCH(int, sbaglio);
  QFETCH(int, passi);
  QFETCH(QString, frase);
  QFETCH(QString, letta);
  const Diagnosi d{static_cast<Sbaglio>(sbaglio), passi, Richiesta::Numero};
  QCOMPARE(FraseSbaglio(d), frase);
  QCOMPARE(FraseSbaglio(d, Forma::Letta), letta);
  QVERIFY(frase.size() <= 80);  // one line under the verdict
}

QTEST_GUILESS_MAIN(TestSbaglio)
#include "test_sbaglio.moc"
