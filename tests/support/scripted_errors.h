#pragma once
// An error handler for tests: the quiet cases (division by zero, busy) are settled as in the
// program; every other error is recorded and answered from the queue the test set up, and an
// error nobody expected fails the test (and defaults).

#include <deque>
#include <string>
#include <vector>

#include "data/clock.h"
#include "data/error.h"

namespace blend::test {

class ScriptedErrors : public ErrorHandler {
 public:
  ~ScriptedErrors() override;

  // The next error that needs the operator has a message containing `text`; answer it so.
  ScriptedErrors& expect(std::string text, ErrorAnswer answer = ErrorAnswer::giveUp());

  std::vector<ErrorRecord> seen;  // every error that reached the operator, in order

 protected:
  ErrorAnswer handle(const ErrorRecord& error) override;

 private:
  std::deque<std::pair<std::string, ErrorAnswer>> expected_;
};

// A clock a test moves by hand; sleep() moves it.
class ManualClock : public Clock {
 public:
  Date today() override { return date; }
  double secondsSinceMidnight() override { return seconds; }
  void sleep(double s) override { seconds += s; }

  Date date = Date::fromYmd(2024, 1, 15);
  double seconds = 8 * 3600;
};

}  // namespace blend::test
