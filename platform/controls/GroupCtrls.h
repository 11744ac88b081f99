#pragma once
// Grouping controls: TGroupBox (a titled frame over QGroupBox), TRadioGroup
// (a group box of radio buttons made from its Items) and the windowless
// TBevel (a sunken or raised line or frame).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/StdCtrls.h"
#include "platform/core/StringList.h"

class TGroupBox : public TWinControl {
  KESTOVA_CLASS(TGroupBox)
 public:
  explicit TGroupBox(TComponent* AOwner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;

 private:
  std::string caption_;
};

// One radio button per line of Items, filled column by column in Columns
// columns: each column is (Width - 10) / Columns wide and starts 8 pixels
// further in; rows start at TopMargin and share what is left of the height
// down to 5 pixels from the bottom. Clicking a button sets ItemIndex and
// runs Click (OnClick). The buttons belong to the group and are not
// streamed.
class TRadioGroup : public TGroupBox {
  KESTOVA_CLASS(TRadioGroup)
 public:
  static constexpr int TopMargin = 16;
  explicit TRadioGroup(TComponent* AOwner);
  ~TRadioGroup() override;
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  // -1: none checked. Out of range is -1.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int Value);
  int Columns() const { return columns_; }
  void SetColumns(int Value);
  // The button of line Index.
  TRadioButton* Buttons(int Index) const { return buttons_.at(static_cast<std::size_t>(Index)); }
  TNotifyEvent OnClick;
  virtual void Click();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 private:
  void ItemsChanged(TObject* Sender);
  void ButtonClicked(TObject* Sender);
  void ArrangeButtons();
  std::unique_ptr<TStringList> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

namespace TypeInfos {
const TTypeInfo* TBevelShape();
const TTypeInfo* TBevelStyle();
}  // namespace TypeInfos

// Two colours, for lowered first clBtnShadow then clBtnHighlight (raised:
// the other way round). A box has the first on its top and left edges and
// the second on its bottom and right; a frame is an outline in the first
// with an outline in the second one pixel right and down; a line is one
// pixel of the first and, right or below it, one of the second, at the
// named edge; a spacer draws nothing.
class TBevel : public TGraphicControl {
  KESTOVA_CLASS(TBevel)
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle Value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};
