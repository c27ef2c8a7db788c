#include "exercise/copione.h"
#include "start/programmaprova.h"
#include "support/doppi.h"
#include "support/porta.h"
#include "ui/certificate/frmattestato.h"
#include "ui/common/contrasto.h"
#include "ui/common/gruppoopzioni.h"
#include "ui/common/stile.h"
#include "ui/common/vistatabellaunita.h"
#include "ui/info/frmautore.h"
#include "ui/livello/frmlivello.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The colour a widget's text is painted on: its own when it fills its
// background, else that of the nearest parent that does.
QColor SfondoSotto(const QWidget *w, QPalette::ColorGroup g) {
  for (const QWidget *a = w->parentWidget(); a; a = a->parentWidget())
    if (a->autoFillBackground() || a->isWindow()) return a->palette().color(g, QPalette::Window);
  return w->palette().color(g, QPalette::Window);
}

// The same as designed: the colour under w in the design, whether or not the window shows it.
QColor SfondoProgettoSotto(const QWidget *w) {
  for (const QWidget *a = w->parentWidget(); a; a = a->parentWidget())
    if (a->autoFillBackground() || a->isWindow())
      return contrasto::TavolozzaProgetto(a).color(QPalette::Window);
  return contrasto::TavolozzaProgetto(w).color(QPalette::Window);
}

// A label without text that fills a colour of its own (the marker beside a
// chosen option) is a sign when the design shows it: its colour stands out
// from what lies under it by the 3 : 1 WCAG asks of a graphical object.
bool SegnoMostrato(const QWidget *w) {
  const auto *l = qobject_cast<const QLabel *>(w);
  if (!l || !l->text().isEmpty() || !l->autoFillBackground()) return false;
  return contrasto::Rapporto(contrasto::TavolozzaProgetto(w).color(QPalette::Window),
                             SfondoProgettoSotto(w)) >= 3.0;
}

struct Coppia {
  QColor testo, sfondo;
};

// The text/background pair of a control as it is painted; none for what shows no text.
std::optional<Coppia> CoppiaDi(const QWidget *w) {
  const QPalette::ColorGroup g = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
  const QPalette &p = w->palette();
  if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w) ||
      qobject_cast<const QGroupBox *>(w))
    return Coppia{p.color(g, QPalette::WindowText), SfondoSotto(w, g)};
  if (qobject_cast<const QAbstractButton *>(w)) return Coppia{p.color(g, QPalette::ButtonText), p.color(g, QPalette::Button)};
  if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractItemView *>(w) ||
      qobject_cast<const QTextEdit *>(w))
    return Coppia{p.color(g, QPalette::Text), p.color(g, QPalette::Base)};
  if (qobject_cast<const QMenuBar *>(w)) return Coppia{p.color(g, QPalette::ButtonText), p.color(g, QPalette::Window)};
  if (qobject_cast<const QLabel *>(w))
    return Coppia{p.color(g, QPalette::WindowText),
                  w->autoFillBackground() ? p.color(g, QPalette::Window) : SfondoSotto(w, g)};
  return std::nullopt;
}

