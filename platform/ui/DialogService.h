#pragma once
// The dialogs the program asks the user through: message boxes; open, save,
// font, colour and folder dialogs; the print and printer set-up dialogs; and
// the beep. Everything goes through the current DialogService so that tests
// can script the answers (ScriptedDialogService).

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/EnumSet.h"
#include "platform/graphics/Color.h"

class QPrinter;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons of a message box, in the order the box lists them.
enum class TMsgDlgBtn : std::uint8_t {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};

// A set of buttons; the usual sets are named (TMsgDlgButtons::mbYesNo).
class TMsgDlgButtons : public EnumSet<TMsgDlgBtn> {
 public:
  using EnumSet::EnumSet;
  constexpr TMsgDlgButtons(EnumSet<TMsgDlgBtn> set) : EnumSet(set) {}
  static const TMsgDlgButtons mbOK, mbOKCancel, mbYesNo, mbYesNoCancel, mbRetryCancel, mbAbortRetryIgnore;
};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbOK{TMsgDlgBtn::mbOK};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbOKCancel{TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbYesNo{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbYesNoCancel{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo,
                                                              TMsgDlgBtn::mbCancel};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbRetryCancel{TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbCancel};
inline constexpr TMsgDlgButtons TMsgDlgButtons::mbAbortRetryIgnore{TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry,
                                                                   TMsgDlgBtn::mbIgnore};

// Answers, numbered as the platform numbers them (6 for Yes, 7 for No).
enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

// The answer of each button; mbHelp has none (mrNone): it asks for help and
// leaves the box open.
TModalResult ModalResultOf(TMsgDlgBtn button);
// The button that is pressed by Enter: OK, else Yes, else Retry (when the set
// lacks it, the first button of the set). The one pressed by Escape or by
// closing the box: Cancel, else No, else OK, else none (closing answers
// mrCancel).
TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons buttons);
std::optional<TMsgDlgBtn> CancelButtonOf(TMsgDlgButtons buttons);

// ---- Open and save dialogs ----
enum class TOpenOption : std::uint8_t {
  ofReadOnly,            // kept for callers; no effect here
  ofOverwritePrompt,     // save: ask before replacing a file
  ofHideReadOnly,        // kept for callers; no effect here
  ofNoChangeDir,         // the current directory never changes here anyway
  ofAllowMultiSelect,    // open: several files
  ofPathMustExist,       // kept for callers; the dialog checks folders itself
  ofFileMustExist,       // open: only existing files
  ofCreatePrompt,        // kept for callers; no effect here
  ofNoDereferenceLinks,  // links are returned as links
  ofForceShowHidden,     // hidden files are listed
};
using TOpenOptions = EnumSet<TOpenOption>;

struct TFileDialogOptions {
  std::string title;
  // Pairs of description and masks, all separated by "|"; masks within a
  // pair by ";": "Text files (*.txt)|*.txt|Trees|*.nwk;*.tre|All files|*.*".
  std::string filter;
  int filterIndex = 1;           // 1-based; out of range selects the first
  std::string defaultExtension;  // without the dot: "out"
  std::string initialDir;
  std::string fileName;
  // Saves ask before they replace a file unless told otherwise.
  TOpenOptions options{TOpenOption::ofHideReadOnly, TOpenOption::ofOverwritePrompt};
};

struct TFileDialogResult {
  std::vector<std::string> files;  // at least one; several only with ofAllowMultiSelect
  int filterIndex = 1;             // 1-based: the filter in use when the user confirmed
  bool operator==(const TFileDialogResult&) const = default;
};

// The name filters a file dialog shows for a "Desc|masks" filter, one per
// pair: "Desc (m1 m2)". A description that already ends with its masks in
// parentheses is not given them twice; "*.*" becomes "*" (every file, with
// or without an extension); a pair without masks gets "*"; an empty pair
// (a "|" at the end) is left out. An empty filter gives no filters.
std::vector<std::string> NameFiltersOf(std::string_view filter);
// The 0-based filter for a 1-based filter index among `count` filters: the
// first one when the index is out of range.
int NameFilterPosition(int filterIndex, int count);

// A font as the font dialog shows and returns it.
struct TFontChoice {
  std::string name = "Arial";
  int size = 10;  // points
  bool bold = false, italic = false, underline = false, strikeOut = false;
  uint32_t color = 0;  // 0x00BBGGRR
  bool operator==(const TFontChoice&) const = default;
};

// A colour and the dialog's custom colours (at most 16; more are ignored).
struct TColorChoice {
  TColor color = clBlack;
  std::vector<TColor> customColors;
  bool operator==(const TColorChoice&) const = default;
};

// ---- Folder browse ----
struct TFolderBrowseOptions {
  std::string caption;
  // The top of the browser's tree; "" is the whole file system ("/").
  std::string root;
  // The folder to open at (see FolderBrowseStart).
  std::string selected;
  // The caller's browse flags, handed on as they are; the browser lists
  // folders only, whatever they say.
  std::uint32_t flags = 0;
};

// Where the folder browser opens: at `selected` when it lies at or below
// `root`, else at `root`. Paths are compared by their components, after
// removing "." and ".." and repeated or trailing "/", so "/a/bc" is not below
// "/a/b"; a relative `selected` is never below an absolute root.
std::string FolderBrowseStart(const std::string& root, const std::string& selected);

class DialogService {
 public:
  virtual ~DialogService() = default;
  // A modal box; returns the result of the button pressed (the cancel
  // button's when the box is closed, see CancelButtonOf).
  virtual int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                         TMsgDlgButtons buttons) = 0;
  // The chosen files and filter, or nothing when cancelled.
  virtual std::optional<TFileDialogResult> ExecuteOpen(const TFileDialogOptions& options) = 0;
  virtual std::optional<TFileDialogResult> ExecuteSave(const TFileDialogOptions& options) = 0;
  // The first chosen path, or nothing when cancelled.
  std::optional<std::string> OpenFile(const TFileDialogOptions& options);
  std::optional<std::string> SaveFile(const TFileDialogOptions& options);
  virtual std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) = 0;
  virtual std::optional<TColorChoice> ChooseColor(const TColorChoice& initial) = 0;
  // The chosen folder as the browser returns it, or nothing when cancelled.
  virtual std::optional<std::string> BrowseFolder(const TFolderBrowseOptions& options) = 0;
  // Lets the user set up `printer` and print; false when cancelled.
  virtual bool Print(QPrinter& printer) = 0;
  // Lets the user set up `printer` (page and printer) without printing;
  // false when cancelled.
  virtual bool PrinterSetup(QPrinter& printer) = 0;
  virtual void Beep() = 0;
};

