#include "debugger/workspace_file.h"

#include <optional>

#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

enum Tag : std::uint8_t { kInt8 = 2, kInt16 = 3, kInt32 = 4, kShortText = 6, kLongText = 12, kUtf8Text = 20 };
constexpr int kHeaderIntegers = 5;
constexpr int kHeaderTexts = 3;

void PutLE(std::string& out, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>(v >> (8 * k) & 0xFF);
}

// Reads tagged values, remembering where the first failure happened.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : b_(bytes) {}

  std::optional<std::int32_t> Integer() {
    const std::size_t at = pos_;
    const auto tag = Byte();
    if (!tag) return std::nullopt;
    int size = 0;
    switch (*tag) {
      case kInt8:
        size = 1;
        break;
      case kInt16:
        size = 2;
        break;
      case kInt32:
        size = 4;
        break;
      default:
        return Fail(at, Format("étiquette %u où un entier est attendu", *tag));
    }
    const auto raw = LE(size);
    if (!raw) return std::nullopt;
    const std::uint32_t sign = 1u << (8 * size - 1);
    const std::uint32_t mask = size == 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
    return static_cast<std::int32_t>(((*raw & mask) ^ sign) - sign);
  }

  std::optional<std::string> Text() {
    const std::size_t at = pos_;
    const auto tag = Byte();
    if (!tag) return std::nullopt;
    std::optional<std::uint32_t> length;
    if (*tag == kShortText) {
      length = LE(1);
    } else if (*tag == kLongText || *tag == kUtf8Text) {
      length = LE(4);
    } else {
      return Fail<std::string>(at, Format("étiquette %u où un texte est attendu", *tag));
    }
    if (!length) return std::nullopt;
    if (*length > b_.size() - pos_) return Fail<std::string>(b_.size(), "fichier tronqué");
    std::string text(b_.substr(pos_, *length));
    pos_ += *length;
    return text;
  }

  // A range error at the value that starts at `at`.
  template <typename T = int>
  std::optional<T> Fail(std::size_t at, std::string what) {
    if (error_.empty()) error_ = Format("octet %zu: ", at) + what;
    return std::nullopt;
  }
  std::size_t pos() const { return pos_; }
  const std::string& error() const { return error_; }

 private:
  std::optional<std::uint8_t> Byte() {
    if (pos_ >= b_.size()) return Fail<std::uint8_t>(pos_, "fichier tronqué");
    return static_cast<std::uint8_t>(b_[pos_++]);
  }
  std::optional<std::uint32_t> LE(int bytes) {
    if (b_.size() - pos_ < static_cast<std::size_t>(bytes))
      return Fail<std::uint32_t>(b_.size(), "fichier tronqué");
    std::uint32_t v = 0;
    for (int k = 0; k < bytes; ++k)
      v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(b_[pos_++])) << (8 * k);
    return v;
  }

  std::string_view b_;
  std::size_t pos_ = 0;
  std::string error_;
};

// An integer in [lo, hi], or a range error naming `what`.
std::optional<std::int32_t> Ranged(Reader& r, std::int32_t lo, std::int32_t hi, const char* what) {
  const std::size_t at = r.pos();
  const auto v = r.Integer();
  if (!v) return std::nullopt;
  if (*v < lo || *v > hi) return r.Fail<std::int32_t>(at, Format("%s hors limites: %d", what, *v));
  return v;
}

std::optional<std::string> NonEmptyText(Reader& r, const char* what) {
  const std::size_t at = r.pos();
  auto t = r.Text();
  if (t && t->empty()) return r.Fail<std::string>(at, Format("%s vide", what));
  return t;
}

bool ReadBreak(Reader& r, Tbreak& b) {
  if (!r.Text()) return false;
  const auto name = r.Text();
  if (!name) return false;
  b.name = name->substr(0, kBreakNameMax);
  const auto address = Ranged(r, 0, 0xFFFF, "adresse");
  if (!address) return false;
  b.address = static_cast<std::uint16_t>(*address);
  const auto kind = NonEmptyText(r, "type");
  if (!kind) return false;
  b.BreakKind = (*kind)[0];
  const auto state = Ranged(r, 0, 255, "état");
  if (!state) return false;
  b.BreakState = static_cast<std::uint8_t>(*state);
  return true;
}

