#pragma once
// A table's index file (TABLE.NTX): the keys of every record in ascending byte order, equal keys
// in record-number order, in a B+tree of fixed 4096-byte pages.
//
// Page 0 holds two copies of the header; each write goes to the copy that is not current, with
// a higher generation and a checksum, so a reader always finds one whole header. The tree is
// never changed in place: a change writes new copies of the pages on its path and then the
// header that points at them, so a station killed half-way leaves the previous tree intact.
// The generation is the change counter: a station keeps pages it has read only as long as the
// generation it read them under is current.
//
// Stations read the tree under a shared lock on the index file and change it under an exclusive
// one. A station that has its table exclusively needs neither and keeps its cache throughout.
// Page 0 is also mapped (HeadView): when it shows that the generation our pages were read under
// is still the newest, a read that finds every page it needs among them answers without the lock
// or a system call; a read that needs any other page takes the lock and reads the header afresh.
// Pages are never read without the lock: a later change may reuse a page of the tree we know.
//
// Every entry is the key (exactly the key width) followed by the record number; each subtree
// reference carries its entry count, so the position of a key in the order is found in
// O(log n) too. The header also records how many table records the index covers, so records
// that a station appended without adding them (it was killed, or had no index attached) are
// added by the next station that writes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/error.h"
#include "os_file.h"

namespace blend {

struct IndexEntry {
  std::string key;  // exactly the key width
  std::uint32_t recno = 0;
  friend bool operator==(const IndexEntry&, const IndexEntry&) = default;
};

class IndexFile {
 public:
  static constexpr std::uint32_t kPageSize = 4096;
  static constexpr int kMaxKeyWidth = 250;
  static constexpr std::size_t kMaxExpression = 255;

  explicit IndexFile(ErrorHandler& errors) : errors_(errors) {}

  // Writes a whole index for the given entries (any order) to a new file beside `path` and puts
  // it in place. Replace: an existing file is replaced. IfAbsent: the file is put in place only
  // when none exists yet; when another station got there first, `published` is false and its
  // file stands. False (reported to the handler) when the file cannot be written.
  enum class Publish { Replace, IfAbsent };
  struct Build {
    std::string expression;
    int keyWidth = 0;
    // The entries, each the key (cut or filled with blanks to keyWidth) and the record number
    // in four bytes, most significant first: see addEntry.
    std::string entries;
    std::uint32_t tableCount = 0;

    void addEntry(std::string_view key, std::uint32_t recno);
  };
  static bool write(ErrorHandler& errors, const std::filesystem::path& path, Build build,
                    Publish publish, bool* published = nullptr);

  // Opens an index file and reads its header; false (reported) when it is missing or damaged.
  bool open(const std::filesystem::path& path);
  void close();
  bool isOpen() const { return file_.isOpen(); }
  const std::filesystem::path& path() const { return path_; }

  // With the table open exclusively no other station touches the index: no locks, and the
  // header and pages stay cached.
  void setPrivate(bool isPrivate);

  const std::string& expression() const { return header_.expression; }
  int keyWidth() const { return static_cast<int>(header_.keyWidth); }

  // A damaged tree or a failing read or write was met (and reported); the index is of no further
  // use until it is rebuilt.
  bool failed() const { return failed_; }

  // Reading. Keys given to these are exactly the key width unless said otherwise.
  std::optional<IndexEntry> first();
  std::optional<IndexEntry> last();
  // The first entry whose key, cut to the length of prefix, is not below prefix (prefix no
  // longer than the key width).
  std::optional<IndexEntry> lowerBound(std::string_view prefix);
  // The entry n places after (n > 0) or before (n < 0) `from`. `from` need not be in the index
  // any more (another station changed that record's key): the steps then count from the place
  // it would have. Nothing when the steps leave the index; `pastEnd` tells which end.
  std::optional<IndexEntry> step(const IndexEntry& from, long n, bool& pastEnd);
  // The place of `entry` in the order, from 1; 0 when it is not in the index.
  std::uint32_t position(const IndexEntry& entry);
  std::uint32_t entryCount();
  // How many table records the index covers.
  std::uint32_t coveredCount();

