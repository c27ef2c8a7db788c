#include "ui/common/stile.h"

#include <qdrawutil.h>

#include <QGroupBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

#include "ui/common/contrasto.h"

namespace {
constexpr qreal kBordoFuoco = 4;  // pixels of the focus border in high contrast

// A button's face and edge, the very pixels of qDrawWinButton, with each edge
// line laid as a rectangle a pixel wide: qDrawWinButton strokes its lines, and
// the stroker blends them a pixel at a time, which on the keys of a window
// stretched over a board costs more than their faces. Where a pixel of the
// painter is not one of the device (a scale, a high-density screen), and on a
// button under three pixels a side, whose edges are lines of no length or one
// pixel that the stroker draws its own way, Qt's own drawing is kept.
void FacciaPulsante(QPainter *p, const QRect &r, const QPalette &pal, bool giu, const QBrush *faccia) {
  const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
  if (w < 3 || h < 3 || p->worldTransform().type() > QTransform::TxTranslate ||
      p->device()->devicePixelRatio() != 1) {
    qDrawWinButton(p, r, pal, giu, faccia);
    return;
  }
  // Outer top-left, outer bottom-right, inner top-left, inner bottom-right.
  const QColor c1 = giu ? pal.shadow().color() : pal.light().color();
  const QColor c2 = giu ? pal.light().color() : pal.shadow().color();
  const QColor c3 = giu ? pal.dark().color() : pal.button().color();
  const QColor c4 = giu ? pal.button().color() : pal.dark().color();
  p->fillRect(x, y, 1, h - 1, c1);
  p->fillRect(x + 1, y, w - 2, 1, c1);
  p->fillRect(x, y + h - 1, w, 1, c2);
  p->fillRect(x + w - 1, y, 1, h - 1, c2);
  if (w <= 4 || h <= 4) return;
  p->fillRect(x + 1, y + 1, 1, h - 3, c3);
  p->fillRect(x + 2, y + 1, w - 4, 1, c3);
  p->fillRect(x + 1, y + h - 2, w - 2, 1, c4);
  p->fillRect(x + w - 2, y + 1, 1, h - 3, c4);
  if (faccia) p->fillRect(x + 2, y + 2, w - 4, h - 4, *faccia);
}

// Fusion's frame of a styled panel, a pixel wide in its outline colour, laid
// as four filled rectangles for the same reason; Fusion's own drawing where
// the pixel is not the device's or the frame is under three pixels a side.
bool CorniceFusion(QPainter *p, const QStyleOption *o) {
  const QRect &r = o->rect;
  if (r.width() < 3 || r.height() < 3 || p->worldTransform().type() > QTransform::TxTranslate ||
      p->device()->devicePixelRatio() != 1)
    return false;
  const QBrush &fondo = o->palette.window();
  const QColor bordo =
      (fondo.style() == Qt::TexturePattern ? QColor(0, 0, 0, 160) : fondo.color().darker(140)).lighter(108);
  p->fillRect(r.x(), r.y(), r.width(), 1, bordo);
  p->fillRect(r.x(), r.bottom(), r.width(), 1, bordo);
  p->fillRect(r.x(), r.y() + 1, 1, r.height() - 2, bordo);
  p->fillRect(r.right(), r.y() + 1, 1, r.height() - 2, bordo);
  return true;
}
}  // namespace

StileVornel::StileVornel() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void StileVornel::drawPrimitive(PrimitiveElement elemento, const QStyleOption *opzione, QPainter *p,
                                const QWidget *widget) const {
  switch (elemento) {
    case PE_PanelButtonCommand: {
      const bool giu = opzione->state & (State_Sunken | State_On);
      const QBrush faccia = opzione->palette.brush(QPalette::Button);
      p->save();
      p->setRenderHint(QPainter::Antialiasing, false);
      FacciaPulsante(p, opzione->rect, opzione->palette, giu, &faccia);
      p->restore();
      return;
    }
    case PE_FrameDefaultButton:
      return;
    case PE_Frame:
      if ((widget && widget->inherits("QComboBoxPrivateContainer")) || !CorniceFusion(p, opzione))
        QProxyStyle::drawPrimitive(elemento, opzione, p, widget);
      return;
    case PE_FrameGroupBox: {
      // Fusion's faint rounded frame, drawn rather than read from the style's
      // image (the first image read loads every image format's plugin), and
      // laid out as Fusion lays it: below the title's line.
      const auto *scatola = qobject_cast<const QGroupBox *>(widget);
      const int sopraTitolo = 3;
      const int alto =
          scatola && !scatola->isCheckable() && scatola->title().isEmpty()
              ? sopraTitolo
              : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), opzione->fontMetrics.height()) +
                    sopraTitolo;
      const QRectF r = QRectF(opzione->rect.adjusted(1, alto + 1, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5);
      p->save();
      p->setRenderHint(QPainter::Antialiasing);
      p->setBrush(QColor(0, 0, 0, 3));
      p->setPen(QColor(0, 0, 0, 6));
      p->drawRoundedRect(r.adjusted(1, 1, -1, -1), 1, 1);
      p->setBrush(Qt::NoBrush);
      p->setPen(QColor(117, 117, 117, 51));
      p->drawRoundedRect(r, 2, 2);
      p->restore();
      return;
    }
    case PE_FrameFocusRect: {
      if (contrasto::Attivo(widget)) {
        // In high contrast the focus is a thick solid border as well as a colour.
        p->save();
        p->setRenderHint(QPainter::Antialiasing, false);
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(opzione->palette.color(QPalette::ButtonText), kBordoFuoco, Qt::SolidLine,
                       Qt::SquareCap, Qt::MiterJoin));
        p->drawRect(QRectF(opzione->rect)
                        .adjusted(kBordoFuoco / 2, kBordoFuoco / 2, -kBordoFuoco / 2, -kBordoFuoco / 2));
        p->restore();
        return;
      }
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

QIcon StileVornel::standardIcon(StandardPixmap icona, const QStyleOption *opzione,
                                const QWidget *widget) const {
  if (icona != SP_ToolBarHorizontalExtensionButton && icona != SP_ToolBarVerticalExtensionButton)
    return QProxyStyle::standardIcon(icona, opzione, widget);
  QPixmap disegno(12, 12);
  disegno.fill(Qt::transparent);
  QPainter p(&disegno);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(opzione ? opzione->palette.color(QPalette::ButtonText) : QColor(Qt::black), 1.5));
  if (icona == SP_ToolBarVerticalExtensionButton) {  // pointing down
    p.translate(12, 0);
    p.rotate(90);
  }
  for (const qreal x : {2.0, 6.5}) p.drawPolyline(QPolygonF({{x, 2.5}, {x + 3.5, 6}, {x, 9.5}}));
  return QIcon(disegno);
}
