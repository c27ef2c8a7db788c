#include "ui/programma/finestre.h"

#include "ui/certificate/disegnoattestato.h"
#include "ui/certificate/frmattestato.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "platform/cartelle.h"
#include "ui/common/aspetto.h"
#include "ui/common/contrasto.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/info/frmautore.h"
#include "ui/livello/frmlivello.h"
#include "app/opzioni.h"
#include "platform/preferenze.h"
#include "ui/start/frminizio.h"
#include "ui/worksheets/frmsceltastampante.h"
#include "ui/worksheets/frmstampaschedetre.h"

#include <QApplication>
#include <QLabel>
#include <QLibrary>
#include <QShortcut>
#include <QStandardPaths>

#include "platform/messaggi.h"
#include "platform/orologio.h"

using namespace Qt::StringLiterals;

Finestre::~Finestre() = default;

void Finestre::mostra(QWidget *w) {
  contrasto::Applica(w, m_ctx && m_ctx->stato.opzioni.inVigore().altoContrasto);
  if (auto *f = qobject_cast<Finestra *>(w)) f->scalaCaratteri(m_ctx && m_ctx->stato.opzioni.inVigore().caratteriGrandi);
  m_coperture.sopra(w);
  w->show();
  w->raise();
  w->activateWindow();
}

frmInizio *Finestre::avvia(Contesto &ctx) {
  m_ctx = &ctx;
  m_inizio = new frmInizio(ctx);
  // F1 opens the instructions from whichever of the program's windows is in front.
  auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), m_inizio);
  f1->setObjectName(u"scorciatoiaIstruzioni"_s);
  f1->setContext(Qt::ApplicationShortcut);
  connect(f1, &QShortcut::activated, this, &Finestre::apriIstruzioni);
  mostra(m_inizio);
  preparaCaratteri();
  // On a computer of a school's lab, what waits from earlier runs goes to the
  // server soon after start, not at the first exercise: the register's
  // module (which sends it) is loaded once the start window is up and still.
  if (!QStandardPaths::locate(QStandardPaths::GenericConfigLocation, u"vornel/server.conf"_s).isEmpty())
    QTimer::singleShot(kAvvioInvio, this, [this] { (void)quaderno(); });
  m_inattivita = new Inattivita(this);
  m_guardia.setInterval(1000);
  connect(&m_guardia, &QTimer::timeout, this, &Finestre::controllaPause);
  m_guardia.start();
  return m_inizio;
}

void Finestre::impostaPause(int porta, int alunno, int controllo) {
  m_pausaPorta = porta;
  m_pausaAlunno = alunno;
  m_guardia.setInterval(controllo);
}

bool Finestre::esercizioInCorso() const {
  return m_esercizio && m_esercizio->isVisible() &&
         m_ctx->stato.esercizio.intOperazione < MotoreEsercizio::kOperazioni;
}

void Finestre::controllaPause() {
  if (!m_inattivita || m_chiuso) return;
  const qint64 pausa = m_inattivita->millisecondi();
  if (pausa >= m_pausaPorta && (m_opzioni || (m_quaderno && m_quaderno->portaAperta()))) chiudiPorta();
  if (pausa >= m_pausaAlunno && m_ctx->stato.alunnoScelto.id != 0 && !esercizioInCorso()) dimenticaAlunno();
}

void Finestre::chiudiPorta() {
  if (m_opzioni) QTimer::singleShot(0, m_opzioni.data(), [w = m_opzioni] { if (w) w->close(); });
  // Not loaded yet: no door was ever opened.
  if (m_quaderno) m_quaderno->chiudiPorta();
}

void Finestre::dimenticaAlunno() {
  AlunnoScelto &a = m_ctx->stato.alunnoScelto;
  if (a.id == 0) return;
  // The name typed for the printout was theirs too.
  QString &nome = m_ctx->stato.esercizio.strNomeAlunno;
  if (!nome.isEmpty() && nome == a.nome.left(nome.size())) nome.clear();
  a = {};
  m_ctx->stato.opzioni.alunno.reset();
  if (m_opzioni) m_opzioni->close();  // it was their plan
  if (m_inizio) m_inizio->mostraAlunno();
  applicaOpzioni();
}

