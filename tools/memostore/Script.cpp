#include "tools/memostore/Script.h"

#include <istream>
#include <ostream>
#include <sstream>
#include <string>

#include "components/codeedit/MemoSource.h"
#include "platform/core/Codecs.h"
#include "tools/memostore/Commands.h"

namespace {

const char* const kStateNames[] = {
    "CaretMoved", "TextChanged", "Undoing", "SelectionChanged", "Overwrite", "LineCount", "Modified",
    "Found",      "Name",        "",        "ReparseAll",       "ReadOnly"};
const char* const kSelectionNames[] = {"none", "stream", "block"};

// Tabs and backslashes shown as \t and \\, so that every line reads plainly.
std::string Shown(const std::u32string& Text) {
  std::string out;
  for (char c : Utf32ToUtf8Lossless(Text)) {
    if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

// The reverse of Shown for typed text.
std::u32string Unescape(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\\' && i + 1 < Text.size()) {
      const char next = Text[++i];
      out += next == 't' ? '\t' : next == 's' ? ' ' : next;
    } else {
      out += Text[i];
    }
  }
  return Utf8ToUtf32Lossless(out);
}

class TPrinter : public TComponent {
 public:
  TPrinter(TCustomMemoSource& Source, std::ostream& Out) : TComponent(nullptr), out_(Out) {
    Source.AddListener(false, TNotifierMethod::Of<&TPrinter::Heard>(*this));
  }
  void Heard(TComponent* Sender, void*, std::int32_t) {
    auto& s = *static_cast<TCustomMemoSource*>(Sender);
    out_ << "  update " << s.ChangeCode() << " state";
    for (int bit = 0; bit < 12; ++bit)
      if (s.StoreState().Contains(static_cast<TStoreStateBit>(bit))) out_ << ' ' << kStateNames[bit];
    out_ << "\n  caret " << s.CaretChar() << ',' << s.CaretLine() << " selection "
         << kSelectionNames[s.SelectionType()];
    if (s.HasSelection())
      out_ << ' ' << s.SelectionStart().Char << ',' << s.SelectionStart().Line << ' ' << s.SelectionEnd().Char << ','
           << s.SelectionEnd().Line;
    out_ << (s.Modified() ? " modified" : "") << '\n';
    for (std::int32_t i = 0; i < s.LineCount(); ++i) out_ << "  " << i << ": " << Shown(s.LineText(i)) << '\n';
  }

 private:
  std::ostream& out_;
};

void Type(TCustomMemoSource& S, const std::u32string& Text) {
  for (char32_t c : Text) {
    TCustomMemoSource::TUpdateGuard update(S, ChangeCode::InsertText);
    S.InsertText(std::u32string(1, c));
    S.MoveCaret(0, S.InsertedLength());
  }
}

// One command; false when it is not known or its numbers are missing.
bool Run(TCustomMemoSource& S, const std::string& Line, std::ostream& Out) {
  std::istringstream in(Line);
  std::string word;
  in >> word;
  int a = 0, b = 0, c = 0, d = 0;
  if (word == "type") {
    Type(S, Unescape(Line.size() > 5 ? Line.substr(5) : std::string()));
  } else if (word == "delete") {
    if (!(in >> a)) a = 1;
    S.DeleteChars(a);
  } else if (word == "break") {
    S.InsertLineBreak();
  } else if (word == "join") {
    S.DeleteLineBreak();
  } else if (word == "move") {
    if (!(in >> a >> b)) return false;
    S.MoveCaret(a, b);
  } else if (word == "caret") {
    if (!(in >> a >> b)) return false;
    S.SetCaret(a, b);
  } else if (word == "left" || word == "right" || word == "up" || word == "down" || word == "home" || word == "end" ||
             word == "wordleft" || word == "wordright") {
    if (word == "left") S.CharLeft();
    if (word == "right") S.CharRight();
    if (word == "up") S.LineUp();
    if (word == "down") S.LineDown();
    if (word == "home") S.LineStart();
    if (word == "end") S.LineEnd();
    if (word == "wordleft") S.WordLeft();
    if (word == "wordright") S.WordRight();
  } else if (word == "select") {
    std::string kind;
    if (!(in >> kind >> a >> b >> c >> d) || (kind != "stream" && kind != "block")) return false;
    S.SelectRange(kind == "block" ? stBlock : stStream, {a, b}, {c, d});
  } else if (word == "delsel") {
    S.DeleteSelection();
  } else if (word == "undo") {
    S.Undo();
  } else if (word == "redo") {
    S.Redo();
  } else if (word == "save") {
    S.SetModified(false);
  } else {
    return RunEditCommand(S, word, in, Out);
  }
  return true;
}

}  // namespace

int RunScript(TCustomMemoSource& Source, std::istream& In, std::ostream& Out) {
  TPrinter printer(Source, Out);
  TScriptClipboard clipboard;
  std::string line;
  while (std::getline(In, line)) {
    if (line.empty() || line[0] == '#') continue;
    Out << "> " << line << '\n';
    if (!Run(Source, line, Out)) {
      Out << "bad command: " << line << '\n';
      return 1;
    }
  }
  return 0;
}

void ExpandLines(TCustomMemoSource& Source, std::istream& In, std::ostream& Out) {
  std::string line;
  while (std::getline(In, line)) Out << Utf32ToUtf8Lossless(Source.ExpandTabs(Utf8ToUtf32Lossless(line))) << '\n';
}
