#include "dbf_table.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

#include "data/text_util.h"
#include "dbf_field.h"
#include "lock_ranges.h"
#include "table_errors.h"

namespace blend {
namespace {

constexpr char kEndOfFile = '\x1A';
constexpr std::size_t kScanChunk = 1 << 20;

Date todayLocal() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::uint32_t readCount(const char* bytes) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[i]);
  return v;
}

// Opens `path` to be written anew: created when missing, emptied only when no station has it
// open. The exclusive open-mode lock taken here keeps others out until the file is closed.
enum class Fresh { Ok, InUse, Failed };
Fresh openFresh(OsFile& file, const std::filesystem::path& path) {
  if (!file.openOrCreate(path)) return Fresh::Failed;
  switch (file.tryLock(locks::kOpen, 1, OsFile::Lock::Exclusive)) {
    case OsFile::LockResult::Held:
      return Fresh::InUse;
    case OsFile::LockResult::Failed:
      return Fresh::Failed;
    case OsFile::LockResult::Granted:
      break;
  }
  return file.truncate(0) ? Fresh::Ok : Fresh::Failed;
}

int osCodeOf(Fresh fresh, const OsFile& file) {
  return fresh == Fresh::InUse ? oserr::kSharingViolation : blend::osCodeOf(file.error());
}

// A change mark no station has written before: a random start drawn once per process (again in
// a forked child), counted on from there. Two stations would need starts within a few billion of
// each other out of 2^64 for their marks ever to meet.
std::atomic<std::uint64_t> lastMark{0};  // 0: no start drawn yet

std::uint64_t freshChangeMark() {
  static const int forkHandler =
      ::pthread_atfork(nullptr, nullptr, [] { lastMark.store(0, std::memory_order_relaxed); });
  (void)forkHandler;
  std::uint64_t mark = lastMark.load(std::memory_order_relaxed);
  for (;;) {
    if (mark == 0 || mark == UINT64_MAX) {  // never 0, which new files hold
      std::random_device random;
      const std::uint64_t start = std::uint64_t{random()} << 32 ^ random();
      if (start != 0 && lastMark.compare_exchange_strong(mark, start)) mark = start;
      continue;
    }
    if (lastMark.compare_exchange_weak(mark, mark + 1)) return mark + 1;
  }
}

}  // namespace

Table::Table(ErrorHandler& errors, KeyCompiler keys) : errors_(errors), keys_(std::move(keys)) {}

Table::~Table() { close(); }

// ---------------------------------------------------------------------------------------------
// Creating, opening, closing

bool Table::create(ErrorHandler& errors, const std::filesystem::path& path,
                   const std::vector<FieldDef>& fields) {
  DbfHeader header;
  std::string why;
  if (!layoutFields(fields, header, why)) {
    raiseTableError(errors, {errc::kCreate, 0, "Create error: " + why, path, "create"});
    return false;
  }
  header.lastUpdate = todayLocal();
  std::string bytes = serializeDbfHeader(header);
  bytes += kEndOfFile;
  for (;;) {
    OsFile file;
    const Fresh fresh = openFresh(file, path);
    if (fresh == Fresh::Ok && file.writeAt(0, bytes.data(), bytes.size())) return true;
    if (!raiseTableError(errors, {errc::kCreate, osCodeOf(fresh, file), "Create error", path,
                                  "create", true}))
      return false;
  }
}

bool Table::open(const std::filesystem::path& path, OpenMode mode) {
  close();
  for (;;) {
    bool retry = false;
    if (openOnce(path, mode, retry)) break;
    file_.close();
    if (!retry) return false;
  }
  path_ = path;
  mode_ = mode;
  blank_.assign(header_.recordLength, ' ');
  record_ = blank_;
  lockedRecno_ = 0;
  order_ = 0;
  goTop();
  return true;
}

