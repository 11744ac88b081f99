// TWinControl: the window, its children, keys and timers.

#include <QBasicTimer>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <map>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/Controls.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBars_p.h"

struct TWinControl::Timers {
  std::map<std::uintptr_t, QBasicTimer> Running;
};

void DescribeTWinControl(TClassInfo& Info) {
  AddMessageHandler<&TWinControl::CNKeyDown>(Info, CN_KEYDOWN);
  AddMessageHandler<&TWinControl::CNKeyDown>(Info, CN_SYSKEYDOWN);
  AddMessageHandler<&TWinControl::WMKeyDown>(Info, WM_KEYDOWN);
  AddMessageHandler<&TWinControl::WMKeyDown>(Info, WM_SYSKEYDOWN);
  AddMessageHandler<&TWinControl::WMKeyUp>(Info, WM_KEYUP);
  AddMessageHandler<&TWinControl::WMKeyUp>(Info, WM_SYSKEYUP);
  AddMessageHandler<&TWinControl::WMChar>(Info, WM_CHAR);
  AddMessageHandler<&TWinControl::CMDialogKey>(Info, CM_DIALOGKEY);
  AddMessageHandler<&TWinControl::WMPaint>(Info, WM_PAINT);
  AddMessageHandler<&TWinControl::WMSetCursor>(Info, WM_SETCURSOR);
  AddMessageHandler<&TWinControl::CMColorChanged>(Info, CM_COLORCHANGED);
  AddMessageHandler<&TWinControl::CMFontChanged>(Info, CM_FONTCHANGED);
  AddMessageHandler<&TWinControl::CMVisibleChanged>(Info, CM_VISIBLECHANGED);
  AddMessageHandler<&TWinControl::CMShowingChanged>(Info, CM_SHOWINGCHANGED);
  AddMessageHandler<&TWinControl::WMSize>(Info, WM_SIZE);
  AddMessageHandler<&TWinControl::WMContextMenu>(Info, WM_CONTEXTMENU);
}
KESTOVA_CLASS_INFO_DESCRIBED(TWinControl, TControl, "Controls", nullptr, DescribeTWinControl)

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // The children go first, with their windows; then this window, without
  // DestroyWnd: the derived parts that would keep something are gone.
  while (!controls_.empty()) controls_.back()->Free();
  ForgetFocusedControl();
  StopTimers();
  if (window_) std::exchange(window_, nullptr)->Release();
}

// ---- Children ----

void TWinControl::InsertControl(TControl* Control) {
  Control->parent_ = this;
  controls_.push_back(Control);
  if (auto* win = dynamic_cast<TWinControl*>(Control)) tabList_.push_back(win);
}

void TWinControl::RemoveControl(TControl* Control) {
  std::erase(controls_, Control);
  std::erase(tabList_, Control);
  Control->parent_ = nullptr;
  if (mouseControl_ == Control) mouseControl_ = nullptr;
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  TWinControl* parent = Parent();
  if (!parent) return;
  // Set one by one while reading, the stored places would be clamped to the
  // siblings read so far and come out wrong.
  if (ComponentState().Contains(csReading)) {
    pendingTabOrder_ = std::max(Value, 0);
    return;
  }
  pendingTabOrder_ = -1;
  auto& list = parent->tabList_;
  const int count = static_cast<int>(list.size());
  if (Value < 0 || Value >= count) Value = count - 1;
  const int from = TabOrder();
  if (Value == from) return;
  list.erase(list.begin() + from);
  list.insert(list.begin() + Value, this);
  parent->ApplyTabOrder();
}

void TWinControl::FixupTabList() {
  std::vector<TWinControl*> placed, rest;
  for (TWinControl* child : tabList_) (child->pendingTabOrder_ >= 0 ? placed : rest).push_back(child);
  if (placed.empty()) return;
  std::stable_sort(placed.begin(), placed.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->pendingTabOrder_ < b->pendingTabOrder_; });
  // Ascending inserts never shift the ones placed before them.
  for (TWinControl* child : placed) {
    const std::size_t at = std::min(static_cast<std::size_t>(child->pendingTabOrder_), rest.size());
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(at), child);
    child->pendingTabOrder_ = -1;
  }
  tabList_ = std::move(rest);
  ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  TWinControl* previous = nullptr;
  for (TWinControl* child : tabList_) {
    if (!child->HandleAllocated()) continue;
    if (previous) QWidget::setTabOrder(previous->Handle(), child->Handle());
    previous = child;
  }
}

void TWinControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TControl* child : controls_)
    if (child->Owner() == Root) Proc(child);
}

