// Following a function from its entry point through all its branches.
#include "crashreport/zorDisAsmFunction.h"


#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorExceptGot_p.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorToolsImage.h"

namespace zor {

namespace {

bool InArea(const TZECodeArea& a, uintptr_t address) { return a.end != 0 && address >= a.begin && address <= a.end; }

class Analyser {
 public:
  Analyser(TFunctionInfo& r, const TDATryRead* snapshot, const TZERuntimeRoutines& routines, DecodeMode mode)
      : r_(r), snapshot_(snapshot), rt_(routines), mode_(mode) {}

  void Run(uintptr_t entry);

 private:
  bool DecodeArea(size_t index);
  size_t AddCodeArea(uintptr_t begin, uintptr_t caller, const TZERegisters& state);
  void AddTarget(const TZECodeInfo& ci, const TZERegisters& state);
  bool IsHalt(uintptr_t target);
  uintptr_t FollowStubs(uintptr_t target);
  bool ResolveUnknownTargets();
  bool TryGap(std::set<uintptr_t>& tried);
  void Fail(uintptr_t at) {
    failed_ = true;
    failAt_ = at;
  }
  // Tables in the code must lie wholly in readable memory.
  uint32_t Read32(uintptr_t at, bool& ok) const {
    uint32_t v = 0;
    ok = (!snapshot_ || ReadableEnd(*snapshot_, at) >= at + 4) &&
         SafeRead(reinterpret_cast<const void*>(at), &v, 4, snapshot_);
    return v;
  }

