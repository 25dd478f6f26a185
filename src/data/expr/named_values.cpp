#include "named_values.h"

#include "data/format.h"

namespace blend {

void NamedValues::set(std::string_view name, Value value) {
  values_[upperAscii(name)] = std::move(value);
}

void NamedValues::erase(std::string_view name) {
  if (auto it = values_.find(upperAscii(name)); it != values_.end()) values_.erase(it);
}

std::optional<Value> NamedValues::get(std::string_view name) const {
  if (auto it = values_.find(upperAscii(name)); it != values_.end()) return it->second;
  if (!settings_) return std::nullopt;
  const SettingsKey* key = findSettingsField(name);
  if (!key) {
    // The derived and login fields of the record.
    const std::string upper = upperAscii(name);
    if (upper == "CUSER") return Value(settings_->CUSER);
    if (upper == "CLOGIN") return Value(settings_->CLOGIN);
    if (upper == "CTRUSTEE") return Value(settings_->CTRUSTEE);
    if (upper == "VARFILE") return Value(settings_->VARFILE);
    if (upper == "CCOLOR") return Value(static_cast<double>(settings_->CCOLOR));
    return std::nullopt;
  }
  if (const auto* text = std::get_if<std::string Settings::*>(&key->member))
    return Value(settings_->*(*text));
  return Value(settings_->*std::get<double Settings::*>(key->member));
}

}  // namespace blend
