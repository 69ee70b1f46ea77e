#include "recording/session_file.h"

#include <charconv>
#include <filesystem>

#include "board/panel_tables.h"
#include "core/file_write.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/whole_file.h"

namespace hc11 {

namespace {

// Far beyond hours of recorded keys and serial traffic.
constexpr std::uintmax_t kLargestSessionFile = std::uintmax_t{256} << 20;

struct Words {
  const char* name;
  SessionInputKind kind;
};
constexpr Words kInputWords[] = {
    {"oc", SessionInputKind::Oc},
    {"signal", SessionInputKind::Signal},
    {"ocfreq", SessionInputKind::OcFreq},
    {"serial", SessionInputKind::Serial},
    {"host", SessionInputKind::Host},
    {"memo-clear", SessionInputKind::MemoClear},
    {"display-click", SessionInputKind::DisplayClick},
};

struct OutputWords {
  const char* name;
  BoardOutput kind;
};
constexpr OutputWords kOutputWords[] = {
    {"tx", BoardOutput::Transmit}, {"display", BoardOutput::Display}, {"leds", BoardOutput::Leds},
    {"outa", BoardOutput::OutA},   {"pcf", BoardOutput::Pcf},         {"eeprom", BoardOutput::Eeprom},
    {"synth", BoardOutput::Synth}, {"tone", BoardOutput::Tone},
};

std::string Escaped(const std::vector<std::uint8_t>& bytes) {
  std::string s = "\"";
  for (const std::uint8_t b : bytes) {
    switch (b) {
      case '"':
        s += "\\\"";
        break;
      case '\\':
        s += "\\\\";
        break;
      case '\r':
        s += "\\r";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\t':
        s += "\\t";
        break;
      default:
        if (b >= 0x20 && b < 0x7F)
          s += static_cast<char>(b);
        else
          s += Format("\\x%2.2x", b);
    }
  }
  return s + '"';
}

// One line's words, read left to right; a failure says why in `why`.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : rest_(line) {}
  bool AtEnd() {
    Skip();
    return rest_.empty();
  }
  std::string_view Word() {
    Skip();
    const std::size_t n = std::min(rest_.find(' '), rest_.size());
    const std::string_view w = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return w;
  }
  std::string_view Rest() {
    Skip();
    return rest_;
  }
  // A number of `base` within [0, highest].
  std::optional<std::int64_t> Number(std::int64_t highest, int base = 10) {
    const std::string_view w = Word();
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v, base);
    if (w.empty() || ec != std::errc{} || end != w.data() + w.size() || v < 0 || v > highest) return {};
    return v;
  }
  // A quoted string with C-like escapes; `truncated` when it never closes.
  std::optional<std::vector<std::uint8_t>> Quoted(bool& truncated) {
    Skip();
    truncated = false;
    if (rest_.empty() || rest_[0] != '"') return {};
    std::vector<std::uint8_t> bytes;
    std::size_t i = 1;
    for (;;) {
      if (i >= rest_.size()) {
        truncated = true;
        return {};
      }
      const char c = rest_[i++];
      if (c == '"') break;
      if (bytes.size() >= kSessionLongestBytes) return {};
      if (c != '\\') {
        bytes.push_back(static_cast<std::uint8_t>(c));
        continue;
      }
      if (i >= rest_.size()) {
        truncated = true;
        return {};
      }
      const char e = rest_[i++];
      switch (e) {
        case 'r':
          bytes.push_back('\r');
          break;
        case 'n':
          bytes.push_back('\n');
          break;
        case 't':
          bytes.push_back('\t');
          break;
        case '"':
        case '\\':
          bytes.push_back(static_cast<std::uint8_t>(e));
          break;
        case 'x': {
          unsigned v = 0;
          if (i + 2 > rest_.size()) return {};
          const auto [end, ec] = std::from_chars(rest_.data() + i, rest_.data() + i + 2, v, 16);
          if (ec != std::errc{} || end != rest_.data() + i + 2) return {};
          bytes.push_back(static_cast<std::uint8_t>(v));
          i += 2;
          break;
        }
        default:
          return {};
      }
    }
    rest_.remove_prefix(i);
    return bytes;
  }