bool Table::openOnce(const std::filesystem::path& path, OpenMode mode, bool& retry) {
  const auto report = [&](int genCode, int osCode, std::string text, bool canDefault) {
    retry = raiseTableError(errors_, {genCode, osCode, std::move(text), path, "open", true,
                                      canDefault});
    return false;
  };
  if (!file_.open(path, OsFile::Access::ReadOnlyFallback))
    return report(errc::kOpen, osCodeOf(file_.error()), "Open error", true);
  if (file_.readOnly() && mode == OpenMode::Exclusive)
    return report(errc::kOpen, oserr::kAccessDenied, "Open error: the file is read-only", false);

  const auto lock = file_.tryLock(locks::kOpen, 1,
                                  mode == OpenMode::Exclusive ? OsFile::Lock::Exclusive
                                                              : OsFile::Lock::Shared);
  if (lock == OsFile::LockResult::Held)
    return report(errc::kOpen, oserr::kSharingViolation, "Open error", true);
  if (lock == OsFile::LockResult::Failed)
    return report(errc::kOpen, osCodeOf(file_.error()), "Open error: lock", false);

  const auto corrupt = [&](const std::string& why) {
    return report(errc::kCorruption, 0, "Corruption detected: " + why, true);
  };
  char fixed[DbfHeader::kFixedSize];
  const auto got = file_.readAt(0, fixed, sizeof fixed);
  if (!got) return report(errc::kRead, osCodeOf(file_.error()), "Read error", true);
  if (*got < sizeof fixed) return corrupt("the file is shorter than a table header");
  const std::uint16_t headerLength = statedHeaderLength({fixed, sizeof fixed});
  std::string bytes(headerLength, '\0');
  const auto gotHeader = file_.readAt(0, bytes.data(), bytes.size());
  if (!gotHeader) return report(errc::kRead, osCodeOf(file_.error()), "Read error", true);
  bytes.resize(*gotHeader);
  std::string why;
  if (headerLength < DbfHeader::kFixedSize || !parseDbfHeader(bytes, header_, why))
    return corrupt(why.empty() ? "bad header length" : why);
  count_ = header_.count;
  mode_ = mode;
  forgetBlock();
  looks_ = 0;
  refreshCount(true);
  return true;
}

void Table::close() {
  forgetBlock();
  if (!file_.isOpen()) return;
  flush();
  relations_.clear();
  unlockRecords();
  detachIndex();
  head_.unmap();
  file_.close();  // releases the open-mode lock with the file description
  count_ = 0;
  recno_ = 1;
  eof_ = true;
  bof_ = found_ = false;
  blank_.assign(1, ' ');
  record_ = blank_;
}

bool Table::requireOpen(const char* operation) {
  if (file_.isOpen()) return true;
  raiseTableError(errors_, {errc::kNoAlias, 0, "Work area not in use", path_, operation});
  return false;
}

// ---------------------------------------------------------------------------------------------
// Records on disk

void Table::refreshCount(bool checkSize) {
  if (!file_.isOpen()) return;
  std::uint32_t count = count_;
  if (mode_ == OpenMode::Shared) {
    // The count and the change mark together: when either moved, another station appended or
    // wrote, and the block may no longer be what the file holds.
    std::uint32_t stated = 0;
    std::uint64_t mark = 0;
    bool known = true;
    // A table that is opened, searched and closed reads the header; one that goes on moving maps
    // it (mapping and the first look cost as much as a few reads). Where the file cannot be
    // mapped it is read on every move.
    if (!head_.mapped() && ++looks_ == kLooksBeforeMapping) head_.map(file_, DbfHeader::kFixedSize);
    if (head_.mapped()) {
      stated = head_.le32(kCountOffset);
      mark = head_.le64(kChangeMarkOffset);
    } else {
      char bytes[kChangeMarkOffset + 8 - kCountOffset];
      const auto got = file_.readAt(kCountOffset, bytes, sizeof bytes);
      known = got && *got == sizeof bytes;
      if (known) {
        stated = readCount(bytes);
        mark = std::uint64_t{readCount(bytes + kChangeMarkOffset + 4 - kCountOffset)} << 32 |
               readCount(bytes + kChangeMarkOffset - kCountOffset);
      }
    }
    if (!known || stated != seenCount_ || mark != seenMark_) {
      forgetBlock();
      seenCount_ = stated;
      seenMark_ = mark;
    }
    if (known) count = stated;
  } else if (checkSize) {
    char bytes[4];
    const auto got = file_.readAt(kCountOffset, bytes, 4);
    if (got && *got == 4) count = readCount(bytes);
  }
  if (checkSize || count > count_) {
    // Never believe a count the file does not hold (another writer died half-way, or a foreign
    // tool wrote a short file).
    if (const auto size = file_.size()) {
      const std::uint64_t room = *size > header_.headerLength
                                     ? (*size - header_.headerLength) / header_.recordLength
                                     : 0;
      count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, room));
    }
  }
  count_ = count;
}

bool Table::readRecord(std::uint32_t recno, std::string& into) {
  into.resize(header_.recordLength);
  const std::uint64_t at =
      header_.headerLength + std::uint64_t{recno - 1} * header_.recordLength;
  const auto got = file_.readAt(at, into.data(), into.size());
  if (!got) {
    raiseTableError(errors_, {errc::kRead, osCodeOf(file_.error()), "Read error", path_, "read"});
    into = blank_;
    return false;
  }
  if (*got < into.size()) std::fill(into.begin() + static_cast<long>(*got), into.end(), ' ');
  return true;
}

