#include "platform/controls/Forms.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMenuBar>
#include <QWidget>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/controls/Menus.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

KESTOVA_TYPE_INFO(TFormBorderStyle,
                  MakeEnumType("TFormBorderStyle",
                               {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                               "Forms"))
KESTOVA_TYPE_INFO(TBorderStyle, MakeEnumType("TBorderStyle", {"bsNone", "bsSingle"}, "Forms"))
KESTOVA_TYPE_INFO(TFormStyle, MakeEnumType("TFormStyle", {"fsNormal", "fsStayOnTop"}, "Forms"))
KESTOVA_TYPE_INFO(TPosition, MakeEnumType("TPosition", {"poDesigned", "poScreenCenter", "poOwnerFormCenter"}, "Forms"))
KESTOVA_TYPE_INFO(TBorderIcon, MakeEnumType("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                                           "Forms"))
KESTOVA_TYPE_INFO(TBorderIcons, MakeSetType("TBorderIcons", TypeInfos::TBorderIcon()))
KESTOVA_TYPE_INFO(TCloseQueryEvent, MakeMethodType("TCloseQueryEvent", mkProcedure,
                                                   {{{}, "Sender", "TObject"}, {{pfVar}, "CanClose", "Boolean"}}))

// The form's window: the close box asks the form, and activation is told to
// the screen's list.
class TFormWindow : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  bool event(QEvent* Event) override {
    const QEvent::Type type = Event->type();
    if (type == QEvent::WindowActivate || type == QEvent::WindowDeactivate)
      if (TForm* form = Form()) form->WindowActivated(type == QEvent::WindowActivate);
    return QWidget::event(Event);
  }
  void closeEvent(QCloseEvent* Event) override {
    Event->ignore();
    if (TForm* form = Form()) form->Close();
  }

 private:
  TForm* Form() { return dynamic_cast<TForm*>(ControlOfWidget(this)); }
};

void DescribeTForm(TClassInfo& Info) {
  using F = TForm;
  namespace T = TypeInfos;
  TClassPublisher<F> p(Info);
  p.Property<&F::Bound, &F::SetBound>("Left", T::Integer()).Index(0).Default(0);
  p.Property<&F::Bound, &F::SetBound>("Top", T::Integer()).Index(1).Default(0);
  // The client size is what a form stores; Width and Height are still read.
  p.Property<&F::Bound, &F::SetBound>("Width", T::Integer()).Index(2).Stored(false);
  p.Property<&F::Bound, &F::SetBound>("Height", T::Integer()).Index(3).Stored(false);
  p.Property<&F::ClientWidth, &F::SetClientWidth>("ClientWidth", T::Integer());
  p.Property<&F::ClientHeight, &F::SetClientHeight>("ClientHeight", T::Integer());
  p.Property<&F::Caption, &F::SetCaption>("Caption", T::TCaption());
  p.Property<&F::BorderIcons, &F::SetBorderIcons>("BorderIcons", T::TBorderIcons()).Default(kDefaultBorderIcons);
  p.Property<&F::BorderStyle, &F::SetBorderStyle>("BorderStyle", T::TFormBorderStyle()).Default(bsSizeable);
  p.Property<&F::ParentFont, &F::SetParentFont>("ParentFont", T::Boolean()).Default(true);
  p.Property<&F::FormStyle, &F::SetFormStyle>("FormStyle", T::TFormStyle()).Default(fsNormal);
  p.Property<&F::Position, &F::SetPosition>("Position", T::TPosition()).Default(poDesigned);
  p.Property<&F::Scaled, &F::SetScaled>("Scaled", T::Boolean()).Default(true);
  p.Property<&F::PixelsPerInch, &F::SetPixelsPerInch>("PixelsPerInch", T::Integer())
      .Stored<&F::IsPixelsPerInchStored>();
  p.Property<&F::KeyPreview, &F::SetKeyPreview>("KeyPreview", T::Boolean()).Default(false);
  p.Property<&F::Menu, &F::SetMenu>("Menu", ClassTypeInfo(TMainMenu::StaticClass()));
  p.Property<&F::ActiveControl, &F::SetActiveControl>("ActiveControl", ClassTypeInfo(TWinControl::StaticClass()));
  p.Property<&F::OnCloseQuery, &F::OnCloseQuery>("OnCloseQuery", T::TCloseQueryEvent());
  p.Property<&F::OnActivate, &F::OnActivate>("OnActivate", T::TNotifyEvent());
  p.Property<&F::OnDeactivate, &F::OnDeactivate>("OnDeactivate", T::TNotifyEvent());
  AddMessageHandler<&F::CMRelease>(Info, CM_RELEASE);
}
KESTOVA_CLASS_INFO_DESCRIBED(TForm, TWinControl, "Forms", &MakeComponent<TForm>, DescribeTForm)

namespace {
// Set by CreateFormNew for the one form its factory call makes; the form's
// constructor takes it, so forms that one's constructor makes read theirs.
bool skipNextStoredForm = false;
}  // namespace

TForm* CreateFormNew(TClass FormClass, TComponent* AOwner) {
  if (!FormClass || !FormClass->Factory || !FormClass->InheritsFrom(TForm::StaticClass())) return nullptr;
  struct Skip {
    Skip() { skipNextStoredForm = true; }
    ~Skip() { skipNextStoredForm = false; }
  } skip;
  return dynamic_cast<TForm*>(FormClass->Factory(AOwner));
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner), pixelsPerInch_(Screen->PixelsPerInch()) {
  if (skipNextStoredForm) {
    readStored_ = false;
    skipNextStoredForm = false;
  }
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  Screen->AddForm(this);
}

TForm::TForm(TComponent* AOwner, CreateNew) : TForm(AOwner) { readStored_ = false; }

TForm::~TForm() {
  *alive_ = false;
  if (loop_) loop_->quit();
  // The window goes while the form is whole: hiding it may still tell the
  // form of a deactivation.
  DestroyHandle();
  Screen->RemoveForm(this);
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  if (readStored_) ReadStoredForm(this, TForm::StaticClass());
}

int TForm::Bound(std::int32_t Index) const {
  const int values[] = {Left(), Top(), Width(), Height()};
  return values[Index & 3];
}

void TForm::SetBound(std::int32_t Index, int Value) {
  int v[] = {Left(), Top(), Width(), Height()};
  v[Index & 3] = Value;
  SetBounds(v[0], v[1], v[2], v[3]);
}

int TForm::ClientWidth() const { return static_cast<int>(ClientRect().right); }
int TForm::ClientHeight() const { return static_cast<int>(ClientRect().bottom); }
void TForm::SetClientWidth(int Value) { SetWidth(Width() - ClientWidth() + Value); }
void TForm::SetClientHeight(int Value) { SetHeight(Height() - ClientHeight() + Value); }

void TForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == borderIcons_) return;
  borderIcons_ = Value;
  if (HandleAllocated()) ApplyWindowFlags();
}

