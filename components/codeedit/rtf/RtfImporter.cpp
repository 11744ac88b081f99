// The importer's main loop: one token at a time, formatting into the record
// stack, text out through the internal importer.
#include <algorithm>

#include "components/codeedit/rtf/RtfImport_p.h"
#include "components/codeedit/rtf/ZRImporter.h"
#include "platform/core/Codecs.h"

using namespace RtfToken;

namespace {
bool EndsText(char32_t C) { return C < 32 || C == U'\\' || C == U'{' || C == U'}'; }
bool IsSurrogate(char16_t U, char16_t First) { return U >= First && U <= First + 0x3FF; }

// Destinations whose groups are skipped whole. Entries are matched whole, so
// "{\s15 text}" keeps its text.
bool IsSkippedDestination(std::string_view Word) {
  static constexpr std::string_view kSkipped[] = {"\\stylesheet", "\\pntxta",   "\\pntxtb", "\\propname",
                                                  "\\staticval",  "\\object",   "\\*",      "\\title",
                                                  "\\author",     "\\operator", "\\pict"};
  return std::find(std::begin(kSkipped), std::end(kSkipped), Word) != std::end(kSkipped);
}

std::string Utf8Of(const char32_t* From, const char32_t* To) {
  return Utf32ToUtf8(std::u32string_view(From, static_cast<size_t>(To - From)));
}
}  // namespace

TRtfImporter::TRtfImporter(TZRImporter& Owner, const char32_t* Text) : TRTFConverter(Text), internal_(Owner, fonts_) {}

TRtfImporter::~TRtfImporter() = default;

void TRtfImporter::Run() {
  for (std::int32_t kind; (kind = parser_.NextToken()) != ZRToken::tkEof;) {
    const char32_t* wordEnd = nullptr;
    switch (kind) {
      case tkText:
      case tkInteger:
      case tkFloat:
        Text();
        break;
      case tkControlWord:
        wordEnd = ControlWord();
        break;
      case tkUnknownControl:
        wordEnd = UnknownWord();
        break;
      case tkGroupOpen:
        GroupOpen();
        break;
      case tkGroupClose:
        internal_.Pop();
        break;
      case tkHexChar:
        HexRun();
        break;
      default:
        break;
    }
    // The font table is looked for only in the header: up to the first text
    // or group that is not the font table.
    if (kind == tkGroupOpen || kind == tkGroupClose) header_ = false;
    wordEnd_ = wordEnd;
  }
  FlushSurrogate();
  internal_.Clear();
}

void TRtfImporter::Text() {
  const char32_t* from = parser_.TokenStart();
  // A blank right after a control word and its parameter delimits the word.
  if (from == wordEnd_ && *from == U' ') ++from;
  Put(Utf8Of(from, parser_.ScanPosition()));
}

void TRtfImporter::SetStyle(TFontStyle Style, bool On) {
  TImportRecord& r = internal_.Top();
  (On ? r.RemoveStyles : r.AddStyles).Exclude(Style);
  (On ? r.AddStyles : r.RemoveStyles).Include(Style);
  r.StylesChanged = true;
}

const char32_t* TRtfImporter::ControlWord() {
  using namespace RtfWord;
  const bool off = parser_.Current() == U'0';
  std::int32_t n = 0;
  switch (parser_.ControlWordId) {
    case b:
      SetStyle(TFontStyle::fsBold, !off);
      break;
    case i:
      SetStyle(TFontStyle::fsItalic, !off);
      break;
    case ul:
      SetStyle(TFontStyle::fsUnderline, !off);
      break;
    case strike:
      SetStyle(TFontStyle::fsStrikeOut, !off);
      break;
    case ulnone:
      SetStyle(TFontStyle::fsUnderline, false);
      break;
    case cell:
    case tab:
      Put("\t");
      break;
    case line:
    case par:
    case row:
      Put("\r\n");
      break;
    case lquote:
    case rquote:
      Put("'");
      break;
    case endash:
      Put("-");
      break;
    case cf:
      if (parser_.TakeParameter(n) && n >= 0 && static_cast<size_t>(n) < colors_.size())
        internal_.Top().Color = colors_[static_cast<size_t>(n)];
      break;
    case f:
    case pnf: {
      n = TakeNumber();
      TRtfFontEntry entry;
      if (fonts_.Find(n, entry)) {
        TImportRecord& r = internal_.Top();
        r.FontName = entry.Name;
        r.Charset = entry.Charset;
      }
      break;
    }
    case fs:
      // No number: the default 24 half-points; a negative one: 72 points.
      if (!parser_.TakeParameter(n)) n = 24;
      internal_.Top().Size = n < 0 ? 72 : n / 2;
      break;
    case highlight: {
      n = TakeNumber();
      const std::int32_t color =
          n >= 0 && static_cast<size_t>(n) < colors_.size() ? colors_[static_cast<size_t>(n)] : -1;
      TImportRecord& r = internal_.Top();
      r.BackColor = n == 0 && color == 0 ? -1 : color;
      r.BackColorChanged = true;
      break;
    }
    case plain:
      internal_.Plain();
      break;
    case rtf:
      header_ = true;
      break;
    case u:
      return UnicodeChar();
    default:
      break;
  }
  parser_.SkipParameter();
  return parser_.ScanPosition();
}

