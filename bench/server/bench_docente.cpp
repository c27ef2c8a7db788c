// The teacher on the school's server (a private PostgreSQL 15 over TLS on
// 127.0.0.1, as the tests start it):
//  - the class view over a register of a whole primary-school cycle (30 pupils
//    x 5 years x 200 days x 2 exercises = 60 000 exercises, 1.2 million
//    operations), read on the teacher's connection, and the register window
//    showing it;
//  - "In classe ora" with twenty lab computers handing operations over at once
//    through ricevi(): from the computer's COMMIT to the pupil's row showing
//    the operation, and from the announcement reaching the teacher's connection
//    to the row on screen.
// Usage: bench_docente [seconds of the lab, default 20]

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "../mostrata.h"
#include "../navigazionemuta.h"
#include "../riporta.h"
#include "app/stato.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "registro/accessodocente.h"
#include "registro/consultazione.h"
#include "registro/schemaserver.h"
#include "support/postgresprivato.h"
#include "ui/common/contesto.h"
#include "ui/registro/frminclasse.h"
#include "ui/registro/frmporta.h"
#include "ui/registro/frmregistro.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kComputer = 20;
constexpr int kOperazioniEsercizio = 15;  // then the next exercise (under way never reaches 20 here)

ConfigServer Config(const PostgresPrivato &pg) {
  ConfigServer c;
  c.host = u"localhost"_s;
  c.porta = pg.porta();
  c.sslmode = u"verify-full"_s;
  c.sslrootcert = pg.certificatoCA();
  c.computer = u"cattedra"_s;
  return c;
}

// The register of a whole cycle, written by the server itself.
bool Genera(PostgresPrivato &pg) {
  const QStringList sql = {
      u"INSERT INTO classi (nome) VALUES ('3A'), ('Lab')"_s,
      u"INSERT INTO alunni (classe, nome) SELECT c.id, 'Alunno ' || n || ' D''Amico' FROM classi c,"
      u" generate_series(1, 30) n WHERE c.nome = '3A'"_s,
      u"INSERT INTO alunni (classe, nome) SELECT c.id, 'Pc ' || n FROM classi c, generate_series(1, 20) n"
      u" WHERE c.nome = 'Lab'"_s,
      // 2 000 exercises per pupil over 1 000 school days, 20 operations each.
      u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato, operazioni,"
      u" esatte, secondi, errore, computer)"
      u" SELECT gen_random_uuid(), a.id, a.classe, 1 + (g * 7 + a.id) % 12, 1 + g % 2, 1 + g % 3, 1 + g % 3,"
      u" to_char(timestamp '2022-09-12 08:30' + (g / 2) * interval '1 day' + (g % 2) * interval '1 hour',"
      u" 'YYYY-MM-DD\"T\"HH24:MI:SS'), CASE WHEN g % 50 = 0 THEN 2 ELSE 1 END, 20, (g * 13 + a.id) % 21,"
      u" 300 + g % 200, CASE WHEN g % 3 = 0 THEN 'senza-conversione' ELSE '' END, 'lab-' || (a.id % 20)"
      u" FROM alunni a JOIN classi c ON c.id = a.classe AND c.nome = '3A', generate_series(0, 1999) g"_s,
      u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato, intervento,"
      u" secondi, caso, richiesta) SELECT e.id, n, 1, '12 h', '7 da', 'u', '1.270', 0, 15, 1 + n % 12, 1"
      u" FROM esercizi e, generate_series(1, 20) n"_s,
      u"INSERT INTO casi (alunno, famiglia, caso, scatola, giorno, sbagliato)"
      u" SELECT a.id, f, k, 1 + (a.id + f + k) % 5, '2026-05-' || lpad((1 + k)::text, 2, '0'), 0"
      u" FROM alunni a, generate_series(1, 12) f, generate_series(1, 12) k"_s,
      u"ANALYZE"_s,
  };
  for (const QString &s : sql)
    if (!pg.esegui(s)) return false;
  return true;
}

double P95(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(0.95 * static_cast<double>(v.size() - 1))] / 1000.0;
}

