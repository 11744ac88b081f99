#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process/ProcessMemory.h"

namespace {

// The mapping list is read anew each time: a library loaded or memory
// unmapped since the last call must not be trusted from an old copy.
std::string ReadMapsText() {
  std::string text;
  const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return text;
}

// "start-end perms offset dev inode path"; false for a line of another shape.
bool ParseMapsLine(std::string_view line, MemoryRegion& region) {
  const char* p = line.data();
  const char* end = p + line.size();
  auto hex = [&](std::uintptr_t& value) {
    const auto result = std::from_chars(p, end, value, 16);
    if (result.ec != std::errc() || result.ptr == p) return false;
    p = result.ptr;
    return true;
  };
  if (!hex(region.Start) || p == end || *p++ != '-' || !hex(region.End)) return false;
  if (end - p < 4 || *p++ != ' ') return false;
  region.Readable = p[0] == 'r';
  region.Writable = p[1] == 'w';
  region.Executable = p[2] == 'x';
  return region.Start < region.End;
}

std::vector<MemoryRegion> ReadRegions() {
  std::vector<MemoryRegion> regions;
  const std::string text = ReadMapsText();
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t eol = rest.find('\n');
    const std::string_view line = rest.substr(0, eol);
    rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    MemoryRegion region;
    if (ParseMapsLine(line, region)) regions.push_back(region);
  }
  return regions;
}

// The pieces of the mappings that cover [start, start + size), in address
// order, or nothing when some byte is unmapped or unreadable.
std::optional<std::vector<MemoryRegion>> CoveringRegions(std::uintptr_t start, std::size_t size) {
  std::uintptr_t end = 0;
  if (__builtin_add_overflow(start, size, &end)) return std::nullopt;
  std::vector<MemoryRegion> pieces;
  std::uintptr_t next = start;
  for (const MemoryRegion& region : ReadRegions()) {
    if (next >= end) break;
    if (region.End <= next) continue;
    if (region.Start > next || !region.Readable) return std::nullopt;
    pieces.push_back(region);
    next = region.End;
  }
  if (next < end) return std::nullopt;
  return pieces;
}

int ProtectionOf(const MemoryRegion& region) {
  return (region.Readable ? PROT_READ : 0) | (region.Writable ? PROT_WRITE : 0) | (region.Executable ? PROT_EXEC : 0);
}

// The pages of `region` that [start, end) touches.
void PagesOf(const MemoryRegion& region, std::uintptr_t start, std::uintptr_t end, std::uintptr_t& from,
             std::uintptr_t& to) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  from = std::max(region.Start, start) & ~(page - 1);
  to = std::min(region.End, (end + page - 1) & ~(page - 1));
}

}  // namespace

std::optional<MemoryRegion> FindMemoryRegion(const void* Address) {
  const auto address = reinterpret_cast<std::uintptr_t>(Address);
  for (const MemoryRegion& region : ReadRegions())
    if (region.Start <= address && address < region.End) return region;
  return std::nullopt;
}

bool ReadOwnMemory(const void* Address, void* Buffer, std::size_t Size) {
  if (Size == 0) return true;
  if (!CoveringRegions(reinterpret_cast<std::uintptr_t>(Address), Size)) return false;
  std::memcpy(Buffer, Address, Size);
  return true;
}

bool WriteOwnMemory(void* Address, const void* Source, std::size_t Size) {
  if (Size == 0) return true;
  // Two writers on one page would each take the page for what the other
  // made of it, and the one restoring first would leave the other writing
  // into a read-only page.
  static std::mutex writing;
  const std::lock_guard<std::mutex> lock(writing);
  const auto start = reinterpret_cast<std::uintptr_t>(Address);
  const auto pieces = CoveringRegions(start, Size);
  if (!pieces) return false;
  const std::uintptr_t end = start + Size;

  struct Opened {
    std::uintptr_t from, to;
    int protection;
  };
  std::vector<Opened> opened;
  auto restore = [&] {
    for (const Opened& o : opened) ::mprotect(reinterpret_cast<void*>(o.from), o.to - o.from, o.protection);
  };
  bool executable = false;
  for (const MemoryRegion& region : *pieces) {
    executable = executable || region.Executable;
    if (region.Writable) continue;
    std::uintptr_t from = 0, to = 0;
    PagesOf(region, start, end, from, to);
    if (::mprotect(reinterpret_cast<void*>(from), to - from, ProtectionOf(region) | PROT_WRITE) != 0) {
      restore();
      return false;
    }
    opened.push_back({from, to, ProtectionOf(region)});
  }
  std::memcpy(Address, Source, Size);
  restore();
  if (executable) __builtin___clear_cache(static_cast<char*>(Address), static_cast<char*>(Address) + Size);
  return true;
}
