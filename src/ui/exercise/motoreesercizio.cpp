#include "ui/exercise/motoreesercizio.h"

#include "didattica/frase.h"
#include "generation/zalgoritmi.h"
#include "generation/zcalcolaspazi.h"
#include "platform/casuale.h"
#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "ui/common/quaderno.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
constexpr double kGiorno = 24.0 * 60.0 * 60.0;
const QString kVuota = u"?"_s;
// Every result holds at most five digits (a total of at most 20 900 in the
// smallest unit, shifted by the asked unit): 20.900, 1.801,5, 0,011.
constexpr int kCifreMassime = 5;

int Cifre(const QString &testo) {
  return static_cast<int>(std::count_if(testo.cbegin(), testo.cend(), [](QChar c) { return c.isDigit(); }));
}
}  // namespace

MotoreEsercizio::MotoreEsercizio(Stato &stato, Orologio &orologio, Casuale &casuale, Messaggi &messaggi)
    : m_stato(stato), m_orologio(orologio), m_casuale(casuale), m_messaggi(messaggi), m_famiglia(stato.famiglia) {
  // Five digits with a thousands point and a comma: 1.801,5.
  m_stato.esercizio.intLunghezzaMassima = 7;
}

double MotoreEsercizio::Durata(double inizio, double fine) {
  double d = fine - inizio;
  // The clock starts again from 0 at midnight.
  if (d < 0) d += kGiorno;
  return std::floor(d);
}

QString MotoreEsercizio::TestoLimitato(double valore, int limite) {
  return valore > limite ? QString::number(limite) : QString::number(static_cast<qint64>(valore));
}

QString &MotoreEsercizio::riga() {
  const int n = std::clamp<int>(m_stato.esercizio.intOperazione, 0, kRigheMassime - 1);
  return m_stato.esercizio.strRigheEsercizio[static_cast<size_t>(n)];
}

void MotoreEsercizio::nuovoEsercizio() {
  auto &e = m_stato.esercizio;
  e.intEsatte = 0;
  e.intErrate = 0;
  e.varTempoOperazione = 0;
  e.varTempoTotale = 0;
  e.intTentativi = 0;
  e.intOperazione = 0;
  m_schermo.operazione.clear();
  m_schermo.esatte.clear();
  m_schermo.errate.clear();
  m_schermo.tempoOperazione.clear();
  m_schermo.tempoTotale.clear();
  for (int i = 1; i <= kOperazioni; ++i) e.strRigheEsercizio[static_cast<size_t>(i)].clear();
  registraInizio();
  nuovaOperazione();
}

void MotoreEsercizio::nuovaOperazione() {
  auto &e = m_stato.esercizio;
  if (e.intOperazione >= kOperazioni) return;  // only "Ricomincia" leads on from the last one
  m_schermo.esito.clear();
  m_schermo.unita.clear();
  m_schermo.correzione.clear();
  m_schermo.numeroS.clear();
  m_schermo.correzioneS.clear();
  m_schermo.risposta = kVuota;
  m_schermo.rispostaS = kVuota;
  ++e.intOperazione;
  m_schermo.tempoOperazione.clear();
  e.blnVirgola = false;
  e.strRisposta.clear();
  m_stato.operazione.strRisultato.clear();
  e.varTempoOperazione = 0;
  e.intTentativi = 0;
  m_schermo.croce = false;
  m_risposte.clear();
  m_schermo.frase.clear();
  m_schermo.diagnosi = {};
  m_schermo.tabella = false;
  m_schermo.tabellaUnita = {};
  const auto n = static_cast<qsizetype>(e.intOperazione);
  if (n <= m_piano.size() && m_stato.livello.intLivello == m_livelloPiano) {
    const SceltaOperazione &s = m_piano[n - 1];
    m_stato.operazione =
        GeneraOperazioneDi(ParametriDa(m_stato), s.caso, s.richiesta, m_casuale, m_orologio, m_messaggi);
  } else {
    GeneraOperazione(m_stato, m_casuale, m_orologio, m_messaggi);
  }
  // The family may change on the start window while this window is open: the
  // symbol buttons follow the family of each new operation.
  m_famiglia = m_stato.famiglia;
  m_operazione = m_stato.operazione;
  m_livello = m_stato.livello.intLivello;
  m_sotto = datiCorrenti();
  visualizza();
}

