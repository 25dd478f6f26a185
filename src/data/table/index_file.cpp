#include "index_file.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "lock_ranges.h"
#include "table_errors.h"

namespace blend {
namespace {

// Page 0: two header copies of kSlotSize bytes, each ending with a checksum of the rest.
constexpr char kMagic[8] = {'B', 'L', 'E', 'N', 'D', 'I', 'X', '1'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::size_t kSlotSize = 2048;
constexpr std::size_t kExpressionAt = 56;
constexpr std::size_t kFreeAt = kExpressionAt + 256;
constexpr std::size_t kCrcAt = kSlotSize - 4;
constexpr std::size_t kMaxFree = (kCrcAt - kFreeAt) / 4;
constexpr std::uint32_t kMaxDepth = 16;

// Tree pages: kind, a spare byte, the entry count, four spare bytes, then the entries.
// Leaf entry: key, record number (big-endian, so key and number compare as one byte string).
// Branch entry: the highest entry of the subtree (key and number as in a leaf), the subtree's
// page and its entry count.
constexpr std::size_t kPageHeader = 8;
constexpr char kLeaf = 1;
constexpr char kBranch = 2;

// Pages kept in memory before the cache starts afresh.
constexpr std::size_t kCacheLimit = 4096;
// Pages read at once when a walk moves on to a leaf not in the cache: a built index has its
// leaves in order, so one read under one lock serves the steps over several leaves.
constexpr int kWalkAhead = 16;
constexpr std::uint32_t kReadsBeforeMapping = 16;

std::uint32_t get32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(p[i]);
  return v;
}
void put32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
}
std::uint64_t get64(const char* p) {
  return static_cast<std::uint64_t>(get32(p + 4)) << 32 | get32(p);
}
void put64(char* p, std::uint64_t v) {
  put32(p, static_cast<std::uint32_t>(v));
  put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
std::uint32_t getBig32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
  return v;
}
void putBig32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * (3 - i)) & 0xFF);
}

std::uint32_t crc32(const char* data, std::size_t n) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i)
    c = table[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

int pageCount(const char* page) {
  return static_cast<unsigned char>(page[2]) | static_cast<unsigned char>(page[3]) << 8;
}
void setPageHead(char* page, char kind, int count) {
  page[0] = kind;
  page[1] = 0;
  page[2] = static_cast<char>(count & 0xFF);
  page[3] = static_cast<char>(count >> 8 & 0xFF);
  std::memset(page + 4, 0, 4);
}

// A generation no earlier file of the same name can have had: stations that cached that file
// see the new one as changed.
std::uint64_t freshGeneration() {
  return static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch() / std::chrono::nanoseconds(1));
}

std::filesystem::path temporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path tmp = path;
  tmp += "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
  return tmp;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Header

std::string IndexFile::serializeHeader(const Header& h) {
  std::string s(kSlotSize, '\0');
  char* p = s.data();
  std::memcpy(p, kMagic, 8);
  put32(p + 8, kFormatVersion);
  put32(p + 12, kPageSize);
  put64(p + 16, h.generation);
  put32(p + 24, h.keyWidth);
  put32(p + 28, static_cast<std::uint32_t>(h.expression.size()));
  put32(p + 32, h.root);
  put32(p + 36, h.depth);
  put32(p + 40, h.pageCount);
  put32(p + 44, h.entries);
  put32(p + 48, h.tableCount);
  const std::size_t freeCount = std::min(h.freePages.size(), kMaxFree);
  put32(p + 52, static_cast<std::uint32_t>(freeCount));
  std::memcpy(p + kExpressionAt, h.expression.data(), h.expression.size());
  for (std::size_t i = 0; i < freeCount; ++i) put32(p + kFreeAt + 4 * i, h.freePages[i]);
  put32(p + kCrcAt, crc32(p, kCrcAt));
  return s;
}

bool IndexFile::parseHeader(const char* p, Header& h) {
  if (std::memcmp(p, kMagic, 8) != 0 || get32(p + kCrcAt) != crc32(p, kCrcAt)) return false;
  if (get32(p + 8) != kFormatVersion || get32(p + 12) != kPageSize) return false;
  Header r;
  r.generation = get64(p + 16);
  r.keyWidth = get32(p + 24);
  const std::uint32_t exprLength = get32(p + 28);
  r.root = get32(p + 32);
  r.depth = get32(p + 36);
  r.pageCount = get32(p + 40);
  r.entries = get32(p + 44);
  r.tableCount = get32(p + 48);
  const std::uint32_t freeCount = get32(p + 52);
  if (r.keyWidth > static_cast<std::uint32_t>(kMaxKeyWidth) || exprLength > kMaxExpression ||
      freeCount > kMaxFree || r.depth > kMaxDepth || r.pageCount == 0 ||
      r.root >= r.pageCount || (r.root == 0) != (r.depth == 0))
    return false;
  r.expression.assign(p + kExpressionAt, exprLength);
  for (std::uint32_t i = 0; i < freeCount; ++i) {
    const std::uint32_t page = get32(p + kFreeAt + 4 * i);
    if (page == 0 || page >= r.pageCount) return false;
    r.freePages.push_back(page);
  }
  h = std::move(r);
  return true;
}

