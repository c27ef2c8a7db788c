#include "registro/portadocente.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QMessageAuthenticationCode>
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

const QString kPinSmarrito =
    u"Il registro è stato ricominciato perché era danneggiato, e il PIN dell'insegnante non si è potuto "
    u"recuperare: chiedi all'amministratore del computer di azzerare il PIN (le istruzioni sono nel "
    u"manuale), poi scegline uno nuovo."_s;

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

// PBKDF2-HMAC-SHA256 (RFC 8018) on QtCore's HMAC: one block, as the digest is
// exactly one SHA-256 long. The PINs kept since the door began are digests of
// this very function.
QByteArray PortaDocente::Impronta(const QString &pin, const QByteArray &sale, int iterazioni) {
  static_assert(kLunghezzaImpronta == 32, "one block of SHA-256");
  QMessageAuthenticationCode hmac(QCryptographicHash::Sha256, pin.toUtf8());
  hmac.addData(sale);
  hmac.addData("\0\0\0\1", 4);
  QByteArray u = hmac.result();
  QByteArray t = u;
  for (int i = 1; i < iterazioni; ++i) {
    hmac.reset();
    hmac.addData(u);
    u = hmac.result();
    for (qsizetype j = 0; j < t.size(); ++j) t[j] = static_cast<char>(t[j] ^ u[j]);
  }
  return t;
}

bool PortaDocente::leggi(Serratura &s) {
  if (!m_registro.pronto()) return false;
  QSqlQuery q(m_registro.db());
  if (!q.exec(u"SELECT sale, impronta, iterazioni, errori, ultimo_errore, smarrito FROM porta WHERE id = 1"_s)) {
    m_registro.fallito(q);
    return false;
  }
  if (!q.next()) {
    s = {};
    return true;
  }
  s = {q.value(0).toByteArray(), q.value(1).toByteArray(), q.value(2).toInt(), q.value(3).toInt(),
       q.value(4).toLongLong(), q.value(5).toInt() != 0};
  // A last wrong try dated in the future (a clock that was set ahead, or a
  // file from elsewhere) counts from now, and is kept so: else the door would
  // wait until that date.
  if (const qint64 adesso = m_adesso(); s.ultimoErrore > adesso) {
    s.ultimoErrore = adesso;
    QSqlQuery u(m_registro.db());
    u.prepare(u"UPDATE porta SET ultimo_errore = ? WHERE id = 1 AND ultimo_errore > ?"_s);
    u.addBindValue(adesso);
    u.addBindValue(adesso);
    if (!u.exec()) m_registro.fallito(u);
  }
  return true;
}

bool PortaDocente::haPin() {
  Serratura s;
  return leggi(s) && !s.impronta.isEmpty();
}

qint64 PortaDocente::rimanente(const Serratura &s) const {
  const qint64 attesa = AttesaDopo(s.errori);
  if (attesa == 0) return 0;
  // A time in the future was brought to now when read.
  const qint64 trascorso = std::max<qint64>(0, (m_adesso() - s.ultimoErrore) / 1000);
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
  if (s.smarrito) return Esito::Rifiuto(kPinSmarrito);
  return salva(pin);
}

Esito PortaDocente::cambiaPin(const QString &vecchio, const QString &nuovo) {
  const Prova p = prova(vecchio);
  if (p.risultato != Risultato::Aperta) return Esito::Rifiuto(p.messaggio);
  return salva(nuovo);
}

bool PortaDocente::pinSmarrito() {
  Serratura s;
  return leggi(s) && s.impronta.isEmpty() && s.smarrito;
}

PortaDocente::Prova PortaDocente::prova(const QString &pin) {
  Serratura s;
  if (!leggi(s)) return {Risultato::Guasto, 0, u"Il registro non è disponibile."_s};
  if (s.impronta.isEmpty())
    return {Risultato::Guasto, 0, s.smarrito ? kPinSmarrito : u"Il PIN non è ancora stato scelto."_s};
  if (const qint64 r = rimanente(s); r > 0) return {Risultato::Attendi, r, Attendere(r)};
  // The try is counted before the PIN is looked at, and a try that cannot be
  // counted is not looked at: else a register that can't be written (full,
  // read-only) would let anyone guess for ever.
  const qint64 adesso = m_adesso();
  const Esito contato = m_registro.inTransazione([&] {
    QSqlQuery q(m_registro.db());
    // Counted in the statement, so two copies trying at once both count.
    q.prepare(u"UPDATE porta SET errori = errori + 1, ultimo_errore = ? WHERE id = 1"_s);
    q.addBindValue(adesso);
    if (!q.exec()) return m_registro.fallito(q);
    return Esito{};
  });
  if (!contato)
    return {Risultato::Guasto, 0,
            u"Il registro non si può scrivere in questo momento: il PIN non può essere controllato."_s};
  if (Uguali(Impronta(pin, s.sale, s.iterazioni), s.impronta)) {
    m_registro.inTransazione([&] {
      QSqlQuery q(m_registro.db());
      if (!q.exec(u"UPDATE porta SET errori = 0, ultimo_errore = 0 WHERE id = 1"_s)) return m_registro.fallito(q);
      return Esito{};
    });
    return {Risultato::Aperta, 0, {}};
  }
  const qint64 attesa = AttesaDopo(s.errori + 1);
  if (attesa > 0) return {Risultato::Attendi, attesa, u"PIN sbagliato. "_s + Attendere(attesa)};
  return {Risultato::Sbagliato, 0, u"PIN sbagliato."_s};
}
