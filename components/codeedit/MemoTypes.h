#pragma once
// The value types of the code editor's text store: options, store-state bits,
// line flags, change codes, selection kinds and line-break formats.

#include <climits>
#include <cstdint>

#include "platform/classes/TypInfo.h"
#include "platform/core/Set.h"

// The largest line number; "to the end of the text" in changed-line ranges.
inline constexpr std::int32_t kMaxInt = INT32_MAX;

// Options of a text store, stored as a 32-bit set in this order.
enum TStringsOption : std::uint8_t {
  soBackUnindents,
  soGroupUndo,
  soBeyondFileEnd,
  soForceCutCopy,
  soAutoIndent,
  soSmartTab,
  soFindTextAtCursor,
  soCreateBackups,
  soPersistentBlocks,
  soOverwriteBlocks,
  soLimitEOL,
  soUseTabCharacter,
  soCursorOnTabs,
  soOptimalFill,
  soSelectFoundText,
  soExcludeReadOnlyLines,
  soCursorAlwaysOnTabs,
  soUsePrevIndent,
  soRetainColumn,
};
using TStringsOptions = TSet<TStringsOption>;
// [soBackUnindents, soGroupUndo, soForceCutCopy, soAutoIndent, soSmartTab,
// soFindTextAtCursor, soOverwriteBlocks]: 635.
inline constexpr TStringsOptions kDefaultStringsOptions = TStringsOptions::FromBits(635);

// What changed during an update; listeners read the set from the store.
enum TStoreStateBit : std::uint8_t {
  ssCaretMoved = 0,        // caret moved, or a bookmark jump
  ssTextChanged = 1,       // some line's text changed
  ssUndoing = 2,           // the update is an undo or redo
  ssSelectionChanged = 3,  // selection, or a line's style, flags or gutter bits
  ssOverwriteChanged = 4,
  ssLineCountChanged = 5,  // line count changed, or lines hidden or shown
  ssModifiedChanged = 6,
  ssFoundChanged = 7,
  ssNameChanged = 8,
  ssReparseAll = 10,  // all colour data was dropped
  ssReadOnlyChanged = 11,
};
using TStoreState = TSet<TStoreStateBit>;
// Everything a listener must redraw after a load or on joining (1405); it
// holds no ssTextChanged, so such an update neither sets the modified flag
// nor clears the redo list.
inline constexpr TStoreState kRedrawAllState = TStoreState::FromBits(1405);

// LineFlags bits of a line item.
inline constexpr std::uint8_t lfParsed = 0x01;  // ColorData and EndState are valid
inline constexpr std::uint8_t lfReadOnly = 0x02;
inline constexpr std::uint8_t lfFoldMember = 0x04;  // belongs to the region of the header above
inline constexpr std::uint8_t lfExpanded = 0x08;    // expanded fold header
inline constexpr std::uint8_t lfCollapsed = 0x10;   // collapsed fold header
// Bit numbers of the same flags, as SetLineFlag takes them.
inline constexpr int kReadOnlyBit = 1;
inline constexpr int kFoldMemberBit = 2;

// The colour byte that URL marking gives the characters of a link.
inline constexpr char kUrlStyle = 12;

enum TSelectionType : std::uint8_t { stNone, stStream, stBlock };
// Which selections the store allows.
enum TBlockOption : std::uint8_t { bkStreamSel, bkBlockSel, bkNone, bkBoth };
// Line breaks written by SaveToFile: CR LF, LF or CR.
enum TOutFormatType : std::uint8_t { ofWindows, ofUnix, ofMac };

