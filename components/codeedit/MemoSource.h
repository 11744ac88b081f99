#pragma once
// The code editor's text store: the document model behind any number of
// editor controls. It owns the lines (one item per line, StringItem.h), the
// caret and selection ends, the hidden lines, the options, and the listeners.
//
// Update protocol: every change runs between BeginUpdate(code) and EndUpdate.
// Brackets nest; only the outermost EndUpdate works out what changed
// (StoreState) and, when anything did, notifies every listener once, newest
// first, with the union of the changed lines. Listeners are TNotifierMethod:
// Sender is the store, List points at the TLineRange of changed lines (Last
// kMaxInt: to the end), Param is StoreState's bits.
//
// Text: a line holds one code point per character; every column and count of
// the store counts code points. Lines() is a TStrings that speaks UTF-8 and
// converts at its edge without loss: a byte that is not valid UTF-8 comes
// back as the same byte when the line is written out.
//
// Colour data is computed lazily by the syntax parser (only while its
// IsActive answers true), 100 lines ahead of the line asked for, reusing a
// line's colours while the state it starts in is unchanged.
//
// Line indices outside 0..LineCount-1 are tolerated everywhere: reads give ""
// or nullptr, writes are ignored. Single GUI thread.

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/base/MessageBroadcast.h"
#include "components/base/SimpleParser.h"
#include "components/codeedit/MemoBookmarks.h"
#include "components/codeedit/MemoTemplates.h"
#include "components/codeedit/MemoTypes.h"
#include "components/codeedit/MemoUndo.h"
#include "components/codeedit/StringItem.h"
#include "components/codeedit/VisibleLines.h"
#include "platform/classes/Component.h"

class TExternalStrings;
class TStream;

// Called by MoveCaret with (line delta, char delta) before a move, and while
// IndentQuery is set with (column, result) to choose an indentation column.
using TCaretHook = TMethodPointer<void(std::int32_t& A, std::int32_t& B)>;
// Called after line Line was (re)parsed, to measure it.
using TMeasureLineHook = TMethodPointer<void(std::int32_t Line, TStringItem* Item)>;
class TCustomMemoSource;
using TAfterParseHook =
    TMethodPointer<void(TCustomMemoSource* Source, std::int32_t Line, const std::u32string& Text, std::string& Colors)>;
// May change the backup name of a file.
using TGetBackpNameEvent = TMethodPointer<void(TObject* Sender, const std::string& FileName, std::string& BackupName)>;

// Asked before an error or not-found report of a search; Handled true
// keeps the report from being shown.
using TSearchExceptionEvent = TMethodPointer<void(TObject* Sender, const std::string& Message, bool& Handled)>;
// Told before a find (Kind 0) or a replace (Kind 1) runs.
using TBeforeFindReplaceHook = TMethodPointer<void(std::int32_t Kind)>;
// May change the lines a paste is about to insert.
using TStringsEvent = TMethodPointer<void(TObject* Sender, TStrings* Strings)>;

// 0..255; code points from 256 up are never members.
using TCharSet256 = std::bitset<256>;

inline constexpr const char* kInvalidTabRackText = "Invalid Tab Rack";
// The highest tab stop the store accepts.
inline constexpr std::int32_t kMaxTabStop = 1000;

class TCustomMemoSource : public TComponent {
  KESTOVA_CLASS(TCustomMemoSource)
 public:
  explicit TCustomMemoSource(TComponent* AOwner);
  ~TCustomMemoSource() override;

  // ---- Lines ----
  virtual TInternalStrings* Strings() const { return strings_.get(); }
  TStrings* Lines() const;
  // Assign into the Lines adapter.
  void SetLines(const TStrings* Value);
  std::int32_t LineCount() const { return strings_->GetCount(); }
  TStringItem* LineItem(std::int32_t Line) const { return strings_->Item(Line); }
  // The stored text of a line (tabs as stored); empty outside the range.
  const std::u32string& LineText(std::int32_t Line) const { return strings_->TextAt(Line); }
  // True while text is loaded in bulk (no per-line bookkeeping).
  bool QuickLoad() const { return quickLoad_; }

