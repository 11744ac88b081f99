#include <gtest/gtest.h>

#include <functional>

#include "components/codeedit/rtf/RTFWriterList.h"
#include "components/codeedit/rtf/ZRExporter.h"
#include "platform/core/Streams.h"

namespace {

const std::string kHeadStart = "{\\rtf1\\ansi {\\fonttbl\r\n{\\f0\\fcharset1 \\fnil Times New Roman;}\r\n";

std::string Document(const std::function<void(TZRRTFExporter&)>& Body) {
  TStringStream stream;
  TZRRTFExporter exporter(&stream);
  exporter.BeginDocument("");
  Body(exporter);
  EXPECT_EQ(stream.DataString(), "") << "nothing is written before the end";
  exporter.EndDocument();
  return stream.DataString();
}

// The part between the opening of "plain" and the two closing braces.
std::string BodyOf(const std::function<void(TZRRTFExporter&)>& Body) {
  const std::string all = Document(Body);
  const std::string open = "{\\plain \r\n";
  const size_t at = all.find(open);
  EXPECT_NE(at, std::string::npos);
  EXPECT_TRUE(all.ends_with("}}"));
  return all.substr(at + open.size(), all.size() - at - open.size() - 2);
}

TEST(RTFExporter, TextIsEscapedForTheCodePage) {
  struct Case {
    std::string text, rtf;
  } cases[] = {
      {"a\tb\\c{d}", "a\\tab b\\\\c\\{d\\}"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},    // é, € are code-page bytes
      {"\xC3\xBF", "\\'FF"},                           // ÿ
      {"\xC3\xBE", "\xFE"},                            // þ
      {"\xD0\x96\xD0\xB0", "\\u1046?\\u1072?"},        // Cyrillic
      {"\xEF\x80\x80", "\\u-4096?"},                   // U+F000: signed unit
      {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},     // U+1F600: two units
      {"\xC2\x81", "\\u129?"},                         // unassigned in the code page
      {"rtf1\\ansi my_page", "rtf1\\\\ansi my_page"},  // body text is never a marker
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BodyOf([&](TZRRTFExporter& e) { e.WriteText(e.ConvertText(c.text)); }), c.rtf) << c.text;
  }
}

TEST(RTFExporter, WholeDocumentWithSharedFontAndColourEntries) {
  const std::string rtf = Document([](TZRRTFExporter& e) {
    e.BeginFont("Courier New");
    e.BeginColor(clRed);
    e.BeginBold();
    e.WriteText("x");
    e.EndBold();
    e.EndColor();
    e.EndFont();
    e.BeginFont("courier new");
    e.BeginHighlight(clRed);
    e.BeginColor(clWindow);
    e.WriteText("y");
    e.EndColor();
    e.EndHighlight();
    e.EndFont();
    e.LineBreak();
  });
  const TColor window = ColorToRGB(clWindow);
  const std::string windowEntry = "\\red" + std::to_string(GetRValue(window)) + "\\green" +
                                  std::to_string(GetGValue(window)) + "\\blue" + std::to_string(GetBValue(window));
  EXPECT_EQ(rtf, kHeadStart +
                     "{\\f1\\fcharset0 Courier New;}\r\n}\r\n"
                     "{\\colortbl\r\n\\red255\\green0\\blue0;\r\n" +
                     windowEntry +
                     ";\r\n}\r\n"
                     "\r\n{\\plain \r\n"
                     "{\\f1 {\\cf0 {\\b \r\nx}}}"
                     "{\\f1 {\\highlight0 {\\cf1 y}}}"
                     "{\\line \r\n}"
                     "}}");
}

TEST(RTFExporter, SizesStepBySixDownToOne) {
  EXPECT_EQ(BodyOf([](TZRRTFExporter& e) {
              for (int i = 0; i < 4; ++i) e.BeginSmaller();
              for (int i = 0; i < 4; ++i) e.EndSmaller();
              e.BeginBigger();
              e.EndBigger();
              e.BeginFontSize(11);
              e.EndFontSize();
            }),
            "{\\fs18 \r\n{\\fs12 \r\n{\\fs6 \r\n{\\fs1 \r\n}}}}{\\fs30 \r\n}{\\fs22 \r\n}");
}

