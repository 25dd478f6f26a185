#pragma once
// A Windows-style profile (INI) file: "[Section]" lines, each followed by "key=value" lines.
//
// Section and key names match without regard to ASCII case; blanks around names and values are
// removed; the first of two equal keys wins. Values are bytes (the station's files are CP874).
// Writing a key replaces its line in place, or adds it at the end of its section, or adds the
// section at the end of the file. The file is read once and written whole by save(); a file that
// cannot be written leaves the values in memory in force.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace blend {

class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);

  const std::filesystem::path& path() const { return path_; }
  bool existedOnDisk() const { return existed_; }

  // The value of a key, or nothing when the section or key is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Line breaks in a value would split it into other lines of the file; they become blanks.
  void setValue(std::string_view section, std::string_view key, std::string_view value);

  // Writes the whole file (CR LF line ends) when anything changed; false when that failed.
  bool save();

 private:
  struct Line {
    std::string text;
    std::string section;  // the section the line belongs to, as written in its header
    std::string key;      // empty unless the line is "key=value"
    std::string value;
  };
  std::filesystem::path path_;
  std::vector<Line> lines_;
  bool existed_ = false;
  bool dirty_ = false;
};

}  // namespace blend