  // ---- Update protocol ----
  void BeginUpdate(std::int32_t Code);
  // At the outermost level also keeps copies of the selection and caret,
  // which the outermost EndUpdate restores.
  void BeginSafeUpdate(std::int32_t Code);
  virtual void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  TStoreState StoreState() const { return storeState_; }
  void SetStoreState(TStoreState Value) { storeState_ = Value; }
  void IncludeState(TStoreStateBit Bit) { storeState_.Include(Bit); }
  std::int32_t ChangeCode() const { return changeCode_; }
  TLineRange ChangedRange() const { return changedRange_; }
  // Sets ssTextChanged and widens ChangedRange.
  void MarkTextChanged(std::int32_t First, std::int32_t Last);
  void MarkLinesChanged(std::int32_t First, std::int32_t Last);

  // Opens an update (a safe one with TUpdateKind::Safe) and closes it
  // whatever happens. While an exception passes, an exception from closing
  // it is dropped, so the first one goes on.
  enum class TUpdateKind { Plain, Safe };
  class TUpdateGuard {
   public:
    TUpdateGuard(TCustomMemoSource& Source, std::int32_t Code, TUpdateKind Kind = TUpdateKind::Plain);
    ~TUpdateGuard() noexcept(false);
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

   private:
    TCustomMemoSource& source_;
    int exceptions_;
  };

  // An equal listener is removed first. With NotifyNow an update marks every
  // line changed with kRedrawAllState. A listener running on a component is
  // dropped when that component is freed.
  void AddListener(bool NotifyNow, const TNotifierMethod& Method);
  void RemoveListener(const TNotifierMethod& Method);
  TNotifierList* Listeners() const { return listeners_.get(); }
  virtual void NotifyListeners(std::int32_t First, std::int32_t Last);

  // ---- Caret and selection ----
  // Columns are display columns: code points with each tab expanded to the
  // next stop.
  TMemoPos Caret() const { return caret_; }
  std::int32_t CaretChar() const { return caret_.Char; }
  std::int32_t CaretLine() const { return caret_.Line; }
  // A programmatic placement (through MoveCaret, with the manual-position
  // flag set: a hidden target line opens its fold).
  void SetCaret(std::int32_t Char, std::int32_t Line);
  void SetCaretChar(std::int32_t Char) { SetCaret(Char, caret_.Line); }
  void SetCaretLine(std::int32_t Line) { SetCaret(caret_.Char, Line); }
  void SetCaretPoint(TMemoPos P) { SetCaret(P.Char, P.Line); }
  TMemoPos GetCaretPoint() const { return caret_; }
  TSelectionType SelectionType() const { return selectionType_; }
  TMemoPos SelectionStart() const { return selStart_; }
  TMemoPos SelectionEnd() const { return selEnd_; }
  // Sets type and ends as they are (no update of its own).
  void SetSelection(TSelectionType Type, TMemoPos Start, TMemoPos End);
  TFoundRect FoundRect() const { return foundRect_; }
  void SetFoundRect(const TFoundRect& Value) { foundRect_ = Value; }
  bool Modified() const { return modified_; }
  // Unchanged: nothing. Otherwise an update with code 49; turning it off
  // makes the newest text-changing undo record the save point. With Force
  // the force-modified flag is set to Value first.
  void SetModified(bool Value);
  void SetModified(bool Value, bool Force);
  bool ForceModified() const { return forceModified_; }
  // Forced, or any text-changing undo record after the save point.
  bool ComputeModified() const;
  std::int32_t SavePoint() const { return savePoint_; }

  // ---- Edit primitives: every change of the text goes through these ----
  virtual void MoveCaret(std::int32_t LineDelta, std::int32_t CharDelta);
  // One line of text at the caret, which stays; true when inserted.
  // InsertedLength tells how far to move the caret.
  virtual bool InsertText(const std::u32string& Text);
  // Count stored characters at the caret (a tab is one); kMaxInt: to the end.
  virtual void DeleteChars(std::int32_t Count);
  virtual void InsertLineBreak();
  // Joins the next line when the caret is at or past the line end.
  virtual void DeleteLineBreak();
  std::int32_t InsertedLength() const { return insertedLength_; }
  // Inserts with Colors as the colour bytes; answers InsertedLength.
  std::int32_t InsertTextWithColor(const std::u32string& Text, const std::string& Colors);
  // The colour byte text typed at (Char, Line) gets; URL bytes are skipped.
  std::uint8_t AttributeAt(std::int32_t Char, std::int32_t Line);
  // -1 none; otherwise typed text gets this colour byte.
  std::int32_t ForcedAttribute = -1;
  // Removes blanks (0..32) at the end of the caret line: with KeepCaret as
  // an undoable deletion, without it unrecorded unless a tab is among them
  // (such blanks stay while undoing). Nothing when trailing blanks are kept.
  void TrimTrailingBlanks(bool KeepCaret);

