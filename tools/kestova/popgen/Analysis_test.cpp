#include "popgen/Analysis.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "popgen/Error.h"
#include "popgen/GenePopReader.h"

namespace popgen {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(CommandLineTest, AcceptsTheFrontEndOrderAndAnyOther) {
  struct Case {
    std::vector<std::string> args;
    int replicates;
    Analysis analysis;
    DistanceKind distance;
    bool upgma, matrix;
  } cases[] = {
      {{"d.gen", "-b500", "-d1", "-o", "/tmp/kestova.$$$", "-upg", "-distance"}, 500, Analysis::Distance,
       DistanceKind::DstCorrected, true, true},
      {{"d.gen", "-h", "-o", "/tmp/kestova.$$$", "-distance"}, 0, Analysis::GstCorrected, DistanceKind::Da, false,
       true},
      {{"-distance", "-hu", "-o/tmp/kestova.$$$", "d.gen"}, 0, Analysis::GstUncorrected, DistanceKind::Da, false,
       true},
      {{"-upg", "-d6", "-o", "/tmp/kestova.$$$", "-b1000000", "d.gen"}, 1000000, Analysis::Distance,
       DistanceKind::Dsw, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    const Options o = ParseCommandLine(c.args);
    EXPECT_EQ(o.dataFile, "d.gen");
    EXPECT_EQ(o.resultPath, "/tmp/kestova.$$$");
    EXPECT_EQ(o.replicates, c.replicates);
    EXPECT_EQ(o.analysis, c.analysis);
    if (c.analysis == Analysis::Distance) {
      EXPECT_EQ(o.distance, c.distance);
    }
    EXPECT_EQ(o.upgma, c.upgma);
    EXPECT_EQ(o.distanceMatrix, c.matrix);
  }
}

TEST(CommandLineTest, RejectsWhatItDoesNotUnderstand) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"-d0", "-o", "r"}, "no data file"},
      {{"d", "-o", "r"}, "no analysis"},
      {{"d", "-d0"}, "no result file"},
      {{"d", "-d0", "-o"}, "\"-o\" needs the path"},
      {{"d", "-d7", "-o", "r"}, "unknown option \"-d7\""},
      {{"d", "-d0", "-h", "-o", "r"}, "more than one analysis"},
      {{"d", "e", "-d0", "-o", "r"}, "more than one data file"},
      {{"d", "-b0", "-d0", "-o", "r"}, "must be a whole number from 1 to 1000000"},
      {{"d", "-b12x", "-d0", "-o", "r"}, "\"-b12x\""},
      {{"d", "-b1000001", "-d0", "-o", "r"}, "\"-b1000001\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THAT([&] { ParseCommandLine(c.args); }, ::testing::ThrowsMessage<UsageError>(HasSubstr(c.message)));
  }
}

class RunToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kestova_tool_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    result_ = (dir_ / "kestova.$$$").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::string result_;
};

TEST_F(RunToolTest, WritesTheResultAndNothingElse) {
  const std::string data = Write("d.gen", "t\nA,B\npop\nP , 0102 0101\npop\nQ , 0202 0102\npop\nR , 0101 0202\n");
  std::ostringstream err;
  EXPECT_EQ(RunTool({data, "-b100", "-d0", "-o", result_, "-upg", "-distance"}, err, 2), 0);
  EXPECT_EQ(err.str(), "");
  const std::string text = Read(result_);
  EXPECT_THAT(text, StartsWith("3 samples\n1 P\n2 Q\n3 R\nBranch 4 and "));
  EXPECT_THAT(text, HasSubstr("Bootstrap: 100 replicates"));
  EXPECT_THAT(text, HasSubstr("Distance matrix (Da):"));

  EXPECT_EQ(RunTool({data, "-hu", "-o", result_, "-distance"}, err, 2), 0);
  EXPECT_EQ(err.str(), "");
  EXPECT_THAT(Read(result_), StartsWith("H/Gst (uncorrected)"));
}

TEST_F(RunToolTest, AProblemIsOneMessageAndNoResultFile) {
  struct Case {
    const char* name;
    std::string data;
    std::vector<std::string> options;
    const char* message;
  } cases[] = {
      {"malformed line", "t\nA\npop\nP , 01x1\n", {"-d0"}, "\", line 4: \"01x1\" is not a genotype"},
      {"no shared allele", "t\nA\npop\nP , 0101\npop\nQ , 0202\n", {"-d2"},
       "Dst (uncorrected) cannot be computed between samples 1 (\"P\") and 2 (\"Q\")"},
      {"one sample", "t\nA\npop\nP , 0101\n", {"-d0"}, "A tree needs at least two samples"},
      {"nothing typed", "t\nA\npop\nP , 0000\n", {"-h"}, "holds no typed allele"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = Write("bad.gen", c.data);
    std::vector<std::string> args{data, "-o", result_};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::ostringstream err;
    EXPECT_EQ(RunTool(args, err, 1), 1);
    const std::string message = err.str();
    EXPECT_THAT(message, StartsWith("kestova: "));
    EXPECT_THAT(message, HasSubstr(c.message));
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(result_));
  }
}

