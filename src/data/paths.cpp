#include "paths.h"

#include <system_error>

#include "cp874.h"
#include "text_util.h"

namespace blend {
namespace fs = std::filesystem;

namespace {

// The existing entry of dir whose name matches component, or component itself.
std::string resolveComponent(const fs::path& dir, const std::string& component) {
  std::error_code ec;
  if (fs::exists(dir / component, ec)) return component;
  const fs::path where = dir.empty() ? fs::path(".") : dir;
  for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (equalsIgnoringCase(entry, component)) return entry;
  }
  return component;
}

}  // namespace

fs::path nativePath(std::string_view path) { return nativePathFromLocal(cp874ToUtf8(path)); }

fs::path nativePathFromLocal(std::string_view path) {
  std::string text(path);
#ifdef _WIN32
  return fs::path(text);
#else
  for (char& c : text)
    if (c == '\\') c = '/';
  fs::path result;
  size_t pos = 0;
  if (!text.empty() && text[0] == '/') {
    result = "/";
    pos = 1;
  }
  bool resolving = true;
  while (pos <= text.size()) {
    size_t next = text.find('/', pos);
    if (next == std::string::npos) next = text.size();
    std::string component = text.substr(pos, next - pos);
    pos = next + 1;
    if (component.empty()) continue;
    if (component == "." || component == "..") {
      result /= component;
      continue;
    }
    if (resolving) {
      std::string found = resolveComponent(result, component);
      std::error_code ec;
      resolving = fs::exists(result / found, ec);
      component = found;
    }
    result /= component;
  }
  if (result.empty()) result = ".";
  return result;
#endif
}

fs::path nativePath(std::string_view dir, std::string_view name) {
  std::string joined(dir);
  if (!joined.empty() && joined.back() != '\\' && joined.back() != '/') joined += '\\';
  joined += name;
  return nativePath(joined);
}

}  // namespace blend
