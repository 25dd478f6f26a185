#pragma once
// One open dBase III table of one station: its file, the record it is on, the locks it holds,
// its index and the relations that position other tables when it moves.
//
// Several stations (processes, possibly on other machines) may have the same table open. What
// another station may change is kept in memory only together with a way to see the change: a
// shared open maps the file's header (HeadView) and looks at the record count and the change
// mark (kChangeMarkOffset) on every move, which costs no system call (where the file cannot be
// mapped, the header is read on every move instead). Records read in a block serve the moves
// after it only while both stay as they were; every station that writes a record puts a new
// mark after it, so the next move of every other station reads afresh. The index does the same
// with its own generation (IndexFile). A record is always read from the file when it is locked
// and by skip(0). Changes to the current record are kept in its buffer until the table moves,
// commits, unlocks or closes, and are written out (with the index brought in line) before any
// lock that protects them is released.
//
// Errors go to the error handler; the operations return what happened.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/error.h"
#include "data/value.h"
#include "dbf_header.h"
#include "index_file.h"
#include "key_expression.h"
#include "os_file.h"

namespace blend {

enum class OpenMode { Shared, Exclusive };

enum class LockResult {
  Locked,  // the record is this station's
  Held,    // another station holds it
  Failed,  // the lock could not be asked for (reported)
};

class Table {
 public:
  explicit Table(ErrorHandler& errors, KeyCompiler keys = {});
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Writes a new empty table with the given fields, replacing any file of that name. False
  // (reported) for a field list the format cannot hold or a file that cannot be written.
  static bool create(ErrorHandler& errors, const std::filesystem::path& path,
                     const std::vector<FieldDef>& fields);

  // Opens the table and goes to its first record. False when the file is missing, damaged or
  // cannot be opened (all reported), and when another station holds it in a conflicting mode:
  // that is reported as an open error with the sharing-violation code, which the handler turns
  // into the busy outcome.
  bool open(const std::filesystem::path& path, OpenMode mode);
  // Writes out pending changes, releases every lock and closes.
  void close();
  bool isOpen() const { return file_.isOpen(); }
  bool exclusive() const { return mode_ == OpenMode::Exclusive; }
  const std::filesystem::path& path() const { return path_; }
  ErrorHandler& errors() { return errors_; }
  void setKeyCompiler(KeyCompiler keys) { keys_ = std::move(keys); }

  // ----- index
  // Evaluates the key on every record (deleted ones too) and writes the index file, replacing
  // any existing one. Does not attach it.
  bool buildIndex(const std::filesystem::path& indexPath, std::string_view keyText);
  // The same, but an index file that appeared meanwhile (another station built it) is kept.
  bool buildIndexIfAbsent(const std::filesystem::path& indexPath, std::string_view keyText);
  // Removes any attached index and attaches this one as the only and active order, then goes to
  // the first record in its order.
  bool attachIndex(const std::filesystem::path& indexPath);
  void detachIndex();
  bool hasIndex() const { return index_ != nullptr; }
  std::string indexExpression() const;
  std::filesystem::path indexPath() const;
  // 0: record order; 1: the attached index (when there is one).
  void setOrder(int order);
  int order() const { return indexActive() ? 1 : 0; }

  // ----- positioning; each move writes out pending changes first and positions related tables
  void goTop();
  void goBottom();
  // Moves n records in the current order. Past the last record: the blank record. Before the
  // first: the first record with the beginning-of-file flag set.
  void skip(long n = 1);
  // Out of range: the blank record.
  void goTo(std::uint32_t recno);
  // Key search: keys are compared over the length of `key` (cut to the key width); the empty
  // key finds the first record. Not found: the blank record, or with `soft` the first greater
  // key. Sets the found flag.
  bool seek(std::string_view key, bool soft = false);

  std::uint32_t recNo() const { return recno_; }
  // Records in the file, deleted ones included (read afresh from the header).
  std::uint32_t recCount();
  // Place of the current record in the current order, from 1; 0 on the blank record.
  std::uint32_t keyPosition();
  bool eof() const { return eof_; }
  bool bof() const { return bof_; }
  bool found() const { return found_; }
  bool deleted() const { return record_[0] == '*'; }

  // ----- changes (need the record lock or an exclusive open)
  bool deleteRecord();
  bool recall();
  // Removes every marked record for good and rebuilds the attached index. Needs the table
  // open exclusively.
  bool pack();
  // Adds a blank record at the end, makes it current and locks it, releasing any other record
  // lock on this table. False when the append lock or the new record's lock is not granted
  // (reported as an append-lock error, which the handler turns into the busy outcome) or on
  // failure (reported).
  bool append();
  // Locks the current record, releasing any other record lock on this table, and reads the
  // record afresh. The blank record is not in the file: there is nothing to lock, and it
  // answers Locked at once so that a station waiting for ever does not wait on it.
  LockResult lockRecord();
  // Writes out pending changes and releases this table's record lock.
  void unlockRecords();
  std::uint32_t lockedRecord() const { return lockedRecno_; }

