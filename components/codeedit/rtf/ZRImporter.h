#pragma once
// Formatted-text readers. An importer turns a formatted text into plain text
// pieces and hands each one to the host through OnImportText, with the font
// (name, charset, size in points, colour, styles) and the back colour that
// apply to it (-1 when there is none). Text reaches the host as UTF-8.
//
// TZRRtfImporter reads RTF: groups, font and colour tables, bold, italic,
// underline and strike-out, font and size changes, text and highlight
// colours, paragraph and line breaks, tabs, quotes, dashes, "\'hh" and
// "\uN" characters. Destinations such as style sheets, pictures and document
// information are skipped; other unknown words are ignored and the text in
// their groups is kept.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/Events.h"
#include "platform/core/Object.h"

class TFont;
class TStream;
class TZRImporter;

// Sender, one piece of text (UTF-8), its back colour (-1: none) and its font.
// The font belongs to the importer and changes between pieces.
using TImportTextEvent =
    TMethodPointer<void(TZRImporter* Sender, const std::string& Text, std::int32_t BackColor, TFont* Font)>;

class TZRImporter : public TObject {
  KESTOVA_CLASS(TZRImporter)
 public:
  TZRImporter();
  ~TZRImporter() override;
  TZRImporter(const TZRImporter&) = delete;
  TZRImporter& operator=(const TZRImporter&) = delete;

  TImportTextEvent OnImportText;
  TFont& Font() { return *font_; }

  // Raises OnImportText when it is assigned.
  virtual void DoText(const std::string& Text, TFont* Font, std::int32_t BackColor);
  // True when the stream holds data this importer reads.
  virtual bool CanImport(TStream& Stream) = 0;
  // Reads Text (the data as bytes) and hands over its pieces in order.
  virtual void Import(const std::string& Text) = 0;

 private:
  std::unique_ptr<TFont> font_;
};

class TZRRtfImporter : public TZRImporter {
  KESTOVA_CLASS(TZRRtfImporter)
 public:
  // True when the stream holds more than 4 bytes and starts with "{\rtf".
  // The position is set back to 0 whenever the stream was read.
  bool CanImport(TStream& Stream) override;
  // Text holds the RTF bytes, read as Windows-1252. A NUL byte counts as an
  // ignored control character, so the text after it is still read. "\f",
  // "\pnf", "\highlight", "\red", "\green" and "\blue" without a number
  // raise EConvertError, which ends the import; the pieces handed over by
  // then stay with the host. A piece never contains U+0000.
  void Import(const std::string& Text) override;
};
