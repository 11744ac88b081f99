#include "app/KestovaForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "app/BusyRun.h"
#include "app/ToolIcons.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Color.h"
#include "platform/process/ChildProcess.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"
#include "tree/view/NTreeBox.h"

namespace {

QFont PixelFont(const QString& family, int pixels, QFont::StyleHint hint = QFont::AnyStyle) {
  QFont font(family);
  font.setStyleHint(hint);
  font.setPixelSize(pixels);
  return font;
}

// The console's fixed-pitch face.
QFont FixedSysFont() { return PixelFont("Monospace", 12, QFont::TypeWriter); }

void SetComboColor(QComboBox* combo, bool white) {
  QPalette p = combo->palette();
  p.setColor(QPalette::Base, white ? QColor(Qt::white) : QApplication::palette().color(QPalette::Button));
  p.setColor(QPalette::Button, white ? QColor(Qt::white) : QApplication::palette().color(QPalette::Button));
  combo->setPalette(p);
}

template <typename W>
W* Place(W* widget, int x, int y, int width = -1, int height = -1) {
  QSize hint = widget->sizeHint();
  widget->setGeometry(x, y, width > 0 ? width : hint.width(), height > 0 ? height : hint.height());
  return widget;
}

// The owner-drawn items of the line-width list: a bar as thick as the item's
// point number, then the caption at the right.
class BranchWidthDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->fillRect(option.rect, selected ? pal.highlight() : pal.base());
    const QColor ink = selected ? pal.highlightedText().color() : pal.text().color();
    const QString caption = index.data().toString();
    const QFontMetrics fm(option.font);
    const int textWidth = fm.horizontalAdvance(caption);
    const QRect r = option.rect;
    const int x0 = r.left() + 4, x1 = r.right() + 1 - textWidth - 8, c = (r.top() + r.bottom() + 1) / 2;
    struct Rows {
      int from, to;
    };
    static constexpr Rows rows[] = {{0, 0}, {0, 1}, {-1, 1}, {-1, 2}, {-2, 2}};
    const Rows bar = rows[std::clamp(index.row(), 0, 4)];
    painter->fillRect(QRect(QPoint(x0, c + bar.from), QPoint(x1, c + bar.to)), ink);
    painter->setPen(ink);
    painter->setFont(option.font);
    painter->drawText(QPoint(r.right() + 1 - textWidth - 2, r.top() + fm.ascent()), caption);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 14);
  }
};

// The line-width list draws its shown item as it draws the list's items.
class BranchWidthComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
    if (currentIndex() < 0) return;
    QStyleOptionViewItem item;
    item.initFrom(this);
    item.font = font();
    item.rect = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    item.state &= ~QStyle::State_Selected;
    itemDelegate()->paint(&painter, item, model()->index(currentIndex(), 0));
  }
};

// Connects a signal to a handler that runs under the application's error display.
template <typename Sender, typename Signal, typename Handler>
void On(Sender* sender, Signal signal, QObject* context, Handler handler) {
  QObject::connect(sender, signal, context, [handler](auto&&...) { RunGuarded(handler); });
}

}  // namespace

void SetMemoLines(QPlainTextEdit* memo, const TStringList& lines) {
  QStringList text;
  for (const auto& line : lines) text << QString::fromStdString(line);
  memo->setPlainText(text.join('\n'));
}

TStringList MemoLines(const QPlainTextEdit* memo) {
  TStringList lines;
  const QString text = memo->toPlainText();
  if (!text.isEmpty()) lines.SetText(text.toStdString());
  return lines;
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Kestova");
  setGeometry(464, 219, 768, 736);
  setFont(PixelFont("Arial", 12));
  statusBar()->setSizeGripEnabled(true);

  PageCtrl = new QTabWidget(this);
  setCentralWidget(PageCtrl);
  BuildConsolePage();
  BuildTreePage();
  BuildOutputPages();
  PageCtrl->setCurrentIndex(kConsolePage);
  for (int page : {kTreePage, kOutputPage, kErrorPage}) SetTabVisible(page, false);
  FitBootnumSEdt();

  // Actions are refreshed when the focus in the tree moves and, like the
  // class library's idle update, a few times a second.
  TreeBox->OnChange = [this](QObject*) { ActionUpdate(); };
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, [this] { ActionUpdate(); });
  idle->start(200);
  ActionUpdate();
}