bool IndexFile::readHeader() {
  std::array<char, 2 * kSlotSize> page0{};
  const auto got = file_.readAt(0, page0.data(), page0.size());
  if (!got) {
    fail(errc::kRead, osCodeOf(file_.error()), "Read error");
    return false;
  }
  // Most of the time nothing changed: the copy we verified last still carries the highest
  // generation. Any write gives its copy a higher one, so then (or when the other copy is
  // damaged into a higher number) both are read properly.
  if (*got == page0.size() && header_.generation != 0) {
    const std::uint64_t mine = get64(page0.data() + currentSlot_ * kSlotSize + 16);
    const std::uint64_t other = get64(page0.data() + (1 - currentSlot_) * kSlotSize + 16);
    if (mine == header_.generation && other < mine &&
        std::memcmp(page0.data() + currentSlot_ * kSlotSize, kMagic, 8) == 0) {
      if (cache_.size() > kCacheLimit) {
        cache_.clear();
        cachedPathValid_ = false;
      }
      return true;
    }
  }
  Header slots[2];
  bool valid[2] = {false, false};
  if (*got == page0.size())
    for (int i = 0; i < 2; ++i) valid[i] = parseHeader(page0.data() + i * kSlotSize, slots[i]);
  if (!valid[0] && !valid[1]) {
    fail(errc::kCorruption, 0, "Corruption detected: index header");
    return false;
  }
  const int slot = (valid[0] && valid[1])
                       ? (slots[1].generation > slots[0].generation ? 1 : 0)
                       : (valid[0] ? 0 : 1);
  if (isOpen() && header_.generation != 0 && slots[slot].keyWidth != header_.keyWidth) {
    fail(errc::kCorruption, 0, "Corruption detected: index key width changed");
    return false;
  }
  header_ = std::move(slots[slot]);
  currentSlot_ = slot;
  if (header_.generation != cacheGeneration_ || cache_.size() > kCacheLimit) {
    cache_.clear();
    cacheGeneration_ = header_.generation;
    cachedPathValid_ = false;
  }
  return true;
}

void IndexFile::fail(int genCode, int osCode, const std::string& description) {
  if (failed_) return;
  failed_ = true;
  raiseTableError(errors_, {genCode, osCode, description, path_, "index"});
}

void IndexFile::Build::addEntry(std::string_view key, std::uint32_t recno) {
  const std::size_t at = entries.size();
  entries.resize(at + static_cast<std::size_t>(keyWidth) + 4, ' ');
  std::memcpy(&entries[at], key.data(), std::min(key.size(), static_cast<std::size_t>(keyWidth)));
  putBig32(&entries[at + static_cast<std::size_t>(keyWidth)], recno);
}

// ---------------------------------------------------------------------------------------------
// Opening and building

bool IndexFile::open(const std::filesystem::path& path) {
  close();
  path_ = path;
  failed_ = false;
  if (!file_.open(path, OsFile::Access::ReadOnlyFallback)) {
    failed_ = true;
    raiseTableError(errors_, {errc::kOpen, osCodeOf(file_.error()), "Open error", path, "index"});
    return false;
  }
  header_ = Header{};
  cacheGeneration_ = 0;
  if (!file_.waitLock(locks::kIndex, 1, OsFile::Lock::Shared)) {
    fail(errc::kRead, osCodeOf(file_.error()), "Lock error");
    file_.close();
    return false;
  }
  const bool ok = readHeader();
  file_.unlock(locks::kIndex, 1);
  if (!ok) file_.close();
  reads_ = 0;
  return ok;
}

void IndexFile::close() {
  view_.unmap();
  file_.close();
  cache_.clear();
  cachedPathValid_ = false;
  private_ = false;
}

void IndexFile::setPrivate(bool isPrivate) {
  if (private_ == isPrivate) return;
  private_ = isPrivate;
  if (isPrivate && isOpen()) {
    // From now on nobody else writes: read the header once more and keep it.
    if (file_.waitLock(locks::kIndex, 1, OsFile::Lock::Shared)) {
      readHeader();
      file_.unlock(locks::kIndex, 1);
    }
  }
}