 private:
  void Skip() {
    while (!rest_.empty() && (rest_[0] == ' ' || rest_[0] == '\t')) rest_.remove_prefix(1);
  }
  std::string_view rest_;
};

SessionReadResult Refused(SessionFileError error, int line, std::string message) {
  SessionReadResult r;
  r.error = error;
  r.line = line;
  r.message = line > 0 ? Format("line %d: ", line) + message : message;
  return r;
}

std::optional<bool> DownUp(std::string_view w) {
  if (w == "down") return true;
  if (w == "up") return false;
  return {};
}

// The words after "in TIME"; an empty string when they make an input.
std::string ReadInput(LineReader& r, SessionInput& in) {
  const std::string_view kind = r.Word();
  if (kind == "key" || kind == "onoff") {
    if (kind == "key") {
      const auto index = r.Number(static_cast<std::int64_t>(kKeypad.size()) - 1);
      if (!index) return "bad key index";
      in.value = static_cast<int>(*index);
    }
    const auto down = DownUp(r.Word());
    if (!down) return "expected down or up";
    in.kind = kind == "key" ? (*down ? SessionInputKind::KeyDown : SessionInputKind::KeyUp)
                            : (*down ? SessionInputKind::OnOffDown : SessionInputKind::OnOffUp);
    return {};
  }
  if (kind == "power") {
    const std::string_view w = r.Word();
    if (w != "cut" && w != "on") return "expected cut or on";
    in.kind = w == "cut" ? SessionInputKind::PowerCut : SessionInputKind::PowerOn;
    return {};
  }
  for (const Words& word : kInputWords) {
    if (kind != word.name) continue;
    in.kind = word.kind;
    std::optional<std::int64_t> v = 0;
    switch (word.kind) {
      case SessionInputKind::Oc:
        v = r.Number(1);
        break;
      case SessionInputKind::Signal:
        v = r.Number(255);
        break;
      case SessionInputKind::OcFreq:
        v = r.Number(kSessionHighestFrequency);
        break;
      case SessionInputKind::Serial:
      case SessionInputKind::Host: {
        bool truncated = false;
        auto bytes = r.Quoted(truncated);
        if (truncated) return "truncated";
        if (!bytes) return "bad string";
        in.bytes = std::move(*bytes);
        break;
      }
      default:
        break;
    }
    if (!v) return "bad value";
    in.value = static_cast<int>(*v);
    return {};
  }
  return "unknown";
}

std::string ReadOutput(LineReader& r, SessionOutput& out) {
  const std::string_view kind = r.Word();
  for (const OutputWords& word : kOutputWords) {
    if (kind != word.name) continue;
    out.kind = word.kind;
    std::optional<std::int64_t> v;
    switch (word.kind) {
      case BoardOutput::Transmit:
      case BoardOutput::OutA:
      case BoardOutput::Pcf:
        v = r.Number(0xFF, 16);
        break;
      case BoardOutput::Display:
        v = r.Number(0xFFFFFFFF, 16);
        break;
      case BoardOutput::Leds:
        v = r.Number(0xF, 16);
        break;
      case BoardOutput::Tone:
        v = r.Number(kSessionHighestFrequency);
        break;
      case BoardOutput::Eeprom: {
        const auto address = r.Number(0x7FF, 16);
        if (!address) return "bad value";
        out.address = static_cast<std::uint16_t>(*address);
        v = r.Number(0xFF, 16);
        break;
      }
      case BoardOutput::Synth: {
        const auto a = r.Number(0x7F, 16), m = r.Number(0x3FF, 16), rr = r.Number(0x7FF, 16);
        if (a && m && rr) v = *a | *m << 7 | *rr << 17;
        break;
      }
    }
    if (!v) return "bad value";
    out.value = static_cast<std::uint32_t>(*v);
    return {};
  }
  return "unknown";
}

}  // namespace

