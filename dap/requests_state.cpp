// State requests: the call chain, the scopes ("Registres", "Surveillances",
// "Symboles", "Carte") and their variables, edits of them, and evaluation.
#include <algorithm>

#include "core/text_util.h"
#include "dap/adapter.h"
#include "debugger/watch_formats.h"
#include "expr/expression.h"
#include "listing/symbols.h"

namespace hc11::dap {

namespace {

constexpr std::size_t kShownBytesMax = 16;  // a longer variable shows its first bytes
constexpr std::uint8_t kRealBytes = 6;      // the float format's size, whatever the watch says

struct Flag {
  const char* name;
  std::uint8_t mask;
};
constexpr std::array<Flag, 8> kFlags = {{{"S", FlagS},
                                         {"X", FlagX},
                                         {"H", FlagH},
                                         {"I", FlagI},
                                         {"N", FlagN},
                                         {"Z", FlagZ},
                                         {"V", FlagV},
                                         {"C", FlagC}}};

struct Register {
  const char* name;
  CpuRegister id;
  std::uint32_t max;
};
constexpr std::array<Register, 8> kRegisters = {{{"A", CpuRegister::A, 0xFF},
                                                 {"B", CpuRegister::B, 0xFF},
                                                 {"D", CpuRegister::D, 0xFFFF},
                                                 {"X", CpuRegister::X, 0xFFFF},
                                                 {"Y", CpuRegister::Y, 0xFFFF},
                                                 {"SP", CpuRegister::SP, 0xFFFF},
                                                 {"PC", CpuRegister::PC, 0xFFFF},
                                                 {"CC", CpuRegister::CC, 0xFF}}};

std::uint16_t RegisterOf(const Machine& m, CpuRegister r) {
  switch (r) {
    case CpuRegister::A:
      return m.cpu.A;
    case CpuRegister::B:
      return m.cpu.B;
    case CpuRegister::D:
      return static_cast<std::uint16_t>(m.cpu.A << 8 | m.cpu.B);
    case CpuRegister::X:
      return m.cpu.X;
    case CpuRegister::Y:
      return m.cpu.Y;
    case CpuRegister::SP:
      return m.cpu.SP;
    case CpuRegister::PC:
      return m.cpu.PC;
    case CpuRegister::CC:
      return m.cpu.CC;
  }
  return 0;
}

const Register* FindRegister(std::string_view name) {
  for (const Register& r : kRegisters)
    if (ToLower(name) == ToLower(r.name)) return &r;
  return nullptr;
}

std::string RegisterText(const Register& r, std::uint16_t v) {
  return r.max == 0xFF ? Format("$%2.2X", v) : Format("$%4.4X", v);
}

// The return addresses on the stack, innermost first, as the stack view
// finds them (the write tags mark a pushed return address).
std::vector<std::uint16_t> ReturnAddresses(const Machine& m) {
  std::vector<std::uint16_t> chain;
  std::uint32_t p = m.StackTop;
  while (p > m.cpu.SP) {
    const auto at = static_cast<std::uint16_t>(p);
    if (m.WriteTagTable[at].tag == TagReturnAddress && p >= 1) {
      chain.push_back(static_cast<std::uint16_t>(m.Memory[p - 1] << 8 | m.Memory[at]));
      p -= 2;
    } else {
      --p;
    }
  }
  std::reverse(chain.begin(), chain.end());
  return chain;
}

// The routine holding `address` as the stack view names it (the function
// of the label at or below it), or the address itself.
std::string FunctionName(const Listing& listing, std::uint16_t address) {
  const std::string name = FunctionOfAddress(listing.LabelList, address);
  return name.empty() ? Format("$%4.4X", address) : name;
}

std::string BytesText(const Machine& m, std::uint16_t address, std::uint32_t size) {
  if (size == 1) return Format("$%2.2X", m.Memory[address]);
  if (size == 2) return Format("$%2.2X%2.2X", m.Memory[address], m.Memory[(address + 1) & 0xFFFF]);
  std::string out;
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(size, kShownBytesMax); ++i)
    out += Format(i == 0 ? "$%2.2X" : " $%2.2X", m.Memory[(address + i) & 0xFFFF]);
  if (size > kShownBytesMax) out += " ...";
  return out;
}

}  // namespace