// The door's window while it connects to a server that never answers: the
// longest gap between two turns of its event loop, in ms.
double AttesaPiuLunga(const ConfigServer &config) {
  FrmPortaServer porta(config);
  porta.show();
  QCoreApplication::processEvents();
  porta.findChild<QLineEdit *>(u"txtUtente"_s)->setText(u"maestra"_s);
  porta.findChild<QLineEdit *>(u"txtPassword"_s)->setText(u"Gessetto-42"_s);
  double peggiore = 0;
  auto prima = Tempo::now();
  QTimer giro;
  QObject::connect(&giro, &QTimer::timeout, [&] {
    const auto ora = Tempo::now();
    peggiore = std::max(peggiore, Microsecondi(prima, ora) / 1000.0);
    prima = ora;
  });
  giro.start(1);
  porta.findChild<QPushButton *>(u"cmdEntra"_s)->click();
  QElapsedTimer t;
  t.start();
  while (porta.collegando() && t.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  porta.reject();
  return peggiore;
}

struct Attesa {
  int famiglia, operazione;  // the row shows this once the operation arrived
  Tempo::time_point commit;
  Tempo::time_point avviso{};  // the first announcement after the commit
};

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int secondiLab = argc > 1 ? std::atoi(argv[1]) : 20;
  PostgresPrivato pg;
  if (!pg.avvia() || !pg.preparaVornel() || !pg.creaDocente(u"maestra"_s, u"Gessetto-42"_s)) {
    std::fprintf(stderr, "server: %s\n", qPrintable(pg.errore()));
    return 1;
  }
  QElapsedTimer t;
  t.start();
  if (!Genera(pg)) {
    std::fprintf(stderr, "generation failed: %s\n", qPrintable(pg.errore()));
    return 1;
  }
  std::printf("generated 60 000 exercises, 1 200 000 operations in %.1f s\n", t.elapsed() / 1000.0);

  const ConfigServer config = Config(pg);
  {
    QSqlDatabase d = config.connessione(u"docente"_s, u"maestra"_s, u"Gessetto-42"_s);
    d.setConnectOptions(AccessoDocente::Opzioni(config));
    if (!d.open()) {
      std::fprintf(stderr, "teacher: %s\n", qPrintable(d.lastError().text()));
      return 1;
    }
  }
  auto registro = Registro::SulServer(u"docente"_s);
  qint64 classe = 0, lab = 0;
  for (const Classe &c : registro->classi()) (c.nome == u"3A"_s ? classe : lab) = c.id;

  std::vector<double> letture;
  for (int i = 0; i < 30; ++i) {
    const auto t0 = Tempo::now();
    const auto v = LeggiVistaClasse(*registro, classe);
    letture.push_back(Microsecondi(t0, Tempo::now()));
    if (!v || v->righe.size() != 30) return 1;
  }
  Riporta("class view read from the server (30 pupils)", letture);
  letture.clear();
  const qint64 alunno = registro->alunni(classe).value(7).id;
  for (int i = 0; i < 10; ++i) {
    const auto t0 = Tempo::now();
    const auto p = LeggiPaginaAlunno(*registro, alunno);
    letture.push_back(Microsecondi(t0, Tempo::now()));
    if (!p || p->esercizi.size() != 2000) return 1;
  }
  Riporta("pupil's page read from the server (2000 ex.)", letture);

  Stato stato;
  OrologioSistema orologio;
  CasualeSistema casuale(1);
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
  auto *finestra = new FrmRegistro(*registro, ctx);
  finestra->show();
  QCoreApplication::processEvents();
  std::vector<double> viste;
  for (int i = 0; i < 10; ++i)
    viste.push_back(1000.0 * Mostrata(finestra, [&] { finestra->mostraClasse(classe); }));
  Riporta("class view shown by the register window", viste);
  {
    PortaMuta muto;
    ConfigServer silenzioso = config;
    silenzioso.porta = muto.porta();
    std::printf("%-48s %8.2f ms (3 s of a server that never answers)\n",
                "door: longest hold while connecting", AttesaPiuLunga(silenzioso));
  }

  // --- the lab ------------------------------------------------------------------
  auto *vivo = new FrmInClasse(*registro, ctx, lab, finestra);
  vivo->show();
  QCoreApplication::processEvents();
  QStringList pc;
  for (const Alunno &a : registro->alunni(lab)) pc << QString::number(a.id);
  std::mutex guardia;
  std::vector<std::vector<Attesa>> attese(kComputer);  // per computer, in order
  std::vector<QString> nomi(kComputer);
  {
    QSqlQuery q(registro->db());
    q.prepare(u"SELECT uuid, nome FROM alunni WHERE classe = ? ORDER BY id"_s);
    q.addBindValue(lab);
    q.exec();
    for (int i = 0; q.next() && i < kComputer; ++i) {
      pc[i] = q.value(0).toString();
      nomi[i] = q.value(1).toString();
    }
  }
  std::vector<double> daCommit, daAvviso;
  int perse = 0;
  // The announcement reaching the teacher's connection: stamped on every
  // operation it may carry.
  QObject::connect(registro->db().driver(), &QSqlDriver::notification, vivo, [&](const QString &) {
    const auto ora = Tempo::now();
    std::lock_guard l(guardia);
    for (auto &coda : attese)
      for (Attesa &a : coda)
        if (a.avviso == Tempo::time_point{}) a.avviso = ora;
  });
  QObject::connect(vivo, &FrmInClasse::mostrata, vivo, [&] {
    const auto ora = Tempo::now();
    std::lock_guard l(guardia);
    for (const AlunnoAlLavoro &r : vivo->righe()) {
      const auto i = std::find(nomi.begin(), nomi.end(), r.nome) - nomi.begin();
      if (i >= kComputer) continue;
      auto &coda = attese[size_t(i)];
      while (!coda.empty() && coda.front().famiglia == r.famiglia &&
             coda.front().operazione <= r.operazione) {
        daCommit.push_back(Microsecondi(coda.front().commit, ora));
        if (coda.front().avviso != Tempo::time_point{})
          daAvviso.push_back(Microsecondi(coda.front().avviso, ora));
        coda.erase(coda.begin());
      }
    }
  });

  std::atomic<bool> fine{false};
  std::vector<std::thread> computer;
  for (int c = 0; c < kComputer; ++c) {
    computer.emplace_back([&, c] {
      const QString nome = u"lab-%1"_s.arg(c);
      {
        QSqlDatabase d = config.connessione(nome, u"vornel_computer"_s,
                                            QString::fromLatin1(PostgresPrivato::kPasswordComputer));
        if (!d.open()) {
          std::fprintf(stderr, "%s: %s\n", qPrintable(nome), qPrintable(d.lastError().text()));
          return;
        }
        std::mt19937 caso(static_cast<unsigned>(c));
        std::uniform_int_distribution<int> pausa(300, 900);  // ms between two answers of a quick pupil
        QSqlQuery q(d);
        q.prepare(u"SELECT ricevi(?::jsonb)"_s);
        for (int es = 0; !fine; ++es) {
          const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
          const int famiglia = 1 + (es + c) % 12;
          for (int n = 1; n <= kOperazioniEsercizio && !fine; ++n) {
            QJsonArray ops;
            ops.append(OperazioneInviata(n, 5, QJsonArray{}));
            const QJsonObject e{{u"uuid"_s, uuid},
                                {u"alunno"_s, pc[c]},
                                {u"famiglia"_s, famiglia},
                                {u"cifre"_s, 1},
                                {u"cosa"_s, 1},
                                {u"ordine"_s, 1},
                                {u"inizio"_s, QDateTime::currentDateTime().toString(Qt::ISODate)},
                                {u"stato"_s, n == kOperazioniEsercizio ? 1 : 0},
                                {u"operazioni"_s, n},
                                {u"esatte"_s, n},
                                {u"ops"_s, ops}};
            q.addBindValue(QString::fromUtf8(
                QJsonDocument(
                    QJsonObject{{u"computer"_s, nome},
                                {u"adesso"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                                {u"esercizi"_s, QJsonArray{e}}})
                    .toJson(QJsonDocument::Compact)));
            if (!q.exec()) {
              std::fprintf(stderr, "%s: %s\n", qPrintable(nome), qPrintable(q.lastError().text()));
              return;
            }
            // Committed (autocommit): from now on the teacher may see it. The
            // last operation finishes the exercise, which leaves the view.
            if (n < kOperazioniEsercizio) {
              std::lock_guard l(guardia);
              attese[size_t(c)].push_back({famiglia, n + 1, Tempo::now()});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(pausa(caso)));
          }
        }
      }
      QSqlDatabase::removeDatabase(nome);
    });
  }
  QElapsedTimer lab_t;
  lab_t.start();
  while (lab_t.elapsed() < secondiLab * 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  fine = true;
  for (auto &th : computer) th.join();
  // What is still waiting gets two seconds more, then counts as lost.
  QElapsedTimer coda;
  coda.start();
  while (coda.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  for (auto &c : attese) perse += static_cast<int>(c.size());
  Riporta("live: computer's COMMIT -> row on screen", daCommit);
  Riporta("live: announcement received -> row on screen", daAvviso);
  std::printf("live: p95 COMMIT -> screen %.1f ms, announcement -> screen %.1f ms\n", P95(daCommit),
              P95(daAvviso));
  std::printf("live: %zu operations seen, %d never seen, %d writers\n", daCommit.size(), perse, kComputer);
  delete finestra;
  registro.reset();
  return 0;
}
