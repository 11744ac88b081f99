// The font and colour tables, group skipping and the record stack.
#include <algorithm>

#include "components/codeedit/rtf/RtfImport_p.h"
#include "components/codeedit/rtf/ZRImporter.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/GraphicsObjects.h"

using namespace RtfToken;

// ---- Font table ----

void TRtfFontTable::Set(std::int32_t Number, const TRtfFontEntry& Entry) {
  if (Number < 0 || Number > kHighestNumber) return;
  entries_[Number] = Entry;
}

void TRtfFontTable::Append(const TRtfFontEntry& Entry) { Set(Empty() ? 0 : entries_.rbegin()->first + 1, Entry); }

bool TRtfFontTable::Find(std::int32_t Number, TRtfFontEntry& Entry) const {
  if (Empty() || Number < 0 || Number > entries_.rbegin()->first) return false;
  const auto it = entries_.find(Number);
  Entry = it == entries_.end() ? TRtfFontEntry{} : it->second;
  return true;
}

// ---- Converter ----

TRTFConverter::TRTFConverter(const char32_t* Text) : parser_(nullptr) { parser_.SetText(Text); }

TRTFConverter::~TRTFConverter() = default;

std::int32_t TRTFConverter::TakeNumber() {
  std::int32_t n = 0;
  if (parser_.TakeParameter(n)) return n;
  std::string text = parser_.GetTokenString();  // digits that do not fit
  if (text.empty()) {
    const TZRRtfParser::TScanMark mark = parser_.Mark();
    parser_.NextToken();
    text = parser_.GetTokenString();
    parser_.Rewind(mark);
  }
  throw EConvertError("'" + text + "' is not a valid integer value");
}

namespace {
// Counts the braces of a group whose "{" has been taken: true at its closing
// "}" or at the end of the text.
bool GroupEnds(std::int32_t Kind, int& Depth) {
  if (Kind == tkGroupOpen) ++Depth;
  return Kind == ZRToken::tkEof || (Kind == tkGroupClose && --Depth < 0);
}
}  // namespace

void TRTFConverter::ReadFontTable() {
  int depth = 0;
  bool numbered = false;
  std::int32_t number = 0;
  std::uint8_t charset = 1;  // the first font named without "\fcharset" keeps the system's
  for (std::int32_t kind; !GroupEnds(kind = parser_.NextToken(), depth);) {
    switch (kind) {
      case tkText: {
        if (depth > 1) break;
        std::string name = Trim(parser_.GetTokenString());
        std::erase(name, ';');
        // A ";" after a nested group ends the entry; it names nothing.
        if (name.empty()) break;
        if (!numbered) {
          fonts_.Append({name, charset});
        } else {
          fonts_.Set(number, {name, charset});
        }
        charset = 0;
        break;
      }
      case tkControlWord:
        if (parser_.ControlWordId == RtfWord::f) {
          number = TakeNumber();
          numbered = true;
        } else {
          parser_.SkipParameter();
        }
        break;
      case tkUnknownControl:
        if (SameText(parser_.GetTokenString(), "\\fcharset")) {
          std::int32_t n = 0;
          charset = parser_.TakeParameter(n) && n >= 0 && n <= 255 ? static_cast<std::uint8_t>(n) : 0;
        } else {
          parser_.SkipParameter();
        }
        break;
      default:
        break;
    }
  }
}

namespace {
// A colour component in 0..255, so a colour never leaves 24 bits.
std::int32_t Component(std::int32_t N) { return std::clamp(N, 0, 255); }
}  // namespace

void TRTFConverter::ReadColorTable() {
  bool firstExpected = true;
  int depth = 0;
  for (std::int32_t kind; !GroupEnds(kind = parser_.NextToken(), depth);) {
    switch (kind) {
      case tkText:
        if (firstExpected && Trim(parser_.GetTokenString()) == ";") {
          colors_.push_back(0);  // the default colour
          firstExpected = false;
        }
        break;
      case tkControlWord:
        if (parser_.ControlWordId != RtfWord::colortbl) firstExpected = false;
        if (parser_.ControlWordId == RtfWord::red) {
          color_ = Component(TakeNumber());
        } else if (parser_.ControlWordId == RtfWord::green) {
          color_ = (color_ & ~0xFF00) | Component(TakeNumber()) << 8;
        } else if (parser_.ControlWordId == RtfWord::blue) {
          color_ = (color_ & ~0xFF0000) | Component(TakeNumber()) << 16;
          colors_.push_back(color_);
        } else {
          parser_.SkipParameter();
        }
        break;
      case tkUnknownControl:
        parser_.SkipParameter();
        break;
      default:
        break;
    }
  }
}

void TRTFConverter::SkipGroup() {
  for (int depth = 0; !GroupEnds(parser_.NextToken(), depth);) {
  }
}

// ---- Record stack ----

TInternalImporter::TInternalImporter(TZRImporter& Owner, const TRtfFontTable& Fonts)
    : owner_(Owner), fonts_(Fonts), font_(std::make_unique<TFont>()) {}

TInternalImporter::~TInternalImporter() = default;

void TInternalImporter::Pop() {
  if (records_.empty()) return;
  records_.pop_back();
  builtValid_ = std::min(builtValid_, records_.size());
}

void TInternalImporter::Clear() {
  records_.clear();
  builtValid_ = 0;
}

TImportRecord& TInternalImporter::Top() {
  if (records_.empty()) Push();
  builtValid_ = std::min(builtValid_, records_.size() - 1);
  return records_.back();
}

void TInternalImporter::Plain() {
  TRtfFontEntry entry{defaultFontName_, 1};
  if (!fonts_.Empty()) fonts_.Find(0, entry);
  TImportRecord& r = Top();
  r = TImportRecord{};
  r.FontName = entry.Name;
  r.Charset = entry.Charset;
  r.Size = 12;
  r.Color = 0;
  r.StylesChanged = true;
}

TInternalImporter::TBuiltFont TInternalImporter::Apply(TBuiltFont Font, const TImportRecord& R) {
  if (!R.FontName.empty()) {
    Font.Name = R.FontName;
    Font.Charset = R.Charset;
  }
  if (R.Size != -1) Font.Size = R.Size;
  if (R.Color != -1) Font.Color = R.Color;
  if (R.StylesChanged) {
    const auto add = R.AddStyles.Bits();
    const auto remove = R.RemoveStyles.Bits();
    Font.Style = TFontStyles::FromBits(
        add == 0 && remove == 0 ? 0 : static_cast<std::uint8_t>((Font.Style.Bits() | add) & ~remove));
  }
  if (R.BackColorChanged) Font.BackColor = R.BackColor;
  return Font;
}

void TInternalImporter::Output(std::string_view Text) {
  if (Text.empty()) return;
  built_.resize(records_.size());
  for (size_t i = builtValid_; i < records_.size(); ++i)
    built_[i] = Apply(i ? built_[i - 1] : TBuiltFont{}, records_[i]);
  builtValid_ = records_.size();
  const TBuiltFont built = records_.empty() ? TBuiltFont{} : built_.back();
  TFontData data = font_->Data();
  data.Name = built.Name.empty() ? defaultFontName_ : built.Name;
  data.Charset = built.Charset;
  data.SetSize(built.Size < 0 ? 12 : built.Size);
  data.Color = built.Color < 0 ? 0 : built.Color;
  data.Style = built.Style;
  font_->SetData(data);
  owner_.DoText(std::string(Text), font_.get(), built.BackColor);
}
