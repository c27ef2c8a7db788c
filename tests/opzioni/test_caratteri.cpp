#include "exercise/copione.h"
#include "start/programmaprova.h"
#include "support/porta.h"
#include "support/doppi.h"
#include "ui/common/finestra.h"
#include "ui/exercise/disegnooperativo.h"
#include "ui/info/frmautore.h"
#include "ui/livello/frmlivello.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Every visible control whose text, drawn in its font, doesn't fit inside it.
QStringList Stretti(QWidget *finestra) {
  QStringList stretti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(finestra) || w->objectName().isEmpty()) continue;
    QString testo;
    QRect spazio = w->contentsRect();
    bool aCapo = false;
    if (const auto *l = qobject_cast<QLabel *>(w)) {
      testo = l->text();
      aCapo = l->wordWrap();
      const int m = l->margin();
      spazio.adjust(m, m, -m, -m);
    } else if (const auto *b = qobject_cast<QAbstractButton *>(w)) {
      testo = b->text();
      spazio.adjust(2, 2, -2, -2);  // the button's edge
    }
    testo.remove(u'&');
    if (testo.trimmed().isEmpty() || Qt::mightBeRichText(testo)) continue;
    const QFontMetrics fm(w->font());
    const QSize serve = aCapo ? fm.boundingRect(QRect(QPoint(), QSize(spazio.width(), 100000)), Qt::TextWordWrap, testo).size()
                              : QSize(fm.horizontalAdvance(testo), fm.height());
    if (serve.width() > spazio.width() || serve.height() > spazio.height())
      stretti << u"%1/%2 \"%3\" %4x%5 in %6x%7"_s.arg(finestra->objectName(), w->objectName(), testo)
                     .arg(serve.width()).arg(serve.height()).arg(spazio.width()).arg(spazio.height());
  }
  return stretti;
}

// The share of a control's pixels that differ from its background: the ink
// of its text, as drawn on screen.
double Inchiostro(QWidget *w) {
  const QImage immagine = w->grab().toImage();
  const QColor fondo = w->palette().color(w->backgroundRole());
  qsizetype scritti = 0;
  for (int y = 0; y < immagine.height(); ++y)
    for (int x = 0; x < immagine.width(); ++x) {
      const QColor c = immagine.pixelColor(x, y);
      if (std::abs(c.red() - fondo.red()) + std::abs(c.green() - fondo.green()) + std::abs(c.blue() - fondo.blue()) > 96)
        ++scritti;
    }
  return static_cast<double>(scritti) / std::max<qsizetype>(1, qsizetype(immagine.width()) * immagine.height());
}

// Sets the window's client area to s times its design size; a window of the
// program's other kind (a dialog laid out by Qt) is made s times its own size.
void Scala(QWidget *w, double s) {
  if (auto *f = qobject_cast<Finestra *>(w)) {
    const int menu = f->menuWidget() ? f->menuWidget()->height() : 0;
    f->resize(static_cast<int>(f->clientProgetto().width() * s),
              static_cast<int>(f->clientProgetto().height() * s) + menu);
  } else {
    w->resize((w->size() * s).expandedTo(w->minimumSizeHint()));
  }
  QCoreApplication::processEvents();
}

// A modal window opened by a key on the start window: while it is up, at is
// called on it, then it is closed. Empty when no modal window came up.
QStringList ConModale(QWidget *inizio, Qt::Key tasto, const std::function<QStringList(QWidget *)> &at,
                      QString *nome) {
  QStringList esito;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return;
    timer.stop();
    *nome = m->objectName();
    esito = at(m);
    m->close();
  });
  timer.start();
  QTest::keyClick(inizio, tasto, Qt::AltModifier);
  return esito;
}

}  // namespace

class TestCaratteri : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void shouldFitEveryTextAtEverySize_data();
  void shouldFitEveryTextAtEverySize();
  void shouldGrowTheOperationWithTheBoard_data();
  void shouldGrowTheOperationWithTheBoard();
  void shouldLeaveTheTypeAloneWithTheOptionOff();
};

