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
#include "testing/BenchmarkSupport.h"
#include "tree/model/RandomTree.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreePicture.h"

namespace {

using Clock = BenchClock;

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
  if (!box.SetTreeList(RandomTreeList(taxa, random, "Population_", 0.001, 0.2), true)) {
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
