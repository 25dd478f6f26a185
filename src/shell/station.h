#pragma once
// What a station process holds for its whole life, made in the order that matters: the error
// handler first (so nothing after it fails unseen), then MAIN.INI, the screen fonts, the context
// every operation takes, the named values stored expressions read, and the open tables.
//
// Needs a QApplication; the program and the tools that act as a station make one each.

#include <memory>
#include <optional>
#include <string>

#include "data/clock.h"
#include "data/context.h"
#include "data/expr/named_values.h"
#include "data/settings.h"
#include "data/table/workspace.h"
#include "error_handler.h"
#include "ui/qt_ui.h"

namespace blend {

struct Station {
  // `iniArgument`: the configuration file named on the command line, if any.
  explicit Station(std::optional<std::string> iniArgument);
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  QtUi ui;
  SystemClock clock;
  std::unique_ptr<StationErrorHandler> errors;
  Settings settings;
  Context context;
  NamedValues names;
  Workspace tables;  // index keys compile with the evaluator and may read the settings
};

}  // namespace blend
