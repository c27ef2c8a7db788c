#pragma once

#include <QString>

// A control of the register's windows with its object name and the name a
// screen reader says.
template <typename W>
W *Nomina(W *w, const QString &nome, const QString &accessibile) {
  w->setObjectName(nome);
  w->setAccessibleName(accessibile);
  return w;
}