bool IndexFile::write(ErrorHandler& errors, const std::filesystem::path& path, Build build,
                      Publish publish, bool* published) {
  if (published) *published = false;
  const auto width = static_cast<std::size_t>(build.keyWidth);
  if (build.keyWidth < 0 || build.keyWidth > kMaxKeyWidth ||
      build.expression.size() > kMaxExpression) {
    raiseTableError(errors, {errc::kCreate, 0, "Key too long", path, "index"});
    return false;
  }
  const std::size_t es = width + 4;
  const std::size_t n = build.entries.size() / es;
  const char* flat = build.entries.data();

  // Table order is often key order already (documents numbered as they are appended).
  std::vector<std::uint32_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(i);
  const auto less = [&](std::uint32_t a, std::uint32_t b) {
    return std::memcmp(flat + a * es, flat + b * es, es) < 0;
  };
  if (!std::is_sorted(order.begin(), order.end(), less))
    std::sort(order.begin(), order.end(), less);

  const std::filesystem::path tmp = temporaryBeside(path);
  OsFile out;
  const auto failCreate = [&](int os) {
    raiseTableError(errors, {errc::kCreate, osCodeOf(os), "Create error", path, "index"});
    out.close();
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    return false;
  };
  if (!out.create(tmp)) return failCreate(out.error());

  Header h;
  h.generation = freshGeneration();
  h.keyWidth = static_cast<std::uint32_t>(width);
  h.expression = build.expression;
  h.entries = static_cast<std::uint32_t>(n);
  h.tableCount = build.tableCount;

  std::string buffer;
  std::uint64_t bufferAt = kPageSize;  // file offset of buffer's first byte
  std::uint32_t nextPage = 1;
  bool ioOk = true;
  const auto flush = [&] {
    if (!buffer.empty() && ioOk) ioOk = out.writeAt(bufferAt, buffer.data(), buffer.size());
    bufferAt += buffer.size();
    buffer.clear();
  };
  const auto newPage = [&]() -> char* {
    if (buffer.size() >= (1u << 20)) flush();
    buffer.resize(buffer.size() + kPageSize, '\0');
    ++nextPage;
    return buffer.data() + buffer.size() - kPageSize;
  };

  struct Child {
    std::string high;
    std::uint32_t page;
    std::uint32_t count;
  };
  std::vector<Child> level;
  const std::size_t leafCap = (kPageSize - kPageHeader) / es;
  for (std::size_t i = 0; i < n; i += leafCap) {
    const std::size_t take = std::min(leafCap, n - i);
    const std::uint32_t number = nextPage;
    char* page = newPage();
    setPageHead(page, kLeaf, static_cast<int>(take));
    for (std::size_t k = 0; k < take; ++k)
      std::memcpy(page + kPageHeader + k * es, flat + order[i + k] * es, es);
    level.push_back({std::string(flat + order[i + take - 1] * es, es), number,
                     static_cast<std::uint32_t>(take)});
  }
  h.depth = level.empty() ? 0 : 1;
  const std::size_t bes = width + 12;
  const std::size_t branchCap = (kPageSize - kPageHeader) / bes;
  while (level.size() > 1) {
    std::vector<Child> up;
    for (std::size_t i = 0; i < level.size(); i += branchCap) {
      const std::size_t take = std::min(branchCap, level.size() - i);
      const std::uint32_t number = nextPage;
      char* page = newPage();
      setPageHead(page, kBranch, static_cast<int>(take));
      std::uint32_t total = 0;
      for (std::size_t k = 0; k < take; ++k) {
        const Child& c = level[i + k];
        char* e = page + kPageHeader + k * bes;
        std::memcpy(e, c.high.data(), es);
        put32(e + es, c.page);
        put32(e + es + 4, c.count);
        total += c.count;
      }
      up.push_back({level[i + take - 1].high, number, total});
    }
    level = std::move(up);
    ++h.depth;
  }
  flush();
  h.root = level.empty() ? 0 : level.front().page;
  h.pageCount = nextPage;
  std::string page0 = serializeHeader(h);
  page0.resize(kPageSize, '\0');  // the second copy stays invalid until the first change
  if (ioOk) ioOk = out.writeAt(0, page0.data(), page0.size());
  if (!ioOk) return failCreate(out.error());
  out.close();

  std::error_code ec;
  if (publish == Publish::Replace) {
    std::filesystem::rename(tmp, path, ec);
    if (ec) return failCreate(ec.value());
  } else {
    // link() puts the file in place only when the name is free, in one step, so two stations
    // building a missing index at once end up using the same file.
    if (::link(tmp.c_str(), path.c_str()) != 0) {
      const int e = errno;
      if (e != EEXIST) {
        // A file system without hard links: the short race is the lesser evil.
        if (!std::filesystem::exists(path, ec)) {
          std::filesystem::rename(tmp, path, ec);
          if (ec) return failCreate(ec.value());
          if (published) *published = true;
          return true;
        }
      }
      std::filesystem::remove(tmp, ec);
      return true;
    }
    std::filesystem::remove(tmp, ec);
  }
  if (published) *published = true;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Reading

class IndexFile::ReadScope {
 public:
  explicit ReadScope(IndexFile& f) : f_(f) {
    ok_ = !f.failed_ && f.file_.isOpen();
    if (!ok_) return;
    if (f.private_) {
      if (f.cache_.size() > kCacheLimit) {
        f.cache_.clear();
        f.cachedPathValid_ = false;
      }
      return;
    }
    locked_ = true;
    if (!f.file_.waitLock(locks::kIndex, 1, OsFile::Lock::Shared)) {
      f.fail(errc::kRead, osCodeOf(f.file_.error()), "Lock error");
      ok_ = false;
      return;
    }
    ok_ = f.readHeader();
  }
  ~ReadScope() {
    if (locked_) f_.file_.unlock(locks::kIndex, 1);
  }
  bool ok() const { return ok_; }

 private:
  IndexFile& f_;
  bool ok_ = false;
  bool locked_ = false;
};

bool IndexFile::current() const {
  if (!view_.mapped() || header_.generation == 0 || cacheGeneration_ != header_.generation)
    return false;
  // As readHeader: a change writes the other copy with a higher generation.
  const std::uint64_t mine = view_.le64(currentSlot_ * kSlotSize + 16);
  const std::uint64_t other = view_.le64((1 - currentSlot_) * kSlotSize + 16);
  return mine == header_.generation && other < mine;
}

template <class R, class Op>
R IndexFile::reading(R failed, Op&& op) {
  if (failed_ || !file_.isOpen()) return failed;
  // Page 0 is mapped once the index has been read a few times (mapping and the first look cost
  // as much as a few locked reads); where the file cannot be mapped every read takes the lock.
  if (!private_ && !view_.mapped() && ++reads_ == kReadsBeforeMapping)
    view_.map(file_, 2 * kSlotSize);
  if (!private_ && current()) {
    // Nothing changed since the pages were read: they are the tree. A miss leaves the answer
    // unfinished (and anything remembered on the way true of this tree); it is asked again
    // under the lock.
    cacheOnly_ = true;
    missed_ = false;
    R answer = op();
    cacheOnly_ = false;
    if (!missed_) return answer;
    missed_ = false;
  }
  ReadScope scope(*this);
  if (!scope.ok()) return failed;
  return op();
}

int IndexFile::leafCapacity() const {
  return static_cast<int>((kPageSize - kPageHeader) / leafEntrySize());
}
int IndexFile::branchCapacity() const {
  return static_cast<int>((kPageSize - kPageHeader) / branchEntrySize());
}

const char* IndexFile::page(std::uint32_t number, int ahead) {
  if (failed_) return nullptr;
  if (number == 0 || number >= header_.pageCount) {
    fail(errc::kCorruption, 0, "Corruption detected: index page out of range");
    return nullptr;
  }
  auto it = cache_.find(number);
  if (it != cache_.end()) return it->second.data();
  if (cacheOnly_) {
    missed_ = true;
    return nullptr;
  }
  // The pages around are read under the same lock and generation; one that is not part of
  // this tree is never looked up before the generation moves and the cache starts afresh.
  std::uint32_t first = number, last = number;
  if (ahead > 1) {
    last = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        header_.pageCount - 1, std::uint64_t{number} + static_cast<std::uint32_t>(ahead - 1)));
  } else if (ahead < -1) {
    const auto back = static_cast<std::uint32_t>(-ahead - 1);
    first = number > back ? number - back : 1;
  }
  std::vector<char> run(std::size_t{last - first + 1} * kPageSize);
  const auto got = file_.readAt(std::uint64_t{first} * kPageSize, run.data(), run.size());
  if (!got) {
    fail(errc::kRead, osCodeOf(file_.error()), "Read error");
    return nullptr;
  }
  if (*got < std::size_t{number - first + 1} * kPageSize) {
    fail(errc::kCorruption, 0, "Corruption detected: index cut short");
    return nullptr;
  }
  const std::size_t whole = *got / kPageSize;
  for (std::size_t i = 0; i < whole; ++i) {
    const auto at = run.begin() + static_cast<long>(i * kPageSize);
    cache_.try_emplace(first + static_cast<std::uint32_t>(i), at, at + kPageSize);
  }
  return cache_.find(number)->second.data();
}

