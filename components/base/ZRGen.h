#pragma once
// The form designer's types and services that the component family calls.
//
// The designer is built on top of the family, so what the family needs from
// it lives here, below both: the node record and the abstract tree source
// that tree sources and source-bound views share, the notifier list that
// posts window messages, and the pop-up menu and designer helpers of the
// views' source menus.
//
// No form has a designer yet: DesignerModified reaches the designer hook of
// PropFileSystem.h (nothing without one), and GetComponentEditorProc knows no
// editor classes, so it answers nullptr.
//
// Single GUI thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/Interfaces.h"
#include "platform/classes/Messages.h"
#include "platform/controls/TreeView.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsTypes.h"
#include "components/base/MessageBroadcast.h"

class TControl;
class TImageList;
class TMenuItem;
class TPopupMenu;
class TTreeSource;

// ---- Node records ----

// Node identities and keys: pointer-sized values chosen by the source; 0
// means none. A source may use object addresses.
using TNodeID = std::intptr_t;
// ChildKey of an enumerated node: its ID is the key of its children.
inline constexpr TNodeID kChildKeyIsID = -1;

// Where a node goes relative to another (insert and move notices): the tree
// view's TNodeAttachMode, naAdd (last sibling) 0, naAddFirst 1, naAddChild
// (last child) 2, naAddChildFirst 3, naInsert (before) 4.
// True for naAddChild and naAddChildFirst.
constexpr bool IsChildMode(std::uint8_t Mode) { return Mode == naAddChild || Mode == naAddChildFirst; }

// One node as a source describes it to a view, or one change as a source
// announces it. A plain value: copied whole, Text included.
struct TNodeRec {
  TNodeID ID = 0;         // the node (the node a notice is about)
  TNodeID ChildKey = 0;   // key of its children, kChildKeyIsID; insert notice: parent ID, -1 none
  TNodeID TargetID = 0;   // move notice: the node the moved node is attached to
  std::string Text;       // caption; a view shows the part before the first "|"
  std::int32_t ImageIndex = 0;
  std::int32_t SelectedIndex = 0;
  std::int32_t StateIndex = 0;
  std::int32_t OverlayIndex = 0;
  // The view node's data; delete notice: non-zero deletes only the children;
  // posted navigate notice: the posting source.
  std::intptr_t Data = 0;
  TTreeSource* Source = nullptr;  // supplies this node's children (nullptr: the node's own source)
  std::uint8_t Mode = naAdd;      // insert and move notices: a TNodeAttachMode
  TColor FontColor = 0;
  TFontStyles FontStyle;

  friend bool operator==(const TNodeRec&, const TNodeRec&) = default;
};

// Notice codes: the Param of a TreeSourceNotifiers notice, the LParam of a
// posted ZRM_TREESOURCECHANGED. The notice's data is a TNodeRec*, except for
// tnNodesChanged (a TList* of TNodeRec*).
enum TTreeNotice : std::int32_t {
  tnNodesChanged = 1,    // re-read caption, images, data and font of each listed node
  tnRebuild = 2,         // rebuild below ID (0: everything); views of this source only
  tnDeleted = 3,         // delete ID, or only its children when Data is non-zero
  tnNavigate = 4,        // select ID (0: the source's current node); views of this source only
  tnExpandSelect = 6,    // expand ID and select it; views of this source only
  tnInserted = 7,        // show a new node under ChildKey
  tnMoved = 9,           // move ID relative to TargetID by Mode
  tnImagesChanged = 122, // re-read the image lists of the view's own source
};

// Operation codes of TTreeSource::CanPerform.
enum TTreeOperation : std::int32_t {
  toIsHierarchy = 0,   // filled on demand (else a flat list refreshed in place); ID 0
  toDelete = 2,        // may ID be deleted?
  toInsert = 3,        // may a node be inserted next to ID (Ins)?
  toAddChild = 4,      // may a child be added to ID (Ctrl+Ins)?
  toAcceptDblClick = 5,// does a double click (or OK) accept the order editor? ID 0
  toDrag = 9,          // may ID be dragged?
  toEdit = 10,         // may the caption of ID be edited?
  toHasMenu = 11,      // does the source offer a pop-up menu? ID 0
  toMenuOfSource = 12, // is that menu about the source itself? ID 0
  toRefillAfterDelete = 14,  // rebuild everything after deleting nodes? ID 0
};

// Called once per enumerated node with the user value handed to EnumChildren.
using TEnumNodeProc = void (*)(void* UserValue, const TNodeRec& Rec);

// ---- The tree source contract ----

// The abstract source of a hierarchy of nodes for source-bound tree views.
// TComponentSource (zrtslite.h) gives every operation a neutral default.
class TTreeSource : public TComponent {
  KESTOVA_CLASS(TTreeSource)
 public:
  using TComponent::TComponent;

