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

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

#include "components/base/MessageBroadcast.h"
#include "components/base/SimpleParser.h"
#include "components/codeedit/MemoTypes.h"
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

// 0..255; code points from 256 up are never members.
using TCharSet256 = std::bitset<256>;

inline constexpr const char* kInvalidTabRackText = "Invalid Tab Rack";

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
  TMemoPos Caret() const { return caret_; }
  // Places the caret (programmatically); no hook is asked.
  void SetCaret(std::int32_t Char, std::int32_t Line);
  // Asks CaretHook, then moves by the deltas (not below 0); code 2.
  void MoveCaret(std::int32_t LineDelta, std::int32_t CharDelta);
  void CaretToTextEnd();
  TSelectionType SelectionType() const { return selectionType_; }
  TMemoPos SelectionStart() const { return selStart_; }
  TMemoPos SelectionEnd() const { return selEnd_; }
  void SetSelection(TSelectionType Type, TMemoPos Start, TMemoPos End);
  TFoundRect FoundRect() const { return foundRect_; }
  void SetFoundRect(const TFoundRect& Value) { foundRect_ = Value; }
  bool Modified() const { return modified_; }
  void SetModified(bool Value);

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
  // nothing; a non-number raises EConvertError, a descending or non-positive
  // stop EGeneralError kInvalidTabRackText, and the old stops stay.
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
  TBlockOption BlockOption = bkBoth;
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
  std::string TemplatesType = "None";

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
  // The undo and redo lists hang here; the store alone keeps none.
  virtual void ClearUndo() {}
  virtual void ClearRedo() {}

 private:
  friend class TExternalStrings;

  void ApplyRegion(std::int32_t Header);
  void MarkUrls(std::int32_t Line, TStringItem& Item);
  void ParseLine(std::int32_t Line, TStringItem& Item, std::int32_t& State);
  void ShiftPositions(std::int32_t Line, std::int32_t Delta);
  void ResetPositions();
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
