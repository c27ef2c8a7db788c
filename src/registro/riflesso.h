#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>

#include "registro/registro.h"

// The computer's mirror of what the school's server keeps: the classes, the
// pupils and their plans, kept in the computer's own register as rows marked
// remoto and known by their uuid, so the pupils' list and a pupil's plan work
// when the server is away. A pupil or class erased on the server is erased
// here too, with everything recorded of them.
namespace Riflesso {

struct ClasseServer {
  QString uuid, nome;
};
struct AlunnoServer {
  QString uuid, classe, nome;  // classe: the class's uuid
};
struct PianoServer {
  QString alunno;               // the pupil's uuid
  std::array<int, 5> valori{};  // in the order of kCampiOpzioni
};

// What the server holds, as the computers' role may read it.
struct DatiServer {
  QList<ClasseServer> classi;
  QList<AlunnoServer> alunni;
  QList<PianoServer> piani;
  QStringList cancellati;  // uuids of pupils and classes erased
};

// Reads it on an open connection to the server. False with errore.
bool Leggi(QSqlDatabase &server, DatiServer &dati, QString *errore);

// Brings the mirror in the register up to what the server holds, in one
// transaction, writing nothing when nothing changed. A class or pupil of this
// computer with the name of one of the server's (in the same class) becomes
// that one. cambiati: rows written. False when the register refused.
bool Aggiorna(Registro &registro, const DatiServer &dati, int *cambiati = nullptr);

// The mirrored classes, and the mirrored pupils of a class, as the pupil picks
// among them (the server's, never a computer's own).
[[nodiscard]] QList<Classe> Classi(Registro &registro);
[[nodiscard]] QList<Alunno> Alunni(Registro &registro, qint64 classe);

}  // namespace Riflesso
