#include "registro/registro.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>
#include <atomic>

#include "registro/schema.h"
#include "registro/schemaserver.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLunghezzaNome = 60;

// The SQLite result codes told apart (as the QSQLITE driver reports them); every
// other failure (read-only file, full disk, input/output error) means the
// register can't be written.
enum CodiceSqlite {
  kError = 1,
  kPerm = 3,
  kBusy = 5,
  kLocked = 6,
  kReadOnly = 8,
  kIoErr = 10,
  kCorrupt = 11,
  kFull = 13,
  kCantOpen = 14,
  kConstraint = 19,
  kNotADb = 26,
};

int Codice(const QSqlError &e) {
  return e.nativeErrorCode().toInt() & 0xff;
}

// Real damage only: a malformed file, or a table or column of ours gone. A
// busy or unreadable file is not damage, and is never set aside for it.
bool Danneggiato(const QSqlError &e) {
  const int c = Codice(e);
  if (c == kCorrupt || c == kNotADb) return true;
  const QString t = e.databaseText();
  return c == kError && (t.contains(u"no such table"_s) || t.contains(u"no such column"_s));
}

QString Danneggiamento(const QString &dove) {
  return u"Il registro era danneggiato: l'ho messo da parte come «%1» e ne ho cominciato uno nuovo, vuoto."_s
      .arg(QFileInfo(dove).fileName());
}

const QString kNonScrivibile =
    u"Il registro è di sola lettura (il file o la sua cartella non si possono scrivere): "
    u"l'esercizio continua, e i risultati aspettano di essere scritti."_s;
const QString kDiscoPieno =
    u"Il disco è pieno: l'esercizio continua, e i risultati saranno scritti nel registro appena c'è posto."_s;
const QString kErroreDisco =
    u"Il disco non riesce a leggere o scrivere il registro: l'esercizio continua, "
    u"e i risultati aspettano di essere scritti."_s;
const QString kIncoerente =
    u"Il registro ha rifiutato un dato che non torna con quelli che contiene: "
    u"il dato non è stato scritto."_s;
const QString kOccupato =
    u"Il registro è occupato da un'altra copia di Vornel: riprova fra qualche istante."_s;
const QString kVersioneNuova =
    u"Questo registro è stato scritto da una versione più recente di Vornel: "
    u"per usarlo aggiorna il programma. Il file non è stato toccato."_s;

const QString kScollegato =
    u"Il server della scuola non risponde più (la rete o il server sono caduti): chiudi il registro e "
    u"riaprilo quando la rete torna. Nulla di ciò che gli alunni scrivono va perso."_s;
const QString kServerPieno =
    u"Il disco del server della scuola è pieno: chiedi al tecnico di fare spazio. Nulla è stato scritto."_s;
const QString kServerOccupato =
    u"Il server della scuola è occupato (forse il tecnico lo sta aggiornando): riprova fra qualche istante."_s;
const QString kNonPermesso =
    u"Il server della scuola non permette a questo utente di farlo: chiedi al tecnico."_s;
const QString kServerNuovo =
    u"Il registro sul server è di una versione più recente di Vornel: aggiorna il programma su questo computer."_s;
const QString kServerVecchio =
    u"Il registro sul server è di una versione più vecchia di Vornel: il tecnico deve aggiornarlo con "
    u"vornel-scuola."_s;

// What the driver says when the connection went (libpq's words, in English or
// in Italian as its translation has them).
bool SembraScollegato(const QString &t) {
  static const char16_t *const kParole[] = {u"server closed the connection", u"no connection to the server",
                                            u"connection to server",         u"terminating connection",
                                            u"could not receive data",       u"could not send data",
                                            u"connessione al server",        u"nessuna connessione",
                                            u"SSL SYSCALL",                  u"EOF detected"};
  for (const char16_t *p : kParole)
    if (t.contains(QStringView(p), Qt::CaseInsensitive)) return true;
  return false;
}

}  // namespace

