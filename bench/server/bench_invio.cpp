// The computers' side of the school's server, timed: 1 000 operations waiting
// in a computer's outbox sent to a private PostgreSQL (from the sender's start
// to the outbox empty, the server's lists read first as at every contact);
// and the window's thread while a pupil records 20 operations with the server
// unreachable (an address that never answers): the longest single recording
// call, the longest the thread's event loop was held, and how long stopping
// the sender takes at exit.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "../riporta.h"
#include "registro/invio.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/riflesso.h"
#include "support/postgresprivato.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kEsercizi = 50, kOperazioni = 20;  // 1 000 operations
constexpr int kGiri = 5;

OperazioneChiusa Operazione(int n) {
  OperazioneChiusa op;
  op.numero = n;
  op.addendo1 = u"12 h"_s;
  op.addendo2 = u"7 da"_s;
  op.unita = u"u"_s;
  op.risultato = u"1.270"_s;
  op.risposte = {{u"127"_s, u"virgola+1"_s, 1}, {u"1.270"_s, {}, 0}};
  op.secondi = 6;
  op.caso = 1 + n % 12;
  op.richiesta = 1 + n % 4;
  return op;
}

ConfigServer Server(const QString &host, int porta, const QString &ca) {
  ConfigServer c;
  c.host = host;
  c.porta = porta;
  c.password = QString::fromLatin1(PostgresPrivato::kPasswordComputer);
  c.sslmode = u"verify-full"_s;
  c.sslrootcert = ca;
  c.computer = u"bench"_s;
  return c;
}

// Spins the event loop until `fatto` or `ms` pass; false on time out.
template <typename F>
bool Aspetta(F &&fatto, int ms) {
  QElapsedTimer t;
  t.start();
  while (!fatto()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

int InUscita(Registro &r) {
  QSqlQuery q(r.db());
  return q.exec(u"SELECT count(*) FROM uscita"_s) && q.next() ? q.value(0).toInt() : -1;
}

void Riga(const char *cosa, std::vector<double> ms, const char *meta) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-52s median %9.2f ms   worst %9.2f ms  n=%zu   (goal %s)\n", cosa, ms[ms.size() / 2],
              ms.back(), ms.size(), meta);
}

// 1 000 operations recorded while no sender runs, then sent.
bool Invia(PostgresPrivato &pg, std::vector<double> &tempi) {
  for (int giro = 0; giro < kGiri; ++giro) {
    if (!pg.esegui(u"TRUNCATE esercizi CASCADE"_s)) return false;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"registro.sqlite"_s);
    const ConfigServer config = Server(u"127.0.0.1"_s, pg.porta(), pg.certificatoCA());
    qint64 alunno = 0;
    {
      // The pupil reaches the computer first, as at any contact.
      Registro r(file);
      r.impostaUscita(true);
      Invio invio(config, file);
      invio.avvia();
      if (!Aspetta([&] { return !Riflesso::Classi(r).isEmpty(); }, 30000)) return false;
      alunno = Riflesso::Alunni(r, Riflesso::Classi(r).first().id).value(0).id;
    }
    Registro r(file);
    r.impostaUscita(true);
    {
      RegistrazioneEsercizio reg(r);
      for (int e = 0; e < kEsercizi; ++e) {
        DatiEsercizio d;
        d.alunno = alunno;
        d.famiglia = 1 + e % 12;
        d.inizio = QDateTime::currentDateTime();
        (void)reg.inizia(d);
        for (int n = 1; n <= kOperazioni; ++n) (void)reg.operazioneChiusa(Operazione(n));
      }
    }
    QElapsedTimer t;
    t.start();
    Invio invio(config, file);
    invio.avvia();
    if (!Aspetta([&] { return InUscita(r) == 0; }, 60000)) return false;
    tempi.push_back(t.nsecsElapsed() / 1e6);
  }
  QSqlDatabase db = pg.superutente(u"conta"_s, u"vornel"_s);
  QSqlQuery q(db);
  const bool tutte = q.exec(u"SELECT count(*) FROM operazioni"_s) && q.next() &&
                     q.value(0).toInt() == kEsercizi * kOperazioni;
  if (!tutte) std::fprintf(stderr, "the server does not hold the 1 000 operations\n");
  return tutte;
}

