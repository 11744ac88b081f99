#pragma once
// The start-up table entries of the component family's base library.
//
// Its registries are made on first use; the modules added here free them at
// shut-down, newest first: the edit class registries, the palette class record (after taking the
// family's procedures out of the class registry's registration hooks, which
// its start-up filled), the parameter registry, then the receiver list of
// the message broadcast. Before all of them the global options objects are
// saved and freed, then the shared registry object.

#include "platform/core/Modules.h"

// Adds "MessageBroadcast", "ObjectParams", "ClassItems", "EditClasses",
// "RegistrySettings" and "OptionExt" to Table, in that order.
void AddComponentBaseModules(ModuleTable& Table);
