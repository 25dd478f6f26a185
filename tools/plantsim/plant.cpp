#include "plant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plantsim {
namespace {

// The model moves in steps no longer than this; cut-offs themselves are exact within a step.
constexpr double kStep = 0.01;

std::string hexByte(unsigned char c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", c);
  return text;
}

std::optional<long> digits(std::string_view text) {
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

void IoBox::setOutputs(std::uint16_t outputs, double now) {
  const bool gateWasOpen = outputs_ & kGateOutput;
  outputs_ = outputs;
  if (gateWasOpen && !(outputs & kGateOutput)) {
    bag_ = false;
    bagDue_ = now + bagDelay_;
  }
}

void IoBox::advanceTo(double now) {
  if (bagDue_ && now >= *bagDue_) {
    bag_ = true;
    bagDue_.reset();
  }
}

Plant::Plant(PlantConfig config, unsigned seed)
    : config_(config), io_(config.bagDelay), random_(seed) {
  for (int bin = 0; bin < 8; ++bin)
    hoppers_.emplace_back(config_.hoppers[bin], config_.contents[bin]);
}

void Plant::advanceTo(double now) {
  while (now_ < now) {
    const double step = std::min(kStep, now - now_);
    for (Hopper& h : hoppers_) h.advance(step);
    now_ += step;
  }
  io_.advanceTo(now_);
}

int Plant::binAt(int address) const {
  if (address <= 0) return 0;
  for (int bin = 1; bin <= 8; ++bin)
    if (config_.indicator[bin - 1] == address) return bin;
  return 0;
}

std::string Plant::indicatorReply(int bin, char letter) {
  Hopper& h = hopper(bin);
  double kg = h.reading();
  if (config_.noise > 0)
    kg += std::uniform_real_distribution<double>(-config_.noise, config_.noise)(random_);
  const long long counts =
      std::clamp(std::llround(kg * config_.countsPerKg), -9999999LL, 9999999LL);
  const long long final =
      std::clamp(std::llround(h.cutoffs()[kFinal] * config_.countsPerKg), 0LL, 99999999LL);
  char text[64];
  std::snprintf(text, sizeof text, "%+08lld%c%c%c%c%c%c%08lld", counts, h.stable() ? 'S' : 'M',
                letter, h.feeding() == kBig ? '1' : '0', h.feeding() == kFast ? '1' : '0',
                h.feeding() == kFinal ? '1' : '0', h.discharging() ? '1' : '0', final);
  std::string reply{STX, static_cast<char>(config_.indicator[bin - 1])};
  reply += text;
  reply += "\r\n";
  return reply;
}

std::string Plant::answer(std::string_view frame, std::vector<std::string>& notes) {
  if (frame.size() < 3 || frame[0] != STX) return {};
  const int address = static_cast<unsigned char>(frame[1]);
  const char letter = frame[2];

  if (address == config_.ioBox && letter == 'W') {
    if (frame.size() != 6 || frame[5] != ETX) {
      notes.push_back("I/O box: badly framed request ignored");
      return {};
    }
    const std::uint16_t outputs =
        static_cast<unsigned char>(frame[3]) | static_cast<unsigned char>(frame[4]) << 8;
    if (outputs != io_.outputs()) {
      char text[64];
      std::snprintf(text, sizeof text, "I/O box: outputs %04X -> %04X", io_.outputs(), outputs);
      notes.push_back(text);
    }
    io_.setOutputs(outputs, now_);
    return {STX, frame[1], 'W', frame[3], frame[4], static_cast<char>(io_.inputs()), ETX};
  }

  const int bin = binAt(address);
  if (bin == 0) return {};
  Hopper& h = hopper(bin);
  const std::string who =
      "indicator " + std::to_string(address) + " (bin " + std::to_string(bin) + "): ";
  switch (letter) {
    case 'R':
      break;
    case 'G': {
      unsigned sum = 0;
      for (std::size_t i = 0; i < 23 && i < frame.size(); ++i)
        sum += static_cast<unsigned char>(frame[i]);
      if (frame.size() != 26 || static_cast<unsigned char>(frame[23]) != sum % 256) {
        notes.push_back(who + "set points with a wrong checksum (" +
                        hexByte(frame.size() > 23 ? frame[23] : 0) + ", sum " + hexByte(sum % 256) +
                        ") ignored");
        return {};
      }
      std::array<double, 4> kg{};
      for (int f = 0; f < 4; ++f) {
        const auto counts = digits(frame.substr(3 + 5 * f, 5));
        if (!counts) {
          notes.push_back(who + "set points that are not digits ignored");
          return {};
        }
        kg[f] = config_.countsPerKg > 0 ? *counts / config_.countsPerKg : 0;
      }
      h.load(kg[0], kg[1], kg[2]);
      char text[96];
      std::snprintf(text, sizeof text, "set points final %.2f fast %.2f big %.2f kg", kg[0], kg[1],
                    kg[2]);
      notes.push_back(who + text);
      break;
    }
    case 'F':
      h.requestDischarge();
      notes.push_back(who + "discharge requested");
      break;
    case 'O':
      h.openDischarge();
      notes.push_back(who + "gate open");
      break;
    case 'Z':
      h.zero();
      notes.push_back(who + "zeroed");
      break;
    default:
      notes.push_back(who + "unknown command '" + std::string(1, letter) + "' ignored");
      return {};
  }
  return indicatorReply(bin, letter);
}

}  // namespace plantsim
