#pragma once
// One weigh hopper with its indicator, as the simulator models it.
//
// Loading set points starts feeding: the big speed runs until the net weight reaches the big
// cut-off, then the fast speed until the fast cut-off, then the final speed until the final
// cut-off; a cut-off of 0 switches its speed off, and a speed whose cut-off is already reached
// is skipped. When a speed stops, the material already in the air (its in-flight amount) still
// lands, spread over the fall time. Once nothing moves any more the reading swings and settles.
// Discharging empties the hopper at its own rate. Zeroing makes the present contents the zero.
// Time moves only through advance(), so a test drives the model without a clock.

#include <array>
#include <vector>

namespace plantsim {

enum Speed { kBig = 0, kFast = 1, kFinal = 2 };

struct HopperParams {
  std::array<double, 3> rate{40, 10, 2};        // kg/s by speed
  std::array<double, 3> inflight{6, 1.5, 0.3};  // kg still falling after each cut-off
  double fallTime = 0.5;                        // s for in-flight material to land
  double dischargeRate = 80;                    // kg/s
  double swing = 0.5;                           // kg, first swing once material stops
  double settleTime = 0.3;                      // s, time constant of that swing
  double stableBand = 0.05;                     // kg, a swing within it counts as still
};

class Hopper {
 public:
  explicit Hopper(HopperParams params = {}, double contents = 0);

  // Set points in net kilograms: final, fast and big cut-off. All zero clears them and stops
  // the feed. While the gate is open the set points are kept but nothing feeds.
  void load(double final, double fast, double big);
  void requestDischarge();
  void openDischarge();
  void zero();
  void advance(double seconds);

  double material() const { return material_; }     // what is in the hopper, kg
  double net() const { return material_ - zero_; }  // what the cut-offs compare with
  // The indicator's reading: net weight plus the swing; noise is added by the caller.
  double reading() const;
  bool moving() const;
  bool stable() const;
  // The speed feeding now, or -1.
  int feeding() const { return phase_ < 3 ? phase_ : -1; }
  bool dischargeRequested() const { return requested_; }
  bool discharging() const { return discharging_; }
  // Cut-offs by speed (big, fast, final), net kg.
  const std::array<double, 3>& cutoffs() const { return cutoff_; }
  const HopperParams& params() const { return params_; }

 private:
  void stopSpeed();
  void skipDoneSpeeds();
  void feed(double seconds);

  HopperParams params_;
  double material_ = 0;
  double zero_ = 0;
  std::array<double, 3> cutoff_{0, 0, 0};
  int phase_ = 3;     // speed feeding now; 3 = none
  bool ran_ = false;  // whether the present speed has opened at all
  struct Falling {
    double left, rate;
  };
  std::vector<Falling> falling_;
  bool requested_ = false;
  bool discharging_ = false;
  double swingAmplitude_ = 0;
  double sinceStill_ = 0;  // seconds since material stopped moving
};

}  // namespace plantsim
