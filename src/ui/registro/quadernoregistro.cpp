#include "ui/registro/quadernoregistro.h"

#include "ui/common/contesto.h"
#include "ui/registro/frmalunno.h"
#include "ui/registro/frmporta.h"

QuadernoRegistro::QuadernoRegistro(const QString &percorso) : m_registro(percorso) {}

// Each request opens the register if it is not yet open; what goes wrong is
// kept by the register and told once through prendiMessaggio().
void QuadernoRegistro::iniziaEsercizio(const DatiEsercizio &dati) {
  (void)m_registrazione.inizia(dati);
}

void QuadernoRegistro::operazioneChiusa(const OperazioneChiusa &op) {
  (void)m_registrazione.operazioneChiusa(op);
}

void QuadernoRegistro::interrompiEsercizio() {
  (void)m_registrazione.interrompi();
}

std::optional<QString> QuadernoRegistro::prendiMessaggio() {
  return m_registro.prendiMessaggio();
}

std::optional<AlunnoScelto> QuadernoRegistro::scegliAlunno(Contesto &ctx, QWidget *sopra) {
  if (!m_registro.pronto()) return std::nullopt;  // the fault is told by the caller
  FrmAlunno finestra(m_registro, ctx.stato.alunnoScelto, sopra);
  finestra.exec();
  return finestra.result() == QDialog::Accepted ? finestra.scelta() : std::nullopt;
}

void QuadernoRegistro::apriRegistro(Contesto &ctx, QWidget *sopra) {
  if (m_finestra) {
    m_finestra->show();
    m_finestra->raise();
    m_finestra->activateWindow();
    return;
  }
  if (!m_registro.pronto()) return;  // the fault is told by the caller
  {
    PortaDocente porta(m_registro, m_adesso, m_iterazioni);
    FrmPorta finestraPorta(porta, sopra);
    if (finestraPorta.exec() != QDialog::Accepted) return;
  }
  m_finestra = new FrmRegistro(m_registro, ctx, sopra);
  m_finestra->show();
  m_finestra->raise();
  m_finestra->activateWindow();
}
