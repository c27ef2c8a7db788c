#pragma once

#include "platform/messaggi.h"

class QWidget;

// Message boxes shown with QMessageBox, modal over the active window.
class MessaggiQt final : public Messaggi {
 public:
  void mostra(const QString &testo, const QString &titolo, Icona icona) override;
};
