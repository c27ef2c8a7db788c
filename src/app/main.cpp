#include "app/livelli.h"
#include "platform/casuale.h"
#include "platform/messaggiqt.h"
#include "platform/orologio.h"
#include "platform/stampanteqt.h"
#include "ui/start/finestre.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vornel"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vornel"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

  Stato stato;
  stato.livello.strNomeFile = NomeBaseEseguibile(argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString());
  if (stato.livello.strNomeFile.isEmpty()) stato.livello.strNomeFile = QStringLiteral("vornel");

  OrologioSistema orologio;
  CasualeSistema casuale;
  MessaggiQt messaggi;
  StampanteQt stampante;
  Finestre finestre;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, finestre};

  QObject::connect(&finestre, &Finestre::fine, &app, &QApplication::quit, Qt::QueuedConnection);
  finestre.avvia(ctx);
  return QApplication::exec();
}