const char32_t* TRtfImporter::UnknownWord() {
  if (parser_.Current() == U'~') {
    Put(" ");
    parser_.StepOver();
    return nullptr;
  }
  parser_.SkipParameter();
  return parser_.ScanPosition();
}

const char32_t* TRtfImporter::UnicodeChar() {
  std::int32_t n = 0;
  if (!parser_.TakeParameter(n)) return parser_.ScanPosition();
  // Exactly one fallback follows, after the word's delimiting blank: one
  // "\'hh", or the first character of a text run.
  if (parser_.Current() == U' ') parser_.StepOver();
  const TZRRtfParser::TScanMark mark = parser_.Mark();
  const std::int32_t kind = parser_.NextToken();
  PutUnit(static_cast<char16_t>(static_cast<std::uint32_t>(n) & 0xFFFF));
  if (kind == tkText || kind == tkInteger || kind == tkFloat) {
    Put(Utf8Of(parser_.TokenStart() + 1, parser_.ScanPosition()));
  } else if (kind != tkHexChar) {
    parser_.Rewind(mark);
  }
  return nullptr;
}

void TRtfImporter::GroupOpen() {
  const std::string groupText = parser_.GroupText;
  const TZRRtfParser::TScanMark mark = parser_.Mark();
  const std::int32_t kind = parser_.NextToken();
  const bool word = kind == tkControlWord || kind == tkUnknownControl;
  const std::int32_t id = parser_.ControlWordId;
  const std::string text = parser_.GetTokenString();
  if (kind == tkControlWord && id == RtfWord::fonttbl && header_) {
    ReadFontTable();
    header_ = false;
    return;
  }
  parser_.Rewind(mark);
  if (kind == tkControlWord && id == RtfWord::colortbl) {
    ReadColorTable();
  } else if (word && IsSkippedDestination(text)) {
    SkipGroup();
  } else {
    internal_.Push();
    Put(groupText);
  }
}

void TRtfImporter::HexRun() {
  std::string bytes;
  for (;;) {
    if (parser_.SpecialChar != 0) bytes += static_cast<char>(parser_.SpecialChar);
    const TZRRtfParser::TScanMark mark = parser_.Mark();
    if (parser_.NextToken() == tkHexChar && parser_.TokenStart() == mark.Pos) continue;
    parser_.Rewind(mark);
    break;
  }
  Put(Windows1252ToUtf8(bytes));
  // The plain text after the run is a piece of its own.
  const char32_t* from = parser_.ScanPosition();
  const char32_t* to = from;
  while (!EndsText(*to)) ++to;
  parser_.SetScanPosition(to);
  Put(Utf8Of(from, to));
}

void TRtfImporter::Put(std::string_view Utf8) {
  if (Utf8.empty()) return;
  header_ = false;
  FlushSurrogate();
  internal_.Output(Utf8);
}

void TRtfImporter::FlushSurrogate() {
  if (highSurrogate_ == 0) return;
  highSurrogate_ = 0;
  internal_.Output(Utf32ToUtf8(std::u32string(1, kReplacementCharacter)));
}

void TRtfImporter::PutUnit(char16_t Unit) {
  if (IsSurrogate(Unit, 0xD800)) {
    FlushSurrogate();
    highSurrogate_ = Unit;
    return;
  }
  char32_t c = Unit;
  if (IsSurrogate(Unit, 0xDC00)) {
    c = highSurrogate_ ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (Unit - 0xDC00) : kReplacementCharacter;
    highSurrogate_ = 0;
  }
  if (c != 0) Put(Utf32ToUtf8(std::u32string(1, c)));
}
