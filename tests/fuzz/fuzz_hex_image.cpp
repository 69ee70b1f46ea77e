// Arbitrary bytes as the program's Intel HEX image: the loader must neither
// crash nor write outside the memory image.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/hex_loader.h"
#include "core/machine.h"
#include "core/messages.h"

namespace {

// The loader reads a named file, so each input goes through one scratch file
// per process, removed at exit.
struct ScratchFile {
  std::string path =
      (std::filesystem::temp_directory_path() / ("hc11-fuzz-" + std::to_string(getpid()) + ".HEX")).string();
  ~ScratchFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile scratch;
  {
    std::ofstream out(scratch.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // One machine for every input: the loader only stores bytes and CodeEnd,
  // which nothing it does depends on.
  static const auto machine = std::make_unique<hc11::Machine>();
  hc11::SilentMessages messages;
  hc11::LoadHexImage(*machine, scratch.path, messages);
  return 0;
}
