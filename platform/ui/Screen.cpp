#include "platform/ui/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <iterator>

namespace {

Qt::CursorShape StockShape(TCursor Id) {
  // Index -Id; crMultiDrag shares the drag shape (Qt has no multi-document one).
  static const Qt::CursorShape shapes[] = {
      Qt::ArrowCursor,     Qt::BlankCursor,        Qt::ArrowCursor,    Qt::CrossCursor,     Qt::IBeamCursor,
      Qt::ArrowCursor,     Qt::SizeBDiagCursor,    Qt::SizeVerCursor,  Qt::SizeFDiagCursor, Qt::SizeHorCursor,
      Qt::UpArrowCursor,   Qt::WaitCursor,         Qt::DragMoveCursor, Qt::ForbiddenCursor, Qt::SplitHCursor,
      Qt::SplitVCursor,    Qt::DragMoveCursor,     Qt::WaitCursor,     Qt::ForbiddenCursor, Qt::BusyCursor,
      Qt::WhatsThisCursor, Qt::PointingHandCursor, Qt::SizeAllCursor,
  };
  if (Id > 0 || -Id >= static_cast<TCursor>(std::size(shapes))) return Qt::ArrowCursor;
  return shapes[-Id];
}

class QtScreenSource final : public TScreenSource {
 public:
  Size ScreenSize() override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0};
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
  }
  Point CursorPos() override {
    const QPoint pos = QCursor::pos();
    return {pos.x(), pos.y()};
  }
  int PixelsPerInch() override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInch()) : 0;
    return dpi > 0 ? dpi : TScreenSource::PixelsPerInch();
  }
};

}  // namespace

TScreen& TheScreen() {
  static TScreen screen;
  return screen;
}

QCursor TScreen::Cursors(TCursor Id) const {
  const auto it = registered_.find(Id);
  if (it != registered_.end()) return it->second;
  return QCursor(StockShape(Id));
}

void TScreen::SetCursors(TCursor Id, const QCursor& Cursor) {
  registered_[Id] = Cursor;
  if (Id == cursor_ && pushed_) QGuiApplication::changeOverrideCursor(Cursor);
}

void TScreen::RemoveCursor(TCursor Id) {
  registered_.erase(Id);
  if (Id == cursor_ && pushed_) QGuiApplication::changeOverrideCursor(Cursors(Id));
}

void TScreen::SetCursor(TCursor Id) {
  cursor_ = Id;
  if (Id == crDefault) {
    if (pushed_) QGuiApplication::restoreOverrideCursor();
    pushed_ = false;
  } else if (pushed_) {
    QGuiApplication::changeOverrideCursor(Cursors(Id));
  } else {
    QGuiApplication::setOverrideCursor(Cursors(Id));
    pushed_ = true;
  }
}

TScreenSource* TScreen::SetSource(TScreenSource* Value) {
  TScreenSource* old = source_;
  source_ = Value;
  return old;
}

TScreenSource& TScreen::Source() {
  static QtScreenSource real;
  return source_ ? *source_ : real;
}

void TScreen::AddForm(TForm* Form) {
  if (std::find(forms_.begin(), forms_.end(), Form) == forms_.end()) forms_.push_back(Form);
}

void TScreen::RemoveForm(TForm* Form) {
  std::erase(forms_, Form);
  if (activeForm_ == Form) activeForm_ = nullptr;
}

void TScreen::FormActivated(TForm* Form) {
  activeForm_ = Form;
  const auto it = std::find(forms_.begin(), forms_.end(), Form);
  if (it != forms_.end()) std::rotate(forms_.begin(), it, std::next(it));
}

void TScreen::FormDeactivated(TForm* Form) {
  if (activeForm_ == Form) activeForm_ = nullptr;
}

void TScreen::AddDataModule(TDataModule* DataModule) {
  if (std::find(dataModules_.begin(), dataModules_.end(), DataModule) == dataModules_.end())
    dataModules_.push_back(DataModule);
}

void TScreen::RemoveDataModule(TDataModule* DataModule) { std::erase(dataModules_, DataModule); }
