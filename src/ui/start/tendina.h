#pragma once

#include <QtGlobal>

// The curtain that opens the start window: two panels, each half the window
// wide, drawn back from the middle towards the edges a few twips per tick.
class Tendina {
 public:
  static constexpr int kPasso = 75;  // twips taken off each panel per tick
  static constexpr int kFine = 10;   // the curtain is open once the left panel is this narrow
  static constexpr int kIntervallo = 5;  // milliseconds between ticks

  // Both panels cover half of a window larghezza twips wide; the curtain starts moving.
  void prepara(int larghezza);
  // One tick. Returns true while the curtain is still moving. A tick that would
  // make a panel narrower than nothing leaves both panels as they are and ends the curtain.
  bool passo();
  // A tick that arrives ms milliseconds after the curtain started: at least one
  // step, and as many more as a late tick has missed, so the curtain keeps its
  // pace on a busy or slow display. Returns true while the curtain is still moving.
  bool aggiorna(qint64 ms);

  [[nodiscard]] int sinistra() const { return m_sinistra; }
  [[nodiscard]] int destra() const { return m_destra; }
  [[nodiscard]] bool inMoto() const { return m_inMoto; }

 private:
  int m_sinistra = 0;
  int m_destra = 0;
  bool m_inMoto = false;
  qint64 m_passi = 0;
};
