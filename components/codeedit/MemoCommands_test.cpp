#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/codeedit/MemoCommandTesting.h"

namespace {

using commandtest::CheckRow;
using commandtest::ReadOnlyLine1;
using commandtest::TRow;
using S = TMemoSource;

void PersistentBlocks(S& s) { SetOption(s, soPersistentBlocks, true); }
void NoBackUnindents(S& s) { SetOption(s, soBackUnindents, false); }

TEST(MemoCommands, DeletionsAsTableRows) {
  // clang-format off
  const TRow rows[] = {
      {"backspace joins the line above", "ab|cd", {0, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "abcd", {2, 0}, 8},
      {"backspace deletes the character left", "abc", {2, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "ac", {1, 0}, 8},
      {"backspace past the line end only moves", "ab", {5, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "ab", {4, 0}, 8},
      {"backspace after leading spaces unindents to the line above", "  ab|    cd", {4, 1}, stNone, {}, {}, nullptr,
       nullptr, [](S& s) { s.DeleteCharLeft(); }, "  ab|  cd", {2, 1}, 8},
      {"backspace unindents to the start of the word above", "  ab cd|        x", {8, 1}, stNone, {}, {}, nullptr,
       nullptr, [](S& s) { s.DeleteCharLeft(); }, "  ab cd|     x", {5, 1}, 8},
      {"backspace without soBackUnindents deletes one space", "  ab|    cd", {4, 1}, stNone, {}, {}, nullptr,
       NoBackUnindents, [](S& s) { s.DeleteCharLeft(); }, "  ab|   cd", {3, 1}, 8},
      {"backspace unindents over a kept tab", "  ab|\t\tcd", {4, 1}, stNone, {}, {}, "2,4", nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "  ab|\tcd", {2, 1}, 8},
      {"backspace passes a kept tab whole", "a\tb", {4, 0}, stNone, {}, {}, "4", nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "ab", {1, 0}, 8},
      {"backspace replaces a selection", "abcd", {3, 0}, stStream, {1, 0}, {3, 0}, nullptr, nullptr,
       [](S& s) { s.DeleteCharLeft(); }, "ad", {1, 0}, 22},
      {"backspace leaves a read-only line", "ab|cd", {0, 1}, stNone, {}, {}, nullptr, ReadOnlyLine1,
       [](S& s) { s.DeleteCharLeft(); }, "ab|cd", {2, 0}, -1},
      {"delete takes the character at the caret", "abc", {1, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteChar(); }, "ac", {1, 0}, ChangeCode::DeleteChars},
      {"delete at the line end joins", "ab|cd", {2, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteChar(); }, "abcd", {2, 0}, ChangeCode::DeleteLineBreak},
      {"delete on a read-only line", "ab|cd", {0, 1}, stNone, {}, {}, nullptr, ReadOnlyLine1,
       [](S& s) { s.DeleteChar(); }, "ab|cd", {0, 1}, -1},
      {"delete line", "ab|cd|ef", {1, 1}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.DeleteLine(); }, "ab|ef",
       {0, 1}, 9},
      {"delete the last line leaves it empty", "ab|cd", {1, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteLine(); }, "ab|", {0, 1}, 9},
      {"delete to line start", "abcdef", {3, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteToLineStart(); }, "def", {0, 0}, 10},
      {"delete to line start counts a kept tab once", "\tabc", {5, 0}, stNone, {}, {}, "4", nullptr,
       [](S& s) { s.DeleteToLineStart(); }, "bc", {0, 0}, 10},
      {"delete to line end", "abcdef", {3, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteToLineEnd(); }, "abc", {3, 0}, ChangeCode::DeleteChars},
      {"delete word right", "foo bar baz", {4, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteWordRight(); }, "foo baz", {4, 0}, 33, "none"},
      {"delete word left", "foo bar baz", {8, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteWordLeft(); }, "foo baz", {4, 0}, 34, "none"},
      {"delete word left keeps a persistent selection", "foo bar|baz", {7, 0}, stStream, {0, 1}, {3, 1}, nullptr,
       PersistentBlocks, [](S& s) { s.DeleteWordLeft(); }, "foo |baz", {4, 0}, 34, "stream 0,1 3,1"},
      {"delete word left joins at column 0", "foo|bar", {0, 1}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteWordLeft(); }, "foobar", {3, 0}, 34},
      {"delete word or join: the word and one space", "foo bar", {0, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteWordOrJoin(); }, "bar", {0, 0}, 33},
      {"delete word or join: the line break at the end", "foo|bar", {3, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.DeleteWordOrJoin(); }, "foobar", {3, 0}, 33},
      {"clear text", "ab|cd", {1, 1}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.ClearText(); }, "", {0, 0}, 58},
  };
  // clang-format on
  for (const TRow& row : rows) CheckRow(row);
}

TEST(MemoCommands, CaseChangesMapOneCodePointAtATime) {
  // clang-format off
  const TRow rows[] = {
      {"upper case keeps ß and accents one character", "straße σοφία", {0, 0}, stStream, {0, 0}, {12, 0}, nullptr,
       nullptr, [](S& s) { s.UpperCaseBlock(); }, "STRAßE ΣΟΦΊΑ", {0, 0}, 25, "stream 0,0 12,0"},
      {"lower case", "STRAßE ΣΟΦΊΑ", {12, 0}, stStream, {0, 0}, {12, 0}, nullptr, nullptr,
       [](S& s) { s.LowerCaseBlock(); }, "straße σοφία", {12, 0}, 26},
      {"toggle case", "StRaße Σοφ", {0, 0}, stStream, {0, 0}, {10, 0}, nullptr, nullptr,
       [](S& s) { s.ToggleCaseBlock(); }, "sTrAßE σΟΦ", {0, 0}, 27},
      {"capitalize", "hello wORLD,straße σΟΦΊΑ", {0, 0}, stStream, {0, 0}, {24, 0}, nullptr, nullptr,
       [](S& s) { s.CapitalizeBlock(); }, "Hello World,straße Σοφία", {0, 0}, 64},
      {"upper case over a block pads short lines", "abcd|efgh|ij", {1, 0}, stBlock, {1, 0}, {2, 2}, nullptr, nullptr,
       [](S& s) { s.UpperCaseBlock(); }, "aBCd|eFGh|iJ", {1, 0}, 25, "block 1,0 2,2"},
      {"upper case over lines with kept tabs", "\tab|c\td", {0, 0}, stStream, {0, 0}, {2, 1}, "2", nullptr,
       [](S& s) { s.UpperCaseBlock(); }, "\tAB|C\td", {0, 0}, 25},
      {"upper case after blanks at a line end with soLimitEOL", "ab  x|z", {0, 1}, stStream, {4, 0}, {5, 0}, nullptr,
       [](S& s) { SetOption(s, soLimitEOL, true); }, [](S& s) { s.UpperCaseBlock(); }, "ab  X|z", {0, 1}, 25},
      {"upper case across a read-only line does nothing", "ab|cd", {0, 0}, stStream, {0, 0}, {2, 1}, nullptr,
       ReadOnlyLine1, [](S& s) { s.UpperCaseBlock(); }, "ab|cd", {0, 0}, -1},
      {"upper case word keeps the caret", "foo bar", {5, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.UpperCaseWord(); }, "foo BAR", {5, 0}, 36},
      {"lower case word", "FOO BAR", {1, 0}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.LowerCaseWord(); },
       "foo BAR", {1, 0}, 35},
      {"capitalize word", "foo bAR", {4, 0}, stNone, {}, {}, nullptr, nullptr, [](S& s) { s.CapitalizeWord(); },
       "foo Bar", {4, 0}, 62},
      {"quote every selected line", "ab|cd|ef", {0, 2}, stStream, {0, 0}, {0, 2}, nullptr, nullptr,
       [](S& s) { s.QuoteBlock(); }, ">ab|>cd|>ef", {0, 2}, 67},
  };
  // clang-format on
  for (const TRow& row : rows) CheckRow(row);
}

