#include "ui/registro/quadernoregistro.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QTimer>

#include "registro/piani.h"
#include "ui/common/contesto.h"
#include "ui/registro/frmalunno.h"
#include "ui/common/sorveglianza.h"
#include "ui/registro/frmporta.h"
#include "ui/registro/frmserver.h"

using namespace Qt::StringLiterals;

namespace {

// The dialogs open over w (its descendants), innermost last.
QList<QDialog *> DialoghiSopra(QWidget *w) {
  QList<QDialog *> dialoghi;
  if (!w) return dialoghi;
  // isAncestorOf stops at a window's edge: the dialogs are windows of their own.
  const auto sopra = [w](const QWidget *d) {
    for (const QWidget *p = d->parentWidget(); p; p = p->parentWidget())
      if (p == w) return true;
    return false;
  };
  for (QWidget *t : QApplication::topLevelWidgets())
    if (auto *d = qobject_cast<QDialog *>(t); d && d->isVisible() && sopra(d)) dialoghi.append(d);
  return dialoghi;
}

// Closes w once no dialog is over it and the loops those dialogs ran have
// returned: back at the depth of event loops the window was opened at.
void ChiudiQuandoLibera(const QPointer<FrmRegistro> &w, int livello) {
  if (!w) return;
  const auto libera = [w, livello] {
    return DialoghiSopra(w).isEmpty() && QThread::currentThread()->loopLevel() <= livello;
  };
  QTimer::singleShot(libera() ? 0 : 50, w.data(), [w, livello, libera] {
    if (!w) return;
    if (!libera()) return ChiudiQuandoLibera(w, livello);
    w->close();
  });
}

// Whether the pupil came from the school's server (the register's mirror of it).
bool DelServer(Registro &registro, qint64 alunno) {
  if (!registro.pronto()) return false;
  QSqlQuery q(registro.db());
  q.prepare(u"SELECT * FROM alunni WHERE id = ?"_s);
  q.addBindValue(alunno);
  if (!q.exec() || !q.next()) return false;
  const int remoto = q.record().indexOf(u"remoto"_s);
  return remoto >= 0 && q.value(remoto).toInt() == 1;
}

}  // namespace

QuadernoRegistro::QuadernoRegistro(const QString &percorso) : m_registro(percorso) {
  m_scadenzaServer.setSingleShot(true);
  m_scadenzaServer.setInterval(static_cast<int>(kPortaRicordata));
  QObject::connect(&m_scadenzaServer, &QTimer::timeout, &m_legami, [this] {
    if (!m_finestra && !m_finestraPorta) lasciaServer();
  });
  if (const ConfigServer config = ConfigServer::Leggi(); config.attivo()) avviaInvio(config);
}

QuadernoRegistro::~QuadernoRegistro() {
  m_registrazione.quandoAnnuncia({});
  m_invio.reset();
}

void QuadernoRegistro::avviaInvio(const ConfigServer &config, Invio::Impostazioni impostazioni) {
  if (m_invio) return;
  // From now on every write of the recording is announced in the outbox, in
  // its own transaction, and the sender woken (a queued call: never a wait).
  m_registro.impostaUscita(true);
  m_invio = std::make_unique<Invio>(config, m_registro.percorso(), std::move(impostazioni));
  Invio *invio = m_invio.get();
  m_registrazione.quandoAnnuncia([invio] { invio->sveglia(); });
  m_invio->avvia();
}

void QuadernoRegistro::riavviaInvio() {
  // The old sender may be held by a connection timing out: it is not waited
  // for (it ends by itself; the outbox keeps what it was sending).
  if (m_invio) m_invio->ferma(kAttesaRiavvio);
  m_invio.reset();
  m_registrazione.quandoAnnuncia({});
  // The door's own connection is the teacher's: it goes on until the door closes.
  // With no server now, the outbox still keeps what is recorded in this run,
  // so a server set again later receives all of it.
  if (const ConfigServer c = config(); c.attivo()) avviaInvio(c);
}

ConfigServer QuadernoRegistro::config() const {
  return m_config ? *m_config : ConfigServer::Leggi();
}

void QuadernoRegistro::lasciaServer() {
  m_scadenzaServer.stop();
  m_lettore.reset();
  m_server.reset();
  m_soloLocale = false;
}

qint64 QuadernoRegistro::adesso() const {
  return m_adesso ? m_adesso() : QDateTime::currentMSecsSinceEpoch();
}

// Each request opens the register if it is not yet open; what goes wrong is
// kept by the register and told once through prendiMessaggio().
void QuadernoRegistro::iniziaEsercizio(const DatiEsercizio &dati) {
  // A pupil is at work: whoever comes next to the door is asked for the PIN.
  chiudiPorta();
  (void)m_registrazione.inizia(dati);
}

