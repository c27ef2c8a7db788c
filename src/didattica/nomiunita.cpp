#include "didattica/nomiunita.h"

#include <array>

#include "generation/famiglie.h"

namespace {

struct Nome {
  const char16_t *singolare, *plurale;
};

// Slot 1..4 of each family; the blank slot of the three-unit families has no name.
// clang-format off
constexpr std::array<std::array<Nome, 4>, kFamiglie> kNomi{{
    {{{u"unità", u"unità"}, {u"decimo", u"decimi"}, {u"centesimo", u"centesimi"}, {u"millesimo", u"millesimi"}}},
    {{{u"", u""}, {u"centinaio", u"centinaia"}, {u"decina", u"decine"}, {u"unità", u"unità"}}},
    {{{u"migliaio", u"migliaia"}, {u"centinaio", u"centinaia"}, {u"decina", u"decine"}, {u"unità", u"unità"}}},
    {{{u"metro", u"metri"}, {u"decimetro", u"decimetri"}, {u"centimetro", u"centimetri"}, {u"millimetro", u"millimetri"}}},
    {{{u"", u""}, {u"ettometro", u"ettometri"}, {u"decametro", u"decametri"}, {u"metro", u"metri"}}},
    {{{u"chilometro", u"chilometri"}, {u"ettometro", u"ettometri"}, {u"decametro", u"decametri"}, {u"metro", u"metri"}}},
    {{{u"grammo", u"grammi"}, {u"decigrammo", u"decigrammi"}, {u"centigrammo", u"centigrammi"}, {u"milligrammo", u"milligrammi"}}},
    {{{u"", u""}, {u"ettogrammo", u"ettogrammi"}, {u"decagrammo", u"decagrammi"}, {u"grammo", u"grammi"}}},
    {{{u"chilogrammo", u"chilogrammi"}, {u"ettogrammo", u"ettogrammi"}, {u"decagrammo", u"decagrammi"}, {u"grammo", u"grammi"}}},
    {{{u"tonnellata", u"tonnellate"}, {u"quintale", u"quintali"}, {u"miriagrammo", u"miriagrammi"}, {u"chilogrammo", u"chilogrammi"}}},
    {{{u"litro", u"litri"}, {u"decilitro", u"decilitri"}, {u"centilitro", u"centilitri"}, {u"millilitro", u"millilitri"}}},
    {{{u"", u""}, {u"ettolitro", u"ettolitri"}, {u"decalitro", u"decalitri"}, {u"litro", u"litri"}}},
}};
// clang-format on

}  // namespace

int LivelloDellaFamiglia(const FamigliaUnita &famiglia) {
  for (int n = 1; n <= kFamiglie; ++n) {
    const auto f = TabellaFamiglia(n);
    if (f && f->strSimbolo1 == famiglia.strSimbolo1 && f->strSimbolo2 == famiglia.strSimbolo2 &&
        f->strSimbolo3 == famiglia.strSimbolo3 && f->strSimbolo4 == famiglia.strSimbolo4)
      return n;
  }
  return 0;
}

QString NomeUnita(int intLivello, int slot, bool plurale) {
  if (intLivello < 1 || intLivello > kFamiglie || slot < 1 || slot > 4) return {};
  const Nome &n = kNomi[static_cast<size_t>(intLivello - 1)][static_cast<size_t>(slot - 1)];
  return QString::fromUtf16(plurale ? n.plurale : n.singolare);
}

QString QuantitaInParole(const QString &numero, int intLivello, int slot) {
  const QString nome = NomeUnita(intLivello, slot, numero != u"1");
  return nome.isEmpty() ? numero : numero + u' ' + nome;
}
