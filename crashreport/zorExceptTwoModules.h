#pragma once
// Two modules with settings for the settings-object tests: the test
// executable (the reporter's module, whose settings become the main ones) and
// the test library. Resources are injected per test and removed afterwards;
// every test must leave the store without references.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crashreport/zorExceptFixture.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptSettingsObject.h"
#include "crashreport/zorExceptTestModule.h"
#include "platform/core/ResourceStore.h"

namespace zortest {

inline constexpr char kLibraryName[] = "libzorexcept_testmodule.so";

// The offset of `variable` from the file base of the module holding it.
inline uint32_t OffsetInModule(const void* variable) {
  Dl_info info{};
  if (dladdr(variable, &info) == 0) return 0;
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(variable) - reinterpret_cast<uintptr_t>(info.dli_fbase));
}

class TwoModules : public ::testing::Test {
 protected:
  void TearDown() override {
    zor::SetMainSettings(nullptr);
    for (const std::string& name : injected_) ResourceStore::Instance().RemoveInjected(name, "RCDATA", "TZOREXCEPT");
    EXPECT_EQ(zor::SharedSettingsBufferReferences(), 0);
  }
  void Inject(const std::string& module, const std::vector<Property>& properties) {
    ResourceStore::Instance().RemoveInjected(module, "RCDATA", "TZOREXCEPT");
    ResourceStore::Instance().Inject(module, "RCDATA", "TZOREXCEPT", WriteSettingsResource(properties));
    injected_.push_back(module);
  }
  // The executable's settings ("NoSettings" false, "AutoSend" true and what
  // is given) become the main ones.
  void InjectMain(std::vector<Property> properties = {}) {
    properties.insert(properties.begin(), {{"NoSettings", false}, {"AutoSend", true}});
    zor::SetMainSettings(nullptr);  // so that the new resource is parsed
    Inject(zor::ExecutableFileName(), properties);
    zor::SetMainSettings(zor::SettingsForModule(zor::ExecutableModule()));
  }
  void InjectLibrary(const std::vector<Property>& properties) { Inject(kLibraryName, properties); }
  static zor::ZorModule Library() {
    return *zor::ModuleOfAddress(reinterpret_cast<const void*>(&zortest_module_function));
  }

  std::vector<std::string> injected_;
  MessageRecorder messages_;
};

}  // namespace zortest
