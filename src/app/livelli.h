#pragma once

#include "app/stato.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The level file: strNomeFile + ".dat" in the current directory, one record
// " <family>  <digits> " + CR LF.

struct RecordLivello {
  qint16 intLivello;
  qint16 intCifre;
};

// Parses the record: two decimal fields in -32768..32767, each after optional
// blanks and line ends, each ending at a blank, a comma or a line end. A family
// outside 1..12 or digits outside 1..2 count as unreadable.
[[nodiscard]] std::optional<RecordLivello> LeggiRecordLivello(const QByteArray &dati);

// The record exactly as written: family 2 with 1 digit gives " 2  1 \r\n".
[[nodiscard]] QByteArray TestoRecordLivello(qint16 intLivello, qint16 intCifre);

// strNomeFile + ".dat".
[[nodiscard]] QString NomeFileLivelli(const QString &strNomeFile);

// The executable's file name without directory and extension.
[[nodiscard]] QString NomeBaseEseguibile(const QString &argv0);

// Reads the level file into livello; on any failure sets family 1 and 1 digit
// and writes the record at once. Never shows a message. Returns true when the
// record was read.
bool LeggiLivelli(Livello &livello);

// Writes the record atomically (temporary file, then rename). Returns false
// when it can't be written; the program goes on with the values in memory.
bool ScriviLivelli(const Livello &livello);
