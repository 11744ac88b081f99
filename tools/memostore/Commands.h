#pragma once
// memostore's editing commands: deletions, case changes, indentation, Enter,
// block copies and moves, the clipboard, overwrite mode and options.

#include <iosfwd>
#include <memory>
#include <string>

class TCustomMemoSource;

// Runs the command Word with its arguments from Args; false when Word is
// not one of these commands or its arguments are missing. Output (the
// clipboard's text) goes to Out.
bool RunEditCommand(TCustomMemoSource& Source, const std::string& Word, std::istream& Args, std::ostream& Out);

// While it lives, the stores use a clipboard of their own, which the
// "clip" command fills as another program would.
class TScriptClipboard {
 public:
  TScriptClipboard();
  ~TScriptClipboard();
  TScriptClipboard(const TScriptClipboard&) = delete;
  TScriptClipboard& operator=(const TScriptClipboard&) = delete;

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};
