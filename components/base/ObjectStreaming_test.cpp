#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "components/base/PropAccess.h"
#include "platform/classes/Writer.h"
#include "platform/core/Exceptions.h"
#include "testing/StreamFixture.h"

namespace {

using ::testing::HasSubstr;

TFixturePart MakePart(std::int32_t Width, const std::string& Label) {
  TFixturePart part;
  part.Width = Width;
  part.Label = Label;
  return part;
}

TEST(ObjectStreaming, AnObjectThatIsNoComponentTravelsInAHolderAndReadsBackIntoAnother) {
  TFixturePart part = MakePart(42, "Zürich");
  TStringStream binary;
  WriteObjectBinary(binary, &part);
  const std::string bytes = binary.DataString();
  EXPECT_THAT(bytes, HasSubstr("TPersHolder"));
  EXPECT_THAT(bytes, HasSubstr("\x0APersHolder"));  // the name, with its length

  TFixturePart copy;
  binary.SetPosition(0);
  ReadObjectBinary(binary, &copy);
  EXPECT_EQ(copy.Width, 42);
  EXPECT_EQ(copy.Label, "Zürich");

  TStringStream text("");
  WriteObjectText(text, &part);
  EXPECT_THAT(text.DataString(), ::testing::StartsWith("object PersHolder: TPersHolder\n"));
  EXPECT_THAT(text.DataString(), HasSubstr("P.Width = 42"));
  TFixturePart fromText;
  text.SetPosition(0);
  ReadObjectText(text, &fromText);
  EXPECT_EQ(fromText.Width, 42);
  EXPECT_EQ(fromText.Label, "Zürich");
}

TEST(ObjectStreaming, AComponentIsReadInPlaceAndToldLoadedOnceAndTheBracketClosesOnError) {
  RegisterStreamFixtures();
  TStreamFixture source;
  source.SetName("Sample");
  source.Count = 7;
  TStringStream binary;
  WriteObjectBinary(binary, &source);

  TStreamFixture target;
  binary.SetPosition(0);
  ReadObjectBinary(binary, &target);
  EXPECT_EQ(target.Count, 7);
  EXPECT_EQ(target.Name(), "Sample");
  EXPECT_EQ(target.LoadedCount, 1);

  // A stream cut short fails inside the bracket; the bracket must not stay
  // open, or the next plain read would wait for a notification.
  TStringStream cut;
  cut.WriteString(binary.DataString().substr(0, binary.Size() - 6));
  cut.SetPosition(0);
  TStreamFixture broken;
  EXPECT_THROW(ReadObjectBinary(cut, &broken), EReadError);
  TStreamFixture after;
  binary.SetPosition(0);
  ReadComponentFromStream(binary, &after);
  EXPECT_EQ(after.LoadedCount, 1);
}

TEST(ObjectStreaming, FilesHoldTheTextFormAndLoadingDeniesWriters) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string file = dir.filePath("part.txt").toStdString();
  TFixturePart part = MakePart(5, "it's");
  SaveObjectToFile(&part, file);
  part.Width = 6;
  SaveObjectToFile(&part, file);  // truncates

  TFixturePart loaded;
  LoadObjectFromFile(&loaded, file);
  EXPECT_EQ(loaded.Width, 6);
  EXPECT_EQ(loaded.Label, "it's");

  TFileStream writer(file, TFileMode::fmOpenWrite);
  TFixturePart refused;
  EXPECT_THROW(LoadObjectFromFile(&refused, file), EInOutError);
  EXPECT_THROW(LoadObjectFromFile(&refused, dir.filePath("missing.txt").toStdString()), EInOutError);
}

}  // namespace
