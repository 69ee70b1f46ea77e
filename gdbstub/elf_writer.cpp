#include "gdbstub/elf_writer.h"

namespace hc11::gdb {

namespace {

constexpr std::uint32_t kHeaderSize = 52, kProgramHeaderSize = 32, kSectionHeaderSize = 40, kSymbolSize = 16;
constexpr std::uint32_t kPtLoad = 1, kPfRead = 4, kPfExec = 1;
constexpr std::uint32_t kShtProgbits = 1, kShtSymtab = 2, kShtStrtab = 3, kShtNobits = 8;
constexpr std::uint32_t kShfWrite = 1, kShfAlloc = 2, kShfExec = 4;
constexpr std::uint16_t kShnAbs = 0xFFF1;
constexpr std::uint8_t kStbGlobal = 1;

// Big-endian appends.
void Put8(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
}
void Put16(std::string& out, std::uint32_t v) {
  Put8(out, v >> 8);
  Put8(out, v);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v);
}
void Align(std::string& out, std::size_t to) {
  while (out.size() % to != 0) out.push_back('\0');
}

// A string table: offsets of the names added, "" at offset 0.
class StringTable {
 public:
  std::uint32_t Add(const std::string& s) {
    const auto at = static_cast<std::uint32_t>(text_.size());
    text_ += s;
    text_.push_back('\0');
    return at;
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_ = std::string(1, '\0');
};

struct SectionHeader {
  std::uint32_t name = 0, type = 0, flags = 0, address = 0, offset = 0, size = 0, link = 0, info = 0,
                align = 1, entsize = 0;
};

std::uint16_t SectionOf(const ElfImage& image, std::uint16_t address) {
  for (std::size_t i = 0; i < image.sections.size(); ++i) {
    const ElfSection& s = image.sections[i];
    if (address >= s.address && static_cast<std::size_t>(address - s.address) < s.bytes.size())
      return static_cast<std::uint16_t>(i + 1);
  }
  return kShnAbs;
}

}  // namespace

std::string WriteElf(const ElfImage& image) {
  const auto programCount = static_cast<std::uint32_t>(image.sections.size());
  const auto infoCount = static_cast<std::uint32_t>(image.infoSections.size() + (image.reservation ? 1 : 0));
  // Sections: null, code..., information..., .symtab, .strtab, .shstrtab.
  const std::uint32_t symtabIndex = programCount + infoCount + 1;
  const std::uint32_t sectionCount = programCount + infoCount + 4;

  std::string out(kHeaderSize + programCount * kProgramHeaderSize, '\0');
  StringTable names, strings;
  std::vector<SectionHeader> headers(1);
  for (const ElfSection& s : image.sections) {
    SectionHeader h;
    h.name = names.Add(s.name);
    h.type = kShtProgbits;
    h.flags = kShfAlloc | kShfExec;
    h.address = s.address;
    h.offset = static_cast<std::uint32_t>(out.size());
    h.size = static_cast<std::uint32_t>(s.bytes.size());
    out.append(s.bytes.begin(), s.bytes.end());
    headers.push_back(h);
  }
  if (image.reservation) {
    SectionHeader h;
    h.name = names.Add(".bss");
    h.type = kShtNobits;
    h.flags = kShfAlloc | kShfWrite;
    h.address = image.reservation->address;
    h.offset = static_cast<std::uint32_t>(out.size());
    h.size = image.reservation->size;
    headers.push_back(h);
  }
  for (const ElfInfoSection& s : image.infoSections) {
    SectionHeader h;
    h.name = names.Add(s.name);
    h.type = kShtProgbits;
    h.offset = static_cast<std::uint32_t>(out.size());
    h.size = static_cast<std::uint32_t>(s.bytes.size());
    out += s.bytes;
    headers.push_back(h);
  }

  Align(out, 4);
  SectionHeader symtab;
  symtab.name = names.Add(".symtab");
  symtab.type = kShtSymtab;
  symtab.offset = static_cast<std::uint32_t>(out.size());
  symtab.link = symtabIndex + 1;
  symtab.info = 1;  // every symbol after the null one is global
  symtab.align = 4;
  symtab.entsize = kSymbolSize;
  out.append(kSymbolSize, '\0');
  for (const ElfSymbol& sym : image.symbols) {
    Put32(out, strings.Add(sym.name));
    Put32(out, sym.address);
    Put32(out, sym.size);
    Put8(out, kStbGlobal << 4 | static_cast<std::uint8_t>(sym.type));
    Put8(out, 0);
    Put16(out, sym.type == ElfSymbolType::Object ? kShnAbs : SectionOf(image, sym.address));
  }
  symtab.size = static_cast<std::uint32_t>(out.size()) - symtab.offset;
  headers.push_back(symtab);

  SectionHeader strtab;
  strtab.name = names.Add(".strtab");
  strtab.type = kShtStrtab;
  strtab.offset = static_cast<std::uint32_t>(out.size());
  strtab.size = static_cast<std::uint32_t>(strings.text().size());
  out += strings.text();
  headers.push_back(strtab);

  SectionHeader shstrtab;
  shstrtab.name = names.Add(".shstrtab");
  shstrtab.type = kShtStrtab;
  shstrtab.offset = static_cast<std::uint32_t>(out.size());
  shstrtab.size = static_cast<std::uint32_t>(names.text().size());
  out += names.text();
  headers.push_back(shstrtab);

  Align(out, 4);
  const auto sectionTable = static_cast<std::uint32_t>(out.size());
  for (const SectionHeader& h : headers) {
    Put32(out, h.name);
    Put32(out, h.type);
    Put32(out, h.flags);
    Put32(out, h.address);
    Put32(out, h.offset);
    Put32(out, h.size);
    Put32(out, h.link);
    Put32(out, h.info);
    Put32(out, h.align);
    Put32(out, h.entsize);
  }

  std::string header =
      "\x7f"
      "ELF";
  Put8(header, 1);  // 32-bit
  Put8(header, 2);  // big-endian
  Put8(header, 1);  // version
  header.append(9, '\0');
  Put16(header, 2);  // executable
  Put16(header, kElfMachine68hc11);
  Put32(header, 1);
  Put32(header, image.entry);
  Put32(header, programCount > 0 ? kHeaderSize : 0);
  Put32(header, sectionTable);
  Put32(header, 0);  // flags: 16-bit int, 32-bit double, no banks
  Put16(header, kHeaderSize);
  Put16(header, kProgramHeaderSize);
  Put16(header, static_cast<std::uint16_t>(programCount));
  Put16(header, kSectionHeaderSize);
  Put16(header, static_cast<std::uint16_t>(sectionCount));
  Put16(header, static_cast<std::uint16_t>(sectionCount - 1));  // .shstrtab
  for (std::uint32_t i = 0; i < programCount; ++i) {
    const SectionHeader& h = headers[i + 1];
    Put32(header, kPtLoad);
    Put32(header, h.offset);
    Put32(header, h.address);
    Put32(header, h.address);
    Put32(header, h.size);
    Put32(header, h.size);
    Put32(header, kPfRead | kPfExec);
    Put32(header, 1);
  }
  out.replace(0, header.size(), header);
  return out;
}

}  // namespace hc11::gdb