const char* ClockName(SessionClock clock) {
  return clock == SessionClock::Exact ? "exact" : "designed";
}

double CountsPerSecond(SessionClock) {
  return 3'580'000.0 / 4.0;
}

std::string InputText(const SessionInput& in) {
  switch (in.kind) {
    case SessionInputKind::KeyDown:
      return Format("key %d down", in.value);
    case SessionInputKind::KeyUp:
      return Format("key %d up", in.value);
    case SessionInputKind::OnOffDown:
      return "onoff down";
    case SessionInputKind::OnOffUp:
      return "onoff up";
    case SessionInputKind::Oc:
      return Format("oc %d", in.value);
    case SessionInputKind::Signal:
      return Format("signal %d", in.value);
    case SessionInputKind::OcFreq:
      return Format("ocfreq %d", in.value);
    case SessionInputKind::Serial:
      return "serial " + Escaped(in.bytes);
    case SessionInputKind::Host:
      return "host " + Escaped(in.bytes);
    case SessionInputKind::MemoClear:
      return "memo-clear";
    case SessionInputKind::DisplayClick:
      return "display-click";
    case SessionInputKind::PowerCut:
      return "power cut";
    case SessionInputKind::PowerOn:
      return "power on";
  }
  return {};
}

std::string OutputText(const SessionOutput& out) {
  const unsigned v = out.value;
  switch (out.kind) {
    case BoardOutput::Transmit:
      return Format("tx %2.2x", v);
    case BoardOutput::Display:
      return Format("display %8.8x", v);
    case BoardOutput::Leds:
      return Format("leds %x", v);
    case BoardOutput::OutA:
      return Format("outa %2.2x", v);
    case BoardOutput::Pcf:
      return Format("pcf %2.2x", v);
    case BoardOutput::Eeprom:
      return Format("eeprom %3.3x %2.2x", static_cast<unsigned>(out.address), v);
    case BoardOutput::Synth:
      return Format("synth %2.2x %3.3x %3.3x", v & 0x7F, v >> 7 & 0x3FF, v >> 17 & 0x7FF);
    case BoardOutput::Tone:
      return Format("tone %u", v);
  }
  return {};
}

std::string FormatSession(const SessionFile& s) {
  std::string text = Format("hc11flow session %d\n", kSessionVersion);
  text += "program " + s.program + '\n';
  text += Format("digest %16.16llx\n", static_cast<unsigned long long>(s.digest));
  text += std::string("clock ") + ClockName(s.clock) + '\n';
  text += "# time kind value\n";
  // Inputs and outputs merged by time, an input before an output of the same time.
  std::size_t i = 0, o = 0;
  while (i < s.inputs.size() || o < s.outputs.size()) {
    const bool input =
        o >= s.outputs.size() || (i < s.inputs.size() && s.inputs[i].time <= s.outputs[o].time);
    if (input) {
      text += Format("in %lld ", static_cast<long long>(s.inputs[i].time)) + InputText(s.inputs[i]) + '\n';
      ++i;
    } else {
      text +=
          Format("out %lld ", static_cast<long long>(s.outputs[o].time)) + OutputText(s.outputs[o]) + '\n';
      ++o;
    }
  }
  text += Format("end %lld\n", static_cast<long long>(s.end));
  return text;
}