TControl* TWinControl::ControlAtPos(int X, int Y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    if (X >= c->Left() && X < c->Left() + c->Width() && Y >= c->Top() && Y < c->Top() + c->Height()) return c;
  }
  return nullptr;
}

// ---- Window ----

QWidget* TWinControl::Handle() {
  if (!window_) CreateHandle();
  return window_->Widget();
}

Point TWinControl::ClientToScreen(Point P) {
  const Point o = ClientOffset();
  const QPoint g = Handle()->mapToGlobal(QPoint(static_cast<int>(P.x + o.x), static_cast<int>(P.y + o.y)));
  return {g.x(), g.y()};
}

void TWinControl::CreateHandle() {
  if (parent_) parent_->HandleNeeded();  // makes this window too, with the parent's children
  if (window_) return;
  CreateWnd();
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child); win && !win->window_) win->CreateHandle();
}

TControlWindowBase* TWinControl::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QWidget>(this, Parent);
  window->setFocusPolicy(Qt::StrongFocus);
  return window;
}

void TWinControl::CreateWnd() {
  ListenToFocus();
  window_ = CreateWindowWidget(parent_ ? parent_->Handle() : nullptr);
  ApplyWindowState();
  LayoutNonClient();
}

void TWinControl::ApplyWindowState() {
  QWidget* widget = window_->Widget();
  widget->setGeometry(Left(), Top(), Width(), Height());
  widget->setEnabled(Enabled());
  widget->setVisible(Visible() && (parent_ || shownTopLevel_));
  window_->TrackCursor();
}

void TWinControl::DestroyWnd() {
  StopTimers();
  if (window_) std::exchange(window_, nullptr)->Release();
}

void TWinControl::DestroyHandle() {
  if (!window_) return;
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!window_) return;
  DestroyHandle();
  CreateHandle();
}

bool TWinControl::Focused() const { return window_ && window_->Widget()->hasFocus(); }

void TWinControl::SetFocus() { Handle()->setFocus(Qt::OtherFocusReason); }

bool TWinControl::MouseCapture() const { return window_ && QWidget::mouseGrabber() == window_->Widget(); }

void TWinControl::SetMouseCapture(bool Value) {
  if (Value)
    Handle()->grabMouse();
  else if (MouseCapture())
    window_->Widget()->releaseMouse();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == Parent()) return;
  ForgetFocusedControl();
  TControl::SetParent(AParent);
  if (!window_) {
    if (AParent && AParent->window_) CreateHandle();
    return;
  }
  // The window follows into a parent that has one; elsewhere it goes.
  if (AParent && AParent->window_) {
    window_->Widget()->setParent(AParent->window_->Widget());
    ApplyWindowState();
  } else {
    DestroyHandle();
  }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int oldWidth = Width(), oldHeight = Height();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (window_) window_->Widget()->setGeometry(Left(), Top(), Width(), Height());
  if (Width() != oldWidth || Height() != oldHeight) Realign();
}

void TWinControl::SetVisible(bool Value) {
  TControl::SetVisible(Value);
  if (!Parent()) {
    shownTopLevel_ = Value;
    if (Value) HandleNeeded();
  }
  if (window_) window_->Widget()->setVisible(Visible() && (Parent() || shownTopLevel_));
}

void TWinControl::SetEnabled(bool Value) {
  TControl::SetEnabled(Value);
  if (window_) window_->Widget()->setEnabled(Value);
}

void TWinControl::Invalidate() {
  if (window_) window_->Widget()->update();
}

// ---- Alignment ----

void TWinControl::Loaded() {
  TControl::Loaded();
  if (pendingTabOrder_ >= 0 && Parent()) Parent()->FixupTabList();
  Realign();
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0 && alignmentNeeded_) Realign();
}

void TWinControl::AdjustClientRect(Rect& ARect) { ARect = ClientRect(); }

