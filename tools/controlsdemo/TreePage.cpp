// The "tree" page: the owner-drawn tree view with nodes in several colours
// and styles, check boxes with grey states, radio items, and a "Recreate
// window" button after which the view looks the same; two check boxes turn
// the view's lines and whole-line selection on and off. Nodes can be dragged
// onto the view; Ctrl during the drag shows the copy cursor. Prints
// "recreated: <nodes>" after each new window and "drop: <node> copy|move".

#include <QTreeWidget>
#include <QWidget>
#include <cstdio>

#include "components/base/ZrTree.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/StdCtrls.h"
#include "tools/controlsdemo/Pages.h"

namespace {

class TTreePage : public TWinControl {
  KESTOVA_CLASS(TTreePage)
 public:
  explicit TTreePage(TComponent* AOwner) : TWinControl(AOwner) {}
  TZRTreeView* View = nullptr;

  void RecreateClicked(TObject*) {
    View->RecreateWnd();
    std::printf("recreated: %d\n", View->Items()->Count());
    std::fflush(stdout);
  }
  TCheckBox* Lines = nullptr;
  TCheckBox* Rows = nullptr;
  void LinesClicked(TObject*) { View->SetShowLines(Lines->Checked()); }
  void RowsClicked(TObject*) { View->SetRowSelect(Rows->Checked()); }
  void DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) { Accept = Source == View; }
  void Dropped(TObject*, TObject*, int X, int Y) {
    TTreeNode* node = View->GetNodeAt(X, Y);
    const bool copy = View->DragCursor() == crTreeDragCopy || View->DragCursor() == crTreeDragMultiCopy;
    std::printf("drop: %s %s\n", node ? node->Text().c_str() : "-", copy ? "copy" : "move");
    std::fflush(stdout);
  }
};
KESTOVA_CLASS_INFO(TTreePage, TWinControl, "ControlsDemo", nullptr)

TDrawNode* Add(TZRTreeView* View, TTreeNode* Parent, const char* Text) {
  return static_cast<TDrawNode*>(Parent ? View->Items()->AddChild(Parent, Text) : View->Items()->Add(nullptr, Text));
}

}  // namespace

TWinControl* MakeTreePage() {
  DrawTreeStartUp();
  auto* page = new TTreePage(nullptr);
  page->SetBounds(40, 40, 420, 360);
  page->SetColor(clBtnFace);

  auto* view = new TZRTreeView(page);
  page->View = view;
  view->SetName("Tree");
  view->SetParent(page);
  view->SetBounds(8, 8, 260, 340);
  view->SetCheckBoxes(true);
  view->SetAllowGrayed(true);
  view->SetAutoScroll(true);
  view->SetHotTrack(true);
  view->SetDragMode(dmAutomatic);
  view->OnDragOver = TDragOverEvent::Of<&TTreePage::DragOver>(*page);
  view->OnDragDrop = TDragDropEvent::Of<&TTreePage::Dropped>(*page);

  TDrawNode* colours = Add(view, nullptr, "Colours and styles");
  const struct {
    const char* text;
    TColor color;
    TFontStyles style;
  } looks[] = {{"Red", clRed, {}},
               {"Blue bold", clBlue, {TFontStyle::fsBold}},
               {"Green italic", clGreen, {TFontStyle::fsItalic}},
               {"Maroon underlined", clMaroon, {TFontStyle::fsUnderline}},
               {"Plain", clWindowText, {}}};
  for (const auto& look : looks) {
    TDrawNode* n = Add(view, colours, look.text);
    if (look.color != clWindowText) n->SetFontColor(look.color);
    if (look.style != TFontStyles{}) n->SetFontStyle(look.style);
  }
  TDrawNode* checks = Add(view, nullptr, "Check boxes");
  const TCheckState states[] = {csUnchecked, csChecked, csGrayed, csChecked};
  const char* names[] = {"Unchecked", "Checked", "Grey", "Checked too"};
  for (int i = 0; i < 4; ++i) Add(view, checks, names[i])->SetCheckState(states[i]);
  TDrawNode* radios = Add(view, nullptr, "Radio items");
  for (const char* name : {"First", "Second", "Third"}) Add(view, radios, name)->SetRadioItem(true);
  static_cast<TDrawNode*>(radios->Item(1))->SetChecked(true);
  TDrawNode* folded = Add(view, nullptr, "Collapsed (expands while dragged over)");
  for (int i = 1; i <= 3; ++i) Add(view, folded, ("Child " + std::to_string(i)).c_str());
  colours->Expand(false);
  checks->Expand(false);
  radios->Expand(false);

  auto* recreate = new TButton(page);
  recreate->SetName("Recreate");
  recreate->SetParent(page);
  recreate->SetBounds(280, 8, 130, 28);
  recreate->SetCaption("Recreate window");
  recreate->OnClick = TNotifyEvent::Of<&TTreePage::RecreateClicked>(*page);
  page->Lines = new TCheckBox(page);
  page->Lines->SetName("ShowLines");
  page->Lines->SetParent(page);
  page->Lines->SetBounds(280, 48, 130, 20);
  page->Lines->SetCaption("Show lines");
  page->Lines->SetChecked(view->ShowLines());
  page->Lines->OnClick = TNotifyEvent::Of<&TTreePage::LinesClicked>(*page);
  page->Rows = new TCheckBox(page);
  page->Rows->SetName("RowSelect");
  page->Rows->SetParent(page);
  page->Rows->SetBounds(280, 72, 130, 20);
  page->Rows->SetCaption("Row select");
  page->Rows->SetChecked(view->RowSelect());
  page->Rows->OnClick = TNotifyEvent::Of<&TTreePage::RowsClicked>(*page);
  page->Handle()->setWindowTitle("controlsdemo: tree");
  page->Show();
  // Where the scripts find the captions, in the page's coordinates.
  for (const char* name : {"Red", "Plain"}) {
    TTreeNode* node = nullptr;
    for (TTreeNode* n = view->Items()->GetFirstNode(); n && !node; n = n->GetNext())
      if (n->Text() == name) node = n;
    const Rect r = node->DisplayRect(true);
    const QPoint at = view->TreeWidget()->viewport()->mapTo(page->Handle(), QPoint(r.left + 6, (r.top + r.bottom) / 2));
    std::printf("node: %s %d %d\n", name, at.x(), at.y());
  }
  std::fflush(stdout);
  return page;
}
