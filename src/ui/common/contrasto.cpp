#include "ui/common/contrasto.h"

#include "ui/common/aspetto.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace contrasto {
namespace {

constexpr char kProgetto[] = "tavolozzaProgetto";
const QColor kBianco{255, 255, 255};
const QColor kGialloForte{255, 255, 0};
const QColor kEvidenza{0, 0, 139};

double Lineare(int canale) {
  const double c = canale / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double Luminanza(const QColor &c) {
  const QColor r = c.toRgb();
  return 0.2126 * Lineare(r.red()) + 0.7152 * Lineare(r.green()) + 0.0722 * Lineare(r.blue());
}

double Rapporto(const QColor &a, const QColor &b) {
  const double la = Luminanza(a), lb = Luminanza(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Sfondo(const QColor &progetto) { return progetto == aspetto::kFuoco ? kGialloForte : kBianco; }

QColor Testo(const QColor &progetto) {
  // A little above the minimum, so the text reads on the yellow of the focus as well.
  QColor c = progetto.toRgb();
  while (Rapporto(c, kGialloForte) < kMinimo + 0.3)
    c = QColor(c.red() * 9 / 10, c.green() * 9 / 10, c.blue() * 9 / 10);
  return c;
}

QPalette Tavolozza(const QPalette &progetto) {
  QPalette p = progetto;
  for (auto gruppo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (auto ruolo : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase})
      p.setColor(gruppo, ruolo, Sfondo(progetto.color(gruppo, ruolo)));
    for (auto ruolo : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::PlaceholderText,
                       QPalette::ToolTipText})
      p.setColor(gruppo, ruolo, Testo(progetto.color(gruppo, ruolo)));
    p.setColor(gruppo, QPalette::ToolTipBase, kBianco);
    p.setColor(gruppo, QPalette::Highlight, kEvidenza);
    p.setColor(gruppo, QPalette::HighlightedText, kBianco);
  }
  return p;
}

QPalette TavolozzaSegno(const QPalette &progetto) {
  QPalette p = Tavolozza(progetto);
  for (auto gruppo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    for (auto ruolo : {QPalette::Window, QPalette::Button, QPalette::Base})
      p.setColor(gruppo, ruolo, Testo(progetto.color(gruppo, ruolo)));
  return p;
}

bool Attivo(const QWidget *w) {
  const QWidget *f = w ? w->window() : nullptr;
  return f && f->property(kProprieta).toBool();
}

QPalette TavolozzaProgetto(const QWidget *w) {
  const QVariant v = w->property(kProgetto);
  return v.isValid() ? v.value<QPalette>() : w->palette();
}

void ImpostaTavolozza(QWidget *w, const QPalette &progetto) {
  if (Attivo(w)) {
    w->setProperty(kProgetto, QVariant::fromValue(progetto));
    w->setPalette(w->property(kSegno).toBool() ? TavolozzaSegno(progetto) : Tavolozza(progetto));
  } else {
    if (w->property(kProgetto).isValid()) w->setProperty(kProgetto, QVariant());
    w->setPalette(progetto);
  }
}

void Applica(QWidget *finestra, bool si) {
  if (!finestra || si == Attivo(finestra)) return;
  finestra->setProperty(kProprieta, si);
  // A window's own controls only: the windows opened over it are its children too.
  QList<QWidget *> tutti;
  for (QWidget *w : finestra->findChildren<QWidget *>())
    if (w->window() == finestra) tutti.append(w);
  tutti.prepend(finestra);
  if (si) {
    // Only a palette of its own is changed: the others follow their parent. A
    // palette also carries what it took from its parents, so every designed one
    // is set aside before the first is changed.
    QList<std::pair<QWidget *, QPalette>> progetti;
    for (QWidget *w : tutti)
      if (w->testAttribute(Qt::WA_SetPalette)) progetti.append({w, w->palette()});
    for (const auto &[w, p] : progetti) ImpostaTavolozza(w, p);
  } else {
    for (QWidget *w : tutti)
      if (w->property(kProgetto).isValid()) ImpostaTavolozza(w, TavolozzaProgetto(w));
  }
  finestra->update();
}

}  // namespace contrasto
