#include "debugger/whole_file.h"

#include "core/file_read.h"

namespace hc11 {

bool ReadWhole(const std::string& path, std::string& content, bool& missing, std::string* reason) {
  ReadProblem problem;
  const bool ok = ReadRegularFile(path, content, problem);
  missing = problem.missing;
  if (missing) return true;
  if (!ok && reason != nullptr) *reason = problem.reason;
  return ok;
}

}  // namespace hc11
