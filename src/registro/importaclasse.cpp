#include "registro/importaclasse.h"

#include <freexl.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QVariant>
#include <array>

using namespace Qt::StringLiterals;

// --- reading ------------------------------------------------------------------

namespace {

// Windows-1252 where it differs from Latin-1 (0x80-0x9F); its five unused
// bytes stay the control characters Latin-1 gives them, which the names refuse.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DaWindows1252(const QByteArray &byte) {
  QString s(byte.size(), Qt::Uninitialized);
  QChar *d = s.data();
  for (const char c : byte) {
    const auto b = static_cast<unsigned char>(c);
    *d++ = (b >= 0x80 && b < 0xA0) ? QChar(kWindows1252[b - 0x80]) : QChar(char16_t(b));
  }
  return s;
}

// The text of the bytes and the name of their encoding.
std::pair<QString, QString> Decodifica(const QByteArray &byte) {
  if (byte.startsWith("\xEF\xBB\xBF")) return {QString::fromUtf8(byte.mid(3)), u"UTF-8 con BOM"_s};
  for (const auto utf16 : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
    const QByteArray bom = utf16 == QStringConverter::Utf16LE ? "\xFF\xFE" : "\xFE\xFF";
    if (byte.startsWith(bom)) return {QStringDecoder(utf16).decode(byte.mid(2)), u"UTF-16"_s};
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString s = utf8.decode(byte);
  if (!utf8.hasError()) return {std::move(s), u"UTF-8"_s};
  return {DaWindows1252(byte), u"Windows-1252"_s};
}

// The separator most lines hold outside quotes: tab, then ';', then ','.
// None: one column.
QChar Separatore(const QString &testo) {
  const QChar candidati[3] = {u'\t', u';', u','};
  int righe[3] = {0, 0, 0};
  bool visto[3] = {false, false, false};
  bool virgolette = false;
  int linee = 0;
  for (const QChar c : testo) {
    if (c == u'"') {
      virgolette = !virgolette;
    } else if (!virgolette && (c == u'\n' || c == u'\r')) {
      for (int i = 0; i < 3; ++i) righe[i] += visto[i] ? 1 : 0;
      visto[0] = visto[1] = visto[2] = false;
      if (++linee == 50) break;
    } else if (!virgolette) {
      for (int i = 0; i < 3; ++i) visto[i] = visto[i] || c == candidati[i];
    }
  }
  for (int i = 0; i < 3; ++i) righe[i] += visto[i] ? 1 : 0;
  int migliore = -1;
  for (int i = 0; i < 3; ++i)
    if (righe[i] > 0 && (migliore < 0 || righe[i] > righe[migliore])) migliore = i;
  return migliore < 0 ? QChar() : candidati[migliore];
}

// Rows of fields: a field in double quotes may hold the separator, line breaks
// and doubled quotes; lines end in LF, CR LF or CR.
QList<QStringList> Campi(const QString &testo, QChar separatore, bool &troppe) {
  QList<QStringList> righe;
  QStringList riga;
  QString campo;
  bool virgolette = false, citato = false;
  troppe = false;
  const auto chiudiCampo = [&] {
    riga.append(campo);
    campo.clear();
    citato = false;
  };
  const auto chiudiRiga = [&] {
    chiudiCampo();
    righe.append(riga);
    riga.clear();
  };
  const qsizetype n = testo.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = testo.at(i);
    if (virgolette) {
      if (c != u'"') {
        campo += c;
      } else if (i + 1 < n && testo.at(i + 1) == u'"') {
        campo += c;
        ++i;
      } else {
        virgolette = false;
      }
    } else if (c == u'"' && campo.isEmpty() && !citato) {
      virgolette = citato = true;
    } else if (!separatore.isNull() && c == separatore) {
      chiudiCampo();
    } else if (c == u'\n' || c == u'\r') {
      if (c == u'\r' && i + 1 < n && testo.at(i + 1) == u'\n') ++i;
      chiudiRiga();
      if (righe.size() > kRigheElenco) {
        troppe = true;
        return righe;
      }
    } else {
      campo += c;
    }
  }
  if (!campo.isEmpty() || !riga.isEmpty() || citato) chiudiRiga();
  return righe;
}