TEST(MemoCommands, BlockInsertionsCopiesAndMoves) {
  // clang-format off
  const TRow rows[] = {
      {"text block inserted as a stream", "ab", {1, 0}, stNone, {}, {}, nullptr, nullptr,
       [](S& s) { s.InsertTextBlock("x\r\ny\nz"); }, "ax|y|zb", {1, 2}, 39, "none"},
      {"copy block of a stream", "abc|def", {3, 1}, stStream, {0, 0}, {2, 0}, nullptr, nullptr,
       [](S& s) { s.CopyBlock(); }, "abc|defab", {5, 1}, 69, "stream 3,1 5,1"},
      {"copy block of a block", "abc|def|g", {1, 2}, stBlock, {0, 0}, {1, 1}, nullptr, nullptr,
       [](S& s) { s.CopyBlock(); }, "abc|def|gab| de", {1, 2}, 69, "block 1,2 2,3"},
      {"move block", "abc|def", {3, 1}, stStream, {0, 0}, {1, 0}, nullptr, nullptr, [](S& s) { s.MoveBlock(); },
       "bc|defa", {4, 1}, 23, "stream 3,1 4,1"},
      {"move block up across lines", "ab|cd|ef", {0, 0}, stStream, {0, 1}, {0, 2}, nullptr, nullptr,
       [](S& s) { s.MoveBlock(); }, "cd|ab|ef", {0, 1}, 23, "stream 0,0 0,1"},
      {"move block with the caret inside does nothing", "abcdef", {2, 0}, stStream, {1, 0}, {4, 0}, nullptr, nullptr,
       [](S& s) { s.MoveBlock(); }, "abcdef", {2, 0}, -1},
      {"move block off a read-only line does nothing", "ab|cd|ef", {2, 2}, stStream, {0, 0}, {1, 1}, nullptr,
       ReadOnlyLine1, [](S& s) { s.MoveBlock(); }, "ab|cd|ef", {2, 2}, -1},
      {"copy block to caret, as a block past the end", "ab|cd|ef", {1, 2}, stBlock, {0, 0}, {0, 1}, nullptr,
       nullptr, [](S& s) { s.CopyBlockToCaret(); }, "ab|cd|eaf| c", {1, 2}, 23, "block 1,2 1,3"},
  };
  // clang-format on
  for (const TRow& row : rows) CheckRow(row);
}

