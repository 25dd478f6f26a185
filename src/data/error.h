#pragma once
// Runtime errors that no operation handles on the spot, and the one handler they go to.
//
// A failing operation fills an ErrorRecord and asks the handler, which answers with a value to
// use, "default" (give up and report failure) or "retry", or ends the program. The handler
// settles a division by zero (0) and another station's hold on a file (the busy outcome) by
// itself; everything else is logged and put to the operator.

#include <optional>
#include <string>
#include <vector>

#include "value.h"

namespace blend {

// Classes of error (the generic code).
namespace errc {
constexpr int kArgument = 1;       // an operand of the wrong type
constexpr int kBound = 2;          // an index outside an array
constexpr int kZeroDivide = 5;
constexpr int kSyntax = 7;
constexpr int kNoFunction = 12;
constexpr int kNoVariable = 14;
constexpr int kNoAlias = 15;
constexpr int kCreate = 20;
constexpr int kOpen = 21;
constexpr int kRead = 23;
constexpr int kWrite = 24;
constexpr int kCorruption = 32;
constexpr int kAppendLock = 40;
}  // namespace errc

// Operating-system codes the handler knows.
namespace oserr {
constexpr int kAccessDenied = 5;
constexpr int kSharingViolation = 32;
}  // namespace oserr

struct ErrorRecord {
  int genCode = 0;
  int osCode = 0;
  std::string subsystem;          // e.g. "BASE", "DBFNTX"; empty: unknown
  std::optional<int> subCode;
  std::string description;
  std::string fileName;
  std::string operation;
  std::optional<std::vector<Value>> args;
  int severity = 2;  // above 1: error, otherwise warning
  bool canRetry = false;
  bool canDefault = false;
};

struct ErrorAnswer {
  enum class Kind { Value, Default, Retry };
  Kind kind = Kind::Default;
  Value value;

  static ErrorAnswer substitute(Value v) { return {Kind::Value, std::move(v)}; }
  static ErrorAnswer giveUp() { return {Kind::Default, {}}; }
  static ErrorAnswer retry() { return {Kind::Retry, {}}; }
};

class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;

  // What a failing operation calls. A division by zero answers 0; an open held by another
  // station, or a refused append lock, defaults with the busy flag set; nothing is shown for
  // either. Every other error goes to handle().
  ErrorAnswer raise(const ErrorRecord& error);

  // The busy outcome: read and cleared by the table layer after each open or append.
  bool takeBusy() {
    const bool was = busy_;
    busy_ = false;
    return was;
  }

 protected:
  // An error that needs the operator (and the log).
  virtual ErrorAnswer handle(const ErrorRecord& error) = 0;

 private:
  bool busy_ = false;
};

// The one-line text of an error, e.g. "Error BASE/1002  Alias does not exist: WDATA".
std::string ERRORMESSAGE(const ErrorRecord& error);

}  // namespace blend