const char* IndexFile::checkedPage(std::uint32_t number, bool leaf, int ahead) {
  const char* p = page(number, ahead);
  if (!p) return nullptr;
  const int n = pageCount(p);
  const int cap = leaf ? leafCapacity() : branchCapacity();
  if (p[0] != (leaf ? kLeaf : kBranch) || n < 1 || n > cap) {
    fail(errc::kCorruption, 0, "Corruption detected: index page");
    return nullptr;
  }
  return p;
}

bool IndexFile::descend(const std::function<bool(const char*)>& below, Path& path) {
  path.clear();
  if (header_.root == 0) return false;
  std::uint32_t number = header_.root;
  for (std::uint32_t level = 0; level < header_.depth; ++level) {
    const bool leaf = level + 1 == header_.depth;
    const char* p = checkedPage(number, leaf);
    if (!p) return false;
    const int n = pageCount(p);
    const std::size_t es = leaf ? leafEntrySize() : branchEntrySize();
    int lo = 0, hi = n;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (below(p + kPageHeader + mid * es))
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == n) {
      if (!leaf) return false;  // beyond every entry
      path.push_back({number, n - 1});
      return advance(path);
    }
    path.push_back({number, lo});
    if (!leaf) number = get32(p + kPageHeader + lo * es + leafEntrySize());
  }
  return true;
}

