// Candidate return addresses: the call check in front of a slot's value and
// the prepared scan of a stack, with frame slots marked.
#include <algorithm>
#include <cstring>

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
// between bottom and top, newest first.
std::vector<uintptr_t> FrameSlots(uintptr_t f, uintptr_t bottom, uintptr_t top) {
  std::vector<uintptr_t> slots;
  if (f == 0) return slots;
  if (f + 8 > bottom && f + 8 < top) slots.push_back(f + 8);
  while (f + 8 < top) {
    uint64_t saved = 0;
    if (!SafeRead(reinterpret_cast<const void*>(f), &saved, sizeof saved) || saved <= f) break;
    f = saved;
    if (f + 8 >= top) break;
    if (f + 8 > bottom) slots.push_back(f + 8);
  }
  return slots;
}

}  // namespace

size_t PrepareStackScan(uintptr_t framePointer, uintptr_t stackTop, uintptr_t stackBottom, TDAPreStackItem& items,
                        bool isFaultThread, uintptr_t currentLocation) {
  items.assign(1, TPreStackItem{});
  if (stackBottom == 0) stackBottom = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  stackBottom &= ~uintptr_t{7};
  if (stackTop == 0) stackTop = StackRegionOf(stackBottom).end;
  if (stackTop <= stackBottom) return 0;
  // Copy the whole range at once: the stack is read as it is now.
  std::vector<uint64_t> words((stackTop - stackBottom) / 8);
  if (words.empty() || !SafeRead(reinterpret_cast<const void*>(stackBottom), words.data(), words.size() * 8)) return 0;

  const std::vector<uintptr_t> frames = FrameSlots(framePointer, stackBottom, stackTop);
  size_t nextFrame = frames.size();  // frames are newest first; walk from the oldest
  for (size_t i = words.size(); i-- > 0;) {
    const uintptr_t slot = stackBottom + i * 8;
    const uintptr_t value = words[i];
    if (isFaultThread && value == currentLocation && currentLocation != 0) break;
    while (nextFrame > 0 && frames[nextFrame - 1] > slot) --nextFrame;
    if (value <= 7 || !FollowsCallInstruction(value)) continue;
    const bool onFrame = nextFrame > 0 && frames[nextFrame - 1] == slot;
    items.push_back({static_cast<uint8_t>(onFrame ? 1 : 0), value});
    if (onFrame && i > 0) --i;  // the saved frame pointer below it
  }
  return items.size() - 1;
}

}  // namespace zor
