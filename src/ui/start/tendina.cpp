#include "ui/start/tendina.h"

#include <algorithm>

void Tendina::prepara(int larghezza) {
  m_sinistra = m_destra = larghezza > 0 ? larghezza / 2 : 0;
  m_inMoto = true;
  m_passi = 0;
}

bool Tendina::passo() {
  if (!m_inMoto) return false;
  if (m_sinistra - kPasso < 0 || m_destra - kPasso < 0) {
    // A window whose half width isn't a whole number of steps: the last strip
    // would need a negative width, so the curtain simply ends here.
    m_inMoto = false;
    return false;
  }
  m_sinistra -= kPasso;
  m_destra -= kPasso;
  ++m_passi;
  if (m_sinistra <= kFine) m_inMoto = false;
  return m_inMoto;
}

bool Tendina::aggiorna(qint64 ms) {
  const qint64 dovuti = std::max(m_passi + 1, ms / kIntervallo);
  while (m_inMoto && m_passi < dovuti) passo();
  return m_inMoto;
}
