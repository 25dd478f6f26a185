#include <gtest/gtest.h>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include "data/cp874.h"
#include "shell/error_dialog.h"
#include "shell/error_handler.h"
#include "shell/error_log.h"
#include "support/dialog_script.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
    lines.push_back(text.substr(from, at - from));
  EXPECT_EQ(from, text.size()) << "the last line has no CR LF";
  return lines;
}

ErrorRecord aliasError() {
  ErrorRecord e;
  e.genCode = errc::kNoAlias;
  e.subsystem = "BASE";
  e.subCode = 1002;
  e.description = "Alias does not exist";
  e.operation = "DETAIL";
  e.canRetry = true;
  return e;
}

TEST(ErrorMessage, BuildsTheOneLineText) {
  const auto record = [](int os, int severity, std::string sub, std::optional<int> code,
                         std::string description, std::string file, std::string operation) {
    ErrorRecord e;
    e.osCode = os;
    e.severity = severity;
    e.subsystem = std::move(sub);
    e.subCode = code;
    e.description = std::move(description);
    e.fileName = std::move(file);
    e.operation = std::move(operation);
    return e;
  };
  const struct {
    ErrorRecord error;
    const char* text;
  } cases[] = {
      {record(0, 2, "BASE", 1002, "Alias does not exist", "", "DETAIL"),
       "Error BASE/1002  Alias does not exist: DETAIL"},
      {record(32, 2, "DBFNTX", 1001, "Open error", "WDATA.DBF", "USE"),
       "(DOS Error 32) DBFNTX/1001  Open error: WDATA.DBF"},  // the file wins over the operation
      {record(0, 1, "", std::nullopt, "", "", ""),
       "Warning ???"
       "/???"},
      {record(0, 2, "TERM", std::nullopt, "", "", "SETCOLOR"), "Error TERM/???: SETCOLOR"},
      {record(5, 0, "", 3, "Access denied", "", ""),
       "(DOS Error 5) ???"
       "/3  Access denied"},
  };
  for (const auto& c : cases) EXPECT_EQ(ERRORMESSAGE(c.error), c.text);
}

ErrorLogFacts fixedFacts() {
  ErrorLogFacts f;
  f.programPath = "/opt/blendctl/bin/blendctl";
  f.programSize = 1234567;
  f.programBits = 64;
  f.secondsSinceStart = 3723;
  f.date = Date::fromYmd(2024, 1, 15);
  f.time = "08:30:05";
  f.stack = {{"production.cpp", "blend::MIXPROC", 120}, {"main.cpp", "main", 3}};
  f.cpuName = "Test CPU";
  f.cpuMhz = 2400;
  f.memoryMegs = 8193;
  f.compiler = "GCC 12.2.0";
  f.os = {6, 1, 0, "Linux 6.1.0-18-amd64 #1 SMP"};
  f.windowTitles = {"  Station", "  Mixing"};
  OpenTableFacts wdata{1, "WDATA", true, 5, 12, false, false, {}, {}};
  wdata.indexes = {{"INDENT", "WDATA", true}, {"DTOS(DDATE)", "WDATA2", false}};
  wdata.relations = {{"INDENT", "DETAIL"}};
  f.tables = {wdata, {2, "DETAIL", false, 0, 0, true, true, {}, {}}};
  f.classes = {"blend::MainWindow", "QLabel"};
  f.staticVariables = 42;
  f.memoryNow = 52428800;
  f.memoryPeak = 60000000;
  return f;
}

