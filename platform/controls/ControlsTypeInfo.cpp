// The control core's key, mouse and drag event types, and the enumerations
// they name, as the component stream and a designer see them.
#include "platform/classes/StdTypeInfo.h"
#include "platform/controls/Controls.h"

namespace {

const TParamData kSender{{}, "Sender", "TObject"};
const TParamData kX{{}, "X", "Integer"};
const TParamData kY{{}, "Y", "Integer"};

}  // namespace

KESTOVA_TYPE_INFO(TMouseButton, MakeEnumType("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"}, "Controls"))
KESTOVA_TYPE_INFO(TShiftStateItem,
                  MakeEnumType("TShiftStateItem", {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"},
                               "Controls"))
KESTOVA_TYPE_INFO(TShiftState, MakeSetType("TShiftState", TypeInfos::TShiftStateItem()))
KESTOVA_TYPE_INFO(TDragState, MakeEnumType("TDragState", {"dsDragEnter", "dsDragLeave", "dsDragMove"}, "Controls"))

KESTOVA_TYPE_INFO(TKeyEvent, MakeMethodType("TKeyEvent", mkProcedure,
                                            {kSender, {{pfVar}, "Key", "Word"}, {{}, "Shift", "TShiftState"}}))
KESTOVA_TYPE_INFO(TKeyPressEvent, MakeMethodType("TKeyPressEvent", mkProcedure, {kSender, {{pfVar}, "Key", "Char"}}))
KESTOVA_TYPE_INFO(TMouseEvent, MakeMethodType("TMouseEvent", mkProcedure,
                                              {kSender,
                                               {{}, "Button", "TMouseButton"},
                                               {{}, "Shift", "TShiftState"},
                                               kX,
                                               kY}))
KESTOVA_TYPE_INFO(TMouseMoveEvent,
                  MakeMethodType("TMouseMoveEvent", mkProcedure, {kSender, {{}, "Shift", "TShiftState"}, kX, kY}))
KESTOVA_TYPE_INFO(TDragOverEvent, MakeMethodType("TDragOverEvent", mkProcedure,
                                                 {kSender,
                                                  {{}, "Source", "TObject"},
                                                  kX,
                                                  kY,
                                                  {{}, "State", "TDragState"},
                                                  {{pfVar}, "Accept", "Boolean"}}))
KESTOVA_TYPE_INFO(TDragDropEvent,
                  MakeMethodType("TDragDropEvent", mkProcedure, {kSender, {{}, "Source", "TObject"}, kX, kY}))
KESTOVA_TYPE_INFO(TStartDragEvent,
                  MakeMethodType("TStartDragEvent", mkProcedure, {kSender, {{pfVar}, "DragObject", "TDragObject"}}))
KESTOVA_TYPE_INFO(TEndDragEvent,
                  MakeMethodType("TEndDragEvent", mkProcedure, {kSender, {{}, "Target", "TObject"}, kX, kY}))