void QuadernoRegistro::chiudiPorta() {
  m_dentroDa = 0;
  m_portaSbarrata = true;  // the register window closing now leaves the door shut
  // The dialogs over the register window (the PIN change, the class import and
  // the messages they show) run loops of their own: they are ended first, and
  // the window closes only once every one of those loops has returned, so
  // nothing is deleted from under them.
  for (QDialog *d : DialoghiSopra(m_finestra)) d->reject();
  if (m_finestraPorta) m_finestraPorta->reject();
  if (m_finestraServer) m_finestraServer->close();
  ChiudiQuandoLibera(m_finestra, m_livelloFinestra);
  // With no window over it, the server's connection closes now; else when the
  // window has gone (see apriRegistro).
  if (!m_finestra) lasciaServer();
}

bool QuadernoRegistro::portaAperta() const {
  const qint64 ora = adesso();
  return m_finestra || m_finestraPorta || (m_dentroDa > 0 && ora >= m_dentroDa && ora - m_dentroDa < kPortaRicordata);
}

void QuadernoRegistro::operazioneChiusa(const OperazioneChiusa &op) {
  (void)m_registrazione.operazioneChiusa(op);
}

void QuadernoRegistro::interrompiEsercizio() {
  (void)m_registrazione.interrompi();
}

std::optional<QString> QuadernoRegistro::prendiMessaggio() {
  if (auto m = m_registro.prendiMessaggio()) return m;
  // What the school's technician must put right (a password, a certificate,
  // the server's version) is told to the teacher, never to a pupil at work:
  // it waits until the teacher is in.
  if (m_invio && portaAperta()) return m_invio->prendiMessaggio();
  return std::nullopt;
}

std::optional<AlunnoScelto> QuadernoRegistro::scegliAlunno(Contesto &ctx, QWidget *sopra) {
  if (!m_registro.pronto()) return std::nullopt;  // the fault is told by the caller
  FrmAlunno finestra(m_registro, ctx.stato.alunnoScelto, sopra);
  finestra.exec();
  return finestra.result() == QDialog::Accepted ? finestra.scelta() : std::nullopt;
}

bool QuadernoRegistro::entraServer(QWidget *sopra, const QString &titolo, const ConfigServer &config,
                                   bool &locale) {
  FrmPortaServer finestraPorta(config, sopra, titolo);
  m_finestraPorta = &finestraPorta;
  if (finestraPorta.exec() != QDialog::Accepted) return false;
  locale = finestraPorta.sceltoLocale();
  if (locale) return true;
  m_server = Registro::SulServer(finestraPorta.connessione());
  if (!finestraPorta.connessioneVista().isEmpty())
    m_lettore = std::make_unique<LettoreInClasse>(finestraPorta.connessioneVista());
  m_soloLocale = false;
  m_dentroDa = adesso();
  return true;
}

bool QuadernoRegistro::entra(QWidget *sopra, const QString &titolo) {
  const qint64 ora = adesso();
  const ConfigServer c = config();
  // On a school with a server, the door remembered holds only with the
  // teacher's connection still open (the password is never kept to open another).
  const bool conServer = !c.attivo() || m_server || m_soloLocale;
  // A clock set back asks for the PIN rather than keeping the door open.
  if (conServer &&
      (m_finestra || (m_dentroDa > 0 && ora >= m_dentroDa && ora - m_dentroDa < kPortaRicordata))) {
    m_dentroDa = ora;
    if (m_server) m_scadenzaServer.start();
    return true;
  }
  lasciaServer();
  if (c.attivo()) {
    bool locale = false;
    if (!entraServer(sopra, titolo, c, locale)) return false;
    if (!locale) {
      // Signed in for Opzioni alone, the connection goes with the door
      // remembered; the register window, while open, keeps it (see the timer).
      m_scadenzaServer.start();
      return true;
    }
    m_soloLocale = true;
  }
  if (!m_registro.pronto()) return false;  // the fault is told by the caller
  PortaDocente porta(m_registro, m_adesso, m_iterazioni);
  FrmPorta finestraPorta(porta, sopra, titolo);
  m_finestraPorta = &finestraPorta;
  if (finestraPorta.exec() != QDialog::Accepted) return false;
  m_dentroDa = adesso();
  return true;
}

bool QuadernoRegistro::apriPorta(Contesto &ctx, QWidget *sopra, const QString &titolo) {
  (void)ctx;
  return entra(sopra, titolo);
}

