#include "ui/certificate/disegnoattestato.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/stampante.h"
#include "ui/common/contrasto.h"

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

DisegnoAttestato::Colori DisegnoAttestato::coloriProgetto() {
  return {QColor(255, 255, 255), QColor(0, 0, 0), kRossoAttestato, kRossoAttestato.darker(140),
          QColor(176, 124, 32)};
}

// White paper, the red darkened until it reads as well as the black; the rules
// darkened alike, so the frame stands out as sharply as the writing.
DisegnoAttestato::Colori DisegnoAttestato::coloriContrasto() {
  Colori c = coloriProgetto();
  for (QColor *t : {&c.nero, &c.rosso, &c.bordo, &c.oro}) *t = contrasto::Testo(*t);
  return c;
}

QColor DisegnoAttestato::Colori::inchiostro(const QColor &progetto) const {
  const Colori p = coloriProgetto();
  if (progetto == p.rosso) return rosso;
  if (progetto == p.nero) return nero;
  return progetto;
}

namespace {

// A sheet of paper whose resolution makes point sizes come out at their size on paper.
QImage Foglio(QSize pixel, double dpi, const QColor &carta) {
  QImage img(pixel, QImage::Format_RGB32);
  const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
  img.setDotsPerMeterX(dpm);
  img.setDotsPerMeterY(dpm);
  img.fill(carta);
  return img;
}

// A double rule round the page, as on a printed diploma; the rows stay inside it.
void Cornice(QPainter &p, QSizeF tutto, double dpi, const DisegnoAttestato::Colori &colori) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double mm = dpi / 25.4;
  const QRectF r(QPointF(0, 0), tutto);
  const QColor oro = colori.oro;
  p.setPen(QPen(colori.bordo, 1.4 * mm));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(2.2 * mm, 2.2 * mm, -2.2 * mm, -2.2 * mm));
  p.setPen(QPen(oro, 0.5 * mm));
  p.drawRect(r.adjusted(4.2 * mm, 4.2 * mm, -4.2 * mm, -4.2 * mm));
  // Small diamonds in the corners.
  p.setBrush(oro);
  p.setPen(Qt::NoPen);
  const double s = 2.2 * mm;
  for (const QPointF c :
       {r.topLeft() + QPointF(4.2 * mm, 4.2 * mm), r.topRight() + QPointF(-4.2 * mm, 4.2 * mm),
        r.bottomLeft() + QPointF(4.2 * mm, -4.2 * mm), r.bottomRight() + QPointF(-4.2 * mm, -4.2 * mm)}) {
    QPainterPath rombo;
    rombo.moveTo(c + QPointF(0, -s));
    rombo.lineTo(c + QPointF(s, 0));
    rombo.lineTo(c + QPointF(0, s));
    rombo.lineTo(c + QPointF(-s, 0));
    rombo.closeSubpath();
    p.drawPath(rombo);
  }
  p.restore();
}

}  // namespace

DisegnoAttestato::DisegnoAttestato(QSize twips, QList<RigaAttestato> righe, QSize pixel)
    : m_twips(twips), m_righe(std::move(righe)) {
  adatta(pixel);
}

QSize DisegnoAttestato::pixel(int dpi) const {
  const auto px = [dpi](int tw) { return static_cast<int>(std::lround(tw * dpi / kTwipsPerPollice)); };
  return {px(m_twips.width()), px(m_twips.height())};
}

double DisegnoAttestato::dpiSchermo() const {
  return m_schermo.width() * kTwipsPerPollice / m_twips.width();
}

void DisegnoAttestato::adatta(QSize pixel) {
  m_schermo = pixel.expandedTo(QSize(1, 1));
  m_metrica = Foglio(QSize(1, 1), dpiSchermo(), coloriProgetto().carta);
  m_posti.clear();
  m_y = 0;
  const qsizetype disegnate = m_prossima;
  m_prossima = 0;
  while (m_prossima < disegnate) disegnaProssima();
}

double DisegnoAttestato::rigaIn(QPainter &p, const QImage &img, int larghezza, const RigaAttestato &r,
                                double y, QList<Posto> *posti, const Colori &colori) const {
  QFont f(r.font);
  f.setPointSizeF(r.punti);
  f.setBold(r.grassetto);
  const QFontMetricsF fm(f, &img);
  const double lunga = r.testo.isEmpty() ? 0 : fm.horizontalAdvance(r.testo);
  const double x = larghezza / 2.0 - lunga / 2.0;
  // Rows wholly outside the image (a band of a larger picture) only take their place.
  const double cima = p.transform().dy() + y;
  const bool dentro = cima < img.height() && cima + fm.lineSpacing() > 0;
  if (!r.testo.isEmpty() && dentro) {
    p.setFont(f);
    p.setPen(colori.inchiostro(r.colore));
    p.drawText(QPointF(x, y + fm.ascent()), r.testo);
  }
  if (posti) posti->push_back({QRectF(x, y, lunga, fm.lineSpacing())});
  return fm.lineSpacing();
}

bool DisegnoAttestato::disegnaProssima() {
  if (finito()) return false;
  // Only the row's place is taken: moved below the one pixel, nothing is drawn.
  QPainter p(&m_metrica);
  p.translate(0, 1);
  m_y += rigaIn(p, m_metrica, m_schermo.width(), m_righe[m_prossima++], m_y, &m_posti, coloriProgetto());
  return !finito();
}

QImage DisegnoAttestato::fasciaSchermo(int da, int quante, const Colori &colori) const {
  return fasciaDi(m_schermo, dpiSchermo(), da, quante, colori);
}

void DisegnoAttestato::disegnaIn(QImage &img, int da, QSize tutto, double dpi, qsizetype n,
                                 const Colori &colori) const {
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.translate(0, -da);
  Cornice(p, QSizeF(tutto), dpi, colori);
  double y = 0;
  for (qsizetype i = 0; i < n; ++i) y += rigaIn(p, img, tutto.width(), m_righe[i], y, nullptr, colori);
}

QImage DisegnoAttestato::fascia(int dpi, int da, int quante) const {
  // Paper always gets the design.
  return fasciaDi(pixel(dpi), dpi, da, quante, coloriProgetto());
}

QImage DisegnoAttestato::fasciaDi(QSize tutto, double dpi, int da, int quante, const Colori &colori) const {
  da = std::clamp(da, 0, tutto.height());
  const int alta = quante < 0 ? tutto.height() - da : std::min(quante, tutto.height() - da);
  if (alta <= 0) return {};
  QImage img = Foglio(QSize(tutto.width(), alta), dpi, colori.carta);
  disegnaIn(img, da, tutto, dpi, m_prossima, colori);
  return img;
}
