#pragma once
// Alphabet sizes and extra-bit tables shared by the deflate coder and decoder.
#include <cstdint>

namespace zorzip {

inline constexpr int kLengthCodes = 29;
inline constexpr int kLiterals = 256;
inline constexpr int kEndBlock = 256;
inline constexpr int kLCodes = kLiterals + 1 + kLengthCodes;  // 286
inline constexpr int kDCodes = 30;
inline constexpr int kBlCodes = 19;
inline constexpr int kMaxBits = 15;

inline constexpr int kExtraLBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr int kExtraDBits[kDCodes] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace zorzip
