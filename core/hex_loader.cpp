#include "core/hex_loader.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/file_read.h"
#include "core/message_text.h"
#include "core/state_hash.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

// Only this many characters of a line are seen: longer records cannot load.
constexpr std::size_t kMaxLineChars = 90;
constexpr std::uint16_t kTimerVectorAddress = 0xFFE8;

// A field of `len` hexadecimal digits from 1-based position `pos`. A field the
// line cuts short is unreadable rather than a smaller number.
std::optional<std::uint16_t> HexField(const std::string& line, std::size_t pos, std::size_t len) {
  if (pos - 1 + len > line.size()) return std::nullopt;
  return StrToWord("$" + line.substr(pos - 1, len));
}

void Report(Messages& messages, const std::string& fileName, int lineNumber, const std::string& reason) {
  const std::string where = lineNumber > 0 ? Format(", ligne %d", lineNumber) : std::string();
  messages.Show(MsgKind::Error, "Erreur",
                Format("Image HEX %s%s : %s", QuoteText(fileName).c_str(), where.c_str(), reason.c_str()));
}

// The records of the file into memory; `image` hashes each byte with its address.
bool LoadRecords(Machine& m, const std::string& fileName, Messages& messages, StateHasher* image) {
  // A line is never held past what is seen of it, however long it runs.
  BoundedLineFile in(fileName, kMaxLineChars);
  if (!in.IsOpen()) {
    Report(messages, fileName, 0, in.problem().missing ? "fichier introuvable" : in.problem().reason);
    return false;
  }
  int lineNumber = 0;
  std::uint16_t highest = 0;
  std::string line;
  for (;;) {
    ++lineNumber;
    if (!in.Next(line)) {
      Report(messages, fileName, lineNumber,
             in.problem().reason.empty() ? "fin du fichier sans enregistrement de fin" : in.problem().reason);
      return false;
    }
    if (line.empty()) {
      Report(messages, fileName, lineNumber, "ligne vide avant l'enregistrement de fin");
      return false;
    }
    if (line[0] != ':') continue;

    const auto count = HexField(line, 2, 2);
    const auto address = HexField(line, 4, 4);
    const auto type = HexField(line, 8, 2);
    if (!count || !address || !type) {
      const char* field = !count ? "nombre d'octets" : !address ? "adresse" : "type";
      Report(messages, fileName, lineNumber, Format("champ %s illisible", field));
      return false;
    }
    // Only data records, and records whose address field is 0000 (the end
    // record among them), are accepted.
    if (*type != 0 && *address != 0) {
      Report(messages, fileName, lineNumber,
             Format("enregistrement de type %2.2X refusé (adresse %4.4X)", *type, *address));
      return false;
    }
    std::uint16_t current = *address;
    for (std::uint16_t i = 0; i < *count; ++i) {
      const auto byte = HexField(line, 10 + 2 * std::size_t{i}, 2);
      if (!byte) {
        Report(messages, fileName, lineNumber, Format("octet %d illisible", i + 1));
        return false;
      }
      m.Memory[current] = static_cast<std::uint8_t>(*byte);
      if (image != nullptr) image->Word(std::uint64_t{current} << 8 | *byte);
      if (current < 0xFFFF) ++current;
      if (current > highest) highest = current;
    }
    if (current == 0) break;
  }
  m.CodeEnd = highest;
  return true;
}

}  // namespace

bool LoadHexImage(Machine& m, const std::string& fileName, Messages& messages, std::uint64_t* imageDigest) {
  if (imageDigest == nullptr) return LoadRecords(m, fileName, messages, nullptr);
  StateHasher image;
  const bool loaded = LoadRecords(m, fileName, messages, &image);
  *imageDigest = image.Final();
  return loaded;
}

bool LoadBinaryImage(const std::string& fileName, std::span<std::uint8_t> buffer, Messages& messages) {
  std::filesystem::path path(fileName);
  path.replace_extension(".bin");
  const std::string shown = QuoteText(path.string());
  ReadProblem problem;
  const int fd = OpenRegularFile(path.string(), problem);
  if (fd < 0) {
    messages.Show(MsgKind::Error, "Erreur",
                  Format("Image %s : %s", shown.c_str(),
                         problem.missing ? "fichier introuvable" : problem.reason.c_str()));
    return false;
  }
  std::size_t got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got < buffer.size()) {
    messages.Show(MsgKind::Error, "Erreur",
                  Format("Image %s : %zu octets lus sur %zu", shown.c_str(), got, buffer.size()));
    return false;
  }
  return true;
}

bool LoadProgramImage(Machine& m, const std::string& hexFile, Messages& messages,
                      std::uint64_t* imageDigest) {
  m.ClearWriteTags();
  m.ResetMachine();
  const bool loaded = LoadHexImage(m, hexFile, messages, imageDigest);
  m.TimerVector = m.MemRead16(kTimerVectorAddress);
  m.ClearWriteTags();
  m.ResetMachine();
  m.RunMode = kModeStop;
  m.StepOverArmed = false;
  return loaded;
}

}  // namespace hc11
