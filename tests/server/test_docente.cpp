// The teacher on the school's server: the register's views read the same from
// a computer's file and from the server; the server's door through the real
// windows (signed in, each fault told, the server away or silent); the class
// seen live as the lab's computers hand their work over.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include "registro/accessodocente.h"
#include "registro/consultazione.h"
#include "registro/esportacsv.h"
#include "registro/importaclasse.h"
#include "registro/piani.h"
#include "support/doppi.h"
#include "provaserver.h"
#include "support/postgresprivato.h"
#include "support/tabelle.h"
#include "ui/registro/frminclasse.h"
#include "ui/registro/frmporta.h"
#include "ui/registro/frmregistro.h"
#include "ui/registro/quadernoregistro.h"

using namespace Qt::StringLiterals;

namespace {

const QString kMaestra = u"maestra_rossi"_s;
const QString kPassword = u"Gessetto-42"_s;

template <typename W = QWidget>
W *In(QWidget *finestra, const QString &nome) {
  W *w = finestra ? finestra->findChild<W *>(nome) : nullptr;
  if (!w) qWarning("no control %s", qPrintable(nome));
  return w;
}

// Runs `fai` on the modal window named `nome` once the next action opens it.
void QuandoModale(const QString &nome, std::function<void(QWidget *)> fai) {
  auto *timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, fai, nome] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible() || m->objectName() != nome) return;
    timer->stop();
    timer->deleteLater();
    fai(m);
  });
  timer->start();
}

// One statement with its values bound; the id it returns, when asked.
bool Esegui(const QSqlDatabase &db, const QString &sql, const QVariantList &valori, qint64 *id = nullptr) {
  QSqlQuery q(db);
  q.prepare(sql);
  for (const QVariant &v : valori) q.addBindValue(v);
  if (!q.exec() || (id && !q.next())) return qWarning("%s", qPrintable(q.lastError().text())), false;
  if (id) *id = q.value(0).toLongLong();
  return true;
}

QString Uuid() {
  return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// An exercise as a lab computer hands it over; `fatte` one character per
// operation closed: '.' right, 'c' first answered without converting, 'v'
// with the comma moved, 'i' the program gave the result after a 'v'.
QJsonObject EsercizioLab(const QString &uuid, const QString &alunno, const QString &fatte, int stato = 0) {
  QJsonArray ops;
  for (int n = 1; n <= fatte.size(); ++n) {
    const QChar f = fatte.at(n - 1);
    QJsonArray risposte;
    if (f != u'.')
      risposte.append(QJsonObject{{u"n"_s, 1},
                                  {u"testo"_s, u"127"_s},
                                  {u"errore"_s, f == u'c' ? u"senza-conversione"_s : u"virgola"_s}});
    risposte.append(QJsonObject{{u"n"_s, risposte.size() + 1}, {u"testo"_s, u"1.270"_s}});
    ops.append(OperazioneInviata(n, 6, risposte, f == u'i'));
  }
  return {{u"uuid"_s, uuid},
          {u"alunno"_s, alunno},
          {u"famiglia"_s, 3},
          {u"cifre"_s, 1},
          {u"cosa"_s, 1},
          {u"ordine"_s, 1},
          {u"inizio"_s, u"2026-12-09T10:00:00"_s},
          {u"stato"_s, stato},
          {u"operazioni"_s, fatte.size()},
          {u"esatte"_s, fatte.count(u'.')},
          {u"ops"_s, ops}};
}

// Controls a screen reader would find without a name (a label naming its
// field is read with the field).
QStringList SenzaNome(QWidget *finestra) {
  QStringList muti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    const auto *l = qobject_cast<QLabel *>(w);
    const bool controllo = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                           qobject_cast<QComboBox *>(w) || qobject_cast<QTableWidget *>(w) ||
                           (l && !l->text().isEmpty() && !l->buddy());
    if (controllo && w->isVisibleTo(finestra) && w->accessibleName().trimmed().isEmpty())
      muti << w->objectName();
  }
  return muti;
}

// The same exercise in both registers: its pupil (index, -1 without a name),
// family, state, start and operations as in EsercizioLab; `casi` cases of the
// family met, case k in box 1 + k % 5.
struct EsercizioProva {
  int alunno, famiglia, stato;
  QString inizio, fatte;
  int casi = 0;
};

}  // namespace

Q_DECLARE_METATYPE(EsercizioProva)

