#include "expr/log_format.h"

#include <gtest/gtest.h>

#include <memory>

namespace hc11 {
namespace {

std::optional<std::uint16_t> Symbols(std::string_view name) {
  if (name == "cnt") return 0x0040;
  return std::nullopt;
}

TEST(LogFormat, FormatsPartsTable) {
  auto m = std::make_unique<Machine>();
  m->cpu.A = 0x2A;
  m->cpu.X = 0xBEEF;
  m->Memory[0x40] = 200;
  const struct {
    const char* text;
    const char* out;
  } cases[] = {
      {"plain text", "plain text"},
      {"A={A}", "A=42"},
      {"X={X:x} X={X:X} d={X:d}", "X=beef X=BEEF d=48879"},
      {"cnt={[cnt]} hit {hits}", "cnt=200 hit 5"},
      {"{{literal}} {A}", "{literal} 42"},
      {"neg {0-16:x}", "neg -10"},
      {"{A}{A}", "4242"},
      {"", ""},
  };
  for (const auto& c : cases) {
    const ParsedLogFormat p = ParseLogFormat(c.text, Symbols);
    ASSERT_TRUE(p.format) << c.text << ": " << p.error.Text();
    std::optional<ExprError> fault;
    EXPECT_EQ(p.format->Format(ExprContext{*m, 5}, fault), c.out) << c.text;
    EXPECT_FALSE(fault);
  }
}

TEST(LogFormat, RefusesMalformedWithColumnInTheWholeMessage) {
  const struct {
    const char* text;
    std::size_t column;
    const char* what;
  } cases[] = {
      {"A={A", 3, "'}' attendue"},        {"A=}", 3, "'}' seule"},
      {"v={A:q}", 6, "format x, X ou d"}, {"v={1 +}", 7, "valeur attendue"},
      {"v={nope}", 4, "symbole inconnu"}, {"v={}", 4, "expression vide"},
  };
  for (const auto& c : cases) {
    const ParsedLogFormat p = ParseLogFormat(c.text, Symbols);
    ASSERT_FALSE(p.format) << c.text;
    EXPECT_EQ(p.error.column, c.column) << c.text << ": " << p.error.Text();
    EXPECT_EQ(p.error.what.rfind(c.what, 0), 0u) << c.text << ": " << p.error.Text();
  }
}

TEST(LogFormat, FaultingPartIsMarkedAndReported) {
  auto m = std::make_unique<Machine>();
  const ParsedLogFormat p = ParseLogFormat("q={1/A} ok", Symbols);
  ASSERT_TRUE(p.format);
  std::optional<ExprError> fault;
  EXPECT_EQ(p.format->Format(ExprContext{*m, 0}, fault), "q=<erreur> ok");
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->column, 5u);
}

}  // namespace
}  // namespace hc11
