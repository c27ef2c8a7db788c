#include "platform/orologio.h"

#include <QDateTime>
#include <ctime>

// Reading the local time through the C library looks the time zone up on every
// call; the offset of local midnight is kept instead and refreshed each minute
// (which also follows a change of daylight saving time).
double OrologioSistema::secondiDaMezzanotte() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  const qint64 ora = static_cast<qint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
  if (m_mezzanotte < 0 || ora >= m_prossimoControllo || ora < m_mezzanotte) {
    const QDateTime adesso = QDateTime::fromMSecsSinceEpoch(ora);
    m_mezzanotte = ora - adesso.time().msecsSinceStartOfDay();
    m_prossimoControllo = ora + 60'000;
  }
  qint64 trascorsi = ora - m_mezzanotte;
  if (trascorsi >= 86'400'000) {  // past midnight since the last refresh
    m_mezzanotte = -1;
    return secondiDaMezzanotte();
  }
  return static_cast<double>(trascorsi) / 1000.0 + static_cast<double>(ts.tv_nsec % 1'000'000) / 1e9;
}

QDate OrologioSistema::oggi() { return QDate::currentDate(); }

std::optional<double> OrologioSistema::secondiMonotoni() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}
