#include "platform/messaggiqt.h"

#include <QApplication>
#include <QMessageBox>

void MessaggiQt::mostra(const QString &testo, const QString &titolo, Icona icona) {
  QMessageBox::Icon i = QMessageBox::NoIcon;
  switch (icona) {
    case Icona::Informazione: i = QMessageBox::Information; break;
    case Icona::Avviso: i = QMessageBox::Warning; break;
    case Icona::Critica: i = QMessageBox::Critical; break;
    case Icona::Nessuna: break;
  }
  QMessageBox box(i, titolo, testo, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}
