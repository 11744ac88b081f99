// Variant values, TRegistryStream and objects in the registry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/base/RegistrySettings.h"
#include "platform/classes/PlatformId.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/StoreTesting.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "testing/TypeFixture.h"

// A part whose Label cannot be read: writing it fails half-way.
class TBrokenPart : public TPersistent {
  KESTOVA_CLASS(TBrokenPart)
 public:
  std::int32_t Width = 5;
  std::string GetLabel() const { throw EWriteError("the label is gone"); }
  void SetLabel(const std::string&) {}
};

namespace {
void DescribeTBrokenPart(TClassInfo& Info) {
  TClassPublisher<TBrokenPart> p(Info);
  p.Property<&TBrokenPart::Width, &TBrokenPart::Width>("AWidth", TypeInfos::Integer());
  p.Property<&TBrokenPart::GetLabel, &TBrokenPart::SetLabel>("Label", TypeInfos::String());
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TBrokenPart, TPersistent, "RegistryStreamTest", &MakeObject<TBrokenPart>,
                             DescribeTBrokenPart)

namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

const std::string kRoot = std::string("\\") + kDefaultSettingsRoot;
constexpr const char* kUnsupported = "This type isn't supported by WriteToRegistry";

class RegistryStreamTest : public TRegistryFileTest {
 protected:
  void TearDown() override {
    SetWin32Platform(VER_PLATFORM_WIN32_NT);
    FreeSharedRegistry();
    TRegistryFileTest::TearDown();
  }
  static std::unique_ptr<TRegistry> Root() {
    auto reg = std::make_unique<TRegistry>();
    EXPECT_TRUE(reg->OpenKey(kRoot, true));
    return reg;
  }
};

TEST_F(RegistryStreamTest, VariantsRoundTripByTheirType) {
  const struct {
    const char* name;
    TVariant value;
    TRegDataType stored;
    int size;
    TVariant read;  // with a default of the written type
  } cases[] = {
      {"Smallint", TVariant(int16_t{-3}), rdInteger, 4, TVariant(int32_t{-3})},
      {"Integer", TVariant(int32_t{123456}), rdInteger, 4, TVariant(int32_t{123456})},
      {"Byte", TVariant(uint8_t{200}), rdInteger, 4, TVariant(int32_t{200})},
      {"Single", TVariant(0.5f), rdBinary, 8, TVariant(0.5)},
      {"Double", TVariant(0.1), rdBinary, 8, TVariant(0.1)},
      {"Currency", TVariant(Currency::FromRaw(-12345)), rdBinary, 8, TVariant(Currency::FromRaw(-12345))},
      {"Date", TVariant(TVarDate{45000.5}), rdBinary, 8, TVariant(TVarDate{45000.5})},
      {"OleStr", TVariant(TVarOleStr{"wide Grüße"}), rdString, 13, TVariant("wide Grüße")},
      {"String", TVariant("plain"), rdString, 6, TVariant("plain")},
      {"Boolean", TVariant(true), rdInteger, 4, TVariant(true)},
  };
  auto root = Root();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string("Values\\") + c.name;
    WriteRegVariant(path, c.value);
    ASSERT_TRUE(root->OpenKey(kRoot + "\\Values", false));
    EXPECT_EQ(root->GetDataType(c.name), c.stored);
    EXPECT_EQ(root->GetDataSize(c.name), c.size);
    const TVariant read = ReadRegVariant(path, c.value);
    EXPECT_EQ(VarType(read), VarType(c.read));
    EXPECT_TRUE(read == c.read);
    // A missing value gives the default, with its type.
    const TVariant missing = ReadRegVariant(std::string("Values\\Missing") + c.name, c.value);
    EXPECT_EQ(VarType(missing), VarType(c.value));
  }
  EXPECT_TRUE(root->ReadBool("Boolean"));
  EXPECT_EQ(root->ReadInteger("Boolean"), 1);

  // A Currency or Date default reads a string value as a string.
  root->WriteString("Text", "12.5");
  const TVariant text = ReadRegVariant("Values\\Text", TVariant(Currency::FromRaw(0)));
  EXPECT_TRUE(VarIsStr(text));
  EXPECT_EQ(text.AsString(), "12.5");
  // A DWORD read with a string default is the registry object's error.
  EXPECT_THAT([] { ReadRegVariant("Values\\Integer", TVariant("x")); },
              ThrowsMessage<ERegistryException>(StrEq("Invalid data type for 'Integer'")));
}

