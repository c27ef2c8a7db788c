#include "platform/stampanteqt.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <optional>

#include "platform/codecups.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kDpiPdf = 300;
// A picture at the printer's own resolution: above this it grows heavy with no visible gain.
constexpr int kDpiMassimo = 600;
// Where a line that would run off the bottom starts on the next page.
constexpr double kMargineNuovaPagina = 720.0;

QString nomeFileSicuro(QString s) {
  static const QString vietati = u"/\\:*?\"<>|"_s;
  for (QChar &c : s)
    if (vietati.contains(c) || c.unicode() < 32) c = u'-';
  return s.simplified();
}

// The system's default printer; the PDF destination when there is none.
QString Predefinita(const CodeCups::Elenco &elenco) {
  return elenco.predefinita.isEmpty() ? kSalvaComePdf : elenco.predefinita;
}

// The resolution a queue's pictures are drawn at.
int DpiCoda(const std::optional<CodeCups::Coda> &info) {
  if (!info) return kDpiPdf;
  // A queue that does not say prints at the finer resolution.
  return info->dpi > 0 ? std::clamp(info->dpi, kDpiPdf, kDpiMassimo) : kDpiMassimo;
}

}  // namespace

QStringList FontStampabili() {
  QStringList famiglie = QFontDatabase::families();
  QFont nessuno(u"Vornel Nessun Carattere Zq"_s);
  const QString ripiego = QFontInfo(nessuno).family();
  for (const QString &alias : {u"Courier New"_s, u"Courier"_s}) {
    if (famiglie.contains(alias)) continue;
    QFont f(alias);
    const QFontInfo info(f);
    if (info.family() != ripiego && info.fixedPitch()) famiglie << alias;
  }
  return famiglie;
}

struct StampanteQt::Dati {
  QString scelta;  // empty: follow the system default
  QString titolo;
  QString cartellaPdf;
  QString font = u"Arial"_s;
  double dimensione = 10;
  bool grassetto = false;
  double x = 0, y = 0;

  std::unique_ptr<QPdfWriter> pdf;
  std::unique_ptr<QTemporaryFile> lavoro;  // the job for a CUPS queue
  QPainter painter;
  QString destinazione;
  QString filePdf;
  QString nomeDocumento;
  int dpi = kDpiPdf;
  bool aperto = false;
  bool fallito = false;
  QString errore;

  [[nodiscard]] double dev(double twips) const { return twips * dpi / kTwipsPerPollice; }
  [[nodiscard]] double tw(double punti) const { return punti * kTwipsPerPollice / dpi; }
  [[nodiscard]] QFont carattere() const {
    QFont f(font);
    f.setPointSizeF(dimensione > 0 ? dimensione : 10);
    f.setBold(grassetto);
    return f;
  }
};

StampanteQt::StampanteQt() : d(std::make_unique<Dati>()) {}

StampanteQt::~StampanteQt() {
  annullaDocumento();
}

void StampanteQt::impostaCartellaPdf(const QString &cartella) {
  d->cartellaPdf = cartella;
}

QString StampanteQt::nomePdfSuggerito() const {
  QString cartella = d->cartellaPdf;
  if (cartella.isEmpty()) cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (cartella.isEmpty() || !QFileInfo(cartella).isDir()) cartella = QDir::homePath();
  const QString cosa = nomeFileSicuro(d->titolo.isEmpty() ? u"Stampa"_s : d->titolo);
  const QString base = u"Vornel %1 %2"_s.arg(cosa, QDate::currentDate().toString(u"yyyy-MM-dd"_s));
  QDir dir(cartella);
  QString nome = base + u".pdf"_s;
  for (int n = 2; dir.exists(nome) && n < 1000; ++n) nome = u"%1 (%2).pdf"_s.arg(base).arg(n);
  return dir.filePath(nome);
}

QStringList StampanteQt::stampanti() {
  QStringList nomi = CodeCups::Elenca().code;
  nomi.removeAll(kSalvaComePdf);
  nomi << kSalvaComePdf;
  return nomi;
}

