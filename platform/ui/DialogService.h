#pragma once
// The dialogs the program asks the user through: message boxes, file, font
// and print dialogs, and the beep. Everything goes through the current
// DialogService so that tests can script the answers (ScriptedDialogService).

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button sets of a message box.
enum class TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel, mbRetryCancel, mbAbortRetryIgnore };

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
};

struct TFileDialogOptions {
  std::string title;
  std::string filter;            // "Text files (*.out);;All files (*)"
  std::string defaultExtension;  // without the dot: "out"
  std::string initialDir;
  std::string fileName;
};

// A font as the font dialog shows and returns it.
struct TFontChoice {
  std::string name = "Arial";
  int size = 10;  // points
  bool bold = false, italic = false, underline = false, strikeOut = false;
  uint32_t color = 0;  // 0x00BBGGRR
  bool operator==(const TFontChoice&) const = default;
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  // A modal box; returns the button pressed (mrCancel when closed).
  virtual int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                         TMsgDlgButtons buttons) = 0;
  // The chosen path, or nothing when cancelled.
  virtual std::optional<std::string> OpenFile(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFile(const TFileDialogOptions& options) = 0;
  virtual std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) = 0;
  // Lets the user set up `printer`; false when cancelled.
  virtual bool Print(QPrinter& printer) = 0;
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
    std::string kind;  // "message", "open", "save", "font", "print", "beep"
    std::string text;
    std::string caption;
    TMsgDlgType type = TMsgDlgType::mtCustom;
    TMsgDlgButtons buttons = TMsgDlgButtons::mbOK;
  };

  // Queued answers, taken in order by the calls of their kind. An unscripted
  // message box answers mrOk (mrYes for Yes/No boxes); an unscripted file,
  // font or print dialog is cancelled.
  void AnswerMessage(int result) { messages_.push_back(result); }
  void AnswerOpen(std::optional<std::string> path) { opens_.push_back(std::move(path)); }
  void AnswerSave(std::optional<std::string> path) { saves_.push_back(std::move(path)); }
  void AnswerFont(std::optional<TFontChoice> font) { fonts_.push_back(std::move(font)); }
  void AnswerPrint(bool accept) { prints_.push_back(accept); }

  const std::vector<Call>& Calls() const { return calls_; }
  int Count(const std::string& kind) const;
  void ClearCalls() { calls_.clear(); }

  int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                 TMsgDlgButtons buttons) override;
  std::optional<std::string> OpenFile(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
  std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) override;
  bool Print(QPrinter& printer) override;
  void Beep() override;

 private:
  std::vector<Call> calls_;
  std::deque<int> messages_;
  std::deque<std::optional<std::string>> opens_, saves_;
  std::deque<std::optional<TFontChoice>> fonts_;
  std::deque<bool> prints_;
};