void MotoreEsercizio::impostaPiano(QList<SceltaOperazione> piano, int livello) {
  m_piano = std::move(piano);
  m_livelloPiano = livello;
}

QString MotoreEsercizio::fraseDaLeggere() const {
  if (m_mostrate == 0) return {};
  return FraseDaLeggere(m_operazione, m_livello, m_schermo.vista == Vista::Simbolo ? m_schermo.numeroS : QString());
}

void MotoreEsercizio::visualizza() {
  ++m_mostrate;
  m_stato.esercizio.varInizioOperazione = m_orologio.secondiDaMezzanotte();
  m_inizioMonotono = m_orologio.secondiMonotoni();
  switch (m_stato.impostazioni.intCosaCalcolare) {
    case 2: mostraSimbolo(); break;
    case 3:
      m_stato.esercizio.intChiesto = static_cast<qint16>(Estrai(m_casuale, 2) + 1);
      if (m_stato.esercizio.intChiesto == 2) mostraSimbolo();
      else mostraNumero();
      break;
    default: mostraNumero(); break;
  }
}

void MotoreEsercizio::mostraNumero() {
  const Operazione &op = m_stato.operazione;
  m_schermo.codice = QString::number(op.intCaso) + u' ' + QString::number(op.intUnitaRichiesta);
  m_schermo.vista = Vista::Numero;
  m_fase = Fase::Inserimento;
  cornice(Cornice::Tastierino);
  m_schermo.addendo1 = op.strAddendo1;
  m_schermo.addendo2 = op.strAddendo2;
  m_schermo.risposta = kVuota;
  m_schermo.unita = op.strSimboloRichiesto;
  entrata();
  riga() = ScriviRigaNumero(op);
}

void MotoreEsercizio::mostraSimbolo() {
  Operazione &op = m_stato.operazione;
  m_schermo.codice = QString::number(op.intCaso) + u' ' + QString::number(op.intUnitaRichiesta);
  m_schermo.vista = Vista::Simbolo;
  m_fase = Fase::Inserimento;
  cornice(Cornice::Simboli);
  m_schermo.addendo1S = op.strAddendo1;
  m_schermo.addendo2S = op.strAddendo2;
  m_schermo.numeroS = op.strRisultato;
  m_schermo.rispostaS = kVuota;
  m_schermo.esito.clear();
  // From here on the expected answer is the padded symbol.
  op.strRisultato = op.strSimboloRichiesto;
  riga() = ScriviRigaSimbolo(op);
  entrata();
}

void MotoreEsercizio::cornice(Cornice c) { m_schermo.cornice = c; }

MotoreEsercizio::Cornice MotoreEsercizio::corniceRisposta() const {
  return m_schermo.vista == Vista::Numero ? Cornice::Tastierino : Cornice::Simboli;
}

void MotoreEsercizio::entrata() {
  if (m_schermo.vista == Vista::Numero) {
    for (int i = 0; i < kPulsantiTastierino; ++i) m_schermo.tastierino[static_cast<size_t>(i)] = i <= kCancellaT;
    m_fuoco = Fuoco{Cornice::Tastierino, 0};
  } else {
    const bool tre = m_famiglia.intNumeroUnita == 3;
    for (int i = 0; i < kPulsantiSimboli; ++i) m_schermo.simboli[static_cast<size_t>(i)] = i <= kCancellaS;
    if (tre) m_schermo.simboli[0] = false;
    m_fuoco = Fuoco{Cornice::Simboli, tre ? 1 : 0};
  }
}

