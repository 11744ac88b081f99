#include "app/Startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"

namespace {

TEST(Startup, ShutDownRunsInReverseOrderOfStartUp) {
  std::vector<std::string> log;
  ModuleTable table;
  AddProgramModules(table, [&](const std::string& line) { log.push_back(line); });
  table.StartUp();
  table.ShutDown();
  // OLE starts after COM and stops before it.
  auto at = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
  EXPECT_LT(at("start GammaFuncs"), at("start COM"));
  EXPECT_LT(at("start COM"), at("start OLE"));
  EXPECT_LT(at("start OLE"), at("start KestovaForm"));
  EXPECT_LT(at("stop OLE"), at("stop COM"));
  EXPECT_EQ(log.back(), "stop GammaFuncs");
  EXPECT_EQ(log.size(), 8u);  // the four traced modules, each started and stopped once
}

TEST(Startup, ComponentBaseModulesRunBetweenTheGammaTablesAndCom) {
  ModuleTable table;
  AddProgramModules(table);
  const std::vector<std::string> expected = {
      "Controls", "GammaFuncs", "zrhook",    "zrsystem", "zredit",     "zrButtonPanel", "VerbDispatcher",
      "zrDTree",  "ZrTree",     "treemod",   "COM",      "zorExcept",  "OLE",           "KestovaForm"};
  EXPECT_EQ(table.Names(), expected);
  // Their start-up installs the class registration hooks; their shut-down takes them out again.
  ASSERT_EQ(RegisterComponentsProc(), nullptr);
  table.StartUp();
  EXPECT_NE(RegisterComponentsProc(), nullptr);
  table.ShutDown();
  EXPECT_EQ(RegisterComponentsProc(), nullptr);
}

}  // namespace
