// The tree view's event types as the component stream and a designer see
// them.
#include "platform/classes/StdTypeInfo.h"
#include "platform/controls/TreeView.h"

namespace {

const TParamData kSender{{}, "Sender", "TObject"};
const TParamData kNode{{}, "Node", "TTreeNode"};

TTypeInfo NodeEvent(std::string Name) { return MakeMethodType(std::move(Name), mkProcedure, {kSender, kNode}); }
TTypeInfo NodeFlagEvent(std::string Name, std::string Flag) {
  return MakeMethodType(std::move(Name), mkProcedure, {kSender, kNode, {{pfVar}, std::move(Flag), "Boolean"}});
}

}  // namespace

KESTOVA_TYPE_INFO(TTVChangingEvent, NodeFlagEvent("TTVChangingEvent", "AllowChange"))
KESTOVA_TYPE_INFO(TTVChangedEvent, NodeEvent("TTVChangedEvent"))
KESTOVA_TYPE_INFO(TTVEditingEvent, NodeFlagEvent("TTVEditingEvent", "AllowEdit"))
KESTOVA_TYPE_INFO(TTVEditedEvent, MakeMethodType("TTVEditedEvent", mkProcedure,
                                                 {kSender, kNode, {{pfVar}, "S", "string"}}))
KESTOVA_TYPE_INFO(TTVExpandingEvent, NodeFlagEvent("TTVExpandingEvent", "AllowExpansion"))
KESTOVA_TYPE_INFO(TTVCollapsingEvent, NodeFlagEvent("TTVCollapsingEvent", "AllowCollapse"))
KESTOVA_TYPE_INFO(TTVExpandedEvent, NodeEvent("TTVExpandedEvent"))
KESTOVA_TYPE_INFO(TTVCustomDrawEvent,
                  MakeMethodType("TTVCustomDrawEvent", mkProcedure,
                                 {{{}, "Sender", "TCustomTreeView"},
                                  {{pfConst}, "ARect", "TRect"},
                                  {{pfVar}, "DefaultDraw", "Boolean"}}))
KESTOVA_TYPE_INFO(TTVCustomDrawItemEvent,
                  MakeMethodType("TTVCustomDrawItemEvent", mkProcedure,
                                 {{{}, "Sender", "TCustomTreeView"},
                                  kNode,
                                  {{}, "State", "TCustomDrawState"},
                                  {{pfVar}, "DefaultDraw", "Boolean"}}))
