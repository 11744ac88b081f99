#include "crashreport/zorCrypt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zor {
namespace {

std::string FromHex(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return out;
}

std::string ToHex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

uint8_t* Data(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

std::string Ecb(std::string block, std::string_view key, bool encipher, bool legacy = false) {
  EXPECT_TRUE(BlowfishBuffer(Data(block), block.size(), encipher, legacy, 0, 0, key));
  return block;
}

// The author's published electronic-codebook vectors: key, plain, cipher.
TEST(ZorBlowfish, PublishedCodebookVectors) {
  const char* rows[][3] = {
      {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
      {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
      {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
      {"1111111111111111", "1111111111111111", "2466dd878b963c9d"},
      {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
      {"1111111111111111", "0123456789abcdef", "7d0cc630afda1ec7"},
      {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
      {"7ca110454a1a6e57", "01a1d6d039776742", "59c68245eb05282b"},
      {"0131d9619dc1376e", "5cd54ca83def57da", "b1b8cc0b250f09a0"},
      {"07a1133e4a0b2686", "0248d43806f67172", "1730e5778bea1da4"},
      {"3849674c2602319e", "51454b582ddf440a", "a25e7856cf2651eb"},
      {"04b915ba43feb5b6", "42fd443059577fa2", "353882b109ce8f1a"},
      {"0113b970fd34f2ce", "059b5e0851cf143a", "48f4d0884c379918"},
      {"0170f175468fb5e6", "0756d8e0774761d2", "432193b78951fc98"},
      {"43297fad38e373fe", "762514b829bf486a", "13f04154d69d1ae5"},
      {"07a7137045da2a16", "3bdd119049372802", "2eedda93ffd39c79"},
      {"04689104c2fd3b2f", "26955f6835af609a", "d887e0393c2da6e3"},
      {"37d06bb516cb7546", "164d5e404f275232", "5f99d04f5b163969"},
      {"1f08260d1ac2465e", "6b056e18759f5cca", "4a057a3b24d3977b"},
      {"584023641aba6176", "004bd6ef09176062", "452031c1e4fada8e"},
      {"025816164629b007", "480d39006ee762f2", "7555ae39f59b87bd"},
      {"49793ebc79b3258f", "437540c8698f3cfa", "53c55f9cb49fc019"},
      {"4fb05e1515ab73a7", "072d43a077075292", "7a8e7bfa937e89a3"},
      {"49e95d6d4ca229bf", "02fe55778117f12a", "cf9c5d7a4986adb5"},
      {"018310dc409b26d6", "1d9d5c5018f728c2", "d1abb290658bc778"},
      {"1c587f1c13924fef", "305532286d6f295a", "55cb3774d13ef201"},
      {"0101010101010101", "0123456789abcdef", "fa34ec4847b268b2"},
      {"1f1f1f1f0e0e0e0e", "0123456789abcdef", "a790795108ea3cae"},
      {"e0fee0fef1fef1fe", "0123456789abcdef", "c39e072d9fac631d"},
      {"0000000000000000", "ffffffffffffffff", "014933e0cdaff6e4"},
      {"ffffffffffffffff", "0000000000000000", "f21e9a77b71c49bc"},
      {"0123456789abcdef", "0000000000000000", "245946885754369a"},
      {"fedcba9876543210", "ffffffffffffffff", "6b5c5a9c5d9e0a5a"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r[0]) + " " + r[1]);
    EXPECT_EQ(ToHex(Ecb(FromHex(r[1]), FromHex(r[0]), true)), r[2]);
    EXPECT_EQ(ToHex(Ecb(FromHex(r[2]), FromHex(r[0]), false)), r[1]);
  }
}

// The author's variable-key vectors: the plain block fedcba9876543210 under
// the first 1 to 24 bytes of one key, so the schedule's cycling through short
// and long keys is covered.
TEST(ZorBlowfish, PublishedVariableKeyVectors) {
  const std::string key = FromHex("f0e1d2c3b4a5968778695a4b3c2d1e0f0011223344556677");
  const char* expected[] = {
      "f9ad597c49db005e", "e91d21c1d961a6d6", "e9c2b70a1bc65cf3", "be1e639408640f05", "b39e44481bdb1e6e",
      "9457aa83b1928c0d", "8bb77032f960629d", "e87a244e2cc85e82", "15750e7a4f4ec577", "122ba70b3ab64ae0",
      "3a833c9affc537f6", "9409da87a90f6bf2", "884f80625060b8b4", "1f85031c19e11968", "79d9373a714ca34f",
      "93142887ee3be15c", "03429e838ce2d14b", "a4299e27469ff67b", "afd5aed1c1bc96a8", "10851c0e3858da9f",
      "e6f51ed79b9db21f", "64a6e14afd36b46f", "80c7d7d45a5479ad", "05044b62fa52d080",
  };
  for (size_t length = 1; length <= 24; ++length) {
    SCOPED_TRACE(length);
    EXPECT_EQ(ToHex(Ecb(FromHex("fedcba9876543210"), key.substr(0, length), true)), expected[length - 1]);
  }
}

TEST(ZorBlowfish, LayoutsRoundTripAndDiffer) {
  const std::string plain = "sixteen byte txt";
  const std::string key = "a key";
  const std::string standard = Ecb(plain, key, true, false);
  const std::string legacy = Ecb(plain, key, true, true);
  EXPECT_NE(standard, legacy);
  EXPECT_EQ(Ecb(standard, key, false, false), plain);
  EXPECT_EQ(Ecb(legacy, key, false, true), plain);
  // The legacy layout is the standard one on each block with its bytes reversed.
  for (size_t b = 0; b < plain.size(); b += 8) {
    std::string reversed(plain.rbegin() + static_cast<std::ptrdiff_t>(plain.size() - b - 8),
                         plain.rbegin() + static_cast<std::ptrdiff_t>(plain.size() - b));
    std::string cipher = Ecb(reversed, key, true);
    EXPECT_EQ(std::string(cipher.rbegin(), cipher.rend()), legacy.substr(b, 8));
  }
  std::string text = plain;
  ASSERT_TRUE(LegacyEncipher(text, key));
  EXPECT_EQ(text, legacy);
  ASSERT_TRUE(LegacyDecipher(text, key));
  EXPECT_EQ(text, plain);
}

TEST(ZorBlowfish, CounterModeIsDataXorEncipheredCounterBlocks) {
  const std::string key = "counter key";
  const std::string plain = "twenty-four bytes here!!";
  std::string text = plain;
  ASSERT_TRUE(BlowfishBuffer(Data(text), text.size(), false, true, 0x01020304, 0x0A0B0C0D, key));
  // Start value little-endian in bytes 0-3, second value in 4-7; each block
  // first adds one to the counter read as a big-endian 64-bit number.
  const char* counters[] = {"040302010d0c0b0b", "040302010d0c0b0c", "040302010d0c0b0d"};
  std::string expected;
  for (size_t b = 0; b < 3; ++b) {
    const std::string stream = Ecb(FromHex(counters[b]), key, true);
    for (size_t i = 0; i < 8; ++i) expected += static_cast<char>(plain[b * 8 + i] ^ stream[i]);
  }
  EXPECT_EQ(ToHex(text), ToHex(expected));
  // Its own inverse, whatever the encipher flag says.
  ASSERT_TRUE(BlowfishBuffer(Data(text), text.size(), true, false, 0x01020304, 0x0A0B0C0D, key));
  EXPECT_EQ(text, plain);
}

TEST(ZorBlowfish, CounterCarriesAcrossBytes) {
  // Bytes 0-3 hold 0x00FFFFFF little-endian (ff ff ff 00), bytes 4-7
  // 0xFFFFFFFF: the increment carries from byte 7 across into byte 3.
  const std::string key = "k";
  std::string text(8, '\0');
  ASSERT_TRUE(BlowfishBuffer(Data(text), 8, true, false, 0x00FFFFFF, 0xFFFFFFFF, key));
  EXPECT_EQ(text, Ecb(FromHex("ffffff0100000000"), key, true));
  text.assign(8, '\0');
  ASSERT_TRUE(BlowfishBuffer(Data(text), 8, true, false, 0xFFFFFFFF, 0xFFFFFFFF, key));
  EXPECT_EQ(text, Ecb(FromHex("0000000000000000"), key, true));  // wraps at 2^64
}

TEST(ZorBlowfish, ShortTailAndEmptyKeyStayUnchanged) {
  const std::string plain = "0123456789";
  struct Mode {
    const char* name;
    bool legacy;
    uint32_t counter;
  } modes[] = {{"codebook", false, 0}, {"legacy", true, 0}, {"counter", false, 7}};
  for (const auto& m : modes) {
    SCOPED_TRACE(m.name);
    std::string text = plain;
    ASSERT_TRUE(BlowfishBuffer(Data(text), text.size(), true, m.legacy, m.counter, 0, "key"));
    EXPECT_NE(text.substr(0, 8), plain.substr(0, 8));
    EXPECT_EQ(text.substr(8), "89");
    text = plain;
    EXPECT_FALSE(BlowfishBuffer(Data(text), text.size(), true, m.legacy, m.counter, 0, ""));
    EXPECT_EQ(text, plain);
  }
  std::string shortText = "1234567";
  ASSERT_TRUE(LegacyEncipher(shortText, "key"));
  EXPECT_EQ(shortText, "1234567");
}

// Pads with n bytes of value n and enciphers, as the settings editor stores a
// password (the inverse of DecipherAndUnpad).
std::string PadAndEncipher(std::string text, std::string_view key, uint32_t counter) {
  text.append(8 - text.size() % 8, static_cast<char>(8 - text.size() % 8));
  EXPECT_TRUE(BlowfishBuffer(Data(text), text.size(), true, false, counter, 0, key));
  return text;
}

TEST(ZorBlowfish, DecipherAndUnpadRemovesOnlyAValidPad) {
  const std::string key = "pad key";
  struct Row {
    const char* name;
    std::string plainWithPad;
    std::string expected;
  } rows[] = {
      {"pad of 3", std::string("abcde\3\3\3"), "abcde"},
      {"whole block of pad", std::string("12345678") + std::string(8, '\x08'), "12345678"},
      {"pad of 1", std::string("abcdefg\1"), "abcdefg"},
      {"pad bytes differ", std::string("abcde\2\3\3"), std::string("abcde\2\3\3")},
      {"value above 8", std::string("abcdefg\x09"), std::string("abcdefg\x09")},
      {"zero", std::string("abcdefg\0", 8), std::string("abcdefg\0", 8)},
      {"pad longer than text", std::string("\x08\x08\x08\x08\x08\x08\x08", 7) + "\x09", std::string("\x08\x08\x08\x08\x08\x08\x08\x09")},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    for (uint32_t counter : {0u, 5u}) {
      std::string cipher = r.plainWithPad;
      ASSERT_TRUE(BlowfishBuffer(Data(cipher), cipher.size(), true, false, counter, 0, key));
      EXPECT_EQ(DecipherAndUnpad(cipher, key, counter, 0), r.expected);
    }
  }
  EXPECT_EQ(DecipherAndUnpad("", key, 0, 0), "");
  EXPECT_EQ(DecipherAndUnpad("12345678", "", 0, 0), "");
}

TEST(ZorBlowfish, StoredPasswordRoundTrip) {
  for (const std::string password : {"", "s", "secret!", "exactly8", "a longer pass phrase ÄÖÜ"}) {
    SCOPED_TRACE(password);
    const std::string stored =
        PadAndEncipher(PadAndEncipher(password, "mailer", 0x6E2B08D4), "smtp.example.org", 0x3C9A51E7);
    EXPECT_EQ(DecipherStoredPassword(stored, "mailer", "smtp.example.org"), password);
    EXPECT_NE(DecipherStoredPassword(stored, "mailer", "smtp.example.net"), password);
    // Settings store it as base64.
    EXPECT_EQ(DecipherStoredPassword(Base64DecodeText(Base64EncodeText(stored)), "mailer", "smtp.example.org"),
              password);
    EXPECT_EQ(DecipherStoredPassword(stored, "", "smtp.example.org"), "");
    EXPECT_EQ(DecipherStoredPassword(stored, "mailer", ""), "");
  }
}

TEST(ZorBase64, Rfc4648VectorsEncodeAndDecode) {
  const char* rows[][2] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r[0]);
    EXPECT_EQ(Base64EncodeText(r[0]), r[1]);
    EXPECT_EQ(Base64DecodeText(r[1]), r[0]);
  }
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Base64DecodeText(Base64EncodeText(all)), all);
  EXPECT_EQ(Base64EncodeText("\xfb\xff"), "+/8=");
  const auto bytes = Base64Decode("+/8=", 4);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFB, 0xFF}));
}