// The service in use: the Qt one unless a test installed another.
DialogService& Dialogs();
// Installs `service` (not owned) until the guard goes out of scope.
class ScopedDialogService {
 public:
  explicit ScopedDialogService(DialogService& service);
  ~ScopedDialogService();
  ScopedDialogService(const ScopedDialogService&) = delete;
  ScopedDialogService& operator=(const ScopedDialogService&) = delete;

 private:
  DialogService* previous_;
};

// Test double: answers from a script, records every call.
class ScriptedDialogService : public DialogService {
 public:
  struct Call {
    // "message", "open", "save", "font", "color", "folder", "print",
    // "printersetup", "beep"
    std::string kind;
    std::string text;     // message: the text; open, save: the filter; folder: the selected folder
    std::string caption;  // message: the caption; open, save: the title; folder: the caption
    TMsgDlgType type = TMsgDlgType::mtCustom;
    TMsgDlgButtons buttons = TMsgDlgButtons::mbOK;
    int filterIndex = 0;      // open, save
    std::uint32_t flags = 0;  // open, save: the option bits; folder: the browse flags
    std::string root{};       // folder
    std::string start{};      // folder: where the browser opens (FolderBrowseStart)
  };

  // Queued answers, taken in order by the calls of their kind. An unscripted
  // message box answers its default button (DefaultButtonOf); every other
  // unscripted dialog is cancelled. A path answered with AnswerOpen or
  // AnswerSave comes with the filter index the caller handed in.
  void AnswerMessage(int result) { messages_.push_back(result); }
  void AnswerOpen(std::optional<std::string> path) { opens_.push_back(ResultOf(std::move(path))); }
  void AnswerOpenFiles(std::optional<TFileDialogResult> result) { opens_.push_back(std::move(result)); }
  void AnswerSave(std::optional<std::string> path) { saves_.push_back(ResultOf(std::move(path))); }
  void AnswerSaveFiles(std::optional<TFileDialogResult> result) { saves_.push_back(std::move(result)); }
  void AnswerFont(std::optional<TFontChoice> font) { fonts_.push_back(std::move(font)); }
  void AnswerColor(std::optional<TColorChoice> color) { colors_.push_back(std::move(color)); }
  void AnswerFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void AnswerPrint(bool accept) { prints_.push_back(accept); }
  void AnswerPrinterSetup(bool accept) { setups_.push_back(accept); }

  const std::vector<Call>& Calls() const { return calls_; }
  int Count(const std::string& kind) const;
  void ClearCalls() { calls_.clear(); }

  int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                 TMsgDlgButtons buttons) override;
  std::optional<TFileDialogResult> ExecuteOpen(const TFileDialogOptions& options) override;
  std::optional<TFileDialogResult> ExecuteSave(const TFileDialogOptions& options) override;
  std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) override;
  std::optional<TColorChoice> ChooseColor(const TColorChoice& initial) override;
  std::optional<std::string> BrowseFolder(const TFolderBrowseOptions& options) override;
  bool Print(QPrinter& printer) override;
  bool PrinterSetup(QPrinter& printer) override;
  void Beep() override;

 private:
  // A bare path answer: its filter index is filled in from the call.
  static std::optional<TFileDialogResult> ResultOf(std::optional<std::string> path);
  std::optional<TFileDialogResult> AnswerFile(const char* kind, const TFileDialogOptions& options,
                                              std::deque<std::optional<TFileDialogResult>>& queue);

  std::vector<Call> calls_;
  std::deque<int> messages_;
  std::deque<std::optional<TFileDialogResult>> opens_, saves_;
  std::deque<std::optional<TFontChoice>> fonts_;
  std::deque<std::optional<TColorChoice>> colors_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<bool> prints_, setups_;
};