  TFunctionInfo& r_;
  const TDATryRead* snapshot_;
  const TZERuntimeRoutines& rt_;
  DecodeMode mode_;
  CodeRange range_;
  size_t current_ = 0;
  // Import stubs are called from many places; their look-ups are kept.
  std::map<uintptr_t, uintptr_t> followed_;
  std::map<uintptr_t, bool> halts_;
  bool failed_ = false;
  uintptr_t failAt_ = 0;
};

size_t Analyser::AddCodeArea(uintptr_t begin, uintptr_t caller, const TZERegisters& state) {
  auto& areas = r_.codeAreas;
  for (size_t i = 0; i < areas.size(); ++i) {
    TZECodeArea& a = areas[i];
    if (a.begin != begin) continue;
    if (caller && (a.caller == 0 || (caller > a.caller && caller < begin) || (caller < a.caller && caller > begin)))
      a.caller = caller;
    for (size_t k = 0; k < 16; ++k)
      if (a.registers.operand[k] != state.operand[k]) a.registers.operand[k] = 0, a.registers.width[k] = 0;
    return i;
  }
  for (size_t i = 0; i < areas.size(); ++i) {
    if (areas[i].caseTable || areas[i].handlerTable || !InArea(areas[i], begin) || areas[i].begin == begin) continue;
    TZECodeArea split;
    split.begin = begin;
    split.end = areas[i].end;
    split.caller = caller;
    split.registers = state;
    for (size_t k = 0; k < 16; ++k)
      if (areas[i].registers.operand[k] != state.operand[k])
        split.registers.operand[k] = 0, split.registers.width[k] = 0;
    areas[i].end = begin - 1;
    areas.push_back(split);
    if (i == current_) current_ = areas.size() - 1;
    return areas.size() - 1;
  }
  if (areas.size() == areas.capacity()) areas.reserve(areas.empty() ? 8 : areas.size() * 2);
  TZECodeArea a;
  a.begin = begin;
  a.caller = caller;
  a.registers = state;
  areas.push_back(a);
  return areas.size() - 1;
}

uintptr_t Analyser::FollowStubs(uintptr_t target) {
  if (const auto known = followed_.find(target); known != followed_.end()) return known->second;
  const uintptr_t from = target;
  for (int hop = 0; hop < 4; ++hop) {
    uint8_t first = 0;
    if (!SafeRead(reinterpret_cast<const void*>(target), &first, 1, snapshot_)) break;
    const bool stubStart = first == 0xE9 || first == 0xEB || first == 0xFF || first == 0x02 || first == 0x03 ||
                           (mode_ == DecodeMode::X64 && (first == 0xF3 || first == 0xF2));
    if (!stubStart) break;
    const void* at = reinterpret_cast<const void*>(target);
    TZECodeInfo ci = DecodeInstruction(at, nullptr, false, snapshot_, mode_);
    if (mode_ == DecodeMode::X64 && ci.valid && ci.opcode == 0x0F1E)  // endbr64 before the jump
      ci = DecodeInstruction(reinterpret_cast<const void*>(ci.next), nullptr, false, snapshot_, mode_);
    if (!ci.valid || !ci.jump || ci.target == 0) break;
    if (const auto module = ModuleOfAddress(at); module && !ProcNameOf(*module, at, false).empty()) break;
    target = ci.target;
  }
  followed_[from] = target;
  return target;
}

bool Analyser::IsHalt(uintptr_t target) {
  for (const void* h : rt_.halt)
    if (reinterpret_cast<uintptr_t>(h) == target) return true;
  if (rt_.haltNames.empty()) return false;
  if (const auto known = halts_.find(target); known != halts_.end()) return known->second;
  bool& halt = halts_[target];
  if (const uintptr_t cell = ImportStubCell(reinterpret_cast<const void*>(target), mode_);
      cell && mode_ == DecodeMode::X64) {
    const std::string name = ImportSlotName(cell);
    halt = !name.empty() && std::find(rt_.haltNames.begin(), rt_.haltNames.end(), name) != rt_.haltNames.end();
  }
  return halt;
}

void Analyser::AddTarget(const TZECodeInfo& ci, const TZERegisters& state) {
  if (!ci.call && !ci.jump) return;
  auto& unknown = r_.unknownTargets;
  if (!ci.targetOperand && !ci.targetCell) {
    const bool known = std::any_of(unknown.begin(), unknown.end(), [&](auto& u) { return u.address == ci.address; });
    if (!known) unknown.push_back({ci.call, ci.address, ci.next});
    return;
  }
  const uintptr_t t = ci.target;
  bool special = false;
  if (t && t == reinterpret_cast<uintptr_t>(rt_.handleAnyException)) {
    special = true;
    AddCodeArea(ci.next, ci.address, state);
  } else if (t && t == reinterpret_cast<uintptr_t>(rt_.handleFinally)) {
    special = true;
    AddCodeArea(ci.next, ci.address, state);
    // A jump back to "push imm32" names the code that follows the block.
    const TZECodeInfo back =
        DecodeInstruction(reinterpret_cast<const void*>(ci.next), nullptr, false, snapshot_, mode_);
    uint8_t push = 0;
    bool ok = false;
    if (back.valid && back.jump && back.relative && back.target < back.address &&
        SafeRead(reinterpret_cast<const void*>(back.target - 5), &push, 1, snapshot_) && push == 0x68) {
      const uint32_t value = Read32(back.target - 4, ok);
      if (ok && value > r_.entryPoint) AddCodeArea(value, ci.address, TZERegisters{});
    }
  } else if (t && t == reinterpret_cast<uintptr_t>(rt_.handleOnException)) {
    special = true;
    bool ok = false;
    const uint32_t n = Read32(ci.next, ok);
    if (ok && n < 4096) {
      TZECodeArea& table = r_.codeAreas[AddCodeArea(ci.next, ci.address, state)];
      table.handlerTable = true;
      table.end = ci.next + n * 8 + 3;
      for (uint32_t i = 0; i < n; ++i) {
        const uint32_t handler = Read32(ci.next + 4 + i * 8 + 4, ok);
        if (ok) AddCodeArea(handler, ci.address, TZERegisters{});
      }
    }
  } else if (t && t == reinterpret_cast<uintptr_t>(rt_.handleAutoException)) {
    special = true;
  }
  if (ci.targetSize == 4 && (ci.call || t < range_.begin || t >= range_.end || special)) {
    const uintptr_t target = FollowStubs(t);
    auto& far = r_.farCalls;
    if (std::none_of(far.begin(), far.end(), [&](auto& f) { return f.next == ci.next; })) {
      far.push_back({ci.call, ci.address, ci.next, target, ci.relative, ci.targetOperand, ci.targetCell});
      if (ci.targetCell) r_.copy.bufferLength += 4;
    }
  } else if (!special) {
    AddCodeArea(t, ci.address, state);
  }
  unknown.erase(std::remove_if(unknown.begin(), unknown.end(), [&](auto& u) { return u.address == ci.address; }),
                unknown.end());
}

bool Analyser::DecodeArea(size_t index) {
  current_ = index;
  TZERegisters regs = r_.codeAreas[index].registers;
  uintptr_t at = r_.codeAreas[index].begin;
  int caseCount = -1, caseRegister = -1;
  uint32_t pushed = 0;
  bool afterPush = false;
  for (;;) {
    uintptr_t limit = range_.end;
    for (const TZECodeArea& a : r_.codeAreas)
      if (a.begin > r_.codeAreas[current_].begin && a.begin < limit) limit = a.begin;
    const TZERegisters before = regs;
    const TZECodeInfo ci = DecodeInstruction(reinterpret_cast<const void*>(at), &regs, true, snapshot_, mode_);
    if (!ci.valid || ci.next > limit) {
      Fail(ci.next);
      return false;
    }
    r_.codeAreas[current_].end = ci.next - 1;
    const uint16_t op = ci.opcode;
    if (op == 0xC2 || op == 0xC3 || op == 0xCA || op == 0xCB || op == 0xCF) return true;
    if (mode_ == DecodeMode::X64 && op == 0x0F0B) return true;  // ud2 marks code that is never reached
    if (mode_ == DecodeMode::Ia32) {
      // Exception frames: push handler; push fs:[reg] or push fs:[0].
      uint8_t bytes[3] = {};
      SafeRead(reinterpret_cast<const void*>(ci.address), bytes, 3, snapshot_);
      if (afterPush && op == 0xFF && bytes[0] == 0x64 &&
          ((bytes[2] >= 0x30 && bytes[2] <= 0x37 && bytes[2] != 0x34 && bytes[2] != 0x35 &&
            before.operand[bytes[2] & 7] == 0) ||
           (bytes[2] == 0x35 && ci.next - ci.address == 7))) {
        bool ok = false;
        if (bytes[2] != 0x35 || (Read32(ci.address + 3, ok) == 0 && ok)) AddCodeArea(pushed, 0, TZERegisters{});
      }
      afterPush = false;
      uint8_t following = 0;
      if (op == 0x68 && SafeRead(reinterpret_cast<const void*>(ci.next), &following, 1, snapshot_) &&
          following == 0x64) {
        bool ok = false;
        pushed = Read32(ci.next - 4, ok);
        afterPush = ok;
      }
      // Jump tables: cmp reg, imm8; ja/jae; jmp [reg*4 + table].
      if (op == 0x83 && (ci.modRM & 0xF8) == 0xF8) {
        int8_t imm = 0;
        SafeRead(reinterpret_cast<const void*>(ci.next - 1), &imm, 1, snapshot_);
        caseCount = imm;
        caseRegister = ci.modRM & 7;
      } else if (caseCount >= 0 && (op == 0x77 || op == 0x7F || op == 0x0F87 || op == 0x0F8F)) {
        ++caseCount;
      } else if (caseCount >= 0 && op == 0xFF && bytes[0] == 0xFF && bytes[1] == 0x24 &&
                 bytes[2] == (0x85 | (caseRegister << 3))) {
        bool ok = false;
        const uint32_t table = Read32(ci.address + 3, ok);
        if (ok && table == ci.next) {
          for (int i = 0; i < caseCount; ++i) {
            const uint32_t entry = Read32(table + 4 * i, ok);
            if (!ok) {
              Fail(ci.next);
              return false;
            }
            AddCodeArea(entry, ci.address, regs);
          }
          TZECodeArea& t = r_.codeAreas[AddCodeArea(table, ci.address, regs)];
          t.caseTable = true;
          t.end = table + 4 * caseCount - 1;
          return true;
        }
      } else if (op != 0x73 && op != 0x7D && op != 0x0F83 && op != 0x0F8D) {
        caseCount = -1;
      }
    }
    AddTarget(ci, regs);
    if (ci.call && IsHalt(FollowStubs(ci.target))) return true;
    if (ci.call && IsHalt(ci.target)) return true;
    if (op == 0xE9 || op == 0xEA || op == 0xEB || (op == 0xFF && ((ci.modRM >> 3) & 7) >= 4)) return true;
    const bool reachesArea =
        std::any_of(r_.codeAreas.begin(), r_.codeAreas.end(), [&](const TZECodeArea& a) { return a.begin == ci.next; });
    if (!(regs == r_.codeAreas[current_].registers) || reachesArea) {
      AddCodeArea(ci.next, 0, regs);
      return true;
    }
    at = ci.next;
  }
}

bool Analyser::ResolveUnknownTargets() {
  bool added = false;
  for (size_t u = r_.unknownTargets.size(); u-- > 0;) {
    const TZEUnknownTarget target = r_.unknownTargets[u];
    const auto area = std::find_if(r_.codeAreas.begin(), r_.codeAreas.end(), [&](const TZECodeArea& a) {
      return !a.caseTable && !a.handlerTable && InArea(a, target.address);
    });
    if (area == r_.codeAreas.end()) continue;
    // Replay the area up to the branch to know the registers there.
    TZERegisters regs = area->registers;
    TZECodeInfo ci;
    for (uintptr_t at = area->begin; at <= target.address; at = ci.next) {
      ci = DecodeInstruction(reinterpret_cast<const void*>(at), &regs, at < target.address, snapshot_, mode_);
      if (!ci.valid) break;
      if (at == target.address)
        ci = DecodeInstruction(reinterpret_cast<const void*>(at), &regs, true, snapshot_, mode_);
    }
    if (!ci.valid || ci.address != target.address || (!ci.targetOperand && !ci.targetCell)) continue;
    const size_t before = r_.codeAreas.size();
    AddTarget(ci, regs);
    added = added || r_.codeAreas.size() != before;
  }
  return added;
}

bool Analyser::TryGap(std::set<uintptr_t>& tried) {
  std::vector<TZECodeArea> sorted = r_.codeAreas;
  std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.begin < b.begin; });
  uintptr_t last = 0;
  for (const TZECodeArea& a : sorted) last = std::max(last, a.end);
  uintptr_t chainEnd = sorted.front().end;
  for (size_t i = 1; i < sorted.size() && sorted[i].begin <= chainEnd + 1; ++i)
    chainEnd = std::max(chainEnd, sorted[i].end);
  const uintptr_t gap = chainEnd + 1;
  if (gap > last || last - gap > 1023 || !tried.insert(gap).second) return false;
  const TFunctionInfo saved = r_;
  AddCodeArea(gap, 0, TZERegisters{});
  for (;;) {
    const auto next = std::find_if(r_.codeAreas.begin(), r_.codeAreas.end(),
                                   [](const TZECodeArea& a) { return a.end == 0 && !a.caseTable && !a.handlerTable; });
    if (next == r_.codeAreas.end()) return true;
    if (!DecodeArea(static_cast<size_t>(next - r_.codeAreas.begin()))) {
      r_ = saved;  // the gap holds no valid code: keep the function as it was
      failed_ = false;
      return false;
    }
  }
}

