#include <gtest/gtest.h>

#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"

namespace {

// Colour bytes written as text: "." 0, "1" 1, "U" the URL style.
std::string Colours(const std::string& Pattern) {
  std::string out;
  for (char c : Pattern) out += c == '.' ? '\0' : c == '1' ? '\1' : kUrlStyle;
  return out;
}

std::string Repeated(const std::string& Line, int Count) {
  std::string text;
  for (int i = 0; i < Count; ++i) text += Line + "\n";
  return text;
}

TEST(MemoParse, ParsesLazilyAheadAndStopsWhereStatesAgree) {
  TMemoSource source(nullptr);
  source.Lines()->SetText(Repeated("x", 300));
  TBraceParser parser(nullptr);
  source.SetSyntaxParser(&parser);
  EXPECT_EQ(parser.Calls, 0);  // nothing is coloured before it is asked for

  struct Step {
    const char* what;
    int line;          // the line whose colours are asked for
    int putLine = -1;  // written through Lines first
    const char* text = "";
    int calls;
  } steps[] = {
      {"first screen: 100 lines ahead", 0, -1, "", 101},
      {"already coloured", 50, -1, "", 0},
      {"further down: from the first stale line", 150, -1, "", 150},
      {"an edit that keeps the end state", 20, 20, "y", 1},
      {"an edit that opens a comment recolours what follows", 30, 30, "{", 101},
      {"closing it again", 30, 30, "{}", 101},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.putLine >= 0) source.Lines()->Put(step.putLine, step.text);
    parser.Calls = 0;
    source.LineColorData(step.line);
    EXPECT_EQ(parser.Calls, step.calls);
  }
  EXPECT_EQ(source.LineColorData(30), std::string(2, '\1'));
  EXPECT_EQ(source.LineItem(31)->StartState, 0);
  EXPECT_EQ(source.LineColorData(400), "");
}

TEST(MemoParse, ALineEditThatChangesTheEndStateMarksTheRestChanged) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("a\nb\nc");
  TBraceParser parser(nullptr);
  source.SetSyntaxParser(&parser);
  source.LineColorData(0);
  TRecorder recorder(source);
  struct Row {
    const char32_t* text;
    TLineRange range;
  } rows[] = {{U"b2", {1, 1}}, {U"{b", {1, kMaxInt}}, {U"{b", {1, 1}}};
  for (const Row& row : rows) {
    source.BeginUpdate(5);
    source.LineItem(1)->Text = row.text;
    source.LineTextChanged(1);
    source.EndUpdate();
    EXPECT_EQ(recorder.notices.back().Range, row.range);
  }
  EXPECT_EQ(source.LineItem(1)->ColorData, "\1\1");
}

TEST(MemoParse, ParserChangesDropAllColourData) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("{a\nb");
  TRecorder recorder(source);
  auto parser = std::make_unique<TBraceParser>(nullptr);
  source.SetSyntaxParser(parser.get());
  EXPECT_EQ(source.LineColorData(1), "\1");
  parser->WordsChanged();
  source.SetHighlightUrls(true);
  ASSERT_EQ(recorder.notices.size(), 3u);
  for (const TNotice& notice : recorder.notices) {
    EXPECT_TRUE(notice.State.Contains(ssReparseAll));
    EXPECT_EQ(notice.Range, (TLineRange{0, kMaxInt}));
    EXPECT_EQ(notice.Code, ChangeCode::DropColorData);
  }
  EXPECT_FALSE(source.LineItem(1)->Parsed());
  for (const TNotice& notice : recorder.notices) EXPECT_FALSE(notice.State.Contains(ssTextChanged));
  parser.reset();  // the store forgets a freed parser
  EXPECT_EQ(source.SyntaxParser(), nullptr);

  // Only an active parser colours.
  TBraceParser idle(nullptr);
  idle.Active = false;
  source.SetHighlightUrls(false);
  source.SetSyntaxParser(&idle);
  EXPECT_EQ(source.LineColorData(0), "");
  EXPECT_EQ(idle.Calls, 0);
}

TEST(MemoParse, UrlMarkingGivesStyle12OverRecognisedRuns) {
  struct Row {
    const char* text;
    bool withParser;
    std::string colours;
  } rows[] = {
      {"see www.x.org, now", false, "....UUUUUUUUU....."},
      {"mail a@b.cd!", false, ".....UUUUUU."},
      {"no link.here", false, "............"},
      {"{ ftp://h }", true, "11UUUUUUU11"},
      {"https://h.org", false, "............."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TMemoSource source(nullptr);
    TBraceParser parser(nullptr);
    if (row.withParser) source.SetSyntaxParser(&parser);
    source.SetHighlightUrls(true);
    source.Lines()->SetText(row.text);
    EXPECT_EQ(source.LineColorData(0), Colours(row.colours));
  }
}

TEST(MemoParse, HooksSeeEveryParsedLineAndMeasureTheLongestLine) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("ab\nabcd\nabc\nabcd");
  TBraceParser parser(nullptr);
  source.SetSyntaxParser(&parser);
  std::vector<int> measured, afterParse;
  source.MeasureLineHook = [&](std::int32_t Line, TStringItem* Item) {
    measured.push_back(Line);
    Item->DisplayWidth = 10 * static_cast<std::int32_t>(Item->Text.size());
  };
  source.AfterParseHook = [&](TCustomMemoSource*, std::int32_t Line, const std::u32string&, std::string& Colors) {
    afterParse.push_back(Line);
    Colors[0] = 7;
  };
  source.TrackMaxLineLength(true);
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(afterParse, measured);
  EXPECT_EQ(source.MaxLineLength(), 40);
  EXPECT_EQ(source.MaxLineIndex(), 3);  // a later equal length wins
  EXPECT_EQ(source.LineColorData(2)[0], 7);

  source.MeasureLineHook = nullptr;
  source.UpdateMaxLineLength();
  EXPECT_EQ(source.MaxLineLength(), 4);  // characters, without a measure
}

}  // namespace
