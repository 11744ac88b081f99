#include "components/codeedit/MemoSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "components/codeedit/MemoTesting.h"
#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(MemoSourceUpdate, NestedUpdatesNotifyOnceWithTheUnionOfChangedLines) {
  TMemoSource source(nullptr);
  LoadText(source, "a\nb\nc\nd\ne");
  TRecorder recorder(source);
  source.BeginUpdate(5);
  source.MarkTextChanged(3, 3);
  source.BeginUpdate(6);
  source.MarkTextChanged(1, 1);
  source.MarkLinesChanged(2, 4);
  source.EndUpdate();
  EXPECT_TRUE(recorder.notices.empty());
  source.EndUpdate();
  ASSERT_EQ(recorder.notices.size(), 1u);
  const TNotice& notice = recorder.notices[0];
  EXPECT_EQ(notice.Range, (TLineRange{1, 4}));
  EXPECT_EQ(notice.Code, 5);  // the outermost update's code
  EXPECT_TRUE(notice.State.Contains(ssTextChanged));
  EXPECT_TRUE(notice.State.Contains(ssModifiedChanged));
  EXPECT_TRUE(source.Modified());
  // An extra EndUpdate is ignored; an update that changes nothing is silent.
  source.EndUpdate();
  source.BeginUpdate(2);
  source.EndUpdate();
  EXPECT_EQ(recorder.notices.size(), 1u);
}

TEST(MemoSourceUpdate, ACaretOnlyUpdateGivesCaretMovedAndNothingElse) {
  TMemoSource source(nullptr);
  LoadText(source, "one\ntwo");
  TRecorder recorder(source);
  source.BeginUpdate(2);
  source.SetCaret(2, 1);
  source.EndUpdate();
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_EQ(recorder.notices[0].State, TStoreState{ssCaretMoved});
  EXPECT_FALSE(source.Modified());

  // The hook of the active editor sees and may change a move.
  std::vector<std::pair<int, int>> asked;
  source.CaretHook = [&](std::int32_t& Lines, std::int32_t& Chars) {
    asked.emplace_back(Lines, Chars);
    Chars = 0;
  };
  source.MoveCaret(-1, 3);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{-1, 3}}));
  EXPECT_EQ(source.Caret(), (TMemoPos{2, 0}));
}

TEST(MemoSourceUpdate, EmptySelectionsEndAsNoneAndMovesDropNonPersistentOnes) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("abcdef\nghijkl\nmnopqr");
  TRecorder recorder(source);
  struct Row {
    const char* what;
    TSelectionType type;
    TMemoPos start, end;
    TSelectionType after;
  } rows[] = {
      {"stream end equals start", stStream, {2, 1}, {2, 1}, stNone},
      {"stream end before start", stStream, {3, 1}, {1, 1}, stNone},
      {"stream over lines", stStream, {3, 0}, {1, 1}, stStream},
      {"block with end column before start", stBlock, {3, 0}, {1, 2}, stNone},
      {"block with equal columns", stBlock, {2, 0}, {2, 2}, stBlock},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    source.BeginUpdate(17);
    source.SetSelection(row.type, row.start, row.end);
    source.EndUpdate();
    EXPECT_EQ(source.SelectionType(), row.after);
  }
  // The block stays; a caret move without persistent blocks drops it, and
  // the repainted lines cover the old selection.
  recorder.notices.clear();
  source.BeginUpdate(2);
  source.SetCaret(1, 1);
  source.EndUpdate();
  EXPECT_EQ(source.SelectionType(), stNone);
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_TRUE(recorder.notices[0].State.Contains(ssSelectionChanged));
  EXPECT_EQ(recorder.notices[0].Range, (TLineRange{0, 2}));
}

TEST(MemoSourceListeners, JoiningWithNotifyNowRedrawsEverythingAndEqualListenersAreOne) {
  TMemoSource source(nullptr);
  LoadText(source, "x");
  TRecorder first(source);
  TRecorder second(source, /*NotifyNow=*/true);
  ASSERT_EQ(second.notices.size(), 1u);
  EXPECT_EQ(Bits(second.notices[0].State), "1405");
  EXPECT_EQ(second.notices[0].Range, (TLineRange{0, kMaxInt}));
  EXPECT_EQ(first.notices.size(), 1u);
  source.AddListener(false, first.Method());  // moves, never doubles
  EXPECT_EQ(source.Listeners()->Count(), 2);
  EXPECT_FALSE(source.Modified());  // 1405 holds no text change
}

