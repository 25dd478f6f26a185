#include "error.h"

namespace blend {

std::string ERRORMESSAGE(const ErrorRecord& e) {
  std::string text;
  if (e.osCode != 0)
    text = "(DOS Error " + std::to_string(e.osCode) + ") ";
  else
    text = e.severity > 1 ? "Error " : "Warning ";
  text += e.subsystem.empty() ? "???" : e.subsystem;
  text += e.subCode ? "/" + std::to_string(*e.subCode) : "/???";
  if (!e.description.empty()) text += "  " + e.description;
  if (!e.fileName.empty())
    text += ": " + e.fileName;
  else if (!e.operation.empty())
    text += ": " + e.operation;
  return text;
}

ErrorAnswer ErrorHandler::raise(const ErrorRecord& e) {
  if (e.genCode == errc::kZeroDivide) return ErrorAnswer::substitute(Value(0));
  const bool heldElsewhere =
      e.osCode == oserr::kSharingViolation || e.osCode == oserr::kAccessDenied;
  if (e.canDefault && ((e.genCode == errc::kOpen && heldElsewhere) ||
                       e.genCode == errc::kAppendLock)) {
    busy_ = true;
    return ErrorAnswer::giveUp();
  }
  return handle(e);
}

}  // namespace blend