class TestDocente : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void shouldReadTheSameViewsFromTheFileAndFromTheServer_data();
  void shouldReadTheSameViewsFromTheFileAndFromTheServer();
  void shouldWalkTheTeachersRoadThroughTheServer();
  void shouldTellEachFaultAtTheDoor_data();
  void shouldTellEachFaultAtTheDoor();
  void shouldOfferThisComputersOwnRegisterWhenTheServerIsAway();
  void shouldGiveUpConnectingOnEscWhileTheServerIsSilent();
  void shouldTellTheTeacherOnceWhenTheServerGoesMidSession();

 private:
  [[nodiscard]] ConfigServer config(int porta = 0) const {
    ConfigServer c;
    c.host = u"localhost"_s;
    c.porta = porta ? porta : m_pg.porta();
    c.sslmode = u"verify-full"_s;
    c.sslrootcert = m_pg.certificatoCA();
    return c;
  }
  QString ricevi(const QJsonArray &esercizi, const QDateTime &adesso = QDateTime::currentDateTimeUtc());
  std::unique_ptr<Registro> collegaDocente(const QString &nome);
  QString uuidAlunno(const QString &nome);

  PostgresPrivato m_pg;
  QSqlDatabase m_computer;  // as a lab computer logs in
  QTemporaryDir m_dir;
};

void TestDocente::initTestCase() {
  if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
  QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
  QVERIFY2(m_pg.creaDocente(kMaestra, kPassword), qPrintable(m_pg.errore()));
  QVERIFY(m_pg.esegui(u"INSERT INTO classi (nome) VALUES ('4B')"_s));
  QVERIFY(
      m_pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT id, n FROM classi,"
                  u" unnest(ARRAY['Anna', 'Bruno', 'Carla']) AS n WHERE classi.nome = '4B'"_s));
  m_computer = config().connessione(u"computer"_s, u"vornel_computer"_s,
                                    QString::fromLatin1(PostgresPrivato::kPasswordComputer));
  QVERIFY2(m_computer.open(), qPrintable(m_computer.lastError().text()));
}

QString TestDocente::ricevi(const QJsonArray &esercizi, const QDateTime &adesso) {
  QSqlQuery q(m_computer);
  q.prepare(u"SELECT ricevi(?::jsonb)"_s);
  q.addBindValue(QString::fromUtf8(QJsonDocument(QJsonObject{{u"computer"_s, u"lab-07"_s},
                                                             {u"adesso"_s, adesso.toString(Qt::ISODate)},
                                                             {u"in_attesa"_s, 3},
                                                             {u"esercizi"_s, esercizi}})
                                       .toJson(QJsonDocument::Compact)));
  return q.exec() && q.next() ? q.value(0).toString() : q.lastError().text();
}

std::unique_ptr<Registro> TestDocente::collegaDocente(const QString &nome) {
  QSqlDatabase db = config().connessione(nome, kMaestra, kPassword);
  db.setConnectOptions(AccessoDocente::Opzioni(config()));
  return db.open() ? Registro::SulServer(nome) : nullptr;
}

QString TestDocente::uuidAlunno(const QString &nome) {
  QSqlQuery q(m_computer);
  q.prepare(
      u"SELECT a.uuid FROM alunni a JOIN classi c ON c.id = a.classe WHERE c.nome = '4B' AND a.nome = ?"_s);
  q.addBindValue(nome);
  return q.exec() && q.next() ? q.value(0).toString() : QString();
}

void TestDocente::shouldReadTheSameViewsFromTheFileAndFromTheServer_data() {
  QTest::addColumn<QStringList>("alunni");
  QTest::addColumn<QList<EsercizioProva>>("esercizi");
  QTest::newRow("finished, unfinished and under way, two families")
      << QStringList{u"Bruno"_s, u"anna"_s}
      << QList<EsercizioProva>{{0, 3, 1, u"2026-11-02T09:00:00"_s, u"..c.....c."_s, 4},
                               {0, 3, 1, u"2026-11-03T09:00:00"_s, u".........."_s, 4},
                               {0, 5, 2, u"2026-11-03T10:00:00"_s, u"v.."_s, 0},
                               {1, 5, 1, u"2026-11-04T09:00:00"_s, u"c.c.vv.c.i"_s, 7},
                               {1, 5, 0, u"2026-11-05T09:00:00"_s, u".c"_s, 0}};
  QTest::newRow("names apart by case and accents, one without exercises")
      << QStringList{u"Zoë"_s, u"d'Amico"_s, u"D'Angelo"_s, u"Élia"_s}
      << QList<EsercizioProva>{{1, 9, 1, u"2026-10-01T08:30:00"_s, u".........."_s, 12},
                               {3, 9, 1, u"2026-10-01T08:31:00"_s, u"cc.cv.vvci"_s, 1},
                               {0, 12, 1, u"2026-10-02T11:00:00"_s, u"...c..c..."_s, 3}};
  QTest::newRow("the same start twice, and work without a name")
      << QStringList{u"Ugo"_s}
      << QList<EsercizioProva>{{0, 1, 1, u"2026-09-20T09:00:00"_s, u"........c."_s, 2},
                               {0, 1, 1, u"2026-09-20T09:00:00"_s, u"c.v.c.v.c."_s, 2},
                               {-1, 2, 1, u"2026-09-21T09:00:00"_s, u"vv........"_s, 0}};
}

