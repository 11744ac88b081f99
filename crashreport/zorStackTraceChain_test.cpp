// Choosing the chain between two anchors, and the links that calls make to
// the items they return through, on items and functions built by hand.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "crashreport/zorStackTraceWalk_p.h"
#include "crashreport/zorStackTrace_p.h"

namespace zor {
namespace {

using stacktrace::CacheFunction;
using stacktrace::FunctionAt;

// Functions at addresses below the lowest mappable page: nothing real lies
// there, so the hand-made code areas and calls meet no real code.
class ZorStackChain : public ::testing::Test {
 protected:
  void SetUp() override { ClearStackTraceCaches(); }
  void TearDown() override { ClearStackTraceCaches(); }

  static int Function(uintptr_t entry, bool approved, size_t length = 0) {
    const int index = CacheFunction(entry, "f" + std::to_string(entry), -1, approved, true);
    FunctionAt(index).info.codeLength = length;
    if (length) FunctionAt(index).info.codeAreas.push_back({entry, entry + length - 1});
    return index;
  }
  static void AddCall(int function, uintptr_t at, size_t length, uintptr_t target) {
    FunctionAt(function).info.farCalls.push_back({true, at, at + length, target});
  }
  static Item MakeItem(uintptr_t address, bool approved, bool top = false) {
    Item item;
    item.address = address;
    item.approved = approved;
    item.top = top;
    return item;
  }
  static std::string Visible(const Walker& w) {
    std::string text;
    for (const Item& item : w.items) text += item.hidden ? '0' : '1';
    return text;
  }

  WalkOptions options;
  TDATryRead snapshot = SnapshotReadableRegions();
};

struct ChainCase {
  const char* what;
  const char* items;  // 'A' an anchor, '.' a plain item
  // from, to and the function: 'a' approved, 'k' known, 'u' unknown. A link
  // to a newer item goes into the list towards newer items, else older.
  std::vector<std::tuple<int, int, char>> links;
  int lo, hi;
  const char* visible;
};

TEST_F(ZorStackChain, TheBestScoringChainBetweenTwoAnchorsStays) {
  const int approved = Function(0x1000, true), known = Function(0x2000, false);
  const ChainCase cases[] = {
      {"a chain of known calls stays, a stale item goes", "A..A", {{0, 2, 'a'}, {2, 3, 'a'}}, 0, 3, "1011"},
      {"known functions beat an unknown one",
       "A..A",
       {{0, 1, 'a'}, {1, 3, 'a'}, {0, 2, 'u'}, {2, 3, 'a'}},
       0,
       3,
       "1101"},
      {"an unknown call costs the chain its known mark",
       "A..A",
       {{0, 1, 'u'}, {1, 3, 'a'}, {0, 2, 'k'}, {2, 3, 'k'}},
       0,
       3,
       "1011"},
      {"approved functions beat known ones", "A..A", {{0, 1, 'k'}, {1, 3, 'k'}, {0, 2, 'a'}, {2, 3, 'a'}}, 0, 3,
       "1011"},
      {"more calls beat a direct link", "A.A", {{0, 2, 'a'}, {0, 1, 'a'}, {1, 2, 'a'}}, 0, 2, "111"},
      {"no chain up: the chain down from the newer anchor", "A..A", {{0, 1, 'a'}, {3, 2, 'a'}, {2, 0, 'a'}}, 0, 3,
       "1011"},
      {"a chain up that arrives is kept without asking down",
       "A..A",
       {{0, 1, 'a'}, {1, 3, 'a'}, {3, 2, 'a'}, {2, 0, 'a'}},
       0,
       3,
       "1101"},
      {"a part chain up beats nothing down", "A.A", {{0, 1, 'a'}}, 0, 2, "111"},
      {"equal part chains: the one down", "A..A", {{0, 1, 'a'}, {3, 2, 'a'}}, 0, 3, "1011"},
      {"after an unknown call the chain is no longer direct",
       "A....A",
       {{0, 1, 'u'}, {1, 2, 'a'}, {0, 3, 'k'}, {3, 4, 'k'}},
       0,
       5,
       "100111"},
      {"below the oldest anchor: its best chain down", "..A", {{2, 1, 'a'}}, -1, 2, "011"},
      {"neighbouring anchors change nothing", "A.A", {}, 0, 1, "111"},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.what);
    Walker w(options, &snapshot);
    for (const char* p = c.items; *p; ++p) w.items.push_back(MakeItem(0x100 + 8 * uintptr_t(p - c.items), *p == 'A'));
    for (const auto& [from, to, kind] : c.links) {
      Link link;
      link.other = to;
      link.function = kind == 'a' ? approved : kind == 'k' ? known : -1;
      w.items[size_t(from)].lists[to > from ? kTowardsNewer : kTowardsOlder].links.push_back(link);
    }
    w.ChooseChain(c.lo, c.hi);
    EXPECT_EQ(Visible(w), c.visible);
  }
}

__attribute__((noinline)) int WithLines(int v) { return v * 3 + 1; }
}  // namespace
}  // namespace zor

