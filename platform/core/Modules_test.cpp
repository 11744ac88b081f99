#include "platform/core/Modules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ModuleTable, StartsInOrderOnceAndStopsInReverse) {
  std::vector<std::string> log;
  ModuleTable table;
  for (std::string name : {"A", "B", "C"})
    table.Add(name, [&log, name] { log.push_back("start " + name); }, [&log, name] { log.push_back("stop " + name); });
  table.StartUp();
  table.StartUp();
  table.ShutDown();
  table.ShutDown();
  EXPECT_EQ(log, (std::vector<std::string>{"start A", "start B", "start C", "stop C", "stop B", "stop A"}));
}

TEST(ModuleTable, AFailingStepStopsOnlyTheModulesThatStarted) {
  std::vector<std::string> log;
  ModuleTable table;
  table.Add("A", [&] { log.push_back("start A"); }, [&] { log.push_back("stop A"); });
  table.Add("B", [] { throw std::runtime_error("B failed"); }, [&] { log.push_back("stop B"); });
  table.Add("C", [&] { log.push_back("start C"); });
  EXPECT_THROW(table.StartUp(), std::runtime_error);
  table.ShutDown();
  EXPECT_EQ(log, (std::vector<std::string>{"start A", "stop A"}));
}

}  // namespace
