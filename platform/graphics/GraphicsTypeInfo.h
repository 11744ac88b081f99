#pragma once
// Type records of the drawing types that published properties use, so that
// their value names come from one registration (a pen-style list shows the
// names of TPenStyle in its order).

#include "platform/classes/TypInfo.h"

namespace TypeInfos {
const TTypeInfo* TPenStyle();    // psSolid .. psInsideFrame
const TTypeInfo* TPenMode();     // pmBlack .. pmNotXor
const TTypeInfo* TBrushStyle();  // bsSolid .. bsDiagCross
const TTypeInfo* TFontStyle();   // fsBold .. fsStrikeOut
const TTypeInfo* TFontStyles();  // set of TFontStyle, as TFontStyles::Bits()
const TTypeInfo* TFontPitch();   // fpDefault .. fpFixed
}  // namespace TypeInfos