SessionReadResult ParseSession(std::string_view text) {
  SessionFile s;
  int lineNo = 0;
  int header = 0;  // header lines read
  bool ended = false;
  std::int64_t lastIn = 0, lastOut = 0;
  while (!text.empty()) {
    const std::size_t nl = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(std::min(nl + 1, text.size()));
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    LineReader r(line);
    if (r.AtEnd() || r.Rest()[0] == '#') continue;
    if (ended) return Refused(SessionFileError::BadValue, lineNo, "nothing may follow the end line");
    const std::string_view first = r.Word();
    if (header < 4) {
      static constexpr const char* kHeaderWords[] = {"hc11flow", "program", "digest", "clock"};
      if (first != kHeaderWords[header])
        return Refused(SessionFileError::Header, lineNo,
                       std::string("expected '") + kHeaderWords[header] + "'");
      bool good = true;
      if (header == 0) {
        good = r.Word() == "session" && r.Word() == std::to_string(kSessionVersion) && r.AtEnd();
      } else if (header == 1) {
        s.program = std::string(r.Rest());
      } else if (header == 2) {
        const std::string_view w = r.Word();
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), s.digest, 16);
        good = !w.empty() && w.size() <= 16 && ec == std::errc{} && end == w.data() + w.size() && r.AtEnd();
      } else {
        const std::string_view w = r.Word();
        good = (w == "designed" || w == "exact") && r.AtEnd();
        s.clock = w == "exact" ? SessionClock::Exact : SessionClock::Designed;
      }
      if (!good) return Refused(SessionFileError::Header, lineNo, "bad header line");
      ++header;
      continue;
    }
    if (first != "in" && first != "out" && first != "end")
      return Refused(SessionFileError::UnknownKind, lineNo,
                     "unknown line '" + QuoteText(std::string(first)) + "'");
    const auto time = r.Number(kSessionLongestTime);
    if (!time) return Refused(SessionFileError::BadValue, lineNo, "bad time");
    std::string why;
    if (first == "in") {
      if (*time < lastIn) return Refused(SessionFileError::TimeBack, lineNo, "time goes back");
      SessionInput in;
      in.time = lastIn = *time;
      why = ReadInput(r, in);
      if (why.empty()) s.inputs.push_back(std::move(in));
    } else if (first == "out") {
      if (*time < lastOut) return Refused(SessionFileError::TimeBack, lineNo, "time goes back");
      SessionOutput out;
      out.time = lastOut = *time;
      why = ReadOutput(r, out);
      if (why.empty()) s.outputs.push_back(out);
    } else {
      if (*time < lastIn || *time < lastOut)
        return Refused(SessionFileError::TimeBack, lineNo, "time goes back");
      s.end = *time;
      ended = true;
    }
    if (why == "unknown") return Refused(SessionFileError::UnknownKind, lineNo, "unknown kind");
    if (why == "truncated") return Refused(SessionFileError::Truncated, lineNo, "unterminated string");
    if (!why.empty()) return Refused(SessionFileError::BadValue, lineNo, why);
    if (!r.AtEnd()) return Refused(SessionFileError::BadValue, lineNo, "unexpected words at the end");
  }
  if (header < 4) return Refused(SessionFileError::Header, lineNo, "not a session file");
  if (!ended) return Refused(SessionFileError::Truncated, lineNo, "no end line");
  SessionReadResult ok;
  ok.session = std::move(s);
  return ok;
}

SessionReadResult ReadSessionFile(const std::string& path) {
  std::error_code ec;
  if (const std::uintmax_t size = std::filesystem::file_size(path, ec); !ec && size > kLargestSessionFile)
    return Refused(SessionFileError::TooLarge, 0, "'" + QuoteText(path) + "': too large for a session");
  std::string content, reason;
  bool missing = false;
  if (!ReadWhole(path, content, missing, &reason) || missing)
    return Refused(SessionFileError::Open, 0,
                   "cannot read '" + QuoteText(path) + "': " + (missing ? "no such file" : reason));
  SessionReadResult r = ParseSession(content);
  if (!r.ok()) r.message = "'" + QuoteText(path) + "' " + r.message;
  return r;
}

bool WriteSessionFile(const std::string& path, const SessionFile& session, std::string& error) {
  return WriteFileWhole(path, FormatSession(session), error);
}

}  // namespace hc11
