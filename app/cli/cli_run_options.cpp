#include "app/cli/cli_run_options.h"

#include <charconv>
#include <string_view>

#include "core/text_util.h"

namespace hc11::cli {

namespace {

// Addresses are hexadecimal, with or without a "$" or "0x" in front.
std::optional<std::uint16_t> ParseAddress(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  return StrToWord("$" + std::string(text));
}

std::optional<std::uint64_t> ParseCount(std::string_view text, std::uint64_t min, std::uint64_t max) {
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return std::nullopt;
  return v;
}

ParsedRunOptions Fail(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedRunOptions ParseRunOptions(const std::vector<std::string>& args) {
  RunOptions o;
  bool haveProgram = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--history") {
      o.history = true;
      continue;
    }
    const BoardOptionResult board = ParseBoardOption(args, i, o.board);
    if (!board.error.empty()) return Fail(board.error);
    if (board.consumed > 0) {
      i += board.consumed - 1;
      continue;
    }
    if (!a.starts_with("--")) {
      if (haveProgram) return Fail("more than one PROGRAM: '" + a + "'");
      o.program = a;
      haveProgram = true;
      continue;
    }
    const auto v = value();
    if (!v) return Fail(a + " needs a value");
    if (a == "--start" || a == "--target") {
      const auto addr = ParseAddress(*v);
      if (!addr) return Fail(a + ": not a hexadecimal address: '" + *v + "'");
      (a == "--start" ? o.start : o.target) = addr;
    } else if (a == "--mode") {
      if (v->size() != 1 || std::string_view("xvwus").find((*v)[0]) == std::string_view::npos)
        return Fail("--mode: expected one of x v w u s, got '" + *v + "'");
      o.mode = static_cast<char16_t>((*v)[0]);
    } else if (a == "--steps") {
      const auto n = ParseCount(*v, 1, UINT64_MAX);
      if (!n) return Fail("--steps: expected a positive decimal number, got '" + *v + "'");
      o.steps = *n;
    } else if (a == "--repeat") {
      const auto n = ParseCount(*v, 1, UINT32_MAX);
      if (!n) return Fail("--repeat: expected a positive decimal number, got '" + *v + "'");
      o.repeat = static_cast<std::uint32_t>(*n);
    } else if (a == "--break") {
      const auto colon = v->find(':');
      BreakOption b;
      const auto addr = ParseAddress(std::string_view(*v).substr(0, colon));
      if (!addr) return Fail("--break: not a hexadecimal address: '" + *v + "'");
      b.address = *addr;
      if (colon != std::string::npos) {
        const auto state = ParseCount(std::string_view(*v).substr(colon + 1), 0, 5);
        if (!state) return Fail("--break: state must be 0 to 5: '" + *v + "'");
        b.state = static_cast<std::uint8_t>(*state);
      }
      o.breaks.push_back(b);
    } else if (a == "--dump") {
      const auto colon = v->find(':');
      if (colon == std::string::npos) return Fail("--dump: expected ADDR:COUNT, got '" + *v + "'");
      const auto addr = ParseAddress(std::string_view(*v).substr(0, colon));
      const auto count = ParseCount(std::string_view(*v).substr(colon + 1), 1, 65536);
      if (!addr || !count)
        return Fail("--dump: expected hexadecimal ADDR and decimal COUNT, got '" + *v + "'");
      o.dumps.push_back({*addr, static_cast<std::uint32_t>(*count)});
    } else {
      return Fail("unknown option '" + a + "'");
    }
  }
  if (!haveProgram) return Fail("missing PROGRAM");
  if (o.mode == u's' && !o.target) return Fail("--mode s needs --target ADDR");
  return {std::move(o), {}};
}

}  // namespace hc11::cli
