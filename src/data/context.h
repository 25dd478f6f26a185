#pragma once
// The process-wide state of a station, made explicit: the program makes one at start-up and a
// test makes a fresh one. Operations take what they need from it instead of from globals.

#include "clock.h"
#include "error.h"
#include "settings.h"
#include "ui.h"

namespace blend {

struct Context {
  Settings& settings;
  Ui& ui;
  Clock& clock;
  ErrorHandler& errors;
};

}  // namespace blend
