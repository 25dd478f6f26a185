#pragma once
// blendtab's commands over tables: install, dump, check, reindex.

#include <string>
#include <vector>

namespace blend {

int installCommand(const std::vector<std::string>& args);
int dumpCommand(const std::vector<std::string>& args);
int checkCommand(const std::vector<std::string>& args);
int reindexCommand(const std::vector<std::string>& args);

}  // namespace blend