TEST(ErrorLog, WritesEverySectionInItsLineForms) {
  ErrorRecord error = aliasError();
  error.args = {Value("DETAIL"), Value(3), Value(Date::fromYmd(2024, 1, 15)), Value(true), Value()};
  const std::vector<std::string> expected = {
      "Application",
      "===========",
      "   Path and name: /opt/blendctl/bin/blendctl (64 bits)",
      "   Size: 1,234,567 bytes",
      "   Time from start: 1 hours 2 mins 3 secs ",
      "   Error occurred at: 15/01/2024, 08:30:05",
      "   Error description: Error BASE/1002  Alias does not exist: DETAIL",
      "   Args:",
      "     [   1] = C   DETAIL",
      "     [   2] = N            3",
      "     [   3] = D   15/01/2024",
      "     [   4] = L   .T.",
      "     [   5] = U   NIL",
      "",
      "Stack Calls",
      "===========",
      "   Called from: production.cpp => blend::MIXPROC(120)",
      "   Called from: main.cpp => main(3)",
      "",
      "System",
      "======",
      "   CPU type: Test CPU 2400 Mhz",
      "   Hardware memory: 8193 megs",
      "",
      "   Compiler version: GCC 12.2.0",
      "   Windows version: 6.1, Build 0 Linux 6.1.0-18-amd64 #1 SMP",
      "",
      "   Windows total applications running: 2",
      "      1   Station",
      "      2   Mixing",
      "",
      "Variables in use",
      "================",
      "   Procedure     Type   Value",
      "   ==========================",
      "   blend::MIXPROC",
      "   main",
      "",
      "Linked RDDs",
      "===========",
      "   DBFNTX",
      "",
      "DataBases in use",
      "================",
      "",
      "  1: => WDATA                              RddName: DBFNTX",
      "     ==============================",
      "     RecNo    RecCount    BOF   EOF",
      "           5           12   .F.   .F.",
      "",
      "     Indexes in use                        TagName",
      "        => INDENT                             WDATA",
      "           DTOS(DDATE)                        WDATA2",
      "",
      "     Relations in use",
      "                 1: TO INDENT INTO DETAIL",
      "",
      "  2:    DETAIL                             RddName: DBFNTX",
      "     ==============================",
      "     RecNo    RecCount    BOF   EOF",
      "           0            0   .T.   .T.",
      "",
      "     Indexes in use                        TagName",
      "",
      "     Relations in use",
      "",
      "Classes in use:",
      "===============",
      "     1 blend::MainWindow",
      "     2 QLabel",
      "",
      "Memory Analysis",
      "===============",
      "      42 Static variables",
      "",
      "   Dynamic memory consume:",
      "      Actual  Value:   52428800 bytes",
      "      Highest Value:   60000000 bytes",
  };
  EXPECT_EQ(crlfLines(errorLogText(error, fixedFacts())), expected);
}

TEST(ErrorLog, ProgramSizeKeepsEveryDigit) {
  const struct {
    std::uintmax_t size;
    const char* line;
  } cases[] = {{512, "   Size:       512 bytes"},
               {1000, "   Size:     1,000 bytes"},
               {12345678, "   Size: 12,345,678 bytes"}};
  for (const auto& c : cases) {
    ErrorLogFacts f = fixedFacts();
    f.programSize = c.size;
    EXPECT_EQ(crlfLines(errorLogText(aliasError(), f)).at(3), c.line);
  }
}

// ---------------------------------------------------------------------------------------------

class StationErrors : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  test::ScriptedUi ui;
  test::ManualClock clock;
  std::vector<int> ends;  // exit codes the handler ended the program with
  StationErrorHandler handler{ui, clock, [this](int code) { ends.push_back(code); }};
};

// A named caller, so the log's first stack level can be checked.
[[gnu::noinline]] ErrorAnswer selectAlias(ErrorHandler& errors) {
  const ErrorAnswer answer = errors.raise(aliasError());
  asm volatile("");  // keeps this level on the stack
  return answer;
}