// A listener that leaves, and frees another one, while it is told.
class TLeaver : public TRecorder {
 public:
  using TRecorder::TRecorder;
  TCustomMemoSource* source = nullptr;
  std::unique_ptr<TRecorder> victim;
  std::vector<std::string>* order = nullptr;
  void Leave(TComponent* Sender, void* List, std::int32_t Param) {
    order->push_back("leaver");
    source->RemoveListener(TNotifierMethod::Of<&TLeaver::Leave>(*this));
    victim.reset();
  }
};

TEST(MemoSourceListeners, NewestFirstAndRemovalDuringTheCallsIsTolerated) {
  TMemoSource source(nullptr);
  std::vector<std::string> order;
  TRecorder oldest(source);
  auto victim = std::make_unique<TRecorder>(source);
  TLeaver leaver(source);
  source.RemoveListener(leaver.Method());
  leaver.source = &source;
  leaver.order = &order;
  leaver.victim = std::move(victim);
  source.AddListener(false, TNotifierMethod::Of<&TLeaver::Leave>(leaver));
  source.SetReadOnly(true);
  EXPECT_EQ(order, std::vector<std::string>{"leaver"});
  ASSERT_EQ(oldest.notices.size(), 1u);  // still reached after two removals
  EXPECT_EQ(oldest.notices[0].State, TStoreState{ssReadOnlyChanged});
  EXPECT_EQ(source.Listeners()->Count(), 1);
}

TEST(MemoSourceListeners, AFreedListenerIsDroppedAndListenersHearWhenTheStoreGoes) {
  class TWatcher : public TRecorder {
   public:
    using TRecorder::TRecorder;
    int toldGone = 0;
    void Notification(TComponent* AComponent, TOperation Operation) override {
      if (Operation == opRemove && dynamic_cast<TCustomMemoSource*>(AComponent)) ++toldGone;
      TRecorder::Notification(AComponent, Operation);
    }
  };
  auto source = std::make_unique<TMemoSource>(nullptr);
  {
    TRecorder gone(*source);
    source->SetActiveEditor(&gone);
  }
  EXPECT_EQ(source->Listeners()->Count(), 0);
  EXPECT_EQ(source->ActiveEditor(), nullptr);
  TWatcher watcher(*source);
  source->Free();
  source.release();
  EXPECT_EQ(watcher.toldGone, 1);
}

TEST(MemoSourceOptions, SetterClampsAndExclusiveTabOptions) {
  using O = TStringsOptions;
  const auto options = [](O Before, O Set) {
    return [=](TMemoSource& S) {
      S.SetOptions(Before);
      S.SetOptions(Set);
      return std::to_string(S.Options().Bits());
    };
  };
  const auto spaces = [](int Value) {
    return [=](TMemoSource& S) {
      S.SetSpacesInTab(Value);
      return std::to_string(S.SpacesInTab());
    };
  };
  const auto indent = [](int Value) {
    return [=](TMemoSource& S) {
      S.SetBlockIndent(Value);
      return std::to_string(S.BlockIndent());
    };
  };
  const auto bits = [](O Set) { return std::to_string(Set.Bits()); };
  struct Row {
    const char* what;
    std::function<std::string(TMemoSource&)> set;
    std::string got;
  } rows[] = {
      {"tab characters on drop smart tabs", options({}, {soUseTabCharacter, soSmartTab}), bits({soUseTabCharacter})},
      {"smart tabs drop tab characters that were on", options({soUseTabCharacter}, {soUseTabCharacter, soSmartTab}),
       bits({soSmartTab})},
      {"smart tabs alone stay", options({soUseTabCharacter}, {soSmartTab}), bits({soSmartTab})},
      {"tab characters alone stay", options({soSmartTab}, {soUseTabCharacter}), bits({soUseTabCharacter})},
      {"other options pass", options({}, {soLimitEOL, soSmartTab}), bits({soLimitEOL, soSmartTab})},
      {"default options", [](TMemoSource& S) { return std::to_string(S.Options().Bits()); }, "635"},
      {"SpacesInTab 11", spaces(11), "8"},
      {"SpacesInTab 0", spaces(0), "8"},
      {"SpacesInTab 1", spaces(1), "1"},
      {"SpacesInTab 10", spaces(10), "10"},
      {"BlockIndent -3", indent(-3), "0"},
      {"BlockIndent 4", indent(4), "4"},
      {"UndoLimit -5",
       [](TMemoSource& S) {
         S.SetUndoLimit(-5);
         return std::to_string(S.UndoLimit());
       },
       "0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TMemoSource source(nullptr);
    EXPECT_EQ(row.set(source), row.got);
  }

  // Turning soBeyondFileEnd off pulls a caret below the text to its end.
  TMemoSource source(nullptr);
  source.SetOptions(kDefaultStringsOptions + O{soBeyondFileEnd});
  LoadText(source, "ab\ncde");
  source.SetCaret(1, 7);
  source.SetOptions(kDefaultStringsOptions);
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 1}));
}