void MotoreEsercizio::dopoGiudizio() {
  if (m_schermo.vista == Vista::Numero) {
    for (int i = 0; i < kPulsantiTastierino; ++i) m_schermo.tastierino[static_cast<size_t>(i)] = i >= kAvantiT;
    m_fuoco = Fuoco{Cornice::Tastierino, kAvantiT};
  } else {
    for (int i = 0; i < kPulsantiSimboli; ++i) m_schermo.simboli[static_cast<size_t>(i)] = i >= kAvantiS;
    m_fuoco = Fuoco{Cornice::Simboli, kAvantiS};
  }
}

// --- answer entry ---------------------------------------------------------

void MotoreEsercizio::mostraRisposta(const QString &testo) {
  m_schermo.risposta = testo;
  if (testo != kVuota) m_schermo.tastierino[kVerificaT] = true;
}

void MotoreEsercizio::mostraRispostaS(const QString &testo) {
  m_schermo.rispostaS = testo;
  if (testo != kVuota) m_schermo.simboli[kVerificaS] = true;
}

void MotoreEsercizio::cercaVirgola() {
  auto &e = m_stato.esercizio;
  if (e.strRisposta.isEmpty()) return;
  e.blnVirgola = e.strRisposta.contains(u',');
}

void MotoreEsercizio::regola() {
  auto &e = m_stato.esercizio;
  if (e.blnVirgola || e.strRisposta.isEmpty()) return;
  if (const auto v = LeggiNumero(e.strRisposta)) e.strRisposta = FormattaNumero(*v, m_messaggi);
}

void MotoreEsercizio::accetta(QChar c) {
  auto &e = m_stato.esercizio;
  // A sixth digit changes nothing, before the comma or after it.
  if (Cifre(e.strRisposta) < kCifreMassime) e.strRisposta += c;
  if (e.strRisposta.size() >= e.intLunghezzaMassima) e.strRisposta.truncate(e.intLunghezzaMassima);
  cercaVirgola();
  regola();
  mostraRisposta(e.strRisposta.isEmpty() ? kVuota : e.strRisposta);
}

void MotoreEsercizio::cifra(int d) {
  if (m_fase != Fase::Inserimento || m_schermo.vista != Vista::Numero || d < 0 || d > 9) return;
  accetta(QChar(u'0' + d));
}

void MotoreEsercizio::virgola() {
  auto &e = m_stato.esercizio;
  if (m_fase != Fase::Inserimento || m_schermo.vista != Vista::Numero || e.blnVirgola) return;
  // After five digits no further digit could follow the comma.
  if (Cifre(e.strRisposta) >= kCifreMassime) return;
  e.strRisposta += u',';
  if (e.strRisposta.startsWith(u',')) {
    e.strRisposta.clear();
    mostraRisposta(kVuota);
    return;
  }
  e.blnVirgola = true;
  mostraRisposta(e.strRisposta);
}

void MotoreEsercizio::cancella() {
  auto &e = m_stato.esercizio;
  if (m_fase != Fase::Inserimento || m_schermo.vista != Vista::Numero) return;
  if (!e.strRisposta.isEmpty()) e.strRisposta.chop(1);
  cercaVirgola();
  regola();
  mostraRisposta(e.strRisposta.isEmpty() ? kVuota : e.strRisposta);
}

void MotoreEsercizio::sceltaSimbolo(int indice) {
  if (m_fase != Fase::Inserimento || m_schermo.vista != Vista::Simbolo || indice < 0 || indice > 3) return;
  if (!m_schermo.simboli[static_cast<size_t>(indice)]) return;
  m_stato.esercizio.strRisposta = m_famiglia.simbolo(indice + 1);
  mostraRispostaS(m_stato.esercizio.strRisposta);
}

void MotoreEsercizio::cancellaSimbolo() {
  if (m_fase != Fase::Inserimento || m_schermo.vista != Vista::Simbolo) return;
  m_stato.esercizio.strRisposta.clear();
  m_schermo.rispostaS = kVuota;
}

