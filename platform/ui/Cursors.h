#pragma once
// The screen's cursor table and the screen cursor.
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
// Process-wide, GUI thread only.

#include <QCursor>

#include "platform/graphics/GraphicsNames.h"

// The cursor numbers and their names (crDefault, crHourGlass, ...) are the
// graphics layer's.
using TCursor = TCursorValue;

// The cursor shown for Id (the table's Cursors[Id]).
QCursor ScreenCursors(TCursor Id);
// Registers Cursor under Id, replacing what Id showed before.
void SetScreenCursors(TCursor Id, const QCursor& Cursor);
// Drops the registration of Id: a stock number shows its stock cursor again,
// any other the default arrow.
void RemoveScreenCursor(TCursor Id);

TCursor ScreenCursor();
void SetScreenCursor(TCursor Id);