void Analyser::Run(uintptr_t entry) {
  range_ = ModuleCodeRange(entry);
  r_.copy.valid = true;
  AddCodeArea(entry, 0, TZERegisters{});
  std::set<uintptr_t> triedGaps;
  for (;;) {
    const auto next = std::find_if(r_.codeAreas.begin(), r_.codeAreas.end(),
                                   [](const TZECodeArea& a) { return a.end == 0 && !a.caseTable && !a.handlerTable; });
    if (next != r_.codeAreas.end()) {
      if (!DecodeArea(static_cast<size_t>(next - r_.codeAreas.begin()))) break;
      continue;
    }
    if (ResolveUnknownTargets()) continue;
    const bool unknownJump = std::any_of(r_.unknownTargets.begin(), r_.unknownTargets.end(),
                                         [](const TZEUnknownTarget& u) { return !u.call; });
    if (!unknownJump || !TryGap(triedGaps)) break;
  }
  if (failed_) {
    r_.valid = false;
    r_.lastErrorNumber = kInvalidCodeError;
    r_.lastErrorText = kInvalidCodeText;
    r_.lastErrorAddress = failAt_;
    return;
  }
  r_.valid = true;
  uintptr_t begin = UINTPTR_MAX, end = 0;
  for (const TZECodeArea& a : r_.codeAreas) begin = std::min(begin, a.begin), end = std::max(end, a.end);
  r_.codeBegin = begin;
  r_.codeLength = end - begin + 1;
  r_.copy.bufferLength += r_.codeLength + 4;
  // Interceptable: room for a 5-byte jump in straight-line code at the entry,
  // and no branch there that a copy could not carry along.
  const auto entryArea =
      std::find_if(r_.codeAreas.begin(), r_.codeAreas.end(), [&](auto& a) { return a.begin == entry; });
  uintptr_t straightEnd = entryArea->end;
  for (bool grown = true; grown;) {
    grown = false;
    for (const TZECodeArea& a : r_.codeAreas)
      if (a.begin == straightEnd + 1 && !a.caseTable && !a.handlerTable && a.caller == 0) {
        straightEnd = a.end;
        grown = true;
      }
  }
  r_.interceptable = straightEnd + 1 - entry > 5;
  for (uintptr_t at = entry; r_.interceptable && at < entry + 6;) {
    const TZECodeInfo ci = DecodeInstruction(reinterpret_cast<const void*>(at), nullptr, false, snapshot_, mode_);
    if (!ci.valid) break;
    if ((ci.call || ci.jump) && ((!ci.targetOperand && !ci.targetCell) || (ci.targetSize < 4 && !ci.enlargeable)))
      r_.interceptable = false;
    at = ci.next;
  }
}

}  // namespace

TFunctionInfo AnalyseFunction(const void* entry, const TDATryRead* snapshot, const TZERuntimeRoutines& routines,
                              DecodeMode mode) {
  TFunctionInfo r;
  r.entryPoint = reinterpret_cast<uintptr_t>(entry);
  uint8_t first = 0;
  if (!SafeRead(entry, &first, 1, snapshot)) {
    r.lastErrorAddress = r.entryPoint;
    r.lastErrorNumber = kInvalidParameterError;
    // Error 87 is the invalid-parameter error; the system's own text for
    // the number 87 would be an unrelated one here.
    r.lastErrorText = std::strerror(EINVAL);
    return r;
  }
  try {
    Analyser(r, snapshot, routines, mode).Run(r.entryPoint);
  } catch (...) {
    r.valid = false;  // out of memory: analysis reports failures, it never raises
  }
  return r;
}

TFunctionInfo AnalyseFunction(const void* entry, DecodeMode mode) {
  static const TZERuntimeRoutines routines = DefaultRuntimeRoutines();
  return AnalyseFunction(entry, nullptr, routines, mode);
}

}  // namespace zor
