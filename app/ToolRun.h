#pragma once
// One run of the population-genetics tool: the command line, the child
// process, and the routing of what comes back, apart from the main window.
//
// The tool is "kestova/kestova" under the current directory; it writes its
// result to "kestova.$$$" in the current directory. Routing, first match wins:
// text on the tool's error stream, else on its output stream, goes to the
// "Error" page; else a H/Gst run shows the result file as text and a distance
// run reads it as a tree. The result file is deleted before the tool starts
// and after every run, also when loading it fails, so that a result left over
// from an earlier run is never shown as new.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TreeResult.h"
#include "platform/core/Streams.h"
#include "platform/core/StringList.h"
#include "tree/model/NTreeList.h"

inline constexpr const char* kToolProgram = "kestova/kestova";
inline constexpr const char* kResultFileName = "kestova.$$$";
inline constexpr const char* kLaunchFailedMessage = "Kestova launch failed!";
inline constexpr const char* kLaunchFailedCaption = "Error";

// The analysis controls of the console page at the moment of the run.
struct TToolRunSettings {
  std::string dataFile;
  bool bootstrapEnabled = false;  // BootCkBx
  bool bootstrapChecked = false;
  int replicates = 1000;          // BootnumSEdt.AsInteger
  bool gstChecked = false;        // GstHRBn
  bool distanceChecked = true;    // DistanceRBn
  int gstIndex = 0;               // HGstCBx: 0 corrected, 1 uncorrected
  int distanceIndex = 0;          // DistanceCbx: 0..6 give -d0..-d6
  int treeIndex = 0;              // TreeCBx: 0 NJ, 1 UPGMA
  bool treeEnabled = true;
};

// The tool's command line twice over: as the text the user may see, with the
// data file and the result path in double quotes, and as the argument vector
// the child is started with. Both come from the same options, in this order:
// the data file; -b<n> when the bootstrap box is enabled and checked; -h or
// -hu (H/Gst) or -d0..-d6 (distance); -o and the result path; -upg when the
// tree box is enabled and shows UPGMA; -distance always.
struct TToolCommand {
  std::string text;
  std::vector<std::string> args;
};

// `directory` joined with kResultFileName.
std::string ResultPath(const std::string& directory);
TToolCommand BuildToolCommand(const TToolRunSettings& settings, const std::string& resultPath);

// What a run does to the main window.
class TToolRunView {
 public:
  virtual ~TToolRunView() = default;
  virtual void HideErrorPage() = 0;
  // The "Error" page: its memo takes these lines; the page is shown and made
  // the active one.
  virtual void ShowConsoleOutput(const TStringList& lines) = 0;
  // The modal box kLaunchFailedMessage, caption kLaunchFailedCaption, error icon.
  virtual void ShowLaunchFailed() = 0;
  // A text result: the "Output" memo takes these lines; "Output" is shown and
  // made active, "Phylogeny" is hidden.
  virtual void ShowTextResult(const TStringList& lines) = 0;
  // A tree result's text: the "Output" memo takes these lines with its caret
  // at the start; "Output" is shown but not made active.
  virtual void ShowTreeOutput(const TStringList& lines) = 0;
  // Hands the list to the tree view (SetTreeList(list, True)); when the view
  // accepts it, refreshes it and shows "Phylogeny" as the active page.
  virtual void ShowTree(std::unique_ptr<TTreeList> list) = 0;
};

// Starts a child with an argument vector; see platform/process/ChildProcess.h.
using TChildRunner = std::function<int(const std::vector<std::string>&, TStream&, TStream&, TStream&)>;

// Loads a text result into the view. Raises EInOutError when the file cannot
// be read.
void LoadTextResult(const std::string& fileName, TToolRunView& view);
// Loads a distance result into the view; a missing or malformed result is
// dropped without a word, and nothing escapes.
void LoadTreeResult(const std::string& fileName, const TTreeResultOptions& options, TToolRunView& view);

// The whole run in `directory` (the current directory; the runner resolves
// kToolProgram against the process's current directory). A launch failure
// ends in ShowLaunchFailed; any other error (a H/Gst run without result file)
// reaches the caller after the result file has been deleted.
void RunTool(const TToolRunSettings& settings, TToolRunView& view, const std::string& directory,
             const TChildRunner& runner);
// The same with the real runner in the current directory.
void RunTool(const TToolRunSettings& settings, TToolRunView& view);
