// A sheet over a hand-made, already rewritten line list, measured with a
// fixed-width font (6 pixels a character, 13 high, so LineH is 13).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "flowchart/sheet.h"
#include "listing/function_list.h"
#include "tests/flowchart/pseudo_test_util.h"
#include "tests/support/recording.h"

namespace hc11::test {

// Compares `lines` with tests/flowchart/golden/<name>.txt; with
// HC11_UPDATE_GOLDEN=1 in the environment the file is rewritten instead.
inline void ExpectGolden(const std::string& name, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  const auto path = std::filesystem::path(HC11_SOURCE_DIR) / "tests/flowchart/golden" / (name + ".txt");
  if (const char* update = std::getenv("HC11_UPDATE_GOLDEN");
      update != nullptr && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden file " << path << " (run with HC11_UPDATE_GOLDEN=1)";
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(expected.str(), text) << "golden " << name;
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

class SheetFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  // Records as Rec() reads them ("addr|label|text|target|comment"); code
  // records are present in the listing map.
  void Codes(const std::vector<std::string>& records) {
    for (const std::string& record : records) {
      TSynElem e = Rec(record);
      if (auto a = StrToWord("$" + e.AddrText); a && !e.AddrText.empty()) (*listing.ListingMap)[*a] = 'L';
      listing.LineList.push_back(e);
    }
  }
  void Code(const std::string& addr, const std::string& text, const std::string& label = "",
            const std::string& target = "") {
    Codes({addr + "|" + label + "|" + text + "|" + target});
  }
  void Function(const std::string& name) { AddFonction(listing.FunctionList, name, 0); }
  void Build(const std::string& fn) {
    Function(fn);
    sheet.BuildLabelIndex();
    ASSERT_TRUE(sheet.BuildFlowchart(fn));
  }
  std::vector<std::string> ErrorTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.text);
    return texts;
  }
  // An empty folder of this test's own, removed afterwards.
  const std::filesystem::path& TempDir() {
    if (!dir_.empty()) return dir_;
    dir_ = std::filesystem::temp_directory_path() /
           ("hc11_fc_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    return dir_;
  }

  Listing listing;
  RecordingMessages messages;
  FixedTextMetrics metrics{6, 13};
  Flowchart sheet{listing, messages, metrics};

 private:
  std::filesystem::path dir_;
};

}  // namespace hc11::test
