// The listing-side commands (lines, functions, pseudo, flowchart) as scripts
// see them: exit codes, which stream a message goes to, file names as the
// user wrote them, and awkward listings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/listing/listing_text.h"

namespace {

namespace fs = std::filesystem;
using hc11::test::Join;
using hc11::test::Lst;

using Result = hc11::test::CliResult;

class ProgramCommandsCli : public ::testing::Test {
 protected:
  void SetUp() override { dir = hc11::test::FreshTestFolder("hc11_prog_"); }
  void TearDown() override { fs::remove_all(dir); }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  void CopyDemo() const {
    fs::copy_file(fs::path(HC11_SOURCE_DIR) / "examples/demo/demo.lst", dir / "demo.lst");
  }

  Result Cli(const std::vector<std::string>& args) const { return hc11::test::RunCli(dir, args); }

  fs::path dir;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ProgramCommandsCli, HelpOfEveryCommandIsItsUsageOnStdout) {
  const Result all = Cli({"--help"});
  EXPECT_EQ(all.status, 0);
  int commands = 0;
  std::istringstream lines(all.out);
  for (std::string line; std::getline(lines, line);) {
    const std::string prefix = "  hc11flow-cli ";
    if (line.rfind(prefix, 0) != 0) continue;
    ++commands;
    const std::string name = line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size());
    for (const char* flag : {"--help", "-h"}) {
      const Result one = Cli({name, flag});
      EXPECT_EQ(one.status, 0) << name << ' ' << flag << ": " << one.err;
      EXPECT_EQ(one.out, "usage:" + line.substr(1) + "\n");
      EXPECT_EQ(one.err, "");
    }
  }
  EXPECT_GE(commands, 10);
  // Anywhere else, "--help" is an option like any other.
  CopyDemo();
  EXPECT_EQ(Cli({"lines", "demo", "--help"}).status, 2);
}

TEST_F(ProgramCommandsCli, ListingNamesKeepTheCaseTheUserWrote) {
  Write("UP.LST", Join({Lst("E000", "", "1", "        org $E000"), Lst("E000", "39", "2", "debprog_ ret")}));
  for (const char* name : {"UP.LST", "UP"}) {
    const Result r = Cli({"lines", name});
    EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_EQ(r.out, "E000\t\tdebprog_\tret\t\t\t39\t00\n") << name;
  }
  const Result wrongCase = Cli({"lines", "UP.lst"});
  EXPECT_EQ(wrongCase.status, 2);
  EXPECT_EQ(wrongCase.err, "Manque fichier LST UP\n");
}

TEST_F(ProgramCommandsCli, TabsAndNulInsideFieldsPrintAsBlanks) {
  std::string comment = " a\tb";
  comment += '\0';
  comment += "c";
  Write("odd.lst",
        Join({Lst("E000", "", "1", "        org $E000"), Lst("E000", "86 05", "2", "go\tldA #5;" + comment),
              Lst("E002", "39", "3", "        ret")}));
  const Result lines = Cli({"lines", "odd"});
  ASSERT_EQ(lines.status, 0) << lines.err;
  EXPECT_EQ(lines.out, "E000\t\tgo ldA\t#5\t\t a b c\t86\t05\nE002\t\t\tret\t\t\t39\t00\n");
  const Result pseudo = Cli({"pseudo", "odd"});
  ASSERT_EQ(pseudo.status, 0) << pseudo.err;
  for (const std::string& line : Lines(pseudo.out))
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
  EXPECT_EQ(pseudo.out.find('\0'), std::string::npos);
}