Registro::Registro(QString percorso) : m_percorso(std::move(percorso)) {
  static std::atomic<int> contatore{0};
  m_connessione = u"vornel-registro-%1"_s.arg(++contatore);
  m_copia = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

Registro::Registro(QString connessione, SulServerTag)
    : m_connessione(std::move(connessione)), m_server(true) {
  m_copia = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

std::unique_ptr<Registro> Registro::SulServer(const QString &connessione) {
  return std::unique_ptr<Registro>(new Registro(connessione, SulServerTag{}));
}

Registro::~Registro() {
  chiudi();
}

QString Registro::PercorsoPredefinito() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/registro.sqlite"_s;
}

QSqlDatabase Registro::db() const {
  return QSqlDatabase::database(m_connessione, false);
}

std::optional<QString> Registro::prendiMessaggio() {
  return std::exchange(m_messaggio, std::nullopt);
}

void Registro::impostaUscita(bool attiva) {
  m_uscita = attiva;
  if (!attiva || !m_aperto) return;
  QSqlQuery q(db());
  for (const QString &istruzione : TabelleUscita())
    if (!q.exec(istruzione)) fallito(q);
}

Registro::Breve::Breve(Registro &r, int ms) : m_r(r) {
  m_r.m_breve = std::max(1, ms);
  if (m_r.m_aperto && !m_r.m_server) QSqlQuery(m_r.db()).exec(u"PRAGMA busy_timeout=%1"_s.arg(m_r.m_breve));
}

Registro::Breve::~Breve() {
  m_r.m_breve = 0;
  if (m_r.m_aperto && !m_r.m_server) QSqlQuery(m_r.db()).exec(u"PRAGMA busy_timeout=%1"_s.arg(m_r.m_attesa));
}

void Registro::segnala(Guasto g, QString messaggio) {
  m_guasto = g;
  m_testoGuasto = messaggio;
  // Each kind of fault is told once: a disk that fills up and frees a little
  // at a time must not nag the pupil at every operation.
  if (m_segnalati.contains(g)) return;
  m_segnalati.insert(g);
  m_messaggio = std::move(messaggio);
}

void Registro::riuscito() {
  if (m_guasto != Guasto::Danneggiato) m_guasto = Guasto::Nessuno;
}

void Registro::chiudi() {
  m_aperto = false;
  m_inode = 0;
  m_bloccoCopia.reset();
  {
    QSqlDatabase d = db();
    if (d.isValid()) d.close();
  }
  if (QSqlDatabase::contains(m_connessione)) QSqlDatabase::removeDatabase(m_connessione);
}

bool Registro::apriFile() {
  QSqlDatabase d =
      QSqlDatabase::contains(m_connessione) ? db() : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connessione);
  if (!d.isValid()) {
    segnala(
        Guasto::NonApribile,
        u"Manca il componente che legge il registro (il driver QSQLITE di Qt): il registro non è disponibile."_s);
    return false;
  }
  d.setDatabaseName(m_percorso);
  d.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(m_breve ? m_breve : m_attesa));
  if (!d.open()) {
    segnala(Guasto::NonApribile, u"Non riesco ad aprire il registro «%1»."_s.arg(m_percorso));
    return false;
  }
  return true;
}

// Reads what every request relies on: the header and the schema. Damage deeper
// in the file shows when a request reaches it (see fallito): checking every page
// here would cost seconds on a register of some years.
// False with perche = "danneggiato" when the file is not a sound SQLite file.
bool Registro::verificaFile(QString &perche) {
  QSqlQuery q(db());
  if (!q.exec(u"PRAGMA user_version"_s) || !q.next() || !q.exec(u"SELECT count(*) FROM sqlite_schema"_s) ||
      !q.next()) {
    perche = Danneggiato(q.lastError()) ? u"danneggiato"_s : q.lastError().text();
    return false;
  }
  const int oggetti = q.value(0).toInt();
  // A sound SQLite file that was never a register (tables but no version) is set
  // aside too: it is not ours to add to.
  if (q.exec(u"PRAGMA user_version"_s) && q.next() && q.value(0).toInt() == 0 && oggetti > 0) {
    perche = u"danneggiato"_s;
    return false;
  }
  return true;
}

void Registro::leggiPortaDaParte(const QString &file) {
  PortaDaParte porta;
  const QString nome = m_connessione + u"-da-parte"_s;
  {
    QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, nome);
    d.setDatabaseName(file);
    d.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
    if (d.open()) {
      QSqlQuery q(d);
      if (q.exec(u"SELECT sale, impronta, iterazioni FROM porta WHERE id = 1"_s)) {
        porta.letta = true;
        if (q.next()) porta = {true, q.value(0).toByteArray(), q.value(1).toByteArray(), q.value(2).toInt()};
      } else if (q.lastError().databaseText().contains(u"no such table"_s)) {
        porta.letta = true;  // a register from before the door: no PIN to keep
      }
    }
    d.close();
  }
  QSqlDatabase::removeDatabase(nome);
  m_portaDaParte = porta;
}

