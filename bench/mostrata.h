#pragma once

#include <QCoreApplication>
#include <QWidget>

#include "riporta.h"

// What a person waits for when a call fills a window: the call, the events it
// posted (layouts, headers' sections), the whole window painted at once
// (repaint() paints what the call left dirty with the rest, and flushes it to
// the platform) and whatever events are left after it; in milliseconds.
template <typename F>
double Mostrata(QWidget *finestra, F &&chiamata) {
  const auto t0 = Tempo::now();
  chiamata();
  QCoreApplication::sendPostedEvents();
  finestra->repaint();
  QCoreApplication::processEvents();
  return Microsecondi(t0, Tempo::now()) / 1000.0;
}
