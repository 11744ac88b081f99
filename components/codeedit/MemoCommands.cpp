// The editing commands: deletions, case changes and the line transforms,
// each composed of the edit primitives inside one update with its code.
#include <QChar>

#include "components/base/ObjectParams.h"
#include "components/codeedit/MemoCommands_p.h"
#include "platform/core/Codecs.h"

namespace {
bool overwriteMode = false;

char32_t Upper(char32_t C) { return C > 0x10FFFF ? C : QChar::toUpper(C); }
char32_t Lower(char32_t C) { return C > 0x10FFFF ? C : QChar::toLower(C); }

bool IsDelimiter(const TCustomMemoSource& S, char32_t C) { return C < 256 && S.DelimiterSet().test(C); }

// Releases tracked positions whatever happens.
class TTrackedScope {
 public:
  explicit TTrackedScope(TCustomMemoSource& Source) : source_(Source) {}
  ~TTrackedScope() {
    for (TMemoPos* p : held_) source_.ReleasePosition(p);
  }
  TTrackedScope(const TTrackedScope&) = delete;
  TTrackedScope& operator=(const TTrackedScope&) = delete;
  TMemoPos* Track(TMemoPos P) { return held_.emplace_back(source_.TrackPosition(P)); }

 private:
  TCustomMemoSource& source_;
  std::vector<TMemoPos*> held_;
};
}  // namespace

bool TCustomMemoSource::OverwriteMode() { return overwriteMode; }

void TCustomMemoSource::SetOverwriteMode(bool On) {
  if (On == overwriteMode) return;
  TUpdateGuard update(*this, ChangeCode::OverwriteMode);
  overwriteMode = On;
  storeState_.Include(ssOverwriteChanged);
}

bool TCustomMemoSource::OverwriteSelection() {
  if (updateCount_ > 1 || !options_.Contains(soOverwriteBlocks) || options_.Contains(soPersistentBlocks) ||
      !HasSelection())
    return false;
  DeleteSelection();
  return true;
}

// ---- Deletions ----

void TCustomMemoSource::DeleteCharLeft() {
  if (OverwriteSelection()) return;
  TUpdateGuard update(*this, ChangeCode::DeleteCharLeft);
  const std::int32_t line = caret_.Line, column = caret_.Char;
  if (column == 0) {
    if (line == 0) return;
    MoveCaret(-1, 0);
    LineEnd();
    DeleteLineBreak();
    return;
  }
  const std::u32string shown = ExpandTabs(LineText(line));
  if (column > static_cast<std::int32_t>(shown.size()) || line >= LineCount()) {
    CharLeft();
    return;
  }
  if (!options_.Contains(soBackUnindents) || FirstNonSpace(shown) != column) {
    CaretLeftOverTab();
    DeleteChars(1);
    return;
  }
  // Back to the word start of the nearest less indented line above.
  std::int32_t to = 0;
  for (std::int32_t above = line - 1; above >= 0; --above) {
    const std::u32string s = ExpandTabs(LineText(above));
    if (s.empty() || FirstNonSpace(s) >= column) continue;
    to = std::min(column, static_cast<std::int32_t>(s.size()));
    while (to > 0 && s[static_cast<size_t>(to - 1)] == U' ') --to;
    while (to > 0 && s[static_cast<size_t>(to - 1)] != U' ') --to;
    break;
  }
  if (options_.Contains(soUseTabCharacter)) {
    SetSelection(stBlock, {to, line}, {column - 1, line});
    DeleteSelection();
    const std::int32_t indent = FirstNonSpace(ExpandTabs(LineText(line)));
    if (indent < to) {
      SetCaret(indent, line);
      InsertText(std::u32string(static_cast<size_t>(to - indent), U' '));
    }
  } else {
    SetCaret(0, line);
    DeleteChars(column - to);
  }
  SetCaret(to, line);
}

