#include "ui/certificate/frmattestato.h"

#include <QApplication>
#include <QFrame>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>

#include "generation/valutazione.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "ui/certificate/stampaesercizio.h"
#include "ui/common/aspetto.h"
#include "ui/common/contrasto.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

namespace {

const QSize kPicture{6690, 8820};
// Pixel rows of the picture sent to the printer at a time: a band and its
// compressed copy are held while it is written, so bands are kept small.
constexpr int kFascia = 64;
const QColor kSfondoAttestato{255, 192, 255};

}  // namespace

VistaAttestato::VistaAttestato(QWidget *genitore) : QWidget(genitore) {
  setObjectName(u"Picture1"_s);
  setAccessibleName(u"DIPLOMA DI MERITO"_s);
}

void VistaAttestato::mostra(DisegnoAttestato *disegno) {
  m_disegno = disegno;
  update();
}

DisegnoAttestato::Colori VistaAttestato::colori() const {
  return contrasto::Attivo(this) ? DisegnoAttestato::coloriContrasto() : DisegnoAttestato::coloriProgetto();
}

QList<VistaAttestato::Scritta> VistaAttestato::scritte() const {
  QList<Scritta> s;
  if (!m_disegno) return s;
  const DisegnoAttestato::Colori c = colori();
  for (const RigaAttestato &r : m_disegno->righe())
    if (!r.testo.isEmpty()) s.push_back({r.testo, c.inchiostro(r.colore), c.carta});
  return s;
}

void VistaAttestato::paintEvent(QPaintEvent *e) {
  QPainter p(this);
  if (!m_disegno) {
    p.fillRect(rect(), palette().color(QPalette::Base));
    return;
  }
  if (m_disegno->schermo() != pixel()) m_disegno->adatta(pixel());
  // A band at a time: a picture of the whole window would take as much
  // memory again as the window's own buffer, for as long as the painting.
  const DisegnoAttestato::Colori c = colori();
  const qreal dpr = devicePixelRatioF();
  const int larga = m_disegno->schermo().width();
  const int alta = m_disegno->schermo().height();
  const int prima = static_cast<int>(std::floor(e->rect().top() * dpr)) / kFascia * kFascia;
  const int ultima = std::min(alta, static_cast<int>(std::ceil((e->rect().bottom() + 1) * dpr)));
  for (int da = prima; da < ultima; da += kFascia) {
    const QImage fascia = m_disegno->fasciaSchermo(da, kFascia, c);
    p.drawImage(QRectF(0, da / dpr, larga / dpr, fascia.height() / dpr), fascia);
  }
}

FrmAttestato::FrmAttestato(Contesto &ctx, QWidget *genitore)
    : Finestra(u"FrmAttestato"_s, u"Form1"_s, {11940, 8820}, kSfondoAttestato, genitore), m_ctx(ctx) {
  using aspetto::twips;
  client()->setFont(aspetto::carattere(u"MS Sans Serif"_s, 8.25, true));

  m_vista = new VistaAttestato(client());
  m_vista->setGeometry(twips(0, -45, kPicture.width(), kPicture.height()));

  auto *frame = aspetto::cornice(client(), u"Frame4"_s, twips(6720, 6615, 5184, 2070));
  aspetto::colora(frame, kSfondoAttestato);

  GruppoOpzioni::Configurazione conf;
  conf.tastiCifra = 3;
  conf.saltaDisabilitati = false;
  m_comandi = new GruppoOpzioni(
      conf, [this](int i) { comando(i); }, this);
  const QString testi[] = {u"STAMPA L'ATTESTATO"_s, u"TORNA ALLA FINESTRA PRECEDENTE"_s, u"FINE SESSIONE"_s};
  const QPoint posti[] = {{96, 84}, {96, 732}, {75, 1368}};
  for (int i = 0; i < 3; ++i) {
    auto *b = new PulsanteOpzione(testi[i], frame);
    b->setObjectName(u"Option5_%1"_s.arg(i));
    b->setGeometry(twips(posti[i].x(), posti[i].y(), 5004, 630));
    b->setFont(aspetto::carattere(u"Arial"_s, 12, true));
    m_comandi->aggiungi(b);
    aspetto::coloraTesto(b, aspetto::kBlu);
  }

  registraLayout();

  Esercizio &e = m_ctx.stato.esercizio;
  e.strNomeAlunno = NormalizzaNome(e.strNomeAlunno);
  e.strValutazione = CalcolaValutazione(e.intEsatte, e.intOperazione);
  if (e.strValutazione == kNonClassificato) {
    auto *b = m_comandi->pulsante(0);
    b->setText(u"ATTESTATO NON STAMPABILE"_s);
    b->setAccessibleName(b->text());
    b->setEnabled(false);
  }
  disegna();
}

