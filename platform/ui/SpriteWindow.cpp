#include "platform/ui/SpriteWindow.h"

#include <QApplication>
#include <QPainter>

TSpriteWindow::TSpriteWindow() {
  setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                 Qt::WindowTransparentForInput);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
}

void TSpriteWindow::ShowImage(const QPixmap& Image, const QPoint& TopLeft) {
  image_ = Image;
  setGeometry(QRect(TopLeft, Image.size() / Image.devicePixelRatio()));
  show();
  update();
}

void TSpriteWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawPixmap(0, 0, image_);
}

namespace {
TSpriteWindow* instance = nullptr;
}  // namespace

TSpriteWindow& SpriteWindow() {
  // It lives for the process and is never deleted: a static would be
  // destroyed after the application object.
  if (!instance) instance = new TSpriteWindow;
  return *instance;
}

bool IsSpriteWindow(const QWidget* Widget) {
  return Widget && dynamic_cast<const TSpriteWindow*>(Widget->window()) != nullptr;
}

QWidget* WidgetAtBelowSprite(const QPoint& Global) {
  // Over the sprite, Qt answers the sprite's window, or no widget at all
  // (it is transparent for the mouse): ask again with the sprite out of the
  // way. Hiding and showing an input-transparent window moves no focus.
  if (!instance || !instance->isVisible() || !instance->geometry().contains(Global))
    return QApplication::widgetAt(Global);
  instance->hide();
  QWidget* widget = QApplication::widgetAt(Global);
  instance->show();
  return widget;
}
