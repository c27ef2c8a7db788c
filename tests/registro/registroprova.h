#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "registro/registrazione.h"
#include "registro/registro.h"

// A register in a fresh temporary folder.
struct RegistroProva {
  QTemporaryDir dir;
  QString file = dir.filePath(QStringLiteral("registro.sqlite"));
};

// Operation n: right at the first try, or answered wrong with the given
// mistakes (the program steps in when the last answer is wrong too).
inline OperazioneChiusa Operazione(int n, const QStringList &errori = {}, bool poiGiusta = true,
                                   qint64 secondi = 7) {
  OperazioneChiusa op;
  op.numero = n;
  op.chiesto = 1;
  op.addendo1 = QStringLiteral("12  h");
  op.addendo2 = QStringLiteral(" 7 da");
  op.unita = QStringLiteral("  u");
  op.risultato = QStringLiteral("1.270");
  for (const QString &e : errori) op.risposte.append({QStringLiteral("127"), e});
  if (poiGiusta) op.risposte.append({QStringLiteral("1.270"), {}});
  op.intervento = !poiGiusta;
  op.secondi = secondi;
  return op;
}

inline QByteArray Contenuto(const QString &file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