void TestCaratteri::shouldFitEveryTextAtEverySize_data() {
  QTest::addColumn<QString>("finestra");
  QTest::addColumn<double>("scala");
  const QStringList finestre = QStringLiteral(
                                  "inizio esercizio esercizioSbagliato esercizioTabella esercizioSimbolo "
                                  "esercizioFine esercizioTabellaAMano stampaEsercizio attestato schede "
                                  "sceltaStampante autore livello istruzioni opzioni alunno porta")
                                  .split(u' ');
  for (const QString &f : finestre)
    for (double s : {1.0, 2.0, 3.0}) QTest::addRow("%s at %gx", qPrintable(f), s) << f << s;
  // The largest board: four times the design across, a little over three down.
  QTest::addRow("esercizio on 3840x2160") << u"esercizio"_s << 0.0;
  QTest::addRow("esercizioTabella on 3840x2160") << u"esercizioTabella"_s << 0.0;
  QTest::addRow("inizio on 3840x2160") << u"inizio"_s << 0.0;
}

void TestCaratteri::shouldFitEveryTextAtEverySize() {
  QFETCH(QString, finestra);
  QFETCH(double, scala);
  ProgrammaDiProva p;
  p.finestre.caricaQuadernoAlBisogno(true);
  Operazione4(p.b.casuale, 1, 3, 5, 4);
  p.b.stato.opzioni.macchina.caratteriGrandi = true;
  p.b.stato.opzioni.macchina.tabellaAMano = finestra == u"esercizioTabellaAMano"_s;
  frmInizio *inizio = p.finestre.avvia(p.ctx);
  QVERIFY(QTest::qWaitForWindowActive(inizio));
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option1_0"_s), Qt::LeftButton);
  QTest::mousePress(inizio->findChild<QPushButton *>(u"Option2_0"_s), Qt::LeftButton);
  const auto misura = [&](QWidget *f) {
    if (scala > 0) Scala(f, scala);
    else f->resize(3840, 2160);
    QCoreApplication::processEvents();
    // The type grows where the places do (the printer choice keeps both, as designed).
    if (auto *fin = qobject_cast<Finestra *>(f); fin && fin->layout().conta() > 0 && scala > 0)
      QCOMPARE(fin->layout().fattoreCaratteri(), scala);
    QStringList stretti = Stretti(f);
    // The design itself draws the two worksheet buttons' captions a few pixels
    // wider than the buttons (touching their edges) at design size; larger, they fit.
    if (scala == 1.0 && finestra == u"schede"_s) {
      QCOMPARE(stretti.size(), 2);
      QVERIFY(stretti.at(0).contains(u"CmdVisualizzaScheda"_s) && stretti.at(1).contains(u"CmdVisualizzaScheda"_s));
      stretti.clear();
    }
    QVERIFY2(stretti.isEmpty(), qPrintable(stretti.join(u"; "_s)));
  };
  QWidget *f = inizio;
  if (finestra.startsWith(u"esercizio"_s)) {
    if (finestra == u"esercizioSimbolo"_s) QTest::mousePress(inizio->findChild<QPushButton *>(u"Option1_1"_s), Qt::LeftButton);
    p.finestre.apriEsercizio();
    QTRY_VERIFY(p.finestre.esercizio() && p.finestre.esercizio()->isVisible());
    FrmOperativo *e = p.finestre.esercizio();
    f = e;
    const auto premi = [e](const char *nome) {
      auto *b = e->findChild<QPushButton *>(QString::fromLatin1(nome));
      QVERIFY2(b && b->isVisible() && b->isEnabled(), nome);
      QTest::mouseClick(b, Qt::LeftButton);
    };
    // A wrong answer: the verdict and the sentence, "Ti aiuto ?"; then the
    // program steps in with the correction and the worked table.
    if (finestra == u"esercizioSbagliato"_s || finestra == u"esercizioTabella"_s) {
      premi("Option2_9");
      premi("Option2_12");
      QVERIFY(e->findChild<QWidget *>(u"fraAiuto"_s)->isVisible());
    }
    if (finestra == u"esercizioTabella"_s) {
      premi("Option3_0");
      QVERIFY(e->findChild<QWidget *>(u"tabellaUnita"_s)->isVisible());
      QVERIFY(!e->findChild<QLabel *>(u"lblCorrezione"_s)->text().isEmpty());
    }
    if (finestra == u"esercizioSimbolo"_s) {
      QVERIFY(e->findChild<QWidget *>(u"fraSimbolo"_s)->isVisible());
      premi("Option1_2");
    }
    // The end of the exercise: the last frame, "Ricomincia" and "Stampa".
    if (finestra == u"esercizioFine"_s) {
      for (int i = 0; i < 20; ++i) {
        premi("Option2_9");
        premi("Option2_12");
        premi("Option3_0");
        if (i < 19) premi("Option2_13");
      }
      QVERIFY(e->findChild<QWidget *>(u"fraAvviso"_s)->isVisible());
    }
    if (finestra == u"esercizioTabellaAMano"_s) QVERIFY(e->findChild<QWidget *>(u"tabellaAMano"_s)->isVisible());
  } else if (finestra == u"stampaEsercizio"_s) {
    p.finestre.apriStampaEsercizio();
    QTRY_VERIFY(p.finestre.stampaEsercizio() && p.finestre.stampaEsercizio()->isVisible());
    f = p.finestre.stampaEsercizio();
  } else if (finestra == u"attestato"_s) {
    p.finestre.apriAttestato();
    f = p.finestre.attestato();
  } else if (finestra == u"schede"_s) {
    p.finestre.apriSchede();
    QTRY_VERIFY(p.finestre.schede() && p.finestre.schede()->isVisible());
    f = p.finestre.schede();
  } else if (finestra == u"sceltaStampante"_s) {
    p.finestre.apriSceltaStampante();
    f = p.finestre.sceltaStampante();
  } else if (finestra == u"istruzioni"_s) {
    p.finestre.apriIstruzioni();
    QTRY_VERIFY(p.finestre.istruzioni() && p.finestre.istruzioni()->isVisible());
    f = p.finestre.istruzioni();
  } else if (finestra == u"opzioni"_s) {
    RegistroConPorta(p.finestre, p.dir.percorso());
    AllaPorta porta(u"2468"_s);
    p.finestre.apriOpzioni();
    QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
    f = p.finestre.opzioni();
  } else if (finestra == u"autore"_s) {
    f = new frmAutore(inizio);
    f->show();
  } else if (finestra == u"livello"_s) {
    f = new FrmLivello(1, 1, inizio);
    f->show();
  } else {
    // The register's windows come from its module, loaded at first use, and are modal.
    QString nome;
    const QStringList stretti = ConModale(inizio, finestra == u"alunno"_s ? Qt::Key_U : Qt::Key_R, [&](QWidget *m) {
      misura(m);
      return QStringList();
    }, &nome);
    QCOMPARE(nome, finestra == u"alunno"_s ? u"FrmAlunno"_s : u"FrmPorta"_s);
    QVERIFY2(p.b.messaggi.voci.isEmpty(), qPrintable(p.b.messaggi.testi().join(u'|')));
    return;
  }
  QVERIFY(f && f->isVisible());
  misura(f);
}

