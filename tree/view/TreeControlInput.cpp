// The tree view control's pointing and keyboard input, the name editor and
// the focus outline: the widget side of TreeFocus.h, TreeNameEditor.h and
// FocusOutline.h.

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <optional>

#include "platform/graphics/QtGraphics.h"
#include "platform/ui/Application.h"
#include "tree/view/FocusOutline.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeCustomControl.h"
#include "tree/view/TreeFocus.h"
#include "tree/view/TreeNameEditor.h"

namespace {

std::optional<TFocusKey> FocusKeyOf(int key) {
  switch (key) {
    case Qt::Key_Home: return TFocusKey::Home;
    case Qt::Key_Left: return TFocusKey::Left;
    case Qt::Key_Up: return TFocusKey::Up;
    case Qt::Key_Right: return TFocusKey::Right;
    case Qt::Key_Down: return TFocusKey::Down;
    default: return std::nullopt;
  }
}

}  // namespace

// ---- Focus outline ----

void TTreeCustomControl::DrawFocus() {
  if (painting_) {
    // A fresh paint: the picture is on the control again, and the journal
    // holds what lies over it.
    if (overlay_.Empty()) return;
    QPainter painter(this);
    overlay_.Play(painter, QRectF(paintRect_));
    return;
  }
  const TTreeFocus focus{nodeFocused_, branchFocused_, focusedIndex_};
  overlay_.Draw([&](DeviceContext& dc) { DrawFocusOutline(dc, display_, focus); });
  update();
}

void TTreeCustomControl::ResetOverlay() {
  overlay_.Clear();
  // The focus mark as this control (or a deriving one) draws it.
  if (nodeFocused_ || branchFocused_) DrawFocus();
}

// ---- Hit tests ----

bool TTreeCustomControl::NodeAt(int x, int y) {
  if (display_.Nodes.Empty()) return false;
  if (x <= 0 && y <= 0) {
    ClearFocus();
    return false;
  }
  const int k = NodeHitAt(display_, x, y);
  if (k > 0) focusPoint_ = {4 * Coord{x} - display_.Origin.x, 4 * Coord{y} - display_.Origin.y};
  if (k == focusedIndex_ && !branchFocused_) return false;
  ClearFocus();
  if (k == 0) return false;
  focusedIndex_ = k;
  nodeFocused_ = true;
  if (OnChange) OnChange(this);
  DrawFocus();
  if (nameEditor_->isVisible()) nameEditor_->hide();
  return true;
}

bool TTreeCustomControl::BranchAt(int x, int y) {
  if (display_.Nodes.Empty()) return false;
  if (x <= 0 && y <= 0) {
    ClearFocus();
    return false;
  }
  const int k = BranchHitAt(display_, x, y);
  // The clicked point itself, which may lie beside the branch: re-rooting
  // on a root branch puts the root there.
  if (k > 0) focusPoint_ = {4 * Coord{x} - display_.Origin.x, 4 * Coord{y} - display_.Origin.y};
  if (k == focusedIndex_ && !nodeFocused_) return false;
  ClearFocus();
  if (k > 0) {
    focusedIndex_ = k;
    branchFocused_ = true;
    if (OnChange) OnChange(this);
    DrawFocus();
    if (nameEditor_->isVisible()) nameEditor_->hide();
  }
  return branchFocused_;
}

bool TTreeCustomControl::NameAt(int x, int y) {
  if (!display_.TreePresent || !ShowOTUName() || display_.TreeStyle != TTreeStyle::tsTraditional) return false;
  const int edited = nameEditor_->isVisible() ? nameFocusedIndex_ : 0;
  ClearFocus();
  if (OnChange) OnChange(this);
  if (x <= 0 && y <= 0) return false;
  nameFocusedIndex_ = 0;
  const int k = NameHitAt(display_, x, y, *measurer_, ShowCharState());
  if (k > 0) {
    // The open editor writes into the taxon NameFocusedIndex names, so it
    // may not stay open over another taxon's name.
    if (nameEditor_->isVisible() && k != edited) nameEditor_->hide();
    nameFocusedIndex_ = k;
    DoNameClick(this);
    return true;
  }
  if (nameEditor_->isVisible()) nameEditor_->hide();
  return false;
}

// ---- Mouse and keys ----

void TTreeCustomControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, modifiers, x, y);
  if (!showSelection_ || button != Qt::LeftButton) return;
  if (!NodeAt(x, y) && !BranchAt(x, y)) NameAt(x, y);
  if (nodeFocused_ || branchFocused_) setFocus(Qt::MouseFocusReason);
}

