// The teacher on the school's server: the register's views read the same from
// a computer's file and from the server, the door of the server through the
// real windows (signed in, refused, the server away), the class seen live as
// the lab's computers hand their work over.
#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "registro/accessodocente.h"
#include "registro/consultazione.h"
#include "registro/esportacsv.h"
#include "registro/importaclasse.h"
#include "registro/inclasse.h"
#include "support/doppi.h"
#include "support/postgresprivato.h"
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

// Runs `fai` on the modal window the next action opens, once it is up.
void QuandoModale(std::function<void(QWidget *)> fai, const QString &nome = {}) {
  auto *timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, fai, nome] {
    QWidget *m = QApplication::activeModalWidget();
    if (!m || !m->isVisible() || (!nome.isEmpty() && m->objectName() != nome)) return;
    timer->stop();
    timer->deleteLater();
    fai(m);
  });
  timer->start();
}

QString Testo(QTableWidget *t, int r, int c) {
  const QTableWidgetItem *i = t ? t->item(r, c) : nullptr;
  return i ? i->text() : QString();
}

int RigaDi(QTableWidget *t, const QString &nome) {
  for (int r = 0; t && r < t->rowCount(); ++r)
    if (Testo(t, r, 0) == nome) return r;
  return -1;
}

// An exercise as the lab's computers hand it over: `errori` per operation (a
// wrong answer of that kind before the right one), `interventi` the operations
// where the program gave the result.
QJsonObject EsercizioLab(const QString &uuid, const QString &alunno, int operazioni, int esatte,
                      const QMap<int, QString> &errori = {}, const QList<int> &interventi = {}, int stato = 0) {
  QJsonArray ops;
  for (int n = 1; n <= operazioni; ++n) {
    QJsonArray risposte;
    if (errori.contains(n))
      risposte.append(QJsonObject{{u"n"_s, 1}, {u"testo"_s, u"127"_s}, {u"errore"_s, errori.value(n)}});
    risposte.append(QJsonObject{{u"n"_s, risposte.size() + 1}, {u"testo"_s, u"1.270"_s}});
    ops.append(QJsonObject{{u"numero"_s, n},           {u"chiesto"_s, 1},          {u"addendo1"_s, u"12 h"_s},
                           {u"addendo2"_s, u"7 da"_s}, {u"unita"_s, u"u"_s},       {u"risultato"_s, u"1.270"_s},
                           {u"intervento"_s, interventi.contains(n) ? 1 : 0},     {u"secondi"_s, 6},
                           {u"risposte"_s, risposte}});
  }
  return {{u"uuid"_s, uuid},      {u"alunno"_s, alunno},        {u"famiglia"_s, 3},     {u"cifre"_s, 1},
          {u"cosa"_s, 1},         {u"ordine"_s, 1},             {u"inizio"_s, u"2026-12-09T10:00:00"_s},
          {u"stato"_s, stato},    {u"operazioni"_s, operazioni}, {u"esatte"_s, esatte}, {u"secondi"_s, 6 * operazioni},
          {u"ops"_s, ops}};
}

// The schema's own ids of a pupil: (id, uuid).
std::pair<qint64, QString> AlunnoSulServer(QSqlDatabase &db, const QString &nome) {
  QSqlQuery q(db);
  q.prepare(u"SELECT id, uuid FROM alunni WHERE nome = ?"_s);
  q.addBindValue(nome);
  if (!q.exec() || !q.next()) return {0, {}};
  return {q.value(0).toLongLong(), q.value(1).toString()};
}

// A port of this machine on which nothing listens (tcpmux, long gone).
int PortaMuta() {
  return 1;
}

// A server that takes the connection and never says a word: the kernel
// completes the handshake (listen backlog), nobody answers TLS.
class ServerMuto {
 public:
  ServerMuto() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t l = sizeof a;
    if (::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(m_fd, 8) == 0 &&
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &l) == 0)
      m_porta = ntohs(a.sin_port);
  }
  ~ServerMuto() { ::close(m_fd); }
  ServerMuto(const ServerMuto &) = delete;
  ServerMuto &operator=(const ServerMuto &) = delete;
  [[nodiscard]] int porta() const { return m_porta; }

 private:
  int m_fd = -1;
  int m_porta = 0;
};

// Controls a screen reader would find without a name.
QStringList SenzaNome(QWidget *finestra) {
  QStringList muti;
  for (QWidget *w : finestra->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(finestra) || w->objectName().startsWith(u"qt_"_s)) continue;
    // A label naming its field is read with the field.
    const auto *l = qobject_cast<QLabel *>(w);
    const bool controllo = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                           qobject_cast<QComboBox *>(w) || qobject_cast<QTableWidget *>(w) ||
                           (l && !l->text().isEmpty() && !l->buddy());
    if (controllo && w->accessibleName().trimmed().isEmpty())
      muti << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
  }
  return muti;
}

