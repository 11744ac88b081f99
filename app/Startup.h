#pragma once
// The program's main block and its module table. Start-up steps run once, in
// a fixed order in which a module follows the modules it uses; shut-down
// steps run in reverse order when the main window has closed.

#include <functional>
#include <string>

#include "platform/core/Modules.h"

// Receives "start <module>" and "stop <module>" for the steps that trace
// themselves; tests use it to check the order.
using StartupTrace = std::function<void(const std::string&)>;

// Adds the program's modules to `table` in start-up order.
void AddProgramModules(ModuleTable& table, StartupTrace trace = {});

// The main block: creates the application object, runs the module start-up
// steps, creates the main window, runs the message loop until the window
// closes and runs the shut-down steps. Returns the process exit code.
int RunProgram(int argc, char** argv);
