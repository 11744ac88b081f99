#include "platform/controls/ComCtrls.h"

#include <QProgressBar>
#include <QTabBar>
#include <algorithm>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/ui/Application.h"

void DescribeTProgressBar(TClassInfo& Info) {
  TClassPublisher<TProgressBar> p(Info);
  p.Property<&TProgressBar::Min, &TProgressBar::SetMin>("Min", TypeInfos::Integer()).Default(0);
  p.Property<&TProgressBar::Max, &TProgressBar::SetMax>("Max", TypeInfos::Integer()).Default(100);
  p.Property<&TProgressBar::Position, &TProgressBar::SetPosition>("Position", TypeInfos::Integer()).Default(0);
  p.Property<&TProgressBar::Step, &TProgressBar::SetStep>("Step", TypeInfos::Integer()).Default(10);
}
KESTOVA_CLASS_INFO_DESCRIBED(TProgressBar, TWinControl, "ComCtrls", MakeComponent<TProgressBar>, DescribeTProgressBar)

void DescribeTCustomTabControl(TClassInfo& Info) {
  TClassPublisher<TCustomTabControl> p(Info);
  p.Property<&TCustomTabControl::OnChange, &TCustomTabControl::OnChange>("OnChange", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomTabControl, TWinControl, "ComCtrls", nullptr, DescribeTCustomTabControl)

void DescribeTTabControl(TClassInfo& Info) {
  TClassPublisher<TTabControl> p(Info);
  p.Property<&TTabControl::Tabs, &TTabControl::SetTabs>("Tabs", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&TTabControl::TabIndex, &TTabControl::SetTabIndex>("TabIndex", TypeInfos::Integer()).Default(-1);
}
KESTOVA_CLASS_INFO_DESCRIBED(TTabControl, TCustomTabControl, "ComCtrls", MakeComponent<TTabControl>,
                             DescribeTTabControl)

void DescribeTTabSheet(TClassInfo& Info) {
  TClassPublisher<TTabSheet> p(Info);
  p.Property<&TTabSheet::Caption, &TTabSheet::SetCaption>("Caption", TypeInfos::TCaption());
}
KESTOVA_CLASS_INFO_DESCRIBED(TTabSheet, TWinControl, "ComCtrls", MakeComponent<TTabSheet>, DescribeTTabSheet)

void DescribeTPageControl(TClassInfo& Info) {
  TClassPublisher<TPageControl> p(Info);
  p.Property<&TPageControl::ActivePage, &TPageControl::SetActivePage>("ActivePage",
                                                                      ClassTypeInfo(TTabSheet::StaticClass()));
}
KESTOVA_CLASS_INFO_DESCRIBED(TPageControl, TCustomTabControl, "ComCtrls", MakeComponent<TPageControl>,
                             DescribeTPageControl)

// ---- Progress bar ----

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int Value) {
  min_ = Value;
  max_ = std::max(max_, min_);
  SetPosition(position_);
}

void TProgressBar::SetMax(int Value) {
  max_ = Value;
  min_ = std::min(min_, max_);
  SetPosition(position_);
}

void TProgressBar::SetPosition(int Value) {
  position_ = std::clamp(Value, min_, max_);
  ShowState();
}

void TProgressBar::StepIt() {
  const int next = position_ + step_;
  SetPosition(next > max_ ? min_ : next);
}

void TProgressBar::ShowState() {
  if (!HandleAllocated()) return;
  auto* bar = static_cast<QProgressBar*>(Handle());
  bar->setRange(min_, max_);
  bar->setValue(position_);
}

TControlWindowBase* TProgressBar::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QProgressBar>(this, Parent);
  window->setTextVisible(false);
  window->setRange(min_, max_);
  window->setValue(position_);
  return window;
}

// ---- Tabs ----

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 289, 193); }