void Adapter::StackTrace(const Json& args, Json& body) {
  Controller& c = Live();
  const Machine& m = c.machine();
  std::vector<std::uint16_t> frames = {m.cpu.PC};
  for (const std::uint16_t r : ReturnAddresses(m)) frames.push_back(r);
  const auto start =
      static_cast<std::size_t>(std::max<std::int64_t>(0, args.value("startFrame", std::int64_t{0})));
  const std::int64_t levels = args.value("levels", std::int64_t{0});
  const std::size_t end =
      levels > 0 ? std::min(frames.size(), start + static_cast<std::size_t>(levels)) : frames.size();
  body["stackFrames"] = Json::array();
  for (std::size_t i = start; i < end; ++i) {
    // A caller's frame shows its call: the instruction just before the return address.
    const std::uint16_t at = i == 0 ? frames[i] : static_cast<std::uint16_t>(frames[i] - 1);
    Json f = {{"id", i},
              {"name", FunctionName(c.session().listing(), at)},
              {"instructionPointerReference", Format("0x%4.4X", at)}};
    if (const auto line = sources_.LineOf(launch_.frames, at)) {
      f["source"] = SourceJson(launch_.frames);
      f["line"] = ClientLine(*line);
      f["column"] = linesFrom1_ ? 1 : 0;
    } else {
      f["line"] = 0;
      f["column"] = 0;
    }
    body["stackFrames"].push_back(std::move(f));
  }
  body["totalFrames"] = frames.size();
}

void Adapter::Scopes(const Json&, Json& body) {
  Live();
  body["scopes"] = Json::array({
      {{"name", "Registres"},
       {"presentationHint", "registers"},
       {"variablesReference", kRegistersScope},
       {"expensive", false}},
      {{"name", "Surveillances"}, {"variablesReference", kWatchesScope}, {"expensive", false}},
      {{"name", "Symboles"},
       {"presentationHint", "globals"},
       {"variablesReference", kSymbolsScope},
       {"expensive", false}},
      {{"name", "Carte"}, {"variablesReference", kBoardScope}, {"expensive", false}},
  });
}

Json Adapter::ScopeVariables(std::int64_t reference) {
  Controller& c = Live();
  Session& s = c.session();
  const Machine& m = c.machine();
  Json vars = Json::array();
  auto add = [&vars](const std::string& name, const std::string& value, std::int64_t children = 0) {
    vars.push_back({{"name", name}, {"value", value}, {"variablesReference", children}});
    return &vars.back();
  };
  switch (reference) {
    case kRegistersScope:
      for (const Register& r : kRegisters) {
        Json* v =
            add(r.name, RegisterText(r, RegisterOf(m, r.id)), r.id == CpuRegister::CC ? kFlagsScope : 0);
        if (r.max == 0xFFFF && r.id != CpuRegister::D)
          (*v)["memoryReference"] = Format("0x%4.4X", RegisterOf(m, r.id));
      }
      break;
    case kFlagsScope:
      for (const Flag& f : kFlags) add(f.name, (m.cpu.CC & f.mask) != 0 ? "1" : "0");
      break;
    case kWatchesScope:
      for (const TSurv& w : s.watches().entries()) {
        const std::uint8_t per = w.WatchFormat == FmtFloat ? kRealBytes : w.bytesPer;
        const std::size_t n = std::min<std::size_t>(std::size_t{w.elements} * per, kWatchBlockMax);
        std::vector<std::uint8_t> captured(n);
        for (std::size_t i = 0; i < n; ++i) {
          const auto a = static_cast<std::uint16_t>(w.address + i);
          captured[i] = s.board().ReadTyped(a, w.type, m.Memory[a]);
        }
        Json* v = add(w.name, WatchValueText(w.WatchFormat, w.elements, per, captured));
        (*v)["memoryReference"] = Format("0x%4.4X", w.address);
        (*v)["type"] = kWatchFormatItems[std::min<std::size_t>(w.WatchFormat, kWatchFormatItems.size() - 1)];
      }
      break;
    case kSymbolsScope:
      for (const gdb::ListedVariable& l : sources_.Variables()) {
        Json* v = add(l.name, BytesText(m, l.address, l.size));
        (*v)["memoryReference"] = Format("0x%4.4X", l.address);
      }
      break;
    case kBoardScope: {
      const Board& b = s.board();
      const auto& seg = b.Ecran1.Segments;
      add("Ecran1", Format("%2.2X %2.2X %2.2X %2.2X", seg[0], seg[1], seg[2], seg[3]));
      add("Led1Ton", b.Led1Ton ? "1" : "0");
      add("Led2Hp", b.Led2Hp ? "1" : "0");
      add("Led3Klx", b.Led3Klx ? "1" : "0");
      add("Led4MA", b.Led4MA ? "1" : "0");
      add("Pcf8574", b.LbPcf8574);
      add("OutA", b.LbOutA);
      add("Synth", b.LbSynth);
      add("Reception", b.HostRxText);
      add("Emission", serialSeen_);
      std::string memo;
      for (const std::string& line : b.Memo1) memo += (memo.empty() ? "" : "\n") + line;
      add("Memo1", memo);
      break;
    }
    default:
      throw Refusal{"no variables under reference " + std::to_string(reference)};
  }
  return vars;
}

