#include "registro/piani.h"

#include <QSqlQuery>
#include <QVariant>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Colonna {
  const char16_t *nome;
  bool Opzioni::*campo;
};

// The columns of a plan, in the order of the statements below.
constexpr std::array kColonne{
    Colonna{u"leggi_sempre", &Opzioni::leggiSempre},
    Colonna{u"tabella_a_mano", &Opzioni::tabellaAMano},
    Colonna{u"senza_orologio", &Opzioni::senzaOrologio},
    Colonna{u"caratteri_grandi", &Opzioni::caratteriGrandi},
    Colonna{u"alto_contrasto", &Opzioni::altoContrasto},
};

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
  for (int i = 0; i < int(kColonne.size()); ++i) o.*kColonne[i].campo = Acceso(q.value(i));
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
        u"INSERT OR REPLACE INTO piani"
        u" (alunno, leggi_sempre, tabella_a_mano, senza_orologio, caratteri_grandi, alto_contrasto)"
        u" VALUES (?, ?, ?, ?, ?, ?)"_s);
    q.addBindValue(alunno);
    for (const Colonna &c : kColonne) q.addBindValue(piano.*c.campo ? 1 : 0);
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
