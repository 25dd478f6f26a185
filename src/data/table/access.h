#pragma once
// The four operations through which the station opens tables, locks records and appends:
// NET_USE, REC_LOCK, ADD_REC and OPEN, with their waits and retries and OPEN's messages.
//
// Waits are measured on the context's clock as the absolute difference of two readings. Between
// attempts the station pauses briefly on that clock rather than spinning, which keeps a waiting
// station from hammering a shared drive with lock requests; the waits keep their length.
//
// A refused open or append comes back from the error handler as its busy outcome (the
// workspace's handler, which every table of the workspace reports to); anything else that
// fails ends the wait at once.

#include <functional>
#include <string_view>

#include "data/context.h"
#include "workspace.h"

namespace blend {

// Pause between two attempts, in seconds.
inline constexpr double kRetryPause = 0.02;

// Opens `file` (a path without extension, "\"-style, CP874) under alias (default: the file's
// base name), shared or exclusive, and makes it current. A wait of 0 retries until the table is
// free; otherwise gives up once `waitSeconds` have passed. False also when the open failed for
// any other reason (reported through the handler).
bool NET_USE(Context& ctx, Workspace& ws, std::string_view file, bool exclusive,
             double waitSeconds, std::string_view alias = {});

// Locks the current record of the current table; 0 waits as long as it takes.
bool REC_LOCK(Context& ctx, Workspace& ws, double waitSeconds);

// Appends a blank record to the current table, current and locked; 0 waits as long as it takes.
bool ADD_REC(Context& ctx, Workspace& ws, double waitSeconds);

// Opens dir + file under alias (default: the file name) with its index dir + indexFile + ".NTX"
// active, closing whatever was open under that alias. A missing table is reported to the
// operator as "ไม่พบแฟ้ม " + displayName at once; a table still busy after 10 s as
// "ไม่สามารถเปิดแฟ้ม " + displayName. The index is built when its file is missing or the table
// is opened exclusively; a shared open never rebuilds an existing index. Releases all locks.
bool OPEN(Context& ctx, Workspace& ws, std::string_view dir, std::string_view file,
          std::string_view keyExpression, bool exclusive, std::string_view displayName,
          std::string_view indexFile, std::string_view alias = {});

// The two sequences every write of the station follows. Update: lock the current record
// (waiting as long as it takes), assign, commit all, unlock all. Append: append a blank record
// (current and locked), lock it, assign, commit all, unlock all. `commit` false leaves the
// change to be written when the table is committed or closed later. False when the record
// could not be had or the write failed (reported).
using AssignFields = std::function<void(Table&)>;
bool writeUpdate(Context& ctx, Workspace& ws, const AssignFields& assign, bool commit = true);
bool writeAppend(Context& ctx, Workspace& ws, const AssignFields& assign, bool commit = true);

}  // namespace blend