void TWinControl::AlignControl(TControl* AControl) {
  if (aligning_ || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (alignLevel_ > 0) {
    alignmentNeeded_ = true;
    return;
  }
  alignmentNeeded_ = false;
  aligning_ = true;
  try {
    Rect area;
    AdjustClientRect(area);
    AlignControls(AControl, area);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

namespace {

// True when C1 goes before C2 among the controls of one alignment.
bool InsertBefore(const TControl* C1, const TControl* C2, TAlign Align) {
  switch (Align) {
    case alTop:
      return C1->Top() < C2->Top();
    case alBottom:
      return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
    case alLeft:
      return C1->Left() < C2->Left();
    case alRight:
      return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
    default:
      return false;
  }
}

void Position(TControl* Control, TAlign Align, Rect& Area) {
  const int left = static_cast<int>(Area.left), top = static_cast<int>(Area.top);
  const int width = static_cast<int>(std::max<Coord>(0, Area.Width()));
  const int height = static_cast<int>(std::max<Coord>(0, Area.Height()));
  switch (Align) {
    case alTop:
      Control->SetBounds(left, top, width, Control->Height());
      Area.top += Control->Height();
      break;
    case alBottom:
      Area.bottom -= Control->Height();
      Control->SetBounds(left, static_cast<int>(Area.bottom), width, Control->Height());
      break;
    case alLeft:
      Control->SetBounds(left, top, Control->Width(), height);
      Area.left += Control->Width();
      break;
    case alRight:
      Area.right -= Control->Width();
      Control->SetBounds(static_cast<int>(Area.right), top, Control->Width(), height);
      break;
    case alClient:
      Control->SetBounds(left, top, width, height);
      break;
    default:
      break;
  }
}

}  // namespace

void TWinControl::AlignControls(TControl* AControl, Rect& ARect) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    if (AControl && AControl->Align() == align && AControl->Visible()) list.push_back(AControl);
    for (TControl* control : controls_) {
      if (control == AControl || control->Align() != align || !control->Visible()) continue;
      auto at = list.begin();
      while (at != list.end() && !InsertBefore(control, *at, align)) ++at;
      list.insert(at, control);
    }
    for (TControl* control : list) Position(control, align, ARect);
  }
}

void TWinControl::WMSize(TMessage& Message) {
  Realign();
  DefaultHandler(Message);
}

// ---- Messages ----

void TWinControl::DefaultHandler(TMessage& Message) {
  TWindowDelivery* delivery = delivery_;
  if (!delivery || delivery->Message != &Message) return;
  delivery->ReachedDefault = true;
  if (!delivery->DeferBase && delivery->Event && window_) delivery->BaseResult = window_->BaseEvent(delivery->Event);
}

void TWinControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK && RouteToGraphicChild(Message)) return;
  TControl::WndProc(Message);
}

