#include "expr/expression.h"

#include <gtest/gtest.h>

#include <memory>

namespace hc11 {
namespace {

std::optional<std::uint16_t> Symbols(std::string_view name) {
  if (name == "cnt") return 0x0040;
  if (name == "tbl") return 0x0100;
  if (name == "main.loop") return 0xE010;
  return std::nullopt;
}

// A machine with known registers and a few memory bytes.
std::unique_ptr<Machine> Sample() {
  auto m = std::make_unique<Machine>();
  m->cpu.A = 0x12;
  m->cpu.B = 0x34;
  m->cpu.X = 0x0100;
  m->cpu.Y = 0x2000;
  m->cpu.SP = 0x00FF;
  m->cpu.PC = 0xE000;
  m->cpu.CC = FlagC | FlagZ;
  m->CycleCount = 1000;
  m->Memory[0x0040] = 7;
  m->Memory[0x0100] = 0xAB;
  m->Memory[0x0101] = 0xCD;
  m->Memory[0x0105] = 0x55;
  return m;
}

struct ValueCase {
  const char* text;
  std::int64_t value;
};

TEST(Expression, EvaluatesTable) {
  const ValueCase cases[] = {
      // numbers in every base
      {"31", 31},
      {"$1F", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"%0101", 5},
      {"0", 0},
      // registers and flags, any letter case
      {"A", 0x12},
      {"b", 0x34},
      {"D", 0x1234},
      {"X", 0x100},
      {"Y", 0x2000},
      {"SP", 0xFF},
      {"pc", 0xE000},
      {"CC", 5},
      {"C", 1},
      {"Z", 1},
      {"V", 0},
      {"N", 0},
      {"I", 0},
      {"H", 0},
      // memory: byte, big-endian word, indexed, through a symbol
      {"[$100]", 0xAB},
      {"[$100].w", 0xABCD},
      {"[X+5]", 0x55},
      {"[cnt]", 7},
      {"cnt", 0x40},
      {"[tbl].w", 0xABCD},
      {"main.loop", 0xE010},
      {"[X].b", 0xAB},
      {"[$FFFF].w", 0},
      // precedence follows C
      {"1 + 2 * 3", 7},
      {"(1 + 2) * 3", 9},
      {"10 - 4 - 3", 3},
      {"100 / 10 / 5", 2},
      {"1 << 2 + 1", 8},
      {"1 | 2 & 3", 3},
      {"6 ^ 3 & 1", 7},
      {"1 < 2 == 1", 1},
      {"2 + 3 == 5 && A == $12", 1},
      {"0 || 1 && 0", 0},
      {"-3 * 2", -6},
      {"~0", -1},
      {"!0", 1},
      {"!5", 0},
      {"- -4", 4},
      {"+4", 4},
      {"17 % 5", 2},
      {"-7 / 2", -3},
      {"$F0 >> 4", 15},
      {"3 >= 3", 1},
      {"3 > 3", 0},
      {"2 <= 1", 0},
      {"4 != 4", 0},
      {"%11 % 2", 1},
      {"5%%11", 2},
      // counters
      {"cycles", 1000},
      {"hits", 3},
      {"hits % 3 == 0", 1},
      // short-circuit keeps the guarded division from faulting
      {"0 && 1 / 0", 0},
      {"1 || 1 / 0", 1},
      // overflow wraps, oversized shifts saturate
      {"$7FFFFFFFFFFFFFFF + 1", INT64_MIN},
      {"1 << 64", 0},
      {"-1 >> 70", -1},
      {"(-9223372036854775807 - 1) / -1", INT64_MIN},
  };
  const auto m = Sample();
  for (const ValueCase& c : cases) {
    const ParsedExpression p = ParseExpression(c.text, Symbols);
    ASSERT_TRUE(p.expression) << c.text << ": " << p.error.Text();
    const ExprResult r = p.expression->Evaluate(ExprContext{*m, 3});
    EXPECT_FALSE(r.fault) << c.text;
    EXPECT_EQ(r.value, c.value) << c.text;
  }
}

struct ErrorCase {
  const char* text;
  std::size_t column;
  const char* what;  // the start of the message
};

TEST(Expression, RefusesMalformedWithColumn) {
  const ErrorCase cases[] = {
      {"", 1, "expression vide"},
      {"   ", 1, "expression vide"},
      {"1 +", 4, "valeur attendue"},
      {"(1 + 2", 7, "')' attendue"},
      {"[X + 1", 7, "']' attendu"},
      {"1 2", 3, "opérateur ou fin attendu"},
      {"A = 1", 3, "opérateur ou fin attendu"},
      {"$", 2, "chiffre hexadécimal attendu"},
      {"$G1", 2, "chiffre hexadécimal attendu"},
      {"%2", 2, "chiffre binaire attendu"},
      {"12ab", 3, "chiffre attendu"},
      {"foo + 1", 1, "symbole inconnu 'foo'"},
      {"1 + * 2", 5, "valeur attendue"},
      {"99999999999999999999", 1, "nombre trop grand"},
      {"#3", 1, "valeur attendue"},
      {"1 )", 3, "opérateur ou fin attendu"},
  };
  for (const ErrorCase& c : cases) {
    const ParsedExpression p = ParseExpression(c.text, Symbols);
    ASSERT_FALSE(p.expression) << c.text;
    EXPECT_EQ(p.error.column, c.column) << c.text << ": " << p.error.Text();
    EXPECT_EQ(p.error.what.rfind(c.what, 0), 0u) << c.text << ": " << p.error.Text();
  }
}

TEST(Expression, DeepNestingIsRefusedNotOverflowingTheStack) {
  const std::string deep = std::string(10000, '(') + "1" + std::string(10000, ')');
  const ParsedExpression p = ParseExpression(deep, Symbols);
  ASSERT_FALSE(p.expression);
  EXPECT_NE(p.error.what.find("imbriquée"), std::string::npos);
  EXPECT_FALSE(ParseExpression(std::string(5000, '-') + "1", Symbols).expression);
  EXPECT_TRUE(ParseExpression(std::string(40, '(') + "1" + std::string(40, ')'), Symbols).expression);
  // A long chain nests no bracket but makes a deep tree.
  std::string chain = "1";
  for (int i = 0; i < 50000; ++i) chain += "+1";
  const ParsedExpression longOne = ParseExpression(chain, Symbols);
  ASSERT_FALSE(longOne.expression);
  EXPECT_EQ(longOne.error.what, "expression trop longue");
  // Right-nested operands pile up on the evaluation stack.
  std::string wide = "1";
  for (int i = 0; i < 60; ++i) wide = "1||1&&1|1^1&1==1<1<<1+1*(" + wide + ")";
  const ParsedExpression deepStack = ParseExpression(wide, Symbols);
  ASSERT_FALSE(deepStack.expression);
  EXPECT_EQ(deepStack.error.what, "expression trop complexe");
}

TEST(Expression, DivisionByZeroIsAFaultWithItsColumn) {
  const auto m = Sample();
  for (const char* text : {"A / (B - $34)", "A % (B - $34)"}) {
    const ParsedExpression p = ParseExpression(text, Symbols);
    ASSERT_TRUE(p.expression);
    const ExprResult r = p.expression->Evaluate(ExprContext{*m, 0});
    ASSERT_TRUE(r.fault) << text;
    EXPECT_EQ(r.fault->column, 3u);
    EXPECT_EQ(r.fault->Text(), "colonne 3 : division par zéro");
  }
}

TEST(Expression, ReadsRegisterBlockWithoutTheDevices) {
  // A board's device would see a read through the memory hooks; the
  // evaluator must only look at the array.
  struct CountingDevices : Peripherals {
    int reads = 0;
    void AfterWrite8(std::uint16_t, std::uint8_t) override {}
    std::uint8_t Read8(std::uint16_t) override { return static_cast<std::uint8_t>(++reads); }
    void AfterWrite16(std::uint16_t, std::uint16_t) override {}
    void BoardReset() override {}
  } devices;
  auto m = Sample();
  m->SetPeripherals(&devices);
  m->Memory[0x1030] = 0x42;
  const ParsedExpression p = ParseExpression("[$1030] + [$1030].w", Symbols);
  ASSERT_TRUE(p.expression);
  EXPECT_EQ(p.expression->Evaluate(ExprContext{*m, 0}).value, 0x42 + 0x4200);
  EXPECT_EQ(devices.reads, 0);
  m->SetPeripherals(nullptr);
}

TEST(Expression, RegistersShadowSymbolsOfTheSameName) {
  auto resolve = [](std::string_view name) -> std::optional<std::uint16_t> {
    if (name == "x" || name == "hits") return 0x1234;
    return std::nullopt;
  };
  const auto m = Sample();
  EXPECT_EQ(ParseExpression("x", resolve).expression->Evaluate(ExprContext{*m, 9}).value, 0x100);
  EXPECT_EQ(ParseExpression("hits", resolve).expression->Evaluate(ExprContext{*m, 9}).value, 9);
}

}  // namespace
}  // namespace hc11
