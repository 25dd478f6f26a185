#include "data/expr/expression.h"

#include <gtest/gtest.h>

#include <random>

#include "data/cp874.h"
#include "data/expr/named_values.h"
#include "data/settings.h"
#include "fake_tables.h"
#include "support/scripted_errors.h"

namespace blend {
namespace {

// Answers every error with "default" and counts them: for inputs whose only promise is that
// nothing breaks.
class DefaultingErrors : public ErrorHandler {
 public:
  int count = 0;

 protected:
  ErrorAnswer handle(const ErrorRecord&) override {
    ++count;
    return ErrorAnswer::giveUp();
  }
};

class Expressions : public ::testing::Test {
 protected:
  Expressions() {
    settings.CSERIAL = "ST01   ";
    settings.CFORMAT = "999999.9";
    tables.open("DETAIL", {{"FORMULA", Value("15-15-15  ")},
                           {"AGG1", Value("UREA      ")},
                           {"AGG2", Value("DAP       ")},
                           {"AGG3", Value("MOP       ")},
                           {"AGG4", Value("          ")},
                           {"AGG5", Value("FILLER    ")},
                           {"AGG6", Value("")},
                           {"AGG7", Value("")},
                           {"AGG8", Value("")}});
    test::FakeTables::Record batch{{"DATE", Value(Date::fromYmd(2024, 2, 29))},
                                   {"TIME", Value("13:05:09")},
                                   {"ITEM", Value("0007")},
                                   {"AMOUNT", Value(Number{1000, 2, 10})}};
    const double targets[] = {201, 330, 253, 0, 216, 0, 0, 99.996};
    const double actuals[] = {201.4, 329.8, 253, 0, 216.25, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
      batch["TARGET" + std::to_string(i + 1)] = Value(Number{targets[i], 2});
      batch["ACTUAL" + std::to_string(i + 1)] = Value(Number{actuals[i], 2});
    }
    tables.open("BATCHING", batch);
    tables.select("BATCHING");
    names.set("nPage", Value(3));
  }

  Value eval(std::string_view text) { return evaluateText(text, env); }
  std::string text(std::string_view source) {
    const Value v = eval(source);
    EXPECT_TRUE(v.isText()) << source;
    return v.isText() ? v.text() : std::string();
  }
  double number(std::string_view source) {
    const Value v = eval(source);
    EXPECT_TRUE(v.isNumber()) << source;
    return v.isNumber() ? v.number() : -12345;
  }
  bool logical(std::string_view source) {
    const Value v = eval(source);
    EXPECT_TRUE(v.isLogical()) << source;
    return v.isLogical() && v.logical();
  }