void TForm::Loaded() {
  // Before the base's alignment pass, which then places the scaled controls.
  const int screen = Screen->PixelsPerInch();
  if (scaled_ && pixelsPerInch_ > 0 && pixelsPerInch_ != screen) {
    ScaleBy(screen, pixelsPerInch_);
    pixelsPerInch_ = screen;
  }
  TWinControl::Loaded();
}

namespace {
void ScaleFont(TControl* Control, int M, int D) {
  if (!Control->ParentFont()) Control->Font()->SetHeight(MulDiv(Control->Font()->Height(), M, D));
}

void ScaleControls(TWinControl* Parent, int M, int D) {
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* c = Parent->Controls(i);
    c->SetBounds(MulDiv(c->Left(), M, D), MulDiv(c->Top(), M, D), MulDiv(c->Width(), M, D),
                 MulDiv(c->Height(), M, D));
    ScaleFont(c, M, D);
    if (auto* w = dynamic_cast<TWinControl*>(c)) ScaleControls(w, M, D);
  }
}
}  // namespace

void TForm::ScaleBy(int M, int D) {
  if (M == D || M <= 0 || D <= 0) return;
  DisableAlign();
  struct Enable {
    TForm* form;
    ~Enable() { form->EnableAlign(); }
  } enable{this};
  SetClientWidth(MulDiv(ClientWidth(), M, D));
  SetClientHeight(MulDiv(ClientHeight(), M, D));
  ScaleFont(this, M, D);
  ScaleControls(this, M, D);
}

void TForm::SetCaption(const std::string& Value) {
  caption_ = Value;
  if (HandleAllocated()) Handle()->setWindowTitle(QString::fromStdString(Value));
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TForm::SetFormStyle(TFormStyle Value) {
  if (Value == formStyle_) return;
  formStyle_ = Value;
  RecreateWnd();
}

void TForm::SetMenu(TMainMenu* Value) {
  if (menu_ == Value) return;
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    if (HandleAllocated())
      if (QMenuBar* bar = Handle()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) delete bar;
  }
  menu_ = Value;
  if (Value) Value->FreeNotification(this);
  Realign();
}

bool TForm::IsShortCut(TShortCut Value) { return menu_ && menu_->IsShortCut(Value); }

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == menu_) menu_ = nullptr;
}

int TForm::PlaceMenuBar() {
  if (!menu_ || !HandleAllocated()) return 0;
  QMenuBar* bar = menu_->MenuBar(Handle());
  const int height = bar->sizeHint().height();
  bar->setGeometry(0, 0, Width(), height);
  bar->show();
  return height;
}

void TForm::AdjustClientRect(Rect& ARect) {
  TWinControl::AdjustClientRect(ARect);
  ARect.top += PlaceMenuBar();
}

