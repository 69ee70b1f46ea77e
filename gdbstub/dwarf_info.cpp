#include "gdbstub/dwarf_info.h"

#include <map>

#include "gdbstub/dwarf_bytes.h"

namespace hc11::gdb {

namespace {

// Tags, attributes and forms of DWARF 3.
constexpr unsigned kTagArray = 0x01, kTagLabel = 0x0a, kTagUnit = 0x11, kTagBase = 0x24, kTagSubrange = 0x21,
                   kTagSubprogram = 0x2e, kTagVariable = 0x34;
constexpr unsigned kAtLocation = 0x02, kAtName = 0x03, kAtByteSize = 0x0b, kAtStmtList = 0x10,
                   kAtLowPc = 0x11, kAtHighPc = 0x12, kAtLanguage = 0x13, kAtCompDir = 0x1b,
                   kAtProducer = 0x25, kAtUpperBound = 0x2f, kAtEncoding = 0x3e, kAtExternal = 0x3f,
                   kAtType = 0x49;
constexpr unsigned kFormAddr = 0x01, kFormData2 = 0x05, kFormData4 = 0x06, kFormString = 0x08,
                   kFormBlock1 = 0x0a, kFormData1 = 0x0b, kFormFlag = 0x0c, kFormRef4 = 0x13;
// DW_LANG_C89: GDB honours the line table's prologue marks only outside
// assembler units, and its expressions are C's either way.
constexpr unsigned kLanguage = 0x0001;
constexpr unsigned kAteUnsigned = 0x07, kAteUnsignedChar = 0x08;
constexpr std::uint8_t kOpAddr = 0x03;

enum Abbrev : unsigned { kUnit = 1, kBase, kArray, kSubrange, kVariable, kFunction, kLabel };

void Declare(ByteWriter& w, unsigned code, unsigned tag, bool children,
             std::initializer_list<std::pair<unsigned, unsigned>> attributes) {
  w.Uleb(code);
  w.Uleb(tag);
  w.U8(children ? 1 : 0);
  for (const auto& [at, form] : attributes) {
    w.Uleb(at);
    w.Uleb(form);
  }
  w.U8(0);
  w.U8(0);
}

std::string Abbreviations() {
  ByteWriter w;
  Declare(w, kUnit, kTagUnit, true,
          {{kAtName, kFormString},
           {kAtCompDir, kFormString},
           {kAtProducer, kFormString},
           {kAtLanguage, kFormData2},
           {kAtStmtList, kFormData4},
           {kAtLowPc, kFormAddr},
           {kAtHighPc, kFormAddr}});
  Declare(w, kBase, kTagBase, false,
          {{kAtName, kFormString}, {kAtEncoding, kFormData1}, {kAtByteSize, kFormData1}});
  Declare(w, kArray, kTagArray, true, {{kAtType, kFormRef4}});
  Declare(w, kSubrange, kTagSubrange, false, {{kAtType, kFormRef4}, {kAtUpperBound, kFormData2}});
  Declare(
      w, kVariable, kTagVariable, false,
      {{kAtName, kFormString}, {kAtType, kFormRef4}, {kAtExternal, kFormFlag}, {kAtLocation, kFormBlock1}});
  Declare(w, kFunction, kTagSubprogram, true,
          {{kAtName, kFormString}, {kAtExternal, kFormFlag}, {kAtLowPc, kFormAddr}, {kAtHighPc, kFormAddr}});
  Declare(w, kLabel, kTagLabel, false, {{kAtName, kFormString}, {kAtLowPc, kFormAddr}});
  w.U8(0);
  return w.bytes();
}

}  // namespace

DebugInfoSections DebugInfo(const DebugUnit& unit) {
  ByteWriter w;
  w.U32(0);  // unit length, patched below
  w.U16(3);  // version
  w.U32(0);  // abbreviations at offset 0
  w.U8(2);   // address size

  w.Uleb(kUnit);
  w.Str(unit.name);
  w.Str(unit.directory);
  w.Str("hc11flow");
  w.U16(kLanguage);
  w.U32(0);
  w.U16(unit.low);
  w.U16(unit.high > 0xFFFF ? 0xFFFF : unit.high);

  const auto byteType = static_cast<std::uint32_t>(w.size());
  w.Uleb(kBase);
  w.Str("unsigned char");
  w.U8(kAteUnsignedChar);
  w.U8(1);
  const auto wordType = static_cast<std::uint32_t>(w.size());
  w.Uleb(kBase);
  w.Str("unsigned int");
  w.U8(kAteUnsigned);
  w.U8(2);
  // One array type per length used.
  std::map<std::uint32_t, std::uint32_t> arrays;
  for (const DebugVariable& v : unit.variables) {
    if (v.type != VariableType::Bytes || arrays.contains(v.count)) continue;
    arrays[v.count] = static_cast<std::uint32_t>(w.size());
    w.Uleb(kArray);
    w.U32(byteType);
    w.Uleb(kSubrange);
    w.U32(wordType);
    w.U16(v.count - 1);
    w.U8(0);
  }
  for (const DebugVariable& v : unit.variables) {
    w.Uleb(kVariable);
    w.Str(v.name);
    w.U32(v.type == VariableType::Byte   ? byteType
          : v.type == VariableType::Word ? wordType
                                         : arrays[v.count]);
    w.U8(1);
    w.U8(3);
    w.U8(kOpAddr);
    w.U16(v.address);
  }
  for (const DebugFunction& f : unit.functions) {
    w.Uleb(kFunction);
    w.Str(f.name);
    w.U8(1);
    w.U16(f.start);
    w.U16(f.end > 0xFFFF ? 0xFFFF : f.end);
    for (const DebugLabel& l : f.labels) {
      w.Uleb(kLabel);
      w.Str(l.name);
      w.U16(l.address);
    }
    w.U8(0);
  }
  w.U8(0);
  w.Patch32(0, static_cast<std::uint32_t>(w.size() - 4));
  return {w.bytes(), Abbreviations()};
}

}  // namespace hc11::gdb
