#include "components/codeedit/MemoTemplates.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "components/base/BaseModules.h"
#include "components/base/ObjectParams.h"
#include "components/base/PropAccess.h"
#include "components/codeedit/CodeEditModules.h"
#include "components/codeedit/MemoSource.h"
#include "platform/core/Streams.h"

namespace {

// The kinds are registered by the store module's start-up.
class MemoTemplatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddComponentBaseModules(modules_);
    AddCodeEditModules(modules_);
    modules_.StartUp();
  }
  void TearDown() override { modules_.ShutDown(); }

  TMemoSource source{nullptr};

 private:
  ModuleTable modules_;
};

std::string Listed(const TStrings& List) {
  std::string out;
  for (int i = 0; i < List.Count(); ++i)
    out += (i > 0 ? "\n" : "") + List[i] + " @" + std::to_string(reinterpret_cast<std::intptr_t>(List.Objects(i)));
  return out;
}

TEST_F(MemoTemplatesTest, KindsAreRegisteredInOrderWithTheirProcedures) {
  TList found;
  FindObjectParams(TMemoCodeTemplates::StaticClass(), {}, 0, {}, TClassMatch::Exact, &found);
  std::vector<std::string> names;
  for (int i = 0; i < found.Count(); ++i) {
    auto* entry = static_cast<TObjectParamListItem*>(found.Get(i));
    const std::string name = VarToStr(entry->GetParam("CodeTemplates.Lang"));
    names.push_back(name);
    const bool filled = name != "None" && name != "Custom";
    EXPECT_EQ(ParamProc<TFillTemplatesProc>(entry, "CodeTemplates.Proc") != nullptr, filled) << name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"None", "Custom", "Delphi", "C++ Builder", "Clipper"}));
}

TEST_F(MemoTemplatesTest, PrefixesChooseTheListedTemplates) {
  source.SetTemplatesType("Delphi");
  ASSERT_EQ(source.CodeTemplates()->Count(), 22);
  const struct {
    const char* prefix;
    int answer;
    const char* listed;  // nullptr: every template
  } rows[] = {
      {"if", -1,
       "if statement|~ifb~ @10\nif then (no begin/end) else (no begin/end)|~ife~ @11\nif then else|~ifeb~ @12\n"
       "if (no begin/end)|~ifs~ @13"},
      {"IFS", 0, "if (no begin/end)|~ifs~ @13"},
      {"ifs", 0, "if (no begin/end)|~ifs~ @13"},
      {"ife", 0, "if then (no begin/end) else (no begin/end)|~ife~ @11"},
      {"try", -1, "try finally (with Create/Free)|~trycf~ @15\ntry except|~trye~ @16\ntry finally|~tryf~ @17"},
      {"zz", -1, nullptr},
      {"", -1, nullptr},
  };
  TStringList all;
  for (int i = 0; i < 22; ++i) {
    const TMemoCodeTemplate* t = source.CodeTemplates()->Template(i);
    all.AddObject(t->Description + "|~" + t->Name + "~", reinterpret_cast<TObject*>(static_cast<std::intptr_t>(i)));
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(row.prefix);
    TStringList list;
    list.Add("stale");
    EXPECT_EQ(FillTemplateList(source.CodeTemplates(), &list, row.prefix), row.answer);
    EXPECT_EQ(Listed(list), row.listed ? std::string(row.listed) : Listed(all));
  }
}

TEST_F(MemoTemplatesTest, OnlyAKindWithAProcedureReplacesTheTemplates) {
  source.SetTemplatesType("Delphi");
  source.CodeTemplates()->Template(0)->Name = "mine";
  source.SetTemplatesType("Custom");
  EXPECT_EQ(source.TemplatesType(), "Custom");
  ASSERT_EQ(source.CodeTemplates()->Count(), 22);
  EXPECT_EQ(source.CodeTemplates()->Template(0)->Name, "mine");
  for (const char* unknown : {"Pascal", "delphi", ""}) {
    source.SetTemplatesType(unknown);
    EXPECT_EQ(source.TemplatesType(), "Custom") << unknown;
  }
  EXPECT_EQ(source.CodeTemplates()->Template(0)->Name, "mine");
  source.SetTemplatesType("Clipper");
  EXPECT_EQ(source.CodeTemplates()->Count(), 16);
  EXPECT_EQ(source.CodeTemplates()->Template(0)->Name, "access assign");
  // The kind's name is what the published property reads back.
  source.SetTemplatesType("None");
  EXPECT_EQ(source.CodeTemplates()->Count(), 16);
}

