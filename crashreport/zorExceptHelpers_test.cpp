#include "crashreport/zorExceptHelpers.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <memory>
#include <thread>

#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorException.h"
#include "crashreport/zorStrings.h"
#include "platform/core/Exceptions.h"

namespace zor {
namespace {

namespace deep {
struct Animal {
  virtual ~Animal() = default;
};
struct Mammal : Animal {};
struct Whale : Mammal {};
struct Other {
  virtual ~Other() = default;
};
struct Mixed : Other, Whale {};
}  // namespace deep

struct Plain {
  int a = 1, b = 2;
};

TEST(ZorSentenceEnd, EndsInExactlyOnePoint) {
  const std::pair<std::string, std::string> rows[] = {
      {"Stop!", "Stop."}, {"Wait...", "Wait."},           {"", "."}, {"!.!", "."}, {"Done", "Done."},
      {"a. b", "a. b."},  {std::string("x\0.", 3), "x."},
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(SentenceEnd(in), out) << in;
}

TEST(ZorClassNames, HasClassNameWalksTheHierarchy) {
  const deep::Whale whale;
  const deep::Mammal mammal;
  const deep::Mixed mixed;
  struct Row {
    const void* object;
    const char* name;
    bool has;
  };
  const Row rows[] = {
      {&whale, "Whale", true},         {&whale, "Mammal", true},   {&whale, "Animal", true},  {&whale, "animal", false},
      {&whale, "deep::Animal", false}, {&mammal, "Whale", false},  {&mammal, "Animal", true}, {&mixed, "Other", true},
      {&mixed, "Animal", true},        {nullptr, "Animal", false},
  };
  for (const Row& row : rows) EXPECT_EQ(HasClassName(row.object, row.name), row.has) << row.name;
  EXPECT_EQ(ExceptionClassName(&whale), "Whale");
  // Through the pointer of a base sub-object the dynamic class is seen.
  const deep::Animal* animal = &mixed;
  EXPECT_EQ(ExceptionClassName(animal), "Mixed");
  EXPECT_EQ(ExceptionClassName(nullptr), "Unknown");
  EXPECT_EQ(UnqualifiedTypeName("a::b::C<x::y, z::W>"), "C<x::y, z::W>");
  EXPECT_EQ(UnqualifiedTypeName("Top"), "Top");
}

TEST(ZorClassNames, OnlyPolymorphicObjectsLookLikeObjects) {
  const deep::Whale whale;
  const Plain plain;
  const auto text = std::make_unique<char[]>(64);
  void* unmapped = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(unmapped, MAP_FAILED);
  // A word that points at the stack, and one that points at code.
  const void* const stackWord[1] = {&plain};
  const void* const codeWord[1] = {reinterpret_cast<const void*>(&SentenceEnd)};
  EXPECT_TRUE(LooksLikeObject(&whale));
  const ZorException zor("x");
  EXPECT_TRUE(LooksLikeObject(&zor));
  EXPECT_FALSE(LooksLikeObject(&plain));
  EXPECT_FALSE(LooksLikeObject(text.get()));
  EXPECT_FALSE(LooksLikeObject(unmapped));
  EXPECT_FALSE(LooksLikeObject(stackWord));
  EXPECT_FALSE(LooksLikeObject(codeWord));
  EXPECT_FALSE(LooksLikeObject(nullptr));
  EXPECT_EQ(ExceptionMessageText(unmapped), "Unknown");
  munmap(unmapped, 4096);
}

TEST(ZorClassNames, MessageTextsOfExceptionObjects) {
  const ZorException zor("  disk\x01 full\r\n ");
  const EConvertError convert("bad\tnumber");
  const Exception onlyControl("\x01\x02\x1f");
  const deep::Whale whale;
  const std::runtime_error runtime("not ours");
  EXPECT_EQ(ExceptionMessageText(&zor), "disk full");
  EXPECT_EQ(ExceptionMessageText(&convert), "badnumber");
  EXPECT_EQ(ExceptionMessageText(&onlyControl), "Unknown");
  EXPECT_EQ(ExceptionMessageText(&whale), "Whale");
  EXPECT_EQ(ExceptionMessageText(&runtime), "runtime_error");
  EXPECT_EQ(ExceptionMessageText(nullptr), "Unknown");
  EXPECT_EQ(ExceptionClassName(&convert), "EConvertError");
  const BcbTermination ended("Abnormal program termination");
  EXPECT_EQ(ExceptionMessageText(&ended), "Abnormal program termination");
  EXPECT_EQ(ExceptionClassName(&ended), "BcbTermination");
  EXPECT_TRUE(HasClassName(&ended, "ZorException"));
}

TEST(ZorHelpers, FileNamePiecesTimesAndNames) {
  struct Row {
    const char* path;
    const char* name;
    const char* folder;
    const char* bare;
  };
  const Row rows[] = {
      {"/opt/k/kestova-gui", "kestova-gui", "/opt/k/", "/opt/k/kestova-gui"},
      {"/opt/k.d/app.bin", "app.bin", "/opt/k.d/", "/opt/k.d/app"},
      {"a.tar.gz", "a.tar.gz", "", "a.tar"},
      {"/", "", "/", "/"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FileNamePart(row.path), row.name);
    EXPECT_EQ(FilePathPart(row.path), row.folder);
    EXPECT_EQ(WithoutExtension(row.path), row.bare);
  }
  // 2020-01-01 UTC is 13,222,598,400 s after 1601-01-01.
  EXPECT_GT(CurrentSeconds(), 13222598400u);
  EXPECT_FALSE(ComputerNameText().empty());
  EXPECT_FALSE(ProcessIsBlocked(250));
  std::fesetround(FE_UPWARD);
  CallFpuInit();
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST(ZorThreadNames, DisplayNamesFollowTheList) {
  const uint32_t self = CurrentThreadId();
  const std::string hex = "$" + HexText(self);
  // Without the list every thread has its plain name.
  ASSERT_FALSE(HaveThreadInfoList());
  SetThreadName(self, "ignored");
  EXPECT_EQ(ThreadDisplayName(self, false).text, "thread " + hex);
  ASSERT_TRUE(JoinThreadInfoList());
  EXPECT_FALSE(JoinThreadInfoList());
  int marker = 0;
  struct Row {
    std::string name, className;
    bool force;
    std::string shown;
  };
  const Row rows[] = {
      {"worker", "", false, "worker (" + hex + ")"},
      {"", "TMyThread", false, "worker (" + hex + ")"},  // the name is kept
      {"-", "", false, ""},
      {"-", "", true, "thread " + hex + " (TMyThread)"},
  };
  for (const Row& row : rows) {
    RecordThreadInfo(self, row.name, 7, &marker, row.className);
    const ThreadDisplay shown = ThreadDisplayName(self, row.force);
    EXPECT_EQ(shown.text, row.shown) << row.name;
    EXPECT_EQ(shown.creatorAddress, &marker);
    EXPECT_EQ(shown.creatorThreadId, 7u);
  }
  // Without name and creator the entry goes.
  RecordThreadInfo(self, "", 0, nullptr, "");
  EXPECT_EQ(ThreadDisplayName(self, true).text, "thread " + hex);
  EXPECT_EQ(ThreadDisplayName(0x1a4, false).text, "thread $1a4");
  // An ended thread is not recorded, and leaves the list at the next change.
  uint32_t ended = 0;
  std::thread([&] {
    ended = CurrentThreadId();
    SetThreadName(ended, "short");
  }).join();
  EXPECT_EQ(OldestThreadInfoId(), ended);
  SetThreadName(ended, "again");
  SetThreadName(self, "main thread");
  EXPECT_EQ(OldestThreadInfoId(), self);
  LeaveThreadInfoList();
  EXPECT_TRUE(HaveThreadInfoList());
  LeaveThreadInfoList();
  EXPECT_FALSE(HaveThreadInfoList());
  EXPECT_EQ(OldestThreadInfoId(), 0u);
}

TEST(ZorThreadNames, ThreadIdsComeFromTheSystemMainFirst) {
  std::vector<uint32_t> before = ProcessThreadIds();
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(before.front(), static_cast<uint32_t>(getpid()));
  std::atomic<uint32_t> id{0};
  std::atomic<bool> stop{false};
  std::thread t([&] {
    id = CurrentThreadId();
    while (!stop) std::this_thread::yield();
  });
  while (id == 0) std::this_thread::yield();
  const std::vector<uint32_t> during = ProcessThreadIds();
  EXPECT_EQ(during.size(), before.size() + 1);
  EXPECT_NE(std::find(during.begin(), during.end(), id.load()), during.end());
  EXPECT_TRUE(ThreadRuns(id));
  stop = true;
  t.join();
  EXPECT_FALSE(ThreadRuns(id));
}

}  // namespace
}  // namespace zor
