#pragma once
// The crash reporter's cipher and base64: the Blowfish block cipher (16
// rounds, 64-bit blocks, keys of 1 to 72 bytes) in three buffer modes, the
// deciphering of stored passwords, and RFC 4648 base64.
//
// Buffer modes work on whole 8-byte blocks; a final part shorter than 8 bytes
// is left unchanged. The cipher has no integrity check: a wrong key gives
// wrong bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

struct BlowfishState {
  uint32_t P[18];
  uint32_t S[4][256];
};

enum class BlowfishDirection : int { Encipher = 1, Decipher = -1 };

// The standard key schedule from the published initial values: the key bytes,
// cycled, are XORed big-endian into the 18 P entries (bytes past the 72nd are
// never used), then 521 encipherments of a zero block replace P and the
// S-boxes. Callers never pass an empty key; with one, only the second step runs.
void BlowfishKeySchedule(const uint8_t* key, size_t keyLength, BlowfishState& state);
// One block: Encipher uses P[0] first, Decipher P[17].
void BlowfishBlock(uint32_t& left, uint32_t& right, const BlowfishState& state, BlowfishDirection direction);

// Enciphers or deciphers the whole 8-byte blocks of a buffer in place, keyed
// afresh on every call.
// - Counter mode, when counterStart or counterSecond is not 0: the counter is
//   8 bytes, counterStart little-endian in bytes 0-3 and counterSecond in 4-7.
//   For each block it is first increased by one as a big-endian 64-bit number,
//   then enciphered as a standard block and XORed onto the buffer; `encipher`
//   does not matter (the mode is its own inverse).
// - Otherwise electronic codebook, each block on its own, in the standard
//   layout (halves big-endian, left half first) or the legacy layout (halves
//   little-endian, right half first: the standard layout of the block with its
//   8 bytes reversed).
// An empty key leaves the buffer unchanged and gives false.
bool BlowfishBuffer(uint8_t* buffer, size_t length, bool encipher, bool legacyLayout, uint32_t counterStart,
                    uint32_t counterSecond, std::string_view key);
// Legacy layout, electronic codebook, over the whole text; false for an empty key.
bool LegacyEncipher(std::string& buffer, std::string_view key);
bool LegacyDecipher(std::string& buffer, std::string_view key);

// Deciphers `text` (counter mode when a counter value is not 0, else standard
// codebook), then drops a final pad of n bytes of value n (1..8) when there is
// one. An empty text stays empty; an empty key gives an empty result.
std::string DecipherAndUnpad(std::string_view text, std::string_view key, uint32_t counterStart,
                             uint32_t counterSecond);
// A stored password (already base64-decoded): DecipherAndUnpad under the
// server name with counter 0x3C9A51E7, then under the account name with
// counter 0x6E2B08D4. An empty server or account name gives "".
std::string DecipherStoredPassword(std::string_view stored, std::string_view account, std::string_view server);

// RFC 4648 base64 with "=" padding and no line breaks; empty input gives "".
std::string Base64Encode(const uint8_t* bytes, size_t length);
std::string Base64EncodeText(std::string_view text);
// Decodes base64. A length of 0 or one that is not a multiple of 4 gives an
// empty result. Groups are decoded in order until the first character outside
// the alphabet: in the third place of a group one byte of the group is kept,
// in the fourth two ("QQ==" gives "A", "QUI=" gives "AB"); in the first or
// second place, or "=" in any group but the last, decoding ends with the
// groups before it.
std::vector<uint8_t> Base64Decode(const char* text, size_t length);
std::string Base64DecodeText(std::string_view text);

// The value with its four bytes reversed.
uint32_t ByteSwap32(uint32_t value);

}  // namespace zor
