// Inflate: an RFC 1951 decoder over a byte source and sink.
//
// Input is untrusted: every length, distance and code set is checked, output
// never exceeds the expected length, and every failure unwinds to one place
// that answers false.
#include <cstring>
#include <memory>
#include <mutex>

#include "crashreport/zorZip.h"
#include "crashreport/zorZip_p.h"

namespace {

using namespace zorzip;

struct InflateError {};

constexpr int kFastBits = 9;
constexpr int kMaxSymbols = 288;

constexpr uint16_t kLengthBase[kLengthCodes] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint16_t kDistBase[kDCodes] = {1,   2,   3,   4,    5,    7,    9,    13,    17,    25,
                                         33,  49,  65,  97,   129,  193,  257,  385,   513,   769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// A canonical Huffman code: counts per length and symbols in code order, plus
// a table for codes of up to kFastBits bits (entry: length << 9 | symbol, 0
// when the code is longer or unused).
struct Huffman {
  uint16_t count[kMaxBits + 1] = {};
  uint16_t symbol[kMaxSymbols] = {};
  uint16_t fast[1 << kFastBits] = {};

  // False for an over-subscribed set of lengths. Incomplete sets are kept:
  // their unused codes fail when met.
  bool Build(const uint8_t* lengths, int n) {
    for (int s = 0; s < n; ++s) ++count[lengths[s]];
    count[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) return false;
    }
    uint16_t offs[kMaxBits + 2] = {};
    for (int len = 1; len <= kMaxBits; ++len) offs[len + 1] = offs[len] + count[len];
    for (int s = 0; s < n; ++s)
      if (lengths[s] != 0) symbol[offs[lengths[s]]++] = static_cast<uint16_t>(s);
    unsigned code = 0;
    int index = 0;
    for (int len = 1; len <= kFastBits; ++len) {
      for (int k = 0; k < count[len]; ++k, ++code, ++index) {
        unsigned reversed = 0;
        for (int b = 0; b < len; ++b) reversed |= ((code >> b) & 1u) << (len - 1 - b);
        for (unsigned i = reversed; i < (1u << kFastBits); i += 1u << len)
          fast[i] = static_cast<uint16_t>((len << kFastBits) | symbol[index]);
      }
      code <<= 1;
    }
    return true;
  }
};

struct FixedCodes {
  Huffman lit;
  Huffman dist;
};

const FixedCodes& Fixed() {
  static std::once_flag once;
  static FixedCodes codes;
  std::call_once(once, [] {
    uint8_t lengths[kMaxSymbols];
    for (int s = 0; s < kMaxSymbols; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    codes.lit.Build(lengths, kMaxSymbols);
    for (int s = 0; s < kDCodes; ++s) lengths[s] = 5;
    codes.dist.Build(lengths, kDCodes);
  });
  return codes;
}

class Inflater {
 public:
  Inflater(ZorByteSource& source, ZorByteSink& sink, uint64_t expected, uint32_t* crc)
      : source_(source), sink_(sink), expected_(expected), crc_(crc), window_(new uint8_t[kWindow]) {}

  bool Run() {
    try {
      bool last;
      do {
        last = Bits(1) != 0;
        switch (Bits(2)) {
          case 0: Stored(); break;
          case 1: Codes(Fixed().lit, Fixed().dist); break;
          case 2: Dynamic(); break;
          default: throw InflateError();
        }
      } while (!last);
      FlushWindow();
    } catch (const InflateError&) {
      return false;
    }
    // Whole bytes still in the bit buffer, or more in the source, were not consumed.
    uint8_t extra;
    return bitCount_ < 8 && inPosition_ == inLength_ && source_.Read(&extra, 1) == 0 && total_ == expected_;
  }

 private:
  static constexpr size_t kWindow = 32768;
  static constexpr size_t kInBuffer = 4096;

  bool NextByte(uint8_t& b) {
    if (inPosition_ == inLength_) {
      inLength_ = source_.Read(in_, kInBuffer);
      inPosition_ = 0;
      if (inLength_ == 0) return false;
      if (crc_) *crc_ = Crc32Update(*crc_, in_, inLength_);
    }
    b = in_[inPosition_++];
    return true;
  }
  // Loads bytes until `need` bits are there; false when the input ends first.
  bool Load(int need) {
    uint8_t b;
    while (bitCount_ < need) {
      if (!NextByte(b)) return false;
      bitBuffer_ |= static_cast<uint64_t>(b) << bitCount_;
      bitCount_ += 8;
    }
    return true;
  }
  unsigned Bits(int n) {
    if (!Load(n)) throw InflateError();
    const unsigned v = static_cast<unsigned>(bitBuffer_ & ((1ull << n) - 1));
    bitBuffer_ >>= n;
    bitCount_ -= n;
    return v;
  }
  int Decode(const Huffman& h) {
    Load(kMaxBits);  // near the end fewer bits may remain; the checks below cope
    const unsigned entry = h.fast[bitBuffer_ & ((1u << kFastBits) - 1)];
    const int len = static_cast<int>(entry >> kFastBits);
    if (entry != 0 && len <= bitCount_) {
      bitBuffer_ >>= len;
      bitCount_ -= len;
      return static_cast<int>(entry & ((1u << kFastBits) - 1));
    }
    int code = 0, first = 0, index = 0;
    for (int l = 1; l <= kMaxBits; ++l) {
      code |= static_cast<int>(Bits(1));
      const int count = h.count[l];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    throw InflateError();  // a code the set does not use
  }

  void Put(uint8_t b) {
    if (total_ == expected_) throw InflateError();  // longer than expected
    window_[total_ % kWindow] = b;
    ++total_;
    if (total_ % kWindow == 0) FlushWindow();
  }
  void FlushWindow() {
    const size_t start = flushed_ % kWindow;
    const size_t n = static_cast<size_t>(total_ - flushed_);
    if (n > 0 && !sink_.Write(window_.get() + start, n)) throw InflateError();
    flushed_ = total_;
  }

  void Stored() {
    bitBuffer_ >>= bitCount_ % 8;
    bitCount_ -= bitCount_ % 8;
    const unsigned len = Bits(16);
    const unsigned nlen = Bits(16);
    if (len != (~nlen & 0xffffu)) throw InflateError();
    for (unsigned i = 0; i < len; ++i) Put(static_cast<uint8_t>(Bits(8)));
  }

  void Dynamic() {
    static constexpr uint8_t kOrder[kBlCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    const int nlen = static_cast<int>(Bits(5)) + 257;
    const int ndist = static_cast<int>(Bits(5)) + 1;
    const int ncode = static_cast<int>(Bits(4)) + 4;
    if (nlen > kLCodes || ndist > kDCodes) throw InflateError();
    uint8_t lengths[kLCodes + kDCodes] = {};
    for (int i = 0; i < ncode; ++i) lengths[kOrder[i]] = static_cast<uint8_t>(Bits(3));
    Huffman lencode;
    if (!lencode.Build(lengths, kBlCodes)) throw InflateError();
    int index = 0;
    while (index < nlen + ndist) {
      int symbol = Decode(lencode);
      if (symbol < 16) {
        lengths[index++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t len = 0;
      int repeat;
      if (symbol == 16) {
        if (index == 0) throw InflateError();  // nothing to repeat
        len = lengths[index - 1];
        repeat = 3 + static_cast<int>(Bits(2));
      } else if (symbol == 17) {
        repeat = 3 + static_cast<int>(Bits(3));
      } else {
        repeat = 11 + static_cast<int>(Bits(7));
      }
      if (index + repeat > nlen + ndist) throw InflateError();
      while (repeat--) lengths[index++] = len;
    }
    if (lengths[kEndBlock] == 0) throw InflateError();  // the block could never end
    Huffman lit, dist;
    if (!lit.Build(lengths, nlen) || !dist.Build(lengths + nlen, ndist)) throw InflateError();
    Codes(lit, dist);
  }

  void Codes(const Huffman& lit, const Huffman& dist) {
    for (;;) {
      int symbol = Decode(lit);
      if (symbol < 256) {
        Put(static_cast<uint8_t>(symbol));
        continue;
      }
      if (symbol == kEndBlock) return;
      symbol -= 257;
      if (symbol >= kLengthCodes) throw InflateError();
      unsigned len = kLengthBase[symbol] + Bits(kExtraLBits[symbol]);
      const int dsym = Decode(dist);
      if (dsym >= kDCodes) throw InflateError();
      const uint64_t d = kDistBase[dsym] + Bits(kExtraDBits[dsym]);
      if (d > total_) throw InflateError();  // before the start of the output
      while (len--) Put(window_[(total_ - d) % kWindow]);
    }
  }

  ZorByteSource& source_;
  ZorByteSink& sink_;
  const uint64_t expected_;
  uint32_t* crc_;
  std::unique_ptr<uint8_t[]> window_;  // the last 32 KiB of output, circular
  uint64_t total_ = 0;
  uint64_t flushed_ = 0;
  uint8_t in_[kInBuffer];
  size_t inPosition_ = 0;
  size_t inLength_ = 0;
  uint64_t bitBuffer_ = 0;
  int bitCount_ = 0;
};

}  // namespace

bool InflateStream(ZorByteSource& source, ZorByteSink& destination, uint64_t expectedLength, uint32_t* crc) {
  return std::make_unique<Inflater>(source, destination, expectedLength, crc)->Run();
}

size_t InflateBuffer(const void* source, void* destination, size_t sourceLength, size_t expectedLength) {
  ZorMemorySource in(source, sourceLength);
  ZorMemorySink out(destination, expectedLength);
  try {
    return InflateStream(in, out, expectedLength) ? expectedLength : 0;
  } catch (...) {
    return 0;  // out of memory
  }
}

std::string InflateVerifiedText(std::string_view compressed) {
  if (compressed.size() < 13) return {};
  auto le32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(compressed[at + i]);
    return v;
  };
  const uint32_t length = le32(0);
  const uint32_t crc = le32(8);
  const uint64_t streamLength = compressed.size() - 12;
  // A deflate stream yields at most 258 bytes per 2 bits; refuse a stored
  // length beyond that before allocating for it.
  if (length > streamLength * 1032 + 1032) return {};
  try {
    std::string text(length, '\0');
    if (InflateBuffer(compressed.data() + 12, text.data(), streamLength, length) != length || length == 0)
      return {};
    if ((Crc32Update(0xFFFFFFFFu, text.data(), text.size()) ^ 0xFFFFFFFFu) != crc) return {};
    return text;
  } catch (...) {
    return {};
  }
}