TEST(MemoCommands, TransformedLinesKeepTheirColourBytesInPlace) {
  const struct {
    const char* name;
    void (*run)(TMemoSource& s);
    const char* text;
    std::string colors;
  } rows[] = {
      {"upper case", [](TMemoSource& s) { s.UpperCaseBlock(); }, "STRAßE X", std::string("\1\2\3\4\5\6\7\10")},
      {"quote", [](TMemoSource& s) { s.QuoteBlock(); }, ">straße x", std::string("\0\1\2\3\4\5\6\7\10", 9)},
      {"indent", [](TMemoSource& s) { s.IndentBlock(); }, " straße x", std::string("\0\1\2\3\4\5\6\7\10", 9)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TKeepingParser parser(nullptr);
    TMemoSource s(nullptr);
    LoadText(s, "straße x");
    s.SetSyntaxParser(&parser);
    s.LineItem(0)->ColorData = "\1\2\3\4\5\6\7\10";
    s.SelectRange(stStream, {0, 0}, {8, 0});
    row.run(s);
    EXPECT_EQ(Joined(s), row.text);
    EXPECT_EQ(s.LineColorData(0), row.colors);
    s.SetSyntaxParser(nullptr);
  }
}

TEST(MemoCommands, UndoReplaysCaretMovesWholeUnderSoLimitEOL) {
  TMemoSource s(nullptr);
  SetOption(s, soUseTabCharacter, true);
  s.SetTabStops("4");
  LoadText(s, "a\tb  x\nz");
  SetOption(s, soGroupUndo, false);
  SetOption(s, soLimitEOL, true);
  s.SetCaret(7, 0);
  s.DeleteChars(1);
  s.SetCaret(0, 1);  // trims the blanks left at the end of line 0, unrecorded
  s.Undo();
  EXPECT_EQ(s.Caret(), (TMemoPos{7, 0}));
  s.Undo();
  EXPECT_EQ(Joined(s), "a\tb  x|z");
  EXPECT_TRUE(s.Options().Contains(soLimitEOL));
}

// Leaving a line whose trailing blanks hold a tab trims them with records;
// the caret must come back before the move goes on, or the move's record no
// longer matches the move.
TEST(MemoCommands, ACaretMoveThatTrimsATabUndoesToItsColumnUnderSoLimitEOL) {
  TMemoSource s(nullptr);
  SetOption(s, soUseTabCharacter, true);
  LoadText(s, "ab\nc");
  SetOption(s, soGroupUndo, false);
  SetOption(s, soLimitEOL, true);
  s.SetCaret(2, 0);
  s.InsertText(U"  \t ");
  s.SetCaret(10, 0);  // the line end
  s.SetCaret(0, 1);
  s.Undo();
  EXPECT_EQ(s.Caret(), (TMemoPos{10, 0}));
  EXPECT_EQ(Joined(s), "ab  \t |c");
}

TEST(MemoCommands, AGuidGoesInBracedAndInUpperCaseAsOneUndoableBlock) {
  TMemoSource s(nullptr);
  LoadText(s, "x = ;");
  SetOption(s, soGroupUndo, false);
  s.SetCaret(4, 0);
  TRecorder heard(s);
  s.InsertGuid();
  EXPECT_THAT(Joined(s), ::testing::MatchesRegex(R"(x = \['\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}'\];)"));
  EXPECT_EQ(s.CaretChar(), 4 + 42);
  ASSERT_EQ(heard.notices.size(), 1u);
  EXPECT_EQ(heard.notices[0].Code, 39);
  s.Undo();
  EXPECT_EQ(Joined(s), "x = ;");
}

TEST(MemoCommands, OverwriteModeIsSharedAndAnnouncedOnce) {
  TMemoSource a(nullptr), b(nullptr);
  TRecorder heard(a);
  a.SetOverwriteMode(true);
  a.SetOverwriteMode(true);
  EXPECT_TRUE(TCustomMemoSource::OverwriteMode());
  ASSERT_EQ(heard.notices.size(), 1u);
  EXPECT_EQ(heard.notices[0].Code, 41);
  EXPECT_TRUE(heard.notices[0].State.Contains(ssOverwriteChanged));
  b.ToggleInsertMode();
  EXPECT_FALSE(TCustomMemoSource::OverwriteMode());
}

TEST(MemoCommands, TypingReplacesTheSelectionOnlyUnderItsOptions) {
  const struct {
    bool overwriteBlocks, persistent, nested;
    bool replaced;
  } rows[] = {
      {true, false, false, true}, {false, false, false, false}, {true, true, false, false}, {true, false, true, false}};
  for (const auto& row : rows) {
    TMemoSource s(nullptr);
    LoadText(s, "abcd");
    SetOption(s, soOverwriteBlocks, row.overwriteBlocks);
    SetOption(s, soPersistentBlocks, row.persistent);
    s.SelectRange(stStream, {1, 0}, {3, 0});
    bool answer = false;
    {
      TCustomMemoSource::TUpdateGuard outer(s, ChangeCode::InsertText);
      if (row.nested) {
        TCustomMemoSource::TUpdateGuard inner(s, ChangeCode::InsertText);
        answer = s.OverwriteSelection();
      } else {
        answer = s.OverwriteSelection();
      }
    }
    EXPECT_EQ(answer, row.replaced);
    EXPECT_EQ(Joined(s), row.replaced ? "ad" : "abcd");
  }
}

}  // namespace
