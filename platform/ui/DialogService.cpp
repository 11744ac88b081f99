#include "platform/ui/DialogService.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <filesystem>

#include "platform/graphics/QtGraphics.h"
#include "platform/ui/DialogService_p.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr TMsgDlgBtn kAllButtons[] = {
    TMsgDlgBtn::mbYes,   TMsgDlgBtn::mbNo,    TMsgDlgBtn::mbOK,      TMsgDlgBtn::mbCancel,
    TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbIgnore,  TMsgDlgBtn::mbAll,
    TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbHelp,
};

// Returns false when the set has none of them.
bool FirstOf(TMsgDlgButtons buttons, std::initializer_list<TMsgDlgBtn> wanted, TMsgDlgBtn& found) {
  for (TMsgDlgBtn b : wanted)
    if (buttons.Contains(b)) {
      found = b;
      return true;
    }
  return false;
}

QAbstractButton* AddButton(QMessageBox& box, TMsgDlgBtn button) {
  switch (button) {
    case TMsgDlgBtn::mbYes: return box.addButton(QMessageBox::Yes);
    case TMsgDlgBtn::mbNo: return box.addButton(QMessageBox::No);
    case TMsgDlgBtn::mbOK: return box.addButton(QMessageBox::Ok);
    case TMsgDlgBtn::mbCancel: return box.addButton(QMessageBox::Cancel);
    case TMsgDlgBtn::mbAbort: return box.addButton(QMessageBox::Abort);
    case TMsgDlgBtn::mbRetry: return box.addButton(QMessageBox::Retry);
    case TMsgDlgBtn::mbIgnore: return box.addButton(QMessageBox::Ignore);
    case TMsgDlgBtn::mbAll: return box.addButton(QMessageBox::tr("&All"), QMessageBox::AcceptRole);
    case TMsgDlgBtn::mbNoToAll: return box.addButton(QMessageBox::NoToAll);
    case TMsgDlgBtn::mbYesToAll: return box.addButton(QMessageBox::YesToAll);
    case TMsgDlgBtn::mbHelp: return box.addButton(QMessageBox::Help);
  }
  return nullptr;
}

TColor TColorOf(const QColor& color) {
  return RGB(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
             static_cast<std::uint8_t>(color.blue()));
}

