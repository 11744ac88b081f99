// The store's option setters and its tab stops.
#include <algorithm>

#include "components/base/zrbaselib.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoSourceOptions.h"
#include "platform/core/Codecs.h"
#include "platform/core/NumberFormat.h"

void TCustomMemoSource::SetOptions(TStringsOptions Value) {
  if (Value == options_) return;
  const TStringsOptions old = options_;
  if (Value.Contains(soUseTabCharacter) && !old.Contains(soUseTabCharacter))
    Value.Exclude(soSmartTab);
  else if (old.Contains(soUseTabCharacter) && Value.Contains(soSmartTab))
    Value.Exclude(soUseTabCharacter);
  options_ = Value;
  if (old.Contains(soBeyondFileEnd) && !Value.Contains(soBeyondFileEnd) && caret_.Line > LineCount() - 1) {
    TUpdateGuard update(*this, ChangeCode::CaretMove);
    CaretToTextEnd();
  }
}

void TCustomMemoSource::SetTabStops(const std::string& Value) {
  if (Value.empty() || Value == tabStops_) return;
  std::vector<std::int32_t> stops;
  for (size_t start = 0; start <= Value.size();) {
    size_t comma = Value.find(',', start);
    if (comma == std::string::npos) comma = Value.size();
    const std::int32_t stop = StrToInt(std::string_view(Value).substr(start, comma - start));
    start = comma + 1;
    // A stop far out would make every tab expand to a huge run of spaces.
    if (stop <= 0 || stop > kMaxTabStop || (!stops.empty() && stop <= stops.back())) RaiseError(kInvalidTabRackText);
    stops.push_back(stop);
  }
  if (stops.empty()) stops.push_back(8);
  tabStopList_ = std::move(stops);
  tabStops_ = Value;
  if (options_.Contains(soUseTabCharacter)) {
    TUpdateGuard update(*this, ChangeCode::DropColorData);
    MarkLinesChanged(0, kMaxInt);
    ReparseAll();
  }
}

std::int32_t TCustomMemoSource::LastTabInterval() const {
  const size_t n = tabStopList_.size();
  if (n >= 2) return tabStopList_[n - 1] - tabStopList_[n - 2];
  return n == 1 ? tabStopList_[0] : 8;
}

std::int32_t TCustomMemoSource::TabStopColumn(int Index) const {
  const int count = static_cast<int>(tabStopList_.size());
  if (Index >= 0 && Index < count) return tabStopList_[Index];
  const std::int32_t last = count > 0 ? tabStopList_.back() : 0;
  return last + (Index - count + 1) * LastTabInterval();
}

std::u32string TCustomMemoSource::ExpandTabs(const std::u32string& Text) const {
  if (Text.find(U'\t') == std::u32string::npos) return Text;
  std::u32string out;
  out.reserve(Text.size() + 16);
  int stop = 0;
  for (char32_t c : Text) {
    if (c != U'\t') {
      out += c;
      continue;
    }
    // The tab sits at 1-based display position p and reaches the first stop >= p.
    const auto p = static_cast<std::int32_t>(out.size()) + 1;
    while (p - 1 >= TabStopColumn(stop)) ++stop;
    out.append(static_cast<size_t>(TabStopColumn(stop) - p + 1), U' ');
  }
  return out;
}

std::u32string TCustomMemoSource::ConvertTabs(std::u32string Text) const {
  if (options_.Contains(soUseTabCharacter) || Text.find(U'\t') == std::u32string::npos) return Text;
  std::u32string out;
  out.reserve(Text.size() + 16);
  for (char32_t c : Text) {
    if (c == U'\t')
      out.append(static_cast<size_t>(spacesInTab_), U' ');
    else
      out += c;
  }
  return out;
}

void TCustomMemoSource::SetDelimeters(const std::string& Value) {
  if (Value == delimeters_) return;
  delimeters_ = Value;
  delimiterSet_.reset();
  for (int c = 0; c <= 32; ++c) delimiterSet_.set(c);
  for (char32_t c : Utf8ToUtf32(Value))
    if (c < 256) delimiterSet_.set(c);
}

void TCustomMemoSource::SetReadOnly(bool Value) {
  if (Value == readOnly_) return;
  readOnly_ = Value;
  TUpdateGuard update(*this, ChangeCode::ReadOnly);
  storeState_.Include(ssReadOnlyChanged);
}

void TCustomMemoSource::SetBlockIndent(std::int32_t Value) { blockIndent_ = std::max(Value, 0); }

void TCustomMemoSource::SetSpacesInTab(std::int32_t Value) { spacesInTab_ = Value < 1 || Value > 10 ? 8 : Value; }

void TCustomMemoSource::SetHighlightUrls(bool Value) {
  if (Value == highlightUrls_) return;
  highlightUrls_ = Value;
  ReparseAll();
}

void TCustomMemoSource::SetAllowUndo(bool Value) {
  if (Value == allowUndo_) return;
  allowUndo_ = Value;
  if (!Value) {
    ClearUndo();
    ClearRedo();
  }
}

void TCustomMemoSource::SetUndoLimit(std::int32_t Value) { undoLimit_ = std::max(Value, 0); }

void TCustomMemoSource::SetUseGlobalOptions(bool Value) {
  if (Value == useGlobalOptions_) return;
  if (Value) ApplyGlobalMemoOptions(*this);
  useGlobalOptions_ = Value;
}
