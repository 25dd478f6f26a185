#include "error_handler.h"

#include <cxxabi.h>
#include <signal.h>

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "data/cp874.h"
#include "data/paths.h"
#include "desktop_programs.h"
#include "error_dialog.h"
#include "ui/text.h"

namespace blend {
namespace {

// The levels of the handler itself, left out of the stack it reports.
const std::vector<std::string> kHandlerLevels = {"blend::ErrorHandler::raise",
                                                 "blend::StationErrorHandler::"};

// ... and the levels between a throw nobody caught and the terminate handler.
const std::vector<std::string> kTerminateLevels = {"blend::StationErrorHandler::",
                                                   "blend::(anonymous namespace)::onTerminate",
                                                   "onTerminate",
                                                   "__cxxabiv1::",
                                                   "std::terminate",
                                                   "__cxa_"};

// ---------------------------------------------------------------------------------------------
// Process hooks. std::set_terminate and sigaction take plain functions, so the handler they
// report to has to be found through this one pointer, set by ERRORSYS.

StationErrorHandler* gInstalled = nullptr;
std::terminate_handler gPreviousTerminate = nullptr;
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction gPreviousActions[std::size(kFatalSignals)];
std::atomic<bool> gDying{false};  // one fatal end writes the log, not a second one inside it

std::string currentExceptionText() {
  std::string type = "unknown";
  if (const std::type_info* t = abi::__cxa_current_exception_type()) {
    int status = 0;
    char* plain = abi::__cxa_demangle(t->name(), nullptr, nullptr, &status);
    type = status == 0 && plain ? plain : t->name();
    std::free(plain);
  }
  const std::exception_ptr current = std::current_exception();
  if (!current) return "Program terminated without an exception";
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    return "Uncaught exception " + type + ": " + e.what();
  } catch (...) {
  }
  return "Uncaught exception " + type;
}

[[noreturn]] void onTerminate() {
  if (gDying.exchange(true)) std::_Exit(1);
  ErrorRecord error;
  error.subsystem = "C++";
  try {
    error.description = currentExceptionText();
    if (gInstalled) gInstalled->writeLogForFatalError(error, kTerminateLevels);
  } catch (...) {
  }
  std::fprintf(stderr, "blendctl: %s (see Error.log)\n", ERRORMESSAGE(error).c_str());
  std::fflush(nullptr);
  std::_Exit(1);
}

void onFatalSignal(int signal) {
  if (!gDying.exchange(true)) writeCrashLog(signal, "onFatalSignal");
  // SA_RESETHAND has put back the default action: the signal ends the process as it would have.
  ::raise(signal);
}

// A stack overflow leaves no stack for the signal handler; it runs on one of its own.
void ensureSignalStack() {
  static bool done = false;
  if (done) return;
  done = true;
  static std::vector<char> memory(256 * 1024);
  stack_t stack{};
  stack.ss_sp = memory.data();
  stack.ss_size = memory.size();
  sigaltstack(&stack, nullptr);
}

void installProcessHooks(StationErrorHandler* handler) {
  if (gInstalled) {  // already in place: report to the newer handler
    gInstalled = handler;
    return;
  }
  gInstalled = handler;
  gPreviousTerminate = std::set_terminate(onTerminate);
  prepareCrashLog();
  ensureSignalStack();
  struct sigaction action {};
  action.sa_handler = onFatalSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_ONSTACK;
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
    sigaction(kFatalSignals[i], &action, &gPreviousActions[i]);
}

void removeProcessHooks() {
  if (!gInstalled) return;
  std::set_terminate(gPreviousTerminate);
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
    sigaction(kFatalSignals[i], &gPreviousActions[i], nullptr);
  gInstalled = nullptr;
}

// The program's own end after Quit: the tables are not closed in order, the system releases
// them. The hooks go first, so that a fault while exiting cannot overwrite the log.
void exitProgram(int exitCode) {
  removeProcessHooks();
  std::fflush(nullptr);
  std::exit(exitCode);
}

QApplication* guiApplication() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  return app && QThread::currentThread() == app->thread() ? app : nullptr;
}

}  // namespace

StationErrorHandler::StationErrorHandler(Ui& ui, Clock& clock, EndProgram endProgram)
    : ui_(ui), clock_(clock), end_(endProgram ? std::move(endProgram) : exitProgram) {}

StationErrorHandler::~StationErrorHandler() {
  if (gInstalled == this) removeProcessHooks();
}

