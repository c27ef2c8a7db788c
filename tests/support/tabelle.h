#pragma once

// Reading the register window's tables as a teacher reads them.
#include <QString>
#include <QTableWidget>

// The text of a cell; empty where there is no table or no such cell.
inline QString Testo(QTableWidget *t, int r, int c) {
  const QTableWidgetItem *i = t ? t->item(r, c) : nullptr;
  return i ? i->text() : QString();
}

// The row whose first column reads `nome`; -1 when none does.
inline int RigaDi(QTableWidget *t, const QString &nome) {
  for (int r = 0; t && r < t->rowCount(); ++r)
    if (Testo(t, r, 0) == nome) return r;
  return -1;
}