// A port on 127.0.0.1 that takes connections and never says a word: the
// system completes the handshake and nobody ever reads (a server hung, or a
// firewall that swallows the packets, as seen from the computer).
int PortaMuta(int &presa) {
  presa = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  if (presa < 0 || ::bind(presa, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 ||
      ::listen(presa, 64) != 0 || ::getsockname(presa, reinterpret_cast<sockaddr *>(&a), &n) != 0)
    return 0;
  return ntohs(a.sin_port);
}

// The window's thread while 20 operations are recorded and the server never
// answers; without a server (conServer false): today's program, to compare.
void Trattieni(bool conServer, std::vector<double> &chiamate, std::vector<double> &presa,
               std::vector<double> &arresto) {
  for (int giro = 0; giro < kGiri; ++giro) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"registro.sqlite"_s);
    Registro r(file);
    r.impostaUscita(conServer);
    RegistrazioneEsercizio reg(r);
    (void)r.apri();
    int muta = -1;
    const int porta = PortaMuta(muta);
    auto invio = std::make_unique<Invio>(Server(u"127.0.0.1"_s, porta, {}), file);
    if (conServer) {
      reg.quandoAnnuncia([&] { invio->sveglia(); });
      invio->avvia();
    }
    // The event loop's longest hold: the gaps of a timer that wants to run every millisecond.
    QElapsedTimer battito;
    battito.start();
    qint64 ultimo = 0;
    double massimo = 0;
    QTimer polso;
    polso.setInterval(1);
    polso.callOnTimeout([&] {
      const qint64 ora = battito.nsecsElapsed();
      if (ultimo) massimo = std::max(massimo, (ora - ultimo) / 1e6);
      ultimo = ora;
    });
    polso.start();
    DatiEsercizio d;
    d.inizio = QDateTime::currentDateTime();
    int n = 0;
    QTimer passo;
    passo.setInterval(20);
    passo.callOnTimeout([&] {
      QElapsedTimer t;
      t.start();
      if (n == 0) (void)reg.inizia(d);
      (void)reg.operazioneChiusa(Operazione(++n));
      chiamate.push_back(t.nsecsElapsed() / 1e6);
      if (n == kOperazioni) passo.stop();
    });
    passo.start();
    Aspetta([&] { return n == kOperazioni; }, 60000);
    Aspetta([] { return false; }, 200);
    polso.stop();
    presa.push_back(massimo);
    QElapsedTimer t;
    t.start();
    reg.quandoAnnuncia({});
    (void)invio->ferma();
    arresto.push_back(t.nsecsElapsed() / 1e6);
    invio.reset();
    if (conServer && InUscita(r) != 1 + kOperazioni) std::fprintf(stderr, "the outbox lost what waited\n");
    ::close(muta);
  }
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  PostgresPrivato pg;
  if (!pg.avvia() || !pg.preparaVornel() || !pg.esegui(u"INSERT INTO classi (nome) VALUES ('3ª A')"_s) ||
      !pg.esegui(u"INSERT INTO alunni (classe, nome) SELECT id, 'Anna' FROM classi"_s)) {
    std::fprintf(stderr, "no private PostgreSQL: %s\n", qPrintable(pg.errore()));
    return 1;
  }
  std::vector<double> invio, chiamate, presa, arresto;
  if (!Invia(pg, invio)) return 1;
  Riga("1 000 queued operations sent (start to outbox empty)", invio, "< 1000 ms");
  Trattieni(true, chiamate, presa, arresto);
  Riga("recording one operation, server unreachable", chiamate, "< 16 ms");
  Riga("window thread's longest hold, 20 operations", presa, "< 16 ms");
  Riga("stopping the sender at exit, server unreachable", arresto, "~2000 ms at most");
  chiamate.clear();
  presa.clear();
  arresto.clear();
  Trattieni(false, chiamate, presa, arresto);
  Riga("recording one operation, no server (as before)", chiamate, "the same");
  Riga("window thread's longest hold, no server", presa, "the same");
  return 0;
}
