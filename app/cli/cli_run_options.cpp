#include "app/cli/cli_run_options.h"

#include <charconv>
#include <string_view>

#include "core/message_text.h"
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

// Splits at ':' into at most `parts` fields; the last one keeps any further colons.
std::vector<std::string> Fields(const std::string& text, std::size_t parts) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (fields.size() + 1 < parts) {
    const auto colon = text.find(':', from);
    if (colon == std::string::npos) break;
    fields.push_back(text.substr(from, colon - from));
    from = colon + 1;
  }
  fields.push_back(text.substr(from));
  return fields;
}

std::optional<BreakOption> ParseBreak(const std::string& v, std::string& error) {
  const std::vector<std::string> f = Fields(v, 4);
  BreakOption b;
  const auto addr = ParseAddress(f[0]);
  if (!addr) {
    error = "--break: ADDR must be hexadecimal 0 to FFFF: '" + QuoteText(v) + "'";
    return std::nullopt;
  }
  b.address = *addr;
  if (f.size() > 1) {
    const auto state = ParseCount(f[1], 0, 5);
    if (!state) {
      error = "--break: state must be 0 to 5: '" + QuoteText(v) + "'";
      return std::nullopt;
    }
    b.state = static_cast<std::uint8_t>(*state);
  }
  if (f.size() > 2) {
    if (f[2].size() != 1) {
      error = "--break: kind must be one letter (C I i m): '" + QuoteText(v) + "'";
      return std::nullopt;
    }
    b.kind = f[2][0];
  }
  if (f.size() > 3) b.name = f[3].substr(0, 50);
  return b;
}

std::optional<WatchOption> ParseWatch(const std::string& v, std::string& error) {
  const std::vector<std::string> f = Fields(v, 5);
  WatchOption w;
  const auto eq = f[0].find('=');
  w.name = f[0].substr(0, eq);
  if (w.name.empty()) {
    error = "--watch: missing NAME: '" + QuoteText(v) + "'";
    return std::nullopt;
  }
  if (eq != std::string::npos) {
    w.address = ParseAddress(f[0].substr(eq + 1));
    if (!w.address) {
      error = "--watch: ADDR must be hexadecimal 0 to FFFF: '" + QuoteText(v) + "'";
      return std::nullopt;
    }
  }
  if (f.size() > 1) {
    const auto at = std::string_view("b$DdfS").find(f[1]);
    if (f[1].size() != 1 || at == std::string_view::npos) {
      error = "--watch: FORMAT must be one of b $ D d f S: '" + QuoteText(v) + "'";
      return std::nullopt;
    }
    w.format = static_cast<std::uint8_t>(at);
  }
  if (f.size() > 2) {
    const auto n = ParseCount(f[2], 1, 16);
    if (!n) {
      error = "--watch: BYTES must be 1 to 16: '" + QuoteText(v) + "'";
      return std::nullopt;
    }
    w.bytesPer = static_cast<std::uint8_t>(*n);
  }
  if (f.size() > 3) {
    const auto n = ParseCount(f[3], 1, 100);
    if (!n) {
      error = "--watch: ELEMENTS must be 1 to 100: '" + QuoteText(v) + "'";
      return std::nullopt;
    }
    w.elements = static_cast<std::uint8_t>(*n);
  }
  if (f.size() > 4) w.initial = f[4];
  return w;
}

// "ADDR:TEXT" of the breakpoint extras' options; the text is checked once
// the listing's symbols are known.
std::optional<BreakRuleOption> ParseBreakRule(const std::string& a, const std::string& v,
                                              std::string& error) {
  BreakRuleOption r;
  r.option = a + " " + v;
  const auto colon = v.find(':');
  const auto addr =
      colon == std::string::npos ? std::nullopt : ParseAddress(std::string_view(v).substr(0, colon));
  if (!addr) {
    error = a + ": expected hexadecimal ADDR 0 to FFFF, ':' and " + (a == "--break-count" ? "N" : "a text") +
            ", got '" + QuoteText(v) + "'";
    return std::nullopt;
  }
  r.address = *addr;
  r.text = v.substr(colon + 1);
  if (a == "--break-count") {
    r.kind = BreakRuleOption::Kind::Count;
    std::string_view n = r.text;
    r.every = n.starts_with("*");
    if (r.every) n.remove_prefix(1);
    const auto count = ParseCount(n, 1, UINT32_MAX);
    if (!count) {
      error = "--break-count: N must be a decimal number 1 to 4294967295 (*N: every Nth hit), got '" +
              QuoteText(v) + "'";
      return std::nullopt;
    }
    r.count = static_cast<std::uint32_t>(*count);
  } else {
    r.kind = a == "--logpoint" ? BreakRuleOption::Kind::Log : BreakRuleOption::Kind::Condition;
  }
  return r;
}

// Where an option naming a file keeps it; null for other options.
std::string* FileOptionOf(RunOptions& o, std::string_view a) {
  if (a == "--save-workspace") return &o.saveWorkspace;
  if (a == "--settings") return &o.settings;
  if (a == "--load-state") return &o.loadState;
  if (a == "--save-state") return &o.saveState;
  if (a == "--record") return &o.record;
  return nullptr;
}

