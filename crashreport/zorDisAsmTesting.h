#pragma once
// Test support for the decoder: running the binutils, reading objdump's
// listing, and code buffers at chosen addresses.
#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zor::testing {

// Runs a shell command; its standard output, or nothing when it fails.
inline bool RunCommand(const std::string& command, std::string* out = nullptr) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[65536];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (out) *out = std::move(text);
  return status == 0;
}

// One instruction of `objdump -d --insn-width=16`.
struct ObjdumpInstruction {
  size_t length = 0;
  std::string text;
  bool bad = false;
  bool hasTarget = false;  // a relative branch: the address objdump prints
  uint64_t target = 0;
  bool hasCell = false;  // an indirect branch through an absolute cell
  uint64_t cell = 0;
};

inline bool ParseHex(const std::string& s, uint64_t& out) {
  if (s.empty() || s.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
  out = std::stoull(s, nullptr, 16);
  return true;
}

// Lines "  addr:\tbytes\tmnemonic operands"; branch targets as objdump prints
// them ("call   1234 <name>"), cells of absolute indirect branches ("*0x1234").
inline std::map<uint64_t, ObjdumpInstruction> ParseObjdump(const std::string& listing) {
  std::map<uint64_t, ObjdumpInstruction> out;
  size_t from = 0;
  while (from < listing.size()) {
    size_t to = listing.find('\n', from);
    if (to == std::string::npos) to = listing.size();
    const std::string line = listing.substr(from, to - from);
    from = to + 1;
    const size_t colon = line.find(":\t");
    if (colon == std::string::npos) continue;
    const size_t tab = line.find('\t', colon + 2);
    if (tab == std::string::npos) continue;
    uint64_t address = 0;
    const size_t start = line.find_first_not_of(' ');
    if (!ParseHex(line.substr(start, colon - start), address)) continue;
    ObjdumpInstruction in;
    std::istringstream bytes(line.substr(colon + 2, tab - colon - 2));
    std::string byte;
    while (bytes >> byte) ++in.length;
    in.text = line.substr(tab + 1);
    while (!in.text.empty() && in.text.back() == ' ') in.text.pop_back();
    in.bad = in.text.find("(bad)") != std::string::npos;
    std::istringstream words(in.text);
    std::string mnemonic, operand;
    words >> mnemonic;
    if (mnemonic == "bnd" || mnemonic == "notrack") words >> mnemonic;
    words >> operand;
    const bool branch = mnemonic[0] == 'j' || mnemonic.rfind("call", 0) == 0 || mnemonic.rfind("loop", 0) == 0 ||
                        mnemonic.rfind("lcall", 0) == 0 || mnemonic.rfind("ljmp", 0) == 0;
    if (branch && in.text.find(" <") != std::string::npos && ParseHex(operand, in.target))
      in.hasTarget = true;
    else if (branch && operand.rfind("*0x", 0) == 0 && ParseHex(operand.substr(3), in.cell))
      in.hasCell = true;
    out[address] = in;
  }
  return out;
}

// An anonymous mapping at exactly `address` (below 4 GiB for 32-bit code);
// unmapped again on destruction. Empty when the place is taken.
class FixedMapping {
 public:
  FixedMapping(uintptr_t address, size_t size, int protection = PROT_READ | PROT_WRITE | PROT_EXEC) : size_(size) {
    void* p = mmap(reinterpret_cast<void*>(address), size, protection,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (p != MAP_FAILED && reinterpret_cast<uintptr_t>(p) == address) data_ = static_cast<uint8_t*>(p);
  }
  ~FixedMapping() {
    if (data_) munmap(data_, size_);
  }
  FixedMapping(const FixedMapping&) = delete;
  FixedMapping& operator=(const FixedMapping&) = delete;
  uint8_t* data() const { return data_; }
  uintptr_t address() const { return reinterpret_cast<uintptr_t>(data_); }

 private:
  uint8_t* data_ = nullptr;
  size_t size_;
};

// The PT_LOAD segments of an ELF file mapped read-only at their addresses
// relative to one reserved range, as the loader places them.
class MappedImage {
 public:
  explicit MappedImage(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    Elf64_Ehdr eh{};
    std::vector<Elf64_Phdr> ph;
    if (pread(fd, &eh, sizeof eh, 0) == sizeof eh && eh.e_phentsize == sizeof(Elf64_Phdr)) {
      ph.resize(eh.e_phnum);
      if (pread(fd, ph.data(), ph.size() * sizeof(Elf64_Phdr), static_cast<off_t>(eh.e_phoff)) !=
          static_cast<ssize_t>(ph.size() * sizeof(Elf64_Phdr)))
        ph.clear();
    }
    for (const Elf64_Phdr& p : ph)
      if (p.p_type == PT_LOAD) size_ = std::max<size_t>(size_, p.p_vaddr + p.p_memsz);
    size_ = (size_ + 4095) & ~size_t{4095};
    void* base = size_ ? mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) : MAP_FAILED;
    if (base != MAP_FAILED) {
      base_ = reinterpret_cast<uintptr_t>(base);
      for (const Elf64_Phdr& p : ph) {
        if (p.p_type != PT_LOAD || p.p_filesz == 0) continue;
        const uintptr_t page = p.p_vaddr & ~uint64_t{4095};
        const size_t length = p.p_vaddr + p.p_filesz - page;
        mmap(reinterpret_cast<void*>(base_ + page), length, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd,
             static_cast<off_t>(p.p_offset & ~uint64_t{4095}));
      }
    }
    close(fd);
  }
  ~MappedImage() {
    if (base_) munmap(reinterpret_cast<void*>(base_), size_);
  }
  MappedImage(const MappedImage&) = delete;
  MappedImage& operator=(const MappedImage&) = delete;
  uintptr_t bias() const { return base_; }

 private:
  uintptr_t base_ = 0;
  size_t size_ = 0;
};

}  // namespace zor::testing
