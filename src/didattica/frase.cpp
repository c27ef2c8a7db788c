#include "didattica/frase.h"

#include "didattica/nomiunita.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"

using namespace Qt::StringLiterals;

namespace {

const char16_t *const kUnita[] = {u"zero", u"uno", u"due", u"tre", u"quattro", u"cinque", u"sei",
                                  u"sette", u"otto", u"nove", u"dieci", u"undici", u"dodici", u"tredici",
                                  u"quattordici", u"quindici", u"sedici", u"diciassette", u"diciotto",
                                  u"diciannove"};
const char16_t *const kDecine[] = {u"", u"", u"venti", u"trenta", u"quaranta", u"cinquanta",
                                   u"sessanta", u"settanta", u"ottanta", u"novanta"};

// 1..99; a ten drops its last vowel before "uno" and "otto".
QString FinoACento(int n) {
  if (n < 20) return QString::fromUtf16(kUnita[n]);
  QString decina = QString::fromUtf16(kDecine[n / 10]);
  const int u = n % 10;
  if (u == 0) return decina;
  if (u == 1 || u == 8) decina.chop(1);
  return decina + QString::fromUtf16(kUnita[u]);
}

// 1..999: "cento", "centotto", "centottanta", "duecentoventitré".
QString FinoAMille(int n) {
  const int c = n / 100, resto = n % 100;
  QString parole;
  if (c > 0) parole = (c == 1 ? QString() : QString::fromUtf16(kUnita[c])) + u"cento"_s;
  if (resto == 0) return parole;
  // "cento" loses its "o" before "otto" and "ottanta" (centotto, centottanta).
  if (c > 0 && (resto == 8 || resto / 10 == 8)) parole.chop(1);
  return parole + FinoACento(resto);
}

// 0..999.999.999 in words, below a million written as one word as Italians write numbers.
QString Intero(qint64 n) {
  if (n == 0) return u"zero"_s;
  QString parole;
  const qint64 milioni = n / 1000000, migliaia = (n / 1000) % 1000, resto = n % 1000;
  if (milioni > 0) parole += milioni == 1 ? u"un milione"_s : FinoAMille(static_cast<int>(milioni)) + u" milioni"_s;
  if (milioni > 0 && n % 1000000 > 0) parole += u' ';
  if (migliaia > 0) parole += migliaia == 1 ? u"mille"_s : FinoAMille(static_cast<int>(migliaia)) + u"mila"_s;
  if (resto > 0) parole += FinoAMille(static_cast<int>(resto));
  // A compound ending in "tre" takes the accent: ventitré, centotré, milletré (not "ventitremila").
  if (parole != u"tre"_s && parole.endsWith(u"tre"_s)) parole = parole.chopped(1) + u"é"_s;
  return parole;
}

// The gender of a unit from its plural: feminine are unità, decine, centinaia,
// migliaia, tonnellate.
bool Femminile(const QString &plurale) {
  return plurale.endsWith(u'e') || plurale == u"unità"_s || plurale.endsWith(u"aia"_s);
}

}  // namespace

QString NumeroInParole(const QString &numero) {
  const auto valore = LeggiNumero(numero);
  if (!valore || *valore < 0) return {};
  QString testo = numero;
  testo.remove(u'.');
  const qsizetype virgola = testo.indexOf(u',');
  const QString intera = virgola < 0 ? testo : testo.left(virgola);
  const QString decimali = virgola < 0 ? QString() : testo.mid(virgola + 1);
  if (intera.size() > 9 || decimali.size() > 9) return {};
  QString parole = Intero(intera.isEmpty() ? 0 : intera.toLongLong());
  if (decimali.isEmpty()) return parole;
  // After the comma each leading zero is read, then the rest as a number: "zero virgola zero undici".
  parole += u" virgola"_s;
  qsizetype i = 0;
  for (; i < decimali.size() - 1 && decimali.at(i) == u'0'; ++i) parole += u" zero"_s;
  return parole + u' ' + Intero(decimali.mid(i).toLongLong());
}

QString QuantitaLetta(qint32 valore, int intLivello, int slot) {
  const QString plurale = NomeUnita(intLivello, slot, true);
  if (plurale.isEmpty() || valore < 0) return {};
  if (valore != 1) return Intero(valore) + u' ' + plurale;
  const QString singolare = NomeUnita(intLivello, slot, false);
  // The article goes with the singular: "un centinaio" though "quante centinaia".
  const bool femminile = singolare.endsWith(u'a') || singolare == u"unità"_s;
  if (!femminile) return u"un "_s + singolare;
  return singolare.startsWith(u'u') ? u"un'"_s + singolare : u"una "_s + singolare;
}

QString FraseDaLeggere(const Operazione &op, int intLivello, const QString &risultatoDato) {
  if (op.intCaso < 1 || op.intCaso > 12) return {};
  const CoppiaSlot slot = SlotDelCaso(op.intCaso);
  const QString primo = QuantitaLetta(op.lngValore1, intLivello, slot.primo);
  const QString secondo = QuantitaLetta(op.lngValore2, intLivello, slot.secondo);
  if (primo.isEmpty() || secondo.isEmpty()) return {};
  const QString somma = primo + u" più "_s + secondo;
  if (!risultatoDato.isEmpty()) {
    const QString risultato = NumeroInParole(risultatoDato);
    if (risultato.isEmpty()) return {};
    return somma + u" fanno "_s + risultato + u": quale simbolo scegli?"_s;
  }
  const QString chiesta = NomeUnita(intLivello, op.intUnitaRichiesta, true);
  if (chiesta.isEmpty()) return {};
  return somma + (Femminile(chiesta) ? u": quante "_s : u": quanti "_s) + chiesta + u'?';
}