bool IsValueOption(std::string_view a) {
  for (std::string_view known :
       {"--start", "--target", "--mode", "--steps", "--repeat", "--break", "--dump", "--find", "--watch",
        "--save-workspace", "--settings", "--load-state", "--save-state", "--record", "--break-if",
        "--break-count", "--logpoint", "--stop-when"})
    if (a == known) return true;
  return false;
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
    if (a == "--exact") {
      o.exact = true;
      continue;
    }
    if (a == "--no-workspace") {
      o.noWorkspace = true;
      continue;
    }
    if (a == "--profile") {
      o.profiling.profile = true;
      continue;
    }
    if (a == "--coverage") {
      const auto v = value();
      if (!v || v->empty()) return Fail("--coverage: expected a file name, got ''");
      o.profiling.coverage = *v;
      continue;
    }
    if (a == "--back-run" || a == "--digest") {
      (a == "--digest" ? o.reverse.digest : o.reverse.backRun) = true;
      continue;
    }
    if (a == "--back") {
      const auto n = i + 1 < args.size() ? ParseCount(args[++i], 1, UINT64_MAX) : std::nullopt;
      if (!n) return Fail("--back: expected a positive decimal number of steps");
      o.reverse.back = *n;
      continue;
    }
    const BoardOptionResult board = ParseBoardOption(args, i, o.board);
    if (!board.error.empty()) return Fail(board.error);
    if (board.consumed > 0) {
      if (a == "--eeprom" && o.board.eepromFile.empty())
        return Fail("--eeprom: expected a file name, got ''");
      i += board.consumed - 1;
      continue;
    }
    const SerialOptionResult serial = ParseSerialOption(args, i, o.serial);
    if (!serial.error.empty()) return Fail(serial.error);
    if (serial.consumed > 0) {
      i += serial.consumed - 1;
      continue;
    }
    if (!a.starts_with("--")) {
      if (haveProgram) return Fail("more than one PROGRAM: '" + QuoteText(a) + "'");
      o.program = a;
      haveProgram = true;
      continue;
    }
    if (!IsValueOption(a)) return Fail("unknown option '" + QuoteText(a) + "'");
    const auto v = value();
    if (!v) return Fail(QuoteText(a) + " needs a value");
    if (a == "--start" || a == "--target") {
      const auto addr = ParseAddress(*v);
      if (!addr) return Fail(a + ": ADDR must be hexadecimal 0 to FFFF: '" + QuoteText(*v) + "'");
      (a == "--start" ? o.start : o.target) = addr;
    } else if (a == "--mode") {
      if (v->size() != 1 || std::string_view("xvwus").find((*v)[0]) == std::string_view::npos)
        return Fail("--mode: expected one of x v w u s, got '" + QuoteText(*v) + "'");
      o.mode = static_cast<char16_t>((*v)[0]);
    } else if (a == "--steps") {
      const auto n = ParseCount(*v, 1, UINT64_MAX);
      if (!n) return Fail("--steps: expected a positive decimal number, got '" + QuoteText(*v) + "'");
      o.steps = *n;
    } else if (a == "--repeat") {
      const auto n = ParseCount(*v, 1, UINT32_MAX);
      if (!n) return Fail("--repeat: expected a positive decimal number, got '" + QuoteText(*v) + "'");
      o.repeat = static_cast<std::uint32_t>(*n);
    } else if (a == "--break") {
      std::string error;
      const auto b = ParseBreak(*v, error);
      if (!b) return Fail(error);
      o.breaks.push_back(*b);
    } else if (a == "--break-if" || a == "--break-count" || a == "--logpoint") {
      std::string error;
      auto r = ParseBreakRule(a, *v, error);
      if (!r) return Fail(error);
      o.breakRules.push_back(std::move(*r));
    } else if (a == "--stop-when") {
      o.stopWhen.push_back(*v);
    } else if (a == "--watch") {
      std::string error;
      const auto w = ParseWatch(*v, error);
      if (!w) return Fail(error);
      o.watches.push_back(*w);
    } else if (std::string* file = FileOptionOf(o, a)) {
      if (v->empty()) return Fail(a + ": expected a file name, got ''");
      *file = *v;
    } else if (a == "--find") {
      ParsedMemorySearch find = ParseMemorySearch(*v);
      if (!find.search) return Fail("--find: " + find.error + ": '" + QuoteText(*v) + "'");
      o.finds.push_back({*v, std::move(*find.search)});
    } else if (a == "--dump") {
      const auto colon = v->find(':');
      if (colon == std::string::npos) return Fail("--dump: expected ADDR:COUNT, got '" + QuoteText(*v) + "'");
      const auto addr = ParseAddress(std::string_view(*v).substr(0, colon));
      const auto count = ParseCount(std::string_view(*v).substr(colon + 1), 1, 65536);
      if (!addr || !count)
        return Fail("--dump: expected hexadecimal ADDR 0 to FFFF and decimal COUNT 1 to 65536, got '" +
                    QuoteText(*v) + "'");
      o.dumps.push_back({*addr, static_cast<std::uint32_t>(*count)});
    }
  }
  if (!haveProgram) return Fail("missing PROGRAM");
  if (o.mode == kModeRunTo && !o.target) return Fail("--mode s needs --target ADDR");
  if (const std::string error = CheckSerialOptions(o.serial); !error.empty()) return Fail(error);
  return {std::move(o), {}};
}

}  // namespace hc11::cli