bool IndexFile::descendEdge(std::uint32_t number, std::size_t level, bool leftmost, Path& path,
                            int ahead) {
  for (; level < header_.depth; ++level) {
    const bool leaf = level + 1 == header_.depth;
    const char* p = checkedPage(number, leaf, leaf ? ahead : 0);
    if (!p) return false;
    const int slot = leftmost ? 0 : pageCount(p) - 1;
    path.push_back({number, slot});
    if (!leaf) number = get32(p + kPageHeader + slot * branchEntrySize() + leafEntrySize());
  }
  return true;
}

bool IndexFile::advance(Path& path) {
  for (std::size_t l = path.size(); l-- > 0;) {
    const char* p = checkedPage(path[l].page, l + 1 == header_.depth);
    if (!p) return false;
    if (path[l].slot + 1 < pageCount(p)) {
      ++path[l].slot;
      if (l + 1 == path.size()) return true;
      const std::uint32_t child =
          get32(p + kPageHeader + path[l].slot * branchEntrySize() + leafEntrySize());
      path.resize(l + 1);
      return descendEdge(child, l + 1, true, path, kWalkAhead);
    }
  }
  return false;
}

bool IndexFile::retreat(Path& path) {
  for (std::size_t l = path.size(); l-- > 0;) {
    if (path[l].slot > 0) {
      --path[l].slot;
      if (l + 1 == path.size()) return true;
      const char* p = checkedPage(path[l].page, false);
      if (!p) return false;
      const std::uint32_t child =
          get32(p + kPageHeader + path[l].slot * branchEntrySize() + leafEntrySize());
      path.resize(l + 1);
      return descendEdge(child, l + 1, false, path, -kWalkAhead);
    }
  }
  return false;
}

IndexEntry IndexFile::entryAt(const Path& path) {
  const char* p = page(path.back().page);
  const char* e = p + kPageHeader + path.back().slot * leafEntrySize();
  return {std::string(e, header_.keyWidth), getBig32(e + header_.keyWidth)};
}

std::uint32_t IndexFile::rankOf(const Path& path) {
  std::uint32_t rank = 0;
  for (std::size_t l = 0; l + 1 < path.size(); ++l) {
    const char* p = page(path[l].page);
    for (int i = 0; i < path[l].slot; ++i)
      rank += get32(p + kPageHeader + i * branchEntrySize() + leafEntrySize() + 4);
  }
  return rank + static_cast<std::uint32_t>(path.back().slot) + 1;
}

bool IndexFile::find(const IndexEntry& entry, Path& path, bool& exact) {
  std::string target = entry.key;
  target.resize(header_.keyWidth, ' ');
  target.resize(header_.keyWidth + 4);
  putBig32(&target[header_.keyWidth], entry.recno);
  const std::size_t n = target.size();
  const bool positioned =
      descend([&](const char* e) { return std::memcmp(e, target.data(), n) < 0; }, path);
  exact = positioned && std::memcmp(page(path.back().page) + kPageHeader +
                                        path.back().slot * leafEntrySize(),
                                    target.data(), n) == 0;
  return positioned;
}

void IndexFile::rememberPath(const Path& path, const IndexEntry& at) {
  cachedPath_ = path;
  cachedEntry_ = at;
  cachedPathGeneration_ = header_.generation;
  cachedPathValid_ = true;
}

std::optional<IndexEntry> IndexFile::first() { return edge(true); }
std::optional<IndexEntry> IndexFile::last() { return edge(false); }

std::optional<IndexEntry> IndexFile::edge(bool leftmost) {
  return reading(std::optional<IndexEntry>(), [&]() -> std::optional<IndexEntry> {
    Path path;
    if (header_.root == 0 || !descendEdge(header_.root, 0, leftmost, path)) return std::nullopt;
    IndexEntry e = entryAt(path);
    rememberPath(path, e);
    return e;
  });
}

std::optional<IndexEntry> IndexFile::lowerBound(std::string_view prefix) {
  return reading(std::optional<IndexEntry>(), [&]() -> std::optional<IndexEntry> {
    const std::size_t n = std::min<std::size_t>(prefix.size(), header_.keyWidth);
    Path path;
    if (!descend([&](const char* e) { return std::memcmp(e, prefix.data(), n) < 0; }, path))
      return std::nullopt;
    IndexEntry e = entryAt(path);
    rememberPath(path, e);
    return e;
  });
}

