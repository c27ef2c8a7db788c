#include <QString>
#include <cstdint>
#include <cstdlib>

#include "registro/importaclasse.h"

using namespace Qt::StringLiterals;

// Whatever bytes a class list holds, reading and judging it never crashes, and
// the preview holds together: every row counted once, what would be written is
// exactly the rows to add, and each of their names is one the register takes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const QByteArray byte(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const ElencoLetto e = LeggiTestoElenco(byte);
  if (!e.letto()) return 0;
  const QList<ClassePresente> presenti = {{1, u"3ª A"_s, {u"Rossi Mario"_s, u"Mario R."_s}}};
  for (const Unione u : {Unione::CognomeNome, Unione::NomeIniziale}) {
    SceltaImport s;
    s.colonne = IndovinaColonne(e);
    s.unione = u;
    s.classe = u"3ª A"_s;
    const Anteprima a = Esamina(e, s, presenti);
    if (a.daAggiungere + a.giaPresenti + a.rifiutate != a.righe.size()) std::abort();
    qsizetype scritti = 0;
    for (const GruppoImportato &g : a.gruppi) {
      if (ErroreNomeImportato(g.nomeClasse, u"della classe"_s)) std::abort();
      for (const QString &n : g.alunni)
        if (ErroreNomeImportato(n, u"dell'alunno"_s)) std::abort();
      scritti += g.alunni.size();
    }
    if (scritti != a.daAggiungere) std::abort();
  }
  return 0;
}