TEST_F(StationErrors, ForcedErrorIsLoggedWithTheMachinesFactsAndItsRealStack) {
  handler.setOpenTablesProvider([] {
    return std::vector<OpenTableFacts>{{1, "WDATA", true, 3, 9, false, false, {}, {}}};
  });
  QWidget window;
  window.setWindowTitle(QStringLiteral("  โปรแกรมควบคุมการผสม"));
  window.show();
  clock.seconds = 8 * 3600 + 30 * 60 + 5;

  test::DialogScript script;
  script.then(kErrorDialogTitle, [](Dialog& d) {
    EXPECT_EQ(d.text("description"),
              "   Error description: Error BASE/1002  Alias does not exist: DETAIL");
    auto* list = d.control<QListWidget>("stack");
    ASSERT_GT(list->count(), 1);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(list->item(0)->text().contains("selectAlias("))
        << list->item(0)->text().toStdString();
    d.click("quit");
  });
  selectAlias(handler);
  EXPECT_EQ(ends, std::vector<int>{1});

  const std::vector<std::string> lines = crlfLines(readFile("Error.log"));
  const auto at = [&](const std::string& heading) {
    const auto it = std::find(lines.begin(), lines.end(), heading);
    EXPECT_NE(it, lines.end()) << "no heading " << heading;
    if (it == lines.end()) return std::size_t{0};
    EXPECT_EQ(*(it + 1), std::string(heading.size(), '=')) << heading;
    return static_cast<std::size_t>(it - lines.begin());
  };
  std::size_t previous = 0;
  for (const char* heading :
       {"Application", "Stack Calls", "System", "Variables in use", "Linked RDDs",
        "DataBases in use", "Classes in use:", "Memory Analysis"}) {
    const std::size_t here = at(heading);
    EXPECT_TRUE(here == 0 || lines[here - 1].empty()) << heading;
    EXPECT_GE(here, previous) << heading << " out of order";
    previous = here;
  }

  const auto matches = [&](std::size_t i, const char* pattern) {
    EXPECT_TRUE(std::regex_match(lines.at(i), std::regex(pattern)))
        << "line " << i << ": \"" << lines.at(i) << "\" !~ " << pattern;
  };
  const fs::path self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(lines[2], "   Path and name: " + self.string() + " (64 bits)");
  matches(3, R"(   Size: [ \d]\d?\d?(,\d\d\d)* bytes)");
  matches(4, R"(   Time from start: 0 hours 0 mins \d+ secs )");
  EXPECT_EQ(lines[5], "   Error occurred at: 15/01/2024, 08:30:05");
  EXPECT_EQ(lines[6], "   Error description: Error BASE/1002  Alias does not exist: DETAIL");

  const std::size_t stack = at("Stack Calls") + 2;
  EXPECT_TRUE(std::regex_match(
      lines[stack],
      std::regex(R"(   Called from: error_handler_test\.cpp => .*selectAlias\(\d+\))")))
      << lines[stack] << " (the handler's own levels are left out)";
  std::size_t levels = 0;
  for (std::size_t i = stack; !lines[i].empty(); ++i, ++levels) {
    matches(i, R"(   Called from: \S+ => .+\(\d+\))");
    EXPECT_EQ(lines[i].find("ErrorHandler::"), std::string::npos) << lines[i];
  }
  EXPECT_GT(levels, 2u);
  EXPECT_LE(levels, 72u);

  const std::size_t system = at("System") + 2;
  matches(system, R"(   CPU type: .+ \d+ Mhz)");
  matches(system + 1, R"(   Hardware memory: [1-9]\d* megs)");
  matches(system + 3, R"(   Compiler version: GCC .+)");
  matches(system + 4, R"(   Windows version: \d+\.\d+, Build \d+ Linux .*)");
  EXPECT_EQ(lines[system + 6], "   Windows total applications running: 1");
  EXPECT_EQ(lines[system + 7], "      1 " + tis("  โปรแกรมควบคุมการผสม"));

  const std::size_t variables = at("Variables in use") + 2;
  EXPECT_EQ(lines[variables], "   Procedure     Type   Value");
  EXPECT_EQ(lines[variables + 2].substr(0, 3), "   ");
  EXPECT_NE(lines[variables + 2].find("selectAlias"), std::string::npos);
  EXPECT_EQ(lines[at("Linked RDDs") + 2], "   DBFNTX");
  EXPECT_EQ(lines[at("DataBases in use") + 3],
            "  1: => WDATA                              RddName: DBFNTX");
  matches(at("Classes in use:") + 2, R"(     1 QWidget)");

  const std::size_t memory = at("Memory Analysis") + 2;
  matches(memory, R"(      [1-9]\d* Static variables)");
  matches(memory + 3, R"(      Actual  Value: [ \d]{9}\d+ bytes)");
  matches(memory + 4, R"(      Highest Value: [ \d]{9}\d+ bytes)");
  EXPECT_EQ(memory + 5, lines.size());
}

