#include "popgen/Frequencies.h"

#include <algorithm>

namespace popgen {

Frequencies ComputeFrequencies(const DataSet& data) {
  const size_t loci = data.loci.size();
  Frequencies result;
  result.loci.resize(loci);
  for (size_t l = 0; l < loci; ++l) {
    LocusAlleles& locus = result.loci[l];
    locus.ploidy = data.loci[l].ploidy == 1 ? 1 : 2;
    for (const Sample& sample : data.samples)
      for (const Individual& individual : sample.individuals) {
        const Genotype& g = individual.genotypes[l];
        if (g.first != 0) locus.codes.push_back(g.first);
        if (locus.ploidy == 2 && g.second != 0) locus.codes.push_back(g.second);
      }
    std::sort(locus.codes.begin(), locus.codes.end());
    locus.codes.erase(std::unique(locus.codes.begin(), locus.codes.end()), locus.codes.end());
  }

  result.samples.resize(data.samples.size());
  for (size_t s = 0; s < data.samples.size(); ++s) {
    result.samples[s].resize(loci);
    for (size_t l = 0; l < loci; ++l) {
      const LocusAlleles& locus = result.loci[l];
      SampleLocus& cell = result.samples[s][l];
      cell.freq.assign(locus.codes.size(), 0.0);
      auto add = [&](int code) {
        if (code == 0) return;
        auto it = std::lower_bound(locus.codes.begin(), locus.codes.end(), code);
        cell.freq[it - locus.codes.begin()] += 1;
        cell.genes += 1;
      };
      int complete = 0;
      int heterozygotes = 0;
      for (const Individual& individual : data.samples[s].individuals) {
        const Genotype& g = individual.genotypes[l];
        add(g.first);
        if (locus.ploidy == 2) {
          add(g.second);
          if (g.first != 0 && g.second != 0) {
            ++complete;
            if (g.first != g.second) ++heterozygotes;
          }
        }
      }
      if (cell.genes > 0)
        for (double& f : cell.freq) f /= cell.genes;
      cell.individuals = cell.genes / locus.ploidy;
      if (complete > 0) cell.observedHeterozygosity = static_cast<double>(heterozygotes) / complete;
    }
  }
  return result;
}

}  // namespace popgen
