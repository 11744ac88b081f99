#include "components/base/BaseModules.h"

#include "components/base/ClassItems.h"
#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "components/base/OptionExt.h"
#include "components/base/PackagedCollection.h"
#include "components/base/RegistrySettings.h"
#include "components/base/VerbDispatcher.h"
#include "components/base/ZRButtonPanel.h"
#include "components/base/zrDTree.h"
#include "components/base/ZrTree.h"
#include "components/base/treemod.h"
#include "components/base/ZREdit.h"
#include "components/base/zrhook.h"
#include "components/base/zrsystem.h"

void AddComponentBaseModules(ModuleTable& Table) {
  // First in, last out: objects freed by the other module's shut-down may
  // still be watched.
  Table.Add("zrhook", {}, [] {
    RemoveActiveNotifierHook();
    FreeFreeNotifiers();
  });
  // The family's shared objects, made on first use, are freed in this order:
  // the options are saved through the shared registry before it goes, and the
  // class registries (a broadcast receiver) leave before the receiver list.
  Table.Add(
      "zrsystem",
      [] {
        StartUpSystemUnit();
        InstallClassRegistrationHooks();
      },
      [] {
        FreeOptionExtList();
        FreeSharedRegistry();
        RemoveClassRegistrationHooks();
        FreeClassItems();
        FreeEditClassRegistries();
        FreeMessageAnswerList();
        ShutDownSystemUnit();
        FreeObjectParamList();
      });
  // The edits with buttons: their classes in the edit class registry, and
  // their glyphs.
  Table.Add("zredit", RegisterZREditClasses, FreeZREditGlyphs);
  // Button captions and the button class for streams; nothing to free.
  Table.Add("zrButtonPanel", StartButtonPanel);
  // The verb dispatchers' focus notifier goes before the active notifiers'
  // hook; the bind procedures go with the parameter registry.
  Table.Add("VerbDispatcher", {}, FreeVerbDispatcherGlobals);
  Table.Add("zrDTree", DrawTreeStartUp, DrawTreeShutDown);
  // The source-bound view and the string source, for stored forms.
  Table.Add("ZrTree", RegisterTreeViewClasses);
  // The order editor's stored form and the classes it names.
  Table.Add("treemod", StartOrderEditor);
}