TEST_F(StationErrors, DialogOffersTheAnswersTheErrorAcceptsWithQuitInItsPlace) {
  const struct {
    bool retry, deflt;
    std::vector<QString> leftToRight;
    QString middle;
  } cases[] = {
      {false, false, {"quit"}, "quit"},
      {true, false, {"quit", "retry"}, ""},
      {false, true, {"quit", "default"}, ""},
      {true, true, {"retry", "quit", "default"}, "quit"},
  };
  for (const auto& c : cases) {
    ErrorRecord error = aliasError();
    error.fileName = "R&D.DBF";  // "&" must not become a shortcut
    error.canRetry = c.retry;
    error.canDefault = c.deflt;
    test::DialogScript script;
    script.then(kErrorDialogTitle, [&](Dialog& d) {
      SCOPED_TRACE(c.leftToRight.size());
      auto* description = d.control<QLabel>("description");
      EXPECT_EQ(description->text(),
                "   Error description: Error BASE/1002  Alias does not exist: R&D.DBF");
      EXPECT_EQ(description->textFormat(), Qt::PlainText);
      EXPECT_EQ(description->buddy(), nullptr);
      EXPECT_EQ(d.control<QLabel>("stackLabel")->buddy(), d.control("stack"));
      EXPECT_EQ(d.text("stackLabel"), "&Stack List");
      EXPECT_EQ(d.text("seeLog"), "See Error.log file");

      std::vector<std::pair<int, QString>> shown;
      for (const char* name : {"quit", "retry", "default"})
        if (auto* b = d.control<QPushButton>(name))
          shown.emplace_back(b->geometry().center().x(), name);
      std::sort(shown.begin(), shown.end());
      std::vector<QString> order;
      for (const auto& s : shown) order.push_back(s.second);
      EXPECT_EQ(order, c.leftToRight);
      EXPECT_EQ(d.text("quit"), "&Quit");
      if (c.retry) {
        EXPECT_EQ(d.text("retry"), "&Retry");
      }
      if (c.deflt) {
        EXPECT_EQ(d.text("default"), "&Default");
      }
      EXPECT_TRUE(d.control<QPushButton>("quit")->isDefault());
      if (!c.middle.isEmpty()) {
        EXPECT_NEAR(d.control(c.middle)->geometry().center().x(), d.width() / 2, 1);
      }
      d.click("quit");
    });
    handler.raise(error);
  }
}

TEST_F(StationErrors, AnswersWhatTheOperatorChose) {
  const struct {
    const char* action;
    bool mainWindowRunning;
    ErrorAnswer::Kind answer;
    std::vector<int> ends;
  } cases[] = {
      {"quit", true, ErrorAnswer::Kind::Default, {1}},
      {"close box", true, ErrorAnswer::Kind::Default, {1}},
      {"default", false, ErrorAnswer::Kind::Default, {}},
      {"retry", true, ErrorAnswer::Kind::Retry, {}},
      {"retry", false, ErrorAnswer::Kind::Default, {1}},  // nothing to go back to yet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action) + (c.mainWindowRunning ? " (running)" : " (starting)"));
    ends.clear();
    handler.setMainWindowRunning(c.mainWindowRunning);
    ErrorRecord error = aliasError();
    error.canDefault = true;
    test::DialogScript script;
    script.then(kErrorDialogTitle, [&](Dialog& d) {
      if (std::string(c.action) == "close box")
        d.closeBox();
      else
        EXPECT_TRUE(d.click(c.action));
    });
    EXPECT_EQ(handler.raise(error).kind, c.answer);
    EXPECT_EQ(ends, c.ends);
  }
}

