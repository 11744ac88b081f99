// The parser's lists: construction, reserved words, handler tables, saved
// states and errors.
#include "components/codeedit/parsers/ZRParser.h"

#include <algorithm>

#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

KESTOVA_CLASS_INFO(TTokenData, TCollectionItem, "zrparser", &MakeCollectionItem<TTokenData>)

TParserCharSet ParserChars(std::string_view Chars) {
  TParserCharSet set;
  for (char c : Chars) set.set(static_cast<unsigned char>(c));
  return set;
}

TParserCharSet ParserCharRange(unsigned char First, unsigned char Last) {
  TParserCharSet set;
  for (unsigned c = First; c <= Last; ++c) set.set(c);
  return set;
}

TCustomZRParser::TCustomZRParser(TComponent* AOwner)
    : TSimpleParser(AOwner),
      reservedWords_(std::make_unique<TStringList>()),
      sortedWords_(std::make_unique<TStringList>()),
      savedStates_(std::make_unique<TCollection>(TokenDataClass())) {
  sortedWords_->SetSorted(true);
  sortedWords_->SetDuplicates(dupIgnore);
  reservedWords_->OnChange = TNotifyEvent::Of<&TCustomZRParser::ReservedWordsChanged>(*this);
  static constexpr char32_t kEmptyLine[1] = {0};
  ResetSource(kEmptyLine);
}

TCustomZRParser::~TCustomZRParser() { reservedWords_->OnChange = nullptr; }

void TCustomZRParser::SetCaseSensitive(bool Value) {
  if (caseSensitive_ == Value) return;
  caseSensitive_ = Value;
  WordsChanged();
}

void TCustomZRParser::WordsChanged() {
  UpdateWordLists();
  Notifiers()->Notify(this, nullptr, 0);
}

void TCustomZRParser::Loaded() {
  TSimpleParser::Loaded();
  UpdateWordLists();
}

namespace {
bool IsAscii(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

template <class Chars>
std::uint32_t HashChars(const Chars& Text) {
  std::uint32_t h = static_cast<std::uint32_t>(Text.size()) - 1u;
  for (auto ch : Text) {
    std::uint32_t c = static_cast<std::uint32_t>(ch);
    if (c >= 'a' && c <= 'z') c -= 32;
    h = (h ^ c) << 1;
  }
  return (h >> 1) & 255u;
}

// Equal apart from case, as the string list compares; reserved words and
// identifiers are ASCII, which needs no collator.
bool SameWord(std::string_view A, std::string_view B) {
  if (!IsAscii(A) || !IsAscii(B)) return AnsiSameText(A, B);
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
           return (a >= 'a' && a <= 'z' ? a - 32 : a) == (b >= 'a' && b <= 'z' ? b - 32 : b);
         });
}
}  // namespace

// Characters are code points: text that is not ASCII is decoded first.
std::uint32_t TCustomZRParser::WordHash(std::string_view Word) {
  if (IsAscii(Word)) return HashChars(Word);
  return HashChars(Utf8ToUtf32Lossless(Word));
}

namespace {
bool WordBefore(const std::pair<std::string, std::int32_t>& Entry, std::string_view Word) {
  return AnsiCompareText(Entry.first, Word) < 0;
}
}  // namespace

void TCustomZRParser::UpdateWordLists() {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading)) return;
  sortedWords_->Clear();
  for (int i = reservedWords_->GetCount() - 1; i >= 0; --i) {
    const std::string word = Trim(reservedWords_->Strings(i));
    if (!word.empty()) sortedWords_->Add(word);
  }
  for (auto& bucket : buckets_) bucket.clear();
  for (int id = sortedWords_->GetCount() - 1; id >= 0; --id) {
    const std::string& word = sortedWords_->Strings(id);
    auto& bucket = buckets_[WordHash(word)];
    const auto at = std::lower_bound(bucket.begin(), bucket.end(), word, WordBefore);
    if (at == bucket.end() || AnsiCompareText(at->first, word) != 0) bucket.insert(at, {word, id});
  }
}

