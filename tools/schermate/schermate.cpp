// Drives the real program through its buttons and saves pictures of its
// windows for the README: start window, exercise (number and symbol view),
// certificate, worksheet preview, and a teachers' worksheet printed to PDF.
//   vornel_schermate <output folder> [folder for the windows with the options on]
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "ui/programma/programma.h"

namespace {

void Attendi(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

bool Premi(QWidget *finestra, const char *nome) {
  auto *b = finestra ? finestra->findChild<QAbstractButton *>(QString::fromLatin1(nome)) : nullptr;
  if (!b) {
    std::fprintf(stderr, "button %s not found\n", nome);
    return false;
  }
  b->click();
  Attendi(150);
  return true;
}

void Salva(QWidget *w, const QString &cartella, const char *nome) {
  w->raise();
  Attendi(300);
  const QString percorso = QDir(cartella).filePath(QString::fromLatin1(nome));
  std::printf("%s %s\n", w->grab().save(percorso) ? "saved" : "FAILED", qPrintable(percorso));
}

}  // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  ImpostaApplicazione();
  if (argc < 2) return 2;
  const QString cartella = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QTemporaryDir lavoro;
  QDir::setCurrent(lavoro.path());  // the level file of this run stays out of the way

  Programma p(QStringLiteral("vornel"));
  frmInizio *inizio = p.avvia();
  Attendi(1200);  // the curtain opens
  Premi(inizio, "Option1_0");
  Premi(inizio, "Option2_0");
  Salva(inizio, cartella, "inizio.png");

  Premi(inizio, "Option3_0");  // Vai
  QWidget *esercizio = p.finestre.esercizio();
  Premi(esercizio, "Option2_1");
  Premi(esercizio, "Option2_2");
  Salva(esercizio, cartella, "esercizio-numero.png");
  Premi(esercizio, "Option2_12");  // Verifica: wrong, the mistake named
  Premi(esercizio, "Option3_0");   // SI: the worked solution in the unit table
  Salva(esercizio, cartella, "esercizio-tabella.png");
  esercizio->close();
  Attendi(200);

  inizio->activateWindow();
  Attendi(200);
  Premi(inizio, "Option1_1");
  Premi(inizio, "Option2_0");
  Premi(inizio, "Option3_0");
  esercizio = p.finestre.esercizio();
  Premi(esercizio, "Option1_2");
  Salva(esercizio, cartella, "esercizio-simbolo.png");

  p.stato.esercizio.intOperazione = 20;
  p.stato.esercizio.intEsatte = 17;
  p.stato.esercizio.strNomeAlunno = QStringLiteral("giulia");
  p.finestre.apriStampaEsercizio();
  Attendi(300);
  p.finestre.apriAttestato();
  Attendi(1500);
  Salva(p.finestre.attestato(), cartella, "attestato.png");
  p.finestre.attestato()->close();
  p.finestre.stampaEsercizio()->close();
  esercizio->close();
  Attendi(200);

  p.finestre.apriSchede();
  QWidget *schede = p.finestre.schede();
  Attendi(300);
  Premi(schede, "Option1_2");
  Premi(schede, "Option2_2");
  Premi(schede, "CmdVisualizzaSchedaDocenti");
  Salva(schede, cartella, "schede.png");
  const QString pdf = QDir(cartella).filePath(QStringLiteral("scheda-docenti.pdf"));
  p.stampante.scegli(kSalvaComePdf);
  p.stampante.impostaSceltaFilePdf([pdf](const QString &) { return pdf; });
  Premi(schede, "CmdStampaSchedaDocenti");
  std::printf("%s %s\n", QFile::exists(pdf) ? "saved" : "FAILED", qPrintable(pdf));

  // With a second folder: the windows with the options on, to look at (not for the README).
  if (argc >= 3) {
    const QString altre = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(altre);
    Opzioni &o = p.stato.opzioni.macchina;
    o.altoContrasto = true;
    p.finestre.applicaOpzioni();
    Premi(schede, "Option1_1");
    Salva(schede, altre, "schede-contrasto.png");
    schede->close();
    o.altoContrasto = false;
    o.caratteriGrandi = o.tabellaAMano = o.leggiSempre = true;
    p.finestre.applicaOpzioni();
    inizio->activateWindow();
    Premi(inizio, "Option1_0");
    Premi(inizio, "Option2_0");
    Premi(inizio, "Option3_0");
    esercizio = p.finestre.esercizio();
    esercizio->resize(1920, 1050);
    Attendi(800);
    Salva(esercizio, altre, "esercizio-lavagna-tabella.png");
    esercizio->close();
    p.finestre.apriIstruzioni();
    Attendi(500);
    for (QWidget *w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->objectName().contains(QStringLiteral("struzioni"), Qt::CaseInsensitive))
        Salva(w, altre, "istruzioni.png");
  }
  p.finestre.chiudiTutto();
  return 0;
}
