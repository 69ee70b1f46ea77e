// Arbitrary bytes as a state file: refused cleanly with nothing changed, or
// loaded whole, in which case saving gives a file that loads to the same
// digest. The first byte chooses how far in the bytes reach: as a whole
// file, as a body inside a sound header and checksum, or as a patch over a
// sound body (so the fields deep in the body, past the memory image, meet
// odd values too).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/state_bytes.h"
#include "debugger/state_file.h"
#include "reverse/sim_state.h"

namespace {

constexpr std::uint64_t kCode = 0x1234;

std::vector<std::uint8_t> SoundBody() {
  hc11::Machine m;
  hc11::SilentMessages silent;
  hc11::Board board(m, silent);
  m.ResetMachine();
  const std::vector<std::uint8_t> file = hc11::EncodeState(m, board, kCode);
  // Header of 22 bytes, checksum of 8.
  return {file.begin() + 22, file.end() - 8};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::vector<std::uint8_t> sound = SoundBody();
  const std::uint8_t how = data[0] % 3;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  std::vector<std::uint8_t> file;
  if (how == 0) {
    file.assign(rest.begin(), rest.end());
  } else if (how == 1) {
    file = hc11::StateFileEnvelope(rest, kCode);
  } else {
    if (rest.size() < 2) return 0;
    std::vector<std::uint8_t> body = sound;
    // The patch lands anywhere in the body, the last fields included.
    const std::size_t at = (std::size_t{rest[0]} << 8 | rest[1]) * body.size() / 65536;
    for (std::size_t i = 2; i < rest.size() && at + i - 2 < body.size(); ++i) body[at + i - 2] = rest[i];
    if (rest.size() % 7 == 0) body.resize(at);  // and sometimes ends there
    file = hc11::StateFileEnvelope(body, kCode);
  }

  hc11::Machine m;
  hc11::SilentMessages silent;
  hc11::Board board(m, silent);
  m.ResetMachine();
  const std::uint64_t before = hc11::StateDigest(m, &board);
  const hc11::StateFileResult r = hc11::DecodeState(file, kCode, m, board, "fuzz");
  if (!r.ok()) {
    if (hc11::StateDigest(m, &board) != before || r.message.empty()) std::abort();
    return 0;
  }
  const std::uint64_t loaded = hc11::StateDigest(m, &board);
  hc11::Machine m2;
  hc11::Board board2(m2, silent);
  if (!hc11::DecodeState(hc11::EncodeState(m, board, kCode), kCode, m2, board2, "again").ok()) std::abort();
  if (hc11::StateDigest(m2, &board2) != loaded) std::abort();
  // A loaded state runs: a few hooked accesses reach every device.
  for (std::uint8_t v : {0x00, 0xC0, 0x40, 0x80, 0xC0, 0x00}) m.MemWrite8(hc11::kPortA, v, hc11::TagData);
  m.MemWrite8(hc11::kPortD, 0x20, hc11::TagData);
  m.MemWrite8(hc11::kPortD, 0x00, hc11::TagData);
  (void)m.MemRead8(hc11::kSciData);
  return 0;
}
