// Quoted file text stays short and printable; one operation's problems make
// one message.
#include "core/message_text.h"

#include <gtest/gtest.h>

#include "tests/support/recording.h"

namespace hc11::test {
namespace {

TEST(QuoteTextTest, BoundsEscapesAndNeverSplitsACharacter) {
  struct Case {
    std::string text;
    std::size_t max;
    std::string quoted;
  };
  const Case cases[] = {
      {"PatchCode $1000 2 255", 200, "PatchCode $1000 2 255"},
      {std::string(10'000'000, 'a'), 200, std::string(200, 'a') + "…"},
      {"abcdef", 3, "abc…"},
      {std::string("a\tb\x01\x7f", 5), 200, "a\\tb\\x01\\x7F"},
      {std::string("nul\0!", 5), 200, "nul\\x00!"},
      {"ééé", 2, "éé…"},         // characters, not bytes, are counted
      {"a\xC3", 200, "a\\xC3"},  // a cut-off sequence is shown as its byte
      {"\xFF\xFE", 200, "\\xFF\\xFE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    EXPECT_EQ(QuoteText(c.text, c.max), c.quoted);
  }
}

TEST(MessageRelayTest, ABatchIsOneMessageWithItsGravestCaption) {
  RecordingMessages out;
  MessageRelay relay(out);
  relay.Show(MsgKind::Info, "Information", "direct");  // no batch: straight through
  {
    const MessageBatch batch(relay);
    relay.Show(MsgKind::Warning, "Avertissement", "w");
    {
      const MessageBatch inner(relay);  // nested: still the outer batch
      relay.Show(MsgKind::Error, "Erreur", "e1");
      relay.Show(MsgKind::Error, "Erreur", "w");  // said once
    }
    EXPECT_EQ(out.shown.size(), 1u);
    for (int i = 0; i < 30; ++i) relay.Show(MsgKind::Error, "Erreur", "ligne " + std::to_string(i));
  }
  ASSERT_EQ(out.shown.size(), 2u);
  const ShownMessage& batch = out.shown[1];
  EXPECT_EQ(batch.kind, MsgKind::Error);
  EXPECT_EQ(batch.caption, "Erreur");
  EXPECT_EQ(batch.text.rfind("w\ne1\nligne 0\n", 0), 0u) << batch.text;
  EXPECT_NE(batch.text.find("\n… et 12 autres messages"), std::string::npos) << batch.text;
  EXPECT_EQ(batch.text.find("ligne 18"), std::string::npos);

  // A prompt inside a batch first shows what was collected.
  {
    const MessageBatch batch2(relay);
    relay.Show(MsgKind::Error, "Erreur", "avant");
    relay.Prompt("t", "q", "d");
    EXPECT_EQ(out.shown.size(), 3u);
  }
  EXPECT_EQ(out.shown.size(), 3u);
}

}  // namespace
}  // namespace hc11::test
