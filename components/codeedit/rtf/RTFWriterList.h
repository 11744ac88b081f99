#pragma once
// The chunk list behind the RTF exporter. Items are text chunks or writer
// objects (tables); BeginTag/EndTag turn formatting tags into chunks, and
// WriteTo writes everything, with the font and colour tables after the chunk
// that opens the document and help footnotes at each page marker.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Color.h"

class TStream;

class TWriterObject {
 public:
  virtual ~TWriterObject() = default;
  virtual void BeginTag(std::string_view Tag) {}
  virtual void EndTag(std::string_view Tag) {}
  virtual bool CanHandle(std::string_view Tag) const { return false; }
  virtual void WriteTo(TStream& Stream) {}
  // True when the object keeps the text for itself.
  virtual bool TakeText(std::string_view Text) { return false; }

  // Writes Text's bytes when it is not empty.
  static void Put(TStream& Stream, std::string_view Text);

  // Set by the list before a tag that needs it.
  std::string TextParam;
  int32_t IntParam = 0;

 protected:
  static void WriteLine(TStream& Stream, std::string_view Text);
};

class TWriterTableObject : public TWriterObject {
 public:
  explicit TWriterTableObject(int32_t Param1, int32_t Param2, int32_t Param3, int32_t Param4, int32_t Param5);
  void BeginTag(std::string_view Tag) override;
  bool CanHandle(std::string_view Tag) const override;
  void WriteTo(TStream& Stream) override;
  bool TakeText(std::string_view Text) override;

 private:
  struct TCell {
    int32_t Width;
    std::string Text;
  };
  struct TRow {
    std::string Header;
    std::vector<TCell> Cells;
  };
  int32_t params_[5];
  std::vector<TRow> rows_;
};

// "\cellx" position of a running width sum: Sum * 56.7 / 2 rounded half to
// even, in integers (56.7 has no exact double, so 9922.5 would round up).
int64_t CellRightTwips(int64_t WidthSum);

class TRTFWriterList {
 public:
  TRTFWriterList();
  virtual ~TRTFWriterList();
  TRTFWriterList(const TRTFWriterList&) = delete;
  TRTFWriterList& operator=(const TRTFWriterList&) = delete;

  void BeginTag(std::string_view Tag);
  void EndTag(std::string_view Tag);
  void AddChunk(std::string_view Text);
  // Adds Object as an item (owned) and makes it active.
  void PushObject(std::unique_ptr<TWriterObject> Object);
  void PopObject();
  void WriteTo(TStream& Stream);

  // The parameter of the next "f", "cf" or "highlight" tag or of the next tag
  // a writer object handles.
  std::string TextParam;
  int32_t IntParam = 0;
  uint8_t Charset = 0;

  // Help index entries "topic!keyword", kept sorted by the host.
  std::vector<std::string> IndexList;

  int FontCount() const { return static_cast<int>(fonts_.size()); }
  int ColorCount() const { return static_cast<int>(colors_.size()); }

 private:
  struct TItem {
    std::string Chunk;
    std::unique_ptr<TWriterObject> Object;
  };
  struct TFontEntry {
    std::string Name;
    uint8_t Charset;
  };
  int FontNumber(const std::string& Name);
  int ColorNumber(TColor Color);
  void WriteHeaderTables(TStream& Stream);
  void WritePage(TStream& Stream, std::string_view Chunk);

  std::vector<TItem> items_;
  std::vector<TWriterObject*> stack_;
  std::vector<TFontEntry> fonts_;
  std::vector<std::string> colors_;
};
