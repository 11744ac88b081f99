#include "RegistryTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/classes/Registry.h"
#include "platform/classes/RegistryStore.h"
#include "platform/classes/StoreTesting.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct TRun {
  int code;
  std::string out, err;
};

TRun RunTool(const std::string& file, std::vector<std::string> args) {
  args.insert(args.begin(), {"--file", file});
  TRun run{0, {}, {}};
  run.code = RunRegistryTool(args, run.out, run.err);
  return run;
}

constexpr const char* kKey = "Software\\Kestova (Components)\\Yandrel Report\\Version 4.11";

TEST(RegistryToolTest, SetGetListDelete) {
  TTestFolder folder;
  const std::string file = folder.Path("registry");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
  } steps[] = {
      {{"set", kKey, "Title", "sz:plain \"text\""}, 0, "", ""},
      {{"set", kKey, "Count", "dword:42"}, 0, "", ""},
      {{"set", kKey, "Data", "binary:00ff10"}, 0, "", ""},
      {{"set", kKey, "Lines", "multi_sz:\"a\",\"b\""}, 0, "", ""},
      {{"set", kKey, "Path", "expand_sz:\"%HOME%\\n\""}, 0, "", ""},
      {{"get", kKey, "title"}, 0, "sz:\"plain \\\"text\\\"\"\n", ""},
      {{"get", kKey, "Count"}, 0, "dword:42\n", ""},
      {{"get", kKey, "Path"}, 0, "expand_sz:\"%HOME%\\n\"\n", ""},
      {{"list", "Software\\Kestova (Components)\\Yandrel Report"},
       0,
       "\n[Software\\Kestova (Components)\\Yandrel Report]\n"
       "\n[Software\\Kestova (Components)\\Yandrel Report\\Version 4.11]\n"
       "\"Title\"=sz:\"plain \\\"text\\\"\"\n\"Count\"=dword:42\n\"Data\"=binary:00ff10\n"
       "\"Lines\"=multi_sz:\"a\",\"b\"\n\"Path\"=expand_sz:\"%HOME%\\n\"\n",
       ""},
      {{"delete", kKey, "Data"}, 0, "", ""},
      {{"get", kKey, "Data"}, 1, "", "registrytool: no value \"Data\"\n"},
      {{"delete", kKey, "Data"}, 1, "", "registrytool: no value \"Data\"\n"},
      {{"set", kKey, "Bad", "dword:-1"}, 2, "", "registrytool: bad value: a dword must be a decimal number\n"},
      {{"set", "A\\\\B", "x", "dword:1"}, 2, "", "registrytool: invalid key path\n"},
      {{"delete", "Software"}, 0, "", ""},
      {{"list", "Software"}, 1, "", "registrytool: no key \"Software\"\n"},
      {{"list"}, 0, "", ""},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.args[0] + " " + (step.args.size() > 1 ? step.args[1] : ""));
    const TRun run = RunTool(file, step.args);
    EXPECT_EQ(run.code, step.code);
    EXPECT_EQ(run.out, step.out);
    EXPECT_THAT(run.err, StartsWith(step.err));
  }
}

TEST(RegistryToolTest, BadArgumentsPrintTheUsage) {
  TTestFolder folder;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"get", kKey}, {"set", kKey, "x"}, {"unknown"}, {"delete", ""}}) {
    const TRun run = RunTool(folder.Path("registry"), args);
    EXPECT_EQ(run.code, 2);
    EXPECT_THAT(run.err, HasSubstr("usage: registrytool"));
  }
}

TEST(RegistryToolTest, WarnsOfADamagedFileAndKeepsIt) {
  TTestFolder folder;
  SetFileText(folder.Path("registry"), "not a registry\n");
  const TRun run = RunTool(folder.Path("registry"), {"set", "A", "x", "dword:1"});
  EXPECT_EQ(run.code, 0);
  EXPECT_THAT(run.err, HasSubstr("line 1: not a registry file"));
  EXPECT_EQ(FileText(folder.Path("registry.damaged")), "not a registry\n");
}

// The tool as a process of its own and the program's registry object see
// each other's values through the file.
TEST(RegistryToolTest, AnotherProcessSeesTheValues) {
  TTestFolder folder;
  const QString file = QString::fromStdString(folder.Path("registry"));
  QProcess tool;
  tool.start(REGISTRYTOOL_PATH, {"--file", file, "set", kKey, "Options", "dword:7"});
  ASSERT_TRUE(tool.waitForFinished(30000));
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

  SetRegistryFileName(folder.Path("registry"));
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadInteger("Options"), 7);
  reg.WriteString("Reply", "from the program");
  SetRegistryFileName("");

  tool.start(REGISTRYTOOL_PATH, {"--file", file, "get", kKey, "Reply"});
  ASSERT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(tool.readAllStandardOutput().toStdString(), "sz:\"from the program\"\n");
}

// An option set through the tool is what a new process loads into the
// global instance of its options class.
TEST(RegistryToolTest, AnOptionSetThroughTheToolIsLoadedByANewProcess) {
  TTestFolder folder;
  const QString file = QString::fromStdString(folder.Path("registry"));
  const auto run = [&](const QStringList& args) {
    QProcess tool;
    tool.start(REGISTRYTOOL_PATH, QStringList{"--file", file} + args);
    EXPECT_TRUE(tool.waitForFinished(30000));
    return TRun{tool.exitCode(), tool.readAllStandardOutput().toStdString(), tool.readAllStandardError().toStdString()};
  };
  const QString key = QString(kKey) + "\\SampleOptions";
  ASSERT_EQ(run({"set", key, "Width", "dword:7"}).code, 0);
  ASSERT_EQ(run({"set", key, "Caption", "sz:from the tool"}).code, 0);
  ASSERT_EQ(run({"set", key + "\\Part", "Label", "sz:inner"}).code, 0);
  ASSERT_EQ(run({"set", key, "Lines", QString::fromUtf8("sz:alpha\r\nGr\xC3\xBCn\r\n")}).code, 0);

  const TRun shown = run({"options", "TSampleOptions"});
  EXPECT_EQ(shown.code, 0) << shown.err;
  EXPECT_THAT(shown.out, StartsWith("object PersHolder: TPersHolder\n"));
  EXPECT_THAT(shown.out, HasSubstr("P.Width = 7\n"));
  EXPECT_THAT(shown.out, HasSubstr("P.Caption = 'from the tool'\n"));
  EXPECT_THAT(shown.out, HasSubstr("P.Part.Label = 'inner'\n"));
  EXPECT_THAT(shown.out, HasSubstr("  P.Lines.Strings = (\n    'alpha'\n    'Gr'#252'n')\n"));
  // Loading saved nothing back.
  EXPECT_EQ(run({"get", key, "Ratio"}).code, 1);

  ASSERT_EQ(run({"set", key, "Width", "sz:seven"}).code, 0);
  const TRun broken = run({"options", "TSampleOptions"});
  EXPECT_EQ(broken.code, 4);
  EXPECT_THAT(broken.err, HasSubstr("'Width'"));
  const TRun unknown = run({"options", "TStringList"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_THAT(unknown.err, HasSubstr("\"TStringList\" is no options class"));
}

}  // namespace
