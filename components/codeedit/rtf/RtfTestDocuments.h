#pragma once
// Test documents written with the RTF exporter, shared by the round-trip and
// the interoperability tests: formatted runs, lines of text and a table.

#include <functional>
#include <string>
#include <vector>

#include "components/codeedit/rtf/ZRExporter.h"
#include "platform/core/Streams.h"
#include "platform/graphics/GraphicsTypes.h"

// One run of text with the formatting it is written in.
struct TSampleRun {
  std::string Text;
  std::string Font;   // empty: the document's font
  int Size = 0;       // points; 0: the document's size
  TColor Color = -1;  // -1: the document's colour
  TColor Back = -1;   // -1: no highlight
  TFontStyles Styles;
};

// Neighbouring runs differ in their formatting, so each stays one piece.
inline const std::vector<TSampleRun>& SampleRuns() {
  using S = TFontStyle;
  static const std::vector<TSampleRun> runs = {
      {"plain ", "", 0, -1, -1, {}},
      {"bold", "", 0, -1, -1, {S::fsBold}},
      {"italic", "", 0, -1, -1, {S::fsItalic}},
      {"underline", "", 0, -1, -1, {S::fsUnderline}},
      {"strike", "", 0, -1, -1, {S::fsStrikeOut}},
      {"red", "", 0, clRed, -1, {}},
      {"marked", "", 0, -1, clYellow, {}},
      {"courier", "Courier New", 0, -1, -1, {}},
      {"big", "", 20, -1, -1, {}},
      {"all of them", "Liberation Sans", 9, clBlue, clAqua, {S::fsBold, S::fsItalic, S::fsUnderline, S::fsStrikeOut}},
      {"caf\xC3\xA9 \xE2\x82\xAC \xD0\x96\xD1\x83\xD0\xBA \xF0\x9F\x98\x80", "DejaVu Sans", 0, -1, -1, {}},
      {"tab\there {a} \\b", "", 0, -1, -1, {}},
      {"system colour", "", 0, clHighlight, -1, {}},
  };
  return runs;
}

// Lines of text, each ended by a line break.
inline const std::vector<std::string>& SampleLines() {
  static const std::vector<std::string> lines = {
      "caf\xC3\xA9 \xE2\x82\xAC", "\xD0\x96\xD1\x83\xD0\xBA and \xF0\x9F\x98\x80", "{braces} and \\backslash"};
  return lines;
}

inline std::string WriteRtf(const std::function<void(TZRRTFExporter&)>& Body) {
  TStringStream stream;
  TZRRTFExporter exporter(&stream);
  exporter.BeginDocument("");
  Body(exporter);
  exporter.EndDocument();
  return stream.DataString();
}

inline void WriteRun(TZRRTFExporter& E, const TSampleRun& R) {
  using S = TFontStyle;
  if (!R.Font.empty()) E.BeginFont(R.Font);
  if (R.Size) E.BeginFontSize(R.Size);
  if (R.Color != -1) E.BeginColor(R.Color);
  if (R.Back != -1) E.BeginHighlight(R.Back);
  if (R.Styles.Contains(S::fsBold)) E.BeginBold();
  if (R.Styles.Contains(S::fsItalic)) E.BeginItalic();
  if (R.Styles.Contains(S::fsUnderline)) E.BeginUnderline();
  if (R.Styles.Contains(S::fsStrikeOut)) E.BeginStrikeOut();
  E.WriteText(E.ConvertText(R.Text));
  if (R.Styles.Contains(S::fsStrikeOut)) E.EndStrikeOut();
  if (R.Styles.Contains(S::fsUnderline)) E.EndUnderline();
  if (R.Styles.Contains(S::fsItalic)) E.EndItalic();
  if (R.Styles.Contains(S::fsBold)) E.EndBold();
  if (R.Back != -1) E.EndHighlight();
  if (R.Color != -1) E.EndColor();
  if (R.Size) E.EndFontSize();
  if (!R.Font.empty()) E.EndFont();
}

inline std::string RunsDocument() {
  return WriteRtf([](TZRRTFExporter& E) {
    for (const TSampleRun& r : SampleRuns()) WriteRun(E, r);
  });
}

inline std::string LinesDocument() {
  return WriteRtf([](TZRRTFExporter& E) {
    for (const std::string& line : SampleLines()) {
      E.WriteText(E.ConvertText(line));
      E.LineBreak();
    }
  });
}

// One row: a 5.0 cm cell "left" and a bold cell "right" that fills the rest
// of the 17.5 cm row.
inline std::string TableDocument() {
  return WriteRtf([](TZRRTFExporter& E) {
    E.BeginTable({0, 0, 7, 0, 0});
    E.BeginRow();
    E.BeginCell(100);
    E.WriteText("left");
    E.EndCell();
    E.BeginCell(0);
    E.BeginBold();
    E.WriteText("right");
    E.EndBold();
    E.EndCell();
    E.EndRow();
    E.EndTable();
  });
}
