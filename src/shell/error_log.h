#pragma once
// "Error.log": the diagnostic report of the last runtime error that reached the operator.
//
// The text is built by plain code from the error and a record of facts, so a test can fix every
// fact and check the exact lines. The facts this machine can tell (the program file, the call
// stack, processor, memory, operating system) are read by the functions further down; the
// station's windows and open tables are added by the error handler, which knows them.
//
// The report is CP874 text with CR LF line ends, like every file the station writes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/date.h"
#include "data/error.h"

namespace blend {

// One active call level: the source module (or the shared object when the level has no debug
// information), the function and its current line (0 when unknown).
struct StackLevel {
  std::string module;
  std::string function;
  int line = 0;
};

// What the table engine can tell about one open table, for the "DataBases in use" section.
struct OpenTableFacts {
  struct Index {
    std::string key;   // the key expression
    std::string name;  // the index (tag) name
    bool controlling = false;
  };
  struct Relation {
    std::string expression;
    std::string target;  // the alias related into
  };
  int area = 0;  // 1 to 255
  std::string alias;
  bool current = false;
  long recno = 0;
  long reccount = 0;
  bool bof = false;
  bool eof = false;
  std::vector<Index> indexes;
  std::vector<Relation> relations;
};

using OpenTablesProvider = std::function<std::vector<OpenTableFacts>()>;

// The name of the station's one table driver.
inline constexpr const char* kTableDriver = "DBFNTX";

struct OsVersion {
  int major = 0;
  int minor = 0;
  int build = 0;
  std::string detail;  // stands where the service-pack text goes: system, release and version
};

struct ErrorLogFacts {
  std::string programPath;  // full path of the program file, in the platform's encoding
  std::uintmax_t programSize = 0;
  int programBits = 8 * sizeof(void*);
  long long secondsSinceStart = 0;
  Date date;                      // when the error occurred
  std::string time;               // HH:MM:SS
  std::vector<StackLevel> stack;  // innermost first, the handler's own levels left out

  std::string cpuName;
  std::optional<long> cpuMhz;
  long long memoryMegs = 0;  // installed memory, whole megabytes plus one
  std::string compiler;
  OsVersion os;
  std::vector<std::string> windowTitles;  // CP874
  std::vector<std::string> drivers{kTableDriver};
  std::vector<OpenTableFacts> tables;
  std::vector<std::string> classes;
  long staticVariables = 0;
  std::uint64_t memoryNow = 0;   // bytes
  std::uint64_t memoryPeak = 0;  // bytes
};

// The whole report.
std::string errorLogText(const ErrorRecord& error, const ErrorLogFacts& facts);

// Single lines of the report that the error dialog shows as well.
std::string errorDescriptionLine(const ErrorRecord& error);  // "   Error description: ..."
std::string stackCallLine(const StackLevel& level);          // "   Called from: ..."

// Writes the report to "Error.log" in the current directory, replacing an earlier one whatever
// the letter case of its name. False when it could not be written.
bool writeErrorLog(const std::string& text);

// The processor's name as the system reports it.
std::string GETCPU();

// The facts this machine supplies by itself: program file, processor, memory, compiler,
// operating system, static variables and memory use. Time, stack, windows, tables and classes
// are left for the caller.
ErrorLogFacts machineErrorLogFacts();

// The active call levels of the calling thread, innermost first, up to `maxLevels`, leaving out
// every level up to and including the outermost one whose function name begins with one of
// `innerPrefixes` (the levels of whoever asks).
std::vector<StackLevel> captureStack(const std::vector<std::string>& innerPrefixes,
                                     std::size_t maxLevels = 72);

// For a fatal signal, where almost nothing may be called: prepareCrashLog() reads ahead what
// writeCrashLog() needs and is called when the handler is installed; writeCrashLog() writes a
// short Error.log (program, error description, call stack with names as the symbol tables hold
// them) using only calls that are safe inside a signal handler. The stack starts below the
// signal handler, the function whose name contains `handlerName`.
void prepareCrashLog();
void writeCrashLog(int signal, const char* handlerName);

}  // namespace blend
