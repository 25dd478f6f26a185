#pragma once
// A stand-in for the expression compiler, enough for index and relation keys in tests: field
// names joined by "+", each optionally inside DTOS(...). A key is the fields' stored bytes
// joined (a date's bytes are its YYYYMMDD). Anything else does not compile.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/table/dbf_table.h"
#include "data/text_util.h"

namespace blend::test {

class FieldJoinKey : public KeyExpression {
 public:
  explicit FieldJoinKey(std::vector<int> fields) : fields_(std::move(fields)) {}
  std::string key(Table& table) override {
    std::string k;
    for (int f : fields_) k += table.rawField(f);
    return k;
  }

 private:
  std::vector<int> fields_;
};

inline std::unique_ptr<KeyExpression> compileFieldJoin(std::string_view text, Table& table) {
  std::vector<int> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t plus = text.find('+', start);
    std::string term = trim(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
    std::string upper;
    for (char c : term) upper += upperAscii(c);
    if (upper.rfind("DTOS(", 0) == 0 && upper.back() == ')') upper = trim(upper.substr(5, upper.size() - 6));
    const int f = table.fieldIndex(upper);
    if (f < 0) return nullptr;
    fields.push_back(f);
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  return std::make_unique<FieldJoinKey>(std::move(fields));
}

inline KeyCompiler fieldJoinKeys() { return compileFieldJoin; }

}  // namespace blend::test