// The new register keeps the teacher's PIN of the one set aside; when it could
// not be read, no one may choose a PIN here in the teacher's place.
void Registro::ripristinaPorta() {
  const auto porta = std::exchange(m_portaDaParte, std::nullopt);
  if (!porta || (porta->letta && porta->impronta.isEmpty())) return;
  QSqlQuery q(db());
  q.prepare(
      u"INSERT OR IGNORE INTO porta (id, sale, impronta, iterazioni, errori, ultimo_errore, smarrito)"
      u" VALUES (1, ?, ?, ?, 0, 0, ?)"_s);
  q.addBindValue(porta->letta ? porta->sale : QByteArray(""));
  q.addBindValue(porta->letta ? porta->impronta : QByteArray(""));
  q.addBindValue(porta->iterazioni);
  q.addBindValue(porta->letta ? 0 : 1);
  if (!q.exec()) fallito(q);
}

bool Registro::metteDaParte() {
  chiudi();
  leggiPortaDaParte(m_percorso);
  const QFileInfo info(m_percorso);
  const QString adesso = QDateTime::currentDateTime().toString(u"yyyy-MM-dd-HHmmss"_s);
  QString dove;
  for (int n = 0;; ++n) {
    dove = info.dir().filePath(u"%1-danneggiato-%2%3.%4"_s.arg(
        info.completeBaseName(), adesso, n ? u"-%1"_s.arg(n) : QString(), info.suffix()));
    if (!QFileInfo::exists(dove)) break;
  }
  if (!QFile::rename(m_percorso, dove)) {
    segnala(
        Guasto::NonApribile,
        u"Il registro «%1» è danneggiato e non riesco a metterlo da parte: il registro non è disponibile."_s
            .arg(m_percorso));
    return false;
  }
  // A journal left beside the old file belongs to it, never to the new one.
  if (QFileInfo::exists(m_percorso + u"-wal"_s)) QFile::rename(m_percorso + u"-wal"_s, dove + u"-wal"_s);
  QFile::remove(m_percorso + u"-shm"_s);
  m_messoDaParte = dove;
  return true;
}

bool Registro::pronto() {
  if (m_server) return m_aperto || apriServer();
  if (m_daRiparare) {
    // Damage found by an earlier request: that file goes aside, a new one starts.
    m_daRiparare = false;
    if (!metteDaParte()) return false;
    m_aperto = false;
    if (!apri()) return false;
    segnala(Guasto::Danneggiato, Danneggiamento(m_messoDaParte));
    return true;
  }
  if (m_aperto && !stessoFile()) {
    // Another copy set the file aside (or it was moved): what is written from
    // now on goes to the register at the path, never into the file set aside.
    chiudi();
  }
  return m_aperto || apri();
}

void Registro::ricordaFile() {
  struct stat s {};
  if (::stat(QFile::encodeName(m_percorso).constData(), &s) == 0) {
    m_dispositivo = s.st_dev;
    m_inode = s.st_ino;
  }
}

bool Registro::stessoFile() const {
  if (m_inode == 0) return true;  // not known yet: the file is being opened
  struct stat s {};
  if (::stat(QFile::encodeName(m_percorso).constData(), &s) != 0) return false;
  return s.st_dev == m_dispositivo && s.st_ino == m_inode;
}

// The server's connection was opened by whoever signed in (off the window's
// thread); here only what the teacher's views rely on is checked: the schema's
// version.
bool Registro::apriServer() {
  QSqlDatabase d = db();
  if (!d.isValid() || !d.isOpen()) {
    segnala(Guasto::Scollegato, kScollegato);
    return false;
  }
  QString errore;
  const int versione = SchemaServer::Versione(d, &errore);
  if (versione < 0) {
    QSqlQuery q(d);
    q.exec(u"SELECT 1"_s);
    fallitoServer(q.lastError().isValid() ? q.lastError() : QSqlError(errore, errore));
    return false;
  }
  if (versione > SchemaServer::kVersione) {
    segnala(Guasto::VersioneNuova, kServerNuovo);
    return false;
  }
  if (versione < SchemaServer::kVersione) {
    segnala(Guasto::NonApribile, kServerVecchio);
    return false;
  }
  m_aperto = true;
  return true;
}

