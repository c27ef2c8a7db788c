#include "ui/start/finestre.h"

#include "ui/certificate/frmattestato.h"
#include "ui/certificate/frmstampaeserciziotre.h"
#include "ui/exercise/frmoperativo.h"
#include "ui/info/frmautore.h"
#include "ui/start/frminizio.h"
#include "ui/worksheets/frmsceltastampante.h"
#include "ui/worksheets/frmstampaschedetre.h"

#include <QApplication>
#include <QLabel>

namespace {

template <typename T>
void mostra(T *w) {
  w->show();
  w->raise();
  w->activateWindow();
}

}  // namespace

Finestre::~Finestre() = default;

frmInizio *Finestre::avvia(Contesto &ctx) {
  m_ctx = &ctx;
  m_inizio = new frmInizio(ctx);
  mostra(m_inizio.data());
  return m_inizio;
}

void Finestre::apriEsercizio() {
  if (!m_esercizio) m_esercizio = new FrmOperativo(*m_ctx, m_inizio);
  mostra(m_esercizio.data());
}

void Finestre::apriStampaEsercizio() {
  if (!m_stampaEsercizio) m_stampaEsercizio = new FrmStampaEsercizioTre(*m_ctx, m_esercizio ? static_cast<QWidget *>(m_esercizio) : m_inizio);
  mostra(m_stampaEsercizio.data());
}

void Finestre::apriAttestato() {
  // Drawn afresh each time, so it shows the counts of this moment.
  if (m_attestato) {
    m_attestato->close();
    delete m_attestato.data();
  }
  m_attestato = new FrmAttestato(*m_ctx, m_stampaEsercizio ? static_cast<QWidget *>(m_stampaEsercizio) : m_inizio);
  mostra(m_attestato.data());
}

void Finestre::apriSchede() {
  if (!m_schede) m_schede = new FrmStampaSchedeTre(*m_ctx, m_inizio);
  mostra(m_schede.data());
}

void Finestre::apriSceltaStampante() {
  if (!m_sceltaStampante) {
    QWidget *sopra = QApplication::activeWindow();
    m_sceltaStampante = new frmSceltaStampante(*m_ctx, sopra ? sopra : static_cast<QWidget *>(m_inizio));
  }
  mostra(m_sceltaStampante.data());
}

void Finestre::apriAutore() {
  frmAutore autore(m_inizio);
  autore.exec();
}

void Finestre::chiudiTutto() {
  for (QWidget *w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) w->close();
  }
  Q_EMIT fine();
}

QString Finestre::didascaliaInizio(const QString &nomeControllo) {
  if (!m_inizio) return {};
  const auto *l = m_inizio->findChild<QLabel *>(nomeControllo);
  return l ? l->text() : QString();
}
