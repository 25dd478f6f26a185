#include "ini_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "text_util.h"

namespace blend {

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
  std::ifstream in(path_, std::ios::binary);
  existed_ = static_cast<bool>(in);
  if (!in) return;
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string section;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string text = content.substr(pos, end - pos);
    pos = end + 1;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    Line line{text, section, {}, {}};
    const std::string trimmed = trim(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const size_t close = trimmed.find(']');
      section = trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      line.section = section;
    } else if (const size_t eq = text.find('='); eq != std::string::npos && trimmed[0] != ';') {
      line.key = trim(text.substr(0, eq));
      line.value = trim(text.substr(eq + 1));
    }
    lines_.push_back(std::move(line));
  }
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  for (const Line& line : lines_)
    if (!line.key.empty() && equalsIgnoringCase(line.section, section) &&
        equalsIgnoringCase(line.key, key))
      return line.value;
  return std::nullopt;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';

  // Where the section's lines end (after its last non-blank line), if the section exists.
  std::optional<size_t> insertAt;
  std::string sectionName;
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line& line = lines_[i];
    if (!equalsIgnoringCase(line.section, section)) continue;
    sectionName = line.section;
    if (!line.key.empty() && equalsIgnoringCase(line.key, key)) {
      if (line.value == clean && existed_) return;  // rewriting it would change nothing
      dirty_ = true;
      line.value = clean;
      line.text = line.key + "=" + clean;
      return;
    }
    if (!trim(line.text).empty()) insertAt = i + 1;
  }
  dirty_ = true;
  if (insertAt) {
    Line line{std::string(key) + "=" + clean, sectionName, std::string(key), clean};
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(line));
    return;
  }
  if (!lines_.empty() && !trim(lines_.back().text).empty()) lines_.push_back({"", "", {}, {}});
  lines_.push_back({"[" + std::string(section) + "]", std::string(section), {}, {}});
  lines_.push_back({std::string(key) + "=" + clean, std::string(section), std::string(key), clean});
}

bool IniFile::save() {
  if (!dirty_) return true;
  std::string content;
  for (const Line& line : lines_) content += line.text + "\r\n";
  // Write beside the file and rename, so a full disk or a crash never leaves half a MAIN.INI.
  std::filesystem::path temp = path_;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path_, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  existed_ = true;
  dirty_ = false;
  return true;
}

}  // namespace blend