// --- the same data in both registers ------------------------------------------

struct EsercizioProva {
  int alunno;  // index in the class's pupils; -1 without a name
  int famiglia, stato, esatte, operazioni;
  QString inizio;
  QStringList errori;  // per operation: the mistake of its first answer, empty when right
  int casi = 0;        // cases of the family met, each in box 1 + (case % 5)
};

}  // namespace

Q_DECLARE_METATYPE(EsercizioProva)

class TestDocente : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void cleanup();
  void shouldReadTheSameViewsFromTheFileAndFromTheServer_data();
  void shouldReadTheSameViewsFromTheFileAndFromTheServer();
  void shouldWalkTheTeachersRoadThroughTheServer();
  void shouldOpenOnTheRightPasswordAfterAWrongOneAndShutWithTheDoor();
  void shouldOfferThisComputersOwnRegisterWhenTheServerIsAway();
  void shouldGiveUpConnectingOnEscWhileTheServerIsSilent();
  void shouldTellEachFaultAtTheDoor_data();
  void shouldTellEachFaultAtTheDoor();
  void shouldTellTheTeacherWhenTheServerGoesMidSession();

 private:
  ConfigServer config(int porta = 0) const;
  QString ricevi(const QJsonArray &esercizi, const QString &adesso = {});
  Registro *collegaDocente(std::unique_ptr<Registro> &r, const QString &nome);

  PostgresPrivato m_pg;
  QSqlDatabase m_computer;
  QTemporaryDir m_dir;
  qint64 m_classe = 0;
};

ConfigServer TestDocente::config(int porta) const {
  ConfigServer c;
  c.host = u"localhost"_s;
  c.porta = porta ? porta : m_pg.porta();
  c.sslmode = u"verify-full"_s;
  c.sslrootcert = m_pg.certificatoCA();
  c.computer = u"cattedra"_s;
  c.connectTimeout = 5;
  return c;
}

void TestDocente::initTestCase() {
  if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
  QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
  QVERIFY2(m_pg.creaDocente(kMaestra, kPassword), qPrintable(m_pg.errore()));
  QVERIFY(m_pg.esegui(u"INSERT INTO classi (nome) VALUES ('4B')"_s));
  QVERIFY(m_pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT id, n FROM classi,"
                      u" unnest(ARRAY['Anna', 'Bruno', 'Carla']) AS n WHERE classi.nome = '4B'"_s));
  m_computer = config().connessione(u"computer"_s, u"vornel_computer"_s,
                                    QString::fromLatin1(PostgresPrivato::kPasswordComputer));
  QVERIFY2(m_computer.open(), qPrintable(m_computer.lastError().text()));
  QSqlQuery q(m_computer);
  QVERIFY(q.exec(u"SELECT id FROM classi WHERE nome = '4B'"_s) && q.next());
  m_classe = q.value(0).toLongLong();
}

