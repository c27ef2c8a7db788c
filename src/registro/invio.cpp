#include "registro/invio.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QVariant>
#include <atomic>

#include "registro/provaserver.h"
#include "registro/registro.h"
#include "registro/schemaserver.h"
#include "registro/riflesso.h"

using namespace Qt::StringLiterals;

// The worker: lives on Invio's thread, touched only there.
class Postino {
 public:
  using Recapito = decltype(Invio::m_recapito);

  explicit Postino(const Invio &invio)
      : m_config(invio.m_config),
        m_percorso(invio.m_percorso),
        m_imp(invio.m_impostazioni),
        m_fermo(invio.m_fermo),
        m_recapito(invio.m_recapito) {
    static std::atomic<int> contatore{0};
    m_nomeServer = u"vornel-invio-%1"_s.arg(++contatore);
  }

  // On the worker thread.
  void avvia() {
    m_registro = std::make_unique<Registro>(m_percorso);
    m_registro->impostaUscita(true);
    m_riprova = new QTimer;
    m_riprova->setSingleShot(true);
    m_riprova->callOnTimeout([this] { lavora(); });
    m_lettura = new QTimer;
    m_lettura->setInterval(m_imp.intervalloLettura);
    m_lettura->callOnTimeout([this] {
      m_daLeggere = true;
      lavora();
    });
    lavora();
  }

  void sveglia() {
    // A wait after a fault runs its course: the server is not hammered. What
    // waits is counted all the same, for the teacher's window.
    if (m_riprova->isActive()) return contaAttesa();
    lavora();
  }

  // On the worker thread, last.
  void chiudi() {
    chiudiServer();
    delete m_riprova;
    delete m_lettura;
    m_registro.reset();
  }

 private:
  template <typename F>
  void posta(F &&f) {
    QMutexLocker l(&m_recapito->mutex);
    if (Invio *i = m_recapito->invio) QMetaObject::invokeMethod(i, [i, f = std::forward<F>(f)] { f(i); });
  }

  void lavora() {
    if (*m_fermo) return;
    if (!m_collegato && !collega()) return dopoGuasto();
    m_riprovaRegistro = false;
    if (m_daLeggere && !leggiServer()) return dopoGuasto();
    while (!*m_fermo) {
      const int inviate = inviaLotto();
      if (inviate == kRegistroOccupato) m_riprovaRegistro = true;
      if (m_riprovaRegistro) {
        // The server is fine: the register is tried again shortly.
        m_riprova->start(m_imp.primaAttesa);
        return;
      }
      if (inviate < 0) return dopoGuasto();
      if (inviate == 0) break;
    }
    m_attesa = 0;
  }

  bool collega() {
    QSqlDatabase db = m_config.connessione(m_nomeServer);
    if (!db.open()) {
      classifica(db.lastError().text(), db.lastError().nativeErrorCode());
      return false;
    }
    QString errore;
    const int versione = SchemaServer::Versione(db, &errore);
    if (versione != SchemaServer::kVersione) {
      if (versione < 0)
        classifica(errore);
      else
        posta([v = versione](Invio *i) {
          i->notificaGuasto(v < SchemaServer::kVersione ? Invio::Guasto::SchemaVecchio
                                                        : Invio::Guasto::SchemaNuovo);
        });
      // An old or new server doesn't change by itself in a second.
      m_attesa = std::max(m_attesa, m_imp.massimaAttesa / 2);
      return false;
    }
    m_collegato = true;
    m_daLeggere = true;
    m_lettura->start();
    posta([](Invio *i) { i->notificaCollegato(true); });
    return true;
  }

