#include "app/ToolRun.h"

#include <filesystem>
#include <system_error>

#include "platform/process/ChildProcess.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Deletes the result file now and again when the run ends, however it ends.
class ResultFileGuard {
 public:
  explicit ResultFileGuard(std::string path) : path_(std::move(path)) { Remove(); }
  ~ResultFileGuard() { Remove(); }
  ResultFileGuard(const ResultFileGuard&) = delete;
  ResultFileGuard& operator=(const ResultFileGuard&) = delete;

 private:
  void Remove() const {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  std::string path_;
};

TStringList LinesOf(const TMemoryStream& stream) {
  TStringList lines;
  const auto& bytes = stream.Bytes();
  lines.SetText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return lines;
}

}  // namespace

std::string ResultPath(const std::string& directory) {
  if (!directory.empty() && directory.back() == '/') return directory + kResultFileName;
  return directory + "/" + kResultFileName;
}

TToolCommand BuildToolCommand(const TToolRunSettings& s, const std::string& resultPath) {
  TToolCommand command;
  command.text = std::string(kToolProgram) + " " + Quoted(s.dataFile);
  command.args = {kToolProgram, s.dataFile};
  auto add = [&command](const std::string& option) {
    command.text += " " + option;
    command.args.push_back(option);
  };
  if (s.bootstrapEnabled && s.bootstrapChecked) add("-b" + std::to_string(s.replicates));
  if (s.gstChecked) {
    if (s.gstIndex == 0) add("-h");
    if (s.gstIndex == 1) add("-hu");
  } else if (s.distanceChecked && s.distanceIndex >= 0 && s.distanceIndex <= 6) {
    add("-d" + std::to_string(s.distanceIndex));
  }
  command.text += " -o " + Quoted(resultPath);
  command.args.push_back("-o");
  command.args.push_back(resultPath);
  if (s.treeEnabled && s.treeIndex == 1) add("-upg");
  add("-distance");
  return command;
}

void LoadTextResult(const std::string& fileName, TToolRunView& view) {
  TStringList lines;
  lines.LoadFromFile(fileName);
  view.ShowTextResult(lines);
}

void LoadTreeResult(const std::string& fileName, const TTreeResultOptions& options, TToolRunView& view) {
  try {
    std::optional<TTreeResult> result = ReadTreeResult(fileName, options);
    if (!result) return;
    view.ShowTreeOutput(result->output);
    view.ShowTree(std::move(result->list));
  } catch (const std::exception&) {
    // A result the view cannot take is dropped like a malformed one.
  }
}

void RunTool(const TToolRunSettings& settings, TToolRunView& view, const std::string& directory,
             const TChildRunner& runner) {
  view.HideErrorPage();
  const std::string resultPath = ResultPath(directory);
  const TToolCommand command = BuildToolCommand(settings, resultPath);
  ResultFileGuard guard(resultPath);
  TMemoryStream input, output, error;
  try {
    runner(command.args, input, output, error);  // the exit code says nothing the streams do not
  } catch (const ELaunchFailed&) {
    view.ShowLaunchFailed();
    return;
  }
  if (!error.Bytes().empty()) {
    view.ShowConsoleOutput(LinesOf(error));
  } else if (!output.Bytes().empty()) {
    view.ShowConsoleOutput(LinesOf(output));
  } else if (settings.gstChecked) {
    LoadTextResult(resultPath, view);
  } else if (settings.distanceChecked) {
    TTreeResultOptions options;
    options.bootstrap = settings.bootstrapChecked;
    options.replicates = settings.replicates;
    options.upgma = settings.treeIndex == 1;
    LoadTreeResult(resultPath, options, view);
  }
}

void RunTool(const TToolRunSettings& settings, TToolRunView& view) {
  RunTool(settings, view, std::filesystem::current_path().string(), RunChildProcess);
}
