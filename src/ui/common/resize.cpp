#include "ui/common/resize.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <cmath>

void Resize::registra(QWidget *client, bool spostaCombo) {
  m_client = client;
  m_spostaCombo = spostaCombo;
  m_voci.clear();
  const double w = client->width(), h = client->height();
  for (QWidget *c : client->findChildren<QWidget *>()) {
    if (c->objectName().isEmpty() || qobject_cast<QMenuBar *>(c) || qobject_cast<QMenu *>(c) ||
        qobject_cast<Linea *>(c) || c->isWindow())
      continue;
    if (qobject_cast<QComboBox *>(c->parentWidget())) continue;  // a combo's own parts
    Voce v{c, {}};
    if (w > 0) {
      v.r.larghezza = static_cast<float>(c->width() / w);
      v.r.sinistra = static_cast<float>(c->x() / w);
    }
    if (h > 0) {
      v.r.altezza = static_cast<float>(c->height() / h);
      v.r.alto = static_cast<float>(c->y() / h);
    }
    m_voci.push_back(v);
  }
}

void Resize::applica() {
  if (!m_client) return;
  const double w = m_client->width(), h = m_client->height();
  for (const Voce &v : m_voci) {
    if (!v.w) continue;
    if (!m_spostaCombo && qobject_cast<QComboBox *>(v.w)) continue;
    v.w->setGeometry(static_cast<int>(std::lround(v.r.sinistra * w)), static_cast<int>(std::lround(v.r.alto * h)),
                     static_cast<int>(std::lround(v.r.larghezza * w)),
                     static_cast<int>(std::lround(v.r.altezza * h)));
  }
}

Linea::Linea(Verso verso, QWidget *genitore) : QWidget(genitore), m_verso(verso) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void Linea::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(192, 0, 0), 3));
  const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  if (m_verso == Verso::Discendente) p.drawLine(r.topLeft(), r.bottomRight());
  else p.drawLine(r.bottomLeft(), r.topRight());
}