class QtDialogService : public DialogService {
 public:
  int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                 TMsgDlgButtons buttons) override {
    QMessageBox box;
    box.setWindowTitle(Q(caption));
    box.setText(Q(text));
    switch (type) {
      case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
      case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
      case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
      case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
      case TMsgDlgType::mtCustom: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons.Empty()) buttons = TMsgDlgButtons::mbOK;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> shown;
    for (TMsgDlgBtn b : kAllButtons)
      if (buttons.Contains(b)) shown.emplace_back(AddButton(box, b), b);
    auto widgetOf = [&](TMsgDlgBtn b) -> QAbstractButton* {
      for (const auto& [widget, button] : shown)
        if (button == b) return widget;
      return nullptr;
    };
    if (auto* def = qobject_cast<QPushButton*>(widgetOf(DefaultButtonOf(buttons)))) box.setDefaultButton(def);
    const std::optional<TMsgDlgBtn> cancel = CancelButtonOf(buttons);
    if (cancel) box.setEscapeButton(widgetOf(*cancel));
    for (;;) {
      box.exec();
      QAbstractButton* clicked = box.clickedButton();
      TMsgDlgBtn pressed{};
      bool found = false;
      for (const auto& [widget, button] : shown)
        if (widget == clicked) {
          pressed = button;
          found = true;
        }
      if (!found) return cancel ? ModalResultOf(*cancel) : mrCancel;
      // Help has no answer: there is no help viewer to open, and the box
      // stays until the user answers it.
      if (pressed != TMsgDlgBtn::mbHelp) return ModalResultOf(pressed);
    }
  }

  std::optional<TFileDialogResult> ExecuteOpen(const TFileDialogOptions& o) override {
    return RunFileDialog(o, FileDialogMode::Open);
  }

  std::optional<TFileDialogResult> ExecuteSave(const TFileDialogOptions& o) override {
    return RunFileDialog(o, FileDialogMode::Save);
  }

  std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) override {
    QFont font(Q(initial.name), initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeOut);
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, font, QApplication::activeWindow());
    if (!ok) return std::nullopt;
    TFontChoice result = initial;
    result.name = chosen.family().toStdString();
    result.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    result.underline = chosen.underline();
    result.strikeOut = chosen.strikeOut();
    return result;
  }

  std::optional<TColorChoice> ChooseColor(const TColorChoice& initial) override {
    const int count = QColorDialog::customCount();
    for (int i = 0; i < count && i < static_cast<int>(initial.customColors.size()); ++i)
      QColorDialog::setCustomColor(i, QColorOf(initial.customColors[static_cast<size_t>(i)]));
    QColorDialog dialog(QColorOf(initial.color), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    TColorChoice result;
    result.color = TColorOf(dialog.selectedColor());
    for (int i = 0; i < count; ++i) result.customColors.push_back(TColorOf(QColorDialog::customColor(i)));
    return result;
  }

  std::optional<std::string> BrowseFolder(const TFolderBrowseOptions& o) override {
    QFileDialog dialog(QApplication::activeWindow());
    ConfigureFolderBrowser(dialog, o);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
  }

  bool Print(QPrinter& printer) override {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
  }

  bool PrinterSetup(QPrinter& printer) override {
    QPageSetupDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
  }

  void Beep() override { QApplication::beep(); }

 private:
  static std::optional<TFileDialogResult> RunFileDialog(const TFileDialogOptions& o, FileDialogMode mode) {
    QFileDialog dialog(QApplication::activeWindow());
    ConfigureFileDialog(dialog, o, mode);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    TFileDialogResult result = FileDialogResultOf(dialog);
    if (result.files.empty()) return std::nullopt;
    return result;
  }
};

DialogService* g_current = nullptr;

// A path as a list of components without ".", ".." or empty ones; false for
// a relative path.
std::filesystem::path Normalised(const std::string& path) {
  std::filesystem::path p = std::filesystem::path(path).lexically_normal();
  if (p.has_filename() || p == p.root_path()) return p;
  return p.parent_path();  // "/a/b/" → "/a/b"
}

}  // namespace

// ---- Message boxes ----

TModalResult ModalResultOf(TMsgDlgBtn button) {
  switch (button) {
    case TMsgDlgBtn::mbYes: return mrYes;
    case TMsgDlgBtn::mbNo: return mrNo;
    case TMsgDlgBtn::mbOK: return mrOk;
    case TMsgDlgBtn::mbCancel: return mrCancel;
    case TMsgDlgBtn::mbAbort: return mrAbort;
    case TMsgDlgBtn::mbRetry: return mrRetry;
    case TMsgDlgBtn::mbIgnore: return mrIgnore;
    case TMsgDlgBtn::mbAll: return mrAll;
    case TMsgDlgBtn::mbNoToAll: return mrNoToAll;
    case TMsgDlgBtn::mbYesToAll: return mrYesToAll;
    case TMsgDlgBtn::mbHelp: return mrNone;
  }
  return mrNone;
}

TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons buttons) {
  TMsgDlgBtn found = TMsgDlgBtn::mbOK;
  if (FirstOf(buttons, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbRetry}, found)) return found;
  for (TMsgDlgBtn b : kAllButtons)
    if (buttons.Contains(b)) return b;
  return TMsgDlgBtn::mbOK;
}

std::optional<TMsgDlgBtn> CancelButtonOf(TMsgDlgButtons buttons) {
  TMsgDlgBtn found = TMsgDlgBtn::mbCancel;
  if (FirstOf(buttons, {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK}, found)) return found;
  return std::nullopt;
}

// ---- File dialogs ----

