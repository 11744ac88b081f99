#pragma once
// Rows of command cases on a small store: text, caret and selection before
// a command, and what the command leaves.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "components/codeedit/MemoTesting.h"

namespace commandtest {

// Lines are joined by "|". Code > 0: the command is one update with that
// code (one notice); 0: not checked; -1: the text stays and no notice
// tells of a text change.
struct TRow {
  const char* Name;
  const char* Before;
  TMemoPos Caret;
  TSelectionType Type;
  TMemoPos Start, End;
  const char* Tabs;  // tab stops with tab characters kept; nullptr: none
  void (*Setup)(TMemoSource& S);
  void (*Run)(TMemoSource& S);
  const char* After;
  TMemoPos CaretAfter;
  std::int32_t Code;
  const char* Selection = nullptr;  // "none", or "stream|block C,L C,L"; nullptr: not checked
};

inline std::string SelectionText(const TCustomMemoSource& S) {
  static const char* const kinds[] = {"none", "stream", "block"};
  std::string out = kinds[S.SelectionType()];
  if (S.HasSelection())
    out += " " + std::to_string(S.SelectionStart().Char) + "," + std::to_string(S.SelectionStart().Line) + " " +
           std::to_string(S.SelectionEnd().Char) + "," + std::to_string(S.SelectionEnd().Line);
  return out;
}

inline std::string Caret(TMemoPos P) { return std::to_string(P.Char) + "," + std::to_string(P.Line); }

// Runs a row, checks what it leaves and that one Undo gives back the text
// and caret it started from.
inline void CheckRow(const TRow& Row) {
  SCOPED_TRACE(Row.Name);
  TMemoSource s(nullptr);
  // One Undo must revert one command, not a run of them.
  SetOption(s, soGroupUndo, false);
  std::string text = Row.Before;
  std::replace(text.begin(), text.end(), '|', '\n');
  if (Row.Tabs)
    LoadWithTabs(s, Row.Tabs, text);
  else
    LoadText(s, text);
  if (Row.Setup) Row.Setup(s);
  s.SetCaret(Row.Caret.Char, Row.Caret.Line);
  if (Row.Type != stNone) s.SelectRange(Row.Type, Row.Start, Row.End);
  const std::string before = Joined(s);
  TRecorder recorder(s);
  Row.Run(s);
  EXPECT_EQ(Joined(s), Row.After);
  EXPECT_EQ(Caret(s.Caret()), Caret(Row.CaretAfter));
  if (Row.Selection) EXPECT_EQ(SelectionText(s), Row.Selection);
  if (Row.Code > 0) {
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].Code, Row.Code);
  }
  if (Row.Code < 0) {
    EXPECT_EQ(Joined(s), before);
    for (const TNotice& n : recorder.notices) EXPECT_FALSE(n.State.Contains(ssTextChanged));
  }
  if (Joined(s) != before || s.Caret() != Row.Caret) {
    s.Undo();
    EXPECT_EQ(Joined(s), before) << "after one Undo";
    EXPECT_EQ(Caret(s.Caret()), Caret(Row.Caret)) << "after one Undo";
  }
  s.SetOverwriteMode(false);
}

inline void ReadOnlyLine1(TMemoSource& S) { S.SetLineFlag(1, 1, kReadOnlyBit, true); }

}  // namespace commandtest