// Every visible control of the window whose text falls below the minimum, with its ratio.
QStringList SottoIlMinimo(QWidget *finestra) {
  QStringList sotto;
  QList<QWidget *> tutti = finestra->findChildren<QWidget *>();
  for (QWidget *w : tutti) {
    if (!w->isVisibleTo(finestra)) continue;
    // What a control paints itself: every text with the colour under it.
    if (const auto *t = qobject_cast<const VistaTabellaUnita *>(w)) {
      for (const VistaTabellaUnita::Scritta &x : t->scritte())
        if (const double r = contrasto::Rapporto(x.testo, x.sfondo); r < contrasto::kMinimo)
          sotto << u"%1/%2 %3 %4 on %5: %6"_s.arg(finestra->objectName(), w->objectName(), x.cosa, x.testo.name(),
                                                  x.sfondo.name())
                       .arg(r, 0, 'f', 2);
      continue;
    }
    if (const auto *v = qobject_cast<const VistaAttestato *>(w)) {
      for (const VistaAttestato::Scritta &x : v->scritte())
        if (const double r = contrasto::Rapporto(x.testo, x.sfondo); r < contrasto::kMinimo)
          sotto << u"%1/%2 %3 %4 on %5: %6"_s.arg(finestra->objectName(), w->objectName(), x.cosa, x.testo.name(),
                                                  x.sfondo.name())
                       .arg(r, 0, 'f', 2);
      continue;
    }
    // A sign the design shows must stand out as a text does: its colour on what lies under it.
    if (SegnoMostrato(w)) {
      const QPalette::ColorGroup g = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
      const QColor segno = w->palette().color(g, QPalette::Window), fondo = SfondoSotto(w, g);
      if (const double r = contrasto::Rapporto(segno, fondo); r < contrasto::kMinimo)
        sotto << u"%1/%2 sign %3 on %4: %5"_s
                     .arg(finestra->objectName(), w->objectName(), segno.name(), fondo.name())
                     .arg(r, 0, 'f', 2);
      continue;
    }
    const auto c = CoppiaDi(w);
    if (!c) continue;
    const double r = contrasto::Rapporto(c->testo, c->sfondo);
    if (r < contrasto::kMinimo)
      sotto << u"%1/%2 %3 on %4: %5"_s.arg(finestra->objectName(), w->objectName(), c->testo.name(), c->sfondo.name())
                   .arg(r, 0, 'f', 2);
  }
  return sotto;
}

}  // namespace

class TestContrasto : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldMeasureContrastAsWcagDoes_data();
  void shouldMeasureContrastAsWcagDoes();
  void shouldDarkenEveryTextColourToTheMinimum_data();
  void shouldDarkenEveryTextColourToTheMinimum();
  void shouldReachSevenToOneInEveryControlOfEveryWindow();
  void shouldDrawTheFocusAsAThickBorder();
  void shouldPaintTheCertificateInStrongContrastOnScreenOnly_data();
  void shouldPaintTheCertificateInStrongContrastOnScreenOnly();
  void shouldGiveTheWindowsBackTheirDesignWhenSwitchedOff();
};

void TestContrasto::shouldMeasureContrastAsWcagDoes_data() {
  QTest::addColumn<QColor>("a");
  QTest::addColumn<QColor>("b");
  QTest::addColumn<double>("rapporto");
  QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
  QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
  QTest::newRow("same colour") << QColor(255, 224, 192) << QColor(255, 224, 192) << 1.0;
  QTest::newRow("#767676 on white") << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
  QTest::newRow("#595959 on white") << QColor(0x59, 0x59, 0x59) << QColor(Qt::white) << 7.0;
  QTest::newRow("pure red on white") << QColor(255, 0, 0) << QColor(Qt::white) << 4.0;
  QTest::newRow("blue on yellow") << QColor(0, 0, 255) << QColor(255, 255, 0) << 8.0;
}

void TestContrasto::shouldMeasureContrastAsWcagDoes() {
  QFETCH(QColor, a);
  QFETCH(QColor, b);
  QFETCH(double, rapporto);
  QVERIFY2(std::abs(contrasto::Rapporto(a, b) - rapporto) < 0.01, qPrintable(QString::number(contrasto::Rapporto(a, b))));
}

void TestContrasto::shouldDarkenEveryTextColourToTheMinimum_data() {
  QTest::addColumn<QColor>("colore");
  for (const QColor &c : {QColor(40, 30, 20), QColor(0, 120, 40), QColor(192, 0, 0), QColor(0, 0, 192),
                          QColor(255, 0, 0), QColor(255, 255, 255), QColor(255, 224, 192), QColor(175, 165, 155)})
    QTest::newRow(qPrintable(c.name())) << c;
}

void TestContrasto::shouldDarkenEveryTextColourToTheMinimum() {
  QFETCH(QColor, colore);
  const QColor t = contrasto::Testo(colore);
  for (const QColor &sfondo : {contrasto::Sfondo(QColor(255, 224, 192)), contrasto::Sfondo(QColor(255, 192, 128))})
    QVERIFY(contrasto::Rapporto(t, sfondo) >= contrasto::kMinimo);
  // A colour dark enough already is left as it is; a hue stays the hue it was.
  if (contrasto::Rapporto(colore, QColor(255, 255, 0)) >= contrasto::kMinimo + 0.3) QCOMPARE(t, colore);
  if (colore.saturation() > 0) QVERIFY2(std::abs(t.hue() - colore.hue()) <= 4, qPrintable(t.name()));
}

