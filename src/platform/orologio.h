#pragma once

#include <QDate>

// The clock seam: time of day for timing and for stirring the random source,
// and today's date for the certificate.
class Orologio {
 public:
  virtual ~Orologio() = default;
  // Seconds since midnight, with fractions.
  [[nodiscard]] virtual double secondiDaMezzanotte() = 0;
  [[nodiscard]] virtual QDate oggi() = 0;
};

class OrologioSistema final : public Orologio {
 public:
  double secondiDaMezzanotte() override;
  QDate oggi() override;

 private:
  qint64 m_mezzanotte = -1;        // local midnight, ms since the epoch
  qint64 m_prossimoControllo = 0;  // when to look the offset up again
};
