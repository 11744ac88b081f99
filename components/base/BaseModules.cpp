#include "components/base/BaseModules.h"

#include "components/base/ClassItems.h"
#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "components/base/OptionExt.h"
#include "components/base/PackagedCollection.h"
#include "components/base/RegistrySettings.h"
#include "components/base/ZREdit.h"
#include "components/base/zrhook.h"

void AddComponentBaseModules(ModuleTable& Table) {
  // First in, last out: objects freed by the other modules' shut-downs may
  // still be watched.
  Table.Add("zrhook", {}, [] {
    RemoveActiveNotifierHook();
    FreeFreeNotifiers();
  });
  Table.Add("MessageBroadcast", {}, FreeMessageAnswerList);
  Table.Add("ObjectParams", {}, FreeObjectParamList);
  // A broadcast receiver: leaves before the receiver list goes.
  Table.Add("ClassItems", InstallClassRegistrationHooks, [] {
    RemoveClassRegistrationHooks();
    FreeClassItems();
  });
  Table.Add("EditClasses", {}, FreeEditClassRegistries);
  Table.Add("zredit", RegisterZREditClasses, FreeZREditGlyphs);
  Table.Add("RegistrySettings", {}, FreeSharedRegistry);
  // Saves the global options through the shared registry, so it shuts down
  // before that goes.
  Table.Add("OptionExt", {}, FreeOptionExtList);
}