void TForm::SetActiveControl(TWinControl* Control) {
  if (Control && (Control == this || !ContainsControl(Control)))
    throw EInvalidOperation("Invalid parameter: the active control must be a control of the form");
  SetFocusedControl(Control);
  if (Control && HandleAllocated() && Handle()->isVisible() && !ComponentState().Contains(csLoading))
    Control->SetFocus();
}

TControlWindowBase* TForm::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<TFormWindow>(this, Parent);
  window->setFocusPolicy(Qt::NoFocus);
  return window;
}

void TForm::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyWindowFlags();
  Realign();  // places the menu's bar too
}

Qt::WindowFlags WindowFlagsFor(TFormBorderStyle Style, TBorderIcons Icons) {
  if (Style == bsNone) return Qt::Window | Qt::FramelessWindowHint;
  // The title bar shows exactly the buttons asked for; the minimize,
  // maximize and help buttons belong to the system menu.
  Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  const bool menu = Icons.Contains(biSystemMenu);
  if (menu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (menu && Icons.Contains(biHelp)) flags |= Qt::WindowContextHelpButtonHint;
  switch (Style) {
    case bsDialog:
      return flags | Qt::Dialog;
    case bsToolWindow:
    case bsSizeToolWin:
      return flags | Qt::Tool;
    default:
      break;
  }
  if (menu && Icons.Contains(biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
  if (menu && Icons.Contains(biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
  return flags | Qt::Window;
}

void TForm::ApplyWindowFlags() {
  if (Parent()) return;  // a form inside another control is no window of its own
  QWidget* w = Handle();
  Qt::WindowFlags flags = WindowFlagsFor(borderStyle_, borderIcons_);
  if (formStyle_ == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  const bool wasVisible = w->isVisible();
  w->setWindowFlags(flags);
  if (FixedSize())
    w->setFixedSize(Width(), Height());
  else
    w->setMinimumSize(0, 0), w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  w->setWindowTitle(QString::fromStdString(caption_));
  if (loop_) w->setWindowModality(Qt::ApplicationModal);
  if (wasVisible) w->show();
}

void TForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  Rect area{0, 0, Screen->Width(), Screen->Height()};
  if (position_ == poOwnerFormCenter)
    if (auto* owner = dynamic_cast<TForm*>(Owner())) area = owner->BoundsRect();
  if (position_ == poDesigned) return;
  SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
            Width(), Height());
}

void TForm::SetVisible(bool Value) {
  if (Value) PlaceOnFirstShow();
  TWinControl::SetVisible(Value);
  if (!Value || !HandleAllocated()) return;
  if (!Parent()) {
    QWidget* w = Handle();
    w->raise();
    w->activateWindow();
  }
  if (TWinControl* active = ActiveControl(); active && active->Visible() && active->Enabled()) active->SetFocus();
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (HandleAllocated() && FixedSize()) Handle()->setFixedSize(AWidth, AHeight);
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TForm::WindowActivated(bool Active) {
  if (Active) {
    Screen->FormActivated(this);
    if (OnActivate) OnActivate(this);
  } else {
    Screen->FormDeactivated(this);
    if (OnDeactivate) OnDeactivate(this);
  }
}

// ---- Modal use ----

TModalResult TForm::ShowModal() {
  if (Modal() || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  modalResult_ = mrNone;
  QEventLoop loop;
  loop_ = &loop;
  Handle()->setWindowModality(Qt::ApplicationModal);
  const std::shared_ptr<bool> alive = alive_;
  const auto end = [&] {
    if (!*alive) return;
    loop_ = nullptr;
    Hide();
    if (HandleAllocated()) Handle()->setWindowModality(Qt::NonModal);
  };
  try {
    Show();
    while (true) {
      if (modalResult_ == mrNone) loop.exec();
      if (!*alive) return mrCancel;
      CloseModal();
      if (modalResult_ != mrNone) break;
    }
  } catch (...) {
    end();
    throw;
  }
  end();
  return modalResult_;
}

void TForm::SetModalResult(TModalResult Value) {
  modalResult_ = Value;
  if (loop_ && Value != mrNone) loop_->quit();
}

void TForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) modalResult_ = mrNone;
}

// ---- Closing ----

void TForm::Close() {
  if (Modal()) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  switch (action) {
    case caNone:
      break;
    case caHide:
      Hide();
      break;
    case caFree:
      Release();
      break;
    case caMinimize:
      Handle()->showMinimized();
      break;
  }
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TForm::Release() { PostMessage(this, CM_RELEASE, 0, 0); }

void TForm::CMRelease(TMessage&) { Free(); }

void TForm::GetChildren(TGetChildProc Proc, TComponent* Root) {
  TWinControl::GetChildren(Proc, Root);
  if (Root != this) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->GetParentComponent()) Proc(Components(i));
}
