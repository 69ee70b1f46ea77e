// The program a session is replayed on by default: the one its header names,
// beside the session, else in the folder above it (a sessions folder kept
// next to the program), else the path beside it, which the load then refuses.
#include "recording/session_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

TEST(SessionProgram, TheRecordedProgramIsBesideTheSessionOrOneFolderUp) {
  const std::filesystem::path root = FreshTestFolder("session_program");
  std::filesystem::create_directories(root / "both" / "sessions");
  std::filesystem::create_directories(root / "up" / "sessions");
  std::filesystem::create_directories(root / "none" / "sessions");
  std::filesystem::create_directories(root / "hex");
  for (const char* program : {"both/demo.lst", "both/sessions/demo.lst", "up/demo.HEX", "hex/demo.hex"})
    std::ofstream(root / program) << "x\n";
  struct Case {
    const char* name;
    std::string session, program, expected;
  };
  const std::string r = root.string() + "/";
  const Case cases[] = {
      {"beside wins over above", r + "both/sessions/s.session", "demo", r + "both/sessions/demo"},
      {"the code image alone, above", r + "up/sessions/s.session", "demo", r + "up/sessions/../demo"},
      {"a HEX file named whole", r + "hex/s.session", "demo.hex", r + "hex/demo.hex"},
      {"nowhere: the path beside", r + "none/sessions/s.session", "demo", r + "none/sessions/demo"},
      {"a relative path in the header", r + "up/sessions/s.session", "../demo", r + "up/sessions/../demo"},
      {"no program named", r + "up/sessions/s.session", "", r + "up/sessions/"},
  };
  for (const Case& c : cases) {
    SessionFile s;
    s.program = c.program;
    EXPECT_EQ(SessionProgramPath(c.session, s), c.expected) << c.name;
  }
}

TEST(SessionProgram, ASessionInTheWorkingFolderLooksInItsParent) {
  const std::filesystem::path root = FreshTestFolder("session_program");
  std::filesystem::create_directories(root / "sessions");
  std::ofstream(root / "demo.lst") << "x\n";
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root / "sessions");
  SessionFile s;
  s.program = "demo";
  const std::string found = SessionProgramPath("s.session", s);
  std::filesystem::current_path(before);
  EXPECT_EQ(found, "../demo");
}

}  // namespace
}  // namespace hc11::test
