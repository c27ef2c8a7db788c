#include "ui/common/aspetto.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace aspetto {

QFont carattere(const QString &famiglia, double punti, bool grassetto) {
  QFont f(famiglia);
  f.setPointSizeF(punti);
  f.setBold(grassetto);
  return f;
}

void colora(QWidget *w, const QColor &sfondo, const QColor &testo) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, sfondo);
  p.setColor(QPalette::Button, sfondo);
  p.setColor(QPalette::Base, sfondo);
  if (testo.isValid()) {
    p.setColor(QPalette::WindowText, testo);
    p.setColor(QPalette::ButtonText, testo);
    p.setColor(QPalette::Text, testo);
  }
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

void coloraTesto(QWidget *w, const QColor &testo) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, testo);
  p.setColor(QPalette::ButtonText, testo);
  p.setColor(QPalette::Text, testo);
  w->setPalette(p);
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
