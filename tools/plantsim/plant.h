#pragma once
// The simulated plant behind the bus: eight hoppers with their indicators, the I/O box with the
// mixer, its gate and the bag input. Plant::answer takes one addressed request frame and gives
// the reply the device at that address sends, exactly as on the line.
//
// Indicator replies (26 bytes) are
//   STX, address, gross weight in counts as 8 characters ("+0004992"), "S" still or "M" moving,
//   the command letter answered, four flags "0"/"1" (big, fast and final feed on, gate open),
//   the loaded final cut-off in counts as 8 digits, CR, LF.
// I/O box replies (7 bytes) are STX, address, "W", the two output bytes as set, the input byte,
// ETX.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "hopper.h"

namespace plantsim {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;

struct PlantConfig {
  std::array<int, 8> indicator{1, 2, 3, 4, 5, 6, 7, 8};  // bus address per bin; 0 = none
  int ioBox = 14;
  int printer = 12;
  int display = 11;
  double countsPerKg = 10;
  std::array<HopperParams, 8> hoppers{};
  std::array<double, 8> contents{};  // kg in each hopper at the start
  double noise = 0;                  // kg, uniform plus or minus, on every reading
  double bagDelay = 5;               // s from the gate closing to the next bag in place
};

// Output 3 is the mixer's gate; input 4 says a bag is in place.
constexpr std::uint16_t kGateOutput = 1u << 2;
constexpr std::uint8_t kBagInput = 1u << 3;

class IoBox {
 public:
  explicit IoBox(double bagDelay) : bagDelay_(bagDelay) {}
  // A closing gate sends the full bag away; the next one is in place bagDelay later.
  void setOutputs(std::uint16_t outputs, double now);
  void advanceTo(double now);
  std::uint16_t outputs() const { return outputs_; }
  std::uint8_t inputs() const { return bag_ ? kBagInput : 0; }

 private:
  double bagDelay_;
  std::uint16_t outputs_ = 0;
  bool bag_ = true;
  std::optional<double> bagDue_;
};

class Plant {
 public:
  explicit Plant(PlantConfig config, unsigned seed = 1);

  // Moves the model on to `now` (seconds on the simulator's own clock).
  void advanceTo(double now);
  // The reply of the addressed device, or empty when none answers (no such device, a frame it
  // does not take, a wrong checksum). Things worth a log line go to notes.
  std::string answer(std::string_view frame, std::vector<std::string>& notes);

  // Bin 1 to 8 of the indicator at an address; 0 when none.
  int binAt(int address) const;
  Hopper& hopper(int bin) { return hoppers_[bin - 1]; }
  IoBox& ioBox() { return io_; }
  const PlantConfig& config() const { return config_; }
  double now() const { return now_; }

 private:
  std::string indicatorReply(int bin, char letter);

  PlantConfig config_;
  std::vector<Hopper> hoppers_;
  IoBox io_;
  double now_ = 0;
  std::mt19937 random_;
};

}  // namespace plantsim