// The change code of an update: written into the undo records made during it
// and read by listeners.
namespace ChangeCode {
inline constexpr std::int32_t CaretMove = 2;
inline constexpr std::int32_t DeleteLineBreak = 3;
inline constexpr std::int32_t InsertLineBreak = 4;
inline constexpr std::int32_t InsertText = 5;
inline constexpr std::int32_t DeleteChars = 6;
inline constexpr std::int32_t DeleteLine = 9;
inline constexpr std::int32_t MarkBlockBegin = 11;
inline constexpr std::int32_t MarkBlockEnd = 12;
inline constexpr std::int32_t SelectionType = 13;
inline constexpr std::int32_t ExtendSelection = 16;
inline constexpr std::int32_t SelectionBounds = 17;
inline constexpr std::int32_t SelectAll = 18;
inline constexpr std::int32_t SelectLine = 19;
inline constexpr std::int32_t DeleteSelection = 22;
inline constexpr std::int32_t SelectWord = 30;
inline constexpr std::int32_t SelectRange = 31;
inline constexpr std::int32_t InsertTextBlock = 39;
inline constexpr std::int32_t SetBookmark = 45;
inline constexpr std::int32_t ClearBookmark = 46;
inline constexpr std::int32_t ResetPositions = 47;
inline constexpr std::int32_t LoadFromStream = 48;
inline constexpr std::int32_t SetModified = 49;
inline constexpr std::int32_t AddListener = 50;
inline constexpr std::int32_t RepaintLine = 53;
inline constexpr std::int32_t Replace = 54;
inline constexpr std::int32_t Find = 55;
inline constexpr std::int32_t Rename = 56;
inline constexpr std::int32_t DropColorData = 57;
inline constexpr std::int32_t Clear = 58;
inline constexpr std::int32_t PutLine = 59;
inline constexpr std::int32_t SetText = 60;
inline constexpr std::int32_t Loaded = 61;
inline constexpr std::int32_t SetLineStyle = 68;
inline constexpr std::int32_t ReadOnly = 70;
inline constexpr std::int32_t LineFlags = 73;
}  // namespace ChangeCode

// Change codes of the editing commands.
namespace ChangeCode {
inline constexpr std::int32_t DeleteCharLeft = 8;
inline constexpr std::int32_t DeleteToLineStart = 10;
inline constexpr std::int32_t Cut = 20;
inline constexpr std::int32_t InsertLines = 21;
inline constexpr std::int32_t MoveBlock = 23;
inline constexpr std::int32_t UpperCase = 25;
inline constexpr std::int32_t LowerCase = 26;
inline constexpr std::int32_t ToggleCase = 27;
inline constexpr std::int32_t DeleteWordRight = 33;
inline constexpr std::int32_t DeleteWordLeft = 34;
inline constexpr std::int32_t LowerCaseWord = 35;
inline constexpr std::int32_t UpperCaseWord = 36;
inline constexpr std::int32_t BreakLine = 40;
inline constexpr std::int32_t OverwriteMode = 41;
inline constexpr std::int32_t Tab = 52;
inline constexpr std::int32_t CapitalizeWord = 62;
inline constexpr std::int32_t Capitalize = 64;
inline constexpr std::int32_t IndentBlock = 65;
inline constexpr std::int32_t UnindentBlock = 66;
inline constexpr std::int32_t QuoteBlock = 67;
inline constexpr std::int32_t CopyBlock = 69;
}  // namespace ChangeCode

// A place in the text: Char is the column, Line the line, both from 0.
struct TMemoPos {
  std::int32_t Char = 0;
  std::int32_t Line = 0;
  friend bool operator==(const TMemoPos&, const TMemoPos&) = default;
};

// The text a search found, as lines Top..Bottom and columns Left..Right
// (Right exclusive). Empty when it covers no column.
struct TFoundRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left && Bottom <= Top; }
  friend bool operator==(const TFoundRect&, const TFoundRect&) = default;
};

// The lines a notice covers: First..Last, Last kMaxInt for "to the end".
struct TLineRange {
  std::int32_t First = 0;
  std::int32_t Last = 0;
  friend bool operator==(const TLineRange&, const TLineRange&) = default;
};

namespace TypeInfos {
const TTypeInfo* TStringsOption();
const TTypeInfo* TStringsOptions();
const TTypeInfo* TBlockOption();
const TTypeInfo* TOutFormatType();
}  // namespace TypeInfos
