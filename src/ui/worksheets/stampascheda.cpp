#include "ui/worksheets/stampascheda.h"

#include "platform/messaggi.h"
#include "platform/stampante.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int YRigaScheda(int i) {
  if (i <= 10) return 2000 + 400 * (i - 1);
  if (i <= 20) return 6000 + 400 * (i - 10);
  return 10500 + 400 * (i - 20);
}

namespace {

void Riga(Stampante &s, double x, double y, const QString &testo) {
  s.impostaX(x);
  s.impostaY(y);
  s.stampaRiga(testo);
}

}  // namespace

EsitoStampa StampaScheda(const Scheda &scheda, const QString &ordine, const QString &livello, Stampante &stampante,
                         Messaggi &messaggi, const std::function<void()> &pausa) {
  const QString courier = CercaFontCourier(stampante.fonts());
  if (courier.isEmpty()) {
    messaggi.mostra(kMessaggioCourier, TitoloMessaggi(), Messaggi::Icona::Avviso);
    return EsitoStampa::SenzaCourier;
  }

  const bool docenti = scheda.intTipoScheda == 2;
  stampante.impostaTitolo(docenti ? u"Scheda per docenti"_s : u"Scheda per alunni"_s);
  stampante.impostaFont(courier);
  stampante.impostaGrassetto(false);

  stampante.impostaDimensione(14);
  Riga(stampante, 1000, 1000, kIntestazioneScheda);
  if (pausa) pausa();
  stampante.impostaDimensione(12);
  Riga(stampante, 1000, 1500, kSecondaIntestazione);

  stampante.impostaDimensione(docenti ? 12 : 14);
  const int righe = std::clamp<int>(scheda.intNumeroOperazioni, 0, kRigheMassime - 1);
  for (int i = 1; i <= righe; ++i) Riga(stampante, 500, YRigaScheda(i), scheda.strRigheStampa[static_cast<size_t>(i)]);

  stampante.impostaDimensione(8);
  Riga(stampante, 1000, 15100, ordine);
  Riga(stampante, 1000, 15300, kPrefissoLivello + livello);
  Riga(stampante, 1000, 15500, scheda.strPiePagina);
  if (pausa) pausa();

  if (stampante.fineDocumento()) return EsitoStampa::Stampata;
  if (stampante.errore().isEmpty()) return EsitoStampa::Annullata;
  messaggi.mostra(kMessaggioProblemaStampa, TitoloMessaggi(), Messaggi::Icona::Critica);
  return EsitoStampa::Errore;
}
