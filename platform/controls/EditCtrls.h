#pragma once
// Text controls over Qt's editors: TEdit (one line), TMemo (lines), and
// TComboBox (a list with an edit, or a list alone).
//
// Each keeps its text and settings itself while its window is away and puts
// them back on the new window, so they survive RecreateWnd. OnChange fires
// once for each change of the text, by the user or by code.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/core/Events.h"
#include "platform/core/StringList.h"

struct TTypeInfo;

class TCustomEdit : public TWinControl {
  KESTOVA_CLASS(TCustomEdit)
 public:
  explicit TCustomEdit(TComponent* AOwner);
  std::string Text() const;
  void SetText(const std::string& Value);
  // 0: no limit. A shorter limit cuts the text.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  // Shown for each character instead of it; 0 (default) shows the text.
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char Value);

  // The selection, in characters: SelStart is where it begins (the cursor
  // when nothing is selected), SelLength how many it holds. Setting
  // SelStart puts the cursor there and selects nothing; setting SelLength
  // selects that many from SelStart. Both are cut to the text.
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  std::string SelText() const;
  void SelectAll();
  TNotifyEvent OnChange;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Fires OnChange.
  virtual void Change();

 private:
  void SetSelection(int Start, int Length);
  std::string text_;  // while there is no window
  int maxLength_ = 0;
  bool readOnly_ = false;
  char passwordChar_ = 0;
  int selStart_ = 0, selLength_ = 0;  // while there is no window
  bool selKept_ = false;              // ... and set: the next window takes them
};

class TEdit : public TCustomEdit {
  KESTOVA_CLASS(TEdit)
 public:
  using TCustomEdit::TCustomEdit;
};

// Lines is the text, a line a string: changing either changes the other.
class TMemo : public TWinControl {
  KESTOVA_CLASS(TMemo)
 public:
  explicit TMemo(TComponent* AOwner);
  ~TMemo() override;
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value) { lines_->Assign(Value); }
  std::string Text() const { return lines_->GetTextStr(); }
  void SetText(const std::string& Value) { lines_->SetTextStr(Value); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  // Long lines break at the control's width (default); without it they
  // scroll sideways. Lines holds the lines as typed either way.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  TNotifyEvent OnChange;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;

 private:
  void LinesChanged(TObject* Sender);
  void WindowTextChanged();
  std::unique_ptr<TStringList> lines_;
  bool readOnly_ = false;
  bool wordWrap_ = true;
  bool syncing_ = false;
};

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList };

namespace TypeInfos {
const TTypeInfo* TComboBoxStyle();
}

// csDropDown and csSimple have an edit; csDropDownList only picks from
// Items. ItemIndex -1 is no item. OnChange fires for the user's changes
// only: picking an item or typing.
class TComboBox : public TWinControl {
  KESTOVA_CLASS(TComboBox)
 public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  int ItemIndex() const { return itemIndex_; }
  // Out of range is -1.
  void SetItemIndex(int Value);
  std::string Text() const;
  void SetText(const std::string& Value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  TNotifyEvent OnChange;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  void ItemsChanged(TObject* Sender);
  void FillWindow();
  std::unique_ptr<TStringList> items_;
  int itemIndex_ = -1;
  std::string text_;
  TComboBoxStyle style_ = csDropDown;
  bool filling_ = false;
};
