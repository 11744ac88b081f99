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

namespace {

using namespace popgen;

// Samples drawn from per-sample allele frequencies that drift away from a
// common pool, 30 diploid individuals each, 3-digit allele sizes.
DataSet MakeData(int samples, int loci) {
  Random random(12345, 0);
  auto uniform = [&] { return (random.Next() >> 11) * 0x1.0p-53; };
  DataSet data;
  for (int l = 0; l < loci; ++l) data.loci.push_back(Locus{std::string("L").append(std::to_string(l + 1)), 2, 3});
  std::vector<std::vector<double>> pool(loci);
  for (auto& p : pool) {
    p.resize(10);
    for (double& x : p) x = uniform() + 0.05;
  }
  for (int s = 0; s < samples; ++s) {
    Sample sample;
    sample.name = std::string("S").append(std::to_string(s + 1));
    std::vector<std::vector<double>> freq(loci);
    for (int l = 0; l < loci; ++l) {
      double total = 0;
      for (double x : pool[l]) freq[l].push_back(x * (0.5 + uniform())), total += freq[l].back();
      for (double& x : freq[l]) x /= total;
    }
    for (int i = 0; i < 30; ++i) {
      Individual individual;
      individual.name = sample.name;
      for (int l = 0; l < loci; ++l) {
        int alleles[2];
        for (int& a : alleles) {
          double u = uniform();
          int k = 0;
          while (k < 9 && (u -= freq[l][k]) > 0) ++k;
          a = 100 + 2 * k;
        }
        individual.genotypes.push_back(Genotype{alleles[0], alleles[1]});
      }
      sample.individuals.push_back(individual);
    }
    data.samples.push_back(sample);
  }
  return data;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int replicates = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int samples = argc > 2 ? std::atoi(argv[2]) : 50;
  const int loci = argc > 3 ? std::atoi(argv[3]) : 20;
  const DataSet data = MakeData(samples, loci);

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
