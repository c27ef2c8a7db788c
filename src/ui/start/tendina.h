#pragma once

// The curtain that opens the start window: two panels, each half the window
// wide, drawn back from the middle towards the edges a few twips per tick.
class Tendina {
 public:
  static constexpr int kPasso = 75;  // twips taken off each panel per tick
  static constexpr int kFine = 10;   // the curtain is open once the left panel is this narrow

  // Both panels cover half of a window larghezza twips wide; the curtain starts moving.
  void prepara(int larghezza);
  // One tick. Returns true while the curtain is still moving. A tick that would
  // make a panel narrower than nothing leaves both panels as they are and ends the curtain.
  bool passo();

  [[nodiscard]] int sinistra() const { return m_sinistra; }
  [[nodiscard]] int destra() const { return m_destra; }
  [[nodiscard]] bool inMoto() const { return m_inMoto; }

 private:
  int m_sinistra = 0;
  int m_destra = 0;
  bool m_inMoto = false;
};