void TestContrasto::shouldReachSevenToOneInEveryControlOfEveryWindow() {
  ProgrammaDiProva p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  // The design itself falls short somewhere: the measure tells the two apart.
  QVERIFY(!SottoIlMinimo(inizio).isEmpty());

  p.b.stato.opzioni.macchina.altoContrasto = true;
  p.finestre.opzioniCambiate();
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option2_0"_s), Qt::LeftButton);
  QStringList sotto = SottoIlMinimo(inizio);
  p.finestre.apriEsercizio();
  QTRY_VERIFY(p.finestre.esercizio() && p.finestre.esercizio()->isVisible());
  FrmOperativo *e = p.finestre.esercizio();
  sotto << SottoIlMinimo(e);
  // A wrong answer: the verdict in red, the help frame, then the program stepping in.
  QTest::mouseClick(e->findChild<QPushButton *>(u"Option2_9"_s), Qt::LeftButton);
  QTest::mouseClick(e->findChild<QPushButton *>(u"Option2_12"_s), Qt::LeftButton);
  sotto << SottoIlMinimo(e);
  QTest::mouseClick(e->findChild<QPushButton *>(u"Option3_0"_s), Qt::LeftButton);
  auto *tabella = e->findChild<VistaTabellaUnita *>(u"tabellaUnita"_s);
  QVERIFY(tabella->isVisible());
  sotto << SottoIlMinimo(e);
  // The table paints with the colours it tells: the paper and the ink of strong contrast, none of the design's.
  {
    const QImage img = tabella->grab().toImage();
    QSet<QRgb> visti;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) visti.insert(img.pixel(x, y) & 0xffffff);
    const VistaTabellaUnita::Colori hc = tabella->colori(), progetto = VistaTabellaUnita::coloriProgetto();
    QCOMPARE(hc.carta, VistaTabellaUnita::coloriContrasto().carta);
    for (const QColor &c : {hc.carta, hc.inchiostro, hc.marcata, hc.segnaposto})
      QVERIFY2(visti.contains(c.rgb() & 0xffffff), qPrintable(c.name()));
    for (const QColor &c : {progetto.carta, progetto.segnaposto, progetto.marcata})
      QVERIFY2(!visti.contains(c.rgb() & 0xffffff), qPrintable(c.name()));
  }
  // For a look by eye: VORNEL_SCHERMATE names a folder for the pictures.
  if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty()) {
    QVERIFY(e->grab().save(cartella + u"/esercizio-contrasto.png"_s));
    QVERIFY(inizio->grab().save(cartella + u"/inizio-contrasto.png"_s));
  }
  p.finestre.apriStampaEsercizio();
  QTRY_VERIFY(p.finestre.stampaEsercizio() && p.finestre.stampaEsercizio()->isVisible());
  sotto << SottoIlMinimo(p.finestre.stampaEsercizio());
  p.finestre.apriAttestato();
  sotto << SottoIlMinimo(p.finestre.attestato());
  p.finestre.apriSchede();
  QTRY_VERIFY(p.finestre.schede() && p.finestre.schede()->isVisible());
  sotto << SottoIlMinimo(p.finestre.schede());
  // The same window with its choices marked and a sheet in the preview.
  {
    QWidget *schede = p.finestre.schede();
    for (const QString &nome : {u"Option1_0"_s, u"Option2_0"_s}) {
      auto *b = schede->findChild<QWidget *>(nome);
      QVERIFY(b);
      QTest::mousePress(b, Qt::LeftButton);
      QTest::mouseRelease(b, Qt::LeftButton);
    }
    auto *visualizza = schede->findChild<QWidget *>(u"CmdVisualizzaSchedaAlunni"_s);
    QVERIFY(visualizza && visualizza->isEnabled());
    QTest::mouseClick(visualizza, Qt::LeftButton);
    // The markers of the two choices are measured as the signs they are.
    for (const QString &nome : {u"Label3_0"_s, u"Label4_0"_s})
      QVERIFY2(SegnoMostrato(schede->findChild<QLabel *>(nome)), qPrintable(nome));
    auto *riga = schede->findChild<QLabel *>(u"LblOp_1"_s);
    QVERIFY(riga && !riga->text().trimmed().isEmpty());
    sotto << SottoIlMinimo(schede);
  }
  p.finestre.apriSceltaStampante();
  sotto << SottoIlMinimo(p.finestre.sceltaStampante());
  p.finestre.apriIstruzioni();
  QTRY_VERIFY(p.finestre.istruzioni() && p.finestre.istruzioni()->isVisible());
  sotto << SottoIlMinimo(p.finestre.istruzioni());
  RegistroConPorta(p.finestre, p.dir.percorso());
  {
    AllaPorta porta(u"2468"_s);
    p.finestre.apriOpzioni();
  }
  QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
  sotto << SottoIlMinimo(p.finestre.opzioni());
  // The two modal windows, built as Finestre builds them.
  frmAutore autore(inizio);
  contrasto::Applica(&autore, true);
  autore.show();
  sotto << SottoIlMinimo(&autore);
  FrmLivello livello(1, 1, inizio);
  contrasto::Applica(&livello, true);
  livello.show();
  sotto << SottoIlMinimo(&livello);
  QCOMPARE(sotto, QStringList());
}

