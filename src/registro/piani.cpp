#include "registro/piani.h"

#include <QSqlQuery>
#include <QVariant>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// Only the whole number 1 is on: 2, -1, a word, a blob or a fraction leave the
// option off, as a stray value in the machine's settings does.
bool Acceso(const QVariant &v) {
  const int tipo = v.typeId();
  if (tipo != QMetaType::LongLong && tipo != QMetaType::Int) return false;
  return v.toLongLong() == 1;
}

}  // namespace

std::optional<Opzioni> LeggiPiano(Registro &registro, qint64 alunno) {
  if (alunno <= 0 || !registro.pronto()) return std::nullopt;
  QSqlQuery q(registro.db());
  q.prepare(
      u"SELECT leggi_sempre, tabella_a_mano, senza_orologio, caratteri_grandi, alto_contrasto"
      u" FROM piani WHERE alunno = ?"_s);
  q.addBindValue(alunno);
  if (!q.exec()) {
    registro.fallito(q);
    return std::nullopt;
  }
  if (!q.next()) return std::nullopt;
  Opzioni o;
  // The columns are selected in the order of kCampiOpzioni.
  for (int i = 0; i < int(kCampiOpzioni.size()); ++i) o.*kCampiOpzioni[i] = Acceso(q.value(i));
  return o;
}

Esito SalvaPiano(Registro &registro, qint64 alunno, const Opzioni &piano) {
  return registro.inTransazione([&] {
    QSqlQuery q(registro.db());
    q.prepare(u"SELECT 1 FROM alunni WHERE id = ?"_s);
    q.addBindValue(alunno);
    if (!q.exec()) return registro.fallito(q);
    if (!q.next()) return Esito::Rifiuto(u"L'alunno non esiste più."_s);
    q.prepare(
        u"INSERT INTO piani"
        u" (alunno, leggi_sempre, tabella_a_mano, senza_orologio, caratteri_grandi, alto_contrasto)"
        u" VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (alunno) DO UPDATE SET leggi_sempre = excluded.leggi_sempre,"
        u" tabella_a_mano = excluded.tabella_a_mano, senza_orologio = excluded.senza_orologio,"
        u" caratteri_grandi = excluded.caratteri_grandi, alto_contrasto = excluded.alto_contrasto"_s);
    q.addBindValue(alunno);
    for (bool Opzioni::*campo : kCampiOpzioni) q.addBindValue(piano.*campo ? 1 : 0);
    if (!q.exec()) return registro.fallito(q);
    return Esito{true, {}, alunno};
  });
}

Esito CancellaPiano(Registro &registro, qint64 alunno) {
  return registro.inTransazione([&] {
    QSqlQuery q(registro.db());
    q.prepare(u"DELETE FROM piani WHERE alunno = ?"_s);
    q.addBindValue(alunno);
    if (!q.exec()) return registro.fallito(q);
    return Esito{true, {}, alunno};
  });
}