// A maximised exercise window on a 1920 x 1080 board: the operation three
// times the design's type at least, in both views, the widest texts it can
// hold included, and nothing clipped anywhere.
void TestCaratteri::shouldGrowTheOperationWithTheBoard_data() {
  QTest::addColumn<QSize>("finestra");
  QTest::addColumn<bool>("simbolo");
  QTest::addColumn<bool>("piuLarghi");
  QTest::addColumn<QString>("colonna");  // what stands in the column at hand: nothing, the table, "Leggi"
  // 1080 less a menu bar and a title bar; Xvfb with no window manager gives the rest.
  for (const QSize s : {QSize(1920, 1050), QSize(1920, 1080)}) {
    for (bool simbolo : {false, true}) {
      const char *vista = simbolo ? "symbol view" : "number view";
      QTest::addRow("%dx%d %s", s.width(), s.height(), vista) << s << simbolo << false << QString();
      QTest::addRow("%dx%d %s, widest texts", s.width(), s.height(), vista)
          << s << simbolo << true << QString();
      for (const char *colonna : {"tabellaAMano", "cmdLeggi"})
        QTest::addRow("%dx%d %s, widest texts, %s", s.width(), s.height(), vista, colonna)
            << s << simbolo << true << QString::fromLatin1(colonna);
    }
  }
  QTest::addRow("1920x1050 number view, tabellaAMano")
      << QSize(1920, 1050) << false << false << u"tabellaAMano"_s;
}

