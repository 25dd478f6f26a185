#pragma once
// Index and relation keys as stored expressions: the compiler the workspace uses to turn a key
// text into the key of a record.

#include "data/expr/named_values.h"
#include "key_expression.h"

namespace blend {

class ErrorHandler;
class Workspace;

// Keys are evaluated with the table they belong to as the current table; a syntax error goes to
// the handler when the key is compiled, and the table then has no usable index key.
KeyCompiler expressionKeys(Workspace& workspace, ErrorHandler& errors,
                           const NamedValues* names = nullptr);

}  // namespace blend
