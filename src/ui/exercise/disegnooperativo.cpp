#include "ui/exercise/disegnooperativo.h"

#include <array>

namespace disegno {
namespace {

// clang-format off
constexpr std::array kControlli{
    Controllo{Tipo::Cornice, u"frmElaborazione", u"", u"", 150, 120, 12600, 1380, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label5_1", u"frmElaborazione", u"Operazioni", 150, 90, 2325, 360, 12, true, Allinea::Centro},
    Controllo{Tipo::Valore, u"LblOperazione", u"frmElaborazione", u"", 450, 510, 1725, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label5_0", u"frmElaborazione", u"Risposte esatte ", 2625, 90, 2325, 360, 12, true, Allinea::Centro},
    Controllo{Tipo::Valore, u"lblRisEsatte", u"frmElaborazione", u"", 2925, 510, 1725, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label5_3", u"frmElaborazione", u"Risposte errate", 5100, 90, 2325, 360, 12, true, Allinea::Centro},
    Controllo{Tipo::Valore, u"lblRisErrate", u"frmElaborazione", u"", 5400, 510, 1725, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label5_4", u"frmElaborazione", u"Tempo parziale", 7575, 90, 2325, 360, 12, true, Allinea::Centro},
    Controllo{Tipo::Valore, u"LblTempoOperazione", u"frmElaborazione", u"", 7875, 510, 1725, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label5_5", u"frmElaborazione", u"Tempo totale", 10050, 90, 2325, 360, 12, true, Allinea::Centro},
    Controllo{Tipo::Valore, u"LblTempoTotale", u"frmElaborazione", u"", 10350, 510, 1725, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label2", u"", u"", 150, 1590, 6450, 450, 14, true, Allinea::Sinistra},
    Controllo{Tipo::Etichetta, u"Label1", u"", u"", 6750, 1590, 4800, 450, 14, false, Allinea::Sinistra},
    Controllo{Tipo::Etichetta, u"Label12", u"", u"", 11700, 1590, 1050, 450, 9, false, Allinea::Destra},
    Controllo{Tipo::Vista, u"fraNumero", u"", u"", 150, 2130, 12600, 1560, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label4", u"fraNumero", u"", 450, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label7", u"fraNumero", u"+", 2700, 210, 600, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label8", u"fraNumero", u"", 3300, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label6", u"fraNumero", u"=", 5550, 210, 600, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Casella, u"LblRisultato", u"fraNumero", u"?", 6180, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Riquadro, u"Label9", u"fraNumero", u"", 6180, 210, 2250, 1140, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label11", u"fraNumero", u"", 8490, 210, 1500, 1140, 28, true, Allinea::Sinistra},
    Controllo{Tipo::Correzione, u"lblCorrezione", u"fraNumero", u"", 10050, 210, 2400, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Vista, u"fraSimbolo", u"", u"", 150, 2130, 12600, 1560, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"label4S", u"fraSimbolo", u"", 450, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"lblSegno", u"fraSimbolo", u"+", 2700, 210, 600, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"label8S", u"fraSimbolo", u"", 3300, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"lblUguale", u"fraSimbolo", u"=", 5550, 210, 600, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"label11S", u"fraSimbolo", u"", 6180, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Casella, u"lblRisultatoS", u"fraSimbolo", u"?", 8490, 210, 1650, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Correzione, u"lblCorrezioneS", u"fraSimbolo", u"", 10200, 210, 2250, 1140, 28, true, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"LblEsito", u"", u"", 150, 3780, 12600, 720, 24, true, Allinea::Centro},
    Controllo{Tipo::Frase, u"lblSbaglio", u"", u"", 150, 4500, 12600, 600, 14, true, Allinea::Centro},
    Controllo{Tipo::Marcatore, u"lblRiferimento", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Cornice, u"fraTastierino", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_7", u"fraTastierino", u"7", 2550, 150, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_8", u"fraTastierino", u"8", 4110, 150, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_9", u"fraTastierino", u"9", 5670, 150, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_4", u"fraTastierino", u"4", 2550, 1260, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_5", u"fraTastierino", u"5", 4110, 1260, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_6", u"fraTastierino", u"6", 5670, 1260, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_1", u"fraTastierino", u"1", 2550, 2370, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_2", u"fraTastierino", u"2", 4110, 2370, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_3", u"fraTastierino", u"3", 5670, 2370, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_0", u"fraTastierino", u"0", 2550, 3480, 3000, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_10", u"fraTastierino", u",", 5670, 3480, 1440, 990, 24, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_11", u"fraTastierino", u"Cancella", 7500, 150, 3000, 990, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_12", u"fraTastierino", u"Verifica", 7500, 1260, 3000, 990, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_13", u"fraTastierino", u"Avanti", 7500, 2370, 3000, 990, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option2_14", u"fraTastierino", u"Esco", 7500, 3480, 3000, 990, 16, true, Allinea::Centro},
    Controllo{Tipo::Cornice, u"fraSimboli", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_0", u"fraSimboli", u"", 375, 300, 2850, 1800, 28, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_1", u"fraSimboli", u"", 3375, 300, 2850, 1800, 28, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_2", u"fraSimboli", u"", 6375, 300, 2850, 1800, 28, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_3", u"fraSimboli", u"", 9375, 300, 2850, 1800, 28, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_4", u"fraSimboli", u"Cancella", 375, 2550, 2850, 1350, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_5", u"fraSimboli", u"Verifica", 3375, 2550, 2850, 1350, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_6", u"fraSimboli", u"Avanti", 6375, 2550, 2850, 1350, 16, true, Allinea::Centro},
    Controllo{Tipo::Pulsante, u"Option1_7", u"fraSimboli", u"Esci", 9375, 2550, 2850, 1350, 16, true, Allinea::Centro},
    Controllo{Tipo::Cornice, u"fraAiuto", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label14", u"fraAiuto", u"Ti aiuto ?", 0, 450, 12600, 900, 28, true, Allinea::Centro},
    Controllo{Tipo::Giallo, u"Option3_0", u"fraAiuto", u"SI", 3150, 1800, 3000, 1500, 24, true, Allinea::Centro},
    Controllo{Tipo::Giallo, u"Option3_1", u"fraAiuto", u"NO", 6450, 1800, 3000, 1500, 24, true, Allinea::Centro},
    Controllo{Tipo::Cornice, u"fraIntervento", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"lblIntervento", u"fraIntervento", u"Intervengo io", 0, 450, 12600, 900, 28, true, Allinea::Centro},
    Controllo{Tipo::Giallo, u"optOK", u"fraIntervento", u"OK", 4800, 1800, 3000, 1500, 24, true, Allinea::Centro},
    Controllo{Tipo::Cornice, u"fraAvviso", u"", u"", 150, 5190, 12600, 4560, 0, false, Allinea::Centro},
    Controllo{Tipo::Etichetta, u"Label3", u"fraAvviso", u"Se ricominci gli esercizi andranno persi", 0, 450, 12600, 750, 20, true, Allinea::Centro},
    Controllo{Tipo::Giallo, u"optAvviso_1", u"fraAvviso", u"Ricomincia", 2850, 1800, 3300, 1500, 20, true, Allinea::Centro},
    Controllo{Tipo::Giallo, u"optAvviso_0", u"fraAvviso", u"Stampa", 6450, 1800, 3300, 1500, 20, true, Allinea::Centro},
    // Over the left of the five frames, where the entry buttons stand idle once the program has stepped in.
    Controllo{Tipo::Tabella, u"tabellaUnita", u"", u"", 300, 5250, 6000, 4440, 24, true, Allinea::Centro},
};

constexpr int kRiga = 120, kAltezzaRiga = 1320;
constexpr std::array kLavagna{
    Posto{u"fraNumero", 60, 2130, 12780, 1560},
    Posto{u"Label4", 45, kRiga, 2760, kAltezzaRiga},
    Posto{u"Label7", 2805, kRiga, 510, kAltezzaRiga},
    Posto{u"Label8", 3315, kRiga, 2760, kAltezzaRiga},
    Posto{u"Label6", 6075, kRiga, 510, kAltezzaRiga},
    Posto{u"LblRisultato", 6585, kRiga, 2460, kAltezzaRiga},
    Posto{u"Label9", 6585, kRiga, 2460, kAltezzaRiga},
    Posto{u"Label11", 9060, kRiga, 1860, kAltezzaRiga},
    Posto{u"lblCorrezione", 10920, kRiga, 1815, kAltezzaRiga},
    Posto{u"fraSimbolo", 60, 2130, 12780, 1560},
    Posto{u"label4S", 45, kRiga, 2760, kAltezzaRiga},
    Posto{u"lblSegno", 2805, kRiga, 510, kAltezzaRiga},
    Posto{u"label8S", 3315, kRiga, 2760, kAltezzaRiga},
    Posto{u"lblUguale", 6075, kRiga, 510, kAltezzaRiga},
    Posto{u"label11S", 6585, kRiga, 2460, kAltezzaRiga},
    Posto{u"lblRisultatoS", 9060, kRiga, 1860, kAltezzaRiga},
    Posto{u"lblCorrezioneS", 10920, kRiga, 1815, kAltezzaRiga},
};
// clang-format on

}  // namespace

std::span<const Controllo> Controlli() { return kControlli; }
std::span<const Posto> Lavagna() { return kLavagna; }

Posto LavagnaConColonna(const Posto &p) {
  constexpr int kConColonna = kLarghezza + kLarghezzaAMano;
  return {p.nome, p.sinistra * kConColonna / kLarghezza, p.alto, p.larghezza * kConColonna / kLarghezza,
          p.altezza};
}

}  // namespace disegno
