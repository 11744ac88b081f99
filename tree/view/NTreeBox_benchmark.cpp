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

#include "tree/view/NTreeBox.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// A random unrooted tree: clusters joined two at a time, lengths and
// support counts out of 1000.
std::unique_ptr<TTreeList> RandomList(int n, std::mt19937& random) {
  auto list = std::make_unique<TTreeList>();
  auto tree = std::make_unique<TTreeData>(n, true, false, true);
  std::vector<int> active(n);
  for (int i = 0; i < n; ++i) {
    active[i] = i;
    list->SetOTUName(i, "Population_" + std::to_string(i + 1));
  }
  for (int r = 0; r < n - 1; ++r) {
    const int a = std::uniform_int_distribution<int>(0, static_cast<int>(active.size()) - 1)(random);
    const int first = active[a];
    active.erase(active.begin() + a);
    const int b = std::uniform_int_distribution<int>(0, static_cast<int>(active.size()) - 1)(random);
    const int second = active[b];
    active[b] = n + r;
    tree->NodeArray()[r] = {static_cast<int16_t>(first), static_cast<int16_t>(second)};
  }
  std::uniform_real_distribution<double> length(0.001, 0.2);
  for (int k = 0; k < 2 * n - 2; ++k) {
    tree->BLen()[k] = length(random);
    tree->Stats()[k] = k < n ? 0 : std::uniform_int_distribution<int>(0, 1000)(random);
  }
  list->MaxStats = 1000;
  list->Add(std::move(tree));
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : kMaxNoOfOTUs;
  const bool fixed = argc > 2 && std::strcmp(argv[2], "fixed") == 0;
  std::mt19937 random(20240601);
  auto list = RandomList(n, random);
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
