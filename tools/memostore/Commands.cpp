#include "tools/memostore/Commands.h"

#include <istream>
#include <map>
#include <ostream>

#include "components/codeedit/MemoSource.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Clipboard.h"

namespace {

TestClipboard* scriptClipboard = nullptr;

// "\n" and "\r" in a script's text stand for LF and CR, "\t" for a tab and
// "\s" for a space.
std::string Unescaped(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\\' && i + 1 < Text.size()) {
      const char next = Text[++i];
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next == 's' ? ' ' : next;
    } else {
      out += Text[i];
    }
  }
  return out;
}

std::string Rest(std::istream& Args) {
  std::string rest;
  std::getline(Args >> std::ws, rest);
  return Unescaped(rest);
}

// Line breaks and tabs shown escaped, as the store's lines are.
std::string Shown(const std::string& Text) {
  std::string out;
  for (char c : Text) out += c == '\r' ? std::string("\\r") : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
  return out;
}

using TCommand = void (*)(TCustomMemoSource& S);

const std::map<std::string, TCommand>& Commands() {
  using S = TCustomMemoSource;
  static const std::map<std::string, TCommand> commands = {
      {"backspace", [](S& s) { s.DeleteCharLeft(); }},
      {"del", [](S& s) { s.DeleteChar(); }},
      {"delline", [](S& s) { s.DeleteLine(); }},
      {"delstart", [](S& s) { s.DeleteToLineStart(); }},
      {"delend", [](S& s) { s.DeleteToLineEnd(); }},
      {"delwordright", [](S& s) { s.DeleteWordRight(); }},
      {"delwordorjoin", [](S& s) { s.DeleteWordOrJoin(); }},
      {"delwordleft", [](S& s) { s.DeleteWordLeft(); }},
      {"clear", [](S& s) { s.ClearText(); }},
      {"upper", [](S& s) { s.UpperCaseBlock(); }},
      {"lower", [](S& s) { s.LowerCaseBlock(); }},
      {"toggle", [](S& s) { s.ToggleCaseBlock(); }},
      {"capitalize", [](S& s) { s.CapitalizeBlock(); }},
      {"upperword", [](S& s) { s.UpperCaseWord(); }},
      {"lowerword", [](S& s) { s.LowerCaseWord(); }},
      {"capword", [](S& s) { s.CapitalizeWord(); }},
      {"quote", [](S& s) { s.QuoteBlock(); }},
      {"indent", [](S& s) { s.IndentBlock(); }},
      {"unindent", [](S& s) { s.UnindentBlock(); }},
      {"tab", [](S& s) { s.IndentOrTab(); }},
      {"backtab", [](S& s) { s.UnindentOrBackTab(); }},
      {"enter", [](S& s) { s.BreakLine(); }},
      {"copy", [](S& s) { s.CopyToClipboard(); }},
      {"cut", [](S& s) { s.CutToClipboard(); }},
      {"paste", [](S& s) { s.PasteFromClipboard(); }},
      {"copyblock", [](S& s) { s.CopyBlock(); }},
      {"moveblock", [](S& s) { s.MoveBlock(); }},
      {"copytocaret", [](S& s) { s.CopyBlockToCaret(); }},
      {"trim", [](S& s) { s.TrimTrailingBlanks(true); }},
  };
  return commands;
}

}  // namespace

bool RunEditCommand(TCustomMemoSource& Source, const std::string& Word, std::istream& Args, std::ostream& Out) {
  if (auto found = Commands().find(Word); found != Commands().end()) {
    found->second(Source);
    return true;
  }
  std::string value;
  if (Word == "text") {
    Source.InsertTextBlock(Rest(Args));
  } else if (Word == "clip") {
    if (scriptClipboard) scriptClipboard->SetFromOtherProgram({.text = Rest(Args)});
  } else if (Word == "clipboard") {
    Out << "  clipboard "
        << (scriptClipboard && scriptClipboard->HasText() ? '"' + Shown(scriptClipboard->AsText()) + '"'
                                                          : std::string("empty"))
        << (TCustomMemoSource::ClipboardBlockFlag() ? " block" : "") << '\n';
  } else if (Word == "overwrite") {
    if (!(Args >> value) || (value != "on" && value != "off")) return false;
    Source.SetOverwriteMode(value == "on");
  } else if (Word == "option") {
    // option NAME on|off, NAME as the options are published (soAutoIndent).
    std::string state;
    if (!(Args >> value >> state) || (state != "on" && state != "off")) return false;
    const std::int64_t option = GetEnumValue(TypeInfos::TStringsOption(), value);
    if (option < 0) return false;
    TStringsOptions options = Source.Options();
    if (state == "on")
      options.Include(static_cast<TStringsOption>(option));
    else
      options.Exclude(static_cast<TStringsOption>(option));
    Source.SetOptions(options);
  } else if (Word == "blockindent") {
    int n = 0;
    if (!(Args >> n)) return false;
    Source.SetBlockIndent(n);
  } else {
    return false;
  }
  return true;
}

struct TScriptClipboard::TState {
  TestClipboard clipboard;
  Clipboard* previous = nullptr;
};

TScriptClipboard::TScriptClipboard() : state_(std::make_unique<TState>()) {
  state_->previous = SetClipboardService(&state_->clipboard);
  scriptClipboard = &state_->clipboard;
}

TScriptClipboard::~TScriptClipboard() {
  SetClipboardService(state_->previous);
  scriptClipboard = nullptr;
}