  // What a person must put right is told; a server away or restarting is
  // not. The words are read as Prova reads them, in English or Italian.
  void classifica(const QString &testo, const QString &sqlstate = {}) {
    using ProvaServer::Esito;
    std::optional<Invio::Guasto> g;
    switch (ProvaServer::Classifica(testo, sqlstate)) {
      case Esito::PasswordSbagliata:
        g = Invio::Guasto::Password;
        break;
      case Esito::NomeCertificato:
      case Esito::FileCaMancante:
      case Esito::CertificatoNonFidato:
      case Esito::SenzaTls:
        g = Invio::Guasto::Certificato;
        break;
      case Esito::RifiutatoDaPgHba:
      case Esito::RuoloSenzaAccesso:
      case Esito::DatabaseMancante:
        g = Invio::Guasto::Rifiutato;
        break;
      default:
        // A role the server does not know, in whatever language it says so.
        if (sqlstate == u"28000"_s) g = Invio::Guasto::Rifiutato;
        break;
    }
    if (g) posta([g = *g](Invio *i) { i->notificaGuasto(g); });
  }

  void dopoGuasto() {
    chiudiServer();
    if (*m_fermo) return;
    m_attesa = m_attesa == 0 ? m_imp.primaAttesa : std::min(m_attesa * 2, m_imp.massimaAttesa);
    m_riprova->start(m_attesa);
    contaAttesa();
  }

  void chiudiServer() {
    if (m_lettura) m_lettura->stop();
    if (QSqlDatabase::contains(m_nomeServer)) {
      {
        QSqlDatabase db = QSqlDatabase::database(m_nomeServer, false);
        db.close();
      }
      QSqlDatabase::removeDatabase(m_nomeServer);
    }
    if (m_collegato) posta([](Invio *i) { i->notificaCollegato(false); });
    m_collegato = false;
  }

  bool leggiServer() {
    QSqlDatabase db = QSqlDatabase::database(m_nomeServer, false);
    Riflesso::DatiServer dati;
    QString errore;
    if (!Riflesso::Leggi(db, dati, &errore)) {
      qWarning("invio: %s", qPrintable(errore));
      return false;
    }
    int cambiati = 0;
    // A register busy this moment (the recording writing) is brought up to
    // date shortly: the lists are read again then.
    if (!Riflesso::Aggiorna(*m_registro, dati, &cambiati)) {
      m_riprovaRegistro = true;
      return true;
    }
    m_daLeggere = false;
    if (cambiati > 0) posta([](Invio *i) { Q_EMIT i->riflessoAggiornato(); });
    return true;
  }

  struct Gruppo {
    QString uuid;
    QSet<int> numeri;
  };

  static constexpr int kRegistroOccupato = -2;

