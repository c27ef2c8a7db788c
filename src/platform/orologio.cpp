#include "platform/orologio.h"

#include <QTime>

double OrologioSistema::secondiDaMezzanotte() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDate OrologioSistema::oggi() { return QDate::currentDate(); }
