#pragma once
// Allele frequencies of every sample at every locus.
//
// Missing alleles are left out: the frequencies of a sample at a locus are
// counted over the allele copies present there ("genes"). A diploid
// individual with one missing allele adds its other allele and counts as half
// an individual. A sample with no allele at a locus is "not typed" there.

#include <vector>

#include "popgen/DataSet.h"

namespace popgen {

struct LocusAlleles {
  int ploidy = 2;             // 1 or 2
  std::vector<int> codes;     // distinct allele codes seen at the locus, ascending
};

struct SampleLocus {
  // Frequency of each allele of LocusAlleles::codes, summing to 1 when typed;
  // all zero when not typed.
  std::vector<double> freq;
  double genes = 0;        // allele copies counted (2n for diploids, n for haploids)
  double individuals = 0;  // n: genes / ploidy
  // Share of heterozygotes among the individuals with both alleles typed
  // (0 for haploid loci and when there are none).
  double observedHeterozygosity = 0;

  bool Typed() const { return genes > 0; }
};

struct Frequencies {
  std::vector<LocusAlleles> loci;
  std::vector<std::vector<SampleLocus>> samples;  // [sample][locus]
};

Frequencies ComputeFrequencies(const DataSet& data);

}  // namespace popgen
