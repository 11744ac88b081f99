#pragma once
// The start-up table entries of the component family's base library.
//
// Its registries are made on first use; the modules added here only free
// them at shut-down: the parameter registry first (it was added last), then
// the receiver list of the message broadcast.

#include "platform/core/Modules.h"

// Adds "MessageBroadcast" and "ObjectParams" to Table, in that order.
void AddComponentBaseModules(ModuleTable& Table);
