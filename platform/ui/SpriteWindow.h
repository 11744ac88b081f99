#pragma once
// The sprite window: one frameless window above the others that shows an
// image outside any window's bounds (a drag image, a drop arrow). It never
// takes the focus and is transparent for input: the mouse acts on what lies
// under it. Qt's widgetAt still answers it for a point it covers, so code that
// looks for the widget under the mouse passes over it (IsSpriteWindow).
//
// One window for the process, made on first use; GUI thread only.

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class TSpriteWindow final : public QWidget {
 public:
  TSpriteWindow();

  // Shows Image with its top-left corner at TopLeft (screen coordinates).
  void ShowImage(const QPixmap& Image, const QPoint& TopLeft);
  // Moves the image shown.
  void MoveImage(const QPoint& TopLeft) { move(TopLeft); }
  void HideImage() { hide(); }

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  QPixmap image_;
};

// The process's sprite window.
TSpriteWindow& SpriteWindow();
// True for a sprite window and the widgets inside one.
bool IsSpriteWindow(const QWidget* Widget);
// The widget under the screen point Global, passing over a sprite window
// that covers it; nullptr when none of the program's widgets is there.
QWidget* WidgetAtBelowSprite(const QPoint& Global);
