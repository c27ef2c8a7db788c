#include "didattica/sceltasumisura.h"

#include <QMap>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "generation/zalgoritmi.h"
#include "platform/casuale.h"

namespace {

constexpr int kRecenti = 10;

// A pool of choices drawn like cards from a shuffled deck, dealt again when
// empty, so that over the twenty each choice of the pool comes up as often as
// the others.
class Mazzo {
 public:
  Mazzo(QList<SceltaOperazione> scelte, Casuale &casuale) : m_scelte(std::move(scelte)), m_casuale(casuale) {}
  [[nodiscard]] bool vuoto() const { return m_scelte.isEmpty(); }
  // A card of a case other than `evita`; none when the pool holds only that case.
  std::optional<SceltaOperazione> prendi(int evita) {
    for (int giro = 0; giro < 2; ++giro) {
      if (m_carte.isEmpty()) mescola();
      for (qsizetype i = 0; i < m_carte.size(); ++i)
        if (m_carte[i].caso != evita) return m_carte.takeAt(i);
      mescola();  // only `evita` was left in the deck: deal a fresh one
    }
    return std::nullopt;
  }

 private:
  void mescola() {
    m_carte = m_scelte;
    for (qsizetype i = m_carte.size() - 1; i > 0; --i)
      std::swap(m_carte[i], m_carte[Estrai(m_casuale, static_cast<int>(i + 1))]);
  }
  QList<SceltaOperazione> m_scelte;
  QList<SceltaOperazione> m_carte;
  Casuale &m_casuale;
};

enum class Quota { Dovuti, Mira, Nuovi, Tutti };

QList<SceltaOperazione> SoloCasi(const QList<int> &casi) {
  QList<SceltaOperazione> s;
  for (int c : casi) s.append({c, 0});
  return s;
}

}  // namespace

Scatola PassoScatola(Scatola prima, bool stessaSessione, bool giusta) {
  if (!giusta) return {1, true};
  if (stessaSessione) return prima;  // one step up per session, and not after a mistake in it
  return {std::min(std::max(prima.scatola, 1) + 1, kScatole), false};
}

int IntervalloScatola(int scatola) {
  static constexpr std::array<int, kScatole> kIntervalli{1, 1, 2, 4, 8};
  return kIntervalli[static_cast<size_t>(std::clamp(scatola, 1, kScatole) - 1)];
}

StatoCaso StatoDellaScatola(int scatola) {
  if (scatola <= 0) return StatoCaso::Nuovo;
  return Padroneggiato(scatola) ? StatoCaso::Padroneggiato : StatoCaso::InEsercizio;
}

QList<int> CasiDellaFamiglia(const FamigliaUnita &famiglia) {
  QList<int> casi;
  for (int c = 1; c <= 12; ++c) {
    const CoppiaSlot s = SlotDelCaso(c);
    if (std::min(s.primo, s.secondo) >= famiglia.intPrimaScelta) casi.append(c);
  }
  return casi;
}

QList<Sbaglio> SbagliRipetuti(const QList<OperazioneRecente> &recenti) {
  QMap<Sbaglio, int> volte;
  QMap<Sbaglio, qsizetype> ultima;
  const qsizetype da = std::max<qsizetype>(0, recenti.size() - kRecenti);
  for (qsizetype i = da; i < recenti.size(); ++i) {
    QList<Sbaglio> visti;
    for (Sbaglio s : recenti[i].sbagli) {
      if (s == Sbaglio::Nessuno || visti.contains(s)) continue;
      visti.append(s);
      ++volte[s];
      ultima[s] = i;
    }
  }
  QList<Sbaglio> ripetuti;
  for (auto it = volte.cbegin(); it != volte.cend(); ++it)
    if (it.value() >= 2) ripetuti.append(it.key());
  std::sort(ripetuti.begin(), ripetuti.end(), [&](Sbaglio a, Sbaglio b) {
    return volte[a] != volte[b] ? volte[a] > volte[b] : ultima[a] > ultima[b];
  });
  return ripetuti;
}

std::optional<Sbaglio> SbaglioRipetuto(const QList<OperazioneRecente> &recenti) {
  const QList<Sbaglio> r = SbagliRipetuti(recenti);
  if (r.isEmpty()) return std::nullopt;
  return r.first();
}

bool Provoca(Sbaglio s, int caso, int richiesta) {
  const CoppiaSlot c = SlotDelCaso(caso);
  const int piccola = std::max(c.primo, c.secondo);  // the smaller unit has the larger slot
  switch (s) {
    case Sbaglio::SenzaConversione:
    case Sbaglio::UnoSoloConvertito: return richiesta != c.primo && richiesta != c.secondo;
    case Sbaglio::VirgolaSpostata: return richiesta < piccola;
    case Sbaglio::ZeroSegnaposto: return std::abs(c.primo - c.secondo) >= 2;
    case Sbaglio::SommaSbagliata: return std::abs(c.primo - c.secondo) == 1;
    case Sbaglio::SimboloPiuGrande: return richiesta > 1;
    case Sbaglio::SimboloPiuPiccolo: return richiesta < 4;
    default: return false;
  }
}

