#include "components/codeedit/rtf/ZRExporter.h"

#include "components/codeedit/rtf/RTFWriterList.h"
#include "platform/core/Codecs.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TZRExporter, TInterfacedObject, "ZRExport", nullptr)
KESTOVA_CLASS_INFO(TZRRTFExporter, TZRExporter, "ZRExport", nullptr)

namespace {
void AppendUnicodeEscape(std::string& Out, char16_t Unit) {
  Out += "\\u" + std::to_string(static_cast<int16_t>(Unit)) + "?";
}
}  // namespace

std::string RtfEncodeText(std::string_view Utf8) {
  std::string out;
  out.reserve(Utf8.size());
  for (char32_t c : Utf8ToUtf32(Utf8)) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (c == 0xFF) {
      out += "\\'FF";
      continue;
    }
    const std::string utf8 = Utf32ToUtf8(std::u32string_view(&c, 1));
    const std::string byte = Utf8ToWindows1252(utf8, '\0');
    const auto b = static_cast<unsigned char>(byte.empty() ? 0 : byte[0]);
    // The C1 controls stand for the code page's unassigned bytes, which
    // readers do not decode; they take the escape like any other character.
    const bool unassigned = b >= 0x80 && b <= 0x9F && c == b;
    if (b >= 0x80 && !unassigned) {
      out += static_cast<char>(b);
    } else if (c > 0xFFFF) {
      const char32_t v = c - 0x10000;
      AppendUnicodeEscape(out, static_cast<char16_t>(0xD800 + (v >> 10)));
      AppendUnicodeEscape(out, static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      AppendUnicodeEscape(out, static_cast<char16_t>(c));
    }
  }
  return out;
}

