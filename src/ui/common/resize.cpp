#include "ui/common/resize.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <algorithm>
#include <cmath>

void Resize::registra(QWidget *client, bool spostaCombo) {
  if (m_caratteri) caratteriDiProgetto();  // the design is recorded with the design's type
  m_client = client;
  m_spostaCombo = spostaCombo;
  m_voci.clear();
  m_progetto = client->size();
  const double w = client->width(), h = client->height();
  for (QWidget *c : client->findChildren<QWidget *>()) {
    if (c->objectName().isEmpty() || qobject_cast<QMenuBar *>(c) || qobject_cast<QMenu *>(c) ||
        qobject_cast<Linea *>(c) || c->isWindow())
      continue;
    if (qobject_cast<QComboBox *>(c->parentWidget())) continue;  // a combo's own parts
    Voce v{c, {}, c->font(), c->testAttribute(Qt::WA_SetFont)};
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
  if (!m_caratteri) return;
  for (const Voce &v : m_voci) {
    if (!v.w || !v.carattereProprio) continue;  // the others take theirs from their parent
    const double k = fattore(v);
    QFont f = v.carattere;
    // Grown type goes by half points: a size nobody tells from its neighbour,
    // and a window dragged a few pixels keeps the glyphs it has already drawn
    // instead of drawing every text again in a new size.
    if (f.pointSizeF() > 0)
      f.setPointSizeF(k == 1.0 ? v.carattere.pointSizeF() : std::round(v.carattere.pointSizeF() * k * 2) / 2);
    else if (f.pixelSize() > 0) f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pixelSize() * k))));
    if (v.w->font() != f) v.w->setFont(f);
  }
}

double Resize::fattoreCaratteri() const {
  if (!m_caratteri || !m_client || m_progetto.isEmpty()) return 1.0;
  return std::min(static_cast<double>(m_client->width()) / m_progetto.width(),
                  static_cast<double>(m_client->height()) / m_progetto.height());
}

double Resize::fattore(const Voce &v) const {
  if (!m_caratteri || !m_client || m_progetto.isEmpty()) return 1.0;
  if (v.agioO == 1.0 && v.agioV == 1.0) return fattoreCaratteri();
  return std::min(v.agioO * m_client->width() / m_progetto.width(),
                  v.agioV * m_client->height() / m_progetto.height());
}

void Resize::agio(const QWidget *w, double orizzontale, double verticale) {
  for (Voce &v : m_voci) {
    if (v.w != w) continue;
    v.agioO = std::max(1.0, orizzontale);
    v.agioV = std::max(1.0, verticale);
    if (m_caratteri) applica();
    return;
  }
}

double Resize::fattoreCaratteri(const QWidget *w) const {
  for (const Voce &v : m_voci)
    if (v.w == w) return fattore(v);
  return fattoreCaratteri();
}

void Resize::scalaCaratteri(bool si) {
  if (si == m_caratteri) return;
  if (!si) caratteriDiProgetto();
  m_caratteri = si;
  applica();
}

void Resize::caratteriDiProgetto() {
  for (const Voce &v : m_voci)
    if (v.w && v.carattereProprio && v.w->font() != v.carattere) v.w->setFont(v.carattere);
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
