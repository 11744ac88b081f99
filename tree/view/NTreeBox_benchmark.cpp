// Timed command: sets a random tree of the largest size the view allows
// (16,384 taxa) into a tree box and lays it out in every style, printing the
// time of each step and the peak memory. No window is shown.
//
//   kestova_treeview_benchmark [TAXA] [fixed]
//     TAXA defaults to 16384; "fixed" measures names with the deterministic
//     measurer instead of the installed fonts.

#include <sys/resource.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "testing/BenchmarkSupport.h"
#include "tree/model/RandomTree.h"
#include "tree/view/NTreeBox.h"

namespace {

using Clock = BenchClock;

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : kMaxNoOfOTUs;
  const bool fixed = argc > 2 && std::strcmp(argv[2], "fixed") == 0;
  std::mt19937 random(20240601);
  auto list = RandomTreeList(n, random, "Population_", 0.001, 0.2);
  std::printf("tree of %d taxa, names measured with %s; peak before set-up %.1f MiB\n", n,
              fixed ? "the fixed measurer" : "the installed fonts", PeakMiB());

  TTreeBox box;
  if (fixed) box.SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
  auto start = Clock::now();
  if (!box.SetTreeList(std::move(list), true)) {
    std::printf("set-up failed\n");
    return 1;
  }
  const double setUp = Millis(start);
  start = Clock::now();
  box.RefreshTree();
  const double firstLayout = Millis(start);
  std::printf("%-34s %9.1f ms\n", "set-up (rooting, first layout)", setUp);
  std::printf("%-34s %9.1f ms  set-up + layout %.1f ms\n", "refresh traditional rectangular", firstLayout,
              setUp + firstLayout);

  struct Step {
    const char* name;
    TTreeStyle style;
    TBranchStyle branches;
  } steps[] = {
      {"refresh traditional curved", TTreeStyle::tsTraditional, TBranchStyle::bsCurved},
      {"refresh traditional straight", TTreeStyle::tsTraditional, TBranchStyle::bsStraight},
      {"refresh radiation", TTreeStyle::tsRadiation, TBranchStyle::bsRectangular},
      {"refresh circle", TTreeStyle::tsCircle, TBranchStyle::bsRectangular},
  };
  for (const Step& s : steps) {
    box.SetTreeStyle(s.style);
    box.SetBranchStyle(s.branches);
    start = Clock::now();
    box.RefreshTree();
    std::printf("%-34s %9.1f ms  (%d x %d pixels)\n", s.name, Millis(start), box.PictureWidth(),
                box.PictureHeight());
  }
  box.SetTreeStyle(TTreeStyle::tsTraditional);
  box.SetShowTopologyOnly(true);
  start = Clock::now();
  box.RefreshTree();
  std::printf("%-34s %9.1f ms\n", "refresh cladogram", Millis(start));
  box.FocusOnBranch(1);
  start = Clock::now();
  box.RootOnFocusedBranch();
  box.RefreshTree();
  std::printf("%-34s %9.1f ms\n", "re-root and refresh", Millis(start));
  std::printf("peak memory %.1f MiB\n", PeakMiB());
  return 0;
}