// --- judging and help -------------------------------------------------------

void MotoreEsercizio::calcolaTempi() {
  auto &e = m_stato.esercizio;
  const auto adesso = m_orologio.secondiMonotoni();
  // The wall clock may be stepped while an operation is on screen: where the
  // machine has a monotonic clock the time is measured on it, never negative.
  e.varTempoOperazione = adesso && m_inizioMonotono
                             ? std::max(0.0, std::floor(*adesso - *m_inizioMonotono))
                             : Durata(e.varInizioOperazione, m_orologio.secondiDaMezzanotte());
  e.varTempoTotale += e.varTempoOperazione;
  m_schermo.tempoOperazione = TestoLimitato(e.varTempoOperazione, 99);
  m_schermo.tempoTotale = TestoLimitato(e.varTempoTotale, 999);
}

void MotoreEsercizio::controllaFine() {
  if (m_stato.esercizio.intOperazione < kOperazioni) return;
  m_fase = Fase::Finito;
  cornice(Cornice::Avviso);
  m_fuoco = Fuoco{Cornice::Avviso, 0};
}

void MotoreEsercizio::verificaRisposta() {
  if (m_fase != Fase::Inserimento) return;
  auto &e = m_stato.esercizio;
  if (const auto v = LeggiNumero(e.strRisposta)) e.strRisposta = FormattaNumero(*v, m_messaggi);
  const Operazione &op = m_stato.operazione;
  ++m_giudizi;
  if (op.strRisultato.trimmed() == e.strRisposta.trimmed()) {
    m_risposte.append({e.strRisposta, QString()});
    m_schermo.esito = u"Esatto"_s;
    m_schermo.frase.clear();  // a hint about an earlier attempt no longer applies
    m_schermo.diagnosi = {};
    ++e.intEsatte;
    m_schermo.esatte = QString::number(e.intEsatte);
    calcolaTempi();
    riga() = AggiungiRisposta(riga(), op, e.strRisposta);
    m_schermo.operazione = QString::number(e.intOperazione);
    m_fase = Fase::Giudicata;
    dopoGiudizio();
    registraChiusura(false);
    controllaFine();
  } else {
    m_schermo.esito = u"Errato"_s;
    const Richiesta r = m_schermo.vista == Vista::Simbolo ? Richiesta::Simbolo : Richiesta::Numero;
    m_schermo.diagnosi = ClassificaSbaglio(op, m_famiglia, r, e.strRisposta);
    m_schermo.frase = FraseSbaglio(m_schermo.diagnosi);
    m_risposte.append({e.strRisposta, ChiaveSbaglio(m_schermo.diagnosi.sbaglio), m_schermo.diagnosi.passi});
    riga() = AggiungiErrore(riga(), op, e.strRisposta);
    m_schermo.croce = true;
    m_fase = Fase::Aiuto;
    cornice(Cornice::Aiuto);
    m_fuoco = Fuoco{Cornice::Aiuto, 1};
  }
}

void MotoreEsercizio::riprova() {
  if (m_fase != Fase::Aiuto) return;
  auto &e = m_stato.esercizio;
  e.strRisposta.clear();
  e.blnVirgola = false;
  m_schermo.esito.clear();
  ++e.intTentativi;
  if (e.intTentativi < 3) {
    m_schermo.croce = false;
    if (m_schermo.vista == Vista::Numero) m_schermo.risposta = kVuota;
    else m_schermo.rispostaS = kVuota;
    m_fase = Fase::Inserimento;
    cornice(corniceRisposta());
    if (m_schermo.vista == Vista::Numero) m_fuoco = Fuoco{Cornice::Tastierino, 0};
    else m_fuoco = Fuoco{Cornice::Simboli, m_famiglia.intNumeroUnita == 3 ? 1 : 0};
  } else {
    e.intTentativi = 0;
    m_fase = Fase::Intervento;
    cornice(Cornice::Intervento);
    m_fuoco = Fuoco{Cornice::Intervento, 0};
  }
}

