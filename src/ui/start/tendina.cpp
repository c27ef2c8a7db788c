#include "ui/start/tendina.h"

void Tendina::prepara(int larghezza) {
  m_sinistra = m_destra = larghezza > 0 ? larghezza / 2 : 0;
  m_inMoto = true;
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
  if (m_sinistra <= kFine) m_inMoto = false;
  return m_inMoto;
}
