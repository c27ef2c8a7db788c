#pragma once

#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QLockFile;
class QSqlQuery;

// What went wrong with the register file, as the windows tell it.
enum class Guasto {
  Nessuno,
  Danneggiato,    // the file was set aside and a new register started
  NonScrivibile,  // read-only file or folder: what the drill writes waits
  Occupato,       // another copy held the register longer than the wait allows
  VersioneNuova,  // written by a newer Vornel: left untouched
  NonApribile,    // no usable file at all
  DiscoPieno,     // no room left on the disk: what the drill writes waits
  ErroreDisco,    // the disk failed to read or write
  Incoerente,     // the register refused a row that contradicts it (a constraint)
  Scollegato,     // the school's server no longer answers
  NonPermesso,    // the server refused: this role may not do that
};

// The outcome of one request: ok, or refused/failed with the Italian sentence
// the window shows.
struct Esito {
  bool ok = true;
  QString messaggio;
  qint64 id = 0;  // the row made, when the request makes one
  explicit operator bool() const { return ok; }
  [[nodiscard]] static Esito Rifiuto(QString m) { return {false, std::move(m), 0}; }
};

struct Classe {
  qint64 id = 0;
  QString nome;
};

struct Alunno {
  qint64 id = 0;
  qint64 classe = 0;
  QString nome;
};

// The teacher's register: one SQLite file through Qt SQL. It is opened at first
// use (never at start-up), creates or updates its schema, sets a damaged file
// aside, and never throws: every request answers with an Esito, and a fault is
// told once through prendiMessaggio() however many requests it spoils.
class Registro {
 public:
  static constexpr int kVersioneSchema = 6;

  // percorso: the database file; by default registro.sqlite in the user's data folder.
  explicit Registro(QString percorso = PercorsoPredefinito());
  // The school's register on its server, through the QPSQL connection named
  // `connessione`, already open in this thread (the teacher's own role). The
  // register owns it from now on and closes it when it goes. Nothing of the
  // file's handling applies there: no PRAGMAs, no compaction, no copies set aside.
  [[nodiscard]] static std::unique_ptr<Registro> SulServer(const QString &connessione);
  ~Registro();
  Registro(const Registro &) = delete;
  Registro &operator=(const Registro &) = delete;

  [[nodiscard]] static QString PercorsoPredefinito();

  // How long a request waits for another copy holding the register (before apri()).
  void impostaAttesa(int millisecondi) { m_attesa = millisecondi; }

  // Opens (or creates) the file and brings its schema up to date. False when
  // the register can't be used; the reason stays in guasto() and the message.
  bool apri();
  [[nodiscard]] bool aperto() const { return m_aperto; }
  // Opens the register if needed, first setting aside a file found damaged by
  // an earlier request. Every request starts here.
  bool pronto();
  [[nodiscard]] Guasto guasto() const { return m_guasto; }
  // On the school's server rather than this computer's file.
  [[nodiscard]] bool suServer() const { return m_server; }
  [[nodiscard]] const QString &percorso() const { return m_percorso; }
  // Where the damaged file was moved to (empty when none was).
  [[nodiscard]] const QString &fileMessoDaParte() const { return m_messoDaParte; }
  // The message of a new fault, taken once.
  [[nodiscard]] std::optional<QString> prendiMessaggio();

  // Classes and pupils. Names are kept as typed, outer blanks aside; an empty
  // or blank name is refused.
  Esito nuovaClasse(const QString &nome);
  Esito rinominaClasse(qint64 id, const QString &nome);
  [[nodiscard]] QList<Classe> classi();
  Esito nuovoAlunno(qint64 classe, const QString &nome);
  Esito rinominaAlunno(qint64 id, const QString &nome);
  [[nodiscard]] QList<Alunno> alunni(qint64 classe);
  [[nodiscard]] std::optional<Alunno> alunno(qint64 id);
  // Erases a pupil and everything recorded of them, then compacts the file so
  // nothing of them is left in it. When the compaction could not complete
  // (another copy reading the file), the answer is ok with the message saying
  // so; it is tried again at the next erasure and by compattaSeDovuto().
  Esito cancellaAlunno(qint64 id);
  // Erases a class with its pupils and their exercises, as above.
  Esito cancellaClasse(qint64 id);
  // Finishes a compaction left incomplete; true when none is left.
  bool compattaSeDovuto();
  // The copies of the register set aside as damaged, with their journals: they
  // may still hold what was erased since.
  [[nodiscard]] QStringList copieMesseDaParte() const;
  // Erases them; false when one could not be erased.
  bool cancellaCopieMesseDaParte();

