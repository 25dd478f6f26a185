#pragma once
// The station's runtime error handler: every error no operation settles on the spot is written to
// "Error.log" and put to the operator, who quits, retries or lets the operation give up.
//
// ErrorHandler::raise() has already settled a division by zero and the busy outcome; what reaches
// handle() here is logged and shown. While the dialog is open a second error ends the program at
// once; an error inside the handler itself shows a stop box and ends it. Ending the program is a
// function a test replaces; when that function returns, the handler answers "default".

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "data/clock.h"
#include "data/error.h"
#include "data/ui.h"
#include "error_log.h"

namespace blend {

class StationErrorHandler : public ErrorHandler {
 public:
  using EndProgram = std::function<void(int exitCode)>;

  // Without `endProgram` the program ends by flushing its output and exiting.
  StationErrorHandler(Ui& ui, Clock& clock, EndProgram endProgram = {});
  ~StationErrorHandler() override;

  // Retry is only offered to the operation once the main window runs; before that an error
  // has nothing to go back to and Retry ends the program like Quit.
  void setMainWindowRunning(bool running) { mainWindowRunning_ = running; }

  // What the table engine tells about its open tables, for the log; none until it is set.
  void setOpenTablesProvider(OpenTablesProvider provider) { openTables_ = std::move(provider); }

  // The log for an error that ends the program outside the handler (an uncaught exception):
  // written with what can be gathered safely, without asking the table engine.
  void writeLogForFatalError(const ErrorRecord& error,
                             const std::vector<std::string>& innerPrefixes);

 protected:
  ErrorAnswer handle(const ErrorRecord& error) override;

 private:
  enum class State { Idle, Working, Dialog };

  ErrorLogFacts gatherFacts(std::vector<StackLevel> stack, bool withTables);
  void endProgram(int exitCode);
  void failInside(const std::string& text);
  void seeLog();

  Ui& ui_;
  Clock& clock_;
  EndProgram end_;
  OpenTablesProvider openTables_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  bool mainWindowRunning_ = false;
  State state_ = State::Idle;
  int line_ = 0;        // where in the handler the current error is being dealt with
  bool ended_ = false;  // the program was told to end (only a test's end function returns)
};

// Installs the station's error handler, made before anything else at start-up: the returned
// object is the handler the Context carries. While it lives, an uncaught C++ exception or a
// fatal signal (segmentation fault, bus error, arithmetic fault, illegal instruction, abort)
// also writes Error.log before the program ends.
std::unique_ptr<StationErrorHandler> ERRORSYS(Ui& ui, Clock& clock,
                                              StationErrorHandler::EndProgram endProgram = {});

}  // namespace blend
