#pragma once
// A table named on the command line: "wdata", "WDATA.DBF" or "data/Wdata.dbf" all find the same
// file, and its index beside it.

#include <filesystem>
#include <string>

#include "data/paths.h"

namespace blend {

struct TableFiles {
  std::filesystem::path table;  // the .dbf
  std::filesystem::path index;  // the .NTX beside it (may not exist)
  std::string name;             // upper-case base name, e.g. WDATA
};

inline TableFiles tableFiles(const std::string& argument) {
  std::string base = argument;
  const std::string ext = base.size() > 4 ? base.substr(base.size() - 4) : "";
  if (ext == ".dbf" || ext == ".DBF" || ext == ".Dbf") base.resize(base.size() - 4);
  TableFiles files;
  files.table = nativePathFromLocal(base + ".DBF");
  files.index = nativePathFromLocal(base + ".NTX");
  files.name = std::filesystem::path(base).filename().string();
  for (char& c : files.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return files;
}

}  // namespace blend