TEST(ZorBase64, BadLengthsAndCharactersShortenTheResult) {
  struct Row {
    const char* text;
    const char* expected;
  } rows[] = {
      {"Zm9", ""},                 // not a multiple of 4
      {"Zm9vY", ""},
      {"Zm9v\n", ""},
      {"Zm9vYm!y", "foob"},        // bad third place: one byte of that group
      {"Zm9vYmE!", "fooba"},       // bad fourth place: two bytes
      {"Zm!vZm9v", "f"},           // bad third place before the last group: decoding ends there
      {"Zm9v!mFy", "foo"},         // bad first place: the groups before it
      {"Zm9vY!Fy", "foo"},         // bad second place
      {"Zg==Zm9v", ""},            // padding before the last group
      {"Zm9vZg==Zm9v", "foo"},
      {"Zm9vZm8=Zm9v", "foo"},
      {"====", ""},
      {"Zg=A", "f"},               // the first outside character ends the group
      {"Zm9v Zm9vYmFy", ""},       // length 13
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(Base64DecodeText(r.text), r.expected);
  }
  EXPECT_TRUE(Base64Decode(nullptr, 4).empty());
}

TEST(ZorCrypt, ByteSwap32) {
  EXPECT_EQ(ByteSwap32(0x01020304u), 0x04030201u);
  EXPECT_EQ(ByteSwap32(0xFF000000u), 0x000000FFu);
}

}  // namespace
}  // namespace zor