bool TWinControl::RouteToGraphicChild(TMessage& Message) {
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  const bool down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN ||
                    Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK ||
                    Message.Msg == WM_MBUTTONDBLCLK;
  // A pressed graphic control keeps the mouse until the buttons are up; a
  // press goes to what lies under it.
  if (down) mouseControl_ = ControlAtPos(x, y);
  TControl* target = mouseControl_ ? mouseControl_ : ControlAtPos(x, y);
  if ((Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) mouseControl_ = nullptr;
  if (!target) return false;
  Message.Result = target->Perform(Message.Msg, Message.WParam, PointToLParam(x - target->Left(), y - target->Top()));
  return true;
}

bool TWinControl::IsMenuKey(const TMessage& Message) {
  const TShortCut value = ShortCut(static_cast<std::uint16_t>(Message.WParam), KeyDataToShiftState(Message.LParam));
  for (TControl* control = this; control; control = control->Parent())
    if (TPopupMenu* menu = control->PopupMenu(); menu && menu->IsShortCut(value)) return true;
  auto* form = dynamic_cast<TForm*>(GetParentForm(this));
  return form && form->IsShortCut(value);
}

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  // A graphic child under the point is asked first.
  if (window_) {
    const QPoint p = window_->Widget()->mapFromGlobal(QPoint(LParamX(Message.LParam), LParamY(Message.LParam))) -
                     QPoint(ncLeft_, ncTop_);
    if (TControl* child = ControlAtPos(p.x(), p.y()))
      Message.Result = child->Perform(WM_CONTEXTMENU, 0, Message.LParam);
  }
  if (Message.Result == 0) TControl::WMContextMenu(Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 0;
  if (ComponentState().Contains(csDesigning)) return;
  if (IsMenuKey(Message)) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg != CN_KEYDOWN) return;
  const auto vk = static_cast<std::uint16_t>(Message.WParam);
  const std::intptr_t needed = DialogCodeNeeded(vk);
  if (needed == 0 || (Perform(WM_GETDLGCODE, 0, 0) & needed) != 0) return;
  // A dialog key the control leaves to its form.
  TWinControl* form = GetParentForm(this);
  if (form && form->Perform(CM_DIALOGKEY, vk, Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& Message) {
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (Message.WParam == VK_TAB && window_ && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) &&
      window_->BaseFocusNextPrevChild(!shift.Contains(ssShift))) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMKeyDown(TMessage& Message) {
  auto key = static_cast<std::uint16_t>(Message.WParam);
  DoKeyDown(key, KeyDataToShiftState(Message.LParam));
  Message.WParam = key;
  if (key != 0) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  auto key = static_cast<std::uint16_t>(Message.WParam);
  DoKeyUp(key, KeyDataToShiftState(Message.LParam));
  Message.WParam = key;
  if (key != 0) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  auto key = static_cast<char32_t>(Message.WParam);
  DoKeyPress(key);
  Message.WParam = key;
  if (key != 0) DefaultHandler(Message);
}

namespace {
// The form that previews this control's keys, or nullptr.
TForm* PreviewingForm(TWinControl* Control) {
  auto* form = dynamic_cast<TForm*>(GetParentForm(Control));
  return form && form != Control && form->KeyPreview() ? form : nullptr;
}
}  // namespace

bool TWinControl::DoKeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (TWinControl* form = PreviewingForm(this)) {
    form->KeyDown(Key, Shift);
    if (Key == 0) return true;
  }
  KeyDown(Key, Shift);
  return Key == 0;
}

bool TWinControl::DoKeyUp(std::uint16_t& Key, TShiftState Shift) {
  if (TWinControl* form = PreviewingForm(this)) {
    form->KeyUp(Key, Shift);
    if (Key == 0) return true;
  }
  KeyUp(Key, Shift);
  return Key == 0;
}

bool TWinControl::DoKeyPress(char32_t& Key) {
  if (TWinControl* form = PreviewingForm(this)) {
    form->KeyPress(Key);
    if (Key == 0) return true;
  }
  KeyPress(Key);
  return Key == 0;
}

// ---- Cursor ----

void TWinControl::WMSetCursor(TMessage& Message) {
  TCursorValue id = Cursor();
  if (TControl* child = ControlAtPos(LParamX(Message.LParam), LParamY(Message.LParam));
      child && child->Cursor() != crDefault)
    id = child->Cursor();
  ShowWindowCursor(id);
  Message.Result = 1;
}

void TWinControl::ShowWindowCursor(TCursorValue Id) {
  if (window_) window_->ShowCursor(Id);
}

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMPaint(TMessage& Message) {
  DefaultHandler(Message);
  PaintControls();
}

void TWinControl::NotifyControls(TMessageNumber Msg) {
  // A handler may take children away; those still here hear it.
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children)
    if (std::find(controls_.begin(), controls_.end(), child) != controls_.end()) child->Perform(Msg, 0, 0);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  Invalidate();
  NotifyControls(CM_PARENTCOLORCHANGED);
  DefaultHandler(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  Invalidate();
  NotifyControls(CM_PARENTFONTCHANGED);
  DefaultHandler(Message);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
  TControl::CMVisibleChanged(Message);
  CMShowingChanged(Message);
}

void TWinControl::CMShowingChanged(TMessage&) {
  // Only the visible children's Showing changed.
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children)
    if (std::find(controls_.begin(), controls_.end(), child) != controls_.end() && child->Visible())
      child->Perform(CM_SHOWINGCHANGED, 0, 0);
}

bool TWinControl::Painting() const {
  return window_ && delivery_ && delivery_->Event && delivery_->Event->type() == QEvent::Paint;
}

void TWinControl::PaintControls() {
  if (!Painting()) return;
  QPainter painter(window_->Widget());
  painter.translate(ncLeft_, ncTop_);
  for (TControl* child : controls_)
    if (auto* graphic = dynamic_cast<TGraphicControl*>(child); graphic && graphic->Visible()) graphic->PaintIn(painter);
}

// ---- Timers ----

void TWinControl::SetTimer(std::uintptr_t Id, int Milliseconds) {
  QWidget* widget = Handle();
  if (!timers_) timers_ = std::make_unique<Timers>();
  timers_->Running[Id].start(Milliseconds, widget);
}

void TWinControl::KillTimer(std::uintptr_t Id) {
  if (!timers_) return;
  const auto it = timers_->Running.find(Id);
  if (it == timers_->Running.end()) return;
  it->second.stop();
  timers_->Running.erase(it);
}

void TWinControl::StopTimers() {
  if (timers_) timers_->Running.clear();  // a QBasicTimer stops when it goes
}

bool TWinControl::TimerId(int QtTimerId, std::uintptr_t& Id) const {
  if (!timers_) return false;
  for (const auto& [id, timer] : timers_->Running)
    if (timer.timerId() == QtTimerId) {
      Id = id;
      return true;
    }
  return false;
}