bool TCustomZRParser::IsReservedWord(std::string_view Word) {
  // A bucket holds a word or two: searched in place, without allocating.
  const auto& bucket = buckets_[WordHash(Word)];
  const auto at = std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return SameWord(e.first, Word); });
  if (at == bucket.end()) return false;
  WordId = at->second;
  return !caseSensitive_ || sortedWords_->Strings(WordId) == Word;
}

void TCustomZRParser::AddStateHandler(std::initializer_list<std::int32_t> States, const TParserCharSet& Chars,
                                      TTokenHandler H) {
  for (std::int32_t state : States) {
    while (static_cast<std::int32_t>(tables_.size()) <= state) tables_.push_back(std::make_unique<TStateTable>());
    TStateTable& table = *tables_[state];
    for (unsigned c = 0; c < 256; ++c)
      if (Chars.test(c)) table[c] = H;
  }
}

void TCustomZRParser::AddLineBreakHandlers(std::int32_t State) {
  AddStateHandler({State}, ParserChars("\r\n"), Handler(&TCustomZRParser::ParseLineBreak));
}

void TCustomZRParser::InitTokenHandlers() {
  AddHandler(ParserCharRange(33, 255), Handler(&TCustomZRParser::ParseDelimiter));
  AddLineBreakHandlers(0);
}

const TCustomZRParser::TStateTable& TCustomZRParser::TableOf(std::int32_t State) const {
  if (State < 0 || State >= static_cast<std::int32_t>(tables_.size()))
    throw EListError(Format(kListIndexErrorText, {State}));
  return *tables_[State];
}

std::int32_t TCustomZRParser::PushState() {
  auto* item = static_cast<TTokenData*>(savedStates_->Add());
  SaveState(*item);
  return item->Index();
}

std::int32_t TCustomZRParser::PopState() {
  if (savedStates_->Count() == 0) Error("Token list is empty");
  const int last = savedStates_->Count() - 1;
  auto* item = static_cast<TTokenData*>(savedStates_->Items(last));
  item->BeforeRestore(this);
  RestoreState(*item);
  savedStates_->Delete(last);
  return Token;
}

void TCustomZRParser::SaveState(TTokenData& Item) {
  Item.Token = Token;
  Item.ScanState = ScanState;
  Item.ScanLineIndex = ScanLineIndex;
  Item.SourceOffset = SourceOffset();
  Item.TokenOffset = TokenOffset();
  Item.WordId = WordId;
  Item.LineStart = lineStart_;
}

void TCustomZRParser::RestoreState(TTokenData& Item) {
  ScanLineIndex = Item.ScanLineIndex;
  SetSource(Item.LineStart);
  LoadLine();
  pos_ = lineStart_ + Item.SourceOffset;
  tokenStart_ = lineStart_ + Item.TokenOffset;
  Token = Item.Token;
  ScanState = Item.ScanState;
  WordId = Item.WordId;
}

void TCustomZRParser::Error(const std::string& Text) {
  const TTokenPos pos = GetTokenPos();
  throw Exception(Text + Format(" at Line:%d, Char:%d. ", {pos.Y, pos.X}) + GetErrorSuffix());
}

std::string TCustomZRParser::NextTokenString() {
  NextToken();
  return GetTokenString();
}

std::int32_t TCustomZRParser::NextNonCommentToken() {
  while (NextToken() == ZRToken::tkComment) {
  }
  return Token;
}

std::string TCustomZRParser::NextNonCommentTokenString() {
  NextNonCommentToken();
  return GetTokenString();
}

std::string TCustomZRParser::PeekTokenString() { return Peek(&TCustomZRParser::NextTokenString); }

std::string TCustomZRParser::PeekNonCommentTokenString() { return Peek(&TCustomZRParser::NextNonCommentTokenString); }

std::string TCustomZRParser::Peek(std::string (TCustomZRParser::*Next)()) {
  PushState();
  std::string text;
  try {
    text = (this->*Next)();
  } catch (...) {
    PopState();
    throw;
  }
  PopState();
  return text;
}
