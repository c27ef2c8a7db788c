#include "platform/casuale.h"

#include <QRandomGenerator>
#include <QTime>
#include <bit>
#include <cstring>

namespace {

std::uint64_t splitmix(std::uint64_t &x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t ruota(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

CasualeSistema::CasualeSistema()
    : CasualeSistema(QRandomGenerator::system()->generate64() ^
                     static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay())) {}

CasualeSistema::CasualeSistema(std::uint64_t seme) {
  for (auto &s : m_s) s = splitmix(seme);
}

void CasualeSistema::mescola(double secondi) {
  std::uint64_t bit = 0;
  static_assert(sizeof bit == sizeof secondi);
  std::memcpy(&bit, &secondi, sizeof bit);
  std::uint64_t x = bit ^ m_s[3];
  m_s[0] ^= splitmix(x);
  if ((m_s[0] | m_s[1] | m_s[2] | m_s[3]) == 0) m_s[0] = 1;
  (void)prossimo();
}

std::uint64_t CasualeSistema::prossimo() {
  const std::uint64_t risultato = ruota(m_s[1] * 5, 7) * 9;
  const std::uint64_t t = m_s[1] << 17;
  m_s[2] ^= m_s[0];
  m_s[3] ^= m_s[1];
  m_s[1] ^= m_s[2];
  m_s[0] ^= m_s[3];
  m_s[2] ^= t;
  m_s[3] = ruota(m_s[3], 45);
  return risultato;
}

double CasualeSistema::rnd() {
  // 53 high bits give a double uniform in [0, 1).
  return static_cast<double>(prossimo() >> 11) * 0x1.0p-53;
}

double CasualeCopione::rnd() {
  if (m_pos >= m_valori.size()) {
    m_esaurito = true;
    return 0.0;
  }
  return m_valori[m_pos++];
}
