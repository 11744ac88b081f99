#include "app/ToolRun.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/process/ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Records what the run does to the window, one line a call.
class RecordingView : public TToolRunView {
 public:
  void HideErrorPage() override { calls.push_back("hide error page"); }
  void ShowConsoleOutput(const TStringList& lines) override { calls.push_back("error page: " + Join(lines)); }
  void ShowLaunchFailed() override { calls.push_back("launch failed"); }
  void ShowTextResult(const TStringList& lines) override { calls.push_back("text: " + Join(lines)); }
  void ShowTreeOutput(const TStringList& lines) override { output = lines; calls.push_back("tree output"); }
  void ShowTree(std::unique_ptr<TTreeList> list) override {
    calls.push_back("tree of " + std::to_string(list->NoOfOTUs()));
    tree = std::move(list);
  }

  static std::string Join(const TStringList& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "|") + line;
    return text;
  }

  std::vector<std::string> calls;
  TStringList output;
  std::unique_ptr<TTreeList> tree;
};

class TempDir {
 public:
  TempDir() : path_(fs::temp_directory_path() / ("kestova_toolrun_" + std::to_string(getpid()) + "_" +
                                                 std::to_string(counter_++))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(ToolCommandTest, BuildsTheCommandLineInItsFixedOrder) {
  struct Case {
    const char* name;
    TToolRunSettings settings;
    const char* options;  // between the quoted data file and -o
    const char* tail;     // after the quoted result path
  } cases[] = {
      {"distance, NJ, no bootstrap", {"/d/x y.gen", true, false, 1000, false, true, 0, 3, 0, true}, " -d3", " -distance"},
      {"Dst (corrected), UPGMA, 500 replicates", {"/d/x y.gen", true, true, 500, false, true, 0, 1, 1, true},
       " -b500 -d1", " -upg -distance"},
      {"H/Gst with the bootstrap box checked but disabled", {"/d/x y.gen", false, true, 1000, true, false, 0, 0, 1,
       false}, " -h", " -distance"},
      {"H/Gst (uncorrected)", {"/d/x y.gen", false, false, 1000, true, false, 1, 6, 0, false}, " -hu", " -distance"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TToolCommand command = BuildToolCommand(c.settings, "/run/kestova.$$$");
    EXPECT_EQ(command.text, std::string("kestova/kestova \"/d/x y.gen\"") + c.options + " -o \"/run/kestova.$$$\"" +
                                c.tail);
    // The same options as arguments, each one whole.
    std::vector<std::string> expected{"kestova/kestova", "/d/x y.gen"};
    std::istringstream options(c.options);
    for (std::string option; options >> option;) expected.push_back(option);
    expected.insert(expected.end(), {"-o", "/run/kestova.$$$"});
    std::istringstream tail(c.tail);
    for (std::string option; tail >> option;) expected.push_back(option);
    EXPECT_EQ(command.args, expected);
  }
  EXPECT_EQ(ResultPath("/"), "/kestova.$$$");
  EXPECT_EQ(ResultPath("/run"), "/run/kestova.$$$");
}

constexpr const char* kTreeResult =
    "2 samples\n1 p\n2 q\nBranch 3 and 1 0.5\nBranch 3 and 2 0\nfree text\n";

TEST(ToolRunTest, RoutesErrorStreamThenOutputStreamThenResultFile) {
  struct Case {
    const char* name;
    bool gst;
    std::string err, out;
    const char* result;  // what the tool writes to its result file; nullptr: nothing
    std::vector<std::string> calls;
  } cases[] = {
      {"error stream first", false, "kestova: bad line\n", "note\n", kTreeResult,
       {"hide error page", "error page: kestova: bad line"}},
      {"a warning on the output stream hides a result", false, "", "warning 1\nwarning 2", kTreeResult,
       {"hide error page", "error page: warning 1|warning 2"}},
      {"H/Gst result as text", true, "", "", "H/Gst\nLocus 1\n", {"hide error page", "text: H/Gst|Locus 1"}},
      {"tree result", false, "", "", kTreeResult, {"hide error page", "tree output", "tree of 2"}},
      {"malformed tree result is dropped", false, "", "", "2\n", {"hide error page"}},
      {"a stale result is not shown as new", false, "", "", nullptr, {"hide error page"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path result = dir.Path() / kResultFileName;
    WriteFile(result, kTreeResult);  // left over from an earlier run
    TToolRunSettings settings;
    settings.gstChecked = c.gst;
    settings.distanceChecked = !c.gst;
    std::vector<std::string> args;
    auto runner = [&](const std::vector<std::string>& a, TStream&, TStream& out, TStream& err) {
      args = a;
      EXPECT_FALSE(fs::exists(result));
      out.WriteBuffer(c.out.data(), static_cast<int64_t>(c.out.size()));
      err.WriteBuffer(c.err.data(), static_cast<int64_t>(c.err.size()));
      if (c.result) WriteFile(result, c.result);
      return 0;
    };
    RecordingView view;
    RunTool(settings, view, dir.Path().string(), runner);
    EXPECT_EQ(view.calls, c.calls);
    EXPECT_THAT(args, ::testing::Contains(result.string()));
    EXPECT_FALSE(fs::exists(result));
  }
}

TEST(ToolRunTest, LaunchFailureAndMissingTextResult) {
  TempDir dir;
  const fs::path result = dir.Path() / kResultFileName;
  TToolRunSettings settings;
  RecordingView view;
  RunTool(settings, view, dir.Path().string(),
          [](const std::vector<std::string>&, TStream&, TStream&, TStream&) -> int {
            throw ELaunchFailed("CreateProcess() failed: 2");
          });
  EXPECT_THAT(view.calls, ElementsAre("hide error page", "launch failed"));

  // A H/Gst run without result file: the file error reaches the caller, and a
  // stale result is gone all the same.
  WriteFile(result, "stale");
  settings.gstChecked = true;
  settings.distanceChecked = false;
  EXPECT_THROW(RunTool(settings, view, dir.Path().string(),
                       [](const std::vector<std::string>&, TStream&, TStream&, TStream&) { return 0; }),
               EInOutError);
  EXPECT_FALSE(fs::exists(result));
}

// The program's real road: kestova/kestova under the current directory.
class ToolRunEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    fs::create_directories(dir_.Path() / "kestova");
    fs::create_symlink(KESTOVA_TOOL_PATH, dir_.Path() / "kestova" / "kestova");
    fs::current_path(dir_.Path());
  }
  void TearDown() override { fs::current_path(previous_); }

  TempDir dir_;
  fs::path previous_;
};

TEST_F(ToolRunEndToEndTest, DistanceRunShowsTheTree) {
  TToolRunSettings settings;
  settings.dataFile = KESTOVA_SAMPLES_DIR "/trout_microsat.gen";
  settings.bootstrapEnabled = settings.bootstrapChecked = true;
  settings.replicates = 100;
  settings.distanceIndex = 1;
  settings.treeIndex = 1;
  RecordingView view;
  RunTool(settings, view);
  EXPECT_THAT(view.calls, ElementsAre("hide error page", "tree output", "tree of 6"));
  EXPECT_TRUE(view.tree->isRooted);
  EXPECT_EQ(view.tree->MaxStats, 100);
  EXPECT_EQ(view.tree->OTUName(0), "Avon");
  EXPECT_THAT(view.output[0], StartsWith("Data file: " KESTOVA_SAMPLES_DIR));
  EXPECT_THAT(RecordingView::Join(view.output), HasSubstr("Distance: Dst (corrected)"));
  EXPECT_THAT(view.output[view.output.Count() - 1], StartsWith("("));
  EXPECT_FALSE(fs::exists(kResultFileName));
}

TEST_F(ToolRunEndToEndTest, GstRunAndToolErrors) {
  TToolRunSettings settings;
  settings.dataFile = KESTOVA_SAMPLES_DIR "/char_allozyme_missing.gen";
  settings.gstChecked = true;
  settings.distanceChecked = false;
  settings.gstIndex = 1;
  RecordingView view;
  RunTool(settings, view);
  ASSERT_EQ(view.calls.size(), 2u);
  EXPECT_THAT(view.calls[1], StartsWith("text: H/Gst (uncorrected)"));

  WriteFile("bad.gen", "t\nL\npop\na , 01z1\n");
  settings.dataFile = "bad.gen";
  view.calls.clear();
  RunTool(settings, view);
  EXPECT_THAT(view.calls, ElementsAre("hide error page",
                                      "error page: kestova: \"bad.gen\", line 4: \"01z1\" is not a genotype "
                                      "(2, 3, 4 or 6 digits expected)."));
  EXPECT_FALSE(fs::exists(kResultFileName));

  fs::remove(fs::path("kestova") / "kestova");
  view.calls.clear();
  RunTool(settings, view);
  EXPECT_THAT(view.calls, ElementsAre("hide error page", "launch failed"));
}

}  // namespace
