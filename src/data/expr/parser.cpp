#include "parser.h"

#include "data/number_text.h"
#include "data/text_util.h"
#include "functions.h"

namespace blend::expr {
namespace {

class Parser {
 public:
  Parser(std::string_view source, const FunctionRegistry& functions)
      : tokens_(tokenize(source)), functions_(functions) {}

  ParseResult run() {
    ParseResult result;
    int depth = 0;
    int root = list(depth);
    if (error_.empty() && peek().kind != Tok::End) fail("unexpected " + describe(peek()));
    if (!error_.empty()) {
      result.error = error_;
      result.errorPos = errorPos_;
      return result;
    }
    result.tree.nodes = std::move(nodes_);
    result.tree.root = root;
    return result;
  }

 private:
  const Token& peek() const { return tokens_[pos_]; }
  const Token& take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool accept(Tok kind) {
    if (peek().kind != kind) return false;
    take();
    return true;
  }

  static std::string describe(const Token& t) {
    if (t.kind == Tok::End) return "end of expression";
    if (t.kind == Tok::Bad) return t.text == "unclosed string" ? t.text : "character " + t.text;
    return "\"" + t.text + "\"";
  }

  int fail(std::string message) {
    if (error_.empty()) {
      error_ = std::move(message);
      errorPos_ = peek().pos;
    }
    return -1;
  }

  int add(Node node, int& depth, std::initializer_list<int> childDepths = {}) {
    int d = 0;
    for (int c : childDepths) d = std::max(d, c);
    depth = d + 1;
    if (depth > kMaxDepth) return fail("expression too complex");
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size()) - 1;
  }

  int binary(Tok op, int left, int dl, int right, int dr, int& depth) {
    NodeKind kind = op == Tok::And ? NodeKind::And : op == Tok::Or ? NodeKind::Or : NodeKind::Binary;
    Node n{kind};
    n.op = op;
    n.children = {left, right};
    return add(std::move(n), depth, {dl, dr});
  }

  int list(int& depth) {
    int d;
    int first = orExpr(d);
    if (!error_.empty() || peek().kind != Tok::Comma) {
      depth = d;
      return first;
    }
    Node n{NodeKind::List};
    n.children.push_back(first);
    int maxDepth = d;
    while (error_.empty() && accept(Tok::Comma)) {
      n.children.push_back(orExpr(d));
      maxDepth = std::max(maxDepth, d);
    }
    return error_.empty() ? add(std::move(n), depth, {maxDepth}) : -1;
  }

  // The binary operators by rank, loosest first; each rank groups from left to right.
  enum Rank { kOr, kAnd, kNot, kComparison, kAdditive, kMultiplicative, kPower, kUnary };

  static bool atRank(int rank, Tok t) {
    switch (rank) {
      case kOr:
        return t == Tok::Or;
      case kAnd:
        return t == Tok::And;
      case kComparison:
        return t == Tok::Eq || t == Tok::ExactEq || t == Tok::NotEq || t == Tok::Less ||
               t == Tok::LessEq || t == Tok::Greater || t == Tok::GreaterEq || t == Tok::Dollar;
      case kAdditive:
        return t == Tok::Plus || t == Tok::Minus;
      case kMultiplicative:
        return t == Tok::Star || t == Tok::Slash || t == Tok::Percent;
      case kPower:
        return t == Tok::Power;
      default:
        return false;
    }
  }

  int orExpr(int& depth) { return rank(kOr, depth); }

  int rank(int level, int& depth) {
    if (level == kNot) return notExpr(depth);
    if (level == kUnary) return unary(depth);
    int dl;
    int left = rank(level + 1, dl);
    while (error_.empty() && atRank(level, peek().kind)) {
      const Tok op = take().kind;
      int dr;
      int right = rank(level + 1, dr);
      left = binary(op, left, dl, right, dr, dl);
    }
    depth = dl;
    return left;
  }

  // ".NOT." binds looser than the comparisons: ".NOT. a = b" is ".NOT. (a = b)".
  int notExpr(int& depth) {
    if (accept(Tok::Not)) {
      if (++nesting_ > kMaxDepth) return fail("expression too complex");
      int d;
      int child = notExpr(d);
      --nesting_;
      Node n{NodeKind::Not};
      n.children = {child};
      return error_.empty() ? add(std::move(n), depth, {d}) : -1;
    }
    return rank(kComparison, depth);
  }

