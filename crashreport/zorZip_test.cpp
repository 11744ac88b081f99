#include "crashreport/zorZip.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "crashreport/zorException.h"
#include "crashreport/zorZipTestFiles.h"

namespace {

using namespace zorzip_test;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

std::string Deflate(const std::string& input) {
  std::string out(input.size() * 11 / 10 + 12, '\0');
  out.resize(DeflateBuffer(input.data(), out.data(), input.size(), out.size()));
  return out;
}

// Builds deflate streams bit by bit, for streams no encoder would write.
class StreamBits {
 public:
  StreamBits& Put(unsigned value, int length) {
    for (int i = 0; i < length; ++i) PutBit((value >> i) & 1);
    return *this;
  }
  // A Huffman code goes out from its most significant bit.
  StreamBits& Code(unsigned code, int length) {
    for (int i = length - 1; i >= 0; --i) PutBit((code >> i) & 1);
    return *this;
  }
  // A symbol of the fixed literal/length code.
  StreamBits& Fixed(unsigned symbol) {
    if (symbol < 144) return Code(0x30 + symbol, 8);
    if (symbol < 256) return Code(0x190 + symbol - 144, 9);
    if (symbol < 280) return Code(symbol - 256, 7);
    return Code(0xC0 + symbol - 280, 8);
  }
  std::string Bytes() const { return bytes_; }

 private:
  void PutBit(unsigned bit) {
    if (count_ % 8 == 0) bytes_ += '\0';
    bytes_.back() = static_cast<char>(bytes_.back() | (bit << (count_ % 8)));
    ++count_;
  }
  std::string bytes_;
  int count_ = 0;
};

TEST(ZorDeflate, EmptyInputIsOneFinalFixedBlock) {
  uint8_t out[16] = {};
  ASSERT_EQ(DeflateBuffer(nullptr, out, 0, sizeof out), 2u);
  EXPECT_EQ(out[0], 0x03);
  EXPECT_EQ(out[1], 0x00);
}

TEST(ZorDeflate, AnswersZeroWhenTheOutputFillsTheDestination) {
  const std::string input = WordText(20000, 1);
  const std::string packed = Deflate(input);
  ASSERT_GT(packed.size(), 100u);
  struct Row {
    size_t capacity;
    size_t result;
  } rows[] = {{packed.size() + 1, packed.size()}, {packed.size(), 0}, {packed.size() - 1, 0}, {10, 0}, {0, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.capacity);
    std::vector<uint8_t> out(row.capacity + 64, 0xAB);
    EXPECT_EQ(DeflateBuffer(input.data(), out.data(), input.size(), row.capacity), row.result);
    for (size_t i = row.capacity; i < out.size(); ++i) ASSERT_EQ(out[i], 0xAB) << "written past the capacity at " << i;
  }
}

TEST(ZorDeflate, IncompressibleInputGoesIntoStoredBlocksWithinTheBound) {
  const std::string input = RandomBytes(200000, 2);
  const std::string packed = Deflate(input);
  ASSERT_FALSE(packed.empty());
  EXPECT_EQ(packed[0] & 7, 0);  // first block: stored, not final
  EXPECT_LT(packed.size(), input.size() + input.size() / 1000 + 64);
}

TEST(ZorCrc32, KnownValuesWithoutInversion) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32Update(0xFFFFFFFFu, check.data(), check.size()), ~0xCBF43926u);
  EXPECT_EQ(Crc32Update(0x12345678u, nullptr, 0), 0x12345678u);
  EXPECT_EQ(Crc32Update(0, "\0", 1), 0u);
  const std::string text = WordText(1000, 3);
  const uint32_t whole = Crc32Update(0xFFFFFFFFu, text.data(), text.size());
  EXPECT_EQ(Crc32Update(Crc32Update(0xFFFFFFFFu, text.data(), 333), text.data() + 333, 667), whole);
}