// The portable queries: the same rows in a computer's file and on the server
// read as the same class view, pupil's pages, operations and CSV files.
void TestDocente::shouldReadTheSameViewsFromTheFileAndFromTheServer() {
  QFETCH(QStringList, alunni);
  QFETCH(QList<EsercizioProva>, esercizi);
  QTemporaryDir dir;
  Registro file(dir.filePath(u"registro.sqlite"_s));
  const std::unique_ptr<Registro> server = collegaDocente(u"uguali"_s);
  QVERIFY(server);
  struct Lato {
    Registro *r;
    qint64 classe = 0;
    QList<qint64> alunni{};
  } lati[2] = {{&file}, {server.get()}};
  for (Lato &l : lati) {
    l.classe = l.r->nuovaClasse(QString::fromLatin1(QTest::currentDataTag()).left(30)).id;
    for (const QString &a : alunni) l.alunni << l.r->nuovoAlunno(l.classe, a).id;
    for (const EsercizioProva &e : esercizi) {
      const QVariant alunno = e.alunno < 0 ? QVariant() : QVariant(l.alunni.at(e.alunno));
      qint64 id = 0;
      QVERIFY(
          Esegui(l.r->db(),
                 u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato,"
                 u" operazioni, esatte, secondi, errore) VALUES (?, ?, ?, ?, 1, 1, 1, ?, ?, ?, ?, ?, ?)"
                 u" RETURNING id"_s,
                 {Uuid(), alunno, e.alunno < 0 ? QVariant() : QVariant(l.classe), e.famiglia, e.inizio,
                  e.stato, e.fatte.size(), e.fatte.count(u'.'), 7 * e.fatte.size(),
                  e.fatte.count(u'c') > 1 ? u"senza-conversione"_s : u""_s},
                 &id));
      for (int n = 1; n <= e.fatte.size(); ++n) {
        const QChar f = e.fatte.at(n - 1);
        qint64 op = 0;
        QVERIFY(Esegui(
            l.r->db(),
            u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,"
            u" intervento, secondi, caso) VALUES (?, ?, 1, '12 h', '7 da', 'u', '1.270', ?, 7, ?)"
            u" RETURNING id"_s,
            {id, n, f == u'i' ? 1 : 0, 1 + n % 12}, &op));
        const QString insert =
            u"INSERT INTO risposte (operazione, n, testo, errore, passi) VALUES (?, ?, ?, ?, ?)"_s;
        if (f != u'.')
          QVERIFY(Esegui(l.r->db(), insert,
                         {op, 1, u"127"_s, f == u'c' ? u"senza-conversione"_s : u"virgola"_s, -1}));
        QVERIFY(Esegui(l.r->db(), insert, {op, f == u'.' ? 1 : 2, u"1.270"_s, u""_s, 0}));
      }
      for (int caso = 1; e.alunno >= 0 && caso <= e.casi; ++caso)
        QVERIFY(
            Esegui(l.r->db(),
                   u"INSERT INTO casi (alunno, famiglia, caso, scatola, giorno, sbagliato) VALUES"
                   u" (?, ?, ?, ?, ?, 0) ON CONFLICT (alunno, famiglia, caso) DO UPDATE SET scatola = 5"_s,
                   {l.alunni.at(e.alunno), e.famiglia, caso, 1 + caso % 5, e.inizio.left(10)}));
    }
  }

  const auto vista = [](Lato &l) {
    const auto v = LeggiVistaClasse(*l.r, l.classe);
    QStringList righe{v ? u"vista"_s : u"nessuna vista"_s};
    for (const RigaClasse &riga : v ? v->righe : QList<RigaClasse>{}) {
      QString s = riga.alunno.nome;
      for (const CasellaClasse &c : riga.famiglie)
        s += u" | %1: %2 %3 %4 %5"_s.arg(c.famiglia)
                 .arg(c.esercizi)
                 .arg(c.valutazione)
                 .arg(int(c.andamento))
                 .arg(c.ultimo.toString(Qt::ISODate));
      for (const auto &[f, n] : riga.padroneggiati) s += u" | casi %1: %2"_s.arg(f).arg(n);
      righe << s;
    }
    return righe;
  };
  const auto pagina = [](Lato &l, int i) {
    const auto p = LeggiPaginaAlunno(*l.r, i < 0 ? 0 : l.alunni.at(i));
    if (!p) return QStringList{u"nessuna pagina"_s};
    QStringList righe{u"serie %1"_s.arg(p->serie.size())};
    for (const RigaEsercizio &e : p->esercizi) {
      righe << u"%1 %2 %3/%4 %5 %6 %7"_s.arg(e.inizio.toString(Qt::ISODate))
                   .arg(e.famiglia)
                   .arg(e.esatte)
                   .arg(e.operazioni)
                   .arg(e.valutazione, e.erroreFrequente)
                   .arg(int(e.stato));
      for (const OperazioneRegistrata &o :
           LeggiOperazioni(*l.r, e.id).value_or(QList<OperazioneRegistrata>{})) {
        righe << u"  %1 %2 %3"_s.arg(o.numero).arg(o.intervento).arg(o.secondi);
        for (const Risposta &r : o.risposte)
          righe.last() += u" [%1 %2 %3]"_s.arg(r.testo, r.errore).arg(r.passi);
      }
    }
    for (const PadronanzaFamiglia &f : p->padronanza)
      righe << u"famiglia %1: %2, %3"_s.arg(f.famiglia).arg(f.padroneggiati()).arg(f.ripetuti.join(u','));
    return righe;
  };
  // tipo 0 the class, 1 a pupil, 2 the class's operations (less the exercise's
  // own id, which differs between the two registers).
  const auto csv = [&dir](Lato &l, int tipo, int i) {
    const QString f = dir.filePath(u"prova.csv"_s);
    EsportaCsv e(*l.r);
    const Esito esito = tipo == 0   ? e.classe(l.classe, f)
                        : tipo == 1 ? e.alunno(i < 0 ? 0 : l.alunni.at(i), f)
                                    : e.operazioniClasse(l.classe, f);
    QFile file(f);
    if (!esito || !file.open(QIODevice::ReadOnly)) return QStringList{u"nessun file"_s};
    QStringList righe = QString::fromUtf8(file.readAll()).split(u"\r\n"_s);
    for (QString &r : righe)
      if (tipo == 2) r = r.section(u';', 0, 4) + u';' + r.section(u';', 6);
    return righe;
  };
  QVERIFY(vista(lati[0]).size() == alunni.size() + 1);
  QCOMPARE(vista(lati[1]), vista(lati[0]));
  for (int a = -1; a < alunni.size(); ++a) {
    QCOMPARE(pagina(lati[1], a), pagina(lati[0], a));
    QCOMPARE(csv(lati[1], 1, a), csv(lati[0], 1, a));
  }
  QVERIFY(csv(lati[0], 0, 0).size() > 2);
  QCOMPARE(csv(lati[1], 0, 0), csv(lati[0], 0, 0));
  QCOMPARE(csv(lati[1], 2, 0), csv(lati[0], 2, 0));
}

