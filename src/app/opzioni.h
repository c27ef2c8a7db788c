#pragma once

#include <array>
#include <optional>

class Preferenze;

// The compensatory tools a teacher can switch on: each one off by default, so
// that with all of them off the program looks and works as it always has.
struct Opzioni {
  bool leggiSempre = false;      // every new operation and every verdict spoken by itself
  bool tabellaAMano = false;     // the family's empty unit table beside the operation, all along
  bool senzaOrologio = false;    // the two times hidden (still measured and logged)
  bool caratteriGrandi = false;  // the type grows with the window
  bool altoContrasto = false;    // colours of strong contrast, the focus drawn thick
  bool operator==(const Opzioni &) const = default;
};

// The options one by one, in the order every store of them keeps.
inline constexpr std::array<bool Opzioni::*, 5> kCampiOpzioni{&Opzioni::leggiSempre, &Opzioni::tabellaAMano,
                                                              &Opzioni::senzaOrologio, &Opzioni::caratteriGrandi,
                                                              &Opzioni::altoContrasto};

// The options of this machine and, once a pupil is chosen, the pupil's own
// plan, which then stands in for the machine's whole.
struct SceltaOpzioni {
  Opzioni macchina;
  std::optional<Opzioni> alunno;  // set by the choice of a pupil; empty: no pupil chosen
  [[nodiscard]] const Opzioni &inVigore() const { return alunno ? *alunno : macchina; }
  // The options a change is made to: the pupil's plan when there is one.
  [[nodiscard]] Opzioni &daCambiare() { return alunno ? *alunno : macchina; }
};

// The machine's options as kept in its settings. Anything missing, unknown or
// unreadable counts as the option off; nothing is told and nothing is written.
[[nodiscard]] Opzioni LeggiOpzioni(const Preferenze &p);
void ScriviOpzioni(Preferenze &p, const Opzioni &o);
