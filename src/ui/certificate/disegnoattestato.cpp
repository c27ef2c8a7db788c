#include "ui/certificate/disegnoattestato.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace Qt::StringLiterals;

QList<RigaAttestato> RigheAttestato(const DatiAttestato &dati) {
  const QString arial = u"arial"_s;
  const QColor nero(Qt::black);
  const QColor rosso = kRossoAttestato;
  QList<RigaAttestato> r;
  // Before any font is set the picture writes in the window's own font.
  for (int i = 0; i < 5; ++i) r.push_back({{}, u"MS Sans Serif"_s, 8.25, true, nero});
  r.push_back({u"DIPLOMA DI MERITO"_s, arial, 20, true, rosso});
  r.push_back({u"RILASCIATO A"_s, arial, 20, true, nero});
  r.push_back({{}, arial, 20, true, nero});
  r.push_back({dati.nome, arial, 20, true, rosso});
  r.push_back({{}, arial, 20, true, rosso});
  r.push_back({u"per aver eseguito"_s, arial, 12, false, nero});
  r.push_back({{}, arial, 12, false, nero});
  r.push_back({dati.titolo, arial, 14, true, nero});
  r.push_back({{}, arial, 14, true, nero});
  r.push_back({dati.ordine, arial, 14, true, nero});
  r.push_back({{}, arial, 14, true, nero});
  r.push_back({u"con la valutazione di"_s, arial, 12, false, nero});
  r.push_back({{}, arial, 12, false, nero});
  r.push_back({dati.valutazione, arial, 14, true, rosso});
  r.push_back({{}, arial, 14, true, rosso});
  r.push_back({u"con %1 risposte esatte su %2 richieste"_s.arg(dati.esatte).arg(dati.operazioni), arial, 12,
               false, nero});
  for (int i = 0; i < 3; ++i) r.push_back({{}, arial, 12, false, nero});
  r.push_back({u"Data  "_s + dati.data, arial, 12, false, nero});
  return r;
}

DisegnoAttestato::DisegnoAttestato(QSize twips, int dpi, QList<RigaAttestato> righe)
    : m_twips(twips), m_dpi(dpi > 0 ? dpi : 96), m_righe(std::move(righe)) {
  const auto pixel = [this](int tw) { return static_cast<int>(std::lround(tw * m_dpi / 1440.0)); };
  m_immagine = QImage(pixel(m_twips.width()), pixel(m_twips.height()), QImage::Format_RGB32);
  // Point sizes then come out at their size on paper.
  const int dpm = static_cast<int>(std::lround(m_dpi / 0.0254));
  m_immagine.setDotsPerMeterX(dpm);
  m_immagine.setDotsPerMeterY(dpm);
  m_immagine.fill(Qt::white);
  cornice();
}

// A double rule round the page, as on a printed diploma; the rows stay inside it.
void DisegnoAttestato::cornice() {
  QPainter p(&m_immagine);
  p.setRenderHint(QPainter::Antialiasing);
  const double mm = m_dpi / 25.4;
  const QRectF tutto(0, 0, m_immagine.width(), m_immagine.height());
  const QColor oro(176, 124, 32);
  p.setPen(QPen(kRossoAttestato.darker(140), 1.4 * mm));
  p.drawRect(tutto.adjusted(2.2 * mm, 2.2 * mm, -2.2 * mm, -2.2 * mm));
  p.setPen(QPen(oro, 0.5 * mm));
  p.drawRect(tutto.adjusted(4.2 * mm, 4.2 * mm, -4.2 * mm, -4.2 * mm));
  // Small diamonds in the corners.
  p.setBrush(oro);
  p.setPen(Qt::NoPen);
  const double s = 2.2 * mm;
  for (const QPointF c :
       {tutto.topLeft() + QPointF(4.2 * mm, 4.2 * mm), tutto.topRight() + QPointF(-4.2 * mm, 4.2 * mm),
        tutto.bottomLeft() + QPointF(4.2 * mm, -4.2 * mm),
        tutto.bottomRight() + QPointF(-4.2 * mm, -4.2 * mm)}) {
    QPainterPath rombo;
    rombo.moveTo(c + QPointF(0, -s));
    rombo.lineTo(c + QPointF(s, 0));
    rombo.lineTo(c + QPointF(0, s));
    rombo.lineTo(c + QPointF(-s, 0));
    rombo.closeSubpath();
    p.drawPath(rombo);
  }
}

bool DisegnoAttestato::disegnaProssima() {
  if (finito()) return false;
  const RigaAttestato &r = m_righe[m_prossima++];
  QPainter p(&m_immagine);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont f(r.font);
  f.setPointSizeF(r.punti);
  f.setBold(r.grassetto);
  p.setFont(f);
  p.setPen(r.colore);
  const QFontMetricsF fm(f, &m_immagine);
  const double larghezza = r.testo.isEmpty() ? 0 : fm.horizontalAdvance(r.testo);
  const double x = m_immagine.width() / 2.0 - larghezza / 2.0;
  if (!r.testo.isEmpty()) p.drawText(QPointF(x, m_y + fm.ascent()), r.testo);
  m_posti.push_back({QRectF(x, m_y, larghezza, fm.lineSpacing())});
  m_y += fm.lineSpacing();
  return !finito();
}
