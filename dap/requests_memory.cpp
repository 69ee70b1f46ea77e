// Memory requests: bytes read and written in base64, instructions shown as
// the listing writes them, and the program's source files.
#include <algorithm>

#include "core/text_util.h"
#include "dap/adapter.h"
#include "dap/base64.h"

namespace hc11::dap {

namespace {

constexpr std::int64_t kMemorySize = 0x10000;
constexpr std::int64_t kInstructionBytesMax = 5;

// The address a memory reference and an offset name; refused past $FFFF.
std::int64_t AddressOf(const Json& args) {
  const std::string ref = args.at("memoryReference").get<std::string>();
  const auto base = ParseNumber(ref);
  if (!base) throw Refusal{"'" + ref + "' is not an address"};
  const std::int64_t offset = args.value("offset", std::int64_t{0});
  if (offset < -kMemorySize || offset > kMemorySize) throw Refusal{"offset out of the address space"};
  return *base + offset;
}

}  // namespace

void Adapter::ReadMemory(const Json& args, Json& body) {
  Controller& c = Live();
  const std::int64_t start = AddressOf(args);
  const std::int64_t asked = args.at("count").get<std::int64_t>();
  if (asked < 0) throw Refusal{"count must not be negative"};
  // What lies outside the address space is unreadable: it is left out.
  const std::int64_t from = std::clamp<std::int64_t>(start, 0, kMemorySize);
  const std::int64_t to = std::clamp<std::int64_t>(start + std::min(asked, kMemorySize * 2), 0, kMemorySize);
  body["address"] = Format("0x%4.4llX", static_cast<long long>(from));
  const std::int64_t count = std::max<std::int64_t>(0, to - from);
  body["data"] = EncodeBase64(c.machine().Memory.data() + from, static_cast<std::size_t>(count));
  if (asked > count) body["unreadableBytes"] = asked - count;
}

void Adapter::WriteMemory(const Json& args, Json& body) {
  Controller& c = Live();
  if (c.Running()) throw Refusal{"a run is in progress"};
  const std::int64_t start = AddressOf(args);
  const auto bytes = DecodeBase64(args.at("data").get<std::string>());
  if (!bytes) throw Refusal{"data is not base64"};
  if (start < 0 || start + static_cast<std::int64_t>(bytes->size()) > kMemorySize)
    throw Refusal{"the bytes do not fit below $10000"};
  c.WriteMemory(static_cast<std::uint16_t>(start), *bytes);
  body["bytesWritten"] = bytes->size();
}

void Adapter::Disassemble(const Json& args, Json& body) {
  Controller& c = Live();
  const std::int64_t start = AddressOf(args);
  const std::int64_t skip = args.value("instructionOffset", std::int64_t{0});
  const std::int64_t count =
      std::min<std::int64_t>(args.at("instructionCount").get<std::int64_t>(), kMemorySize);
  const auto& code = sources_.Instructions();
  const TListSyn& lines = c.session().listing().LineList;
  // The index of the first listed instruction at or after the start; the
  // instruction offset moves from there, and places outside the list are
  // shown as invalid so the client gets the count it asked for.
  const auto first = std::lower_bound(code.begin(), code.end(), start,
                                      [](const gdb::ListedLine& l, std::int64_t a) { return l.address < a; });
  const std::int64_t base = (first - code.begin()) + skip;
  body["instructions"] = Json::array();
  for (std::int64_t k = 0; k < std::max<std::int64_t>(0, count); ++k) {
    const std::int64_t i = base + k;
    if (i < 0 || i >= static_cast<std::int64_t>(code.size())) {
      body["instructions"].push_back(
          {{"address", Format("0x%4.4llX",
                              static_cast<long long>(std::clamp<std::int64_t>(start + i - base, 0, 0xFFFF)))},
           {"instruction", "??"},
           {"presentationHint", "invalid"}});
      continue;
    }
    const gdb::ListedLine& l = code[static_cast<std::size_t>(i)];
    const std::int64_t next = i + 1 < static_cast<std::int64_t>(code.size())
                                  ? code[static_cast<std::size_t>(i + 1)].address
                                  : kMemorySize;
    const std::int64_t size = std::clamp<std::int64_t>(next - l.address, 1, kInstructionBytesMax);
    std::string bytes;
    for (std::int64_t b = 0; b < size; ++b)
      bytes += Format(b == 0 ? "%2.2X" : " %2.2X", c.machine().Memory[(l.address + b) & 0xFFFF]);
    const std::string addr = Format("%4.4X", l.address);
    std::string text = "??", label;
    for (const TSynElem& e : lines)
      if (ToLower(e.AddrText) == ToLower(addr) && !e.Text.empty()) {
        text = e.Text;
        label = e.Label;
        break;
      }
    Json ins = {{"address", "0x" + addr},
                {"instructionBytes", bytes},
                {"instruction", text},
                {"location", SourceJson(SourceFile::Listing)},
                {"line", ClientLine(l.listingLine)}};
    if (!label.empty()) ins["symbol"] = label;
    body["instructions"].push_back(std::move(ins));
  }
}

void Adapter::LoadedSources(const Json&, Json& body) {
  Live();
  body["sources"] = Json::array();
  for (const SourceFile f : {SourceFile::Listing, SourceFile::Assembler})
    if (!sources_.PathOf(f).empty()) body["sources"].push_back(SourceJson(f));
}

}  // namespace hc11::dap
