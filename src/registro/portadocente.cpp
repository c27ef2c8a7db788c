#include "registro/portadocente.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int kSale = 16;
constexpr int kLunghezzaImpronta = 32;

// Compares every byte whatever the first difference, so the time taken says
// nothing about how much of a guess was right.
bool Uguali(const QByteArray &a, const QByteArray &b) {
  if (a.size() != b.size()) return false;
  unsigned char diversi = 0;
  for (qsizetype i = 0; i < a.size(); ++i) diversi |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diversi == 0;
}

QString Attendere(qint64 secondi) {
  if (secondi >= 120) return u"Troppi PIN sbagliati: riprova fra %1 minuti."_s.arg((secondi + 59) / 60);
  return u"Troppi PIN sbagliati: riprova fra %1 secondi."_s.arg(secondi);
}
}  // namespace

PortaDocente::PortaDocente(Registro &registro, Adesso adesso, int iterazioni)
    : m_registro(registro), m_adesso(std::move(adesso)), m_iterazioni(iterazioni) {
  if (!m_adesso) m_adesso = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

qint64 PortaDocente::AttesaDopo(int errori) {
  if (errori < kErroriConcessi) return 0;
  const int raddoppi = std::min(errori - kErroriConcessi, 10);
  return std::min(kPrimaAttesa << raddoppi, kAttesaMassima);
}

QByteArray PortaDocente::Impronta(const QString &pin, const QByteArray &sale, int iterazioni) {
  return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), sale, iterazioni,
                                            kLunghezzaImpronta);
}

bool PortaDocente::leggi(Serratura &s) {
  if (!m_registro.pronto()) return false;
  QSqlQuery q(m_registro.db());
  if (!q.exec(u"SELECT sale, impronta, iterazioni, errori, ultimo_errore FROM porta WHERE id = 1"_s)) {
    m_registro.fallito(q);
    return false;
  }
  if (!q.next()) {
    s = {};
    return true;
  }
  s = {q.value(0).toByteArray(), q.value(1).toByteArray(), q.value(2).toInt(), q.value(3).toInt(),
       q.value(4).toLongLong()};
  return true;
}

bool PortaDocente::haPin() {
  Serratura s;
  return leggi(s) && !s.impronta.isEmpty();
}

qint64 PortaDocente::rimanente(const Serratura &s) const {
  const qint64 attesa = AttesaDopo(s.errori);
  if (attesa == 0) return 0;
  const qint64 trascorso = (m_adesso() - s.ultimoErrore) / 1000;
  // A clock set back starts the wait again rather than opening the door.
  if (trascorso < 0) return attesa;
  return std::max<qint64>(0, attesa - trascorso);
}

qint64 PortaDocente::attesa() {
  Serratura s;
  return leggi(s) ? rimanente(s) : 0;
}

std::optional<QString> PortaDocente::ErrorePin(const QString &pin) {
  if (pin.size() < kLunghezzaMinima) return u"Il PIN deve avere almeno %1 caratteri."_s.arg(kLunghezzaMinima);
  return std::nullopt;
}

Esito PortaDocente::salva(const QString &pin) {
  if (const auto errore = ErrorePin(pin)) return Esito::Rifiuto(*errore);
  QByteArray sale(kSale, Qt::Uninitialized);
  QRandomGenerator::system()->generate(sale.begin(), sale.end());
  const QByteArray impronta = Impronta(pin, sale, m_iterazioni);
  return m_registro.inTransazione([&] {
    QSqlQuery q(m_registro.db());
    q.prepare(
        u"INSERT OR REPLACE INTO porta (id, sale, impronta, iterazioni, errori, ultimo_errore)"
        u" VALUES (1, ?, ?, ?, 0, 0)"_s);
    q.addBindValue(sale);
    q.addBindValue(impronta);
    q.addBindValue(m_iterazioni);
    if (!q.exec()) return m_registro.fallito(q);
    return Esito{};
  });
}

Esito PortaDocente::scegliPin(const QString &pin) {
  Serratura s;
  if (!leggi(s)) return Esito::Rifiuto(u"Il registro non è disponibile."_s);
  if (!s.impronta.isEmpty()) return Esito::Rifiuto(u"Il PIN è già stato scelto."_s);
  return salva(pin);
}

Esito PortaDocente::cambiaPin(const QString &vecchio, const QString &nuovo) {
  const Prova p = prova(vecchio);
  if (p.risultato != Risultato::Aperta) return Esito::Rifiuto(p.messaggio);
  return salva(nuovo);
}

PortaDocente::Prova PortaDocente::prova(const QString &pin) {
  Serratura s;
  if (!leggi(s)) return {Risultato::Guasto, 0, u"Il registro non è disponibile."_s};
  if (s.impronta.isEmpty()) return {Risultato::Guasto, 0, u"Il PIN non è ancora stato scelto."_s};
  if (const qint64 r = rimanente(s); r > 0) return {Risultato::Attendi, r, Attendere(r)};
  const bool giusto = Uguali(Impronta(pin, s.sale, s.iterazioni), s.impronta);
  const qint64 adesso = m_adesso();
  const Esito e = m_registro.inTransazione([&] {
    QSqlQuery q(m_registro.db());
    // Counted in the statement, so two copies trying at once both count.
    q.prepare(giusto ? u"UPDATE porta SET errori = 0, ultimo_errore = 0 WHERE id = 1"_s
                     : u"UPDATE porta SET errori = errori + 1, ultimo_errore = ? WHERE id = 1"_s);
    if (!giusto) q.addBindValue(adesso);
    if (!q.exec()) return m_registro.fallito(q);
    return Esito{};
  });
  if (giusto) return {Risultato::Aperta, 0, {}};
  // A wrong PIN that could not be counted still doesn't open.
  if (!e) return {Risultato::Sbagliato, 0, u"PIN sbagliato."_s};
  const qint64 attesa = AttesaDopo(s.errori + 1);
  if (attesa > 0) return {Risultato::Attendi, attesa, u"PIN sbagliato. "_s + Attendere(attesa)};
  return {Risultato::Sbagliato, 0, u"PIN sbagliato."_s};
}
