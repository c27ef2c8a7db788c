#include "ui/common/vistatabellaunita.h"

#include "ui/common/contrasto.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal kAltezzaCifra = 0.62;   // the digits' pixel size against a row's height
constexpr qreal kLarghezzaCifra = 0.9;  // ... and against a column's width

}  // namespace

VistaTabellaUnita::Colori VistaTabellaUnita::coloriProgetto() {
  // Each unit's header in its own pale colour, as on the wall charts; the colours
  // go round from the right, so the units column is always the same one.
  return {QColor(255, 253, 240), QColor(40, 30, 20),   QColor(175, 165, 155), QColor(150, 140, 130),
          QColor(0, 60, 150),    QColor(192, 0, 0),    QColor(0, 120, 40),    QColor(228, 224, 218),
          {QColor(190, 225, 250), QColor(255, 205, 205), QColor(200, 235, 195), QColor(255, 235, 170)}};
}

// White paper, every ink darkened to a strong contrast; the placeholder zeros
// stay a grey apart from the digits, the headers keep their pale tints.
VistaTabellaUnita::Colori VistaTabellaUnita::coloriContrasto() {
  Colori c = coloriProgetto();
  c.carta = QColor(255, 255, 255);
  c.inchiostro = QColor(0, 0, 0);
  for (QColor *t : {&c.segnaposto, &c.somma, &c.marcata, &c.lettura}) *t = contrasto::Testo(*t);
  c.griglia = QColor(70, 70, 70);
  return c;
}

VistaTabellaUnita::Colori VistaTabellaUnita::colori() const {
  return contrasto::Attivo(this) ? coloriContrasto() : coloriProgetto();
}

QList<VistaTabellaUnita::Scritta> VistaTabellaUnita::scritte() const {
  const Colori c = colori();
  const QColor fondo = palette().color(QPalette::Window);
  QList<Scritta> s;
  for (size_t i = 0; i < c.tinte.size(); ++i) s.push_back({u"intestazione %1"_s.arg(i), c.inchiostro, c.tinte[i]});
  s.push_back({u"intestazione vuota"_s, c.inchiostro, c.senzaNome});
  s.push_back({u"cifra"_s, c.inchiostro, c.carta});
  s.push_back({u"segnaposto"_s, c.segnaposto, c.carta});
  s.push_back({u"cifra della somma"_s, c.somma, c.carta});
  s.push_back({u"virgola"_s, c.marcata, c.carta});
  s.push_back({u"etichetta"_s, c.inchiostro, fondo});
  s.push_back({u"etichetta della somma"_s, c.somma, fondo});
  s.push_back({u"lettura"_s, c.lettura, fondo});
  return s;
}

VistaTabellaUnita::VistaTabellaUnita(QWidget *genitore) : QWidget(genitore) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(u"Tabella delle unità"_s);
}

void VistaTabellaUnita::imposta(const TabellaUnita &tabella) {
  if (tabella == m_tabella) return;
  m_tabella = tabella;
  m_testo = TestoTabella(m_tabella);
  setAccessibleDescription(m_testo.join(u'\n'));
  m_misurata = QSize();
  update();
}

void VistaTabellaUnita::impostaPuntiMinimi(qreal punti) {
  m_puntiMinimi = punti;
  m_misurata = QSize();
  update();
}

qreal VistaTabellaUnita::puntiCifre() const {
  return misure().pixelCifre * 72.0 / logicalDpiY();
}

const VistaTabellaUnita::Misure &VistaTabellaUnita::misure() const {
  if (m_misurata != size()) {
    m_m = calcola();
    m_misurata = size();
  }
  return m_m;
}

int VistaTabellaUnita::righeCorpo() const {
  return std::max<int>(1, static_cast<int>(m_tabella.righe.size()));
}

QFont VistaTabellaUnita::carattere(qreal pixel, bool grassetto) const {
  QFont f(u"Arial"_s);
  f.setPixelSize(std::max(1, static_cast<int>(pixel)));
  f.setBold(grassetto);
  return f;
}

// Header, the rows, the reading below: all one height; the labels take what
// their longest needs, the unit columns share the rest.
VistaTabellaUnita::Misure VistaTabellaUnita::calcola() const {
  Misure m;
  const qreal minimo = m_puntiMinimi * logicalDpiY() / 72.0;
  const int linee = 1 + righeCorpo() + (m_tabella.lettura.isEmpty() ? 0 : 1);
  m.margine = std::max(4, height() / 60);
  m.riga = std::max(1, (height() - 2 * m.margine) / linee);
  m.pixelEtichette = std::max(minimo * 0.6, m.riga * kAltezzaCifra * 0.6);
  int etichette = 0;
  const QFontMetrics fe(carattere(m.pixelEtichette, true));
  for (const RigaUnita &r : m_tabella.righe)
    etichette = std::max(etichette, fe.horizontalAdvance(r.etichetta));
  m.etichette = etichette > 0 ? etichette + 2 * fe.averageCharWidth() : 0;
  const int colonne = std::max<int>(1, static_cast<int>(m_tabella.colonne.size()));
  m.colonna = std::max(1, (width() - 2 * m.margine - m.etichette) / colonne);
  m.pixelCifre = std::max(minimo, std::min(m.riga * kAltezzaCifra, m.colonna * kLarghezzaCifra));
  m.alto = m.margine + m.riga;  // the first row under the header
  return m;
}

QSize VistaTabellaUnita::sizeHint() const {
  return {400, 290};
}

