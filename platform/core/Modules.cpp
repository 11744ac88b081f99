#include "platform/core/Modules.h"

void ModuleTable::Add(std::string name, Step startUp, Step shutDown) {
  modules_.push_back({std::move(name), std::move(startUp), std::move(shutDown)});
}

void ModuleTable::StartUp() {
  if (startUpDone_) return;
  startUpDone_ = true;
  for (; started_ < modules_.size(); ++started_)
    if (modules_[started_].startUp) modules_[started_].startUp();
}

void ModuleTable::ShutDown() {
  while (started_ > 0) {
    Module& m = modules_[--started_];
    if (m.shutDown) m.shutDown();
  }
}

std::vector<std::string> ModuleTable::Names() const {
  std::vector<std::string> names;
  for (const auto& m : modules_) names.push_back(m.name);
  return names;
}
