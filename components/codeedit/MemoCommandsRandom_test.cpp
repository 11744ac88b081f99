// Random runs of the editing commands: each command's records undo to the
// text before it and redo to the text after it, and at the end undoing
// everything gives the loaded text back.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "components/codeedit/MemoCommandTesting.h"
#include "platform/graphics/Clipboard.h"

namespace {

using TCommand = void (*)(TMemoSource& S);

const TCommand kCommands[] = {
    [](TMemoSource& s) { s.DeleteCharLeft(); },
    [](TMemoSource& s) { s.DeleteChar(); },
    [](TMemoSource& s) { s.DeleteLine(); },
    [](TMemoSource& s) { s.DeleteToLineStart(); },
    [](TMemoSource& s) { s.DeleteToLineEnd(); },
    [](TMemoSource& s) { s.DeleteWordRight(); },
    [](TMemoSource& s) { s.DeleteWordOrJoin(); },
    [](TMemoSource& s) { s.DeleteWordLeft(); },
    [](TMemoSource& s) { s.UpperCaseBlock(); },
    [](TMemoSource& s) { s.LowerCaseBlock(); },
    [](TMemoSource& s) { s.ToggleCaseBlock(); },
    [](TMemoSource& s) { s.CapitalizeBlock(); },
    [](TMemoSource& s) { s.UpperCaseWord(); },
    [](TMemoSource& s) { s.CapitalizeWord(); },
    [](TMemoSource& s) { s.QuoteBlock(); },
    [](TMemoSource& s) { s.IndentBlock(); },
    [](TMemoSource& s) { s.UnindentBlock(); },
    [](TMemoSource& s) { s.IndentOrTab(); },
    [](TMemoSource& s) { s.UnindentOrBackTab(); },
    [](TMemoSource& s) { s.BreakLine(); },
    [](TMemoSource& s) { s.CopyBlock(); },
    [](TMemoSource& s) { s.MoveBlock(); },
    [](TMemoSource& s) { s.CopyBlockToCaret(); },
    [](TMemoSource& s) { s.CopyToClipboard(); },
    [](TMemoSource& s) { s.CutToClipboard(); },
    [](TMemoSource& s) { s.PasteFromClipboard(); },
    [](TMemoSource& s) { s.InsertTextBlock("ab\n\tc d\n"); },
    [](TMemoSource& s) { s.ClearText(); },
};

const TStringsOption kOptions[] = {soUseTabCharacter, soSmartTab,           soAutoIndent,  soUsePrevIndent,
                                   soOptimalFill,     soBackUnindents,      soLimitEOL,    soPersistentBlocks,
                                   soOverwriteBlocks, soCursorAlwaysOnTabs, soForceCutCopy};

TEST(MemoCommandsRandom, EveryCommandUndoesAndRedoesExactly) {
  TestClipboard clipboard;
  Clipboard* previous = SetClipboardService(&clipboard);
  // Overwrite mode is shared by every store: it goes back off whatever happens.
  struct TReset {
    Clipboard* previous;
    ~TReset() {
      TMemoSource(nullptr).SetOverwriteMode(false);
      SetClipboardService(previous);
    }
  } reset{previous};
  int compared = 0;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(rng); };
    TMemoSource s(nullptr);
    // Options stay for a run, as they do for a user's session.
    for (TStringsOption option : kOptions) SetOption(s, option, pick(2) == 0);
    SetOption(s, soUseTabCharacter, seed % 2 == 0);
    s.SetTabStops(seed % 3 == 0 ? "4,6,11" : "9,17");
    LoadText(s, "first Line\n\tsecond\tline\n\n  fourth  X\n    straße σοφία\n\t\tend");
    SetOption(s, soGroupUndo, false);
    const std::string original = NormalText(s);
    std::map<std::int32_t, std::pair<int, std::string>> snapshots;  // undo records -> step, text
    for (int step = 0; step < 400; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      const int count = std::max(s.LineCount(), 1);
      if (pick(8) == 0) s.SetOverwriteMode(!TCustomMemoSource::OverwriteMode());
      if (pick(6) == 0) clipboard.SetFromOtherProgram({.text = std::string(pick(2) ? "x\r\n\ty" : "zz")});
      s.SetCaret(pick(20), pick(count + 1));
      if (pick(2) == 0) {
        TMemoPos a{pick(16), pick(count)}, b{pick(16), pick(count)};
        if (b.Line < a.Line || (b.Line == a.Line && b.Char < a.Char)) std::swap(a, b);
        const TSelectionType type = pick(2) == 0 ? stStream : stBlock;
        if (type == stBlock && a.Char > b.Char) std::swap(a.Char, b.Char);
        s.SelectRange(type, a, b);
      }
      const std::string before = NormalText(s);
      const std::int32_t records = s.UndoList()->Count();
      const int which = pick(std::size(kCommands));
      const std::string state = "command " + std::to_string(which) + " caret " + commandtest::Caret(s.Caret()) + " " +
                                commandtest::SelectionText(s) + " lines " + std::to_string(s.LineCount()) +
                                " options " + std::to_string(s.Options().Bits()) + " over " +
                                std::to_string(TCustomMemoSource::OverwriteMode());
      SCOPED_TRACE(state);
      kCommands[which](s);
      const std::string after = NormalText(s);
      while (s.UndoList()->Count() > records) s.Undo();
      // Consecutive commands of one code in undo blocks undo together; only
      // an exact step back is comparable.
      if (s.UndoList()->Count() != records) {
        while (s.RedoList()->Count() > 0) s.Redo();
        continue;
      }
      ++compared;
      ASSERT_EQ(NormalText(s), before);
      while (s.RedoList()->Count() > 0) s.Redo();
      ASSERT_EQ(NormalText(s), after);
      snapshots[s.UndoList()->Count()] = {step, after};
    }
    // Undoing everything passes through the text after each step.
    while (s.CanUndo()) {
      s.Undo();
      const auto at = snapshots.find(s.UndoList()->Count());
      if (at != snapshots.end())
        ASSERT_EQ(NormalText(s), at->second.second) << "seed " << seed << " step " << at->second.first;
    }
    EXPECT_EQ(NormalText(s), original) << "seed " << seed;
  }
  EXPECT_GT(compared, 8 * 300);
}

}  // namespace
