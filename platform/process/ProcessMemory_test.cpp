#include "platform/process/ProcessMemory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

const std::size_t kPage = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));

// Three pages of fresh anonymous memory, filled with 0x11; the middle one
// gets Protection, the last one is unmapped again so that it is a hole.
class Pages {
 public:
  explicit Pages(int Protection) {
    void* p = ::mmap(nullptr, 3 * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
    if (!base_) return;
    std::memset(base_, 0x11, 2 * kPage);
    ::munmap(base_ + 2 * kPage, kPage);
    ::mprotect(base_ + kPage, kPage, Protection);
  }
  ~Pages() {
    if (base_) ::munmap(base_, 2 * kPage);
  }
  Pages(const Pages&) = delete;
  Pages& operator=(const Pages&) = delete;

  std::uint8_t* first() const { return base_; }
  std::uint8_t* second() const { return base_ + kPage; }
  std::uint8_t* hole() const { return base_ + 2 * kPage; }

 private:
  std::uint8_t* base_ = nullptr;
};

std::string Access(const void* Address) {
  const auto region = FindMemoryRegion(Address);
  if (!region) return "unmapped";
  return std::string(region->Readable ? "r" : "-") + (region->Writable ? "w" : "-") + (region->Executable ? "x" : "-");
}

TEST(ProcessMemory, WritesOverEveryReadableProtectionAndPutsItBack) {
  struct Case {
    const char* name;
    int protection;
    const char* access;
  };
  const Case cases[] = {
      {"writable", PROT_READ | PROT_WRITE, "rw-"},
      {"read-only", PROT_READ, "r--"},
      {"code", PROT_READ | PROT_EXEC, "r-x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pages pages(c.protection);
    ASSERT_NE(pages.first(), nullptr);
    ASSERT_EQ(Access(pages.second()), c.access);
    // Across the page border: one byte on the writable page, four on the other.
    const std::array<std::uint8_t, 5> bytes{0xE9, 1, 2, 3, 4};
    std::uint8_t* at = pages.second() - 1;
    ASSERT_TRUE(WriteOwnMemory(at, bytes.data(), bytes.size()));
    EXPECT_EQ(std::memcmp(at, bytes.data(), bytes.size()), 0);
    EXPECT_EQ(at[5], 0x11);
    EXPECT_EQ(Access(pages.second()), c.access) << "protection restored";
    EXPECT_EQ(Access(pages.first()), "rw-");

    std::array<std::uint8_t, 5> read{};
    ASSERT_TRUE(ReadOwnMemory(at, read.data(), read.size()));
    EXPECT_EQ(read, bytes);
  }
}

TEST(ProcessMemory, RefusesRangesOutsideReadableMemoryAndTouchesNothing) {
  Pages pages(PROT_NONE);
  ASSERT_NE(pages.first(), nullptr);
  struct Case {
    const char* name;
    std::uint8_t* at;
    std::size_t size;
  };
  const Case cases[] = {
      {"unmapped", pages.hole(), 4},
      {"guard page", pages.second(), 4},
      {"running into a guard page", pages.second() - 2, 4},
      {"wrapping around", reinterpret_cast<std::uint8_t*>(UINTPTR_MAX - 1), 4},
      {"null page", nullptr, 1},
  };
  const std::array<std::uint8_t, 4> bytes{1, 2, 3, 4};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(WriteOwnMemory(c.at, bytes.data(), bytes.size()));
    std::array<std::uint8_t, 4> read{9, 9, 9, 9};
    EXPECT_FALSE(ReadOwnMemory(c.at, read.data(), read.size()));
    EXPECT_EQ(read, (std::array<std::uint8_t, 4>{9, 9, 9, 9}));
  }
  EXPECT_EQ(pages.second()[-2], 0x11);
  EXPECT_EQ(pages.second()[-1], 0x11);
  EXPECT_EQ(Access(pages.second()), "---");
  EXPECT_EQ(Access(pages.hole()), "unmapped");
  EXPECT_TRUE(WriteOwnMemory(pages.hole(), nullptr, 0)) << "nothing to write";
}

}  // namespace
