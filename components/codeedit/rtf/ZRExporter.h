#pragma once
// Formatted-text writers. A caller opens and closes formatting around the
// text it writes; an exporter renders that into its stream in one format.
// The base class writes text unchanged and ignores formatting.
//
// TZRRTFExporter writes RTF with the code page Windows-1252. Text comes in as
// UTF-8: a character that has a Windows-1252 byte 128..254 is written as that
// byte, U+00FF as "\'FF", any other character above 127 as "\uN?" (N the
// signed UTF-16 unit; two escapes above U+FFFF). Nothing reaches the stream
// before EndDocument, because the font and colour tables, which grow while
// the body is written, go into the header. Begin and end calls must be
// balanced by the caller; they are not checked.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/classes/Interfaces.h"
#include "platform/graphics/Color.h"

class TStream;
class TRTFWriterList;

// The low byte of Param3 is the frame kind, 0 (void) to 8 (border).
struct TZRTableParams {
  int32_t Param1 = 0;
  int32_t Param2 = 0;
  int32_t Param3 = 0;
  int32_t Param4 = 0;
  int32_t Param5 = 0;
};

// Link kinds for BeginLink.
inline constexpr uint8_t lkJump = 0;
inline constexpr uint8_t lkPopup = 1;
inline constexpr uint8_t lkSecondWindow = 2;

class TZRExporter : public TInterfacedObject {
  KESTOVA_CLASS(TZRExporter)
 public:
  explicit TZRExporter(TStream* Stream) : stream_(Stream) {}

  virtual void WriteText(std::string_view Text);
  virtual std::string ConvertText(std::string_view Text) { return std::string(Text); }
  virtual void BeginHeading(int Alignment) {}
  virtual void EndHeading() {}
  virtual void BeginParagraph() {}
  virtual void EndParagraph() {}
  virtual void LineBreak() {}
  virtual void BeginFont(std::string_view Name) {}
  virtual void BeginFontCharset(std::string_view Name, uint8_t Charset) {}
  virtual void EndFont() {}
  virtual void BeginBigger() {}
  virtual void EndBigger() {}
  virtual void BeginSmaller() {}
  virtual void EndSmaller() {}
  virtual void BeginFontSize(int Points) {}
  virtual void EndFontSize() {}
  virtual void BeginItalic() {}
  virtual void EndItalic() {}
  virtual void BeginBold() {}
  virtual void EndBold() {}
  virtual void BeginUnderline() {}
  virtual void EndUnderline() {}
  virtual void BeginStrikeOut() {}
  virtual void EndStrikeOut() {}
  virtual void BeginOrderedList() {}
  virtual void EndOrderedList() {}
  virtual void BeginUnorderedList() {}
  virtual void EndUnorderedList() {}
  virtual void BeginBulletItem() {}
  virtual void EndBulletItem() {}
  virtual void BeginNumberedItem() {}
  virtual void EndNumberedItem() {}
  virtual void BeginIndent() {}
  virtual void EndIndent() {}
  virtual void BeginSubscript() {}
  virtual void EndSubscript() {}
  virtual void BeginSuperscript() {}
  virtual void EndSuperscript() {}
  virtual void BeginColor(TColor Color) {}
  virtual void EndColor() {}
  virtual void SetBackColor(TColor Color) {}
  virtual void EndBackColor() {}
  virtual void BeginHighlight(TColor Color) {}
  virtual void EndHighlight() {}
  virtual void BeginLink(std::string_view Reference, uint8_t Kind) {}
  virtual void EndLink() {}
  virtual void BeginTable(const TZRTableParams& Params) {}
  virtual void EndTable() {}
  virtual void BeginRow() {}
  virtual void EndRow() {}
  virtual void BeginCell(int32_t Width) {}
  virtual void EndCell() {}
  virtual void BeginDocument(std::string_view Title) {}
  virtual void EndDocument() {}
  virtual void BeginPage(std::string_view Topic) {}
  virtual void EndPage() {}
  virtual void WriteSpaces(int Count);
  virtual void WriteImage(std::string_view Name) {}
  virtual bool ExpandTabs() { return false; }
  virtual void WriteHorizontalRule() {}
  virtual void WriteExecLink(std::string_view Text, std::string_view File) {}

  TStream* Stream() const { return stream_; }
  // Paragraph spacing in twips, written by BeginDocument when positive.
  int32_t SpaceBefore = 0;
  int32_t SpaceAfter = 0;

 private:
  TStream* stream_;
};

class TZRRTFExporter : public TZRExporter {
  KESTOVA_CLASS(TZRRTFExporter)
 public:
  explicit TZRRTFExporter(TStream* Stream);
  ~TZRRTFExporter() override;

  void WriteText(std::string_view Text) override;
  std::string ConvertText(std::string_view Text) override;
  void BeginHeading(int Alignment) override;
  void EndHeading() override;
  void BeginParagraph() override;
  void EndParagraph() override;
  void LineBreak() override;
  void BeginFont(std::string_view Name) override;
  void BeginFontCharset(std::string_view Name, uint8_t Charset) override;
  void EndFont() override;
  void BeginBigger() override;
  void EndBigger() override;
  void BeginSmaller() override;
  void EndSmaller() override;
  void BeginFontSize(int Points) override;
  void EndFontSize() override;
  void BeginItalic() override;
  void EndItalic() override;
  void BeginBold() override;
  void EndBold() override;
  void BeginUnderline() override;
  void EndUnderline() override;
  void BeginStrikeOut() override;
  void EndStrikeOut() override;
  void BeginOrderedList() override;
  void EndOrderedList() override;
  void BeginUnorderedList() override;
  void EndUnorderedList() override;
  void BeginBulletItem() override;
  void EndBulletItem() override;
  void BeginNumberedItem() override;
  void EndNumberedItem() override;
  void BeginIndent() override;
  void EndIndent() override;
  void BeginSubscript() override;
  void EndSubscript() override;
  void BeginSuperscript() override;
  void EndSuperscript() override;
  void BeginColor(TColor Color) override;
  void EndColor() override;
  void BeginHighlight(TColor Color) override;
  void EndHighlight() override;
  void BeginLink(std::string_view Reference, uint8_t Kind) override;
  void EndLink() override;
  void BeginTable(const TZRTableParams& Params) override;
  void EndTable() override;
  void BeginRow() override;
  void EndRow() override;
  void BeginCell(int32_t Width) override;
  void EndCell() override;
  void BeginDocument(std::string_view Title) override;
  void EndDocument() override;
  void BeginPage(std::string_view Topic) override;
  void EndPage() override;
  void WriteImage(std::string_view Name) override;
  bool ExpandTabs() override { return true; }
  void WriteHorizontalRule() override;
  void WriteExecLink(std::string_view Text, std::string_view File) override;

  TRTFWriterList& WriterList() { return *list_; }

 protected:
  virtual std::unique_ptr<TRTFWriterList> CreateWriterList();

 private:
  void Open(std::string_view Tag);
  void Close(std::string_view Tag = {});
  void Group(std::string_view Text);

  std::unique_ptr<TRTFWriterList> list_;
  int32_t size_ = 24;
  uint8_t linkKind_ = 0;
  std::string linkReference_;
};

// RTF bytes of UTF-8 text, escaped as the header above describes; the
// characters 0..127 pass unchanged.
std::string RtfEncodeText(std::string_view Utf8);