QRect VistaTabellaUnita::rettangoloColonna(int colonna) const {
  const Misure &m = misure();
  return {m.margine + m.etichette + colonna * m.colonna, m.margine, m.colonna, m.riga * (1 + righeCorpo())};
}

QRect VistaTabellaUnita::rettangoloCella(int riga, int colonna) const {
  const Misure &m = misure();
  return {m.margine + m.etichette + colonna * m.colonna, m.alto + riga * m.riga, m.colonna, m.riga};
}

QString VistaTabellaUnita::testoCella(int riga, int colonna) const {
  if (riga < 0 || riga >= m_tabella.righe.size()) return {};
  const RigaUnita &r = m_tabella.righe[riga];
  if (colonna < 0 || colonna >= r.celle.size() || r.celle[colonna].cifra.isNull()) return {};
  QString t(r.celle[colonna].cifra);
  if (r.virgola && colonna == m_tabella.colonnaRichiesta) t += u',';
  return t;
}

void VistaTabellaUnita::paintEvent(QPaintEvent *) {
  const Misure &m = misure();
  const Colori k = colori();
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const int colonne = static_cast<int>(m_tabella.colonne.size());
  const QRect tavola(m.margine + m.etichette, m.margine, colonne * m.colonna, m.riga * (1 + righeCorpo()));
  p.fillRect(tavola, k.carta);

  // Header: each named unit in its colour, the columns beyond the family grey.
  const QFont intestazione = carattere(m.pixelCifre * 0.8, true);
  p.setFont(intestazione);
  for (int c = 0; c < colonne; ++c) {
    const ColonnaUnita &col = m_tabella.colonne[c];
    const QRect r(rettangoloColonna(c).topLeft(), QSize(m.colonna, m.riga));
    p.fillRect(r, col.simbolo.isEmpty() ? k.senzaNome : k.tinte[static_cast<size_t>((colonne - 1 - c) % 4)]);
    p.setPen(k.inchiostro);
    p.drawText(r, Qt::AlignCenter, col.simbolo);
  }

  // Grid: the columns, the rows, a heavy rule under the header and over the sum.
  p.setPen(QPen(k.griglia, 1));
  for (int c = 0; c <= colonne; ++c) {
    const int x = tavola.left() + c * m.colonna;
    p.drawLine(x, tavola.top(), x, tavola.bottom());
  }
  for (int r = 0; r <= righeCorpo() + 1; ++r) {
    const int y = tavola.top() + r * m.riga;
    p.drawLine(tavola.left(), y, tavola.right(), y);
  }
  p.setPen(QPen(k.inchiostro, 2));
  p.drawLine(tavola.left(), m.alto, tavola.right(), m.alto);
  for (int r = 0; r < m_tabella.righe.size(); ++r) {
    if (m_tabella.righe[r].tipo != RigaUnita::Tipo::Somma || r == 0) continue;
    const int y = m.alto + r * m.riga;
    p.drawLine(tavola.left() - m.etichette, y, tavola.right(), y);
  }

  // Labels and digits.
  const QFont cifre = carattere(m.pixelCifre, true);
  const QFont etichette = carattere(m.pixelEtichette, true);
  for (int r = 0; r < m_tabella.righe.size(); ++r) {
    const RigaUnita &riga = m_tabella.righe[r];
    const bool somma = riga.tipo == RigaUnita::Tipo::Somma;
    if (m.etichette > 0) {
      p.setFont(etichette);
      p.setPen(somma ? k.somma : k.inchiostro);
      const QRect e(m.margine, m.alto + r * m.riga, m.etichette - m.margine, m.riga);
      p.drawText(e, Qt::AlignRight | Qt::AlignVCenter, riga.etichetta);
    }
    p.setFont(cifre);
    for (int c = 0; c < riga.celle.size() && c < colonne; ++c) {
      const CellaUnita &cella = riga.celle[c];
      if (cella.cifra.isNull()) continue;
      p.setPen(cella.segnaposto ? k.segnaposto : (somma ? k.somma : k.inchiostro));
      p.drawText(rettangoloCella(r, c), Qt::AlignCenter, QString(cella.cifra));
    }
  }

  // The asked column: framed from the header down, the comma after it in every
  // row that goes on past it.
  const int marcata = static_cast<int>(m_tabella.colonnaRichiesta);
  if (marcata >= 0 && marcata < colonne) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(k.marcata, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rettangoloColonna(marcata)).adjusted(1.5, 1.5, -1.5, -1.5));
    // The comma just right of the frame, in the gap before the next digit.
    const QFont virgola = carattere(m.pixelCifre * 1.25, true);
    p.setFont(virgola);
    const int l = QFontMetrics(virgola).horizontalAdvance(u',');
    for (int r = 0; r < m_tabella.righe.size(); ++r) {
      if (!m_tabella.righe[r].virgola) continue;
      const QRect cella = rettangoloCella(r, marcata);
      p.drawText(QRect(cella.right() + 3, cella.top(), l + 2, cella.height()),
                 Qt::AlignLeft | Qt::AlignVCenter, u","_s);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
  }

  if (!m_tabella.lettura.isEmpty()) {
    p.setFont(carattere(m.pixelCifre * 0.8, true));
    p.setPen(k.lettura);
    const QRect r(m.margine, tavola.bottom() + 1, width() - 2 * m.margine,
                  height() - tavola.bottom() - 1 - m.margine);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, u"= "_s + m_tabella.lettura);
  }
}