QString StampanteQt::predefinita() {
  return Predefinita(CodeCups::Elenca());
}

QString StampanteQt::corrente() {
  return d->scelta.isEmpty() ? predefinita() : d->scelta;
}

bool StampanteQt::scegli(const QString &nome) {
  if (nome != kSalvaComePdf && !CodeCups::Elenca().code.contains(nome)) return false;
  d->scelta = nome;
  return true;
}

QStringList StampanteQt::fonts() {
  return FontStampabili();
}

int StampanteQt::risoluzione() {
  if (d->aperto) return d->dpi;
  const QString dest = corrente();
  return dest == kSalvaComePdf ? kDpiPdf : DpiCoda(CodeCups::Info(dest));
}

void StampanteQt::impostaTitolo(const QString &titolo) {
  d->titolo = titolo;
}
void StampanteQt::impostaFont(const QString &nome) {
  d->font = nome;
}
void StampanteQt::impostaDimensione(double punti) {
  d->dimensione = punti;
}
void StampanteQt::impostaGrassetto(bool grassetto) {
  d->grassetto = grassetto;
}
void StampanteQt::impostaX(double twips) {
  d->x = twips;
}
void StampanteQt::impostaY(double twips) {
  d->y = twips;
}
double StampanteQt::x() const {
  return d->x;
}
double StampanteQt::y() const {
  return d->y;
}
QString StampanteQt::errore() const {
  return d->errore;
}

bool StampanteQt::apri() {
  if (d->aperto) return true;
  if (d->fallito) return false;
  d->errore.clear();
  if (d->scelta.isEmpty()) {
    // The system's default printer: a service that does not answer must not
    // turn a printout into a PDF unasked.
    const CodeCups::Elenco elenco = CodeCups::Elenca();
    if (!elenco.risposto) {
      d->errore =
          u"Il servizio di stampa non risponde, quindi non so qual \u00E8 la stampante predefinita.\n"
          u"Riprova tra poco, oppure scegli \u00AB%1\u00BB dal menu \"Scegli la stampante\"."_s.arg(kSalvaComePdf);
      d->fallito = true;
      return false;
    }
    d->destinazione = Predefinita(elenco);
  } else {
    d->destinazione = d->scelta;
  }
  // What a queue says of itself is asked once for each document.
  const bool pdf = d->destinazione == kSalvaComePdf;
  const std::optional<CodeCups::Coda> info = pdf ? std::nullopt : CodeCups::Info(d->destinazione);
  d->dpi = pdf ? kDpiPdf : DpiCoda(info);

  if (pdf) {
    const QString suggerito = nomePdfSuggerito();
    QString percorso = m_sceltaPdf ? m_sceltaPdf(suggerito) : suggerito;
    if (percorso.isEmpty()) {  // the user cancelled: no message
      d->fallito = true;
      return false;
    }
    if (!percorso.endsWith(u".pdf"_s, Qt::CaseInsensitive)) percorso += u".pdf"_s;
    d->filePdf = percorso;
    d->pdf = std::make_unique<QPdfWriter>(d->filePdf);
    d->pdf->setPageSize(QPageSize(QPageSize::A4));
  } else {
    if (!info) {
      d->errore =
          u"La stampante \u00AB%1\u00BB non \u00E8 disponibile.\n"
          u"Controlla che sia accesa e collegata, oppure scegline un'altra dal menu \"Scegli la stampante\"."_s
              .arg(d->destinazione);
      d->fallito = true;
      return false;
    }
    d->lavoro = std::make_unique<QTemporaryFile>(QDir::temp().filePath(u"vornel-XXXXXX.pdf"_s));
    if (!d->lavoro->open()) {
      d->errore = u"Non riesco a preparare la stampa: la cartella temporanea non \u00E8 scrivibile."_s;
      d->fallito = true;
      return false;
    }
    d->lavoro->close();
    d->filePdf = d->lavoro->fileName();
    d->pdf = std::make_unique<QPdfWriter>(d->filePdf);
    d->pdf->setPageSize(info->pagina.isValid() ? info->pagina : QPageSize(QPageSize::A4));
  }
  d->pdf->setResolution(d->dpi);
  // Coordinates from the top left of the paper, not of the printable area.
  d->pdf->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  d->nomeDocumento = d->titolo.isEmpty() ? u"Vornel"_s : u"Vornel - "_s + d->titolo;
  d->pdf->setTitle(d->nomeDocumento);
  d->pdf->setCreator(u"Vornel"_s);
  if (!d->painter.begin(d->pdf.get())) {
    d->errore =
        d->lavoro ? u"Non riesco a preparare la stampa: la cartella temporanea non \u00E8 scrivibile."_s
                  : u"Non riesco a scrivere il file PDF\n%1\nScegli un'altra cartella o un altro nome."_s.arg(
                        QDir::toNativeSeparators(d->filePdf));
    d->pdf.reset();
    d->lavoro.reset();
    d->fallito = true;
    return false;
  }
  d->painter.setRenderHint(QPainter::Antialiasing);
  d->painter.setRenderHint(QPainter::TextAntialiasing);
  d->painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // Pictures are lettering and lines: kept exact (Flate), not blurred by JPEG,
  // and the JPEG coder is never loaded.
  d->painter.setRenderHint(QPainter::LosslessImageRendering);
  d->aperto = true;
  return true;
}

