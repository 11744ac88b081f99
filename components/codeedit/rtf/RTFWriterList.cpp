#include "components/codeedit/rtf/RTFWriterList.h"

#include <algorithm>

#include "components/codeedit/rtf/ZRExporter.h"
#include "platform/core/AnsiStrings.h"
#include "platform/core/Streams.h"

namespace {
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kRowTag = "\\trowd\\";
constexpr std::string_view kCellTag = "cell";
// Only the exporter's own chunks count as the document opening and as page
// markers: escaped body text such as "rtf1\\ansi" or "my_page" contains the
// words too, and must be written as it is.
constexpr std::string_view kDocumentChunk = "{\\rtf1\\ansi ";
constexpr std::string_view kPageMarker = "{\\_page\\";

// Border words of the frame kinds void, above, below, hsides, lhs, rhs,
// vsides, box and border.
constexpr std::string_view kFrameWords[9] = {"void",
                                             "trbrdrt",
                                             "trbrdrb",
                                             "trbrdrh",
                                             "trbrdrl",
                                             "trbrdrr",
                                             "trbrdrv",
                                             "trbrdrt\\trbrdrb\\trbrdrh\\trbrdrl\\trbrdrr\\trbrdrv",
                                             "trbrdrt\\trbrdrb\\trbrdrh\\trbrdrl\\trbrdrr\\trbrdrv"};
}  // namespace

void TWriterObject::Put(TStream& Stream, std::string_view Text) {
  if (!Text.empty()) Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void TWriterObject::WriteLine(TStream& Stream, std::string_view Text) {
  Put(Stream, Text);
  Put(Stream, kCrLf);
}

TWriterTableObject::TWriterTableObject(int32_t Param1, int32_t Param2, int32_t Param3, int32_t Param4, int32_t Param5)
    : params_{Param1, Param2, Param3, Param4, Param5} {}

bool TWriterTableObject::CanHandle(std::string_view Tag) const { return Tag == kRowTag || Tag == kCellTag; }

void TWriterTableObject::BeginTag(std::string_view Tag) {
  if (Tag == kRowTag) {
    // A frame kind outside 0..8 is no caller's value; it gets no border words.
    const unsigned kind = static_cast<unsigned>(params_[2]) & 0xFF;
    rows_.push_back({"{\\trowd\\" + std::string(kind < 9 ? kFrameWords[kind] : ""), {}});
  } else if (Tag == kCellTag && !rows_.empty()) {
    rows_.back().Cells.push_back({IntParam == 0 ? 250 : IntParam, {}});
  }
}

bool TWriterTableObject::TakeText(std::string_view Text) {
  if (!rows_.empty() && !rows_.back().Cells.empty()) rows_.back().Cells.back().Text += Text;
  return true;
}

int64_t CellRightTwips(int64_t WidthSum) {
  // WidthSum * 56.7 / 2 = WidthSum * 567 / 20.
  const int64_t n = WidthSum * 567;
  int64_t q = n / 20;
  int64_t r = n % 20;
  if (r < 0) {
    r += 20;
    --q;
  }
  if (r > 10 || (r == 10 && (q & 1) != 0)) ++q;
  return q;
}

void TWriterTableObject::WriteTo(TStream& Stream) {
  if (rows_.empty()) {
    Put(Stream, "{");
    return;
  }
  WriteLine(Stream, "{\\par");
  for (const TRow& row : rows_) {
    WriteLine(Stream, row.Header);
    int64_t sum = 0;
    for (const TCell& cell : row.Cells) {
      sum += cell.Width;
      WriteLine(Stream, "\\cellx" + std::to_string(CellRightTwips(sum)));
    }
    for (const TCell& cell : row.Cells) WriteLine(Stream, "\\pard \\intbl " + cell.Text + "\\cell");
    WriteLine(Stream, "\\row\\pard}");
  }
}

TRTFWriterList::TRTFWriterList() { fonts_.push_back({"\\fnil Times New Roman", 1}); }

TRTFWriterList::~TRTFWriterList() = default;

int TRTFWriterList::FontNumber(const std::string& Name) {
  for (size_t i = 0; i < fonts_.size(); ++i)
    if (AnsiCompareText(fonts_[i].Name, Name) == 0) return static_cast<int>(i);
  fonts_.push_back({Name, Charset});
  return static_cast<int>(fonts_.size() - 1);
}

int TRTFWriterList::ColorNumber(TColor Color) {
  const TColor rgb = ColorToRGB(Color);
  const std::string entry = "red" + std::to_string(GetRValue(rgb)) + "\\green" + std::to_string(GetGValue(rgb)) +
                            "\\blue" + std::to_string(GetBValue(rgb));
  const auto found = std::find(colors_.begin(), colors_.end(), entry);
  if (found != colors_.end()) return static_cast<int>(found - colors_.begin());
  colors_.push_back(entry);
  return static_cast<int>(colors_.size() - 1);
}

void TRTFWriterList::BeginTag(std::string_view Tag) {
  if (Tag == "f") {
    AddChunk("{\\f" + std::to_string(FontNumber(TextParam)) + " ");
    return;
  }
  if (Tag == "cf" || Tag == "highlight") {
    AddChunk("{\\" + std::string(Tag) + std::to_string(ColorNumber(IntParam)) + " ");
    return;
  }
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if ((*it)->CanHandle(Tag)) {
      (*it)->TextParam = TextParam;
      (*it)->IntParam = IntParam;
      (*it)->BeginTag(Tag);
      return;
    }
  }
  AddChunk(Tag.empty() ? std::string("{") : "{\\" + std::string(Tag) + " ");
  AddChunk(kCrLf);
}

