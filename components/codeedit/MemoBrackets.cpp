// Matching brackets: ( < [ { with ) > ] }.
#include "components/codeedit/MemoSearch_p.h"

namespace {
const std::u32string_view kOpening = U"(<[{";
const std::u32string_view kClosing = U")>]}";

// One line as the bracket scan sees it: shown text and its colours.
struct TBracketLine {
  std::u32string Text;
  std::string Colors;
  bool Plain = false;
  // Strings (1) and comments (2) hold no brackets.
  bool Skipped(size_t I) const { return !Plain && I < Colors.size() && (Colors[I] == 1 || Colors[I] == 2); }
};
}  // namespace

static TBracketLine BracketLine(TCustomMemoSource& S, std::int32_t Line) {
  TBracketLine line;
  line.Text = S.ExpandTabs(S.LineText(Line));
  line.Plain = S.IsPlainSyntaxParser();
  if (!line.Plain) line.Colors = S.ExpandedColorData(Line);
  return line;
}

bool TCustomMemoSource::MatchingBracket(TMemoPos& At, char32_t& Bracket) {
  At = caret_;
  const std::int32_t oneChar = selectionType_ == stBlock ? 0 : 1;
  if (selectionType_ != stNone && selStart_.Line == selEnd_.Line && selEnd_.Char - selStart_.Char == oneChar)
    At = selStart_;
  if (At.Line >= LineCount()) return false;
  const TBracketLine line = BracketLine(*this, At.Line);
  const auto i = static_cast<size_t>(At.Char);
  if (i >= line.Text.size() || line.Skipped(i)) return false;
  Bracket = line.Text[i];
  return true;
}

void TCustomMemoSource::ScanBrackets(TMemoPos From, char32_t Open, char32_t Close, bool Forward) {
  TUpdateGuard update(*this, ChangeCode::CaretMove);
  const char32_t same = Forward ? Open : Close, partner = Forward ? Close : Open;
  const int step = Forward ? 1 : -1;
  int depth = 1;
  std::int32_t line = From.Line, column = From.Char + step;
  for (;;) {
    const TBracketLine text = BracketLine(*this, line);
    const auto length = static_cast<std::int32_t>(text.Text.size());
    for (; column >= 0 && column < length; column += step) {
      const auto i = static_cast<size_t>(column);
      if (text.Skipped(i)) continue;
      if (text.Text[i] == same) ++depth;
      if (text.Text[i] == partner && --depth == 0) {
        SetCaret(column, line);
        return;
      }
    }
    line += step;
    if (line < 0 || line >= LineCount()) return;
    column = Forward ? 0 : static_cast<std::int32_t>(ExpandTabs(LineText(line)).size()) - 1;
  }
}

void TCustomMemoSource::GotoMatchingBracket() {
  TMemoPos at;
  char32_t bracket = 0;
  if (!MatchingBracket(at, bracket)) return;
  if (kOpening.find(bracket) != std::u32string_view::npos) BracketForward();
  if (kClosing.find(bracket) != std::u32string_view::npos) BracketBackward();
}

void TCustomMemoSource::BracketForward() {
  TMemoPos at;
  char32_t bracket = 0;
  if (!MatchingBracket(at, bracket)) return;
  const size_t k = kOpening.find(bracket);
  if (k != std::u32string_view::npos) ScanBrackets(at, bracket, kClosing[k], true);
}

void TCustomMemoSource::BracketBackward() {
  TMemoPos at;
  char32_t bracket = 0;
  if (!MatchingBracket(at, bracket)) return;
  const size_t k = kClosing.find(bracket);
  if (k != std::u32string_view::npos) ScanBrackets(at, kOpening[k], bracket, false);
}
