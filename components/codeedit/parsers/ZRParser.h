#pragma once
// The table-driven token scanner behind syntax colouring and behind code that
// reads source text token by token.
//
// For each scanner state the parser holds a table of 256 handlers indexed by
// the current character; a code point of 256 or more is looked up as 255 (in
// every language the characters 128..255 behave alike), counts as printable,
// ends an identifier and is never in a character set. A handler consumes
// characters of the current line and answers a token kind (ZRToken). The
// scanner runs over UTF-32 text ending in a 0 code point: colouring scans the
// store's line in place, without a copy. Token texts come back as UTF-8;
// columns count code points.
//
// Reserved words: ReservedWordList holds a language's words as it lists them;
// a word's id is its 0-based position in the sorted word list (the string
// list's case-insensitive order, duplicates dropped), so ids do not follow
// the order in which a language lists its words. Look-ups go through 256
// buckets chosen by WordHash. While the component is being loaded the word
// lists wait, and Loaded builds them.
//
// Errors raise Exception with the text, then " at Line:%d, Char:%d. " (the
// 1-based line first, then the 1-based column of the token), then
// GetErrorSuffix. A state without a table raises EListError.

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/base/SimpleParser.h"
#include "platform/classes/Collection.h"
#include "platform/core/Events.h"
#include "platform/core/StringList.h"

// Token kinds; each is also the index of the text style its characters get.
namespace ZRToken {
enum : std::int32_t {
  tkNone = -1,  // consumed without forming a token; also Token before a scan
  tkEof = 0,    // end of the text or of the coloured line
  tkString,
  tkComment,
  tkIdentifier,
  tkInteger,
  tkFloat,
  tkResWord,
  tkDelimiter,
  tkDefine,
  tkAssembler,
  tkHtmlTag,
  tkHtmlParam,
  tkEol,  // end of a line, from TStringsParser with ReportLineEnds
};
}  // namespace ZRToken

class TCustomZRParser;

// A 1-based position: X the column, Y the line.
struct TTokenPos {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TTokenPos&, const TTokenPos&) = default;
};

// Characters 0..255; a character above 255 is never a member.
using TParserCharSet = std::bitset<256>;
// The characters of Chars, and the range First..Last.
TParserCharSet ParserChars(std::string_view Chars);
TParserCharSet ParserCharRange(unsigned char First, unsigned char Last);
inline bool InParserSet(const TParserCharSet& Set, char32_t C) { return C < 256 && Set.test(C); }

// One saved scanner state (PushState/PopState).
class TTokenData : public TCollectionItem {
  KESTOVA_CLASS(TTokenData)
 public:
  using TCollectionItem::TCollectionItem;
  std::int32_t Token = 0;
  std::int32_t ScanState = 0;
  std::int32_t ScanLineIndex = 0;
  std::int32_t SourceOffset = 0;
  std::int32_t TokenOffset = 0;
  std::int32_t WordId = 0;
  const char32_t* LineStart = nullptr;
  // Runs with the parser just before the state is restored from this item.
  virtual void BeforeRestore(TCustomZRParser* Parser) {}
};

// Sender, token kind, token text, the token's colour bytes (one per code
// point, each the kind) that the handler may change.
using TGetColorDataEvent =
    TMethodPointer<void(TObject* Sender, std::int32_t Token, const std::string& TokenStr, std::string& ColorData)>;

struct TTypeInfo;
namespace TypeInfos {
const TTypeInfo* TGetColorDataEvent();
}  // namespace TypeInfos

class TCustomZRParser : public TSimpleParser {
  KESTOVA_CLASS(TCustomZRParser)
 public:
  // A handler consumes the token at the scan position and answers its kind;
  // Arg is the character it was registered with (a quote, a closer), or 0.
  using TTokenProc = std::int32_t (TCustomZRParser::*)(char32_t Arg);
  struct TTokenHandler {
    TTokenProc Proc = nullptr;
    char32_t Arg = 0;
  };
  template <class P>
  static TTokenHandler Handler(std::int32_t (P::*Proc)(char32_t), char32_t Arg = 0) {
    return {static_cast<TTokenProc>(Proc), Arg};
  }

  explicit TCustomZRParser(TComponent* AOwner);
  ~TCustomZRParser() override;

  TGetColorDataEvent OnGetColorData;
  std::string Version;
  std::int32_t SpecialWordId = 0;
  std::int32_t ScanState = 0;
  std::int32_t Token = ZRToken::tkNone;
  std::int32_t WordId = 0;

  TStringList& ReservedWordList() { return *reservedWords_; }
  const TStringList& SortedWords() const { return *sortedWords_; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value);
  // The highest state that has a table.
  std::int32_t StateCount() const { return static_cast<std::int32_t>(tables_.size()); }

  // Rebuilds the word lists and tells the listeners (the stores recolour).
  void WordsChanged();
  bool IsReservedWord(std::string_view Word);
  static std::uint32_t WordHash(std::string_view Word);

