#pragma once
// Builds the tree of a stored expression; reports the first syntax error.

#include <string>
#include <string_view>

#include "ast.h"

namespace blend::expr {

class FunctionRegistry;

struct ParseResult {
  Tree tree;
  std::string error;  // empty on success
  size_t errorPos = 0;
};

ParseResult parse(std::string_view source, const FunctionRegistry& functions);

// Deeper trees than this are refused as too complex, so that evaluation never runs out of stack.
constexpr int kMaxDepth = 256;

}  // namespace blend::expr