// The teacher's whole road: signs in with their own role, reads the class with
// the lab's work, a pupil's page and the lab's computers, follows the class
// live, imports a class list, erases a pupil (remembered for the computers).
void TestDocente::shouldWalkTheTeachersRoadThroughTheServer() {
  const QString anna = uuidAlunno(u"Anna"_s), bruno = uuidAlunno(u"Bruno"_s), esAnna = Uuid();
  // lab-07's clock is two hours ahead.
  QCOMPARE(ricevi({EsercizioLab(esAnna, anna, u"...c.."_s),
                   EsercizioLab(Uuid(), uuidAlunno(u"Carla"_s), u".........."_s, 1)},
                  QDateTime::currentDateTimeUtc().addSecs(7200)),
           u"{\"rifiutati\": []}"_s);

  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"road.sqlite"_s));
  quaderno.impostaServer(config());
  QuandoModale(u"FrmPortaServer"_s, [&](QWidget *porta) {
    QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
    auto *password = In<QLineEdit>(porta, u"txtPassword"_s);
    QTest::keyClicks(password, kPassword);
    QTest::keyClick(password, Qt::Key_Return);
    // Connecting: said, and the password already gone from its box.
    QVERIFY(In<QLabel>(porta, u"lblCollegamento"_s)->text().startsWith(u"Collegamento"_s));
    QVERIFY(password->text().isEmpty());
  });
  quaderno.apriRegistro(b.ctx, nullptr);
  FrmRegistro *reg = quaderno.finestraRegistro();
  QVERIFY(reg && quaderno.registroServer());
  QVERIFY(!AccessoDocente::TienePassword(quaderno.registroServer()->db()));  // nowhere in memory
  m_computer.setPassword({});  // Qt's copy gone, libpq's kept: the check sees it
  QVERIFY(AccessoDocente::TienePassword(m_computer));
  QVERIFY(In<QLabel>(reg, u"lblProvenienza"_s)->text().contains(u"server localhost"_s));
  QVERIFY(!In<QPushButton>(reg, u"cmdCambiaPin"_s)->isVisibleTo(reg));  // the PIN is this computer's

  auto *tbl = In<QTableWidget>(reg, u"tblClasse"_s);
  QCOMPARE(RigaDi(tbl, u"Anna"_s), 0);
  QVERIFY2(Testo(tbl, RigaDi(tbl, u"Carla"_s), 1).startsWith(u"OTTIMO"_s), qPrintable(Testo(tbl, 2, 1)));
  tbl->setCurrentCell(0, 0);
  QTest::keyClick(tbl, Qt::Key_Return);
  auto *esercizi = In<QTableWidget>(reg, u"tblEsercizi"_s);
  QCOMPARE(esercizi->rowCount(), 1);
  QCOMPARE(Testo(esercizi, 0, 5), u"5 su 6"_s);
  QCOMPARE(Testo(esercizi, 0, 6), u"in corso"_s);
  auto *computer = In<QTableWidget>(reg, u"tblComputer"_s);
  QCOMPARE(Testo(computer, 0, 0), u"lab-07"_s);
  QCOMPARE(Testo(computer, 0, 1), u"3"_s);
  QVERIFY2(Testo(computer, 0, 3).startsWith(u"SBAGLIATO: avanti di 1"_s), qPrintable(Testo(computer, 0, 3)));

  // "In classe ora" by its key, on the class in the lab whichever is chosen
  // here: Anna at work; Carla, finished, is not.
  auto *cmbClasse = In<QComboBox>(reg, u"cmbClasse"_s);
  cmbClasse->setCurrentIndex(cmbClasse->findText(kSenzaNome));
  QVERIFY(QTest::qWaitForWindowActive(reg));
  QTest::keyClick(reg, Qt::Key_L, Qt::ControlModifier);
  FrmInClasse *live = reg->finestraInClasse();
  QVERIFY(live);
  QTRY_VERIFY(live->inAscolto());
  QCOMPARE(In<QComboBox>(live, u"cmbClasse"_s)->currentText(), u"4B"_s);
  auto *righe = In<QTableWidget>(live, u"tblInClasse"_s);
  QTRY_COMPARE(righe->rowCount(), 1);
  const QStringList prima{
      u"Anna"_s, u"lab-07"_s, u"3"_s, u"7 di 20"_s, u"5"_s, u"1"_s, u"Senza conversione"_s, u"al lavoro"_s};
  for (int c = 0; c < prima.size(); ++c) QCOMPARE(Testo(righe, 0, c), prima.at(c));
  // Anna answers on her computer: the view follows through the server's announcement alone.
  QCOMPARE(ricevi({EsercizioLab(esAnna, anna, u"...c...i"_s)}), u"{\"rifiutati\": []}"_s);
  QTRY_COMPARE_WITH_TIMEOUT(Testo(righe, 0, 3), u"9 di 20"_s, 10000);
  QCOMPARE(Testo(righe, 0, 6), u"Virgola spostata"_s);
  QCOMPARE(Testo(righe, 0, 7), u"BLOCCATO: il programma ha dato il risultato"_s);
  // Bruno starts, then closes nothing for two minutes by the server's clock.
  QCOMPARE(ricevi({EsercizioLab(Uuid(), bruno, u"."_s)}), u"{\"rifiutati\": []}"_s);
  QTRY_COMPARE_WITH_TIMEOUT(righe->rowCount(), 2, 10000);
  QCOMPARE(Testo(righe, 1, 7), u"al lavoro"_s);
  QVERIFY(
      m_pg.esegui(u"UPDATE esercizi SET aggiornato = now() - interval '2 minutes'"
                  u" WHERE alunno IN (SELECT id FROM alunni WHERE uuid = '%1')"_s.arg(bruno)));
  live->aggiorna();
  QTRY_COMPARE(Testo(righe, 1, 7), u"BLOCCATO: fermo da 2 min"_s);
  // A read the server holds (the technician's update locking a table) waits
  // on the view's own thread: nothing is told meanwhile, and the view shows
  // the lab once the lock is gone.
  {
    QSqlDatabase tecnico = m_pg.superutente(u"tecnico"_s, u"vornel"_s);
    QVERIFY(tecnico.transaction());
    QVERIFY(QSqlQuery(tecnico).exec(u"LOCK TABLE esercizi IN ACCESS EXCLUSIVE MODE"_s));
    QSignalSpy mostrata(live, &FrmInClasse::mostrata);
    live->aggiorna();
    QVERIFY(b.messaggi.testi().isEmpty());
    QVERIFY(mostrata.isEmpty());
    QVERIFY(tecnico.rollback());
    QTRY_VERIFY(!mostrata.isEmpty());
    QCOMPARE(righe->rowCount(), 2);
    tecnico.close();
  }
  QSqlDatabase::removeDatabase(u"tecnico"_s);
  QVERIFY2(SenzaNome(live).isEmpty() && SenzaNome(reg).isEmpty(),
           qPrintable(SenzaNome(live).join(u' ') + SenzaNome(reg).join(u' ')));
  QTest::mouseClick(In<QPushButton>(live, u"cmdStampa"_s),
                    Qt::LeftButton);  // printed as the register's views
  QCOMPARE(b.stampante.documenti.size(), 1);
  QStringList stampate;
  for (const auto &r : b.stampante.documenti.first().righe) stampate << r.testo;
  QVERIFY2(stampate.join(u'\n').contains(u"Virgola spostata"_s), qPrintable(stampate.join(u'\n')));
  live->close();
  cmbClasse->setCurrentIndex(cmbClasse->findText(u"4B"_s));
  QVERIFY(RigaDi(tbl, u"Bruno"_s) > 0);

  // A pupil's plan is kept on the server, written and written over.
  const qint64 idAnna = tbl->item(0, 0)->data(Qt::UserRole).toLongLong();
  Opzioni piano;
  piano.leggiSempre = true;
  QVERIFY(SalvaPiano(*quaderno.registroServer(), idAnna, piano));
  piano.altoContrasto = true;
  QVERIFY(SalvaPiano(*quaderno.registroServer(), idAnna, piano));
  QCOMPARE(LeggiPiano(*quaderno.registroServer(), idAnna), piano);
  // A class list imported goes to the server, a name given twice once.
  int aggiunti = 0;
  DestinazioneRegistro destinazione(*quaderno.registroServer());
  QVERIFY(destinazione.scrivi({{0, u"5C"_s, {u"Ada"_s, u"Ada"_s, u"Bea"_s}}}, aggiunti));
  QCOMPARE(aggiunti, 2);
  // Erasing Bruno erases him on the server, remembered for the lab's computers.
  reg->impostaConferma([](QWidget *, const QString &domanda) {
    return domanda.contains(u"da ogni computer del laboratorio"_s);
  });
  auto *alunni = In<QListWidget>(reg, u"lstAlunni"_s);
  alunni->setCurrentRow(1);
  QCOMPARE(alunni->currentItem()->text(), u"Bruno"_s);
  QTest::mouseClick(In<QPushButton>(reg, u"cmdCancellaAlunno"_s), Qt::LeftButton);
  QCOMPARE(RigaDi(tbl, u"Bruno"_s), -1);
  QSqlQuery q(m_computer);
  q.prepare(u"SELECT tipo FROM cancellati WHERE uuid = ?"_s);
  q.addBindValue(bruno);
  QVERIFY(q.exec() && q.next());
  QCOMPARE(q.value(0).toString(), u"alunno"_s);
  QVERIFY(b.messaggi.testi().isEmpty());

  // Shutting the door (an exercise starts) closes the server's connection.
  quaderno.chiudiPorta();
  QTRY_VERIFY(!quaderno.finestraRegistro());
  QVERIFY(!quaderno.registroServer());
}

