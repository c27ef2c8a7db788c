#include "ui/common/stile.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

StileVornel::StileVornel() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void StileVornel::drawPrimitive(PrimitiveElement elemento, const QStyleOption *opzione, QPainter *p,
                                const QWidget *widget) const {
  switch (elemento) {
    case PE_PanelButtonCommand: {
      const bool giu = opzione->state & (State_Sunken | State_On);
      const QBrush faccia = opzione->palette.brush(QPalette::Button);
      p->save();
      p->setRenderHint(QPainter::Antialiasing, false);
      qDrawWinButton(p, opzione->rect, opzione->palette, giu, &faccia);
      p->restore();
      return;
    }
    case PE_FrameDefaultButton:
      return;
    case PE_FrameFocusRect: {
      p->save();
      p->setRenderHint(QPainter::Antialiasing, false);
      p->setBrush(Qt::NoBrush);
      p->setPen(QPen(opzione->palette.color(QPalette::ButtonText), 0, Qt::DotLine));
      p->drawRect(opzione->rect.adjusted(0, 0, -1, -1));
      p->restore();
      return;
    }
    default:
      QProxyStyle::drawPrimitive(elemento, opzione, p, widget);
  }
}

void StileVornel::drawControl(ControlElement elemento, const QStyleOption *opzione, QPainter *p,
                              const QWidget *widget) const {
  QProxyStyle::drawControl(elemento, opzione, p, widget);
  if (elemento != CE_PushButton || !(opzione->state & State_HasFocus)) return;
  QStyleOptionFocusRect fuoco;
  fuoco.QStyleOption::operator=(*opzione);
  fuoco.rect = opzione->rect.adjusted(4, 4, -4, -4);
  if (fuoco.rect.isValid()) drawPrimitive(PE_FrameFocusRect, &fuoco, p, widget);
}