void TestCaratteri::shouldGrowTheOperationWithTheBoard() {
  QFETCH(QSize, finestra);
  QFETCH(bool, simbolo);
  QFETCH(bool, piuLarghi);
  QFETCH(QString, colonna);
  Banco b;
  Operazione4(b.casuale, 1, 3, 5, 4);
  Famiglia(b.stato, 3);
  b.stato.impostazioni.intCosaCalcolare = simbolo ? 2 : 1;
  b.stato.opzioni.macchina.caratteriGrandi = true;
  b.stato.opzioni.macchina.tabellaAMano = colonna == u"tabellaAMano"_s;
  b.stato.opzioni.macchina.leggiSempre = colonna == u"cmdLeggi"_s;
  auto *e = new FrmOperativo(b.ctx);
  QVERIFY(Attiva(e));
  const QStringList riga = simbolo ? QStringList{u"label4S"_s, u"lblSegno"_s, u"label8S"_s, u"lblUguale"_s, u"label11S"_s,
                                                 u"lblRisultatoS"_s}
                                   : QStringList{u"Label4"_s, u"Label7"_s, u"Label8"_s, u"Label6"_s, u"LblRisultato"_s,
                                                 u"Label11"_s};
  const QString correzione = simbolo ? u"lblCorrezioneS"_s : u"lblCorrezione"_s;
  QVERIFY(e->findChild<QLabel *>(riga.first())->isVisibleTo(e));
  qreal progetto = 0;  // the operation's type as designed
  for (const disegno::Controllo &c : disegno::Controlli())
    if (QString::fromUtf16(c.nome) == riga.first()) progetto = c.punti;
  QVERIFY(progetto > 0);
  if (piuLarghi) {
    // The longest addend and unit of every family, the longest answer; the program's correction beside it.
    const QHash<QString, QString> testi{{u"Label4"_s, u"19 dam"_s},  {u"Label8"_s, u"19 dam"_s},
                                       {u"label4S"_s, u"19 dam"_s},  {u"label8S"_s, u"19 dam"_s},
                                       {u"LblRisultato"_s, u"88.888"_s}, {u"label11S"_s, u"88.888"_s},
                                       {u"Label11"_s, u" dam"_s},    {u"lblRisultatoS"_s, u" dam"_s},
                                       {u"lblCorrezione"_s, u"19.019"_s}, {u"lblCorrezioneS"_s, u" dam"_s}};
    for (auto it = testi.cbegin(); it != testi.cend(); ++it) e->findChild<QLabel *>(it.key())->setText(it.value());
  }
  e->resize(finestra);
  QCoreApplication::processEvents();
  for (const QString &n : riga) {
    QLabel *l = e->findChild<QLabel *>(n);
    QVERIFY2(l->font().pointSizeF() >= 3 * progetto, qPrintable(u"%1 at %2 pt"_s.arg(n).arg(l->font().pointSizeF())));
    // And drawn: type this tall is past what Qt keeps in its glyph cache.
    if (!l->text().trimmed().isEmpty()) QVERIFY2(Inchiostro(l) > 0.02, qPrintable(n));
    // One size for the whole operation.
    QCOMPARE(l->font().pointSizeF(), e->findChild<QLabel *>(riga.first())->font().pointSizeF());
  }
  // The rest of the window grows as its places do; the correction as much as its box allows.
  const double k = std::min(e->client()->width() / double(e->clientProgetto().width()),
                            e->client()->height() / double(e->clientProgetto().height()));
  // Grown type goes by half points.
  QVERIFY(qAbs(e->findChild<QLabel *>(u"LblEsito"_s)->font().pointSizeF() - 24 * k) <= 0.25);
  QVERIFY(e->findChild<QLabel *>(correzione)->font().pointSizeF() >= 28 * k - 0.25);
  QCOMPARE(Stretti(e), QStringList());
  // What stands in the column is whole and covers no part of the operation.
  if (!colonna.isEmpty()) {
    const QWidget *aMano = e->findChild<QWidget *>(colonna);
    QVERIFY(aMano && aMano->isVisibleTo(e));
    QVERIFY(e->client()->rect().contains(aMano->geometry()));
    for (const QString &n : riga + QStringList{correzione}) {
      const QWidget *l = e->findChild<QWidget *>(n);
      QVERIFY2(!QRect(l->mapTo(e->client(), QPoint(0, 0)), l->size()).intersects(aMano->geometry()),
               qPrintable(n));
    }
  }
  if (const QString cartella = qEnvironmentVariable("VORNEL_SCHERMATE"); !cartella.isEmpty())
    QVERIFY(e->grab().save(
        cartella + u"/esercizio-lim-%1%2%3.png"_s.arg(simbolo ? u"simbolo"_s : u"numero"_s,
                                                      piuLarghi ? u"-larghi"_s : QString(),
                                                      colonna.isEmpty() ? QString() : u"-"_s + colonna)));
  // Back to the design size: still larger than the design's type, and still fitting.
  e->resize(e->clientProgetto().width(), e->clientProgetto().height() + e->menuWidget()->height());
  QCoreApplication::processEvents();
  QVERIFY(e->findChild<QLabel *>(riga.first())->font().pointSizeF() > progetto);
  QCOMPARE(e->findChild<QLabel *>(u"LblEsito"_s)->font().pointSizeF(), 24.0);
  QCOMPARE(Stretti(e), QStringList());
  e->close();
  delete e;
}