  // One batch: > 0 rows sent, 0 nothing waiting, kRegistroOccupato the
  // register could not be read or written now, -1 a fault (the connection goes).
  int inviaLotto() {
    if (!m_registro->pronto()) return kRegistroOccupato;
    QSqlQuery q(m_registro->db());
    q.setForwardOnly(true);
    q.prepare(u"SELECT id, esercizio, numero FROM uscita ORDER BY id LIMIT ?"_s);
    q.addBindValue(m_imp.lotto);
    if (!q.exec()) {
      m_registro->fallito(q);
      return kRegistroOccupato;
    }
    QList<Gruppo> gruppi;
    QHash<QString, qsizetype> dove;
    qint64 ultimo = 0;
    int righe = 0;
    while (q.next()) {
      const QString uuid = q.value(1).toString();
      // One exercise at a time while looking for the one the server refuses.
      if (m_unoAllaVolta && !gruppi.isEmpty() && uuid != gruppi.first().uuid) continue;
      ultimo = q.value(0).toLongLong();
      ++righe;
      auto d = dove.constFind(uuid);
      if (d == dove.cend()) {
        d = dove.insert(uuid, gruppi.size());
        gruppi.append({uuid, {}});
      }
      if (!q.isNull(2)) gruppi[*d].numeri.insert(q.value(2).toInt());
    }
    q.finish();
    if (righe == 0) {
      m_unoAllaVolta = false;
      posta([](Invio *i) { i->notificaAttesa(0); });
      return 0;
    }
    QJsonObject lotto;
    if (!componi(gruppi, ultimo, lotto)) return kRegistroOccupato;

    QSqlDatabase db = QSqlDatabase::database(m_nomeServer, false);
    QSqlQuery s(db);
    QStringList rifiutati;
    if (!s.exec(u"BEGIN"_s)) return errore(s);
    s.prepare(u"SELECT ricevi(?::jsonb)"_s);
    s.addBindValue(QString::fromUtf8(QJsonDocument(lotto).toJson(QJsonDocument::Compact)));
    if (!s.exec() || !s.next()) {
      if (!Rifiutato(s.lastError())) return errore(s);
      // The server refuses what the batch holds (not the connection): the
      // batch goes one exercise at a time, and the one refused by itself is
      // kept on this computer only, rather than holding up all that follows.
      qWarning("invio: %s", qPrintable(s.lastError().text()));
      QSqlQuery(db).exec(u"ROLLBACK"_s);
      if (!m_unoAllaVolta) {
        m_unoAllaVolta = true;
        return righe;
      }
      rifiutati.append(gruppi.first().uuid);
      return toglie(ultimo, rifiutati, gruppi.first().uuid) ? righe : kRegistroOccupato;
    }
    for (const QJsonValue &v :
         QJsonDocument::fromJson(s.value(0).toString().toUtf8()).object().value(u"rifiutati"_s).toArray())
      rifiutati.append(v.toString());
    s.finish();
    if (!s.exec(u"COMMIT"_s)) return errore(s);
    if (m_imp.dopoCommit && !m_imp.dopoCommit()) return -1;

    // Not taken out (the register busy): sent again shortly, and taken once.
    if (!toglie(ultimo, rifiutati, m_unoAllaVolta ? gruppi.first().uuid : QString()))
      return kRegistroOccupato;
    const int attesa = lotto.value(u"in_attesa"_s).toInt();
    const QDateTime ora = QDateTime::currentDateTimeUtc();
    posta([attesa, ora](Invio *i) {
      i->notificaAttesa(attesa);
      i->notificaContatto(ora);
    });
    return righe;
  }

  // The server has the batch up to `ultimo` (only `solo`'s rows, when one
  // exercise went alone): out of the outbox. Exercises the server refused
  // (their pupil or class is gone from it) stay in this register only.
  bool toglie(qint64 ultimo, const QStringList &rifiutati, const QString &solo) {
    const Esito fatto = m_registro->inTransazione([&] {
      QSqlQuery d(m_registro->db());
      if (solo.isEmpty()) {
        d.prepare(u"DELETE FROM uscita WHERE id <= ?"_s);
        d.addBindValue(ultimo);
      } else {
        d.prepare(u"DELETE FROM uscita WHERE id <= ? AND esercizio = ?"_s);
        d.addBindValue(ultimo);
        d.addBindValue(solo);
      }
      if (!d.exec()) return m_registro->fallito(d);
      d.prepare(u"DELETE FROM uscita WHERE esercizio = ?"_s);
      for (const QString &uuid : rifiutati) {
        d.bindValue(0, uuid);
        if (!d.exec()) return m_registro->fallito(d);
      }
      return Esito{};
    });
    return fatto.ok;
  }

  // A statement the server refused for what it holds (class 22, data; 23, a
  // constraint), not a connection lost or a server going down.
  static bool Rifiutato(const QSqlError &e) {
    const QString stato = e.nativeErrorCode();
    return stato.startsWith(u"22"_s) || stato.startsWith(u"23"_s);
  }

  void contaAttesa() {
    if (!m_registro->pronto()) return;
    QSqlQuery q(m_registro->db());
    if (!q.exec(u"SELECT count(*) FROM uscita WHERE numero IS NOT NULL"_s) || !q.next()) return;
    posta([n = q.value(0).toInt()](Invio *i) { i->notificaAttesa(n); });
  }

  int errore(const QSqlQuery &s) {
    // The driver closes a connection it found broken: the next statement
    // then fails without a word.
    const QString testo = s.lastError().text().trimmed();
    qWarning("invio: %s", testo.isEmpty() ? "connection lost" : qPrintable(testo));
    // The server's disk full: tried again like an outage, and told, as only
    // the technician can make room.
    if (s.lastError().nativeErrorCode() == u"53100"_s)
      posta([](Invio *i) { i->notificaGuasto(Invio::Guasto::DiscoPieno); });
    return -1;
  }