void Finestre::preparaCaratteri() {
  using aspetto::carattere;
  const auto aggiungi = [this](const QFont &f) {
    if (!m_caratteri.contains(f)) m_caratteri.append(f);
  };
  // The exercise window first, from its design table; then the end-of-exercise
  // window, the certificate, the worksheets and the printer choice.
  for (const QFont &f : FrmOperativo::caratteri()) aggiungi(f);
  for (const QFont &f : {carattere(u"Courier"_s, 9.75), carattere(u"Courier"_s, 9.75, true), carattere(u"Courier"_s, 12),
                         carattere(u"Courier"_s, 10), carattere(u"Courier New"_s, 10, true),
                         carattere(u"Arial"_s, 8.25, true), carattere(u"Arial"_s, 14.25, true),
                         carattere(u"Arial"_s, 21.75, true), carattere(u"MS Sans Serif"_s, 8.25, true),
                         carattere(u"Arial"_s, 12, true), carattere(u"Arial"_s, 9, true),
                         carattere(u"Arial"_s, 8, true), carattere(u"Courier New"_s, 9, true),
                         carattere(u"Courier New"_s, 10), carattere(u"Arial"_s, 10, true)})
    aggiungi(f);
  // The rows of the certificate on screen.
  for (const RigaAttestato &r : RigheAttestato({})) aggiungi(carattere(r.font, r.punti, r.grassetto));
  m_preparazione.setInterval(20);
  connect(&m_preparazione, &QTimer::timeout, this, [this] {
    if (m_inizio && m_inizio->tendina().inMoto()) return;
    m_preparazione.setInterval(0);  // a font at a time, each between two turns of the loop
    if (m_preparati == m_caratteri.size()) {
      m_preparazione.stop();
      return;
    }
    aspetto::preparaCarattere(m_caratteri.at(m_preparati++));
  });
  m_preparazione.start();
}

template <typename T, typename Crea>
void Finestre::apri(QPointer<T> &finestra, Crea crea) {
  if (finestra) {
    mostra(finestra);
    return;
  }
  finestra = crea();
  mostraNuova(finestra.data());
}

void Finestre::apriEsercizio() {
  apri(m_esercizio, [this] { return new FrmOperativo(*m_ctx, m_inizio); });
}

// Building the window, making its native window, readying its buffer, and
// showing and painting it each take a turn of the loop of their own, a few
// milliseconds in all, so that none holds the loop long. Asking for the window
// again meanwhile shows it at once; the steps left then do nothing.
void Finestre::mostraNuova(QWidget *finestra, int passo) {
  QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(finestra), passo] {
    if (!w || m_chiuso || w->isVisible()) return;
    switch (passo) {
      case 0:
        w->winId();
        break;
      case 1:
        m_coperture.sopra(w);
        aspetto::preparaBuffer(w);
        break;
      default:
        mostra(w);
        return;
    }
    mostraNuova(w, passo + 1);
  });
}

void Finestre::apriStampaEsercizio() {
  apri(m_stampaEsercizio, [this] {
    return new FrmStampaEsercizioTre(*m_ctx, m_esercizio ? static_cast<QWidget *>(m_esercizio) : m_inizio);
  });
}

void Finestre::apriAttestato() {
  // The certificate draws itself while events go on, and prints a band at a
  // time: asked for again meanwhile, the one at work comes forward and goes on.
  if (m_attestatoInCostruzione || (m_attestato && m_attestato->occupata())) {
    if (m_attestato) mostra(m_attestato);
    return;
  }
  // Drawn afresh each time, so it shows the counts of this moment.
  if (m_attestato) {
    m_attestato->close();
    delete m_attestato.data();
  }
  m_attestatoInCostruzione = true;
  auto *nuovo = new FrmAttestato(*m_ctx, m_stampaEsercizio ? static_cast<QWidget *>(m_stampaEsercizio) : m_inizio);
  m_attestatoInCostruzione = false;
  m_attestato = nuovo;
  // Closed as soon as it was drawn (it was asked to meanwhile), it stays closed.
  if (nuovo->isVisible()) mostra(nuovo);
}

void Finestre::apriSchede() {
  apri(m_schede, [this] { return new FrmStampaSchedeTre(*m_ctx, m_inizio); });
}

void Finestre::apriSceltaStampante() {
  if (!m_sceltaStampante) {
    QWidget *sopra = QApplication::activeWindow();
    m_sceltaStampante = new frmSceltaStampante(*m_ctx, sopra ? sopra : static_cast<QWidget *>(m_inizio));
  }
  mostra(m_sceltaStampante);
}

