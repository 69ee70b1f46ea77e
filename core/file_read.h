// Opening files for reading without ever blocking: a FIFO with no writer, a
// directory or a device in place of a program file would otherwise hang the
// reader or be misread. Every reader of the program's files goes through here.
#pragma once

#include <cstddef>
#include <string>

namespace hc11 {

// Why a file could not be read, in the system's words ("Is a directory",
// "Permission denied", "not a regular file"); `missing` when it does not exist.
struct ReadProblem {
  bool missing = false;
  std::string reason;
};

// A descriptor of `path` opened for reading, or -1 with `problem` filled.
// Only a regular file is accepted; symlinks are followed. The descriptor is
// blocking again once it is known to be a regular file.
int OpenRegularFile(const std::string& path, ReadProblem& problem);

// The whole content of the regular file `path`; false with `problem` when it
// is missing, not a regular file, unreadable or longer than `maxBytes`.
// Lines of a listing shown to the user are cut here; none is that long.
inline constexpr std::size_t kSourceLineChars = 4096;

inline constexpr std::size_t kNoReadLimit = static_cast<std::size_t>(-1);
bool ReadRegularFile(const std::string& path, std::string& content, ReadProblem& problem,
                     std::size_t maxBytes = kNoReadLimit);

// Reads a regular file line by line with a bounded line: characters past
// `maxLine` are skipped, never held, so one huge line costs no memory.
class BoundedLineFile {
 public:
  BoundedLineFile(const std::string& path, std::size_t maxLine);
  ~BoundedLineFile();
  BoundedLineFile(const BoundedLineFile&) = delete;
  BoundedLineFile& operator=(const BoundedLineFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  const ReadProblem& problem() const { return problem_; }
  // The next line without its ending (LF or CR LF), cut to `maxLine`; false
  // at the end of the file or on a read error (then problem() says why).
  bool Next(std::string& line);

 private:
  bool Fill();

  int fd_ = -1;
  std::size_t maxLine_;
  ReadProblem problem_;
  char buffer_[1 << 14];
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
};

}  // namespace hc11
