#pragma once
// The message record every object's Dispatch reads.
//
// Fields are pointer-sized: family messages hand pointers and objects to their
// receivers in WParam and LParam, and a 32-bit field would cut them on a
// 64-bit system. Result starts at 0; a receiver answers by setting it, and
// the sender reads it after the call. The numbers are in
// platform/classes/Messages.h.

#include <cstdint>

struct TMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};
