#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

namespace {

std::vector<std::string> LinesOf(const TCustomMemoSource& Source) {
  std::vector<std::string> lines;
  for (int i = 0; i < Source.Lines()->Count(); ++i) lines.push_back(Source.Lines()->Get(i));
  return lines;
}

void Load(TCustomMemoSource& Source, const std::string& Bytes) {
  TStringStream stream(Bytes);
  Source.LoadFromStream(stream);
}

std::string Saved(TCustomMemoSource& Source) {
  TStringStream stream;
  Source.Lines()->SaveToStream(stream);
  return stream.DataString();
}

using Lines = std::vector<std::string>;

TEST(MemoLoad, SplitsOnCrLfAndCrLfAndNotifiesARedraw) {
  struct Row {
    const char* what;
    std::string bytes;
    Lines lines;
  } rows[] = {
      {"LF", "a\nb\nc", {"a", "b", "c"}},
      {"CR LF", "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
      {"CR", "a\rb\r\rc", {"a", "b", "", "c"}},
      {"mixed; LF CR is two breaks", "a\n\rb\r\n\nc", {"a", "", "b", "", "c"}},
      {"empty", "", {}},
      {"one break", "\n", {""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TMemoSource source(nullptr);
    source.Lines()->SetText("old\ntext");
    source.SetCaret(2, 1);
    TRecorder recorder(source);
    Load(source, row.bytes);
    EXPECT_EQ(LinesOf(source), row.lines);
    ASSERT_FALSE(recorder.notices.empty());
    const TNotice& load = recorder.notices.front();
    EXPECT_EQ(Bits(load.State), "1405");
    EXPECT_EQ(load.Range, (TLineRange{0, kMaxInt}));
    EXPECT_EQ(load.Code, ChangeCode::LoadFromStream);
    EXPECT_FALSE(source.Modified());
    EXPECT_EQ(source.Caret(), (TMemoPos{}));
  }
}

// Loading in bulk replaces each tab by exactly SpacesInTab spaces (not up to
// the next stop) and trims characters 0..32 at line ends; both are intended.
TEST(MemoLoad, QuickLoadExpandsTabsBySpacesInTabAndTrimsLineEnds) {
  TMemoSource source(nullptr);
  source.SetSpacesInTab(3);
  Load(source, "ab\tc \t\x01\r\n\t\n  ");
  EXPECT_EQ(LinesOf(source), (Lines{"ab   c", "", ""}));

  source.SetOptions(TStringsOptions{soUseTabCharacter});
  source.SetKeepTrailingBlanks(true);
  Load(source, "ab\tc \n");
  EXPECT_EQ(source.LineText(0), U"ab\tc ");
  EXPECT_EQ(source.Lines()->Get(0), "ab       c ");  // shown up to the stop at 9
  EXPECT_EQ(source.Lines()->Text(), "ab\tc ");       // the stored text
}

TEST(MemoLoad, AFileThatCannotBeOpenedLeavesTheStoreAsItWas) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("kept");
  EXPECT_THROW(source.LoadFromFile("/nonexistent/folder/file.txt"), EInOutError);
  EXPECT_EQ(LinesOf(source), Lines{"kept"});
}

// A stream that claims more bytes than it gives.
class TShortStream : public TStringStream {
 public:
  using TStringStream::TStringStream;
  int64_t Read(void* Buffer, int64_t Count) override { return TStringStream::Read(Buffer, Count / 2); }
};

TEST(MemoLoad, AFailedReadClosesTheUpdate) {
  TMemoSource source(nullptr);
  TRecorder recorder(source);
  TShortStream stream("some\ntext");
  EXPECT_THROW(source.LoadFromStream(stream), Exception);
  EXPECT_EQ(source.UpdateCount(), 0);
  source.SetReadOnly(true);  // the next change is heard again
  ASSERT_FALSE(recorder.notices.empty());
  EXPECT_EQ(recorder.notices.back().State, TStoreState{ssReadOnlyChanged});
}

TEST(MemoSave, FormatsTimesReadOnlyExclusionTimesLastLine) {
  struct Row {
    TOutFormatType format;
    bool exclude;
    int readOnlyLine;
    std::string bytes;
  } rows[] = {
      {ofWindows, false, -1, "a\r\nb\r\nc"},  // no break after the last line
      {ofWindows, false, 2, "a\r\nb\r\nc"},
      {ofWindows, true, -1, "a\r\nb\r\nc\r\n"},
      {ofWindows, true, 1, "a\r\nc\r\n"},
      {ofWindows, true, 2, "a\r\nb\r\n"},
      {ofUnix, false, -1, "a\nb\nc\n"},
      {ofUnix, false, 2, "a\nb\nc\n"},
      {ofUnix, true, 1, "a\nc\n"},
      {ofUnix, true, 2, "a\nb\n"},
      {ofMac, false, -1, "a\rb\rc\r"},
      {ofMac, true, 0, "b\rc\r"},
      {ofMac, true, 2, "a\rb\r"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "format " << int(row.format) << " exclude " << row.exclude << " read-only "
                                      << row.readOnlyLine);
    TMemoSource source(nullptr);
    Load(source, "a\nb\nc");
    source.OutFormat = row.format;
    if (row.exclude) source.SetOptions(kDefaultStringsOptions + TStringsOptions{soExcludeReadOnlyLines});
    if (row.readOnlyLine >= 0) source.SetLineFlag(row.readOnlyLine, row.readOnlyLine, kReadOnlyBit, true);
    EXPECT_EQ(Saved(source), row.bytes);
  }
}

TEST(MemoSave, BytesThatAreNotUtf8ComeBackAsTheyWere) {
  const std::string bytes = "caf\xC3\xA9 \xE9t\xE9\r\n\xFF\xFE broken \xE2\x82\r\n\xEF\xBF\xBD end";
  TMemoSource source(nullptr);
  Load(source, bytes);
  EXPECT_EQ(source.LineText(0).size(), 8u);  // one character per Latin-1 byte
  EXPECT_EQ(Saved(source), bytes);
  source.Lines()->Put(1, source.Lines()->Get(1));  // through the UTF-8 edge
  EXPECT_EQ(Saved(source), bytes);
}

TEST(MemoSave, ReplacesTheFileKeepingItsModeAndAFailedWriteKeepsTheOldFile) {
  TTestFolder folder;
  const std::string file = folder.Path("text.txt");
  SetFileText(file, "old contents\n");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  TMemoSource source(nullptr);
  source.Lines()->SetText("new\ntext");
  source.SaveToFile(file);
  EXPECT_EQ(FileText(file), "new\r\ntext");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  source.Lines()->SetText(std::string(4000, 'x'));
  {
    TFileSizeLimit limit(100);  // the disk fills up during the write
    EXPECT_THROW(source.SaveToFile(file), EInOutError);
  }
  EXPECT_EQ(FileText(file), "new\r\ntext");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++entries;
  EXPECT_EQ(entries, 1);  // no temporary file left behind
}

TEST(MemoLinesAdapter, WritesKeepCaretAndSelectionWithTheText) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("zero\none\ntwo");
  source.SetCaret(2, 1);
  source.SetSelection(stStream, {1, 1}, {3, 2});
  TRecorder recorder(source);

  source.Lines()->Insert(0, "new");
  EXPECT_EQ(source.Caret(), (TMemoPos{2, 2}));
  EXPECT_EQ(source.SelectionStart(), (TMemoPos{1, 2}));
  EXPECT_EQ(recorder.notices.back().Range, (TLineRange{0, kMaxInt}));
  EXPECT_EQ(recorder.notices.back().Code, ChangeCode::InsertTextBlock);

  source.Lines()->Delete(0);
  EXPECT_EQ(source.Caret(), (TMemoPos{2, 1}));
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{3, 2}));

