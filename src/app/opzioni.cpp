#include "app/opzioni.h"

#include "platform/preferenze.h"

#include <QVariant>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// The settings' keys, in the order of kCampiOpzioni.
constexpr std::array<const char16_t *, kCampiOpzioni.size()> kChiavi{
    u"opzioni/leggiSempre", u"opzioni/tabellaAMano", u"opzioni/senzaOrologio", u"opzioni/caratteriGrandi",
    u"opzioni/altoContrasto"};

// Only a plain yes or no switches an option on: a number out of range, a
// word, a list or a stray value leaves it off.
bool Acceso(const QVariant &v) {
  if (v.typeId() == QMetaType::Bool) return v.toBool();
  if (v.typeId() != QMetaType::QString) return false;
  const QString s = v.toString().trimmed();
  return s == u"true"_s || s == u"1"_s;
}

}  // namespace

Opzioni LeggiOpzioni(const Preferenze &p) {
  Opzioni o;
  for (std::size_t i = 0; i < kCampiOpzioni.size(); ++i)
    o.*kCampiOpzioni[i] = Acceso(p.leggi(QString::fromUtf16(kChiavi[i])));
  return o;
}

void ScriviOpzioni(Preferenze &p, const Opzioni &o) {
  QVariantHash valori;
  for (std::size_t i = 0; i < kCampiOpzioni.size(); ++i) valori.insert(QString::fromUtf16(kChiavi[i]), o.*kCampiOpzioni[i]);
  p.scrivi(valori);
}
