#include "components/base/ZRGen.h"

#include <algorithm>

#include "components/base/CommonHelpers.h"
#include "components/base/PropFileSystem.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Menus.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TNotifierListEx, TNotifierList, "ZRGen", nullptr)

namespace {

// Walks the listeners newest first; Post is called with each one whose
// method runs on a control.
template <class PostFn>
void PostToListeners(TNotifierListEx& List, PostFn&& Post) {
  for (int i = List.Count() - 1; i >= 0; --i) {
    if (auto* control = dynamic_cast<TControl*>(List.Item(i)->Method.Object())) Post(control);
    i = std::min(i, List.Count());
  }
}

void FreeItems(TMenuItem* Items) {
  while (Items->Count() > 0) delete Items->Items(Items->Count() - 1);
}

struct UnnamedCopies {
  TComponent* keep;
  void SetName(TReader*, TComponent* Component, std::string& Name) {
    if (Component == keep) Name = keep->Name();
    else Name.clear();
  }
};

// Pairwise through the two trees, as far as both reach.
void CopyClickHandlers(const TMenuItem* Source, TMenuItem* Dest) {
  const int count = std::min(Source->Count(), Dest->Count());
  for (int i = 0; i < count; ++i) {
    Dest->Items(i)->OnClick = Source->Items(i)->OnClick;
    CopyClickHandlers(Source->Items(i), Dest->Items(i));
  }
}

TInterfacePtr<IZRDsgnComponentEditor> NoComponentEditor(TComponent*, IZRDsgnDesigner*) { return nullptr; }

}  // namespace

void TNotifierListEx::PostToAll(TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam) {
  PostToListeners(*this, [&](TControl* control) { PostMessage(control, Msg, WParam, LParam); });
}

void TNotifierListEx::PostToAll(TMessageNumber Msg, std::shared_ptr<const void> Payload, std::intptr_t LParam) {
  PostToListeners(*this, [&](TControl* control) { PostPayloadMessage(control, Msg, Payload, LParam); });
}

TNotifierListEx* TreeSourceNotifiers() {
  static const auto list = std::make_unique<TNotifierListEx>();
  return list.get();
}

void DesignerModified(TPersistent* Obj) {
  TPersistent* p = Obj;
  while (p && !dynamic_cast<TComponent*>(p)) p = p->GetOwner();
  if (auto* component = dynamic_cast<TComponent*>(p)) NotifyDesignerModified(component);
}

TPopupMenu* FindPopupMenu(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (c->PopupMenu()) return c->PopupMenu();
  return nullptr;
}

TGetComponentEditorProc GetComponentEditorProc = &NoComponentEditor;

void CopyMenu(TPopupMenu* Source, TPopupMenu* Dest) {
  if (!Dest) return;
  FreeItems(Dest->Items());
  if (!Source) return;
  try {
    TMemoryStream stream;
    TComponent* const owner = Source->Owner();
    {
      TWriter writer(stream);
      writer.SetRoot(owner ? owner : Source);
      writer.WriteSignature();
      writer.WriteComponent(Source);
    }
    stream.SetPosition(0);
    TReader reader(stream);
    reader.SetOwner(owner);
    reader.SetRoot(owner ? owner : Dest);
    // Unnamed copies cannot collide with the originals under one owner;
    // Dest keeps its own name.
    UnnamedCopies names{Dest};
    reader.OnSetName = TSetNameEvent::Of<&UnnamedCopies::SetName>(names);
    reader.ReadSignature();
    reader.ReadComponent(Dest);
    // Handlers bound to other roots do not survive the stream.
    CopyClickHandlers(Source->Items(), Dest->Items());
  } catch (...) {
    FreeItems(Dest->Items());
    throw;
  }
}

void AddComponentEditorVerbs(TPopupMenu* SourceMenu, TPopupMenu* Dest, IZRDsgnComponentEditor* Editor) {
  if (!Dest) return;
  CopyMenu(SourceMenu, Dest);
  Dest->OnPopup = nullptr;
  const int count = Editor ? Editor->GetVerbCount() : 0;
  // Each verb item keeps the editor alive while it can be chosen.
  const TInterfacePtr<IZRDsgnComponentEditor> editor(Editor);
  for (int i = 0; i < count; ++i) {
    auto* item = new TMenuItem(Dest->Owner());
    item->SetCaption(Editor->GetVerb(i));
    item->Tag = kFirstVerbTag + i;
    item->OnClick = TNotifyEvent([editor, i](TObject*) { editor->ExecuteVerb(i); });
    Dest->Items()->Insert(i, item);
  }
  if (count > 0) {
    auto* separator = new TMenuItem(Dest->Owner());
    separator->SetCaption("-");
    Dest->Items()->Insert(count, separator);
  }
  TidySeparators(Dest->Items());
}