  // ----- fields
  const std::vector<Field>& fields() const { return header_.fields; }
  // Without regard to letter case; -1 when there is no such field.
  int fieldIndex(std::string_view name) const;
  Value field(int index) const;
  // NIL for an unknown name.
  Value field(std::string_view name) const;
  std::string_view rawField(int index) const;
  // The field's bytes as stored; empty for an unknown name.
  std::string_view rawField(std::string_view name) const;
  // Cuts or fills text, rounds numbers; refuses (reported) a value of the wrong type, a number
  // too wide for the field and a write without the lock. Writes to the blank record are ignored
  // (false).
  bool setField(int index, const Value& value);
  bool setField(std::string_view name, const Value& value);
  // Writes pending changes to the file, where every other station sees them.
  bool commit();

  // ----- relations
  // Each time this table's record changes, `child` is positioned by a key search for
  // `keyText` evaluated on this table's record. Positions the child at once.
  bool setRelation(Table& child, std::string_view keyText);
  void clearRelations();
  void dropRelationsTo(const Table* child);
  struct RelationInfo {
    std::string expression;
    const Table* child;
  };
  std::vector<RelationInfo> relations() const;

  // ----- scans in the current order
  // From the top, stops on the first record for which `test` holds (found flag set) or on the
  // blank record.
  bool locate(const RecordTest& test);
  // From the top, runs `action` on every record for which `test` holds; each record is visited
  // once even when the action changes its key. Ends on the blank record.
  void forEach(const RecordTest& test, const RecordAction& action);
  // Writes a new table (replacing) with the same fields holding copies of the records, in the
  // current order, for which `test` holds. Ends on the blank record.
  bool copyOut(const std::filesystem::path& target, const RecordTest& test);
  // Appends one record per line of a text file (CR LF or LF); each line fills the table's first
  // field, which must be a character field. Releases the record lock at the end.
  bool importLines(const std::filesystem::path& textFile);

 private:
  struct Relation {
    Table* child;
    std::string text;
    std::unique_ptr<KeyExpression> key;
  };

  bool indexActive() const { return index_ && order_ == 1 && !index_->failed(); }
  bool openOnce(const std::filesystem::path& path, OpenMode mode, bool& retry);
  void refreshCount(bool checkSize = false);
  bool readRecord(std::uint32_t recno, std::string& into);
  bool fetchRecord(std::uint32_t recno, std::string& into, long step);
  bool readBlock(std::uint32_t first, std::uint32_t n);
  void forgetBlock() { blockCount_ = 0; }
  bool markChanged();
  void load(std::uint32_t recno);
  void toBlank();
  void moved();
  bool flush();
  bool prepareWrite();
  std::string evalKey();
  std::string normalizedKey(std::string key) const;
  const std::string& positionKey();
  bool keyOfRecord(std::uint32_t recno, std::string& key);
  IndexFile::KeyOf keyOf();
  bool writeIndex(const std::filesystem::path& indexPath, std::string_view keyText,
                  IndexFile::Publish publish);
  void landOn(const std::optional<IndexEntry>& entry);
  bool raiseWriteError();
  bool requireOpen(const char* operation);

  ErrorHandler& errors_;
  KeyCompiler keys_;
  OsFile file_;
  std::filesystem::path path_;
  DbfHeader header_;
  OpenMode mode_ = OpenMode::Shared;
  std::uint32_t count_ = 0;

  // Records read together for the moves that follow: blockCount_ whole records from blockFirst_.
  // Opened exclusively nobody else writes and the block is good until this station writes;
  // opened shared it is good while the header's count and change mark stay at seenCount_ and
  // seenMark_, which were read before the block was.
  static constexpr std::size_t kBlockBytes = 64 * 1024;
  std::string block_;
  std::uint32_t blockFirst_ = 0;
  std::uint32_t blockCount_ = 0;
  HeadView head_;  // shared opens: the header as the file holds it now
  static constexpr std::uint32_t kLooksBeforeMapping = 16;
  std::uint32_t looks_ = 0;
  std::uint32_t seenCount_ = 0;
  std::uint64_t seenMark_ = 0;

  std::uint32_t recno_ = 1;
  bool eof_ = true;
  bool bof_ = false;
  bool found_ = false;
  std::string record_ = " ";
  std::string blank_ = " ";
  bool dirty_ = false;
  bool appendPending_ = false;  // appended and not yet written out with its key
  std::optional<std::string> keyBefore_;  // the indexed key of the record before its changes
  std::uint32_t lockedRecno_ = 0;

  std::unique_ptr<IndexFile> index_;
  std::unique_ptr<KeyExpression> indexKey_;
  int order_ = 0;
  std::string posKey_;  // the current record's key as the index holds it
  bool posKeyValid_ = false;

  std::vector<Relation> relations_;
  bool relating_ = false;
};

}  // namespace blend
