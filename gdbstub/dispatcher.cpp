#include "gdbstub/dispatcher.h"

#include <algorithm>

#include "core/text_util.h"
#include "gdbstub/packet.h"
#include "gdbstub/registers.h"

namespace hc11::gdb {

namespace {

constexpr const char* kMalformed = "E01";
constexpr const char* kOutOfRange = "E02";

struct Range {
  std::uint32_t address = 0;
  std::uint32_t length = 0;
};

// "ADDR,LEN" in hex; the range must lie within the 64 KiB memory.
std::optional<Range> ParseRange(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto address = ParseHexNumber(text.substr(0, comma));
  const auto length = ParseHexNumber(text.substr(comma + 1));
  if (!address || !length) return std::nullopt;
  return Range{*address, *length};
}

bool InMemory(const Range& r) {
  return r.address <= 0xFFFF && r.length <= 0x10000 - r.address;
}

std::string WatchStopReply(const WatchHit& hit) {
  const char* name = hit.type == WatchType::Write  ? "watch"
                     : hit.type == WatchType::Read ? "rwatch"
                                                   : "awatch";
  return Format("T05%s:%04x;", name, hit.address);
}

}  // namespace

Dispatcher::Dispatcher(Session& session, GdbBreakpoints& breaks, StubHost& host, ReverseExecution* reverse)
    : machine_(session.machine()), breaks_(breaks), host_(host), reverse_(reverse) {}

void Dispatcher::Interrupt() {
  if (!running_) return;
  interrupted_ = true;
  machine_.RunMode = kModeStop;  // what "Arret" does: the run ends at its next test
}

void Dispatcher::ClientGone() {
  gone_ = true;
  if (running_) machine_.RunMode = kModeStop;
}

bool Dispatcher::TakeNoAckRequest() {
  const bool requested = noAckRequest_;
  noAckRequest_ = false;
  return requested;
}

std::optional<std::string> Dispatcher::Handle(std::string_view p) {
  if (p.empty() || running_) return std::string();
  switch (p[0]) {
    case '?':
      return lastStop_;
    case 'g':
      return p.size() == 1 ? ReadAllRegisters(machine_.cpu) : kMalformed;
    case 'G': {
      CpuState cpu = machine_.cpu;
      if (!WriteAllRegisters(cpu, p.substr(1))) return kMalformed;
      host_.SetRegisters(cpu);
      return "OK";
    }
    case 'p':
    case 'P':
      return RegisterPacket(p);
    case 'm':
      return ReadMemory(p.substr(1));
    case 'M':
      return WriteMemory(p.substr(1), false);
    case 'X':
      return WriteMemory(p.substr(1), true);
    case 'c':
    case 's':
      return Resume(p[0], p.substr(1));
    case 'Z':
    case 'z':
      return BreakPacket(p);
    case 'b':
      if (reverse_ != nullptr && (p == "bs" || p == "bc")) return Reverse(p == "bc");
      return std::string();
    case 'D':
      end_ = ClientEnd::Detach;
      return "OK";
    case 'k':
      end_ = ClientEnd::Kill;
      return std::nullopt;
    case 'H':
      return "OK";  // one thread: every thread choice names it
    default:
      break;
  }
  if (p.starts_with("qSupported")) return Supported();
  if (p == "QStartNoAckMode") {
    noAckRequest_ = true;
    return "OK";
  }
  if (p.starts_with("qXfer:features:read:")) return ReadFeatures(p.substr(20));
  if (p == "qAttached") return "1";  // quitting GDB detaches, the simulator goes on
  if (p == "vCont?") return "vCont;c;C;s;S";
  if (p.starts_with("vCont;")) return ResumeCont(p.substr(6));
  if (p.starts_with("qSymbol")) return "OK";
  if (p.starts_with("qRcmd,") && monitor_ != nullptr) return Monitor(p.substr(6));
  return std::string();  // not supported
}

std::string Dispatcher::Supported() const {
  std::string s = Format("PacketSize=%zx;qXfer:features:read+;swbreak+;QStartNoAckMode+", kMaxPayload);
  if (reverse_ != nullptr) s += ";ReverseStep+;ReverseContinue+";
  return s;
}

// "target.xml:OFFSET,LENGTH": "m" and a part, or "l" and the last part.
std::string Dispatcher::ReadFeatures(std::string_view args) const {
  const auto colon = args.find(':');
  if (colon == std::string_view::npos) return kMalformed;
  if (args.substr(0, colon) != "target.xml") return "E00";
  const auto range = ParseRange(args.substr(colon + 1));
  if (!range) return kMalformed;
  const std::string_view xml = TargetDescription();
  if (range->address >= xml.size()) return "l";
  // Escapes may double a byte: keep each part well inside the packet size.
  const std::size_t length = std::min<std::size_t>(range->length, kMaxPayload / 2);
  const std::string_view part = xml.substr(range->address, length);
  return (range->address + part.size() < xml.size() ? "m" : "l") + std::string(part);
}

std::string Dispatcher::ReadMemory(std::string_view args) const {
  const auto range = ParseRange(args);
  if (!range) return kMalformed;
  if (!InMemory(*range) || range->length > kMaxPayload / 2) return kOutOfRange;
  // The debugger's reads never reach the devices: reading the serial data
  // register must not take a byte the program has not read yet.
  return HexBytes(machine_.Memory.data() + range->address, range->length);
}

std::string Dispatcher::WriteMemory(std::string_view args, bool binary) {
  const auto colon = args.find(':');
  if (colon == std::string_view::npos) return kMalformed;
  const auto range = ParseRange(args.substr(0, colon));
  if (!range) return kMalformed;
  std::string bytes;
  if (binary) {
    if (!UnescapeBinary(args.substr(colon + 1), bytes)) return kMalformed;
  } else {
    const auto decoded = DecodeHexBytes(args.substr(colon + 1));
    if (!decoded) return kMalformed;
    bytes = *decoded;
  }
  if (bytes.size() != range->length) return kMalformed;
  if (!InMemory(*range)) return kOutOfRange;
  if (!bytes.empty())
    host_.WriteMemory(static_cast<std::uint16_t>(range->address),
                      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return "OK";
}

// "pN" and "PN=VALUE".
std::string Dispatcher::RegisterPacket(std::string_view p) {
  const bool write = p[0] == 'P';
  const auto eq = p.find('=');
  if (write == (eq == std::string_view::npos)) return kMalformed;
  const auto reg = ParseHexNumber(p.substr(1, write ? eq - 1 : std::string_view::npos));
  if (!reg || *reg >= kRegisterCount) return kMalformed;
  const int n = static_cast<int>(*reg);
  if (!write) return *ReadRegister(machine_.cpu, n);
  CpuState cpu = machine_.cpu;
  if (!WriteRegister(cpu, n, p.substr(eq + 1))) return kMalformed;
  host_.SetRegisters(cpu);
  return "OK";
}

// "Ztype,addr,kind" and "ztype,addr,kind"; conditions and commands after a
// ";" are not offered, so GDB sends none.
std::string Dispatcher::BreakPacket(std::string_view p) {
  const bool insert = p[0] == 'Z';
  if (p.size() < 3 || p[2] != ',') return kMalformed;
  const char type = p[1];
  const auto range = ParseRange(
      p.substr(3, p.find(';') == std::string_view::npos ? std::string_view::npos : p.find(';') - 3));
  if (!range) return kMalformed;
  if (range->address > 0xFFFF) return kOutOfRange;
  const auto address = static_cast<std::uint16_t>(range->address);
  if (type == '0') {
    insert ? breaks_.InsertCode(address) : breaks_.RemoveCode(address);
    host_.BreaksChanged();
    return "OK";
  }
  WatchType watch;
  if (type == '2') {
    watch = WatchType::Write;
  } else if (type == '3') {
    watch = WatchType::Read;
  } else if (type == '4') {
    watch = WatchType::Access;
  } else {
    return std::string();  // hardware breakpoints: not offered
  }
  const bool done = insert ? breaks_.InsertWatch(watch, address, range->length)
                           : breaks_.RemoveWatch(watch, address, range->length);
  if (!done) return kOutOfRange;
  host_.BreaksChanged();
  return "OK";
}

std::optional<std::string> Dispatcher::Resume(char action, std::string_view address) {
  if (!address.empty()) {
    const auto pc = ParseHexNumber(address);
    if (!pc || *pc > 0xFFFF) return kMalformed;
    CpuState cpu = machine_.cpu;
    cpu.PC = static_cast<std::uint16_t>(*pc);
    host_.SetRegisters(cpu);
  }
  if (gone_) return std::nullopt;    // a run nobody could interrupt
  if (!machine_.Idle) return "E03";  // the window's own run is going on
  running_ = true;
  interrupted_ = false;
  breaks_.ClearHit();
  if (action == 's') {
    host_.StepOne();
  } else {
    host_.Continue();
  }
  running_ = false;
  return AfterRun(action == 's');
}

// "ACTION[:THREAD][;ACTION[:THREAD]]...": one thread, so the first action
// decides; a signal given with C or S is not delivered.
std::optional<std::string> Dispatcher::ResumeCont(std::string_view args) {
  if (args.empty()) return kMalformed;
  const char action = args[0];
  if (action == 'c' || action == 'C') return Resume('c', {});
  if (action == 's' || action == 'S') return Resume('s', {});
  return kMalformed;
}

std::optional<std::string> Dispatcher::Reverse(bool continueBack) {
  if (gone_) return std::nullopt;
  running_ = true;
  interrupted_ = false;
  const ReverseStopKind kind = continueBack ? reverse_->ContinueBack() : reverse_->StepBack();
  running_ = false;
  if (gone_) return std::nullopt;
  switch (kind) {
    case ReverseStopKind::Breakpoint: {
      const auto ram = reverse_->RamStop();
      const auto hit = ram ? breaks_.WatchAt(ram->address, ram->kind) : std::nullopt;
      lastStop_ = hit ? WatchStopReply(*hit) : "T05swbreak:;";
      break;
    }
    case ReverseStopKind::HistoryStart:
      lastStop_ = "T05replaylog:begin;";
      break;
    case ReverseStopKind::Interrupted:
      lastStop_ = "S02";
      break;
    case ReverseStopKind::Stepped:
      lastStop_ = interrupted_ ? "S02" : "S05";
      break;
  }
  return lastStop_;
}

// The command in hex; the answer's text in hex, as GDB prints it.
std::string Dispatcher::Monitor(std::string_view hexCommand) {
  const auto command = DecodeHexBytes(hexCommand);
  if (!command) return kMalformed;
  const MonitorAnswer answer = RunMonitorCommand(*monitor_, *command);
  // Keep the reply within the packet size.
  const std::string_view text = std::string_view(answer.text).substr(0, kMaxPayload / 2);
  return HexBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::optional<std::string> Dispatcher::AfterRun(bool stepping) {
  if (gone_) return std::nullopt;  // nobody to tell; the machine stays stopped
  const StopEvent& stop = machine_.Stop;
  if (const auto& hit = breaks_.hit()) {
    lastStop_ = WatchStopReply(*hit);
  } else if (interrupted_) {
    lastStop_ = "S02";
  } else if (stop.cause == StopCause::Error) {
    lastStop_ = IsIllegalInstruction(stop.error) ? "S04" : "S0b";  // SIGILL, SIGSEGV
  } else if (!stepping && stop.cause == StopCause::Breakpoint) {
    lastStop_ = "T05swbreak:;";
  } else {
    lastStop_ = "S05";
  }
  return lastStop_;
}

}  // namespace hc11::gdb
