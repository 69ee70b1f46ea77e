#include "gdbstub/monitor.h"

#include <cctype>

#include "core/text_util.h"

namespace hc11::gdb {

namespace {

constexpr unsigned kMaxHoldMs = 3'600'000;

constexpr const char* kHelp =
    "monitor commands:\n"
    "  help                 this list\n"
    "  reset                reset the processor and the board\n"
    "  init                 load the code image again and reset (the debugger's Init)\n"
    "  key CAPTION [MS]     press a panel key; with MS, release it after MS ms of simulated time\n"
    "  release CAPTION      release a panel key\n"
    "  inject BUTTON        press a command button (LecE2P, EcrE2P, Ecr ram, Rest Cfg, Sauv Cfg)\n"
    "  serial HEX...        bytes into the board's serial receive line (at most 200)\n"
    "  panel                the display, LEDs, latch and synthesiser\n"
    "  cycles               the cycle count\n"
    "  state save FILE      not available: state files do not exist yet\n"
    "  state load FILE      not available: state files do not exist yet\n"
    "after reset or init, GDB's copy of the registers is old: maintenance flush register-cache\n";

constexpr const char* kVerbs = "help, reset, init, key, release, inject, serial, panel, cycles, state";

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())) != 0) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())) != 0) s.remove_suffix(1);
  return s;
}

std::string_view FirstWord(std::string_view& rest) {
  rest = Trimmed(rest);
  std::size_t n = 0;
  while (n < rest.size() && std::isspace(static_cast<unsigned char>(rest[n])) == 0) ++n;
  const std::string_view word = rest.substr(0, n);
  rest = Trimmed(rest.substr(n));
  return word;
}

std::optional<unsigned> Milliseconds(std::string_view s) {
  if (s.empty() || s.size() > 7) return std::nullopt;
  unsigned v = 0;
  for (const char c : s) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  return v;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

// Hex bytes, written together or apart ("A6 03 20 05", "A6032005", "$A6").
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text, std::string& error) {
  std::vector<std::uint8_t> bytes;
  while (!text.empty()) {
    std::string_view word = FirstWord(text);
    if (word.starts_with("0x") || word.starts_with("0X")) word.remove_prefix(2);
    if (word.starts_with('$')) word.remove_prefix(1);
    if (word.empty() || word.size() % 2 != 0) {
      error = "serial: expected hex bytes (two digits each), got '" + std::string(word) + "'";
      return std::nullopt;
    }
    for (std::size_t i = 0; i < word.size(); i += 2) {
      const int hi = HexDigit(word[i]), lo = HexDigit(word[i + 1]);
      if (hi < 0 || lo < 0) {
        error = "serial: '" + std::string(word) + "' is not hexadecimal";
        return std::nullopt;
      }
      bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
  }
  if (bytes.empty()) error = "serial: give the bytes in hex, e.g. monitor serial A6 03 20 05";
  if (bytes.size() > kMonitorSerialMax)
    error = Format("serial: %zu bytes given; the receive line takes at most %zu", bytes.size(),
                   kMonitorSerialMax);
  if (!error.empty()) return std::nullopt;
  return bytes;
}

ParsedMonitorCommand Fail(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedMonitorCommand ParseMonitorCommand(std::string_view line) {
  std::string_view rest = line;
  const std::string verb = ToLower(FirstWord(rest));
  MonitorCommand c;
  auto none = [&](MonitorVerb v) -> ParsedMonitorCommand {
    if (!rest.empty()) return Fail(verb + ": takes no argument");
    c.verb = v;
    return {c, {}};
  };
  if (verb.empty() || verb == "help") return none(MonitorVerb::Help);
  if (verb == "reset") return none(MonitorVerb::Reset);
  if (verb == "init") return none(MonitorVerb::Init);
  if (verb == "panel") return none(MonitorVerb::Panel);
  if (verb == "cycles") return none(MonitorVerb::Cycles);
  if (verb == "key" || verb == "release" || verb == "inject") {
    if (rest.empty())
      return Fail(verb + ": give a caption, e.g. monitor " + verb + (verb == "inject" ? " LecE2P" : " Menu"));
    c.verb = verb == "key"       ? MonitorVerb::Key
             : verb == "release" ? MonitorVerb::Release
                                 : MonitorVerb::Inject;
    c.caption = std::string(rest);
    // "key CAPTION MS": a last word of digits after a caption is the hold time.
    const std::size_t space = rest.find_last_of(" \t");
    if (c.verb == MonitorVerb::Key && space != std::string_view::npos) {
      if (const auto ms = Milliseconds(rest.substr(space + 1))) {
        if (*ms == 0 || *ms > kMaxHoldMs) return Fail("key: the hold time is 1 to 3600000 ms");
        c.holdMs = *ms;
        c.caption = std::string(Trimmed(rest.substr(0, space)));
      }
    }
    return {c, {}};
  }
  if (verb == "serial") {
    std::string error;
    auto bytes = HexBytes(rest, error);
    if (!bytes) return Fail(error);
    c.verb = MonitorVerb::Serial;
    c.bytes = std::move(*bytes);
    return {c, {}};
  }
  if (verb == "state") {
    const std::string action = ToLower(FirstWord(rest));
    if ((action != "save" && action != "load") || rest.empty())
      return Fail("state: use state save FILE or state load FILE");
    c.verb = MonitorVerb::State;
    c.caption = action;
    c.file = std::string(rest);
    return {c, {}};
  }
  return Fail("unknown monitor command '" + verb + "'; the commands are: " + kVerbs);
}

MonitorAnswer RunMonitorCommand(MonitorTarget& target, std::string_view line) {
  const ParsedMonitorCommand parsed = ParseMonitorCommand(line);
  if (!parsed.command) return {parsed.error + "\n"};
  const MonitorCommand& c = *parsed.command;
  switch (c.verb) {
    case MonitorVerb::Help:
      return {kHelp};
    case MonitorVerb::Reset:
      target.Reset();
      return {"reset\n"};
    case MonitorVerb::Init:
      return {target.Init() ? "init\n" : "init: the code image did not load completely\n"};
    case MonitorVerb::Key:
      if (!target.PressKey(c.caption, c.holdMs)) return {"key: no key '" + c.caption + "'\n"};
      return {c.holdMs ? Format("key %s held for %u ms\n", c.caption.c_str(), *c.holdMs)
                       : "key " + c.caption + " held\n"};
    case MonitorVerb::Release:
      if (!target.ReleaseKey(c.caption)) return {"release: no key '" + c.caption + "'\n"};
      return {"key " + c.caption + " released\n"};
    case MonitorVerb::Inject:
      if (!target.InjectButton(c.caption)) return {"inject: no command button '" + c.caption + "'\n"};
      return {"inject " + c.caption + "\n"};
    case MonitorVerb::Serial:
      target.SendSerial(c.bytes);
      return {Format("serial: %zu byte(s) in the receive line\n", c.bytes.size())};
    case MonitorVerb::Panel:
      return {target.PanelText()};
    case MonitorVerb::Cycles:
      return {Format("cycles: %lld\n", static_cast<long long>(target.Cycles()))};
    case MonitorVerb::State:
      return {"state " + c.caption + ": not available, state files do not exist yet\n"};
  }
  return {kHelp};
}

}  // namespace hc11::gdb
