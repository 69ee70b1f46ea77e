#include "tools/lstgen/encoder.h"

#include <set>

#include "core/instruction_table.h"
#include "core/text_util.h"
#include "tools/lstgen/operand.h"

namespace hc11::lstgen {

namespace {

// A row able to take the operand: the mode index that selects the opcode
// (masked rows) and the operand bytes to emit, one pattern character each.
struct RowMatch {
  int row = -1;
  int modeIndex = 0;
  std::string layout;
};

char PatternAt(const Tinstx& row, std::size_t k) {
  return k < row.pattern.size() ? row.pattern[k] : '\0';
}

// Whether `row` has a slot for the operand; for addresses `wantDirect` picks
// between the direct and the extended slot when both exist.
std::optional<RowMatch> MatchRow(int index, const ParsedOperand& op, bool wantDirect) {
  const Tinstx& row = InstructionTable[static_cast<std::size_t>(index)];
  RowMatch m;
  m.row = index;
  if (row.mask == 0x30 || row.mask == 0x10) {
    const bool four = row.mask == 0x30;
    auto take = [&](int k, char c) -> std::optional<RowMatch> {
      m.modeIndex = k;
      m.layout = std::string(1, c);
      return m;
    };
    switch (op.form) {
      case OperandForm::Immediate: {
        const char c = PatternAt(row, 0);
        if (four && (c == 'i' || c == 'j')) return take(0, c);
        return std::nullopt;
      }
      case OperandForm::Indexed: {
        const int k = four ? 2 : 0;
        if (PatternAt(row, static_cast<std::size_t>(k)) == op.reg) return take(k, op.reg);
        return std::nullopt;
      }
      case OperandForm::Address: {
        const bool hasDirect = four && PatternAt(row, 1) == 'd';
        const int extIndex = four ? 3 : 1;
        const bool hasExtended = PatternAt(row, static_cast<std::size_t>(extIndex)) == 'h';
        if (hasDirect && (wantDirect || !hasExtended)) return take(1, 'd');
        if (hasExtended) return take(extIndex, 'h');
        return std::nullopt;
      }
      default:
        return std::nullopt;
    }
  }
  const std::string_view p = row.pattern;
  const std::string reg(1, op.reg);
  bool fits = false;
  switch (op.form) {
    case OperandForm::None:
      fits = p.empty();
      break;
    case OperandForm::Address:
      fits = p == "r" || p == "h";
      break;
    case OperandForm::Indexed:
      fits = p == reg;
      break;
    case OperandForm::DirectMask:
      fits = p == "dm";
      break;
    case OperandForm::IndexedMask:
      fits = p == reg + "m";
      break;
    case OperandForm::DirectMaskBranch:
      fits = p == "dmr";
      break;
    case OperandForm::IndexedMaskBranch:
      fits = p == reg + "mr";
      break;
    case OperandForm::Immediate:
      break;
  }
  if (!fits) return std::nullopt;
  m.layout = std::string(p);
  return m;
}

// The forms every row of the mnemonic accepts, for an error message.
std::string AcceptedForms(std::string_view mnemonic) {
  std::set<std::string> seen;
  std::string out;
  auto add = [&](const std::string& form) {
    if (seen.insert(form).second) out += (out.empty() ? "" : ", ") + form;
  };
  for (const Tinstx& row : InstructionTable) {
    if (ToLower(row.mnemonic) != ToLower(mnemonic)) continue;
    if (row.mask != 0) {
      const bool four = row.mask == 0x30;
      for (std::size_t k = 0; k < row.pattern.size(); ++k) {
        const char c = row.pattern[k];
        if (c == 'i' || c == 'j') add("#value");
        if (c == 'd') add("<addr");
        if (c == 'h') add("addr");
        if ((c == 'X' || c == 'Y') && k == (four ? 2u : 0u)) add(std::string("off,") + c);
      }
      continue;
    }
    const std::string_view p = row.pattern;
    if (p.empty()) add("no operand");
    if (p == "r") add("target");
    if (p == "h") add("addr");
    if (p == "X" || p == "Y") add(std::string("off,") + p[0]);
    if (p == "dm") add("addr,#mask");
    if (p == "Xm" || p == "Ym") add(std::string("off,") + p[0] + ",#mask");
    if (p == "dmr") add("addr,#mask,target");
    if (p == "Xmr" || p == "Ymr") add(std::string("off,") + p[0] + ",#mask,target");
  }
  return out;
}

int OperandBytes(char c) {
  return c == 'j' || c == 'h' ? 2 : 1;
}

// Evaluates the operand values and appends the bytes, range-checking every
// value whose symbols are known.
class Emitter {
 public:
  Emitter(const EncodeRequest& req, const SymbolLookup& lookup, Encoding& out)
      : req_(req), lookup_(lookup), out_(out) {}

  std::int32_t Value(const std::string& text) {
    const ExprResult r = Evaluate(text, req_.address, lookup_);
    if (!r.error.empty()) {
      Fail(r.error);
      return 0;
    }
    if (!r.value.known) {
      known_ = false;
      if (req_.final) Fail("undefined symbol '" + r.firstUndefined + "'");
    }
    return r.value.value;
  }

