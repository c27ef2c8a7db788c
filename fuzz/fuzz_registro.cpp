#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "registro/consultazione.h"
#include "registro/portadocente.h"
#include "registro/registrazione.h"
#include "registro/registro.h"

using namespace Qt::StringLiterals;

// Whatever bytes stand where the register should be, opening it and using it
// never crashes: it opens (perhaps after setting the file aside) or is refused
// with a reason, and every request answers.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static int argc = 1;
  static char nome[] = "fuzz_registro";
  static char *argv[] = {nome, nullptr};
  static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  static QTemporaryDir dir;
  Q_UNUSED(app);
  QDir cartella(dir.path());
  for (const QString &f : cartella.entryList(QDir::Files)) cartella.remove(f);
  const QString file = cartella.filePath(u"registro.sqlite"_s);
  {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
  }
  Registro r(file);
  r.impostaAttesa(0);
  if (!r.apri()) {
    if (r.guasto() == Guasto::Nessuno || r.guasto() == Guasto::Danneggiato) std::abort();
    if (!r.prendiMessaggio()) std::abort();
    return 0;
  }
  if (r.guasto() != Guasto::Nessuno && r.guasto() != Guasto::Danneggiato) std::abort();
  for (const Classe &c : r.classi()) {
    (void)LeggiVistaClasse(r, c.id);
    for (const Alunno &a : r.alunni(c.id)) (void)LeggiPaginaAlunno(r, a.id);
  }
  if (const auto pagina = LeggiPaginaAlunno(r, 0))
    for (const RigaEsercizio &e : pagina->esercizi) (void)LeggiOperazioni(r, e.id);
  (void)r.nuovaClasse(u"3ª A"_s);
  RegistrazioneEsercizio reg(r);
  (void)reg.inizia(
      DatiEsercizio{std::nullopt, std::nullopt, 9, 2, 3, 3, QDateTime(QDate(2026, 12, 9), QTime(9, 0))});
  OperazioneChiusa op;
  op.numero = 1;
  op.risposte = {{u"1.270"_s, {}}};
  (void)reg.operazioneChiusa(op);
  (void)reg.interrompi();
  PortaDocente porta(
      r, [] { return qint64(0); }, 1);
  (void)porta.prova(u"1234"_s);
  return 0;
}