void TTreeCustomControl::mousePressEvent(QMouseEvent* event) {
  RunGuarded([&] {
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
  });
}

// Qt reports the second press of a double click only here.
void TTreeCustomControl::mouseDoubleClickEvent(QMouseEvent* event) {
  RunGuarded([&] {
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    if (event->button() != Qt::LeftButton) return;
    if (editNameEnabled_ && nameFocusedIndex_ > 0) EditName();
    if (OnDblClick) OnDblClick(this);
  });
}

void TTreeCustomControl::keyPressEvent(QKeyEvent* event) {
  RunGuarded([&] {
    int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (OnKeyDown) OnKeyDown(this, key, modifiers);
    const std::optional<TFocusKey> move = FocusKeyOf(key);
    if (!move) {
      event->ignore();
      return;
    }
    if (focusedIndex_ <= 0 || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) return;
    const TFocusTarget target = KeyFocusTarget(display_, {nodeFocused_, branchFocused_, focusedIndex_}, *move);
    if (target.kind == TFocusTarget::Kind::Node)
      FocusOnNode(target.index);
    else if (target.kind == TFocusTarget::Kind::Branch)
      FocusOnBranch(target.index);
  });
}

bool TTreeCustomControl::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && FocusKeyOf(static_cast<QKeyEvent*>(event)->key())) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

// ---- Name editor ----

void TTreeCustomControl::EditName() {
  if (!editNameEnabled_ || nameFocusedIndex_ < 1 || nameFocusedIndex_ > display_.Nodes.NoOfNodes()) return;
  const TNameEditorPlace place =
      NameEditorPlace(display_, nameFocusedIndex_, *measurer_, ShowCharState(), emphasisColor_, width());
  nameEditor_->setFont(QFontOf(place.Font));
  QPalette palette = nameEditor_->palette();
  palette.setColor(QPalette::Text, QColorOf(place.Font.Color));
  nameEditor_->setPalette(palette);
  nameEditor_->setText(QString::fromStdString(place.Text));
  nameEditor_->setGeometry(static_cast<int>(place.Left), static_cast<int>(place.Top),
                           static_cast<int>(std::max<Coord>(place.Width, 1)), nameEditor_->sizeHint().height());
  nameEditor_->installEventFilter(this);  // installing again only moves it to the front
  nameEditor_->show();
  nameEditor_->setFocus(Qt::OtherFocusReason);
  nameEditor_->selectAll();
}

void TTreeCustomControl::WidenNameEditor() {
  if (nameFocusedIndex_ < 1 || nameFocusedIndex_ > display_.Nodes.NoOfNodes()) return;
  const TFontData& font = GetNodeAttrib(display_, *display_.Node(nameFocusedIndex_)).NameFont;
  const Coord textWidth = measurer_->TextWidth(font, NameEditorWidthText(nameEditor_->text().toStdString()));
  const Coord w = WidenedNameEditorWidth(nameEditor_->x(), nameEditor_->width(), textWidth, width());
  if (w != nameEditor_->width()) nameEditor_->resize(static_cast<int>(w), nameEditor_->height());
}

void TTreeCustomControl::NameEditorKeyDown(QKeyEvent* event, bool& handled) {
  const int key = event->key();
  if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
    ClearFocus();
    nameEditor_->hide();
    handled = true;
    return;
  }
  if (key == Qt::Key_Z && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
    // Back to the name the tree came with.
    if (nameFocusedIndex_ >= 1 && nameFocusedIndex_ <= display_.Nodes.NoOfNodes()) {
      nameEditor_->setText(QString::fromStdString(display_.Node(nameFocusedIndex_)->savedName));
      nameEditor_->selectAll();
      NameEditorChange();
    }
    handled = true;
  }
}

void TTreeCustomControl::NameEditorExit() {
  AssignAttributes(display_, *measurer_);
  RefreshTree();
}

bool TTreeCustomControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != nameEditor_) return QWidget::eventFilter(watched, event);
  bool handled = false;
  RunGuarded([&] {
    if (event->type() == QEvent::KeyPress) {
      NameEditorKeyDown(static_cast<QKeyEvent*>(event), handled);
    } else if (event->type() == QEvent::FocusOut) {
      // Switching windows or opening the editor's own menu is no exit.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) NameEditorExit();
    }
  });
  return handled || QWidget::eventFilter(watched, event);
}
