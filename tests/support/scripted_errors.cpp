#include "scripted_errors.h"

#include <gtest/gtest.h>

namespace blend::test {

ScriptedErrors::~ScriptedErrors() {
  for (const auto& e : expected_) ADD_FAILURE() << "expected error never came: " << e.first;
}

ScriptedErrors& ScriptedErrors::expect(std::string text, ErrorAnswer answer) {
  expected_.emplace_back(std::move(text), std::move(answer));
  return *this;
}

ErrorAnswer ScriptedErrors::handle(const ErrorRecord& error) {
  seen.push_back(error);
  const std::string message = ERRORMESSAGE(error);
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected error: " << message;
    return ErrorAnswer::giveUp();
  }
  auto [text, answer] = expected_.front();
  expected_.pop_front();
  EXPECT_NE(message.find(text), std::string::npos)
      << "expected an error containing \"" << text << "\", got \"" << message << "\"";
  return answer;
}

}  // namespace blend::test
