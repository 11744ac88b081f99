#pragma once
// Internals of zorCrypt.

#include <cstdint>

namespace zor::detail {

// The published initial Blowfish values (hexadecimal digits of pi).
extern const uint32_t kBlowfishInitialP[18];
extern const uint32_t kBlowfishInitialS[4][256];

}  // namespace zor::detail
