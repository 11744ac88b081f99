// Colour data of the store: lazy parsing, URL marking and the longest line.
#include <algorithm>

#include "components/base/WebAddress.h"
#include "components/codeedit/MemoSource.h"
#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"

namespace {
bool ActiveParser(TSimpleParser* Parser) { return Parser && Parser->IsActive(); }

bool IsUrlStart(char32_t C) {
  return (C >= U'0' && C <= U'9') || (C >= U'A' && C <= U'Z') || (C >= U'a' && C <= U'z') || C == U'_';
}
bool IsUrlChar(char32_t C) {
  return IsUrlStart(C) || C == U'-' || C == U'.' || C == U'/' || C == U':' || C == U'=' || C == U'?' || C == U'@' ||
         C == U'~';
}
}  // namespace

void TCustomMemoSource::SetSyntaxParser(TSimpleParser* Value) {
  const auto recolour = TNotifierMethod::Of<&TCustomMemoSource::RecolourPending>(*this);
  if (parser_) parser_->RemoveNotifier(recolour);
  parser_ = Value;
  if (parser_) {
    parser_->FreeNotification(this);
    parser_->AddNotifier(recolour);
  }
  ReparseAll();
}

void TCustomMemoSource::RecolourPending(TComponent* Sender, void* List, std::int32_t Param) { ReparseAll(); }

void TCustomMemoSource::DoAfterParse(std::int32_t Line, const std::u32string& Text, std::string& Colors) {
  if (AfterParseHook) AfterParseHook(this, Line, Text, Colors);
}

bool TCustomMemoSource::IsPlainSyntaxParser() const {
  return parser_ && AnsiSameText(parser_->ClassName(), "TSyntaxParser");
}

void TCustomMemoSource::MarkUrls(std::int32_t Line, TStringItem& Item) {
  const std::u32string& text = Item.Text;
  if (Item.ColorData.size() != text.size()) return;
  for (size_t i = 0; i < text.size();) {
    if (!IsUrlStart(text[i])) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && IsUrlChar(text[end])) ++end;
    // The run holds ASCII only, so its UTF-8 form has one byte per character.
    if (IsURL(Utf32ToUtf8(text.substr(i, end - i))))
      std::fill(Item.ColorData.begin() + static_cast<std::ptrdiff_t>(i),
                Item.ColorData.begin() + static_cast<std::ptrdiff_t>(end), kUrlStyle);
    i = end;
  }
}

void TCustomMemoSource::ParseLine(std::int32_t Line, TStringItem& Item, std::int32_t& State) {
  parser_->GetColorData(Line, Item.Text, Item.ColorData);
  Item.StartState = State;
  parser_->SetCurrentLine(Line);
  const std::int32_t end = parser_->ColorLine(Item.Text, State, Item.ColorData);
  Item.SetParsed(true);
  DoAfterParse(Line, Item.Text, Item.ColorData);
  if (highlightUrls_) MarkUrls(Line, Item);
  if (end != Item.EndState) {
    stateChangedLine_ = std::max(stateChangedLine_, Line + 1);
    Item.EndState = end;
  }
  State = end;
  if (MeasureLineHook) MeasureLineHook(Line, &Item);
}

std::int32_t TCustomMemoSource::ParseLineRange(std::int32_t First, std::int32_t Last, bool Force) {
  Last = std::min(Last, LineCount() - 1);
  const std::int32_t first = std::max(First, 0);
  if (Last < first) return stateChangedLine_;
  if (ActiveParser(parser_)) {
    std::int32_t state = first == 0 ? DefaultParserState : LineItem(first - 1)->EndState;
    for (std::int32_t i = first; i <= Last; ++i) {
      TStringItem& item = *LineItem(i);
      if (item.Parsed() && item.StartState == state) {
        state = item.EndState;
        continue;
      }
      ParseLine(i, item, state);
    }
  } else if (Force || highlightUrls_) {
    for (std::int32_t i = first; i <= Last; ++i) {
      TStringItem& item = *LineItem(i);
      if (item.Parsed()) continue;
      if (highlightUrls_) {
        item.ColorData.assign(item.Text.size(), '\0');
        MarkUrls(i, item);
      } else {
        item.ColorData.clear();
      }
      item.SetParsed(true);
      DoAfterParse(i, item.Text, item.ColorData);
      if (MeasureLineHook) MeasureLineHook(i, &item);
    }
  }
  firstUnparsed_ = Last + 1;
  return stateChangedLine_;
}