  source.Lines()->Put(1, "a\tb");  // a tab from outside becomes SpacesInTab spaces
  EXPECT_EQ(source.LineText(1), U"a        b");
  EXPECT_EQ(recorder.notices.back().Range, (TLineRange{1, 1}));
  EXPECT_TRUE(recorder.notices.back().State.Contains(ssTextChanged));
  EXPECT_EQ(source.Caret(), (TMemoPos{2, 1}));

  source.SetLineFlag(2, 2, kFoldMemberBit, true);
  source.SetFoldState(1, 0);
  ASSERT_EQ(source.HiddenLines()->Count(), 1);
  source.Lines()->Clear();
  EXPECT_EQ(source.LineCount(), 0);
  EXPECT_EQ(source.SelectionType(), stNone);
  EXPECT_EQ(source.Caret(), (TMemoPos{}));
  EXPECT_EQ(source.HiddenLines()->Count(), 0);

  // Out-of-range reads and writes are tolerated.
  EXPECT_EQ(source.Lines()->Get(5), "");
  EXPECT_EQ(source.LineItem(-1), nullptr);
  source.Lines()->Put(7, "ignored");
  EXPECT_EQ(source.LineCount(), 0);
}

TEST(MemoLinesAdapter, TheInternalListToleratesBadIndicesAndNeverExchanges) {
  TInternalStrings list(nullptr);
  list.GetStringHook = [](const std::u32string& Text) { return Text + U"!"; };
  list.Add("a\tb");
  list.Insert(5, "ignored");
  list.Insert(0, "first");
  list.Put(-1, "ignored");
  list.PutObject(9, &list);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Get(0), "first!");
  EXPECT_EQ(list.Get(2), "");
  EXPECT_EQ(list.GetObject(9), nullptr);
  EXPECT_EQ(list.Text(), "first!\r\na\tb!");
  list.Raw = true;
  EXPECT_EQ(list.Text(), "first\r\na\tb");  // joined by CR LF, nothing after the last line
  list.Item(1)->SetParsed(true);
  list.Put(1, "c");
  EXPECT_FALSE(list.Item(1)->Parsed());
}

TEST(MemoLinesAdapter, InternalListGrowsByHalfAtLeast64) {
  TMemoSource source(nullptr);
  std::vector<int> capacities;
  for (int i = 0; i < 200; ++i) {
    source.Strings()->Add("x");
    if (capacities.empty() || capacities.back() != source.Strings()->Capacity())
      capacities.push_back(source.Strings()->Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{64, 128, 192, 288}));
  source.Strings()->Clear();
  EXPECT_EQ(source.Strings()->Capacity(), 0);
}

}  // namespace