  // ---- Caret commands ----
  void LineUp() { MoveCaret(-1, 0); }
  void LineDown() { MoveCaret(1, 0); }
  void CharLeft();
  void CharRight();
  void CaretLeftOverTab();
  void CaretRightOverTab();
  void CaretToTextStart() { SetCaret(0, 0); }
  void CaretToTextEnd();
  void LineStart() { MoveCaret(0, -caret_.Char); }
  void LineEnd();
  void GotoBlockBegin();
  void GotoBlockEnd();
  void WordRight();
  void WordLeft();

  // ---- Editing commands ----
  // A command with a change code runs in one update with that code, so one
  // Undo reverts it whole. Read-only lines are left as they are.
  // Typing replaces the selection: with at most one update open,
  // soOverwriteBlocks on, soPersistentBlocks off and a selection, deletes
  // it and answers true.
  bool OverwriteSelection();
  // Backspace (8): at column 0 joins the line above; after leading spaces
  // with soBackUnindents back to the word start of the nearest less
  // indented line above; past the line end only moves left.
  void DeleteCharLeft();
  // Delete (no code of its own): the character at the caret, or the next
  // line's break at the line end.
  void DeleteChar();
  void DeleteLine();         // 9
  void DeleteToLineStart();  // 10
  void DeleteToLineEnd() { DeleteChars(kMaxInt); }
  void DeleteWordRight();   // 33
  void DeleteWordOrJoin();  // 33: to the word end, or the line break at the end
  void DeleteWordLeft();    // 34
  void ClearText();         // 58
  // Case changes map one code point at a time (simple case mapping), so
  // lengths and colour bytes stay aligned.
  void UpperCaseBlock();   // 25
  void LowerCaseBlock();   // 26
  void ToggleCaseBlock();  // 27: upper when that differs, else lower
  void CapitalizeBlock();  // 64: each word's first character upper, the rest lower
  void UpperCaseWord();    // 36
  void LowerCaseWord();    // 35
  void CapitalizeWord();   // 62
  void QuoteBlock();       // 67: ">" before every selected line
  // Non-empty selected lines get the tab string (while one is set) or
  // BlockIndent spaces in front (65); unindenting removes the characters
  // 0..32 among as many leading characters (66).
  void IndentBlock();
  void UnindentBlock();
  // "['", a new GUID braced and in upper case, "']", as a text block.
  void InsertGuid();
  // Text split at CR, LF or CR LF and inserted as a stream (39); the
  // selection is then as it was.
  void InsertTextBlock(const std::string& Text);
  // Tabs become SpacesInTab spaces unless tab characters are kept.
  void InsertLines(const TStrings& Lines, bool AsBlock);
  // Inserts at the caret (21) and selects what was inserted: one line, or
  // a block's lines at the caret column of successive lines (lines are
  // added at the end of the text as needed), or a stream that splits the
  // caret line. Colors, when given, holds one colour string per line.
  void InsertLinesRaw(const std::vector<std::u32string>& Lines, const std::vector<std::string>* Colors, bool AsBlock);
  // The selected lines inserted at the caret as a block or stream (69).
  void CopyBlock();
  // The selection moved or copied to the caret (23); false, and nothing
  // done, when the caret lies inside the selection or a selected line is
  // read-only (a move there would copy).
  bool MoveBlock();
  bool CopyBlockToCaret();
  // The selected lines as stored, joined by CR LF, on the clipboard;
  // ClipboardBlockFlag tells whether they were a block. Without a selection
  // the clipboard is emptied with soForceCutCopy (copy) or always (cut).
  virtual void CopyToClipboard();
  virtual void CutToClipboard();  // 20
  // The clipboard's text as lines (a final line break adds an empty line),
  // after OnPasteFromClipboard, inserted as a block only when this program
  // put a block there.
  virtual void PasteFromClipboard();
  virtual void DoPasteFromClipboard(TStrings* Strings);
  TStringsEvent OnPasteFromClipboard;
  // Runs Selector and then Action in one update with Code; the selection
  // type and ends (following the edit) come back afterwards, and with
  // RestoreCaret the caret too.
  using TSourceProc = void (*)(TCustomMemoSource& Source);
  void KeepSelectionDo(std::int32_t Code, bool RestoreCaret, TSourceProc Action, TSourceProc Selector);
  // Replaces each selected line (as stored, with its colour data) by Fn's
  // result in one update with Code; the selection then covers the new text
  // and the caret stays. Nothing when a selected line is read-only.
  using TLineTransform = void (*)(const TCustomMemoSource& Source, std::u32string& Text, std::string& Colors);
  void TransformSelectedLines(std::int32_t Code, TLineTransform Fn);

