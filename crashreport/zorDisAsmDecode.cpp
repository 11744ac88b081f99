// Decoding one instruction: measuring, validity, targets and register states.
#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsm_p.h"

namespace zor {

namespace {

constexpr uint16_t kInvalid = 0xFFFF;
enum Reg { kEax = 0, kEcx = 1, kEdx = 2, kEbp = 5, kEsi = 6, kEdi = 7 };

// Up to 16 bytes at `address`, fewer where readable memory ends.
size_t Fetch(uintptr_t address, const TDATryRead* snapshot, uint8_t (&bytes)[16]) {
  size_t want = sizeof bytes;
  if (snapshot) {
    const uintptr_t end = ReadableEnd(*snapshot, address);
    if (end == 0) return 0;
    if (end - address < want) want = end - address;
  }
  const auto* source = reinterpret_cast<const void*>(address);
  if (SafeRead(source, bytes, want)) return want;
  // The window crosses into an unreadable page: take what lies before it.
  const size_t toPage = 4096 - (address & 4095);
  if (toPage < want && SafeRead(source, bytes, toPage)) return toPage;
  return 0;
}

bool ReadCell(uintptr_t cell, size_t size, const TDATryRead* snapshot, uintptr_t& value) {
  // With a snapshot the whole cell must lie in readable memory, not only its
  // first byte.
  if (snapshot) {
    const uintptr_t end = ReadableEnd(*snapshot, cell);
    if (end == 0 || end - cell < size) return false;
  }
  uint64_t v = 0;
  if (!SafeRead(reinterpret_cast<const void*>(cell), &v, size, snapshot)) return false;
  value = static_cast<uintptr_t>(v);
  return true;
}

// The value an immediate tracked in a register state stands for.
bool ImmediateValue(uintptr_t operand, uint8_t width, const TDATryRead* snapshot, uintptr_t& value) {
  if (!ReadCell(operand, width == 8 ? 8 : 4, snapshot, value)) return false;
  if (width == kSignedImm32) value = static_cast<uintptr_t>(static_cast<int64_t>(static_cast<int32_t>(value)));
  return true;
}

void Forget(TZERegisters& r, unsigned reg) {
  r.operand[reg & 15] = 0;
  r.width[reg & 15] = 0;
}

void ClearWritten(TZERegisters& r, uint16_t flags, const Instruction& in) {
  const unsigned reg = in.reg | (in.rex & 4 ? 8 : 0);
  const unsigned rm = in.rm | (in.rex & 1 ? 8 : 0);
  const unsigned op = (in.opcode & 7) | (in.rex & 1 ? 8 : 0);
  switch (flags & 0xE000) {
    case 0x2000:
      Forget(r, reg);
      break;
    case 0x4000:
      if (!in.memory) Forget(r, rm);
      break;
    case 0x6000:
      Forget(r, op);
      break;
    case 0x8000:
      Forget(r, kEax);
      break;
    case 0xA000:
      Forget(r, reg);
      if (!in.memory) Forget(r, rm);
      break;
    case 0xC000:
      Forget(r, kEax);
      if (!in.memory) Forget(r, rm);
      break;
    case 0xE000:
      Forget(r, kEax);
      Forget(r, op);
      break;
    default:
      break;
  }
}

void TrackRegisters(TZERegisters& r, uint16_t flags, const Instruction& in, DecodeMode mode) {
  ClearWritten(r, flags, in);
  const unsigned rm = in.rm | (in.rex & 1 ? 8 : 0);
  const bool wide = in.rex & 8;
  const uint16_t op = in.opcode;
  if (in.vex || op == 0x0F38 || op == 0x0F3A) {
    // Vector and bit-manipulation forms may write either ModRM register.
    Forget(r, in.reg | (in.rex & 4 ? 8 : 0));
    if (!in.memory) Forget(r, rm);
    return;
  }
  if (op >= 0xB8 && op <= 0xBF) {
    const unsigned reg = (op & 7) | (in.rex & 1 ? 8 : 0);
    if (in.operandSize == 2) return Forget(r, reg);
    r.operand[reg] = in.immediateAt;
    r.width[reg] = wide ? 8 : 4;
  } else if (op == 0xC7 && !in.memory && in.reg == 0 && in.operandSize != 2) {
    r.operand[rm] = in.immediateAt;
    r.width[rm] = wide ? kSignedImm32 : 4;
  } else if (op == 0x8B && !in.memory) {
    const unsigned dst = in.reg | (in.rex & 4 ? 8 : 0);
    if (in.operandSize == 2 || (!wide && r.width[rm] == 8)) return Forget(r, dst);
    r.operand[dst] = r.operand[rm];
    r.width[dst] = r.width[rm];
  } else if (op == 0x61) {
    for (unsigned i = 0; i < 8; ++i) Forget(r, i);
  } else if (op == 0x0FA2 || op == 0x0F31 || op == 0x0F32 || op == 0x0F33 || op == 0x0FC7 || op == 0x0F01) {
    for (unsigned i = 0; i < 4; ++i) Forget(r, i);  // cpuid, rdtsc(p), rdmsr, rdpmc, cmpxchg8b
  } else if ((op >= 0xA4 && op <= 0xA7) || (op >= 0xAA && op <= 0xAF) || (op >= 0x6C && op <= 0x6F)) {
    Forget(r, kEsi);
    Forget(r, kEdi);
    if (in.repeat) Forget(r, kEcx);
  } else if (op == 0x99 || ((op == 0xF6 || op == 0xF7) && in.reg >= 4)) {
    Forget(r, kEdx);
  } else if (op == 0xC8 || op == 0xC9) {
    Forget(r, kEbp);
  } else if (op >= 0xE0 && op <= 0xE2) {
    Forget(r, kEcx);
  } else if (op == 0x0F05) {
    Forget(r, kEax);
    Forget(r, kEcx);
    Forget(r, 11);
  } else if (mode == DecodeMode::X64 && op == 0xFF && !in.memory && in.reg < 2) {
    Forget(r, rm);  // inc and dec of a register have no short form in long mode
  }
}

void ResolveIndirect(TZECodeInfo& info, const Instruction& in, TZERegisters* regs, bool useRegs,
                     const TDATryRead* snapshot, DecodeMode mode) {
  const size_t cellSize = mode == DecodeMode::X64 ? 8 : 4;
  if (in.memory && in.ripRelative) {
    info.targetCell = in.displacementAt;
    info.cell = info.next + static_cast<uintptr_t>(in.displacement);
  } else if (in.memory && !in.hasBase && !in.hasIndex && in.displacementSize == 4) {
    info.targetCell = in.displacementAt;
    info.cell =
        mode == DecodeMode::X64 ? static_cast<uintptr_t>(in.displacement) : static_cast<uint32_t>(in.displacement);
  } else if (regs && useRegs && !in.hasIndex && in.displacementSize == 0 && (in.hasBase || !in.memory)) {
    const unsigned reg = (in.memory ? in.base : in.rm | (in.rex & 1 ? 8 : 0)) & 15;
    if (regs->operand[reg] == 0) return;
    uintptr_t value = 0;
    if (!ImmediateValue(regs->operand[reg], regs->width[reg], snapshot, value)) {
      info.valid = false;
      return;
    }
    info.targetSize = 4;
    if (in.memory) {
      info.targetCell = regs->operand[reg];
      info.cell = value;
    } else {
      info.targetOperand = regs->operand[reg];
      info.target = value;
      return;
    }
  } else {
    return;
  }
  info.targetSize = 4;
  if (!ReadCell(info.cell, cellSize, snapshot, info.target)) info.valid = false;
}

void FindTargets(TZECodeInfo& info, const Instruction& in, uint16_t flags, TZERegisters* regs, bool useRegs,
                 const TDATryRead* snapshot, DecodeMode mode) {
  const uint16_t op = in.opcode;
  if (flags != kInvalid && (flags & 0x1000)) {
    info.target = info.next + static_cast<uintptr_t>(in.immediate);
    info.targetOperand = in.immediateAt;
    info.targetSize = static_cast<uint32_t>(in.immediateSize);
    info.relative = true;
    info.call = op == 0xE8;
    info.jump = !info.call;
    info.enlargeable = !(op >= 0xE0 && op <= 0xE3);
  } else if (op == 0x9A || op == 0xEA) {
    info.call = op == 0x9A;
    info.jump = op == 0xEA;
  } else if (op == 0xFF && in.reg >= 2 && in.reg <= 5) {
    info.call = in.reg <= 3;
    info.jump = !info.call;
    ResolveIndirect(info, in, regs, useRegs, snapshot, mode);
  }
  if ((info.call || info.jump) && info.targetSize != 0 && info.target == info.next) {
    // A call to the next instruction only pushes its address.
    info.call = info.jump = info.relative = info.enlargeable = false;
    info.target = info.targetOperand = info.targetCell = info.cell = 0;
    info.targetSize = 0;
  }
}

}  // namespace

TZECodeInfo DecodeInstruction(const void* address, TZERegisters* registers, bool useRegisters,
                              const TDATryRead* snapshot, DecodeMode mode) {
  TZECodeInfo info;
  info.address = reinterpret_cast<uintptr_t>(address);
  uint8_t bytes[16] = {};
  const size_t count = Fetch(info.address, snapshot, bytes);
  Instruction in;
  MeasureInstruction(bytes, count, info.address, mode, in);
  const uint16_t flags = in.flags;
  TZERegisters* tracked = useRegisters ? registers : nullptr;
  if (tracked && in.repeat && in.opcode < 0x100) Forget(*tracked, kEcx);
  info.next = info.address + in.length;
  info.opcode = in.opcode;
  info.modRM = in.modRM;
  info.hasModRM = in.hasModRM;
  info.valid = in.valid;
  if (!info.valid) return info;
  FindTargets(info, in, flags, registers, useRegisters, snapshot, mode);
  if (info.valid && tracked) TrackRegisters(*tracked, flags == kInvalid ? 0 : flags, in, mode);
  return info;
}

}  // namespace zor
