#pragma once

#include <QStringList>

// The statements that take the register from version n - 1 to version n
// (1 = from an empty file). Run in one transaction, the last one sets
// PRAGMA user_version = n.
[[nodiscard]] QStringList PassoMigrazione(int n);

// The outbox of a computer that sends to the school's server (created when a
// server is set, never in a register without one; repeatable).
[[nodiscard]] QStringList TabelleUscita();
