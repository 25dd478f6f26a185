#include "clock.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <thread>

namespace blend {
namespace {

std::tm localNow(double* fraction) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  if (fraction) {
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(t);
    *fraction = std::chrono::duration<double>(sinceSecond).count();
  }
  return tm;
}

}  // namespace

std::string Clock::timeOfDay() {
  const int total = static_cast<int>(secondsSinceMidnight());
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", total / 3600 % 24, total / 60 % 60,
                total % 60);
  return buffer;
}

Date SystemClock::today() {
  const std::tm tm = localNow(nullptr);
  return Date::fromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

double SystemClock::secondsSinceMidnight() {
  double fraction = 0;
  const std::tm tm = localNow(&fraction);
  const double seconds = tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec + fraction;
  return static_cast<int>(seconds * 100) / 100.0;  // hundredths, as the station counts
}

void SystemClock::sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace blend