TEST(RTFExporter, TableCellsSumTheirWidths) {
  EXPECT_EQ(BodyOf([](TZRRTFExporter& e) {
              e.BeginTable({0, 0, 7, 0, 0});
              e.BeginRow();
              e.BeginCell(100);
              e.BeginBold();
              e.WriteText("a");
              e.EndBold();
              e.EndCell();
              e.BeginCell(0);
              e.WriteText("b");
              e.EndCell();
              e.EndRow();
              e.EndTable();
              e.BeginTable({});
              e.EndTable();
            }),
            "{\\par\r\n"
            "{\\trowd\\trbrdrt\\trbrdrb\\trbrdrh\\trbrdrl\\trbrdrr\\trbrdrv\r\n"
            "\\cellx2835\r\n\\cellx9922\r\n"
            "\\pard \\intbl {\\b \r\na}\\cell\r\n"
            "\\pard \\intbl b\\cell\r\n"
            "\\row\\pard}\r\n}"
            "{}");
}

TEST(RTFExporter, CellPositionsRoundHalvesToEven) {
  // sum * 56.7 / 2: 9922.5 and 2268.0 exact, 28.35 down, 9950.85 up.
  const int64_t cases[][2] = {{350, 9922}, {80, 2268}, {1, 28}, {351, 9951}, {0, 0}, {10, 284}, {30, 850}};
  for (const auto& c : cases) EXPECT_EQ(CellRightTwips(c[0]), c[1]) << c[0];
}

TEST(RTFExporter, PagesWriteTheirHelpFootnotes) {
  const std::string page = BodyOf([](TZRRTFExporter& e) {
    e.BeginPage("Intro2");
    e.EndPage();
  });
  EXPECT_EQ(page,
            "{\r\n{\\page}"
            "\\super #{\\footnote {\\super # }Intro2}"
            "\\super ${\\footnote {\\super $ }Intro}"
            "\\super A{\\footnote {\\super A }Intro2}"
            "\r\n}");

  TStringStream stream;
  TZRRTFExporter e(&stream);
  e.WriterList().IndexList = {"Intro!x", "Intro2!alpha", "Intro2!beta", "Intro3!gamma"};
  e.BeginDocument("");
  e.BeginPage("Intro2");
  e.EndPage();
  e.EndDocument();
  EXPECT_NE(stream.DataString().find("\\super K{\\footnote {\\super K }{alpha;beta}}\\super A"), std::string::npos);
}

TEST(RTFExporter, ListsLinksAndParagraphs) {
  EXPECT_EQ(BodyOf([](TZRRTFExporter& e) {
              e.BeginLink("Topic", lkPopup);
              e.EndLink();
              e.BeginLink("T", lkSecondWindow);
              e.EndLink();
              e.BeginBulletItem();
              e.EndBulletItem();
              e.BeginHeading(1);
              e.EndHeading();
              e.BeginParagraph();
              e.EndParagraph();
              e.WriteSpaces(2);
            }),
            "{\\ul \r\n{\\v Topic}\r\n}"
            "{\\uldb \r\n{\\v T>second}\r\n}"
            "{\r\n{\\pntext}\r\n{\\pntxtb\\'b7}\r\n\\par}"
            "{\\par \\qc \r\n\\par\\pard}"
            "{\r\n{\\keepn\\par}\r\n}"
            "  ");
}

TEST(RTFExporter, ParagraphSpacingGoesIntoThePlainGroup) {
  TStringStream stream;
  TZRRTFExporter e(&stream);
  e.SpaceBefore = 120;
  e.SpaceAfter = -5;
  e.BeginDocument("");
  e.EndDocument();
  EXPECT_NE(stream.DataString().find("\r\n{\\plain\\sb120 \r\n}}"), std::string::npos) << stream.DataString();
}

}  // namespace
