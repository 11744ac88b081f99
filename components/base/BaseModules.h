#pragma once
// The start-up table entries of the component family's base library.
//
// Its registries are made on first use. The "zrsystem" module's start-up
// registers the file-system classes, installs the family's class
// registration hooks and makes the process's GUID; its shut-down saves and
// frees the global options objects, then frees the shared registry object,
// the palette class record (after taking the family's procedures out of the
// registration hooks) and the edit class registries, the receiver list of
// the message broadcast, the shared file systems and the parameter registry.
// Last the free and active notifiers are dropped without running one. The
// modules after it shut down before it: the owner-drawn tree view's, then
// the verb dispatchers' focus notifier, the button panel's (nothing) and the
// edit glyphs.

#include "platform/core/Modules.h"

// Adds "zrhook", "zrsystem", "zredit", "zrButtonPanel" (which loads the
// button panel's captions), "VerbDispatcher", "zrDTree", "ZrTree" (which
// registers the source-bound view for stored forms) and "treemod" (the order
// editor's stored form) to Table, in that order.
void AddComponentBaseModules(ModuleTable& Table);
