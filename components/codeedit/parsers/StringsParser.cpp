#include "components/codeedit/parsers/StringsParser.h"

#include "platform/core/Codecs.h"

KESTOVA_CLASS_INFO(TStringsParser, TCustomZRParser, "zrparser", nullptr)

using namespace ZRToken;

namespace {
constexpr const char* kNoStringsText = "Strings are not specified";
}

TStringsParser::TStringsParser(TComponent* AOwner) : TCustomZRParser(AOwner) { ResetSource(line_.c_str()); }

void TStringsParser::SetStrings(TStrings* Value) {
  if (Value == strings_) return;
  strings_ = Value;
  Reset();
}

void TStringsParser::Reset() {
  ScanLineIndex = 0;
  if (strings_) {
    LoadLine();
  } else {  // no strings to read: an empty line, without an error
    lineBytes_.clear();
    line_.clear();
    ResetSource(line_.c_str());
  }
  ScanState = 0;
  Token = tkNone;
}

void TStringsParser::CheckStrings() {
  if (!strings_) Error(kNoStringsText);
}

void TStringsParser::GotoLine(std::int32_t N) {
  CheckStrings();
  if (N == ScanLineIndex && N >= 0 && N < strings_->GetCount() && strings_->Get(N) == lineBytes_) return;
  ScanLineIndex = N;
  LoadLine();
}

void TStringsParser::LoadLine() {
  CheckStrings();
  const bool inside = ScanLineIndex >= 0 && ScanLineIndex < strings_->GetCount();
  lineBytes_ = inside ? strings_->Get(ScanLineIndex) : std::string();
  // The old copy goes: nothing may keep pointing into it.
  pos_ = nullptr;
  line_ = Utf8ToUtf32Lossless(lineBytes_);
  SetSource(line_.c_str());
}

std::int32_t TStringsParser::NextToken() {
  CheckStrings();
  for (;;) {
    if (const std::int32_t kind = ScanToken(); kind != tkEof) return kind;
    if (ScanLineIndex >= strings_->GetCount()) return tkEof;
    ++ScanLineIndex;
    LoadLine();
    if (ReportLineEnds && ScanState == 0) {
      Token = tkEol;
      return tkEol;
    }
  }
}

bool TStringsParser::IsDelimiter(char32_t C) const {
  return Token == tkDelimiter && tokenStart_ && pos_ > tokenStart_ && *tokenStart_ == C;
}

bool TStringsParser::NextIsDelimiter(char32_t C) {
  NextToken();
  return IsDelimiter(C);
}

bool TStringsParser::NextIsResWord(std::int32_t Id) {
  NextToken();
  return IsResWord(Id);
}

bool TStringsParser::SkipToResWord(std::int32_t Id) {
  while (!IsEOF() && !IsResWord(Id)) NextToken();
  return !IsEOF();
}
