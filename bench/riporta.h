#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Timings of a benchmark: microseconds between two readings, and one line of
// figures (median, 90th and 99th percentile, worst) for a set of them.
using Tempo = std::chrono::steady_clock;

inline double Microsecondi(Tempo::time_point a, Tempo::time_point b) {
  return std::chrono::duration<double, std::micro>(b - a).count();
}

inline void Riporta(const char *cosa, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  const auto q = [&](double f) { return v[static_cast<size_t>(f * static_cast<double>(v.size() - 1))]; };
  std::printf("%-48s n=%7zu  median %8.2f us  p90 %8.2f us  p99 %8.2f us  max %8.2f us\n", cosa, v.size(), q(0.5),
              q(0.9), q(0.99), v.back());
}
