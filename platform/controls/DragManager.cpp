#include "platform/controls/DragManager.h"

#include <QAbstractScrollArea>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/InputHooks.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SpriteWindow.h"

KESTOVA_CLASS_INFO(TDragObject, TObject, "Controls", nullptr)
KESTOVA_CLASS_INFO(TDragControlObject, TDragObject, "Controls", nullptr)

namespace {
constexpr int kDefaultThreshold = 5;
}  // namespace

TCursorValue TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::DragKey(std::uint16_t, bool, bool&) {}

void TDragObject::Finished(TObject*, int, int, bool) {}

TCursorValue TDragControlObject::GetDragCursor(bool Accepted, int, int) {
  return Accepted ? control_->DragCursor() : crNoDrop;
}

QPoint ControlScreenToClient(const TControl* Control, const QPoint& Pos) {
  if (auto* win = dynamic_cast<const TWinControl*>(Control); win && win->HandleAllocated()) {
    QWidget* widget = const_cast<TWinControl*>(win)->Handle();
    // A scroll area's client area is its viewport, where its mouse
    // messages are measured too.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) return area->viewport()->mapFromGlobal(Pos);
    const Point o = win->ClientOffset();
    return widget->mapFromGlobal(Pos) - QPoint(static_cast<int>(o.x), static_cast<int>(o.y));
  }
  const TWinControl* parent = Control->Parent();
  if (!parent) return Pos;
  return ControlScreenToClient(parent, Pos) - QPoint(Control->Left(), Control->Top());
}

TControl* FindDragTarget(const QPoint& Pos) {
  TWinControl* control = ControlOfWidget(WidgetAtBelowSprite(Pos));
  if (!control) return nullptr;
  const QPoint local = ControlScreenToClient(control, Pos);
  if (TControl* child = control->ControlAtPos(local.x(), local.y())) return child;
  return control;
}

// The one drag of the process; every member is static.
class TDragManager {
 public:
  static void Begin(TControl* Source, bool Immediate, int Threshold);
  static void End(bool Drop);
  static bool IsSource(const TControl* Control) { return drag_ && drag_->source == Control; }
  static void Forget(const TControl* Control);

 private:
  struct Drag {
    TControl* source = nullptr;
    TDragObject* object = nullptr;
    std::unique_ptr<TDragObject> owned;  // the object the drag made
    QPoint start;
    int threshold = kDefaultThreshold;
    bool started = false;
    TCursorValue savedCursor = crDefault;
    bool sprite = false;
  };

  static void Start();
  static void MoveTo(const QPoint& Pos);
  // CM_DRAG to Target; its Result.
  static std::intptr_t Notify(TControl* Target, TDragMessage Message, const QPoint& Pos);
  static TWinControl* CaptureControl(TControl* Source);
  static void MouseHook(const TMouseHookEvent& Event, bool& Swallow);
  static void KeyHook(const TKeyHookEvent& Event, bool& Swallow);
  // Made once: hooks are removed by equality, and each construction from a
  // function would hold its own copy.
  static const TMouseHook& MouseHookValue() {
    static const TMouseHook hook(&TDragManager::MouseHook);
    return hook;
  }
  static const TKeyHook& KeyHookValue() {
    static const TKeyHook hook(&TDragManager::KeyHook);
    return hook;
  }

  static inline std::unique_ptr<Drag> drag_;
};

void TDragManager::Begin(TControl* Source, bool Immediate, int Threshold) {
  if (drag_) return;  // one drag at a time
  drag_ = std::make_unique<Drag>();
  drag_->source = Source;
  drag_->start = QPoint(static_cast<int>(Screen->CursorPos().x), static_cast<int>(Screen->CursorPos().y));
  drag_->threshold = Threshold < 0 ? kDefaultThreshold : Threshold;
  TDragObject* object = nullptr;
  Source->DoStartDrag(object);
  if (!drag_ || drag_->source != Source) return;  // the handler ended it
  if (!object) {
    drag_->owned = std::make_unique<TDragControlObject>(Source);
    object = drag_->owned.get();
  }
  drag_->object = object;
  object->pos_ = drag_->start;
  if (TWinControl* capture = CaptureControl(Source)) capture->SetMouseCapture(true);
  AddMouseHook(MouseHookValue());
  AddKeyHook(KeyHookValue());
  if (Immediate) Start();
}

TWinControl* TDragManager::CaptureControl(TControl* Source) {
  if (auto* win = dynamic_cast<TWinControl*>(Source)) return win;
  return Source->Parent();
}

void TDragManager::Start() {
  drag_->started = true;
  drag_->savedCursor = Screen->Cursor();
  MoveTo(drag_->object->pos_);
}

std::intptr_t TDragManager::Notify(TControl* Target, TDragMessage Message, const QPoint& Pos) {
  TDragRec rec{Pos, drag_->object, Target};
  return Target->Perform(CM_DRAG, Message, reinterpret_cast<std::intptr_t>(&rec));
}