void TestDocente::shouldTellEachFaultAtTheDoor_data() {
  QTest::addColumn<QString>("utente");
  QTest::addColumn<QString>("password");
  QTest::addColumn<QString>("prima");  // SQL run as the superuser before, undone after
  QTest::addColumn<QString>("dopo");
  QTest::addColumn<int>("porta");  // 0: the server's
  QTest::addColumn<bool>("altraCA");
  QTest::addColumn<QString>("detto");
  QTest::newRow("wrong password") << kMaestra << u"Gessetto-43"_s << QString() << QString() << 0 << false
                                  << u"Nome utente o password sbagliati"_s;
  QTest::newRow("unknown user") << u"nessuno"_s << kPassword << QString() << QString() << 0 << false
                                << u"Nome utente o password sbagliati"_s;
  QTest::newRow("certificate of another authority")
      << kMaestra << kPassword << QString() << QString() << 0 << true << u"Il certificato del server"_s;
  QTest::newRow("nobody at the port") << kMaestra << kPassword << QString() << QString() << 1 << false
                                      << u"Il server della scuola (localhost, porta 1) non risponde"_s;
  QTest::newRow("older register") << kMaestra << kPassword << u"UPDATE vornel_versione SET versione = 0"_s
                                  << u"UPDATE vornel_versione SET versione = 1"_s << 0 << false
                                  << u"Il registro sul server è di una versione più vecchia"_s;
  QTest::newRow("newer register") << kMaestra << kPassword << u"UPDATE vornel_versione SET versione = 2"_s
                                  << u"UPDATE vornel_versione SET versione = 1"_s << 0 << false
                                  << u"Il registro sul server è di una versione più recente"_s;
  QTest::newRow("not one of the teachers")
      << u"bidello"_s << kPassword << u"CREATE ROLE bidello LOGIN PASSWORD 'Gessetto-42'"_s
      << u"DROP ROLE bidello"_s << 0 << false << u"Questo utente del server non è tra gli insegnanti"_s;
}