void TCustomMemoSource::DeleteChar() {
  if (OverwriteSelection()) return;
  if (caret_.Char < DisplayLength(LineText(caret_.Line)))
    DeleteChars(1);
  else
    DeleteLineBreak();
}

void TCustomMemoSource::DeleteLine() {
  TUpdateGuard update(*this, ChangeCode::DeleteLine);
  MoveCaret(0, -caret_.Char);
  DeleteChars(kMaxInt);
  DeleteLineBreak();
}

void TCustomMemoSource::DeleteToLineStart() {
  TUpdateGuard update(*this, ChangeCode::DeleteToLineStart);
  const std::int32_t count =
      options_.Contains(soUseTabCharacter) ? ColumnToIndex(LineText(caret_.Line), caret_.Char) : caret_.Char;
  MoveCaret(0, -caret_.Char);
  DeleteChars(count);
}

namespace {
void ClearSelectionAtCaret(TCustomMemoSource& S) { S.SetSelection(stNone, S.Caret(), S.Caret()); }
void DeleteSelectionOf(TCustomMemoSource& S) { S.DeleteSelection(); }
}  // namespace

void TCustomMemoSource::DeleteWordRight() {
  KeepSelectionDo(ChangeCode::DeleteWordRight, false, &DeleteSelectionOf, [](TCustomMemoSource& S) {
    ClearSelectionAtCaret(S);
    S.ExtendSelection(stStream, &TCustomMemoSource::WordRight);
  });
}

void TCustomMemoSource::DeleteWordLeft() {
  KeepSelectionDo(ChangeCode::DeleteWordLeft, false, &DeleteSelectionOf, [](TCustomMemoSource& S) {
    ClearSelectionAtCaret(S);
    S.ExtendSelection(stStream, &TCustomMemoSource::WordLeft);
  });
}

void TCustomMemoSource::DeleteWordOrJoin() {
  TUpdateGuard update(*this, ChangeCode::DeleteWordRight);
  const std::u32string& text = LineText(caret_.Line);
  if (caret_.Char < DisplayLength(text.substr(0, TrimmedLength(text))))
    KeepSelectionDo(ChangeCode::DeleteWordRight, false, &DeleteSelectionOf,
                    [](TCustomMemoSource& S) { S.SelectToWordEnd(); });
  else
    DeleteLineBreak();
}

void TCustomMemoSource::ClearText() {
  TUpdateGuard update(*this, ChangeCode::Clear);
  SelectAll();
  DeleteSelection();
  SetCaret(0, 0);
}

// ---- Keeping the selection, transforming the selected lines ----

void TCustomMemoSource::KeepSelectionDo(std::int32_t Code, bool RestoreCaret, TSourceProc Action,
                                        TSourceProc Selector) {
  const TSelectionType type = selectionType_;
  TTrackedScope tracked(*this);
  TMemoPos* start = tracked.Track(selStart_);
  TMemoPos* end = tracked.Track(selEnd_);
  TUpdateGuard update(*this, Code);
  const TMemoPos caret = caret_;
  if (Selector) Selector(*this);
  if (Action) Action(*this);
  if (RestoreCaret) SetCaret(caret.Char, caret.Line);
  SetSelection(type, *start, *end);
}