  // The batch for the outbox rows up to `ultimo`: each exercise as it is now,
  // with the operations announced, and the boxes of the pupils touched.
  bool componi(const QList<Gruppo> &gruppi, qint64 ultimo, QJsonObject &lotto) {
    QSqlQuery e(m_registro->db()), o(m_registro->db()), r(m_registro->db()), c(m_registro->db());
    for (QSqlQuery *q : {&e, &o, &r, &c}) q->setForwardOnly(true);
    e.prepare(
        u"SELECT e.id, a.uuid, k.uuid, e.famiglia, e.cifre, e.cosa, e.ordine, e.inizio, e.stato, "
        u"e.operazioni,"
        u" e.esatte, e.secondi, e.errore, e.su_misura, e.alunno FROM esercizi e"
        u" LEFT JOIN alunni a ON a.id = e.alunno LEFT JOIN classi k ON k.id = e.classe WHERE e.uuid = ?"_s);
    o.prepare(
        u"SELECT id, numero, chiesto, addendo1, addendo2, unita, risultato, mostrato, intervento, secondi,"
        u" caso, richiesta FROM operazioni WHERE esercizio = ? ORDER BY numero"_s);
    r.prepare(
        u"SELECT r.operazione, r.n, r.testo, r.errore, r.passi FROM risposte r"
        u" JOIN operazioni o ON o.id = r.operazione WHERE o.esercizio = ? ORDER BY r.operazione, r.n"_s);
    c.prepare(u"SELECT caso, scatola, giorno, sbagliato FROM casi WHERE alunno = ? AND famiglia = ?"_s);
    const auto fallita = [&](QSqlQuery &q) {
      m_registro->fallito(q);
      return false;
    };
    QJsonArray esercizi, casi;
    QSet<std::pair<qint64, int>> casiPresi;
    for (const Gruppo &g : gruppi) {
      e.bindValue(0, g.uuid);
      if (!e.exec()) return fallita(e);
      if (!e.next()) continue;  // erased meanwhile: nothing to send
      const qint64 id = e.value(0).toLongLong();
      const auto testoONull = [](const QVariant &v) {
        return v.isNull() ? QJsonValue() : QJsonValue(v.toString());
      };
      QJsonObject es{{u"uuid"_s, g.uuid},
                     {u"alunno"_s, testoONull(e.value(1))},
                     {u"classe"_s, testoONull(e.value(2))},
                     {u"famiglia"_s, e.value(3).toInt()},
                     {u"cifre"_s, e.value(4).toInt()},
                     {u"cosa"_s, e.value(5).toInt()},
                     {u"ordine"_s, e.value(6).toInt()},
                     {u"inizio"_s, e.value(7).toString()},
                     {u"stato"_s, e.value(8).toInt()},
                     {u"operazioni"_s, e.value(9).toInt()},
                     {u"esatte"_s, e.value(10).toInt()},
                     {u"secondi"_s, e.value(11).toDouble()},
                     {u"errore"_s, e.value(12).toString()},
                     {u"su_misura"_s, e.value(13).toInt()}};
      const qint64 alunno = e.value(14).toLongLong();
      const int famiglia = e.value(3).toInt();
      e.finish();
      QJsonArray ops;
      if (!g.numeri.isEmpty()) {
        QHash<qint64, QJsonArray> risposte;
        r.bindValue(0, id);
        if (!r.exec()) return fallita(r);
        while (r.next())
          risposte[r.value(0).toLongLong()].append(QJsonObject{{u"n"_s, r.value(1).toInt()},
                                                               {u"testo"_s, r.value(2).toString()},
                                                               {u"errore"_s, r.value(3).toString()},
                                                               {u"passi"_s, r.value(4).toInt()}});
        o.bindValue(0, id);
        if (!o.exec()) return fallita(o);
        while (o.next()) {
          if (!g.numeri.contains(o.value(1).toInt())) continue;
          const auto facoltativo = [](const QVariant &v) {
            return v.isNull() ? QJsonValue() : QJsonValue(v.toInt());
          };
          ops.append(QJsonObject{{u"numero"_s, o.value(1).toInt()},
                                 {u"chiesto"_s, o.value(2).toInt()},
                                 {u"addendo1"_s, o.value(3).toString()},
                                 {u"addendo2"_s, o.value(4).toString()},
                                 {u"unita"_s, o.value(5).toString()},
                                 {u"risultato"_s, o.value(6).toString()},
                                 {u"mostrato"_s, o.value(7).toString()},
                                 {u"intervento"_s, o.value(8).toInt()},
                                 {u"secondi"_s, o.value(9).toDouble()},
                                 {u"caso"_s, facoltativo(o.value(10))},
                                 {u"richiesta"_s, facoltativo(o.value(11))},
                                 {u"risposte"_s, risposte.value(o.value(0).toLongLong())}});
        }
      }
      es.insert(u"ops"_s, ops);
      esercizi.append(es);
      if (alunno > 0 && !es.value(u"alunno"_s).isNull() && !casiPresi.contains({alunno, famiglia})) {
        casiPresi.insert({alunno, famiglia});
        c.bindValue(0, alunno);
        c.bindValue(1, famiglia);
        if (!c.exec()) return fallita(c);
        while (c.next())
          casi.append(QJsonObject{{u"alunno"_s, es.value(u"alunno"_s)},
                                  {u"famiglia"_s, famiglia},
                                  {u"caso"_s, c.value(0).toInt()},
                                  {u"scatola"_s, c.value(1).toInt()},
                                  {u"giorno"_s, c.value(2).toString()},
                                  {u"sbagliato"_s, c.value(3).toInt()}});
      }
    }
    // What stays after this batch: the operations announced after it.
    QSqlQuery resto(m_registro->db());
    resto.prepare(u"SELECT count(*) FROM uscita WHERE id > ? AND numero IS NOT NULL"_s);
    resto.addBindValue(ultimo);
    if (!resto.exec() || !resto.next()) return fallita(resto);
    const QDateTime adesso = m_imp.orologio ? m_imp.orologio() : QDateTime::currentDateTime();
    lotto = QJsonObject{{u"computer"_s, m_config.nomeComputer()},
                        {u"adesso"_s, adesso.toOffsetFromUtc(adesso.offsetFromUtc()).toString(Qt::ISODate)},
                        {u"in_attesa"_s, resto.value(0).toInt()},
                        {u"esercizi"_s, esercizi},
                        {u"casi"_s, casi}};
    return true;
  }

