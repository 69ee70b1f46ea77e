#include "recording/session_program.h"

#include <filesystem>
#include <fstream>

#include "listing/listing_files.h"

namespace hc11 {

namespace {

bool Readable(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

// A program as a run names it: a HEX file, or a base path with its listing or code image.
bool ProgramThere(const std::filesystem::path& program) {
  const std::string base = ListingBaseOf(program.string());
  return Readable(program) || Readable(ListingFileName(base)) || Readable(ProgramImageName(base));
}

}  // namespace

std::string SessionProgramPath(const std::string& sessionPath, const SessionFile& session) {
  const std::filesystem::path folder = std::filesystem::path(sessionPath).parent_path();
  const std::filesystem::path beside = folder / session.program;
  if (session.program.empty() || ProgramThere(beside)) return beside.string();
  // Through "..", not the path's parent: a folder reached by a link goes up where the system does.
  const std::filesystem::path above =
      (folder.empty() ? std::filesystem::path("..") : folder / "..") / session.program;
  return ProgramThere(above) ? above.string() : beside.string();
}

}  // namespace hc11