TEST(ZorInflate, RoundTripsOfDeflate) {
  const std::string inputs[] = {"", "a", std::string(70000, 'q'), WordText(200000, 4), RandomBytes(70000, 5)};
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.size());
    const std::string packed = Deflate(input);
    std::string out(input.size(), '\0');
    EXPECT_EQ(InflateBuffer(packed.data(), out.data(), packed.size(), input.size()), input.size());
    EXPECT_TRUE(out == input);
  }
}

TEST(ZorInflate, TruncatedLongerAndWrongLengthStreamsGiveZero) {
  const std::string input = WordText(3000, 6) + RandomBytes(500, 7);
  const std::string packed = Deflate(input);
  std::vector<uint8_t> out(input.size() + 1);
  for (size_t cut = 0; cut < packed.size(); ++cut) {
    SCOPED_TRACE(cut);
    ASSERT_EQ(InflateBuffer(packed.data(), out.data(), cut, input.size()), 0u);
  }
  const std::string longer = packed + '\0';
  EXPECT_EQ(InflateBuffer(longer.data(), out.data(), longer.size(), input.size()), 0u);
  EXPECT_EQ(InflateBuffer(packed.data(), out.data(), packed.size(), input.size() - 1), 0u);
  EXPECT_EQ(InflateBuffer(packed.data(), out.data(), packed.size(), input.size() + 1), 0u);
}

TEST(ZorInflate, MalformedStreamsGiveZero) {
  // A dynamic header whose code-length code gives every symbol one bit.
  StreamBits oversubscribed;
  oversubscribed.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(15, 4);
  for (int i = 0; i < 19; ++i) oversubscribed.Put(1, 3);
  // Code-length code: symbols 0 ("0") and 16 ("1") of one bit; a repeat first.
  StreamBits repeatFirst;
  repeatFirst.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4).Put(1, 3).Put(0, 3).Put(0, 3).Put(1, 3);
  repeatFirst.Code(1, 1).Put(0, 2);
  struct Row {
    const char* name;
    std::string stream;
    size_t expected;
  } rows[] = {
      {"block type 3", std::string("\x07\x00", 2), 0},
      {"stored length and complement disagree", std::string("\x01\x02\x00\xfd\xfe" "ab", 7), 2},
      {"stored block cut short", std::string("\x01\x05\x00\xfa\xff" "ab", 7), 5},
      {"distance before the start", StreamBits().Put(1, 1).Put(1, 2).Fixed(257).Code(0, 5).Fixed(256).Bytes(), 3},
      {"distance code 30", StreamBits().Put(1, 1).Put(1, 2).Fixed('a').Fixed(257).Code(30, 5).Fixed(256).Bytes(), 4},
      {"length symbol 286", StreamBits().Put(1, 1).Put(1, 2).Fixed('a').Fixed(286).Fixed(256).Bytes(), 4},
      {"more than 286 length codes", StreamBits().Put(1, 1).Put(2, 2).Put(30, 5).Put(0, 5).Put(0, 4).Bytes(), 1},
      {"over-subscribed code lengths", oversubscribed.Bytes(), 1},
      {"repeat with nothing before", repeatFirst.Bytes(), 1},
      {"no final block", StreamBits().Put(0, 1).Put(1, 2).Fixed('a').Fixed(256).Bytes(), 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> out(row.expected + 1);
    EXPECT_EQ(InflateBuffer(row.stream.data(), out.data(), row.stream.size(), row.expected), 0u);
  }
  // The hand-built streams are right apart from their fault.
  const std::string good = StreamBits().Put(1, 1).Put(1, 2).Fixed('a').Fixed(257).Code(0, 5).Fixed(256).Bytes();
  char out[4];
  EXPECT_EQ(InflateBuffer(good.data(), out, good.size(), 4), 4u);
  EXPECT_EQ(std::string(out, 4), "aaaa");
}

std::string VerifiedText(const std::string& text, uint32_t storedLength, uint32_t crcDelta = 0) {
  const uint32_t crc = (Crc32Update(0xFFFFFFFFu, text.data(), text.size()) ^ 0xFFFFFFFFu) + crcDelta;
  std::string out;
  for (uint32_t v : {storedLength, 0xDEADBEEFu, crc})
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
  return out + Deflate(text);
}

