#include "components/base/CodeDesigner.h"

KESTOVA_CLASS_INFO(TCodeDesigner, TComponent, "zrhook", nullptr)

void TCodeDesigner::DoShowSource(std::int32_t X, std::int32_t Y) {
  if (OnShowSource) OnShowSource(this, X, Y);
}

std::string TCodeDesigner::GetDelimiters() { return kCodeDesignerDelimiters; }
