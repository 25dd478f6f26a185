#include "hopper.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plantsim {
namespace {

// Period of the reading's swing on the load cells once material stops.
constexpr double kSwingPeriod = 0.6;

}  // namespace

Hopper::Hopper(HopperParams params, double contents) : params_(params), material_(contents) {}

void Hopper::load(double final, double fast, double big) {
  if (final == 0 && fast == 0 && big == 0) {
    if (phase_ < 3) stopSpeed();
    cutoff_ = {0, 0, 0};
    phase_ = 3;
    return;
  }
  if (phase_ < 3) stopSpeed();
  cutoff_ = {big, fast, final};
  if (!discharging_) {
    phase_ = kBig;
    ran_ = false;
    skipDoneSpeeds();
  }
}

void Hopper::requestDischarge() {
  requested_ = true;
  if (phase_ < 3) stopSpeed();
  phase_ = 3;
}

void Hopper::openDischarge() {
  if (phase_ < 3) stopSpeed();
  phase_ = 3;
  requested_ = false;
  if (material_ > 0) discharging_ = true;
}

void Hopper::zero() {
  zero_ = material_;
}

void Hopper::stopSpeed() {
  if (ran_ && params_.inflight[phase_] > 0) {
    const double amount = params_.inflight[phase_];
    const double fall = std::max(params_.fallTime, 1e-3);
    falling_.push_back({amount, amount / fall});
  }
  ++phase_;
  ran_ = false;
}

void Hopper::skipDoneSpeeds() {
  while (phase_ < 3) {
    if (cutoff_[phase_] <= 0 || params_.rate[phase_] <= 0) {  // switched off
      ++phase_;
      ran_ = false;
    } else if (net() >= cutoff_[phase_]) {  // reached, by this speed or before it
      stopSpeed();
    } else {
      return;
    }
  }
}

void Hopper::feed(double seconds) {
  for (skipDoneSpeeds(); phase_ < 3 && seconds > 0; skipDoneSpeeds()) {
    const double rate = params_.rate[phase_];
    const double room = cutoff_[phase_] - net();
    ran_ = true;
    // The indicator cuts off at the moment the weight reaches the cut-off, not at the end of
    // a simulation step.
    const double need = room / rate;
    if (need > seconds) {
      material_ += rate * seconds;
      seconds = 0;
    } else {
      material_ += room;
      seconds -= need;
      stopSpeed();
    }
  }
}

void Hopper::advance(double seconds) {
  if (seconds <= 0) return;
  const bool wasMoving = moving();

  for (Falling& f : falling_) {
    const double landed = std::min(f.left, f.rate * seconds);
    material_ += landed;
    f.left -= landed;
  }
  std::erase_if(falling_, [](const Falling& f) { return f.left <= 1e-12; });

  if (discharging_) {
    material_ -= params_.dischargeRate * seconds;
    if (material_ <= 0) {
      material_ = 0;
      discharging_ = false;
    }
  } else {
    feed(seconds);
  }

  if (wasMoving && !moving()) {
    swingAmplitude_ = params_.swing;
    sinceStill_ = 0;
  } else {
    sinceStill_ += seconds;
  }
}

bool Hopper::moving() const {
  return phase_ < 3 || !falling_.empty() || discharging_;
}

double Hopper::reading() const {
  if (moving() || swingAmplitude_ == 0) return net();
  const double envelope =
      swingAmplitude_ * std::exp(-sinceStill_ / std::max(params_.settleTime, 1e-3));
  return net() + envelope * std::cos(2 * std::numbers::pi * sinceStill_ / kSwingPeriod);
}

bool Hopper::stable() const {
  if (moving()) return false;
  return swingAmplitude_ * std::exp(-sinceStill_ / std::max(params_.settleTime, 1e-3)) <=
         params_.stableBand;
}

}  // namespace plantsim
