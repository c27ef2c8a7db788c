// Measures how fast the exercise window follows a resize with the type that
// fills the board, against the same with the option off: for 100 sizes from the
// design size up to 1920 x 1080, each frame is the resize, the layout and a
// painting of the whole window (QWidget::grab).
#include "../navigazionemuta.h"
#include "../riporta.h"
#include "generation/famiglie.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "ui/exercise/frmoperativo.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

constexpr int kPassi = 100;
constexpr int kGiri = 5;  // up and down, so each size is met coming from both sides

// Every pass starts from da, the size the window was shown at: a pass that
// started where the one before ended (the board, after an odd number of
// runs) would only resize the window to the size it already has.
std::vector<double> Misura(FrmOperativo *w, const QSize &da) {
  const QSize a(1920, 1080);
  w->resize(da);
  QCoreApplication::sendPostedEvents();
  std::vector<double> fotogrammi;
  for (int g = 0; g < kGiri; ++g) {
    for (int i = 0; i < kPassi; ++i) {
      const int j = g % 2 == 0 ? i : kPassi - 1 - i;
      const double f = j / double(kPassi - 1);
      const QSize s(da.width() + static_cast<int>(f * (a.width() - da.width())),
                    da.height() + static_cast<int>(f * (a.height() - da.height())));
      const auto t0 = Tempo::now();
      w->resize(s);
      QCoreApplication::sendPostedEvents();  // the resize and layout requests
      // The whole window drawn, children and all, as a real repaint would draw it;
      // unlike repaint() it draws whether or not the server shows the window yet.
      const QPixmap quadro = w->grab();
      fotogrammi.push_back(Microsecondi(t0, Tempo::now()));
      if (w->size() != s) {
        std::fprintf(stderr, "the window is %dx%d, not %dx%d\n", w->width(), w->height(), s.width(), s.height());
        std::exit(1);
      }
    }
  }
  return fotogrammi;
}

void Scrivi(const char *cosa, std::vector<double> v) {
  const double media = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
  Riporta(cosa, v);
  std::printf("%-48s mean %8.2f ms  worst %8.2f ms  (goal < 16 ms)\n", cosa, media / 1000.0,
              *std::max_element(v.begin(), v.end()) / 1000.0);
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

  for (bool grandi : {false, true}) {
    stato.opzioni.macchina.caratteriGrandi = grandi;
    auto *w = new FrmOperativo(ctx);
    w->show();
    QCoreApplication::processEvents();
    const QSize progetto = w->size();
    Misura(w, progetto);  // once to warm the font and glyph caches
    Scrivi(grandi ? "resize frame, type that fills the board" : "resize frame, option off",
           Misura(w, progetto));
    const auto *operazione = w->findChild<QWidget *>(QStringLiteral("Label4"));
    std::printf("%-48s %.1f pt at %dx%d\n", "  the operation's type", operazione->font().pointSizeF(), w->width(),
                w->height());
    w->close();
    delete w;
    QCoreApplication::processEvents();
  }
  return 0;
}