TEST_F(RegistryStreamTest, UnsupportedVariantTypesRaiseTheirTextsWordForWord) {
  const struct {
    const char* name;
    TVariant value;
    const char* readText;
  } cases[] = {
      {"Empty", TVariant(), "This type isn't supported by WriteToRegistry($0000)"},
      {"Null", Null(), "This type isn't supported by WriteToRegistry($0001)"},
      {"Int64", TVariant(int64_t{1} << 40), "This type isn't supported by WriteToRegistry($0014)"},
      {"Class", TVariant(TObject::StaticClass()), "This type isn't supported by WriteToRegistry($0111)"},
  };
  Root()->WriteInteger("Present", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT([&] { WriteRegVariant(std::string("Values\\") + c.name, c.value); },
                ThrowsMessage<Exception>(StrEq(kUnsupported)));
    EXPECT_THAT([&] { ReadRegVariant("Present", c.value); }, ThrowsMessage<Exception>(StrEq(c.readText)));
    // A missing value needs no read, so nothing is wrong.
    EXPECT_EQ(VarType(ReadRegVariant("Absent", c.value)), VarType(c.value));
  }
  EXPECT_FALSE(Root()->KeyExists(kRoot + "\\Values"));
}

TEST_F(RegistryStreamTest, AStreamWritesBackOnlyWhatChanged) {
  SetWin32Platform(VER_PLATFORM_WIN32_WINDOWS);  // through the long-value form
  {
    TRegistryStream stream("Streams\\Missing", TFileMode::fmOpenRead);
    EXPECT_EQ(stream.InitialSize(), -1);
    EXPECT_EQ(stream.Size(), 0);
  }
  EXPECT_EQ(FileText(RegistryFile()), "");  // not even the key

  const std::string ten = "0123456789";
  WriteRegLongBinary("Streams\\Data", ten.data(), 10);
  {
    TRegistryStream stream("Streams\\Data", TFileMode::fmOpenRead);
    EXPECT_EQ(stream.InitialSize(), 10);
    char read[10] = {};
    stream.ReadBuffer(read, 10);
    EXPECT_EQ(std::string(read, 10), ten);
    stream.SetSize(4);  // no write, but another size
  }
  char buffer[10] = {};
  EXPECT_EQ(ReadRegLongBinary("Streams\\Data", buffer, 10), 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");

  { TRegistryStream created("Streams\\Data", TFileMode::fmCreate); }  // empties the value
  EXPECT_EQ(GetRegLongDataSize("Streams\\Data"), 0);
  {
    TRegistryStream created("Streams\\Data", TFileMode::fmCreate);
    created.WriteBuffer("abc", 3);
  }
  EXPECT_EQ(ReadRegLongBinary("Streams\\Data", buffer, 10), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(RegistryStreamTest, ObjectsRoundTripAndAFailingWriterLeavesTheOldValue) {
  for (const int platform : {VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS}) {
    for (const bool asText : {false, true}) {
      SCOPED_TRACE(std::to_string(platform) + (asText ? " text" : " binary"));
      SetWin32Platform(platform);
      TFixturePart part;
      part.Width = 42;
      part.Label = std::string(9000, 'x');  // more than one piece
      SaveObjectToRegistry("Objects\\Part", &part, asText);
      const int stored = GetRegLongDataSize("Objects\\Part");
      EXPECT_GT(stored, 9000);

      TBrokenPart broken;
      EXPECT_THAT([&] { SaveObjectToRegistry("Objects\\Part", &broken, asText); },
                  ThrowsMessage<EWriteError>(HasSubstr("the label is gone")));
      EXPECT_EQ(GetRegLongDataSize("Objects\\Part"), stored);

      TFixturePart loaded;
      LoadObjectFromRegistry("Objects\\Part", &loaded, asText);
      EXPECT_EQ(loaded.Width, 42);
      EXPECT_EQ(loaded.Label, part.Label);
    }
  }
  // Nothing stored: the object stays as it is.
  TFixturePart untouched;
  untouched.Width = 3;
  LoadObjectFromRegistryText("Objects\\Nothing", &untouched);
  EXPECT_EQ(untouched.Width, 3);
}

}  // namespace
