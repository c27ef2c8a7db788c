#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Reading back a PDF with poppler-utils, as a person would open it.
namespace pdf {

inline QString esegui(const QString &programma, const QStringList &argomenti) {
  QProcess p;
  p.start(programma, argomenti);
  if (!p.waitForFinished(60000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

struct Parola {
  double x0, y0, x1, y1;  // points from the top left of the page
  QString testo;
  int pagina;
};

// Every word with its box, page by page (pdftotext -bbox).
inline QList<Parola> parole(const QString &file) {
  const QString html =
      esegui(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
  static const QRegularExpression pagina(QStringLiteral("<page "));
  static const QRegularExpression parola(QStringLiteral(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
  QList<Parola> r;
  int n = 0;
  for (const QString &riga : html.split(u'\n')) {
    if (riga.contains(pagina)) ++n;
    const auto m = parola.match(riga);
    if (m.hasMatch())
      r.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                   m.captured(4).toDouble(), m.captured(5), n});
  }
  return r;
}

// The words of one printed line, found by its first word.
inline QList<Parola> riga(const QList<Parola> &tutte, const QString &primaParola, int dopo = -1) {
  for (int i = dopo + 1; i < tutte.size(); ++i) {
    if (tutte[i].testo != primaParola) continue;
    QList<Parola> r;
    for (const Parola &p : tutte)
      if (p.pagina == tutte[i].pagina && qAbs(p.y0 - tutte[i].y0) < 1.0) r << p;
    return r;
  }
  return {};
}

inline int pagine(const QString &file) {
  static const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
  const auto m = re.match(esegui(QStringLiteral("pdfinfo"), {file}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct ImmaginePdf {
  int larghezza, altezza, xppi, yppi;
};

// The pictures the PDF holds (pdfimages -list).
inline QList<ImmaginePdf> immagini(const QString &file) {
  QList<ImmaginePdf> r;
  const QStringList righe = esegui(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file}).split(u'\n');
  for (int i = 2; i < righe.size(); ++i) {
    const QStringList c = righe[i].simplified().split(u' ');
    if (c.size() < 14 || c[2] != QStringLiteral("image")) continue;
    r.push_back({c[3].toInt(), c[4].toInt(), c[12].toInt(), c[13].toInt()});
  }
  return r;
}

// The size of a picture sent as a stack of bands of one width, all at `ppi`;
// an empty size when the bands do not fit together that way.
inline QSize pila(const QList<ImmaginePdf> &bande, int ppi) {
  int alta = 0;
  for (const ImmaginePdf &b : bande) {
    if (b.larghezza != bande.first().larghezza || b.xppi != ppi || b.yppi != ppi) return {};
    alta += b.altezza;
  }
  return bande.isEmpty() ? QSize() : QSize(bande.first().larghezza, alta);
}

// The first page rendered in grey at dpi dots per inch.
inline QImage pagina(const QString &file, int dpi) {
  QTemporaryDir dir;
  const QString base = dir.filePath(QStringLiteral("p"));
  esegui(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                      QStringLiteral("-png"), QStringLiteral("-singlefile"), file, base});
  return QImage(base + QStringLiteral(".png"));
}

// The box of everything darker than white on an image.
inline QRect inchiostro(const QImage &img, int soglia = 250) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < soglia) r |= QRect(x, y, 1, 1);
  return r;
}

}  // namespace pdf