void TestDocente::cleanup() {
  for (QWidget *w : QApplication::topLevelWidgets()) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Hands a batch over as a lab computer does.
QString TestDocente::ricevi(const QJsonArray &esercizi, const QString &adesso) {
  QSqlQuery q(m_computer);
  q.prepare(u"SELECT ricevi(?::jsonb)"_s);
  q.addBindValue(QString::fromUtf8(
      QJsonDocument(QJsonObject{{u"computer"_s, u"lab-07"_s},
                                {u"adesso"_s, adesso.isEmpty()
                                                  ? QDateTime::currentDateTimeUtc().toString(Qt::ISODate)
                                                  : adesso},
                                {u"in_attesa"_s, 3},
                                {u"esercizi"_s, esercizi}})
          .toJson(QJsonDocument::Compact)));
  if (!q.exec() || !q.next()) return q.lastError().text();
  return q.value(0).toString();
}

Registro *TestDocente::collegaDocente(std::unique_ptr<Registro> &r, const QString &nome) {
  QSqlDatabase db = config().connessione(nome, kMaestra, kPassword);
  db.setConnectOptions(AccessoDocente::Opzioni(config()));
  if (!db.open()) return nullptr;
  r = Registro::SulServer(nome);
  return r.get();
}

void TestDocente::shouldReadTheSameViewsFromTheFileAndFromTheServer_data() {
  QTest::addColumn<QStringList>("alunni");
  QTest::addColumn<QList<EsercizioProva>>("esercizi");
  const QStringList dieci(10, u""_s);
  QStringList sbagli = dieci;
  sbagli[2] = u"senza-conversione"_s;
  sbagli[5] = u"senza-conversione"_s;
  sbagli[7] = u"virgola"_s;
  QTest::newRow("finished, unfinished and under way, two families")
      << QStringList{u"Bruno"_s, u"anna"_s}
      << QList<EsercizioProva>{{0, 3, 1, 8, 10, u"2026-11-02T09:00:00"_s, dieci, 4},
                               {0, 3, 1, 10, 10, u"2026-11-03T09:00:00"_s, dieci, 4},
                               {0, 5, 2, 3, 4, u"2026-11-03T10:00:00"_s, dieci.mid(0, 4), 0},
                               {1, 5, 1, 6, 10, u"2026-11-04T09:00:00"_s, sbagli, 7},
                               {1, 5, 0, 2, 2, u"2026-11-05T09:00:00"_s, dieci.mid(0, 2), 0}};
  QTest::newRow("names told apart by case and accents, one without exercises")
      << QStringList{u"Zoë"_s, u"d'Amico"_s, u"D'Angelo"_s, u"Élia"_s}
      << QList<EsercizioProva>{{1, 9, 1, 10, 10, u"2026-10-01T08:30:00"_s, dieci, 12},
                               {3, 9, 1, 4, 10, u"2026-10-01T08:31:00"_s, sbagli, 1},
                               {0, 12, 1, 7, 10, u"2026-10-02T11:00:00"_s, sbagli, 3}};
  QTest::newRow("the same start twice, and work without a name")
      << QStringList{u"Ugo"_s}
      << QList<EsercizioProva>{{0, 1, 1, 9, 10, u"2026-09-20T09:00:00"_s, dieci, 2},
                               {0, 1, 1, 5, 10, u"2026-09-20T09:00:00"_s, sbagli, 2},
                               {-1, 2, 1, 7, 10, u"2026-09-21T09:00:00"_s, sbagli, 0}};
}

// The portable queries: the same rows in a computer's file and on the server
// read as the same class view, pupil's page, operations and CSV files.
void TestDocente::shouldReadTheSameViewsFromTheFileAndFromTheServer() {
  QFETCH(QStringList, alunni);
  QFETCH(QList<EsercizioProva>, esercizi);
  QTemporaryDir dir;
  Registro file(dir.filePath(u"registro.sqlite"_s));
  std::unique_ptr<Registro> server;
  QVERIFY(collegaDocente(server, u"uguali"_s));
  const QString nomeClasse = u"Classe %1"_s.arg(QString::fromLatin1(QTest::currentDataTag()).left(20));
  struct Lato {
    Registro *r;
    qint64 classe = 0;
    QList<qint64> alunni;
    QList<qint64> esercizi;
  };
  Lato lati[2] = {{&file, 0, {}, {}}, {server.get(), 0, {}, {}}};
  for (Lato &l : lati) {
    l.classe = l.r->nuovaClasse(nomeClasse).id;
    QVERIFY(l.classe > 0);
    for (const QString &a : alunni) l.alunni << l.r->nuovoAlunno(l.classe, a).id;
    QSqlQuery q(l.r->db());
    for (const EsercizioProva &e : esercizi) {
      const QVariant alunno = e.alunno < 0 ? QVariant() : QVariant(l.alunni.at(e.alunno));
      q.prepare(
          u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato, operazioni,"
          u" esatte, secondi, errore) VALUES (?, ?, ?, ?, 1, 1, 1, ?, ?, ?, ?, ?, ?) RETURNING id"_s);
      for (const QVariant &v :
           {QVariant(QUuid::createUuid().toString(QUuid::WithoutBraces)), alunno,
            e.alunno < 0 ? QVariant() : QVariant(l.classe), QVariant(e.famiglia), QVariant(e.inizio),
            QVariant(e.stato), QVariant(e.operazioni), QVariant(e.esatte), QVariant(7 * e.operazioni),
            QVariant(e.errori.contains(u"senza-conversione"_s) ? u"senza-conversione"_s : u""_s)})
        q.addBindValue(v);
      QVERIFY2(q.exec() && q.next(), qPrintable(q.lastError().text()));
      const qint64 id = q.value(0).toLongLong();
      l.esercizi << id;
      for (int n = 1; n <= e.errori.size(); ++n) {
        q.prepare(
            u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,"
            u" intervento, secondi, caso) VALUES (?, ?, 1, '12 h', '7 da', 'u', '1.270', ?, 7, ?) RETURNING id"_s);
        q.addBindValue(id);
        q.addBindValue(n);
        q.addBindValue(n == 10 && !e.errori.at(n - 1).isEmpty() ? 1 : 0);
        q.addBindValue(1 + (n % 12));
        QVERIFY2(q.exec() && q.next(), qPrintable(q.lastError().text()));
        const qint64 op = q.value(0).toLongLong();
        int risposta = 1;
        for (const QString &errore : {e.errori.at(n - 1), u""_s}) {
          if (risposta == 1 && errore.isEmpty()) continue;
          q.prepare(u"INSERT INTO risposte (operazione, n, testo, errore, passi) VALUES (?, ?, ?, ?, ?)"_s);
          for (const QVariant &v : {QVariant(op), QVariant(risposta++),
                                    QVariant(errore.isEmpty() ? u"1.270"_s : u"127"_s), QVariant(errore),
                                    QVariant(errore.isEmpty() ? 0 : -1)})
            q.addBindValue(v);
          QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
      }
      if (e.alunno < 0) continue;
      for (int caso = 1; caso <= e.casi; ++caso) {
        q.prepare(
            u"INSERT INTO casi (alunno, famiglia, caso, scatola, giorno, sbagliato) VALUES (?, ?, ?, ?, ?, 0)"
            u" ON CONFLICT (alunno, famiglia, caso) DO UPDATE SET scatola = excluded.scatola"_s);
        for (const QVariant &v : {QVariant(l.alunni.at(e.alunno)), QVariant(e.famiglia), QVariant(caso),
                                  QVariant(1 + caso % 5), QVariant(e.inizio.left(10))})
          q.addBindValue(v);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
      }
    }
  }

  const auto vista = [](Lato &l) {
    QStringList righe;
    const auto v = LeggiVistaClasse(*l.r, l.classe);
    if (!v) return QStringList{u"nessuna vista"_s};
    for (const RigaClasse &riga : v->righe) {
      QString s = riga.alunno.nome;
      for (const CasellaClasse &c : riga.famiglie)
        s += u" | %1: %2 %3 %4 %5"_s.arg(c.famiglia).arg(c.esercizi).arg(c.valutazione).arg(int(c.andamento)).arg(
            c.ultimo.toString(Qt::ISODate));
      for (const auto &[f, n] : riga.padroneggiati) s += u" | casi %1: %2"_s.arg(f).arg(n);
      righe << s;
    }
    return righe;
  };
  const auto pagina = [](Lato &l, int i) {
    QStringList righe;
    const auto p = LeggiPaginaAlunno(*l.r, i < 0 ? 0 : l.alunni.at(i));
    if (!p) return QStringList{u"nessuna pagina"_s};
    for (const RigaEsercizio &e : p->esercizi) {
      righe << u"%1 %2 %3/%4 %5 %6 %7"_s.arg(e.inizio.toString(Qt::ISODate)).arg(e.famiglia).arg(e.esatte)
                   .arg(e.operazioni).arg(e.valutazione, e.erroreFrequente).arg(int(e.stato));
      const auto ops = LeggiOperazioni(*l.r, e.id);
      if (!ops) return QStringList{u"nessuna operazione"_s};
      for (const OperazioneRegistrata &o : *ops) {
        QString s = u"  %1 %2 %3"_s.arg(o.numero).arg(o.intervento).arg(o.secondi);
        for (const Risposta &r : o.risposte) s += u" [%1 %2 %3]"_s.arg(r.testo, r.errore).arg(r.passi);
        righe << s;
      }
    }
    righe << u"serie %1"_s.arg(p->serie.size());
    for (const PadronanzaFamiglia &f : p->padronanza)
      righe << u"famiglia %1: %2 padroneggiati, ripetuti %3"_s.arg(f.famiglia)
                   .arg(f.padroneggiati())
                   .arg(f.ripetuti.join(u','));
    return righe;
  };
  const auto csv = [&dir](Lato &l, int tipo, int alunno) {
    const QString f = dir.filePath(u"prova.csv"_s);
    EsportaCsv e(*l.r);
    const Esito esito = tipo == 0 ? e.classe(l.classe, f)
                        : tipo == 1 ? e.alunno(alunno < 0 ? 0 : l.alunni.at(alunno), f)
                                    : e.operazioniClasse(l.classe, f);
    QFile file(f);
    if (!esito || !file.open(QIODevice::ReadOnly)) return QStringList{u"nessun file"_s};
    QStringList righe;
    // The exercise's own id differs between the two registers: left out.
    for (const QString &r : QString::fromUtf8(file.readAll()).split(u"\r\n"_s)) {
      QStringList celle = r.split(u';');
      if (tipo == 2 && celle.size() > 5) celle.removeAt(5);
      righe << celle.join(u';');
    }
    return righe;
  };
  QCOMPARE(vista(lati[1]), vista(lati[0]));
  QVERIFY(!vista(lati[0]).isEmpty());
  for (int a = -1; a < alunni.size(); ++a) {
    QCOMPARE(pagina(lati[1], a), pagina(lati[0], a));
    QCOMPARE(csv(lati[1], 1, a), csv(lati[0], 1, a));
  }
  QVERIFY(csv(lati[0], 0, 0).size() > 2);
  QVERIFY(pagina(lati[0], 0).size() > 1);
  QCOMPARE(csv(lati[1], 0, 0), csv(lati[0], 0, 0));
  QCOMPARE(csv(lati[1], 2, 0), csv(lati[0], 2, 0));
  // Erased on the server as on the file; the server remembers it for the lab's computers.
  QVERIFY(lati[1].r->cancellaClasse(lati[1].classe));
  QVERIFY(lati[0].r->cancellaClasse(lati[0].classe));
  QCOMPARE(lati[1].r->classi().size(), 1);  // the lab's 4B alone
  QSqlQuery q(server->db());
  QVERIFY(q.exec(u"SELECT count(*) FROM cancellati WHERE tipo = 'alunno'"_s) && q.next());
  QVERIFY(q.value(0).toInt() >= alunni.size());
}

// The teacher's whole road: signs in with their own role, reads the class with
// the lab's work, opens a pupil's page, sees the lab's computers, erases a
// pupil (remembered for the computers), follows the class live.
void TestDocente::shouldWalkTheTeachersRoadThroughTheServer() {
  auto [annaId, anna] = AlunnoSulServer(m_computer, u"Anna"_s);
  auto [carlaId, carla] = AlunnoSulServer(m_computer, u"Carla"_s);
  Q_UNUSED(annaId);
  Q_UNUSED(carlaId);
  const QString esAnna = QUuid::createUuid().toString(QUuid::WithoutBraces);
  QCOMPARE(ricevi({EsercizioLab(esAnna, anna, 6, 5, {{4, u"senza-conversione"_s}}),
                   EsercizioLab(QUuid::createUuid().toString(QUuid::WithoutBraces), carla, 10, 9, {}, {}, 1)},
                  QDateTime::currentDateTimeUtc().addSecs(2 * 3600).toString(Qt::ISODate)),
           u"{\"rifiutati\": []}"_s);

  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"road.sqlite"_s));
  quaderno.impostaServer(config());
  QLineEdit *password = nullptr;
  QuandoModale(
      [&](QWidget *porta) {
        QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
        password = In<QLineEdit>(porta, u"txtPassword"_s);
        QTest::keyClicks(password, kPassword);
        QTest::keyClick(password, Qt::Key_Return);
        // Connecting: the door says so and waits for no one.
        QVERIFY(!In<QLabel>(porta, u"lblCollegamento"_s)->text().isEmpty());
        QVERIFY(password->text().isEmpty());
      },
      u"FrmPortaServer"_s);
  quaderno.apriRegistro(b.ctx, nullptr);
  FrmRegistro *reg = quaderno.finestraRegistro();
  QVERIFY(reg);
  QVERIFY(quaderno.registroServer());
  QVERIFY(In<QLabel>(reg, u"lblProvenienza"_s)->text().contains(u"server localhost"_s));
  QVERIFY(!In<QPushButton>(reg, u"cmdCambiaPin"_s)->isVisibleTo(reg));

  auto *tbl = In<QTableWidget>(reg, u"tblClasse"_s);
  QCOMPARE(RigaDi(tbl, u"Anna"_s), 0);
  const int rigaCarla = RigaDi(tbl, u"Carla"_s);
  QVERIFY(rigaCarla > 0);
  QVERIFY2(Testo(tbl, rigaCarla, 1).startsWith(u"OTTIMO"_s), qPrintable(Testo(tbl, rigaCarla, 1)));
  // A pupil's page: the exercise under way on the lab's computer.
  tbl->setCurrentCell(0, 0);
  QTest::keyClick(tbl, Qt::Key_Return);
  auto *esercizi = In<QTableWidget>(reg, u"tblEsercizi"_s);
  QCOMPARE(esercizi->rowCount(), 1);
  QCOMPARE(Testo(esercizi, 0, 5), u"5 su 6"_s);
  QCOMPARE(Testo(esercizi, 0, 6), u"in corso"_s);
  // The lab's computers: the operations waiting there, the clock two hours ahead.
  auto *computer = In<QTableWidget>(reg, u"tblComputer"_s);
  QCOMPARE(Testo(computer, 0, 0), u"lab-07"_s);
  QCOMPARE(Testo(computer, 0, 1), u"3"_s);
  QVERIFY2(Testo(computer, 0, 3).startsWith(u"SBAGLIATO: avanti"_s), qPrintable(Testo(computer, 0, 3)));

  // "In classe ora" by its key: Anna at work, Carla finished (not shown).
  QVERIFY(QTest::qWaitForWindowActive(reg));
  QTest::keyClick(reg, Qt::Key_L, Qt::ControlModifier);
  FrmInClasse *live = reg->finestraInClasse();
  QVERIFY(live);
  QVERIFY(live->inAscolto());
  auto *righe = In<QTableWidget>(live, u"tblInClasse"_s);
  QCOMPARE(righe->rowCount(), 1);
  QCOMPARE(Testo(righe, 0, 0), u"Anna"_s);
  QCOMPARE(Testo(righe, 0, 1), u"lab-07"_s);
  QCOMPARE(Testo(righe, 0, 3), u"7 di 20"_s);
  QCOMPARE(Testo(righe, 0, 4), u"5"_s);
  QCOMPARE(Testo(righe, 0, 5), u"1"_s);
  QCOMPARE(Testo(righe, 0, 6), u"Senza conversione"_s);
  QCOMPARE(Testo(righe, 0, 7), u"al lavoro"_s);
  // Anna answers on her computer: the view follows, through the server's announcement alone.
  QCOMPARE(ricevi({EsercizioLab(esAnna, anna, 8, 6, {{4, u"senza-conversione"_s}, {8, u"virgola"_s}}, {8})}),
           u"{\"rifiutati\": []}"_s);
  QTRY_COMPARE_WITH_TIMEOUT(Testo(righe, 0, 3), u"9 di 20"_s, 10000);
  QCOMPARE(Testo(righe, 0, 6), u"Virgola spostata"_s);
  QVERIFY2(Testo(righe, 0, 7).startsWith(u"BLOCCATO"_s), qPrintable(Testo(righe, 0, 7)));
  QVERIFY(righe->item(0, 0)->background().color() != QColor());
  // Another class's work does not touch this view; a pupil of this one joins it.
  auto [brunoId, bruno] = AlunnoSulServer(m_computer, u"Bruno"_s);
  Q_UNUSED(brunoId);
  QCOMPARE(ricevi({EsercizioLab(QUuid::createUuid().toString(QUuid::WithoutBraces), bruno, 1, 1)}),
           u"{\"rifiutati\": []}"_s);
  QTRY_COMPARE_WITH_TIMEOUT(righe->rowCount(), 2, 10000);
  QCOMPARE(Testo(righe, 1, 0), u"Bruno"_s);
  // Bruno has closed no operation for two minutes by the server's clock: stuck.
  QVERIFY(m_pg.esegui(u"UPDATE esercizi SET aggiornato = now() - interval '2 minutes'"
                      u" WHERE alunno = (SELECT id FROM alunni WHERE nome = 'Bruno')"_s));
  live->aggiorna();
  QCOMPARE(Testo(righe, 1, 7), u"BLOCCATO: fermo da 2 min"_s);
  QVERIFY(SenzaNome(live).isEmpty());
  QVERIFY2(SenzaNome(reg).isEmpty(), qPrintable(SenzaNome(reg).join(u", "_s)));
  // Printed like the register's other views.
  QTest::mouseClick(In<QPushButton>(live, u"cmdStampa"_s), Qt::LeftButton);
  QCOMPARE(b.stampante.documenti.size(), 1);
  QStringList stampate;
  for (const auto &r : b.stampante.documenti.first().righe) stampate << r.testo;
  QVERIFY2(stampate.join(u'\n').contains(u"Virgola spostata"_s), qPrintable(stampate.join(u'\n')));
  live->close();

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

  // A class list imported goes to the server too, a name given twice once.
  int aggiunti = 0;
  DestinazioneRegistro destinazione(*quaderno.registroServer());
  QVERIFY(destinazione.scrivi({{0, u"5C"_s, {u"Ada"_s, u"Ada"_s, u"Bea"_s}}}, aggiunti));
  QCOMPARE(aggiunti, 2);
  q.prepare(u"SELECT count(*) FROM alunni a JOIN classi c ON c.id = a.classe WHERE c.nome = '5C'"_s);
  QVERIFY(q.exec() && q.next());
  QCOMPARE(q.value(0).toInt(), 2);

  // Shutting the door (an exercise starts) closes the server's connection.
  quaderno.chiudiPorta();
  QTRY_VERIFY(!quaderno.finestraRegistro());
  QVERIFY(!quaderno.registroServer());
}