void TCustomMemoSource::ParseAhead(std::int32_t Line, bool Force) {
  if (Line >= firstUnparsed_ && Line < kMaxInt - 100) Line += 100;
  ParseLineRange(firstUnparsed_, Line, Force);
}

std::string TCustomMemoSource::LineColorData(std::int32_t Line) {
  TStringItem* item = LineItem(Line);
  if (!item) return {};
  // A line at or after the first stale one may hold colours from before an
  // earlier line changed its end state: it is parsed again too.
  if (!item->Parsed() || Line >= firstUnparsed_) ParseAhead(Line, false);
  return item->ColorData;
}

void TCustomMemoSource::LineTextChanged(std::int32_t Line) {
  TStringItem* item = LineItem(Line);
  if (!item || (Importing && Line == LineCount() - 1)) {
    MarkTextChanged(Line, Line);
    return;
  }
  const std::int32_t endState = item->EndState, measure = item->MeasureA, firstUnparsed = firstUnparsed_;
  MarkTextChanged(Line, Line);
  item->SetParsed(false);
  ParseLineRange(Line, Line, true);
  firstUnparsed_ = firstUnparsed;
  if (item->EndState != endState || item->MeasureA != measure) MarkTextChanged(Line, kMaxInt);
}

void TCustomMemoSource::ReparseAll() {
  if (destroying_) return;
  TUpdateGuard update(*this, ChangeCode::DropColorData);
  storeState_.Include(ssReparseAll);
  const bool keep = parser_ && parser_->KeepsColorData();
  for (std::int32_t i = 0; i < LineCount(); ++i) {
    TStringItem& item = *LineItem(i);
    item.SetParsed(false);
    if (!keep) item.ColorData.clear();
    item.MeasureA = item.DisplayWidth = item.MeasureC = 0;
  }
  firstUnparsed_ = 0;
  UpdateMaxLineLength();
}

// ---- Longest line ----

void TCustomMemoSource::TrackMaxLineLength(bool On) {
  if (On) trackMaxLine_ = true;
  UpdateMaxLineLength();
}

void TCustomMemoSource::UpdateMaxLineLength() {
  maxLineLength_ = 0;
  maxLineIndex_ = -1;
  if (!trackMaxLine_) return;
  if (MeasureLineHook) ParseLineRange(0, LineCount() - 1, true);
  for (std::int32_t i = 0; i < LineCount(); ++i) {
    const std::int32_t length = LineDisplayLength(i);
    if (length >= maxLineLength_) {
      maxLineLength_ = length;
      maxLineIndex_ = i;
    }
  }
}

std::int32_t TCustomMemoSource::LineDisplayLength(std::int32_t Line) {
  TStringItem* item = LineItem(Line);
  if (MeasureLineHook && item) {
    if (!item->Parsed()) {
      if (ActiveParser(parser_) || highlightUrls_) {
        const std::int32_t firstUnparsed = firstUnparsed_;
        ParseLineRange(Line, Line, true);
        firstUnparsed_ = std::min(firstUnparsed, firstUnparsed_);
      } else {
        MeasureLineHook(Line, item);
      }
    }
    if (item->DisplayWidth != 0) return item->DisplayWidth;
  }
  return static_cast<std::int32_t>(strings_->ShownText(Line).size());
}
