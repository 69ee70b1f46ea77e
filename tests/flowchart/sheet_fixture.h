// A sheet over a hand-made, already rewritten line list, measured with a
// fixed-width font (6 pixels a character, 13 high, so LineH is 13).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "flowchart/sheet.h"
#include "listing/function_list.h"
#include "tests/support/recording.h"

namespace hc11::test {

class SheetFixture : public ::testing::Test {
 protected:
  // A code record at `addr` (four hex digits), present in the listing map.
  void Code(const std::string& addr, const std::string& text, const std::string& label = "",
            const std::string& target = "", const std::string& comment = "") {
    TSynElem e;
    e.AddrText = addr;
    e.Text = text;
    e.Label = label;
    e.Target = target;
    e.Comment = comment;
    if (auto a = StrToWord("$" + addr)) (*listing.ListingMap)[*a] = 'L';
    listing.LineList.push_back(e);
  }
  // A full-line comment record.
  void Comment(const std::string& comment) {
    TSynElem e;
    e.Comment = comment;
    listing.LineList.push_back(e);
  }
  void Function(const std::string& name) { AddFonction(listing.FunctionList, name, 0); }

  std::vector<std::string> ErrorTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.text);
    return texts;
  }

  // Compares `lines` with tests/flowchart/golden/<name>.txt; with
  // HC11_UPDATE_GOLDEN=1 in the environment the file is rewritten instead.
  static void ExpectGolden(const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    const std::filesystem::path path =
        std::filesystem::path(HC11_SOURCE_DIR) / "tests/flowchart/golden" / (name + ".txt");
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

  Listing listing;
  RecordingMessages messages;
  FixedTextMetrics metrics{6, 13};
  Flowchart sheet{listing, messages, metrics};
};

}  // namespace hc11::test