QList<SceltaOperazione> ScegliSuMisura(const StoriaSuMisura &storia, const FamigliaUnita &famiglia,
                                       Casuale &casuale, int quante) {
  const QList<int> casi = CasiDellaFamiglia(famiglia);
  const int prima = famiglia.intPrimaScelta;
  const int scelte = famiglia.intNumeroScelte;
  const auto richiestaACaso = [&] { return Estrai(casuale, scelte) + prima; };
  const auto richiestaValida = [&](int r) { return r >= prima && r < prima + scelte; };

  QList<int> dovuti, nuovi = casi;
  for (const CasoStoria &c : storia.casi) {
    if (!casi.contains(c.caso) || c.scatola <= 0) continue;
    nuovi.removeAll(c.caso);
    if (c.scatola == 1 || storia.sessioneCorrente - c.ultimaSessione >= IntervalloScatola(c.scatola))
      dovuti.append(c.caso);
  }
  const qsizetype da = std::max<qsizetype>(0, storia.recenti.size() - kRecenti);
  const QList<OperazioneRecente> ultime = storia.recenti.mid(da);

  // The operations aimed at the repeated mistake: the very ones it was made
  // in, and every other of the family that gives it room.
  QList<SceltaOperazione> fatte, provocano;
  if (const auto ripetuto = SbaglioRipetuto(ultime)) {
    for (const OperazioneRecente &o : ultime)
      if (o.sbagli.contains(*ripetuto) && casi.contains(o.caso) && richiestaValida(o.richiesta))
        fatte.append({o.caso, o.richiesta});
    for (int c : casi)
      for (int r = prima; r < prima + scelte; ++r)
        if (Provoca(*ripetuto, c, r)) provocano.append({c, r});
  }

  Mazzo mazzoDovuti(SoloCasi(dovuti), casuale), mazzoNuovi(SoloCasi(nuovi), casuale),
      mazzoTutti(SoloCasi(casi), casuale), mazzoFatte(fatte, casuale), mazzoProvocano(provocano, casuale);
  const bool mira = !fatte.isEmpty() || !provocano.isEmpty();

  // The shares, a share with nothing to give going to the due cases, then to all.
  const int nMira = (quante * 25 + 50) / 100, nNuovi = (quante * 15 + 50) / 100;
  QList<Quota> quote;
  const Quota alPosto = dovuti.isEmpty() ? Quota::Tutti : Quota::Dovuti;
  for (int i = 0; i < quante; ++i) {
    if (i < nMira) quote.append(mira ? Quota::Mira : alPosto);
    else if (i < nMira + nNuovi) quote.append(nuovi.isEmpty() ? alPosto : Quota::Nuovi);
    else quote.append(alPosto);
  }
  for (qsizetype i = quote.size() - 1; i > 0; --i)
    std::swap(quote[i], quote[Estrai(casuale, static_cast<int>(i + 1))]);

  // The asked slot of a due case: where the pupil last went wrong in it, when they did lately.
  const auto richiestaDi = [&](int caso) {
    for (qsizetype i = ultime.size() - 1; i >= 0; --i)
      if (ultime[i].caso == caso && !ultime[i].sbagli.isEmpty() && richiestaValida(ultime[i].richiesta))
        return ultime[i].richiesta;
    return richiestaACaso();
  };

  QList<SceltaOperazione> piano;
  int precedente = 0;
  for (Quota q : quote) {
    std::optional<SceltaOperazione> s;
    switch (q) {
      case Quota::Mira:
        // Half of them the operations it was made in, when there are any.
        if (!fatte.isEmpty() && (provocano.isEmpty() || Estrai(casuale, 2) == 0)) s = mazzoFatte.prendi(precedente);
        if (!s) s = mazzoProvocano.prendi(precedente);
        if (!s) s = mazzoFatte.prendi(precedente);
        break;
      case Quota::Nuovi: s = mazzoNuovi.prendi(precedente); break;
      case Quota::Dovuti: s = mazzoDovuti.prendi(precedente); break;
      case Quota::Tutti: break;
    }
    // Never the same case twice in a row: the family's other cases stand in.
    if (!s) s = mazzoTutti.prendi(precedente);
    if (!s) break;  // a family of one case: cannot happen with the built-in ones
    if (s->richiesta == 0) s->richiesta = q == Quota::Dovuti ? richiestaDi(s->caso) : richiestaACaso();
    piano.append(*s);
    precedente = s->caso;
  }
  return piano;
}