  // ---- Overwrite mode, shared by every store ----
  static bool OverwriteMode();
  // Changed: stored, and this store announces ssOverwriteChanged (41).
  void SetOverwriteMode(bool On);
  void ToggleInsertMode() { SetOverwriteMode(!OverwriteMode()); }
  // Whether the text this program last put on the clipboard was a block.
  static bool ClipboardBlockFlag();
  static void SetClipboardBlockFlag(bool Value);

  // ---- Indentation ----
  // Tab (52, in an undo block): to the next stop, or with soSmartTab to the
  // indentation or next word of the line above; over several selected
  // lines it indents them.
  void IndentOrTab();
  // Back to the previous stop, or over several selected lines an unindent
  // by the width up to the next stop.
  void UnindentOrBackTab();
  // Enter (40): splits the line and indents the new one (soAutoIndent,
  // soUsePrevIndent, soOptimalFill); in overwrite mode only moves to the
  // next line.
  virtual void BreakLine();
  // TabStopColumn(K), or with soSmartTab and a line above longer than
  // Column: its first non-blank when that lies after Column, else the start
  // of its next word. The caret, selection and options stay.
  std::int32_t SmartTabColumn(int K, std::int32_t Column, std::int32_t Line);

  // ---- Tabs ----
  // 0-based text index of a display column; a column inside a tab's
  // expansion gives the index after the tab; past the end counts on.
  std::int32_t ColumnToIndex(const std::u32string& Text, std::int32_t Column) const;
  // Display length of Text with its tabs expanded.
  std::int32_t DisplayLength(const std::u32string& Text) const;
  // FromEnd false: the 1-based place of Column inside a tab's expansion (1
  // when not inside); true: the columns from Column + 1 to its end.
  std::int32_t TabSpanAt(std::int32_t Column, std::int32_t Line, bool FromEnd);
  // Delta moves a target inside a tab's expansion to its nearer edge (the
  // end on a tie).
  void SnapToTabStop(std::int32_t Line, std::int32_t Column, std::int32_t& Delta);
  std::u32string GetDisplayLine(std::int32_t Line, bool Special, char32_t TabSymbol, char32_t SpaceSymbol);
  std::string ExpandedColorData(std::int32_t Line);

  // ---- Positions and selection ----
  // A copy of P that follows edits like the selection ends; owned by the
  // store until released.
  TMemoPos* TrackPosition(TMemoPos P);
  void ReleasePosition(TMemoPos* P);
  // SetCaret to the copy, then releases it.
  void RestoreCaret(TMemoPos* P);
  // Moves tracked positions and selection ends for an edit at the caret:
  // 1 text inserted, 2 line break inserted, 3 line break removed, 4 text
  // deleted (Count columns). The caret never moves here.
  void AdjustPositions(int Kind, std::int32_t Count);
  void ResetPositions();
  void ToSelectionRelative(std::int32_t& X, std::int32_t& Y) const;
  void FromSelectionRelative(std::int32_t& X, std::int32_t& Y) const;
  virtual void AdjustSelectionType(TSelectionType& Type);
  TMethodPointer<void(TObject* Sender, TSelectionType& Type)> OnGetSelectionType;
  void SetSelectionType(TSelectionType Type);
  void ClearSelection() { SetSelectionType(stNone); }
  bool HasSelection() const { return selectionType_ != stNone; }
  TBlockOption BlockOption() const { return blockOption_; }
  void SetBlockOption(TBlockOption Value);
  void SetSelectionBounds(TMemoPos Start, TMemoPos End);
  void SelectRange(TSelectionType Type, TMemoPos Start, TMemoPos End);
  // Runs Move (a caret command) and stretches the selection over it.
  void ExtendSelection(TSelectionType Type, void (TCustomMemoSource::*Move)());
  void MarkBlockBegin();
  void MarkBlockEnd();
  void SelectAll();
  void SelectLine();
  void SelectWord(int Mode);
  void SelectToWordEnd();
  // 1-based start and end of the word around Column (0, 0 for an empty
  // line); mode 1 adds one following space, mode 2 all following
  // delimiters. Found when start < end, or start = end > 0.
  void FindWordBounds(std::int32_t Column, std::int32_t Line, int Mode, std::int32_t& Start, std::int32_t& End);
  std::u32string WordAt(std::int32_t Column, std::int32_t Line);
  std::u32string WordAtCaret() { return WordAt(caret_.Char, caret_.Line); }
  bool IsAtSelectionEdge(std::int32_t Char, std::int32_t Line) const;
  // Selected columns [From, To) of a line; [0, 0) when none.
  void SelectionSpanOnLine(std::int32_t Line, std::int32_t& From, std::int32_t& To) const;
  bool InSelection(std::int32_t Char, std::int32_t Line) const;
  void DeleteSelection();
  TStrings* SelectionStrings();