// A wrong password is told at the door, which stays shut and offers nothing
// else; a right one afterwards opens it.
void TestDocente::shouldOpenOnTheRightPasswordAfterAWrongOneAndShutWithTheDoor() {
  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"password.sqlite"_s));
  quaderno.impostaServer(config());
  QString detto;
  bool localeOfferto = true;
  QuandoModale(
      [&](QWidget *porta) {
        QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
        auto *password = In<QLineEdit>(porta, u"txtPassword"_s);
        QTest::keyClicks(password, u"gessetto-42"_s);
        QTest::keyClick(password, Qt::Key_Return);
        auto *messaggio = In<QLabel>(porta, u"lblMessaggio"_s);
        if (!QTest::qWaitFor([&] { return !messaggio->text().isEmpty(); }, 20000)) return;
        detto = messaggio->text();
        localeOfferto = In<QPushButton>(porta, u"cmdLocale"_s)->isVisibleTo(porta);
        QVERIFY(password->isEnabled());
        QTest::keyClicks(password, kPassword);
        QTest::keyClick(password, Qt::Key_Return);
      },
      u"FrmPortaServer"_s);
  QVERIFY(quaderno.apriPorta(b.ctx, nullptr, u"Opzioni"_s));
  QVERIFY2(detto.startsWith(u"Nome utente o password sbagliati"_s), qPrintable(detto));
  QVERIFY(!localeOfferto);
  QVERIFY(quaderno.registroServer());
  // The door is remembered while its connection lasts.
  QVERIFY(quaderno.apriPorta(b.ctx, nullptr, u"Opzioni"_s));
  quaderno.chiudiPorta();
  QVERIFY(!quaderno.registroServer());
}