// The server's faults by their SQLSTATE (the QPSQL driver gives it as the
// native code); a connection gone has none, only the driver's word for it.
Esito Registro::fallitoServer(const QSqlError &e) {
  const QString stato = e.nativeErrorCode();
  const QString classe = stato.left(2);
  if (stato == u"53100"_s) {
    segnala(Guasto::DiscoPieno, kServerPieno);
  } else if (stato == u"57P01"_s || stato == u"57P02"_s || stato == u"57P03"_s || classe == u"08"_s ||
             (stato.isEmpty() && (e.type() == QSqlError::ConnectionError || !db().isOpen() ||
                                  SembraScollegato(e.databaseText() + e.driverText())))) {
    segnala(Guasto::Scollegato, kScollegato);
  } else if (stato == u"55P03"_s || stato == u"57014"_s || stato == u"42601"_s) {
    // A statement refused for waiting too long on a lock or running too long.
    // The driver prepares each statement on the server first; when that fails
    // (the same wait), it still sends an EXECUTE of nothing, and the error
    // left is that one's syntax error: our statements, the same on every
    // server, have none of their own.
    segnala(Guasto::Occupato, kServerOccupato);
  } else if (classe == u"23"_s) {
    segnala(Guasto::Incoerente, kIncoerente);
  } else if (stato == u"42501"_s) {
    segnala(Guasto::NonPermesso, kNonPermesso);
  } else if (classe == u"42"_s && (stato == u"42P01"_s || stato == u"42703"_s)) {
    segnala(Guasto::NonApribile, kServerVecchio);
  } else {
    segnala(Guasto::ErroreDisco, u"Il server del registro ha dato un errore inatteso (%1)."_s.arg(
                                     e.databaseText().isEmpty() ? e.text() : e.databaseText()));
  }
  return Esito::Rifiuto(m_testoGuasto);
}

bool Registro::apri() {
  if (m_aperto) return true;
  if (m_server) return apriServer();
  const QFileInfo info(m_percorso);
  if (!QDir().mkpath(info.absolutePath())) {
    segnala(Guasto::NonScrivibile, kNonScrivibile);
    return false;
  }
  // A damaged file is set aside and the opening tried once more on a new one.
  for (int volta = 0; volta < 2; ++volta) {
    if (!apriFile()) return false;
    QString perche;
    if (!verificaFile(perche)) {
      if (perche != u"danneggiato"_s) {
        const bool occupato = perche.contains(u"locked"_s);
        segnala(occupato ? Guasto::Occupato : Guasto::NonApribile,
                occupato ? kOccupato : u"Non riesco a leggere il registro «%1»."_s.arg(m_percorso));
        chiudi();
        return false;
      }
    } else {
      ricordaFile();
      {
        QSqlQuery q(db());
        q.exec(u"PRAGMA busy_timeout=%1"_s.arg(m_breve ? m_breve : m_attesa));
        // A file from elsewhere may carry triggers and views: they get no
        // functions with side effects.
        q.exec(u"PRAGMA trusted_schema=OFF"_s);
        q.exec(u"PRAGMA foreign_keys=ON"_s);
        q.exec(u"PRAGMA secure_delete=ON"_s);
        // FULL syncs the journal at every commit: a power cut loses at most the
        // transaction under way.
        q.exec(u"PRAGMA synchronous=FULL"_s);
      }
      m_aperto = true;
      if (aggiorna()) {
        // WAL: readers and one writer side by side. Set once the version is
        // known to be ours, since it rewrites the file's header.
        QSqlQuery(db()).exec(u"PRAGMA journal_mode=WAL"_s);
        if (m_uscita) impostaUscita(true);
        ripristinaPorta();
        chiudiAbbandonati();
        if (volta > 0) segnala(Guasto::Danneggiato, Danneggiamento(m_messoDaParte));
        return true;
      }
      const bool danneggiato = std::exchange(m_daRiparare, false);
      if (!danneggiato) {
        chiudi();
        return false;
      }
    }
    if (volta > 0) {
      segnala(Guasto::NonApribile, u"Non riesco a cominciare un registro nuovo in «%1»."_s.arg(m_percorso));
      chiudi();
      return false;
    }
    if (!metteDaParte()) return false;
  }
  return false;
}