TEST_F(RunToolTest, UnwritableResultPathIsNamed) {
  const std::string data = Write("d.gen", "t\nA\npop\nP , 0102\npop\nQ , 0202\n");
  std::ostringstream err;
  const std::string path = (dir_ / "missing" / "r.txt").string();
  EXPECT_EQ(RunTool({data, "-d0", "-o", path}, err, 1), 1);
  EXPECT_THAT(err.str(), HasSubstr("Cannot write the result file \"" + path + "\""));
}

TEST_F(RunToolTest, FolderGivenForAFileIsNamed) {
  const std::string data = Write("d.gen", "t\nA\npop\nP , 0102\npop\nQ , 0202\n");
  const std::string folder = dir_.string();
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{folder, "-d0", "-o", result_}, "kestova: \"" + folder + "\" is a folder.\n"},
      {{data, "-d0", "-o", folder}, "Cannot write the result file \"" + folder + "\": it is a folder."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::ostringstream err;
    EXPECT_EQ(RunTool(c.args, err, 1), 1);
    EXPECT_THAT(err.str(), HasSubstr(c.message));
    EXPECT_TRUE(fs::is_directory(folder));
  }
}

// The result goes to a file of its own and replaces the target only when it
// is complete, so a failed run leaves whatever the path held untouched.
TEST_F(RunToolTest, NeverDeletesOrTruncatesAFileItDidNotCreate) {
  const std::string sample = (fs::path(KESTOVA_SAMPLES_DIR) / "trout_microsat.gen").string();
  const std::string precious = "kept\n";
  auto filesInDir = [&] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };

  {
    SCOPED_TRACE("read-only target");
    std::ofstream(result_) << precious;
    fs::permissions(result_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::ostringstream err;
    EXPECT_EQ(RunTool({sample, "-d0", "-o", result_}, err, 1), 1);
    EXPECT_THAT(err.str(), HasSubstr("Cannot write the result file \"" + result_ + "\": Permission denied."));
    EXPECT_EQ(Read(result_), precious);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"kestova.$$$"});
    fs::permissions(result_, fs::perms::owner_write, fs::perm_options::add);
  }
  {
    // A write that fails halfway: the file size limit (512 bytes in the
    // shell's units) is below the result's size, and SIGXFSZ is ignored so
    // that write() reports EFBIG.
    SCOPED_TRACE("write fails halfway");
    std::ofstream(result_, std::ios::trunc) << precious;
    const std::string command = "trap '' XFSZ; ulimit -f 1; '" + std::string(KESTOVA_TOOL_PATH) + "' '" + sample +
                                "' -d0 -distance -o '" + result_ + "' 2> /dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(Read(result_), precious);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"kestova.$$$"});
  }
  {
    SCOPED_TRACE("success replaces the file and keeps its permissions");
    fs::permissions(result_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::ostringstream err;
    EXPECT_EQ(RunTool({sample, "-d0", "-o", result_}, err, 1), 0);
    EXPECT_THAT(Read(result_), StartsWith("6 samples\n"));
    EXPECT_EQ(fs::status(result_).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"kestova.$$$"});
  }
}

// Every analysis a user can choose runs on every shipped sample.
TEST(SampleDataTest, EveryAnalysisRunsOnEverySample) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(KESTOVA_SAMPLES_DIR)) {
    ++files;
    SCOPED_TRACE(entry.path().filename().string());
    const DataSet data = ReadGenePopFile(entry.path().string());
    EXPECT_GE(data.samples.size(), 4u);
    for (Analysis analysis : {Analysis::GstCorrected, Analysis::GstUncorrected}) {
      Options o;
      o.analysis = analysis;
      EXPECT_NO_THROW(RunAnalysis(o, data, 2));
    }
    for (int kind = 0; kind < kDistanceKinds; ++kind)
      for (bool upgma : {false, true}) {
        Options o;
        o.analysis = Analysis::Distance;
        o.distance = static_cast<DistanceKind>(kind);
        o.upgma = upgma;
        o.replicates = 100;
        SCOPED_TRACE(DistanceCaption(o.distance));
        EXPECT_NO_THROW(RunAnalysis(o, data, 2));
      }
  }
  EXPECT_GE(files, 2);
}

// The program itself: nothing on either stream, a result file, exit code 0.
TEST_F(RunToolTest, ProgramIsSilentOnSuccess) {
  const std::string sample = (fs::path(KESTOVA_SAMPLES_DIR) / "trout_microsat.gen").string();
  const std::string out = (dir_ / "out.txt").string(), err = (dir_ / "err.txt").string();
  const std::string command = std::string("'") + KESTOVA_TOOL_PATH + "' '" + sample + "' -b100 -d3 -o '" + result_ +
                              "' -distance > '" + out + "' 2> '" + err + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read(out), "");
  EXPECT_EQ(Read(err), "");
  EXPECT_THAT(Read(result_), HasSubstr("Distance: Fst (corrected)"));
}

}  // namespace
}  // namespace popgen