  ConfigServer m_config;
  QString m_percorso;
  Invio::Impostazioni m_imp;
  std::shared_ptr<std::atomic<bool>> m_fermo;
  Recapito m_recapito;
  QString m_nomeServer;
  std::unique_ptr<Registro> m_registro;
  QTimer *m_riprova = nullptr;
  QTimer *m_lettura = nullptr;
  bool m_collegato = false;
  bool m_daLeggere = true;
  bool m_riprovaRegistro = false;  // the register was busy: tried again shortly
  bool m_unoAllaVolta = false;     // a batch was refused: one exercise at a time
  int m_attesa = 0;                // ms of the current wait after a fault
};

Invio::Invio(ConfigServer config, QString percorsoRegistro, QObject *genitore)
    : Invio(std::move(config), std::move(percorsoRegistro), Impostazioni{}, genitore) {}

Invio::Invio(ConfigServer config, QString percorsoRegistro, Impostazioni impostazioni, QObject *genitore)
    : QObject(genitore),
      m_config(std::move(config)),
      m_percorso(std::move(percorsoRegistro)),
      m_impostazioni(std::move(impostazioni)) {
  m_recapito->invio = this;
}

Invio::~Invio() {
  ferma();
  QMutexLocker l(&m_recapito->mutex);
  m_recapito->invio = nullptr;
}

