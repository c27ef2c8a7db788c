#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Exact decimals for the help: every quantity an operation can lead to (a sum
// asked in any slot, the same with its comma moved three places either way,
// a typed answer) is a whole number of millionths, so nothing here ever goes
// through floating point.
namespace decimali {

inline constexpr int kCifreDecimali = 6;

// 10^n for n in 0..18.
[[nodiscard]] qint64 Potenza(int n);

// value * 10^n, n in -18..18; a negative n divides and gives nothing when the
// division is not exact or a positive one would overflow.
[[nodiscard]] std::optional<qint64> Scala(qint64 valore, int n);

// Reads a number written the Italian way (digits, "." between thousands, at
// most one ","), as millionths. Nothing for an empty text, for any other
// character, for a full stop after the comma, for more than six decimals or
// more than twelve whole digits.
[[nodiscard]] std::optional<qint64> Leggi(QStringView testo);

// Writes millionths as the program shows numbers: the whole part grouped by
// thousands with "." (raggruppa false: no grouping), the decimals after ","
// without trailing zeros.
[[nodiscard]] QString Scrivi(qint64 milionesimi, bool raggruppa = true);

}  // namespace decimali