bool Registro::aggiorna() {
  QSqlQuery q(db());
  if (!q.exec(u"PRAGMA user_version"_s) || !q.next()) {
    fallito(q);
    return false;
  }
  const int versione = q.value(0).toInt();
  q.finish();  // a statement left open keeps a table from being dropped
  if (versione > kVersioneSchema || versione < 0) {
    segnala(Guasto::VersioneNuova, kVersioneNuova);
    return false;
  }
  // A new file (an empty one is the only version 0 that comes this far) is
  // ours from the start: it takes WAL before its first step, so creating the
  // register syncs one log rather than a journal created and deleted per step.
  if (versione == 0) QSqlQuery(db()).exec(u"PRAGMA journal_mode=WAL"_s);
  // Version 4 rebuilds tables that others refer to: dropping the old ones must
  // not cascade. The setting is taken outside a transaction only.
  const bool ricostruisce = versione < 4 && versione > 0;
  if (ricostruisce) q.exec(u"PRAGMA foreign_keys=OFF"_s);
  const auto riaccendi = qScopeGuard([&] {
    if (ricostruisce) QSqlQuery(db()).exec(u"PRAGMA foreign_keys=ON"_s);
  });
  for (int v = versione; v < kVersioneSchema; ++v) {
    // Each step is one transaction: a step cut short leaves the previous version.
    const Esito e = inTransazione([&] {
      QSqlQuery passo(db());
      // Another copy may have done the step meanwhile.
      if (!passo.exec(u"PRAGMA user_version"_s) || !passo.next()) return fallito(passo);
      if (passo.value(0).toInt() != v) return Esito{};
      passo.finish();
      for (const QString &istruzione : PassoMigrazione(v + 1))
        if (!passo.exec(istruzione)) return fallito(passo);
      return Esito{};
    });
    if (!e) return false;
  }
  // Every table with every column this program reads: a file that claims our
  // version but lacks them is as good as damaged.
  static const QStringList kLetture = {
      // One row read: the class list is mostly read from the names' index,
      // which would not meet a damaged table.
      u"SELECT id, nome, uuid, remoto FROM classi LIMIT 1"_s,
      u"SELECT id, classe, nome, uuid, remoto FROM alunni LIMIT 0"_s,
      u"SELECT id, uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato, operazioni, esatte,"
      u" secondi, errore, copia, su_misura FROM esercizi LIMIT 0"_s,
      u"SELECT id, esercizio, numero, chiesto, addendo1, addendo2, unita, risultato, intervento, secondi,"
      u" mostrato, caso, richiesta FROM operazioni LIMIT 0"_s,
      u"SELECT alunno, famiglia, caso, scatola, giorno, sbagliato FROM casi LIMIT 0"_s,
      u"SELECT operazione, n, testo, errore, passi FROM risposte LIMIT 0"_s,
      u"SELECT id, sale, impronta, iterazioni, errori, ultimo_errore, smarrito FROM porta LIMIT 0"_s,
      u"SELECT id FROM da_compattare LIMIT 0"_s,
      u"SELECT alunno, leggi_sempre, tabella_a_mano, senza_orologio, caratteri_grandi, alto_contrasto"
      u" FROM piani LIMIT 0"_s,
  };
  for (const QString &lettura : kLetture) {
    if (!q.exec(lettura)) {
      // A busy or unreadable file is told as such; only a malformed file or a
      // table or column gone is damage.
      if (!Danneggiato(q.lastError())) {
        fallito(q);
        return false;
      }
      qWarning("registro: %s (%s)", qPrintable(q.lastError().text()), qPrintable(lettura));
      m_daRiparare = true;
      m_guasto = Guasto::Danneggiato;
      return false;
    }
  }
  return true;
}

Esito Registro::fallito(const QSqlQuery &q) {
  const QSqlError e = q.lastError();
  qWarning("registro: %s (%s)", qPrintable(e.text()), qPrintable(q.lastQuery()));
  if (m_server) return fallitoServer(e);
  if (Danneggiato(e)) {
    // Found while in use: the next request sets the file aside and tells it.
    m_daRiparare = true;
    m_guasto = Guasto::Danneggiato;
    m_testoGuasto = u"Il registro è danneggiato."_s;
    return Esito::Rifiuto(m_testoGuasto);
  }
  switch (Codice(e)) {
    case kBusy:
    case kLocked:
      // Whoever asked with a short wait keeps what it could not write and
      // tries again: nobody needs telling.
      if (m_breve) {
        m_guasto = Guasto::Occupato;
        m_testoGuasto = kOccupato;
      } else {
        segnala(Guasto::Occupato, kOccupato);
      }
      break;
    case kFull:
      segnala(Guasto::DiscoPieno, kDiscoPieno);
      break;
    case kIoErr:
      segnala(Guasto::ErroreDisco, kErroreDisco);
      break;
    case kConstraint:
      segnala(Guasto::Incoerente, kIncoerente);
      break;
    case kReadOnly:
    case kPerm:
    case kCantOpen:
      segnala(Guasto::NonScrivibile, kNonScrivibile);
      break;
    default:
      segnala(Guasto::ErroreDisco, u"Il registro ha dato un errore inatteso (%1): l'esercizio continua, "
                                   u"e i risultati aspettano di essere scritti."_s.arg(e.databaseText()));
      break;
  }
  return Esito::Rifiuto(m_testoGuasto);
}

