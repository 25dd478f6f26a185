#pragma once
// How the table engine reports what it cannot do on the spot: an ErrorRecord to the one error
// handler, whose answer the engine follows (retry where the operation can be tried again,
// otherwise give up and report failure to the caller).

#include <filesystem>
#include <string>

#include "data/error.h"

namespace blend {

namespace errc {
// Error classes of the table engine beyond the shared ones in error.h.
constexpr int kDataWidth = 22;  // a number too wide for its field
constexpr int kDataType = 33;   // a value of the wrong type for a field
constexpr int kUnlocked = 35;   // a write without the record lock or an exclusive open
}  // namespace errc

namespace oserr {
constexpr int kFileNotFound = 2;
}  // namespace oserr

// The name the engine's errors carry as their subsystem.
inline constexpr const char* kTableSubsystem = "DBFNTX";

struct TableError {
  int genCode = 0;
  int osCode = 0;
  std::string description;
  std::filesystem::path file;
  std::string operation;
  bool canRetry = false;
  bool canDefault = true;
};

// Raises the error; true when the handler asks for another try (only offered with canRetry).
bool raiseTableError(ErrorHandler& errors, const TableError& error);

// The system's error number as the error record carries it: a missing file is 2 and a refused
// access 5 on every platform, whatever the local numbers are.
int osCodeOf(int systemError);

}  // namespace blend