bool Table::readBlock(std::uint32_t first, std::uint32_t n) {
  forgetBlock();
  const std::size_t rl = header_.recordLength;
  block_.resize(std::size_t{n} * rl);
  const auto got = file_.readAt(header_.headerLength + std::uint64_t{first - 1} * rl,
                                block_.data(), block_.size());
  if (!got) return false;  // the single read that follows reports it
  blockFirst_ = first;
  blockCount_ = static_cast<std::uint32_t>(*got / rl);
  return blockCount_ > 0;
}

// A record for a move; `step` is how far it lies from the record the move started on (0: the
// same one, or the move started on the blank record). From the block when it holds the record.
// Otherwise a move to a record near the last one reads a block onwards in the direction of
// travel, so that a walk in record order, or in an index order that follows the records, reads
// the file a block at a time; a move to a far record reads the record alone.
bool Table::fetchRecord(std::uint32_t recno, std::string& into, long step) {
  const std::size_t rl = header_.recordLength;
  if (recno >= blockFirst_ && recno - blockFirst_ < blockCount_) {
    into.assign(block_, std::size_t{recno - blockFirst_} * rl, rl);
    return true;
  }
  const auto perBlock = static_cast<std::uint32_t>(std::max<std::size_t>(1, kBlockBytes / rl));
  if (step != 0 && perBlock > 1 && static_cast<unsigned long>(std::labs(step)) < perBlock &&
      recno <= count_) {
    const std::uint32_t first = step > 0 ? recno : (recno > perBlock ? recno - perBlock + 1 : 1);
    const std::uint32_t last = step > 0 ? std::min(count_, recno + perBlock - 1) : recno;
    if (readBlock(first, last - first + 1) && recno - blockFirst_ < blockCount_) {
      into.assign(block_, std::size_t{recno - blockFirst_} * rl, rl);
      return true;
    }
  }
  return readRecord(recno, into);
}

bool Table::markChanged() {
  const std::uint64_t mark = freshChangeMark();
  char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(mark >> (8 * i) & 0xFF);
  return file_.writeAt(kChangeMarkOffset, bytes, sizeof bytes);
}

void Table::load(std::uint32_t recno) {
  if (recno < 1 || recno > count_) {
    toBlank();
    return;
  }
  fetchRecord(recno, record_, eof_ ? 0 : static_cast<long>(recno) - static_cast<long>(recno_));
  recno_ = recno;
  eof_ = false;
  keyBefore_.reset();
  posKeyValid_ = false;
}

void Table::toBlank() {
  refreshCount();
  record_ = blank_;
  recno_ = count_ + 1;
  eof_ = true;
  keyBefore_.reset();
  posKeyValid_ = false;
}

void Table::moved() {
  if (relating_ || relations_.empty()) return;
  relating_ = true;
  for (Relation& r : relations_) r.child->seek(r.key->key(*this));
  relating_ = false;
}

// ---------------------------------------------------------------------------------------------
// Keys

std::string Table::normalizedKey(std::string key) const {
  if (index_) key.resize(static_cast<std::size_t>(index_->keyWidth()), ' ');
  return key;
}

std::string Table::evalKey() {
  return indexKey_ ? normalizedKey(indexKey_->key(*this)) : std::string();
}

const std::string& Table::positionKey() {
  if (!posKeyValid_) {
    posKey_ = evalKey();
    posKeyValid_ = true;
  }
  return posKey_;
}

bool Table::keyOfRecord(std::uint32_t recno, std::string& key) {
  // Evaluated with the record loaded as the current one; everything about the real current
  // record (including changes not yet written) comes back afterwards.
  std::string saved;
  saved.swap(record_);
  const std::uint32_t savedRecno = recno_;
  const bool savedEof = eof_;
  // Shared, these are records another station may have appended a moment ago: from the file.
  // Exclusive, they come in record order, a block at a time.
  const bool ok = exclusive() ? fetchRecord(recno, record_, 1) : readRecord(recno, record_);
  recno_ = recno;
  eof_ = false;
  if (ok) key = evalKey();
  record_.swap(saved);
  recno_ = savedRecno;
  eof_ = savedEof;
  return ok;
}

IndexFile::KeyOf Table::keyOf() {
  return [this](std::uint32_t recno, std::string& key) { return keyOfRecord(recno, key); };
}