void StampanteQt::stampaRiga(const QString &testo) {
  if (!apri()) return;
  const QFont f = d->carattere();
  d->painter.setFont(f);
  d->painter.setPen(Qt::black);
  const QFontMetricsF fm(f, d->pdf.get());
  const double altezza = d->tw(fm.lineSpacing());
  const double pagina = d->pdf->pageLayout().fullRectPoints().height() * 20.0;
  if (d->y + altezza > pagina && d->y > kMargineNuovaPagina) {
    if (!d->pdf->newPage()) {
      d->errore = u"La stampa si \u00E8 interrotta passando alla pagina seguente."_s;
      d->fallito = true;
    }
    d->y = kMargineNuovaPagina;
  }
  // As on a line printer the position is the top left of the line's box.
  if (!testo.isEmpty()) d->painter.drawText(QPointF(d->dev(d->x), d->dev(d->y) + fm.ascent()), testo);
  d->x = 0;
  d->y += altezza;
}

void StampanteQt::stampaImmagine(const QImage &immagine, double x, double y, double larghezza,
                                 double altezza) {
  if (!apri()) return;
  d->painter.drawImage(QRectF(d->dev(x), d->dev(y), d->dev(larghezza), d->dev(altezza)), immagine);
}

bool StampanteQt::fineDocumento() {
  if (!d->aperto && !d->fallito) apri();
  bool ok = !d->fallito;
  if (d->aperto) {
    if (!d->painter.end() && ok) {
      d->errore = d->lavoro
                      ? u"La stampa non \u00E8 riuscita: il lavoro non si \u00E8 potuto scrivere."_s
                      : u"Non riesco a scrivere il file PDF\n%1"_s.arg(QDir::toNativeSeparators(d->filePdf));
      ok = false;
    }
    if (ok && d->lavoro) ok = CodeCups::Stampa(d->destinazione, d->filePdf, d->nomeDocumento, &d->errore);
  }
  if (!ok && !d->lavoro && !d->filePdf.isEmpty() && d->aperto) QFile::remove(d->filePdf);
  if (ok) d->errore.clear();
  chiudi();
  return ok;
}

void StampanteQt::annullaDocumento() {
  if (d->aperto) {
    d->painter.end();
    if (!d->lavoro && !d->filePdf.isEmpty()) QFile::remove(d->filePdf);
  }
  chiudi();
}

void StampanteQt::chiudi() {
  d->pdf.reset();
  d->lavoro.reset();
  d->filePdf.clear();
  d->titolo.clear();
  d->aperto = false;
  d->fallito = false;
  d->x = d->y = 0;
}
