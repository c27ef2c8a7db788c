// The register at the size of a whole primary school cycle: 30 pupils x 5 school
// years x 200 days x 2 exercises (60 000 exercises, 1.2 million operations).
// Times the reads behind the teacher's views, the same views shown by the
// register window (from the call to the window painted), the CSV of the whole
// class, the writing of one operation, opening the file and checking a PIN.
// Usage: bench_registro [file] (a file already generated is reused).
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QVariant>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "../navigazionemuta.h"
#include "../mostrata.h"
#include "../riporta.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "generation/famiglie.h"
#include "registro/casi.h"
#include "registro/consultazione.h"
#include "registro/storiasumisura.h"
#include "registro/esportacsv.h"
#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "ui/registro/frmregistro.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kAlunni = 30, kAnni = 5, kGiorni = 200, kAlGiorno = 2, kOperazioni = 20;
const QStringList kErrori = {u"unita"_s, u"virgola+1"_s, u"virgola-1"_s,
                             u"cifre"_s, u"simbolo"_s,   u"riporto"_s};

bool Genera(Registro &r, qint64 &classe) {
  classe = r.nuovaClasse(u"3ª A"_s).id;
  QList<qint64> alunni;
  for (int a = 0; a < kAlunni; ++a)
    alunni.append(r.nuovoAlunno(classe, u"Alunno %1 D'Amico"_s.arg(a + 1)).id);
  QRandomGenerator caso(20261209);
  QSqlQuery inizio(r.db()), esercizio(r.db()), operazione(r.db()), risposta(r.db());
  if (!inizio.exec(u"BEGIN"_s)) return false;
  esercizio.prepare(
      u"INSERT INTO esercizi (uuid, alunno, classe, famiglia, cifre, cosa, ordine, inizio, stato,"
      u" operazioni, esatte, secondi, errore) VALUES (lower(hex(randomblob(16))), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
      u" ?)"_s);
  operazione.prepare(
      u"INSERT INTO operazioni (esercizio, numero, chiesto, addendo1, addendo2, unita, risultato,"
      u" intervento, secondi, caso, richiesta) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
  risposta.prepare(u"INSERT INTO risposte (operazione, n, testo, errore) VALUES (?, ?, ?, ?)"_s);
  const QDate primo(2022, 9, 12);
  // Each pupil's box for every case of every family, met on some day of the cycle.
  QSqlQuery scatola(r.db());
  scatola.prepare(u"INSERT INTO casi (alunno, famiglia, caso, scatola, giorno, sbagliato) VALUES (?, ?, ?, ?, ?, ?)"_s);
  for (const qint64 alunno : alunni)
    for (int famiglia = 1; famiglia <= 12; ++famiglia)
      for (int c = 1; c <= 12; ++c) {
        scatola.bindValue(0, alunno);
        scatola.bindValue(1, famiglia);
        scatola.bindValue(2, c);
        scatola.bindValue(3, 1 + int(caso.bounded(5)));
        scatola.bindValue(4, primo.addDays(int(caso.bounded(5 * 365))).toString(Qt::ISODate));
        scatola.bindValue(5, int(caso.bounded(2)));
        if (!scatola.exec()) return false;
      }
  for (int anno = 0; anno < kAnni; ++anno) {
    for (int giorno = 0; giorno < kGiorni; ++giorno) {
      const QDate data = primo.addYears(anno).addDays(giorno * 7 / 5);
      for (int volta = 0; volta < kAlGiorno; ++volta) {
        for (const qint64 alunno : alunni) {
          const int bravura = 10 + int(alunno % 10);  // right answers out of 20, about
          int esatte = 0, secondi = 0;
          QList<std::pair<bool, int>> ops;
          for (int n = 0; n < kOperazioni; ++n) {
            const bool giusta = int(caso.bounded(20)) < bravura;
            const int s = 3 + int(caso.bounded(40));
            esatte += giusta;
            secondi += s;
            ops.append({giusta, s});
          }
          esercizio.bindValue(0, alunno);
          esercizio.bindValue(1, classe);
          esercizio.bindValue(2, 1 + int(caso.bounded(12)));
          esercizio.bindValue(3, 1 + int(caso.bounded(2)));
          esercizio.bindValue(4, 1 + int(caso.bounded(3)));
          esercizio.bindValue(5, 1 + int(caso.bounded(3)));
          esercizio.bindValue(6,
                              QDateTime(data, QTime(9 + volta * 2, int(alunno % 60))).toString(Qt::ISODate));
          esercizio.bindValue(7, 1);
          esercizio.bindValue(8, kOperazioni);
          esercizio.bindValue(9, esatte);
          esercizio.bindValue(10, secondi);
          esercizio.bindValue(
              11, esatte < kOperazioni ? kErrori[int(caso.bounded(kErrori.size()))] : QString(u""_s));
          if (!esercizio.exec()) return false;
          const qint64 id = esercizio.lastInsertId().toLongLong();
          for (int n = 0; n < kOperazioni; ++n) {
            const bool giusta = ops[n].first;
            operazione.bindValue(0, id);
            operazione.bindValue(1, n + 1);
            operazione.bindValue(2, 1 + int(caso.bounded(2)));
            operazione.bindValue(3, u"12  h"_s);
            operazione.bindValue(4, u" 7 da"_s);
            operazione.bindValue(5, u"  u"_s);
            operazione.bindValue(6, u"1.270"_s);
            const bool intervento = !giusta && caso.bounded(2) == 0;
            operazione.bindValue(7, intervento ? 1 : 0);
            operazione.bindValue(8, ops[n].second);
            operazione.bindValue(9, 1 + int(caso.bounded(12)));
            operazione.bindValue(10, 1 + int(caso.bounded(4)));
            if (!operazione.exec()) return false;
            const qint64 op = operazione.lastInsertId().toLongLong();
            const int sbagliate = giusta ? 0 : intervento ? 1 + int(caso.bounded(3)) : 1;
            for (int k = 0; k <= sbagliate; ++k) {
              if (k == sbagliate && intervento) break;
              risposta.bindValue(0, op);
              risposta.bindValue(1, k + 1);
              risposta.bindValue(2, k < sbagliate ? u"127"_s : u"1.270"_s);
              risposta.bindValue(3, k < sbagliate ? kErrori[int(caso.bounded(kErrori.size()))] : u""_s);
              if (!risposta.exec()) return false;
            }
          }
        }
      }
    }
  }
  return inizio.exec(u"COMMIT"_s) && inizio.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s) &&
         inizio.exec(u"ANALYZE"_s);
}

