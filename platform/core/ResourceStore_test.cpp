#include "platform/core/ResourceStore.h"

#include <gtest/gtest.h>

namespace {

// The test executable carries testdata/resources/resources.qrc.
class ResourceStoreTest : public ::testing::Test {
 protected:
  void TearDown() override {
    store.RemoveInjected("Injected", "RCDATA", "Blob");
    store.RemoveInjected("TestModule", "RCDATA", "Greeting");
    store.RemoveModule("TestModule");
    store.RemoveModule("Second");
    store.RemoveModule("Injected");
  }
  ResourceStore& store = ResourceStore::Instance();
};

TEST_F(ResourceStoreTest, FindsResourcesWhateverTheCase) {
  struct Row {
    const char* module;
    const char* type;
    const char* name;
    bool found;
  } rows[] = {
      {"TestModule", "RCDATA", "Greeting", true},  {"testmodule", "rcdata", "GREETING", true},
      {"SECOND", "RcData", "greeting", true},      {"TestModule", "RCDATA", "Missing", false},
      {"TestModule", "BITMAP", "Greeting", false}, {"Nowhere", "RCDATA", "Greeting", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.module) + "/" + r.type + "/" + r.name);
    const auto bytes = store.Find(r.module, r.type, r.name);
    ASSERT_EQ(bytes.has_value(), r.found);
    if (r.found) {
      EXPECT_EQ(*bytes, "Hello from a resource");
    }
  }
}

TEST_F(ResourceStoreTest, InjectedResourcesAreSeenAndHideTheBuiltInOnes) {
  store.Inject("Injected", "RCDATA", "Blob", std::string("\0\1\2", 3));
  store.Inject("TESTMODULE", "rcdata", "GREETING", "replaced");
  EXPECT_EQ(store.Find("injected", "RCDATA", "blob"), std::string("\0\1\2", 3));
  EXPECT_EQ(store.Find("TestModule", "RCDATA", "Greeting"), "replaced");
  store.RemoveInjected("testmodule", "RCDATA", "greeting");
  EXPECT_EQ(store.Find("TestModule", "RCDATA", "Greeting"), "Hello from a resource");
}

TEST_F(ResourceStoreTest, LooksThroughTheModulesInOrder) {
  std::string module;
  EXPECT_FALSE(store.Find("RCDATA", "Only", &module));
  store.AddModule("TestModule");
  store.AddModule("Second");
  store.AddModule("second");  // already listed
  EXPECT_EQ(store.Modules(), (std::vector<std::string>{"TestModule", "Second"}));
  EXPECT_TRUE(store.Find("RCDATA", "greeting", &module));
  EXPECT_EQ(module, "TestModule");
  EXPECT_TRUE(store.Find("RCDATA", "only", &module));
  EXPECT_EQ(module, "Second");
}

TEST_F(ResourceStoreTest, ResourceStringsAreNumbered) {
  EXPECT_EQ(store.LoadString("TestModule", 1), "First string");
  EXPECT_EQ(store.LoadString("testmodule", 2), "Second: with = sign");
  EXPECT_EQ(store.LoadString("TestModule", 7), "Seventh");
  EXPECT_FALSE(store.LoadString("TestModule", 3));
  EXPECT_FALSE(store.LoadString("Second", 1));
}

}  // namespace
