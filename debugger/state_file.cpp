#include "debugger/state_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "core/message_text.h"
#include "core/state_bytes.h"
#include "core/state_hash.h"
#include "core/text_util.h"
#include "reverse/sim_state.h"

namespace hc11 {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'H', 'C', '1', '1', 'E', 'T', 'A', 'T'};
constexpr std::size_t kVersionAt = kMagic.size();
constexpr std::size_t kCodeDigestAt = kVersionAt + 2;
constexpr std::size_t kBodyLengthAt = kCodeDigestAt + 8;
constexpr std::size_t kBodyAt = kBodyLengthAt + 4;
constexpr std::size_t kChecksumBytes = 8;

// Everything a resumed run reads, in the file's order.
void VisitBody(StateVisitor& v, Machine& m, Board& board) {
  m.Visit(v);
  board.Visit(v);
  board.VisitMemo(v);
  v.Begin("trace");
  v.Field("CycleBase", m.CycleBase);
  v.Field("EventTimeRef", m.EventTimeRef);
  v.End();
}

void PutLe(std::vector<std::uint8_t>& out, std::uint64_t v, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t GetLe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{bytes[at + i]} << (8 * i);
  return v;
}

std::uint64_t Checksum(std::span<const std::uint8_t> bytes) {
  StateHasher h;
  h.Block(bytes.data(), bytes.size());
  return h.Final();
}

// Loads the body into `m` and `board`; the reader's fault when it does not fit.
StateReadError LoadBody(std::span<const std::uint8_t> body, Machine& m, Board& board) {
  SpanSource source(body);
  StateReader reader(source);
  VisitBody(reader, m, board);
  reader.Finish();
  return reader.Error();
}

}  // namespace

std::string StateFileMessage(StateFileError error, const std::string& path, const std::string& detail) {
  const std::string file = QuoteText(path);
  const std::string why = detail.empty() ? std::string() : " (" + detail + ")";
  switch (error) {
    case StateFileError::None:
      return {};
    case StateFileError::Open:
      return file + ": lecture impossible" + why;
    case StateFileError::NotStateFile:
      return file + " n'est pas un fichier d'état";
    case StateFileError::NewerVersion:
      return file + ": fichier d'état de version " + detail + ", plus récente que la version " +
             std::to_string(kStateFileVersion) + " lue ici";
    case StateFileError::OtherProgram:
      return file + ": état d'un autre programme (image HEX différente)";
    case StateFileError::Truncated:
      return file + ": fichier d'état tronqué";
    case StateFileError::Damaged:
      return file + ": fichier d'état endommagé" + why;
    case StateFileError::Write:
      return file + ": écriture impossible" + why;
    case StateFileError::Running:
      return file + ": état non chargé pendant une exécution";
  }
  return {};
}

std::vector<std::uint8_t> StateFileEnvelope(std::span<const std::uint8_t> body, std::uint64_t codeDigest) {
  std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
  out.reserve(kBodyAt + body.size() + kChecksumBytes);
  PutLe(out, kStateFileVersion, 2);
  PutLe(out, codeDigest, 8);
  PutLe(out, body.size(), 4);
  out.insert(out.end(), body.begin(), body.end());
  PutLe(out, Checksum(std::span(out).subspan(kVersionAt)), kChecksumBytes);
  return out;
}

std::vector<std::uint8_t> EncodeState(const Machine& m, const Board& board, std::uint64_t codeDigest) {
  std::vector<std::uint8_t> body;
  body.reserve(SimState::kInlineBytes);
  VectorSink sink(body);
  StateWriter writer(sink);
  VisitBody(writer, const_cast<Machine&>(m), const_cast<Board&>(board));
  return StateFileEnvelope(body, codeDigest);
}

StateFileResult DecodeState(std::span<const std::uint8_t> bytes, std::uint64_t codeDigest, Machine& m,
                            Board& board, const std::string& path) {
  auto refuse = [&](StateFileError e, const std::string& detail = {}) {
    return StateFileResult{e, StateFileMessage(e, path, detail)};
  };
  const std::size_t magicSeen = std::min(bytes.size(), kMagic.size());
  if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(magicSeen), kMagic.begin()))
    return refuse(StateFileError::NotStateFile);
  if (bytes.size() < kCodeDigestAt) return refuse(StateFileError::Truncated);
  const auto version = GetLe(bytes, kVersionAt, 2);
  if (version > kStateFileVersion) return refuse(StateFileError::NewerVersion, std::to_string(version));
  if (bytes.size() < kBodyAt) return refuse(StateFileError::Truncated);
  const std::uint64_t bodyLength = GetLe(bytes, kBodyLengthAt, 4);
  const std::uint64_t whole = kBodyAt + bodyLength + kChecksumBytes;
  if (bytes.size() < whole) return refuse(StateFileError::Truncated);
  if (bytes.size() > whole) return refuse(StateFileError::Damaged, "octets en trop à la fin");
  const std::size_t checksumAt = kBodyAt + static_cast<std::size_t>(bodyLength);
  if (Checksum(bytes.subspan(kVersionAt, checksumAt - kVersionAt)) !=
      GetLe(bytes, checksumAt, kChecksumBytes))
    return refuse(StateFileError::Damaged, "somme de contrôle fausse");
  if (version == 0) return refuse(StateFileError::Damaged, "version 0");
  if (GetLe(bytes, kCodeDigestAt, 8) != codeDigest) return refuse(StateFileError::OtherProgram);

  // The whole body goes into a scratch board first: the live one changes
  // only once every field has been read and found sound.
  const std::span<const std::uint8_t> body = bytes.subspan(kBodyAt, static_cast<std::size_t>(bodyLength));
  {
    auto scratch = std::make_unique<Machine>();
    SilentMessages silent;
    auto scratchBoard = std::make_unique<Board>(*scratch, silent);
    const StateReadError fault = LoadBody(body, *scratch, *scratchBoard);
    if (fault.fault != StateFault::None) return refuse(StateFileError::Damaged, fault.Text());
  }
  LoadBody(body, m, board);
  m.StackChanged = true;  // the stack view draws the loaded stack
  m.PortsMayChange = true;
  return {};
}

}  // namespace hc11
