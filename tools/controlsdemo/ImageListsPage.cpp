// The "imagelists" page: three image list boxes over one image list of
// coloured squares.
// - "Sorted": a sorted box with quick search (type a caption's start);
// - "Buttons": images on button faces, items reordered by dragging;
// - "Checks": check boxes and captions with style codes (bold, italic).
// Prints "selected: <box> <caption>", "moved: <from> <to>" and
// "checked: <caption> <state>", and at start "row: <box> <index> <x> <y>",
// the middle of each row in page coordinates, for the check script.

#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>

#include "components/base/ZRImageListBox.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "tools/controlsdemo/Pages.h"

namespace {

class TImageListsPage : public TWinControl {
  KESTOVA_CLASS(TImageListsPage)
 public:
  explicit TImageListsPage(TComponent* AOwner) : TWinControl(AOwner) {}
  std::unique_ptr<TImageList> Images;

  void Selected(TObject* Sender) {
    auto* box = static_cast<TZRCustomImageListBox*>(Sender);
    const int i = box->ItemIndex();
    std::printf("selected: %s %s\n", box->Name().c_str(), i >= 0 ? box->Items()->Items(i)->Caption().c_str() : "-");
    std::fflush(stdout);
  }
  void Moved(TObject*, int From, int To) {
    std::printf("moved: %d %d\n", From, To);
    std::fflush(stdout);
  }
  void Checked(TObject*, TObject* Item) {
    auto* item = static_cast<TZRCustomCheckListItem*>(Item);
    std::printf("checked: %s %d\n", item->Caption().c_str(), static_cast<int>(item->State()));
    std::fflush(stdout);
  }
};
KESTOVA_CLASS_INFO(TImageListsPage, TWinControl, "ControlsDemo", nullptr)

void AddSquare(TImageList& images, TColor color) {
  TBitmap bitmap(16, 16);
  bitmap.Canvas().Brush()->SetColor(clFuchsia);
  bitmap.Canvas().FillRect({0, 0, 16, 16});
  bitmap.Canvas().Brush()->SetColor(color);
  bitmap.Canvas().FillRect({2, 2, 14, 14});
  images.AddMasked(bitmap, clFuchsia);
}

template <class Box>
Box* MakeBox(TImageListsPage* page, const char* name, int left) {
  auto* box = new Box(page);
  box->SetName(name);
  box->SetParent(page);
  box->SetBounds(left, 30, 180, 150);
  box->SetImageList(page->Images.get());
  box->OnSelectionChanged = TNotifyEvent::Of<&TImageListsPage::Selected>(*page);
  auto* label = new TLabel(page);
  label->SetParent(page);
  label->SetCaption(name);
  label->SetBounds(left, 10, 180, 16);
  return box;
}

void PrintRows(TZRCustomImageListBox* box) {
  const int h = box->GetItemHeight();
  for (int i = 0; i < box->GetCount(); ++i)
    std::printf("row: %s %d %d %d\n", box->Name().c_str(), i, box->Left() + 2 + 60,
                box->Top() + 2 + (i - box->TopIndex()) * h + h / 2);
}

}  // namespace

TWinControl* MakeImageListsPage() {
  auto* page = new TImageListsPage(nullptr);
  page->SetBounds(40, 40, 600, 200);
  page->SetColor(clBtnFace);
  page->Images = std::make_unique<TImageList>(16, 16);
  const TColor colors[] = {clRed, clGreen, clBlue, clYellow, clTeal, clPurple, clOlive, clNavy};
  for (TColor c : colors) AddSquare(*page->Images, c);

  auto* sorted = MakeBox<TZRImageListBox>(page, "Sorted", 8);
  const char* fruits[] = {"pear", "Apple", "plum", "banana", "cherry", "apricot", "Fig", "grape", "kiwi", "lime"};
  int image = 0;
  for (const char* f : fruits) {
    auto* item = sorted->Items()->Add();
    item->SetCaption(f);
    item->SetImageIndex(image++ % 8);
  }
  sorted->SetSorted(true);
  sorted->SetQuickSearch(true);

  auto* buttons = MakeBox<TZRBtnImageListBox>(page, "Buttons", 200);
  const char* tools[] = {"Cut", "Copy", "Paste", "No image", "Delete"};
  image = 0;
  for (const char* t : tools) {
    auto* item = buttons->Items()->Add();
    item->SetCaption(t);
    item->SetImageIndex(std::string(t) == "No image" ? -1 : image++);
  }
  buttons->SetCanDragItems(true);
  buttons->OnItemMoved = TZRItemMovedEvent::Of<&TImageListsPage::Moved>(*page);

  auto* checks = MakeBox<TZRCheckImageListBox>(page, "Checks", 392);
  checks->SetHighlightItems(true);
  const char* coded[] = {"plain", "\x01"
                                  "bold\x01 and plain",
                         "\x02"
                         "italic",
                         "\x03underlined\x03 text"};
  image = 4;
  for (const char* c : coded) {
    auto* item = static_cast<TZRCustomCheckListItem*>(checks->Items()->Add());
    item->SetCaption(c);
    item->SetImageIndex(image++);
  }
  static_cast<TZRCustomCheckListItem*>(checks->Items()->Items(1))->SetState(cbChecked);
  static_cast<TZRCustomCheckListItem*>(checks->Items()->Items(2))->SetState(cbGrayed);
  checks->OnCheckStateChanged = TZROnCheckStateChanged::Of<&TImageListsPage::Checked>(*page);

  page->Handle()->setWindowTitle("controlsdemo: imagelists");
  page->Show();
  PrintRows(sorted);
  PrintRows(buttons);
  PrintRows(checks);
  std::fflush(stdout);
  return page;
}
