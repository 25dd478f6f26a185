#pragma once
// How the engine gets the key of a record: the index keeps its key expression as text, and
// whoever opens tables supplies a compiler that turns such a text into something that gives the
// key for the record a table is on. The engine itself never evaluates expressions.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace blend {

class Table;

class KeyExpression {
 public:
  virtual ~KeyExpression() = default;
  // The key for the table's current record. A key shorter than the index's key width is filled
  // with blanks, a longer one cut.
  virtual std::string key(Table& table) = 0;
};

// Compiles a key text for evaluation against `table`; nothing when the text does not compile
// (the compiler has reported why).
using KeyCompiler =
    std::function<std::unique_ptr<KeyExpression>(std::string_view text, Table& table)>;

// A condition or action over the current record (locate, for each, copy out).
using RecordTest = std::function<bool(Table& table)>;
using RecordAction = std::function<void(Table& table)>;

}  // namespace blend
