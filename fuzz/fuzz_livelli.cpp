#include "app/livelli.h"

#include <cstdint>
#include <cstdlib>

// Whatever the bytes, the reader gives either nothing or a valid record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const QByteArray dati(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const auto r = LeggiRecordLivello(dati);
  if (r && (r->intLivello < 1 || r->intLivello > 12 || r->intCifre < 1 || r->intCifre > 2)) std::abort();
  if (r) {
    // What is written reads back as the same record.
    const auto di_nuovo = LeggiRecordLivello(TestoRecordLivello(r->intLivello, r->intCifre));
    if (!di_nuovo || di_nuovo->intLivello != r->intLivello || di_nuovo->intCifre != r->intCifre) std::abort();
  }
  return 0;
}