  Settings settings;
  test::FakeTables tables;
  NamedValues names{&settings};
  test::ScriptedErrors errors;
  test::ManualClock clock;
  expr::Env env{errors, &tables, &names, &clock, &settings};
};

TEST_F(Expressions, ComparisonsOfTextArePrefixComparisons) {
  const struct {
    const char* source;
    bool result;
  } cases[] = {
      {"'ABC' = 'AB'", true},    {"'AB' = 'ABC'", false},  {"'ABC' == 'AB'", false},
      {"'AB' == 'AB'", true},    {"'ABC' = ''", true},     {"'' = 'A'", false},
      {"'ABC' >= 'AB'", true},   {"'ABC' > 'AB'", false},  {"'AB' < 'ABC'", true},
      {"'ABD' > 'ABC'", true},   {"'ABC' != 'AB'", false}, {"'ABC' <> 'ABD'", true},
      {"'AB' # 'AB'", false},    {"'B' $ 'ABC'", true},    {"'' $ 'ABC'", false},
      {"'abc' $ 'ABC'", false},  {"1 = 1.0", true},        {"2 < 10", true},
      {"CTOD('') < CTOD('01/01/1970')", true},             {".F. < .T.", true},
      {"NIL = NIL", true},       {"'\xA1' > 'z'", true},  // bytes compare unsigned
  };
  for (const auto& c : cases) EXPECT_EQ(logical(c.source), c.result) << c.source;
}

TEST_F(Expressions, OperatorsFollowTheirRanks) {
  const struct {
    const char* source;
    double result;
  } cases[] = {
      {"2 + 3 * 4", 14},     {"(2 + 3) * 4", 20},  {"-2 ** 2", 4},     {"2 ^ 3 ^ 2", 64},
      {"10 - 4 - 3", 3},     {"7 % 3", 1},         {"-7 % 3", -1},     {"1 / 4", 0.25},
      {"5 / 0", 0},          {"5 % 0", 0},         {"--3", 3},         {"+4", 4},
      {"CTOD('01/03/2024') - CTOD('28/02/2024')", 2},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(number(c.source), c.result) << c.source;
  EXPECT_TRUE(logical(".NOT. 1 = 2"));
  EXPECT_TRUE(logical("!.F. .AND. .T. .OR. .F."));
  EXPECT_TRUE(logical(".T. .OR. .F. .AND. .F."));  // .AND. binds tighter
  EXPECT_TRUE(errors.seen.empty()) << "division by zero is settled without a word";
}

TEST_F(Expressions, TextAndDateArithmetic) {
  EXPECT_EQ(text("'ab  ' - 'cd'"), "abcd  ");
  EXPECT_EQ(text("'ab' + 'cd'"), "abcd");
  EXPECT_EQ(text("DTOC(CTOD('28/02/2024') + 1)"), "29/02/2024");
  EXPECT_EQ(text("DTOC(1 + CTOD('28/02/2023'))"), "01/03/2023");
  EXPECT_EQ(text("DTOS(CTOD('01/01/2025') - 1)"), "20241231");
}

TEST_F(Expressions, OnlyTheDecidingOperandIsEvaluated) {
  EXPECT_FALSE(logical(".F. .AND. NOSUCH()"));
  EXPECT_TRUE(logical(".T. .OR. NOSUCH()"));
  EXPECT_EQ(text("IIF(1 > 2, NOSUCH(), 'b')"), "b");
  EXPECT_EQ(text("IF(.T., 'a', UNKNOWN)"), "a");
}

TEST_F(Expressions, NamesResolveToFieldsThenNamedValues) {
  EXPECT_EQ(text("ITEM"), "0007");                  // bare name: the current table
  EXPECT_EQ(text("detail->formula"), "15-15-15  ");  // alias and field without regard to case
  EXPECT_EQ(text("alltrim(cSerial)"), "ST01");      // a setting
  EXPECT_DOUBLE_EQ(number("M->nPage + nPage"), 6);  // a published value
  EXPECT_EQ(text("ALLTRIM(STR(AMOUNT))"), "1000.00");
  names.set("aList", Value(Array{Value("x"), Value("y")}));
  EXPECT_EQ(text("aList[2]"), "y");
  EXPECT_DOUBLE_EQ(number("LEN(aList)"), 2);
}

TEST_F(Expressions, RuntimeErrorsReachTheHandlerWithTheirText) {
  const struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"NOSUCH", "Error BASE/1003  Variable does not exist: NOSUCH"},
      {"WDATA->NUMBER", "Error BASE/1002  Alias does not exist: WDATA"},
      {"DETAIL->NOFIELD", "Error BASE/1003  Variable does not exist: DETAIL->NOFIELD"},
      {"NOFUNC(1)", "Error BASE/1001  Undefined function: NOFUNC"},
      {"1 + 'a'", "Error BASE/1081  Argument error: +"},
      {"'a' * 2", "Error BASE/1083  Argument error: *"},
      {"SUBSTR(5, 1)", "Error BASE/1099  Argument error: SUBSTR"},
      {".NOT. 5", "Error BASE/1077  Argument error: .NOT."},
      {"IIF(1, 2, 3)", "Error BASE/1066  Argument error: IIF"},
      {"1 = 'a'", "Error BASE/1071  Argument error: ="},
  };
  for (const auto& c : cases) {
    errors.expect(c.message);
    EXPECT_TRUE(eval(c.source).isNil()) << c.source << ": a defaulted error yields NIL";
  }
  ASSERT_EQ(errors.seen.size(), std::size(cases));
  EXPECT_TRUE(errors.seen[4].canRetry && errors.seen[4].canDefault);
  ASSERT_TRUE(errors.seen[4].args.has_value());
  EXPECT_EQ(errors.seen[4].args->size(), 2u);
}

TEST_F(Expressions, TheHandlersAnswerIsUsed) {
  errors.expect("Variable does not exist", ErrorAnswer::retry());
  errors.expect("Variable does not exist", ErrorAnswer::substitute(Value("stand-in")));
  EXPECT_EQ(text("'<' + LATER + '>'"), "<stand-in>");
}

TEST_F(Expressions, SyntaxErrorsAreReportedWhenCompiled) {
  for (const char* bad : {"(1 + 2", "1 +", "'open", "SUBSTR('a', 1", "a[1", "1 2", "@", ")",
                          "x->", "f(1,,", ""}) {
    errors.expect("Syntax error");
    const Expression e = Expression::compile(bad, errors);
    EXPECT_FALSE(e.valid()) << bad;
    EXPECT_TRUE(e.evaluate(env).isNil());
  }
}

TEST_F(Expressions, ListsEvaluateEveryItemAndGiveTheFirst) {
  const Expression e = Expression::compile("ITEM, 1 + 1, 'x'", errors);
  EXPECT_EQ(e.evaluate(env).text(), "0007");
  const std::vector<Value> all = e.evaluateList(env);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_DOUBLE_EQ(all[1].number(), 2);
}

TEST_F(Expressions, TheTableStateFunctionsReadTheCurrentTable) {
  tables.currentState = {true, 7, 12, false, true, true};
  EXPECT_TRUE(logical("DELETED() .AND. BOF() .AND. FOUND() .AND. !EOF()"));
  EXPECT_DOUBLE_EQ(number("RECNO() * 100 + RECCOUNT()"), 712);
}

TEST_F(Expressions, TheShippedLabelAndDisplayTemplatesGiveTheirLayouts) {
  const Settings defaults = loadSettings("/nonexistent-dir/MAIN.INI");

  const std::string label = text(defaults.CBARDATA);
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t bar = label.find('|', start);
    fields.push_back(label.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  // Station, formula, date, time, eight materials, eight targets: 19 separators.
  ASSERT_EQ(fields.size(), 20u) << label;
  EXPECT_EQ(fields[0], "ST01");
  EXPECT_EQ(fields[1], "15-15-15");
  EXPECT_EQ(fields[2], "20240229");
  EXPECT_EQ(fields[3], "13:05:09");
  EXPECT_EQ(fields[4], "UREA");
  EXPECT_EQ(fields[7], "");
  EXPECT_EQ(fields[8], "FILLER");
  EXPECT_EQ(fields[12], "*****");  // 201.00 does not fit 5 characters
  EXPECT_EQ(fields[15], "0.00");
  EXPECT_EQ(fields[19], "*****");  // 99.996 rounds to 100.00

  const std::string line = text(defaults.CRMTDATA);
  ASSERT_EQ(line.size(), 73u);
  EXPECT_EQ(line[0], '\x02');
  EXPECT_EQ(line.substr(1, 7), "1000.45");
  EXPECT_EQ(line.substr(8, 7), " 201.40");
  EXPECT_EQ(line.substr(36, 7), " 216.25");
  EXPECT_EQ(line.substr(64, 9), "   0007\r\n");
}

TEST(ExpressionRobustness, BadInputNeverBreaksTheEvaluator) {
  DefaultingErrors errors;
  NamedValues names;
  test::FakeTables tables;
  expr::Env env{errors, &tables, &names, nullptr, nullptr};

  // Nesting far deeper than any template is refused, not recursed into.
  const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_FALSE(Expression::compile(deep, errors).valid());
  std::string chain = "1";
  for (int i = 0; i < 3000; ++i) chain += "+1";
  EXPECT_FALSE(Expression::compile(chain, errors).valid());
  EXPECT_FALSE(Expression::compile(std::string(10000, '-') + "1", errors).valid());
  EXPECT_TRUE(evaluateText("LEN(REPLICATE('ab', 100000000))", env).isNil());

  std::mt19937 random(7);
  const std::string alphabet = "()[]+-*/%^=<>!#$.,'\"ANOTRDFx19 \xA1->";
  for (int i = 0; i < 3000; ++i) {
    std::string source;
    const int length = static_cast<int>(random() % 40);
    for (int k = 0; k < length; ++k)
      source += (i % 3 == 0) ? static_cast<char>(random() % 256)
                             : alphabet[random() % alphabet.size()];
    evaluateText(source, env);
  }
  EXPECT_GT(errors.count, 0);
}

}  // namespace
}  // namespace blend