  // Changing. Each is one change of the tree under the exclusive lock; before it, records
  // beyond those covered are added (see catchUp). `keyOf` gives the key of a table record.
  using KeyOf = std::function<bool(std::uint32_t recno, std::string& key)>;
  bool insert(const IndexEntry& entry, std::uint32_t tableCount, const KeyOf& keyOf);
  bool replace(const IndexEntry& before, const IndexEntry& after, std::uint32_t tableCount,
               const KeyOf& keyOf);
  // Adds the records from the covered count + 1 to tableCount.
  bool catchUp(std::uint32_t tableCount, const KeyOf& keyOf);

 private:
  // The first (leftmost) or last entry in key order.
  std::optional<IndexEntry> edge(bool leftmost);
  // Runs a read of the tree: on the cached pages alone while current() holds, else (or when a
  // page is missing) under the lock. `failed` when the index cannot be read.
  template <class R, class Op>
  R reading(R failed, Op&& op);
  // The mapped header shows that no change has been made since we last read it.
  bool current() const;
  struct Header {
    std::uint64_t generation = 0;
    std::uint32_t keyWidth = 0;
    std::string expression;
    std::uint32_t root = 0;  // 0: empty tree
    std::uint32_t depth = 0;
    std::uint32_t pageCount = 1;
    std::uint32_t entries = 0;
    std::uint32_t tableCount = 0;
    std::vector<std::uint32_t> freePages;
  };
  struct Level {
    std::uint32_t page = 0;
    int slot = 0;
  };
  using Path = std::vector<Level>;
  class ReadScope;
  class Change;
  friend class Change;

  static std::string serializeHeader(const Header& h);
  static bool parseHeader(const char* slot, Header& h);
  bool readHeader();
  void fail(int genCode, int osCode, const std::string& description);

  // `ahead`: a page missing from the cache is read together with up to |ahead| - 1 pages after
  // (ahead > 0) or before it, for a walk that will want them next.
  const char* page(std::uint32_t number, int ahead = 0);
  const char* checkedPage(std::uint32_t number, bool leaf, int ahead = 0);
  int leafCapacity() const;
  int branchCapacity() const;
  std::size_t leafEntrySize() const { return header_.keyWidth + 4; }
  std::size_t branchEntrySize() const { return header_.keyWidth + 12; }

  // Positions a path at the first entry for which `below` is false; false at the end.
  bool descend(const std::function<bool(const char* entry)>& below, Path& path);
  bool descendEdge(std::uint32_t page, std::size_t level, bool leftmost, Path& path,
                   int ahead = 0);
  bool advance(Path& path);
  bool retreat(Path& path);
  IndexEntry entryAt(const Path& path);
  std::uint32_t rankOf(const Path& path);
  bool find(const IndexEntry& entry, Path& path, bool& exact);
  bool contains(const IndexEntry& entry);
  void rememberPath(const Path& path, const IndexEntry& at);
  bool change(const std::function<bool(Change&)>& work, std::uint32_t tableCount,
              const KeyOf& keyOf);

  ErrorHandler& errors_;
  OsFile file_;
  std::filesystem::path path_;
  Header header_;
  int currentSlot_ = 0;
  bool private_ = false;
  bool failed_ = false;

  std::unordered_map<std::uint32_t, std::vector<char>> cache_;
  std::uint64_t cacheGeneration_ = 0;
  HeadView view_;           // page 0: the two header copies
  std::uint32_t reads_ = 0;  // reads before the view is mapped
  bool cacheOnly_ = false;  // a read without the lock: a page not in the cache is a miss
  bool missed_ = false;
  Path cachedPath_;
  IndexEntry cachedEntry_;
  std::uint64_t cachedPathGeneration_ = 0;
  bool cachedPathValid_ = false;
};

}  // namespace blend