// Each fault at the door is told in Italian and leaves nothing open; only a
// server that does not answer offers this computer's own register.
void TestDocente::shouldTellEachFaultAtTheDoor() {
  QFETCH(QString, utente);
  QFETCH(QString, password);
  QFETCH(QString, prima);
  QFETCH(QString, dopo);
  QFETCH(int, porta);
  QFETCH(bool, altraCA);
  QFETCH(QString, detto);
  if (!prima.isEmpty()) QVERIFY2(m_pg.esegui(prima), qPrintable(m_pg.errore()));
  const auto ripristina = qScopeGuard([&] {
    if (!dopo.isEmpty()) m_pg.esegui(dopo);
  });
  ConfigServer c = config(porta);
  if (altraCA) {
    c.sslrootcert = m_dir.filePath(u"altra-ca.crt"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                                 u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-keyout"_s,
                                 m_dir.filePath(u"altra-ca.key"_s), u"-out"_s, c.sslrootcert, u"-subj"_s,
                                 u"/CN=Altra scuola"_s, u"-days"_s, u"2"_s});
    QVERIFY(openssl.waitForFinished(30000) && openssl.exitCode() == 0);
  }
  FrmPortaServer door(c);
  door.show();
  QTest::keyClicks(In<QLineEdit>(&door, u"txtUtente"_s), utente);
  QTest::keyClicks(In<QLineEdit>(&door, u"txtPassword"_s), password);
  QTest::mouseClick(In<QPushButton>(&door, u"cmdEntra"_s), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!door.collegando(), 20000);
  const QString messaggio = In<QLabel>(&door, u"lblMessaggio"_s)->text();
  QVERIFY2(messaggio.startsWith(detto), qPrintable(messaggio));
  QVERIFY(door.isVisible() && door.connessione().isEmpty());
  QCOMPARE(In<QPushButton>(&door, u"cmdLocale"_s)->isVisibleTo(&door), porta == 1);
  QVERIFY(QSqlDatabase::connectionNames().filter(u"vornel-docente"_s).isEmpty());
}