void Finestre::apriAutore() {
  frmAutore autore(m_inizio);
  contrasto::Applica(&autore, m_ctx && m_ctx->stato.opzioni.inVigore().altoContrasto);
  autore.exec();
}

void Finestre::apriLivello() {
  if (!m_inizio) return;
  FrmLivello livello(m_ctx->stato.livello.intLivello, m_ctx->stato.livello.intCifre, m_inizio);
  connect(&livello, &FrmLivello::scelto, m_inizio.data(), &frmInizio::impostaLivello);
  contrasto::Applica(&livello, m_ctx->stato.opzioni.inVigore().altoContrasto);
  livello.exec();
}

void Finestre::apriIstruzioni() {
  apri(m_istruzioni, [this] { return new frmIstruzioni(m_inizio); });
}

void Finestre::apriAlunno() {
  if (!m_inizio) return;
  Quaderno *q = quaderno();
  if (!q) {
    m_ctx->messaggi.mostra(u"Il registro non è disponibile: gli esercizi vanno senza nome."_s, TitoloMessaggi(),
                           Messaggi::Icona::Avviso);
    return;
  }
  if (const auto scelto = q->scegliAlunno(*m_ctx, m_inizio)) {
    const bool altro = scelto->id != m_ctx->stato.alunnoScelto.id;
    m_ctx->stato.alunnoScelto = *scelto;
    // The pupil's own plan stands in for the machine's options; without one
    // (or without a name) the machine's hold.
    m_ctx->stato.opzioni.alunno = scelto->id != 0 ? q->pianoAlunno(scelto->id) : std::nullopt;
    // An options window still open was opened for someone else: the teacher
    // opens it again, through the door, for this pupil.
    if (altro && m_opzioni) m_opzioni->close();
    if (m_inizio) m_inizio->mostraAlunno();
    applicaOpzioni();
  }
  avvisaGuastoRegistro();
}

void Finestre::apriRegistro() {
  if (!m_inizio) return;
  Quaderno *q = quaderno();
  if (!q) {
    m_ctx->messaggi.mostra(u"Il registro non è disponibile."_s, TitoloMessaggi(), Messaggi::Icona::Avviso);
    return;
  }
  q->apriRegistro(*m_ctx, m_inizio);
  avvisaGuastoRegistro();
}

void Finestre::avvisaGuastoRegistro() {
  if (!m_quaderno) return;
  if (const auto m = m_quaderno->prendiMessaggio())
    m_ctx->messaggi.mostra(*m, TitoloMessaggi(), Messaggi::Icona::Avviso);
}

void Finestre::apriOpzioni() {
  if (m_opzioni) {  // open already: the teacher came in through the door
    mostra(m_opzioni);
    return;
  }
  if (!m_inizio) return;
  // The options are the teacher's: they open behind the same door as the
  // register, whose PIN the register keeps.
  Quaderno *q = quaderno();
  if (!q) {
    m_ctx->messaggi.mostra(u"Il registro non è disponibile: senza il PIN dell'insegnante le opzioni non si aprono."_s,
                           TitoloMessaggi(), Messaggi::Icona::Avviso);
    return;
  }
  const bool dentro = q->apriPorta(*m_ctx, m_inizio, u"Opzioni"_s);
  avvisaGuastoRegistro();
  if (!dentro || m_chiuso || !m_inizio || m_opzioni) return;
  const AlunnoScelto &a = m_ctx->stato.alunnoScelto;
  const QString alunno = a.id == 0 ? QString()
                         : a.nomeClasse.isEmpty() ? a.nome
                                                  : u"%1 (%2)"_s.arg(a.nome, a.nomeClasse);
  apri(m_opzioni, [this, &alunno] {
    auto *f = new FrmOpzioni(m_ctx->stato.opzioni, alunno, m_inizio);
    connect(f, &FrmOpzioni::cambiate, this, &Finestre::opzioniCambiate);
    connect(f, &FrmOpzioni::serverRichiesto, this, [this, f] {
      if (Quaderno *q = quaderno()) q->apriServer(*m_ctx, f);
    });
    SorvegliaPorta(f, [this] { chiudiPorta(); });
    return f;
  });
}

