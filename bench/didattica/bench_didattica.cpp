// Measures the help that teaches: the classification of a wrong answer and the
// description of the unit table, for every operation of every family and both
// digit settings, and the exercise window's repaint with the table shown.
#include "../navigazionemuta.h"
#include "../riporta.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "didattica/sbaglio.h"
#include "didattica/tabellaunita.h"
#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/exercise/frmoperativo.h"

namespace {

struct Caso {
  Operazione op;
  FamigliaUnita famiglia;
};

// Every operation the generator can make, in every family and both digit settings.
std::vector<Caso> OgniOperazione() {
  std::vector<Caso> tutti;
  for (int l = 1; l <= kFamiglie; ++l) {
    const FamigliaUnita f = *TabellaFamiglia(l);
    for (int massimo : {9, 19}) {
      for (int caso = 1; caso <= 12; ++caso) {
        const CoppiaSlot s = SlotDelCaso(caso);
        if (f.intNumeroUnita == 3 && (s.primo == 1 || s.secondo == 1)) continue;
        for (int v1 = 1; v1 <= massimo; ++v1)
          for (int v2 = 1; v2 <= massimo; ++v2)
            for (int a = f.intPrimaScelta; a <= 4; ++a) {
              if (v1 == 10 || v2 == 10) continue;
              Operazione op;
              op.intCaso = static_cast<qint16>(caso);
              op.lngValore1 = v1;
              op.lngValore2 = v2;
              op.strAddendo1 = QString::number(v1) + f.simbolo(s.primo);
              op.strAddendo2 = QString::number(v2) + f.simbolo(s.secondo);
              op.intUnitaRichiesta = static_cast<qint16>(a);
              op.strSimboloRichiesto = f.simbolo(a);
              tutti.push_back({op, f});
            }
      }
    }
  }
  return tutti;
}

void Premi(QWidget *w, int tasto) {
  QKeyEvent giu(QEvent::KeyPress, tasto, Qt::NoModifier);
  QApplication::sendEvent(w, &giu);
  QKeyEvent su(QEvent::KeyRelease, tasto, Qt::NoModifier);
  QApplication::sendEvent(w, &su);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const std::vector<Caso> tutti = OgniOperazione();
  std::printf("operations: %zu\n", tutti.size());
  // Answers of three kinds: the plain sum (the first rule), a digit too many
  // (mostly every rule tried before the neutral hint: the slowest), the whole
  // part times ten.
  std::vector<double> somma, altro, virgola, tabella;
  somma.reserve(tutti.size());
  altro.reserve(tutti.size());
  virgola.reserve(tutti.size());
  tabella.reserve(tutti.size());
  long controllo = 0;
  for (const Caso &c : tutti) {
    const QString s = QString::number(c.op.lngValore1 + c.op.lngValore2);
    const QString intera = QString::number(RisultatoEsatto(c.op) / 1000000);  // the result's whole part
    const QString cifra = intera + u'7';
    const QString spostata = intera + u'0';
    auto t0 = Tempo::now();
    controllo += static_cast<int>(ClassificaSbaglio(c.op, c.famiglia, Richiesta::Numero, s).sbaglio);
    auto t1 = Tempo::now();
    somma.push_back(Microsecondi(t0, t1));
    t0 = Tempo::now();
    controllo += static_cast<int>(ClassificaSbaglio(c.op, c.famiglia, Richiesta::Numero, cifra).sbaglio);
    t1 = Tempo::now();
    altro.push_back(Microsecondi(t0, t1));
    t0 = Tempo::now();
    controllo += static_cast<int>(ClassificaSbaglio(c.op, c.famiglia, Richiesta::Numero, spostata).sbaglio);
    t1 = Tempo::now();
    virgola.push_back(Microsecondi(t0, t1));
    t0 = Tempo::now();
    const TabellaUnita t = TabellaOperazione(c.op, c.famiglia);
    t1 = Tempo::now();
    controllo += static_cast<long>(t.colonne.size());
    tabella.push_back(Microsecondi(t0, t1));
  }
  Riporta("classification: the plain sum", somma);
  Riporta("classification: a digit too many (all rules)", altro);
  Riporta("classification: the whole part times ten", virgola);
  Riporta("unit table description", tabella);

  // The window with the table shown: a wrong answer, "SI", then repaints.
  Stato stato;
  ApplicaFamiglia(stato.famiglia, 6);
  stato.impostazioni.intCosaCalcolare = 1;
  stato.impostazioni.intValoreMassimo = 19;
  OrologioSistema orologio;
  CasualeSistema casuale(12345);
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
  auto *w = new FrmOperativo(ctx);
  w->show();
  // Painting an unexposed window draws nothing: wait for the server to show it.
  for (int i = 0; i < 500 && !(w->windowHandle() && w->windowHandle()->isExposed()); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  if (!w->windowHandle()->isExposed())
    std::fprintf(stderr, "the window was never shown: repaints draw nothing\n");
  auto *vista = w->findChild<VistaTabellaUnita *>(QStringLiteral("tabellaUnita"));
  std::vector<double> finestra, sola, intera;
  const auto sbagliaESi = [&] {
    const int cifra = stato.operazione.strRisultato == QStringLiteral("3") ? Qt::Key_4 : Qt::Key_3;
    Premi(w->focusWidget(), cifra);
    Premi(w->focusWidget(), Qt::Key_Return);  // "Verifica"
    Premi(w->focusWidget(), Qt::Key_S);
    Premi(w->focusWidget(), Qt::Key_Return);  // "SI"
  };
  for (int giro = 0; giro < 40; ++giro) {
    // The twentieth operation ends under the end frame, where the table gives way: start again.
    if (stato.esercizio.intOperazione >= MotoreEsercizio::kOperazioni) {
      sbagliaESi();
      w->findChild<QWidget *>(QStringLiteral("optAvviso_1"))->setFocus();
      Premi(w->focusWidget(), Qt::Key_Return);  // "Ricomincia"
    }
    sbagliaESi();
    if (!vista->isVisible()) {
      std::fprintf(stderr, "the table is not shown at round %d\n", giro);
      return 1;
    }
    for (int i = 0; i < 50; ++i) {
      const auto t0 = Tempo::now();
      w->repaint();
      finestra.push_back(Microsecondi(t0, Tempo::now()));
      const auto t2 = Tempo::now();
      vista->repaint();
      sola.push_back(Microsecondi(t2, Tempo::now()));
      if (i % 10 == 0) {
        // Every control drawn anew into a picture: the whole window, nothing kept.
        const auto t4 = Tempo::now();
        const QPixmap foto = w->grab();
        intera.push_back(Microsecondi(t4, Tempo::now()));
        if (foto.isNull()) return 1;
      }
    }
    Premi(w->focusWidget(), Qt::Key_Return);  // "Avanti"
  }
  Riporta("window repaint with the table shown", finestra);
  Riporta("unit table widget repaint", sola);
  Riporta("whole window drawn into a picture, table shown", intera);
  delete w;
  return controllo > 0 ? 0 : 1;
}
