#include "generation/famiglie.h"

#include <array>

namespace {

struct Riga {
  const char16_t *s1, *s2, *s3, *s4;
  qint16 unita, scelte, prima;
  const char16_t *descrizione;
};

// Symbols exactly as the pupils see them, blanks included.
constexpr std::array<Riga, kFamiglie> kTabella{{
    {u" u ", u" d ", u" c ", u" m ", 4, 4, 1, u" unità,    decimi, centesimi, millesimi"},
    {u"   ", u"  h", u" da", u"  u", 3, 3, 2, u"centinaia, decine, unità"},
    {u"  k", u"  h", u" da", u"  u", 4, 4, 1, u" migliaia,    centinaia, decine, unità"},
    {u"  m", u" dm", u" cm", u" mm", 4, 4, 1, u" metri,    decimetri, centimetri, millimetri"},
    {u"    ", u"  hm", u" dam", u"   m", 3, 3, 2, u" ettometri, decametri, metri"},
    {u"  km", u"  hm", u" dam", u"   m", 4, 4, 1, u" chilometri,    ettometri, decametri, metri"},
    {u"  g", u" dg", u" cg", u" mg", 4, 4, 1, u" grammi,    decigrammi, centigrammi, milligrammi"},
    {u"    ", u"  hg", u" dag", u"   g", 3, 3, 2, u" ettogrammi, decagrammi, grammi"},
    {u"  Kg", u"  hg", u" dag", u"   g", 4, 4, 1, u" chilogrammi    ettogrammi, decagrammi, grammi"},
    {u"  t", u"  q", u" Mg", u" kg", 4, 4, 1, u" tonnellate,    quintali, miriagrammi, chilogrammi"},
    {u"  l ", u" dl ", u" cl ", u" ml ", 4, 4, 1, u" litri,    decilitri, centilitri, millilitri"},
    {u"   ", u"  hl", u" dal", u"   l", 3, 3, 2, u" ettolitri, decalitri, litri"},
}};

bool valida(int n) { return n >= 1 && n <= kFamiglie; }

}  // namespace

std::optional<FamigliaUnita> TabellaFamiglia(int intLivello) {
  if (!valida(intLivello)) return std::nullopt;
  const Riga &r = kTabella[static_cast<size_t>(intLivello - 1)];
  FamigliaUnita f;
  f.strSimbolo1 = QString::fromUtf16(r.s1);
  f.strSimbolo2 = QString::fromUtf16(r.s2);
  f.strSimbolo3 = QString::fromUtf16(r.s3);
  f.strSimbolo4 = QString::fromUtf16(r.s4);
  f.intNumeroUnita = r.unita;
  f.intNumeroScelte = r.scelte;
  f.intPrimaScelta = r.prima;
  return f;
}

QString SistemaFamiglia(int intLivello) {
  return intLivello <= 3 ? QStringLiteral("SISTEMA DECIMALE ") : QStringLiteral("SISTEMA METRICO");
}

QString TitoloSistema(int intLivello) {
  return intLivello <= 3 ? QStringLiteral("SISTEMA DECIMALE: ") : QStringLiteral("SISTEMA METRICO: ");
}

QString DescrizioneFamiglia(int intLivello) {
  if (!valida(intLivello)) return {};
  return QString::fromUtf16(kTabella[static_cast<size_t>(intLivello - 1)].descrizione);
}

QString ElencoUnita(int intLivello) {
  QString elenco = DescrizioneFamiglia(intLivello);
  elenco.replace(u',', u' ');
  return elenco.simplified().replace(u' ', QStringLiteral(", "));
}

QString DidascaliaCifre(int intCifre) {
  if (intCifre == 1) return QStringLiteral("Valori di 1 cifra");
  if (intCifre == 2) return QStringLiteral("Valori di 2 cifre");
  return {};
}

qint16 ValoreMassimo(int intCifre) {
  if (intCifre == 1) return 9;
  if (intCifre == 2) return 19;
  return 0;
}

QString SimboliDecrescenti(const FamigliaUnita &f) {
  const QString coda = f.strSimbolo2 + u' ' + f.strSimbolo3 + u' ' + f.strSimbolo4;
  return f.intNumeroUnita == 4 ? f.strSimbolo1 + u' ' + coda : coda;
}

QString SimboliCrescenti(const FamigliaUnita &f) {
  const QString testa = f.strSimbolo4 + u' ' + f.strSimbolo3 + u' ' + f.strSimbolo2;
  return f.intNumeroUnita == 4 ? testa + u' ' + f.strSimbolo1 : testa;
}

bool ApplicaFamiglia(FamigliaUnita &famiglia, int intLivello) {
  const auto f = TabellaFamiglia(intLivello);
  if (!f) return false;
  famiglia = *f;
  return true;
}

bool ApplicaCifre(Impostazioni &impostazioni, int intCifre) {
  const qint16 m = ValoreMassimo(intCifre);
  if (m == 0) return false;
  impostazioni.intValoreMassimo = m;
  return true;
}
