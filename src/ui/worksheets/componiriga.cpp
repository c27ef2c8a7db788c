#include "ui/worksheets/componiriga.h"

#include "generation/famiglie.h"
#include "generation/zalgoritmi.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString Spazi(qsizetype n) { return QString(std::max<qsizetype>(n, 0), u' '); }

QString Allinea(qint32 valore) { return valore < 10 ? u" "_s : QString(); }

Scheda::Origine OrigineCorrente(const Stato &stato) {
  const FamigliaUnita &f = stato.famiglia;
  return {stato.scheda.intCosaCalcolare, stato.scheda.intOrdineSimboli, stato.impostazioni.intValoreMassimo,
          f.strSimbolo1 + f.strSimbolo2 + f.strSimbolo3 + f.strSimbolo4};
}

}  // namespace

RigaScheda ComponiRiga(const Operazione &op, FormaRiga forma) {
  const QString somma = Allinea(op.lngValore1) + op.strAddendo1 + u" + "_s + Allinea(op.lngValore2) + op.strAddendo2;
  RigaScheda r;
  if (forma == FormaRiga::Numero) {
    r.alunni = somma + u" = ?......."_s + op.strSimboloRichiesto;
    r.docenti = r.alunni + Spazi(15 - op.strRisultato.size()) + u"(R. "_s + op.strRisultato + u')';
  } else {
    const QString simbolo = op.strSimboloRichiesto.trimmed();
    r.alunni = somma + u" = "_s + Spazi(7 - op.strRisultato.size()) + op.strRisultato + u"  ?....."_s;
    r.docenti = r.alunni + Spazi(11 - simbolo.size()) + u"(R. "_s + simbolo + u')';
  }
  return r;
}

FormaRiga ScegliForma(qint16 intCosaCalcolare, Casuale &casuale) {
  switch (intCosaCalcolare) {
    case 2: return FormaRiga::Simbolo;
    case 3: return Estrai(casuale, 2) + 1 == 1 ? FormaRiga::Numero : FormaRiga::Simbolo;
    default: return FormaRiga::Numero;
  }
}

void GeneraRigheScheda(Stato &stato, int da, int a, Casuale &casuale, Orologio &orologio, Messaggi &messaggi) {
  Scheda &s = stato.scheda;
  const ParametriGenerazione p{stato.famiglia, s.intOrdineSimboli, stato.impostazioni.intValoreMassimo};
  da = std::max(da, 1);
  a = std::min(a, kRigheScheda);
  for (int i = da; i <= a; ++i) {
    const Operazione op = GeneraOperazione(p, casuale, orologio, messaggi);
    const RigaScheda r = ComponiRiga(op, ScegliForma(s.intCosaCalcolare, casuale));
    s.strRigheAlunni[static_cast<size_t>(i)] = r.alunni;
    s.strRigheDocenti[static_cast<size_t>(i)] = r.docenti;
  }
  if (a >= da) {
    s.intRigheGenerate = std::max(s.intRigheGenerate, a);
    s.origine = OrigineCorrente(stato);
  }
}

void RigeneraScheda(Stato &stato, int righe, Casuale &casuale, Orologio &orologio, Messaggi &messaggi) {
  Scheda &s = stato.scheda;
  s.strRigheAlunni.fill(QString());
  s.strRigheDocenti.fill(QString());
  s.intRigheGenerate = 0;
  GeneraRigheScheda(stato, 1, righe, casuale, orologio, messaggi);
}

void CompletaScheda(Stato &stato, Casuale &casuale, Orologio &orologio, Messaggi &messaggi) {
  const Scheda &s = stato.scheda;
  // Lines made with other choices (what to find chosen again, another family on
  // the start window) would give a sheet of mixed lines: it starts afresh.
  if (s.intRigheGenerate > 0 && s.origine != OrigineCorrente(stato))
    RigeneraScheda(stato, s.intNumeroOperazioni, casuale, orologio, messaggi);
  else if (s.intRigheGenerate < s.intNumeroOperazioni)
    GeneraRigheScheda(stato, s.intRigheGenerate + 1, s.intNumeroOperazioni, casuale, orologio, messaggi);
}

QString TestoCosaCalcolare(int intCosaCalcolare) {
  switch (intCosaCalcolare) {
    case 1: return u"Trova il numero"_s;
    case 2: return u"Trova il simbolo"_s;
    case 3: return u"Trova il numero o il simbolo"_s;
    default: return {};
  }
}

QString TestoOrdineSimboli(int intOrdineSimboli) {
  switch (intOrdineSimboli) {
    case 1: return u"Simboli decrescenti"_s;
    case 2: return u"Simboli crescenti"_s;
    case 3: return u"Simboli decrescenti e crescenti"_s;
    default: return {};
  }
}

QString DidascaliaDecrescente(const FamigliaUnita &f) {
  return f.strSimbolo1 + u"   "_s + f.strSimbolo2 + u' ' + f.strSimbolo3 + u' ' + f.strSimbolo4;
}

QString DidascaliaCrescente(const FamigliaUnita &f) {
  return f.strSimbolo4 + u' ' + f.strSimbolo3 + u' ' + f.strSimbolo2 + u"   "_s + f.strSimbolo1;
}

QString DescrizioneLivello(int intLivello, int intCifre) {
  const QString famiglia = ElencoUnita(intLivello);
  const QString cifre = DidascaliaCifre(intCifre);
  if (famiglia.isEmpty() || cifre.isEmpty()) return famiglia + cifre;
  return famiglia + u" — "_s + cifre;
}

QString PiePaginaScheda(int intTipoScheda, const QString &nomeEseguibile) {
  return (intTipoScheda == 2 ? u"Scheda per docenti stampata con "_s : u"Scheda per alunni stampata con "_s) +
         nomeEseguibile;
}