  // ---- Bookmarks (keys 1..255) ----
  void ToggleBookmark(int Key);
  void SetBookmark(int Key);
  void ClearBookmark(int Key);
  bool GetBookmark(int Key, std::int32_t& Char, std::int32_t& Line) const;
  void GotoBookmark(int Key);
  int BookmarkOnLine(std::int32_t Line) const;
  int BookmarkInSpan(std::int32_t Line, std::int32_t From, std::int32_t To) const;
  void BookmarksInSpan(std::int32_t Line, std::int32_t From, std::int32_t To, std::vector<int>& Keys) const;
  class TMemoBookMarkList* Bookmarks() const {
    return bookmarks_.get();
  }

  // ---- Find and replace (MemoSearch.cpp, MemoReplace.cpp) ----
  // They run on the global search options (SearchOptions.h) and search the
  // lines with their tabs expanded, or the selected text; columns are
  // display columns. A search never wraps around: at the end of the text
  // (forward) or its start (backward) it reports that nothing was found.
  // Reports (errors, "not found") go to DoSearchException first; when not
  // handled, an error in a pattern and "not found" are shown in a message
  // box, and the two selected-text errors raise Exception.
  //
  // FindNext and ReplaceNext start a new find or replace (FirstSearch on);
  // SearchAgain repeats the last one from the caret, and does nothing
  // before any (FirstSearch still on, or nothing to find).
  virtual void FindNext();
  virtual void ReplaceNext();
  virtual void SearchAgain();
  // Finds the next occurrence in an update (code 55): the found rectangle
  // covers it, the caret goes after it (forward) or to its start
  // (backward), and with soSelectFoundText it is selected unless the search
  // runs inside the selection. Length is its length in columns.
  bool FindNextCore(std::int32_t& Length);
  // Replaces once, or with ReplaceAll every occurrence until none is left;
  // nothing on a read-only store. A replacement deletes the stored
  // characters the match covers (a tab partly covered at the start keeps
  // its uncovered part as spaces) and inserts ReplaceWith.
  void ReplaceCore();
  std::int32_t ReplacedCount() const { return replacedCount_; }
  // With soFindTextAtCursor TextToFind becomes the word at the caret; the
  // scope becomes the selected text when the caret lies in the selection
  // or on its edge, else global.
  void PrepareSearchOptions();
  void ToggleCaseSensitiveSearch();
  void ToggleRegExprSearch();
  // Handled starts as !UseModalDialogs(); OnSearchException may change it.
  virtual bool DoSearchException(const std::string& Message);
  virtual void DoBeforeFindReplace(std::int32_t Kind);
  TSearchExceptionEvent OnSearchException;
  TBeforeFindReplaceHook BeforeFindReplaceHook;

  // ---- Brackets (MemoBrackets.cpp) ----
  // The bracket is the character at the caret, or the one selected when the
  // selection is one character on one line. A character coloured as a
  // string (1) or comment (2) is no bracket, unless the parser is the plain
  // one; a bracket skipped that way is not counted while scanning either.
  // The caret moves (code 2) onto the matching bracket, and stays when there
  // is none.
  void GotoMatchingBracket();
  void BracketForward();
  void BracketBackward();

  // While one is alive, a caret move keeps a selection that is not
  // persistent (EndUpdate would otherwise drop it).
  class TDeselectionGuard {
   public:
    explicit TDeselectionGuard(TCustomMemoSource& Source) : source_(Source) { ++source_.keepSelection_; }
    ~TDeselectionGuard() { --source_.keepSelection_; }
    TDeselectionGuard(const TDeselectionGuard&) = delete;
    TDeselectionGuard& operator=(const TDeselectionGuard&) = delete;

   private:
    TCustomMemoSource& source_;
  };