ErrorLogFacts StationErrorHandler::gatherFacts(std::vector<StackLevel> stack, bool withTables) {
  ErrorLogFacts facts = machineErrorLogFacts();
  facts.secondsSinceStart =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started_)
          .count();
  facts.date = clock_.today();
  facts.time = clock_.timeOfDay();
  facts.stack = std::move(stack);
  // Widgets may only be looked at from the thread that runs them.
  if (guiApplication()) {
    const auto addClass = [&](const QObject* object) {
      const std::string name = object->metaObject()->className();
      if (std::find(facts.classes.begin(), facts.classes.end(), name) == facts.classes.end())
        facts.classes.push_back(name);
    };
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible() && !window->windowTitle().isEmpty())
        facts.windowTitles.push_back(toCp874(window->windowTitle()));
      addClass(window);
      for (const QWidget* child : window->findChildren<QWidget*>()) addClass(child);
    }
  }
  if (withTables && openTables_) facts.tables = openTables_();
  return facts;
}

void StationErrorHandler::writeLogForFatalError(const ErrorRecord& error,
                                                const std::vector<std::string>& innerPrefixes) {
  writeErrorLog(errorLogText(error, gatherFacts(captureStack(innerPrefixes), false)));
}

void StationErrorHandler::endProgram(int exitCode) {
  ended_ = true;
  end_(exitCode);
}

void StationErrorHandler::failInside(const std::string& text) {
  ui_.message(text + " from Errorsys, line:" + std::to_string(line_),
              kErrorDialogTitle.toStdString(), MessageKind::Stop);
  endProgram(1);
}

void StationErrorHandler::seeLog() {
  std::error_code ec;
  const std::filesystem::path log = std::filesystem::absolute(nativePath("error.log"), ec);
  openWithDesktopProgram(DesktopProgram::TextEditor, QString::fromStdString(log.string()), ui_);
}

ErrorAnswer StationErrorHandler::handle(const ErrorRecord& error) {
  if (state_ == State::Dialog) {  // the operator has not answered the first one yet
    endProgram(1);
    return ErrorAnswer::giveUp();
  }
  if (state_ == State::Working) {  // raised by something the handler called
    failInside(cp874ToUtf8(ERRORMESSAGE(error)));
    return ErrorAnswer::giveUp();
  }
  state_ = State::Working;
  ended_ = false;
  struct BackToIdle {
    State& state;
    ~BackToIdle() { state = State::Idle; }
  } backToIdle{state_};

  ErrorChoice choice = ErrorChoice::Closed;
  try {
    line_ = __LINE__;
    ErrorLogFacts facts = gatherFacts(captureStack(kHandlerLevels), true);
    if (ended_) return ErrorAnswer::giveUp();
    line_ = __LINE__;
    writeErrorLog(errorLogText(error, facts));  // the operator is asked whether or not it worked

    line_ = __LINE__;
    ErrorDialogContent content;
    content.descriptionLine = fromCp874(errorDescriptionLine(error));
    for (const StackLevel& level : facts.stack)
      content.callLines << fromCp874(stackCallLine(level));
    content.canRetry = error.canRetry;
    content.canDefault = error.canDefault;
    if (!guiApplication()) {  // no screen to ask on: the error ends the program
      std::fprintf(stderr, "blendctl: %s\n", ERRORMESSAGE(error).c_str());
      endProgram(1);
      return ErrorAnswer::giveUp();
    }
    state_ = State::Dialog;
    choice = showErrorDialog(content, [this] { seeLog(); });
  } catch (const std::exception& e) {
    failInside(e.what());
    return ErrorAnswer::giveUp();
  }
  if (ended_) return ErrorAnswer::giveUp();

  switch (choice) {
    case ErrorChoice::Default:
      return ErrorAnswer::giveUp();
    case ErrorChoice::Retry:
      if (mainWindowRunning_) return ErrorAnswer::retry();
      break;
    case ErrorChoice::Quit:
    case ErrorChoice::Closed:
      break;
  }
  endProgram(1);
  return ErrorAnswer::giveUp();
}

std::unique_ptr<StationErrorHandler> ERRORSYS(Ui& ui, Clock& clock,
                                              StationErrorHandler::EndProgram endProgram) {
  auto handler = std::make_unique<StationErrorHandler>(ui, clock, std::move(endProgram));
  installProcessHooks(handler.get());
  return handler;
}

}  // namespace blend
