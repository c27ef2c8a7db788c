// One computer of the simulated lab, as its own process: the program's own
// register, recording and sender (no copy of them), a register file of its
// own, twenty exercises of twenty operations for one pupil of the server's.
// It waits for the pupil to reach it from the server, writes an operation every
// few milliseconds whatever the network does, and ends (0) once nothing is left
// to send, having told no one of the outages.
//
//   computer_laboratorio <register> <port> <CA> <password> <computer> <pupil> <clock offset, s>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTimer>
#include <cstdio>

#include "registro/invio.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/registroprova.h"
#include "registro/riflesso.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kEsercizi = 20;
constexpr int kPasso = 8;              // ms between two operations
constexpr int kTempoMassimo = 400000;  // ms: a computer still at it by then has failed

qint64 IdAlunno(Registro &r, const QString &nome) {
  for (const Classe &c : Riflesso::Classi(r))
    for (const Alunno &a : Riflesso::Alunni(r, c.id))
      if (a.nome == nome) return a.id;
  return 0;
}

int InUscita(Registro &r) {
  QSqlQuery q(r.db());
  return q.exec(u"SELECT count(*) FROM uscita"_s) && q.next() ? q.value(0).toInt() : -1;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList a = app.arguments();
  if (a.size() != 8) {
    std::fprintf(stderr, "usage: computer_laboratorio register port CA password computer pupil offset\n");
    return 64;
  }
  ConfigServer config;
  config.host = u"127.0.0.1"_s;
  config.porta = a[2].toInt();
  config.sslrootcert = a[3];
  config.sslmode = u"verify-full"_s;
  config.password = a[4];
  config.computer = a[5];
  config.connectTimeout = 3;
  config.tcpUserTimeout = 5000;
  const QString nomeAlunno = a[6];
  const qint64 scarto = a[7].toLongLong();

  Registro registro(a[1]);
  registro.impostaUscita(true);
  RegistrazioneEsercizio reg(registro);
  Invio::Impostazioni imp;
  imp.orologio = [scarto] { return QDateTime::currentDateTime().addSecs(scarto); };
  Invio invio(config, a[1], imp);
  reg.quandoAnnuncia([&invio] { invio.sveglia(); });
  invio.avvia();

  QElapsedTimer tempo;
  tempo.start();
  qint64 alunno = 0;
  int esercizio = 0, operazione = 0;
  QTimer passo;
  passo.setInterval(kPasso);
  passo.callOnTimeout([&] {
    if (tempo.elapsed() > kTempoMassimo) {
      std::fprintf(stderr, "%s: still %d to send after %d ms\n", qPrintable(config.computer),
                   InUscita(registro), kTempoMassimo);
      app.exit(3);
      return;
    }
    if (alunno == 0) {
      alunno = IdAlunno(registro, nomeAlunno);
      return;
    }
    if (esercizio < kEsercizi) {
      if (operazione == 0) {
        DatiEsercizio d;
        d.alunno = alunno;
        d.famiglia = 1 + esercizio % 12;
        d.inizio = QDateTime::currentDateTime();
        (void)reg.inizia(d);
      }
      ++operazione;
      OperazioneChiusa op = Operazione(operazione, operazione % 4 ? QStringList{} : QStringList{u"unita"_s});
      op.caso = 1 + operazione % 12;
      (void)reg.operazioneChiusa(op);
      if (operazione == RegistrazioneEsercizio::kOperazioni) {
        operazione = 0;
        ++esercizio;
      }
      return;
    }
    if (reg.inAttesa() != 0 || InUscita(registro) != 0) return;
    // Restarts and cuts are outages: nobody is told of them.
    if (const auto m = invio.prendiMessaggio()) {
      std::fprintf(stderr, "%s told: %s\n", qPrintable(config.computer), qPrintable(*m));
      app.exit(4);
      return;
    }
    app.exit(0);
  });
  passo.start();
  const int esito = app.exec();
  reg.quandoAnnuncia({});
  invio.ferma();
  return esito;
}
