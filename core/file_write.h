// Whole-file writing shared by every writer: a reader never sees half a file
// and a failed write leaves the old one untouched.
#pragma once

#include <string>
#include <string_view>

namespace hc11 {

// Writes `content` to a fresh temporary file created exclusively beside the
// target, flushes it to disk, then renames it over `path`. A symlink at
// `path` stays a link: the file it points to is the one replaced. A replaced
// file keeps its permission bits. An existing target that is not a regular
// file (a FIFO, a device) is written in place, never renamed over. On failure
// the target is untouched, the temporary file removed, `error` holds the
// system's reason (such as "Permission denied") and the result is false.
bool WriteFileWhole(const std::string& path, std::string_view content, std::string& error);

}  // namespace hc11