void QuadernoRegistro::apriServer(Contesto &ctx, QWidget *sopra) {
  (void)ctx;
  if (m_finestraServer) {
    m_finestraServer->show();
    m_finestraServer->raise();
    m_finestraServer->activateWindow();
    return;
  }
  if (!entra(sopra, u"Server della scuola"_s)) return;
  // Without a loop of its own, so the options closing with the door take it along.
  auto *f = new FrmServer(sopra);
  f->setAttribute(Qt::WA_DeleteOnClose);
  // Settings saved take effect at once: the sender goes on with them.
  QObject::connect(f, &FrmServer::salvata, &m_legami, [this] { riavviaInvio(); });
  f->setWindowModality(Qt::WindowModal);
  m_finestraServer = f;
  f->show();
  f->raise();
  f->activateWindow();
}

void QuadernoRegistro::apriRegistro(Contesto &ctx, QWidget *sopra) {
  if (m_finestra) {
    m_finestra->show();
    m_finestra->raise();
    m_finestra->activateWindow();
    return;
  }
  // With a server the computer's own file is needed only if the teacher falls back on it.
  if (!config().attivo() && !m_registro.pronto()) return;  // the fault is told by the caller
  if (!entra(sopra, u"Registro dell'insegnante"_s)) return;
  m_livelloFinestra = QThread::currentThread()->loopLevel();
  m_finestra = new FrmRegistro(m_server ? *m_server : m_registro, ctx, sopra);
  m_finestra->impostaPorta(m_adesso, m_iterazioni);
  m_finestra->impostaLettore(m_lettore.get());
  if (m_server) {
    m_finestra->impostaProvenienza(
        u"Registro della scuola, sul server %1: gli esercizi di tutti i computer del laboratorio."_s.arg(
            config().host),
        false);
  } else if (m_soloLocale) {
    // What waits here to be sent is told too, and follows the sender's count.
    const auto provenienza = [f = m_finestra.data()](int attesa) {
      QString testo =
          u"Il server della scuola non risponde: questo è solo il registro di questo computer, con gli "
          u"esercizi fatti qui. Gli esercizi degli altri computer non ci sono."_s;
      if (attesa > 0)
        testo += u" %1 %2 di questo computer %3 di partire per il server."_s.arg(attesa).arg(
            attesa == 1 ? u"operazione"_s : u"operazioni"_s, attesa == 1 ? u"aspetta"_s : u"aspettano"_s);
      f->impostaProvenienza(testo, true);
    };
    provenienza(m_invio ? m_invio->inAttesa() : 0);
    if (m_invio) QObject::connect(m_invio.get(), &Invio::inAttesaCambiato, m_finestra, provenienza);
  }
  // Minimised or hidden, the register is no longer watched by the teacher: it closes.
  SorvegliaPorta(m_finestra, [this] { chiudiPorta(); });
  m_portaSbarrata = false;
  QObject::connect(m_finestra, &QObject::destroyed, &m_legami, [this] {
    m_dentroDa = std::exchange(m_portaSbarrata, false) ? 0 : adesso();
    // The window (and every view over the connection) is gone: the connection
    // closes with the door, now or when the door is remembered no longer.
    if (m_dentroDa == 0)
      lasciaServer();
    else if (m_server)
      m_scadenzaServer.start();
  });
  m_finestra->show();
  m_finestra->raise();
  m_finestra->activateWindow();
}

std::optional<Opzioni> QuadernoRegistro::pianoAlunno(qint64 alunno) {
  return LeggiPiano(m_registro, alunno);
}

bool QuadernoRegistro::salvaPiano(qint64 alunno, const std::optional<Opzioni> &piano) {
  // A pupil of the school's server, with the server away: the plan kept here
  // would be put back as the server has it at the next contact. Not kept, and
  // said so (it holds while the program is open).
  if (m_soloLocale && !m_server && DelServer(m_registro, alunno)) return false;
  const bool qui = piano ? SalvaPiano(m_registro, alunno, *piano).ok : CancellaPiano(m_registro, alunno).ok;
  if (!m_server) return qui;
  // Signed in to the school's server (Opzioni is behind the door): the plan
  // follows the pupil to every computer, so it is kept there too, by the
  // pupil's own uuid. A register that keeps no uuid, or a pupil the server
  // does not know, has only this computer's copy.
  QSqlQuery q(m_registro.db());
  q.prepare(u"SELECT * FROM alunni WHERE id = ?"_s);
  q.addBindValue(alunno);
  const int colonna = q.exec() && q.next() ? q.record().indexOf(u"uuid"_s) : -1;
  if (colonna < 0 || q.isNull(colonna)) return qui;
  QSqlQuery s(m_server->db());
  s.prepare(u"SELECT id FROM alunni WHERE uuid = ?"_s);
  s.addBindValue(q.value(colonna).toString());
  if (!s.exec()) return m_server->fallito(s), false;
  if (!s.next()) return qui;
  const qint64 sulServer = s.value(0).toLongLong();
  const bool la = piano ? SalvaPiano(*m_server, sulServer, *piano).ok : CancellaPiano(*m_server, sulServer).ok;
  return qui && la;
}