bool ReadWatch(Reader& r, TSurv& w) {
  w = TSurv{};
  w.name.clear();
  w.type = '.';
  const auto name = r.Text();
  if (!name) return false;
  w.name = *name;
  const auto format = Ranged(r, FmtBits, FmtString, "format");
  if (!format) return false;
  w.WatchFormat = static_cast<std::uint8_t>(*format);
  const auto address = Ranged(r, 0, 0xFFFF, "adresse");
  if (!address) return false;
  w.address = static_cast<std::uint16_t>(*address);
  const auto type = NonEmptyText(r, "type");
  if (!type) return false;
  w.type = (*type)[0];
  const auto bytesPer = Ranged(r, 0, 255, "nombre d'octets");
  if (!bytesPer) return false;
  w.bytesPer = static_cast<std::uint8_t>(*bytesPer);
  const auto elements = Ranged(r, 0, 255, "nombre d'éléments");
  if (!elements) return false;
  w.elements = static_cast<std::uint8_t>(*elements);
  const auto initial = r.Text();
  if (!initial) return false;
  w.initial = *initial;
  w.WatchStatus = 'm';
  w.line = "xxx";
  return true;
}

}  // namespace

void PutInteger(std::string& out, std::int32_t v) {
  if (v >= -128 && v <= 127) {
    out += static_cast<char>(kInt8);
    PutLE(out, static_cast<std::uint32_t>(v), 1);
  } else if (v >= -32768 && v <= 32767) {
    out += static_cast<char>(kInt16);
    PutLE(out, static_cast<std::uint32_t>(v), 2);
  } else {
    out += static_cast<char>(kInt32);
    PutLE(out, static_cast<std::uint32_t>(v), 4);
  }
}

void PutText(std::string& out, std::string_view text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii && text.size() <= 255) {
    out += static_cast<char>(kShortText);
    PutLE(out, static_cast<std::uint32_t>(text.size()), 1);
  } else {
    out += static_cast<char>(ascii ? kLongText : kUtf8Text);
    PutLE(out, static_cast<std::uint32_t>(text.size()), 4);
  }
  out += text;
}

std::string EncodeWorkspace(const std::vector<Tbreak>& breaks, const std::vector<TSurv>& watches) {
  std::string out;
  for (int i = 0; i < kHeaderIntegers; ++i) PutInteger(out, 0);
  for (int i = 0; i < kHeaderTexts; ++i) PutText(out, "");
  PutInteger(out, static_cast<std::int32_t>(breaks.size()));
  for (const Tbreak& b : breaks) {
    PutText(out, "");
    PutText(out, b.name);
    PutInteger(out, b.address);
    PutText(out, std::string(1, b.BreakKind));
    PutInteger(out, b.BreakState);
  }
  PutInteger(out, static_cast<std::int32_t>(watches.size()));
  for (const TSurv& w : watches) {
    PutText(out, w.name);
    PutInteger(out, w.WatchFormat);
    PutInteger(out, w.address);
    PutText(out, std::string(1, w.type));
    PutInteger(out, w.bytesPer);
    PutInteger(out, w.elements);
    PutText(out, w.initial);
  }
  return out;
}

WorkspaceRead DecodeWorkspace(std::string_view bytes) {
  WorkspaceRead result;
  Reader r(bytes);
  auto done = [&]() {
    result.error = r.error();
    return result;
  };
  for (int i = 0; i < kHeaderIntegers; ++i)
    if (!r.Integer()) return done();
  for (int i = 0; i < kHeaderTexts; ++i)
    if (!r.Text()) return done();
  const auto breaks = Ranged(r, 0, INT32_MAX, "nombre de points d'arrêt");
  if (!breaks) return done();
  for (std::int32_t i = 0; i < *breaks; ++i) {
    Tbreak b;
    if (!ReadBreak(r, b)) return done();
    if (b.BreakState >= kBreakStateNames.size())
      result.notes.push_back(
          Format("point d'arrêt %d ($%4.4X) : état %u inconnu", i + 1, b.address, b.BreakState));
    if (std::string_view("CIim").find(b.BreakKind) == std::string_view::npos)
      result.notes.push_back(Format("point d'arrêt %d ($%4.4X) : type \"%s\" inconnu", i + 1, b.address,
                                    QuoteText(std::string(1, b.BreakKind)).c_str()));
    result.workspace.breaks.push_back(std::move(b));
  }
  const auto watches = Ranged(r, 0, INT32_MAX, "nombre de variables");
  if (!watches) return done();
  for (std::int32_t i = 0; i < *watches; ++i) {
    TSurv w;
    if (!ReadWatch(r, w)) return done();
    result.workspace.watches.push_back(std::move(w));
  }
  if (r.pos() < bytes.size())
    result.notes.push_back(Format("%zu octet(s) en trop après la dernière variable (octet %zu), ignorés",
                                  bytes.size() - r.pos(), r.pos()));
  return done();
}

}  // namespace hc11
