#include "ui/programma/programma.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QFontInfo>
#include <QPixmapCache>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/livelli.h"
#include "app/opzioni.h"
#include "ui/common/stile.h"

Programma::Programma(const QString &argv0) {
  stato.livello.strNomeFile = NomeBaseEseguibile(argv0);
  if (stato.livello.strNomeFile.isEmpty()) stato.livello.strNomeFile = QStringLiteral("vornel");
  stampante.impostaSceltaFilePdf([](const QString &suggerito) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Salva come PDF"),
                                        suggerito, QStringLiteral("Documenti PDF (*.pdf)"));
  });
  // The pupils' register comes with the first exercise, from its module.
  finestre.caricaQuadernoAlBisogno(true);
  // The voice that reads aloud comes with its first use, from its module.
  finestre.caricaVoceAlBisogno(true);
  // The options of this machine, from the user's config folder.
  stato.opzioni.macchina = LeggiOpzioni(preferenze);
  finestre.impostaPreferenze(&preferenze);
}

frmInizio *Programma::avvia() {
  return finestre.avvia(ctx);
}

void ImpostaApplicazione() {
  // No display name: the window system would append it to every caption.
  QApplication::setApplicationName(QStringLiteral("vornel"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.vornel"));
  QApplication::setStyle(new StileVornel);
  // Fusion keeps every frame and field face it has drawn, per size and state;
  // the program's own button faces are not cached, and one megabyte holds
  // what is left on screen at any moment (the default is ten).
  QPixmapCache::setCacheLimit(1024);
  // "Courier" is drawn, on screen and on paper, with the face that draws
  // "Courier New" (Liberation Mono, of the same measures). Where URW's fonts are
  // installed, fontconfig would take a second monospaced family for it (Nimbus
  // Mono PS, a Type 1 font whose faces are held whole in memory), and the log
  // would look different from one machine to the next.
  const QFontInfo courierNew{QFont(QStringLiteral("Courier New"))};
  if (courierNew.fixedPitch()) QFont::insertSubstitution(QStringLiteral("Courier"), courierNew.family());
#if defined(__GLIBC__)
  // Pictures and print bands (hundreds of kB each) go back to the system as
  // soon as they are freed. Left to itself, glibc raises this threshold when
  // the first of them is freed, and the following ones are then carved out of
  // the heap, where the space they leave stays resident.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
