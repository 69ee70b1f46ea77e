// Instructions and the data and layout directives.
#include "core/text_util.h"
#include "tools/lstgen/assembler.h"
#include "tools/lstgen/encoder.h"
#include "tools/lstgen/listing_writer.h"

namespace hc11::lstgen {

namespace {

std::uint16_t Address16(std::int32_t value) {
  return static_cast<std::uint16_t>(value & 0xFFFF);
}

// "text" or 'text' as a whole operand part: its characters are the bytes.
bool IsQuoted(const std::string& part) {
  return part.size() >= 2 && (part.front() == '"' || part.front() == '\'') && part.back() == part.front();
}

}  // namespace

void Assembler::Instruction(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  EncodeRequest req;
  req.mnemonic = f.op;
  req.operand = f.operand;
  req.address = pc_;
  req.final = pass_ == 2;
  if (pass_ == 2 && nextChoice_ < directChoices_.size()) req.direct = directChoices_[nextChoice_];
  ++nextChoice_;
  const Encoding enc = Encode(req, lookup_);
  if (pass_ == 1) directChoices_.push_back(enc.direct);
  if (!enc.error.empty()) Error(at, enc.error);
  if (!enc.warning.empty()) Warning(at, enc.warning);
  const std::uint16_t address = Address16(pc_);
  Emit(at, enc.bytes);
  List(at, address, enc.bytes,
       FormatSourceField(f.label, enc.mnemonic, enc.operand, f.hasComment, f.comment));
}

void Assembler::Org(const Where& at, const SourceFields& f) {
  const std::int32_t v = ValueNow(at, f.operand);
  if (v < 0 || v > 0xFFFF)
    Error(at, "org address out of range");
  else
    pc_ = v;
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  List(at, Address16(pc_), {}, FormatSourceField(f.label, "org", f.operand, f.hasComment, f.comment));
}

void Assembler::Equ(const Where& at, const SourceFields& f) {
  const std::string field =
      FormatSourceField(f.label, "equ", f.operand, f.hasComment, f.comment, FieldStyle::Tight);
  if (f.label.empty()) {
    Error(at, "equ needs a name in the label field");
    List(at, std::nullopt, {}, field);
    return;
  }
  const std::optional<std::int32_t> v = Value(at, f.operand);
  if (v) DefineLabel(at, f.label, *v, true, IsPlainNumber(f.operand));
  // The value stands in the address column, where the listing reader looks.
  List(at, Address16(v.value_or(0)), {}, field);
}

void Assembler::DataBytes(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  std::vector<std::uint8_t> bytes;
  const std::vector<std::string> parts = SplitOperands(f.operand);
  if (parts.empty()) Error(at, "db needs at least one value");
  for (const std::string& part : parts) {
    if (IsQuoted(part)) {
      for (std::size_t i = 1; i + 1 < part.size(); ++i) bytes.push_back(static_cast<std::uint8_t>(part[i]));
      continue;
    }
    const std::int32_t v = Value(at, part).value_or(0);
    if (v < -256 || v > 0xFF) Error(at, OutOfRange("byte value", v));
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  const std::uint16_t address = Address16(pc_);
  Emit(at, bytes);
  List(at, address, bytes, FormatSourceField(f.label, "db", f.operand, f.hasComment, f.comment), true);
}

void Assembler::DataWords(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  std::vector<std::uint8_t> bytes;
  const std::vector<std::string> parts = SplitOperands(f.operand);
  if (parts.empty()) Error(at, "dw needs at least one value");
  for (const std::string& part : parts) {
    const std::int32_t v = Value(at, part).value_or(0);
    if (v < -32768 || v > 0xFFFF) Error(at, OutOfRange("word value", v));
    bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  const std::uint16_t address = Address16(pc_);
  Emit(at, bytes);
  List(at, address, bytes, FormatSourceField(f.label, "dw", f.operand, f.hasComment, f.comment), true);
}

void Assembler::Reserve(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  std::int32_t count = ValueNow(at, f.operand);
  if (count < 0 || count > 0x10000) {
    Error(at, "ds count out of range");
    count = 0;
  }
  const std::uint16_t address = Address16(pc_);
  if (pc_ + count > 0x10000) Error(at, "reservation runs past $FFFF");
  pc_ += count;
  List(at, address, {}, FormatSourceField(f.label, "ds", f.operand, f.hasComment, f.comment));
}

void Assembler::Fill(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  const std::vector<std::string> parts = SplitOperands(f.operand);
  std::vector<std::uint8_t> bytes;
  if (parts.size() != 2) {
    Error(at, "fill takes value,count");
  } else {
    const std::int32_t value = Value(at, parts[0]).value_or(0);
    if (value < -256 || value > 0xFF) Error(at, OutOfRange("byte value", value));
    std::int32_t count = ValueNow(at, parts[1]);
    if (count < 0 || count > 0x10000) {
      Error(at, "fill count out of range");
      count = 0;
    }
    bytes.assign(static_cast<std::size_t>(count), static_cast<std::uint8_t>(value & 0xFF));
  }
  const std::uint16_t address = Address16(pc_);
  Emit(at, bytes);
  List(at, address, bytes, FormatSourceField(f.label, "fill", f.operand, f.hasComment, f.comment));
}

void Assembler::End(const Where& at, const SourceFields& f) {
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  std::optional<std::uint16_t> address;
  // "end start" shows the start address, which makes the simulator's listing
  // reader stop there; a bare "end" leaves the symbol section readable.
  if (!f.operand.empty()) address = Address16(Value(at, f.operand).value_or(0));
  ended_ = true;
  List(at, address, {}, FormatSourceField(f.label, "end", f.operand, f.hasComment, f.comment));
}

}  // namespace hc11::lstgen
