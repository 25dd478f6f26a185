#pragma once
// The named values stored expressions read: the fields of the Settings record under their own
// names, and the values that printing and reports publish while they run.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "data/settings.h"
#include "data/value.h"

namespace blend {

class NamedValues {
 public:
  explicit NamedValues(const Settings* settings = nullptr) : settings_(settings) {}

  void set(std::string_view name, Value value);
  void erase(std::string_view name);

  // A published value first, then a Settings field; names without regard to case.
  std::optional<Value> get(std::string_view name) const;

 private:
  const Settings* settings_;
  std::map<std::string, Value, std::less<>> values_;  // upper-case names
};

}  // namespace blend