void TestContrasto::shouldDrawTheFocusAsAThickBorder() {
  StileVornel stile;  // the program's style, as main sets it; it outlives the windows
  ProgrammaDiProva p;
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  auto *vai = inizio->findChild<QPushButton *>(u"Option1_0"_s);
  vai->setStyle(&stile);
  vai->setFocus();
  QTRY_VERIFY(vai->hasFocus());
  // Just inside the dotted focus rectangle of the design, a few pixels from the edge.
  const QPoint dentro(7, vai->height() / 2);
  const QColor prima = vai->grab().toImage().pixelColor(dentro);
  p.b.stato.opzioni.macchina.altoContrasto = true;
  p.finestre.opzioniCambiate();
  const QImage dopo = vai->grab().toImage();
  const QColor testo = vai->palette().color(QPalette::ButtonText);
  QCOMPARE(dopo.pixelColor(dentro), testo);
  QVERIFY(prima != testo);
  QCOMPARE(vai->palette().color(QPalette::Button), QColor(255, 255, 0));
  QVERIFY(contrasto::Rapporto(testo, QColor(255, 255, 0)) >= contrasto::kMinimo);
}

namespace {

QSet<QRgb> ColoriVisti(const QImage &img) {
  QSet<QRgb> visti;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) visti.insert(img.pixel(x, y) & 0xffffff);
  return visti;
}

}  // namespace

void TestContrasto::shouldPaintTheCertificateInStrongContrastOnScreenOnly_data() {
  QTest::addColumn<bool>("primaDiAprire");  // the option set before the window opens
  QTest::addColumn<bool>("dopo");           // ... and after, while it is open
  QTest::addColumn<bool>("forte");          // what the picture must show
  QTest::newRow("design") << false << false << false;
  QTest::newRow("opened in strong contrast") << true << true << true;
  QTest::newRow("switched on while open") << false << true << true;
  QTest::newRow("switched off while open") << true << false << false;
}

