#pragma once
// The one clock of the station: today's date, the time of day, seconds since midnight, waits.
// Tests use a clock they advance themselves.

#include <string>

#include "date.h"

namespace blend {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date today() = 0;
  // Seconds since midnight with hundredths; starts again from 0 at midnight.
  virtual double secondsSinceMidnight() = 0;
  // Blocks the calling thread.
  virtual void sleep(double seconds) = 0;

  // HH:MM:SS on a 24-hour clock.
  std::string timeOfDay();
};

// Elapsed time the station's way: the absolute difference of two readings, so a wait that
// spans midnight ends early.
inline double elapsedSince(Clock& clock, double start) {
  const double d = clock.secondsSinceMidnight() - start;
  return d < 0 ? -d : d;
}

class SystemClock : public Clock {
 public:
  Date today() override;
  double secondsSinceMidnight() override;
  void sleep(double seconds) override;
};

}  // namespace blend