bool Table::writeIndex(const std::filesystem::path& indexPath, std::string_view keyText,
                       IndexFile::Publish publish) {
  if (!requireOpen("index")) return false;
  flush();
  if (!keys_) {
    raiseTableError(errors_, {errc::kCreate, 0, "No key compiler", indexPath, "index"});
    return false;
  }
  std::unique_ptr<KeyExpression> key = keys_(keyText, *this);
  if (!key) return false;
  refreshCount();

  std::string saved;
  saved.swap(record_);
  const std::uint32_t savedRecno = recno_;
  const bool savedEof = eof_, savedBof = bof_;
  const auto restore = [&] {
    record_.swap(saved);
    recno_ = savedRecno;
    eof_ = savedEof;
    bof_ = savedBof;
  };

  // The key width is the width of the key of the blank record; a key whose blank value is
  // empty (a trimmed text) takes the widest key of the records.
  record_ = blank_;
  recno_ = count_ + 1;
  eof_ = true;
  std::size_t width = key->key(*this).size();
  const auto scan = [&](auto&& visit) {
    std::string chunk;
    const std::uint32_t perChunk =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(kScanChunk / header_.recordLength));
    for (std::uint32_t first = 1; first <= count_; first += perChunk) {
      const std::uint32_t n = std::min(perChunk, count_ - first + 1);
      chunk.resize(std::size_t{n} * header_.recordLength);
      const auto got = file_.readAt(
          header_.headerLength + std::uint64_t{first - 1} * header_.recordLength, chunk.data(),
          chunk.size());
      if (!got) {
        raiseTableError(errors_,
                        {errc::kRead, osCodeOf(file_.error()), "Read error", path_, "index"});
        return false;
      }
      if (*got < chunk.size()) std::fill(chunk.begin() + static_cast<long>(*got), chunk.end(), ' ');
      eof_ = false;
      for (std::uint32_t i = 0; i < n; ++i) {
        record_.assign(chunk, std::size_t{i} * header_.recordLength, header_.recordLength);
        recno_ = first + i;
        visit(key->key(*this));
      }
    }
    return true;
  };
  if (width == 0 && !scan([&](const std::string& k) { width = std::max(width, k.size()); })) {
    restore();
    return false;
  }
  if (width > static_cast<std::size_t>(IndexFile::kMaxKeyWidth)) {
    restore();
    raiseTableError(errors_, {errc::kCreate, 0, "Key too long", indexPath, "index"});
    return false;
  }
  IndexFile::Build build;
  build.expression = std::string(keyText);
  build.keyWidth = static_cast<int>(width);
  build.tableCount = count_;
  build.entries.reserve(std::size_t{count_} * (width + 4));
  const bool scanned = scan([&](const std::string& k) { build.addEntry(k, recno_); });
  restore();
  return scanned && IndexFile::write(errors_, indexPath, std::move(build), publish);
}

bool Table::buildIndex(const std::filesystem::path& indexPath, std::string_view keyText) {
  // Attached to this very file: let go of it first so the new one is the one attached later.
  if (index_ && index_->path() == indexPath) detachIndex();
  return writeIndex(indexPath, keyText, IndexFile::Publish::Replace);
}

bool Table::buildIndexIfAbsent(const std::filesystem::path& indexPath, std::string_view keyText) {
  return writeIndex(indexPath, keyText, IndexFile::Publish::IfAbsent);
}

bool Table::attachIndex(const std::filesystem::path& indexPath) {
  if (!requireOpen("index")) return false;
  flush();
  detachIndex();
  auto index = std::make_unique<IndexFile>(errors_);
  if (!index->open(indexPath)) return false;
  if (!keys_) {
    raiseTableError(errors_, {errc::kOpen, 0, "No key compiler", indexPath, "index"});
    return false;
  }
  std::unique_ptr<KeyExpression> key = keys_(index->expression(), *this);
  if (!key) return false;
  index->setPrivate(exclusive());
  index_ = std::move(index);
  indexKey_ = std::move(key);
  order_ = 1;
  refreshCount();
  if (!file_.readOnly()) index_->catchUp(count_, keyOf());
  goTop();
  return true;
}

void Table::detachIndex() {
  flush();
  index_.reset();
  indexKey_.reset();
  order_ = 0;
  posKeyValid_ = false;
}

std::string Table::indexExpression() const { return index_ ? index_->expression() : ""; }

std::filesystem::path Table::indexPath() const {
  return index_ ? index_->path() : std::filesystem::path();
}

