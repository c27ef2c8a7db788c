#include "app/opzioni.h"

#include "platform/preferenze.h"

#include <QVariant>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Voce {
  const char16_t *chiave;
  bool Opzioni::*campo;
};

constexpr std::array kVoci{
    Voce{u"opzioni/leggiSempre", &Opzioni::leggiSempre},
    Voce{u"opzioni/tabellaAMano", &Opzioni::tabellaAMano},
    Voce{u"opzioni/senzaOrologio", &Opzioni::senzaOrologio},
    Voce{u"opzioni/caratteriGrandi", &Opzioni::caratteriGrandi},
    Voce{u"opzioni/altoContrasto", &Opzioni::altoContrasto},
};

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
  for (const Voce &v : kVoci) o.*v.campo = Acceso(p.leggi(QString::fromUtf16(v.chiave)));
  return o;
}

void ScriviOpzioni(Preferenze &p, const Opzioni &o) {
  QVariantHash valori;
  for (const Voce &v : kVoci) valori.insert(QString::fromUtf16(v.chiave), o.*v.campo);
  p.scrivi(valori);
}