// No server at the address: the door says so, and offers this computer's own
// register behind the PIN, saying plainly what it holds.
void TestDocente::shouldOfferThisComputersOwnRegisterWhenTheServerIsAway() {
  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"lontano.sqlite"_s));
  quaderno.impostaPorta({}, 1000);
  quaderno.impostaServer(config(PortaMuta()));
  QString detto;
  QuandoModale(
      [&](QWidget *porta) {
        QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
        auto *password = In<QLineEdit>(porta, u"txtPassword"_s);
        QTest::keyClicks(password, kPassword);
        QTest::keyClick(password, Qt::Key_Return);
        auto *locale = In<QPushButton>(porta, u"cmdLocale"_s);
        if (!QTest::qWaitFor([&] { return locale->isVisibleTo(porta); }, 20000)) return;
        detto = In<QLabel>(porta, u"lblMessaggio"_s)->text();
        QuandoModale(
            [](QWidget *pin) {
              QTest::keyClicks(In<QLineEdit>(pin, u"txtPin"_s), u"2468"_s);
              QTest::keyClicks(In<QLineEdit>(pin, u"txtConferma"_s), u"2468"_s);
              QTest::mouseClick(In<QPushButton>(pin, u"cmdEntra"_s), Qt::LeftButton);
            },
            u"FrmPorta"_s);
        QTest::mouseClick(locale, Qt::LeftButton);
      },
      u"FrmPortaServer"_s);
  quaderno.apriRegistro(b.ctx, nullptr);
  QVERIFY2(detto.contains(u"non risponde"_s) && detto.contains(u"solo gli esercizi fatti su questo computer"_s),
           qPrintable(detto));
  FrmRegistro *reg = quaderno.finestraRegistro();
  QVERIFY(reg);
  QVERIFY(!quaderno.registroServer());
  QVERIFY(In<QLabel>(reg, u"lblProvenienza"_s)->text().contains(u"solo il registro di questo computer"_s));
  QVERIFY(!In<QPushButton>(reg, u"cmdInClasse"_s)->isVisibleTo(reg));
  QVERIFY(In<QPushButton>(reg, u"cmdCambiaPin"_s)->isVisibleTo(reg));
  reg->close();
}