void Table::setOrder(int order) {
  flush();
  order_ = (order == 1 && index_) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Positioning

void Table::landOn(const std::optional<IndexEntry>& entry) {
  if (!entry) {
    toBlank();
    return;
  }
  // The index names records that exist: the count is read again only for one we have not
  // seen yet (appended by another station since).
  if (entry->recno > count_) refreshCount();
  load(entry->recno);
  if (eof_) {
    // The index names a record the file no longer holds; show it as blank but keep the place.
    recno_ = entry->recno;
    eof_ = false;
  }
  posKey_ = entry->key;
  posKeyValid_ = true;
}

void Table::goTop() {
  if (!file_.isOpen()) return;
  flush();
  refreshCount();
  bool viaIndex = indexActive();
  if (viaIndex) {
    const auto entry = index_->first();
    viaIndex = !index_->failed();  // a damaged index has been reported: go on in record order
    if (viaIndex) landOn(entry);
  }
  if (!viaIndex) {
    refreshCount();
    load(1);
  }
  bof_ = eof_;  // an empty table is at both ends
  found_ = false;
  moved();
}

void Table::goBottom() {
  if (!file_.isOpen()) return;
  flush();
  refreshCount();
  bool viaIndex = indexActive();
  if (viaIndex) {
    const auto entry = index_->last();
    viaIndex = !index_->failed();  // a damaged index has been reported: go on in record order
    if (viaIndex) landOn(entry);
  }
  if (!viaIndex) {
    refreshCount();
    load(count_);
  }
  bof_ = eof_;
  found_ = false;
  moved();
}

void Table::skip(long n) {
  if (!file_.isOpen()) return;
  flush();
  if (n == 0) {
    // Read the record again: another station may have changed it.
    if (!eof_) {
      std::string fresh;
      if (readRecord(recno_, fresh) && fresh != record_) {
        record_ = std::move(fresh);
        posKeyValid_ = false;
        forgetBlock();
      }
    }
    moved();
    return;
  }
  refreshCount();
  bof_ = false;
  if (n > 0 && eof_) {
    toBlank();
    moved();
    return;
  }
  if (indexActive()) {
    IndexEntry from;
    if (eof_) {
      // From the blank record the steps back start beyond the last key.
      from.key.assign(static_cast<std::size_t>(index_->keyWidth()), '\xFF');
      from.recno = UINT32_MAX;
    } else {
      from = {positionKey(), recno_};
    }
    bool pastEnd = false;
    const auto entry = index_->step(from, n, pastEnd);
    if (entry || pastEnd || index_->failed()) {
      landOn(entry);
    } else {
      landOn(index_->first());
      bof_ = true;
    }
  } else {
    const std::int64_t from = eof_ ? std::int64_t{count_} + 1 : recno_;
    const std::int64_t to = from + n;
    if (to > count_) {
      toBlank();
    } else if (to < 1) {
      load(1);
      bof_ = true;
    } else {
      load(static_cast<std::uint32_t>(to));
    }
  }
  if (eof_ && count_ == 0) bof_ = true;
  moved();
}

void Table::goTo(std::uint32_t recno) {
  if (!file_.isOpen()) return;
  flush();
  refreshCount();
  load(recno);
  bof_ = false;
  moved();
}

bool Table::seek(std::string_view key, bool soft) {
  if (!file_.isOpen()) return false;
  flush();
  refreshCount();
  bof_ = false;
  if (!indexActive()) {
    raiseTableError(errors_, {errc::kArgument, 0, "Work area not indexed", path_, "seek"});
    found_ = false;
    toBlank();
    moved();
    return false;
  }
  const std::string_view prefix = key.substr(0, static_cast<std::size_t>(index_->keyWidth()));
  const auto entry = index_->lowerBound(prefix);
  found_ = entry && std::string_view(entry->key).substr(0, prefix.size()) == prefix;
  landOn(found_ || soft ? entry : std::nullopt);
  moved();
  return found_;
}

std::uint32_t Table::recCount() {
  refreshCount();
  return count_;
}

std::uint32_t Table::keyPosition() {
  if (!file_.isOpen() || eof_) return 0;
  flush();
  if (!indexActive()) return recno_;
  return index_->position({positionKey(), recno_});
}

// ---------------------------------------------------------------------------------------------
// Changes

bool Table::raiseWriteError() {
  raiseTableError(errors_, {errc::kWrite, osCodeOf(file_.error()), "Write error", path_, "write"});
  return false;
}

bool Table::prepareWrite() {
  if (!requireOpen("write")) return false;
  if (eof_) return false;  // the blank record is not in the file
  if (file_.readOnly()) {
    raiseTableError(errors_,
                    {errc::kWrite, oserr::kAccessDenied, "Write error: read-only", path_, "write"});
    return false;
  }
  if (!exclusive() && lockedRecno_ != recno_) {
    raiseTableError(errors_, {errc::kUnlocked, 0, "Lock required", path_, "write"});
    return false;
  }
  if (!dirty_ && index_ && !index_->failed()) keyBefore_ = evalKey();
  return true;
}

bool Table::flush() {
  if (!dirty_) return true;
  dirty_ = false;
  const bool appended = std::exchange(appendPending_, false);
  const std::uint64_t at =
      header_.headerLength + std::uint64_t{recno_ - 1} * header_.recordLength;
  forgetBlock();
  if (!file_.writeAt(at, record_.data(), record_.size())) {
    keyBefore_.reset();
    return raiseWriteError();
  }
  // Shared: a new change mark, after the record, so that a station that sees the mark finds the
  // record too. The index keeps its own generation.
  bool ok = exclusive() || markChanged();
  if (!ok) raiseWriteError();
  if (index_ && keyBefore_) {
    std::string after = evalKey();
    bool indexed = true;
    if (after != *keyBefore_)
      indexed = index_->replace({*keyBefore_, recno_}, {after, recno_}, count_, keyOf());
    else if (appended)
      indexed = index_->catchUp(count_, keyOf());
    posKey_ = std::move(after);
    posKeyValid_ = true;
    keyBefore_.reset();
    ok = indexed && ok;
  }
  return ok;
}

bool Table::commit() { return flush(); }

bool Table::deleteRecord() {
  if (!prepareWrite()) return false;
  record_[0] = '*';
  dirty_ = true;
  return true;
}

bool Table::recall() {
  if (!prepareWrite()) return false;
  record_[0] = ' ';
  dirty_ = true;
  return true;
}

int Table::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < header_.fields.size(); ++i)
    if (equalsIgnoringCase(header_.fields[i].name, name)) return static_cast<int>(i);
  return -1;
}

