#include "support/doppi.h"

#include <QDir>
#include <QTest>
#include <QWidget>

bool Attiva(QWidget *w) {
  w->show();
  w->raise();
  w->activateWindow();
  return QTest::qWaitForWindowActive(w);
}

CartellaTemporanea::CartellaTemporanea() : m_prima(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }

CartellaTemporanea::~CartellaTemporanea() { QDir::setCurrent(m_prima); }