Esito Registro::iniziaTransazione() {
  QSqlQuery q(db());
  // IMMEDIATE takes the write lock at once, so a second copy waits at the start
  // (busy timeout) instead of failing halfway through. The server locks rows,
  // not the file: a plain BEGIN.
  if (!q.exec(m_server ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s)) return fallito(q);
  return {};
}

Esito Registro::concludiTransazione() {
  QSqlQuery q(db());
  if (!q.exec(u"COMMIT"_s)) {
    Esito e = fallito(q);
    annulla();
    return e;
  }
  return {};
}

void Registro::annulla() {
  QSqlQuery q(db());
  q.exec(u"ROLLBACK"_s);
}

QString Registro::NomeNormale(const QString &nome) {
  return nome.normalized(QString::NormalizationForm_C).simplified();
}

std::optional<QString> Registro::ErroreNome(const QString &nome, const QString &cosa) {
  const QString n = NomeNormale(nome);
  if (n.isEmpty()) return u"Il nome %1 non può essere vuoto."_s.arg(cosa);
  for (const QChar c : nome)
    if (c.category() == QChar::Other_Control)
      return u"Il nome %1 non può contenere a capo o tabulazioni."_s.arg(cosa);
  // Zero-width spaces and joiners, the soft hyphen, the marks that turn the
  // writing's direction: a name holding them shows other than it is.
  for (const QChar c : n)
    if (c.category() == QChar::Other_Format)
      return u"Il nome %1 contiene caratteri invisibili o che cambiano il verso della scrittura."_s.arg(cosa);
  // A spreadsheet that opens the register's CSV would run it as a formula.
  if (QStringView(u"=+-@").contains(n.front()))
    return u"Il nome %1 non può cominciare con %2 (un foglio di calcolo lo prenderebbe per una formula)."_s
        .arg(cosa, n.front());
  if (n.size() > kLunghezzaNome)
    return u"Il nome %1 è troppo lungo (al massimo %2 caratteri)."_s.arg(cosa).arg(kLunghezzaNome);
  return std::nullopt;
}

namespace {
const QString kDellaClasse = u"della classe"_s;
const QString kDellAlunno = u"dell'alunno"_s;
}  // namespace

Esito Registro::nuovaClasse(const QString &nome) {
  if (const auto errore = ErroreNome(nome, kDellaClasse)) return Esito::Rifiuto(*errore);
  return inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(u"SELECT 1 FROM classi WHERE nome = ?"_s);
    q.addBindValue(NomeNormale(nome));
    if (!q.exec()) return fallito(q);
    if (q.next()) return Esito::Rifiuto(u"Esiste già una classe con questo nome."_s);
    // RETURNING: the id the server gave (its driver has no last insert id).
    q.prepare(u"INSERT INTO classi (nome) VALUES (?) RETURNING id"_s);
    q.addBindValue(NomeNormale(nome));
    if (!q.exec() || !q.next()) return fallito(q);
    return Esito{true, {}, q.value(0).toLongLong()};
  });
}

Esito Registro::rinominaClasse(qint64 id, const QString &nome) {
  if (const auto errore = ErroreNome(nome, kDellaClasse)) return Esito::Rifiuto(*errore);
  return inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(u"SELECT 1 FROM classi WHERE nome = ? AND id <> ?"_s);
    q.addBindValue(NomeNormale(nome));
    q.addBindValue(id);
    if (!q.exec()) return fallito(q);
    if (q.next()) return Esito::Rifiuto(u"Esiste già una classe con questo nome."_s);
    q.prepare(u"UPDATE classi SET nome = ? WHERE id = ?"_s);
    q.addBindValue(NomeNormale(nome));
    q.addBindValue(id);
    if (!q.exec()) return fallito(q);
    if (q.numRowsAffected() != 1) return Esito::Rifiuto(u"La classe non esiste più."_s);
    return Esito{true, {}, id};
  });
}

QList<Classe> Registro::classi() {
  QList<Classe> elenco;
  if (!pronto()) return elenco;
  QSqlQuery q(db());
  q.setForwardOnly(true);
  if (!q.exec(u"SELECT id, nome FROM classi ORDER BY lower(nome), id"_s)) {
    fallito(q);
    return elenco;
  }
  while (q.next()) elenco.append({q.value(0).toLongLong(), q.value(1).toString()});
  return elenco;
}