TEST_F(ProgramCommandsCli, UnreadableListingAndUnwritableFunctionListGiveTheReason) {
  fs::create_directories(dir / "folder.lst");
  for (const char* command : {"lines", "pseudo"}) {
    const Result r = Cli({command, "folder"});
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_EQ(r.err, "Impossible de lire le fichier LST folder.lst : Is a directory\n") << command;
  }

  CopyDemo();
  fs::create_directories(dir / "demo_Fonct.txt");
  const Result r = Cli({"functions", "demo"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Erreur: Impossible d'écrire la liste des fonctions demo_Fonct.txt : Is a directory\n");
  EXPECT_EQ(r.out.rfind("adc_read\te", 0), 0u) << "the list is still printed";
}

TEST_F(ProgramCommandsCli, PseudoExitCodesAndStreams) {
  CopyDemo();
  const Result ok = Cli({"pseudo", "demo.lst"});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.err, "");
  EXPECT_EQ(Lines(ok.out).at(64), "E056\t\tmain_loop\tcall adc_read\t\t\t1");
  EXPECT_FALSE(fs::exists(dir / "demo_Fonct.txt"));

  const Result missing = Cli({"pseudo", "absent"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "Manque fichier LST absent\n");
  EXPECT_EQ(Cli({"pseudo"}).status, 2);
}

TEST_F(ProgramCommandsCli, FlowchartExitCodesStreamsAndSavedPositions) {
  CopyDemo();
  const Result boxes = Cli({"flowchart", "demo", "serial_command"});  // --boxes implied
  EXPECT_EQ(boxes.status, 0) << boxes.err;
  EXPECT_EQ(boxes.err, "");
  ASSERT_GT(Lines(boxes.out).size(), 4u);
  EXPECT_EQ(Lines(boxes.out)[0].rfind("sheet \"serial_command\" boxes=45 lines=48", 0), 0u) << boxes.out;
  EXPECT_EQ(Lines(boxes.out)[3].rfind("box 2 genre=' ' rect=100,68,244,90 ", 0), 0u);

  // A saved position moves the box; an unreadable one is reported once, on
  // standard output with the sheet.
  Write("demo_Coord.txt",
        "serial_command;serial_command;;;300;400\r\nserial_command;x;;;12;\r\nserial_command;y;;;a;b\r\n");
  const Result moved = Cli({"flowchart", "demo.lst", "serial_command", "--boxes"});
  EXPECT_EQ(moved.status, 0);
  EXPECT_EQ(Lines(moved.out)[3].rfind("box 2 genre=' ' rect=300,400,444,422 ", 0), 0u) << Lines(moved.out)[3];
  EXPECT_EQ(
      Lines(moved.out).back(),
      "Erreur: demo_Coord.txt : 2 position(s) illisible(s) ignorée(s), la première : serial_command;x;;;12;");

  const Result unknown = Cli({"flowchart", "demo", "nowhere"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "flowchart: no box for function nowhere\n");
  EXPECT_EQ(Cli({"flowchart", "absent", "main"}).status, 2);
  EXPECT_EQ(Cli({"flowchart", "demo"}).status, 2);
  EXPECT_EQ(Cli({"flowchart", "demo", "main", "--bogus"}).status, 2);
}

// The legibility line follows the sheet, measured on what is drawn; the two
// display marks work as in the window.
TEST_F(ProgramCommandsCli, FlowchartLegibilityAndDisplayMarks) {
  CopyDemo();
  auto legibility = [](const std::string& out) {
    for (const std::string& line : Lines(out))
      if (line.rfind("legibility: ", 0) == 0) return line;
    return std::string();
  };
  const std::string clean = "legibility: segments_through_boxes=0 segments_through_text=0 shared_tracks=0 ";
  for (const char* fn : {"key_decode", "serial_command"})
    for (const char* comments : {"", "--comments"}) {
      SCOPED_TRACE(std::string(fn) + " " + comments);
      std::vector<std::string> args = {"flowchart", "demo", fn, "--boxes"};
      if (*comments != 0) args.push_back(comments);
      const Result r = Cli(args);
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(legibility(r.out).rfind(clean, 0), 0u) << legibility(r.out);
    }
  // The literal layout of the dispatcher runs jumps through its handlers.
  const Result design = Cli({"flowchart", "demo", "serial_command", "--layout", "design"});
  EXPECT_EQ(legibility(design.out).rfind(clean, 0), std::string::npos) << legibility(design.out);

  // Local labels take room at the left of their boxes only when shown.
  const Result hidden = Cli({"flowchart", "demo", "key_decode"});
  const Result shown = Cli({"flowchart", "demo", "key_decode", "--local-labels"});
  ASSERT_EQ(shown.status, 0);
  auto box3 = [](const std::string& out) {
    for (const std::string& line : Lines(out))
      if (line.rfind("box 3 ", 0) == 0) return line;
    return std::string();
  };
  EXPECT_NE(box3(hidden.out).find("label=\"@kd_chan\" triangle"), std::string::npos);
  EXPECT_NE(box3(hidden.out), box3(shown.out));
  EXPECT_EQ(Cli({"flowchart", "demo", "key_decode", "--comment"}).status, 2);
}

}  // namespace
