#include "table_errors.h"

#include <cerrno>

namespace blend {

bool raiseTableError(ErrorHandler& errors, const TableError& e) {
  ErrorRecord record;
  record.genCode = e.genCode;
  record.osCode = e.osCode;
  record.subsystem = kTableSubsystem;
  record.subCode = 1000 + e.genCode;
  record.description = e.description;
  record.fileName = e.file.string();
  record.operation = e.operation;
  record.canRetry = e.canRetry;
  record.canDefault = e.canDefault;
  const ErrorAnswer answer = errors.raise(record);
  return e.canRetry && answer.kind == ErrorAnswer::Kind::Retry;
}

int osCodeOf(int systemError) {
  switch (systemError) {
    case ENOENT:
      return oserr::kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return oserr::kAccessDenied;
    default:
      return systemError;
  }
}

}  // namespace blend