// No server at the address: the door offers this computer's own register
// behind the PIN, and the window says plainly that it is only that.
void TestDocente::shouldOfferThisComputersOwnRegisterWhenTheServerIsAway() {
  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"lontano.sqlite"_s));
  quaderno.impostaPorta({}, 1000);
  quaderno.impostaServer(config(1));
  // Two operations done here wait for the server that does not answer.
  ConfigServer muto = config(1);
  muto.password = u"x"_s;
  Invio::Impostazioni presto;
  presto.primaAttesa = 50;
  presto.massimaAttesa = 100;
  quaderno.avviaInvio(muto, presto);
  quaderno.iniziaEsercizio(Apertura(std::nullopt));
  for (int n = 1; n <= 2; ++n) {
    OperazioneChiusa op;
    op.numero = n;
    op.risultato = u"1.270"_s;
    op.risposte.append({u"1.270"_s, {}});
    quaderno.operazioneChiusa(op);
  }
  QTRY_COMPARE_WITH_TIMEOUT(quaderno.invio()->inAttesa(), 2, 10000);
  QuandoModale(u"FrmPortaServer"_s, [&](QWidget *porta) {
    QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
    QTest::keyClicks(In<QLineEdit>(porta, u"txtPassword"_s), kPassword);
    QTest::keyClick(In<QLineEdit>(porta, u"txtPassword"_s), Qt::Key_Return);
    auto *locale = In<QPushButton>(porta, u"cmdLocale"_s);
    QVERIFY(QTest::qWaitFor([&] { return locale->isVisibleTo(porta); }, 20000));
    QuandoModale(u"FrmPorta"_s, [](QWidget *pin) {
      QTest::keyClicks(In<QLineEdit>(pin, u"txtPin"_s), u"2468"_s);
      QTest::keyClicks(In<QLineEdit>(pin, u"txtConferma"_s), u"2468"_s);
      QTest::mouseClick(In<QPushButton>(pin, u"cmdEntra"_s), Qt::LeftButton);
    });
    QTest::mouseClick(locale, Qt::LeftButton);
  });
  quaderno.apriRegistro(b.ctx, nullptr);
  FrmRegistro *reg = quaderno.finestraRegistro();
  QVERIFY(reg && !quaderno.registroServer());
  const QString provenienza = In<QLabel>(reg, u"lblProvenienza"_s)->text();
  QVERIFY(provenienza.contains(u"solo il registro di questo computer"_s));
  QVERIFY2(provenienza.contains(u"2 operazioni di questo computer aspettano"_s), qPrintable(provenienza));
  // A plan for one of the server's pupils is not kept here, where the server's
  // would put it back; one for this computer's own pupil is.
  Registro &qui = quaderno.registro();
  const qint64 classe = qui.nuovaClasse(u"4B"_s).id;
  const qint64 delServer = qui.nuovoAlunno(classe, u"Anna"_s).id, ospite = qui.nuovoAlunno(classe, u"Ospite"_s).id;
  QSqlQuery remoto(qui.db());
  remoto.prepare(u"UPDATE alunni SET remoto = 1 WHERE id = ?"_s);
  remoto.addBindValue(delServer);
  QVERIFY(remoto.exec());
  Opzioni piano;
  piano.leggiSempre = true;
  QVERIFY(!quaderno.salvaPiano(delServer, piano));
  QCOMPARE(LeggiPiano(qui, delServer), std::nullopt);
  QVERIFY(quaderno.salvaPiano(ospite, piano));
  QCOMPARE(LeggiPiano(qui, ospite), piano);
  QVERIFY(!In<QPushButton>(reg, u"cmdInClasse"_s)->isVisibleTo(reg));
  QVERIFY(In<QPushButton>(reg, u"cmdCambiaPin"_s)->isVisibleTo(reg));
}

