#pragma once

#include <QList>
#include <array>
#include <cstdint>

// The program's single pseudo-random source: r uniform in [0, 1).
class Casuale {
 public:
  virtual ~Casuale() = default;
  // Stirs the running state with a clock reading (seconds since midnight).
  virtual void mescola(double secondi) = 0;
  [[nodiscard]] virtual double rnd() = 0;
};

// xoshiro256** seeded from the clock and system entropy; stirring folds the
// clock reading into the running state, so calls within one clock tick still
// give different draws.
class CasualeSistema final : public Casuale {
 public:
  CasualeSistema();
  explicit CasualeSistema(std::uint64_t seme);
  void mescola(double secondi) override;
  double rnd() override;

 private:
  std::uint64_t prossimo();
  std::array<std::uint64_t, 4> m_s{};
};

// Replays a scripted list of r values; for tests that force every draw.
class CasualeCopione final : public Casuale {
 public:
  CasualeCopione() = default;
  explicit CasualeCopione(QList<double> valori) : m_valori(std::move(valori)) {}
  void aggiungi(std::initializer_list<double> valori) { m_valori.append(QList<double>(valori)); }
  void mescola(double) override { ++m_mescolate; }
  double rnd() override;

  // True when a draw was asked after the script ran out (the draw gave 0).
  [[nodiscard]] bool esaurito() const { return m_esaurito; }
  [[nodiscard]] int rimasti() const { return static_cast<int>(m_valori.size() - m_pos); }
  [[nodiscard]] int mescolate() const { return m_mescolate; }

 private:
  QList<double> m_valori;
  qsizetype m_pos = 0;
  int m_mescolate = 0;
  bool m_esaurito = false;
};
