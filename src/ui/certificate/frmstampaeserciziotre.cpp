#include "ui/certificate/frmstampaeserciziotre.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/messaggi.h"
#include "platform/stampante.h"
#include "ui/certificate/stampaesercizio.h"
#include "ui/common/aspetto.h"
#include "ui/common/gruppoopzioni.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kCiano{128, 255, 255};
const QColor kRosa{255, 192, 255};
const QColor kFucsia{255, 128, 255};
constexpr int kRigheElenco = 30;

struct Comando {
  const char16_t *testo;
  int alto;
};
constexpr Comando kComandi[] = {
    {u"E S C I", 5550}, {u"SCRIVI IL NOME", 6135}, {u"STAMPA", 6765}, {u"ATTESTATO", 7380}};

}  // namespace

FrmStampaEsercizioTre::FrmStampaEsercizioTre(Contesto &ctx, QWidget *genitore)
    : Finestra(u"FrmStampaEsercizioTre"_s, u"FINESTRA DI STAMPA "_s, {11910, 8310}, kCiano, genitore),
      m_ctx(ctx) {
  using aspetto::carattere;
  using aspetto::twips;
  client()->setFont(carattere(u"Courier"_s, 9.75));

  GruppoOpzioni::Configurazione conf;
  conf.tastiCifra = 4;
  conf.tastiMuti = {Qt::Key_E, Qt::Key_S};
  conf.saltaDisabilitati = false;
  m_comandi = new GruppoOpzioni(
      conf, [this](int i) { comando(i); }, this);
  for (int i = 0; i < 4; ++i) {
    auto *b = new PulsanteOpzione(QString::fromUtf16(kComandi[i].testo), client());
    b->setObjectName(u"Option1_%1"_s.arg(i));
    b->setGeometry(twips(8430, kComandi[i].alto, 2796, 555));
    b->setFont(carattere(u"Courier"_s, 9.75, true));
    m_comandi->aggiungi(b);
  }

  for (int k = 1; k <= kRigheElenco; ++k) {
    const int alto = static_cast<int>(std::lround(255 + (k - 1) * (7665 - 255) / 29.0));
    auto *l = aspetto::etichetta(client(), u"LblOp_%1"_s.arg(k), QString(), twips(75, alto, 7995, 255));
    l->setFont(carattere(u"Courier"_s, 12));
    aspetto::colora(l, kCiano, Qt::black);
    m_righe << l;
  }

  auto *titolo = aspetto::etichetta(client(), u"Label6"_s, u"VORNEL"_s, twips(8205, 600, 3000, 400));
  titolo->setFont(carattere(u"Courier"_s, 9.75, true));
  aspetto::coloraTesto(titolo, aspetto::kRosso);
  for (const auto &[nome, alto] : {std::pair{u"Label1"_s, 1935}, std::pair{u"Label2"_s, 2445}}) {
    auto *l = aspetto::etichetta(client(), nome, u"-"_s, twips(8205, alto, 3400, 400));
    l->setFont(carattere(u"Arial"_s, 8.25, true));
  }

  m_fraNome = aspetto::cornice(client(), u"fraNome"_s, twips(2400, 1800, 6720, 4500), u"Il tuo nome"_s);
  m_fraNome->setFrameShape(QFrame::Box);
  aspetto::colora(m_fraNome, kRosa);
  auto *l5 =
      aspetto::etichetta(m_fraNome, u"Label5"_s, u"   IMMETTI   IL  TUO  NOME"_s, twips(120, 240, 6480, 480));
  l5->setFont(carattere(u"Arial"_s, 14.25, true));
  l5->setAlignment(Qt::AlignCenter);
  aspetto::coloraTesto(l5, aspetto::kRosso);
  m_txtNome = new QLineEdit(m_fraNome);
  m_txtNome->setObjectName(u"txtNome"_s);
  m_txtNome->setGeometry(twips(225, 885, 5940, 690));
  m_txtNome->setFont(carattere(u"Arial"_s, 21.75, true));
  m_txtNome->setAlignment(Qt::AlignCenter);
  m_txtNome->setMaxLength(15);
  m_txtNome->setAccessibleName(u"Il tuo nome"_s);
  aspetto::colora(m_txtNome, kRosa, aspetto::kRosso);
  auto *l4 =
      aspetto::etichetta(m_fraNome, u"Label4"_s, u"Il nome viene troncato automaticamente alla 15a lettera"_s,
                         twips(120, 1740, 6480, 600));
  auto *l9 = aspetto::etichetta(m_fraNome, u"Label9"_s, u"Presta attenzione all'ortografia"_s,
                                twips(120, 2460, 6480, 360));
  for (auto *l : {l4, l9}) {
    l->setFont(carattere(u"Courier"_s, 12));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
  }
  m_cmdAvanti = new QPushButton(u"AVANTI"_s, m_fraNome);
  m_cmdAvanti->setObjectName(u"cmdAvanti"_s);
  m_cmdAvanti->setGeometry(twips(1965, 3120, 2700, 930));
  aspetto::colora(m_cmdAvanti, kFucsia);
  connect(m_cmdAvanti, &QPushButton::clicked, this, &FrmStampaEsercizioTre::avanti);
  connect(m_txtNome, &QLineEdit::returnPressed, this, &FrmStampaEsercizioTre::avanti);
  m_fraNome->hide();

  auto *menu = voceMenu(u"mnuScegli"_s, u"Scegli la stampante"_s);
  connect(menu, &QAction::triggered, this, [this] { m_ctx.nav.apriSceltaStampante(); });

  // Loading: layout, empty captions, the font check, then the operations.
  registraLayout();
  findChild<QLabel *>(u"Label2"_s)->clear();
  findChild<QLabel *>(u"Label1"_s)->clear();
  elenca();
  m_comandi->fuoco(0);
}

