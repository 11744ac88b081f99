// Times the bootstrap the way a user meets it: 10,000 neighbour-joining
// replicates for 50 samples and 20 loci, on every core and on one, and prints
// the wall time and the process's peak resident memory.
//
//   kestova_bootstrap_benchmark [replicates] [samples] [loci]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "popgen/Bootstrap.h"
#include "popgen/Frequencies.h"
#include "popgen/SyntheticData.h"

namespace {

using namespace popgen;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int replicates = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int samples = argc > 2 ? std::atoi(argv[2]) : 50;
  const int loci = argc > 3 ? std::atoi(argv[3]) : 20;
  const DataSet data = MakeSyntheticData(samples, loci);

  auto start = std::chrono::steady_clock::now();
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), DistanceKind::Da);
  DistanceMatrix distances;
  if (ComputeDistances(terms, nullptr, distances)) return 1;
  const Tree tree = TreeBuilder().Build(distances, TreeMethod::NJ);
  const double setup = Seconds(start);

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("NJ bootstrap, Da, %d samples x %d loci, %d replicates\n", samples, loci, replicates);
  std::printf("  frequencies, pair terms, distances and tree: %.4f s\n", setup);
  for (int threads : {static_cast<int>(cores), 1}) {
    start = std::chrono::steady_clock::now();
    const BootstrapResult result = Bootstrap(terms, TreeMethod::NJ, tree, replicates, kBootstrapSeed, threads);
    const double seconds = Seconds(start);
    if (result.failure) return 1;
    std::printf("  bootstrap on %2d thread%s: %.3f s (%.1f us a replicate)\n", threads, threads == 1 ? " " : "s",
                seconds, seconds / replicates * 1e6);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("  peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