void Adapter::Variables(const Json& args, Json& body) {
  body["variables"] = ScopeVariables(args.at("variablesReference").get<std::int64_t>());
}

void Adapter::SetVariable(const Json& args, Json& body) {
  Controller& c = Live();
  if (c.Running()) throw Refusal{"a run is in progress"};
  const std::int64_t reference = args.at("variablesReference").get<std::int64_t>();
  std::string name = args.at("name").get<std::string>();
  const std::string value = args.at("value").get<std::string>();
  Session& s = c.session();
  switch (reference) {
    case kRegistersScope: {
      const Register* r = FindRegister(name);
      const auto v = r != nullptr ? ParseNumber(value, r->max) : std::nullopt;
      if (!v) throw Refusal{"'" + value + "' is not a value for " + name};
      c.SetRegister(r->id, static_cast<std::uint16_t>(*v));
      name = r->name;
      break;
    }
    case kFlagsScope: {
      const auto f =
          std::find_if(kFlags.begin(), kFlags.end(), [&](const Flag& x) { return name == x.name; });
      if (f == kFlags.end() || (value != "0" && value != "1")) throw Refusal{"a flag is 0 or 1"};
      const std::uint8_t cc = value == "1" ? c.machine().cpu.CC | f->mask : c.machine().cpu.CC & ~f->mask;
      c.SetRegister(CpuRegister::CC, cc);
      break;
    }
    case kWatchesScope: {
      const auto& ws = s.watches().entries();
      const auto w = std::find_if(ws.begin(), ws.end(), [&](const TSurv& x) { return x.name == name; });
      if (w == ws.end()) throw Refusal{"no watch '" + name + "'"};
      const std::vector<std::string> refused = s.watches().WriteValue(*w, value);
      if (!refused.empty()) throw Refusal{refused.front()};
      c.Edited(ChangeMemory | ChangeLists);
      break;
    }
    case kSymbolsScope: {
      const auto& vs = sources_.Variables();
      const auto v =
          std::find_if(vs.begin(), vs.end(), [&](const gdb::ListedVariable& x) { return x.name == name; });
      if (v == vs.end()) throw Refusal{"no variable '" + name + "'"};
      if (v->size > 2)
        throw Refusal{name + " holds " + std::to_string(v->size) + " bytes: write it with writeMemory"};
      const auto n = ParseNumber(value, v->size == 1 ? 0xFF : 0xFFFF);
      if (!n) throw Refusal{"'" + value + "' is not a value for " + name};
      std::vector<std::uint8_t> bytes;
      if (v->size == 2) bytes.push_back(static_cast<std::uint8_t>(*n >> 8));
      bytes.push_back(static_cast<std::uint8_t>(*n));
      c.WriteMemory(v->address, bytes);
      break;
    }
    default:
      throw Refusal{"these variables cannot be set"};
  }
  for (const Json& v : ScopeVariables(reference))
    if (v["name"] == name) body["value"] = v["value"];
}

void Adapter::Evaluate(const Json& args, Json& body) {
  Controller& c = Live();
  const std::string text = args.at("expression").get<std::string>();
  const Machine& m = c.machine();
  if (const Register* r = FindRegister(text)) {
    body = {{"result", RegisterText(*r, RegisterOf(m, r->id))}, {"variablesReference", 0}};
    return;
  }
  for (const std::int64_t scope : {kWatchesScope, kSymbolsScope})
    for (const Json& v : ScopeVariables(scope))
      if (v["name"] == text) {
        body = {{"result", v["value"]}, {"variablesReference", 0}, {"memoryReference", v["memoryReference"]}};
        return;
      }
  const ParsedExpression parsed = ParseExpression(text, c.session().breakpoints().symbols());
  if (!parsed.expression) throw Refusal{text + ": " + parsed.error.Text()};
  const ExprResult result = parsed.expression->Evaluate({m, 0});
  if (result.fault) throw Refusal{text + ": " + result.fault->Text()};
  body = {{"result", Format("%lld ($%llX)", static_cast<long long>(result.value),
                            static_cast<unsigned long long>(result.value))},
          {"variablesReference", 0}};
}

}  // namespace hc11::dap
