#include "ui/registro/quadernoregistro.h"

QuadernoRegistro::QuadernoRegistro(const QString &percorso) : m_registro(percorso) {}

// Each request opens the register if it is not yet open; what goes wrong is
// kept by the register and told once through prendiMessaggio().
void QuadernoRegistro::iniziaEsercizio(const DatiEsercizio &dati) { (void)m_registrazione.inizia(dati); }

void QuadernoRegistro::operazioneChiusa(const OperazioneChiusa &op) { (void)m_registrazione.operazioneChiusa(op); }

void QuadernoRegistro::interrompiEsercizio() { (void)m_registrazione.interrompi(); }

std::optional<QString> QuadernoRegistro::prendiMessaggio() { return m_registro.prendiMessaggio(); }
