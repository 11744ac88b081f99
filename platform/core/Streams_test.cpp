#include "platform/core/Streams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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

TEST(Streams, FileStreamRoundTripAndOpenErrors) {
  const std::string path = (std::filesystem::temp_directory_path() / "kestova_streams_test.bin").string();
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

}  // namespace
