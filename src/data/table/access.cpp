#include "access.h"

#include <system_error>

#include "data/cp874.h"
#include "data/paths.h"

namespace blend {
namespace {

const char* const kOpenTitle = "ส่วนการเปิดแฟ้ม";
constexpr double kOpenWait = 10;

// Until `attempt` succeeds, the wait has passed (false) or an attempt fails for a reason that
// waiting will not cure (false).
enum class Attempt { Done, Again, Failed };

template <typename Try>
bool retryWithin(Context& ctx, double waitSeconds, Try attempt) {
  const double start = ctx.clock.secondsSinceMidnight();
  for (bool first = true;; first = false) {
    if (waitSeconds != 0 && elapsedSince(ctx.clock, start) >= waitSeconds) return false;
    if (!first) ctx.clock.sleep(kRetryPause);
    switch (attempt()) {
      case Attempt::Done:
        return true;
      case Attempt::Failed:
        return false;
      case Attempt::Again:
        break;
    }
  }
}

std::string_view baseName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool NET_USE(Context& ctx, Workspace& ws, std::string_view file, bool exclusive,
             double waitSeconds, std::string_view alias) {
  const std::filesystem::path path = nativePath(std::string(file) + ".DBF");
  const std::string_view name = alias.empty() ? baseName(file) : alias;
  const OpenMode mode = exclusive ? OpenMode::Exclusive : OpenMode::Shared;
  ws.errors().takeBusy();  // an outcome left over from elsewhere must not count as ours
  return retryWithin(ctx, waitSeconds, [&] {
    if (ws.open(path, name, mode)) return Attempt::Done;
    return ws.errors().takeBusy() ? Attempt::Again : Attempt::Failed;
  });
}

bool REC_LOCK(Context& ctx, Workspace& ws, double waitSeconds) {
  Table* table = ws.current();
  if (!table) return false;
  const auto attempt = [&] {
    switch (table->lockRecord()) {
      case LockResult::Locked:
        return Attempt::Done;
      case LockResult::Held:
        return Attempt::Again;
      case LockResult::Failed:
        break;
    }
    return Attempt::Failed;
  };
  // The first try comes before the clock is read, so a free record costs no clock reading.
  const Attempt first = attempt();
  if (first != Attempt::Again) return first == Attempt::Done;
  return retryWithin(ctx, waitSeconds, attempt);
}

bool ADD_REC(Context& ctx, Workspace& ws, double waitSeconds) {
  Table* table = ws.current();
  if (!table) return false;
  ws.errors().takeBusy();
  const auto attempt = [&] {
    if (table->append()) return Attempt::Done;
    return ws.errors().takeBusy() ? Attempt::Again : Attempt::Failed;
  };
  const Attempt first = attempt();
  if (first != Attempt::Again) return first == Attempt::Done;
  return retryWithin(ctx, waitSeconds, attempt);
}

bool OPEN(Context& ctx, Workspace& ws, std::string_view dir, std::string_view file,
          std::string_view keyExpression, bool exclusive, std::string_view displayName,
          std::string_view indexFile, std::string_view alias) {
  const std::string name(alias.empty() ? file : alias);
  ws.close(name);
  const auto refuse = [&](const char* text) {
    ctx.ui.message(std::string(text) + cp874ToUtf8(displayName), kOpenTitle,
                   MessageKind::Warning);
    ws.unlockAll();
    return false;
  };

  const std::filesystem::path tablePath = nativePath(dir, std::string(file) + ".DBF");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(tablePath, ec)) return refuse("ไม่พบแฟ้ม ");

  std::string tableText(dir);
  if (!tableText.empty() && tableText.back() != '\\' && tableText.back() != '/') tableText += '\\';
  tableText += file;
  if (!NET_USE(ctx, ws, tableText, exclusive, kOpenWait, name)) return refuse("ไม่สามารถเปิดแฟ้ม ");
  Table* table = ws.current();

  const std::filesystem::path indexPath = nativePath(dir, std::string(indexFile) + ".NTX");
  bool ok = true;
  if (exclusive)
    ok = table->buildIndex(indexPath, keyExpression);
  else if (!std::filesystem::exists(indexPath, ec))
    ok = table->buildIndexIfAbsent(indexPath, keyExpression);
  ok = ok && table->attachIndex(indexPath);
  if (!ok) {
    // The reason has gone to the error handler; a table without its order is of no use here.
    ws.close(name);
    ws.unlockAll();
    return false;
  }
  ws.unlockAll();
  ws.select(*table);
  return true;
}

namespace {

bool assignAndWrite(Workspace& ws, const AssignFields& assign, bool commit) {
  Table* table = ws.current();
  assign(*table);
  const bool written = !commit || ws.commitAll();
  ws.unlockAll();
  return written;
}

}  // namespace

bool writeUpdate(Context& ctx, Workspace& ws, const AssignFields& assign, bool commit) {
  if (!REC_LOCK(ctx, ws, 0)) return false;
  return assignAndWrite(ws, assign, commit);
}

bool writeAppend(Context& ctx, Workspace& ws, const AssignFields& assign, bool commit) {
  if (!ADD_REC(ctx, ws, 0) || !REC_LOCK(ctx, ws, 0)) return false;
  return assignAndWrite(ws, assign, commit);
}

}  // namespace blend