void TRTFWriterList::EndTag(std::string_view Tag) {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if ((*it)->CanHandle(Tag)) {
      (*it)->EndTag(Tag);
      return;
    }
  }
  AddChunk(Tag.empty() ? std::string("}") : "\\" + std::string(Tag) + "}");
}

void TRTFWriterList::AddChunk(std::string_view Text) {
  if (Text.empty()) return;
  if (!stack_.empty() && stack_.back()->TakeText(Text)) return;
  items_.push_back({std::string(Text), nullptr});
}

void TRTFWriterList::PushObject(std::unique_ptr<TWriterObject> Object) {
  stack_.push_back(Object.get());
  items_.push_back({std::string(), std::move(Object)});
}

void TRTFWriterList::PopObject() {
  if (!stack_.empty()) stack_.pop_back();
}

void TRTFWriterList::WriteHeaderTables(TStream& Stream) {
  TWriterObject::Put(Stream, "{\\fonttbl\r\n");
  for (size_t i = 0; i < fonts_.size(); ++i)
    TWriterObject::Put(Stream, "{\\f" + std::to_string(i) + "\\fcharset" + std::to_string(fonts_[i].Charset) + " " +
                                   RtfEncodeText(fonts_[i].Name) + ";}\r\n");
  TWriterObject::Put(Stream, "}\r\n");
  if (colors_.empty()) return;
  TWriterObject::Put(Stream, "{\\colortbl\r\n");
  for (const std::string& entry : colors_) TWriterObject::Put(Stream, "\\" + entry + ";\r\n");
  TWriterObject::Put(Stream, "}\r\n");
}

void TRTFWriterList::WritePage(TStream& Stream, std::string_view Chunk) {
  std::string topic;
  for (char c : Chunk.substr(kPageMarker.size()))
    if (c != '{' && c != '}') topic += c;
  auto footnote = [&](std::string_view mark, const std::string& text) {
    TWriterObject::Put(
        Stream, "\\super " + std::string(mark) + "{\\footnote {\\super " + std::string(mark) + " }" + text + "}");
  };
  TWriterObject::Put(Stream, "{\\page}");
  footnote("#", topic);
  std::string noDigits;
  for (char c : topic)
    if (c < '0' || c > '9') noDigits += c;
  footnote("$", noDigits);
  const std::string prefix = topic + "!";
  std::string keywords;
  bool any = false;
  for (const std::string& entry : IndexList) {
    if (entry.compare(0, prefix.size(), prefix) != 0) continue;
    if (any) keywords += ";";
    keywords += entry.substr(prefix.size());
    any = true;
  }
  if (any) footnote("K", "{" + keywords + "}");
  footnote("A", topic);
}

void TRTFWriterList::WriteTo(TStream& Stream) {
  for (TItem& item : items_) {
    if (item.Object) {
      item.Object->WriteTo(Stream);
    } else if (item.Chunk == kDocumentChunk) {
      TWriterObject::Put(Stream, item.Chunk);
      WriteHeaderTables(Stream);
    } else if (item.Chunk.starts_with(kPageMarker)) {
      WritePage(Stream, item.Chunk);
    } else {
      TWriterObject::Put(Stream, item.Chunk);
    }
  }
}
