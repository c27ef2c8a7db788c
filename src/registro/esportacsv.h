#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "registro/registro.h"

class QIODevice;

// Writes the register for an Italian spreadsheet: UTF-8 with a byte order mark,
// ";" between fields, decimal comma, dates dd/mm/yyyy, CR LF line ends, every
// text cell quoted (inner quotes doubled), numbers and dates bare so the
// spreadsheet reads them as such; a header row in Italian.
class EsportaCsv {
 public:
  // How a mistake class key reads for the teacher; by default the key itself.
  using Descrizione = std::function<QString(const QString &)>;

  explicit EsportaCsv(Registro &registro, Descrizione descriviErrore = {});

  // Every exercise of the class's pupils, one row each.
  Esito classe(qint64 classe, const QString &file);
  // Every exercise of one pupil (0: those recorded as "Senza nome").
  Esito alunno(qint64 alunno, const QString &file);
  // Every operation of every exercise of the class's pupils, with the answers.
  Esito operazioniClasse(qint64 classe, const QString &file);

  // One cell of text: quoted, inner quotes doubled.
  [[nodiscard]] static QString Testo(const QString &s);
  // A number with a decimal comma and no thousands separator, at most two decimals.
  [[nodiscard]] static QString Numero(double x);

 private:
  Esito esercizi(const QString &filtro, const QVariant &valore, const QString &file);
  Esito scrivi(const QString &file, const std::function<bool(QIODevice &)> &righe);

  Registro &m_registro;
  Descrizione m_descriviErrore;
};
