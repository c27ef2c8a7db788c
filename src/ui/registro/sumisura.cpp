// "Su misura" on the register's side: the pupil's history read, the twenty chosen.

#include "generation/famiglie.h"
#include "registro/storiasumisura.h"
#include "ui/registro/quadernoregistro.h"

std::optional<QList<SceltaOperazione>> QuadernoRegistro::pianoSuMisura(qint64 alunno, int famiglia,
                                                                       const QDate &oggi, Casuale &casuale) {
  const auto tabella = TabellaFamiglia(famiglia);
  if (!tabella || !m_registro.pronto()) return std::nullopt;
  const auto storia = LeggiStoriaSuMisura(m_registro, alunno, famiglia, oggi);
  if (!storia) return std::nullopt;
  return ScegliSuMisura(*storia, *tabella, casuale);
}