  // Registration.
  void AddHandler(const TParserCharSet& Chars, TTokenHandler H) { AddStateHandler({0}, Chars, H); }
  void AddStateHandler(std::initializer_list<std::int32_t> States, const TParserCharSet& Chars, TTokenHandler H);
  void AddLineBreakHandlers(std::int32_t State);

  // Scanning. Buffer ends in a 0 code point and outlives the scan.
  void SetSource(const char32_t* Buffer);
  std::int32_t TokenOffset() const { return static_cast<std::int32_t>(tokenStart_ - lineStart_); }
  std::int32_t SourceOffset() const { return static_cast<std::int32_t>(pos_ - lineStart_); }
  void SetSourceOffset(std::int32_t N) { pos_ = lineStart_ + N; }
  std::string NextTokenString();
  std::int32_t NextNonCommentToken();
  std::string NextNonCommentTokenString();
  std::string PeekTokenString();
  std::string PeekNonCommentTokenString();
  std::int32_t PushState();
  std::int32_t PopState();
  [[noreturn]] void Error(const std::string& Text);

  // Colouring.
  bool IsActive() override { return true; }
  std::int32_t ColorLine(const std::u32string& Line, std::int32_t State, std::string& Colors) override;
  void Loaded() override;

  virtual std::string GetErrorSuffix() { return {}; }
  virtual void DoGetColorData(std::int32_t Kind, const std::string& TokenStr, std::string& ColorData);
  virtual void GotoLine(std::int32_t N) { ScanLineIndex = N; }
  virtual void InitTokenHandlers();
  virtual void LoadLine() {}
  virtual void RestoreState(TTokenData& Item);
  virtual void SaveState(TTokenData& Item);
  virtual TClass TokenDataClass() const { return TTokenData::StaticClass(); }
  virtual void UpdateWordLists();
  virtual std::int32_t ParseBraceComment(char32_t Arg);
  virtual TTokenPos GetTokenPos() { return {TokenOffset() + 1, ScanLineIndex + 1}; }
  virtual std::string GetTokenString();
  virtual std::int32_t NextToken() { return ScanToken(); }

 protected:
  // One token of the current buffer, never beyond its terminating 0.
  std::int32_t ScanToken();
  // Points the scanner at Buffer whatever the scan position.
  void ResetSource(const char32_t* Buffer);

  char32_t Cur() const { return *pos_; }
  // The character N places ahead, or 0 when the line ends before it.
  char32_t Ahead(int N) const;
  // The character before the token, or 0 when the token starts the line.
  char32_t BeforeToken() const { return tokenStart_ > lineStart_ ? tokenStart_[-1] : 0; }
  void Step() {
    if (*pos_) ++pos_;
  }
  static bool Printable(char32_t C) { return C >= 32 || C == U'\t'; }
  bool SkipTo(char32_t C);
  void SkipWhile(const TParserCharSet& Chars);

  std::int32_t ParseLineBreak(char32_t);
  std::int32_t ParseDelimiter(char32_t);
  std::int32_t ParseNumber(char32_t);
  std::int32_t ParseHexNumber(char32_t);
  std::int32_t ParseZeroPrefixed(char32_t);
  std::int32_t ParseIdentifier(char32_t);
  std::int32_t ParseCString(char32_t);
  std::int32_t ParseQuotedString(char32_t Quote);
  std::int32_t ParsePascalString(char32_t);
  std::int32_t ParseCharCode(char32_t);
  std::int32_t ParseLineComment(char32_t);
  std::int32_t ParseBlockCommentBody(char32_t Closer);
  std::int32_t ParseCSlash(char32_t);
  std::int32_t ParsePascalSlash(char32_t);
  std::int32_t ParseParenComment(char32_t);
  // The kind of the identifier-like token just stepped over.
  std::int32_t WordKind();

  const char32_t* lineStart_ = nullptr;
  const char32_t* tokenStart_ = nullptr;
  const char32_t* pos_ = nullptr;

 private:
  using TStateTable = std::array<TTokenHandler, 256>;
  void ReservedWordsChanged(TObject* Sender) { WordsChanged(); }
  // Next's text, with the scanner state saved before and restored after.
  std::string Peek(std::string (TCustomZRParser::*Next)());
  const TStateTable& TableOf(std::int32_t State) const;

  std::unique_ptr<TStringList> reservedWords_;
  std::unique_ptr<TStringList> sortedWords_;
  std::vector<std::unique_ptr<TStateTable>> tables_;
  std::unique_ptr<TCollection> savedStates_;
  // Bucket i: (word, id) in the string list's case-insensitive order.
  std::array<std::vector<std::pair<std::string, std::int32_t>>, 256> buckets_;
  bool caseSensitive_ = false;
  std::string wordBuf_;  // token text of the last identifier, reused
};