void TDragManager::MoveTo(const QPoint& Pos) {
  TDragObject* object = drag_->object;
  object->pos_ = Pos;
  TControl* target = FindDragTarget(Pos);
  if (target != object->target_) {
    if (TControl* old = object->target_) {
      object->target_ = nullptr;
      Notify(old, dmDragLeave, Pos);
      if (!drag_) return;
    }
    object->target_ = target;
    if (target) Notify(target, dmDragEnter, Pos);
    if (!drag_ || object->target_ != target) return;
  }
  object->accepted_ = target && Notify(target, dmDragMove, Pos) != 0;
  if (!drag_) return;
  const QPoint at = target ? ControlScreenToClient(target, Pos) : Pos;
  Screen->SetCursor(object->GetDragCursor(object->accepted_, at.x(), at.y()));
  const QPixmap image = object->DragImage();
  if (!image.isNull()) {
    SpriteWindow().ShowImage(image, Pos - object->DragHotSpot());
    drag_->sprite = true;
  }
}

void TDragManager::End(bool Drop) {
  if (!drag_) return;
  // The drag is over before anyone hears of it, so handlers may begin another.
  std::unique_ptr<Drag> drag = std::move(drag_);
  RemoveMouseHook(MouseHookValue());
  RemoveKeyHook(KeyHookValue());
  if (TWinControl* capture = drag->source ? CaptureControl(drag->source) : nullptr) capture->SetMouseCapture(false);
  if (drag->sprite) SpriteWindow().HideImage();
  if (drag->started) Screen->SetCursor(drag->savedCursor);
  TDragObject* object = drag->object;
  if (!object) return;
  TControl* target = object->target_;
  const QPoint pos = object->pos_;
  const bool dropped = Drop && drag->started && target && object->accepted_;
  if (target) {
    TDragRec rec{pos, object, target};
    target->Perform(CM_DRAG, dropped ? dmDragDrop : dmDragLeave, reinterpret_cast<std::intptr_t>(&rec));
  }
  const QPoint at = dropped ? ControlScreenToClient(target, pos) : QPoint();
  object->Finished(dropped ? target : nullptr, at.x(), at.y(), dropped);
  if (!drag->source) return;
  drag->source->DoEndDrag(dropped ? target : nullptr, at.x(), at.y());
}

void TDragManager::Forget(const TControl* Control) {
  if (!drag_) return;
  if (drag_->object && drag_->object->target_ == Control) {
    drag_->object->target_ = nullptr;
    drag_->object->accepted_ = false;
  }
  if (drag_->source == Control) {
    drag_->source = nullptr;
    End(false);
  }
}

void TDragManager::MouseHook(const TMouseHookEvent& Event, bool& Swallow) {
  if (!drag_) return;
  switch (Event.Kind) {
    case TMouseHookKind::Move:
      if (!drag_->started) {
        const QPoint moved = Event.Global - drag_->start;
        if (std::abs(moved.x()) < drag_->threshold && std::abs(moved.y()) < drag_->threshold) return;
        drag_->object->pos_ = Event.Global;
        Start();
      } else {
        MoveTo(Event.Global);
      }
      Swallow = true;
      break;
    case TMouseHookKind::Release:
      if (Event.Button != Qt::LeftButton) return;
      Swallow = drag_->started;
      if (drag_->started) MoveTo(Event.Global);
      End(true);
      break;
    default:
      Swallow = drag_->started;
      break;
  }
}

void TDragManager::KeyHook(const TKeyHookEvent& Event, bool& Swallow) {
  if (!drag_) return;
  const bool down = Event.Msg == WM_KEYDOWN || Event.Msg == WM_SYSKEYDOWN;
  if (Event.VK == VK_ESCAPE) {
    Swallow = true;
    if (down) End(false);
    return;
  }
  drag_->object->DragKey(Event.VK, down, Swallow);
  if (drag_ && drag_->started) MoveTo(drag_->object->pos_);
}

// ---- The drag members of TControl ----

void TControl::BeginDrag(bool Immediate, int Threshold) { TDragManager::Begin(this, Immediate, Threshold); }

void TControl::EndDrag(bool Drop) {
  if (TDragManager::IsSource(this)) TDragManager::End(Drop);
}

bool TControl::Dragging() const { return TDragManager::IsSource(this); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
  const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
  TObject* source = rec->Source;
  if (auto* controlObject = dynamic_cast<TDragControlObject*>(rec->Source)) source = controlObject->Control();
  const QPoint at = ControlScreenToClient(this, rec->Pos);
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      static constexpr TDragState states[] = {dsDragEnter, dsDragLeave, dsDragMove};
      bool accept = false;
      DragOver(source, at.x(), at.y(), states[Message.WParam], accept);
      Message.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(source, at.x(), at.y());
      break;
    default:
      break;
  }
}

void ForgetDragControl(const TControl* Control) { TDragManager::Forget(Control); }