TEST_F(MemoTemplatesTest, CustomTemplatesTravelWithTheStoreInItsTextForm) {
  source.SetTemplatesType("Custom");
  source.CodeTemplates()->AddTemplate("loop", "a loop", "for |;;\r\n  ;");
  TStringStream text("");
  WriteObjectText(text, &source);
  TMemoSource copy(nullptr);
  text.SetPosition(0);
  ReadObjectText(text, &copy);
  EXPECT_EQ(copy.TemplatesType(), "Custom");
  ASSERT_EQ(copy.CodeTemplates()->Count(), 1) << text.DataString();
  const TMemoCodeTemplate& t = *copy.CodeTemplates()->Template(0);
  EXPECT_EQ(t.Name + "|" + t.Description, "loop|a loop");
  ASSERT_EQ(t.Code()->Count(), 2);
  EXPECT_EQ((*t.Code())[0] + "|" + (*t.Code())[1], "for |;;|  ;");
}

// The golden file holds each kind ("# kind"), then per template "= name",
// "- description" and its code lines ("> line"), transcribed as given.
struct TGolden {
  std::string kind, name, description;
  std::vector<std::string> code;
};

std::vector<TGolden> ReadGolden() {
  std::ifstream in(KESTOVA_TESTDATA_DIR "/templates/builtin.golden");
  std::vector<TGolden> out;
  std::string line, kind;
  while (std::getline(in, line)) {
    if (line.rfind("# ", 0) == 0) kind = line.substr(2);
    if (line.rfind("= ", 0) == 0) out.push_back({kind, line.substr(2), "", {}});
    if (line.rfind("- ", 0) == 0) out.back().description = line.substr(2);
    if (line.rfind("> ", 0) == 0) out.back().code.push_back(line.substr(2));
  }
  return out;
}

TEST_F(MemoTemplatesTest, BuiltInTemplatesEqualTheGoldenFile) {
  const std::vector<TGolden> golden = ReadGolden();
  ASSERT_EQ(golden.size(), 55u);
  size_t g = 0;
  const struct {
    const char* kind;
    std::span<const TTemplateRec> records;
  } kinds[] = {{"Delphi", DelphiTemplates()}, {"C++ Builder", CppBuilderTemplates()}, {"Clipper", ClipperTemplates()}};
  for (const auto& [kind, records] : kinds) {
    source.SetTemplatesType(kind);
    const TMemoCodeTemplates& templates = *source.CodeTemplates();
    ASSERT_EQ(templates.Count(), static_cast<int>(records.size()));
    for (int i = 0; i < templates.Count(); ++i, ++g) {
      ASSERT_LT(g, golden.size());
      const TGolden& want = golden[g];
      SCOPED_TRACE(want.kind + " " + want.name);
      EXPECT_EQ(want.kind, kind);
      const TMemoCodeTemplate& t = *templates.Template(i);
      EXPECT_EQ(t.Name, want.name);
      EXPECT_EQ(t.Description, want.description);
      // The record holds the code's lines joined by CR LF; a final empty
      // line is the code's final line break, which the template's lines
      // drop.
      std::string text;
      for (size_t k = 0; k < want.code.size(); ++k) text += (k > 0 ? "\r\n" : "") + want.code[k];
      EXPECT_EQ(records[static_cast<size_t>(i)].Code, text);
      TStringList lines;
      lines.SetText(text);
      EXPECT_EQ(t.Code()->Text(), lines.Text());
    }
  }
  EXPECT_EQ(g, golden.size());
  EXPECT_EQ(source.CodeTemplates()->Template(0)->Code()->Count(), 1);  // "access assign | " and its break
  EXPECT_EQ(std::string(ClipperTemplates()[15].Code).find('|'), std::string::npos);
}

}  // namespace