TForm1::~TForm1() = default;

void TForm1::FitBootnumSEdt() {
  // Every digit of the largest count (1000000) shows, in the font the box
  // has now that it sits in the window; the caption moves along.
  const QRect box = BootnumSEdt->geometry();
  const int width = std::max(box.width(), BootnumSEdt->WidthForDigits(BootnumSEdt->BoundDigits()));
  BootnumSEdt->setGeometry(box.x(), box.y(), width, box.height());
  Label3->move(std::max(Label3->x(), box.x() + width + 4), Label3->y());
}

void TForm1::BuildConsolePage() {
  ConsoleTabSheet = new QWidget;
  auto* layout = new QVBoxLayout(ConsoleTabSheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* panel = new QWidget;
  panel->setFixedHeight(77);
  layout->addWidget(panel);

  InputBtn = Place(new QPushButton("Data Input", panel), 16, 5, 105, 25);
  RunBtn = Place(new QPushButton("Run Kestova", panel), 16, 43, 105, 25);
  RunBtn->setEnabled(false);
  DistanceRBn = Place(new QRadioButton("Distance/Phylogeny:", panel), 144, 9);
  DistanceRBn->setChecked(true);
  DistanceCbx = new QComboBox(panel);
  DistanceCbx->addItems({"Da", "Dst (corrected)", "Dst (uncorrected)", "Fst (corrected)", "Fst (uncorrected)", "Dmyu",
                         "Dsw"});
  DistanceCbx->setMaxVisibleItems(9);
  Place(DistanceCbx, 280, 7, 125);
  Label1 = Place(new QLabel("/", panel), 413, 10);
  TreeCBx = new QComboBox(panel);
  TreeCBx->addItems({"NJ", "UPGMA"});
  Place(TreeCBx, 424, 6, 70);
  BootCkBx = Place(new QCheckBox("Bootstrap:", panel), 516, 9);
  BootnumSEdt = new TNumberSpinEdit(panel);
  Place(BootnumSEdt, 594, 5, 68, 24);
  BootnumSEdt->SetIntegerOnly(true);
  BootnumSEdt->SetMinValue(100);
  BootnumSEdt->SetMaxValue(1000000);
  BootnumSEdt->SetIncrement(100);
  BootnumSEdt->SetValue(1000);
  BootnumSEdt->SetDefaultDigit(8);
  BootnumSEdt->SetFixedDigit(false);
  BootnumSEdt->SetButtonVisible(true);
  BootnumSEdt->SetColorDisabled(static_cast<uint32_t>(ColorToRGB(clBtnFace)));
  BootnumSEdt->setEnabled(false);
  Label3 = Place(new QLabel("replications", panel), 666, 10);
  GstHRBn = Place(new QRadioButton("Heterozygosity/Gst:", panel), 145, 47);
  HGstCBx = new QComboBox(panel);
  HGstCBx->addItems({"H/Gst (corrected)", "H/Gst (uncorrected)"});
  HGstCBx->setMaxVisibleItems(9);
  Place(HGstCBx, 280, 44, 137);
  HGstCBx->setEnabled(false);
  SetComboColor(HGstCBx, false);

  ConsoleMemo = new QPlainTextEdit;
  ConsoleMemo->setReadOnly(true);
  ConsoleMemo->setFont(FixedSysFont());
  ConsoleMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(ConsoleMemo);

  QWidget* order[] = {RunBtn, BootCkBx, BootnumSEdt, DistanceCbx, TreeCBx, InputBtn, DistanceRBn, HGstCBx, GstHRBn};
  for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

  On(InputBtn, &QPushButton::clicked, this, [this] { InputBtnClick(); });
  On(RunBtn, &QPushButton::clicked, this, [this] { RunBtnClick(); });
  On(BootCkBx, &QCheckBox::clicked, this, [this] { BootCkBxClick(); });
  On(GstHRBn, &QRadioButton::clicked, this, [this] { GstHRBnClick(); });
  On(DistanceRBn, &QRadioButton::clicked, this, [this] { DistanceRBnClick(); });
  PageCtrl->addTab(ConsoleTabSheet, "Kestova");
}

QToolButton* TForm1::AddToolButton(const QString& name, const QString& hint, const QIcon& icon) {
  auto* button = new QToolButton;
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setIcon(icon);
  button->setIconSize(QSize(18, 18));
  button->setFixedSize(26, 24);
  button->setAutoRaise(true);
  ToolBar->addWidget(button);
  return button;
}

void TForm1::BuildTreePage() {
  TreeTabSheet = new QWidget;
  auto* layout = new QVBoxLayout(TreeTabSheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ToolBar = new QToolBar;
  ToolBar->setFixedHeight(25);
  ToolBar->setIconSize(QSize(18, 18));
  layout->addWidget(ToolBar);

  ActionFlip = new QAction("&Flip", this);
  ActionFlip->setToolTip("Flip Subtree");
  ActionSwap = new QAction("&Swap", this);
  ActionSwap->setToolTip("Swap Subtree");
  ActionRootOnBranch = new QAction("&Root On Current &Branch", this);
  ActionRootOnBranch->setToolTip("Place Root on Branch");
  for (QAction* a : {ActionFlip, ActionSwap, ActionRootOnBranch}) a->setEnabled(false);
  ActionRectangle = new QAction("ActionRectangle", this);
  ActionRadiation = new QAction("ActionRadiation", this);
  On(ActionFlip, &QAction::triggered, this, [this] { ActionFlipExecute(); });
  On(ActionSwap, &QAction::triggered, this, [this] { ActionSwapExecute(); });
  On(ActionRootOnBranch, &QAction::triggered, this, [this] { ActionRootOnBranchExecute(); });
  On(ActionRectangle, &QAction::triggered, this, [this] { ActionRectangleExecute(); });
  On(ActionRadiation, &QAction::triggered, this, [this] { ActionRadiationExecute(); });

  SaveTBtn = AddToolButton("SaveTBtn", "Save as a Newick file", ToolIcon(TToolGlyph::Save));
  PrintTBtn = AddToolButton("PrintTBtn", "Print Tree Image", ToolIcon(TToolGlyph::Print));
  CopyTBtn = AddToolButton("CopyTBtn", "Copy to Clipboard", ToolIcon(TToolGlyph::Copy));
  ToolBar->addSeparator();
  RootTBtn = AddToolButton("RootTBtn", "Place Root on Branch", ToolIcon(TToolGlyph::Root));
  FlipTBtn = AddToolButton("FlipTBtn", "Flip Subtree", ToolIcon(TToolGlyph::Flip));
  SwapTBtn = AddToolButton("SwapTBtn", "Swap Subtree", ToolIcon(TToolGlyph::Swap));
  ToolBar->addSeparator();
  RectangleTBtn = AddToolButton("RectangleTBtn", "Display as Rectangle Tree", ToolIcon(TToolGlyph::Rectangle));
  RadiationTBtn = AddToolButton("RadiationTBtn", "Display as Radiation Tree", ToolIcon(TToolGlyph::Radiation));
  ToolBar->addSeparator();
  WidthTBtn = AddToolButton("WidthTBtn", "Set Tree Width", ToolIcon(TToolGlyph::Width));
  HeightTBtn = AddToolButton("HeightTBtn", "Set Branch Separations", ToolIcon(TToolGlyph::Height));
  ToolBar->addSeparator();
  ToolButton1 = AddToolButton("ToolButton1", "Set Font", QIcon());
  ToolButton1->setText("Font");
  ToolButton1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ToolBar->addSeparator();
  BranchWidthCmbBx = new BranchWidthComboBox;
  BranchWidthCmbBx->setToolTip("Set Branch Line Width");
  BranchWidthCmbBx->setFixedWidth(131);
  BranchWidthCmbBx->addItems({"1 pt", "2 pt", "3 pt", "4 pt", "5 pt"});
  BranchWidthCmbBx->setItemDelegate(new BranchWidthDelegate(BranchWidthCmbBx));
  ToolBar->addWidget(BranchWidthCmbBx);

  // Tool buttons run their actions, so that the actions' enabling shows on them.
  RootTBtn->setDefaultAction(ActionRootOnBranch);
  FlipTBtn->setDefaultAction(ActionFlip);
  SwapTBtn->setDefaultAction(ActionSwap);
  RectangleTBtn->setDefaultAction(ActionRectangle);
  RadiationTBtn->setDefaultAction(ActionRadiation);
  RootTBtn->setIcon(ToolIcon(TToolGlyph::Root));
  FlipTBtn->setIcon(ToolIcon(TToolGlyph::Flip));
  SwapTBtn->setIcon(ToolIcon(TToolGlyph::Swap));
  RectangleTBtn->setIcon(ToolIcon(TToolGlyph::Rectangle));
  RadiationTBtn->setIcon(ToolIcon(TToolGlyph::Radiation));
  ActionRectangle->setIcon(ToolIcon(TToolGlyph::Rectangle));
  ActionRectangle->setToolTip("Display as Rectangle Tree");
  ActionRadiation->setIcon(ToolIcon(TToolGlyph::Radiation));
  ActionRadiation->setToolTip("Display as Radiation Tree");
  ActionRootOnBranch->setIcon(ToolIcon(TToolGlyph::Root));
  ActionFlip->setIcon(ToolIcon(TToolGlyph::Flip));
  ActionSwap->setIcon(ToolIcon(TToolGlyph::Swap));

  auto makeMenu = [this](QToolButton* button, const std::vector<std::pair<const char*, int>>& items, int checkedGroup,
                         void (TForm1::*handler)(QAction*)) {
    auto* menu = new QMenu(button);
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const auto& [caption, value] : items) {
      QAction* item = menu->addAction(caption);
      item->setCheckable(true);
      item->setData(value);
      item->setChecked(value == checkedGroup);
      group->addAction(item);
    }
    for (QAction* item : menu->actions())
      QObject::connect(item, &QAction::triggered, this,
                       [this, handler, item] { RunGuarded([&] { (this->*handler)(item); }); });
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    return menu;
  };
  WidthPMenu = makeMenu(WidthTBtn,
                        {{"100", 1}, {"200", 2}, {"300", 3}, {"400", 4}, {"500", 5}, {"600", 6}, {"800", 8},
                         {"1000", 10}, {"1200", 12}, {"1500", 15}},
                        4, &TForm1::OnWidthMenuClick);
  HeightPMenu = makeMenu(HeightTBtn,
                         {{"1", 2}, {"1.5", 3}, {"2", 4}, {"2.5", 5}, {"3", 6}, {"3.5", 7}, {"4", 8}, {"5", 10},
                          {"6", 12}},
                         4, &TForm1::OnHeightMenuClick);

  On(SaveTBtn, &QToolButton::clicked, this, [this] { SaveTBtnClick(); });
  On(PrintTBtn, &QToolButton::clicked, this, [this] { PrintTBtnClick(); });
  On(CopyTBtn, &QToolButton::clicked, this, [this] { CopyTBtnClick(); });
  On(ToolButton1, &QToolButton::clicked, this, [this] { ToolButton1Click(); });
  On(BranchWidthCmbBx, &QComboBox::activated, this, [this] { BranchWidthCmbBxChange(); });

  ScrollBox1 = new QScrollArea;
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setBackgroundRole(QPalette::Base);
  QPalette white = ScrollBox1->palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Window, Qt::white);
  ScrollBox1->setPalette(white);
  ScrollBox1->setAutoFillBackground(true);
  TreeBox = new TTreeBox;
  ScrollBox1->setWidget(TreeBox);
  ScrollBox1->setWidgetResizable(false);
  layout->addWidget(ScrollBox1);

  // What the stored form sets on the tree view, in its order.
  TreeBox->SetTreeWidth(400);
  TreeBox->SetPixelsPerOTU(24);
  TreeBox->SetPixelsPerGroupMember(2);
  TreeBox->SetRadius(300);
  TreeBox->SetStartAngle(0);
  TreeBox->SetCenterMargin(20);
  TreeBox->SetAutoSize(true);
  TreeBox->SetTreeStyle(TTreeStyle::tsTraditional);
  TreeBox->SetBranchStyle(TBranchStyle::bsRectangular);
  TreeBox->SetStatsPosition(TBranchInfoPosition::bipAutomatic);
  TreeBox->SetBLenPosition(TBranchInfoPosition::bipAutomatic);
  TreeBox->SetBLenDecimals(0);
  TreeBox->SetFillSubtreeDelta(true);
  TreeBox->SetShowOTUName(true);
  TreeBox->SetShowSelection(true);
  TreeBox->SetShowOTUMarker(true);
  TreeBox->SetShowStats(true);
  TreeBox->SetShowScale(true);
  TreeBox->SetShowTimeScale(true);
  TreeBox->SetShowRoot(true);
  TreeBox->SetShowBLen(false);
  TreeBox->SetShowCharState(false);
  TreeBox->SetShowHeightErrBar(false);
  TreeBox->SetShowTopologyOnly(false);
  TreeBox->SetHorzTaxonName(false);
  TreeBox->SetAlignCaption(false);
  TreeBox->SetEditNameEnabled(false);
  TreeBox->SetShowMappedTreeNames(false);
  TreeBox->SetForceLinearized(false);
  TreeBox->SetFreqDecimals(0);
  TreeBox->SetConsensusValue(0);
  TreeBox->SetCondenseValue(0);
  TFontData arial12;
  arial12.Name = "Arial";
  arial12.Height = -12;
  TreeBox->SetOTU_Font(arial12);
  TreeBox->setFont(PixelFont("Arial", 12));
  TFontData arial13 = arial12;
  arial13.Height = -13;
  TreeBox->SetScaleFont(arial13);
  TFontData gothic = arial12;
  gothic.Name = "MS PGothic";
  TreeBox->SetStatsFont(gothic);
  TreeBox->SetCharStateFont(gothic);

  PageCtrl->addTab(TreeTabSheet, "Phylogeny");
}

