// Replace: once, with the prompt, and the loop of Replace All.
#include <optional>

#include "components/codeedit/MemoSearch_p.h"
#include "platform/core/Codecs.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"

namespace {
void CloseUpdates(TCustomMemoSource& Source, int Level) {
  while (Source.UpdateCount() > Level) Source.EndUpdate();
}

// Closes the updates left open above Level (an "All" answer leaves one open
// for the loop), also when an exception passes.
class TUpdateLevel {
 public:
  explicit TUpdateLevel(TCustomMemoSource& Source) : source_(Source), level_(Source.UpdateCount()) {}
  int Level() const { return level_; }
  ~TUpdateLevel() noexcept(false) {
    const int exceptions = std::uncaught_exceptions();
    try {
      CloseUpdates(source_, level_);
    } catch (...) {
      if (std::uncaught_exceptions() == exceptions) throw;
    }
  }
  TUpdateLevel(const TUpdateLevel&) = delete;
  TUpdateLevel& operator=(const TUpdateLevel&) = delete;

 private:
  TCustomMemoSource& source_;
  int level_;
};
}  // namespace

void TCustomMemoSource::ReplaceCore() {
  if (IsReadOnly()) return;
  replacedCount_ = 0;
  TDeselectionGuard keepSelection(*this);
  TUpdateLevel level(*this);
  DoBeforeFindReplace(1);
  TSearchOptions& options = SearchOptions();
  if (options.ReplaceAll) {
    ReplaceLoop(level.Level());
  } else {
    const bool replaced = ReplaceOnce();
    options.ShowNotFound = false;
    if (replaced && options.ReplaceAll) ReplaceLoop(level.Level());
  }
  if (KeepsColors()) ForcedAttribute = -1;
}

void TCustomMemoSource::ReplaceLoop(int Level) {
  TSearchOptions& options = SearchOptions();
  if (!options.PromptOnReplace) BeginUpdate(ChangeCode::Replace);
  for (;;) {
    bool replaced = false;
    {
      std::optional<THourGlass> wait;
      if (!options.PromptOnReplace) wait.emplace();
      replaced = ReplaceOnce();
    }
    options.ShowNotFound = false;
    if (!replaced) break;
  }
  if (!options.PromptOnReplace) {
    SetFoundRect({});
    CloseUpdates(*this, Level);
  }
}

bool TCustomMemoSource::ReplaceOnce() {
  std::int32_t length = 0;
  if (!FindNextCore(length)) return false;
  TSearchOptions& options = SearchOptions();
  if (options.PromptOnReplace) {
    const int answer = Dialogs().MessageBox(
        SearchReportText(kReplacePromptText), Application->Title(), TMsgDlgType::mtConfirmation,
        TMsgDlgButtons{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbAll});
    if (answer == mrCancel) return false;
    if (answer == mrNo) return true;  // the next search starts past this one
    if (answer == mrAll) {
      options.PromptOnReplace = false;
      options.ReplaceAll = true;
      BeginUpdate(ChangeCode::Replace);  // closed when the loop ends
    }
  }
  ReplaceFound(length);
  return true;
}

void TCustomMemoSource::ReplaceFound(std::int32_t Length) {
  TSearchOptions& options = SearchOptions();
  const std::u32string with = Utf8ToUtf32(options.ReplaceWith);
  TUpdateGuard update(*this, ChangeCode::Replace);
  const bool forward = options.Direction == sdForward;
  // The caret goes to the match start.
  if (forward) SetCaret(caret_.Char - Length, caret_.Line);
  const std::u32string& text = LineText(caret_.Line);
  // The stored characters the matched columns cover: a tab that holds the
  // start counts whole (DeleteChars keeps its part before the start as
  // spaces), one that holds the end too.
  std::int32_t first = 0;
  TabOffsetAt(*this, text, caret_.Char, first);
  const std::int32_t count = ColumnToIndex(text, caret_.Char + Length) - first;
  if (forward && KeepsColors()) {
    ForcedAttribute = -1;
    ForcedAttribute = AttributeAt(caret_.Char + 1, caret_.Line);
  }
  DeleteChars(count);
  if (!with.empty() && InsertText(with) && forward) SetCaret(caret_.Char + InsertedLength(), caret_.Line);
  ++replacedCount_;
}