  // The node a view reports as its current one; non-zero also posts
  // tnNavigate to the views.
  virtual void SetCurrent(TNodeID ID) = 0;
  virtual void SetLink(TPersistent* Value) = 0;
  // A view showed the node of a tnInserted notice.
  virtual void AfterNodeInsert(TNodeID ID) = 0;
  virtual TImageList* GetLargeImages() const = 0;
  virtual TImageList* GetSmallImages() const = 0;
  virtual TImageList* GetStateImages() const = 0;
  virtual void SetLargeImages(TImageList* Value) = 0;
  virtual void SetSmallImages(TImageList* Value) = 0;
  virtual void SetStateImages(TImageList* Value) = 0;
  virtual TNodeID GetCurrent() const = 0;
  virtual TPersistent* GetLink() const = 0;
  // Calls Proc(UserValue, record) for each child under Key (0: the top level).
  virtual void EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) = 0;
  virtual void SetNodeText(TNodeID ID, const std::string& Text) = 0;
  virtual void InsertNode(TNodeID ParentKey, const std::string& Text, std::uint8_t Mode) = 0;
  virtual void DeleteAll() = 0;
  virtual void DeleteNode(TNodeID ID) = 0;
  virtual bool CanMoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) = 0;
  virtual void MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual TObject* GetNodeObject(TNodeID ID) = 0;
  // Operation is a TTreeOperation.
  virtual bool CanPerform(TNodeID ID, std::int32_t Operation) = 0;
  virtual void GetDisplayText(TNodeID ID, std::string& Text) = 0;
  virtual std::int32_t QueryNodeInteger(TNodeID ID) = 0;
  virtual void QueryNodeString(TNodeID ID, std::string& Text) = 0;
  virtual void QueryItemString(std::intptr_t Value1, std::intptr_t Value2, std::string& Text) = 0;
  virtual void GetObjectClassName(TObject* Object, std::string& Text) = 0;
  virtual bool IsLinkValid() = 0;
  // Enter or a double click on ID in a view.
  virtual void ActivateNode(TNodeID ID) = 0;
  virtual TSortType GetSortType() = 0;
  virtual bool HasChildren(TNodeID Key) = 0;
  virtual TNodeID GetParentID(TNodeID ID) = 0;
};

// EnumChildren with a callable (tests, views).
template <class F>
void ForEachChild(TTreeSource& Source, TNodeID Key, F&& Fn) {
  Source.EnumChildren(
      Key, [](void* user, const TNodeRec& rec) { (*static_cast<std::remove_reference_t<F>*>(user))(rec); }, &Fn);
}

// ---- Notifier lists that post ----

// A notifier list whose listeners' method objects are windowed controls.
class TNotifierListEx : public TNotifierList {
  KESTOVA_CLASS(TNotifierListEx)
 public:
  using TNotifierList::TNotifierList;
  // Posts {Msg, WParam, LParam} to every listener's control, newest first;
  // a listener whose object is not a control is passed over. The walk index
  // is clamped to the count after each post.
  void PostToAll(TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);
  // The same with a shared payload: each control handles the message with
  // WParam = Payload.get(); the payload lives until the last posting was
  // handled or dropped (its control freed).
  void PostToAll(TMessageNumber Msg, std::shared_ptr<const void> Payload, std::intptr_t LParam);
};

// The process-wide list the tree sources notify and their views subscribe
// to; made on the first call, freed at exit.
TNotifierListEx* TreeSourceNotifiers();

// ---- Designer services ----

// Tells the designer of the form that holds Obj (the nearest component up
// its owner chain) that it changed; nothing while no designer listens.
void DesignerModified(TPersistent* Obj);

// The pop-up menu of Control, or of its nearest parent that has one;
// nullptr when none (also for nullptr).
TPopupMenu* FindPopupMenu(TControl* Control);

// The verbs of a component editor.
class IZRDsgnComponentEditor : public virtual IInterface {
 public:
  virtual TComponent* GetComponent() = 0;
  virtual std::int32_t GetVerbCount() = 0;
  virtual std::string GetVerb(std::int32_t Index) = 0;
  virtual void ExecuteVerb(std::int32_t Index) = 0;
};
// A form designer as component editors see it.
class IZRDsgnDesigner : public virtual IInterface {
 public:
  virtual void Modified() = 0;
};

// Finds the component editor of Component for Designer; nullptr when none.
using TGetComponentEditorProc = TInterfacePtr<IZRDsgnComponentEditor> (*)(TComponent* Component,
                                                                         IZRDsgnDesigner* Designer);
// The procedure in use; its default answers nullptr (no editor classes are
// registered).
extern TGetComponentEditorProc GetComponentEditorProc;

// Empties Dest's items, then copies Source's items into it through the
// component stream: the copies are unnamed and keep their click handlers.
// Dest is left empty for a nullptr Source, and after an error.
void CopyMenu(TPopupMenu* Source, TPopupMenu* Dest);
// The Tag of the menu item of an editor's first verb; the next verbs count
// on from it.
inline constexpr std::intptr_t kFirstVerbTag = 1000;
// Rebuilds Dest from SourceMenu (CopyMenu) and clears Dest's OnPopup; with
// an Editor, its verbs come first (Tag kFirstVerbTag + index, choosing one
// runs it), then a "-" when there was any; last the separators are tidied
// (leading, trailing and doubled "-" items go).
void AddComponentEditorVerbs(TPopupMenu* SourceMenu, TPopupMenu* Dest, IZRDsgnComponentEditor* Editor);
