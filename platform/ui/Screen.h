#pragma once
// The screen object, TScreen, reached through `Screen` (Screen->Cursor()):
// the cursor table, the screen cursor, the screen's size and the mouse
// position.
//
// Cursors are numbered. Negative numbers down to crSizeAll are the stock
// cursors, mapped to Qt's cursor shapes; crDefault (0) is the default arrow.
// Other numbers (102, 103, -1124 ... -1140, ...) are registered by their
// users with their own artwork; a registration may also replace a stock
// cursor. A number neither stock nor registered answers the default arrow.
//
// The screen cursor, when not crDefault, is shown over every window of the
// program: it is one entry on Qt's override-cursor stack, pushed when the
// screen cursor leaves crDefault, changed while it stays off crDefault and
// popped when it returns. So the usual pattern of saving the screen cursor,
// setting another and putting the saved one back nests. (The entry is the
// top of the stack unless other code pushed its own over it meanwhile; that
// code must pop its own first.)
//
// Forms and data modules (platform/controls/Forms.h) enter the lists here
// when made and leave them when freed. Forms(0) is the form activated last:
// each activation moves its form to the front, so the list is in activation
// order, most recent first; a form never activated stays behind those that
// were, in the order made. ActiveForm is the form whose window is active,
// nullptr while none of ours is.
//
// Width, Height and CursorPos come from a replaceable source: by default
// the primary screen and the mouse, in tests a fixed double, so code that
// places windows by the mouse is tested without one.
//
// One object for the process, made on first use; GUI thread only.

#include <QCursor>
#include <map>
#include <vector>

#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsNames.h"

// The cursor numbers and their names (crDefault, crHourGlass, ...) are the
// graphics layer's.
using TCursor = TCursorValue;

class TForm;
class TDataModule;

// Where the screen's size and the mouse position come from.
class TScreenSource {
 public:
  virtual ~TScreenSource() = default;
  // The size of the primary screen in pixels.
  virtual Size ScreenSize() = 0;
  // The mouse position in screen pixels.
  virtual Point CursorPos() = 0;
  // The screen's logical density, for scaling stored forms.
  virtual int PixelsPerInch() { return kDefaultPixelsPerInch; }
};

class TScreen {
 public:
  TScreen() = default;
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  // The cursor shown for Id (the table's Cursors[Id]).
  QCursor Cursors(TCursor Id) const;
  // Registers Cursor under Id, replacing what Id showed before.
  void SetCursors(TCursor Id, const QCursor& Cursor);
  // Drops the registration of Id: a stock number shows its stock cursor
  // again, any other the default arrow.
  void RemoveCursor(TCursor Id);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Id);

  int Width() { return static_cast<int>(Source().ScreenSize().cx); }
  int Height() { return static_cast<int>(Source().ScreenSize().cy); }
  Point CursorPos() { return Source().CursorPos(); }
  int PixelsPerInch() { return Source().PixelsPerInch(); }
  // Replaces the source (nullptr: the real screen and mouse); answers the
  // one it replaced. The source is not owned.
  TScreenSource* SetSource(TScreenSource* Value);

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int Index) const { return forms_.at(static_cast<std::size_t>(Index)); }
  TForm* ActiveForm() const { return activeForm_; }
  int DataModuleCount() const { return static_cast<int>(dataModules_.size()); }
  TDataModule* DataModules(int Index) const { return dataModules_.at(static_cast<std::size_t>(Index)); }

  // Kept by the forms and data modules themselves.
  void AddForm(TForm* Form);
  void RemoveForm(TForm* Form);
  // Form's window became active (nullptr: none of ours is): Form moves to
  // the front of Forms and becomes ActiveForm.
  void FormActivated(TForm* Form);
  void FormDeactivated(TForm* Form);
  void AddDataModule(TDataModule* DataModule);
  void RemoveDataModule(TDataModule* DataModule);

 private:
  TScreenSource& Source();

  std::map<TCursor, QCursor> registered_;
  TCursor cursor_ = crDefault;
  bool pushed_ = false;  // our entry is on the override stack
  TScreenSource* source_ = nullptr;
  std::vector<TForm*> forms_;
  TForm* activeForm_ = nullptr;
  std::vector<TDataModule*> dataModules_;
};

// The process's screen object, made on first use.
TScreen& TheScreen();

struct TScreenRef {
  TScreen* operator->() const { return &TheScreen(); }
  TScreen& operator*() const { return TheScreen(); }
};
inline constexpr TScreenRef Screen{};
