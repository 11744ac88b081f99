#include "platform/controls/ControlStrings.h"

#include "platform/core/ResourceStore.h"

std::string LoadControlString(ControlString Id) {
  return ResourceStore::Instance().LoadString(kControlsStringModule, static_cast<int>(Id)).value_or(std::string());
}