// A server that never answers: the door says it is connecting, stays
// responsive, and Esc gives up at once; the connection attempt left behind
// ends on its own and leaves nothing open.
void TestDocente::shouldGiveUpConnectingOnEscWhileTheServerIsSilent() {
  ServerMuto muto;
  QVERIFY(muto.porta() > 0);
  Banco b;
  QuadernoRegistro quaderno(m_dir.filePath(u"muto.sqlite"_s));
  ConfigServer c = config(muto.porta());
  c.connectTimeout = 2;
  quaderno.impostaServer(c);
  bool collegando = false;
  int giri = 0;
  QuandoModale(
      [&](QWidget *porta) {
        QTest::keyClicks(In<QLineEdit>(porta, u"txtUtente"_s), kMaestra);
        QTest::keyClicks(In<QLineEdit>(porta, u"txtPassword"_s), kPassword);
        QTest::mouseClick(In<QPushButton>(porta, u"cmdEntra"_s), Qt::LeftButton);
        collegando = qobject_cast<FrmPortaServer *>(porta)->collegando() &&
                     In<QLabel>(porta, u"lblCollegamento"_s)->text().startsWith(u"Collegamento"_s);
        // The window's loop keeps turning while the server is silent.
        QTimer giro;
        QObject::connect(&giro, &QTimer::timeout, [&] { ++giri; });
        giro.start(5);
        QTest::qWait(300);
        QTest::keyClick(porta, Qt::Key_Escape);
      },
      u"FrmPortaServer"_s);
  quaderno.apriRegistro(b.ctx, nullptr);
  QVERIFY(collegando);
  QVERIFY2(giri >= 10, qPrintable(QString::number(giri)));
  QVERIFY(!quaderno.finestraRegistro());
  QVERIFY(!quaderno.registroServer());
  QTRY_VERIFY_WITH_TIMEOUT(QSqlDatabase::connectionNames().filter(u"vornel-docente"_s).isEmpty(), 20000);
}

