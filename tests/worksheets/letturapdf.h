#pragma once

#include <QList>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

// A printed sheet read back with poppler-utils, line by line as a person sees it.
namespace letturapdf {

struct Parola {
  double x0, y0, x1, y1;  // points from the top left of the page
  QString testo;
};

struct Pagina {
  double larghezza = 0, altezza = 0;
  QList<QList<Parola>> righe;  // words grouped by line, top to bottom, left to right
  int pagine = 0;
};

inline QString Esegui(const QString &programma, const QStringList &argomenti) {
  QProcess p;
  p.start(programma, argomenti);
  if (!p.waitForFinished(60000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString Decodifica(QString s) {
  s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  s.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  s.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
  s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  return s;
}

inline Pagina Leggi(const QString &file) {
  const QString html = Esegui(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
  static const QRegularExpression pagina(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
  static const QRegularExpression parola(QStringLiteral(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
  Pagina r;
  QMap<qint64, QList<Parola>> perRiga;  // by baseline-independent top, to a tenth of a point
  for (const QString &riga : html.split(u'\n')) {
    if (const auto m = pagina.match(riga); m.hasMatch()) {
      ++r.pagine;
      r.larghezza = m.captured(1).toDouble();
      r.altezza = m.captured(2).toDouble();
    }
    const auto m = parola.match(riga);
    if (!m.hasMatch()) continue;
    const Parola p{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                   m.captured(4).toDouble(), Decodifica(m.captured(5))};
    // Words of one line share their top; a line is found by its first word's top within half a point.
    qint64 chiave = qRound64(p.y0 * 10);
    for (auto it = perRiga.begin(); it != perRiga.end(); ++it)
      if (qAbs(it.key() - chiave) <= 5) chiave = it.key();
    perRiga[chiave] << p;
  }
  for (auto &riga : perRiga) {
    std::sort(riga.begin(), riga.end(), [](const Parola &a, const Parola &b) { return a.x0 < b.x0; });
    r.righe << riga;
  }
  return r;
}

inline QString Testo(const QList<Parola> &riga) {
  QStringList t;
  for (const Parola &p : riga) t << p.testo;
  return t.join(u' ');
}

inline const Parola *Trova(const QList<Parola> &riga, const QString &testo) {
  for (const Parola &p : riga)
    if (p.testo == testo) return &p;
  return nullptr;
}

}  // namespace letturapdf
