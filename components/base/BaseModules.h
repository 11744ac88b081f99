#pragma once
// The start-up table entries of the component family's base library.
//
// Its registries are made on first use; the modules added here free them at
// shut-down, newest first. First the verb dispatchers' focus notifier goes,
// then the global options objects are saved and freed, then the shared
// registry object; then the edit class registries, the palette class record
// (after taking the family's procedures out of the class registry's
// registration hooks, which its start-up filled), the parameter registry,
// the receiver list of the message broadcast, and last the free and active
// notifiers (dropped without running one).

#include "platform/core/Modules.h"

// Adds "zrhook", "MessageBroadcast", "ObjectParams", "ClassItems",
// "EditClasses", "RegistrySettings", "OptionExt", "zrButtonPanel" (which
// loads the button panel's captions), "VerbDispatcher" and "zrDTree" to
// Table, in that order.
void AddComponentBaseModules(ModuleTable& Table);