ElencoLetto DaTesto(const QString &testo, const QString &formato) {
  ElencoLetto e;
  const QChar sep = Separatore(testo);
  bool troppe = false;
  e.righe = Campi(testo, sep, troppe);
  if (troppe) {
    e.righe.clear();
    e.errore = u"L'elenco ha più di %1 righe: non sembra l'elenco di una classe."_s.arg(kRigheElenco);
    return e;
  }
  const QString nomeSep = sep == u'\t' ? u"tabulazione"_s : sep.isNull() ? u"nessuno"_s : QString(sep);
  e.formato = formato + u", separatore: "_s + nomeSep;
  return e;
}

}  // namespace

ElencoLetto LeggiTestoElenco(const QByteArray &byte) {
  auto [testo, codifica] = Decodifica(byte);
  return DaTesto(testo, codifica);
}

ElencoLetto LeggiIncollato(const QString &testo) {
  return DaTesto(testo, u"testo incollato"_s);
}

ElencoLetto LeggiXls(const QString &percorso) {
  ElencoLetto e;
  e.formato = u"Excel (.xls), primo foglio"_s;
  const void *foglio = nullptr;
  const QByteArray nome = QFile::encodeName(percorso);
  const int aperto = freexl_open(nome.constData(), &foglio);
  unsigned int righe = 0;
  unsigned short colonne = 0;
  if (aperto != FREEXL_OK || freexl_select_active_worksheet(foglio, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(foglio, &righe, &colonne) != FREEXL_OK) {
    freexl_close(foglio);
    e.errore = u"Il file non è un foglio Excel leggibile (.xls)."_s;
    return e;
  }
  if (righe > unsigned(kRigheElenco)) {
    freexl_close(foglio);
    e.errore = u"L'elenco ha più di %1 righe: non sembra l'elenco di una classe."_s.arg(kRigheElenco);
    return e;
  }
  for (unsigned int r = 0; r < righe; ++r) {
    QStringList riga;
    for (unsigned short c = 0; c < colonne; ++c) {
      FreeXL_CellValue cella;
      QString testo;
      if (freexl_get_cell_value(foglio, r, c, &cella) == FREEXL_OK) {
        switch (cella.type) {
          case FREEXL_CELL_INT:
            testo = QString::number(cella.value.int_value);
            break;
          case FREEXL_CELL_DOUBLE:
            testo = QString::number(cella.value.double_value);
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
          case FREEXL_CELL_DATE:
          case FREEXL_CELL_DATETIME:
          case FREEXL_CELL_TIME:
            testo = QString::fromUtf8(cella.value.text_value);
            break;
          default:
            break;
        }
      }
      riga.append(testo);
    }
    e.righe.append(riga);
  }
  freexl_close(foglio);
  return e;
}

bool DaConvertire(const QString &percorso) {
  const QString s = QFileInfo(percorso).suffix().toLower();
  return s == u"xlsx"_s || s == u"ods"_s;
}

ElencoLetto LeggiFileElenco(const QString &percorso) {
  if (QFileInfo(percorso).suffix().compare(u"xls"_s, Qt::CaseInsensitive) == 0) return LeggiXls(percorso);
  ElencoLetto e;
  QFile f(percorso);
  if (!f.open(QIODevice::ReadOnly)) {
    e.errore = u"Non riesco ad aprire il file: %1"_s.arg(f.errorString());
    return e;
  }
  if (f.size() > kByteElenco) {
    e.errore = u"Il file è troppo grande per l'elenco di una classe."_s;
    return e;
  }
  const QByteArray byte = f.readAll();
  // An .xls saved under another name starts as every OLE2 file does.
  if (byte.startsWith("\xD0\xCF\x11\xE0")) return LeggiXls(percorso);
  return LeggiTestoElenco(byte);
}

// --- columns ------------------------------------------------------------------

namespace {

// Lower case, accents and signs away: "Cognome / Nome" -> "cognome nome".
QString Normalizza(const QString &s) {
  QString r;
  for (const QChar c : s.normalized(QString::NormalizationForm_D)) {
    if (c.isLetter())
      r += c.toLower();
    else if (!c.isMark())
      r += u' ';
  }
  return r.simplified();
}

enum class Ruolo { Nessuno, Cognome, Nome, Intero, Classe };

Ruolo RuoloDi(const QString &intestazione) {
  static const QHash<QString, Ruolo> ruoli = [] {
    QHash<QString, Ruolo> h;
    for (const char16_t *k : {u"cognome", u"cognomi", u"surname", u"last name", u"lastname", u"family name"})
      h.insert(QString::fromUtf16(k), Ruolo::Cognome);
    for (const char16_t *k : {u"nome", u"nomi", u"nome proprio", u"first name", u"firstname", u"given name",
                              u"name", u"forename"})
      h.insert(QString::fromUtf16(k), Ruolo::Nome);
    for (const char16_t *k :
         {u"alunno", u"alunna", u"alunno a", u"alunni", u"studente", u"studentessa", u"studente ssa",
          u"cognome e nome", u"cognome nome", u"nome e cognome", u"nome cognome", u"nominativo", u"pupil",
          u"student", u"full name", u"fullname"})
      h.insert(QString::fromUtf16(k), Ruolo::Intero);
    for (const char16_t *k : {u"classe", u"class", u"classe sezione"})
      h.insert(QString::fromUtf16(k), Ruolo::Classe);
    return h;
  }();
  return ruoli.value(Normalizza(intestazione), Ruolo::Nessuno);
}

// A column of words: most of its filled cells hold a letter and no digit
// (a tax code, a date or a class such as "3A" hold digits).
bool DiParole(const ElencoLetto &e, int colonna, int primaRiga) {
  int piene = 0, parole = 0;
  for (int r = primaRiga; r < e.righe.size(); ++r) {
    const QString cella = e.righe.at(r).value(colonna).trimmed();
    if (cella.isEmpty()) continue;
    ++piene;
    bool lettera = false, cifra = false;
    for (const QChar c : cella) {
      lettera = lettera || c.isLetter();
      cifra = cifra || c.isDigit();
    }
    parole += lettera && !cifra;
  }
  return piene > 0 && 2 * parole >= piene;
}

}  // namespace

ColonneElenco IndovinaColonne(const ElencoLetto &e) {
  ColonneElenco c;
  if (e.righe.isEmpty()) return c;
  const QStringList &prima = e.righe.first();
  for (int i = 0; i < prima.size(); ++i) {
    int *posto = nullptr;
    switch (RuoloDi(prima.at(i))) {
      case Ruolo::Cognome:
        posto = &c.cognome;
        break;
      case Ruolo::Nome:
        posto = &c.nome;
        break;
      case Ruolo::Intero:
        posto = &c.intero;
        break;
      case Ruolo::Classe:
        posto = &c.classe;
        break;
      case Ruolo::Nessuno:
        break;
    }
    if (posto && *posto < 0) *posto = i;
  }
  c.intestazione = c.cognome >= 0 || c.nome >= 0 || c.intero >= 0;
  if (c.intestazione) {
    // A lone "Nome" (or "name") column holds the whole name.
    if (c.intero < 0 && (c.cognome < 0) != (c.nome < 0))
      std::swap(c.intero, c.cognome < 0 ? c.nome : c.cognome);
    if (c.intero >= 0) c.cognome = c.nome = -1;
    return c;
  }
  c.classe = -1;  // a header naming the class alone names no pupil: the rows are read as data
  qsizetype larghezza = 0;
  for (const QStringList &r : e.righe) larghezza = std::max(larghezza, r.size());
  QList<int> parole;
  for (int i = 0; i < larghezza && parole.size() < 2; ++i)
    if (DiParole(e, i, 0)) parole.append(i);
  if (parole.size() == 2) {
    c.cognome = parole.at(0);
    c.nome = parole.at(1);
  } else {
    c.intero = parole.value(0, 0);
  }
  return c;
}

// --- judging the rows ---------------------------------------------------------

std::optional<QString> ErroreNomeImportato(const QString &nome, const QString &cosa) {
  // The register's own rules: blank, a line break or tab, invisible or
  // direction-changing characters, a formula-like start, too long.
  return Registro::ErroreNome(nome, cosa);
}

namespace {

// Spaces as a reader sees them: no blanks around, no-break spaces made plain,
// runs made one.
QString Spazi(const QString &s) {
  QString r;
  r.reserve(s.size());
  bool spazio = false;
  for (QChar c : s.trimmed()) {
    if (c == QChar(0x00A0) || c == QChar(0x2007) || c == QChar(0x202F)) c = u' ';
    if (c == u' ') {
      spazio = !r.isEmpty();
      continue;
    }
    if (spazio) r += u' ';
    spazio = false;
    r += c;
  }
  return r;
}

// "ROSSI" -> "Rossi", "D'AMICO" -> "D'Amico", "DE LUCA" -> "De Luca"; a name
// with any small letter is left as written.
QString Iniziali(const QString &s) {
  bool lettera = false;
  for (const QChar c : s) {
    if (c.isLower()) return s;
    lettera = lettera || c.isLetter();
  }
  if (!lettera) return s;
  QString r = s.toLower();
  bool inizio = true;
  for (QChar &c : r) {
    if (c.isLetter()) {
      if (inizio) c = c.toUpper();
      inizio = false;
    } else {
      inizio = c == u' ' || c == u'\'' || c == u'-' || c == QChar(0x2019);
    }
  }
  return r;
}

QString Chiave(const QString &s) {
  return s.trimmed().toCaseFolded();
}

}  // namespace

Anteprima Esamina(const ElencoLetto &elenco, const SceltaImport &scelta,
                  const QList<ClassePresente> &presenti) {
  struct Presente {
    qint64 id;
    QSet<QString> alunni;
  };
  QHash<QString, Presente> classi;
  for (const ClassePresente &c : presenti) {
    Presente &p = classi[Chiave(c.nome)];
    p.id = c.id;
    for (const QString &a : c.alunni) p.alunni.insert(Chiave(a));
  }
  struct Visto {
    int riga;
    QString origine;
  };
  QHash<QString, Visto> visti;       // class + name -> the row that brought it first
  QHash<QString, qsizetype> gruppi;  // class -> its group in the result
  const QString dellAlunno = u"dell'alunno"_s, dellaClasse = u"della classe"_s;
  const ColonneElenco &col = scelta.colonne;
  Anteprima a;
  for (int r = col.intestazione ? 1 : 0; r < elenco.righe.size(); ++r) {
    const QStringList &celle = elenco.righe.at(r);
    if (std::all_of(celle.cbegin(), celle.cend(), [](const QString &s) { return s.trimmed().isEmpty(); }))
      continue;
    RigaEsaminata e;
    e.riga = r + 1;
    QString origine;
    std::optional<QString> errore;
    if (col.intero >= 0) {
      e.nome = Spazi(celle.value(col.intero));
      origine = e.nome;
      errore = ErroreNomeImportato(e.nome, dellAlunno);
    } else {
      const QString cognome = Spazi(celle.value(col.cognome)), nome = Spazi(celle.value(col.nome));
      origine = cognome + u'\n' + nome;
      e.nome = (cognome + u' ' + nome).trimmed();
      // Each part on its own too: "Nome C." keeps only the surname's initial.
      errore = ErroreNomeImportato(e.nome, dellAlunno);
      for (const QString *parte : {&cognome, &nome})
        if (!errore && !parte->isEmpty()) errore = ErroreNomeImportato(*parte, dellAlunno);
      if (!errore && scelta.unione == Unione::NomeIniziale && !cognome.isEmpty() && !nome.isEmpty())
        e.nome = nome + u' ' + cognome.left(1).toUpper() + u'.';
    }
    if (scelta.maiuscole) e.nome = Iniziali(e.nome);
    // The name as it will be written: "Nome C." or the capitals changed may be longer.
    if (!errore) errore = ErroreNomeImportato(e.nome, dellAlunno);
    const QString propria = col.classe >= 0 ? Spazi(celle.value(col.classe)) : QString();
    e.classe = propria.isEmpty() ? scelta.classe.trimmed() : propria;
    const QString chiaveClasse = Chiave(e.classe), chiave = chiaveClasse + u'\n' + Chiave(e.nome);
    if (errore) {
      e.motivo = *errore;
    } else if (e.classe.isEmpty()) {
      e.motivo = u"Manca la classe: scegline una."_s;
    } else if (const auto erroreClasse = ErroreNomeImportato(e.classe, dellaClasse)) {
      e.motivo = *erroreClasse;
    } else if (classi.value(chiaveClasse).alunni.contains(Chiave(e.nome))) {
      e.esame = Esame::GiaPresente;
      e.motivo = u"Già nel registro"_s;
    } else if (const auto v = visti.constFind(chiave); v != visti.cend()) {
      if (v->origine == Chiave(origine)) {
        e.esame = Esame::GiaPresente;
        e.motivo = u"Ripete la riga %1"_s.arg(v->riga);
      } else {
        e.motivo = u"Stesso nome della riga %1: scegli un'altra unione o correggi il nome"_s.arg(v->riga);
      }
    } else {
      e.esame = Esame::DaAggiungere;
      visti.insert(chiave, {e.riga, Chiave(origine)});
      auto g = gruppi.constFind(chiaveClasse);
      if (g == gruppi.cend()) {
        const auto c = classi.constFind(chiaveClasse);
        g = gruppi.insert(chiaveClasse, a.gruppi.size());
        a.gruppi.append({c == classi.cend() ? 0 : c->id, e.classe, {}});
      }
      a.gruppi[*g].alunni.append(e.nome);
    }
    switch (e.esame) {
      case Esame::DaAggiungere:
        ++a.daAggiungere;
        break;
      case Esame::GiaPresente:
        ++a.giaPresenti;
        break;
      case Esame::Rifiutata:
        ++a.rifiutate;
        break;
    }
    a.righe.append(std::move(e));
  }
  return a;
}

// --- writing ------------------------------------------------------------------

Esito ScriviGruppi(QSqlDatabase db, const QList<GruppoImportato> &gruppi, int &aggiunti,
                   const std::function<Esito(const QSqlQuery &)> &fallito) {
  aggiunti = 0;
  QSqlQuery q(db), alunno(db);
  if (!alunno.prepare(u"INSERT INTO alunni (classe, nome) VALUES (?, ?) ON CONFLICT DO NOTHING"_s))
    return fallito(alunno);
  for (const GruppoImportato &g : gruppi) {
    qint64 classe = g.classe;
    if (classe) {
      q.prepare(u"SELECT id FROM classi WHERE id = ?"_s);
      q.addBindValue(classe);
    } else {
      q.prepare(u"INSERT INTO classi (nome) VALUES (?) ON CONFLICT DO NOTHING"_s);
      q.addBindValue(g.nomeClasse.trimmed());
      if (!q.exec()) return fallito(q);
      q.prepare(u"SELECT id FROM classi WHERE nome = ?"_s);
      q.addBindValue(g.nomeClasse.trimmed());
    }
    if (!q.exec()) return fallito(q);
    if (!q.next()) return Esito::Rifiuto(u"La classe «%1» non esiste più."_s.arg(g.nomeClasse));
    classe = q.value(0).toLongLong();
    for (const QString &nome : g.alunni) {
      alunno.bindValue(0, classe);
      alunno.bindValue(1, nome.trimmed());
      if (!alunno.exec()) return fallito(alunno);
      aggiunti += alunno.numRowsAffected() > 0 ? 1 : 0;
    }
  }
  return {};
}

QList<ClassePresente> DestinazioneRegistro::presenti() {
  QList<ClassePresente> elenco;
  for (const Classe &c : m_registro.classi()) {
    ClassePresente p{c.id, c.nome, {}};
    for (const Alunno &a : m_registro.alunni(c.id)) p.alunni.append(a.nome);
    elenco.append(std::move(p));
  }
  return elenco;
}

Esito DestinazioneRegistro::scrivi(const QList<GruppoImportato> &gruppi, int &aggiunti) {
  Esito e = m_registro.inTransazione([&] {
    return ScriviGruppi(m_registro.db(), gruppi, aggiunti,
                        [this](const QSqlQuery &q) { return m_registro.fallito(q); });
  });
  if (!e) aggiunti = 0;
  return e;
}
