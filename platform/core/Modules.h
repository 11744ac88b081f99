#pragma once
// The process's module table: every module that has process-wide start-up
// work registers a named step here, explicitly and in order, so that nothing
// depends on the order of static initialisation. StartUp runs the start-up
// steps once in the order they were added; ShutDown runs the shut-down steps
// of the modules that started, in reverse order.

#include <functional>
#include <string>
#include <vector>

class ModuleTable {
 public:
  using Step = std::function<void()>;

  // Adds a module at the end of the order. Either step may be empty.
  void Add(std::string name, Step startUp, Step shutDown = {});

  // Runs each start-up step once; a second call does nothing. When a step
  // throws, the modules started so far stay started (ShutDown stops them) and
  // the exception reaches the caller.
  void StartUp();
  // Runs the shut-down steps of the started modules, newest first; a second
  // call does nothing.
  void ShutDown();

  std::vector<std::string> Names() const;
  bool Started() const { return started_ > 0; }

 private:
  struct Module {
    std::string name;
    Step startUp;
    Step shutDown;
  };
  std::vector<Module> modules_;
  size_t started_ = 0;
  bool startUpDone_ = false;
};
