#pragma once
// The main window: a console page (choose a data file and the analysis, run
// the tool), a "Phylogeny" page with the tree view and its tool bar, an
// "Output" page with the tool's result text and an "Error" page with the
// tool's console output. The run itself is in ToolRun.h; this class routes
// its results to the pages (TToolRunView) and drives the tree view.
//
// Controls are public, as a stored form's fields are, so that tests drive the
// window as a user would.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <string>

#include "app/NumSEdit.h"
#include "app/ToolRun.h"

class TTreeBox;

class TForm1 : public QMainWindow, public TToolRunView {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Page indices of PageCtrl.
  enum { kConsolePage = 0, kTreePage = 1, kOutputPage = 2, kErrorPage = 3 };

  QTabWidget* PageCtrl;
  QWidget* ConsoleTabSheet;
  QWidget* TreeTabSheet;
  QWidget* OutputTabSheet;
  QWidget* ErrorTabSheet;

  QPushButton* InputBtn;
  QPushButton* RunBtn;
  QRadioButton* DistanceRBn;
  QComboBox* DistanceCbx;
  QLabel* Label1;
  QComboBox* TreeCBx;
  QCheckBox* BootCkBx;
  TNumberSpinEdit* BootnumSEdt;
  QLabel* Label3;
  QRadioButton* GstHRBn;
  QComboBox* HGstCBx;
  QPlainTextEdit* ConsoleMemo;

  QToolBar* ToolBar;
  QToolButton* SaveTBtn;
  QToolButton* PrintTBtn;
  QToolButton* CopyTBtn;
  QToolButton* RootTBtn;
  QToolButton* FlipTBtn;
  QToolButton* SwapTBtn;
  QToolButton* RectangleTBtn;
  QToolButton* RadiationTBtn;
  QToolButton* WidthTBtn;
  QToolButton* HeightTBtn;
  QToolButton* ToolButton1;
  QComboBox* BranchWidthCmbBx;
  QScrollArea* ScrollBox1;
  TTreeBox* TreeBox;

  QPushButton* SaveBtn;
  QPlainTextEdit* OutputMemo;
  QPlainTextEdit* ErrorMemo;

  QMenu* WidthPMenu;
  QMenu* HeightPMenu;
  QAction* ActionFlip;
  QAction* ActionSwap;
  QAction* ActionRootOnBranch;
  QAction* ActionRectangle;
  QAction* ActionRadiation;

  // The file chosen with "Data Input" (the open dialog's file name).
  const std::string& DataFileName() const { return dataFileName_; }
  bool TabVisible(int page) const { return PageCtrl->isTabVisible(page); }

  // Event handlers.
  void RunBtnClick();
  void InputBtnClick();
  void BootCkBxClick();
  void SaveBtnClick();
  void ActionUpdate();
  void ActionSwapExecute();
  void ActionFlipExecute();
  void ActionRootOnBranchExecute();
  void ActionRectangleExecute();
  void ActionRadiationExecute();
  void BranchWidthCmbBxChange();
  void ToolButton1Click();
  void OnWidthMenuClick(QAction* item);
  void OnHeightMenuClick(QAction* item);
  void SaveTBtnClick();
  void PrintTBtnClick();
  void CopyTBtnClick();
  void GstHRBnClick();
  void DistanceRBnClick();

  // The analysis as the controls stand.
  TToolRunSettings RunSettings() const;

  // TToolRunView
  void HideErrorPage() override;
  void ShowConsoleOutput(const TStringList& lines) override;
  void ShowLaunchFailed() override;
  void ShowTextResult(const TStringList& lines) override;
  void ShowTreeOutput(const TStringList& lines) override;
  void ShowTree(std::unique_ptr<TTreeList> list) override;

 private:
  void BuildConsolePage();
  void BuildTreePage();
  void BuildOutputPages();
  void FitBootnumSEdt();
  void SetTabVisible(int page, bool visible) { PageCtrl->setTabVisible(page, visible); }
  QToolButton* AddToolButton(const QString& name, const QString& hint, const QIcon& icon);
  std::string DataFileWithExtension(const std::string& extension) const;

  // Whether the saved tree gets its root: the view draws one.
  bool ShowsRoot() const;

  std::string dataFileName_;
  // The user placed the root of the shown tree.
  bool rootChosen_ = false;
};

// Sets the lines of a memo.
void SetMemoLines(QPlainTextEdit* memo, const TStringList& lines);
TStringList MemoLines(const QPlainTextEdit* memo);
