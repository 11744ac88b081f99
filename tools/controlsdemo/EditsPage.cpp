// The "edits" page: edits with one and two buttons, flat and framed, one
// whose edit source turns the text to upper case, one at the bottom of the
// window (its list opens above it near the screen's bottom), and a button
// that opens a two-column pick list with bold runs at a point.
//
// The page prints where each edit is ("edit NAME: x y w h", screen
// coordinates) and, while a drop-down or pick list is open, where it is
// ("popup: x y w h"), so that a script can check screenshots.

#include <QWidget>
#include <cctype>
#include <cstdio>
#include <string>

#include "components/base/ClassItems.h"
#include "components/base/ZREdit.h"
#include "components/base/ZRListBox.h"
#include "platform/controls/StdCtrls.h"
#include "tools/controlsdemo/Pages.h"
#include "tools/controlsdemo/PopupReport.h"

namespace {

class TUpperCaseSource : public TEditSource {
  KESTOVA_CLASS(TUpperCaseSource)
 public:
  using TEditSource::TEditSource;
  void GetText(std::string& Text) override { Text = value_; }
  void SetText(const std::string& Text) override {
    value_ = Text;
    for (char& c : value_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // The edit shows the stored value at once.
    if (auto* edit = dynamic_cast<TCustomZREdit*>(Owner()); edit && edit->EditText() != value_)
      edit->SetEditText(value_);
  }

 private:
  std::string value_;
};
KESTOVA_CLASS_INFO(TUpperCaseSource, TEditSource, "ControlsDemo", MakeComponent<TUpperCaseSource>)

const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa"};

class TEditsPage : public TWinControl {
  KESTOVA_CLASS(TEditsPage)
 public:
  explicit TEditsPage(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(40, 40, 360, 420);
    static const bool registered = [] {
      RegisterZREditClasses();
      RegisterClassOnce(TUpperCaseSource::StaticClass());
      auto* entry = static_cast<TEditSourceClassInfo*>(GetEditSourceClassRegistry()->AddItem());
      entry->Class = TUpperCaseSource::StaticClass();
      return true;
    }();
    (void)registered;
    Label("one button, framed", 10);
    Add("framed1", 30, 1, false);
    Label("two buttons, framed", 60);
    Add("framed2", 80, 2, false);
    Label("one button, flat", 110);
    Add("flat1", 130, 1, true);
    Label("two buttons, flat", 160);
    Add("flat2", 180, 2, true);
    Label("upper-case edit source", 210);
    TCustomZREdit* upper = Add("upper", 230, 1, false);
    upper->SetEditSourceClassName("TUpperCaseSource");
    auto* pick = new TButton(this);
    pick->SetName("pick");
    pick->SetCaption("Pick list");
    pick->SetParent(this);
    pick->SetBounds(10, 270, 100, 25);
    pick->OnClick = TNotifyEvent::Of<&TEditsPage::OpenPickList>(*this);
    Label("near the bottom", 365);
    Add("bottom", 385, 1, false);
  }
  ~TEditsPage() override {
    if (pickList_) pickList_->Free();
  }

  void Started() { StartPopupReport(this); }

 private:
  void Label(const char* Text, int Top) {
    auto* label = new TLabel(this);
    label->SetCaption(Text);
    label->SetParent(this);
    label->SetBounds(10, Top, 300, 18);
  }

  TCustomZREdit* Add(const std::string& Name, int Top, int Buttons, bool Flat) {
    auto* edit = new TCustomZREdit(this);
    edit->SetName(Name);
    edit->FlatLook = Flat;
    edit->SetBounds(10, Top, 200, 21);
    edit->SetParent(this);
    edit->SetButtonCount(Buttons);
    if (auto* list = dynamic_cast<TPopupListBox*>(edit->PopupWindow()))
      for (const char* word : kWords) list->Items()->Add(word);
    return edit;
  }

  void OpenPickList(TObject*) {
    if (pickList_) pickList_->Free();
    TStringList items;
    for (const char* line : {"~if~|statement", "~for~|loop over a range", "while|~loop~ with a test",
                             "~switch~|choice among cases"})
      items.Add(line);
    const TLeftRightAlign aligns[] = {TLeftRightAlign::lrLeftJustify, TLeftRightAlign::lrRightJustify};
    pickList_ = ShowPopupList(this, items, 120, 270, aligns, nullptr,
                              TPopupSelectEvent::Of<&TEditsPage::Picked>(*this), 0);
  }

  void Picked(TObject*, int Index) {
    std::printf("picked %d\n", Index);
    std::fflush(stdout);
  }

  TZRPopupListBox* pickList_ = nullptr;
};
KESTOVA_CLASS_INFO(TEditsPage, TWinControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeEditsPage() {
  auto* page = new TEditsPage(nullptr);
  page->Handle()->setWindowTitle("controlsdemo: edits");
  page->Show();
  page->Started();
  return page;
}