template <typename F>
double Mediana(int volte, F &&f) {
  std::vector<double> ms;
  for (int i = 0; i < volte; ++i) {
    QElapsedTimer t;
    t.start();
    f();
    ms.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void Riga(const char *cosa, double ms, const char *meta) {
  std::printf("%-44s %10.2f ms   (goal %s)\n", cosa, ms, meta);
}


// Brings the window back to where a view starts from, out of the timing.
void Quieta(QWidget *finestra) {
  QCoreApplication::sendPostedEvents();
  finestra->repaint();
  QCoreApplication::processEvents();
}

void RigaFinestra(const char *cosa, std::vector<double> ms, const char *meta) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s %10.2f ms   worst %8.2f ms  n=%zu   (goal %s)\n", cosa, ms[ms.size() / 2], ms.back(),
              ms.size(), meta);
}

template <typename W>
W *Figlio(QWidget *finestra, const char *nome) {
  auto *w = finestra->findChild<W *>(QString::fromLatin1(nome));
  if (!w) {
    std::fprintf(stderr, "the register window has no %s\n", nome);
    std::exit(1);
  }
  return w;
}

void Controlla(bool vero, const char *cosa) {
  if (vero) return;
  std::fprintf(stderr, "the register window does not show %s\n", cosa);
  std::exit(1);
}

