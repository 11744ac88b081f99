// The selected text as a list of lines.
#include "components/codeedit/MemoEdit_p.h"
#include "platform/core/Codecs.h"

namespace {
// Line i is line (selection start + i) cut at the selection's columns: as
// shown (tabs expanded), or with its tab characters while the store's list
// is raw (copying). One-line streams and blocks are padded to the selected
// width. Clear deletes the selection; Insert and Delete do nothing.
class TSelectionStrings : public TStrings {
 public:
  explicit TSelectionStrings(TCustomMemoSource& Source) : source_(Source) {}

  int GetCount() const override {
    if (!source_.HasSelection()) return 0;
    return source_.SelectionEnd().Line - source_.SelectionStart().Line + 1;
  }
  std::string Get(int Index) const override { return Utf32ToUtf8Lossless(Cut(Index)); }
  void Insert(int, const std::string&) override {}
  void Delete(int) override {}
  void Exchange(int, int) override {}
  void Clear() override { source_.DeleteSelection(); }

 private:
  std::u32string Cut(int Index) const {
    if (Index < 0 || Index >= GetCount()) return {};
    const TMemoPos start = source_.SelectionStart(), end = source_.SelectionEnd();
    const std::int32_t line = start.Line + Index;
    const bool block = source_.SelectionType() == stBlock;
    const bool oneLine = block || start.Line == end.Line;
    const bool raw = source_.Strings()->Raw;
    const std::u32string text = source_.Strings()->ShownText(line);
    auto index = [&](std::int32_t Column) {
      return static_cast<size_t>(raw ? source_.ColumnToIndex(source_.LineText(line), Column) : Column);
    };
    const std::int32_t fromColumn = block || line == start.Line ? start.Char : 0;
    const size_t from = std::min(index(fromColumn), text.size());
    size_t to = text.size();
    if (block)
      to = std::min(index(end.Char + 1), text.size());
    else if (line == end.Line)
      to = std::min(index(end.Char), text.size());
    std::u32string out = text.substr(from, to > from ? to - from : 0);
    if (oneLine) {
      const auto width = static_cast<size_t>(std::max(end.Char - start.Char + (block ? 1 : 0), 0));
      if (out.size() < width) out.append(width - out.size(), U' ');
    }
    return out;
  }

  TCustomMemoSource& source_;
};
}  // namespace

TStrings* TCustomMemoSource::SelectionStrings() {
  if (!selectionStrings_) selectionStrings_ = std::make_unique<TSelectionStrings>(*this);
  return selectionStrings_.get();
}
