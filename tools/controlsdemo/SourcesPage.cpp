// The "sources" page: source-bound tree views. Left, a string source over a
// string list, shown by a view and, below it, by a list box; dragging a
// string in the view reorders the list, F2 renames a string. Right, two
// views bound to one source of the folders below a directory the page
// makes, loaded as they are expanded; F2 renames a folder on disk and both
// views show the new name. Every view marks several nodes with Ctrl, Shift
// or a rubber band; the folder views drag several nodes with the multi-drag
// cursor (Ctrl: 103). The folder source offers a pop-up menu: a right click
// in a folder view shows the page's menu ("Refresh" reads the folders
// again).
//
// Prints "node: <view> <caption> <x> <y>" (page coordinates) for the
// scripts, "list: <strings>" after each change of the list, "marked: <view>
// <captions>" after each selection report, "renamed: <view> <caption>" when
// a view shows a renamed folder, "dragcursor: <n>" when it changes, and
// "popup: folders" when a folder view shows the source menu.

#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "components/base/ZrTree.h"
#include "components/base/zrtslite.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/StringList.h"
#include "tools/controlsdemo/Pages.h"

namespace fs = std::filesystem;

namespace {

// The folders below Root: a folder's ID is 1000 + its place in the order the
// folders were first listed, from 1 (apart from the string source's IDs).
class TFolderSource : public TComponentSource {
 public:
  TFolderSource(TComponent* AOwner, fs::path Root) : TComponentSource(AOwner), root_(std::move(Root)) {}

  void EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) override {
    for (const fs::path& folder : Folders(Key)) {
      TNodeRec rec;
      rec.ID = IdOf(folder);
      rec.ChildKey = kChildKeyIsID;
      rec.Text = folder.filename().string();
      rec.Source = this;
      Proc(UserValue, rec);
    }
  }
  bool HasChildren(TNodeID Key) override { return !Folders(Key).empty(); }
  TNodeID GetParentID(TNodeID ID) override {
    if (!Valid(ID)) return 0;
    const fs::path parent = PathOf(ID).parent_path();
    return parent == root_ ? 0 : IdOf(parent);
  }
  bool CanPerform(TNodeID ID, std::int32_t Operation) override {
    return Operation == toIsHierarchy || Operation == toDrag || Operation == toEdit || Operation == toHasMenu;
  }
  void SetNodeText(TNodeID ID, const std::string& Text) override {
    if (!Valid(ID) || Text.empty()) return;
    fs::path& path = PathOf(ID);
    const fs::path renamed = path.parent_path() / Text;
    std::error_code error;
    fs::rename(path, renamed, error);
    if (error) return;
    for (fs::path& p : paths_)  // the folders below move along
      if (p.string().rfind(path.string() + "/", 0) == 0) p = renamed / p.lexically_relative(path);
    path = renamed;
    TComponentSource::SetNodeText(ID, Text);
  }

 private:
  std::vector<fs::path> Folders(TNodeID Key) {
    const fs::path dir = Key == 0 ? root_ : Valid(Key) ? PathOf(Key) : fs::path();
    std::vector<fs::path> out;
    std::error_code error;
    if (dir.empty()) return out;
    for (const auto& entry : fs::directory_iterator(dir, error))
      if (entry.is_directory()) out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
  }
  TNodeID IdOf(const fs::path& Path) {
    const auto it = std::find(paths_.begin(), paths_.end(), Path);
    if (it != paths_.end()) return kFirstID + (it - paths_.begin());
    paths_.push_back(Path);
    return kFirstID + static_cast<TNodeID>(paths_.size()) - 1;
  }
  static constexpr TNodeID kFirstID = 1001;
  bool Valid(TNodeID ID) const { return ID >= kFirstID && ID < kFirstID + static_cast<TNodeID>(paths_.size()); }
  fs::path& PathOf(TNodeID ID) { return paths_[static_cast<std::size_t>(ID - kFirstID)]; }
  fs::path root_;
  std::vector<fs::path> paths_;
};

// A source-bound view that drags several marked nodes together.
class TMultiDragView : public TZRTreeView {
  KESTOVA_CLASS(TMultiDragView)
 public:
  explicit TMultiDragView(TComponent* AOwner) : TZRTreeView(AOwner) { SetMultiDragAllowed(true); }
};
KESTOVA_CLASS_INFO(TMultiDragView, TZRTreeView, "ControlsDemo", nullptr)

class TSourcesPage : public TWinControl {
  KESTOVA_CLASS(TSourcesPage)
 public:
  explicit TSourcesPage(TComponent* AOwner) : TWinControl(AOwner) {}
  TStringList Strings;
  TCustomListBox* List = nullptr;
  TCustomZrTreeView* StringView = nullptr;
  std::map<TObject*, std::string> Names;
  TCursorValue lastCursor = 0;

