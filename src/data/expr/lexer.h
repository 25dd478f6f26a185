#pragma once
// Tokens of a stored expression.

#include <string>
#include <string_view>
#include <vector>

namespace blend::expr {

enum class Tok {
  End,
  Number,
  String,
  Name,
  True,
  False,
  Nil,
  LParen,
  RParen,
  LBracket,
  RBracket,
  Comma,
  Arrow,  // ->
  Plus,
  Minus,
  Star,
  Slash,
  Percent,
  Power,  // ** and ^
  Eq,     // =
  ExactEq,
  NotEq,  // != <> #
  Less,
  LessEq,
  Greater,
  GreaterEq,
  Dollar,
  Not,  // .NOT. and !
  And,
  Or,
  Bad,  // a byte that starts no token, or an unclosed string
};

struct Token {
  Tok kind = Tok::End;
  std::string text;  // the name (as written), the string's bytes, or the number's digits
  size_t pos = 0;    // byte offset in the source
};

// Splits the whole text; the last token is End (or Bad at the first error).
std::vector<Token> tokenize(std::string_view source);

}  // namespace blend::expr
