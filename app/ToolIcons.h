#pragma once
// The 18 x 18 glyphs of the tree page's tool bar, drawn once in code.

#include <QIcon>

enum class TToolGlyph { Save, Print, Copy, Root, Flip, Swap, Rectangle, Radiation, Width, Height };

QIcon ToolIcon(TToolGlyph glyph);