TEST(ZorInflate, VerifiedText) {
  const std::string text = WordText(5000, 8);
  const auto n = static_cast<uint32_t>(text.size());
  EXPECT_EQ(InflateVerifiedText(VerifiedText(text, n)), text);
  const std::string oneByte = VerifiedText("x", 1);
  ASSERT_EQ(oneByte.size(), 15u);
  EXPECT_EQ(InflateVerifiedText(oneByte), "x");
  struct Row {
    const char* name;
    std::string input;
  } rows[] = {
      {"12 bytes", oneByte.substr(0, 12)},
      {"wrong CRC", VerifiedText(text, n, 1)},
      {"stored length too short", VerifiedText(text, n - 1)},
      {"stored length too long", VerifiedText(text, n + 1)},
      {"stored length no stream can reach", VerifiedText(text, 0xFFFFFFFFu)},
      {"stream cut", VerifiedText(text, n).substr(0, 100)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(InflateVerifiedText(row.input), "");
  }
}

TEST(ZorInflate, TwoThreadsInflatingForTheFirstTimeBothSucceed) {
  // Fixed-code streams, so that both threads need the shared tables at once.
  const std::string packed = StreamBits().Put(1, 1).Put(1, 2).Fixed('a').Fixed(257).Code(0, 5).Fixed(256).Bytes();
  std::atomic<int> ready{0};
  std::atomic<int> ok{0};
  auto work = [&] {
    ++ready;
    while (ready.load() < 2) {
    }
    char out[4];
    if (InflateBuffer(packed.data(), out, packed.size(), 4) == 4 && std::string(out, 4) == "aaaa") ++ok;
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(ok.load(), 2);
}

class ZorStreamForms : public ScratchDir {};

TEST_F(ZorStreamForms, FileInputInViewsMatchesTheBufferForm) {
  // 2.5 MiB from an offset off the page grid: three views, none aligned.
  const std::string whole = RandomBytes(1000, 9) + WordText(2500 << 10, 10);
  WriteFile(Path("in"), whole);
  const std::string slice = whole.substr(1000);
  const int fd = ::open(Path("in").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  const std::string expected = Deflate(slice);
  std::string packed(expected.size() + 1, '\0');
  {
    ZorFileSource source(fd, 1000, slice.size());
    ZorMemorySink sink(packed.data(), packed.size());
    uint32_t crc = 0xFFFFFFFFu;
    EXPECT_EQ(DeflateStream(source, sink, &crc), expected.size());
    EXPECT_EQ(crc, Crc32Update(0xFFFFFFFFu, slice.data(), slice.size()));
    packed.resize(sink.Written());
  }
  // Asked for more than the file holds, the input ends with the file.
  uint8_t buffer[4096];
  ZorFileSource tail(fd, whole.size() - 10, 1000);
  EXPECT_EQ(tail.Read(buffer, sizeof buffer), 10u);
  EXPECT_EQ(tail.Read(buffer, sizeof buffer), 0u);
  ::close(fd);
  EXPECT_TRUE(packed == expected);

  const int out = ::open(Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(out, 0);
  ZorMemorySource source(packed.data(), packed.size());
  ZorFileSink sink(out);
  EXPECT_TRUE(InflateStream(source, sink, slice.size()));
  sink.Flush();
  ::close(out);
  EXPECT_TRUE(ReadFile(Path("out")) == slice);
}

TEST_F(ZorStreamForms, FailedFileWriteRaisesStreamWriteError) {
  const int fd = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  const std::string input = RandomBytes(3 << 20, 11);
  ZorMemorySource source(input.data(), input.size());
  ZorFileSink sink(fd);
  EXPECT_THAT([&] { DeflateStream(source, sink); }, ThrowsMessage<ZorException>(HasSubstr("Stream write error.")));
  ::close(fd);
}

}  // namespace