void MotoreEsercizio::intervieni() {
  if (m_fase != Fase::Aiuto && m_fase != Fase::Intervento) return;
  auto &e = m_stato.esercizio;
  calcolaTempi();
  m_schermo.esito.clear();
  m_schermo.operazione = QString::number(e.intOperazione);
  ++e.intErrate;
  m_schermo.errate = QString::number(e.intErrate);
  e.intTentativi = 0;
  m_fase = Fase::Corretta;
  cornice(corniceRisposta());
  dopoGiudizio();
  const Operazione &op = m_stato.operazione;
  if (m_schermo.vista == Vista::Numero) m_schermo.correzione = op.strRisultato;
  else m_schermo.correzioneS = op.strRisultato;
  m_schermo.tabellaUnita = TabellaOperazione(op, m_famiglia);
  m_schermo.tabella = true;
  riga() = AggiungiCorrezione(riga(), op, e.varTempoOperazione);
  registraChiusura(true);
  controllaFine();
}

// --- the register -------------------------------------------------------------

DatiEsercizio MotoreEsercizio::datiCorrenti() const {
  DatiEsercizio d;
  if (const AlunnoScelto &a = m_stato.alunnoScelto; a.id != 0) {
    d.alunno = a.id;
    d.classe = a.classe;
  }
  d.famiglia = m_stato.livello.intLivello;
  d.cifre = m_stato.livello.intCifre;
  d.cosa = m_stato.impostazioni.intCosaCalcolare;
  d.ordine = m_stato.impostazioni.intOrdineSimboli;
  // A plan mixes both orders of the family's cases.
  if (suMisura() && m_stato.livello.intLivello == m_livelloPiano) {
    d.suMisura = true;
    d.ordine = 3;
  }
  const auto ms = static_cast<int>(std::clamp(m_orologio.secondiDaMezzanotte(), 0.0, kGiorno - 1) * 1000.0);
  d.inizio = QDateTime(m_orologio.oggi(), QTime::fromMSecsSinceStartOfDay(ms));
  return d;
}

void MotoreEsercizio::registraInizio() {
  m_stato.alunnoEsercizio = m_stato.alunnoScelto;
  if (!m_quaderno) return;
  m_quaderno->iniziaEsercizio(datiCorrenti());
}

void MotoreEsercizio::registraChiusura(bool intervento) {
  // The operation goes to the pupil who answered it, under the settings it was
  // made with: a name chosen or a family changed on the start window while
  // this window is open starts an exercise of its own in the register.
  m_stato.alunnoEsercizio = m_stato.alunnoScelto;
  if (!m_quaderno) return;
  const Operazione &op = m_stato.operazione;
  OperazioneChiusa c;
  c.numero = m_stato.esercizio.intOperazione;
  c.chiesto = m_schermo.vista == Vista::Numero ? 1 : 2;
  c.addendo1 = op.strAddendo1;
  c.addendo2 = op.strAddendo2;
  c.unita = op.strSimboloRichiesto;
  c.risultato = op.strRisultato;
  if (m_schermo.vista == Vista::Simbolo) c.mostrato = m_schermo.numeroS;
  c.risposte = m_risposte;
  c.intervento = intervento;
  c.secondi = static_cast<qint64>(m_stato.esercizio.varTempoOperazione);
  c.caso = m_operazione.intCaso;
  c.richiesta = m_operazione.intUnitaRichiesta;
  DatiEsercizio sotto = datiCorrenti();
  sotto.famiglia = m_sotto.famiglia;
  sotto.cifre = m_sotto.cifre;
  sotto.cosa = m_sotto.cosa;
  sotto.ordine = m_sotto.ordine;
  sotto.suMisura = m_sotto.suMisura;
  c.sotto = sotto;
  m_quaderno->operazioneChiusa(c);
}

void MotoreEsercizio::interrompi() {
  if (m_quaderno) m_quaderno->interrompiEsercizio();
}
