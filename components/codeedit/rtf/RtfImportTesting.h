#pragma once
// Test helpers: the pieces an RTF text imports to, as compact text.

#include <string>

#include "components/codeedit/rtf/ZRImporter.h"
#include "platform/graphics/GraphicsObjects.h"

// CR, LF and tab shown as \r, \n and \t, so that piece lists stay one line each.
inline std::string ShowControls(const std::string& Text) {
  std::string out;
  for (char c : Text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

// One piece: "text|name/charset Npt cCOLOUR STYLES back", styles as the
// letters B, I, U, S or "-".
inline std::string DescribePiece(const std::string& Text, std::int32_t BackColor, const TFont& Font) {
  std::string styles;
  const TFontStyles s = Font.Style();
  if (s.Contains(TFontStyle::fsBold)) styles += 'B';
  if (s.Contains(TFontStyle::fsItalic)) styles += 'I';
  if (s.Contains(TFontStyle::fsUnderline)) styles += 'U';
  if (s.Contains(TFontStyle::fsStrikeOut)) styles += 'S';
  if (styles.empty()) styles = "-";
  return ShowControls(Text) + "|" + Font.Name() + "/" + std::to_string(Font.Charset()) + " " +
         std::to_string(Font.Size()) + "pt c" + std::to_string(Font.Color()) + " " + styles + " " +
         std::to_string(BackColor);
}

// Every piece of Rtf, one line each. When the import raises, the pieces
// handed over until then are in *Partial (when given) and the error passes on.
inline std::string RtfPieces(const std::string& Rtf, std::string* Partial = nullptr) {
  std::string out;
  TZRRtfImporter importer;
  importer.OnImportText = [&](TZRImporter*, const std::string& Text, std::int32_t BackColor, TFont* Font) {
    out += DescribePiece(Text, BackColor, *Font) + "\n";
    if (Partial) *Partial = out;
  };
  importer.Import(Rtf);
  return out;
}

// Only the pieces' texts, joined by "|".
inline std::string RtfPieceTexts(const std::string& Rtf, std::string* Partial = nullptr) {
  std::string out;
  TZRRtfImporter importer;
  importer.OnImportText = [&](TZRImporter*, const std::string& Text, std::int32_t, TFont*) {
    out += (out.empty() ? "" : "|") + ShowControls(Text);
    if (Partial) *Partial = out;
  };
  importer.Import(Rtf);
  return out;
}
