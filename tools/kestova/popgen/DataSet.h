#pragma once
// The contents of a GENEPOP data file as the reader leaves them: loci, and
// samples of individuals with one genotype per locus.

#include <string>
#include <vector>

namespace popgen {

// Allele codes are the numbers written in the file (1..999); 0 is a missing
// allele. A haploid genotype uses only `first`.
struct Genotype {
  int first = 0;
  int second = 0;
  friend bool operator==(const Genotype&, const Genotype&) = default;
};

struct Locus {
  std::string name;
  // 1 (2- or 3-digit genotypes) or 2 (4- or 6-digit genotypes); 0 while the
  // locus has no genotype yet.
  int ploidy = 0;
  // Digits of one allele code: 2 or 3; 0 while unknown.
  int alleleDigits = 0;
};

struct Individual {
  std::string name;
  int line = 0;  // line of the file where the individual starts (from 1)
  std::vector<Genotype> genotypes;  // one per locus
};

struct Sample {
  // The identifier of the sample's last individual, or "Pop <k>" (k from 1)
  // when that identifier is empty. Names are unique: where several samples
  // would get the same name, each of them gets "_<k>" appended, k its number
  // from 1 (repeated while an appended name is itself taken). Files often
  // number the individuals 1..n in every sample, which would otherwise give
  // every sample the same name.
  std::string name;
  int line = 0;  // line of its "Pop" line
  std::vector<Individual> individuals;  // at least one
};

struct DataSet {
  std::string title;
  std::vector<Locus> loci;  // at least one
  std::vector<Sample> samples;  // at least one
  bool namesMadeUnique = false;  // some sample name got "_<k>" appended
};

}  // namespace popgen
