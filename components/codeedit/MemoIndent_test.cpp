#include <gtest/gtest.h>

#include "components/codeedit/MemoCommandTesting.h"

namespace {

using commandtest::CheckRow;
using commandtest::TRow;
using S = TMemoSource;

void Overwrite(S& s) { s.SetOverwriteMode(true); }
void NoSmartTab(S& s) { SetOption(s, soSmartTab, false); }
void PrevIndent(S& s) { SetOption(s, soUsePrevIndent, true); }
void OptimalFill(S& s) { SetOption(s, soOptimalFill, true); }
void ReadOnlyLine0(S& s) { s.SetLineFlag(0, 0, kReadOnlyBit, true); }

TEST(MemoIndent, TabAndBackTabAsTableRows) {
  // clang-format off
  const TRow rows[] = {
      {"tab to the first stop", "ab", {0, 0}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.IndentOrTab(); },
       "         ab", {9, 0}, 52},
      {"smart tab to the indentation above", "    foo|x", {0, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.IndentOrTab(); }, "    foo|    x", {4, 1}, 52, "none"},
      {"smart tab to the next word above", "foo bar|x", {1, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.IndentOrTab(); }, "foo bar|x   ", {4, 1}, 52},
      {"smart tab off goes to the stop", "    foo|x", {0, 1}, stNone, {}, {}, nullptr, NoSmartTab,
       [](S& s) { s.IndentOrTab(); }, "    foo|         x", {9, 1}, 52},
      {"tab character to the next stop", "abcdef", {2, 0}, stNone, {}, {}, "4", nullptr,
       [](S& s) { s.IndentOrTab(); }, "ab\tcdef", {4, 0}, 52},
      // The selection goes in an update of its own, inside the same undo block.
      {"tab replaces a one-line selection", "abcdef", {3, 0}, stStream, {1, 0}, {3, 0}, nullptr, nullptr,
       [](S& s) { s.IndentOrTab(); }, "a        def", {9, 0}, 0},
      {"tab over several lines indents them", "ab|cd|ef", {0, 2}, stStream, {0, 0}, {0, 2}, nullptr, nullptr,
       [](S& s) { s.IndentOrTab(); }, "  ab|  cd|ef", {0, 2}, 52, "stream 0,0 0,2"},
      {"tab in overwrite mode only moves", "ab", {0, 0}, stNone, {}, {}, nullptr, Overwrite,
       [](S& s) { s.IndentOrTab(); }, "ab", {9, 0}, 52},
      {"back tab to the stop before", "abcdefghijkl", {11, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.UnindentOrBackTab(); }, "abcdefghijkl", {9, 0}, ChangeCode::CaretMove},
      {"back tab before the first stop", "abcdefghijkl", {5, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.UnindentOrBackTab(); }, "abcdefghijkl", {0, 0}, ChangeCode::CaretMove},
      {"back tab over several lines unindents to the stop", "          ab|   cd", {5, 1}, stStream, {0, 0},
       {5, 1}, nullptr, nullptr, [](S& s) { s.UnindentOrBackTab(); }, " ab|cd", {5, 1}, 66},
      {"indent block by BlockIndent, empty lines left", "ab||cd", {0, 0}, stStream, {0, 0}, {2, 2}, nullptr,
       [](S& s) { s.SetBlockIndent(2); }, [](S& s) { s.IndentBlock(); }, "  ab||  cd", {0, 0}, 65,
       "stream 0,0 4,2"},
      {"unindent block removes blanks only", "   ab| cd|ef", {0, 0}, stStream, {0, 0}, {2, 2}, nullptr,
       [](S& s) { s.SetBlockIndent(2); }, [](S& s) { s.UnindentBlock(); }, " ab|cd|ef", {0, 0}, 66},
      {"indent a block selection", "ab|cd", {1, 0}, stBlock, {1, 0}, {1, 1}, nullptr, nullptr,
       [](S& s) { s.IndentBlock(); }, "a b|c d", {1, 0}, 65, "block 1,0 2,1"},
  };
  // clang-format on
  for (const TRow& row : rows) CheckRow(row);
}