// Switched on and off again, the window is the design's: type and places.
void TestCaratteri::shouldLeaveTheTypeAloneWithTheOptionOff() {
  Banco b;
  Operazione4(b.casuale, 1, 3, 5, 4);
  Famiglia(b.stato, 3);
  auto *e = new FrmOperativo(b.ctx);
  QVERIFY(Attiva(e));
  QHash<QString, std::pair<QFont, QRect>> progetto;
  for (QWidget *w : e->client()->findChildren<QWidget *>()) progetto.insert(w->objectName(), {w->font(), w->geometry()});
  b.stato.opzioni.macchina.caratteriGrandi = true;
  e->applicaOpzioni();
  e->resize(e->size() * 2);
  QCoreApplication::processEvents();
  QVERIFY(e->findChild<QLabel *>(u"Label4"_s)->font() != progetto.value(u"Label4"_s).first);
  QVERIFY(e->findChild<QLabel *>(u"Label4"_s)->width() != 2 * progetto.value(u"Label4"_s).second.width());
  b.stato.opzioni.macchina.caratteriGrandi = false;
  e->applicaOpzioni();
  e->dimensioneProgetto();
  QCoreApplication::processEvents();
  for (QWidget *w : e->client()->findChildren<QWidget *>()) {
    QCOMPARE(w->font(), progetto.value(w->objectName()).first);
    QCOMPARE(w->geometry(), progetto.value(w->objectName()).second);
  }
  e->close();
  delete e;
}

QTEST_MAIN(TestCaratteri)
#include "test_caratteri.moc"