  // ---- Undo ----
  void BeginUndoBlock();
  void EndUndoBlock();
  bool CanUndo() const;
  virtual void Undo();
  virtual void Redo();
  class TUndoList* UndoList() const {
    return undoList_.get();
  }
  class TUndoList* RedoList() const {
    return redoList_.get();
  }

  // ---- Colouring ----
  TSimpleParser* SyntaxParser() const { return parser_; }
  void SetSyntaxParser(TSimpleParser* Value);
  // The state line 0 starts in.
  std::int32_t DefaultParserState = 0;
  std::int32_t FirstUnparsed() const { return firstUnparsed_; }
  // Brings lines First..Last up to date; answers the highest line after
  // which an end state changed during the call, -1 when none.
  std::int32_t ParseLineRange(std::int32_t First, std::int32_t Last, bool Force);
  // Parses from FirstUnparsed to 100 lines past Line.
  void ParseAhead(std::int32_t Line, bool Force);
  std::string LineColorData(std::int32_t Line);
  // After an edit inside one line: re-colours it at once, and marks the rest
  // of the text changed when its end state or measure changed.
  void LineTextChanged(std::int32_t Line);
  // Drops all colour data (code 57): ssReparseAll, lines (0, kMaxInt).
  void ReparseAll();
  // A listener of the parser: its words changed.
  virtual void RecolourPending(TComponent* Sender, void* List, std::int32_t Param);
  virtual void DoAfterParse(std::int32_t Line, const std::u32string& Text, std::string& Colors);
  bool IsPlainSyntaxParser() const;

  // The focused editor showing the store, or nullptr; forgotten when freed.
  TComponent* ActiveEditor() const { return activeEditor_; }
  void SetActiveEditor(TComponent* Editor);
  // Set by the editor while it pastes rich text: the last line is then
  // left to be coloured when the paste is done.
  bool Importing = false;

  TCaretHook CaretHook;
  TMeasureLineHook MeasureLineHook;
  TAfterParseHook AfterParseHook;
  // Set only while CaretHook is asked for an indentation column.
  bool IndentQuery = false;

  // ---- Longest line ----
  void TrackMaxLineLength(bool On);
  void UpdateMaxLineLength();
  std::int32_t LineDisplayLength(std::int32_t Line);
  std::int32_t MaxLineLength() const { return maxLineLength_; }
  std::int32_t MaxLineIndex() const { return maxLineIndex_; }