std::string_view Table::rawField(int index) const {
  const Field& f = header_.fields.at(static_cast<std::size_t>(index));
  return std::string_view(record_).substr(static_cast<std::size_t>(f.offset),
                                          static_cast<std::size_t>(f.width));
}

std::string_view Table::rawField(std::string_view name) const {
  const int i = fieldIndex(name);
  return i < 0 ? std::string_view() : rawField(i);
}

Value Table::field(int index) const {
  return decodeField(header_.fields.at(static_cast<std::size_t>(index)), rawField(index));
}

Value Table::field(std::string_view name) const {
  const int i = fieldIndex(name);
  return i < 0 ? Value() : field(i);
}

bool Table::setField(std::string_view name, const Value& value) {
  const int i = fieldIndex(name);
  if (i < 0) {
    if (requireOpen("write"))
      raiseTableError(errors_, {errc::kNoVariable, 0, "Field does not exist: " + std::string(name),
                                path_, "write"});
    return false;
  }
  return setField(i, value);
}

bool Table::setField(int index, const Value& value) {
  if (index < 0 || static_cast<std::size_t>(index) >= header_.fields.size()) return false;
  const Field& f = header_.fields[static_cast<std::size_t>(index)];
  std::string bytes(static_cast<std::size_t>(f.width), ' ');
  const Encoded result = encodeField(f, value, bytes.data());
  if (result != Encoded::Ok) {
    const bool wide = result == Encoded::TooWide;
    raiseTableError(errors_, {wide ? errc::kDataWidth : errc::kDataType, 0,
                              (wide ? "Data width error: " : "Data type error: ") + f.name, path_,
                              "write"});
    return false;
  }
  if (!prepareWrite()) return false;
  record_.replace(static_cast<std::size_t>(f.offset), bytes.size(), bytes);
  dirty_ = true;
  return true;
}

LockResult Table::lockRecord() {
  if (!requireOpen("lock")) return LockResult::Failed;
  if (eof_) return LockResult::Locked;  // nothing on disk to protect
  if (exclusive()) {
    lockedRecno_ = recno_;
    return LockResult::Locked;
  }
  if (lockedRecno_ == recno_) return LockResult::Locked;
  unlockRecords();
  switch (file_.tryLock(locks::record(recno_), 1, OsFile::Lock::Exclusive)) {
    case OsFile::LockResult::Held:
      return LockResult::Held;
    case OsFile::LockResult::Failed:
      raiseTableError(errors_,
                      {errc::kWrite, osCodeOf(file_.error()), "Lock error", path_, "lock"});
      return LockResult::Failed;
    case OsFile::LockResult::Granted:
      break;
  }
  lockedRecno_ = recno_;
  // What we read before the lock may be stale: the update must start from what is on disk.
  std::string fresh;
  if (readRecord(recno_, fresh) && fresh != record_) {
    record_ = std::move(fresh);
    posKeyValid_ = false;
    forgetBlock();
  }
  return LockResult::Locked;
}

