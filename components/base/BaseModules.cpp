#include "components/base/BaseModules.h"

#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"

void AddComponentBaseModules(ModuleTable& Table) {
  Table.Add("MessageBroadcast", {}, FreeMessageAnswerList);
  Table.Add("ObjectParams", {}, FreeObjectParamList);
}
