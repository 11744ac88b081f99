// Timed command: records the picture of a random tree of the largest size the
// view allows (16,384 taxa) in the rectangular style, with support values and
// the scale, and prints the time of each recording and the peak memory. The
// layout is done once beforehand and not counted. No window is shown.
//
//   kestova_treepicture_benchmark [TAXA] [ROUNDS] [fixed]
//     TAXA defaults to 16384, ROUNDS to 5; "fixed" measures text with the
//     deterministic measurer instead of the installed fonts.

#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/graphics/QtGraphics.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreePicture.h"

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
  const int taxa = argc > 1 ? std::atoi(argv[1]) : 16384;
  const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 5);
  const bool fixed = argc > 3 && std::strcmp(argv[3], "fixed") == 0;

  std::mt19937 random(20240611);
  TTreeBox box;
  if (fixed) box.SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
  box.SetAutoSize(false);
  if (!box.SetTreeList(RandomList(taxa, random), true)) {
    std::fprintf(stderr, "tree refused\n");
    return 1;
  }
  Clock::time_point start = Clock::now();
  box.RefreshTree();  // layout, size and a first picture
  std::printf("taxa %d, measurer %s\n", taxa, fixed ? "fixed" : "installed fonts");
  std::printf("first refresh (layout + picture): %.1f ms, picture %d x %d pixels\n", Millis(start), box.PictureWidth(),
              box.PictureHeight());
  const double before = PeakMiB();

  std::vector<double> times;
  const DeviceInfo screen = ScreenDeviceInfo();
  std::size_t records = 0;
  for (int i = 0; i < rounds; ++i) {
    start = Clock::now();
    const Picture picture = BuildTreePicture(box.Display(), box.PictureOptions(), box.Measurer(), screen);
    times.push_back(Millis(start));
    records = picture.RecordCount();
  }
  std::sort(times.begin(), times.end());
  std::printf("recording the picture: best %.1f ms, median %.1f ms, worst %.1f ms (%d rounds, %zu records)\n",
              times.front(), times[times.size() / 2], times.back(), rounds, records);
  std::printf("peak memory %.1f MiB (%.1f MiB before recording)\n", PeakMiB(), before);
  return 0;
}
