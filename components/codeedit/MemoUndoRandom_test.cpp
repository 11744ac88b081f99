// Thousands of random edits through the primitives, then undo everything
// and redo everything.
#include <gtest/gtest.h>

#include <random>

#include "components/codeedit/MemoTesting.h"

namespace {

class TRandomEdits {
 public:
  TRandomEdits(TMemoSource& Source, unsigned Seed) : s_(Source), rng_(Seed) {}

  int Pick(int N) { return std::uniform_int_distribution<int>(0, N - 1)(rng_); }

  std::u32string Text() {
    static const char32_t kChars[] = U"ab \t\u00e9x";
    std::u32string out;
    for (int n = 1 + Pick(4); n > 0; --n) out += kChars[Pick(6)];
    return out;
  }

  TMemoPos Somewhere() { return {Pick(24), Pick(std::max(s_.LineCount(), 1) + 1)}; }

  void Step() {
    switch (Pick(12)) {
      case 0:
        s_.SetCaret(Pick(24), Pick(std::max(s_.LineCount(), 1)));
        break;
      case 1:
        s_.MoveCaret(Pick(3) - 1, Pick(9) - 4);
        break;
      case 2:
      case 3:
        Type(s_, Text());
        break;
      case 4:
        s_.InsertText(Text());
        break;
      case 5:
        s_.DeleteChars(Pick(6) == 0 ? kMaxInt : 1 + Pick(5));
        break;
      case 6:
        s_.InsertLineBreak();
        break;
      case 7:
        s_.DeleteLineBreak();
        break;
      case 8: {
        TMemoPos a = Somewhere(), b = Somewhere();
        if (b.Line < a.Line || (b.Line == a.Line && b.Char < a.Char)) std::swap(a, b);
        if (Pick(2) == 0 && a.Char > b.Char) std::swap(a.Char, b.Char);
        s_.SelectRange(Pick(2) == 0 ? stStream : stBlock, a, b);
        s_.DeleteSelection();
        break;
      }
      case 9:
        SetOption(s_, soUseTabCharacter, Pick(2) == 0);
        break;
      case 10:
        SetOption(s_, soGroupUndo, Pick(2) == 0);
        break;
      case 11: {
        TCustomMemoSource::TUpdateGuard update(s_, 39);
        s_.BeginUndoBlock();
        s_.LineEnd();
        s_.InsertLineBreak();
        Type(s_, Text());
        s_.EndUndoBlock();
        break;
      }
    }
  }

 private:
  TMemoSource& s_;
  std::mt19937 rng_;
};

TEST(MemoUndoRandom, UndoingEverythingRestoresTheTextAndRedoingEverythingTheEdits) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    TMemoSource source(nullptr);
    SetOption(source, soUseTabCharacter, seed % 2 == 0);
    source.SetTabStops(seed % 3 == 0 ? "4,6,11" : "9,17");
    LoadText(source, "first line\n\tsecond\tline\n\nfourth  x\n\t\t");
    const std::string original = NormalText(source);
    TRandomEdits edits(source, seed);
    for (int i = 0; i < 1500; ++i) edits.Step();
    const std::string edited = NormalText(source);
    SetOption(source, soGroupUndo, true);

    int undos = 0;
    while (source.CanUndo() && undos < 100000) {
      source.Undo();
      ++undos;
    }
    EXPECT_EQ(NormalText(source), original) << "seed " << seed;
    EXPECT_EQ(source.Caret(), (TMemoPos{0, 0})) << "seed " << seed;
    EXPECT_FALSE(source.Modified()) << "seed " << seed;

    int redos = 0;
    while (source.RedoList()->Count() > 0 && redos < 100000) {
      source.Redo();
      ++redos;
    }
    EXPECT_EQ(NormalText(source), edited) << "seed " << seed;
    EXPECT_TRUE(source.Modified() || edited == original) << "seed " << seed;
  }
}

}  // namespace
