#pragma once

#include <QWidget>

#include "registro/registro.h"

class QTableWidget;

// The register window's page of the lab's computers (the school's server
// only): the operations still waiting on each, its last contact, and a clock
// too far from the server's flagged.
class PaginaComputer : public QWidget {
  Q_OBJECT
 public:
  PaginaComputer(Registro &registro, QWidget *genitore);
  // Reads the server again; a fault is left to the register to tell.
  void aggiorna();

 Q_SIGNALS:
  void letta();  // after each reading, so the window tells any fault

 private:
  Registro &m_registro;
  QTableWidget *m_tbl = nullptr;
};
