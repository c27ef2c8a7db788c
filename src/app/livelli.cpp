#include "app/livelli.h"

using namespace Qt::StringLiterals;

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The record is short: nothing past this many bytes is ever needed.
constexpr qint64 kLetturaMassima = 4096;

bool Blank(char c) { return c == ' ' || c == '\t'; }
bool FineRiga(char c) { return c == '\r' || c == '\n'; }

class Lettore {
 public:
  explicit Lettore(const QByteArray &d) : m_d(d) {}

  std::optional<qint16> campo() {
    while (m_i < m_d.size() && (Blank(m_d[m_i]) || FineRiga(m_d[m_i]))) ++m_i;
    if (m_i >= m_d.size()) return std::nullopt;  // ran out of lines
    const qsizetype inizio = m_i;
    while (m_i < m_d.size() && !Blank(m_d[m_i]) && !FineRiga(m_d[m_i]) && m_d[m_i] != ',') ++m_i;
    const QByteArray t = m_d.mid(inizio, m_i - inizio);
    // The delimiter: trailing blanks, then one comma if there is one.
    while (m_i < m_d.size() && Blank(m_d[m_i])) ++m_i;
    if (m_i < m_d.size() && m_d[m_i] == ',') ++m_i;
    return numero(t);
  }

 private:
  static std::optional<qint16> numero(const QByteArray &t) {
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativo = t[i++] == '-';
    if (i >= t.size()) return std::nullopt;
    qint32 v = 0;
    for (; i < t.size(); ++i) {
      if (t[i] < '0' || t[i] > '9') return std::nullopt;
      v = v * 10 + (t[i] - '0');
      if (v > 32768) return std::nullopt;
    }
    if (negativo) v = -v;
    if (v < -32768 || v > 32767) return std::nullopt;
    return static_cast<qint16>(v);
  }

  const QByteArray &m_d;
  qsizetype m_i = 0;
};

QString Segno(qint16 n) { return n < 0 ? QString::number(n) : u' ' + QString::number(n); }

}  // namespace

std::optional<RecordLivello> LeggiRecordLivello(const QByteArray &dati) {
  Lettore l(dati);
  const auto livello = l.campo();
  if (!livello) return std::nullopt;
  const auto cifre = l.campo();
  if (!cifre) return std::nullopt;
  if (*livello < 1 || *livello > 12 || *cifre < 1 || *cifre > 2) return std::nullopt;
  return RecordLivello{*livello, *cifre};
}

QByteArray TestoRecordLivello(qint16 intLivello, qint16 intCifre) {
  return (Segno(intLivello) + u' ' + Segno(intCifre) + u" \r\n"_s).toLatin1();
}

QString NomeFileLivelli(const QString &strNomeFile) { return strNomeFile + QStringLiteral(".dat"); }

QString NomeBaseEseguibile(const QString &argv0) {
  const QString nome = QFileInfo(argv0).fileName();
  const qsizetype punto = nome.lastIndexOf(u'.');
  return punto > 0 ? nome.left(punto) : nome;
}

bool LeggiLivelli(Livello &livello) {
  QFile f(NomeFileLivelli(livello.strNomeFile));
  std::optional<RecordLivello> r;
  if (f.open(QIODevice::ReadOnly)) {
    r = LeggiRecordLivello(f.read(kLetturaMassima));
    f.close();
  }
  if (!r) {
    livello.intLivello = 1;
    livello.intCifre = 1;
    ScriviLivelli(livello);
    return false;
  }
  livello.intLivello = r->intLivello;
  livello.intCifre = r->intCifre;
  return true;
}

bool ScriviLivelli(const Livello &livello) {
  QSaveFile f(NomeFileLivelli(livello.strNomeFile));
  // A folder closed to the user may still hold a file the user can write.
  f.setDirectWriteFallback(true);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(TestoRecordLivello(livello.intLivello, livello.intCifre));
  return f.commit();
}