void TForm1::BuildOutputPages() {
  OutputTabSheet = new QWidget;
  auto* layout = new QVBoxLayout(OutputTabSheet);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QWidget;
  auto* panelLayout = new QHBoxLayout(panel);
  panelLayout->setContentsMargins(4, 4, 4, 4);
  SaveBtn = new QPushButton("Save");
  panelLayout->addWidget(SaveBtn);
  panelLayout->addStretch();
  layout->addWidget(panel);
  OutputMemo = new QPlainTextEdit;
  OutputMemo->setReadOnly(true);
  OutputMemo->setFont(FixedSysFont());
  OutputMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  layout->addWidget(OutputMemo);
  On(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
  PageCtrl->addTab(OutputTabSheet, "Output");

  ErrorTabSheet = new QWidget;
  auto* errorLayout = new QVBoxLayout(ErrorTabSheet);
  errorLayout->setContentsMargins(0, 0, 0, 0);
  ErrorMemo = new QPlainTextEdit;
  ErrorMemo->setReadOnly(true);
  ErrorMemo->setFont(FixedSysFont());
  ErrorMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  errorLayout->addWidget(ErrorMemo);
  PageCtrl->addTab(ErrorTabSheet, "Error");
}

// ---- Console page ----

void TForm1::InputBtnClick() {
  auto path = Dialogs().OpenFile({});
  if (!path) return;
  dataFileName_ = *path;
  PageCtrl->setCurrentIndex(kConsolePage);
  for (int page : {kTreePage, kOutputPage, kErrorPage}) SetTabVisible(page, false);
  TStringList lines;
  lines.LoadFromFile(*path);
  SetMemoLines(ConsoleMemo, lines);
  RunBtn->setEnabled(true);
  ConsoleMemo->moveCursor(QTextCursor::Start);
  ConsoleMemo->ensureCursorVisible();
}

TToolRunSettings TForm1::RunSettings() const {
  TToolRunSettings s;
  s.dataFile = dataFileName_;
  s.bootstrapEnabled = BootCkBx->isEnabled();
  s.bootstrapChecked = BootCkBx->isChecked();
  s.replicates = BootnumSEdt->AsInteger();
  s.gstChecked = GstHRBn->isChecked();
  s.distanceChecked = DistanceRBn->isChecked();
  s.gstIndex = HGstCBx->currentIndex();
  s.distanceIndex = DistanceCbx->currentIndex();
  s.treeIndex = TreeCBx->currentIndex();
  s.treeEnabled = TreeCBx->isEnabled();
  return s;
}

void TForm1::RunBtnClick() {
  // The window waits for the tool without taking what the user does
  // meanwhile: a click on "Run Kestova" while waiting starts no second run.
  const TChildRunner runner = [](const std::vector<std::string>& args, TStream& input, TStream& output,
                                 TStream& error) {
    int code = 0;
    RunWhileBusy([&] { code = RunChildProcess(args, input, output, error); });
    return code;
  };
  RunTool(RunSettings(), *this, std::filesystem::current_path().string(), runner);
}

void TForm1::BootCkBxClick() { BootnumSEdt->setEnabled(BootCkBx->isChecked()); }

void TForm1::GstHRBnClick() {
  SetComboColor(HGstCBx, true);
  HGstCBx->setEnabled(true);
  for (QComboBox* combo : {DistanceCbx, TreeCBx}) {
    SetComboColor(combo, false);
    combo->setEnabled(false);
  }
  BootCkBx->setEnabled(false);
  BootnumSEdt->setEnabled(false);
}

void TForm1::DistanceRBnClick() {
  for (QComboBox* combo : {DistanceCbx, TreeCBx}) {
    SetComboColor(combo, true);
    combo->setEnabled(true);
  }
  BootCkBx->setEnabled(true);
  BootnumSEdt->setEnabled(BootCkBx->isChecked());
  SetComboColor(HGstCBx, false);
  HGstCBx->setEnabled(false);
}

// ---- Results ----

void TForm1::HideErrorPage() { SetTabVisible(kErrorPage, false); }

void TForm1::ShowConsoleOutput(const TStringList& lines) {
  SetMemoLines(ErrorMemo, lines);
  SetTabVisible(kErrorPage, true);
  PageCtrl->setCurrentIndex(kErrorPage);
}

void TForm1::ShowLaunchFailed() {
  Dialogs().MessageBox(kLaunchFailedMessage, kLaunchFailedCaption, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
}

void TForm1::ShowTextResult(const TStringList& lines) {
  SetMemoLines(OutputMemo, lines);
  SetTabVisible(kOutputPage, true);
  SetTabVisible(kTreePage, false);
  PageCtrl->setCurrentIndex(kOutputPage);
}

void TForm1::ShowTreeOutput(const TStringList& lines) {
  SetMemoLines(OutputMemo, lines);
  OutputMemo->moveCursor(QTextCursor::Start);
  SetTabVisible(kOutputPage, true);
}

void TForm1::ShowTree(std::unique_ptr<TTreeList> list) {
  if (!TreeBox->SetTreeList(std::move(list), true)) return;
  rootChosen_ = false;
  TreeBox->RefreshTree();
  SetTabVisible(kTreePage, true);
  PageCtrl->setCurrentIndex(kTreePage);
  ActionUpdate();
}

std::string TForm1::DataFileWithExtension(const std::string& extension) const {
  if (dataFileName_.empty()) return {};
  return std::filesystem::path(dataFileName_).replace_extension(extension).string();
}

void TForm1::SaveBtnClick() {
  TFileDialogOptions options;
  options.fileName = DataFileWithExtension(".out");
  auto path = Dialogs().SaveFile(options);
  if (!path) return;
  MemoLines(OutputMemo).SaveToFile(*path);
}

// ---- Phylogeny page ----

void TForm1::ActionUpdate() {
  ActionRootOnBranch->setEnabled(TreeBox->BranchFocused() && TreeCBx->currentIndex() != 1);
  ActionFlip->setEnabled(TreeBox->NodeFocused() || TreeBox->BranchFocused());
  ActionSwap->setEnabled(ActionFlip->isEnabled());
}

void TForm1::ActionSwapExecute() {
  TreeBox->SwapChildren();
  TreeBox->RefreshTree();
}

void TForm1::ActionFlipExecute() {
  TreeBox->FlipSubtree();
  TreeBox->RefreshTree();
}

void TForm1::ActionRootOnBranchExecute() {
  rootChosen_ = rootChosen_ || (TreeBox->BranchFocused() && !TreeBox->isRooted());
  TreeBox->RootOnFocusedBranch();
  TreeBox->RefreshTree();
}

void TForm1::ActionRectangleExecute() {
  TreeBox->SetTreeStyle(TTreeStyle::tsTraditional);
  TreeBox->RefreshTree();
}

void TForm1::ActionRadiationExecute() {
  TreeBox->SetTreeStyle(TTreeStyle::tsRadiation);
  TreeBox->RefreshTree();
}

void TForm1::OnWidthMenuClick(QAction* item) {
  TreeBox->SetTreeWidth(item->data().toInt() * 100);
  for (QAction* a : WidthPMenu->actions()) a->setChecked(a == item);
  TreeBox->RefreshTree();
}

void TForm1::OnHeightMenuClick(QAction* item) {
  TreeBox->SetPixelsPerOTU(item->data().toInt() * 6);
  for (QAction* a : HeightPMenu->actions()) a->setChecked(a == item);
  TreeBox->RefreshTree();
}

void TForm1::ToolButton1Click() {
  const TFontData& current = TreeBox->OTU_Font();
  TFontChoice choice;
  choice.name = current.Name;
  choice.size = current.Size();
  choice.bold = current.Style.Contains(TFontStyle::fsBold);
  choice.italic = current.Style.Contains(TFontStyle::fsItalic);
  choice.underline = current.Style.Contains(TFontStyle::fsUnderline);
  choice.strikeOut = current.Style.Contains(TFontStyle::fsStrikeOut);
  choice.color = static_cast<uint32_t>(ColorToRGB(current.Color));
  auto chosen = Dialogs().ChooseFont(choice);
  if (!chosen) return;
  TFontData font = current;
  font.Name = chosen->name;
  font.SetSize(chosen->size);
  font.Style = TFontStyles();
  if (chosen->bold) font.Style.Include(TFontStyle::fsBold);
  if (chosen->italic) font.Style.Include(TFontStyle::fsItalic);
  if (chosen->underline) font.Style.Include(TFontStyle::fsUnderline);
  if (chosen->strikeOut) font.Style.Include(TFontStyle::fsStrikeOut);
  font.Color = static_cast<TColor>(chosen->color);
  TreeBox->SetOTU_Font(font);
  TreeBox->RefreshTree();
}

void TForm1::BranchWidthCmbBxChange() {
  TPenData pen = TreeBox->BranchPen();
  pen.Width = BranchWidthCmbBx->currentIndex() + 1;
  TreeBox->SetBranchPen(pen);
  TreeBox->RefreshTree();
}

void TForm1::SaveTBtnClick() {
  TFileDialogOptions options;
  options.fileName = DataFileWithExtension(".nwk");
  auto path = Dialogs().SaveFile(options);
  if (!path) return;
  auto list = std::make_unique<TTreeList>();
  const bool isStats = TreeBox->GetisStats();
  // The support total is the shown tree's, whatever the bootstrap controls
  // say now.
  if (isStats) list->MaxStats = TreeBox->MaxStats();
  const int n = TreeBox->NoOfOTUs();
  TTreeData* tree = list->Add(std::make_unique<TTreeData>(n, true, false, isStats));
  if (!tree) return;
  TreeBox->GetTreeData(*tree);
  for (int i = 0; i < n; ++i) list->SetOTUName(i, TreeBox->GetOTUName(i + 1));
  // The tree is written as it is shown: with its root wherever one is drawn.
  list->isRooted = ShowsRoot();
  if (list->ExportAllToNewickFile(*path, true, isStats, 0)) return;
  // Say why, as a text result's Save does: the file cannot be created (with
  // the system's reason), or it could not be written.
  TFileStream probe(*path, TFileMode::fmCreate);
  throw EInOutError(std::string(kWriteErrorText) + " \"" + *path + "\"");
}

bool TForm1::ShowsRoot() const {
  // The rectangular picture is drawn from the root; the radiation picture
  // shows one only for a rooted tree or a root the user placed.
  return TreeBox->isRooted() || TreeBox->TreeStyle() != TTreeStyle::tsRadiation || rootChosen_;
}

void TForm1::PrintTBtnClick() { TreeBox->PrintTree(); }

void TForm1::CopyTBtnClick() { TreeBox->CopyImageToClipboard(); }