// Code without line information.
extern "C" void ZorWithoutLines();
asm(R"(
  .pushsection .text.zorwithoutlines, "ax", @progbits
  .globl ZorWithoutLines
  .type ZorWithoutLines, @function
ZorWithoutLines:
  nop
  ret
  .size ZorWithoutLines, .-ZorWithoutLines
  .popsection
)");

namespace zor {
namespace {

TEST_F(ZorStackChain, ALinkedItemWithALineNumberWeighsMore) {
  // Two equal part chains from the older anchor, into code with lines (this
  // test) and into code without them: the one with lines wins although
  // it is listed second.
  const int approved = Function(0x1000, true);
  const uintptr_t withLine = reinterpret_cast<uintptr_t>(&WithLines) + 1;
  const uintptr_t noLine = reinterpret_cast<uintptr_t>(&ZorWithoutLines) + 1;
  Walker w(options, &snapshot);
  w.items = {MakeItem(withLine, true), MakeItem(noLine, false), MakeItem(withLine, false), MakeItem(0x100, true)};
  for (Item& item : w.items) item.module = item.address > 0x100 ? stacktrace::ModuleIndexOf(item.address - 1) : -1;
  ASSERT_GE(w.items[0].module, 0);
  ASSERT_TRUE(stacktrace::ModuleAt(w.items[0].module).debug);
  for (int to : {1, 2}) {
    Link link;
    link.other = to;
    link.function = approved;
    w.items[0].Newer().push_back(link);
  }
  w.ChooseChain(0, 3);
  EXPECT_EQ(Visible(w), "1011");
}

TEST_F(ZorStackChain, CallsLinkTheItemsTheyReturnThroughAndStaleItemsGo) {
  // F calls G at 0x1010; G calls H at 0x2010, returning to 0x2015.
  const int f = Function(0x1000, true, 0x40), g = Function(0x2000, true, 0x40);
  AddCall(f, 0x1010, 5, 0x2000);
  AddCall(g, 0x2010, 5, 0x3000);
  const int h = Function(0x3000, false);
  Walker w(options, &snapshot);
  w.items = {MakeItem(0x1015, true), MakeItem(0x2025, false), MakeItem(0x2015, false), MakeItem(0x3000, true, true)};
  Link own;
  ASSERT_TRUE(w.FindCallSite(f, w.items[0], own));
  w.items[0].Older().push_back(own);
  ASSERT_TRUE(w.FindCallSite(h, w.items[3], own));
  w.items[3].Older().push_back(own);
  for (int k = 0; k < 4; ++k) w.DeepCheckItem(k);
  // 0x2025 lies in G but behind no call of it.
  EXPECT_TRUE(w.items[1].hidden);
  ASSERT_EQ(w.items[0].Newer().size(), 1u);
  EXPECT_EQ(w.items[0].Newer()[0].other, 2);
  ASSERT_EQ(w.items[2].Older().size(), 1u);
  EXPECT_EQ(w.items[2].Older()[0].function, g);
  EXPECT_EQ(w.items[2].Older()[0].codeAddress, 0x2010u);
  ASSERT_EQ(w.items[3].Older().size(), 2u);
  EXPECT_EQ(w.items[3].Older()[1].other, 2);
  // The call through an approved link approves its target.
  EXPECT_TRUE(FunctionAt(h).approved);
  w.ChooseChains();
  w.FillFinalOutput();
  EXPECT_EQ(Visible(w), "1011");
  EXPECT_EQ(w.items[2].functionName, "f8192");
  EXPECT_EQ(w.items[2].codeAddress, 0x2010u);
}

TEST_F(ZorStackChain, ACallLinksThroughTheCalleesTailJumps) {
  // F calls G at 0x1010; G jumps on to J, J to K, and K calls H at 0x5010.
  // G and J leave no frames: the item after F's call returns into K.
  const int f = Function(0x1000, true, 0x40), g = Function(0x2000, false, 0x40), j = Function(0x4000, false, 0x40),
            k = Function(0x5000, false, 0x40);
  AddCall(f, 0x1010, 5, 0x2000);
  FunctionAt(g).info.farCalls.push_back({false, 0x2010, 0x2015, 0x4000});
  FunctionAt(j).info.farCalls.push_back({false, 0x4020, 0x4025, 0x5000});
  AddCall(k, 0x5010, 5, 0x3000);
  struct Case {
    const char* what;
    uintptr_t jumpOfJ;  // where J jumps to
    uintptr_t behind;   // the newer item's address
    bool linked;
  };
  const Case cases[] = {
      {"two jumps on", 0x5000, 0x5015, true},
      {"no call there in K", 0x5000, 0x5025, false},
      {"a jump into no routine", 0x6000, 0x5015, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FunctionAt(j).info.farCalls.back().target = c.jumpOfJ;
    Walker w(options, &snapshot);
    w.items = {MakeItem(0x1015, true), MakeItem(c.behind, false)};
    Link own;
    ASSERT_TRUE(w.FindCallSite(f, w.items[0], own));
    w.items[0].Older().push_back(own);
    w.DeepCheckItem(0);
    ASSERT_EQ(w.items[0].Newer().size(), c.linked ? 1u : 0u);
    if (!c.linked) continue;
    ASSERT_EQ(w.items[1].Older().size(), 1u);
    EXPECT_EQ(w.items[1].Older()[0].function, k);
    EXPECT_EQ(w.items[1].Older()[0].codeAddress, 0x5010u);
    // Reached through an approved call, the routines are approved too.
    EXPECT_TRUE(FunctionAt(k).approved);
    EXPECT_TRUE(FunctionAt(j).approved);
  }
}

TEST_F(ZorStackChain, ACalleeThatLeavesThroughARegisterLinksEveryNewerItem) {
  // F calls G at 0x1010. Where G, or J that G jumps on to, jumps through a
  // register (a virtual tail call), the items after F's call may return
  // into any routine: F links each of them, up to the next anchor, with an
  // unknown function.
  struct Case {
    const char* what;
    bool jumpInG, jumpInJ;
    std::vector<int> linked;
  };
  const Case cases[] = {
      {"G jumps on through a register", true, false, {1, 2}},
      {"J, reached by G's jump, does", false, true, {1, 2}},
      {"neither does", false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearStackTraceCaches();
    const int f = Function(0x1000, true, 0x40), g = Function(0x2000, false, 0x40), j = Function(0x4000, false, 0x40);
    AddCall(f, 0x1010, 5, 0x2000);
    FunctionAt(g).info.farCalls.push_back({false, 0x2020, 0x2025, 0x4000});
    if (c.jumpInG) FunctionAt(g).info.unknownTargets.push_back({false, 0x2010, 0x2013});
    if (c.jumpInJ) FunctionAt(j).info.unknownTargets.push_back({false, 0x4010, 0x4013});
    Walker w(options, &snapshot);
    w.items = {MakeItem(0x1015, true), MakeItem(0x7015, false), MakeItem(0x8015, true), MakeItem(0x9015, false)};
    Link own;
    ASSERT_TRUE(w.FindCallSite(f, w.items[0], own));
    w.items[0].Older().push_back(own);
    w.DeepCheckItem(0);
    std::vector<int> linked;
    for (const Link& l : w.items[0].Newer()) {
      linked.push_back(l.other);
      EXPECT_EQ(l.function, -1);
      EXPECT_EQ(l.codeAddress, 0x1010u);
    }
    EXPECT_EQ(linked, c.linked);
  }
}

TEST_F(ZorStackChain, ACompetingFunctionIsRejectedForThisWalkOnly) {
  // The item's own call site names K at 0x4011; the caller's call into G
  // names G at 0x2010 for the same return address.
  const int f = Function(0x1000, true, 0x40), g = Function(0x2000, true, 0x40), k = Function(0x4000, true, 0x40);
  AddCall(f, 0x1010, 5, 0x2000);
  AddCall(g, 0x2010, 5, 0x3000);
  AddCall(k, 0x4011, 4, 0x3000);
  FunctionAt(k).info.farCalls.back().next = 0x2015;
  Walker w(options, &snapshot);
  w.items = {MakeItem(0x1015, true), MakeItem(0x2015, false)};
  Link own;
  ASSERT_TRUE(w.FindCallSite(f, w.items[0], own));
  w.items[0].Older().push_back(own);
  ASSERT_TRUE(w.FindCallSite(k, w.items[1], own));
  w.items[1].Older().push_back(own);
  w.DeepCheckItem(0);
  ASSERT_EQ(w.items[1].Older().size(), 2u);
  w.DeepCheckItem(1);
  Link found;
  EXPECT_FALSE(w.FindCallSite(g, w.items[1], found));
  w.FillFinalOutput();
  EXPECT_EQ(w.items[1].functionName, "f16384");
  EXPECT_EQ(w.items[1].codeAddress, 0x4011u);
  // The next walk starts without the rejection.
  Walker next(options, &snapshot);
  EXPECT_TRUE(next.FindCallSite(g, w.items[1], found));
}

TEST_F(ZorStackChain, ARawCallWithoutTargetSkipsItemsOfOtherKnownCalls) {
  // "call rax" ends at the first item; no function holds it.
  static uint8_t code[16] = {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0xD0, 0x90};
  const uintptr_t after = reinterpret_cast<uintptr_t>(code + 8);
  const TDATryRead live = SnapshotReadableRegions();
  const int k = Function(0x4000, true, 0x40);
  AddCall(k, 0x4010, 5, 0x3000);
  Walker w(options, &live);
  // Linking ends at the first anchor.
  w.items = {MakeItem(after, true), MakeItem(0x4015, false), MakeItem(0x5000, false), MakeItem(0x6000, true),
             MakeItem(0x7000, true, true)};
  Link own;
  ASSERT_TRUE(w.FindCallSite(k, w.items[1], own));
  w.items[1].Older().push_back(own);
  w.DeepCheckItem(0);
  std::vector<int> linked;
  for (const Link& l : w.items[0].Newer()) {
    linked.push_back(l.other);
    EXPECT_EQ(l.codeAddress, after - 2);
    EXPECT_EQ(l.function, -1);
  }
  EXPECT_EQ(linked, (std::vector<int>{2, 3}));
}

}  // namespace
}  // namespace zor