Esito Registro::nuovoAlunno(qint64 classe, const QString &nome) {
  if (const auto errore = ErroreNome(nome, kDellAlunno)) return Esito::Rifiuto(*errore);
  return inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(u"SELECT 1 FROM classi WHERE id = ?"_s);
    q.addBindValue(classe);
    if (!q.exec()) return fallito(q);
    if (!q.next()) return Esito::Rifiuto(u"La classe non esiste più."_s);
    q.prepare(u"SELECT 1 FROM alunni WHERE classe = ? AND nome = ?"_s);
    q.addBindValue(classe);
    q.addBindValue(NomeNormale(nome));
    if (!q.exec()) return fallito(q);
    if (q.next()) return Esito::Rifiuto(u"In questa classe c'è già un alunno con questo nome."_s);
    q.prepare(u"INSERT INTO alunni (classe, nome) VALUES (?, ?) RETURNING id"_s);
    q.addBindValue(classe);
    q.addBindValue(NomeNormale(nome));
    if (!q.exec() || !q.next()) return fallito(q);
    return Esito{true, {}, q.value(0).toLongLong()};
  });
}

Esito Registro::rinominaAlunno(qint64 id, const QString &nome) {
  if (const auto errore = ErroreNome(nome, kDellAlunno)) return Esito::Rifiuto(*errore);
  return inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(
        u"SELECT 1 FROM alunni a JOIN alunni b ON b.classe = a.classe "
        u"WHERE a.id = ? AND b.id <> a.id AND b.nome = ?"_s);
    q.addBindValue(id);
    q.addBindValue(NomeNormale(nome));
    if (!q.exec()) return fallito(q);
    if (q.next()) return Esito::Rifiuto(u"In questa classe c'è già un alunno con questo nome."_s);
    q.prepare(u"UPDATE alunni SET nome = ? WHERE id = ?"_s);
    q.addBindValue(NomeNormale(nome));
    q.addBindValue(id);
    if (!q.exec()) return fallito(q);
    if (q.numRowsAffected() != 1) return Esito::Rifiuto(u"L'alunno non esiste più."_s);
    return Esito{true, {}, id};
  });
}

QList<Alunno> Registro::alunni(qint64 classe) {
  QList<Alunno> elenco;
  if (!pronto()) return elenco;
  QSqlQuery q(db());
  q.setForwardOnly(true);
  q.prepare(u"SELECT id, classe, nome FROM alunni WHERE classe = ? ORDER BY lower(nome), id"_s);
  q.addBindValue(classe);
  if (!q.exec()) {
    fallito(q);
    return elenco;
  }
  while (q.next()) elenco.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString()});
  return elenco;
}

std::optional<Alunno> Registro::alunno(qint64 id) {
  if (!pronto()) return std::nullopt;
  QSqlQuery q(db());
  q.prepare(u"SELECT id, classe, nome FROM alunni WHERE id = ?"_s);
  q.addBindValue(id);
  if (!q.exec()) {
    fallito(q);
    return std::nullopt;
  }
  if (!q.next()) return std::nullopt;
  return Alunno{q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString()};
}

// Rewrites the file without the freed pages and empties the journal, so erased
// rows survive nowhere on disk (secure_delete has already zeroed them in place).
// Another copy reading the file keeps the journal from being emptied: then the
// erasure is done, the cleaning is not, and the teacher is told so.
Esito Registro::compatta(const Esito &fatto) {
  // The server keeps its own files: an erased row is gone for every reader,
  // and its space is the server's business (autovacuum).
  if (m_server) return fatto;
  QSqlQuery q(db());
  bool finito = q.exec(u"VACUUM"_s) && q.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s) && q.next() &&
                q.value(0).toInt() == 0;
  if (finito) {
    finito = q.exec(u"DELETE FROM da_compattare"_s);
  } else {
    qWarning("registro: compaction not complete (%s)", qPrintable(q.lastError().text()));
    QSqlQuery(db()).exec(u"INSERT OR IGNORE INTO da_compattare (id) VALUES (1)"_s);
  }
  if (finito) return fatto;
  Esito e = fatto;
  e.messaggio =
      u"Cancellato dal registro; la pulizia del file però non è finita (un'altra copia di Vornel lo sta "
      u"leggendo), quindi tracce dei dati cancellati possono restare sul disco. Riproverò alla prossima "
      u"apertura del registro."_s;
  return e;
}

bool Registro::compattaSeDovuto() {
  if (m_server) return true;
  if (!pronto()) return false;
  QSqlQuery q(db());
  if (!q.exec(u"SELECT 1 FROM da_compattare"_s)) return false;
  if (!q.next()) return true;
  q.finish();
  return compatta(Esito{}).messaggio.isEmpty();
}

