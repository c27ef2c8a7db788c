// The register's windows as the program reaches them: from the start window's
// menu by keyboard, through the module loaded at first use.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/stampanteqt.h"
#include "support/doppi.h"
#include "ui/programma/finestre.h"

using namespace Qt::StringLiterals;

namespace {

struct Mondo {
  CartellaTemporanea dir;
  Stato stato;
  OrologioFinto orologio;
  CasualeSistema casuale{9122026};
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  Finestre finestre;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, finestre};
  Mondo() {
    stato.livello.strNomeFile = u"vornel"_s;
    finestre.caricaQuadernoAlBisogno(true);
  }
  ~Mondo() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

// Controls without a name for a screen reader: visible buttons, fields and labels showing text.
QStringList SenzaNome(QWidget *finestra) {
  QStringList muti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(finestra) || w->objectName().startsWith(u"qt_"_s)) continue;
    const auto *l = qobject_cast<QLabel *>(w);
    if (!qobject_cast<QAbstractButton *>(w) && !(l && !l->text().trimmed().isEmpty())) continue;
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) muti << w->objectName();
  }
  return muti;
}

// What the modal window opened by the next key was, once it was up; then it is closed.
struct Modale {
  QString nome, titolo;
  QStringList muti;
};

Modale ApriConTasto(QWidget *finestra, Qt::Key tasto) {
  Modale visto;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return;
    timer.stop();
    visto = {m->objectName(), m->windowTitle(), SenzaNome(m)};
    m->close();
  });
  timer.start();
  QTest::keyClick(finestra, tasto, Qt::AltModifier);
  return visto;
}

}  // namespace

class TestModuloRegistro : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldOpenThePupilsChoiceAndTheDoorFromTheModuleByKeyboard() {
    Mondo m;
    frmInizio *inizio = m.finestre.avvia(m.ctx);
    QVERIFY(Attiva(inizio));
    struct Caso {
      Qt::Key tasto;
      QString nome, titolo;
    };
    for (const Caso &c : {Caso{Qt::Key_U, u"FrmAlunno"_s, u"Chi sei?"_s},
                          Caso{Qt::Key_R, u"FrmPorta"_s, u"Registro dell'insegnante"_s},
                          Caso{Qt::Key_O, u"FrmPorta"_s, u"Opzioni"_s}}) {
      // Offscreen, no window manager gives the keyboard back when a dialog closes.
      inizio->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(inizio));
      const Modale visto = ApriConTasto(inizio, c.tasto);
      QCOMPARE(visto.nome, c.nome);
      QCOMPARE(visto.titolo, c.titolo);
      QVERIFY2(visto.muti.isEmpty(), qPrintable(visto.muti.join(u", "_s)));
    }
    QVERIFY2(m.messaggi.voci.isEmpty(), qPrintable(m.messaggi.testi().join(u'|')));
    // Nothing chosen: the start window shows no pupil and the drill goes as "Senza nome".
    QCOMPARE(m.stato.alunnoScelto.id, 0);
    QCOMPARE(inizio->findChild<QLabel *>(u"lblAlunno"_s)->text(), QString());
  }
};

QTEST_MAIN(TestModuloRegistro)
#include "test_moduloregistro.moc"
