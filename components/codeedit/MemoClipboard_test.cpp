#include <gtest/gtest.h>

#include "components/codeedit/MemoCommandTesting.h"
#include "platform/graphics/Clipboard.h"

namespace {

using commandtest::SelectionText;

// Every store of these tests talks to the double.
class MemoClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = SetClipboardService(&clipboard); }
  void TearDown() override { SetClipboardService(previous_); }

  void Load(const char* Text) {
    LoadText(source, Text);
    SetOption(source, soGroupUndo, false);
  }

  TestClipboard clipboard;
  TMemoSource source{nullptr};

 private:
  Clipboard* previous_ = nullptr;
};

TEST_F(MemoClipboardTest, ABlockCopiedHereIsPastedAsABlockTheSameTextFromElsewhereAsAStream) {
  Load("ab\ncd\nef");
  source.SelectRange(stBlock, {0, 0}, {0, 1});
  source.CopyToClipboard();
  EXPECT_EQ(clipboard.HeldText(), "a\r\nc");
  EXPECT_TRUE(TCustomMemoSource::ClipboardBlockFlag());

  source.SetCaret(1, 2);
  source.PasteFromClipboard();
  EXPECT_EQ(Joined(source), "ab|cd|eaf| c");
  EXPECT_EQ(SelectionText(source), "none");  // dropped without persistent blocks
  source.Undo();
  EXPECT_EQ(Joined(source), "ab|cd|ef");

  clipboard.SetFromOtherProgram({.text = std::string("a\r\nc")});
  source.SetCaret(1, 2);
  source.PasteFromClipboard();
  EXPECT_FALSE(TCustomMemoSource::ClipboardBlockFlag());
  EXPECT_EQ(Joined(source), "ab|cd|ea|cf");
  EXPECT_EQ(source.Caret(), (TMemoPos{1, 3}));
}

TEST_F(MemoClipboardTest, CopyingAStreamClearsTheBlockFlagAndKeepsTabs) {
  SetOption(source, soUseTabCharacter, true);
  source.SetTabStops("4");
  Load("a\tb\ncd");
  source.SelectRange(stBlock, {0, 0}, {0, 1});
  source.CopyToClipboard();
  source.SelectRange(stStream, {0, 0}, {1, 1});
  source.CopyToClipboard();
  EXPECT_EQ(clipboard.HeldText(), "a\tb\r\nc");
  EXPECT_FALSE(TCustomMemoSource::ClipboardBlockFlag());
  EXPECT_TRUE(clipboard.OwnsClipboard());
}

TEST_F(MemoClipboardTest, WithoutASelectionCutAlwaysEmptiesTheClipboardCopyOnlyWhenForced) {
  const struct {
    bool cut, force, emptied;
  } rows[] = {{true, false, true}, {true, true, true}, {false, false, false}, {false, true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.cut ? "cut" : "copy") + (row.force ? " forced" : ""));
    Load("ab");
    SetOption(source, soForceCutCopy, row.force);
    clipboard.SetText("held");
    if (row.cut)
      source.CutToClipboard();
    else
      source.CopyToClipboard();
    EXPECT_EQ(clipboard.Holds(), row.emptied ? TestClipboard::Content::Empty : TestClipboard::Content::Text);
    EXPECT_EQ(Joined(source), "ab");
  }
}

TEST_F(MemoClipboardTest, CutIsOneUpdateThatOneUndoReverts) {
  Load("abc\ndef");
  source.SetCaret(3, 1);
  source.SelectRange(stStream, {1, 0}, {1, 1});
  TRecorder heard(source);
  source.CutToClipboard();
  EXPECT_EQ(clipboard.HeldText(), "bc\r\nd");
  EXPECT_EQ(Joined(source), "aef");
  ASSERT_EQ(heard.notices.size(), 1u);
  EXPECT_EQ(heard.notices[0].Code, 20);
  source.Undo();
  EXPECT_EQ(Joined(source), "abc|def");
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 1}));
}

// Adds a line to what is pasted.
class TPasteHook : public TComponent {
 public:
  TPasteHook() : TComponent(nullptr) {}
  void Paste(TObject*, TStrings* Lines) { Lines->Add("added"); }
};

TEST_F(MemoClipboardTest, AFinalLineBreakGivesAnEmptyLastLineAndTheEventMayChangeTheLines) {
  Load("ab");
  clipboard.SetFromOtherProgram({.text = std::string("x\r\n")});
  source.SetCaret(1, 0);
  source.PasteFromClipboard();
  EXPECT_EQ(Joined(source), "ax|b");
  EXPECT_EQ(source.Caret(), (TMemoPos{0, 1}));

  TPasteHook hook;
  source.OnPasteFromClipboard = TStringsEvent::Of<&TPasteHook::Paste>(hook);
  clipboard.SetFromOtherProgram({.text = std::string("y")});
  source.PasteFromClipboard();
  EXPECT_EQ(Joined(source), "ax|y|addedb");
}

TEST_F(MemoClipboardTest, PastedTabsBecomeSpacesInTabSpacesUnlessKept) {
  Load("ab");
  source.SetSpacesInTab(3);
  clipboard.SetFromOtherProgram({.text = std::string("1234567\tx")});
  source.SetCaret(2, 0);
  source.PasteFromClipboard();
  EXPECT_EQ(Joined(source), "ab1234567   x");
}

TEST_F(MemoClipboardTest, PastingOverASelectionReplacesIt) {
  Load("abcd");
  source.SetCaret(3, 0);
  source.SelectRange(stStream, {1, 0}, {3, 0});
  clipboard.SetFromOtherProgram({.text = std::string("XY")});
  source.PasteFromClipboard();
  EXPECT_EQ(Joined(source), "aXYd");
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 0}));
}

}  // namespace
