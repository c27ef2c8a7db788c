#include "generation/zcalcolaspazi.h"

using namespace Qt::StringLiterals;

namespace {

QString Riempi(QChar c, qsizetype limite, qsizetype lunghezza) {
  const qsizetype n = limite - lunghezza;
  return n > 0 ? QString(n, c) : QString();
}

QString TestoIntero(double v) { return QString::number(static_cast<qint64>(v)); }

}  // namespace

Spazi CalcolaSpazi(const Operazione &op, const QString &strRisposta) {
  return {Riempi(u' ', 5, op.strAddendo1.size()), Riempi(u' ', 5, op.strAddendo2.size()),
          Riempi(u'-', 6, op.strRisultato.size()), Riempi(u'\u00B0', 6, strRisposta.size())};
}

QString ScriviRigaNumero(const Operazione &op) {
  const Spazi s = CalcolaSpazi(op, {});
  return s.strSpazi1 + op.strAddendo1 + u" + "_s + s.strSpazi2 + op.strAddendo2 + u" = ..."_s +
         op.strSimboloRichiesto + u"  r. "_s;
}

QString ScriviRigaSimbolo(const Operazione &op) {
  const Spazi s = CalcolaSpazi(op, {});
  return s.strSpazi1 + op.strAddendo1 + u" + "_s + s.strSpazi2 + op.strAddendo2 + u" = "_s + op.strRisultato +
         s.strTrattini + u"   r."_s;
}

QString AggiungiErrore(const QString &riga, const Operazione &op, const QString &strRisposta) {
  return riga + CalcolaSpazi(op, strRisposta).strRiempitivo + strRisposta + u"* "_s;
}

QString AggiungiRisposta(const QString &riga, const Operazione &op, const QString &strRisposta) {
  return riga + CalcolaSpazi(op, strRisposta).strRiempitivo + strRisposta;
}

QString AggiungiCorrezione(const QString &riga, const Operazione &op, double varTempoOperazione) {
  return riga + u"  "_s + op.strRisultato + u" sec. "_s + TestoIntero(varTempoOperazione);
}