  void Byte(std::int32_t v, std::int32_t low, std::int32_t high, const char* what) {
    if (known_ && (v < low || v > high)) Fail(OutOfRange(what, v));
    out_.bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  void Word(std::int32_t v, std::int32_t low, std::int32_t high, const char* what) {
    if (known_ && (v < low || v > high)) Fail(OutOfRange(what, v));
    out_.bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    out_.bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  void Relative(std::int32_t target, std::int32_t next) {
    const std::int32_t offset = target - next;
    if (known_ && (target < 0 || target > 0xFFFF)) Fail("branch target out of range");
    if (known_ && (offset < -128 || offset > 127))
      Fail(Format("branch target too far (%d bytes; a relative branch reaches -128..127)", offset));
    out_.bytes.push_back(static_cast<std::uint8_t>(offset & 0xFF));
  }
  void Fail(const std::string& message) {
    if (out_.error.empty()) out_.error = message;
  }
  void ResetKnown() { known_ = true; }

 private:
  const EncodeRequest& req_;
  const SymbolLookup& lookup_;
  Encoding& out_;
  bool known_ = true;
};

}  // namespace

std::optional<std::string_view> CanonicalMnemonic(std::string_view mnemonic) {
  const std::string lower = ToLower(mnemonic);
  for (const Tinstx& row : InstructionTable)
    if (ToLower(row.mnemonic) == lower) return row.mnemonic;
  return std::nullopt;
}

Encoding Encode(const EncodeRequest& req, const SymbolLookup& lookup) {
  Encoding out;
  const auto canonical = CanonicalMnemonic(req.mnemonic);
  if (!canonical) {
    out.error = "unknown instruction '" + std::string(req.mnemonic) + "'";
    return out;
  }
  out.mnemonic = std::string(*canonical);
  const ParsedOperand op = ParseOperand(req.operand);
  out.operand = ListingOperand(op, req.operand);
  if (!op.error.empty()) {
    out.error = op.error;
    return out;
  }
  Emitter emit(req, lookup, out);

  // Direct or extended: forced by '<' or '>', kept from the first pass, or
  // direct when the address is already known to fit in a byte.
  bool wantDirect = op.size == AddressSize::Direct;
  if (op.form == OperandForm::Address && op.size == AddressSize::Auto) {
    if (req.direct) {
      wantDirect = *req.direct;
    } else {
      const ExprResult r = Evaluate(op.value, req.address, lookup);
      wantDirect = r.error.empty() && r.value.known && r.value.value >= 0 && r.value.value <= 0xFF;
    }
  }

  std::optional<RowMatch> match;
  for (int i = 0; i < kInstructionRows && !match; ++i)
    if (ToLower(InstructionTable[static_cast<std::size_t>(i)].mnemonic) == ToLower(out.mnemonic))
      match = MatchRow(i, op, wantDirect);
  if (!match) {
    out.error =
        "'" + out.mnemonic + "' does not take this operand (it takes: " + AcceptedForms(out.mnemonic) + ")";
    return out;
  }
  const Tinstx& row = InstructionTable[static_cast<std::size_t>(match->row)];
  if (op.size == AddressSize::Direct && match->layout != "d" && op.form == OperandForm::Address) {
    out.error = "'" + out.mnemonic + "' has no direct form";
    return out;
  }
  out.row = match->row;
  out.direct = match->layout.find('d') != std::string::npos;
  if (row.handler == HandlerId::ExecUnsupported)
    out.warning = "the simulator refuses '" + out.mnemonic + "' (" + std::string(row.pattern) + ")";

  int length = (row.prefix != 0 ? 1 : 0) + 1;
  for (char c : match->layout) length += OperandBytes(c);
  if (row.prefix != 0) out.bytes.push_back(row.prefix);
  out.bytes.push_back(static_cast<std::uint8_t>(row.base | (match->modeIndex << 4)));

  for (char c : match->layout) {
    emit.ResetKnown();
    switch (c) {
      case 'i':
        emit.Byte(emit.Value(op.value), -256, 0xFF, "value");
        break;
      case 'j':
        emit.Word(emit.Value(op.value), -32768, 0xFFFF, "value");
        break;
      case 'd':
        emit.Byte(emit.Value(op.value), 0, 0xFF, "direct address");
        break;
      case 'h':
        emit.Word(emit.Value(op.value), 0, 0xFFFF, "address");
        break;
      case 'X':
      case 'Y':
        emit.Byte(emit.Value(op.value), 0, 0xFF, "index offset");
        break;
      case 'm':
        emit.Byte(emit.Value(op.mask), -256, 0xFF, "mask");
        break;
      case 'r': {
        const std::string& target = op.form == OperandForm::Address ? op.value : op.target;
        emit.Relative(emit.Value(target), req.address + length);
        break;
      }
      default:
        emit.Fail("row pattern has no encoding");
        break;
    }
  }
  return out;
}

}  // namespace hc11::lstgen