std::optional<IndexEntry> IndexFile::step(const IndexEntry& from, long n, bool& pastEnd) {
  return reading(std::optional<IndexEntry>(), [&]() -> std::optional<IndexEntry> {
    pastEnd = n >= 0;
    Path path;
    bool exact = false, positioned = false;
    if (cachedPathValid_ && cachedPathGeneration_ == header_.generation && cachedEntry_ == from) {
      path = cachedPath_;
      positioned = exact = true;
    } else {
      positioned = find(from, path, exact);
      if (failed_ || missed_) return std::nullopt;
    }
    if (n > 0) {
      if (!positioned) return std::nullopt;
      for (long k = exact ? n : n - 1; k > 0; --k)
        if (!advance(path)) return std::nullopt;
    } else if (n < 0) {
      long k = -n;
      if (!positioned) {
        // `from` lies beyond every entry: the last entry is the first step back.
        path.clear();
        if (header_.root == 0 || !descendEdge(header_.root, 0, false, path)) return std::nullopt;
        --k;
      }
      for (; k > 0; --k)
        if (!retreat(path)) return std::nullopt;
    } else if (!positioned) {
      return std::nullopt;
    }
    if (failed_ || missed_) return std::nullopt;
    IndexEntry e = entryAt(path);
    rememberPath(path, e);
    return e;
  });
}

std::uint32_t IndexFile::position(const IndexEntry& entry) {
  return reading(std::uint32_t{0}, [&]() -> std::uint32_t {
    if (cachedPathValid_ && cachedPathGeneration_ == header_.generation && cachedEntry_ == entry)
      return rankOf(cachedPath_);
    Path path;
    bool exact = false;
    find(entry, path, exact);
    return exact && !failed_ && !missed_ ? rankOf(path) : 0;
  });
}

std::uint32_t IndexFile::entryCount() {
  return reading(std::uint32_t{0}, [&] { return header_.entries; });
}

std::uint32_t IndexFile::coveredCount() {
  return reading(std::uint32_t{0}, [&] { return header_.tableCount; });
}

// ---------------------------------------------------------------------------------------------
// Changing

// One change of the tree: pages on the changed paths are written as new pages (pages this
// change made itself are reused), the pages they replace are freed for later changes, and the
// header that makes it all current is written last.
class IndexFile::Change {
 public:
  explicit Change(IndexFile& f) : h_(f.header_), f_(f) {}

  enum class Outcome { Failed, Unchanged, Changed };

  Outcome insert(const char* entry) {
    if (h_.root == 0) {
      const std::uint32_t number = allocate();
      char* p = fresh_[number].data();
      setPageHead(p, kLeaf, 1);
      std::memcpy(p + kPageHeader, entry, les());
      h_.root = number;
      h_.depth = 1;
      ++h_.entries;
      return Outcome::Changed;
    }
    Node left;
    std::optional<Node> right;
    const Outcome o = insertInto(h_.root, 0, entry, left, right);
    if (o != Outcome::Changed) return o;
    if (right) {
      const std::uint32_t number = allocate();
      std::string items;
      appendBranch(items, left);
      appendBranch(items, *right);
      writeNode(number, false, items, 2);
      h_.root = number;
      ++h_.depth;
    } else {
      h_.root = left.page;
    }
    ++h_.entries;
    return Outcome::Changed;
  }

  Outcome erase(const char* entry) {
    if (h_.root == 0) return Outcome::Unchanged;
    Node out;
    const Outcome o = eraseFrom(h_.root, 0, entry, out);
    if (o != Outcome::Changed) return o;
    if (out.count == 0) {
      h_.root = 0;
      h_.depth = 0;
    } else {
      h_.root = out.page;
      while (h_.depth > 1) {
        const char* p = read(h_.root, false);
        if (!p) return Outcome::Failed;
        if (pageCount(p) != 1) break;
        const std::uint32_t old = h_.root;
        h_.root = get32(p + kPageHeader + les());
        release(old);
        --h_.depth;
      }
    }
    --h_.entries;
    return Outcome::Changed;
  }

