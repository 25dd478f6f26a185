#pragma once
// The compiled form of a stored expression: a tree of nodes held in one vector, children by
// index, so an expression is one allocation-light object that evaluates many times.

#include <string>
#include <vector>

#include "data/value.h"
#include "lexer.h"

namespace blend::expr {

struct FunctionDef;

enum class NodeKind {
  Literal,   // value
  Field,     // alias->name (alias empty never happens here)
  Memvar,    // M->name: a named value only
  Name,      // a field of the current table, else a named value
  Element,   // children[0] is the array, children[1] the 1-based index
  Call,      // function(children...)
  Negate,
  Plus,      // unary plus: numbers only
  Binary,    // op with children[0], children[1]
  And,
  Or,
  Not,
  List,      // comma list at the outer level
};

struct Node {
  explicit Node(NodeKind k) : kind(k) {}
  NodeKind kind;
  Tok op = Tok::End;  // Binary: the operator
  Value value;        // Literal
  std::string alias;  // Field
  std::string name;   // Field, Memvar, Name, Call (as written)
  const FunctionDef* function = nullptr;  // Call: resolved at compile time, or null (unknown)
  std::vector<int> children;
};

struct Tree {
  std::vector<Node> nodes;
  int root = -1;
};

}  // namespace blend::expr
