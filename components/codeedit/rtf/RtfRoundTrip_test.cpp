// What the RTF exporter writes, the importer reads back as the same pieces.
#include <gtest/gtest.h>

#include "components/codeedit/rtf/RtfImportTesting.h"
#include "components/codeedit/rtf/RtfTestDocuments.h"

namespace {

// The document's own formatting: font entry 0 (charset 1), 12 points, black.
const std::string kDocumentFont = "Times New Roman/1 12pt c0";

std::string Expected(const TSampleRun& R) {
  TFont font;
  font.SetName(R.Font.empty() ? "Times New Roman" : R.Font);
  font.SetCharset(R.Font.empty() ? 1 : 0);  // the exporter names its fonts with charset 0
  font.SetSize(R.Size ? R.Size : 12);
  font.SetColor(R.Color == -1 ? 0 : ColorToRGB(R.Color));
  font.SetStyle(R.Styles);
  return DescribePiece(R.Text, R.Back == -1 ? -1 : ColorToRGB(R.Back), font) + "\n";
}

// The pieces of Rtf, with neighbours of equal formatting joined: the reader
// splits text at escapes and tabs.
std::string JoinedPieces(const std::string& Rtf) {
  std::string out, lastFormat;
  TZRRtfImporter importer;
  importer.OnImportText = [&](TZRImporter*, const std::string& Text, std::int32_t BackColor, TFont* Font) {
    const std::string piece = DescribePiece(Text, BackColor, *Font);
    const std::string format = piece.substr(ShowControls(Text).size());
    if (!out.empty() && format == lastFormat) {
      out.insert(out.size() - format.size() - 1, ShowControls(Text));
    } else {
      out += piece + "\n";
    }
    lastFormat = format;
  };
  importer.Import(Rtf);
  return out;
}

TEST(RtfRoundTrip, RunsReadBackWithTheirFormatting) {
  std::string expected;
  for (const TSampleRun& r : SampleRuns()) expected += Expected(r);
  EXPECT_EQ(JoinedPieces(RunsDocument()), expected);
}

TEST(RtfRoundTrip, LinesAndTablesReadBackAsBreaksAndTabs) {
  std::string lines;
  for (const std::string& line : SampleLines()) lines += line + "\\r\\n";
  EXPECT_EQ(JoinedPieces(LinesDocument()), lines + "|" + kDocumentFont + " - -1\n");
  // The table opens with a paragraph break; cells end in tabs, the row in a break.
  EXPECT_EQ(JoinedPieces(TableDocument()), "\\r\\nleft\\t|" + kDocumentFont + " - -1\n" + "right|" + kDocumentFont +
                                               " B -1\n" + "\\t\\r\\n|" + kDocumentFont + " - -1\n");
}

}  // namespace