void Table::unlockRecords() {
  flush();
  if (lockedRecno_ != 0 && !exclusive() && file_.isOpen())
    file_.unlock(locks::record(lockedRecno_), 1);
  lockedRecno_ = 0;
}

bool Table::append() {
  if (!requireOpen("append")) return false;
  flush();
  if (file_.readOnly()) {
    raiseTableError(errors_,
                    {errc::kWrite, oserr::kAccessDenied, "Write error: read-only", path_, "append"});
    return false;
  }
  const bool shared = !exclusive();
  const auto busy = [&] {
    raiseTableError(errors_, {errc::kAppendLock, 0, "Append lock failed", path_, "append"});
    return false;
  };
  if (shared) {
    const auto got = file_.tryLock(locks::kAppend, 1, OsFile::Lock::Exclusive);
    if (got == OsFile::LockResult::Held) return busy();
    if (got == OsFile::LockResult::Failed) return raiseWriteError();
  }
  const auto releaseAppendLock = [&] {
    if (shared) file_.unlock(locks::kAppend, 1);
  };
  // Another station may have appended since we last looked.
  refreshCount(true);
  const std::uint32_t recno = count_ + 1;
  unlockRecords();
  if (shared) {
    const auto got = file_.tryLock(locks::record(recno), 1, OsFile::Lock::Exclusive);
    if (got != OsFile::LockResult::Granted) {
      releaseAppendLock();
      return got == OsFile::LockResult::Held ? busy() : raiseWriteError();
    }
  }
  lockedRecno_ = recno;

  // The record and the end mark first, the count last: a reader never counts a record that is
  // not all there.
  std::string bytes = blank_;
  bytes += kEndOfFile;
  const std::uint64_t at = header_.headerLength + std::uint64_t{count_} * header_.recordLength;
  const auto stamp = headerStamp(todayLocal(), recno);
  forgetBlock();
  bool ok = file_.writeAt(at, bytes.data(), bytes.size()) &&
            file_.writeAt(kStampOffset, stamp.data(), stamp.size());
  if (ok) {
    // Bytes a foreign writer left after the end mark would now read as part of the file.
    const auto size = file_.size();
    if (size && *size > at + bytes.size()) ok = file_.truncate(at + bytes.size());
  }
  releaseAppendLock();
  if (!ok) {
    raiseWriteError();
    unlockRecords();
    return false;
  }
  count_ = recno;
  record_ = blank_;
  recno_ = recno;
  eof_ = bof_ = false;
  posKeyValid_ = false;
  // The index learns of the record when it is first written out, in the same change that
  // gives it its key (any station that writes meanwhile adds it with the blank key, which
  // that change then replaces).
  keyBefore_.reset();
  if (index_ && !index_->failed()) keyBefore_ = evalKey();
  dirty_ = true;
  appendPending_ = true;
  moved();
  return true;
}

bool Table::pack() {
  if (!requireOpen("pack")) return false;
  if (!exclusive()) {
    raiseTableError(errors_, {errc::kUnlocked, 0, "Exclusive required", path_, "pack"});
    return false;
  }
  flush();
  unlockRecords();
  refreshCount(true);
  forgetBlock();
  // Kept records move towards the front in place; every write lands at or before the place
  // being read, so one pass is enough.
  const std::size_t rl = header_.recordLength;
  const std::uint32_t perChunk = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(kScanChunk / rl));
  std::string chunk, kept;
  std::uint32_t keptCount = 0;
  std::uint64_t writeAt = header_.headerLength;
  for (std::uint32_t first = 1; first <= count_; first += perChunk) {
    const std::uint32_t n = std::min(perChunk, count_ - first + 1);
    chunk.resize(std::size_t{n} * rl);
    const auto got =
        file_.readAt(header_.headerLength + std::uint64_t{first - 1} * rl, chunk.data(), chunk.size());
    if (!got || *got < chunk.size()) {
      raiseTableError(errors_, {errc::kRead, osCodeOf(file_.error()), "Read error", path_, "pack"});
      return false;
    }
    kept.clear();
    for (std::uint32_t i = 0; i < n; ++i)
      if (chunk[std::size_t{i} * rl] != '*') kept.append(chunk, std::size_t{i} * rl, rl);
    if (!kept.empty() && !file_.writeAt(writeAt, kept.data(), kept.size()))
      return raiseWriteError();
    writeAt += kept.size();
    keptCount += static_cast<std::uint32_t>(kept.size() / rl);
  }
  const char end = kEndOfFile;
  const auto stamp = headerStamp(todayLocal(), keptCount);
  if (!file_.writeAt(writeAt, &end, 1) || !file_.truncate(writeAt + 1) ||
      !file_.writeAt(kStampOffset, stamp.data(), stamp.size()))
    return raiseWriteError();
  count_ = keptCount;
  bool ok = true;
  if (index_) {
    const std::filesystem::path indexPath = index_->path();
    const std::string expression = index_->expression();
    detachIndex();
    ok = buildIndex(indexPath, expression) && attachIndex(indexPath);
  }
  goTop();
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Relations

