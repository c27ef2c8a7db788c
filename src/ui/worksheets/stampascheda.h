#pragma once

#include "app/stato.h"

#include <QString>
#include <functional>

class Messaggi;
class Stampante;

// How a printout ended.
enum class EsitoStampa { Stampata, SenzaCourier, Errore, Annullata };

inline const QString kMessaggioProblemaStampa = QStringLiteral("Problema di stampa nella stampante utilizzata.");
inline const QString kIntestazioneScheda = QStringLiteral("Nome e cognome");
inline const QString kSecondaIntestazione = QStringLiteral("Classe ______   Data ______");
inline const QString kPrefissoLivello = QStringLiteral("Livello di difficoltà: ");

// The height (twips from the top of the page) of line i of the sheet: three
// blocks of ten with a wider gap between blocks.
[[nodiscard]] int YRigaScheda(int i);

// Prints lines 1..intNumeroOperazioni of strRigheStampa as one page: the header
// to fill in, the body (larger for the pupils), and a footer with the order,
// the level and strPiePagina. Needs a Courier font on the printer; a failure
// shows a message and leaves the program running, a cancelled PDF save is silent.
// pausa, when given, is called once the page is open and again before the
// document is closed, so the caller can let the event loop run in between.
EsitoStampa StampaScheda(const Scheda &scheda, const QString &ordine, const QString &livello, Stampante &stampante,
                         Messaggi &messaggi, const std::function<void()> &pausa = {});