  // A school's server is set on this machine: every change the recording
  // makes is announced in the outbox (table uscita), in its own transaction.
  // Off (the default): no outbox is made or written.
  void impostaUscita(bool attiva);
  [[nodiscard]] bool uscita() const { return m_uscita; }

  // This running copy of the program, as the rows it has open name it.
  [[nodiscard]] const QString &copia() const { return m_copia; }
  // While a Breve lives, a request waits for another copy only `ms` and a busy
  // register is not told: the one who asked keeps what it could not write.
  class Breve {
   public:
    Breve(Registro &r, int ms);
    ~Breve();
    Breve(const Breve &) = delete;
    Breve &operator=(const Breve &) = delete;

   private:
    Registro &m_r;
  };

  // For the room's own classes (recording, queries, export, the door).
  [[nodiscard]] QSqlDatabase db() const;
  // Runs fai() inside BEGIN IMMEDIATE ... COMMIT (BEGIN on the server); a failure rolls back and is
  // turned into a fault. fai returns false (after setting the error through
  // fallito()) or true.
  template <typename F>
  Esito inTransazione(F &&fai);
  // Records the failure of q as a fault and gives the refusal the caller returns.
  Esito fallito(const QSqlQuery &q);
  void riuscito();  // a request went through: the fault is over

  // An empty name or one of blanks only; a line break or tab; an invisible or
  // direction-changing character; a start a spreadsheet takes for a formula
  // (=, +, -, @); too long.
  [[nodiscard]] static std::optional<QString> ErroreNome(const QString &nome, const QString &cosa);
  // A name as it is kept: composed form (NFC), outer blanks off, inner runs of
  // blanks made one, so two names that look the same are one name.
  [[nodiscard]] static QString NomeNormale(const QString &nome);

 private:
  struct SulServerTag {};
  Registro(QString connessione, SulServerTag);
  bool apriServer();
  Esito fallitoServer(const QSqlError &e);
  bool apriFile();
  bool verificaFile(QString &perche);
  bool metteDaParte();
  bool aggiorna();
  void chiudi();
  // The file at the register's path is still the one open (another copy may
  // have set it aside meanwhile).
  [[nodiscard]] bool stessoFile() const;
  void ricordaFile();
  // Takes this copy's lock and marks unfinished the exercises left under way
  // by copies that no longer run.
  void chiudiAbbandonati();
  [[nodiscard]] QString cartellaCopie() const;
  // The teacher's door of a register set aside, carried into the new one.
  void leggiPortaDaParte(const QString &file);
  void ripristinaPorta();
  Esito compatta(const Esito &fatto);
  void segnala(Guasto g, QString messaggio);
  Esito iniziaTransazione();
  Esito concludiTransazione();
  void annulla();

  QString m_percorso;
  QString m_connessione;
  QString m_messoDaParte;
  bool m_aperto = false;
  bool m_server = false;      // the school's server (PostgreSQL) rather than the file
  bool m_daRiparare = false;  // a request met a damaged file
  bool m_uscita = false;      // announce the changes to the school's server
  int m_attesa = 5000;        // ms another copy may hold the register
  int m_breve = 0;  // inside a Breve: its wait, and a busy register is not told
  QString m_copia;              // this running copy's id
  std::unique_ptr<QLockFile> m_bloccoCopia;
  quint64 m_dispositivo = 0, m_inode = 0;  // the file open
  // The door read from a file set aside: to be written into the new register.
  struct PortaDaParte {
    bool letta = false;  // false: unreadable, the new register's PIN is lost
    QByteArray sale, impronta;
    int iterazioni = 0;
  };
  std::optional<PortaDaParte> m_portaDaParte;
  Guasto m_guasto = Guasto::Nessuno;
  QSet<Guasto> m_segnalati;            // told already
  std::optional<QString> m_messaggio;  // not yet taken
  QString m_testoGuasto;               // the sentence of the fault in force
};

template <typename F>
Esito Registro::inTransazione(F &&fai) {
  if (!pronto()) return Esito::Rifiuto(m_testoGuasto);
  Esito e = iniziaTransazione();
  if (!e) return e;
  Esito dentro = fai();
  if (!dentro) {
    annulla();
    return dentro;
  }
  e = concludiTransazione();
  if (!e) return e;
  riuscito();
  return dentro;
}
