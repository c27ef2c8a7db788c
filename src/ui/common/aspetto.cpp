#include "ui/common/aspetto.h"

#include "ui/common/contrasto.h"

#include <QBackingStore>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace aspetto {

namespace {

// A disabled control keeps its colours but its text fades towards the background,
// so that a child sees at once which buttons can be pressed.
void sbiadisci(QPalette &p) {
  const QColor sfondo = p.color(QPalette::Active, QPalette::Button);
  for (auto ruolo : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    const QColor t = p.color(QPalette::Active, ruolo);
    p.setColor(QPalette::Disabled, ruolo,
               QColor((t.red() * 2 + sfondo.red() * 3) / 5, (t.green() * 2 + sfondo.green() * 3) / 5,
                      (t.blue() * 2 + sfondo.blue() * 3) / 5));
  }
}

}  // namespace

QFont carattere(const QString &famiglia, double punti, bool grassetto) {
  QFont f(famiglia);
  f.setPointSizeF(punti);
  f.setBold(grassetto);
  return f;
}

void preparaCarattere(const QFont &f) { (void)QFontMetrics(f).ascent(); }

void preparaBuffer(QWidget *finestra) {
  if (!finestra->isWindow() || finestra->isVisible()) return;  // a shown window's buffer is its picture
  finestra->winId();
  QBackingStore *buffer = finestra->backingStore();
  if (!buffer) return;
  const QRect tutto = finestra->rect();
  buffer->resize(tutto.size());
  buffer->beginPaint(QRegion(tutto));
  {
    QPainter p(buffer->paintDevice());
    p.fillRect(tutto, finestra->palette().color(QPalette::Window));
  }
  buffer->endPaint();
}

void colora(QWidget *w, const QColor &sfondo, const QColor &testo) {
  QPalette p = contrasto::TavolozzaProgetto(w);
  p.setColor(QPalette::Window, sfondo);
  p.setColor(QPalette::Button, sfondo);
  p.setColor(QPalette::Base, sfondo);
  if (testo.isValid()) {
    p.setColor(QPalette::WindowText, testo);
    p.setColor(QPalette::ButtonText, testo);
    p.setColor(QPalette::Text, testo);
  }
  sbiadisci(p);
  contrasto::ImpostaTavolozza(w, p);
  w->setAutoFillBackground(true);
}

void coloraTesto(QWidget *w, const QColor &testo) {
  QPalette p = contrasto::TavolozzaProgetto(w);
  p.setColor(QPalette::WindowText, testo);
  p.setColor(QPalette::ButtonText, testo);
  p.setColor(QPalette::Text, testo);
  sbiadisci(p);
  contrasto::ImpostaTavolozza(w, p);
}

QLabel *etichetta(QWidget *genitore, const QString &nome, const QString &testo, const QRect &r) {
  auto *l = new QLabel(testo, genitore);
  l->setObjectName(nome);
  l->setGeometry(r);
  return l;
}

QFrame *cornice(QWidget *genitore, const QString &nome, const QRect &r, const QString &titolo) {
  auto *f = new QFrame(genitore);
  f->setObjectName(nome);
  f->setGeometry(r);
  if (!titolo.isEmpty()) f->setAccessibleName(titolo);
  return f;
}

}  // namespace aspetto