  bool commit() {
    h_.generation = f_.header_.generation + 1;
    for (std::uint32_t page : freed_)
      if (h_.freePages.size() < kMaxFree) h_.freePages.push_back(page);
    // else: the page stays unused until the index is next rebuilt.
    std::map<std::uint32_t, std::vector<char>*> ordered;
    for (auto& [number, data] : fresh_) ordered.emplace(number, &data);
    for (const auto& [number, data] : ordered)
      if (!f_.file_.writeAt(std::uint64_t{number} * kPageSize, data->data(), kPageSize)) {
        f_.fail(errc::kWrite, osCodeOf(f_.file_.error()), "Write error");
        return false;
      }
    const int slot = 1 - f_.currentSlot_;
    const std::string header = serializeHeader(h_);
    if (!f_.file_.writeAt(slot * kSlotSize, header.data(), header.size())) {
      f_.fail(errc::kWrite, osCodeOf(f_.file_.error()), "Write error");
      return false;
    }
    f_.currentSlot_ = slot;
    f_.header_ = h_;
    for (std::uint32_t page : freed_) f_.cache_.erase(page);
    for (auto& [number, data] : fresh_) f_.cache_.insert_or_assign(number, std::move(data));
    f_.cacheGeneration_ = h_.generation;
    f_.cachedPathValid_ = false;
    return true;
  }

  Header h_;

 private:
  struct Node {
    std::uint32_t page = 0;
    std::uint32_t count = 0;
    std::string high;  // key and record number of the last entry below
  };

  std::size_t les() const { return h_.keyWidth + 4; }
  std::size_t bes() const { return h_.keyWidth + 12; }

  const char* read(std::uint32_t number, bool leaf) {
    auto it = fresh_.find(number);
    return it != fresh_.end() ? it->second.data() : f_.checkedPage(number, leaf);
  }

  std::uint32_t allocate() {
    std::uint32_t number;
    if (!h_.freePages.empty()) {
      number = h_.freePages.back();
      h_.freePages.pop_back();
    } else {
      number = h_.pageCount++;
    }
    fresh_[number].assign(kPageSize, '\0');
    return number;
  }

  // The page to write a changed node into: the node itself when this change made it.
  std::uint32_t placeFor(std::uint32_t number) {
    if (fresh_.count(number)) return number;
    freed_.push_back(number);
    return allocate();
  }

  void release(std::uint32_t number) {
    if (fresh_.erase(number))
      h_.freePages.push_back(number);
    else
      freed_.push_back(number);
  }

  void appendBranch(std::string& items, const Node& n) {
    const std::size_t at = items.size();
    items.resize(at + bes());
    std::memcpy(&items[at], n.high.data(), les());
    put32(&items[at + les()], n.page);
    put32(&items[at + les() + 4], n.count);
  }

  void writeNode(std::uint32_t number, bool leaf, const std::string& items, int n) {
    char* p = fresh_[number].data();
    setPageHead(p, leaf ? kLeaf : kBranch, n);
    std::memcpy(p + kPageHeader, items.data(), items.size());
  }

  Node describe(std::uint32_t number, bool leaf, const std::string& items, int n) {
    Node node;
    node.page = number;
    const std::size_t es = leaf ? les() : bes();
    node.high.assign(items.data() + (n - 1) * es, les());
    if (leaf) {
      node.count = static_cast<std::uint32_t>(n);
    } else {
      for (int i = 0; i < n; ++i) node.count += get32(items.data() + i * es + les() + 4);
    }
    return node;
  }

