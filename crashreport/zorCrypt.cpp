#include "crashreport/zorCrypt.h"

#include <array>
#include <cstring>

#include "crashreport/zorCrypt_p.h"

namespace zor {

namespace {

constexpr uint32_t kServerCounter = 0x3C9A51E7;
constexpr uint32_t kAccountCounter = 0x6E2B08D4;

uint32_t F(const BlowfishState& s, uint32_t x) {
  return ((s.S[0][x >> 24] + s.S[1][(x >> 16) & 0xFF]) ^ s.S[2][(x >> 8) & 0xFF]) + s.S[3][x & 0xFF];
}

uint32_t ReadBig(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
void WriteBig(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}
uint32_t ReadLittle(const uint8_t* p) { return ByteSwap32(ReadBig(p)); }
void WriteLittle(uint8_t* p, uint32_t v) { WriteBig(p, ByteSwap32(v)); }

void CipherBlock(uint8_t* block, const BlowfishState& state, BlowfishDirection direction, bool legacyLayout) {
  if (legacyLayout) {
    uint32_t left = ReadLittle(block + 4), right = ReadLittle(block);
    BlowfishBlock(left, right, state, direction);
    WriteLittle(block + 4, left);
    WriteLittle(block, right);
  } else {
    uint32_t left = ReadBig(block), right = ReadBig(block + 4);
    BlowfishBlock(left, right, state, direction);
    WriteBig(block, left);
    WriteBig(block + 4, right);
  }
}

uint8_t* Data(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> kDecodeTable = [] {
  std::array<int8_t, 256> table{};
  table.fill(-1);
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return table;
}();

template <typename Bytes>
Bytes DecodeBase64(const char* text, size_t length) {
  Bytes out;
  if (!text || length == 0 || length % 4 != 0) return out;
  out.reserve(length / 4 * 3);
  for (size_t group = 0; group < length; group += 4) {
    uint32_t bits = 0;
    int valid = 0;  // characters of this group inside the alphabet, before the first outside it
    while (valid < 4) {
      const int8_t v = kDecodeTable[static_cast<unsigned char>(text[group + valid])];
      if (v < 0) break;
      bits |= uint32_t(v) << (18 - 6 * valid);
      ++valid;
    }
    if (valid < 2) break;
    if (valid < 4 && text[group + valid] == '=' && group + 4 < length) break;  // padding mid-text
    out.push_back(static_cast<typename Bytes::value_type>(bits >> 16));
    if (valid >= 3) out.push_back(static_cast<typename Bytes::value_type>(bits >> 8));
    if (valid == 4) out.push_back(static_cast<typename Bytes::value_type>(bits));
    if (valid < 4) break;
  }
  return out;
}

}  // namespace

void BlowfishKeySchedule(const uint8_t* key, size_t keyLength, BlowfishState& state) {
  std::memcpy(state.P, detail::kBlowfishInitialP, sizeof state.P);
  std::memcpy(state.S, detail::kBlowfishInitialS, sizeof state.S);
  if (key && keyLength > 0) {
    size_t next = 0;
    for (uint32_t& p : state.P) {
      uint32_t word = 0;
      for (int k = 0; k < 4; ++k) {
        word = (word << 8) | key[next];
        next = (next + 1) % keyLength;
      }
      p ^= word;
    }
  }
  uint32_t left = 0, right = 0;
  for (size_t i = 0; i < 18; i += 2) {
    BlowfishBlock(left, right, state, BlowfishDirection::Encipher);
    state.P[i] = left;
    state.P[i + 1] = right;
  }
  for (auto& box : state.S) {
    for (size_t i = 0; i < 256; i += 2) {
      BlowfishBlock(left, right, state, BlowfishDirection::Encipher);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

void BlowfishBlock(uint32_t& left, uint32_t& right, const BlowfishState& state, BlowfishDirection direction) {
  const bool forward = direction == BlowfishDirection::Encipher;
  uint32_t l = left, r = right;
  for (int round = 0; round < 16; ++round) {
    l ^= state.P[forward ? round : 17 - round];
    r ^= F(state, l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= state.P[forward ? 16 : 1];
  l ^= state.P[forward ? 17 : 0];
  left = l;
  right = r;
}

bool BlowfishBuffer(uint8_t* buffer, size_t length, bool encipher, bool legacyLayout, uint32_t counterStart,
                    uint32_t counterSecond, std::string_view key) {
  if (key.empty()) return false;
  BlowfishState state;
  BlowfishKeySchedule(reinterpret_cast<const uint8_t*>(key.data()), key.size(), state);
  const size_t blocks = length / 8;
  if (counterStart != 0 || counterSecond != 0) {
    uint8_t counter[8];
    WriteLittle(counter, counterStart);
    WriteLittle(counter + 4, counterSecond);
    for (size_t b = 0; b < blocks; ++b) {
      for (int i = 7; i >= 0 && ++counter[i] == 0; --i) {
      }
      uint8_t stream[8];
      std::memcpy(stream, counter, 8);
      CipherBlock(stream, state, BlowfishDirection::Encipher, false);
      for (int i = 0; i < 8; ++i) buffer[b * 8 + i] ^= stream[i];
    }
    return true;
  }
  const auto direction = encipher ? BlowfishDirection::Encipher : BlowfishDirection::Decipher;
  for (size_t b = 0; b < blocks; ++b) CipherBlock(buffer + b * 8, state, direction, legacyLayout);
  return true;
}

bool LegacyEncipher(std::string& buffer, std::string_view key) {
  return BlowfishBuffer(Data(buffer), buffer.size(), true, true, 0, 0, key);
}

bool LegacyDecipher(std::string& buffer, std::string_view key) {
  return BlowfishBuffer(Data(buffer), buffer.size(), false, true, 0, 0, key);
}

std::string DecipherAndUnpad(std::string_view text, std::string_view key, uint32_t counterStart,
                             uint32_t counterSecond) {
  if (text.empty() || key.empty()) return {};
  std::string plain(text);
  const bool counterMode = counterStart != 0 || counterSecond != 0;
  BlowfishBuffer(Data(plain), plain.size(), counterMode, false, counterStart, counterSecond, key);
  const auto pad = static_cast<unsigned char>(plain.back());
  if (pad >= 1 && pad <= 8 && pad <= plain.size() &&
      plain.find_first_not_of(static_cast<char>(pad), plain.size() - pad) == std::string::npos)
    plain.resize(plain.size() - pad);
  return plain;
}

std::string DecipherStoredPassword(std::string_view stored, std::string_view account, std::string_view server) {
  if (account.empty() || server.empty()) return {};
  return DecipherAndUnpad(DecipherAndUnpad(stored, server, kServerCounter, 0), account, kAccountCounter, 0);
}

std::string Base64Encode(const uint8_t* bytes, size_t length) {
  std::string out;
  if (!bytes) return out;
  out.reserve((length + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const uint32_t bits = uint32_t(bytes[i]) << 16 | uint32_t(bytes[i + 1]) << 8 | bytes[i + 2];
    for (int k = 0; k < 4; ++k) out += kAlphabet[(bits >> (18 - 6 * k)) & 0x3F];
  }
  if (const size_t rest = length - i; rest > 0) {
    uint32_t bits = uint32_t(bytes[i]) << 16;
    if (rest == 2) bits |= uint32_t(bytes[i + 1]) << 8;
    out += kAlphabet[(bits >> 18) & 0x3F];
    out += kAlphabet[(bits >> 12) & 0x3F];
    out += rest == 2 ? kAlphabet[(bits >> 6) & 0x3F] : '=';
    out += '=';
  }
  return out;
}

std::string Base64EncodeText(std::string_view text) {
  return Base64Encode(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<uint8_t> Base64Decode(const char* text, size_t length) {
  return DecodeBase64<std::vector<uint8_t>>(text, length);
}

std::string Base64DecodeText(std::string_view text) { return DecodeBase64<std::string>(text.data(), text.size()); }

uint32_t ByteSwap32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

}  // namespace zor
