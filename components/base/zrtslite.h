#pragma once
// Tree sources: non-visual components that supply a hierarchy of nodes to
// any number of source-bound tree views and tell them about changes.
//
// A view never holds the data: it asks its source for the children of a node
// (EnumChildren) when the node is first expanded, asks CanPerform before it
// offers an edit, and forwards renames, moves and deletions to the source.
// The source announces the resulting change to every view through
// TreeSourceNotifiers (ZRGen.h), so that all views of one data stay in step:
// every notice but one is a call of each subscriber, newest first, before the
// notifying call returns; the navigate notice of SetCurrent is posted
// (ZRM_TREESOURCECHANGED, LParam tnNavigate) and reaches each view through its
// message queue.
//
// A posted navigate notice carries its own copy of the record
// (TPostedNodeRec): a view that handles it after the source was freed reads
// no freed memory, and TakePostedNodeRec tells it to drop the notice.
//
// The string source presents a string list (of the linked object's property
// PropName, or one handed over) as a flat list: node i is string i, counted
// from 1.
//
// Nothing here raises on its own: unsupported requests are silent no-ops.
// Single GUI thread.

#include <cstdint>
#include <memory>
#include <string>

#include "components/base/ZRGen.h"

class TStrings;

// What a posted ZRM_TREESOURCECHANGED points at: a copy of the navigate record
// (Rec.Data is the posting source) and a token that expires with the source.
struct TPostedNodeRec {
  TNodeRec Rec;
  std::weak_ptr<const void> SourceLife;
};

// For a view's handler of ZRM_TREESOURCECHANGED: copies the posted record into
// Rec and answers true; false, Rec untouched, when the source that posted it
// has been freed since (or the message carries nothing).
bool TakePostedNodeRec(const TMessage& Message, TNodeRec& Rec);

// Every operation with a neutral default: no nodes, nothing allowed.
// Joins the family's message receivers for its lifetime.
class TComponentSource : public TTreeSource {
  KESTOVA_CLASS(TComponentSource)
 public:
  explicit TComponentSource(TComponent* AOwner);
  ~TComponentSource() override;

  // Stores ID as the current node; a non-zero ID resets the navigate record
  // (Data = this source) and posts it with tnNavigate.
  void SetCurrent(TNodeID ID) override;
  // Ignored when unchanged; otherwise stores Value (free notification when
  // it is a component) and, unless destroying, Changed then ImagesChanged.
  void SetLink(TPersistent* Value) override;
  void AfterNodeInsert(TNodeID ID) override {}
  TImageList* GetLargeImages() const override { return largeImages_; }
  TImageList* GetSmallImages() const override { return smallImages_; }
  TImageList* GetStateImages() const override { return stateImages_; }
  // When changed: store, then ImagesChanged. The lists are not owned.
  void SetLargeImages(TImageList* Value) override;
  void SetSmallImages(TImageList* Value) override;
  void SetStateImages(TImageList* Value) override;
  TNodeID GetCurrent() const override { return current_; }
  TPersistent* GetLink() const override { return link_; }
  void EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) override {}
  // Notifies tnNodesChanged with one record (ID, Text), then DesignerModified(Link).
  void SetNodeText(TNodeID ID, const std::string& Text) override;
  void InsertNode(TNodeID ParentKey, const std::string& Text, std::uint8_t Mode) override {}
  // Notifies tnDeleted with ID = Link, Data = 1 (the children of the
  // top), then DesignerModified(Link).
  void DeleteAll() override;
  // When CanPerform(ID, toDelete): current := 0, tnDeleted for ID,
  // DesignerModified(Link).
  void DeleteNode(TNodeID ID) override;
  bool CanMoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) override { return ID != TargetID; }
  // DesignerModified(Link) only.
  void MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) override;
  void BeginUpdate() override {}
  void EndUpdate() override {}
  TObject* GetNodeObject(TNodeID ID) override { return nullptr; }
  bool CanPerform(TNodeID ID, std::int32_t Operation) override { return false; }
  // The class name of the object at ID without a leading "T" (either case);
  // empty for 0.
  void GetDisplayText(TNodeID ID, std::string& Text) override;
  std::int32_t QueryNodeInteger(TNodeID ID) override { return 0; }
  void QueryNodeString(TNodeID ID, std::string& Text) override { Text.clear(); }
  void QueryItemString(std::intptr_t Value1, std::intptr_t Value2, std::string& Text) override { Text.clear(); }
  // Object's class name; empty for nullptr.
  void GetObjectClassName(TObject* Object, std::string& Text) override;
  // A component Link: not being destroyed; otherwise: Link is set.
  bool IsLinkValid() override;
  void ActivateNode(TNodeID ID) override {}
  TSortType GetSortType() override { return stNone; }
  bool HasChildren(TNodeID Key) override { return false; }
  TNodeID GetParentID(TNodeID ID) override { return 0; }

  // tnRebuild with ID 0: every view rebuilds everything.
  virtual void Changed();
  // tnImagesChanged.
  virtual void ImagesChanged();
  // Announces a node the data holder added: tnInserted with ChildKey =
  // ParentID (Link for 0), Source = this, Mode and Text (GetDisplayText(ID)
  // when empty); then SetNodeText(ID, Text) and DesignerModified(Link).
  virtual void NotifyNodeInserted(TNodeID ID, TNodeID ParentID, std::uint8_t Mode, const std::string& Text);

  // Calls every subscriber of TreeSourceNotifiers with (this, Data, Code).
  // Data is a TNodeRec*, or for tnNodesChanged a TList* of TNodeRec*.
  void Notify(void* Data, std::int32_t Code);
  // Posts ZRM_TREESOURCECHANGED with a copy of Rec (TPostedNodeRec) and
  // LParam = Code to every subscriber's window.
  void PostNotify(const TNodeRec& Rec, std::int32_t Code);

  // Removal of Link: SetLink(nullptr), then broadcast
  // ZRM_TREESOURCELINKCHANGED (WParam this). Removal of an image list's
  // holder does not apply: image lists are not components.
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Published; never stored, never set.
  std::string Version() const { return {}; }

 private:
  TImageList* largeImages_ = nullptr;
  TImageList* smallImages_ = nullptr;
  TImageList* stateImages_ = nullptr;
  TPersistent* link_ = nullptr;
  TNodeID current_ = 0;
  TNodeRec navigate_;
  // Expires when the source is freed; posted notices hold it weakly.
  std::shared_ptr<const char> life_ = std::make_shared<const char>('\0');
};

