#pragma once
// Common controls: TProgressBar, and the tabbed controls TTabControl (a row
// of tabs over one display area) and TPageControl (a tab per TTabSheet,
// showing the active sheet).
//
// A tabbed control draws its tabs in a Qt tab bar along its top edge,
// TabHeight pixels high; the display area is DisplayRect, inside a 4-pixel
// margin below the tabs. A user's pick of a tab asks OnChanging first
// (AllowChange true at first; false keeps the old tab), then makes the
// change and fires OnChange. Changes by code ask and tell nothing.

#include <QPointer>
#include <QTabBar>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/core/Events.h"
#include "platform/core/StringList.h"

class TProgressBar : public TWinControl {
  KESTOVA_CLASS(TProgressBar)
 public:
  explicit TProgressBar(TComponent* AOwner);
  int Min() const { return min_; }
  void SetMin(int Value);
  int Max() const { return max_; }
  void SetMax(int Value);
  // Kept within Min..Max.
  int Position() const { return position_; }
  void SetPosition(int Value);
  int Step() const { return step_; }
  void SetStep(int Value) { step_ = Value; }
  // Moves Position by Step; past Max it starts again from Min.
  void StepIt();
  // Moves Position by Delta, kept within Min..Max.
  void StepBy(int Delta) { SetPosition(position_ + Delta); }

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;

 private:
  void ShowState();
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
};

using TTabChangingEvent = TMethodPointer<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
  KESTOVA_CLASS(TCustomTabControl)
 public:
  static constexpr int TabHeight = 24;
  explicit TCustomTabControl(TComponent* AOwner);
  Rect DisplayRect() const { return {4, TabHeight + 4, Width() - 4, Height() - 4}; }
  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  // The tab texts and the current tab (-1: none).
  virtual std::vector<std::string> TabTexts() const = 0;
  virtual int CurrentTab() const = 0;
  // The user picked tab Index, OnChanging allowing: make it current.
  virtual void TabPicked(int Index) = 0;
  // Puts the texts and the current tab on the tab bar again.
  void UpdateTabs();

 private:
  void UserPicked(int Index);
  QPointer<QTabBar> bar_;  // a child of the window, gone with it
  bool updating_ = false;
};

class TTabControl : public TCustomTabControl {
  KESTOVA_CLASS(TTabControl)
 public:
  explicit TTabControl(TComponent* AOwner);
  ~TTabControl() override;
  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* Value) { tabs_->Assign(Value); }
  // Out of range is -1.
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int Value);

 protected:
  std::vector<std::string> TabTexts() const override;
  int CurrentTab() const override { return tabIndex_; }
  void TabPicked(int Index) override { SetTabIndex(Index); }

 private:
  void TabsChanged(TObject* Sender);
  std::unique_ptr<TStringList> tabs_;
  int tabIndex_ = -1;
};

class TPageControl;

// A page of a page control: its child, placed over the display area, shown
// only while it is the active page.
class TTabSheet : public TWinControl {
  KESTOVA_CLASS(TTabSheet)
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return pageControl_; }
  // Moves the sheet to the end of Value's pages (nullptr: out of any).
  void SetPageControl(TPageControl* Value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  int PageIndex() const;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 private:
  friend class TPageControl;
  std::string caption_;
  TPageControl* pageControl_ = nullptr;
};

class TPageControl : public TCustomTabControl {
  KESTOVA_CLASS(TPageControl)
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int Index) const { return pages_.at(static_cast<std::size_t>(Index)); }
  // The first page becomes active when it is added; freeing the active
  // page makes none active.
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* Page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  std::vector<std::string> TabTexts() const override;
  int CurrentTab() const override { return ActivePageIndex(); }
  void TabPicked(int Index) override { SetActivePageIndex(Index); }

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void PlacePages();
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};
