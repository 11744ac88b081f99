// zortool b64 and bf: the reporter's base64 and Blowfish over standard input,
// so their output can be compared with other programs byte for byte.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "crashreport/zorCrypt.h"
#include "tools/zortool/Commands.h"

namespace {

std::string ReadStandardInput() {
  std::ios::sync_with_stdio(false);
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

int WriteStandardOutput(const std::string& bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "zortool: cannot write the output\n");
    return 1;
  }
  return 0;
}

int Usage(const char* usage) {
  std::fprintf(stderr, "usage: zortool %s\n", usage);
  return 2;
}

std::optional<std::string> BytesOfHex(const std::string& hex) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]), low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

std::optional<uint32_t> CounterOf(const std::string& text) {
  try {
    size_t used = 0;
    const unsigned long long value = std::stoull(text, &used, 0);
    if (used != text.size() || value == 0 || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(value);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

constexpr char kBase64Usage[] = "b64 enc|dec   (decoding ignores one final line break)";
constexpr char kBlowfishUsage[] =
    "bf ecb|legacy|ctr enc|dec KEY [COUNTER]   (KEY in hexadecimal; ctr needs COUNTER, 1..0xffffffff)";

}  // namespace

int RunBase64(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0] != "enc" && args[0] != "dec")) return Usage(kBase64Usage);
  std::string input = ReadStandardInput();
  if (args[0] == "enc") return WriteStandardOutput(zor::Base64EncodeText(input));
  if (input.ends_with("\r\n"))
    input.resize(input.size() - 2);
  else if (input.ends_with('\n'))
    input.pop_back();
  return WriteStandardOutput(zor::Base64DecodeText(input));
}

int RunBlowfish(const std::vector<std::string>& args) {
  if (args.size() < 3 || args.size() > 4) return Usage(kBlowfishUsage);
  const std::string& mode = args[0];
  const bool counterMode = mode == "ctr";
  if ((mode != "ecb" && mode != "legacy" && !counterMode) || (args[1] != "enc" && args[1] != "dec") ||
      (args.size() == 4) != counterMode)
    return Usage(kBlowfishUsage);
  const auto key = BytesOfHex(args[2]);
  if (!key) return Usage(kBlowfishUsage);
  uint32_t counter = 0;
  if (counterMode) {
    const auto value = CounterOf(args[3]);
    if (!value) return Usage(kBlowfishUsage);
    counter = *value;
  }
  std::string data = ReadStandardInput();
  zor::BlowfishBuffer(reinterpret_cast<uint8_t*>(data.data()), data.size(), args[1] == "enc", mode == "legacy",
                      counter, 0, *key);
  return WriteStandardOutput(data);
}