bool Table::setRelation(Table& child, std::string_view keyText) {
  if (!requireOpen("relation")) return false;
  if (!keys_) return false;
  std::unique_ptr<KeyExpression> key = keys_(keyText, *this);
  if (!key) return false;
  relations_.push_back({&child, std::string(keyText), std::move(key)});
  if (!relating_) {
    relating_ = true;
    child.seek(relations_.back().key->key(*this));
    relating_ = false;
  }
  return true;
}

void Table::clearRelations() { relations_.clear(); }

void Table::dropRelationsTo(const Table* child) {
  std::erase_if(relations_, [child](const Relation& r) { return r.child == child; });
}

std::vector<Table::RelationInfo> Table::relations() const {
  std::vector<RelationInfo> out;
  for (const Relation& r : relations_) out.push_back({r.text, r.child});
  return out;
}

// ---------------------------------------------------------------------------------------------
// Scans

bool Table::locate(const RecordTest& test) {
  if (!requireOpen("locate")) return false;
  for (goTop(); !eof_; skip(1))
    if (test(*this)) {
      found_ = true;
      return true;
    }
  found_ = false;
  return false;
}

void Table::forEach(const RecordTest& test, const RecordAction& action) {
  if (!requireOpen("for each")) return;
  // The order is taken first, so an action that changes a key neither skips nor repeats a
  // record.
  std::vector<std::uint32_t> order;
  for (goTop(); !eof_; skip(1)) order.push_back(recno_);
  for (std::uint32_t recno : order) {
    goTo(recno);
    if (!eof_ && test(*this)) action(*this);
  }
  flush();
  toBlank();
  moved();
}

bool Table::copyOut(const std::filesystem::path& target, const RecordTest& test) {
  if (!requireOpen("copy")) return false;
  DbfHeader header = header_;
  header.version = DbfHeader::kVersion;
  header.languageDriver = DbfHeader::kLanguageThai;
  header.headerLength = static_cast<std::uint16_t>(
      DbfHeader::kFixedSize + DbfHeader::kDescriptorSize * header.fields.size() + 1);
  header.lastUpdate = todayLocal();
  header.count = 0;
  OsFile out;
  std::string bytes = serializeDbfHeader(header);
  std::uint64_t at = 0;
  const Fresh fresh = openFresh(out, target);
  bool ok = fresh == Fresh::Ok;
  const auto put = [&] {
    ok = ok && out.writeAt(at, bytes.data(), bytes.size());
    at += bytes.size();
    bytes.clear();
  };
  put();
  std::uint32_t copied = 0;
  for (goTop(); ok && !eof_; skip(1))
    if (test(*this)) {
      bytes += record_;
      ++copied;
      if (bytes.size() >= kScanChunk) put();
    }
  bytes += kEndOfFile;
  put();
  const auto stamp = headerStamp(header.lastUpdate, copied);
  ok = ok && out.writeAt(kStampOffset, stamp.data(), stamp.size());
  if (!ok)
    raiseTableError(errors_,
                    {errc::kCreate, osCodeOf(fresh, out), "Create error", target, "copy"});
  return ok;
}

bool Table::importLines(const std::filesystem::path& textFile) {
  if (!requireOpen("import")) return false;
  if (header_.fields.empty() || header_.fields[0].type != 'C') {
    raiseTableError(errors_,
                    {errc::kDataType, 0, "Data type error: no character field", path_, "import"});
    return false;
  }
  std::ifstream in(textFile, std::ios::binary);
  if (!in) {
    raiseTableError(errors_, {errc::kOpen, oserr::kFileNotFound, "Open error", textFile, "import"});
    return false;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bool ok = true;
  std::size_t start = 0;
  while (ok && start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ok = append() && setField(0, Value(std::string(line)));
    start = end + 1;
  }
  unlockRecords();
  return ok;
}

}  // namespace blend