TEST(MemoIndent, EnterIndentsTheNewLine) {
  // clang-format off
  const TRow rows[] = {
      {"split without indentation", "abcd", {2, 0}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.BreakLine(); },
       "ab|cd", {0, 1}, 40},
      {"auto indent follows the line", "  abcd", {4, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "  ab|  cd", {2, 1}, 40},
      {"inside the leading spaces the caret column", "    ab", {2, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "|    ab", {2, 1}, 40},
      {"column 0 of an indented line gives 0", "  ab", {0, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "|  ab", {0, 1}, 40},
      {"column 0 of a plain line takes the line above", "  ab|cd", {0, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "  ab||  cd", {2, 2}, 40},
      {"an empty line below an indented one", "  ab||cd", {0, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "  ab||  |cd", {2, 2}, 40},
      {"without soAutoIndent column 0", "  abcd", {4, 0}, stNone, {}, {}, nullptr,
       [](S& s) { SetOption(s, soAutoIndent, false); }, [](S& s) { s.BreakLine(); }, "  ab|cd", {0, 1}, 40},
      {"tab characters without more options: spaces", "\t  ab", {8, 0}, stNone, {}, {}, "4", nullptr,
       [](S& s) { s.BreakLine(); }, "\t  ab|      ", {6, 1}, 40},
      {"soUsePrevIndent copies the tabs of the line", "\t  ab", {8, 0}, stNone, {}, {}, "4", PrevIndent,
       [](S& s) { s.BreakLine(); }, "\t  ab|\t  ", {6, 1}, 40},
      {"soOptimalFill: a tab per stop, then spaces", "          ab", {12, 0}, stNone, {}, {}, "4", OptimalFill,
       [](S& s) { s.BreakLine(); }, "          ab|\t\t  ", {10, 1}, 40},
      {"soOptimalFill before the first stop: spaces", "   ab", {5, 0}, stNone, {}, {}, "4", OptimalFill,
       [](S& s) { s.BreakLine(); }, "   ab|   ", {3, 1}, 40},
      {"Enter replaces a selection", "abcd", {3, 0}, stStream, {1, 0}, {3, 0}, nullptr, nullptr,
       [](S& s) { s.BreakLine(); }, "a|d", {0, 1}, 40},
      {"a read-only line is not split", "  ab|cd", {4, 0}, stNone, {}, {}, nullptr, ReadOnlyLine0,
       [](S& s) { s.BreakLine(); }, "  ab|cd", {4, 0}, -1},
      {"overwrite mode moves to the next line's indentation", "  ab|   cd", {3, 0}, stNone, {}, {}, nullptr,
       Overwrite, [](S& s) { s.BreakLine(); }, "  ab|   cd", {3, 1}, 40},
      {"overwrite mode keeps a column inside the leading blanks", "  ab|cd", {1, 0}, stNone, {}, {}, nullptr,
       Overwrite, [](S& s) { s.BreakLine(); }, "  ab|cd", {1, 1}, 40},
  };
  // clang-format on
  for (const TRow& row : rows) CheckRow(row);
}

// The editor's hook chooses the column in overwrite mode, told apart from
// a caret move by IndentQuery.
class THook : public TComponent {
 public:
  THook() : TComponent(nullptr) {}
  void Ask(std::int32_t& A, std::int32_t& B) {
    if (!source->IndentQuery) return;
    asked = A;
    B = 5;
  }
  TCustomMemoSource* source = nullptr;
  std::int32_t asked = -1;
};

TEST(MemoIndent, OverwriteEnterAsksTheCaretHookForTheColumn) {
  TMemoSource s(nullptr);
  LoadText(s, "  ab\n   cd");
  THook hook;
  hook.source = &s;
  s.CaretHook = TCaretHook::Of<&THook::Ask>(hook);
  s.SetOverwriteMode(true);
  s.SetCaret(3, 0);
  s.BreakLine();
  s.SetOverwriteMode(false);
  EXPECT_EQ(hook.asked, 3);
  EXPECT_EQ(s.Caret(), (TMemoPos{5, 1}));
  EXPECT_FALSE(s.IndentQuery);
}

TEST(MemoIndent, SmartTabPutsCaretSelectionAndOptionsBack) {
  TMemoSource s(nullptr);
  LoadText(s, "foo bar\nx");
  SetOption(s, soLimitEOL, true);
  SetOption(s, soPersistentBlocks, true);
  s.SetCaret(1, 1);
  s.SelectRange(stStream, {0, 0}, {2, 0});
  const TStringsOptions options = s.Options();
  EXPECT_EQ(s.SmartTabColumn(0, 1, 1), 4);
  EXPECT_EQ(s.Caret(), (TMemoPos{1, 1}));
  EXPECT_EQ(commandtest::SelectionText(s), "stream 0,0 2,0");
  EXPECT_EQ(s.Options(), options);
  // A line above no longer than the column is passed over.
  EXPECT_EQ(s.SmartTabColumn(1, 7, 1), 17);
}

}  // namespace
