#pragma once
// The one place that turns the station's file names into native paths.
//
// Settings hold Windows-style directories ending in "\" (".\WORK\"), in CP874, and the tables,
// templates and pictures are named without regard to letter case. On a POSIX system the
// separators become "/", the name is encoded as UTF-8, and every component that does not exist
// as written is matched against the directory's entries ignoring ASCII case, so ".\LIBRARY\MAIN.BMP"
// finds ./library/Main.bmp. A component that matches nothing is kept as written, which is the name
// a new file gets.

#include <filesystem>
#include <string_view>

namespace blend {

// Joins a directory and a file name (a separator is added when the directory lacks one).
std::filesystem::path nativePath(std::string_view dir, std::string_view name);

// The same for one "\"-style path in CP874.
std::filesystem::path nativePath(std::string_view path);

// The same for a path already in the platform's own encoding (a command-line argument).
std::filesystem::path nativePathFromLocal(std::string_view path);

}  // namespace blend