TEST_F(StationErrors, SecondErrorWhileTheDialogIsOpenEndsTheProgram) {
  test::DialogScript script;
  script.then(kErrorDialogTitle, [&](Dialog& d) {
    ErrorRecord second = aliasError();
    second.operation = "BATCHING";
    handler.raise(second);
    EXPECT_EQ(ends, std::vector<int>{1});
    d.click("retry");
  });
  handler.setMainWindowRunning(true);
  EXPECT_EQ(handler.raise(aliasError()).kind, ErrorAnswer::Kind::Default);
  EXPECT_EQ(ends, std::vector<int>{1});
  EXPECT_EQ(script.opened, 1);
  EXPECT_NE(readFile("Error.log").find(": DETAIL\r\n"), std::string::npos);
}

TEST_F(StationErrors, ErrorInsideTheHandlerShowsAStopBoxAndEnds) {
  const struct {
    std::function<void()> fault;
    const char* text;
  } cases[] = {
      {[&] {
         ErrorRecord e;
         e.genCode = errc::kRead;
         e.subsystem = "DBFNTX";
         e.subCode = 1010;
         e.description = "Read error";
         e.fileName = "WDATA.DBF";
         handler.raise(e);
       },
       "Error DBFNTX/1010  Read error: WDATA.DBF from Errorsys, line:"},
      {[] { throw std::runtime_error("index damaged"); }, "index damaged from Errorsys, line:"},
  };
  for (const auto& c : cases) {
    ends.clear();
    handler.setOpenTablesProvider([&] {
      c.fault();
      return std::vector<OpenTableFacts>{};
    });
    ui.expectMessage(c.text, kErrorDialogTitle.toStdString());
    test::DialogScript noDialog;
    EXPECT_EQ(handler.raise(aliasError()).kind, ErrorAnswer::Kind::Default);
    EXPECT_EQ(ends, std::vector<int>{1});
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_TRUE(std::regex_search(ui.shown.back(), std::regex("line:[1-9]\\d*$")))
        << ui.shown.back();
  }
}

TEST_F(StationErrors, TwoErrorsInARowLeaveOnlyTheSecondInTheLog) {
  std::ofstream("error.log") << "left by an earlier station\r\n";  // another letter case
  test::DialogScript script;
  for (const char* alias : {"WDATA", "BATCHING"}) {
    ErrorRecord error = aliasError();
    error.operation = alias;
    script.then(kErrorDialogTitle, [](Dialog& d) { d.click("quit"); });
    handler.raise(error);
  }
  std::vector<fs::path> logs;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    logs.push_back(entry.path().filename());
  ASSERT_EQ(logs.size(), 1u);
  const std::string log = readFile(logs[0]);
  EXPECT_NE(log.find("Alias does not exist: BATCHING\r\n"), std::string::npos);
  EXPECT_EQ(log.find("WDATA"), std::string::npos);
  EXPECT_EQ(log.find("earlier station"), std::string::npos);
}

TEST_F(StationErrors, LogThatCannotBeWrittenStillAsksTheOperator) {
  fs::create_directory("Error.log");
  test::DialogScript script;
  script.then(kErrorDialogTitle, [](Dialog& d) { d.click("retry"); });
  handler.setMainWindowRunning(true);
  EXPECT_EQ(handler.raise(aliasError()).kind, ErrorAnswer::Kind::Retry);
  EXPECT_TRUE(ends.empty());
}

