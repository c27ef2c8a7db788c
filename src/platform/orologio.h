#pragma once

#include <QDate>
#include <optional>

// The clock seam: time of day for timing and for stirring the random source,
// and today's date for the certificate.
class Orologio {
 public:
  virtual ~Orologio() = default;
  // Seconds since midnight, with fractions.
  [[nodiscard]] virtual double secondiDaMezzanotte() = 0;
  [[nodiscard]] virtual QDate oggi() = 0;
  // Seconds from a clock that only goes forward, whatever is done to the wall
  // clock (a time server, a clock set by hand, another system's clock at a
  // dual boot); none where there is no such clock. Durations are measured on it.
  [[nodiscard]] virtual std::optional<double> secondiMonotoni() { return std::nullopt; }
};

class OrologioSistema final : public Orologio {
 public:
  double secondiDaMezzanotte() override;
  QDate oggi() override;
  std::optional<double> secondiMonotoni() override;

 private:
  qint64 m_mezzanotte = -1;        // local midnight, ms since the epoch
  qint64 m_prossimoControllo = 0;  // when to look the offset up again
};