void Finestre::apriSuMisura() {
  if (!m_inizio) return;
  const AlunnoScelto &a = m_ctx->stato.alunnoScelto;
  if (a.id == 0) return;  // the entry is shut without a pupil
  Quaderno *q = quaderno();
  const int livello = m_ctx->stato.livello.intLivello;
  const auto piano = q ? q->pianoSuMisura(a.id, livello, m_ctx->orologio.oggi(), m_ctx->casuale) : std::nullopt;
  if (!piano || piano->isEmpty()) {
    avvisaGuastoRegistro();
    m_ctx->messaggi.mostra(u"Il registro non si legge: «Su misura» non può preparare le operazioni."_s,
                           TitoloMessaggi(), Messaggi::Icona::Avviso);
    return;
  }
  // A new exercise in a window of its own: the one open, if any, stays in the
  // register as it is (finished, or unfinished).
  if (m_esercizio) {
    FrmOperativo *vecchio = m_esercizio;
    m_esercizio.clear();
    vecchio->close();
    vecchio->deleteLater();
  }
  m_esercizio = new FrmOperativo(*m_ctx, m_inizio);
  m_esercizio->impostaPiano(*piano, livello);
  mostraNuova(m_esercizio.data());
}

void Finestre::opzioniCambiate() {
  const SceltaOpzioni &o = m_ctx->stato.opzioni;
  const AlunnoScelto &a = m_ctx->stato.alunnoScelto;
  if (a.id != 0) {
    // A pupil's plan is the pupil's own, kept in the register: the machine's
    // options stay as they were. Not kept, it still holds until the program ends.
    Quaderno *q = quaderno();
    if (!q || !q->salvaPiano(a.id, o.alunno)) {
      if (m_opzioni)
        m_opzioni->avvisa(u"Il piano di %1 non è stato salvato nel registro: vale solo finché Vornel resta aperto."_s
                              .arg(a.nome));
      avvisaGuastoRegistro();
    } else if (m_opzioni) {
      m_opzioni->avvisa({});
    }
  } else if (m_preferenze) {
    ScriviOpzioni(*m_preferenze, o.macchina);
  }
  applicaOpzioni();
}

void Finestre::applicaOpzioni() {
  const SceltaOpzioni &o = m_ctx->stato.opzioni;
  if (m_esercizio) m_esercizio->applicaOpzioni();
  for (QWidget *w : QApplication::topLevelWidgets()) {
    contrasto::Applica(w, o.inVigore().altoContrasto);
    if (auto *f = qobject_cast<Finestra *>(w)) f->scalaCaratteri(o.inVigore().caratteriGrandi);
  }
}

void Finestre::chiudiTutto() {
  m_chiuso = true;  // a window still waiting to be shown stays hidden
  for (QWidget *w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) w->close();
  }
  Q_EMIT fine();
}

namespace {

// A part of the program kept in a module of its own, loaded at its first use:
// the object its factory makes, or null (said once) when it can't be loaded.
template <typename T>
std::unique_ptr<T> CaricaModulo(const char *file, const char *fabbrica, const char *cosa) {
  QLibrary modulo(TrovaParteDelProgramma(QString::fromLatin1(file)));
  using Fabbrica = T *(*)();
  if (auto f = reinterpret_cast<Fabbrica>(modulo.resolve(fabbrica))) return std::unique_ptr<T>(f());
  qWarning("%s module not loaded: %s", cosa, qPrintable(modulo.errorString()));
  return nullptr;
}

}  // namespace

Quaderno *Finestre::quaderno() {
  if (m_quaderno || !m_caricaQuaderno) return m_quaderno.get();
  m_caricaQuaderno = false;  // tried once: a program without its module goes on unrecorded
  m_quaderno = CaricaModulo<Quaderno>(kModuloQuaderno, kFabbricaQuaderno, "register");
  return m_quaderno.get();
}

Voce *Finestre::voce() {
  if (m_voce || !m_caricaVoce) return m_voce.get();
  m_caricaVoce = false;  // tried once: without its module the program reads nothing aloud
  m_voce = CaricaModulo<Voce>(kModuloVoce, kFabbricaVoce, "speech");
  return m_voce.get();
}

QString Finestre::didascaliaInizio(const QString &nomeControllo) {
  if (!m_inizio) return {};
  const auto *l = m_inizio->findChild<QLabel *>(nomeControllo);
  return l ? l->text() : QString();
}
