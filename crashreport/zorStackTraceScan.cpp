// Candidate return addresses: the call check in front of a slot's value and
// the prepared scan of a stack, with frame slots marked.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorStackTrace.h"

namespace zor {

bool FollowsCallInstruction(uintptr_t address) {
  uint8_t b[8];
  if (address < 8 || !SafeRead(reinterpret_cast<const void*>(address - 8), b, sizeof b)) return false;
  // b[8 - k] is the byte at address - k.
  auto at = [&](int k) { return b[8 - k]; };
  if (at(5) == 0xE8) return true;
  for (int k : {2, 3, 4, 6, 7}) {
    if (at(k) == 0xFF && ((at(k - 1) >> 4) & 3) == 1) return true;
  }
  return false;
}

StackRegion StackRegionOf(uintptr_t address) {
  for (const Mapping& m : ProcessMappings()) {
    if (m.read && m.begin <= address && address < m.end) return {m.begin, m.end};
  }
  return {};
}

namespace {

// The return slots f + 8 of the frame-pointer chain that lie strictly
// between bottom and top, newest first, at most `capacity`; their count.
size_t FrameSlots(uintptr_t f, uintptr_t bottom, uintptr_t top, uintptr_t* slots, size_t capacity) {
  size_t n = 0;
  if (f == 0 || capacity == 0) return 0;
  if (f + 8 > bottom && f + 8 < top) slots[n++] = f + 8;
  while (f + 8 < top && n < capacity) {
    uint64_t saved = 0;
    if (!SafeRead(reinterpret_cast<const void*>(f), &saved, sizeof saved) || saved <= f) break;
    f = saved;
    if (f + 8 >= top) break;
    if (f + 8 > bottom) slots[n++] = f + 8;
  }
  return n;
}

}  // namespace

void ScanStackCandidates(uintptr_t framePointer, uintptr_t stackTop, uintptr_t stackBottom, bool isFaultThread,
                         uintptr_t currentLocation, uintptr_t* frames, size_t frameCapacity, StackCandidateSink emit,
                         void* context) {
  size_t nextFrame = FrameSlots(framePointer, stackBottom, stackTop, frames, frameCapacity);  // newest first
  uint64_t words[256];
  bool skipNext = false;
  uintptr_t chunkEnd = stackTop;
  while (chunkEnd > stackBottom) {
    const size_t n = std::min<size_t>((chunkEnd - stackBottom) / 8, std::size(words));
    if (n == 0) return;
    const uintptr_t chunkStart = chunkEnd - n * 8;
    if (!SafeRead(reinterpret_cast<const void*>(chunkStart), words, n * 8)) return;
    for (size_t i = n; i-- > 0;) {
      if (skipNext) {  // the saved frame pointer below a frame's return slot
        skipNext = false;
        continue;
      }
      const uintptr_t slot = chunkStart + i * 8;
      const uintptr_t value = words[i];
      if (isFaultThread && value == currentLocation && currentLocation != 0) return;
      while (nextFrame > 0 && frames[nextFrame - 1] > slot) --nextFrame;
      if (value <= 7 || !FollowsCallInstruction(value)) continue;
      const bool onFrame = nextFrame > 0 && frames[nextFrame - 1] == slot;
      emit(context, onFrame ? 1 : 0, value);
      skipNext = onFrame;
    }
    chunkEnd = chunkStart;
  }
}

size_t PrepareStackScan(uintptr_t framePointer, uintptr_t stackTop, uintptr_t stackBottom, TDAPreStackItem& items,
                        bool isFaultThread, uintptr_t currentLocation) {
  items.assign(1, TPreStackItem{});
  if (stackBottom == 0) stackBottom = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  stackBottom &= ~uintptr_t{7};
  if (stackTop == 0) stackTop = StackRegionOf(stackBottom).end;
  if (stackTop <= stackBottom) return 0;
  // A frame takes at least 16 bytes, so this holds every frame slot.
  std::vector<uintptr_t> frames((stackTop - stackBottom) / 16 + 1);
  ScanStackCandidates(
      framePointer, stackTop, stackBottom, isFaultThread, currentLocation, frames.data(), frames.size(),
      [](void* context, uint8_t onFrame, uintptr_t address) {
        static_cast<TDAPreStackItem*>(context)->push_back({onFrame, address});
      },
      &items);
  return items.size() - 1;
}

}  // namespace zor