TEST(MemoSourceOptions, TabStopsAndDelimiters) {
  TMemoSource source(nullptr);
  EXPECT_EQ(source.TabStops(), "9,17");
  EXPECT_EQ(source.ExpandTabs(U"\tx\ty"), std::u32string(9, U' ') + U"x" + std::u32string(7, U' ') + U"y");
  source.SetTabStops("4,8,12");
  // A tab at column 13 reaches 16: the last interval repeats.
  EXPECT_EQ(source.ExpandTabs(std::u32string(13, U'a') + U"\tb"), std::u32string(13, U'a') + U"   b");
  EXPECT_THAT([&] { source.SetTabStops("8,4"); }, ThrowsMessage<Exception>(HasSubstr(kInvalidTabRackText)));
  EXPECT_THROW(source.SetTabStops("8,x"), EConvertError);
  source.SetTabStops("");
  EXPECT_EQ(source.TabStops(), "4,8,12");
  EXPECT_EQ(source.TabStopColumn(4), 20);

  EXPECT_TRUE(source.DelimiterSet().test(' '));
  EXPECT_FALSE(source.DelimiterSet().test('('));
  source.SetDelimeters("(a\u00e9\u4e2d");
  EXPECT_TRUE(source.DelimiterSet().test('('));
  EXPECT_TRUE(source.DelimiterSet().test('a'));
  EXPECT_FALSE(source.DelimiterSet().test('A'));  // as written, no case folding
  EXPECT_TRUE(source.DelimiterSet().test(0xE9));
  EXPECT_EQ(source.DelimiterSet().count(), 33u + 3u);  // U+4E2D is beyond the set
}

TEST(MemoSource, BackupNames) {
  TMemoSource source(nullptr);
  EXPECT_EQ(source.GetBackupName("/w/readme"), "/w/readme.~");
  EXPECT_EQ(source.GetBackupName("/w/unit1.pas"), "/w/unit1.~pa");
  EXPECT_EQ(source.GetBackupName("/w/a.h"), "/w/a.~h");
  source.OnGetBackupName = [](TObject*, const std::string& Name, std::string& Backup) { Backup = Name + ".bak"; };
  EXPECT_EQ(source.GetBackupName("/w/a.h"), "/w/a.h.bak");
}

TEST(MemoSource, RenamingNotifiesOnceAndKeepsThePreviousName) {
  TMemoSource source(nullptr);
  TRecorder recorder(source);
  EXPECT_TRUE(source.RenameSource("first"));
  EXPECT_TRUE(source.SetObjectName("second"));
  EXPECT_TRUE(source.SetObjectName("second"));
  EXPECT_EQ(source.PreviousName(), "first");
  ASSERT_EQ(recorder.notices.size(), 2u);
  EXPECT_EQ(recorder.notices[1].State, TStoreState{ssNameChanged});
}

TEST(MemoSource, EveryStoreIsListedWhileItLives) {
  const size_t before = SourceList().size();
  {
    TMemoSource a(nullptr);
    SetLastActiveSource(&a);
    EXPECT_EQ(SourceList().size(), before + 1);
    EXPECT_EQ(SourceList().back(), &a);
  }
  EXPECT_EQ(SourceList().size(), before);
  EXPECT_EQ(LastActiveSource(), nullptr);
}

}  // namespace