// A source presenting a property (PropName) of Link.
class TZRPersistentSource : public TComponentSource {
  KESTOVA_CLASS(TZRPersistentSource)
 public:
  using TComponentSource::TComponentSource;
  const std::string& PropName() const { return propName_; }
  // Stores a different value (case-sensitive) and calls LinkChanged.
  void SetPropName(const std::string& Value);
  // As TComponentSource, then LinkChanged.
  void SetLink(TPersistent* Value) override;
  // A parent ID 0 becomes -1: new nodes are top-level nodes.
  void NotifyNodeInserted(TNodeID ID, TNodeID ParentID, std::uint8_t Mode, const std::string& Text) override;

 protected:
  // Re-resolves the presented data after Link or PropName changed.
  virtual void LinkChanged() = 0;

 private:
  std::string propName_;
};

// The strings of a list as a flat list of nodes: ID i is string i (from 1),
// ChildKey -1, Source this; only key 0 has children.
class TCustomZRStringSource : public TZRPersistentSource {
  KESTOVA_CLASS(TCustomZRStringSource)
 public:
  using TZRPersistentSource::TZRPersistentSource;

  TStrings* Strings() const { return strings_; }
  // Presents List directly (not through Link): when it differs, store and
  // Changed. Not owned.
  void SetStrings(TStrings* List);

  void EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) override;
  // With a list and ID non-zero: string ID := Text, then as inherited.
  void SetNodeText(TNodeID ID, const std::string& Text) override;
  // With a list: clear it, then as inherited.
  void DeleteAll() override;
  // Insert a copy of string ID (with its object) before TargetID (naInsert)
  // or at the end (other modes), delete the old one, Changed, then notify
  // tnNavigate with the new position. Always ends with DesignerModified.
  void MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) override;
  // True for the codes 1, 3, 6, 8, 9, 10, 12 and 15 only.
  bool CanPerform(TNodeID ID, std::int32_t Operation) override;
  // Forgets the removed Link's list first.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // The list becomes Link's published object property PropName (when Link
  // has one), else none; then Changed.
  void LinkChanged() override;

 private:
  TStrings* strings_ = nullptr;
};

// Publishes Link, PropName and Version.
class TZRStringSource : public TCustomZRStringSource {
  KESTOVA_CLASS(TZRStringSource)
 public:
  using TCustomZRStringSource::TCustomZRStringSource;
};
