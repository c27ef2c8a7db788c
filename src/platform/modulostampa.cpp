// The print module's entry point: the program loads this library on its first
// printout and asks it for the real back end.
#include "platform/stampantepigra.h"
#include "platform/stampanteqt.h"

extern "C" Q_DECL_EXPORT Stampante *VornelCreaStampante(const std::function<QString(const QString &)> *scelta) {
  auto *s = new StampanteQt;
  if (scelta && *scelta) s->impostaSceltaFilePdf(*scelta);
  return s;
}
