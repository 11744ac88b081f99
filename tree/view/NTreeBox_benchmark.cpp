// Timed command for the tree box with the installed fonts. No window is
// shown.
//
//   kestova_treeview_benchmark [ROUNDS] [random|caterpillar] [TAXA] [fixed]
//     For a random tree and a caterpillar of 1,024, 4,096 and 16,384 taxa
//     (or only the shape and size given): the median over ROUNDS (default
//     7) of set-up plus first picture (SetTreeList and RefreshTree on a
//     fresh box) and of a refresh, with the time per taxon, so that growth
//     faster than linear shows.
//   kestova_treeview_benchmark styles [TAXA] [caterpillar] [fixed]
//     One random tree (or caterpillar) of TAXA taxa (default 16,384)
//     refreshed in every style, then as a cladogram and after re-rooting,
//     with the peak memory.
//
// "fixed" measures names with the deterministic measurer instead of the
// installed fonts.

#include <QApplication>
#include <algorithm>
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

enum class Shape { Random, Caterpillar };

// Lengths and support as RandomTreeList gives them, on a caterpillar: each
// join adds the next taxon to the cluster so far, so the tree is n-1 deep.
std::unique_ptr<TTreeList> CaterpillarList(int n, std::mt19937& random) {
  auto list = RandomTreeList(n, random, "Population_", 0.001, 0.2);
  auto nodes = list->Items(0).NodeArray();
  nodes[0] = {0, 1};
  for (int k = 1; k < n - 1; ++k) nodes[k] = {static_cast<int16_t>(n + k - 1), static_cast<int16_t>(k + 1)};
  return list;
}

std::unique_ptr<TTreeList> MakeList(Shape shape, int n) {
  std::mt19937 random(20240601);
  return shape == Shape::Random ? RandomTreeList(n, random, "Population_", 0.001, 0.2) : CaterpillarList(n, random);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Gives `box` a new tree of the shape, names measured as asked, and the time
// SetTreeList took; false, with a message, when the tree is refused.
bool SetUp(TTreeBox& box, Shape shape, int n, bool fixed, double& millis) {
  if (fixed) box.SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
  auto list = MakeList(shape, n);
  const auto start = Clock::now();
  const bool shown = box.SetTreeList(std::move(list), true);
  millis = Millis(start);
  if (!shown) std::printf("set-up failed\n");
  return shown;
}

struct GoalFilter {
  bool random = true;
  bool caterpillar = true;
  int taxa = 0;  // 0: every size
};

int Goal(int rounds, const GoalFilter& filter, bool fixed) {
  std::printf("medians of %d rounds, names measured with %s\n", rounds,
              fixed ? "the fixed measurer" : "the installed fonts");
  std::printf("%-12s %7s %14s %12s %16s %14s\n", "shape", "taxa", "set-up+first", "refresh", "set-up us/taxon",
              "refresh us/taxon");
  for (Shape shape : {Shape::Random, Shape::Caterpillar}) {
    if (!(shape == Shape::Random ? filter.random : filter.caterpillar)) continue;
    for (int n : {1024, 4096, 16384}) {
      if (filter.taxa > 0 && n != filter.taxa) continue;
      std::vector<double> first, refresh;
      for (int r = 0; r < rounds; ++r) {
        TTreeBox box;
        double setUp = 0;
        if (!SetUp(box, shape, n, fixed, setUp)) return 1;
        auto start = Clock::now();
        box.RefreshTree();
        first.push_back(setUp + Millis(start));
        start = Clock::now();
        box.RefreshTree();
        refresh.push_back(Millis(start));
      }
      const double f = Median(first), s = Median(refresh);
      std::printf("%-12s %7d %11.1f ms %9.1f ms %16.2f %14.2f\n", shape == Shape::Random ? "random" : "caterpillar",
                  n, f, s, f * 1000 / n, s * 1000 / n);
    }
  }
  std::printf("peak memory %.1f MiB\n", PeakMiB());
  return 0;
}

int Styles(int n, Shape shape, bool fixed) {
  std::printf("%s of %d taxa, names measured with %s; peak before set-up %.1f MiB\n",
              shape == Shape::Random ? "random tree" : "caterpillar", n,
              fixed ? "the fixed measurer" : "the installed fonts", PeakMiB());
  TTreeBox box;
  double setUp = 0;
  if (!SetUp(box, shape, n, fixed, setUp)) return 1;
  auto start = Clock::now();
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

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool fixed = !args.empty() && args.back() == "fixed";
  if (fixed) args.pop_back();
  if (!args.empty() && args[0] == "styles")
    return Styles(args.size() > 1 ? std::atoi(args[1].c_str()) : kMaxNoOfOTUs,
                  args.size() > 2 && args[2] == "caterpillar" ? Shape::Caterpillar : Shape::Random, fixed);
  GoalFilter filter;
  if (args.size() > 1) {
    filter.random = args[1] == "random";
    filter.caterpillar = args[1] == "caterpillar";
  }
  if (args.size() > 2) filter.taxa = std::atoi(args[2].c_str());
  return Goal(std::max(1, args.empty() ? 7 : std::atoi(args[0].c_str())), filter, fixed);
}