TControlWindowBase* TCustomTabControl::CreateWindowWidget(QWidget* Parent) {
  auto* window = TWinControl::CreateWindowWidget(Parent);
  bar_ = new QTabBar(window->Widget());
  bar_->setDrawBase(true);
  // Clicks and keys both come as a new current tab.
  QObject::connect(bar_, &QTabBar::currentChanged, bar_,
                   [this](int index) { RunGuarded([this, index] { UserPicked(index); }); });
  return window;
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateTabs();
}

void TCustomTabControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (bar_) bar_->setGeometry(0, 0, Width(), TabHeight);
}

void TCustomTabControl::UpdateTabs() {
  if (!bar_) return;
  // Only what differs changes: this runs inside the bar's own signals too.
  updating_ = true;
  const std::vector<std::string> texts = TabTexts();
  const int count = static_cast<int>(texts.size());
  while (bar_->count() > count) bar_->removeTab(bar_->count() - 1);
  while (bar_->count() < count) bar_->addTab(QString());
  for (int i = 0; i < count; ++i)
    if (const QString text = QString::fromStdString(texts[static_cast<std::size_t>(i)]); bar_->tabText(i) != text)
      bar_->setTabText(i, text);
  if (bar_->currentIndex() != CurrentTab()) bar_->setCurrentIndex(CurrentTab());
  bar_->setGeometry(0, 0, Width(), TabHeight);
  bar_->show();
  updating_ = false;
}

void TCustomTabControl::UserPicked(int Index) {
  if (updating_ || Index < 0 || Index == CurrentTab()) return;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (allow) TabPicked(Index);
  // The bar shows what is current, refused or not.
  UpdateTabs();
  if (allow && OnChange) OnChange(this);
}

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), tabs_(std::make_unique<TStringList>()) {
  tabs_->OnChange = TNotifyEvent::Of<&TTabControl::TabsChanged>(*this);
}

TTabControl::~TTabControl() { tabs_->OnChange = nullptr; }

void TTabControl::SetTabIndex(int Value) {
  tabIndex_ = Value >= 0 && Value < tabs_->Count() ? Value : -1;
  UpdateTabs();
}

std::vector<std::string> TTabControl::TabTexts() const { return tabs_->Lines(); }

void TTabControl::TabsChanged(TObject*) {
  if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
  UpdateTabs();
}

// ---- Pages ----

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (Value == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (Value) Value->InsertPage(this);
}

void TTabSheet::SetCaption(const std::string& Value) {
  caption_ = Value;
  if (pageControl_) pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

TComponent* TTabSheet::GetParentComponent() const { return pageControl_; }

void TTabSheet::SetParentComponent(TComponent* Value) { SetPageControl(dynamic_cast<TPageControl*>(Value)); }

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // The sheets are freed as children after this part is gone.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
}

void TPageControl::InsertPage(TTabSheet* Page) {
  pages_.push_back(Page);
  Page->pageControl_ = this;
  Page->SetParent(this);
  if (!activePage_) activePage_ = Page;
  PlacePages();
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  std::erase(pages_, Page);
  Page->pageControl_ = nullptr;
  if (activePage_ == Page) activePage_ = nullptr;
  Page->SetParent(nullptr);
  PlacePages();
  UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->pageControl_ != this) return;
  activePage_ = Page;
  PlacePages();
  UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? Pages(Value) : nullptr);
}

void TPageControl::GetChildren(TGetChildProc Proc, TComponent*) {
  for (TTabSheet* page : std::vector<TTabSheet*>(pages_)) Proc(page);
}

void TPageControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomTabControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlacePages();
}

void TPageControl::PlacePages() {
  const Rect r = DisplayRect();
  for (TTabSheet* page : pages_) {
    page->SetBounds(r.left, r.top, r.Width(), r.Height());
    page->SetVisible(page == activePage_);
  }
}

std::vector<std::string> TPageControl::TabTexts() const {
  std::vector<std::string> texts;
  for (const TTabSheet* page : pages_) texts.push_back(page->Caption());
  return texts;
}
