// Measures how fast the exercise window answers the pupil: the handling of one
// keypad key press (event in, answer label updated) and the making of a new
// operation, in the exercise logic alone and through the window's "Avanti".
#include "../navigazionemuta.h"
#include "../riporta.h"
#include "generation/famiglie.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "ui/exercise/frmoperativo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

void Premi(QWidget *w, int tasto) {
  QKeyEvent giu(QEvent::KeyPress, tasto, Qt::NoModifier);
  QApplication::sendEvent(w, &giu);
}

void Rilascia(QWidget *w, int tasto) {
  QKeyEvent su(QEvent::KeyRelease, tasto, Qt::NoModifier);
  QApplication::sendEvent(w, &su);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Stato stato;
  ApplicaFamiglia(stato.famiglia, 6);
  stato.impostazioni.intCosaCalcolare = 1;
  OrologioSistema orologio;
  CasualeSistema casuale(12345);
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};

  auto *w = new FrmOperativo(ctx);
  w->show();
  QCoreApplication::processEvents();
  auto *risultato = w->findChild<QLabel *>(QStringLiteral("LblRisultato"));

  // Key presses: a digit, then Backspace, over and over, on the focused keypad button.
  std::vector<double> tasti;
  const int giri = 20000;
  tasti.reserve(giri);
  for (int i = 0; i < giri; ++i) {
    QWidget *f = w->focusWidget();
    const int k = i % 2 == 0 ? Qt::Key_1 + (i / 2) % 9 : Qt::Key_Backspace;
    const QString prima = risultato->text();
    const auto t0 = Tempo::now();
    Premi(f, k);
    const auto t1 = Tempo::now();
    if (risultato->text() == prima) {
      std::fprintf(stderr, "key %d changed nothing\n", k);
      return 1;
    }
    tasti.push_back(Microsecondi(t0, t1));
    Rilascia(w->focusWidget(), k);
  }
  Riporta("keypad key press (event to label)", tasti);

  // The same with the window painted after each press, as the pupil sees it.
  std::vector<double> dipinti;
  for (int i = 0; i < 5000; ++i) {
    QWidget *f = w->focusWidget();
    const int k = i % 2 == 0 ? Qt::Key_1 + (i / 2) % 9 : Qt::Key_Backspace;
    const auto t0 = Tempo::now();
    Premi(f, k);
    w->repaint();
    dipinti.push_back(Microsecondi(t0, Tempo::now()));
    Rilascia(w->focusWidget(), k);
  }
  Riporta("keypad key press and window repainted", dipinti);

  // NuovaOperazione in the exercise logic alone.
  {
    Stato s = stato;
    MotoreEsercizio m(s, orologio, casuale, messaggi);
    std::vector<double> nuove;
    for (int e = 0; e < 2000; ++e) {
      m.nuovoEsercizio();
      for (int i = 1; i < MotoreEsercizio::kOperazioni; ++i) {
        const auto t0 = Tempo::now();
        m.nuovaOperazione();
        nuove.push_back(Microsecondi(t0, Tempo::now()));
      }
    }
    Riporta("NuovaOperazione (exercise logic)", nuove);
  }

  // "Avanti" through the window: the right answer is typed, judged, then Enter on "Avanti" is timed.
  {
    std::vector<double> avanti;
    for (int e = 0; e < 100; ++e) {
      for (int i = 1; i < MotoreEsercizio::kOperazioni; ++i) {
        for (QChar c : stato.operazione.strRisultato) {
          if (c == u'.') continue;
          const int k = c == u',' ? Qt::Key_Comma : Qt::Key_0 + c.digitValue();
          QWidget *f = w->focusWidget();
          Premi(f, k);
          Rilascia(f, k);
        }
        QWidget *verifica = w->findChild<QWidget *>(QStringLiteral("Option2_12"));
        verifica->setFocus();
        Premi(verifica, Qt::Key_Return);
        Rilascia(verifica, Qt::Key_Return);
        QWidget *av = w->focusWidget();
        if (av->objectName() != QStringLiteral("Option2_13")) {
          std::fprintf(stderr, "answer not judged right at operation %d\n", i);
          return 1;
        }
        const auto t0 = Tempo::now();
        Premi(av, Qt::Key_Return);
        avanti.push_back(Microsecondi(t0, Tempo::now()));
        Rilascia(av, Qt::Key_Return);
      }
      // Start again: answer the twentieth and press "Ricomincia".
      w->findChild<QWidget *>(QStringLiteral("Option2_12"))->setFocus();
      for (QChar c : stato.operazione.strRisultato) {
        if (c == u'.') continue;
        QWidget *f = w->focusWidget();
        const int k = c == u',' ? Qt::Key_Comma : Qt::Key_0 + c.digitValue();
        Premi(f, k);
        Rilascia(f, k);
      }
      QWidget *verifica = w->findChild<QWidget *>(QStringLiteral("Option2_12"));
      verifica->setFocus();
      Premi(verifica, Qt::Key_Return);
      Rilascia(verifica, Qt::Key_Return);
      QWidget *ricomincia = w->findChild<QWidget *>(QStringLiteral("optAvviso_1"));
      ricomincia->setFocus();
      Premi(ricomincia, Qt::Key_Return);
      Rilascia(ricomincia, Qt::Key_Return);
      QCoreApplication::processEvents();
    }
    Riporta("Avanti through the window (Enter to shown)", avanti);
  }
  delete w;
  return 0;
}
