#include "registro/accessodocente.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <QVariant>
#include <atomic>
#include <cstring>
#include <dlfcn.h>

#include "registro/schemaserver.h"

using namespace Qt::StringLiterals;

struct AccessoDocente::Stato {
  std::atomic<bool> annullato{false};
  std::atomic<bool> inCorso{true};
  QPointer<AccessoDocente> destinatario;
  QThread *filo = nullptr;  // the asker's thread
};

namespace {

// libpq's own connection under a QPSQL one.
void *Pg(const QSqlDatabase &db) {
  const QVariant h = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
  // Qt names the type as libpq declares it (struct pg_conn).
  if (!h.isValid() || (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
    return nullptr;
  return *static_cast<void *const *>(h.constData());
}

// libpq's copy of a connection's password. libpq is looked up where the QPSQL
// driver already loaded it, never linked: the program and its register
// module carry none of it (nor what it brings: LDAP, Kerberos, GnuTLS) until
// a connection to the server is made.
char *PasswordPg(void *pg) {
  using Funzione = char *(*)(const void *);
  if (!pg) return nullptr;
  // A connection of libpq's is there: so is libpq.
  static const Funzione pqPass = []() -> Funzione {
    void *libpq = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    return libpq ? reinterpret_cast<Funzione>(dlsym(libpq, "PQpass")) : nullptr;
  }();
  return pqPass ? pqPass(pg) : nullptr;
}

// Closes a connection in the thread that owns it.
void Chiudi(const QString &nome) {
  {
    QSqlDatabase d = QSqlDatabase::database(nome, false);
    if (d.isValid()) d.close();
  }
  QSqlDatabase::removeDatabase(nome);
}

EsitoAccesso Collega(const ConfigServer &config, const QString &utente, QString &password,
                     const QString &nome) {
  EsitoAccesso esito;
  const QString nomeVista = nome + u"-vista"_s;
  {
    QSqlDatabase d = config.connessione(nome, utente, password);
    d.setConnectOptions(AccessoDocente::Opzioni(config));
    const bool aperta = d.open();
    // The live view's own connection, made while the password is at hand.
    QSqlDatabase v;
    if (aperta) {
      v = config.connessione(nomeVista, utente, password);
      v.setConnectOptions(AccessoDocente::Opzioni(config));
      if (v.open()) esito.connessioneVista = nomeVista;
    }
    // The password goes at once, whatever happened: ours, Qt's, and libpq's
    // copy, which it keeps only to connect again (Qt never asks it to).
    password.fill(u'\0');
    password.clear();
    for (QSqlDatabase *c : {&d, &v}) {
      if (!c->isValid()) continue;
      c->setPassword(QString());
      if (char *p = PasswordPg(Pg(*c))) explicit_bzero(p, std::strlen(p));
    }
    if (!aperta) {
      esito.dettaglio = d.lastError().text();
      esito.tipo = AccessoDocente::Classifica(esito.dettaglio);
    } else {
      QString errore;
      const int versione = SchemaServer::Versione(d, &errore);
      QSqlQuery q(d);
      if (versione < 0) {
        esito.dettaglio = errore;
        esito.tipo = errore.contains(u"42501"_s) || errore.contains(u"permission"_s)
                         ? EsitoAccesso::Tipo::NonDocente
                         : EsitoAccesso::Tipo::SchemaVecchio;
      } else if (versione < SchemaServer::kVersione) {
        esito.tipo = EsitoAccesso::Tipo::SchemaVecchio;
      } else if (versione > SchemaServer::kVersione) {
        esito.tipo = EsitoAccesso::Tipo::SchemaNuovo;
      } else if (q.prepare(u"SELECT pg_has_role(current_user, ?, 'MEMBER')"_s),
                 q.addBindValue(QString::fromLatin1(SchemaServer::kDocenti)),
                 !q.exec() || !q.next() || !q.value(0).toBool()) {
        esito.tipo = EsitoAccesso::Tipo::NonDocente;
      } else {
        esito.tipo = EsitoAccesso::Tipo::Entrato;
        esito.connessione = nome;
      }
    }
  }
  if (esito.tipo != EsitoAccesso::Tipo::Entrato) {
    Chiudi(nome);
    esito.connessioneVista.clear();
  }
  if (esito.connessioneVista.isEmpty() && QSqlDatabase::contains(nomeVista)) Chiudi(nomeVista);
  esito.messaggio = AccessoDocente::Messaggio(esito.tipo, config);
  return esito;
}

}  // namespace

QString AccessoDocente::Opzioni(const ConfigServer &config) {
  QString o = config.opzioniConnessione();
  const int attesa = std::min(config.tcpUserTimeout, kTcpUserTimeout);
  o.replace(QRegularExpression(u"tcp_user_timeout=\\d+"_s), u"tcp_user_timeout=%1"_s.arg(attesa));
  // A server that answers but is held (the technician's update locking a
  // table, a query gone astray) holds the window no longer than this either.
  o += u";options='-c lock_timeout=%1 -c statement_timeout=%2'"_s.arg(kAttesaBlocco).arg(kAttesaIstruzione);
  return o;
}

bool AccessoDocente::TienePassword(const QSqlDatabase &db) {
  const char *p = PasswordPg(Pg(db));
  return !db.password().isEmpty() || (p && *p);
}

EsitoAccesso::Tipo AccessoDocente::Classifica(const QString &testo) {
  // libpq's words in English, or in Italian where its translation is installed
  // (the server's own words come in the server's language, either of the two).
  static const char16_t *const kPassword[] = {u"password authentication failed",
                                              u"autenticazione con password fallita",
                                              u"no password supplied",
                                              u"nessuna password fornita",
                                              u"SCRAM",
                                              u"authentication failed",
                                              u"autenticazione fallita"};
  // A connection cut while TLS is being set up ("SSL SYSCALL error") is no
  // certificate's fault: only the words of a refused certificate count.
  static const char16_t *const kCertificato[] = {u"certificate",
                                                 u"certificato",
                                                 u"does not support SSL",
                                                 u"non supporta SSL",
                                                 u"does not match host name",
                                                 u"non corrisponde al nome"};
  // Signed in, but the role may not use the register's database (not one of the teachers).
  static const char16_t *const kNonDocente[] = {u"permission denied for database",
                                                u"permesso negato per il database"};
  for (const char16_t *p : kNonDocente)
    if (testo.contains(QStringView(p), Qt::CaseInsensitive)) return EsitoAccesso::Tipo::NonDocente;
  for (const char16_t *p : kPassword)
    if (testo.contains(QStringView(p), Qt::CaseInsensitive)) return EsitoAccesso::Tipo::Password;
  for (const char16_t *p : kCertificato)
    if (testo.contains(QStringView(p), Qt::CaseInsensitive)) return EsitoAccesso::Tipo::Certificato;
  return EsitoAccesso::Tipo::Irraggiungibile;
}

QString AccessoDocente::Messaggio(EsitoAccesso::Tipo tipo, const ConfigServer &config) {
  switch (tipo) {
    case EsitoAccesso::Tipo::Entrato:
      return {};
    case EsitoAccesso::Tipo::Password:
      return u"Nome utente o password sbagliati: riscrivili. (Il nome e la password sono quelli che il "
             u"tecnico "
             u"ti ha dato per il server della scuola, non il PIN.)"_s;
    case EsitoAccesso::Tipo::Irraggiungibile:
      return u"Il server della scuola (%1, porta %2) non risponde. Puoi aprire il registro di questo "
             u"computer "
             u"con il PIN: contiene solo gli esercizi fatti su questo computer."_s.arg(config.host)
                 .arg(config.porta);
    case EsitoAccesso::Tipo::Certificato:
      return u"Il certificato del server della scuola non è valido per «%1»: per sicurezza non mi collego. "
             u"Chiedi al tecnico di controllarlo."_s.arg(config.host);
    case EsitoAccesso::Tipo::SchemaVecchio:
      return u"Il registro sul server è di una versione più vecchia di Vornel: il tecnico deve aggiornarlo "
             u"con "
             u"vornel-scuola."_s;
    case EsitoAccesso::Tipo::SchemaNuovo:
      return u"Il registro sul server è di una versione più recente di Vornel: aggiorna il programma su "
             u"questo computer."_s;
    case EsitoAccesso::Tipo::NonDocente:
      return u"Questo utente del server non è tra gli insegnanti del registro: chiedi al tecnico."_s;
  }
  return {};
}

AccessoDocente::AccessoDocente(const ConfigServer &config, const QString &utente, QString password,
                               QObject *genitore)
    : QObject(genitore), m_stato(std::make_shared<Stato>()) {
  qRegisterMetaType<EsitoAccesso>();
  m_stato->destinatario = this;
  m_stato->filo = QThread::currentThread();
  const QString nome = u"vornel-docente-%1"_s.arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
  auto stato = m_stato;
  QThread *filo = QThread::create([stato, config, utente, password = std::move(password), nome]() mutable {
    EsitoAccesso esito = Collega(config, utente, password, nome);
    if (esito.tipo == EsitoAccesso::Tipo::Entrato) {
      if (stato->annullato) {
        Chiudi(nome);
        if (!esito.connessioneVista.isEmpty()) Chiudi(esito.connessioneVista);
        return;
      }
      // Handed to the asker's thread: from now on only it uses the connections.
      for (const QString &c : {nome, esito.connessioneVista})
        if (!c.isEmpty()) QSqlDatabase::database(c, false).driver()->moveToThread(stato->filo);
    }
    // Delivered through the application, which outlives any window: a
    // connection whose asker went meanwhile is closed there.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [stato, esito] {
          stato->inCorso = false;
          if (stato->annullato || !stato->destinatario) {
            for (const QString &c : {esito.connessione, esito.connessioneVista})
              if (!c.isEmpty()) Chiudi(c);
            return;
          }
          Q_EMIT stato->destinatario->finito(esito);
        },
        Qt::QueuedConnection);
  });
  connect(filo, &QThread::finished, filo, &QObject::deleteLater);
  filo->start();
}

AccessoDocente::~AccessoDocente() {
  annulla();
}

void AccessoDocente::annulla() {
  m_stato->annullato = true;
}

bool AccessoDocente::inCorso() const {
  return m_stato->inCorso && !m_stato->annullato;
}