TEST_F(StationErrors, DivisionByZeroAndBusyNeverReachTheOperator) {
  const auto record = [](int gen, int os, bool canDefault) {
    ErrorRecord e;
    e.genCode = gen;
    e.osCode = os;
    e.subsystem = "DBFNTX";
    e.canDefault = canDefault;
    return e;
  };
  const struct {
    ErrorRecord error;
    ErrorAnswer::Kind answer;
    bool busy;
  } cases[] = {
      {record(errc::kZeroDivide, 0, false), ErrorAnswer::Kind::Value, false},
      {record(errc::kOpen, oserr::kSharingViolation, true), ErrorAnswer::Kind::Default, true},
      {record(errc::kOpen, oserr::kAccessDenied, true), ErrorAnswer::Kind::Default, true},
      {record(errc::kAppendLock, 0, true), ErrorAnswer::Kind::Default, true},
  };
  test::DialogScript noDialog;
  for (const auto& c : cases) {
    const ErrorAnswer answer = handler.raise(c.error);
    EXPECT_EQ(answer.kind, c.answer);
    if (c.answer == ErrorAnswer::Kind::Value) {
      EXPECT_EQ(answer.value, Value(0));
    }
    EXPECT_EQ(handler.takeBusy(), c.busy);
  }
  EXPECT_FALSE(fs::exists("Error.log"));
  EXPECT_TRUE(ends.empty());
}

TEST_F(StationErrors, SeeErrorLogOpensTheWrittenLogInTheTextEditor) {
  fs::create_directories("bin");
  const fs::path editor = dir / "bin" / "mousepad";
  std::ofstream(editor) << "#!/bin/sh\necho \"$1\" > \"$0.opened\"\n";
  fs::permissions(editor, fs::perms::owner_all);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString((dir / "bin").string()));

  test::DialogScript script;
  script.then(kErrorDialogTitle, [](Dialog& d) {
    EXPECT_TRUE(d.click("seeLog"));
    EXPECT_TRUE(d.click("quit"));
  });
  handler.raise(aliasError());
  qputenv("PATH", path);

  const fs::path opened = dir / "bin" / "mousepad.opened";
  for (int i = 0; i < 100 && !fs::exists(opened); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(readFile(opened), (dir / "Error.log").string() + "\n");
}

// ---------------------------------------------------------------------------------------------
// Faults that reach the top of the program still leave a log.

void overflowTank() {
  throw std::runtime_error("tank 3 overflow");
}
[[gnu::noinline]] void crashInBin() {
  std::raise(SIGSEGV);
  asm volatile("");
}

TEST_F(StationErrors, UncaughtExceptionWritesTheLogAndEndsWithCode1) {
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        auto installed = ERRORSYS(ui, clock);
        [&]() noexcept { overflowTank(); }();
      },
      ::testing::ExitedWithCode(1), "tank 3 overflow");
  const std::vector<std::string> lines = crlfLines(readFile("Error.log"));
  ASSERT_GT(lines.size(), 17u);
  EXPECT_EQ(lines[6],
            "   Error description: Error C++/???  Uncaught exception std::runtime_error: tank 3 "
            "overflow");
  EXPECT_TRUE(std::regex_match(
      lines[10], std::regex(R"(   Called from: error_handler_test\.cpp => .*overflowTank\(\d+\))")))
      << lines[10];
  EXPECT_EQ(lines.back().substr(0, 20), "      Highest Value:");
}

TEST_F(StationErrors, FatalSignalWritesTheLogAndStillEndsByTheSignal) {
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        auto installed = ERRORSYS(ui, clock);
        crashInBin();
      },
      ::testing::KilledBySignal(SIGSEGV), "");
  const std::vector<std::string> lines = crlfLines(readFile("Error.log"));
  ASSERT_GT(lines.size(), 6u);
  EXPECT_EQ(lines[3], "   Error description: Error SIGNAL/11  Segmentation fault");
  bool found = false;
  for (std::size_t i = 7; i < lines.size() && !found; ++i) {
    EXPECT_EQ(lines[i].find("onFatalSignal"), std::string::npos) << "a level of the signal handler";
    found = lines[i].starts_with("   Called from: error_handler_test.cpp => ") &&
            lines[i].find("crashInBin") != std::string::npos;
  }
  EXPECT_TRUE(found) << readFile("Error.log");
}

}  // namespace
}  // namespace blend