  int unary(int& depth) {
    if (peek().kind == Tok::Minus || peek().kind == Tok::Plus) {
      const bool negate = take().kind == Tok::Minus;
      if (++nesting_ > kMaxDepth) return fail("expression too complex");
      int d;
      int child = unary(d);
      --nesting_;
      Node n{negate ? NodeKind::Negate : NodeKind::Plus};
      n.children = {child};
      return error_.empty() ? add(std::move(n), depth, {d}) : -1;
    }
    return primary(depth);
  }

  int primary(int& depth) {
    const Token& t = peek();
    switch (t.kind) {
      case Tok::Number: {
        take();
        const ParsedNumber number = parseLeadingNumber(t.text);
        Node n{NodeKind::Literal};
        n.value = Value(number.value, number.decimals);
        return add(std::move(n), depth);
      }
      case Tok::String: {
        Node n{NodeKind::Literal};
        n.value = Value(take().text);
        return add(std::move(n), depth);
      }
      case Tok::True:
      case Tok::False: {
        Node n{NodeKind::Literal};
        n.value = Value(take().kind == Tok::True);
        return add(std::move(n), depth);
      }
      case Tok::Nil: {
        take();
        return add(Node{NodeKind::Literal}, depth);
      }
      case Tok::LParen: {
        take();
        if (++nesting_ > kMaxDepth) return fail("expression too complex");
        int inner = orExpr(depth);
        --nesting_;
        if (error_.empty() && !accept(Tok::RParen)) return fail("\")\" expected");
        return inner;
      }
      case Tok::Name:
        return named(depth);
      default:
        return fail("unexpected " + describe(t));
    }
  }

  int named(int& depth) {
    const std::string name = take().text;
    if (accept(Tok::Arrow)) {
      if (peek().kind != Tok::Name) return fail("field name expected after \"->\"");
      const std::string field = take().text;
      Node n{equalsIgnoringCase(name, "M") ? NodeKind::Memvar : NodeKind::Field};
      n.alias = name;
      n.name = field;
      return postfix(add(std::move(n), depth), depth);
    }
    if (accept(Tok::LParen)) {
      Node n{NodeKind::Call};
      n.name = name;
      n.function = functions_.find(name);
      int maxDepth = 0;
      if (!accept(Tok::RParen)) {
        if (++nesting_ > kMaxDepth) return fail("expression too complex");
        do {
          int d;
          // An empty argument ("f(a,,b)") is NIL.
          if (peek().kind == Tok::Comma || peek().kind == Tok::RParen) {
            n.children.push_back(add(Node{NodeKind::Literal}, d));
          } else {
            n.children.push_back(orExpr(d));
          }
          maxDepth = std::max(maxDepth, d);
        } while (error_.empty() && accept(Tok::Comma));
        --nesting_;
        if (error_.empty() && !accept(Tok::RParen)) return fail("\")\" expected");
      }
      return error_.empty() ? add(std::move(n), depth, {maxDepth}) : -1;
    }
    Node n{NodeKind::Name};
    n.name = name;
    return postfix(add(std::move(n), depth), depth);
  }

  // name[index]...
  int postfix(int node, int& depth) {
    while (error_.empty() && accept(Tok::LBracket)) {
      if (++nesting_ > kMaxDepth) return fail("expression too complex");
      int d;
      int index = orExpr(d);
      --nesting_;
      if (error_.empty() && !accept(Tok::RBracket)) return fail("\"]\" expected");
      Node n{NodeKind::Element};
      n.children = {node, index};
      node = add(std::move(n), depth, {depth, d});
    }
    return node;
  }

  std::vector<Token> tokens_;
  const FunctionRegistry& functions_;
  size_t pos_ = 0;
  int nesting_ = 0;
  std::vector<Node> nodes_;
  std::string error_;
  size_t errorPos_ = 0;
};

}  // namespace

ParseResult parse(std::string_view source, const FunctionRegistry& functions) {
  return Parser(source, functions).run();
}

}  // namespace blend::expr