  void StringChanged(TObject*, TTreeNode*) { ShowList(); }
  void ShowList() {
    List->Items()->Assign(Strings);
    std::string line;
    for (int i = 0; i < Strings.Count(); ++i) line += (i ? "," : "") + Strings.Strings(i);
    std::printf("list: %s\n", line.c_str());
    std::fflush(stdout);
  }
  void FolderChanged(TObject* Sender, TTreeNode* Node) {
    std::printf("renamed: %s %s\n", Names[Sender].c_str(), Node->Text().c_str());
    std::fflush(stdout);
  }
  void SelectionReport(TObject* Sender, TTreeNode*) {
    auto* view = static_cast<TCustomMSTreeView*>(Sender);
    std::string marked;
    for (TTreeNode* n = view->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->GetState(nisSelected)) marked += (marked.empty() ? "" : ",") + n->Text();
    std::printf("marked: %s %s\n", Names[Sender].c_str(), marked.c_str());
    std::fflush(stdout);
  }
  void FolderDragOver(TObject* Sender, TObject* Source, int, int, TDragState, bool& Accept) {
    auto* control = dynamic_cast<TControl*>(Source);
    Accept = control != nullptr;
    if (!control) return;
    const TCursorValue cursor = control->DragCursor();
    if (cursor == lastCursor) return;
    lastCursor = cursor;
    std::printf("dragcursor: %d\n", static_cast<int>(cursor));
    std::fflush(stdout);
  }
  void FolderDropped(TObject*, TObject*, int, int) {}
  TTreeSource* Folders = nullptr;
  TPopupMenu* Menu = nullptr;
  void MenuPopup(TObject*) {
    std::printf("popup: folders\n");
    std::fflush(stdout);
  }
  void RefreshClick(TObject*) {
    if (auto* source = dynamic_cast<TComponentSource*>(Folders)) source->Changed();
  }
};
KESTOVA_CLASS_INFO(TSourcesPage, TWinControl, "ControlsDemo", nullptr)

fs::path MakeFolders() {
  // Made afresh on each start, so that the page always looks the same.
  const fs::path root = fs::temp_directory_path() / "controlsdemo-sources";
  std::error_code error;
  fs::remove_all(root, error);
  for (const char* p : {"Alpha/One", "Alpha/Two", "Beta/Three/Deep", "Beta/Four", "Gamma", "Delta/Five"})
    fs::create_directories(root / p);
  return root;
}

void PrintNode(TSourcesPage* Page, TCustomTreeView* View, const std::string& Name, const std::string& Text) {
  for (TTreeNode* n = View->Items()->GetFirstNode(); n; n = n->GetNext())
    if (n->Text() == Text) {
      const Rect r = n->DisplayRect(true);
      const QPoint at =
          View->TreeWidget()->viewport()->mapTo(Page->Handle(), QPoint(r.left + 6, (r.top + r.bottom) / 2));
      std::printf("node: %s %s %d %d\n", Name.c_str(), Text.c_str(), at.x(), at.y());
      return;
    }
}

}  // namespace

TWinControl* MakeSourcesPage() {
  DrawTreeStartUp();
  auto* page = new TSourcesPage(nullptr);
  page->SetBounds(40, 40, 600, 420);
  page->SetColor(clBtnFace);
  for (const char* s : {"Apples", "Bananas", "Cherries", "Dates", "Elderberries", "Figs"}) page->Strings.Add(s);

  auto* strings = new TZRStringSource(page);
  strings->SetStrings(&page->Strings);
  auto* view = new TZRTreeView(page);
  page->StringView = view;
  page->Names[view] = "strings";
  view->SetParent(page);
  view->SetBounds(8, 8, 180, 200);
  view->SetMultiSelect(true);
  view->SetDragMode(dmAutomatic);
  view->SetShowRoot(false);
  view->SetSource(strings);
  view->OnNodeChanged = TNodeChangedEvent::Of<&TSourcesPage::StringChanged>(*page);
  view->OnSelectionChanged = TTVChangedEvent::Of<&TSourcesPage::SelectionReport>(*page);

  page->List = new TCustomListBox(page);
  page->List->SetParent(page);
  page->List->SetBounds(8, 216, 180, 196);

  auto* folders = new TFolderSource(page, MakeFolders());
  page->Folders = folders;
  page->Menu = new TPopupMenu(page);
  auto* refresh = new TMenuItem(page);
  refresh->SetCaption("Refresh");
  refresh->OnClick = TNotifyEvent::Of<&TSourcesPage::RefreshClick>(*page);
  page->Menu->Items()->Add(refresh);
  page->Menu->OnPopup = TNotifyEvent::Of<&TSourcesPage::MenuPopup>(*page);
  page->SetPopupMenu(page->Menu);
  const char* names[] = {"left", "right"};
  std::vector<TCustomZrTreeView*> views;
  for (int i = 0; i < 2; ++i) {
    auto* folderView = new TMultiDragView(page);
    page->Names[folderView] = names[i];
    folderView->SetParent(page);
    folderView->SetBounds(196 + i * 200, 8, 196, 404);
    folderView->SetMultiSelect(true);
    folderView->SetRightClickSelect(true);
    folderView->SetHotTrack(true);
    folderView->SetDragMode(dmAutomatic);
    folderView->SetOptions(folderView->Options() + TtreeViewOptions{toSmartPopup});
    folderView->SetSource(folders);
    folderView->OnSelectionChanged = TTVChangedEvent::Of<&TSourcesPage::SelectionReport>(*page);
    folderView->OnDragOver = TDragOverEvent::Of<&TSourcesPage::FolderDragOver>(*page);
    folderView->OnDragDrop = TDragDropEvent::Of<&TSourcesPage::FolderDropped>(*page);
    views.push_back(folderView);
  }
  views[0]->OnNodeChanged = TNodeChangedEvent::Of<&TSourcesPage::FolderChanged>(*page);
  views[1]->OnNodeChanged = TNodeChangedEvent::Of<&TSourcesPage::FolderChanged>(*page);

  page->Handle()->setWindowTitle("controlsdemo: sources");
  page->Show();
  // The views are filled with their windows.
  views[0]->ZRItems()->FindNode(1001)->Expand(false);  // Alpha
  views[1]->ZRItems()->FindNode(1002)->Expand(false);  // Beta
  page->ShowList();
  for (const char* s : {"Bananas", "Dates", "Figs"}) PrintNode(page, view, "strings", s);
  for (const char* s : {"Alpha", "One", "Two", "Gamma"}) PrintNode(page, views[0], "left", s);
  for (const char* s : {"Beta", "Gamma"}) PrintNode(page, views[1], "right", s);
  std::fflush(stdout);
  return page;
}
