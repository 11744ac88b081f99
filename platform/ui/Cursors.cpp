#include "platform/ui/Cursors.h"

#include <QGuiApplication>
#include <map>

namespace {

std::map<TCursor, QCursor>& Registered() {
  static std::map<TCursor, QCursor> table;
  return table;
}

struct ScreenState {
  TCursor cursor = crDefault;
  bool pushed = false;  // our entry is on the override stack
};

ScreenState& Screen() {
  static ScreenState state;
  return state;
}

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

}  // namespace

QCursor ScreenCursors(TCursor Id) {
  const auto it = Registered().find(Id);
  if (it != Registered().end()) return it->second;
  return QCursor(StockShape(Id));
}

void SetScreenCursors(TCursor Id, const QCursor& Cursor) {
  Registered()[Id] = Cursor;
  if (Id == Screen().cursor && Screen().pushed) QGuiApplication::changeOverrideCursor(Cursor);
}

void RemoveScreenCursor(TCursor Id) {
  Registered().erase(Id);
  if (Id == Screen().cursor && Screen().pushed) QGuiApplication::changeOverrideCursor(ScreenCursors(Id));
}

TCursor ScreenCursor() { return Screen().cursor; }

void SetScreenCursor(TCursor Id) {
  ScreenState& screen = Screen();
  screen.cursor = Id;
  if (Id == crDefault) {
    if (screen.pushed) QGuiApplication::restoreOverrideCursor();
    screen.pushed = false;
  } else if (screen.pushed) {
    QGuiApplication::changeOverrideCursor(ScreenCursors(Id));
  } else {
    QGuiApplication::setOverrideCursor(ScreenCursors(Id));
    screen.pushed = true;
  }
}