void TestDocente::shouldTellEachFaultAtTheDoor_data() {
  QTest::addColumn<QString>("utente");
  QTest::addColumn<QString>("password");
  QTest::addColumn<QString>("prima");  // SQL run before, as the superuser
  QTest::addColumn<QString>("dopo");
  QTest::addColumn<bool>("altraCA");
  QTest::addColumn<int>("porta");
  QTest::addColumn<QString>("detto");
  QTest::addColumn<bool>("locale");
  QTest::newRow("wrong password") << kMaestra << u"Gessetto-43"_s << QString() << QString() << false << 0
                                  << u"Nome utente o password sbagliati"_s << false;
  QTest::newRow("unknown user") << u"nessuno"_s << kPassword << QString() << QString() << false << 0
                                << u"Nome utente o password sbagliati"_s << false;
  QTest::newRow("certificate of another authority")
      << kMaestra << kPassword << QString() << QString() << true << 0 << u"Il certificato del server"_s << false;
  QTest::newRow("nobody at the port") << kMaestra << kPassword << QString() << QString() << false << 1
                                      << u"Il server della scuola (localhost, porta 1) non risponde"_s << true;
  QTest::newRow("older register") << kMaestra << kPassword << u"UPDATE vornel_versione SET versione = 0"_s
                                  << u"UPDATE vornel_versione SET versione = 1"_s << false << 0
                                  << u"Il registro sul server è di una versione più vecchia"_s << false;
  QTest::newRow("newer register") << kMaestra << kPassword << u"UPDATE vornel_versione SET versione = 2"_s
                                  << u"UPDATE vornel_versione SET versione = 1"_s << false << 0
                                  << u"Il registro sul server è di una versione più recente"_s << false;
  QTest::newRow("not one of the teachers")
      << u"bidello"_s << kPassword << u"CREATE ROLE bidello LOGIN PASSWORD 'Gessetto-42'"_s
      << u"DROP ROLE bidello"_s << false << 0 << u"Questo utente del server non è tra gli insegnanti"_s << false;
}

