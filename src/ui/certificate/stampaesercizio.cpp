#include "ui/certificate/stampaesercizio.h"

#include <algorithm>

#include "platform/messaggi.h"
#include "platform/stampante.h"

double YRigaEsercizio(int k) {
  if (k >= 1 && k <= 10) return 2000 + (k - 1) * 400.0;
  if (k >= 11 && k <= 20) return 6000 + (k - 10) * 400.0;
  if (k >= 21 && k <= 30) return 10500 + (k - 20) * 400.0;
  return 0;
}

EsitoStampa StampaEsercizio(Stampante &stampante, const Esercizio &esercizio) {
  const QString courier = CercaFontCourier(stampante.fonts());
  if (courier.isEmpty()) return {EsitoStampa::Tipo::SenzaCourier, {}};

  stampante.impostaTitolo(QStringLiteral("Esercizio"));
  stampante.impostaFont(courier);
  // The heading is regular whatever an earlier printout left set.
  stampante.impostaGrassetto(false);
  stampante.impostaX(1000);
  stampante.impostaY(1000);
  stampante.impostaDimensione(16);
  stampante.stampaRiga(kIntestazione1);
  stampante.impostaX(1000);
  stampante.stampaRiga(kIntestazione2);

  stampante.impostaDimensione(10);
  stampante.impostaGrassetto(true);
  const int n = std::clamp<int>(esercizio.intOperazione, 0, kRigheMassime - 1);
  for (int k = 1; k <= n; ++k) {
    if (k <= 30) {
      stampante.impostaX(500);
      stampante.impostaY(YRigaEsercizio(k));
    }
    stampante.stampaRiga(esercizio.strRigheEsercizio[static_cast<size_t>(k)]);
  }
  if (stampante.fineDocumento()) return {};
  const QString perche = stampante.errore();
  if (perche.isEmpty()) return {EsitoStampa::Tipo::Annullato, {}};
  return {EsitoStampa::Tipo::Errore, perche};
}

bool RiferisciStampa(const EsitoStampa &esito, Messaggi &messaggi, const QString &nota) {
  switch (esito.tipo) {
    case EsitoStampa::Tipo::Stampato:
      return true;
    case EsitoStampa::Tipo::Annullato:
      return false;
    case EsitoStampa::Tipo::SenzaCourier:
      messaggi.mostra(kMessaggioCourier, TitoloMessaggi(), Messaggi::Icona::Nessuna);
      return false;
    case EsitoStampa::Tipo::Errore:
      messaggi.mostra(nota.isEmpty() ? esito.errore : esito.errore + QStringLiteral("\n\n") + nota,
                      TitoloMessaggi(), Messaggi::Icona::Avviso);
      return false;
  }
  return false;
}
