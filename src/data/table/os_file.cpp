#include "os_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <utility>

#if !defined(F_OFD_SETLK)
#error "The table locks need open-file-description locks (F_OFD_SETLK)."
#endif

namespace blend {

OsFile::OsFile(OsFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), readOnly_(other.readOnly_), error_(other.error_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    readOnly_ = other.readOnly_;
    error_ = other.error_;
  }
  return *this;
}

bool OsFile::open(const std::filesystem::path& path, Access access) {
  close();
  readOnly_ = false;
  fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0 && access == Access::ReadOnlyFallback &&
      (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    readOnly_ = fd_ >= 0;
  }
  error_ = fd_ < 0 ? errno : 0;
  return fd_ >= 0;
}

bool OsFile::create(const std::filesystem::path& path) {
  close();
  readOnly_ = false;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  error_ = fd_ < 0 ? errno : 0;
  return fd_ >= 0;
}

bool OsFile::openOrCreate(const std::filesystem::path& path) {
  close();
  readOnly_ = false;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  error_ = fd_ < 0 ? errno : 0;
  return fd_ >= 0;
}

void OsFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::optional<std::size_t> OsFile::readAt(std::uint64_t offset, void* buffer, std::size_t n) {
  auto* p = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return std::nullopt;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool OsFile::writeAt(std::uint64_t offset, const void* data, std::size_t n) {
  const auto* p = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t put = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::optional<std::uint64_t> OsFile::size() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    error_ = errno;
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(st.st_size);
}

bool OsFile::truncate(std::uint64_t length) {
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
    error_ = errno;
    return false;
  }
  return true;
}

namespace {

struct flock lockRange(std::uint64_t offset, std::uint64_t length, short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = static_cast<off_t>(length);
  fl.l_pid = 0;  // required for open-file-description locks
  return fl;
}

}  // namespace

OsFile::LockResult OsFile::tryLock(std::uint64_t offset, std::uint64_t length, Lock kind) {
  struct flock fl = lockRange(offset, length, kind == Lock::Shared ? F_RDLCK : F_WRLCK);
  while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return LockResult::Held;
    error_ = errno;
    return LockResult::Failed;
  }
  return LockResult::Granted;
}

bool OsFile::waitLock(std::uint64_t offset, std::uint64_t length, Lock kind) {
  struct flock fl = lockRange(offset, length, kind == Lock::Shared ? F_RDLCK : F_WRLCK);
  while (::fcntl(fd_, F_OFD_SETLKW, &fl) != 0) {
    if (errno == EINTR) continue;
    error_ = errno;
    return false;
  }
  return true;
}

void OsFile::unlock(std::uint64_t offset, std::uint64_t length) {
  struct flock fl = lockRange(offset, length, F_UNLCK);
  while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
  }
}

// ---------------------------------------------------------------------------------------------

bool HeadView::map(const OsFile& file, std::size_t length) {
  unmap();
  if (file.fd_ < 0 || length == 0) return false;
  void* at = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, file.fd_, 0);
  if (at == MAP_FAILED) return false;
  base_ = at;
  length_ = length;
  return true;
}

void HeadView::unmap() {
  if (base_) ::munmap(base_, length_);
  base_ = nullptr;
  length_ = 0;
}

std::uint32_t HeadView::le32(std::size_t offset) const {
  const auto* word = reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(base_) + offset);
  const std::uint32_t v = __atomic_load_n(word, __ATOMIC_ACQUIRE);
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
  return v;
}

std::uint64_t HeadView::le64(std::size_t offset) const {
  return std::uint64_t{le32(offset + 4)} << 32 | le32(offset);
}

}  // namespace blend