// The register window over the generated register: opening it, the class view,
// a pupil's page reached from it and one exercise's operations, each shown and
// painted. Every view is shown once before it is timed, for the font and glyph
// caches; the pages go round the pupils, as a teacher looking through the class.
void Finestra(Registro &r, qint64 classe) {
  Stato stato;
  OrologioSistema orologio;
  CasualeSistema casuale(20261209);
  MessaggiRegistrati messaggi;
  StampanteRegistrata stampante;
  NavigazioneMuta nav;
  Contesto ctx{stato, orologio, casuale, messaggi, stampante, nav};
  constexpr int kVolte = 11;

  // Opening: the window built (it reads the first class and its first pupil),
  // shown, and painted once the platform has exposed it: repaint() paints only
  // a window on screen.
  const auto t0 = Tempo::now();
  auto *w = new FrmRegistro(r, ctx);
  w->show();
  QElapsedTimer attesa;
  attesa.start();
  while (!(w->windowHandle() && w->windowHandle()->isExposed()) && attesa.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  Controlla(w->windowHandle() && w->windowHandle()->isExposed(), "itself: the platform never exposed it");
  QCoreApplication::sendPostedEvents();
  w->repaint();
  QCoreApplication::processEvents();
  const double apertura = Microsecondi(t0, Tempo::now()) / 1000.0;
  auto *schede = Figlio<QTabWidget>(w, "tabRegistro");
  auto *tblClasse = Figlio<QTableWidget>(w, "tblClasse");
  auto *tblEsercizi = Figlio<QTableWidget>(w, "tblEsercizi");
  auto *tblOperazioni = Figlio<QTableWidget>(w, "tblOperazioni");
  const QList<Alunno> alunni = r.alunni(classe);
  Controlla(alunni.size() == kAlunni && tblClasse->rowCount() == kAlunni, "the class");
  std::printf("%-44s %10.2f ms   (goal -)\n", "register window opened and painted", apertura);

  std::vector<double> classeMs;
  for (int i = 0; i <= kVolte; ++i) {
    schede->setCurrentIndex(0);
    Quieta(w);
    const double ms = Mostrata(w, [&] { w->mostraClasse(classe); });
    Controlla(tblClasse->rowCount() == kAlunni, "the class");
    if (i > 0) classeMs.push_back(ms);
  }
  RigaFinestra("class view shown in the window", classeMs, "< 100 ms");

  // As a double click on a pupil of the class view: the page filled, then its tab.
  std::vector<double> paginaMs;
  qint64 esercizio = 0;
  for (int i = 0; i <= kVolte; ++i) {
    schede->setCurrentIndex(0);
    Quieta(w);
    const qint64 alunno = alunni.at((7 + i) % alunni.size()).id;
    const double ms = Mostrata(w, [&] {
      w->mostraAlunno(alunno);
      schede->setCurrentIndex(1);
    });
    // At least: a file used before has the writes timed below, on one pupil's page.
    Controlla(tblEsercizi->rowCount() >= kAnni * kGiorni * kAlGiorno, "the pupil's exercises");
    esercizio = tblEsercizi->item(0, 0)->data(Qt::UserRole).toLongLong();
    if (i > 0) paginaMs.push_back(ms);
  }
  RigaFinestra("a pupil's page shown (2 000 exercises)", paginaMs, "< 50 ms");

  // As a double click on the pupil's newest exercise.
  std::vector<double> esercizioMs;
  for (int i = 0; i <= kVolte; ++i) {
    schede->setCurrentIndex(1);
    Quieta(w);
    const double ms = Mostrata(w, [&] {
      w->mostraEsercizio(esercizio);
      schede->setCurrentIndex(2);
    });
    Controlla(tblOperazioni->rowCount() == kOperazioni, "the exercise's operations");
    if (i > 0) esercizioMs.push_back(ms);
  }
  RigaFinestra("one exercise's operations shown", esercizioMs, "-");
  std::printf("  the window: %dx%d on the %s platform\n", w->width(), w->height(),
              qPrintable(QGuiApplication::platformName()));
  if (!messaggi.voci.isEmpty())
    std::fprintf(stderr, "the register window told: %s\n", qPrintable(messaggi.testi().join(u" | "_s)));
  w->close();  // deletes itself
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(u"registro.sqlite"_s);
  qint64 classe = 1;
  if (!QFileInfo::exists(file)) {
    Registro r(file);
    QElapsedTimer t;
    t.start();
    if (!r.apri() || !Genera(r, classe)) {
      std::fprintf(stderr, "generation failed\n");
      return 1;
    }
    std::printf("generated in %.1f s: %.0f MB\n", t.elapsed() / 1000.0, QFileInfo(file).size() / 1e6);
  }
  Registro r(file);
  QElapsedTimer t;
  t.start();
  if (!r.apri()) return 1;
  std::printf("%-44s %10.2f ms\n", "opening the register (with its check)", t.nsecsElapsed() / 1e6);
  {
    QSqlQuery q(r.db());
    q.exec(
        u"SELECT (SELECT count(*) FROM esercizi), (SELECT count(*) FROM operazioni),"
        u" (SELECT count(*) FROM risposte)"_s);
    q.next();
    std::printf("%lld exercises, %lld operations, %lld answers, %.0f MB\n", q.value(0).toLongLong(),
                q.value(1).toLongLong(), q.value(2).toLongLong(), QFileInfo(file).size() / 1e6);
  }
  const qint64 alunno = r.alunni(classe).value(7).id;
  Riga("class view (30 pupils x families)", Mediana(11, [&] { (void)LeggiVistaClasse(r, classe); }),
       "< 100 ms");
  Riga("a pupil's page (2 000 exercises)", Mediana(11, [&] { (void)LeggiPaginaAlunno(r, alunno); }),
       "< 50 ms");
  const auto pagina = LeggiPaginaAlunno(r, alunno);
  Riga("one exercise's operations",
       Mediana(11, [&] { (void)LeggiOperazioni(r, pagina->esercizi.last().id); }), "-");
  {
    // "Su misura": the pupil's history in a family read and twenty operations chosen.
    FamigliaUnita famiglia;
    ApplicaFamiglia(famiglia, 9);
    CasualeSistema casuale(20261209);
    Riga("Su misura: history read, twenty chosen", Mediana(11, [&] {
           const auto storia = LeggiStoriaSuMisura(r, alunno, 9, QDate(2027, 6, 1));
           if (!storia || ScegliSuMisura(*storia, famiglia, casuale).size() != 20) std::fprintf(stderr, "no choice\n");
         }),
         "< 20 ms");
    QList<int> famiglie;
    for (int f = 1; f <= 12; ++f) famiglie << f;
    Riga("a pupil's page with mastery (12 families)", Mediana(11, [&] {
           (void)LeggiPaginaAlunno(r, alunno);
           (void)LeggiPadronanza(r, alunno, famiglie);
         }),
         "< 50 ms");
  }
  Finestra(r, classe);
  EsportaCsv csv(r);
  Riga("CSV of the whole class (60 000 exercises)",
       Mediana(3, [&] { (void)csv.classe(classe, dir.filePath(u"classe.csv"_s)); }), "< 2 s");
  Riga("CSV of a class's operations (1.2 M rows)",
       Mediana(1, [&] { (void)csv.operazioniClasse(classe, dir.filePath(u"operazioni.csv"_s)); }), "-");
  RegistrazioneEsercizio reg(r);
  DatiEsercizio d;
  d.alunno = alunno;
  d.inizio = QDateTime::currentDateTime();
  int n = 0;
  reg.inizia(d);
  const double scrittura = Mediana(101, [&] {
    OperazioneChiusa op;
    op.numero = ++n % 20 + 1;
    if (op.numero == 1) reg.inizia(d);
    op.addendo1 = u"12  h"_s;
    op.addendo2 = u" 7 da"_s;
    op.unita = u"  u"_s;
    op.risultato = u"1.270"_s;
    op.risposte = {{u"127"_s, u"unita"_s}, {u"1.270"_s, {}}};
    op.secondi = 9;
    if (!reg.operazioneChiusa(op)) std::fprintf(stderr, "write failed\n");
  });
  Riga("one operation written (committed, synced)", scrittura, "< 5 ms");
  reg.interrompi();
  {
    // Two copies: one erases a pupil (thousands of exercises, then the file
    // compacted) while the other closes twenty operations, one every 100 ms.
    const qint64 cancellato = r.alunni(classe).value(3).id;
    QElapsedTimer orologio;
    orologio.start();
    double durataCancellazione = 0;
    std::thread altra([&] {
      Registro copia(file);
      QElapsedTimer c;
      c.start();
      (void)copia.cancellaAlunno(cancellato);
      durataCancellazione = c.nsecsElapsed() / 1e9;
    });
    double trattenuta = 0;
    reg.inizia(d);
    for (int k = 1; k <= 20; ++k) {
      QThread::msleep(100);
      OperazioneChiusa op;
      op.numero = k;
      op.addendo1 = u"12  h"_s;
      op.addendo2 = u" 7 da"_s;
      op.unita = u"  u"_s;
      op.risultato = u"1.270"_s;
      op.risposte = {{u"1.270"_s, {}}};
      QElapsedTimer w;
      w.start();
      (void)reg.operazioneChiusa(op);
      trattenuta = std::max(trattenuta, w.nsecsElapsed() / 1e6);
    }
    altra.join();
    while (reg.inAttesa() > 0 && orologio.elapsed() < 120000) {
      QThread::msleep(50);
      (void)reg.scrivi();
    }
    QSqlQuery nostre(r.db());
    nostre.prepare(
        u"SELECT count(*) FROM operazioni WHERE esercizio = (SELECT max(id) FROM esercizi WHERE alunno = ?)"_s);
    nostre.addBindValue(alunno);
    nostre.exec();
    nostre.next();
    std::printf("erasing a pupil in another copy: %.1f s; 20 operations closed meanwhile, one every 100 ms:"
                " longest hold of the window %.1f ms, all in the file %.1f s after the first\n",
                durataCancellazione, trattenuta, orologio.nsecsElapsed() / 1e9);
    std::printf("%-44s %10lld of 20\n", "operations of that exercise in the file", nostre.value(0).toLongLong());
  }
  Registro altro(dir.filePath(u"porta.sqlite"_s));
  PortaDocente porta(altro);
  porta.scegliPin(u"2468"_s);
  Riga("checking a PIN (PBKDF2, default rounds)", Mediana(3, [&] { (void)porta.prova(u"2468"_s); }), "-");
  return 0;
}