FrmAttestato::~FrmAttestato() = default;

DatiAttestato FrmAttestato::dati() const {
  const Esercizio &e = m_ctx.stato.esercizio;
  DatiAttestato d;
  d.nome = NormalizzaNome(e.strNomeAlunno);
  d.titolo = m_ctx.nav.didascaliaInizio(u"Label6_1"_s);
  d.ordine = m_ctx.nav.didascaliaInizio(u"Label2"_s);
  d.valutazione = e.strValutazione;
  d.esatte = e.intEsatte;
  d.operazioni = e.intOperazione;
  // The system's short date; a system left on the bare C locale gets the Italian one.
  const QLocale sistema = QLocale::system();
  const QLocale locale =
      sistema.language() == QLocale::C ? QLocale(QLocale::Italian, QLocale::Italy) : sistema;
  d.data = locale.toString(m_ctx.orologio.oggi(), QLocale::ShortFormat);
  return d;
}

// Row by row, letting the window repaint between rows.
void FrmAttestato::disegna() {
  m_disegno = std::make_unique<DisegnoAttestato>(kPicture, RigheAttestato(dati()), m_vista->pixel());
  m_vista->mostra(m_disegno.get());
  auto *frame = findChild<QFrame *>(u"Frame4"_s);
  occupata(true);
  frame->setEnabled(false);
  // Shown while it draws, so shown from the first row in the colours it will keep.
  contrasto::Applica(this, m_ctx.stato.opzioni.inVigore().altoContrasto);
  const QPointer<FrmAttestato> vivo(this);  // the events between rows must not outlive it
  while (!m_disegno->finito()) {
    if (!isVisible()) show();
    QApplication::processEvents();
    if (!vivo) return;
    m_disegno->disegnaProssima();
    m_vista->update();
  }
  QApplication::processEvents();
  if (!vivo) return;
  frame->setEnabled(true);
  occupata(false);
  m_comandi->fuoco(m_comandi->pulsante(0)->isEnabled() ? 0 : 1);
  chiudiSeRichiesto();
}

// The rows drawn on screen, drawn again at the printer's resolution so they
// print sharp, and painted at their size on paper a band at a time: between
// bands the window keeps repainting, while clicks and keys wait until the
// printout has gone.
bool FrmAttestato::stampa() {
  Stampante &s = m_ctx.stampante;
  occupata(true);
  s.impostaTitolo(u"Attestato"_s);
  s.stampaRiga(QString());
  // Opening the document is a stretch of its own, apart from the first band.
  const QPointer<FrmAttestato> vivo(this);  // the events between bands must not outlive it
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (!vivo) {
    s.annullaDocumento();  // gone with the window: no half certificate is left behind
    return false;
  }
  const int dpi = s.risoluzione();
  const double twips = kTwipsPerPollice / dpi;
  const int alta = m_disegno->pixel(dpi).height();
  for (int da = 0; da < alta; da += kFascia) {
    const QImage f = m_disegno->fascia(dpi, da, kFascia);
    s.stampaImmagine(f, 1000, 100 + da * twips, f.width() * twips, f.height() * twips);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!vivo) {
      s.annullaDocumento();
      return false;
    }
  }
  EsitoStampa esito;
  if (!s.fineDocumento()) {
    esito.tipo = s.errore().isEmpty() ? EsitoStampa::Tipo::Annullato : EsitoStampa::Tipo::Errore;
    esito.errore = s.errore();
  }
  occupata(false);
  const bool ok =
      RiferisciStampa(esito, m_ctx.messaggi, u"L'attestato resta qui: puoi stamparlo di nuovo."_s);
  chiudiSeRichiesto();
  return ok;
}

void FrmAttestato::comando(int i) {
  switch (i) {
    case 0:
      stampa();
      break;
    case 1:
      close();
      break;
    case 2:
      m_ctx.nav.chiudiTutto();
      break;
    default:
      break;
  }
}