void FrmStampaEsercizioTre::elenca() {
  const QString courier = CercaFontCourier(m_ctx.stampante.fonts());
  if (courier.isEmpty()) {
    m_ctx.messaggi.mostra(kMessaggioCourier, TitoloMessaggi(), Messaggi::Icona::Nessuna);
    return;
  }
  const Esercizio &e = m_ctx.stato.esercizio;
  const int n = std::clamp<int>(e.intOperazione, 0, kRigheMassime - 1);
  for (int k = 1; k <= std::min(n, kRigheElenco); ++k)
    m_righe[k - 1]->setFont(aspetto::carattere(courier, 10, courier == u"Courier New"_s));
  for (auto *l : m_righe) l->clear();
  for (int k = 1; k <= std::min(n, kRigheElenco); ++k)
    m_righe[k - 1]->setText(e.strRigheEsercizio[static_cast<size_t>(k)]);
}

void FrmStampaEsercizioTre::comando(int i) {
  switch (i) {
    case 0:
      close();
      break;
    case 1:
      scriviNome();
      break;
    case 2:
      stampa();
      break;
    case 3:
      m_ctx.nav.apriAttestato();
      break;
    default:
      break;
  }
}

// Centred on the screen as the pupil sees it, but never outside the window.
void FrmStampaEsercizioTre::scriviNome() {
  const QScreen *schermo = screen() ? screen() : QGuiApplication::primaryScreen();
  const QSize s = schermo ? schermo->size() : client()->size();
  const QSize f = m_fraNome->size();
  const int alto = std::clamp((s.height() - f.height()) / 2, 0, std::max(0, client()->height() - f.height()));
  const int sinistra = std::clamp((s.width() - f.width()) / 2, 0, std::max(0, client()->width() - f.width()));
  m_fraNome->move(sinistra, alto);
  // The box starts with the name the exercise is recorded under (before any
  // exercise, the name chosen), unless the pupil has typed one of their own since.
  const AlunnoScelto &a =
      m_ctx.stato.esercizio.intOperazione > 0 ? m_ctx.stato.alunnoEsercizio : m_ctx.stato.alunnoScelto;
  const QString scelto = a.id != 0 ? a.nome.left(15) : QString();
  if (m_txtNome->text().isEmpty() || m_txtNome->text() == m_nomeProposto) m_txtNome->setText(scelto);
  m_nomeProposto = scelto;
  m_fraNome->show();
  m_fraNome->raise();
  m_txtNome->setFocus(Qt::OtherFocusReason);
}

void FrmStampaEsercizioTre::avanti() {
  m_fraNome->hide();
  m_comandi->fuoco(2);
  m_ctx.stato.esercizio.strNomeAlunno = m_txtNome->text();
}

void FrmStampaEsercizioTre::stampa() {
  if (m_ctx.stato.esercizio.intOperazione < 10) {
    m_ctx.messaggi.mostra(u"Esegui almeno 10 operazioni. "_s, TitoloMessaggi(), Messaggi::Icona::Nessuna);
    return;
  }
  RiferisciStampa(StampaEsercizio(m_ctx.stampante, m_ctx.stato.esercizio), m_ctx.messaggi,
                  u"L'esercizio non \u00E8 andato perso: puoi stamparlo di nuovo."_s);
}
