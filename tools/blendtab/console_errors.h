#pragma once
// Errors of a command-line run: each one is printed to standard error and defaulted.

#include <cstdio>

#include "data/error.h"

namespace blend {

class ConsoleErrors : public ErrorHandler {
 public:
  int count = 0;

 protected:
  ErrorAnswer handle(const ErrorRecord& error) override {
    ++count;
    std::fprintf(stderr, "blendtab: %s\n", ERRORMESSAGE(error).c_str());
    return ErrorAnswer::giveUp();
  }
};

}  // namespace blend
