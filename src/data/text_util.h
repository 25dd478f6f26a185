#pragma once
// Small byte-text helpers shared by the data layer. Texts are CP874 bytes; only ASCII letters
// have a case.

#include <string>
#include <string_view>

namespace blend {

inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

// Removes blanks, tabs and line-end bytes at both ends.
inline std::string trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace blend
