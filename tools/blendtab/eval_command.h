#pragma once
// blendtab eval: the value of a stored expression, for trying a template line before it goes
// into a file.

#include <string>
#include <vector>

namespace blend {

// Arguments after "eval"; answers the process's exit status.
int evalCommand(const std::vector<std::string>& args);

}  // namespace blend