  // ---- Options (setters store only a changed value) ----
  TStringsOptions Options() const { return options_; }
  // soSmartTab and soUseTabCharacter exclude each other: turning tab
  // characters on drops smart tabs; adding smart tabs while tab characters
  // were on drops them. Turning soBeyondFileEnd off pulls a caret below the
  // last line to the end of the text.
  void SetOptions(TStringsOptions Value);
  const std::string& TabStops() const { return tabStops_; }
  // Comma-separated ascending columns above 0; an empty text changes
  // nothing; a non-number raises EConvertError, a descending, non-positive
  // or above kMaxTabStop stop EGeneralError kInvalidTabRackText, and the old
  // stops stay.
  void SetTabStops(const std::string& Value);
  std::int32_t TabStopColumn(int Index) const;
  std::int32_t LastTabInterval() const;
  // Each tab replaced by spaces up to the next stop.
  std::u32string ExpandTabs(const std::u32string& Text) const;
  const std::string& Delimeters() const { return delimeters_; }
  // The delimiter set becomes 0..32 plus the characters of the text.
  void SetDelimeters(const std::string& Value);
  const TCharSet256& DelimiterSet() const { return delimiterSet_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  std::int32_t BlockIndent() const { return blockIndent_; }
  void SetBlockIndent(std::int32_t Value);  // max(Value, 0)
  std::int32_t SpacesInTab() const { return spacesInTab_; }
  void SetSpacesInTab(std::int32_t Value);  // outside 1..10 gives 8
  bool HighlightUrls() const { return highlightUrls_; }
  void SetHighlightUrls(bool Value);
  TOutFormatType OutFormat = ofWindows;
  bool AllowUndo() const { return allowUndo_; }
  void SetAllowUndo(bool Value);
  std::int32_t UndoLimit() const { return undoLimit_; }
  void SetUndoLimit(std::int32_t Value);
  bool UseGlobalOptions() const { return useGlobalOptions_; }
  // Turning it on first applies the global options to the store.
  virtual void SetUseGlobalOptions(bool Value);
  // Only the global options set it; a store that never followed them keeps
  // no trailing blanks.
  bool KeepTrailingBlanks() const { return keepTrailingBlanks_; }
  void SetKeepTrailingBlanks(bool Value) { keepTrailingBlanks_ = Value; }
  std::string Version;

  // ---- Code templates ----
  TMemoCodeTemplates* CodeTemplates() const { return templates_.get(); }
  void SetCodeTemplates(const TMemoCodeTemplates* Value);
  const std::string& TemplatesType() const { return templatesType_; }
  // A registered kind's name: stored, and its fill procedure (when it has
  // one) refills CodeTemplates. Any other name changes nothing.
  void SetTemplatesType(const std::string& Value);

  // ---- Files ----
  // Raises the file stream's error when the file cannot be opened; the store
  // is then unchanged.
  virtual void LoadFromFile(const std::string& FileName);
  // Lines' bytes (see SaveToStream of Lines) go to a new file beside the
  // target, with the target's permission bits, which then replaces the
  // target; a failed write raises EInOutError and leaves the old file whole.
  virtual void SaveToFile(const std::string& FileName);
  void LoadFromStream(TStream& Stream);
  // BackupFileName, then OnGetBackupName.
  virtual std::string GetBackupName(const std::string& FileName);
  TGetBackpNameEvent OnGetBackupName;

  const std::string& ObjectName() const { return objectName_; }
  const std::string& PreviousName() const { return previousName_; }
  virtual bool SetObjectName(const std::string& Name);
  virtual bool RenameSource(const std::string& Name) { return SetObjectName(Name); }
  virtual bool IsReadOnly() const { return readOnly_; }

  // ---- Line states and folding ----
  bool IsLineReadOnly(std::int32_t Line) const;
  // Bit 0..7 of LineFlags; false when nothing changed. Widens the changed
  // range to (Line, LastLine) with ssSelectionChanged, never ssTextChanged.
  bool SetLineFlag(std::int32_t Line, std::int32_t LastLine, int Bit, bool On);
  std::uint8_t LineStyle(std::int32_t Line) const;
  void SetLineStyle(std::int32_t Line, std::uint8_t Style);
  // Lasts until the next update of any kind.
  virtual void SetTempLineStyle(std::int32_t Line, std::uint8_t Style);
  virtual void ClearTempLineStyle();
  bool LineGutterBit(std::int32_t Line, int Bit) const;
  void RepaintLine(std::int32_t Line);
  // 1 expanded header, 0 collapsed header, 2 no header.
  int FoldState(std::int32_t Line) const;
  void SetFoldState(std::int32_t Line, int State);
  void SetLineVisible(std::int32_t Line, bool Visible);
  bool IsLineVisible(std::int32_t Line) { return !hiddenLines_->IsHidden(Line); }
  std::int32_t RealToVisibleLine(std::int32_t Real) { return hiddenLines_->RealToVisible(Real); }
  std::int32_t VisibleToRealLine(std::int32_t Visible) { return hiddenLines_->VisibleToReal(Visible); }
  TVisibleLinesList* HiddenLines() const { return hiddenLines_.get(); }

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

 protected:
  virtual TStringItemClass StringItemClass() const { return MakeStringItem; }
  // ClearUndo empties both lists, ClearRedo the redo list.
  virtual void ClearUndo();
  virtual void ClearRedo();
  // Nothing with AllowUndo off; otherwise a record on the current side.
  struct TUndoRecord* NewUndoRecord(std::uint8_t Kind);

 private:
  friend class TExternalStrings;

  void ApplyRegion(std::int32_t Header);
  void MarkUrls(std::int32_t Line, TStringItem& Item);
  void ParseLine(std::int32_t Line, TStringItem& Item, std::int32_t& State);
  void ShiftPositions(std::int32_t Line, std::int32_t Delta);
  void PlaceCaret(std::int32_t Char, std::int32_t Line) { caret_ = {std::max(Char, 0), std::max(Line, 0)}; }
  void TrimUndo();
  void ApplyReverse(const struct TUndoRecord& R);
  void RunUndo();
  bool KeepsColors() const;
  void ShiftBookmarkChars(std::int32_t Line, std::int32_t From, std::int32_t Delta);
  void ShiftBookmarkLines(std::int32_t Line, std::int32_t From, std::int32_t Delta);
  void ShiftHiddenLines(std::int32_t After, std::int32_t Delta);
  void FitColors(TStringItem& Item) const;
  void MoveCaretOrSnap(std::int32_t Column);
  void TellListenersOfRemoval();
  // Incoming text: tabs replaced by SpacesInTab spaces unless tab characters
  // are kept.
  std::u32string ConvertTabs(std::u32string Text) const;

  std::unique_ptr<TInternalStrings> strings_;
  std::unique_ptr<TExternalStrings> lines_;
  std::unique_ptr<TNotifierList> listeners_;
  std::unique_ptr<TVisibleLinesList> hiddenLines_;
  bool quickLoad_ = false;

  int updateCount_ = 0;
  TStoreState storeState_;
  std::int32_t changeCode_ = 0;
  TLineRange changedRange_{kMaxInt, -kMaxInt};
  std::int32_t oldLineCount_ = 0;
  TFoundRect foundRect_, oldFoundRect_;
  bool oldModified_ = false;

  TMemoPos caret_, oldCaret_, selStart_, selEnd_, oldSelStart_, oldSelEnd_;
  TSelectionType selectionType_ = stNone, oldSelectionType_ = stNone;
  bool safeUpdate_ = false;
  TMemoPos safeCaret_, safeSelStart_, safeSelEnd_;
  TSelectionType safeSelectionType_ = stNone;
  bool modified_ = false;
  bool forceModified_ = false;
  std::int32_t savePoint_ = -1;
  std::unique_ptr<TUndoList> undoList_, redoList_;
  bool redoSide_ = false;
  bool firstRecord_ = false;
  std::int32_t undoBlock_ = 0;
  bool manualPosition_ = false;
  bool bookmarkJump_ = false;
  bool keepAttrOnce_ = false;
  std::int32_t insertedLength_ = 0;
  std::string pendingColors_;
  bool havePendingColors_ = false;
  std::vector<std::unique_ptr<TMemoPos>> tracked_;
  std::unique_ptr<TMemoBookMarkList> bookmarks_;
  std::unique_ptr<TStrings> selectionStrings_;
  TBlockOption blockOption_ = bkBoth;
  std::u32string tabString_;
  std::unique_ptr<TMemoCodeTemplates> templates_;
  std::string templatesType_ = "None";

  TSimpleParser* parser_ = nullptr;
  TComponent* activeEditor_ = nullptr;
  std::int32_t firstUnparsed_ = 0;
  std::int32_t stateChangedLine_ = -1;
  std::int32_t tempStyleLine_ = -1;
  std::uint8_t tempStyleOld_ = 0;

  bool trackMaxLine_ = false;
  std::int32_t maxLineLength_ = 0;
  std::int32_t maxLineIndex_ = -1;

  TStringsOptions options_ = kDefaultStringsOptions;
  std::string tabStops_;
  std::vector<std::int32_t> tabStopList_;
  std::string delimeters_;
  TCharSet256 delimiterSet_;
  bool readOnly_ = false;
  std::int32_t blockIndent_ = 1;
  std::int32_t spacesInTab_ = 8;
  bool highlightUrls_ = false;
  bool allowUndo_ = true;
  std::int32_t undoLimit_ = 0;
  bool useGlobalOptions_ = false;
  bool keepTrailingBlanks_ = false;
  std::string objectName_, previousName_;
  bool destroying_ = false;
  bool listenersTold_ = false;

  // Find and replace.
  bool SearchStrings(TStrings& Lines, struct TSearchPos& Position, int& Length);
  bool ReplaceOnce();
  void ReplaceLoop(int Level);
  void ReplaceFound(std::int32_t Length);
  bool MatchingBracket(TMemoPos& At, char32_t& Bracket);
  void ScanBrackets(TMemoPos From, char32_t Open, char32_t Close, bool Forward);
  std::int32_t replacedCount_ = 0;
  int keepSelection_ = 0;
};

// The store with its properties published: Options, SyntaxParser, TabStops,
// Delimeters, Lines, ReadOnly, BlockIndent, SpacesInTab, TemplatesType,
// HighlightUrls, BlockOption, OutFormat, AllowUndo, UndoLimit,
// UseGlobalOptions and Version.
class TMemoSource : public TCustomMemoSource {
  KESTOVA_CLASS(TMemoSource)
 public:
  using TCustomMemoSource::TCustomMemoSource;
};

// Every store, oldest first; created on first use. Not owning.
const std::vector<TCustomMemoSource*>& SourceList();
// The store of the last focused editor, or nullptr; cleared when it goes.
TCustomMemoSource* LastActiveSource();
void SetLastActiveSource(TCustomMemoSource* Source);
