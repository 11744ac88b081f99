#include "platform/controls/EditCtrls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/ui/Application.h"

KESTOVA_TYPE_INFO(TComboBoxStyle,
                  MakeEnumType("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}, "StdCtrls"))

void DescribeTCustomEdit(TClassInfo& Info) {
  TClassPublisher<TCustomEdit> p(Info);
  p.Property<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength", TypeInfos::Integer()).Default(0);
  p.Property<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar", TypeInfos::Char()).Default(0);
  p.Property<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly", TypeInfos::Boolean()).Default(false);
  p.Property<&TCustomEdit::Text, &TCustomEdit::SetText>("Text", TypeInfos::TCaption());
  p.Property<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomEdit, TWinControl, "StdCtrls", nullptr, DescribeTCustomEdit)
KESTOVA_CLASS_INFO(TEdit, TCustomEdit, "StdCtrls", MakeComponent<TEdit>)

void DescribeTMemo(TClassInfo& Info) {
  TClassPublisher<TMemo> p(Info);
  p.Property<&TMemo::Lines, &TMemo::SetLines>("Lines", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&TMemo::ReadOnly, &TMemo::SetReadOnly>("ReadOnly", TypeInfos::Boolean()).Default(false);
  p.Property<&TMemo::WordWrap, &TMemo::SetWordWrap>("WordWrap", TypeInfos::Boolean()).Default(true);
  p.Property<&TMemo::OnChange, &TMemo::OnChange>("OnChange", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TMemo, TWinControl, "StdCtrls", MakeComponent<TMemo>, DescribeTMemo)

void DescribeTComboBox(TClassInfo& Info) {
  TClassPublisher<TComboBox> p(Info);
  p.Property<&TComboBox::Style, &TComboBox::SetStyle>("Style", TypeInfos::TComboBoxStyle()).Default(csDropDown);
  p.Property<&TComboBox::Items, &TComboBox::SetItems>("Items", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&TComboBox::ItemIndex, &TComboBox::SetItemIndex>("ItemIndex", TypeInfos::Integer()).Default(-1);
  p.Property<&TComboBox::Text, &TComboBox::SetText>("Text", TypeInfos::TCaption());
  p.Property<&TComboBox::OnChange, &TComboBox::OnChange>("OnChange", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TComboBox, TWinControl, "StdCtrls", MakeComponent<TComboBox>, DescribeTComboBox)

// ---- Edit ----

namespace {
QLineEdit* LineEdit(TWinControl& Control) { return static_cast<QLineEdit*>(Control.Handle()); }

// Character (code point) positions and the window's UTF-16 positions.
int Utf16Position(const QString& Text, int Characters) {
  int at = 0;
  for (int n = 0; n < Characters && at < Text.size(); ++n) at += Text.at(at).isHighSurrogate() ? 2 : 1;
  return std::min<int>(at, static_cast<int>(Text.size()));
}
int CharacterPosition(const QString& Text, int Utf16) {
  return static_cast<int>(Text.left(Utf16).toStdU32String().size());
}
int CharacterCount(const std::string& Text) {
  return static_cast<int>(QString::fromStdString(Text).toStdU32String().size());
}

void ShowPasswordChar(QLineEdit* Edit, char Value) {
  Edit->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
  Edit->setStyleSheet(Value ? QString("lineedit-password-character: %1").arg(static_cast<unsigned char>(Value))
                            : QString());
}
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 121, 21); }

std::string TCustomEdit::Text() const {
  return HandleAllocated() ? LineEdit(const_cast<TCustomEdit&>(*this))->text().toStdString() : text_;
}

void TCustomEdit::SetText(const std::string& Value) {
  std::string value = Value;
  if (maxLength_ > 0) value = QString::fromStdString(value).left(maxLength_).toStdString();
  if (HandleAllocated()) {
    LineEdit(*this)->setText(QString::fromStdString(value));  // the window tells the change
  } else if (value != text_) {
    text_ = value;
    selKept_ = false;  // the window puts the cursor after the new text
    Change();
  }
}

void TCustomEdit::SetMaxLength(int Value) {
  maxLength_ = std::max(Value, 0);
  if (HandleAllocated()) LineEdit(*this)->setMaxLength(maxLength_ ? maxLength_ : 32767);
  SetText(Text());
}

void TCustomEdit::SetReadOnly(bool Value) {
  readOnly_ = Value;
  if (HandleAllocated()) LineEdit(*this)->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value) {
  passwordChar_ = Value;
  if (HandleAllocated()) ShowPasswordChar(LineEdit(*this), Value);
}

int TCustomEdit::SelStart() const {
  if (!HandleAllocated()) return selStart_;
  QLineEdit* edit = LineEdit(const_cast<TCustomEdit&>(*this));
  const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  return CharacterPosition(edit->text(), start);
}

int TCustomEdit::SelLength() const {
  if (!HandleAllocated()) return selLength_;
  QLineEdit* edit = LineEdit(const_cast<TCustomEdit&>(*this));
  if (!edit->hasSelectedText()) return 0;
  return CharacterPosition(edit->text(), edit->selectionEnd()) -
         CharacterPosition(edit->text(), edit->selectionStart());
}

std::string TCustomEdit::SelText() const {
  const std::u32string text = QString::fromStdString(Text()).toStdU32String();
  const auto start = std::min<std::size_t>(static_cast<std::size_t>(SelStart()), text.size());
  return QString::fromStdU32String(text.substr(start, static_cast<std::size_t>(SelLength()))).toStdString();
}

void TCustomEdit::SetSelStart(int Value) { SetSelection(Value, 0); }
void TCustomEdit::SetSelLength(int Value) { SetSelection(SelStart(), Value); }
void TCustomEdit::SelectAll() { SetSelection(0, CharacterCount(Text())); }

void TCustomEdit::SetSelection(int Start, int Length) {
  const int count = CharacterCount(Text());
  Start = std::clamp(Start, 0, count);
  Length = std::clamp(Length, 0, count - Start);
  if (!HandleAllocated()) {
    selStart_ = Start;
    selLength_ = Length;
    selKept_ = true;
    return;
  }
  QLineEdit* edit = LineEdit(*this);
  const QString text = edit->text();
  const int from = Utf16Position(text, Start);
  if (Length == 0)
    edit->setCursorPosition(from);
  else
    edit->setSelection(from, Utf16Position(text, Start + Length) - from);
}

TControlWindowBase* TCustomEdit::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QLineEdit>(this, Parent);
  window->setText(QString::fromStdString(text_));
  QObject::connect(window, &QLineEdit::textChanged, window, [this] { RunGuarded([this] { Change(); }); });
  return window;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  LineEdit(*this)->setMaxLength(maxLength_ ? maxLength_ : 32767);
  LineEdit(*this)->setReadOnly(readOnly_);
  ShowPasswordChar(LineEdit(*this), passwordChar_);
  if (selKept_) SetSelection(selStart_, selLength_);
  selKept_ = false;
}

void TCustomEdit::DestroyWnd() {
  selStart_ = SelStart();
  selLength_ = SelLength();
  selKept_ = true;
  text_ = LineEdit(*this)->text().toStdString();
  TWinControl::DestroyWnd();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// ---- Memo ----

namespace {
QPlainTextEdit* TextEdit(TWinControl& Control) { return static_cast<QPlainTextEdit*>(Control.Handle()); }
// The window shows the lines without the break after the last one.
void ShowLines(TWinControl& Control, const TStrings& Lines) {
  QString text = QString::fromStdString(Lines.GetTextStr());
  if (text.endsWith('\n')) text.chop(1);
  TextEdit(Control)->setPlainText(text);
}
}  // namespace

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), lines_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 89);
  lines_->OnChange = TNotifyEvent::Of<&TMemo::LinesChanged>(*this);
}

TMemo::~TMemo() { lines_->OnChange = nullptr; }

void TMemo::SetReadOnly(bool Value) {
  readOnly_ = Value;
  if (HandleAllocated()) TextEdit(*this)->setReadOnly(Value);
}

void TMemo::SetWordWrap(bool Value) {
  wordWrap_ = Value;
  if (HandleAllocated()) TextEdit(*this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::LinesChanged(TObject*) {
  if (syncing_) return;
  if (HandleAllocated()) {
    // The window's own change notice fires OnChange.
    syncing_ = true;
    ShowLines(*this, *lines_);
    syncing_ = false;
  }
  if (OnChange) OnChange(this);
}

void TMemo::WindowTextChanged() {
  if (syncing_) return;
  syncing_ = true;
  lines_->SetTextStr(TextEdit(*this)->toPlainText().toStdString());
  syncing_ = false;
  if (OnChange) OnChange(this);
}

TControlWindowBase* TMemo::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QPlainTextEdit>(this, Parent);
  QObject::connect(window, &QPlainTextEdit::textChanged, window,
                   [this] { RunGuarded([this] { WindowTextChanged(); }); });
  return window;
}

void TMemo::CreateWnd() {
  TWinControl::CreateWnd();
  syncing_ = true;
  ShowLines(*this, *lines_);
  TextEdit(*this)->setReadOnly(readOnly_);
  TextEdit(*this)->setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  syncing_ = false;
}

// ---- Combo box ----

namespace {
QComboBox* Combo(TWinControl& Control) { return static_cast<QComboBox*>(Control.Handle()); }
}  // namespace

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 145, 21);
  items_->OnChange = TNotifyEvent::Of<&TComboBox::ItemsChanged>(*this);
}

TComboBox::~TComboBox() { items_->OnChange = nullptr; }

std::string TComboBox::Text() const {
  if (!HandleAllocated()) return text_;
  return Combo(const_cast<TComboBox&>(*this))->currentText().toStdString();
}

void TComboBox::SetText(const std::string& Value) {
  text_ = Value;
  itemIndex_ = items_->IndexOf(Value);
  if (style_ == csDropDownList && itemIndex_ < 0) text_.clear();
  if (HandleAllocated()) FillWindow();
}

void TComboBox::SetItemIndex(int Value) {
  itemIndex_ = Value >= 0 && Value < items_->Count() ? Value : -1;
  text_ = itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string();
  if (HandleAllocated()) FillWindow();
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  if (style_ == csDropDownList && itemIndex_ < 0) text_.clear();
  if (HandleAllocated()) RecreateWnd();
}

void TComboBox::ItemsChanged(TObject*) {
  // The text stays; the index follows it.
  itemIndex_ = items_->IndexOf(text_);
  if (HandleAllocated()) FillWindow();
}

void TComboBox::FillWindow() {
  filling_ = true;
  QComboBox* combo = Combo(*this);
  combo->clear();
  for (const std::string& item : *items_) combo->addItem(QString::fromStdString(item));
  combo->setCurrentIndex(itemIndex_);
  if (combo->isEditable()) combo->setEditText(QString::fromStdString(text_));
  filling_ = false;
}

TControlWindowBase* TComboBox::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QComboBox>(this, Parent);
  window->setEditable(style_ != csDropDownList);
  window->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(window, &QComboBox::activated, window, [this](int index) {
    if (filling_) return;
    itemIndex_ = index;
    text_ = items_->Strings(index);
    RunGuarded([this] {
      if (OnChange) OnChange(this);
    });
  });
  if (QLineEdit* edit = window->lineEdit())
    QObject::connect(edit, &QLineEdit::textEdited, window, [this](const QString& text) {
      text_ = text.toStdString();
      itemIndex_ = items_->IndexOf(text_);
      RunGuarded([this] {
        if (OnChange) OnChange(this);
      });
    });
  return window;
}

void TComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  FillWindow();
}

void TComboBox::DestroyWnd() {
  text_ = Combo(*this)->currentText().toStdString();
  TWinControl::DestroyWnd();
}
