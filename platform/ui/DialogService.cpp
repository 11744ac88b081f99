#include "platform/ui/DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

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
    struct Map {
      QMessageBox::StandardButton button;
      int result;
    };
    std::vector<Map> map;
    switch (buttons) {
      case TMsgDlgButtons::mbOK: map = {{QMessageBox::Ok, mrOk}}; break;
      case TMsgDlgButtons::mbOKCancel: map = {{QMessageBox::Ok, mrOk}, {QMessageBox::Cancel, mrCancel}}; break;
      case TMsgDlgButtons::mbYesNo: map = {{QMessageBox::Yes, mrYes}, {QMessageBox::No, mrNo}}; break;
      case TMsgDlgButtons::mbYesNoCancel:
        map = {{QMessageBox::Yes, mrYes}, {QMessageBox::No, mrNo}, {QMessageBox::Cancel, mrCancel}};
        break;
      case TMsgDlgButtons::mbRetryCancel: map = {{QMessageBox::Retry, mrRetry}, {QMessageBox::Cancel, mrCancel}}; break;
      case TMsgDlgButtons::mbAbortRetryIgnore:
        map = {{QMessageBox::Abort, mrAbort}, {QMessageBox::Retry, mrRetry}, {QMessageBox::Ignore, mrIgnore}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const auto& m : map) set |= m.button;
    box.setStandardButtons(set);
    box.setDefaultButton(map.front().button);
    int pressed = box.exec();
    for (const auto& m : map)
      if (m.button == pressed) return m.result;
    return mrCancel;
  }

  std::optional<std::string> OpenFile(const TFileDialogOptions& o) override {
    QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), Q(o.title),
                                                Q(o.fileName.empty() ? o.initialDir : o.fileName), Q(o.filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }

  std::optional<std::string> SaveFile(const TFileDialogOptions& o) override {
    QFileDialog dialog(QApplication::activeWindow(), Q(o.title), Q(o.initialDir), Q(o.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(Q(o.defaultExtension));
    if (!o.fileName.empty()) dialog.selectFile(Q(o.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
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

  bool Print(QPrinter& printer) override {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
  }

  void Beep() override { QApplication::beep(); }
};

DialogService* g_current = nullptr;

}  // namespace

DialogService& Dialogs() {
  static QtDialogService qt;
  return g_current ? *g_current : qt;
}

ScopedDialogService::ScopedDialogService(DialogService& service) : previous_(g_current) { g_current = &service; }
ScopedDialogService::~ScopedDialogService() { g_current = previous_; }

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
  return (buttons == TMsgDlgButtons::mbYesNo || buttons == TMsgDlgButtons::mbYesNoCancel) ? mrYes : mrOk;
}

template <typename T>
static std::optional<T> Take(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  auto r = std::move(queue.front());
  queue.pop_front();
  return r;
}

std::optional<std::string> ScriptedDialogService::OpenFile(const TFileDialogOptions& o) {
  calls_.push_back({"open", o.filter, o.title});
  return Take(opens_);
}

std::optional<std::string> ScriptedDialogService::SaveFile(const TFileDialogOptions& o) {
  calls_.push_back({"save", o.filter, o.title});
  return Take(saves_);
}

std::optional<TFontChoice> ScriptedDialogService::ChooseFont(const TFontChoice& initial) {
  calls_.push_back({"font", initial.name, ""});
  return Take(fonts_);
}

bool ScriptedDialogService::Print(QPrinter&) {
  calls_.push_back({"print", "", ""});
  if (prints_.empty()) return false;
  bool r = prints_.front();
  prints_.pop_front();
  return r;
}

void ScriptedDialogService::Beep() { calls_.push_back({"beep", "", ""}); }