// Each fault at the door is told in Italian, the door stays shut, and only a
// server that does not answer offers this computer's own register.
void TestDocente::shouldTellEachFaultAtTheDoor() {
  QFETCH(QString, utente);
  QFETCH(QString, password);
  QFETCH(QString, prima);
  QFETCH(QString, dopo);
  QFETCH(bool, altraCA);
  QFETCH(int, porta);
  QFETCH(QString, detto);
  QFETCH(bool, locale);
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
  FrmPortaServer porta_(c);
  porta_.show();
  QTest::keyClicks(In<QLineEdit>(&porta_, u"txtUtente"_s), utente);
  QTest::keyClicks(In<QLineEdit>(&porta_, u"txtPassword"_s), password);
  QTest::mouseClick(In<QPushButton>(&porta_, u"cmdEntra"_s), Qt::LeftButton);
  auto *messaggio = In<QLabel>(&porta_, u"lblMessaggio"_s);
  QTRY_VERIFY_WITH_TIMEOUT(!porta_.collegando(), 20000);
  QVERIFY2(messaggio->text().startsWith(detto), qPrintable(messaggio->text()));
  QCOMPARE(porta_.result(), int(QDialog::Rejected));
  QVERIFY(porta_.connessione().isEmpty());
  QCOMPARE(In<QPushButton>(&porta_, u"cmdLocale"_s)->isVisibleTo(&porta_), locale);
  QVERIFY(QSqlDatabase::connectionNames().filter(u"vornel-docente"_s).isEmpty());
}

// The server stops while the teacher reads: the window says so once, in
// Italian, and stays usable; the live view stops reading rather than nagging.
void TestDocente::shouldTellTheTeacherWhenTheServerGoesMidSession() {
  Banco b;
  std::unique_ptr<Registro> server;
  QVERIFY(collegaDocente(server, u"caduta"_s));
  auto *reg = new FrmRegistro(*server, b.ctx);
  reg->show();
  QCOMPARE(In<QComboBox>(reg, u"cmbClasse"_s)->currentText(), u"4B"_s);
  reg->apriInClasse();
  QVERIFY(reg->finestraInClasse());
  QVERIFY(m_pg.ferma(true));
  reg->aggiorna();
  reg->finestraInClasse()->aggiorna();
  QCOMPARE(b.messaggi.testi().size(), 1);
  QVERIFY2(b.messaggi.testi().first().contains(u"non risponde più"_s), qPrintable(b.messaggi.testi().first()));
  QCOMPARE(server->guasto(), Guasto::Scollegato);
  QVERIFY(In<QLabel>(reg->finestraInClasse(), u"lblStato"_s)->text().contains(u"non risponde"_s));
  reg->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  server.reset();
  QVERIFY(m_pg.avvia());
}

QTEST_MAIN(TestDocente)
#include "test_docente.moc"