void Invio::avvia() {
  if (m_thread) return;
  m_thread = new QThread;
  m_thread->setObjectName(u"vornel-invio"_s);
  m_postino = new Postino(*this);
  // A context object living on the worker thread, for the calls posted there.
  auto *contesto = new QObject;
  contesto->moveToThread(m_thread);
  Postino *p = m_postino;
  QObject::connect(m_thread, &QThread::started, contesto, [p] { p->avvia(); });
  QObject::connect(
      m_thread, &QThread::finished, contesto,
      [p, contesto] {
        delete contesto;
        delete p;
      },
      Qt::DirectConnection);
  m_contesto = contesto;
  m_thread->start();
}

void Invio::sveglia() {
  if (!m_contesto) return;
  Postino *p = m_postino;
  QMetaObject::invokeMethod(
      m_contesto, [p] { p->sveglia(); }, Qt::QueuedConnection);
}

bool Invio::ferma(int attesa) {
  if (!m_thread) return true;
  *m_fermo = true;
  Postino *p = m_postino;
  QThread *t = m_thread;
  QMetaObject::invokeMethod(
      m_contesto,
      [p, t] {
        p->chiudi();
        t->quit();
      },
      Qt::QueuedConnection);
  const bool finito = m_thread->wait(attesa);
  if (finito) {
    delete m_thread;
  } else {
    // Held by the network (a connection timing out): it ends by itself and
    // cleans up after itself; the outbox keeps what it was sending.
    qWarning("invio: the sender is still waiting on the network; left to end by itself");
    QObject::connect(t, &QThread::finished, t, &QObject::deleteLater);
  }
  m_thread = nullptr;
  m_postino = nullptr;
  m_contesto = nullptr;
  return finito;
}

void Invio::notificaAttesa(int n) {
  if (n == m_inAttesa) return;
  m_inAttesa = n;
  Q_EMIT inAttesaCambiato(n);
}

void Invio::notificaContatto(const QDateTime &quando) {
  m_contatto = quando;
  Q_EMIT contatto(quando);
}

void Invio::notificaCollegato(bool si) {
  if (si == m_collegato) return;
  m_collegato = si;
  Q_EMIT collegamentoCambiato(si);
}

void Invio::notificaGuasto(Guasto g) {
  if (m_detti.contains(g)) return;
  m_detti.insert(g);
  m_messaggio = Testo(g);
  Q_EMIT guasto(g, *m_messaggio);
}

QString Invio::Testo(Guasto g) {
  switch (g) {
    case Guasto::Password:
      return u"Il server del registro non accetta la password di questo computer: chiedi al tecnico della "
             u"scuola di controllarla. I risultati restano su questo computer e partiranno appena sarà "
             u"sistemata."_s;
    case Guasto::Certificato:
      return u"Il collegamento protetto con il server del registro non si può verificare (il certificato "
             u"non è quello atteso, o il server non usa TLS): chiedi al tecnico della scuola. I risultati "
             u"restano su questo computer."_s;
    case Guasto::SchemaVecchio:
      return u"Il server del registro è di una versione più vecchia di Vornel: il tecnico della scuola deve "
             u"aggiornarlo. I risultati restano su questo computer."_s;
    case Guasto::SchemaNuovo:
      return u"Il server del registro è di una versione più nuova di Vornel: aggiorna il programma su questo "
             u"computer. I risultati restano su questo computer."_s;
    case Guasto::Rifiutato:
      return u"Il server del registro non accetta questo computer (utente o database sbagliati, o computer "
             u"non "
             u"autorizzato): chiedi al tecnico della scuola. I risultati restano su questo computer."_s;
    case Guasto::DiscoPieno:
      return u"Il disco del server del registro è pieno: chiedi al tecnico della scuola di fare spazio. I "
             u"risultati restano su questo computer e partiranno appena ci sarà posto."_s;
  }
  return {};
}
