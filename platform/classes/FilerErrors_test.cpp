// Short and damaged streams: every failure is a filer error, nothing leaks
// (the sanitizers watch), and the hooks see what they are meant to.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FixtureBytes() {
  TStreamFixture root;
  root.SetName("Main");
  root.Count = 300;
  root.Caption = "x\xC3\xA9";
  root.Data = {9, 8, 7};
  root.Datum = TVarDate{45000.5};
  root.OnClick = TNotifyEvent::Of<&TTypeFixture::HandleClick>(root);
  static_cast<TStreamItem*>(root.Items()->Add())->Label = "one";
  auto* panel = new TStreamFixture(&root);
  panel->SetName("Panel");
  panel->Datum = TVarOleStr{"\xC3\xA9t\xC3\xA9"};
  auto* button = new TStreamFixture(&root);
  button->SetName("Button");
  button->ParentItem = panel;
  panel->Buddy = button;
  TMemoryStream stream;
  WriteComponentToStream(stream, &root);
  return stream.Bytes();
}

// Reads Data every way there is; returns the error text, "" when it read.
std::string ReadAllWays(const Bytes& Data) {
  std::string message;
  try {
    TMemoryStream in(Data);
    std::unique_ptr<TComponent> made(ReadComponentFromStream(in, nullptr));
  } catch (const EFilerError& e) {
    message = e.Message();
  }
  try {
    TStreamFixture root;
    TMemoryStream in(Data);
    ReadComponentFromStream(in, &root);
  } catch (const EFilerError&) {
  }
  try {
    TMemoryStream in(Data);
    TMemoryStream text;
    ObjectBinaryToText(in, text);
  } catch (const EFilerError&) {
  }
  return message;
}

class FilerErrors : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFixtures(); }
};

TEST_F(FilerErrors, EveryTruncationIsAReadError) {
  const Bytes full = FixtureBytes();
  EXPECT_EQ(ReadAllWays(full), "");
  for (std::size_t size = 0; size < full.size(); ++size) {
    const std::string message = ReadAllWays(Bytes(full.begin(), full.begin() + size));
    EXPECT_NE(message, "") << size;
  }
  EXPECT_EQ(ReadAllWays(Bytes(full.begin(), full.begin() + 20)), "Stream read error");
}

TEST_F(FilerErrors, DamagedBytesFailAsFilerErrorsOrRead) {
  const Bytes full = FixtureBytes();
  for (std::size_t at = 4; at < full.size(); ++at)
    for (std::uint8_t value : {0x00, 0x01, 0x07, 0x0E, 0x12, 0x7F, 0xF1, 0xFF}) {
      Bytes damaged = full;
      damaged[at] = value;
      ReadAllWays(damaged);  // a crash, a leak or another exception fails the test
    }
}

TEST_F(FilerErrors, UnknownClassAndPropertyNameTheirText) {
  Bytes data = FixtureBytes();
  std::string text(data.begin(), data.end());
  text.replace(text.find("Panel"), 5, "Pa/el");
  EXPECT_EQ(ReadAllWays(Bytes(text.begin(), text.end())), "'Pa/el' is not a valid component name");
  text = std::string(data.begin(), data.end());
  text.replace(text.find("Count"), 5, "Cuont");
  EXPECT_EQ(ReadAllWays(Bytes(text.begin(), text.end())), "Property Cuont does not exist");
  text = std::string(data.begin(), data.end());
  text.replace(text.find("TStreamFixture"), 14, "TStreamFixtura");
  EXPECT_EQ(ReadAllWays(Bytes(text.begin(), text.end())), "Class TStreamFixtura not found");
}

}  // namespace
