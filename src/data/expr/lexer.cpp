#include "lexer.h"

#include "data/text_util.h"

namespace blend::expr {
namespace {

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The dotted words: .T. .F. .Y. .N. .NOT. .AND. .OR., without regard to case.
bool dottedWord(std::string_view rest, Tok& kind, size_t& length) {
  static const struct {
    const char* word;
    Tok kind;
  } kWords[] = {{".T.", Tok::True},  {".F.", Tok::False},     {".Y.", Tok::True},
                {".N.", Tok::False}, {".NOT.", Tok::Not},     {".AND.", Tok::And},
                {".OR.", Tok::Or}};
  for (const auto& w : kWords) {
    const std::string_view word(w.word);
    if (rest.size() >= word.size() && equalsIgnoringCase(rest.substr(0, word.size()), word)) {
      kind = w.kind;
      length = word.size();
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<Token> tokenize(std::string_view s) {
  std::vector<Token> out;
  size_t i = 0;
  const auto push = [&](Tok kind, size_t start, size_t length) {
    out.push_back({kind, std::string(s.substr(start, length)), start});
    i = start + length;
  };
  while (true) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    if (i >= s.size()) {
      out.push_back({Tok::End, {}, i});
      return out;
    }
    const char c = s[i];
    const std::string_view rest = s.substr(i);
    Tok kind;
    size_t length;
    if (c == '.' && dottedWord(rest, kind, length)) {
      push(kind, i, length);
    } else if (isDigit(c) || (c == '.' && i + 1 < s.size() && isDigit(s[i + 1]))) {
      size_t j = i;
      while (j < s.size() && isDigit(s[j])) ++j;
      if (j < s.size() && s[j] == '.' && j + 1 < s.size() && isDigit(s[j + 1])) {
        ++j;
        while (j < s.size() && isDigit(s[j])) ++j;
      }
      push(Tok::Number, i, j - i);
    } else if (c == '\'' || c == '"') {
      const size_t close = s.find(c, i + 1);
      if (close == std::string_view::npos) {
        out.push_back({Tok::Bad, "unclosed string", i});
        return out;
      }
      out.push_back({Tok::String, std::string(s.substr(i + 1, close - i - 1)), i});
      i = close + 1;
    } else if (isNameStart(c)) {
      size_t j = i;
      while (j < s.size() && (isNameStart(s[j]) || isDigit(s[j]))) ++j;
      const std::string_view word = s.substr(i, j - i);
      push(equalsIgnoringCase(word, "NIL") ? Tok::Nil : Tok::Name, i, j - i);
    } else {
      const auto two = rest.substr(0, 2);
      if (two == "->") push(Tok::Arrow, i, 2);
      else if (two == "**") push(Tok::Power, i, 2);
      else if (two == "==") push(Tok::ExactEq, i, 2);
      else if (two == "!=" || two == "<>") push(Tok::NotEq, i, 2);
      else if (two == "<=") push(Tok::LessEq, i, 2);
      else if (two == ">=") push(Tok::GreaterEq, i, 2);
      else {
        switch (c) {
          case '(': push(Tok::LParen, i, 1); break;
          case ')': push(Tok::RParen, i, 1); break;
          case '[': push(Tok::LBracket, i, 1); break;
          case ']': push(Tok::RBracket, i, 1); break;
          case ',': push(Tok::Comma, i, 1); break;
          case '+': push(Tok::Plus, i, 1); break;
          case '-': push(Tok::Minus, i, 1); break;
          case '*': push(Tok::Star, i, 1); break;
          case '/': push(Tok::Slash, i, 1); break;
          case '%': push(Tok::Percent, i, 1); break;
          case '^': push(Tok::Power, i, 1); break;
          case '=': push(Tok::Eq, i, 1); break;
          case '#': push(Tok::NotEq, i, 1); break;
          case '<': push(Tok::Less, i, 1); break;
          case '>': push(Tok::Greater, i, 1); break;
          case '$': push(Tok::Dollar, i, 1); break;
          case '!': push(Tok::Not, i, 1); break;
          default:
            out.push_back({Tok::Bad, std::string(1, c), i});
            return out;
        }
      }
    }
  }
}

}  // namespace blend::expr
