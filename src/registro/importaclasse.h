#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "registro/registro.h"

// A class list brought in by the teacher: rows pasted from a spreadsheet or a
// web page, or a file (CSV/TSV in UTF-8, UTF-16 or Windows-1252, an old Excel
// .xls). Only the pupils' names and their class are ever taken from it: every
// other column (tax codes, birth dates) is dropped here and never stored.

// The table as read, before any choice.
struct ElencoLetto {
  QList<QStringList> righe;  // every row, the header included
  QString formato;           // how it was read, as the teacher is told ("UTF-8, separatore ;")
  QString errore;            // why nothing could be read; empty when read
  [[nodiscard]] bool letto() const { return errore.isEmpty(); }
};

// Which column holds what; -1 for none.
struct ColonneElenco {
  bool intestazione = false;  // the first row names the columns: it is no pupil
  int cognome = -1, nome = -1;
  int intero = -1;  // one column holding the whole name, taken as written
  int classe = -1;  // optional: the class of each row
};

// How the surname and the first name become the name in the register.
enum class Unione {
  CognomeNome,   // "Rossi Mario"
  NomeIniziale,  // "Mario R."
};

// The largest list taken: a whole school fits, a stray database dump does not.
constexpr int kRigheElenco = 5000;
constexpr qint64 kByteElenco = 10 * 1024 * 1024;

// CSV or TSV bytes: the encoding (BOM, else UTF-8 if valid, else Windows-1252)
// and the separator (tab, ';' or ',') found from the text itself.
[[nodiscard]] ElencoLetto LeggiTestoElenco(const QByteArray &byte);
// Text from the clipboard: a spreadsheet puts tab-separated rows there.
[[nodiscard]] ElencoLetto LeggiIncollato(const QString &testo);
// The first sheet of an old Excel file (.xls), through freexl.
[[nodiscard]] ElencoLetto LeggiXls(const QString &percorso);
// A file by its name: .xls as above, anything else as CSV/TSV text. A .xlsx or
// .ods is read by LibreOffice first (ConversioneFoglio).
[[nodiscard]] ElencoLetto LeggiFileElenco(const QString &percorso);
[[nodiscard]] bool DaConvertire(const QString &percorso);  // .xlsx, .ods

// The columns as a header names them (Italian or English), or as the content
// suggests: the first two columns of words are surname and first name.
[[nodiscard]] ColonneElenco IndovinaColonne(const ElencoLetto &elenco);

// The names the register refuses, and what an import refuses besides:
// invisible characters and a start a spreadsheet would read as a formula.
[[nodiscard]] std::optional<QString> ErroreNomeImportato(const QString &nome, const QString &cosa);

// What the preview says of one row.
enum class Esame { DaAggiungere, GiaPresente, Rifiutata };

struct RigaEsaminata {
  int riga = 0;  // the row's number in the table, from 1
  QString nome, classe;
  Esame esame = Esame::Rifiutata;
  QString motivo;  // why it is skipped or refused
};

// A class already in the register, with its pupils.
struct ClassePresente {
  qint64 id = 0;
  QString nome;
  QStringList alunni;
};

// One class's share of what is written: an existing class (id), or a new one
// (id 0) made with this name.
struct GruppoImportato {
  qint64 classe = 0;
  QString nomeClasse;
  QStringList alunni;
};

struct SceltaImport {
  ColonneElenco colonne;
  Unione unione = Unione::CognomeNome;
  QString classe;         // where rows without a class of their own go, existing or new
  bool maiuscole = true;  // a name written all in capitals ("ROSSI") is written "Rossi"
};

struct Anteprima {
  QList<RigaEsaminata> righe;
  int daAggiungere = 0, giaPresenti = 0, rifiutate = 0;
  QList<GruppoImportato> gruppi;  // what "Importa" writes
};

// Judges every row against the register's classes: a pupil already in that
// class (capitals aside) or already met in the list is skipped; a row whose
// name the register would refuse is refused with the reason.
[[nodiscard]] Anteprima Esamina(const ElencoLetto &elenco, const SceltaImport &scelta,
                                const QList<ClassePresente> &presenti);

// Where an import is written: the computer's register, and later a school's
// server. One write is all or nothing.
class DestinazioneElenco {
 public:
  virtual ~DestinazioneElenco() = default;
  [[nodiscard]] virtual QList<ClassePresente> presenti() = 0;
  // Writes the groups in one transaction; aggiunti counts the pupils written.
  virtual Esito scrivi(const QList<GruppoImportato> &gruppi, int &aggiunti) = 0;
  // The message of a fault of the register, taken once (as Registro::prendiMessaggio).
  [[nodiscard]] virtual std::optional<QString> prendiMessaggio() { return std::nullopt; }
};

// The statements of a write, plain SQL that SQLite and PostgreSQL both accept,
// run inside the caller's transaction. fallito turns a failed query into the
// refusal returned.
Esito ScriviGruppi(QSqlDatabase db, const QList<GruppoImportato> &gruppi, int &aggiunti,
                   const std::function<Esito(const QSqlQuery &)> &fallito);

// The computer's own register.
class DestinazioneRegistro final : public DestinazioneElenco {
 public:
  explicit DestinazioneRegistro(Registro &registro) : m_registro(registro) {}
  [[nodiscard]] QList<ClassePresente> presenti() override;
  Esito scrivi(const QList<GruppoImportato> &gruppi, int &aggiunti) override;
  [[nodiscard]] std::optional<QString> prendiMessaggio() override { return m_registro.prendiMessaggio(); }

 private:
  Registro &m_registro;
};
