#include "components/base/CodeDesigner.h"

#include <gtest/gtest.h>

namespace {

// Only the base behaviours are under test; the rest answer nothing.
class TBareDesigner : public TCodeDesigner {
 public:
  using TCodeDesigner::TCodeDesigner;
  void SetStrings(TStrings *) override {}
  TStrings *GetStrings() override { return nullptr; }
  void CreateMethod(const std::string &, const TTypeData *) override {}
  void ShowMethod(const std::string &) override {}
  void RenameMethod(const std::string &, const std::string &) override {}
  void DeleteMethod(const std::string &) override {}
  void DeleteEmptyMethods() override {}
  void GetMethods(const TTypeData *, TStrings *) override {}
  bool MethodExists(const std::string &) override { return false; }
  void InsertComponent(TComponent *, const std::string &) override {}
  void DeleteComponent(TComponent *) override {}
  void RenameComponent(TComponent *, const std::string &) override {}
  bool IsValidMethodName(const std::string &) override { return true; }
  std::int32_t GetMethodState(const std::string &) override { return 1; }
  void GetUsedUnits(TStrings *, bool) override {}
  void AddUsedUnits(TStrings *, bool) override {}
  void InitSource(const std::string &, bool) override {}
  std::string GetTypeName(std::uint16_t) override { return {}; }
};

TEST(TCodeDesigner, BaseBehaviours) {
  TBareDesigner designer(nullptr);
  EXPECT_EQ(designer.GetParserClass(), nullptr);
  EXPECT_FALSE(designer.IsForUnit());
  EXPECT_EQ(designer.GetDelimiters(), "/{}+-*():=,;><$.#[]^@&~|%'");
  designer.RenameUnit("A", "B");

  designer.DoShowSource(3, 4);  // no handler: nothing happens

  TObject *sender = nullptr;
  std::int32_t x = 0, y = 0;
  designer.OnShowSource = [&](TObject *Sender, std::int32_t X, std::int32_t Y) {
    sender = Sender;
    x = X;
    y = Y;
  };
  designer.DoShowSource(3, 4);
  EXPECT_EQ(sender, &designer);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
}

}  // namespace