Esito Registro::cancellaAlunno(qint64 id) {
  Esito e = inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(u"DELETE FROM alunni WHERE id = ?"_s);
    q.addBindValue(id);
    if (!q.exec()) return fallito(q);
    if (q.numRowsAffected() != 1) return Esito::Rifiuto(u"L'alunno non esiste più."_s);
    return Esito{true, {}, id};
  });
  if (!e) return e;
  return compatta(e);
}

Esito Registro::cancellaClasse(qint64 id) {
  Esito e = inTransazione([&] {
    QSqlQuery q(db());
    q.prepare(u"DELETE FROM classi WHERE id = ?"_s);
    q.addBindValue(id);
    if (!q.exec()) return fallito(q);
    if (q.numRowsAffected() != 1) return Esito::Rifiuto(u"La classe non esiste più."_s);
    return Esito{true, {}, id};
  });
  if (!e) return e;
  return compatta(e);
}

QStringList Registro::copieMesseDaParte() const {
  if (m_server) return {};
  const QFileInfo info(m_percorso);
  QStringList copie;
  // Matched by hand, as in the waiting writes: a name filter is a regular expression.
  const QString prefisso = info.completeBaseName() + u"-danneggiato-"_s;
  const auto trovati = info.dir().entryInfoList(QDir::Files);
  for (const QFileInfo &f : trovati)
    if (f.fileName().startsWith(prefisso)) copie.append(f.absoluteFilePath());
  return copie;
}

bool Registro::cancellaCopieMesseDaParte() {
  bool tutte = true;
  for (const QString &f : copieMesseDaParte()) tutte = QFile::remove(f) && tutte;
  return tutte;
}

// --- the running copies ---------------------------------------------------------

QString Registro::cartellaCopie() const {
  const QFileInfo info(m_percorso);
  return info.dir().filePath(info.completeBaseName() + u"-copie"_s);
}

// Each running copy holds a lock file named after it while it has the register
// open; the operating system lets it go when the copy ends however it ends
// (closed, killed, a power cut). An exercise still under way whose copy's lock
// is free was left by a copy that no longer runs: it is unfinished.
void Registro::chiudiAbbandonati() {
  if (!m_bloccoCopia && QDir().mkpath(cartellaCopie())) {
    auto blocco = std::make_unique<QLockFile>(QDir(cartellaCopie()).filePath(m_copia + u".lock"_s));
    blocco->setStaleLockTime(0);
    if (blocco->tryLock(0)) m_bloccoCopia = std::move(blocco);
  }
  QSqlQuery q(db());
  q.setForwardOnly(true);
  if (!q.exec(u"SELECT DISTINCT copia FROM esercizi WHERE stato = 0"_s)) return;
  QStringList abbandonate;
  while (q.next()) {
    const QString copia = q.value(0).toString();
    if (copia == m_copia) continue;
    // An id that is not one of ours cannot name a file elsewhere.
    if (QUuid::fromString(copia).isNull()) {
      abbandonate.append(copia);
      continue;
    }
    QLockFile blocco(QDir(cartellaCopie()).filePath(copia + u".lock"_s));
    blocco.setStaleLockTime(0);  // only a copy that no longer runs lets it go
    if (blocco.tryLock(0)) {
      blocco.unlock();
      abbandonate.append(copia);
    }
  }
  q.finish();
  for (const QString &copia : abbandonate) {
    const QVariant chi = copia.isEmpty() ? QVariant() : QVariant(copia);
    // With a school's server the closing is announced with it, so the server
    // no longer shows the exercise as under way.
    if (m_uscita) {
      inTransazione([&] {
        q.prepare(u"INSERT INTO uscita (esercizio) SELECT uuid FROM esercizi WHERE stato = 0 AND copia IS NOT DISTINCT FROM ?"_s);
        q.addBindValue(chi);
        if (!q.exec()) return fallito(q);
        q.prepare(u"UPDATE esercizi SET stato = 2 WHERE stato = 0 AND copia IS NOT DISTINCT FROM ?"_s);
        q.addBindValue(chi);
        if (!q.exec()) return fallito(q);
        return Esito{};
      });
      continue;
    }
    q.prepare(u"UPDATE esercizi SET stato = 2 WHERE stato = 0 AND copia IS NOT DISTINCT FROM ?"_s);
    q.addBindValue(chi);
    if (!q.exec()) fallito(q);
  }
}
