#pragma once

#include <QStringList>

// The statements that take the register from version n - 1 to version n
// (1 = from an empty file). Run in one transaction, the last one sets
// PRAGMA user_version = n.
[[nodiscard]] QStringList PassoMigrazione(int n);
