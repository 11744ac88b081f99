// Start-up time of the GammaFuncs module: the spline pass over the 100 rate
// rows (the rates themselves are constants). Each iteration starts the module
// from a zero use count, so the pass runs every time.

#include <benchmark/benchmark.h>

#include "stats/GammaFuncs.h"

namespace {

void BM_GammaFuncsStartUp(benchmark::State& state) {
  for (auto _ : state) {
    GammaFuncsStartUp();
    benchmark::DoNotOptimize(GammaRateSplines[kGammaCategoryCount - 1][1]);
    GammaFuncsShutDown();
  }
}
BENCHMARK(BM_GammaFuncsStartUp)->Unit(benchmark::kMicrosecond);

}  // namespace
