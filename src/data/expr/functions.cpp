#include "functions.h"

#include <cmath>

#include "data/clock.h"
#include "data/format.h"
#include "data/number_text.h"
#include "data/settings.h"
#include "data/table_scope.h"
#include "data/value_helpers.h"
#include "expression.h"

namespace blend::expr {
namespace {

// Counts and positions arrive as numbers; beyond these a template is broken, not ambitious.
constexpr double kMaxCount = 1 << 20;

int whole(const Value& v) {
  const double n = std::trunc(v.number());
  return static_cast<int>(std::clamp(n, -kMaxCount, kMaxCount));
}

std::string ltrim(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}
std::string rtrim(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

// A value as the text that PADR and friends pad.
std::string asText(const Value& v) {
  if (v.isText()) return v.text();
  if (v.isNumber()) return ltrim(STR(v.numberWithDecimals()));
  if (v.isDate()) return DTOC(v.date());
  if (v.isLogical()) return v.logical() ? "T" : "F";
  return {};
}

bool isEmptyValue(const Value& v) {
  switch (v.type()) {
    case Value::Type::Text:
      return v.text().find_first_not_of(' ') == std::string::npos;
    case Value::Type::Number:
      return v.number() == 0;
    case Value::Type::Date:
      return v.date().empty();
    case Value::Type::Logical:
      return !v.logical();
    case Value::Type::Array:
      return v.array().empty();
    case Value::Type::Nil:
      break;
  }
  return true;
}

std::optional<TableState> tableState(const Call& c) {
  return c.env.tables ? c.env.tables->state() : std::nullopt;
}

void addStandard(FunctionRegistry& r) {
  using V = Value;
  // Text.
  r.add("ALLTRIM", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    out = V(ltrim(rtrim(c.args[0].text())));
    return true;
  });
  for (const char* name : {"TRIM", "RTRIM"})
    r.add(name, [](const Call& c, V& out) {
      if (!c.isText(0)) return false;
      out = V(rtrim(c.args[0].text()));
      return true;
    });
  r.add("LTRIM", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    out = V(ltrim(c.args[0].text()));
    return true;
  });
  r.add("UPPER", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    out = V(upperAscii(c.args[0].text()));
    return true;
  });
  r.add("LOWER", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    out = V(lowerAscii(c.args[0].text()));
    return true;
  });
  r.add("LEFT", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1)) return false;
    const std::string& s = c.args[0].text();
    const int n = whole(c.args[1]);
    out = V(n <= 0 ? std::string() : s.substr(0, static_cast<size_t>(n)));
    return true;
  });
  r.add("RIGHT", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1)) return false;
    const std::string& s = c.args[0].text();
    const int n = whole(c.args[1]);
    out = V(n <= 0 ? std::string() : s.substr(s.size() - std::min(s.size(), static_cast<size_t>(n))));
    return true;
  });
  r.add("SUBSTR", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1) || (c.has(2) && !c.isNumber(2))) return false;
    const std::string& s = c.args[0].text();
    const long size = static_cast<long>(s.size());
    long start = whole(c.args[1]);
    if (start < 0) start = std::max(1L, size + start + 1);
    if (start == 0) start = 1;
    if (start > size) {
      out = V(std::string());
      return true;
    }
    long count = c.has(2) ? whole(c.args[2]) : size;
    if (count <= 0) {
      out = V(std::string());
      return true;
    }
    out = V(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
    return true;
  });
  r.add("LEN", [](const Call& c, V& out) {
    if (c.isText(0)) return out = V(static_cast<double>(c.args[0].text().size())), true;
    if (c.count() > 0 && c.args[0].isArray())
      return out = V(static_cast<double>(c.args[0].array().size())), true;
    return false;
  });
  r.add("AT", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isText(1)) return false;
    const std::string& t = c.args[0].text();
    const size_t p = t.empty() ? std::string::npos : c.args[1].text().find(t);
    out = V(p == std::string::npos ? 0.0 : static_cast<double>(p + 1));
    return true;
  });
  r.add("RAT", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isText(1)) return false;
    const std::string& t = c.args[0].text();
    const size_t p = t.empty() ? std::string::npos : c.args[1].text().rfind(t);
    out = V(p == std::string::npos ? 0.0 : static_cast<double>(p + 1));
    return true;
  });
  r.add("STRTRAN", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isText(1) || (c.has(2) && !c.isText(2))) return false;
    const std::string& s = c.args[0].text();
    const std::string& t = c.args[1].text();
    const std::string r = c.has(2) ? c.args[2].text() : std::string();
    if (t.empty()) return out = V(s), true;
    std::string result;
    size_t pos = 0;
    for (size_t hit; (hit = s.find(t, pos)) != std::string::npos; pos = hit + t.size())
      result += s.substr(pos, hit - pos) + r;
    out = V(result + s.substr(pos));
    return true;
  });
  r.add("STUFF", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1) || !c.isNumber(2) || !c.isText(3)) return false;
    const std::string& s = c.args[0].text();
    const size_t start = static_cast<size_t>(std::clamp(whole(c.args[1]) - 1, 0, static_cast<int>(s.size())));
    const size_t count = static_cast<size_t>(std::max(0, whole(c.args[2])));
    out = V(s.substr(0, start) + c.args[3].text() + s.substr(std::min(s.size(), start + count)));
    return true;
  });
  r.add("SPACE", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    out = V(std::string(static_cast<size_t>(std::max(0, whole(c.args[0]))), ' '));
    return true;
  });
  r.add("REPLICATE", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1)) return false;
    const std::string& s = c.args[0].text();
    const int n = std::max(0, whole(c.args[1]));
    if (s.size() * static_cast<size_t>(n) > static_cast<size_t>(kMaxCount) * 4) return false;
    std::string result;
    result.reserve(s.size() * n);
    for (int i = 0; i < n; ++i) result += s;
    out = V(result);
    return true;
  });
  const auto pad = [](char where) {
    return [where](const Call& c, V& out) {
      if (c.count() < 2 || !c.isNumber(1) || (c.has(2) && !c.isText(2))) return false;
      const std::string text = asText(c.args[0]);
      const size_t n = static_cast<size_t>(std::max(0, whole(c.args[1])));
      const char fill = c.has(2) && !c.args[2].text().empty() ? c.args[2].text()[0] : ' ';
      if (text.size() >= n) return out = V(text.substr(0, n)), true;
      const size_t missing = n - text.size();
      const size_t left = where == 'L' ? missing : where == 'C' ? missing / 2 : 0;
      out = V(std::string(left, fill) + text + std::string(missing - left, fill));
      return true;
    };
  };
  r.add("PADR", pad('R'));
  r.add("PADL", pad('L'));
  r.add("PADC", pad('C'));
  r.add("CHR", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    out = V(std::string(1, static_cast<char>(static_cast<unsigned>(whole(c.args[0])) & 0xFF)));
    return true;
  });
  r.add("ASC", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    const std::string& s = c.args[0].text();
    out = V(s.empty() ? 0.0 : static_cast<double>(static_cast<unsigned char>(s[0])));
    return true;
  });

  // Numbers as text and back.
  r.add("STR", [](const Call& c, V& out) {
    if (!c.isNumber(0) || (c.has(1) && !c.isNumber(1)) || (c.has(2) && !c.isNumber(2)))
      return false;
    std::optional<int> w, d;
    if (c.has(1)) w = whole(c.args[1]);
    if (c.has(2)) d = whole(c.args[2]);
    out = V(STR(c.args[0].numberWithDecimals(), w, d));
    return true;
  });
  r.add("STRZERO", [](const Call& c, V& out) {
    if (!c.isNumber(0) || !c.isNumber(1) || (c.has(2) && !c.isNumber(2))) return false;
    std::optional<int> d;
    if (c.has(2)) d = whole(c.args[2]);
    out = V(STRZERO(c.args[0].numberWithDecimals(), whole(c.args[1]), d));
    return true;
  });
  r.add("VAL", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    const ParsedNumber n = parseLeadingNumber(c.args[0].text());
    out = V(n.value, n.decimals);
    return true;
  });
  r.add("TRANSFORM", [](const Call& c, V& out) {
    if (c.count() < 2 || !c.isText(1)) return false;
    out = V(TRANSFORM(c.args[0], c.args[1].text()));
    return true;
  });
  r.add("EMPTY", [](const Call& c, V& out) {
    out = V(c.count() == 0 || isEmptyValue(c.args[0]));
    return true;
  });

  // Dates and times.
  r.add("DATE", [](const Call& c, V& out) {
    out = V(c.env.clock ? c.env.clock->today() : Date());
    return true;
  });
  r.add("TIME", [](const Call& c, V& out) {
    out = V(c.env.clock ? c.env.clock->timeOfDay() : std::string("00:00:00"));
    return true;
  });
  r.add("DTOS", [](const Call& c, V& out) {
    if (!c.isDate(0)) return false;
    return out = V(DTOS(c.args[0].date())), true;
  });
  r.add("DTOC", [](const Call& c, V& out) {
    if (!c.isDate(0)) return false;
    return out = V(DTOC(c.args[0].date())), true;
  });
  r.add("CTOD", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(CTOD(c.args[0].text())), true;
  });
  r.add("STOD", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(STOD(c.args[0].text())), true;
  });
  const auto datePart = [](int (Date::*part)() const) {
    return [part](const Call& c, V& out) {
      if (!c.isDate(0)) return false;
      return out = V(static_cast<double>((c.args[0].date().*part)())), true;
    };
  };
  r.add("DAY", datePart(&Date::day));
  r.add("MONTH", datePart(&Date::month));
  r.add("YEAR", datePart(&Date::year));
  r.add("DOW", datePart(&Date::dayOfWeek));
  r.add("CMONTH", [](const Call& c, V& out) {
    static const char* const kMonths[] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
    if (!c.isDate(0)) return false;
    const int m = c.args[0].date().month();
    return out = V(m ? kMonths[m - 1] : ""), true;
  });
  r.add("CDOW", [](const Call& c, V& out) {
    static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    if (!c.isDate(0)) return false;
    const int d = c.args[0].date().dayOfWeek();
    return out = V(d ? kDays[d - 1] : ""), true;
  });

  // Arithmetic.
  r.add("INT", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    return out = V(std::trunc(c.args[0].number())), true;
  });
  r.add("ROUND", [](const Call& c, V& out) {
    if (!c.isNumber(0) || !c.isNumber(1)) return false;
    const int d = std::clamp(whole(c.args[1]), -15, 15);
    const double v = d >= 0 ? roundHalfAway(c.args[0].number(), d)
                            : roundHalfAway(c.args[0].number() / std::pow(10.0, -d), 0) *
                                  std::pow(10.0, -d);
    return out = V(v, std::max(0, d)), true;
  });
  r.add("ABS", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    Number n = c.args[0].numberWithDecimals();
    n.value = std::fabs(n.value);
    return out = V(n), true;
  });
  const auto extreme = [](bool larger) {
    return [larger](const Call& c, V& out) {
      if (c.count() < 2) return false;
      const V& a = c.args[0];
      const V& b = c.args[1];
      if (a.isNumber() && b.isNumber())
        return out = (larger ? a.number() >= b.number() : a.number() <= b.number()) ? a : b, true;
      if (a.isDate() && b.isDate())
        return out = (larger ? a.date() >= b.date() : a.date() <= b.date()) ? a : b, true;
      return false;
    };
  };
  r.add("MAX", extreme(true));
  r.add("MIN", extreme(false));
  r.add("SQRT", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    const double n = c.args[0].number();
    return out = V(n > 0 ? std::sqrt(n) : 0.0), true;
  });
  r.add("EXP", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    return out = V(std::exp(c.args[0].number())), true;
  });
  r.add("LOG", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    return out = V(std::log(c.args[0].number())), true;
  });

  // The current table.
  const auto state = [](auto read) {
    return [read](const Call& c, V& out) {
      const std::optional<TableState> s = tableState(c);
      out = s ? V(read(*s)) : V(read(TableState{}));
      return true;
    };
  };
  r.add("DELETED", state([](const TableState& s) { return s.deleted; }));
  r.add("RECNO", state([](const TableState& s) { return s.recno; }));
  r.add("RECCOUNT", state([](const TableState& s) { return s.reccount; }));
  r.add("EOF", state([](const TableState& s) { return s.eof; }));
  r.add("BOF", state([](const TableState& s) { return s.bof; }));
  r.add("FOUND", state([](const TableState& s) { return s.found; }));

  // The common value helpers.
  r.add("ZERO", [](const Call& c, V& out) {
    if (!c.isNumber(0) || !c.isNumber(1)) return false;
    return out = V(ZERO(c.args[0].number(), whole(c.args[1]))), true;
  });
  r.add("ZERO2", [](const Call& c, V& out) {
    if (!c.isNumber(0) || !c.isNumber(1)) return false;
    const std::string picture = c.env.settings ? c.env.settings->CFORMAT : "999999.9";
    return out = V(ZERO2(c.args[0].number(), whole(c.args[1]), picture)), true;
  });
  r.add("SPLIT", [](const Call& c, V& out) {
    if (!c.isText(0) || !c.isNumber(1) || (c.has(2) && !c.isText(2)) || (c.has(3) && !c.isText(3)))
      return false;
    out = SPLIT(c.args[0].text(), whole(c.args[1]), c.has(2) ? c.args[2].text() : ",",
                c.has(3) ? c.args[3].text() : "N");
    return true;
  });
  r.add("TEXTTRIM", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(TEXTTRIM(c.args[0].text())), true;
  });
  r.add("MONTHNAME", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    return out = V(MONTHNAME(whole(c.args[0]))), true;
  });
  r.add("BCYEAR", [](const Call& c, V& out) {
    if (!c.isDate(0)) return false;
    return out = V(BCYEAR(c.args[0].date())), true;
  });
  r.add("FIRSTDAY", [](const Call& c, V& out) {
    if (!c.isDate(0)) return false;
    return out = V(FIRSTDAY(c.args[0].date())), true;
  });
  r.add("LASTDAY", [](const Call& c, V& out) {
    if (!c.isDate(0)) return false;
    return out = V(LASTDAY(c.args[0].date())), true;
  });
  r.add("BIN2DEC", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(BIN2DEC(c.args[0].text())), true;
  });
  r.add("DEC2BIN", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    return out = V(DEC2BIN(c.args[0].number())), true;
  });
  r.add("HEX2DEC", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(HEX2DEC(c.args[0].text())), true;
  });
  r.add("HEX2BIN", [](const Call& c, V& out) {
    if (!c.isText(0)) return false;
    return out = V(HEX2BIN(c.args[0].text())), true;
  });
  r.add("TDELAY", [](const Call& c, V& out) {
    if (!c.isNumber(0)) return false;
    // A template cannot stall the station for long: a minute is the most any caller waits.
    if (c.env.clock) TDELAY(*c.env.clock, std::clamp(c.args[0].number(), 0.0, 60.0));
    return out = V(), true;
  });
  r.add("SELCOLOR", [](const Call& c, V& out) {
    if (c.count() < 1 || !c.args[0].isLogical()) return false;
    return out = V(static_cast<double>(SELCOLOR(c.args[0].logical()))), true;
  });
}

}  // namespace

void FunctionRegistry::add(std::string name, Native body) {
  name = upperAscii(name);
  functions_[name] = FunctionDef{name, std::move(body), false};
}

const FunctionDef* FunctionRegistry::find(std::string_view name) const {
  const auto it = functions_.find(upperAscii(name));
  return it == functions_.end() ? nullptr : &it->second;
}

const FunctionRegistry& FunctionRegistry::standard() {
  static const FunctionRegistry registry = [] {
    FunctionRegistry r;
    addStandard(r);
    for (const char* name : {"IIF", "IF"}) r.functions_[name] = FunctionDef{name, {}, true};
    return r;
  }();
  return registry;
}

}  // namespace blend::expr
