#pragma once
// One open file of a table or index on a drive that several stations share: positioned reads
// and writes straight to the operating system (no user-space buffering, so what is written is
// what the next reader on any station gets) and byte-range locks that other processes and
// other machines see.
//
// The locks are open-file-description locks: they belong to this open of the file, so a second
// open of the same file in the same process is a separate holder and closing it releases
// nothing of ours (classic POSIX record locks would be dropped by any close of the file).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace blend {

class OsFile {
 public:
  OsFile() = default;
  ~OsFile() { close(); }
  OsFile(OsFile&& other) noexcept;
  OsFile& operator=(OsFile&& other) noexcept;
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  enum class Access { ReadWrite, ReadOnlyFallback };

  // Opens an existing file for reading and writing; with ReadOnlyFallback a file that may not be
  // written (a read-only medium, no write permission) is opened for reading only. On failure
  // error() holds the system's error number.
  bool open(const std::filesystem::path& path, Access access = Access::ReadWrite);
  // Creates the file, or empties an existing one.
  bool create(const std::filesystem::path& path);
  // Opens the file for reading and writing, creating it when missing; nothing is emptied.
  bool openOrCreate(const std::filesystem::path& path);
  void close();

  bool isOpen() const { return fd_ >= 0; }
  bool readOnly() const { return readOnly_; }
  int error() const { return error_; }

  // Reads up to n bytes at offset; the count read (less at the end of the file), or nothing on
  // a read error.
  std::optional<std::size_t> readAt(std::uint64_t offset, void* buffer, std::size_t n);
  bool writeAt(std::uint64_t offset, const void* data, std::size_t n);
  std::optional<std::uint64_t> size();
  bool truncate(std::uint64_t length);

  enum class Lock { Shared, Exclusive };
  enum class LockResult { Granted, Held, Failed };
  // Takes the lock when nobody else holds a conflicting one; Held when somebody does.
  LockResult tryLock(std::uint64_t offset, std::uint64_t length, Lock kind);
  // Waits until the lock is granted; false only on a system failure.
  bool waitLock(std::uint64_t offset, std::uint64_t length, Lock kind);
  void unlock(std::uint64_t offset, std::uint64_t length);

 private:
  friend class HeadView;
  int fd_ = -1;
  bool readOnly_ = false;
  int error_ = 0;
};

// The first bytes of an open file, mapped read-only from the operating system's own copy of the
// file: a look at the view returns what a read of those bytes would return at that moment,
// another station's writes included, without a system call. It is a window on the file, not a
// copy of it kept by us, so it cannot fall behind the file the way a copy can.
//
// The mapped page must stay part of the file: a file cut to nothing under the view would end the
// process with SIGBUS on the next look. Nothing in this engine cuts a file that another station
// has open (creating and packing need it exclusively), and the view covers only the header,
// which every valid file keeps.
class HeadView {
 public:
  HeadView() = default;
  ~HeadView() { unmap(); }
  HeadView(const HeadView&) = delete;
  HeadView& operator=(const HeadView&) = delete;

  // Maps the first `length` bytes; false, and no view, where the system or the drive cannot map
  // the file (the caller then reads the bytes with system calls instead).
  bool map(const OsFile& file, std::size_t length);
  void unmap();
  bool mapped() const { return base_ != nullptr; }

  // Little-endian numbers at `offset` (a multiple of 4) as the file holds them now; le64 is two
  // 4-byte looks. A look that meets another station's write half-way may see part of it: callers
  // compare with what they saw before and take any difference for a change, and a write that has
  // finished is always seen whole.
  std::uint32_t le32(std::size_t offset) const;
  std::uint64_t le64(std::size_t offset) const;

 private:
  void* base_ = nullptr;
  std::size_t length_ = 0;
};

}  // namespace blend