std::vector<std::string> NameFiltersOf(std::string_view filter) {
  std::vector<std::string> parts;
  if (filter.empty()) return parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = filter.find('|', start);
    parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<std::string> filters;
  for (size_t i = 0; i < parts.size(); i += 2) {
    std::string description = parts[i];
    const std::string masks = i + 1 < parts.size() ? parts[i + 1] : std::string();
    if (description.empty() && masks.empty()) continue;  // a stray "|" at the end
    // Masks are ";"-separated here and blank-separated in a name filter.
    std::string patterns;
    size_t from = 0;
    while (from <= masks.size()) {
      size_t semicolon = masks.find(';', from);
      if (semicolon == std::string::npos) semicolon = masks.size();
      std::string mask = masks.substr(from, semicolon - from);
      while (!mask.empty() && mask.front() == ' ') mask.erase(0, 1);
      while (!mask.empty() && mask.back() == ' ') mask.pop_back();
      if (mask == "*.*") mask = "*";
      if (!mask.empty()) patterns += (patterns.empty() ? "" : " ") + mask;
      from = semicolon + 1;
    }
    if (patterns.empty()) patterns = "*";
    // "Text files (*.txt)" already shows its masks; the dialog reads the
    // patterns from the last parentheses, so they are replaced, not repeated.
    const std::string shown = " (" + masks + ")";
    if (description.size() >= shown.size() && description.ends_with(shown))
      description.erase(description.size() - shown.size());
    filters.push_back(description + " (" + patterns + ")");
  }
  return filters;
}

int NameFilterPosition(int filterIndex, int count) {
  return filterIndex >= 1 && filterIndex <= count ? filterIndex - 1 : 0;
}

void ConfigureFileDialog(QFileDialog& dialog, const TFileDialogOptions& o, FileDialogMode mode) {
  const TOpenOptions options = o.options;
  dialog.setWindowTitle(Q(o.title));
  if (mode == FileDialogMode::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.Contains(TOpenOption::ofOverwritePrompt));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.Contains(TOpenOption::ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                       : options.Contains(TOpenOption::ofFileMustExist) ? QFileDialog::ExistingFile
                                                                         : QFileDialog::AnyFile);
  }
  dialog.setOption(QFileDialog::DontResolveSymlinks, options.Contains(TOpenOption::ofNoDereferenceLinks));
  if (options.Contains(TOpenOption::ofForceShowHidden)) dialog.setFilter(dialog.filter() | QDir::Hidden);
  dialog.setDefaultSuffix(Q(o.defaultExtension));
  const std::vector<std::string> filters = NameFiltersOf(o.filter);
  if (!filters.empty()) {
    QStringList list;
    for (const std::string& f : filters) list << Q(f);
    dialog.setNameFilters(list);
    dialog.selectNameFilter(list[NameFilterPosition(o.filterIndex, static_cast<int>(list.size()))]);
  }
  if (!o.initialDir.empty()) dialog.setDirectory(Q(o.initialDir));
  if (!o.fileName.empty()) dialog.selectFile(Q(o.fileName));
}

TFileDialogResult FileDialogResultOf(const QFileDialog& dialog) {
  TFileDialogResult result;
  for (const QString& file : dialog.selectedFiles()) result.files.push_back(file.toStdString());
  const qsizetype position = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  result.filterIndex = position >= 0 ? static_cast<int>(position) + 1 : 1;
  return result;
}

std::optional<std::string> DialogService::OpenFile(const TFileDialogOptions& options) {
  auto result = ExecuteOpen(options);
  if (!result || result->files.empty()) return std::nullopt;
  return result->files.front();
}

std::optional<std::string> DialogService::SaveFile(const TFileDialogOptions& options) {
  auto result = ExecuteSave(options);
  if (!result || result->files.empty()) return std::nullopt;
  return result->files.front();
}

// ---- Folder browse ----

std::string FolderBrowseStart(const std::string& root, const std::string& selected) {
  const std::filesystem::path top = Normalised(root.empty() ? std::string("/") : root);
  const std::filesystem::path folder = Normalised(selected);
  if (selected.empty() || folder.is_relative() != top.is_relative()) return top.string();
  auto t = top.begin(), f = folder.begin();
  for (; t != top.end(); ++t, ++f) {
    if (t->empty()) continue;  // the trailing empty component of "/"
    if (f == folder.end() || *t != *f) return top.string();
  }
  return folder.string();
}

