#include "tools/lstgen/listing_writer.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11::lstgen {

namespace {

constexpr std::size_t kBytesPerLine = 5;
constexpr std::size_t kSourceColumn = 29;  // 1-based
constexpr std::size_t kFieldWidth = 8;
constexpr std::size_t kCommentColumn = 33;  // within the source field, 1-based

void PadTo(std::string& s, std::size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
}

// Pads a field to its width, or adds one blank when it is already as wide.
void EndField(std::string& s, std::size_t width) {
  if (s.size() < width)
    PadTo(s, width);
  else
    s.push_back(' ');
}

void RightTrim(std::string& s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
}

std::string BytesText(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
  std::string out;
  for (std::size_t i = from; i < from + count && i < bytes.size(); ++i) {
    if (i > from) out.push_back(' ');
    out += Format("%02X", bytes[i]);
  }
  return out;
}

std::string LayOut(const std::optional<std::uint16_t>& address, const std::string& bytes,
                   const std::string& marks, const std::string& source) {
  std::string line = address ? Format("%04X", *address) : std::string();
  PadTo(line, 5);
  line += bytes;
  PadTo(line, 22);
  line += marks;
  if (!source.empty()) {
    PadTo(line, kSourceColumn - 1);
    line += source;
  }
  RightTrim(line);
  return line;
}

}  // namespace

std::string FormatSourceField(std::string_view label, std::string_view op, std::string_view operand,
                              bool hasComment, std::string_view comment, FieldStyle style) {
  std::string s;
  if (label.empty() && op.empty()) return hasComment ? ";" + std::string(comment) : std::string();
  if (style == FieldStyle::EndMacro) {
    s.assign(kFieldWidth, ' ');
    s += op;
    if (hasComment) s += ";" + std::string(comment);
    return s;
  }
  s = label;
  if (!op.empty()) {
    EndField(s, kFieldWidth);
    const std::size_t opStart = s.size();
    s += op;
    if (!operand.empty()) {
      if (style == FieldStyle::Tight)
        s.push_back(' ');
      else
        EndField(s, opStart + kFieldWidth);
      s += operand;
    }
  }
  if (hasComment) {
    EndField(s, kCommentColumn - 1);
    s += ";" + std::string(comment);
  }
  return s;
}

std::string FormatListing(const Assembly& assembly) {
  std::string out;
  for (const ListingEntry& e : assembly.listing) {
    std::string marks;
    if (e.macroLevel == 1)
      marks = "   1M";
    else if (e.macroLevel > 1)
      marks = "     M";
    else if (e.lineNumber > 0)
      marks = Format("%5d", e.lineNumber);
    out += LayOut(e.address, BytesText(e.bytes, 0, kBytesPerLine), marks, e.source) + "\n";
    if (!e.continueBytes || !e.address) continue;
    for (std::size_t from = kBytesPerLine; from < e.bytes.size(); from += kBytesPerLine) {
      const auto address = static_cast<std::uint16_t>(*e.address + from);
      out += LayOut(address, BytesText(e.bytes, from, kBytesPerLine), "", "") + "\n";
    }
  }
  out += "\n                         S Y M B O L   T A B L E\n\n";
  for (const Symbol& sym : assembly.symbols) {
    std::string line = sym.name;
    EndField(line, 24);
    line += Format("%04X", static_cast<unsigned>(sym.value) & 0xFFFF);
    out += line + "\n";
  }
  return out;
}

std::string FormatHex(const MemoryImage& image) {
  std::string out;
  std::uint32_t address = 0;
  while (address <= 0xFFFF) {
    if (!image.Used(static_cast<std::uint16_t>(address))) {
      ++address;
      continue;
    }
    std::vector<std::uint8_t> data;
    const std::uint32_t start = address;
    do {
      data.push_back(image.At(static_cast<std::uint16_t>(address)));
      ++address;
    } while (address <= 0xFFFF && address % 16 != 0 && image.Used(static_cast<std::uint16_t>(address)));
    unsigned sum = static_cast<unsigned>(data.size()) + (start >> 8) + (start & 0xFF);
    std::string record = Format(":%02X%04X00", static_cast<unsigned>(data.size()), start);
    for (std::uint8_t b : data) {
      record += Format("%02X", b);
      sum += b;
    }
    record += Format("%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    out += record;
  }
  out += ":00000001FF\n";
  return out;
}

}  // namespace hc11::lstgen