void TZRExporter::WriteText(std::string_view Text) {
  if (!Text.empty() && stream_) stream_->WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void TZRExporter::WriteSpaces(int Count) {
  if (Count > 0) WriteText(std::string(static_cast<size_t>(Count), ' '));
}

TZRRTFExporter::TZRRTFExporter(TStream* Stream) : TZRExporter(Stream), list_(CreateWriterList()) {}

TZRRTFExporter::~TZRRTFExporter() = default;

std::unique_ptr<TRTFWriterList> TZRRTFExporter::CreateWriterList() { return std::make_unique<TRTFWriterList>(); }

void TZRRTFExporter::Open(std::string_view Tag) { list_->BeginTag(Tag); }
void TZRRTFExporter::Close(std::string_view Tag) { list_->EndTag(Tag); }

void TZRRTFExporter::Group(std::string_view Text) {
  WriteText("{\\" + std::string(Text) + "}");
  WriteText("\r\n");
}

void TZRRTFExporter::WriteText(std::string_view Text) { list_->AddChunk(RtfEncodeText(Text)); }

std::string TZRRTFExporter::ConvertText(std::string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (char c : Text) {
    if (c == '\t') {
      out += "\\tab ";
      continue;
    }
    if (c == '\\' || c == '{' || c == '}') out += '\\';
    out += c;
  }
  return out;
}

void TZRRTFExporter::BeginHeading(int Alignment) {
  static constexpr std::string_view kAlign[4] = {"ql", "qc", "qr", "qj"};
  Open("par \\" + std::string(Alignment >= 0 && Alignment < 4 ? kAlign[Alignment] : kAlign[0]));
}
void TZRRTFExporter::EndHeading() { Close("par\\pard"); }
void TZRRTFExporter::BeginParagraph() { Open(""); }
void TZRRTFExporter::EndParagraph() {
  Group("keepn\\par");
  Close();
}
void TZRRTFExporter::LineBreak() {
  Open("line");
  Close();
}

void TZRRTFExporter::BeginFont(std::string_view Name) { BeginFontCharset(Name, 0); }
void TZRRTFExporter::BeginFontCharset(std::string_view Name, uint8_t Charset) {
  list_->TextParam = std::string(Name);
  list_->Charset = Charset;
  Open("f");
}
void TZRRTFExporter::EndFont() { Close(); }

void TZRRTFExporter::BeginBigger() {
  size_ += 6;
  Open("fs" + std::to_string(size_));
}
void TZRRTFExporter::EndBigger() {
  size_ -= 6;
  Close();
}
void TZRRTFExporter::BeginSmaller() {
  size_ -= 6;
  Open(size_ <= 0 ? std::string("fs1") : "fs" + std::to_string(size_));
}
void TZRRTFExporter::EndSmaller() {
  size_ += 6;
  Close();
}
void TZRRTFExporter::BeginFontSize(int Points) { Open("fs" + std::to_string(static_cast<int64_t>(Points) * 2)); }
void TZRRTFExporter::EndFontSize() { Close(); }

void TZRRTFExporter::BeginItalic() { Open("i"); }
void TZRRTFExporter::EndItalic() { Close(); }
void TZRRTFExporter::BeginBold() { Open("b"); }
void TZRRTFExporter::EndBold() { Close(); }
void TZRRTFExporter::BeginUnderline() { Open("ul"); }
void TZRRTFExporter::EndUnderline() { Close(); }
void TZRRTFExporter::BeginStrikeOut() { Open("strike"); }
void TZRRTFExporter::EndStrikeOut() { Close(); }

void TZRRTFExporter::BeginOrderedList() {
  Open("");
  Group("par");
  Group("pntext");
  Group("pn\\pnlvlbody\\pnstart1{\\pntxta .}");
}
void TZRRTFExporter::EndOrderedList() { Close(); }
void TZRRTFExporter::BeginUnorderedList() {
  Open("");
  Group("par");
  Group("pntext");
  Group("pn\\pnlvlblt");
}
void TZRRTFExporter::EndUnorderedList() { Close(); }
void TZRRTFExporter::BeginBulletItem() {
  Open("");
  Group("pntext");
  Group("pntxtb\\'b7");
}
void TZRRTFExporter::EndBulletItem() { Close("par"); }
void TZRRTFExporter::BeginNumberedItem() {
  Open("");
  Group("pntext");
  Group("pntxtb\\pndec");
}
void TZRRTFExporter::EndNumberedItem() { Close("par"); }
void TZRRTFExporter::BeginIndent() { Open("pard\\li500"); }
void TZRRTFExporter::EndIndent() { Close("par"); }
void TZRRTFExporter::BeginSubscript() { Open("sub"); }
void TZRRTFExporter::EndSubscript() { Close(); }
void TZRRTFExporter::BeginSuperscript() { Open("super"); }
void TZRRTFExporter::EndSuperscript() { Close(); }

void TZRRTFExporter::BeginColor(TColor Color) {
  list_->IntParam = Color;
  Open("cf");
}
void TZRRTFExporter::EndColor() { Close(); }
void TZRRTFExporter::BeginHighlight(TColor Color) {
  list_->IntParam = Color;
  Open("highlight");
}
void TZRRTFExporter::EndHighlight() { Close(); }

void TZRRTFExporter::BeginLink(std::string_view Reference, uint8_t Kind) {
  linkKind_ = Kind;
  linkReference_ = std::string(Reference);
  Open(Kind == lkPopup ? "ul" : "uldb");
}
void TZRRTFExporter::EndLink() {
  if (linkKind_ == lkPopup)
    Group("v " + linkReference_);
  else
    Group("v " + linkReference_ + ">" + (linkKind_ == lkSecondWindow ? "second" : "main"));
  Close();
}

void TZRRTFExporter::BeginTable(const TZRTableParams& P) {
  list_->PushObject(std::make_unique<TWriterTableObject>(P.Param1, P.Param2, P.Param3, P.Param4, P.Param5));
}
void TZRRTFExporter::EndTable() {
  list_->PopObject();
  Close();
}
void TZRRTFExporter::BeginRow() { Open("\\trowd\\"); }
void TZRRTFExporter::EndRow() { Close("\\trowd\\"); }
void TZRRTFExporter::BeginCell(int32_t Width) {
  list_->IntParam = Width;
  Open("cell");
}
void TZRRTFExporter::EndCell() { Close("cell"); }

void TZRRTFExporter::BeginDocument(std::string_view) {
  Open("rtf1\\ansi");
  std::string plain = "plain";
  if (SpaceBefore > 0) plain += "\\sb" + std::to_string(SpaceBefore);
  if (SpaceAfter > 0) plain += "\\sa" + std::to_string(SpaceAfter);
  Open(plain);
}
void TZRRTFExporter::EndDocument() {
  Close();
  Close();
  if (Stream()) list_->WriteTo(*Stream());
}

void TZRRTFExporter::BeginPage(std::string_view Topic) {
  Open("");
  Group("_page\\" + std::string(Topic));
}
void TZRRTFExporter::EndPage() { Close(); }

void TZRRTFExporter::WriteImage(std::string_view Name) { WriteText(" \\{bmc " + std::string(Name) + "\\}"); }
void TZRRTFExporter::WriteHorizontalRule() { WriteText("\\par\\pard\\brdrt\\brdrs{\\f0\\fs2\\cf0  }\\par\\pard "); }
void TZRRTFExporter::WriteExecLink(std::string_view Text, std::string_view File) {
  WriteText("{\\uldb " + std::string(Text) + "}{\\v *!ExecFile('" + std::string(File) + "')}");
}