void ConfigureFolderBrowser(QFileDialog& dialog, const TFolderBrowseOptions& o) {
  const QString root = Q(FolderBrowseStart(o.root, o.root));
  dialog.setWindowTitle(Q(o.caption));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
  dialog.setDirectory(Q(FolderBrowseStart(o.root, o.selected)));
  // The root is the top of the tree: the browser does not go above it.
  QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&dialog, root](const QString& entered) {
    if (Q(FolderBrowseStart(root.toStdString(), entered.toStdString())) != QDir::cleanPath(entered))
      dialog.setDirectory(root);
  });
}

// ---- The service in use ----

DialogService& Dialogs() {
  static QtDialogService qt;
  return g_current ? *g_current : qt;
}

ScopedDialogService::ScopedDialogService(DialogService& service) : previous_(g_current) { g_current = &service; }
ScopedDialogService::~ScopedDialogService() { g_current = previous_; }

// ---- ScriptedDialogService ----

int ScriptedDialogService::Count(const std::string& kind) const {
  int n = 0;
  for (const auto& c : calls_) n += c.kind == kind;
  return n;
}

int ScriptedDialogService::MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                                      TMsgDlgButtons buttons) {
  calls_.push_back({"message", text, caption, type, buttons});
  if (!messages_.empty()) {
    int r = messages_.front();
    messages_.pop_front();
    return r;
  }
  return ModalResultOf(DefaultButtonOf(buttons));
}

template <typename T>
static std::optional<T> Take(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  auto r = std::move(queue.front());
  queue.pop_front();
  return r;
}

static bool TakeBool(std::deque<bool>& queue) {
  if (queue.empty()) return false;
  const bool r = queue.front();
  queue.pop_front();
  return r;
}

std::optional<TFileDialogResult> ScriptedDialogService::ResultOf(std::optional<std::string> path) {
  if (!path) return std::nullopt;
  return TFileDialogResult{{std::move(*path)}, 0};
}

std::optional<TFileDialogResult> ScriptedDialogService::AnswerFile(
    const char* kind, const TFileDialogOptions& o, std::deque<std::optional<TFileDialogResult>>& queue) {
  Call call{kind, o.filter, o.title};
  call.filterIndex = o.filterIndex;
  call.flags = o.options.Bits();
  calls_.push_back(call);
  auto result = Take(queue);
  if (result && result->filterIndex == 0) result->filterIndex = o.filterIndex;
  return result;
}

std::optional<TFileDialogResult> ScriptedDialogService::ExecuteOpen(const TFileDialogOptions& o) {
  return AnswerFile("open", o, opens_);
}

std::optional<TFileDialogResult> ScriptedDialogService::ExecuteSave(const TFileDialogOptions& o) {
  return AnswerFile("save", o, saves_);
}

std::optional<TFontChoice> ScriptedDialogService::ChooseFont(const TFontChoice& initial) {
  calls_.push_back({"font", initial.name, ""});
  return Take(fonts_);
}

std::optional<TColorChoice> ScriptedDialogService::ChooseColor(const TColorChoice&) {
  calls_.push_back({"color", "", ""});
  return Take(colors_);
}

std::optional<std::string> ScriptedDialogService::BrowseFolder(const TFolderBrowseOptions& o) {
  Call call{"folder", o.selected, o.caption};
  call.flags = o.flags;
  call.root = o.root;
  call.start = FolderBrowseStart(o.root, o.selected);
  calls_.push_back(call);
  return Take(folders_);
}

bool ScriptedDialogService::Print(QPrinter&) {
  calls_.push_back({"print", "", ""});
  return TakeBool(prints_);
}

bool ScriptedDialogService::PrinterSetup(QPrinter&) {
  calls_.push_back({"printersetup", "", ""});
  return TakeBool(setups_);
}

void ScriptedDialogService::Beep() { calls_.push_back({"beep", "", ""}); }
