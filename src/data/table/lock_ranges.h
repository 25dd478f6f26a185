#pragma once
// Where the stations' locks live in the files. Every station must use the same places.
//
// The ranges lie far beyond any data a table or index can hold: on systems whose byte-range
// locks are mandatory a lock over data would block other stations' reads, and a lock past the
// end of the file costs nothing. Each lock is one byte wide.

#include <cstdint>

namespace blend::locks {

constexpr std::uint64_t kBase = std::uint64_t{1} << 62;

// In the table file:
// the open mode: every station holds this byte shared while it has the table open shared, and
// exclusively while it has it open exclusively, so the two modes conflict as they must;
constexpr std::uint64_t kOpen = kBase;
// the append lock: held while the record count is read, the new record written and the count
// raised;
constexpr std::uint64_t kAppend = kBase + 1;
// record n's lock.
constexpr std::uint64_t record(std::uint32_t recno) { return kBase + 16 + recno; }

// In the index file: held shared while a station reads the tree, exclusively while one
// changes it.
constexpr std::uint64_t kIndex = kBase;

}  // namespace blend::locks