void TCustomMemoSource::TransformSelectedLines(std::int32_t Code, TLineTransform Fn) {
  if (!HasSelection() || IsReadOnly()) return;
  const TMemoPos start = selStart_, end = selEnd_;
  // Deleting around a read-only line would fail while the insertion went
  // ahead, doubling the text.
  for (std::int32_t line = start.Line; line <= end.Line; ++line)
    if (IsLineReadOnly(line)) return;
  TUpdateGuard update(*this, Code);
  // Putting the caret back on another line trims this one's blanks; the
  // lines must still go in at the selection's columns.
  TNoLimitEOL unlimited(*this);
  const TMemoPos caret = caret_;
  const bool block = selectionType_ == stBlock;
  const bool keep = KeepsColors();
  std::vector<std::u32string> lines;
  std::vector<std::string> colors;
  {
    TRawScope raw(*strings_);
    TStrings* selected = SelectionStrings();
    for (int i = 0; i < selected->Count(); ++i) {
      lines.push_back(Utf8ToUtf32Lossless(selected->Get(i)));
      const std::int32_t line = start.Line + i;
      std::string c;
      if (keep) {
        const std::int32_t from = block || line == start.Line ? ColumnToIndex(LineText(line), start.Char) : 0;
        const std::string all = LineColorData(line);
        c = all.substr(std::min(static_cast<size_t>(from), all.size()), lines.back().size());
        c.resize(lines.back().size(), 0);
      }
      Fn(*this, lines.back(), c);
      if (keep) colors.push_back(std::move(c));
    }
  }
  DeleteSelection();
  SetCaret(start.Char, start.Line);
  InsertLinesRaw(lines, keep ? &colors : nullptr, block);
  SetCaret(caret.Char, caret.Line);
}

// ---- Case changes and quoting ----

void TCustomMemoSource::UpperCaseBlock() {
  TransformSelectedLines(ChangeCode::UpperCase, [](const TCustomMemoSource&, std::u32string& T, std::string&) {
    for (char32_t& c : T) c = Upper(c);
  });
}

void TCustomMemoSource::LowerCaseBlock() {
  TransformSelectedLines(ChangeCode::LowerCase, [](const TCustomMemoSource&, std::u32string& T, std::string&) {
    for (char32_t& c : T) c = Lower(c);
  });
}

void TCustomMemoSource::ToggleCaseBlock() {
  TransformSelectedLines(ChangeCode::ToggleCase, [](const TCustomMemoSource&, std::u32string& T, std::string&) {
    for (char32_t& c : T) c = Upper(c) != c ? Upper(c) : Lower(c);
  });
}

void TCustomMemoSource::CapitalizeBlock() {
  TransformSelectedLines(ChangeCode::Capitalize, [](const TCustomMemoSource& S, std::u32string& T, std::string&) {
    for (size_t i = 0; i < T.size(); ++i) {
      T[i] = Lower(T[i]);
      if (!IsDelimiter(S, T[i]) && (i == 0 || IsDelimiter(S, T[i - 1]))) T[i] = Upper(T[i]);
    }
  });
}

void TCustomMemoSource::UpperCaseWord() {
  KeepSelectionDo(
      ChangeCode::UpperCaseWord, true, [](TCustomMemoSource& S) { S.UpperCaseBlock(); },
      [](TCustomMemoSource& S) { S.SelectWord(0); });
}

void TCustomMemoSource::LowerCaseWord() {
  KeepSelectionDo(
      ChangeCode::LowerCaseWord, true, [](TCustomMemoSource& S) { S.LowerCaseBlock(); },
      [](TCustomMemoSource& S) { S.SelectWord(0); });
}

void TCustomMemoSource::CapitalizeWord() {
  KeepSelectionDo(
      ChangeCode::CapitalizeWord, true, [](TCustomMemoSource& S) { S.CapitalizeBlock(); },
      [](TCustomMemoSource& S) { S.SelectWord(0); });
}

void TCustomMemoSource::QuoteBlock() {
  TransformSelectedLines(ChangeCode::QuoteBlock, [](const TCustomMemoSource&, std::u32string& T, std::string& C) {
    T.insert(0, 1, U'>');
    C.insert(0, 1, 0);
  });
}

// ---- Code templates ----

void TCustomMemoSource::SetCodeTemplates(const TMemoCodeTemplates* Value) { templates_->Assign(Value); }

void TCustomMemoSource::SetTemplatesType(const std::string& Value) {
  if (Value == templatesType_) return;
  TObjectParamListItem* kind = FindTemplateKind(Value);
  if (!kind) return;
  templatesType_ = Value;
  if (auto* fill = ParamProc<TFillTemplatesProc>(kind, "CodeTemplates.Proc")) fill(templates_.get());
}