// A server that never answers: the door says it is connecting, its window
// keeps turning, Esc gives up at once; the attempt left behind ends by itself
// and leaves nothing open.
void TestDocente::shouldGiveUpConnectingOnEscWhileTheServerIsSilent() {
  PortaMuta muto;
  QVERIFY(muto.porta() > 0);
  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"muto.sqlite"_s));
  ConfigServer c = config(muto.porta());
  c.connectTimeout = 2;
  quaderno.impostaServer(c);
  bool collegando = false;
  int giri = 0;
  QuandoModale(u"FrmPortaServer"_s, [&](QWidget *porta) {
    QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
    QTest::keyClicks(In<QLineEdit>(porta, u"txtPassword"_s), kPassword);
    QTest::mouseClick(In<QPushButton>(porta, u"cmdEntra"_s), Qt::LeftButton);
    collegando = qobject_cast<FrmPortaServer *>(porta)->collegando();
    QTimer giro;
    QObject::connect(&giro, &QTimer::timeout, [&] { ++giri; });
    giro.start(5);
    QTest::qWait(300);
    QTest::keyClick(porta, Qt::Key_Escape);
  });
  quaderno.apriRegistro(b.ctx, nullptr);
  QVERIFY(collegando);
  QVERIFY2(giri >= 10, qPrintable(QString::number(giri)));
  QVERIFY(!quaderno.finestraRegistro() && !quaderno.registroServer());
  QTRY_VERIFY_WITH_TIMEOUT(QSqlDatabase::connectionNames().filter(u"vornel-docente"_s).isEmpty(), 20000);
}

// A server held by a lock gives the window back within the lock timeout; the
// server stopping while the teacher reads is said once, in Italian, the window
// stays and the live view stops reading rather than nagging.
void TestDocente::shouldTellTheTeacherOnceWhenTheServerGoesMidSession() {
  Banco b;
  std::unique_ptr<Registro> server = collegaDocente(u"caduta"_s);
  QVERIFY(server);
  // What a server that answers but is held may cost the window, bounded.
  QSqlQuery q(server->db());
  QVERIFY(q.exec(u"SELECT current_setting('lock_timeout'), current_setting('statement_timeout')"_s) && q.next());
  QCOMPARE(q.value(0).toString() + u' ' + q.value(1).toString(), u"3s 30s"_s);
  q.finish();
  {
    // The technician's update holds the exercises: the teacher's read gives up and says so.
    QSqlDatabase tecnico = m_pg.superutente(u"tecnico"_s, u"vornel"_s);
    QSqlQuery blocco(tecnico);
    QVERIFY(blocco.exec(u"BEGIN"_s) && blocco.exec(u"LOCK TABLE esercizi IN ACCESS EXCLUSIVE MODE"_s));
    QVERIFY(!LeggiPaginaAlunno(*server, 0));
    QCOMPARE(server->guasto(), Guasto::Occupato);
    QVERIFY(server->prendiMessaggio()->contains(u"occupato"_s));
    blocco.exec(u"ROLLBACK"_s);
  }
  QSqlDatabase::removeDatabase(u"tecnico"_s);
  auto *reg = new FrmRegistro(*server, b.ctx);
  reg->show();
  reg->apriInClasse();
  QVERIFY(reg->finestraInClasse());
  QVERIFY(m_pg.ferma(true));
  reg->aggiorna();
  reg->finestraInClasse()->aggiorna();
  QCOMPARE(b.messaggi.testi().size(), 1);
  QVERIFY2(b.messaggi.testi().first().contains(u"non risponde più"_s),
           qPrintable(b.messaggi.testi().first()));
  QCOMPARE(server->guasto(), Guasto::Scollegato);
  QVERIFY(In<QLabel>(reg->finestraInClasse(), u"lblStato"_s)->text().contains(u"non risponde"_s));
  delete reg;
  server.reset();
  QVERIFY(m_pg.avvia());
}

QTEST_MAIN(TestDocente)
#include "test_docente.moc"