  // Where `entry` goes among n entries of size es (its first les() bytes are compared).
  int lowerSlot(const char* items, int n, std::size_t es, const char* entry) {
    int lo = 0, hi = n;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (std::memcmp(items + mid * es, entry, les()) < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }

  Outcome insertInto(std::uint32_t number, std::uint32_t level, const char* entry, Node& left,
                     std::optional<Node>& right) {
    const bool leaf = level + 1 == h_.depth;
    const char* p = read(number, leaf);
    if (!p) return Outcome::Failed;
    int n = pageCount(p);
    const std::size_t es = leaf ? les() : bes();
    std::string items(p + kPageHeader, n * es);
    int inserted;
    if (leaf) {
      inserted = lowerSlot(items.data(), n, es, entry);
      if (inserted < n && std::memcmp(items.data() + inserted * es, entry, es) == 0)
        return Outcome::Unchanged;
      items.insert(inserted * es, entry, es);
      ++n;
    } else {
      int i = lowerSlot(items.data(), n, es, entry);
      if (i == n) i = n - 1;
      Node childLeft;
      std::optional<Node> childRight;
      const Outcome o =
          insertInto(get32(items.data() + i * es + les()), level + 1, entry, childLeft, childRight);
      if (o != Outcome::Changed) return o;
      std::string replacement;
      appendBranch(replacement, childLeft);
      items.replace(i * es, es, replacement);
      inserted = i;
      if (childRight) {
        std::string extra;
        appendBranch(extra, *childRight);
        items.insert((i + 1) * es, extra);
        inserted = i + 1;
        ++n;
      }
    }
    const int cap = static_cast<int>((kPageSize - kPageHeader) / es);
    const std::uint32_t target = placeFor(number);
    if (n <= cap) {
      writeNode(target, leaf, items, n);
      left = describe(target, leaf, items, n);
      right.reset();
      return Outcome::Changed;
    }
    // Full: split in the middle, except that an entry added at the end of a page starts the
    // next page on its own, so keys that arrive in order leave full pages behind.
    const int split = inserted == n - 1 ? n - 1 : n / 2;
    const std::string leftItems = items.substr(0, split * es);
    const std::string rightItems = items.substr(split * es);
    writeNode(target, leaf, leftItems, split);
    left = describe(target, leaf, leftItems, split);
    const std::uint32_t other = allocate();
    writeNode(other, leaf, rightItems, n - split);
    right = describe(other, leaf, rightItems, n - split);
    return Outcome::Changed;
  }

  Outcome eraseFrom(std::uint32_t number, std::uint32_t level, const char* entry, Node& out) {
    const bool leaf = level + 1 == h_.depth;
    const char* p = read(number, leaf);
    if (!p) return Outcome::Failed;
    int n = pageCount(p);
    const std::size_t es = leaf ? les() : bes();
    std::string items(p + kPageHeader, n * es);
    const int i = lowerSlot(items.data(), n, es, entry);
    if (i == n) return Outcome::Unchanged;
    if (leaf) {
      if (std::memcmp(items.data() + i * es, entry, es) != 0) return Outcome::Unchanged;
      items.erase(i * es, es);
      --n;
    } else {
      Node child;
      const Outcome o = eraseFrom(get32(items.data() + i * es + les()), level + 1, entry, child);
      if (o != Outcome::Changed) return o;
      if (child.count == 0) {
        items.erase(i * es, es);
        --n;
      } else {
        std::string replacement;
        appendBranch(replacement, child);
        items.replace(i * es, es, replacement);
      }
    }
    if (n == 0) {
      release(number);
      out = Node{};
      return Outcome::Changed;
    }
    const std::uint32_t target = placeFor(number);
    writeNode(target, leaf, items, n);
    out = describe(target, leaf, items, n);
    return Outcome::Changed;
  }

  IndexFile& f_;
  std::unordered_map<std::uint32_t, std::vector<char>> fresh_;
  std::vector<std::uint32_t> freed_;
};

bool IndexFile::change(const std::function<bool(Change&)>& work, std::uint32_t tableCount,
                       const KeyOf& keyOf) {
  if (failed_ || !file_.isOpen()) return false;
  if (file_.readOnly()) {
    fail(errc::kWrite, oserr::kAccessDenied, "Write error");
    return false;
  }
  const bool lock = !private_;
  if (lock && !file_.waitLock(locks::kIndex, 1, OsFile::Lock::Exclusive)) {
    fail(errc::kWrite, osCodeOf(file_.error()), "Lock error");
    return false;
  }
  bool ok = !lock || readHeader();
  if (ok) {
    Change c(*this);
    // Records appended beyond what the index covers come first, in record order.
    if (keyOf) {
      std::string key, entry;
      for (std::uint32_t r = c.h_.tableCount + 1; ok && r <= tableCount; ++r) {
        ok = keyOf(r, key);
        if (!ok) break;
        entry = key;
        entry.resize(header_.keyWidth, ' ');
        entry.resize(header_.keyWidth + 4);
        putBig32(&entry[header_.keyWidth], r);
        ok = c.insert(entry.data()) != Change::Outcome::Failed;
      }
      if (ok && tableCount > c.h_.tableCount) c.h_.tableCount = tableCount;
    }
    ok = ok && work(c) && c.commit();
  }
  if (lock) file_.unlock(locks::kIndex, 1);
  return ok;
}

namespace {
std::string packEntry(const IndexEntry& e, std::uint32_t width) {
  std::string s = e.key;
  s.resize(width, ' ');
  s.resize(width + 4);
  putBig32(&s[width], e.recno);
  return s;
}
}  // namespace

bool IndexFile::insert(const IndexEntry& entry, std::uint32_t tableCount, const KeyOf& keyOf) {
  return change(
      [&](Change& c) {
        return c.insert(packEntry(entry, header_.keyWidth).data()) != Change::Outcome::Failed;
      },
      tableCount, keyOf);
}

bool IndexFile::replace(const IndexEntry& before, const IndexEntry& after,
                        std::uint32_t tableCount, const KeyOf& keyOf) {
  return change(
      [&](Change& c) {
        const std::string b = packEntry(before, header_.keyWidth);
        const std::string a = packEntry(after, header_.keyWidth);
        if (a == b) return true;
        // A missing `before` (the record was never indexed under it) still gets its new key.
        return c.erase(b.data()) != Change::Outcome::Failed &&
               c.insert(a.data()) != Change::Outcome::Failed;
      },
      tableCount, keyOf);
}

bool IndexFile::catchUp(std::uint32_t tableCount, const KeyOf& keyOf) {
  if (failed_ || !file_.isOpen()) return false;
  if (coveredCount() >= tableCount && !failed_) return true;
  return change([](Change&) { return true; }, tableCount, keyOf);
}

}  // namespace blend
