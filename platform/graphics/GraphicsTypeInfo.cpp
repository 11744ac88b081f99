#include "platform/graphics/GraphicsTypeInfo.h"

#include "platform/classes/StdTypeInfo.h"

// Names in the order of the enumerations' values (GraphicsTypes.h).
KESTOVA_TYPE_INFO(TPenStyle,
                  MakeEnumType("TPenStyle",
                               {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                               "Graphics"))
KESTOVA_TYPE_INFO(TPenMode, MakeEnumType("TPenMode",
                                         {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                                          "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge",
                                          "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"},
                                         "Graphics"))
KESTOVA_TYPE_INFO(TBrushStyle, MakeEnumType("TBrushStyle",
                                            {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                             "bsBDiagonal", "bsCross", "bsDiagCross"},
                                            "Graphics"))
KESTOVA_TYPE_INFO(TFontStyle,
                  MakeEnumType("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, "Graphics"))
KESTOVA_TYPE_INFO(TFontStyles, MakeSetType("TFontStyles", TypeInfos::TFontStyle()))
KESTOVA_TYPE_INFO(TFontPitch, MakeEnumType("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}, "Graphics"))
