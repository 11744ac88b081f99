#pragma once
// The RTF importer's parts: the converter with the font and colour tables,
// the record stack that builds each piece's font, and the main loop.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/codeedit/rtf/RtfParser.h"
#include "platform/graphics/GraphicsTypes.h"

class TFont;
class TZRImporter;

struct TRtfFontEntry {
  std::string Name;
  std::uint8_t Charset = 0;
};

// Font numbers map to entries; numbers outside 0..32767 are never stored, so
// a table costs what its entries cost, whatever numbers a text uses.
class TRtfFontTable {
 public:
  static constexpr std::int32_t kHighestNumber = 32767;
  void Set(std::int32_t Number, const TRtfFontEntry& Entry);
  // Stores Entry after the highest number (at 0 in an empty table).
  void Append(const TRtfFontEntry& Entry);
  // False when Number lies outside 0..the highest number stored. A number up
  // to it without an entry reads as the empty entry (no name, charset 0).
  bool Find(std::int32_t Number, TRtfFontEntry& Entry) const;
  bool Empty() const { return entries_.empty(); }

 private:
  std::map<std::int32_t, TRtfFontEntry> entries_;
};

// The formatting one open group adds to those around it.
struct TImportRecord {
  std::string FontName;  // empty: unset
  std::uint8_t Charset = 1;
  TFontStyles AddStyles;
  TFontStyles RemoveStyles;
  std::int32_t Color = -1;      // -1: unset
  std::int32_t Size = -1;       // points, -1: unset
  std::int32_t BackColor = -1;  // -1: none
  bool StylesChanged = false;
  bool BackColorChanged = false;
};

// The record stack and the text output: each piece gets the font built from
// every open record, bottom to top. The font built up to each record is kept,
// so a piece costs the same however deep the groups nest.
class TInternalImporter {
 public:
  TInternalImporter(TZRImporter& Owner, const TRtfFontTable& Fonts);
  ~TInternalImporter();

  void Push() { records_.emplace_back(); }
  // An unbalanced close is ignored.
  void Pop();
  void Clear();
  // The top record, for changing it; formatting before the first group
  // pushes one.
  TImportRecord& Top();
  // Resets the top record to the default font, 12 points, colour 0, no styles.
  void Plain();
  // Hands Text to the owner with the working font, unless it is empty.
  void Output(std::string_view Text);

 private:
  struct TBuiltFont {
    std::string Name;
    std::uint8_t Charset = 1;
    std::int32_t Size = -1;
    std::int32_t Color = -1;
    std::int32_t BackColor = -1;
    TFontStyles Style;
  };
  static TBuiltFont Apply(TBuiltFont Font, const TImportRecord& R);

  TZRImporter& owner_;
  const TRtfFontTable& fonts_;
  std::vector<TImportRecord> records_;
  std::vector<TBuiltFont> built_;  // built_[i]: records 0..i applied
  size_t builtValid_ = 0;          // built_[0..builtValid_) are up to date
  std::unique_ptr<TFont> font_;
  std::string defaultFontName_;
};

// The parser over the whole text and the tables read from it.
class TRTFConverter {
 public:
  // Text ends in a 0 code point and outlives the converter.
  explicit TRTFConverter(const char32_t* Text);
  virtual ~TRTFConverter();

 protected:
  // Reads the entries of a font table; "{\fonttbl" has been taken.
  void ReadFontTable();
  // Reads a colour table, starting at its "\colortbl".
  void ReadColorTable();
  // Steps over the rest of a group whose "{" has been taken.
  void SkipGroup();
  // The control word's parameter; raises EConvertError when there is none.
  std::int32_t TakeNumber();

  TZRRtfParser parser_;
  std::vector<std::int32_t> colors_;
  TRtfFontTable fonts_;

 private:
  std::int32_t color_ = 0;
};

class TRtfImporter : public TRTFConverter {
 public:
  TRtfImporter(TZRImporter& Owner, const char32_t* Text);
  ~TRtfImporter() override;
  void Run();

 private:
  // Each handler answers where the control word and its parameter end, or
  // nullptr when no delimiting blank can follow.
  const char32_t* ControlWord();
  const char32_t* UnknownWord();
  const char32_t* UnicodeChar();
  void Text();
  void GroupOpen();
  void HexRun();
  void SetStyle(TFontStyle Style, bool On);
  // Output, with a pending high surrogate resolved first.
  void Put(std::string_view Utf8);
  void PutUnit(char16_t Unit);
  void FlushSurrogate();

  TInternalImporter internal_;
  const char32_t* wordEnd_ = nullptr;
  char16_t highSurrogate_ = 0;
  bool header_ = false;
};
