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
  TNotifyEvent OnChange;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Fires OnChange.
  virtual void Change();

 private:
  std::string text_;  // while there is no window
  int maxLength_ = 0;
  bool readOnly_ = false;
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
  TNotifyEvent OnChange;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;

 private:
  void LinesChanged(TObject* Sender);
  void WindowTextChanged();
  std::unique_ptr<TStringList> lines_;
  bool readOnly_ = false;
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
