#include "platform/core/Streams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ThrowsMessage;

TEST(Streams, WritesLittleEndianFieldByField) {
  TMemoryStream s;
  WriteLE<int32_t>(s, 0x01020304);
  WriteLE<int16_t>(s, -2);
  WriteLE<double>(s, 1.0);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  s.SetPosition(0);
  EXPECT_EQ(ReadLE<int32_t>(s), 0x01020304);
  EXPECT_EQ(ReadLE<int16_t>(s), -2);
  EXPECT_EQ(ReadLE<double>(s), 1.0);
}

TEST(Streams, AShortReadRaisesTheInputOutputError) {
  TMemoryStream s(std::vector<uint8_t>{1, 2, 3});
  EXPECT_THAT([&] { ReadLE<int32_t>(s); }, ThrowsMessage<EInOutError>(kReadErrorText));
  s.SetPosition(0);
  char buffer[8];
  EXPECT_THROW(s.ReadBuffer(buffer, -1), EInOutError);
  s.ReadBuffer(buffer, 3);
  EXPECT_EQ(s.Remaining(), 0);
}

// A file name of this test process: test runs of other builds share the
// temporary folder, and their locks or writes must not meet ours.
std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + name)).string();
}

TEST(Streams, FileStreamRoundTripAndOpenErrors) {
  const std::string path = TempPath("kestova_streams_test.bin");
  {
    TFileStream out(path, TFileMode::fmCreate);
    WriteLE<int32_t>(out, 7);
    WriteLE<double>(out, 2.5);
  }
  {
    TFileStream in(path, TFileMode::fmOpenRead);
    EXPECT_EQ(in.Size(), 12);
    EXPECT_EQ(ReadLE<int32_t>(in), 7);
    EXPECT_EQ(ReadLE<double>(in), 2.5);
    EXPECT_THROW(ReadLE<int8_t>(in), EInOutError);
  }
  std::remove(path.c_str());
  EXPECT_THROW(TFileStream(path, TFileMode::fmOpenRead), EInOutError);
}

TEST(Streams, SetSizeGrowsWithZerosAndPullsThePositionBackOnlyWhenCut) {
  const std::string path = TempPath("kestova_setsize_test.bin");
  TMemoryStream memory;
  TStringStream text;
  TFileStream file(path, TFileMode::fmCreate);
  for (TStream* s : std::initializer_list<TStream*>{&memory, &text, &file}) {
    SCOPED_TRACE(s->ClassName());
    s->WriteBuffer("0123456789", 10);
    s->SetPosition(6);
    struct Step {
      int64_t newSize, size, position;
    } steps[] = {{20, 20, 6}, {4, 4, 4}, {8, 8, 4}, {0, 0, 0}};
    for (const Step& step : steps) {
      SCOPED_TRACE(step.newSize);
      s->SetSize(step.newSize);
      EXPECT_EQ(s->Size(), step.size);
      EXPECT_EQ(s->Position(), step.position);
      if (step.newSize == 8) {
        char bytes[8];
        s->SetPosition(0);
        s->ReadBuffer(bytes, 8);
        EXPECT_EQ(std::string(bytes, 8), std::string("0123\0\0\0\0", 8));
        s->SetPosition(4);
      }
    }
  }
  std::remove(path.c_str());
}

TEST(Streams, CopyFromTakesACountOrTheWholeSource) {
  TStringStream source("abcdef");
  TStringStream dest;
  source.SetPosition(2);
  EXPECT_EQ(dest.CopyFrom(source, 3), 3);
  EXPECT_EQ(dest.DataString(), "cde");
  source.SetPosition(5);
  EXPECT_EQ(dest.CopyFrom(source, 0), 6);  // 0: all of it, from the start
  EXPECT_EQ(dest.DataString(), "cdeabcdef");
  source.SetPosition(4);
  EXPECT_THAT([&] { dest.CopyFrom(source, 3); }, ThrowsMessage<EInOutError>(kReadErrorText));
  TMemoryStream memory;
  memory.LoadFromStream(source);
  EXPECT_EQ(memory.Position(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(memory.Memory()), 6), "abcdef");
}

TEST(Streams, ADenyWriteOpenKeepsWritersOutAndWaitsForThem) {
  const std::string path = TempPath("kestova_share_test.txt");
  {
    TFileStream create(path, TFileMode::fmCreate);
    create.WriteBuffer("kept", 4);
  }
  {
    TFileStream reader(path, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
    EXPECT_THROW(TFileStream(path, TFileMode::fmOpenWrite), EInOutError);
    EXPECT_THROW(TFileStream(path, TFileMode::fmCreate), EInOutError);
    TFileStream plainReader(path, TFileMode::fmOpenRead);
    EXPECT_EQ(plainReader.Size(), 4);  // the refused create did not empty the file
    TFileStream secondReader(path, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  }
  {
    TFileStream exclusive(path, TFileMode::fmOpenRead | TFileMode::fmShareExclusive);
    EXPECT_THROW(TFileStream(path, TFileMode::fmOpenWrite), EInOutError);
    EXPECT_THROW(TFileStream(path, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite), EInOutError);
  }
  {
    TFileStream writer(path, TFileMode::fmOpenReadWrite | TFileMode::fmShareDenyNone);
    TFileStream secondWriter(path, TFileMode::fmOpenWrite);
    EXPECT_THROW(TFileStream(path, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite), EInOutError);
  }
  TFileStream reader(path, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  EXPECT_EQ(reader.Size(), 4);
  std::remove(path.c_str());
}

}  // namespace
