#pragma once

#include <QString>

// Finds one of the program's private parts (its CUPS helper, the register
// module): beside the executable, in the program's private folder next to it
// or where the package installs it. A program of the build tree (the tests,
// the benchmarks) takes the part built with it, never one installed earlier.
// Empty when none is found.
[[nodiscard]] QString TrovaParteDelProgramma(const QString &nome);