void TestContrasto::shouldPaintTheCertificateInStrongContrastOnScreenOnly() {
  QFETCH(bool, primaDiAprire);
  QFETCH(bool, dopo);
  QFETCH(bool, forte);
  ProgrammaDiProva p;
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  p.b.stato.esercizio.strNomeAlunno = u"Lucia"_s;
  p.b.stato.esercizio.intEsatte = 9;
  p.b.stato.esercizio.intOperazione = 10;
  p.b.stato.opzioni.macchina.altoContrasto = primaDiAprire;
  p.finestre.opzioniCambiate();
  p.finestre.apriAttestato();
  FrmAttestato *a = p.finestre.attestato();
  QVERIFY(a && a->isVisible() && a->disegno().finito());
  // The paper as the design prints it, the window just opened.
  const QImage stampata = a->disegno().fascia(96);
  p.b.stato.opzioni.macchina.altoContrasto = dopo;
  p.finestre.opzioniCambiate();
  auto *vista = a->findChild<VistaAttestato *>(u"Picture1"_s);
  QVERIFY(vista);

  const DisegnoAttestato::Colori atteso =
      forte ? DisegnoAttestato::coloriContrasto() : DisegnoAttestato::coloriProgetto();
  const DisegnoAttestato::Colori altro =
      forte ? DisegnoAttestato::coloriProgetto() : DisegnoAttestato::coloriContrasto();
  QCOMPARE(vista->colori().rosso, atteso.rosso);
  QCOMPARE(vista->colori().nero, atteso.nero);

  // Every row it writes: in strong contrast each reaches the minimum, while the
  // design's red falls short, so the measure tells the two apart.
  const QList<VistaAttestato::Scritta> scritte = vista->scritte();
  qsizetype conTesto = 0;
  for (const RigaAttestato &r : a->disegno().righe()) conTesto += r.testo.isEmpty() ? 0 : 1;
  QVERIFY(conTesto >= 8);
  QCOMPARE(scritte.size(), conTesto);
  QStringList sotto;
  for (const VistaAttestato::Scritta &x : scritte) {
    QCOMPARE(x.sfondo, atteso.carta);
    if (contrasto::Rapporto(x.testo, x.sfondo) < contrasto::kMinimo) sotto << x.cosa;
  }
  if (forte)
    QCOMPARE(sotto, QStringList());
  else
    QVERIFY(sotto.contains(u"DIPLOMA DI MERITO"_s));

  // What is on screen is painted in the colours it tells, none of the others'.
  const QImage schermo = vista->grab().toImage();
  const QSet<QRgb> visti = ColoriVisti(schermo);
  for (const QColor &c : {atteso.carta, atteso.nero, atteso.rosso, atteso.oro})
    QVERIFY2(visti.contains(c.rgb() & 0xffffff), qPrintable(c.name()));
  for (const QColor &c : {altro.rosso, altro.oro})
    QVERIFY2(!visti.contains(c.rgb() & 0xffffff), qPrintable(c.name()));
  QCOMPARE(schermo.convertToFormat(QImage::Format_RGB32),
           a->disegno().immagine(atteso).convertToFormat(QImage::Format_RGB32));

  // The printout keeps the design whatever the screen shows.
  QCOMPARE(a->disegno().fascia(96), stampata);
  QVERIFY(ColoriVisti(stampata).contains(DisegnoAttestato::coloriProgetto().rosso.rgb() & 0xffffff));
}

void TestContrasto::shouldGiveTheWindowsBackTheirDesignWhenSwitchedOff() {
  ProgrammaDiProva p;
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  p.finestre.apriEsercizio();
  QTRY_VERIFY(p.finestre.esercizio() && p.finestre.esercizio()->isVisible());
  FrmOperativo *e = p.finestre.esercizio();
  QHash<QString, QPalette> progetto;
  const auto tavolozze = [](QWidget *f) {
    QHash<QString, QPalette> t;
    t.insert(f->objectName(), f->palette());
    for (QWidget *w : f->findChildren<QWidget *>()) t.insert(w->objectName(), w->palette());
    return t;
  };
  progetto = tavolozze(e);
  p.b.stato.opzioni.macchina.altoContrasto = true;
  p.finestre.opzioniCambiate();
  QVERIFY(tavolozze(e) != progetto);
  p.b.stato.opzioni.macchina.altoContrasto = false;
  p.finestre.opzioniCambiate();
  const QHash<QString, QPalette> dopo = tavolozze(e);
  QStringList diverse;
  for (auto it = progetto.cbegin(); it != progetto.cend(); ++it)
    if (dopo.value(it.key()) != it.value()) diverse << it.key();
  QCOMPARE(diverse, QStringList());
}

QTEST_MAIN(TestContrasto)
#include "test_contrasto.moc"
