#pragma once
// The fixture of the find, replace and bracket tests: a store, the global
// search options in a registry file of the test's own, and scripted dialogs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/OptionExt.h"
#include "components/base/RegistrySettings.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"
#include "components/codeedit/SearchOptions.h"
#include "platform/classes/StoreTesting.h"
#include "platform/ui/DialogService.h"

class MemoSearchTest : public TRegistryFileTest {
 protected:
  void SetUp() override {
    TRegistryFileTest::SetUp();
    SetUseModalDialogs(true);
  }
  void TearDown() override {
    SetUseModalDialogs(true);
    FreeOptionExtList();
    FreeSharedRegistry();
    TRegistryFileTest::TearDown();
  }

  // A new search for Text, as the dialogs leave the options.
  static void Setup(const std::string& Text, bool Regex, TSearchDirection Direction, TSearchOrigin Origin) {
    TSearchOptions& options = SearchOptions();
    options.TextToFind = Text;
    options.RegularExpr = Regex;
    options.Direction = Direction;
    options.Origin = Origin;
    options.WholeWordsOnly = false;
    options.CaseSensitive = false;
    options.Scope = ssGlobal;
  }

  // FindNext, then SearchAgain until Count searches ran: the caret after
  // each as "line:char", or "none" when one reported nothing found.
  std::string Trace(int Count) {
    std::string out;
    for (int i = 0; i < Count; ++i) {
      const size_t before = Messages().size();
      if (i == 0)
        source.FindNext();
      else
        source.SearchAgain();
      if (!out.empty()) out += ' ';
      out += Messages().size() > before ? "none"
                                        : std::to_string(source.CaretLine()) + ":" + std::to_string(source.CaretChar());
    }
    return out;
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& call : dialogs.Calls())
      if (call.kind == "message") out.push_back(call.text);
    return out;
  }

  ScriptedDialogService dialogs;
  ScopedDialogService scoped{dialogs};
  TMemoSource source{nullptr};
};
